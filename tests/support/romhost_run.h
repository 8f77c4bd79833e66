// Runs of the built romhost program, as scripts/demo runs it, without the
// plug-in or registry file the environment may name.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace romtest {

struct ProgramRun {
  int code = -1;  // the exit code; -1 when the program did not exit normally
  std::string out, err;
  std::string text() const { return out + err; }
};

// romhost with the arguments, through the shell (plain words only).
ProgramRun runRomhost(const std::string& arguments);
// "solve" of an example case under examples/, with the flags and --quiet.
ProgramRun solveExample(const std::string& caseFile, const std::string& flags = "");

// The N of "Converged in N iterations"; -1 when the text has none.
int convergedIterations(const std::string& text);
// The run exited 0 and converged, in at most maxIterations unless -1. The
// failure shows what the program wrote.
::testing::AssertionResult converged(const ProgramRun& run, int maxIterations = -1);

// The report line of the derivative check at the solution.
struct ReportedCheck {
  int entries = 0;
  double maxRelError = 0.0;
};
std::optional<ReportedCheck> solutionCheck(const std::string& text);

}  // namespace romtest
