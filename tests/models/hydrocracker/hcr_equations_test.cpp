// The hydrocracker's equation objects: the manager's numbering and
// exceptions, documented residual values, the smooth floor, the index kinds,
// and central differences of every class against its Jacobian row.
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
  EXPECT_EQ(r.eqns.declarePattern(r.jacList), 4);
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

// ---- Documented values ----------------------------------------------------------------

TEST(HcrBalances, MassBalanceClosesAndCountsRefusedEntries) {
  Rig r;
  auto& mb = r.add(std::make_unique<eqMassBal>(kSlateD), false);
  EXPECT_EQ(mb.varNames().size(), 12u);
  EXPECT_EQ(mb.jac(r.jac()), 12);  // before the pattern every entry is refused
  r.eqns.declarePattern(r.jacList);
  // Products 3 + 10 + 6 x 1 + 50 + 34 = 103 against 100 of feed and 3 of hydrogen.
  r.set({{"FEEDMASS", 100}, {"H2MASS", 3}, {"H2SMASS", 3}, {"FGSMASS", 10}, {"LCNMASS", 50}, {"UCOMASS", 34}});
  EXPECT_EQ(mb.res(r.res()), 0);
  EXPECT_EQ(r.residual(mb), 0.0);
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
  r.attr("HYDBALBIAS", 0.001);
  hb.res(r.res());
  EXPECT_NEAR(r.residual(hb) - plain, 0.001 * 4000, 1e-9);
  setHydBalTerms(r, 0.001, 2e-4, 0.01);
  EXPECT_EQ(hb.jac(r.jac()), 0);
  EXPECT_EQ(r.entry(hb, "FEEDHYDMASS"), -1.0);
  EXPECT_EQ(r.entry(hb, "UCOHYDMASS"), 1.0);
  EXPECT_NEAR(r.entry(hb, "CONVERSION"), 2e-4 * 4000, 1e-12);
  EXPECT_NEAR(r.entry(hb, "FEEDSG"), 0.01 * 4000, 1e-12);
  EXPECT_NEAR(r.entry(hb, "FEEDMASS"), 70 * 2e-4 + 0.001 + 0.9 * 0.01, 1e-15);
}

struct FloorCase {
  double fraction, phi, dphi;
};

TEST(HcrFloor, FractionsAtOrBelowTheFloorAreFloored) {
  const double c = 1e-19, e = 2.718281828459045;
  // At exactly 1e-19 the exponential branch gives c exp(0) = c with slope exp(1) / e.
  for (const FloorCase& f :
       {FloorCase{0.0, c / e, 0.36787944117144233}, FloorCase{1e-19, c, 1.0}, FloorCase{2e-19, 2e-19, 1.0}}) {
    Rig r;
    auto& mc = r.add(std::make_unique<eqMassConv>("LCN"));
    r.set({{"LCNFRAC", f.fraction}, {"MASSFACTOR", 1.0}, {"FEEDMASS", 1.0}, {"LCNMASS", 0.0}});
    mc.res(r.res());
    mc.jac(r.jac());
    EXPECT_DOUBLE_EQ(r.residual(mc), f.phi) << f.fraction;
    EXPECT_NEAR(r.entry(mc, "LCNFRAC"), f.dphi, 1e-15) << f.fraction;
  }
}

TEST(HcrConversions, GasAndLiquidForms) {
  EXPECT_EQ(eqVolConv("H2").varNames(), (std::vector<std::string>{"H2VOL", "H2MW", "H2MOL", "H2FOEFACTOR"}));
  for (const char* liquid : {"FEED", "C3", "LCN", "H2X"}) EXPECT_FALSE(eqVolConv(liquid).gas()) << liquid;
  EXPECT_EQ(eqVolConv("H2X").varNames().size(), 3u);
  Rig r;
  auto& vc = r.add(std::make_unique<eqVolConv>("FEED"));
  r.set({{"FEEDVOL", 2.0}, {"FEEDSG", 0.8}, {"FEEDMASS", 1600.0}});
  EXPECT_EQ(vc.res(r.res()), 0);
  EXPECT_EQ(r.residual(vc), 0.0);
}

TEST(HcrIndices, DocumentedPointsAndTheUnknownKind) {
  Rig r;
  auto& freeze = r.add(std::make_unique<eqIdxVal>("KER", kFREEZEIDX));
  auto& cet = r.add(std::make_unique<eqIdxVal>("KER", kCETIDX));
  auto& visc = r.add(std::make_unique<eqIdxVal>("DSL", kVISCIDX));
  r.set({{"KERFREEZEPT", 0.0}, {"KERFREEZEIDX", 0.0}, {"KERSG", 0.85}, {"KERD86_50", 250.0}, {"KERCETIDX", 0.0},
         {"DSLVISC_122", 0.1}, {"DSLVISCIDX", 0.0}});
  for (hcreqn* e : {static_cast<hcreqn*>(&freeze), static_cast<hcreqn*>(&cet), static_cast<hcreqn*>(&visc)})
    EXPECT_EQ(e->res(r.res()), 0) << e->name;
  EXPECT_DOUBLE_EQ(r.residual(freeze), std::pow(2.718, 3.514));  // base 2.718, not e
  const double t = 482.0, lt = std::log10(t);
  EXPECT_DOUBLE_EQ(r.residual(cet), 454.74 - 1641.416 * 0.85 + 774.74 * 0.85 * 0.85 - 0.554 * t + 97.803 * lt * lt);
  EXPECT_DOUBLE_EQ(r.residual(visc), 33.5 * std::log10(std::fabs(std::log10(0.95))) + 19.2);

  auto& unknown = r.add(std::make_unique<eqIdxVal>("KER", 6));
  EXPECT_EQ(unknown.name, "");
  EXPECT_TRUE(unknown.varNames().empty());
  EXPECT_EQ(unknown.nzCount(), 0);
  EXPECT_EQ(unknown.res(r.res()), 1);
  EXPECT_EQ(unknown.jac(r.jac()), 0);
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

template <class T, class... A>
std::function<std::unique_ptr<ListedEqn>()> maker(A... args) {
  return [=] { return std::make_unique<T>(args...); };
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
