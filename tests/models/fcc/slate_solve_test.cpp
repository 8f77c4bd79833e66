// Whole solves of the eight first-generation FCC block types on their sample
// networks: made by the factory, Newton from init, the host's derivative
// check at the solution and away from it (fixed columns included), and
// the romhost program on the example cases (its derivative check on them is
// the one above).
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "tests/models/fcc/fcc_slate_fixture.h"
#include "tests/support/romhost_run.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace fcc_test;

struct SolveCase {
  BlockType type;
  bool checkAway = true;  // the derivative check away from the solution too, not only at it
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
  Session s(createByFactory(options), joined(nominalInputs(c.type.kind, c.volume), c.more), c.attributes);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  ASSERT_TRUE(solves(s.system(), 6));
  EXPECT_TRUE(exactJacobian(s.system())) << "solution";
  // Not at init's point, where the yields still hold their first values.
  if (c.checkAway) {
    EXPECT_TRUE(exactJacobianMoved(s, 1.02)) << "away from the solution";
  }

  // Every slate ties H2SFRAC to the H2S mass; the mass factor stays in its bounds.
  EXPECT_NEAR(s.value("H2SFRAC") * s.value("FEEDMASS"), s.value("H2SMASS"), 1e-9 * s.value("H2SMASS"));
  EXPECT_GT(s.value("MASSFACTOR"), 0.5);
  EXPECT_LT(s.value("MASSFACTOR"), 1.5);
  for (const auto& [name, v] : c.more) EXPECT_EQ(s.value(name), v) << name;  // fixed values stay
}

// Every block type, its derivatives checked at the solution; away from it
// too for the slates 2N and 3N1H, which between them have every kind of
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

TEST(FccProgram, SolvesEveryExampleCase) {
  for (const BlockType& t : kBlockTypes) {
    std::string file = t.kind;
    for (char& ch : file) ch = ch == '_' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const ProgramRun run = solveExample(file + ".json");
    EXPECT_TRUE(converged(run, 6)) << file;
    EXPECT_GE(convergedIterations(run.text()), 1) << file;
  }
}

}  // namespace
