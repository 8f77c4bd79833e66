// Runs of the built romhost program under timeout(1), for inputs that could
// make a faulty program block (a FIFO, an endless device): such a run ends
// with code 124 instead of hanging the test.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/networks.h"
#include "tests/support/romhost_run.h"

namespace romhost_test {

inline romtest::ProgramRun runRomhostWithin(int seconds, const std::string& arguments) {
  const romtest::ScratchFolder folder("romhost_timed");
  const auto out = folder / "stdout.txt", err = folder / "stderr.txt";
  const std::string command = "timeout -k 5 " + std::to_string(seconds) +
                              " env -u ROMHOST_PLUGIN -u PELMO_REGISTRY '" ROM_BINARY_DIR "/bin/romhost' " +
                              arguments + " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
  const int status = std::system(command.c_str());
  romtest::ProgramRun run;
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ostringstream o, e;
  o << std::ifstream(out).rdbuf();
  e << std::ifstream(err).rdbuf();
  run.out = o.str();
  run.err = e.str();
  return run;
}

}  // namespace romhost_test
