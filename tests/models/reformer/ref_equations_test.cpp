// The first-generation reformer's equations: worked values of the rows,
// feed correlations, balances, pattern counts, the network run's scaling and
// failures, and the starting values.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/diveduded/DIVeduded.h"
#include "tests/models/reformer/ref_fixture.h"

namespace {

using namespace ref_test;
using reformer::Eq;
using Entries = std::vector<std::pair<std::string, double>>;

// A probe of a leaf in a set-up session (nominal feed, patterned, initialised).
template <class Leaf>
struct ProbeSession {
  explicit ProbeSession(const char* na = "NA", const char* hl = "MASS")
      : probe(new Probe<Leaf>(na, hl)),
        s(probe, nominalInputs({std::string(probe->mode()) == "SEMI", std::string(hl) == "VOLUME",
                                std::string(na) != "NA", false})) {}
  Probe<Leaf>* probe;  // owned by the session
  Session s;
};

// An empty network root: every network run fails with "missing file".
using NoNetworks = NetworkRoot;

// ---- Rows at worked values ------------------------------------------------------

struct RowCase {
  const char* label;
  Eq eq;
  const char* record;
  std::vector<std::pair<const char*, double>> values;
  double residual;
  double tolerance;                // on the residual
  std::vector<double> jacobian;    // pattern order; empty: not checked
};
void PrintTo(const RowCase& c, std::ostream* os) { *os << c.label; }

class RefRows : public ::testing::TestWithParam<RowCase> {
 protected:
  static void SetUpTestSuite() {
    oneReformate = new ProbeSession<rorefsemi1r>();
    aromatics = new ProbeSession<rorefconta>();
  }
  static void TearDownTestSuite() {
    delete oneReformate;
    delete aromatics;
  }
  static ProbeSession<rorefsemi1r>* oneReformate;
  static ProbeSession<rorefconta>* aromatics;
};
ProbeSession<rorefsemi1r>* RefRows::oneReformate = nullptr;
ProbeSession<rorefconta>* RefRows::aromatics = nullptr;

TEST_P(RefRows, ResidualAndJacobianAtWorkedValues) {
  const RowCase& c = GetParam();
  const bool aro = c.eq == Eq::AROHyd;
  Session& s = aro ? aromatics->s : oneReformate->s;
  roref& block = aro ? static_cast<roref&>(*aromatics->probe) : static_cast<roref&>(*oneReformate->probe);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  for (const auto& [name, v] : c.values) s.value(name) = v;
  long long st = 0;
  aro ? aromatics->probe->evalResidual(c.eq, st) : oneReformate->probe->evalResidual(c.eq, st);
  aro ? aromatics->probe->evalJacobian(c.eq, st) : oneReformate->probe->evalJacobian(c.eq, st);
  EXPECT_EQ(st, 0);
  ASSERT_NE(block.equationRecord(c.eq), nullptr);
  EXPECT_NEAR(s.residual(c.record), c.residual, c.tolerance);
  if (c.tolerance == 0.0) {
    EXPECT_EQ(s.residual(c.record), c.residual);  // to the last bit
  }
  const Entries row = s.row(c.record);
  ASSERT_FALSE(row.empty());
  for (std::size_t k = 0; k < c.jacobian.size() && k < row.size(); ++k)
    EXPECT_DOUBLE_EQ(row[k].second, c.jacobian[k]) << row[k].first;
}

constexpr double kFloorAtZero = 3.678794411714423e-20;
constexpr double kInvE = 0.36787944117144233;

INSTANTIATE_TEST_SUITE_P(
    WorkedValues, RefRows,
    ::testing::Values(
        // "EQN_FGSMASS" holds the hydrogen product's mass.
        RowCase{"H2Mass", Eq::H2Mass, "EQN_FGSMASS",
                {{"H2FRAC", 0.2}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1}, {"H2MASS", 200}}, 0.0, 0.0,
                {0.2, 1000, 200, -1}},
        // A zero yield is floored to 1e-19/e; a yield of 1e-19 meets the floor with slope 1.
        RowCase{"ZeroYield", Eq::C3Mass, "EQN_C3MASS",
                {{"C3FRAC", 0.0}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1.5}, {"C3MASS", 0}}, kFloorAtZero * 1000 * 1.5,
                0.0, {kFloorAtZero * 1.5, 1.5 * 1000 * kInvE, kFloorAtZero * 1000, -1}},
        RowCase{"YieldAtTheFloor", Eq::NC4Mass, "EQN_NC4MASS",
                {{"NC4FRAC", 1e-19}, {"FEEDMASS", 1}, {"MASSFACTOR", 1}, {"NC4MASS", 0}}, 9.999999999999999e-20, 0.0,
                {9.999999999999999e-20, 1.0, 9.999999999999999e-20, -1}},
        RowCase{"NegativeYield", Eq::IC4Mass, "EQN_IC4MASS",
                {{"IC4FRAC", -1e-18}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1}, {"IC4MASS", 0}},
                std::exp(-10.0) * kFloorAtZero * 1000, 1e-30, {}},
        RowCase{"PropaneHydrogen", Eq::C3HydMass, "EQN_C3HYDMASS", {{"C3MASS", 100}, {"C3HYDMASS", 18.182}}, 0.0,
                1e-13, {18.182 / 100.0, -1}},
        RowCase{"ButaneHydrogen", Eq::NC4HydMass, "EQN_NC4HYDMASS", {{"NC4MASS", 100}, {"NC4HYDMASS", 17.24}}, 0.0,
                1e-13, {17.24 / 100.0, -1}},
        RowCase{"ZeroContent", Eq::FeedHydMass, "EQN_FEEDHYDMASS",
                {{"FEEDMASS", 1000}, {"FEEDHYD", 0}, {"FEEDHYDMASS", 5}}, -5.0, 0.0, {0.0, 10.0, -1}},
        RowCase{"NegativeContent", Eq::RFTHydMass, "EQN_RFTHYDMASS",
                {{"RFTMASS", 1000}, {"RFTHYD", -2}, {"RFTHYDMASS", 0}}, -20.0, 0.0, {-0.02, 10.0, -1}},
        RowCase{"FeedVolume", Eq::FeedVol, "CONV_FEEDVOL", {{"FEEDVOL", 100}, {"FEEDSG", 0.75}, {"FEEDMASS", 75000}},
                0.0, 0.0, {750, 100000, -1}},
        RowCase{"PropaneVolume", Eq::C3Vol, "CONV_C3VOL", {{"C3VOL", 10}, {"C3MASS", 5085}}, 0.0, 1e-9,
                {508.5, 10000, -1}},
        RowCase{"FuelGasMoles", Eq::FGSMol, "CONV_FGSMOL", {{"FGSMOL", 100}, {"FGSMASS", 2065}}, 0.0, 1e-9,
                {20.65, 100, -1}},
        RowCase{"FuelGasVolume", Eq::FGSVol, "CONV_FGSVOL", {{"FGSVOL", 2065 / (1000 * 0.811249393)}, {"FGSMOL", 100}},
                0.0, 1e-9,
                {0.811249393 / 20.65 * 1000, -(0.811249393 * (2065 / (1000 * 0.811249393)) / 20.65 / 20.65 * 1000),
                 2065 / (1000 * 0.811249393) / 20.65 * 1000, -1}},
        // The hydrogen moles take 2.01588 whatever H2MW holds.
        RowCase{"HydrogenMoles", Eq::H2Mol, "CONV_H2MOL", {{"H2MOL", 10}, {"H2MASS", 20.1588}, {"H2MW", 5}}, 0.0,
                1e-12, {2.01588, -1}},
        RowCase{"MeanAverageBoilingPoint", Eq::MEABP, "EQN_MEABP",
                {{"FEEDSG", 0.75}, {"FEEDNAPH", 30}, {"FEEDAROM", 10}, {"MEABP", 248.29134811334848}}, 0.0, 1e-12,
                {1.0, -2838.4367747834, 2.01694453409429, 4.61132832958926}},
        RowCase{"CarbonNumber", Eq::FeedCNO, "EQN_FEEDCNO",
                {{"FEEDSG", 0.75}, {"FEEDNAPH", 30}, {"FEEDAROM", 10}, {"FEEDCNO", 8.401119}}, 0.0, 1e-12,
                {1.0, -80.6049, 0.0408532, 0.131756}},
        RowCase{"FeedHydrogen", Eq::FeedHyd, "EQN_FEEDHYD",
                {{"FEEDCNO", 7}, {"FEEDNAPH", 30}, {"FEEDAROM", 10}, {"FEEDHYD", 14.75527950310559}}, 0.0, 1e-12,
                {1.0}},
        RowCase{"AromaticsHydrogen", Eq::AROHyd, "EQN_AROHYD",
                {{"AROBENZ", 100}, {"AROTOL", 0}, {"AROXYL", 0}, {"AROC9P", 0}, {"AROSG", 0.8845}, {"AROHYD", 7.6923}},
                0.0, 1e-12, {6.80383935 / 88.45, 7.58321172 / 88.45, 8.2056932 / 88.45, 8.8236044 / 88.45}}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- Correlations -----------------------------------------------------------------------

