// romnet: evaluates, checks and generates network files.
//   romnet eval FILE NAME=VALUE... [--json]
//   romnet check FILE [--tol X]
//   romnet generate TABLE OUTDIR
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "host/romnet/commands.h"
#include "host/romnet/generate.h"
#include "platform/text.h"

namespace {

void usage() {
  std::fprintf(stderr,
               "usage: romnet eval FILE NAME=VALUE... [--json]\n"
               "       romnet check FILE [--tol X]\n"
               "       romnet generate TABLE OUTDIR\n"
               "The file format and the table format: docs/network-format.md\n");
}

int runCommand(int argc, char** argv) {
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
    std::fprintf(stderr, "romnet: %s\n", pelmo_text::printable(e.what()).c_str());
    return 1;
  }
  usage();
  return romnet::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  // Over a file-size limit a write fails with EFBIG and is reported, instead of
  // the signal ending the program with its temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  int code = runCommand(argc, argv);
  // Output that did not reach its file (a full disk, the file-size limit) is
  // a failure, not a success with its end missing.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "romnet: cannot write the standard output: %s\n", std::strerror(errno));
    if (code == 0) code = romnet::kExitCannotWrite;
  }
  return code;
}
