// The visbreaker's equation objects of the second generation: what the
// supplier makes by name, the viscosity restart and starting values, the
// furnace correlation of each kind, and the feed scale of the SKR networks.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <typeinfo>

#include "equations/nn_equations.h"
#include "equations/vb_equations.h"
#include "models/visbreaker/rovb_1.h"
#include "tests/models/visbreaker/vb_fixture.h"

namespace {

using namespace ROEqnSupplier;
using namespace vb_test;

struct Made {
  const char* kind;
  const char* name;
  const std::type_info* type;  // null: no object
  std::vector<std::string> vars = {};
};

TEST(VbSupplier, MakesItsEquationsByExactName) {
  for (const Made& m :
       {Made{"VB_NOSKR", "EQN_LGOVBI", &typeid(_eqnViscosity), {"LGOVISC_122", "LGOVBI"}},
        Made{"VB_SKR", "EQN_TARVBI", &typeid(_eqnViscosity), {"TARVISC_122", "TARVBI"}},
        Made{"VB_SKR", "EQN_FEEDVBI", &typeid(_eqnViscosity), {"FEEDVISC", "FEEDVBI"}},
        Made{"VB_SKR", "EQN_NAPVBI", nullptr}, Made{"VB_SKR", "EQN_LGOVBI ", nullptr},
        Made{"VB_SKR", "EQN_FURNACETEMPX", nullptr}, Made{"VB_SKR", "EQN_FURNACETEMP", &typeid(_eqnVBSKRFurnaceTemp)},
        Made{"VB_NOSKR", "EQN_FURNACETEMP", &typeid(_eqnVBNOSKRFurnaceTemp),
             {"FEEDMASS", "CONVERSION", "FEEDCCR", "FEEDSG", "FEEDSUL", "FURNACETEMP"}},
        Made{"VB", "EQN_FURNACETEMP", &typeid(_eqnVBSKRFurnaceTemp)}, Made{"VB_NOSKR", "EQN_HGOSULPPM", nullptr}}) {
    const auto supplier = createReacEqn(m.kind, nullptr, VerInfo{37, 0, 0});
    ASSERT_NE(supplier, nullptr);
    const EqnPtr eqn = supplier->createEquation(m.name);
    if (!m.type) {
      EXPECT_EQ(eqn, nullptr) << m.kind << " " << m.name;
      continue;
    }
    ASSERT_NE(eqn, nullptr) << m.kind << " " << m.name;
    const roeqn2& e = *eqn;
    EXPECT_EQ(typeid(e), *m.type) << m.name;
    EXPECT_EQ(e.name, m.name);
    EXPECT_EQ(e.getOrderKey(), *m.type == typeid(_eqnViscosity) ? 2501u : 2500u);  // furnace first
    if (!m.vars.empty()) {
      EXPECT_EQ(e.varNames(), m.vars) << m.name;
    }
  }
}

class VbObjects : public ::testing::TestWithParam<const char*> {
 protected:
  VbObjects() : s(createByFactory(options(GetParam(), true))) {}
  roeqn2& object(const std::string& name) { return *s.as<rovb_1>().eqnMan().find(name); }
  Session s;
};

TEST_P(VbObjects, ViscosityRestartAndStartingValue) {
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  s.value("HGOVISC_122") = 0.19;
  s.value("LGOVISC_122") = 0.2;
  ASSERT_EQ(s.res(), 0);
  const double moved = s.value("HGOVISC_122");
  EXPECT_GE(moved, 0.2);
  EXPECT_LT(moved, 1.2);
  EXPECT_DOUBLE_EQ(s.residual("EQN_HGOVBI"), vbViscosityIndex(moved) - s.value("HGOVBI"));
  EXPECT_EQ(s.value("LGOVISC_122"), 0.2);

  s.value("HGOVBI") = 19.2;
  EXPECT_EQ(object("EQN_HGOVBI").init(), 0);
  EXPECT_DOUBLE_EQ(s.value("HGOVISC_122"), 9.15);  // 10^(10^0) - 0.85
  EXPECT_EQ(s.value("HGOVBI"), 19.2);
}

TEST_P(VbObjects, FurnaceTemperatureOfTheKindAndItsExactFeedDerivative) {
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const bool skr = std::string(GetParam()) == "ROVBSKR";
  s.value("FEEDMASS") = 1e4;
  ASSERT_EQ(object("EQN_FURNACETEMP").init(), 0);
  const VBFurnaceFit& fit = skr ? kVbSkrFurnaceFit : kVbNoSkrFurnaceFit;
  EXPECT_DOUBLE_EQ(s.value("FURNACETEMP"), vbFurnaceTemperature(fit, {1e4, 7, 20, 1.02, 3}));
  s.res();
  EXPECT_EQ(s.residual("EQN_FURNACETEMP"), 0.0);  // zero right after its starting value
  s.jac();
  const double dm = skr ? 74953.44297 / 2 * 2.20462 * std::pow(2.20462e4, -1.5) : 47893.5079617e-6;
  EXPECT_NEAR(s.jacobianRow("EQN_FURNACETEMP").at("FEEDMASS"), dm, 1e-15 * dm);
  EXPECT_EQ(s.jacobianRow("EQN_FURNACETEMP").at("CONVERSION"), fit.conversion);
}

TEST_P(VbObjects, SkrNetworksTakeTheFeedInPounds) {
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const bool skr = std::string(GetParam()) == "ROVBSKR";
  for (const varinfo2& y : s.as<rovb_1>().networkOutputs()) {
    const auto& nn = dynamic_cast<const NNDepEqn&>(object("Y_" + y.name));
    ASSERT_EQ(nn.inputs().size(), 11u);
    EXPECT_EQ(nn.inputs()[1], "FEEDMASS");  // name order: FEEDCCR, FEEDMASS, ...
    EXPECT_EQ(nn.scaleOf(1).scale, skr ? 2.20462 : 1.0) << y.name;
    EXPECT_EQ(nn.scaleOf(0).scale, 1.0);
  }
}

// Each yield enters its product mass through the smooth floor at its cut-off
// constant, 1e-19: a yield of 1e-3 counts as it is (slope 1), a yield of 0
// as 1e-19 / e, so a product without yield keeps a mass of about 0.
TEST_P(VbObjects, YieldsAreFlooredJustAboveZero) {
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const double feed = s.value("FEEDMASS"), factor = s.value("MASSFACTOR");
  for (const char* stream : {"FGS", "C3", "C32", "NC4", "IC4", "UC4", "NAP", "LGO", "HGO", "TAR"}) {
    const std::string p = stream, row = "EQN_" + p + "MASS";
    EXPECT_EQ(s.value(p + "CUTOFF"), 1e-19) << p;
    s.value(p + "FRAC") = 1e-3;
    s.value(p + "MASS") = 1e-3 * feed * factor;
    ASSERT_EQ(s.res(), 0);
    EXPECT_NEAR(s.residual(row), 0.0, 1e-15) << p;
    ASSERT_TRUE(s.system().jacobian().ok());
    EXPECT_DOUBLE_EQ(s.jacobianRow(row).at(p + "FRAC"), -factor) << p;
    s.value(p + "FRAC") = 0.0;
    s.value(p + "MASS") = 0.0;
    ASSERT_EQ(s.res(), 0);
    EXPECT_NEAR(s.residual(row), -factor * 3.678794411714423e-20, 1e-33) << p;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, VbObjects, ::testing::Values("ROVBNOSKR", "ROVBSKR"));

}  // namespace
