// The passes of an FCC slate around its networks and pattern, and the
// starting values of init: the H2S grid with and without a bracket, the volume
// feed, the mixes, and values that are never stored when not finite.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/models/fcc/fcc_slate_fixture.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace fcc_test;

constexpr double kSentinel = 12345.678;
const BlockType& k2N = kBlockTypes[0];
const BlockType& k3N = kBlockTypes[4];
const BlockType& k3N1H = kBlockTypes[6];

TEST(FccSlatePasses, AFailingNetworkIsTheResultAndNothingIsWritten) {
  Session s(k3N1H);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  romhost::BlockSystem& sys = s.system();
  for (int e : sys.equations()) rtoeqnlst_vec_residual(sys.eqnList())[e - 1] = kSentinel;
  double* bj = rtojac_vec_bj(sys.jac());
  for (const auto& nz : sys.nonZeros()) bj[nz.nz - 1] = kSentinel;
  const double massFactor = s.value("MASSFACTOR"), h2s = s.value("H2SMASS");
  const NetworkRoot none;  // empty: every network file is missing
  EXPECT_EQ(s.res(), 3);  // missing file
  EXPECT_EQ(s.jac(), 3);
  long long status = 0;
  s.fcc().init(status);
  EXPECT_EQ(status, 3);
  for (int e : sys.equations()) EXPECT_EQ(rtoeqnlst_vec_residual(sys.eqnList())[e - 1], kSentinel);
  for (const auto& nz : sys.nonZeros()) EXPECT_EQ(bj[nz.nz - 1], kSentinel);
  EXPECT_EQ(s.value("MASSFACTOR"), massFactor);
  EXPECT_EQ(s.value("H2SMASS"), h2s);
}

TEST(FccSlatePasses, TheJacobianNeedsACompletePattern) {
  EXPECT_TRUE(jacobianWaitsForPattern(createByFactory({"SUBID:ROFCCGO2N"}), nominalInputs("FCC_GO_2N")));
}

// The sulfur balance of the grid at an H2S mass h, from the adjusted
// predictions of the yields and relative sulfur, and the zero of that line.
struct Grid {
  explicit Grid(Session& s) {
    const FccSlate slate = s.fcc().slate();
    const double feed = s.value("FEEDMASS"), sul = s.value("FEEDSUL");
    auto predicted = [&](const std::string& output) {
      long long status = 0;
      const double v = s.fcc().computeAdjValue(output, status);
      EXPECT_EQ(status, 0) << output;
      return v;
    };
    double sumYield = 0.0, sigma = 0.0;
    for (const std::string& p : fccMassBalanceProducts(slate))
      if (p != "H2SMASS") sumYield += predicted(p.substr(0, p.size() - 4) + "FRAC");
    for (const std::string& p : fccSulfurBalanceProducts(slate)) {
      const std::string cut = p.substr(0, 3);
      sigma += predicted(cut + "FRAC") * predicted(cut + "RELSUL") * sul / 100.0;
    }
    const double rho = 32.0 / 34.0;
    hmax = sul * feed / 100.0 * 34.08088 / 32.065;
    zero = (sul * feed / 100.0 - feed * sigma / sumYield) / (rho - sigma / sumYield);
  }
  double hmax = 0.0;
  double zero = 0.0;
};

TEST(FccSlateInit, TheMassFactorClosesTheBalanceAndH2SBracketsTheSulfurBalance) {
  for (const BlockType& t : {k2N, k3N1H}) {
    Session s(t);
    ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
    double products = 0.0;
    for (const std::string& p : fccMassBalanceProducts(t.slate)) products += s.value(p);
    EXPECT_NEAR(products, s.value("FEEDMASS"), 1e-9 * s.value("FEEDMASS")) << t.subid;
    const Grid grid(s);
    EXPECT_LE(std::fabs(s.value("H2SMASS") - grid.zero), grid.hmax / 20.0 + 1e-9) << t.subid;
    EXPECT_GT(s.value("MASSFACTOR"), 1.0);
    // The 2N slate starts H2SFRAC, so EQN_H2SMASS holds at its start.
    if (t.slate == FccSlate::TwoN) {
      EXPECT_EQ(s.value("H2SFRAC"), s.value("H2SMASS") / s.value("FEEDMASS")) << t.subid;
      EXPECT_EQ(s.residual("EQN_H2SMASS"), 0.0) << t.subid;
    }
    // Mixes from the values as they stand: three light-end volumes are 1.
    EXPECT_EQ(s.value("C3MIXVOL"), 2.0);
    EXPECT_EQ(s.value("UNSATINC3MIX"), s.value("C32MASS") / s.value("C3MIXMASS"));
    EXPECT_EQ(s.value("LCOSULPPM"), s.value("LCOSUL") * 10000.0);
    EXPECT_EQ(s.value("LCNSG"), 1.0);
  }
}