TEST(RefCorrelations, FeedPropertiesAndTheNASplit) {
  const rorefcont1r plain("R1");
  EXPECT_DOUBLE_EQ(plain.computeMEABP(0.75, 30, 10), 248.29134811334848);
  EXPECT_DOUBLE_EQ(plain.computeFeedCNO(0.75, 30, 10), 8.401119);
  EXPECT_DOUBLE_EQ(plain.computeFeedHyd(7, 30, 10), 14.75527950310559);
  EXPECT_DOUBLE_EQ(plain.computeFeedHyd(9, 0, 0), 20.0 / 128.0 * 100);  // C9H20
  EXPECT_NEAR(plain.computeAROHyd(100, 0, 0, 0, 0.8845), 7.6923, 1e-12);

  rorefcont1r na("R2");
  na.setNABasis("N+2A");
  EXPECT_DOUBLE_EQ(na.computeFeedArom(50, 7), 50.0 / 9);
  EXPECT_DOUBLE_EQ(na.computeFeedNaph(50, 7), 350.0 / 9);
  na.setNABasis("N+A");
  EXPECT_DOUBLE_EQ(na.computeFeedArom(40, 7) + na.computeFeedNaph(40, 7), 40.0);

  // A name outside the equation: 0.0 with status 1; names compare exactly.
  long long st = 0;
  EXPECT_EQ(plain.computeMEABPDerivative("FEEDCNO", st), 0.0);
  EXPECT_EQ(st, 1);
  EXPECT_EQ(plain.computeFeedCNODerivative("FEEDSG", st), -80.6049);
  EXPECT_EQ(st, 0);
  EXPECT_EQ(plain.computeFeedAromDerivative("feedna", st), 0.0);
  EXPECT_EQ(st, 1);
}

