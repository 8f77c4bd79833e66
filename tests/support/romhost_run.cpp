#include "tests/support/romhost_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/support/networks.h"

namespace romtest {

namespace {

std::string contents(const std::filesystem::path& file) {
  std::ostringstream text;
  text << std::ifstream(file).rdbuf();
  return text.str();
}

}  // namespace

ProgramRun runRomhost(const std::string& arguments) {
  const ScratchFolder folder("romhost_run");
  const std::filesystem::path out = folder / "stdout.txt", err = folder / "stderr.txt";
  const std::string command = "env -u ROMHOST_PLUGIN -u PELMO_REGISTRY '" ROM_BINARY_DIR "/bin/romhost' " + arguments +
                              " >'" + out.string() + "' 2>'" + err.string() + "'";
  const int status = std::system(command.c_str());
  ProgramRun run;
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = contents(out);
  run.err = contents(err);
  return run;
}

ProgramRun solveExample(const std::string& caseFile, const std::string& flags) {
  return runRomhost("solve " + kExamples + caseFile + (flags.empty() ? "" : " " + flags) + " --quiet");
}

int convergedIterations(const std::string& text) {
  std::smatch m;
  return std::regex_search(text, m, std::regex("Converged in ([0-9]+) iterations")) ? std::stoi(m[1]) : -1;
}

::testing::AssertionResult converged(const ProgramRun& run, int maxIterations) {
  const int iterations = convergedIterations(run.text());
  if (run.code != 0 || iterations < 0 || (maxIterations >= 0 && iterations > maxIterations))
    return ::testing::AssertionFailure() << "exit code " << run.code << ", " << iterations << " iterations (at most "
                                         << maxIterations << " expected):\n"
                                         << run.text();
  return ::testing::AssertionSuccess();
}

std::optional<ReportedCheck> solutionCheck(const std::string& text) {
  std::smatch m;
  if (!std::regex_search(text, m, std::regex("solution point: ([0-9]+) entries, max relative error ([^ \n]+)")))
    return std::nullopt;
  return ReportedCheck{std::stoi(m[1]), std::stod(m[2])};
}

}  // namespace romtest
