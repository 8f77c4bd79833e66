// The coker's balances and property indices, its starting values, and what its
// hooks report when a value leaves an equation's domain.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "platform/rtdev.h"
#include "tests/models/coker/coker_fixture.h"
#include "tests/support/networks.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace coker_test;

TEST(CokerIndices, KnownValuesOfTheCorrelations) {
  const rocoker c("C1");
  EXPECT_NEAR(c.computeLGOViscIdx(1.15), 1.7334, 5e-5);
  EXPECT_DOUBLE_EQ(c.computeLGOViscIdx(9.15), 19.2);
  EXPECT_EQ(c.computeHGOViscIdx(2.5), c.computeLGOViscIdx(2.5));
  EXPECT_DOUBLE_EQ(c.computeLGOCloudIdx(140), 10000.0);
  const double lx = std::log10(482.0);  // 1.8 x 250 + 32
  // The terms (up to 1395) cancel to about 55: a compiler's other order of the
  // same operations moves the last digits of the sum, so the sum is held to a
  // few units of the last place of its largest term.
  EXPECT_NEAR(c.computeLGOCetIdx(0.85, 250),
              454.74 - 1641.416 * 0.85 + 774.74 * 0.85 * 0.85 - 0.554 * 482 + 97.803 * lx * lx,
              4 * 1641.416 * 0.85 * std::numeric_limits<double>::epsilon());
  EXPECT_NEAR(c.computeLGOCetIdxDerivative("LGOSG", 1641.416 / 1549.48, 250), 0.0, 1e-12);
  EXPECT_NEAR(c.computeHGOViscIdxDerivative("HGOVISC_122", 2.5), c.computeLGOViscIdxDerivative("LGOVISC_122", 2.5),
              1e-15);
  // Any name but the row's input is the index variable: -1. Names compare exactly.
  for (const char* other : {"LGOCETIDX", "LGOSG ", "lgosg"})
    EXPECT_EQ(c.computeLGOCetIdxDerivative(other, 0.9, 250), -1);
  EXPECT_EQ(c.computeLGOCloudIdxDerivative("LGOCLOUDIDX", 20), -1);
  EXPECT_EQ(c.computeLGOViscIdxDerivative("HGOVISC_122", 2.5), -1);
}

TEST(CokerBalances, ResidualsAndDerivativesOfTheirRowsOnly) {
  Session s(createByFactory({"SUBID:ROCOKER"}));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  for (const char* p : {"H2S", "FGS", "C3", "C32", "IC4", "NC4", "UC4", "LCN", "HCN", "LGO", "HGO", "COK"})
    s.value(std::string(p) + "MASS") = 0.0;
  for (const char* p : {"LCN", "HCN", "LGO", "HGO", "COK"}) s.value(std::string(p) + "SULMASS") = 0.0;
  s.value("FEEDSULMASS") = 4800;
  const rocoker& c = s.coker();
  long long st = 1;
  EXPECT_EQ(c.computeMassBalanceResidual(st), 120000.0);
  s.value("H2SMASS") = 100;
  EXPECT_DOUBLE_EQ(c.computeSulfurBalanceResidual(st), 4800 - 94.08501188936436);
  EXPECT_EQ(st, 0);
  struct Row {
    bool sulfur;
    const char* name;
    double derivative;
    long long status;
  };
  for (const Row& r : {Row{false, "FEEDMASS", 1, 0}, Row{false, "H2SMASS", -1, 0}, Row{false, "IC4MASS", -1, 0},
                       Row{false, "FEEDSULMASS", 0, 1}, Row{false, "C3MIXMASS", 0, 1}, Row{true, "FEEDSULMASS", 1, 0},
                       Row{true, "H2SMASS", -0.9408501188936436, 0}, Row{true, "COKSULMASS", -1, 0},
                       Row{true, "FEEDMASS", 0, 1}, Row{true, "LCNMASS", 0, 1}}) {
    const double d =
        r.sulfur ? c.computeSulfurBalanceDerivative(r.name, st) : c.computeMassBalanceDerivative(r.name, st);
    EXPECT_EQ(std::pair(d, st), std::pair(r.derivative, r.status)) << r.sulfur << r.name;
  }
}