// ---- Balances ------------------------------------------------------------------------------

TEST(RefBalances, MassAndHydrogenResidualsAndDerivatives) {
  ProbeSession<rorefcont1r> p;
  Session& s = p.s;
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  for (const char* m : {"H2MASS", "FGSMASS", "C3MASS", "NC4MASS", "IC4MASS", "RFTMASS"}) s.value(m) = 100;
  s.value("FEEDMASS") = 1000;
  long long st = 1;
  EXPECT_EQ(p.probe->computeMassBalanceResidual(st), 400.0);
  for (const char* m : {"FGSHYDMASS", "C3HYDMASS", "NC4HYDMASS", "IC4HYDMASS", "RFTHYDMASS"}) s.value(m) = 10;
  s.value("FEEDHYDMASS") = 200;
  EXPECT_EQ(p.probe->computeHydrogenBalanceResidual(st), 200.0 - 100 - 50);
  EXPECT_EQ(st, 0);

  struct Slope {
    bool hydrogen;
    const char* name;
    double value;
    long long status;
  };
  const auto check = [&](const std::vector<Slope>& slopes) {
    for (const Slope& d : slopes) {
      long long status = 0;
      const double v = d.hydrogen ? p.probe->computeHydrogenBalanceDerivative(d.name, status)
                                  : p.probe->computeMassBalanceDerivative(d.name, status);
      EXPECT_EQ(std::pair(v, status), std::pair(d.value, d.status)) << d.hydrogen << d.name;
    }
  };
  check({{false, "FEEDMASS", 1, 0}, {false, "RFTMASS", -1, 0}, {false, "FEEDHYDMASS", 0, 1},
         {false, "TARGETRON", 0, 1}, {false, "feedmass", 0, 1}, {true, "FEEDHYDMASS", 1, 0}, {true, "H2MASS", -1, 0},
         {true, "RFTHYDMASS", -1, 0}, {true, "FEEDMASS", 0, 0}, {true, "TARGETRON", 0, 0}, {true, "FGSMASS", 0, 1}});

  // The correction: a bias and a slope, each times the feed mass; new values
  // count at the next call.
  value_t v;
  value_assign_double(&v, 0.01, 0, 1);
  ASSERT_TRUE(p.probe->attr_assign_value("HYDBALBIAS", v));
  value_assign_double(&v, 0.001, 0, 1);
  ASSERT_TRUE(p.probe->attr_assign_value("HYDBALSLOPETARGETRON", v));
  EXPECT_DOUBLE_EQ(p.probe->computeHydrogenBalanceResidual(st), 50.0 - 1000 * 0.01 - 1000 * 0.001 * 98);
  check({{true, "FEEDMASS", 0.0 - 0.01 - 98 * 0.001, 0}, {true, "TARGETRON", -(1000 * 0.001), 0},
         {true, "FEEDNAPH", 0.0, 0}});
}

