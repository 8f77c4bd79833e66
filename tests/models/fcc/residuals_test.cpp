// The residuals of the FCC model equations: consistent values give zero at
// the equation's own row and nowhere else; the smooth floor; which variables
// each residual reads; missing names and missing records.
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "tests/models/fcc/fcc_test_slate.h"

namespace {

constexpr double kSentinel = 12345.678;

// Sets every variable so that each FCC equation holds, from the yields,
// relative sulfur, gravities and the feed (base units).
void setConsistent(const PreparedSlate& p) {
  auto v = [&](const std::string& name) -> double& { return p.value(name); };
  auto has = [&](const std::string& name) { return p.block->find(name) != nullptr; };
  const double feed = v("FEEDMASS") = 250000, mf = v("MASSFACTOR") = 1.07, sul = v("FEEDSUL") = 1.2;
  // cut, yield, relative sulfur (0: none), network gravity (0: a constant or none)
  const std::tuple<std::string, double, double, double> cuts[] = {
      {"FGS", 0.035, 0, 0},     {"C3", 0.015, 0, 0},      {"C32", 0.045, 0, 0},      {"NC4", 0.012, 0, 0},
      {"IC4", 0.035, 0, 0},     {"UC4", 0.055, 0, 0},     {"C5S", 0.12, 0.01, 0.65}, {"LCN", 0.2, 0.05, 0.72},
      {"MCN", 0.06, 0.2, 0.76}, {"HCN", 0.1, 0.3, 0.8},   {"LCO", 0.17, 1.5, 0.92},  {"HCO", 0.05, 2, 0.98},
      {"BOT", 0.08, 2.5, 1.05}, {"COK", 0.05, 1.0, 0}};
  for (const auto& [c, frac, relsul, sg] : cuts) {
    if (!has(c + "FRAC")) continue;
    const double mass = v(c + "MASS") = (v(c + "FRAC") = frac) * feed * mf;
    if (relsul > 0) v(c + "SUL") = (v(c + "SULMASS") = sul * mass * (v(c + "RELSUL") = relsul) / 100) * 100 / mass;
    if (sg > 0) v(c + "SG") = sg;
    if (has(c + "SG")) v(c + "VOL") = mass / (v(c + "SG") * 1000);
  }
  if (has("MCNCUTOFF")) v("MCNCUTOFF") = 1e-19;  // a slate's own constant
  v("H2SMASS") = (v("H2SFRAC") = 0.01) * feed;
  v("FEEDVOL") = feed / ((v("FEEDSG") = 0.92) * 1000);
  v("FEEDSULMASS") = sul * feed / 100;
  v("FGSMOL") = v("FGSMASS") / v("FGSMW");
  v("H2SMOL") = v("H2SMASS") / 34.08088;
  v("COKVOL") = v("COKMASS") / v("COKFOEFACTOR") / 1000;
  v("FGSVOL") = v("FGSMW") * v("FGSMOL") / v("FGSFOEFACTOR") / 1000;
  v("H2SVOL") = v("H2SMW") * v("H2SMOL") / v("H2SFOEFACTOR") / 1000;
  for (const std::string basis : {"MASS", "VOL"}) {
    const std::string s = basis == "VOL" ? "VOL" : "";
    const double c3 = v("C3" + basis), c32 = v("C32" + basis);
    const double nc4 = v("NC4" + basis), ic4 = v("IC4" + basis), uc4 = v("UC4" + basis);
    const double mix3 = v("C3MIX" + basis) = c3 + c32, mix4 = v("C4MIX" + basis) = nc4 + ic4 + uc4;
    v("SATINC3MIX" + s) = c3 / mix3;
    v("UNSATINC3MIX" + s) = c32 / mix3;
    v("NSATINC4MIX" + s) = nc4 / mix4;
    v("ISATINC4MIX" + s) = ic4 / mix4;
    v("UNSATINC4MIX" + s) = uc4 / mix4;
  }
  v("C5SRVI") = std::pow((v("C5SRVP") = 80) * 0.145037738, 1.25);
  const double heavy = v("LCOVOL") + (has("HCOVOL") ? v("HCOVOL") : 0.0) + v("BOTVOL");
  v("CONVERSION") = (1 - heavy / v("FEEDVOL")) * 100;
}

void fillResiduals(const PreparedSlate& p) {
  for (int n = 1; n <= PreparedSlate::kCapacity; ++n) p.residual(n) = kSentinel;
}

bool untouched(const PreparedSlate& p, int except = 0) {
  for (int n = 1; n <= PreparedSlate::kCapacity; ++n)
    if (n != except && p.residual(n) != kSentinel) return false;
  return true;
}

// The framework number of the row an equation writes, by its record's name.
int rowOf(const fcctestslate& block, FccEq eq) {
  const FccEqnRow& row = fccEquations()[static_cast<std::size_t>(eq)];
  return block.eqnNumber(*block.findRecord(row.convName ? row.convName : fccRecordName(row.member)));
}

bool isCutOp(const std::string& shortName) {
  return shortName.find("MCN") != std::string::npos || shortName.find("HCO") != std::string::npos;
}

double evaluate(const PreparedSlate& p, FccEq eq, long long& status) {
  const auto& op = fcctestslate::equationOps().at(static_cast<std::size_t>(eq));
  ((*p.block).*op.res)(status);
  return p.residual(rowOf(*p.block, eq));
}

class FccResidualRows : public ::testing::TestWithParam<std::tuple<int, bool>> {};

// In a "2N" block the 58 operations of its own write 0 at their row and
// nothing else; the 8 cut operations throw before writing. A "3N1H" block
// (kind FCC_GO_3N1H) has all 66.
TEST_P(FccResidualRows, ConsistentValuesGiveZeroAtTheOwnRowOnly) {
  const auto [i, cuts] = GetParam();
  const auto eq = static_cast<FccEq>(i);
  const auto& op = fcctestslate::equationOps().at(static_cast<std::size_t>(i));
  ASSERT_STREQ(op.shortName, fccEquations()[static_cast<std::size_t>(i)].shortName);  // declared in table order
  const PreparedSlate p(cuts ? "FCC_GO_3N1H" : "FCC_GO_2N", cuts ? kSlate3N1H : kSlate2N);
  setConsistent(p);
  fillResiduals(p);
  long long status = 0;
  if (!cuts && isCutOp(op.shortName)) {
    try {
      ((*p.block).*op.res)(status);
      ADD_FAILURE() << "no exception";
    } catch (const std::out_of_range& e) {
      EXPECT_STREQ(e.what(), "invalid map<K, T> key");
    }
    EXPECT_TRUE(untouched(p));
    return;
  }
  EXPECT_NEAR(evaluate(p, eq, status), 0.0, 1e-9) << op.shortName;
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(untouched(p, rowOf(*p.block, eq))) << op.shortName;
}

INSTANTIATE_TEST_SUITE_P(EveryEquation, FccResidualRows,
                         ::testing::Combine(::testing::Range(0, kFccEqCount), ::testing::Bool()));

TEST(FccResiduals, SmoothFloor) {
  const PreparedSlate p;
  // EQN_H2SMASS with FEEDMASS 1 and H2SMASS 0: the residual is floor(H2SFRAC).
  p.value("FEEDMASS") = 1.0;
  p.value("H2SMASS") = 0.0;
  auto floorOf = [&](double x, long long& status) {
    p.value("H2SFRAC") = x;
    return evaluate(p, FccEq::H2SMass, status);
  };
  long long status = 0;
  EXPECT_EQ(floorOf(2e-19, status), 2e-19);
  EXPECT_EQ(floorOf(1e-19, status), 9.999999999999999e-20);
  EXPECT_EQ(floorOf(0.0, status), 3.678794411714423e-20);
  EXPECT_GT(floorOf(-1e-19, status), 0.0);
  EXPECT_LT(floorOf(-1e-19, status), 3.678794411714423e-20);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(std::isnan(floorOf(std::nan(""), status)));
  EXPECT_EQ(status, 1);  // a residual that is not finite
  // A naphtha cut floors at its cut-off constant, below 1e-20 at 1e-20.
  p.value("MASSFACTOR") = 1.0;
  p.value("C5SMASS") = 0.0;
  p.value("C5SFRAC") = 0.0;
  p.value("C5SCUTOFF") = 0.0;
  EXPECT_EQ(evaluate(p, FccEq::C5SMass, status), 1e-20 / 2.718281828459045);
  p.value("C5SFRAC") = 0.1;
  p.value("C5SCUTOFF") = 0.5;  // above the fraction: the exponential branch
  EXPECT_DOUBLE_EQ(evaluate(p, FccEq::C5SMass, status), 0.5 * std::exp(0.1 / 0.5 - 1));
}

class FccConversion : public ::testing::TestWithParam<std::tuple<const char*, bool>> {};

TEST_P(FccConversion, HeavyCycleOilOnlyForOneHKindsAndCokeNever) {
  const auto [kind, readsHco] = GetParam();
  const PreparedSlate p(kind, kSlate3N1H);
  const std::pair<const char*, double> values[] = {
      {"FEEDVOL", 400}, {"LCOVOL", 40}, {"HCOVOL", 20}, {"BOTVOL", 20}, {"CONVERSION", 60}};
  for (const auto& [name, v] : values) p.value(name) = v;
  long long status = 0;
  EXPECT_DOUBLE_EQ(evaluate(p, FccEq::Conversion, status), readsHco ? 20.0 : 25.0);
  p.value("COKVOL") = 1e6;  // never read: neither its value nor its presence matters
  ROMVar* cok = p.block->m_calcVars.at("COKVOL");
  p.block->m_calcVars.erase("COKVOL");
  EXPECT_DOUBLE_EQ(evaluate(p, FccEq::Conversion, status), readsHco ? 20.0 : 25.0);
  p.block->m_calcVars["COKVOL"] = cok;
  EXPECT_EQ(status, 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, FccConversion,
                         ::testing::Values(std::tuple{"FCC_GO_2N1H", true}, std::tuple{"FCC_GO_3N1H", true},
                                           std::tuple{"FCC_GOR_2N1H", true}, std::tuple{"FCC_GOR_3N1H", true},
                                           std::tuple{"FCC_GO_2N", false}, std::tuple{"FCC_GOR_3N", false},
                                           std::tuple{"FCC_GO_2N1H ", false}));  // compared exactly

class FccResidualReads : public ::testing::TestWithParam<std::tuple<const char*, std::vector<std::string>>> {};

// Scaling one variable moves exactly the residuals named (of the 58 "2N" ones).
TEST_P(FccResidualReads, OnlyTheEquationsThatReadIt) {
  const auto& [variable, moved] = GetParam();
  const PreparedSlate p;
  setConsistent(p);
  auto all = [&] {
    std::vector<double> r(kFccEqCount, 0.0);
    for (int i = 0; i < kFccEqCount; ++i) {
      long long status = 0;
      if (!isCutOp(fccEquations()[i].shortName)) r[i] = evaluate(p, static_cast<FccEq>(i), status);
    }
    return r;
  };
  const std::vector<double> before = all();
  p.value(variable) *= 1.1;
  const std::vector<double> after = all();
  for (int i = 0; i < kFccEqCount; ++i) {
    const std::string name = fccEquations()[i].shortName;
    EXPECT_EQ(after[i] != before[i], std::find(moved.begin(), moved.end(), name) != moved.end()) << variable << " " << name;
  }
}

const std::vector<std::string> kProductMasses = {"FGSMass", "C3Mass",  "C32Mass", "NC4Mass", "IC4Mass", "UC4Mass",
                                                 "C5SMass", "LCNMass", "HCNMass", "LCOMass", "BOTMass", "COKMass"};

INSTANTIATE_TEST_SUITE_P(
    Variables, FccResidualReads,
    ::testing::Values(std::tuple{"H2SMW", std::vector<std::string>{"H2SFOE"}},  // not H2SMol: its 34.08088 is fixed
                      std::tuple{"MASSFACTOR", kProductMasses},                  // not H2SMass
                      std::tuple{"FGSMW", std::vector<std::string>{"FGSFOE", "FGSMol"}},
                      std::tuple{"COKVOL", std::vector<std::string>{"COKFOE"}},
                      std::tuple{"H2SSULFUR", std::vector<std::string>{}}));

TEST(FccResiduals, MissingRecordsAndVectors) {
  // Cut variables without the cut records: status 1 and no write.
  const PreparedSlate p("FCC_GO_3N1H", SlateShape{true, false});
  fillResiduals(p);
  for (int i : {static_cast<int>(FccEq::MCNMass), static_cast<int>(FccEq::HCOSul)}) {
    long long status = 0;
    ((*p.block).*fcctestslate::equationOps()[i].res)(status);
    EXPECT_EQ(status, 1);
  }
  // A missing "CONV_" record is a missing name.
  ROMEqn* conv = p.block->m_molConvEqns.at("CONV_FGSMOL");
  p.block->m_molConvEqns.erase("CONV_FGSMOL");
  long long status = 0;
  EXPECT_THROW(evaluate(p, FccEq::FGSMol, status), std::out_of_range);
  p.block->m_molConvEqns["CONV_FGSMOL"] = conv;
  EXPECT_TRUE(untouched(p));
  // The status is never lowered: an earlier failure of the chain stays.
  status = 1;
  evaluate(p, FccEq::FGSMass, status);
  EXPECT_EQ(status, 1);
  // Without the framework's vectors: status 1.
  fcctestslate detached("FCC_GO_2N");
  detached.prepare();
  status = 0;
  detached.res_H2SMass(status);
  EXPECT_EQ(status, 1);
}

}  // namespace
