// What the builders make (names, variable lists, ordering keys) and what the
// objects compute at worked reference points, starting values
// included.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "equations/balance_equations.h"
#include "equations/conversion_equations.h"
#include "equations/fraction_equations.h"
#include "equations/ratio_unit_equations.h"
#include "tests/equations/lib1_bench.h"

namespace {

using namespace ROEqnSupplier;
using Names = std::vector<std::string>;

constexpr double kH2SShare = 0.9408501188936436;

EqnPtr lastBalance(ReactionSpec spec, EqnContext context = nullptr) {
  return std::move(buildBalanceEquations(context, spec).back());
}

TEST(BalanceBuilder, CokerLikeSpecGivesTheBalanceLayerInOrder) {
  const EqnList list = buildBalanceEquations(nullptr, cokerLikeSpec());
  Names names;
  for (const EqnPtr& e : list) names.push_back(e->name);
  Names expected = {"EQN_FEEDSULMASS", "EQN_FGSMASS", "EQN_C3MASS", "EQN_C32MASS", "EQN_IC4MASS", "EQN_NC4MASS",
                    "EQN_UC4MASS"};
  for (const char* s : {"LCN", "HCN", "LGO", "HGO", "COK"})
    for (const char* w : {"MASS", "SUL", "SULMASS"}) expected.push_back(std::string("EQN_") + s + w);
  expected.insert(expected.end(), {"MASS_BAL", "SULFUR_BAL"});
  EXPECT_EQ(names, expected);

  const auto& sulfur = dynamic_cast<const _eqCompBalance&>(*list.back());
  EXPECT_EQ(sulfur.varNames(), (Names{"FEEDSULMASS", "H2SMASS", "LCNSULMASS", "HCNSULMASS", "LGOSULMASS",
                                      "HGOSULMASS", "COKSULMASS"}));
  EXPECT_EQ(sulfur.coefficients(), (std::map<std::string, double>{{"H2SMASS", -kH2SShare}}));
  EXPECT_EQ(sulfur.getOrderKey(), 2525u);
  EXPECT_EQ(list[list.size() - 2]->getOrderKey(), 2550u);
  EXPECT_EQ(componentBalanceName("HYD"), "HYDROGEN_BAL");
  EXPECT_EQ(componentBalanceName("NIT"), "_BAL");
}

TEST(RelativeContentFloor, ModesAtASlightlyNegativeContent) {
  const _eqCompConv smooth("LCN", "SUL", "FEED", 1), clip("LCN", "SUL", "FEED", 0);
  EXPECT_GT(smooth.g(-1e-17), 0.0);
  EXPECT_LT(smooth.g(-1e-17), 1e-60);
  EXPECT_EQ(clip.g(-1e-17), 0.0);
  EXPECT_EQ(clip.gPrime(-1e-17), 0.0);
}

TEST(YieldEquation, FloorsTheFractionAtTheCutoff) {
  EqnBench b;
  roeqn2& lcn = b.place(buildFractionEquations("LCN", kBasisMass, "FEED", "SUL", true));
  EXPECT_EQ(lcn.name, "EQN_LCNMASS");
  EXPECT_EQ(lcn.varNames(), (Names{"FEEDMASS", "MASSFACTOR", "LCNCUTOFF", "LCNFRAC", "LCNMASS"}));
  EXPECT_EQ(lcn.getOrderKey(), 1000u);
  b.set("FEEDMASS", 100);
  b.set("MASSFACTOR", 1);
  b.set("LCNMASS", 0);
  b.set("LCNCUTOFF", 1e-19);
  b.set("LCNFRAC", -1e-18);
  EXPECT_NEAR(-b.residual(lcn), 1e-19 * std::exp(-11.0), 1e-37);
  // A cut-off of 0 acts as 1e-20 and no longer moves the floor.
  b.set("LCNCUTOFF", 0);
  b.set("LCNFRAC", -1e-20);
  EXPECT_NEAR(-b.residual(lcn), 1e-20 * std::exp(-2.0), 1e-34);
  ASSERT_EQ(lcn.evalJac(b.jac()), 0);
  EXPECT_EQ(b.jacobian(lcn, "LCNCUTOFF"), 0.0);

  const auto generic = createGenEqn(nullptr, VerInfo{37, 0, 0});
  roeqn2& h2s = b.place(generic->createFractionEquation("H2S", kBasisMass, "FEED", "SUL"));
  EXPECT_EQ(h2s.name, "CONV_H2SMASS");
  EXPECT_EQ(h2s.varNames(), (Names{"FEEDMASS", "H2SFRAC", "H2SMASS"}));
  b.set("H2SMASS", 5);
  b.set("H2SFRAC", 0.01);
  EXPECT_DOUBLE_EQ(b.residual(h2s), 0.05 - 0.01);
  EXPECT_EQ(generic->createFractionEquation("H2S", kBasisComponent, "FEED", "SUL")->name, "EQN_H2SSUL");
  EXPECT_EQ(generic->createFractionEquation("H2S", kBasisVolume, "FEED", "SUL"), nullptr);
}

struct ConvCase {
  int from, to;
  std::uint32_t hl;
  const char* stream;
  const char* name;  // null: no object
  Names vars;
  std::uint32_t key;
};

class ConversionBuilder : public ::testing::TestWithParam<ConvCase> {};

TEST_P(ConversionBuilder, ChoosesClassDensityAndKey) {
  const ConvCase& c = GetParam();
  const ConversionBasisSpec spec(c.hl, 0);
  const EqnPtr e = buildConversionEquations(c.stream, c.from, c.to, &spec);
  if (!c.name) {
    EXPECT_EQ(e, nullptr);
    return;
  }
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->name, c.name);
  EXPECT_EQ(e->varNames(), c.vars);
  EXPECT_EQ(e->getOrderKey(), c.key);
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, ConversionBuilder,
    ::testing::Values(ConvCase{0, 2, 0, "C3", "CONV_C3VOL", {"C3VOL", "C3SG", "RHOH2O", "C3MASS"}, 1503},
                      ConvCase{0, 2, 0, "H2S", "CONV_H2SVOL", {"H2SVOL", "H2SSG", "RHOAIR", "H2SMASS"}, 1503},
                      ConvCase{0, 1, 0, "H2S", "CONV_H2SMOL", {"H2SMOL", "H2SMASS", "H2SMW"}, 1502},
                      ConvCase{1, 0, 0, "H2S", "CONV_H2SMASS", {"H2SMOL", "H2SMASS", "H2SMW"}, 1501},
                      ConvCase{2, 0, 2, "FEED", "CONV_FEEDMASS", {"FEEDVOL", "FEEDSG", "RHOH2O", "FEEDMASS"}, 1},
                      ConvCase{0, 2, 2, "FEED", "CONV_FEEDVOL", {"FEEDVOL", "FEEDSG", "RHOH2O", "FEEDMASS"}, 3},
                      ConvCase{0, 2, 0, "FEED", "CONV_FEEDVOL", {"FEEDVOL", "FEEDSG", "RHOH2O", "FEEDMASS"}, 1503},
                      ConvCase{1, 2, 0, "FGS", "CONV_FGSVOL", {"FGSVOL", "FGSSG", "RHOAIR", "FGSMOL", "FGSMW"}, 1503},
                      ConvCase{0, 3, 0, "C3", "CONV_C3FOE", {"C3VOL", "C3MASS", "C3FOEFACTOR"}, 1504},
                      ConvCase{1, 3, 0, "C3", "CONV_C3FOE", {"C3VOL", "C3MOL", "C3FOEFACTOR", "C3MW"}, 1504},
                      ConvCase{2, 3, 0, "C3", nullptr, {}, 0}, ConvCase{0, 4, 0, "C3", nullptr, {}, 0},
                      ConvCase{0, 0, 0, "C3", nullptr, {}, 0}));