// ---- Patterns --------------------------------------------------------------------------------

TEST(RefPattern, NonZerosPerRowAndTheBalancesSideBySide) {
  ProbeSession<rorefsemi2r> p("N+2A");
  Session& s = p.s;
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const std::vector<std::pair<const char*, std::size_t>> counts = {
      {"MASS_BAL", 8},         {"HYDROGEN_BAL", 12},    {"EQN_FGSMASS", 4},  {"EQN_RF2MASS", 4},
      {"EQN_RF1HYDMASS", 3},   {"EQN_FGSHYDMASS", 3},   {"EQN_C3HYDMASS", 2}, {"CONV_RF1VOL", 3},
      {"CONV_FGSVOL", 4},      {"CONV_FGSMOL", 3},      {"CONV_H2MOL", 2},    {"EQN_FEEDAROM", 3},
      {"EQN_MEABP", 4},        {"Y_RF1FRAC", 7}};  // every model input, then the output
  for (const auto& [row, n] : counts) EXPECT_EQ(s.row(row).size(), n) << row;
  EXPECT_EQ(s.firstNz("HYDROGEN_BAL"), s.firstNz("MASS_BAL") + 8);
  // The pattern order: the balances after the adjustment rows, the product rows last.
  EXPECT_EQ(s.firstNz("EQN_RF2HYDMASS") + 2, s.impl().nzlast());
  EXPECT_EQ(s.row("HYDROGEN_BAL").back().first, "FEEDAROM");
}

// ---- Network runs -------------------------------------------------------------------------------

