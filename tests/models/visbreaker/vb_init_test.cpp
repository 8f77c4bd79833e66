// The first-generation visbreaker's starting values: the feed by basis, the
// furnace temperature before the networks, the H2S grid of the balances, the
// light ends and the viscosities, and a failing network.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <tuple>

#include "models/visbreaker/rovb.h"
#include "tests/models/visbreaker/vb_fixture.h"

namespace {

using namespace vb_test;

// Adjusted predictions fixed by the tuning factors: ALPHA 0 and BETA the value.
Values adjustedTo(const Values& predictions) {
  Values attrs;
  for (const auto& [output, v] : predictions) {
    attrs.push_back({"ALPHA_" + output, 0.0});
    attrs.push_back({"BETA_" + output, v});
  }
  return attrs;
}

const Values kFractions = {{"FGSFRAC", 0.03},  {"C3FRAC", 0.005},    {"C32FRAC", 0.005},   {"IC4FRAC", 0.003},
                           {"NC4FRAC", 0.004}, {"UC4FRAC", 0.003},   {"NAPFRAC", 0.1},     {"LGOFRAC", 0.2},
                           {"HGOFRAC", 0.3},   {"TARFRAC", 0.35},    {"NAPRELSUL", 0.2},   {"LGORELSUL", 0.5},
                           {"HGORELSUL", 0.9}, {"TARRELSUL", 1.3}};

Values inputs(double feedMass, double feedSul) {
  Values v = nominalInputs();
  for (auto& [name, value] : v) {
    if (name == "FEEDMASS") value = feedMass;
    if (name == "FEEDSUL") value = feedSul;
  }
  return v;
}

TEST(VbInit, TheGridBracketsTheH2SMassAndClosesTheMassBalance) {
  Session s(createByFactory(options("ROVBNOSKR")), inputs(1000, 2), adjustedTo(kFractions));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  // Sulfur 20 in, 16.9 with the liquids per unit mass factor; the grid's
  // sulfur residual changes sign between its points 1 and 2.
  const double hMax = 20 * 34.08088 / 32.065;
  const double h1 = hMax / 10, h2 = 2 * hMax / 10;
  const double a1 = (1000 - h1) / 1000, a2 = (1000 - h2) / 1000;
  EXPECT_GT(20 - h1 * 32 / 34 - 16.9 * a1, 0.0);
  EXPECT_LT(20 - h2 * 32 / 34 - 16.9 * a2, 0.0);
  EXPECT_DOUBLE_EQ(s.value("H2SMASS"), (h1 + h2) * 0.5);
  EXPECT_DOUBLE_EQ(s.value("MASSFACTOR"), (a1 + a2) * 0.5);
  EXPECT_DOUBLE_EQ(s.value("NAPMASS"), 0.1 * 1000 * s.value("MASSFACTOR"));
  long long st = 1;
  EXPECT_NEAR(s.as<rovb>().computeMassBalanceResidual(st), 0.0, 1e-10);
  EXPECT_EQ(st, 0);
}

TEST(VbInit, WithoutFeedSulfurNothingIsBracketed) {
  Session s(createByFactory(options("ROVBNOSKR")), inputs(1000, 0), adjustedTo(kFractions));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(s.value("MASSFACTOR"), 1.0);
  EXPECT_EQ(s.value("H2SMASS"), 0.0);
  EXPECT_DOUBLE_EQ(s.value("TARMASS"), 0.35 * 1000);
}

TEST(VbInit, FeedByVolumeLightEndsAndViscosities) {
  Values v = nominalInputs(true);
  v.push_back({"FEEDVOL", 100});
  v.push_back({"FEEDSG", 0.95});
  v.push_back({"FEEDVBI", 30});
  Session s(createByFactory(options("ROVBSKR", false, true)), v);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(s.value("FEEDMASS"), 95000.0);  // before the furnace temperature used it
  EXPECT_DOUBLE_EQ(s.value("FURNACETEMP"), s.as<rovb>().computeFurnaceTemp(95000, 7, 20, 0.95, 3));
  for (const auto& [index, visc, share] : {std::tuple("LGOVBI", "LGOVISC_122", 0.1),
                                           std::tuple("HGOVBI", "HGOVISC_122", 0.2),
                                           std::tuple("TARVBI", "TARVISC_122", 0.7)}) {
    EXPECT_DOUBLE_EQ(s.value(index), share * 30) << index;
    EXPECT_DOUBLE_EQ(s.value(visc), share * 30) << visc;
  }
  EXPECT_EQ(s.value("FEEDVISC"), 30.0);  // the provisional 4000 replaced
  EXPECT_EQ(s.value("C3MIXVOL"), 2.0);
  EXPECT_EQ(s.value("C4MIXVOL"), 1.0 + s.value("IC4VOL") + s.value("UC4VOL"));
  EXPECT_DOUBLE_EQ(s.value("UNSATINC4MIX"), s.value("UC4MASS") / s.value("C4MIXMASS"));
  EXPECT_EQ(s.value("TARSG"), 1.0);  // a placeholder, whatever its bounds
}

TEST(VbInit, AFailingNetworkStopsAfterTheFurnaceTemperature) {
  const NetworkRoot nets("vb_nets");
  nets.copySampleNetworks("VB_NOSKR", "VB_NOSKR_HGOSG.zkr");
  Session s(createByFactory(options("ROVBNOSKR"), nets.string()));
  EXPECT_EQ(s.setUp.status, romhost::HostStatus::kInputError);  // the runner's "missing file"
  EXPECT_EQ(s.setUp.message, "init could not run a network: network file " +
                                 (std::filesystem::path(nets.string()) / "VB_NOSKR" / "VB_NOSKR_HGOSG.zkr").string() +
                                 " failed with status 3 (missing file)");
  EXPECT_DOUBLE_EQ(s.value("FURNACETEMP"), s.as<rovb>().computeFurnaceTemp(1e5, 7, 20, 1.02, 3));
  EXPECT_EQ(s.value("FEEDVISC"), 4000.0);
  EXPECT_EQ(s.value("MASSFACTOR"), 1.0);  // untouched
}

}  // namespace