TEST(FccEquations, ConversionDrawsHcoOnlyForSlatesEndingInH) {
  EXPECT_EQ(buildFccConversionEquations("CONVERSION", "FCC_GO_3N1H")->varNames(),
            (Names{"CONVERSION", "FEEDVOL", "LCOVOL", "BOTVOL", "HCOVOL"}));
  EXPECT_EQ(buildFccConversionEquations("CONVERSION", "FCC_GO_3N")->varNames(),
            (Names{"CONVERSION", "FEEDVOL", "LCOVOL", "BOTVOL"}));
  EXPECT_EQ(buildFccConversionEquations("C5SRVI", "FCC_GO_3N")->getOrderKey(), 0u);
  EXPECT_EQ(buildFccConversionEquations("C5SRVP", "FCC_GO_3N"), nullptr);
  EXPECT_EQ(buildConversionEquations("C3", 0, 2, nullptr), nullptr);

  // Before the pattern the conversion writes nothing and counts every entry.
  EqnBench b;
  roeqn2& conv = b.place(buildFccConversionEquations("CONVERSION", "FCC_GO_3N1H"), false);
  EXPECT_EQ(conv.jac(b.jac()), 5);
}

TEST(GenericSupplier, SumRatioUnitConversionAndMixes) {
  const auto generic = createGenEqn(nullptr, VerInfo{37, 0, 0});
  const EqnPtr ratio = generic->createSumRatioEquation({"C32MASS"}, {"C3MIXMASS"}, "UNSATINC3MIX", "R", true);
  EXPECT_EQ(ratio->varNames(), (Names{"UNSATINC3MIX", "C32MASS", "C3MIXMASS"}));
  EXPECT_EQ(dynamic_cast<const _eqSumRatio&>(*ratio).split(), 2u);
  EXPECT_EQ(ratio->getOrderKey(), 3000u);

  EqnBench b;
  roeqn2& unit = b.place(generic->createUnitConversionEquation("LCNSULPPM", "LCNSUL", "U", 0.0001, 0));
  EXPECT_EQ(unit.getOrderKey(), 3500u);
  ASSERT_EQ(unit.evalJac(b.jac()), 0);
  EXPECT_EQ(b.jacobian(unit, "LCNSULPPM"), 0.0001);
  EXPECT_EQ(b.jacobian(unit, "LCNSUL"), -1.0);

  EXPECT_EQ(generic->createMixFlowEquation({"C3", "C32"}, "C3MIX", 2, "MASS")->name, "EQN_C3MIXVOL");
  const EqnPtr mass = generic->createMixFlowEquation({"C3", "C32"}, "C3MIX", 0, massSuffix());
  EXPECT_EQ(mass->name, "EQN_C3MIXMASS");
  EXPECT_EQ(mass->varNames(), (Names{"C3MIXMASS", "C3MASS", "C32MASS"}));
  EXPECT_EQ(mass->getOrderKey(), 2000u);
  EXPECT_EQ(generic->createMixFlowEquation({"A"}, "M", 7, "MASS")->varNames(), (Names{"M", "A"}));
  EXPECT_EQ(generic->createMixFlowEquation({}, "C3MIX", 0, "MASS")->varNames(), (Names{"C3MIXMASS"}));
}

