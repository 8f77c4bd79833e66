// Whole solves of the eight first-generation FCC block types on their sample
// networks: made by the factory, Newton from init, the host's derivative
// check at the start point and at the solution (fixed columns included), and
// the romhost program on the example cases (its derivative check on them is
// the one above).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

#include "host/jacobian_check.h"
#include "host/newton.h"
#include "tests/models/fcc/fcc_slate_fixture.h"

namespace {

using namespace fcc_test;

struct SolveCase {
  BlockType type;
  bool checkStart = true;  // the derivative check at the start point too, not only at the solution
  bool volume = false;
  Values more = {};        // fixed values after the nominal ones
  Values attributes = {};
};
void PrintTo(const SolveCase& c, std::ostream* os) { *os << c.type.subid; }

class FccSolve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(FccSolve, ConvergesFromInitWithAnExactJacobian) {
  const SolveCase& c = GetParam();
  std::vector<std::string> options = {std::string("SUBID:") + c.type.subid};
  if (c.volume) options.push_back("BASIS_HL:VOLUME");
  Session s(createByFactory(options), Session::withMore(nominalInputs(c.type.kind, c.volume), c.more),
            c.attributes);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;

  if (c.checkStart) {
    const romhost::CheckResult start = romhost::checkJacobian(s.system());
    EXPECT_TRUE(start.passed()) << start.message;
    EXPECT_LT(start.maxRelError, 1e-6) << start.worst[0].equation << " " << start.worst[0].variable;
  }

  const romhost::NewtonResult solved = romhost::solveNewton(s.system());
  ASSERT_TRUE(solved.converged()) << solved.message;
  EXPECT_LE(solved.iterations, 6);

  const romhost::CheckResult end = romhost::checkJacobian(s.system());
  EXPECT_TRUE(end.passed()) << end.message;
  EXPECT_LT(end.maxRelError, 1e-6) << end.worst[0].equation << " " << end.worst[0].variable;

  // Every slate ties H2SFRAC to the H2S mass; the mass factor stays in its bounds.
  EXPECT_NEAR(s.value("H2SFRAC") * s.value("FEEDMASS"), s.value("H2SMASS"), 1e-9 * s.value("H2SMASS"));
  EXPECT_GT(s.value("MASSFACTOR"), 0.5);
  EXPECT_LT(s.value("MASSFACTOR"), 1.5);
  for (const auto& [name, v] : c.more) EXPECT_EQ(s.value(name), v) << name;  // fixed values stay
}

// Every block type, its derivatives checked at the solution; at the start
// point too for the slates 2N and 3N1H, which between them have every kind of
// row (each check evaluates the block twice per variable). The "GOR" kinds
// add a volume feed, tuning factors, and a C5S cut-off above the predicted
// yield, so the floor's exponential branch and its cut-off entry are checked.
std::vector<SolveCase> solveCases() {
  std::vector<SolveCase> cases;
  for (const BlockType& t : kBlockTypes)
    cases.push_back({t, std::string(t.kind) == "FCC_GO_2N" || std::string(t.kind) == "FCC_GO_3N1H"});
  cases[3].volume = true;
  cases[5].attributes = {{"ALPHA_MCNFRAC", 1.1}, {"GAMMA_LCORELSUL_FEEDSUL", 0.05}};
  cases[7].more = {{"C5SCUTOFF", 0.2}};
  return cases;
}

INSTANTIATE_TEST_SUITE_P(BlockTypes, FccSolve, ::testing::ValuesIn(solveCases()),
                         [](const auto& info) { return std::string(info.param.type.subid); });

// The romhost program, as scripts/demo runs it: exit code and its output.
std::pair<int, std::string> romhost(const std::string& args) {
  const std::string out = ::testing::TempDir() + "/fcc_out_" + std::to_string(getpid());
  const std::string cmd = "env -u ROMHOST_PLUGIN -u PELMO_REGISTRY " + std::string(ROM_BINARY_DIR) + "/bin/romhost " +
                          args + " --quiet >" + out + " 2>&1";
  const int status = std::system(cmd.c_str());
  std::ostringstream text;
  text << std::ifstream(out).rdbuf();
  std::remove(out.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

TEST(FccProgram, SolvesEveryExampleCase) {
  for (const BlockType& t : kBlockTypes) {
    std::string file = t.kind;
    for (char& ch : file) ch = ch == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const auto [code, text] = romhost("solve " + std::string(ROM_SOURCE_DIR) + "/examples/" + file + ".json");
    EXPECT_EQ(code, 0) << file << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("Converged in [1-6] iterations"))) << text;
  }
}

}  // namespace
