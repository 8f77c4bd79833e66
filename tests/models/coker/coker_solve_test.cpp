// Whole solves of the coker on the sample networks: the host's Newton from
// init, its derivative check at the start point and at the solution (fixed
// columns included), and the romhost program on the example cases.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "host/jacobian_check.h"
#include "host/newton.h"
#include "tests/models/coker/coker_fixture.h"

namespace {

using namespace coker_test;
namespace fs = std::filesystem;

struct SolveCase {
  const char* name;
  bool volume;
  Values attributes;
  Values inputs = {};  // given after the nominal ones
};

void PrintTo(const SolveCase& c, std::ostream* os) { *os << c.name; }

class CokerSolve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(CokerSolve, ConvergesFromInitWithAnExactJacobian) {
  const SolveCase& p = GetParam();
  useNetworkRoot(kNetworkRoot);
  Values inputs = nominalInputs(p.volume);
  inputs.insert(inputs.end(), p.inputs.begin(), p.inputs.end());
  Session s(createByFactory({"SUBID:ROCOKER", p.volume ? "BASIS_HL:VOLUME" : "BASIS_HL:MASS"}), inputs, p.attributes);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;

  const romhost::CheckResult start = romhost::checkJacobian(s.system());
  EXPECT_TRUE(start.passed()) << start.message;
  EXPECT_LT(start.maxRelError, 1e-6);
  EXPECT_EQ(start.checked, 641);

  const romhost::NewtonResult solved = romhost::solveNewton(s.system());
  ASSERT_TRUE(solved.converged()) << solved.message;
  EXPECT_LE(solved.iterations, 8);

  const romhost::CheckResult end = romhost::checkJacobian(s.system());
  EXPECT_TRUE(end.passed()) << end.message;
  EXPECT_LT(end.maxRelError, 1e-6);

  EXPECT_NEAR(s.value("FEEDMASS"), 120000.0, 1e-8);
  for (const auto& [name, value] : p.inputs) EXPECT_EQ(s.value(name), value) << name;  // fixed: never clipped
  if (p.attributes.empty() && p.inputs.empty()) {  // the balances close at the nominal predictions
    EXPECT_NEAR(s.value("MASSFACTOR"), 1.0167057572809186, 1e-12);
    EXPECT_NEAR(s.value("H2SMASS"), 1167.4310890062, 1e-7);
    EXPECT_NEAR(s.value("COKFRAC"), 0.28, 1e-12);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, CokerSolve,
                         ::testing::Values(SolveCase{"MassBasis", false, {}}, SolveCase{"VolumeBasis", true, {}},
                                           // GAMMA of an input in COKFRAC's network and of one outside HGOFRAC's.
                                           SolveCase{"TuningFactors",
                                                     false,
                                                     {{"ALPHA_COKFRAC", 1.05},
                                                      {"BETA_LGOFRAC", 0.01},
                                                      {"GAMMA_COKFRAC_FEEDCCR", 5e-4},
                                                      {"GAMMA_HGOFRAC_LCNECP", 1e-5}}},
                                           SolveCase{"InputBelowItsBound", false, {}, {{"FEEDNIT", 250}}}),
                         [](const auto& info) { return std::string(info.param.name); });

// The romhost program, as scripts/demo runs it: exit code and standard error.
std::pair<int, std::string> romhost(const std::string& args) {
  const fs::path err = fs::path(::testing::TempDir()) / ("coker_err_" + std::to_string(getpid()));
  const std::string cmd = "env -u ROMHOST_PLUGIN -u PELMO_REGISTRY " + std::string(ROM_BINARY_DIR) + "/bin/romhost " +
                          args + " --quiet >" + err.string() + ".out 2>" + err.string();
  const int status = std::system(cmd.c_str());
  std::ostringstream text;  // stdout, then stderr (either may be empty)
  for (const std::string& f : {err.string() + ".out", err.string()}) text << std::ifstream(f).rdbuf(), text.clear();
  fs::remove(err), fs::remove(err.string() + ".out");
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

TEST(CokerProgram, SolvesTheExampleCasesAndNamesAMissingNetworkFile) {
  const std::string examples = std::string(ROM_SOURCE_DIR) + "/examples/";
  for (const char* file : {"coker.json", "coker-volume.json"}) {
    const auto [code, text] = romhost("solve " + examples + file + " --check-jacobian");
    EXPECT_EQ(code, 0) << file << text;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m, std::regex("Converged in ([0-9]+) iterations"))) << text;
    EXPECT_LE(std::stoi(m[1]), 8);
    EXPECT_NE(text.find("641 entries"), std::string::npos) << text;
  }
  const fs::path nets = fs::path(::testing::TempDir()) / ("coker_missing_" + std::to_string(getpid()));
  fs::create_directories(nets);
  fs::copy(kNetworkRoot + "/COKER", nets / "COKER");
  fs::remove(nets / "COKER" / "COKER_HGOSG.zkr");
  const auto [code, text] = romhost("solve " + examples + "coker.json --networks " + nets.string());
  fs::remove_all(nets);
  EXPECT_EQ(code, 1);
  EXPECT_NE(text.find("network file COKER_HGOSG.zkr in folder " + nets.string()), std::string::npos) << text;
  EXPECT_NE(text.find("missing file"), std::string::npos) << text;
}

}  // namespace