// ---- Starting values -------------------------------------------------------------

constexpr double kKeeps = -7.0;  // the value the variable holds before the step

struct InitCase {
  const char* label;
  std::function<EqnPtr()> make;
  std::map<std::string, double> at;
  const char* var;
  double expected;  // kKeeps: the step stores nothing
};

const ConversionBasisSpec kMassBasis(0, 0), kVolumeBasis(2, 0);
const std::map<std::string, double> kProducts = {
    {"LCNSULMASS", 1}, {"HCNSULMASS", 1}, {"LGOSULMASS", 1}, {"HGOSULMASS", 1}, {"COKSULMASS", 1}};

std::map<std::string, double> with(std::map<std::string, double> a, const std::map<std::string, double>& b) {
  a.insert(b.begin(), b.end());
  return a;
}

EqnPtr threeStreamMassBalance() {
  auto e = std::make_unique<_eqMassBalance>(Names{"FEED", "H2S", "LCN"}, std::unordered_set<std::string>{"FEED"});
  e->setClosingStream("H2S");
  return e;
}

EqnPtr sulfurWithoutH2SShare() {
  ReactionSpec spec = cokerLikeSpec();
  spec.inlineCompFracs.erase("H2S");
  return lastBalance(spec);
}

const InitCase kInits[] = {
    {"VolumeFromMass", [] { return buildConversionEquations("C3", 0, 2, &kMassBasis); },
     {{"C3MASS", 90}, {"RHOH2O", 1000}, {"C3SG", 0.5}}, "C3VOL", 0.18},
    {"FeedMassFromVolume", [] { return buildConversionEquations("FEED", 0, 2, &kVolumeBasis); },
     {{"FEEDVOL", 2}, {"RHOH2O", 1000}, {"FEEDSG", 0.9}}, "FEEDMASS", 1800},
    {"MolesFromMass", [] { return buildConversionEquations("H2S", 0, 1, &kMassBasis); },
     {{"H2SMASS", 68}, {"H2SMW", 34}}, "H2SMOL", 2},
    {"ClosingSulfur", [] { return lastBalance(cokerLikeSpec()); }, with(kProducts, {{"FEEDSULMASS", 10}}), "H2SMASS",
     5 / kH2SShare},
    {"ClosingSulfurFloored", [] { return lastBalance(cokerLikeSpec()); }, with(kProducts, {{"FEEDSULMASS", 2}}),
     "H2SMASS", 0},
    {"MassFactor", threeStreamMassBalance, {{"FEEDMASS", 100}, {"H2SMASS", 10}, {"LCNMASS", 45}}, "MASSFACTOR",
     90.0 / 35.0},
    {"ShareOfMix", [] { return buildSumRatioEquation({"C32MASS"}, {"C3MIXMASS"}, "UNSATINC3MIX", "R"); },
     {{"C32MASS", 30}, {"C3MIXMASS", 120}}, "UNSATINC3MIX", 0.25},
    {"ShareOfEmptyMix", [] { return buildSumRatioEquation({"C32MASS"}, {"C3MIXMASS"}, "UNSATINC3MIX", "R"); },
     {{"C32MASS", 30}, {"C3MIXMASS", 0}}, "UNSATINC3MIX", 30 / 1e-20},
    {"PpmToPercent", [] { return buildUnitConversionEquation("LCNSULPPM", "LCNSUL", "U", 0.0001, 0); },
     {{"LCNSULPPM", 5000}}, "LCNSUL", 0.5},
    {"EmptyMix", [] { return buildMixFlowEquations({}, "C3MIX", 0, "MASS"); }, {}, "C3MIXMASS", 0},
    // Zero divisors: the variable keeps its value.
    {"ZeroDensity", [] { return buildConversionEquations("C3", 0, 2, &kMassBasis); },
     {{"C3MASS", 90}, {"RHOH2O", 0}, {"C3SG", 0.5}}, "C3VOL", kKeeps},
    {"ZeroMolarMass", [] { return buildConversionEquations("H2S", 0, 1, &kMassBasis); },
     {{"H2SMASS", 68}, {"H2SMW", 0}}, "H2SMOL", kKeeps},
    {"ZeroFoeFactor", [] { return buildConversionEquations("C3", 1, 3, &kMassBasis); },
     {{"C3MOL", 3}, {"C3MW", 44}, {"C3FOEFACTOR", 0}}, "C3VOL", kKeeps},
    {"ZeroMassFactorDivisor", threeStreamMassBalance, {{"FEEDMASS", 100}, {"H2SMASS", 10}, {"LCNMASS", 10}},
     "MASSFACTOR", kKeeps},
    {"ZeroClosingContent", sulfurWithoutH2SShare, with(kProducts, {{"FEEDSULMASS", 10}, {"H2SSUL", 0}}),
     "H2SSULMASS", kKeeps},
};