TEST(RefNetworks, HydrogenContentsInPercentAndAFailedRunChangesNothing) {
  ProbeSession<rorefsemia> p;
  ASSERT_TRUE(p.s.setUp.ok()) << p.s.setUp.message;
  Probe<rorefsemia>& b = *p.probe;
  ASSERT_EQ(b.robase::runNN("RAFHYD"), 0);  // the network alone: a fraction
  const ROMVar raw = b.output("RAFHYD");
  ASSERT_EQ(b.runNN("RAFHYD"), 0);
  EXPECT_DOUBLE_EQ(b.output("RAFHYD").value, 100 * raw.value);
  for (const auto& [input, d] : raw.derivs) EXPECT_DOUBLE_EQ(b.output("RAFHYD").derivs.at(input), 100 * d) << input;
  // An entry the network does not name (as after it was trained again
  // without that input) keeps its value through later runs.
  b.output("RAFHYD").derivs["NOT_A_NETWORK_INPUT"] = 0.5;
  ASSERT_EQ(b.runNN("RAFHYD"), 0);
  ASSERT_EQ(b.runNN("RAFHYD"), 0);
  EXPECT_EQ(b.output("RAFHYD").derivs.at("NOT_A_NETWORK_INPUT"), 0.5);
  for (const auto& [input, d] : raw.derivs) EXPECT_DOUBLE_EQ(b.output("RAFHYD").derivs.at(input), 100 * d) << input;
  b.output("RAFHYD").derivs.erase("NOT_A_NETWORK_INPUT");
  ASSERT_EQ(b.runNN("AROSG"), 0);
  const double gravity = b.output("AROSG").value;
  ASSERT_EQ(b.robase::runNN("AROSG"), 0);
  EXPECT_EQ(b.output("AROSG").value, gravity);

  const ROMVar scaled = b.output("RAFHYD");
  p.s.value("RAFHYD") = -7;
  for (const int e : p.s.system().equations()) rtoeqnlst_vec_residual(p.s.system().eqnList())[e - 1] = 123.0;
  NoNetworks none;
  EXPECT_EQ(b.runNN("RAFHYD"), DIV_MISSING_FILE);
  EXPECT_EQ(b.output("RAFHYD").value, scaled.value);
  EXPECT_EQ(b.output("RAFHYD").derivs, scaled.derivs);
  // The hooks give the runner's status and write nothing.
  EXPECT_EQ(p.s.res(), DIV_MISSING_FILE);
  EXPECT_EQ(p.s.jac(), DIV_MISSING_FILE);
  for (const int e : p.s.system().equations()) EXPECT_EQ(rtoeqnlst_vec_residual(p.s.system().eqnList())[e - 1], 123.0);
}

TEST(RefNetworks, AJacobianNeedsAPattern) {
  useSampleNetworks();
  auto* block = new Probe<rorefcont1r>();
  romhost::BlockSession session(block);
  ASSERT_TRUE(session.dimension().ok());
  ASSERT_TRUE(session.initialize().ok());
  long long st = 0;
  block->user_jac(st);
  EXPECT_EQ(st, 1);
  block->user_res(st);
  EXPECT_EQ(st, 0);
}

// ---- Starting values ------------------------------------------------------------------------------

TEST(RefInit, TheScanClosesTheMassBalanceAndLeavesWhatItDoesNotCompute) {
  ProbeSession<rorefsemi1r> p;
  Session& s = p.s;
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  s.value("FGSHYDMASS") = 777, s.value("RFTSG") = 0.8, s.value("RFTHYD") = 12.5;
  long long st = 1;
  p.probe->init(st);
  ASSERT_EQ(st, 0);
  EXPECT_EQ(s.value("FEEDAROM"), 10.0);  // no NA basis: inputs as given
  EXPECT_DOUBLE_EQ(s.value("FEEDCNO"), p.probe->computeFeedCNO(0.75, 30, 10));
  EXPECT_DOUBLE_EQ(s.value("MEABP"), 248.29134811334848);
  const double products = s.value("FGSMASS") + s.value("H2MASS") + s.value("C3MASS") + s.value("NC4MASS") +
                          s.value("IC4MASS") + s.value("RFTMASS");
  EXPECT_NEAR(products, 100000.0, 1e-9);
  const double xMax = s.value("FEEDHYD") * 100000.0 / 22.6;
  EXPECT_GT(s.value("FGSMASS"), 0.0);
  EXPECT_LT(s.value("FGSMASS"), xMax * 0.1);  // the sign changes in the first interval
  EXPECT_EQ(s.value("FGSHYDMASS"), 777.0);
  EXPECT_EQ(s.value("RFTSG"), 0.8);
  EXPECT_DOUBLE_EQ(s.value("RFTVOL"), s.value("RFTMASS") / 0.8 / 1000);
  EXPECT_DOUBLE_EQ(s.value("RFTHYDMASS"), s.value("RFTMASS") * 12.5 / 100);
  EXPECT_DOUBLE_EQ(s.value("H2VOL"), s.value("H2MASS") / 0.3045 / 1000);

  // Products that would take more hydrogen than the feed has at every point: no interval.
  value_t v;
  value_assign_double(&v, 10.0, 0, 1);
  ASSERT_TRUE(p.probe->attr_assign_value("BETA_RFTHYD", v));
  p.probe->init(st);
  ASSERT_EQ(st, 0);
  EXPECT_EQ(s.value("MASSFACTOR"), 1.0);
  EXPECT_DOUBLE_EQ(s.value("FGSMASS"), xMax * 0.5);
}

