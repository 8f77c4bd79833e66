// Whole solves of the coker on the sample networks: the host's Newton from
// init, its derivative check at the start point and at the solution (fixed
// columns included), and the romhost program on the example cases.
#include <gtest/gtest.h>

#include <string>

#include "tests/models/coker/coker_fixture.h"
#include "tests/support/romhost_run.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace coker_test;

class CokerSolve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(CokerSolve, ConvergesFromInitWithAnExactJacobian) {
  const SolveCase& p = GetParam();
  Session s(createByFactory(options(p.volume)), joined(nominalInputs(p.volume), p.inputs), p.attributes);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_TRUE(exactJacobian(s.system(), 641)) << "start";
  ASSERT_TRUE(solves(s.system(), 8));
  EXPECT_TRUE(exactJacobian(s.system())) << "solution";

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

TEST(CokerProgram, SolvesTheExampleCasesAndNamesAMissingNetworkFile) {
  for (const char* file : {"coker.json", "coker-volume.json"}) {
    const ProgramRun run = solveExample(file, "--check-jacobian");
    EXPECT_TRUE(converged(run, 8)) << file;
    EXPECT_NE(run.text().find("641 entries"), std::string::npos) << run.text();
  }
  const ScratchFolder nets("coker_missing");
  nets.copySampleNetworks("COKER", "COKER_HGOSG.zkr");
  const ProgramRun run = solveExample("coker.json", "--networks " + nets.string());
  EXPECT_EQ(run.code, 2);  // an input error
  EXPECT_NE(run.text().find("network file " + (nets / "COKER" / "COKER_HGOSG.zkr").string()), std::string::npos)
      << run.text();
  EXPECT_NE(run.text().find("missing file"), std::string::npos) << run.text();
}

}  // namespace
