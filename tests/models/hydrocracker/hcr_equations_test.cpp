// The hydrocracker's equation objects: the managers' numbering and
// exceptions, residual values at reference points, the smooth floor, the
// index kinds, and central differences of every class against its Jacobian row.
#include "models/hydrocracker/hcr_equations.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>

#include "core/managers_ex.h"
#include "tests/models/hydrocracker/hcr_rig.h"

namespace {

using namespace hcr;
using hcr_test::Rig;

const std::vector<std::string> kSlateD = {"LCN", "HCN", "KER", "DSL", "UCO"};
const std::vector<std::string> kSlateK = {"LCN", "HCN", "KER", "UCO"};

void setHydBalTerms(Rig& r, double bias, double conv, double sg) {
  r.attr("HYDBALBIAS", bias);
  r.attr("HYDBALSLOPECONV", conv);
  r.attr("HYDBALSLOPESG", sg);
}

// ---- The manager -------------------------------------------------------------------

TEST(HcrEqnMan, NumbersByRegistrationWalksByNameRefusesDuplicatesAndUnsetUse) {
  Rig r;
  auto& z = r.add(std::make_unique<eqSulPPM>("Z"), false);
  auto& a = r.add(std::make_unique<eqSulPPM>("A"), false);
  EXPECT_EQ(std::pair(z.index, a.index), std::pair(1, 2));
  EXPECT_EQ(r.eqns.objects().begin()->first, "EQN_ASULPPM");
  EXPECT_EQ(r.eqns.declarePattern(r.lists.jac), 4);
  EXPECT_EQ(std::pair(z.firstNz, a.firstNz), std::pair(1, 3));  // "Z" registered first

  auto dup = std::make_unique<eqSulPPM>("A");
  try {
    r.eqns.addEquation(std::move(dup));
    FAIL() << "no eqdupex";
  } catch (const eqdupex& e) {
    EXPECT_STREQ(e.what(), "That equation name already exists");
  }
  EXPECT_NE(dup, nullptr);  // still the caller's
  EXPECT_EQ(r.eqns.find("EQN_ASULPPM"), &a);
  // The passes walk by name, also after an addition that follows a walk.
  EXPECT_EQ(r.eqns.inNameOrder(), (std::vector<hcreqn*>{&a, &z}));
  auto& m = r.add(std::make_unique<eqSulPPM>("M"), false);
  EXPECT_EQ(r.eqns.inNameOrder(), (std::vector<hcreqn*>{&a, &m, &z}));

  HcrEqnMan unset;
  auto eqn = std::make_unique<eqConvCalc>();
  try {
    unset.addEquation(std::move(eqn));
    FAIL() << "no initex";
  } catch (const initex& e) {
    EXPECT_STREQ(e.what(), "The Equation Manager has yet been initialized");
  }
  EXPECT_NE(eqn, nullptr);
}

TEST(HcrVarMan, AddsVariablesAndReadsTheirNumbersAndValuesByName) {
  const romtest::FrameworkLists lists;
  const int first = 41;
  HcrVarMan vm(&first);
  vm.addVariable("FEEDMASS", "KG/HR", "TONNE/DAY", 1, 100, 1e6);
  vm.addVariable("CATAGE", "PERCENT", "PERCENT", 2, 0, 100);
  try {
    vm.addVariable("FEEDMASS", "KG/HR", "KG/HR", 3, 0, 1);
    FAIL() << "no vardupex";
  } catch (const vardupex& e) {
    EXPECT_STREQ(e.what(), "That variable already exists");
  }
  EXPECT_EQ(vm.size(), 2u);
  EXPECT_EQ(vm.var("FEEDMASS").dispUnit, "TONNE/DAY");  // the first record stays
  EXPECT_EQ(vm.indexOf("FEEDMASS"), 41);  // index 1 at first variable 41
  EXPECT_EQ(vm.indexOf("CATAGE"), 42);
  vm.attach(lists.values(), lists.vars);
  lists.values()[42] = 7.5;
  EXPECT_EQ(vm.valueOf("CATAGE"), 7.5);
  EXPECT_THROW(vm.indexOf("FEEDVOL"), std::out_of_range);
  EXPECT_THROW(vm.valueOf("FEEDVOL"), std::out_of_range);
}

// ---- Reference points -----------------------------------------------------------------

template <class T, class... A>
std::function<std::unique_ptr<ListedEqn>()> maker(A... args) {
  return [=] { return std::make_unique<T>(args...); };
}

struct PointCase {
  const char* name;
  std::function<std::unique_ptr<ListedEqn>()> make;
  std::map<std::string, double> point;  // unlisted variables stay at 1.0
  double residual;
};

void PrintTo(const PointCase& c, std::ostream* os) { *os << c.name; }

class HcrReferencePoint : public ::testing::TestWithParam<PointCase> {};

TEST_P(HcrReferencePoint, Residual) {
  Rig r;
  ListedEqn& e = r.add(GetParam().make());
  r.set(GetParam().point);
  ASSERT_EQ(e.res(r.res()), 0);
  EXPECT_DOUBLE_EQ(r.residual(e), GetParam().residual);
}

const double kE = 2.718281828459045, kT = 482.0, kLogT = std::log10(kT);

INSTANTIATE_TEST_SUITE_P(
    Points, HcrReferencePoint,
    ::testing::Values(
        // 3 + 10 + 6 x 1 + 50 + 34 = 103 of products against 100 of feed and 3 of hydrogen.
        PointCase{"MassBalanceCloses", maker<eqMassBal>(kSlateD),
                  {{"FEEDMASS", 100}, {"H2MASS", 3}, {"H2SMASS", 3}, {"FGSMASS", 10}, {"LCNMASS", 50}, {"UCOMASS", 34}},
                  0.0},
        // At or below 1e-19 a fraction is floored to 1e-19 exp(x / 1e-19 - 1).
        PointCase{"FloorOfZero", maker<eqMassConv>(std::string("LCN")), {{"LCNFRAC", 0.0}, {"LCNMASS", 0.0}}, 1e-19 / kE},
        PointCase{"FloorAtTheFloor", maker<eqMassConv>(std::string("LCN")), {{"LCNFRAC", 1e-19}, {"LCNMASS", 0.0}}, 1e-19},
        PointCase{"AboveTheFloor", maker<eqMassConv>(std::string("LCN")), {{"LCNFRAC", 2e-19}, {"LCNMASS", 0.0}}, 2e-19},
        PointCase{"SulfurFloor", maker<eqSulConv>(std::string("UCO")), {{"UCORELSUL", 0.0}, {"UCOSUL", 0.0}}, 1e-19 / kE},
        PointCase{"LiquidVolume", maker<eqVolConv>(std::string("FEED")),
                  {{"FEEDVOL", 2.0}, {"FEEDSG", 0.8}, {"FEEDMASS", 1600.0}}, 0.0},
        PointCase{"FreezeIndexBase2718", maker<eqIdxVal>(std::string("KER"), 2u),
                  {{"KERFREEZEPT", 0.0}, {"KERFREEZEIDX", 0.0}}, std::pow(2.718, 3.514)},
        PointCase{"CetaneIndexAtT482", maker<eqIdxVal>(std::string("KER"), 1u),
                  {{"KERSG", 0.85}, {"KERD86_50", 250.0}, {"KERCETIDX", 0.0}},
                  454.74 - 1641.416 * 0.85 + 774.74 * 0.85 * 0.85 - 0.554 * kT + 97.803 * kLogT * kLogT},
        PointCase{"ViscosityIndexBelowTheKink", maker<eqIdxVal>(std::string("DSL"), 5u),
                  {{"DSLVISC_122", 0.1}, {"DSLVISCIDX", 0.0}}, 33.5 * std::log10(std::fabs(std::log10(0.95))) + 19.2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HcrBalances, MassBalanceCountsRefusedEntries) {
  Rig r;
  auto& mb = r.add(std::make_unique<eqMassBal>(kSlateD), false);
  EXPECT_EQ(mb.jac(r.jac()), 12);  // before the pattern every entry is refused
  r.eqns.declarePattern(r.lists.jac);
  EXPECT_EQ(mb.jac(r.jac()), 0);
  for (const std::string& v : mb.varNames())
    EXPECT_EQ(r.entry(mb, v), v == "FEEDMASS" || v == "H2MASS" ? 1.0 : -1.0) << v;
  EXPECT_EQ(eqMassBal(kSlateK).varNames().size(), 11u);
}

TEST(HcrBalances, HydrogenBalanceCorrectionHasItsExactDerivatives) {
  Rig r;
  setHydBalTerms(r, 0.0, 0.0, 0.0);
  auto eqn = std::make_unique<eqHydBal>(kSlateK);
  eqn->setContext(r.context());
  auto& hb = r.add(std::move(eqn));
  EXPECT_EQ(hb.balanceEntries(), 11u);
  EXPECT_EQ(hb.varNames().size(), 14u);  // the balance, then CONVERSION, FEEDSG, FEEDMASS
  r.set({{"FEEDHYDMASS", 500}, {"H2MASS", 40}, {"LCNHYDMASS", 300}, {"FEEDMASS", 4000}, {"CONVERSION", 70}, {"FEEDSG", 0.9}});
  hb.res(r.res());
  const double plain = r.residual(hb);
  EXPECT_EQ(plain, 300 + 8 * 1.0 - 540);  // products' hydrogen minus feed and hydrogen
  setHydBalTerms(r, 0.001, 2e-4, 0.01);
  hb.res(r.res());
  EXPECT_NEAR(r.residual(hb) - plain, (70 * 2e-4 + 0.001 + 0.9 * 0.01) * 4000, 1e-9);
  EXPECT_EQ(hb.jac(r.jac()), 0);
  EXPECT_EQ(std::pair(r.entry(hb, "H2MASS"), r.entry(hb, "UCOHYDMASS")), std::pair(-1.0, 1.0));
  EXPECT_NEAR(r.entry(hb, "CONVERSION"), 2e-4 * 4000, 1e-12);
  EXPECT_NEAR(r.entry(hb, "FEEDSG"), 0.01 * 4000, 1e-12);
  EXPECT_NEAR(r.entry(hb, "FEEDMASS"), 70 * 2e-4 + 0.001 + 0.9 * 0.01, 1e-15);
}

TEST(HcrForms, GasVolumesUnknownIndexKind) {
  EXPECT_EQ(eqVolConv("H2").varNames(), (std::vector<std::string>{"H2VOL", "H2MW", "H2MOL", "H2FOEFACTOR"}));
  for (const char* liquid : {"FEED", "C3", "LCN", "H2X"}) EXPECT_EQ(eqVolConv(liquid).varNames().size(), 3u) << liquid;
  Rig r;
  auto& unknown = r.add(std::make_unique<eqIdxVal>("KER", 6));
  EXPECT_EQ(unknown.name, "");
  EXPECT_TRUE(unknown.varNames().empty());
  EXPECT_EQ(unknown.nzCount(), 0);
  EXPECT_EQ(std::pair(unknown.res(r.res()), unknown.jac(r.jac())), std::pair(1, 0));
}

// ---- Central differences of every class -------------------------------------------------

struct FdCase {
  const char* name;
  std::function<std::unique_ptr<ListedEqn>()> make;
  std::map<std::string, double> point;
};

void PrintTo(const FdCase& c, std::ostream* os) { *os << c.name; }

class HcrEquationFd : public ::testing::TestWithParam<FdCase> {};

TEST_P(HcrEquationFd, JacobianRowMatchesCentralDifferences) {
  const FdCase& c = GetParam();
  Rig r;
  setHydBalTerms(r, 0.002, 3e-4, -0.02);
  auto made = c.make();
  made->setContext(r.context());
  ListedEqn& e = r.add(std::move(made));
  r.set(c.point);
  ASSERT_EQ(e.jac(r.jac()), 0);
  for (const std::string& v : e.varNames()) {
    double& x = r.value(v);
    const double x0 = x, h = 1e-6 * std::max(1.0, std::fabs(x0));
    x = x0 + h;
    const double up = e.residualNow();
    x = x0 - h;
    const double down = e.residualNow();
    x = x0;
    const double fd = (up - down) / (2 * h);
    EXPECT_NEAR(r.entry(e, v), fd, 1e-6 * std::max(1.0, std::fabs(fd))) << c.name << " by " << v;
  }
  // Solving for the defined variable zeroes the residual.
  if (!e.definedName().empty()) {
    EXPECT_EQ(e.solveFor(e.definedName()), 0);
    EXPECT_NEAR(e.residualNow(), 0.0, 1e-9 * std::max(1.0, std::fabs(r.value(e.definedName()))));
  }
}

const std::map<std::string, double> kHydPoint = {{"FEEDHYDMASS", 2400}, {"H2MASS", 500}, {"CONVERSION", 72},
                                                 {"FEEDSG", 0.9},       {"FEEDMASS", 20000}};

INSTANTIATE_TEST_SUITE_P(
    Classes, HcrEquationFd,
    ::testing::Values(
        FdCase{"MassBal", maker<eqMassBal>(kSlateD), {{"FEEDMASS", 1000}}},
        FdCase{"HydBal", maker<eqHydBal>(kSlateK), kHydPoint},
        FdCase{"MassConv", maker<eqMassConv>(std::string("KER")),
               {{"KERFRAC", 0.22}, {"MASSFACTOR", 1.03}, {"FEEDMASS", 2e5}, {"KERMASS", 4e4}}},
        FdCase{"VolConvGas", maker<eqVolConv>(std::string("FGS")),
               {{"FGSVOL", 7}, {"FGSMW", 23.0565}, {"FGSMOL", 240}, {"FGSFOEFACTOR", 0.811249393}}},
        FdCase{"VolConvLiquid", maker<eqVolConv>(std::string("UCO")), {{"UCOVOL", 45}, {"UCOMASS", 4e4}, {"UCOSG", 0.86}}},
        FdCase{"MolConv", maker<eqMolConv>(std::string("H2")), {{"H2MOL", 2400}, {"H2MASS", 5000}, {"H2MW", 2.01588}}},
        FdCase{"SulConv", maker<eqSulConv>(std::string("HCN")), {{"FEEDSUL", 2}, {"HCNRELSUL", 0.004}, {"HCNSUL", 0.01}}},
        FdCase{"SulPPM", maker<eqSulPPM>(std::string("LCN")), {{"LCNSUL", 0.004}, {"LCNSULPPM", 30}}},
        FdCase{"HydMassConv", maker<eqHydMassConv>(std::string("DSL")),
               {{"DSLMASS", 5e4}, {"DSLHYD", 13.9}, {"DSLHYDMASS", 7000}}},
        FdCase{"NAVal", maker<eqNAVal>(std::string("HCN")), {{"HCNNAPH", 45}, {"HCNAROM", 8}, {"HCNNA", 50}}},
        FdCase{"RVI", maker<eqIdxVal>(std::string("LCN"), 0u), {{"LCNRVP", 85}}},
        FdCase{"CetaneIndex", maker<eqIdxVal>(std::string("DSL"), 1u), {{"DSLSG", 0.805}, {"DSLD86_50", 555}}},
        FdCase{"FreezeIndex", maker<eqIdxVal>(std::string("KER"), 2u), {{"KERFREEZEPT", -60}}},
        FdCase{"CloudIndex", maker<eqIdxVal>(std::string("KER"), 3u), {{"KERCLOUDPT", -70}}},
        FdCase{"SmokeIndex", maker<eqIdxVal>(std::string("KER"), 4u), {{"KERSMOKEPT", 25}}},
        FdCase{"ViscIndex", maker<eqIdxVal>(std::string("UCO"), 5u), {{"UCOVISC_122", 8}}},
        FdCase{"ViscIndexBelowTheKink", maker<eqIdxVal>(std::string("KER"), 5u), {{"KERVISC_122", 0.1}}},
        FdCase{"ConvCalc", maker<eqConvCalc>(),
               {{"FEEDMASS", 2e5}, {"TOTCONV", 80}, {"RCYRATE", 10}, {"FEEDSUL", 2}, {"CONVERSION", 70}}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
