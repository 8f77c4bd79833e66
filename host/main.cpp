#include <csignal>
#include <iostream>

#include "host/app.h"
#include "host/host_status.h"

int main(int argc, char** argv) {
  // Over a file-size limit a save fails with EFBIG and is reported ("saved":
  // false), instead of the signal ending the program with no report and its
  // temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    int code = romhost::runRomhost(args, std::cout, std::cerr);
    // A report that did not reach its file (a full disk, the file-size limit)
    // is a failure, not a run whose output lost its end.
    if (!std::cout.flush()) {
      std::cerr << "romhost: the report could not be written to the standard output\n";
      if (code < 2) code = romhost::hostExitCode(romhost::HostStatus::kInputError);
    }
    return code;
  } catch (const std::exception& e) {
    std::cerr << "romhost: internal error: " << romhost::printable(e.what()) << "\n";
  } catch (...) {
    std::cerr << "romhost: internal error\n";
  }
  // Never 1: that is a solve that did not converge.
  return romhost::hostExitCode(romhost::HostStatus::kInternalError);
}