class StartingValue : public ::testing::TestWithParam<InitCase> {};

TEST_P(StartingValue, IsComputedOrKept) {
  EqnBench b;
  roeqn2& e = b.place(GetParam().make());
  for (const auto& [name, v] : GetParam().at) b.set(name, v);
  b.set(GetParam().var, kKeeps);
  EXPECT_EQ(e.init(), 0);
  EXPECT_DOUBLE_EQ(b.get(GetParam().var), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(EquationLibrary, StartingValue, ::testing::ValuesIn(kInits),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(ComponentBalance, ConsumerTermsWithoutAttributeMapWriteNothing) {
  ReactionSpec spec = cokerLikeSpec();
  spec.consumerTerms = {{"H2CONSUMPTION", {"FEEDMASS"}}};
  EqnBench b;
  ROMAttrMap* none = nullptr;
  for (EqnContext context : {EqnContext{nullptr}, &none}) {
    roeqn2& e = b.place(lastBalance(spec, context));
    for (const std::string& n : e.varNames()) b.set(n, 3.0);
    b.res()[e.eqnNumber()] = 42.0;
    for (int local = 0; local < e.nzCount(); ++local) b.jac()[e.nzNumber(local)] = 42.0;
    EXPECT_EQ(e.res(b.res()), 1);
    EXPECT_EQ(e.jac(b.jac()), 1);
    EXPECT_EQ(e.init(), 1);
    EXPECT_EQ(b.res()[e.eqnNumber()], 42.0);
    for (int local = 0; local < e.nzCount(); ++local) EXPECT_EQ(b.jac()[e.nzNumber(local)], 42.0);
    EXPECT_EQ(b.get("H2SMASS"), 3.0);
  }
}

}  // namespace