TEST(RefInit, AromaticsVolumeBasisAndNABasis) {
  ProbeSession<rorefconta> p("N+2A", "VOLUME");
  Session& s = p.s;
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  s.value("AROHYD") = 9.5;
  long long st = 1;
  p.probe->init(st);
  ASSERT_EQ(st, 0);
  EXPECT_DOUBLE_EQ(s.value("FEEDAROM"), 50.0 / 9);
  EXPECT_DOUBLE_EQ(s.value("FEEDNAPH"), 350.0 / 9);
  EXPECT_DOUBLE_EQ(s.value("FEEDMASS"), 0.75 * (100000.0 / 750) * 1000);
  EXPECT_NEAR(s.value("FEEDVOL"), 100000.0 / 750, 1e-12);
  EXPECT_EQ(s.value("AROHYD"), 9.5);
  EXPECT_DOUBLE_EQ(s.value("AROHYDMASS"), s.value("AROMASS") * 9.5 / 100);
  EXPECT_DOUBLE_EQ(s.value("FGSHYDMASS"), s.value("FGSMASS") * 22.6 / 100);
}

TEST(RefInit, AFailedNetworkOrAZeroGravityStoresNoFlow) {
  ProbeSession<rorefcont2r> p;
  Session& s = p.s;
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const char* flows[] = {"MASSFACTOR", "FGSMASS", "RF1MASS", "RF2HYDMASS", "FEEDVOL", "RF2VOL"};
  for (const char* f : flows) s.value(f) = 0.75;
  s.value("FEEDCNO") = 0, s.value("MEABP") = 0;
  long long st = 0;
  {
    NoNetworks none;
    p.probe->init(st);
  }
  EXPECT_EQ(st, DIV_MISSING_FILE);
  EXPECT_DOUBLE_EQ(s.value("FEEDCNO"), 8.401119);  // the feed properties come first
  EXPECT_DOUBLE_EQ(s.value("MEABP"), 248.29134811334848);
  for (const char* f : flows) EXPECT_EQ(s.value(f), 0.75) << f;

  // A feed gravity of zero: the volumes would be infinite, so nothing of the scan is stored.
  s.value("FEEDSG") = 0.0;
  p.probe->init(st);
  EXPECT_EQ(st, 1);
  for (const int v : s.system().variables()) EXPECT_TRUE(std::isfinite(s.system().value(v))) << v;
  for (const char* f : flows) EXPECT_EQ(s.value(f), 0.75) << f;
}

// ---- Modes ------------------------------------------------------------------------------------------

TEST(RefModes, SemiAndContinuousLeavesEvaluateTheModelRowsAlike) {
  ProbeSession<rorefsemia> semi;
  ProbeSession<rorefconta> cont;
  ASSERT_TRUE(semi.s.setUp.ok() && cont.s.setUp.ok());
  const romhost::BlockSystem& from = cont.s.system();
  for (const int v : from.variables()) semi.s.value(std::string(from.variableName(v)).substr(3)) = from.value(v);
  for (const reformer::EqnRow& row : reformer::equationTable()) {
    if (!cont.probe->equationRecord(row.eq)) continue;
    long long st = 0;
    semi.probe->evalResidual(row.eq, st), cont.probe->evalResidual(row.eq, st);
    semi.probe->evalJacobian(row.eq, st), cont.probe->evalJacobian(row.eq, st);
    ASSERT_EQ(st, 0) << row.shortName;
    const std::string name = cont.probe->equationRecord(row.eq)->name;
    EXPECT_EQ(semi.s.residual(name), cont.s.residual(name)) << name;
    EXPECT_EQ(semi.s.row(name), cont.s.row(name)) << name;
  }
  long long a = 0, b = 0;
  EXPECT_EQ(semi.probe->computeHydrogenBalanceResidual(a), cont.probe->computeHydrogenBalanceResidual(b));
}

}  // namespace
