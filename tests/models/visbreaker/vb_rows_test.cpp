// The first-generation visbreaker's rows at chosen points: residuals and
// Jacobian rows of the reference points, the balances, the correlations, the
// viscosity restart, and the network runs of both kinds (the SKR feed in
// pounds, failures).
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "models/visbreaker/rovb.h"
#include "platform/diveduded/DIVeduded.h"
#include "tests/models/visbreaker/vb_fixture.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace vb_test;
using Row = std::map<std::string, double>;

constexpr double kFloorAtZero = 3.678794411714423e-20;  // 1e-19 / e
constexpr double kFloorSlopeAtZero = 0.36787944117144233;

double vbi(double v) { return 33.5 * std::log10(std::log10(v + 0.85)) + 19.2; }

// Relative to the expected value; a zero is met to rounding of the terms.
double tolerance(double expected) { return expected == 0.0 ? 1e-9 : 1e-12 * std::abs(expected); }

struct ResidualCase {
  const char* name;
  Values values;
  const char* eqn;
  double residual;
};

void PrintTo(const ResidualCase& c, std::ostream* os) { *os << c.name; }

class VbResidual : public ::testing::TestWithParam<ResidualCase> {};

TEST_P(VbResidual, OfTheReferencePoints) {
  const ResidualCase& p = GetParam();
  Session s(createByFactory(options("ROVBNOSKR")));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  for (const auto& [name, v] : p.values) s.value(name) = v;
  EXPECT_EQ(s.res(), 0);
  EXPECT_NEAR(s.residual(p.eqn), p.residual, tolerance(p.residual)) << p.eqn;
}

const double kFgsVol = 20.65 * 10 / 0.811249393 / 1000;
const std::vector<std::pair<std::string, double>> kMassBalanceOutlets = {
    {"H2SMASS", 10}, {"FGSMASS", 10}, {"C3MASS", 5},   {"C32MASS", 5},  {"NC4MASS", 5}, {"IC4MASS", 5},
    {"UC4MASS", 5},  {"NAPMASS", 10}, {"LGOMASS", 15}, {"HGOMASS", 15}, {"TARMASS", 15}};

Values withFeed(Values v, double feed) {
  v.push_back({"FEEDMASS", feed});
  return v;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VbResidual,
    ::testing::Values(
        ResidualCase{"ProductMass", {{"NAPFRAC", 0.3}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1.1}, {"NAPMASS", 330}},
                     "EQN_NAPMASS", 0.0},
        ResidualCase{"FloorAtZero", {{"NAPFRAC", 0}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1.1}, {"NAPMASS", 330}},
                     "EQN_NAPMASS", kFloorAtZero * 1100 - 330},
        ResidualCase{"FloorBelowZero", {{"NAPFRAC", -1e-18}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1}, {"NAPMASS", 0}},
                     "EQN_NAPMASS", 1e-19 * std::exp(-11.0) * 1000},
        ResidualCase{"FloorAtThreshold", {{"NAPFRAC", 1e-19}, {"FEEDMASS", 1}, {"MASSFACTOR", 1}, {"NAPMASS", 0}},
                     "EQN_NAPMASS", 1e-19},
        ResidualCase{"GasFoe", {{"FGSMOL", 10}, {"FGSVOL", kFgsVol}}, "EQN_FGSFOE", 0.0},
        ResidualCase{"SulfurMass", {{"FEEDSUL", 2}, {"NAPMASS", 100}, {"NAPRELSUL", 0.5}, {"NAPSULMASS", 1}},
                     "EQN_NAPSULMASS", 0.0},
        ResidualCase{"ShareOfAnEmptyMix", {{"C32MASS", 30}, {"C3MIXMASS", 0}, {"UNSATINC3MIX", 7}},
                     "EQN_UNSATINC3MIX", 30.0},
        ResidualCase{"Share", {{"C32MASS", 30}, {"C3MIXMASS", 100}, {"UNSATINC3MIX", 0.3}}, "EQN_UNSATINC3MIX", 0.0},
        ResidualCase{"H2SMolesIgnoreH2SMW", {{"H2SMOL", 2}, {"H2SMASS", 2 * 34.08088}, {"H2SMW", 99}},
                     "CONV_H2SMOL", 0.0},
        ResidualCase{"FeedVolume", {{"FEEDSG", 1}, {"FEEDVOL", 1}, {"FEEDMASS", 1000}}, "CONV_FEEDVOL", 0.0},
        ResidualCase{"SulfurPpm", {{"NAPSUL", 0.5}, {"NAPSULPPM", 5000}}, "EQN_NAPSULPPM", 0.0},
        ResidualCase{"ViscosityIndex", {{"LGOVISC_122", 10}, {"LGOVBI", vbi(10)}}, "EQN_LGOVBI", 0.0},
        ResidualCase{"MassBalanceCloses", withFeed(kMassBalanceOutlets, 100), "MASS_BAL", 0.0},
        ResidualCase{"MassBalanceOneMore", withFeed(kMassBalanceOutlets, 99), "MASS_BAL", -1.0},
        ResidualCase{"SulfurBalance",
                     {{"FEEDSULMASS", 32.065},
                      {"H2SMASS", 34.08088},
                      {"NAPSULMASS", 0},
                      {"LGOSULMASS", 0},
                      {"HGOSULMASS", 0},
                      {"TARSULMASS", 0}},
                     "SULFUR_BAL", 0.0},
        ResidualCase{"FurnaceTemperature",
                     {{"FEEDMASS", 1e5}, {"CONVERSION", 7}, {"FEEDCCR", 20}, {"FEEDSG", 1.02}, {"FEEDSUL", 3},
                      {"FURNACETEMP", 800}},
                     "EQN_FURNACETEMP",
                     159.070092018 * 1.02 + 35.4735292179 * 7 + 0.857311642416 * 20 - 16.8296411665 * 3 -
                         95787.0159234 / std::sqrt(1e5) + 764.756089801 - 800}),
    [](const auto& info) { return std::string(info.param.name); });

