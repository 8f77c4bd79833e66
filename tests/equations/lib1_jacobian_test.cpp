// Every class of the balance, conversion, fraction, mix, sum-ratio and
// unit-conversion families: the Jacobian matches central differences of the
// residual, at a generic point and at the points where a floor, a clip or a
// zero consumer variable changes the formula.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>

#include "equations/balance_equations.h"
#include "equations/conversion_equations.h"
#include "equations/fraction_equations.h"
#include "equations/ratio_unit_equations.h"
#include "tests/equations/lib1_bench.h"

namespace {

using namespace ROEqnSupplier;

struct FdCase {
  const char* label;
  std::function<EqnPtr(EqnBench&)> make;
  std::map<std::string, double> at;  // values other than the generic ones
};

EqnPtr compBalance(EqnBench& b) {
  ReactionSpec spec = cokerLikeSpec();
  spec.consumerTerms = {{"H2CONSUMPTION", {"FEEDMASS", "LCNSULMASS", "HCNREL"}}};
  b.attr("H2CONSUMPTION", 0.8);
  return std::make_unique<_eqCompBalance>(b.context(), spec, spec.inletStreams, "H2S", "SUL", spec.inlineCompFracs,
                                          spec.consumerTerms, "MASS");
}

const ConversionBasisSpec kBasis(0, 0);

const FdCase kCases[] = {
    {"CompMassFromFrac", [](EqnBench&) { return std::make_unique<_eqCompMass_FromFrac>("LCN", "SUL"); }, {}},
    {"CompConvSmoothFloor", [](EqnBench&) { return std::make_unique<_eqCompConv>("LCN", "SUL", "FEED", 1); },
     {{"LCNRELSUL", -1e-18}, {"LCNSUL", 0}}},
    {"CompConvClip", [](EqnBench&) { return std::make_unique<_eqCompConv>("LCN", "SUL", "FEED", 0); },
     {{"LCNRELSUL", -0.3}}},
    {"InlineCompFrac", [](EqnBench&) { return std::make_unique<_eqCompMass_InlineCompFrac>("LGO", "SUL", 1); }, {}},
    {"InlineCompFracFloor",
     [](EqnBench&) { return std::make_unique<_eqCompMass_InlineCompFrac>("LGO", "SUL", 1); },
     {{"LGORELSUL", -2e-19}, {"LGOSULMASS", 0}}},
    {"MassBalance",
     [](EqnBench&) { return std::make_unique<_eqMassBalance>(cokerLikeSpec().streams, cokerLikeSpec().inletStreams); },
     {}},
    {"CompBalance", compBalance, {}},
    {"CompBalanceZeroConsumer", compBalance, {{"HCNREL", 0.0}}},
    {"VolConvMass", [](EqnBench&) { return std::make_unique<_eqVolConv_Mass>("C3", 0, "VOL"); }, {}},
    {"VolConvMole", [](EqnBench&) { return std::make_unique<_eqVolConv_Mole>("H2S", 1, "VOL"); }, {}},
    {"FOEConvMole", [](EqnBench&) { return std::make_unique<_eqFOEConv_Mole>("FGS", kBasis); }, {}},
    {"FOEConvMass", [](EqnBench&) { return std::make_unique<_eqFOEConv_Mass>("C3", kBasis); }, {}},
    {"MoleConvMass", [](EqnBench&) { return std::make_unique<_eqMoleConv_Mass>("H2S", "MOL"); }, {}},
    {"C5SRVI", [](EqnBench&) { return std::make_unique<_eqC5SRVI>(); }, {}},
    {"Conversion", [](EqnBench&) { return buildFccConversionEquations("CONVERSION", "FCC_GO_3N1H"); }, {}},
    {"YieldAboveCutoff", [](EqnBench&) { return buildFractionEquations("LCN", 0, "FEED", "SUL", true); },
     {{"LCNCUTOFF", 1e-3}, {"LCNFRAC", 0.2}}},
    {"YieldBelowCutoff", [](EqnBench&) { return buildFractionEquations("LCN", 0, "FEED", "SUL", true); },
     {{"LCNCUTOFF", 1e-19}, {"LCNFRAC", -1e-18}, {"LCNMASS", 0}}},
    {"YieldNegativeCutoff", [](EqnBench&) { return buildFractionEquations("LCN", 0, "FEED", "SUL", true); },
     {{"LCNCUTOFF", -0.5}, {"LCNFRAC", -5e-21}, {"LCNMASS", 0}}},
    {"YieldPlain", [](EqnBench&) { return buildFractionEquations("H2S", 0, "FEED", "", false); }, {}},
    {"MixFlowRepeatedMember", [](EqnBench&) { return buildMixFlowEquations({"C3", "C3"}, "C3MIX", 0, "MASS"); },
     {}},
    {"SumRatioSharedMember",
     [](EqnBench&) { return buildSumRatioEquation({"C32MASS", "C3MASS"}, {"C3MASS", "U"}, "U", "R"); }, {}},
    {"UnitConv", [](EqnBench&) { return buildUnitConversionEquation("LCNSULPPM", "LCNSUL", "U", 1e-4, 0.5); }, {}},
};

class JacobianMatchesCentralDifferences : public ::testing::TestWithParam<FdCase> {};

TEST_P(JacobianMatchesCentralDifferences, AtEveryListedVariable) {
  EqnBench b;
  roeqn2& e = b.place(GetParam().make(b));
  // Generic point: distinct positive values in list order, then the case's own.
  for (std::size_t i = 0; i < e.varNames().size(); ++i) b.set(e.varNames()[i], 1.3 + 0.45 * static_cast<double>(i));
  for (const auto& [name, v] : GetParam().at) b.set(name, v);

  ASSERT_EQ(e.res(b.res()), 0);
  ASSERT_EQ(e.evalJac(b.jac()), 0);
  for (const auto& [name, local] : e.localNz()) {
    const double x0 = b.get(name);
    const double h = 1e-6 * (x0 != 0.0 ? std::abs(x0) : 1.0);
    b.set(name, x0 + h);
    const double up = b.residual(e);
    b.set(name, x0 - h);
    const double down = b.residual(e);
    b.set(name, x0);
    const double fd = (up - down) / (2 * h);
    const double jac = b.jacobian(e, name);
    EXPECT_LE(std::abs(jac - fd), 1e-7 * std::max({std::abs(fd), std::abs(jac), 1e-12})) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(EquationLibrary, JacobianMatchesCentralDifferences, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
