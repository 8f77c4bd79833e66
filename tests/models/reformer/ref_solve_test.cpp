// Whole solves of every reformer block type on the sample networks: made by
// the factory, set up by the host's session, the host's derivative check at
// the start point and at the solution (fixed columns included), Newton from
// init; and the romhost program on the example cases.
#include <gtest/gtest.h>

#include <string>

#include "tests/models/reformer/ref_fixture.h"
#include "tests/support/romhost_run.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace ref_test;

struct SolveCase {
  const char* subid;
  bool second;
  int variables;  // registered by user_ini
  int equations;  // as many as free variables
  const char* products[2];
  const char* hl = "MASS";
  const char* na = "NA";
  Values attributes = {};
};

std::string caseName(const SolveCase& c) {
  std::string n = std::string(c.subid) + (c.second ? "_37" : "_35");
  if (std::string(c.hl) != "MASS") n.append("_").append(c.hl);
  if (std::string(c.na) != "NA") n.append("_N").append(std::string(c.na).substr(2, 1)).append("A");
  if (!c.attributes.empty()) n += "_Tuned";
  return n;
}
void PrintTo(const SolveCase& c, std::ostream* os) { *os << caseName(c); }

class RefSolve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(RefSolve, ConvergesFromInitWithAnExactJacobianAndClosedBalances) {
  const SolveCase& p = GetParam();
  std::vector<std::string> options = {std::string("SUBID:") + p.subid, std::string("BASIS_HL:") + p.hl,
                                      std::string("BASIS_NA:") + p.na};
  if (p.second) options.push_back("VERSION:37.0.0");
  const bool semi = std::string(p.subid).find("SEMI") != std::string::npos;
  const Feed feed{semi, std::string(p.hl) == "VOLUME", std::string(p.na) != "NA", p.second};
  Session s(createByFactory(options), nominalInputs(feed), p.attributes);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  romhost::BlockSystem& sys = s.system();
  EXPECT_EQ(static_cast<int>(sys.variables().size()), p.variables);
  EXPECT_EQ(static_cast<int>(sys.equations().size()), p.equations);
  EXPECT_EQ(sys.unknowns().size(), sys.equations().size());

  EXPECT_TRUE(exactJacobian(sys)) << "start";
  ASSERT_TRUE(solves(sys, 5));
  EXPECT_TRUE(exactJacobian(sys)) << "solution";

  // Both balances close: the fuel gas takes what the yields leave, and carries
  // the hydrogen the products do not.
  double products = s.value("H2MASS") + s.value("FGSMASS") + s.value("C3MASS") + s.value("NC4MASS") +
                    s.value("IC4MASS");
  for (const char* product : p.products)
    if (product) products += s.value(std::string(product) + "MASS");
  EXPECT_NEAR(s.value("FEEDMASS"), products, 1e-6);
  EXPECT_NEAR(s.value("FEEDMASS"), 100000.0, 1e-6);
  EXPECT_GT(s.value("FGSMASS"), 0.0);
  EXPECT_GT(s.value("MASSFACTOR"), 0.9);
  EXPECT_LT(s.value("MASSFACTOR"), 1.1);
  EXPECT_NEAR(s.value("FGSHYDMASS"), s.value("FGSMASS") * 22.6 / 100, 1e-6);
}

// Variables and equations: "SEMI" adds CATAGE; an NA basis two equations; the
// second generation has the densities, cut-offs and gravities of its conversions.
INSTANTIATE_TEST_SUITE_P(
    BlockTypes, RefSolve,
    ::testing::Values(SolveCase{"ROREFSEMI1R", false, 54, 38, {"RFT"}}, SolveCase{"ROREFCONT1R", false, 53, 38, {"RFT"}},
                      SolveCase{"ROREFSEMI2R", false, 66, 50, {"RF1", "RF2"}},
                      SolveCase{"ROREFCONT2R", false, 65, 50, {"RF1", "RF2"}},
                      SolveCase{"ROREFSEMIA", false, 58, 42, {"ARO", "RAF"}},
                      SolveCase{"ROREFCONTA", false, 57, 42, {"ARO", "RAF"}},
                      SolveCase{"ROREFSEMI1R", true, 59, 35, {"RFT"}}, SolveCase{"ROREFCONT1R", true, 58, 35, {"RFT"}},
                      SolveCase{"ROREFSEMI2R", true, 72, 47, {"RF1", "RF2"}},
                      SolveCase{"ROREFCONT2R", true, 71, 47, {"RF1", "RF2"}},
                      SolveCase{"ROREFSEMIA", true, 64, 39, {"ARO", "RAF"}},
                      SolveCase{"ROREFCONTA", true, 63, 39, {"ARO", "RAF"}}),
    [](const auto& info) { return caseName(info.param); });

INSTANTIATE_TEST_SUITE_P(
    Options, RefSolve,
    ::testing::Values(SolveCase{"ROREFCONT1R", false, 53, 40, {"RFT"}, "VOLUME", "N+2A"},
                      SolveCase{"ROREFSEMIA", true, 64, 41, {"ARO", "RAF"}, "VOLUME", "N+1.5A"},
                      // The hydrogen balance's correction and the tuning factors of a yield.
                      SolveCase{"ROREFSEMI2R",
                                false,
                                66,
                                50,
                                {"RF1", "RF2"},
                                "MASS",
                                "NA",
                                {{"HYDBALBIAS", 1e-3}, {"HYDBALSLOPETARGETRON", 1e-5}, {"ALPHA_RF1FRAC", 1.02},
                                 {"GAMMA_RF2FRAC_MEABP", 1e-4}}},
                      SolveCase{"ROREFCONT2R",
                                true,
                                71,
                                49,
                                {"RF1", "RF2"},
                                "MASS",
                                "N+3A",
                                {{"HYDBALSLOPENAPH", 2e-5}, {"HYDBALSLOPEAROM", -1e-5}, {"BETA_RF2HYD", 0.002}}}),
    [](const auto& info) { return caseName(info.param); });

TEST(RefProgram, SolvesEveryExampleCaseAndReportsAMissingNetworkFile) {
  for (const char* file : {"ref-semi-1r.json", "ref-cont-1r.json", "ref-semi-2r.json", "ref-cont-2r.json",
                           "ref-semi-a.json", "ref-cont-a.json"}) {
    const ProgramRun run = solveExample(file, "--check-jacobian");
    EXPECT_TRUE(converged(run, 5)) << file;
    EXPECT_EQ(run.text().find("failed"), std::string::npos) << file << run.text();
  }
  const ScratchFolder nets("ref_missing");
  nets.copySampleNetworks("REF_SEMI_1R", "REF_SEMI_1R_RFTSG.zkr");
  const ProgramRun run = solveExample("ref-semi-1r.json", "--networks " + nets.string());
  EXPECT_NE(run.code, 0) << run.text();
}

}  // namespace