TEST(CokerInit, VolumeBasisConvertsTheFeedAndStartsTheSulfurMasses) {
  Session s(createByFactory({"SUBID:ROCOKER", "BASIS_HL:VOLUME"}), {{"FEEDVOL", 100}, {"FEEDSG", 0.95}});
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(s.value("FEEDMASS"), 95000.0);
  Session mass(createByFactory({"SUBID:ROCOKER"}));  // the mass basis leaves the feed as given
  ASSERT_TRUE(mass.setUp.ok()) << mass.setUp.message;
  EXPECT_EQ(mass.value("FEEDMASS"), 120000.0);

  mass.value("LCNFRAC") = 0.06, mass.value("LCNRELSUL") = 0.25;
  for (const char* p : {"HCN", "LGO", "HGO", "COK"}) mass.value(std::string(p) + "FRAC") = 0.1;
  for (const char* p : {"HCN", "LGO", "HGO", "COK"}) mass.value(std::string(p) + "RELSUL") = 1.0;
  long long st = 1;
  mass.coker().init(st);
  ASSERT_EQ(st, 0);
  EXPECT_DOUBLE_EQ(mass.value("LCNSULMASS"), 0.25 * 0.06 * 120000 * 4.0 / 100);
  EXPECT_DOUBLE_EQ(mass.value("H2SMASS"), (4800 - 72 - 4 * 480) / 0.9408501188936436);
  mass.value("COKRELSUL") = 100;  // more sulfur in the products than in the feed: H2S starts at its bound 0
  mass.coker().init(st);
  EXPECT_EQ(mass.value("H2SMASS"), 0.0);
}

// The block prints nothing of its own: the host names the file, by the path
// the runner read, from the runner's record.
TEST(CokerInit, MissingNetworkReturnsTheRunnersStatusAndPrintsNothing) {
  const NetworkRoot empty("coker_nets");
  std::filesystem::create_directories(empty / "COKER");
  if (!rtHisDev) rtHisDev = rtdev_create(false);
  rtdev_clear(rtHisDev);
  Session s(createByFactory(options(true), empty.string()), {{"FEEDVOL", 100}, {"FEEDSG", 0.95}});
  EXPECT_EQ(s.setUp.status, romhost::HostStatus::kInputError);  // the runner's "missing file"
  EXPECT_EQ(s.setUp.message, "init could not run a network: network file " +
                                 (empty / "COKER" / "COKER_C32FRAC.zkr").string() +
                                 " failed with status 3 (missing file)");
  EXPECT_EQ(s.value("FEEDMASS"), 95000.0);               // converted before the networks ran
  for (const char* name : {"H2SMASS", "LCNSULMASS", "HCNSULMASS", "LGOSULMASS", "HGOSULMASS", "COKSULMASS"})
    EXPECT_EQ(s.value(name), 1.0) << name;  // no starting value written
  EXPECT_EQ(rtdev_text(rtHisDev), "");
}

struct DomainCase {
  bool volume;
  const char* variable;
  double value;
  const char* row;
};

class CokerOutsideDomain : public ::testing::TestWithParam<DomainCase> {};

TEST_P(CokerOutsideDomain, HooksWriteEveryValueAndReportStatusOne) {
  const DomainCase& p = GetParam();
  Session s(createByFactory(options(p.volume)), nominalInputs(p.volume));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  s.value(p.variable) = p.value;
  double* r = rtoeqnlst_vec_residual(s.system().eqnList());
  for (int e : s.system().equations()) r[e - 1] = 12345.0;
  EXPECT_EQ(s.res(), 1);
  EXPECT_FALSE(std::isfinite(s.residual(p.row)));
  for (int e : s.system().equations()) EXPECT_NE(r[e - 1], 12345.0) << s.system().equationName(e);  // all written
  EXPECT_EQ(s.jac(), 1);
}

INSTANTIATE_TEST_SUITE_P(Rows, CokerOutsideDomain,
                         ::testing::Values(DomainCase{false, "C3MIXMASS", 0, "EQN_SATINC3MIX"},
                                           DomainCase{false, "C4MIXVOL", 0, "EQN_ISATINC4MIXVOL"},
                                           DomainCase{false, "LGOVISC_122", 0.15, "EQN_LGOVISCIDX"},
                                           DomainCase{false, "HGOVISC_122", -1, "EQN_HGOVISCIDX"},
                                           DomainCase{true, "FEEDMASS", 0, "CONV_COKMASS"}));

TEST(CokerJacobian, NeedsAPatternAndUsesTheFloorsSlopeAtZeroYield) {
  auto* probe = new ProbeCoker("C1");
  Session s(probe);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  s.value("LCNFRAC") = 0.0;
  s.value("MASSFACTOR") = 1.25;
  ASSERT_TRUE(s.system().jacobian().ok());
  // CONV_LCNMASS: LCNMASS, LCNFRAC, FEEDMASS, MASSFACTOR.
  const int first = probe->nzstart() + probe->ownEquation("CONV_LCNMASS")->firstNz;
  EXPECT_DOUBLE_EQ(s.system().jacobianValue(first + 1), -1.25 * std::exp(-1.0));
  EXPECT_DOUBLE_EQ(s.system().jacobianValue(first + 3), -1e-19 / std::exp(1.0));

  EXPECT_TRUE(jacobianWaitsForPattern(new ProbeCoker("C1"), nominalInputs()));
}

}  // namespace
