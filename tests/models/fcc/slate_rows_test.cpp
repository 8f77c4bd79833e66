// Pattern and Jacobian rows of the FCC model equations and balances: the
// numbering of the pattern protocol, the worked partial derivatives of
// each kind of row (the smooth floor's branches included), and the balances'
// values and constant entries.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/models/fcc/fcc_slate_fixture.h"

namespace {

using namespace fcc_test;

// A probe in a host session at positions 21 / 11 / 501, set up at the nominal
// point of its kind.
template <class Slate>
struct ProbeSession {
  explicit ProbeSession(const char* kind)
      : probe(new Probe<Slate>(kind)), s(probe, nominalInputs(kind), {}, romhost::Placement{21, 11, 501, 16}) {}
  double& bj(int nz) { return rtojac_vec_bj(s.system().jac())[nz - 1]; }
  // The Jacobian values of one row, as its operation writes them.
  std::vector<double> entries(FccEq eq, long long& status) {
    const auto& ops = Probe<Slate>::equationOps()[static_cast<std::size_t>(eq)];
    (probe->*ops.jac)(status);
    return row(*probe->rowRecord(fccEquations()[static_cast<std::size_t>(eq)]), width(eq));
  }
  std::vector<double> row(const ROMEqn& eqn, int n) {
    std::vector<double> v;
    for (int j = 0; j < n; ++j) v.push_back(bj(500 + eqn.firstNz + j));
    return v;
  }
  int width(FccEq eq) {
    int n = 0;
    for (const auto& nz : s.system().nonZeros())
      n += nz.eqn == 10 + probe->rowRecord(fccEquations()[static_cast<std::size_t>(eq)])->index;
    return n;
  }
  Probe<Slate>* probe;  // owned by the session
  Session s;
};

// One row at chosen values: its worked entries in pattern order.
struct RowCase {
  const char* label;
  FccEq eq;
  Values values;
  std::vector<double> entries;
  bool twoN = false;  // on a "2N" block (conversion without HCOVOL)
};
void PrintTo(const RowCase& c, std::ostream* os) { *os << c.label; }

const double kE05 = std::exp(-0.5);
const double kRvi = 1.25 * std::pow(0.145037738, 1.25) * std::pow(100.0, 0.25);

class FccRowEntries : public ::testing::TestWithParam<RowCase> {};

TEST_P(FccRowEntries, AreTheWorkedDerivatives) {
  const RowCase& c = GetParam();
  auto check = [&](auto& ps) {
    ASSERT_TRUE(ps.s.setUp.ok()) << ps.s.setUp.message;
    for (const auto& [name, v] : c.values) ps.s.value(name) = v;
    long long status = 0;
    const std::vector<double> got = ps.entries(c.eq, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(got.size(), c.entries.size());
    for (std::size_t j = 0; j < got.size(); ++j) EXPECT_NEAR(got[j], c.entries[j], 1e-12 * std::fabs(c.entries[j])) << j;
  };
  if (c.twoN) {
    ProbeSession<rofcc2n> ps("FCC_GO_2N");
    check(ps);
  } else {
    ProbeSession<rofcc3n1h> ps("FCC_GO_3N1H");
    check(ps);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FccRowEntries,
    ::testing::Values(
        RowCase{"Yield", FccEq::FGSMass, {{"FGSFRAC", 0.2}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1}}, {0.2, 1000, 200, -1}},
        RowCase{"YieldScaledByTheMassFactor", FccEq::BOTMass, {{"BOTFRAC", 0.2}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1.2}},
                {0.24, 1200, 200, -1}},
        RowCase{"YieldAtZero",
                FccEq::COKMass,
                {{"COKFRAC", 0}, {"FEEDMASS", 1}, {"MASSFACTOR", 1}},
                {3.678794411714423e-20, 0.36787944117144233, 3.678794411714423e-20, -1}},
        RowCase{"CutOffAboveTheYield",
                FccEq::C5SMass,
                {{"C5SFRAC", 0.1}, {"C5SCUTOFF", 0.2}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1}},
                {0.2 * kE05, 1000 * kE05, 200 * kE05, -1, 500 * kE05}},
        RowCase{"CutOffBelowTheYield", FccEq::MCNMass, {{"MCNFRAC", 0.1}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1}},
                {0.1, 1000, 100, -1, 0}},
        RowCase{"CutOffUnderTheFloor",
                FccEq::LCNMass,
                {{"LCNFRAC", 0}, {"LCNCUTOFF", 1e-21}, {"FEEDMASS", 1}, {"MASSFACTOR", 1}},
                {1e-20 / M_E, 1 / M_E, 1e-20 / M_E, -1, 0}},
        RowCase{"StronglyNegativeNaphtha", FccEq::HCNMass, {{"HCNFRAC", -0.05}, {"FEEDMASS", 1000}, {"MASSFACTOR", 1}},
                {0, 0, 0, -1, 0}},
        RowCase{"CokeFoe", FccEq::COKFOE, {{"COKMASS", 4000}, {"COKFOEFACTOR", 2}}, {1.0 / 2000, -1, -1}},
        RowCase{"GasFoe", FccEq::FGSFOE, {{"FGSMOL", 10}, {"FGSMW", 20}, {"FGSFOEFACTOR", 0.5}}, {0.04, 0.02, -0.8, -1}},
        RowCase{"MixSum", FccEq::C4MixVol, {{"NC4VOL", 7}}, {1, 1, 1, -1}},
        RowCase{"Share", FccEq::UnSatInC3Mix, {{"C3MIXMASS", 100}, {"UNSATINC3MIX", 0.7}}, {1, -0.7, -100}},
        RowCase{"ShareOfAnEmptyMix", FccEq::ISatInC4MixVol, {{"C4MIXVOL", 0}, {"ISATINC4MIXVOL", 0.3}}, {1, -0.3, 0}},
        RowCase{"FeedSulfurMass", FccEq::FeedSulMass, {{"FEEDMASS", 1000}, {"FEEDSUL", 2}}, {0.02, 10, -1}},
        RowCase{"SulfurMass",
                FccEq::C5SSulMass,
                {{"C5SMASS", 1000}, {"FEEDSUL", 2}, {"C5SRELSUL", 0.5}},
                {0.01, 5, 20, -1}},
        RowCase{"SulfurMassOfASulfurFreeFeed",
                FccEq::HCOSulMass,
                {{"HCOMASS", 1000}, {"FEEDSUL", 0}, {"HCORELSUL", 0.5}},
                {0, 5, 0, -1}},
        RowCase{"SulfurMassAtTheFloor",
                FccEq::MCNSulMass,
                {{"MCNMASS", 100}, {"FEEDSUL", 1}, {"MCNRELSUL", 1e-19}},
                {1e-21, 1e-19, 1, -1}},
        RowCase{"SulfurContent", FccEq::C5SSul, {{"C5SMASS", 1000}, {"C5SSUL", 1}}, {0.01, 10, -1}},
        RowCase{"SulfurContentOfNoMass", FccEq::LCOSul, {{"LCOMASS", 0}, {"LCOSUL", 1}}, {0.01, 0, -1}},
        RowCase{"Volume", FccEq::FeedVol, {{"FEEDVOL", 1}, {"FEEDSG", 0.8}}, {800, 1000, -1}},
        RowCase{"VolumeOfNoGravity", FccEq::HCOVol, {{"HCOVOL", 2}, {"HCOSG", 0}}, {0, 2000, -1}},
        RowCase{"FuelGasMoles", FccEq::FGSMol, {{"FGSMOL", 10}, {"FGSMW", 20}}, {20, 10, -1}},
        RowCase{"H2SMolesIgnoreH2SMW", FccEq::H2SMol, {{"H2SMW", 99}}, {34.08088, -1}},
        RowCase{"VapourPressureIndex", FccEq::C5SRVI, {{"C5SRVP", 100}}, {kRvi, -1}},
        RowCase{"VapourPressureIndexAtZero", FccEq::C5SRVI, {{"C5SRVP", 0}}, {0, -1}},
        RowCase{"H2SMass", FccEq::H2SMass, {{"H2SFRAC", 0.01}, {"FEEDMASS", 1000}}, {1000, 0.01, -1}},
        // The conversion counts no coke: COKVOL has its place and the entry 0.
        RowCase{"ConversionWithHeavyCycleOil",
                FccEq::Conversion,
                {{"FEEDVOL", 400}, {"LCOVOL", 40}, {"HCOVOL", 20}, {"BOTVOL", 20}, {"COKVOL", 9}},
                {0.05, -0.25, -0.25, -0.25, 0, -1}},
        RowCase{"ConversionWithoutHeavyCycleOil",
                FccEq::Conversion,
                {{"FEEDVOL", 400}, {"LCOVOL", 40}, {"BOTVOL", 20}, {"COKVOL", 9}},
                {0.0375, -0.25, -0.25, 0, -1},
                true}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(FccPatternProtocol, WorkedNumbering) {
  // N0 = 501, E0 = 11, V0 = 21: EQN_FGSMASS registered when 40 non-zeros are
  // counted takes f = 41 and the non-zeros 541 to 544, in its row and the
  // columns of FEEDMASS, FGSFRAC, MASSFACTOR and FGSMASS.
  ProbeSession<rofcc2n> ps("FCC_GO_2N");
  ASSERT_TRUE(ps.s.setUp.ok()) << ps.s.setUp.message;
  Probe<rofcc2n>& b = *ps.probe;
  const ROMEqn& eqn = *b.record(FccRecord::FGSMass);
  const int total = b.m_nzCounter;
  b.m_nzCounter = 40;
  long long status = 0;
  auto pat = Probe<rofcc2n>::equationOps()[static_cast<std::size_t>(FccEq::FGSMass)].pat;
  (b.*pat)(ps.s.system().jac(), status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(eqn.firstNz, 41);
  EXPECT_EQ(b.m_nzCounter, 44);
  EXPECT_EQ(b.nzlast(), 544);
  const char* cols[] = {"FEEDMASS", "FGSFRAC", "MASSFACTOR", "FGSMASS"};
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(rtojac_row(ps.s.system().jac(), 541 + j), 10 + eqn.index);
    EXPECT_EQ(rtojac_col(ps.s.system().jac(), 541 + j), ps.s.number(cols[j]));
  }
  // Its Jacobian row writes exactly the elements 540 to 543.
  b.m_nzCounter = total;
  for (int nz = 501; nz <= 500 + total; ++nz) ps.bj(nz) = 1e300;
  (b.*Probe<rofcc2n>::equationOps()[static_cast<std::size_t>(FccEq::FGSMass)].jac)(status);
  for (int nz = 501; nz <= 500 + total; ++nz) EXPECT_EQ(ps.bj(nz) != 1e300, nz >= 541 && nz <= 544) << nz;
  EXPECT_EQ(status, 0);
}

TEST(FccPatternProtocol, APassRepeatsItsNumbersAndNeedsItsRecords) {
  ProbeSession<rofcc3n1h> ps("FCC_GO_3N1H");
  ASSERT_TRUE(ps.s.setUp.ok()) << ps.s.setUp.message;
  Probe<rofcc3n1h>& b = *ps.probe;
  // The first row of the pass (the first adjustment row) starts at 1; each
  // row starts where the one before it ended.
  std::vector<int> first;
  for (int i = 0; i < kFccRecordCount; ++i) first.push_back(b.record(static_cast<FccRecord>(i))->firstNz);
  const int count = b.m_nzCounter;
  long long status = 0;
  b.user_pat(ps.s.system().jac(), status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(b.m_nzCounter, count);
  for (int i = 0; i < kFccRecordCount; ++i) EXPECT_EQ(b.record(static_cast<FccRecord>(i))->firstNz, first[i]) << i;
  EXPECT_EQ(b.record(FccRecord::SulfurBal)->firstNz, b.massBal()->firstNz + 16);
  EXPECT_EQ(b.record(FccRecord::FGSMass)->firstNz, b.massBal()->firstNz + 16 + 10);
  // A missing name throws before anything is registered; a Jacobian row
  // whose place the pattern did not give in full is refused.
  ROMVar* c3 = b.m_calcVars.at("C3MASS");
  b.m_calcVars.erase("C3MASS");
  b.m_nzCounter = 7;
  try {
    (b.*Probe<rofcc3n1h>::equationOps()[static_cast<std::size_t>(FccEq::C3Mass)].pat)(ps.s.system().jac(), status);
    ADD_FAILURE() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid map<K, T> key");
  }
  b.m_calcVars["C3MASS"] = c3;
  EXPECT_EQ(b.m_nzCounter, 7);
  EXPECT_EQ(b.record(FccRecord::C3Mass)->firstNz, first[static_cast<int>(FccRecord::C3Mass)]);
  b.m_nzCounter = b.record(FccRecord::COKMass)->firstNz + 2;  // the row not placed in full
  status = 0;
  (b.*Probe<rofcc3n1h>::equationOps()[static_cast<std::size_t>(FccEq::COKMass)].jac)(status);
  EXPECT_EQ(status, 1);
}

TEST(FccBalances, ValuesAndConstantEntries) {
  ProbeSession<rofcc3n1h> ps("FCC_GO_3N1H");
  ASSERT_TRUE(ps.s.setUp.ok()) << ps.s.setUp.message;
  Probe<rofcc3n1h>& b = *ps.probe;
  for (const std::string& p : fccMassBalanceProducts(FccSlate::ThreeN1H)) ps.s.value(p) = 0.0;
  for (const std::string& p : fccSulfurBalanceProducts(FccSlate::ThreeN1H)) ps.s.value(p) = 0.0;
  ps.s.value("FEEDSULMASS") = 100;
  ps.s.value("H2SMASS") = 100;
  long long status = 0;
  b.user_res(status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(ps.s.residual("MASS_BAL"), ps.s.value("FEEDMASS") - 100);  // only H2S leaves
  EXPECT_EQ(ps.s.residual("SULFUR_BAL"), 100 - 0.9408501188936436 * 100);

  b.user_jac(status);
  EXPECT_EQ(status, 0);
  std::vector<double> mass(16, -1.0), sulfur(10, -1.0);
  mass[0] = sulfur[0] = 1.0;
  sulfur[1] = -0.9408501188936436;
  EXPECT_EQ(ps.row(*b.massBal(), 16), mass);
  EXPECT_EQ(ps.row(*b.record(FccRecord::SulfurBal), 10), sulfur);
  // Names outside the slate's lists give 0 with status 1.
  EXPECT_EQ(b.computeMassBalanceDerivative("MASSFACTOR", status), 0.0);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(b.computeSulfurBalanceDerivative("h2smass", status), 0.0);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(b.computeMassBalanceDerivative("HCOMASS", status), -1.0);
  EXPECT_EQ(status, 0);

  ProbeSession<rofcc2n> two("FCC_GO_2N");
  ASSERT_TRUE(two.s.setUp.ok());
  EXPECT_EQ(two.probe->computeMassBalanceDerivative("HCOMASS", status), 0.0);
  EXPECT_EQ(status, 1);
  // Directly after the adjustment rows: 14 and 8 non-zeros.
  int adjustments = 0;
  for (const auto& nz : two.s.system().nonZeros())
    adjustments += std::string(two.s.system().equationName(nz.eqn)).rfind("F1.Y_", 0) == 0;
  EXPECT_EQ(two.probe->massBal()->firstNz, adjustments + 1);
  EXPECT_EQ(two.probe->record(FccRecord::SulfurBal)->firstNz, adjustments + 15);
  EXPECT_EQ(two.probe->record(FccRecord::FGSMass)->firstNz, adjustments + 23);
  // EQN_H2SMASS directly after EQN_COKMASS in the pattern.
  EXPECT_EQ(two.probe->record(FccRecord::H2SMass)->firstNz, two.probe->record(FccRecord::COKMass)->firstNz + 4);
}

}  // namespace