struct JacobianCase {
  const char* name;
  const char* subid;
  Values values;
  const char* eqn;
  Row row;
};

void PrintTo(const JacobianCase& c, std::ostream* os) { *os << c.name; }

class VbJacobianRow : public ::testing::TestWithParam<JacobianCase> {};

TEST_P(VbJacobianRow, OfTheReferencePoints) {
  const JacobianCase& p = GetParam();
  Session s(createByFactory(options(p.subid)));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  for (const auto& [name, v] : p.values) s.value(name) = v;
  EXPECT_EQ(s.jac(), 0);
  const Row got = s.jacobianRow(p.eqn);
  ASSERT_EQ(got.size(), p.row.size()) << p.eqn;
  for (const auto& [name, d] : p.row)
    EXPECT_NEAR(got.at(name), d, tolerance(d)) << p.eqn << " by " << name;
}

const Values kNap = {{"NAPFRAC", 0.3}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1.1}};

INSTANTIATE_TEST_SUITE_P(
    Rows, VbJacobianRow,
    ::testing::Values(
        JacobianCase{"ProductMass", "ROVBNOSKR", kNap, "EQN_NAPMASS",
                     {{"FEEDMASS", 0.33}, {"NAPFRAC", 1100}, {"MASSFACTOR", 300}, {"NAPMASS", -1}}},
        JacobianCase{"FloorAtZero",
                     "ROVBNOSKR",
                     {{"NAPFRAC", 0}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1.1}},
                     "EQN_NAPMASS",
                     {{"FEEDMASS", kFloorAtZero * 1.1},
                      {"NAPFRAC", kFloorSlopeAtZero * 1100},
                      {"MASSFACTOR", kFloorAtZero * 1000},
                      {"NAPMASS", -1}}},
        JacobianCase{"FloorAtThreshold",
                     "ROVBNOSKR",
                     {{"NAPFRAC", 1e-19}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1}},
                     "EQN_NAPMASS",
                     {{"FEEDMASS", 1e-19}, {"NAPFRAC", 1000}, {"MASSFACTOR", 1e-16}, {"NAPMASS", -1}}},
        JacobianCase{"FloorUnderflow",
                     "ROVBNOSKR",
                     {{"LGORELSUL", -1e3}},
                     "EQN_LGOSULMASS",
                     {{"LGOMASS", 0}, {"FEEDSUL", 0}, {"LGORELSUL", 0}, {"LGOSULMASS", -1}}},
        JacobianCase{"Mix", "ROVBNOSKR", {}, "EQN_C4MIXVOL",
                     {{"NC4VOL", 1}, {"IC4VOL", 1}, {"UC4VOL", 1}, {"C4MIXVOL", -1}}},
        JacobianCase{"H2SMoles", "ROVBNOSKR", {{"H2SMOL", 5}}, "CONV_H2SMOL", {{"H2SMOL", 34.08088}, {"H2SMASS", -1}}},
        JacobianCase{"SulfurBalance",
                     "ROVBSKR",
                     {},
                     "SULFUR_BAL",
                     {{"FEEDSULMASS", 1},
                      {"H2SMASS", -0.9408501188936436},
                      {"NAPSULMASS", -1},
                      {"LGOSULMASS", -1},
                      {"HGOSULMASS", -1},
                      {"TARSULMASS", -1}}},
        JacobianCase{"FurnaceNoSkr",
                     "ROVBNOSKR",
                     {{"FEEDMASS", 1e4}},
                     "EQN_FURNACETEMP",
                     {{"FEEDMASS", 47893.5079617e-6},
                      {"CONVERSION", 35.4735292179},
                      {"FEEDCCR", 0.857311642416},
                      {"FEEDSG", 159.070092018},
                      {"FEEDSUL", -16.8296411665},
                      {"FURNACETEMP", -1}}},
        // K/2 exactly (the derivative of -K / sqrt(2.20462 m)).
        JacobianCase{"FurnaceSkr",
                     "ROVBSKR",
                     {{"FEEDMASS", 1e4}},
                     "EQN_FURNACETEMP",
                     {{"FEEDMASS", 74953.44297 / 2 * 2.20462 * std::pow(2.20462e4, -1.5)},
                      {"CONVERSION", 27.65985297},
                      {"FEEDCCR", 0.678727347},
                      {"FEEDSG", 197.3864499},
                      {"FEEDSUL", -12.46523748},
                      {"FURNACETEMP", -1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VbCorrelations, IndexFurnaceAndBalanceDerivatives) {
  rovbnoskr noskr("N1");
  rovbskr skr("S1");
  EXPECT_DOUBLE_EQ(noskr.computeVBI(10.0), vbi(10.0));
  EXPECT_LT(noskr.computeVBI(1.0), 0.0);
  EXPECT_GT(noskr.computeVBI(1.0), -1.0);
  EXPECT_EQ(noskr.computeViscFromVBI(12.5), 12.5);
  for (double v : {0.2, 2.5, 300.0}) {
    const double h = 1e-6 * v;
    EXPECT_NEAR(noskr.computeVBIDerivative(v), (vbi(v + h) - vbi(v - h)) / (2 * h), 1e-6 * noskr.computeVBIDerivative(v));
  }
  const double noskrT = noskr.computeFurnaceTemp(1e5, 7, 20, 1.02, 3);
  const double skrT = skr.computeFurnaceTemp(1e5, 7, 20, 1.02, 3);
  EXPECT_NE(noskrT, skrT);
  noskr.setModelKind("VB_NOSKR ");  // only the exact kind takes the NOSKR fit
  EXPECT_EQ(noskr.computeFurnaceTemp(1e5, 7, 20, 1.02, 3), skrT);

  long long st = 0;
  EXPECT_EQ(std::pair(noskr.computeMassBalanceDerivative("FEEDSULMASS", st), st), std::pair(0.0, 1LL));
  EXPECT_EQ(std::pair(noskr.computeSulfurBalanceDerivative("FGSMASS", st), st), std::pair(0.0, 1LL));
  EXPECT_EQ(std::pair(noskr.computeMassBalanceDerivative("TARMASS", st), st), std::pair(-1.0, 0LL));
}

TEST(VbViscosityRestart, BelowTwoTenthsMovesTheViscosityOnceAndKeepsIt) {
  Session s(createByFactory(options("ROVBNOSKR")));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  s.value("LGOVISC_122") = 0.1;
  s.value("HGOVISC_122") = 0.2;
  ASSERT_EQ(s.res(), 0);
  const double moved = s.value("LGOVISC_122");
  EXPECT_GE(moved, 0.2);
  EXPECT_LT(moved, 1.2);
  EXPECT_DOUBLE_EQ(s.residual("EQN_LGOVBI"), vbi(moved) - s.value("LGOVBI"));
  EXPECT_EQ(s.value("HGOVISC_122"), 0.2);  // at 0.2 nothing is redrawn
  s.jac();
  EXPECT_EQ(s.value("LGOVISC_122"), moved);
  EXPECT_NEAR(s.jacobianRow("EQN_LGOVBI").at("LGOVISC_122"), s.as<rovb>().computeVBIDerivative(moved), 1e-15);
}

// The SKR networks see the feed in pounds: the block's adjustment row equals
// a direct run of the network at FEEDMASS x 2.20462, and its FEEDMASS entry is
// the network's derivative scaled back.
TEST(VbNetworks, SkrFeedEntersInPoundsAndItsDerivativeIsScaledBack) {
  Session s(createByFactory(options("ROVBSKR")));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const char* names[] = {"FEEDCCR", "FEEDMASS", "FEEDNIT", "FEEDSG", "FEEDSUL", "FEEDVANADIUM",
                         "FEEDVBI", "FURNACETEMP", "HGOECP", "LGOECP", "NAPECP"};
  std::vector<char*> pointers;
  std::vector<double> values;
  for (const char* n : names) {
    pointers.push_back(const_cast<char*>(n));
    values.push_back(s.value(n) * (std::string(n) == "FEEDMASS" ? 2.20462 : 1.0));
  }
  DIVeduded net;
  net.SetDepVar("TARFRAC");
  net.SetZKRFile("VB_SKR_TARFRAC.zkr");
  net.SetZKRFolder((kSampleNetworks + "/VB_SKR").c_str());
  net.SetInputs(pointers.data(), values.data(), static_cast<int>(values.size()));
  ASSERT_EQ(net.Open(), 0);
  ASSERT_EQ(net.Run(), 0);
  long count = 0;
  net.GetIndependentTagCount(count);
  std::vector<std::array<char, DIV_NAME_BUF>> tags(static_cast<std::size_t>(count));
  std::vector<char*> tagPointers;
  for (auto& t : tags) tagPointers.push_back(t.data());
  std::vector<double> d(tags.size());
  ASSERT_EQ(net.GetDerivatives(tagPointers.data(), d.data()), 0);
  net.Close();

  s.value("TARFRAC") = net.m_dResult;
  ASSERT_EQ(s.res(), 0);
  EXPECT_NEAR(s.residual("Y_TARFRAC"), 0.0, 1e-15);
  s.jac();
  const Row row = s.jacobianRow("Y_TARFRAC");
  for (std::size_t k = 0; k < tags.size(); ++k) {
    const std::string tag = tags[k].data();
    EXPECT_DOUBLE_EQ(row.at(tag), -d[k] * (tag == "FEEDMASS" ? 2.20462 : 1.0)) << tag;
  }
  EXPECT_EQ(row.at("NAPECP"), 0.0);  // not one of the network's tags
}

struct FaultCase {
  const char* subid;
  const char* file;
  DIVeduded::Fault fault;
  int status;
};

class VbNetworkFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(VbNetworkFault, HooksReturnTheRunsStatusAndWriteNothing) {
  const FaultCase& p = GetParam();
  Session s(createByFactory(options(p.subid)));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  double* r = rtoeqnlst_vec_residual(s.system().eqnList());
  for (int e : s.system().equations()) r[e - 1] = 12345.0;
  DIVeduded::injectFault(p.file, "Open", p.fault, p.status);
  EXPECT_EQ(s.res(), p.status);
  const long long jacobianStatus = s.jac();
  DIVeduded::clearFaults();
  EXPECT_EQ(jacobianStatus, p.status);
  for (int e : s.system().equations()) EXPECT_EQ(r[e - 1], 12345.0) << s.system().equationName(e);
}

INSTANTIATE_TEST_SUITE_P(Runs, VbNetworkFault,
                         ::testing::Values(FaultCase{"ROVBNOSKR", "VB_NOSKR_TARVBI.zkr", DIVeduded::Fault::Status, 3},
                                           FaultCase{"ROVBSKR", "VB_SKR_C32FRAC.zkr", DIVeduded::Fault::Status, 9},
                                           FaultCase{"ROVBSKR", "VB_SKR_UC4FRAC.zkr", DIVeduded::Fault::ThrowStd, 1},
                                           FaultCase{"ROVBNOSKR", "VB_NOSKR_HGOSG.zkr", DIVeduded::Fault::ThrowStd,
                                                     1}));

TEST(VbJacobian, NotWrittenBeforeAPattern) {
  // Without a pattern pass the rows have no place among the non-zeros: first
  // non-zero 0 would put them before the block's own range.
  EXPECT_TRUE(jacobianWaitsForPattern(createByFactory(options("ROVBNOSKR")), nominalInputs()));
}

}  // namespace
