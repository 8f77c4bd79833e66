// Whole hydrocracker blocks on the sample networks: starting values of init,
// the network run of the run-all operation, solves from init with the host's
// derivative check at the solution and away from it (fixed columns included),
// and the romhost program on the example cases.
#include <gtest/gtest.h>

#include <string>

#include "models/hydrocracker/eqnndep.h"
#include "tests/models/hydrocracker/hcr_fixture.h"
#include "tests/support/romhost_run.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace hcr_test;

// The tuned prediction of a network output.
double predicted(Session& s, const std::string& output) {
  long long st = 0;
  return dynamic_cast<const eqNNDep&>(*s.model().eqnMan().find("Y_" + output)).adjustedPrediction(st);
}

// S - FEEDHYD of the fuel-gas start, at the tuned predictions.
double hydrogenExcess(Session& s) {
  double sum = predicted(s, "H2SFRAC") * s.value("H2SHYD") + 100.0 * predicted(s, "H2FRAC");
  for (const char* g : {"C3", "NC4", "IC4"}) sum += predicted(s, std::string(g) + "FRAC") * s.value(std::string(g) + "HYD");
  for (const std::string& p : s.model().slate().products) sum += predicted(s, p + "FRAC") * predicted(s, p + "HYD");
  return sum - predicted(s, "FEEDHYD");
}

TEST(HcrInit, DieselSlateStartsConversionFuelGasAndUnconvertedOil) {
  Session s("ROHCRD");
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(s.value("CONVERSION"), 80.0);  // TOTCONV, before the networks ran
  const double fgs = hydrogenExcess(s) * (200000.0 / 100.0) / 22.6;
  ASSERT_GT(fgs, 0.0);
  EXPECT_NEAR(s.value("FGSMASS"), fgs, 1e-9 * fgs);
  EXPECT_NEAR(s.value("UCOFRAC"), (1.0 - 0.8) * (200000.0 + s.value("FGSMASS")) / 200000.0, 1e-15);
  // The networks ran at the starting CONVERSION: their rows are closed but UCOFRAC's.
  EXPECT_EQ(s.residual("Y_C3FRAC"), 0.0);
  // Nothing else is written: the computed flows keep the values they were created with.
  for (const char* name : {"KERMASS", "KERVOL", "H2SVOL", "KERSUL", "KERHYDMASS", "KERCETIDX", "MASSFACTOR"})
    EXPECT_EQ(s.value(name), 1.0) << name;
}

TEST(HcrInit, OnAVolumeBasisTheFeedMassIsLeftToNewton) {
  Session s("ROHCRN", true);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(s.value("FEEDVOL"), 200000.0 / 910.0);  // given
  EXPECT_EQ(s.value("FEEDMASS"), 1.0);             // not derived from it by init
  ASSERT_TRUE(solves(s.system(), 15));
  EXPECT_NEAR(s.value("FEEDMASS"), 200000.0, 1e-6);
}

// Network runs of every network equation of the block so far.
unsigned long networkRuns(Session& s) {
  unsigned long runs = 0;
  for (const auto& [name, eqn] : s.model().eqnMan().objects())
    if (const auto* y = dynamic_cast<const eqNNDep*>(eqn.get())) runs += y->runs();
  return runs;
}

TEST(HcrInit, EveryNetworkRunsOnceAndNotAgainAtTheSamePoint) {
  Session s("ROHCRMILD");
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(networkRuns(s), 49u);
  std::vector<double> r;
  ASSERT_TRUE(s.system().residuals(r).ok());
  ASSERT_TRUE(s.system().jacobian().ok());
  EXPECT_EQ(networkRuns(s), 49u);
  s.value("FEEDSG") += 1e-9;  // every network reads it
  ASSERT_TRUE(s.system().jacobian().ok());
  EXPECT_EQ(networkRuns(s), 98u);
}

TEST(HcrInit, OtherSlatesLeaveConversionAndFloorTheFuelGasAtZero) {
  Session k("ROHCRK");
  ASSERT_TRUE(k.setUp.ok()) << k.setUp.message;
  EXPECT_EQ(k.value("CONVERSION"), 1.0);  // as the framework created it
  EXPECT_EQ(k.value("UCOFRAC"), predicted(k, "UCOFRAC"));

  // A feed far richer in hydrogen than its products: no fuel gas to start with.
  Session n("ROHCRN", false, {{"BETA_FEEDHYD", 30.0}});
  ASSERT_TRUE(n.setUp.ok()) << n.setUp.message;
  ASSERT_LT(hydrogenExcess(n), 0.0);
  EXPECT_EQ(n.value("FGSMASS"), 0.0);
}

