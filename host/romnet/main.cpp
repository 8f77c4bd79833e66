// romnet: evaluates, checks and generates network files.
//   romnet eval FILE NAME=VALUE... [--json]
//   romnet check FILE [--tol X]
//   romnet generate TABLE OUTDIR
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "host/romnet/commands.h"
#include "host/romnet/generate.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: romnet eval FILE NAME=VALUE... [--json]\n"
               "       romnet check FILE [--tol X]\n"
               "       romnet generate TABLE OUTDIR\n"
               "The file format and the table format: docs/network-format.md\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    usage();
    return romnet::kExitUsage;
  }
  const std::string cmd = argv[1];
  const std::vector<std::string> args(argv + 2, argv + argc);
  try {
    if (cmd == "eval") return romnet::runEval(args);
    if (cmd == "check") return romnet::runCheck(args);
    if (cmd == "generate") {
      if (args.size() != 2) {
        usage();
        return romnet::kExitUsage;
      }
      return romnet::runGenerate(args[0], args[1]);
    }
    if (cmd == "--help" || cmd == "-h" || cmd == "help") {
      usage();
      return 0;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "romnet: %s\n", e.what());
    return 1;
  }
  usage();
  return romnet::kExitUsage;
}
