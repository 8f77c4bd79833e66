// Whole solves of the eight second-generation FCC block types on the sample
// networks: the host's Newton from init with its derivative check at the
// start and the solution, closed mass and sulfur balances, the overcracking
// attributes at work, and the romhost program on the v37 example cases.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/models/fcc/fcc2_fixture.h"
#include "tests/support/romhost_run.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace fcc2_test;

struct SolveCase {
  BlockType type;
  bool volume;
  Values attributes;
};

void PrintTo(const SolveCase& c, std::ostream* os) { *os << c.type.subid; }

// One case per block type; a GOR leaf runs the same equations as its GO
// sister, so two of them take a volume feed and tuned networks instead.
std::vector<SolveCase> solveCases() {
  std::vector<SolveCase> cases;
  for (const BlockType& t : kBlockTypes) cases.push_back({t, false, {}});
  cases[1].volume = true;  // ROFCCGOR2N
  cases[7].attributes = {{"C5S_OVERCRACK_PARAM", 1.01},  // ROFCCGOR3N1H: the paired and a plain network
                         {"MCN_OVERCRACK_RATE", 0.5},
                         {"ALPHA_LCNFRAC", 1.05},
                         {"GAMMA_HCNFRAC_HCNECP", 1e-5},
                         {"BETA_COKFRAC", 0.002}};
  return cases;
}

class Fcc2Solve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(Fcc2Solve, ConvergesFromInitWithAnExactJacobianAndClosedBalances) {
  const SolveCase& c = GetParam();
  Session s(createByFactory(factoryOptions(c.type.subid, "37.0.0", c.volume)), nominalInputs(c.volume),
            c.attributes);
  ASSERT_TRUE(s.fcc());
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_TRUE(exactJacobian(s.system())) << "start";
  ASSERT_TRUE(solves(s.system(), 12));
  EXPECT_TRUE(exactJacobian(s.system())) << "solution";

  // Products (H2S among them) make up the feed; the liquids, coke and H2S carry its sulfur.
  const std::string kind = c.type.kind;
  std::vector<std::string> gases = {"H2S", "FGS", "C3", "C32", "NC4", "IC4", "UC4"};
  std::vector<std::string> carriers = {"C5S", "LCN", "HCN", "LCO", "BOT", "COK"};
  if (kind.find("3N") != std::string::npos) carriers.push_back("MCN");
  if (kind.ends_with("1H")) carriers.push_back("HCO");
  double mass = 0.0, sulfur = 0.9408501188936436 * s.value("H2SMASS");
  for (const std::string& g : gases) mass += s.value(g + "MASS");
  for (const std::string& p : carriers) {
    mass += s.value(p + "MASS");
    sulfur += s.value(p + "SULMASS");
  }
  EXPECT_NEAR(mass, s.value("FEEDMASS"), 1e-6 * s.value("FEEDMASS"));
  EXPECT_NEAR(sulfur, s.value("FEEDSULMASS"), 1e-6 * s.value("FEEDSULMASS"));
  EXPECT_NEAR(s.value("FEEDMASS"), 250000.0, 1e-6);
  EXPECT_GT(s.value("MASSFACTOR"), 0.5);
  EXPECT_LT(s.value("MASSFACTOR"), 1.5);
  EXPECT_GT(s.value("H2SMASS"), 0.0);
  // The fixed C5+ split fractions divide C5SMASS.
  EXPECT_NEAR(s.value("IC5SMASS"), 0.3 * s.value("C5SMASS"), 1e-9 * s.value("C5SMASS"));
}

INSTANTIATE_TEST_SUITE_P(Cases, Fcc2Solve, ::testing::ValuesIn(solveCases()), [](const auto& info) {
  return std::string(info.param.type.subid) + (info.param.volume ? "_Volume" : "") +
         (info.param.attributes.empty() ? "" : "_Tuned");
});

// At the overcrack defaults the paired yield is total minus difference; a
// zero rate leaves the total alone, and the solution moves with it.
TEST(Fcc2Overcrack, RateAttributeMovesThePairedYield) {
  double lcn[2];
  for (const int i : {0, 1}) {
    const Values attributes = i == 0 ? Values{} : Values{{"LCN_OVERCRACK_RATE", 0.0}};
    Session s(createByFactory(factoryOptions("ROFCCGO2N")), nominalInputs(), attributes);
    ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
    ASSERT_TRUE(solves(s.system()));
    lcn[i] = s.value("LCNFRAC");
  }
  // The sample difference network of LCN predicts about 0.01 at the nominal point.
  EXPECT_NEAR(lcn[1] - lcn[0], 0.01, 0.005);
}

TEST(Fcc2Program, SolvesTheV37ExampleCases) {
  // Every block type is solved in process above; the program runs the widest slate on a volume feed.
  for (const char* file : {"fcc-go-3n1h-v37-volume.json"}) {
    const ProgramRun run = solveExample(file, "--check-jacobian");
    EXPECT_EQ(run.code, 0) << file << run.text();
    const std::optional<ReportedCheck> check = solutionCheck(run.text());
    ASSERT_TRUE(check) << file << run.text();
    EXPECT_LT(check->maxRelError, 1e-6) << file;
  }
}

}  // namespace