TEST(HcrRunNN, ScalesAFreshHydrogenContentOnly) {
  Session s("ROHCRK");
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const hcrmodel& m = s.model();
  auto prediction = [&](const std::string& y) {
    return dynamic_cast<const eqNNDep&>(*m.eqnMan().find("Y_" + y)).prediction();
  };
  ASSERT_EQ(m.runNN("KERHYD"), 0);
  EXPECT_NEAR(m.varMan().var("KERHYD").value, 100.0 * prediction("KERHYD"), 1e-9);
  EXPECT_NEAR(m.varMan().var("KERHYD").derivs.at("CONVERSION"),
              100.0 * dynamic_cast<const eqNNDep&>(*m.eqnMan().find("Y_KERHYD")).derivatives().at("CONVERSION"),
              1e-12);
  for (const char* unscaled : {"FEEDHYD", "KERFRAC"}) {
    ASSERT_EQ(m.runNN(unscaled), 0);
    EXPECT_EQ(m.varMan().var(unscaled).value, prediction(unscaled)) << unscaled;
  }
  EXPECT_EQ(m.runAllNN(), 0);
  const double scaled = m.varMan().var("KERHYD").value;
  useNetworkRoot("/nonexistent");
  EXPECT_NE(m.runNN("KERHYD"), 0);
  EXPECT_EQ(m.varMan().var("KERHYD").value, scaled);  // a failed run scales nothing
  useSampleNetworks();
}

struct SolveCase {
  const char* name;
  const char* subid;
  bool volume;
  Values attributes;
};

void PrintTo(const SolveCase& c, std::ostream* os) { *os << c.name; }

class HcrSolve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(HcrSolve, ConvergesFromInitWithAnExactJacobian) {
  const SolveCase& p = GetParam();
  Session s(p.subid, p.volume, p.attributes);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  ASSERT_TRUE(solves(s.system(), 15));
  EXPECT_TRUE(exactJacobian(s.system())) << "solution";
  // Not at init's point, where the computed flows still hold 1.0.
  EXPECT_TRUE(exactJacobianMoved(s, 1.02, kEveryNonZero)) << "away from the solution";

  EXPECT_NEAR(s.value("FEEDMASS"), 200000.0, 1e-6);
  EXPECT_NEAR(s.value("FEEDVOL"), 200000.0 / 910.0, 1e-9);
  EXPECT_GT(s.value("FGSMASS"), 0.0);
  const double massFactor = s.value("MASSFACTOR");
  EXPECT_TRUE(massFactor > 0.95 && massFactor < 1.05) << massFactor;
  // The conversion correlation at FEEDMASS 200000, TOTCONV 80, RCYRATE 10 and FEEDSUL 2; the mild slate's is given.
  const double conversion = std::string(p.subid) == "ROHCRMILD" ? 40.0
                                                                 : 1.22853188368e-5 * 2e5 + 0.948054946124 * 80 -
                                                                       0.797164005838 * 10 + 0.584632668456 * 2 +
                                                                       4.38748336599;
  EXPECT_NEAR(s.value("CONVERSION"), conversion, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HcrSolve,
    ::testing::Values(SolveCase{"DieselMass", "ROHCRD", false, {}}, SolveCase{"DieselVolume", "ROHCRD", true, {}},
                      SolveCase{"KeroseneMass", "ROHCRK", false, {}}, SolveCase{"KeroseneVolume", "ROHCRK", true, {}},
                      SolveCase{"MildMass", "ROHCRMILD", false, {}}, SolveCase{"MildVolume", "ROHCRMILD", true, {}},
                      SolveCase{"NaphthaMass", "ROHCRN", false, {}}, SolveCase{"NaphthaVolume", "ROHCRN", true, {}},
                      // Tuning factors and the hydrogen-balance terms on their rows.
                      SolveCase{"TunedDiesel",
                                "ROHCRD",
                                false,
                                {{"ALPHA_KERFRAC", 1.04},
                                 {"BETA_UCOFRAC", -0.004},
                                 {"GAMMA_LCNFRAC_CONVERSION", 2e-4},
                                 {"GAMMA_HCNHYD_FEEDSG", 0.5},
                                 {"HYDBALBIAS", 1e-4},
                                 {"HYDBALSLOPECONV", 2e-6},
                                 {"HYDBALSLOPESG", 1e-4}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HcrProgram, SolvesEveryExampleCase) {
  // Every block type's derivatives are checked in process above; here once through the program.
  for (const char* file : {"hcr-d.json", "hcr-k.json", "hcr-mild.json", "hcr-n.json"}) {
    const ProgramRun run = solveExample(file, std::string(file) == "hcr-n.json" ? "--check-jacobian" : "");
    EXPECT_TRUE(converged(run)) << file;
  }
}

}  // namespace