// The yield and relative-sulfur outputs are Newton's: init leaves them as
// they stand, and the product sulfur follows the relative sulfur held.
TEST(FccSlateInit, LeavesTheYieldsAndRelativeSulfurAsTheyStand) {
  Session s(k3N1H);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  s.value("LCNFRAC") = 0.25;
  s.value("LCORELSUL") = 0.5;
  long long status = 0;
  s.fcc().init(status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(s.value("LCNFRAC"), 0.25);
  EXPECT_EQ(s.value("LCORELSUL"), 0.5);
  EXPECT_EQ(s.value("LCOSUL"), 0.5 * s.value("FEEDSUL"));
  long long st = 0;
  EXPECT_NE(s.fcc().computeAdjValue("LCNFRAC", st), 0.25);  // the masses take the prediction
  EXPECT_EQ(s.value("LCNMASS"), s.fcc().computeAdjValue("LCNFRAC", st) * s.value("FEEDMASS") * s.value("MASSFACTOR"));
}

TEST(FccSlateInit, WithoutABracketTheFallback) {
  // A feed without sulfur: every grid point is 0.
  Session none(k3N, {{"FEEDSUL", 0.0}});
  ASSERT_TRUE(none.setUp.ok()) << none.setUp.message;
  EXPECT_EQ(none.value("MASSFACTOR"), 1.0);
  EXPECT_EQ(none.value("H2SMASS"), 0.0);
  for (const char* cut : {"C5S", "LCN", "MCN", "HCN", "LCO", "BOT", "COK"}) {
    EXPECT_EQ(none.value(std::string(cut) + "SUL"), 0.0) << cut;
    EXPECT_EQ(none.value(std::string(cut) + "SULPPM"), 0.0) << cut;
  }
  // Products that carry more sulfur than the feed already at H = 0.
  Session rich(k3N1H, {}, {{"BETA_COKRELSUL", 50.0}});
  ASSERT_TRUE(rich.setUp.ok()) << rich.setUp.message;
  EXPECT_EQ(rich.value("MASSFACTOR"), 1.0);
  EXPECT_DOUBLE_EQ(rich.value("H2SMASS"), Grid(rich).hmax / 2.0);
}

TEST(FccSlateInit, VolumeFeedMixesAndValuesThatAreNeverStored) {
  Session volume(createByFactory({"SUBID:ROFCCGOR2N1H", "BASIS_HL:VOLUME"}),
                 joined(nominalInputs("FCC_GOR_2N1H", true), {{"FEEDSG", 0.9}, {"FEEDVOL", 100}}));
  ASSERT_TRUE(volume.setUp.ok()) << volume.setUp.message;
  EXPECT_DOUBLE_EQ(volume.value("FEEDMASS"), 90000.0);

  Session s(k3N);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  s.value("IC4VOL") = 3.0;
  s.value("UC4VOL") = 4.0;
  s.value("H2SFRAC") = 0.123;
  long long status = 0;
  s.fcc().init(status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(s.value("C4MIXVOL"), 8.0);
  EXPECT_EQ(s.value("H2SFRAC"), 0.123);  // only the 2N slate starts it

  // No feed: no bracket, no product mass; the shares of the empty mixes and
  // the H2S yield keep their values and nothing that is not finite is stored.
  Session twoN(k2N);
  ASSERT_TRUE(twoN.setUp.ok()) << twoN.setUp.message;
  for (Session* b : {&s, &twoN}) {
    b->value("FEEDMASS") = 0.0;
    b->value("SATINC3MIX") = 0.25;
    b->value("H2SFRAC") = 0.123;
    b->fcc().init(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(b->value("MASSFACTOR"), 1.0);
    EXPECT_EQ(b->value("C3MIXMASS"), 0.0);
    EXPECT_EQ(b->value("SATINC3MIX"), 0.25);
    EXPECT_EQ(b->value("H2SFRAC"), 0.123);
    for (int v : b->system().variables())
      EXPECT_TRUE(std::isfinite(b->system().value(v))) << b->system().variableName(v);
  }
}

}  // namespace
