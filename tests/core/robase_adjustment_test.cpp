#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "platform/diveduded/DIVeduded.h"
#include "tests/core/test_model.h"

namespace {

// The test model with its networks, set up, patterned and evaluated once.
class Adjustment : public ::testing::Test {
 protected:
  void SetUp() override {
    nets.writeTestNetworks();
    block.prepare();
    ASSERT_EQ(fw.setUp(block), 0);
    long long status = 0;
    block.user_pat(fw.jac, status);
    ASSERT_EQ(status, 0);
  }
  int varNum(const std::string& name) const { return Framework::kFirstVar + block.var(name)->index - 1; }
  int eqnNum(const ROMEqn* e) const { return Framework::kFirstEqn + e->index - 1; }
  double& x(const std::string& name) { return fw.value(varNum(name)); }
  void setAttr(const std::string& name, double v) { block.m_attributes.at(name)->value = v; }
  long long residuals() const {
    long long status = 0;
    block.user_res(status);
    return status;
  }
  long long jacobian() const {
    long long status = 0;
    block.user_jac(status);
    return status;
  }

  NetworkRoot nets;
  Framework fw;
  testmodel block{"C1"};
};

TEST_F(Adjustment, PatternHasEveryInputThenTheOutput) {
  // 3 inputs and 2 outputs: 2 x (3 + 1) adjustment non-zeros, then 2 sulfur-ppm ones.
  EXPECT_EQ(block.m_adjEqns.at("Y_C3FRAC")->firstNz, 1);
  EXPECT_EQ(block.m_adjEqns.at("Y_COKEFRAC")->firstNz, 5);
  EXPECT_EQ(block.sulPpmEqn()->firstNz, 9);
  EXPECT_EQ(block.m_nzCounter, 10);
  EXPECT_EQ(block.nzlast(), Framework::kFirstNz - 1 + 10);
  const std::vector<std::pair<const char*, const char*>> expected = {
      {"Y_C3FRAC", "FEEDMASS"},   {"Y_C3FRAC", "FEEDSUL"},   {"Y_C3FRAC", "RXTEMP"},   {"Y_C3FRAC", "C3FRAC"},
      {"Y_COKEFRAC", "FEEDMASS"}, {"Y_COKEFRAC", "FEEDSUL"}, {"Y_COKEFRAC", "RXTEMP"}, {"Y_COKEFRAC", "COKEFRAC"},
      {"EQN_LCNSULPPM", "LCNSUL"}, {"EQN_LCNSULPPM", "LCNSULPPM"}};
  for (std::size_t k = 0; k < expected.size(); ++k) {
    const int nz = Framework::kFirstNz + static_cast<int>(k);
    EXPECT_EQ(rtojac_row(fw.jac, nz), rtoeqnlst_find(fw.eqns, (std::string("C1.") + expected[k].first).c_str()));
    EXPECT_EQ(rtojac_col(fw.jac, nz), varNum(expected[k].second)) << k;
  }
}

TEST_F(Adjustment, AdjustmentPassAloneLeavesTheCounterAtEight) {
  block.m_nzCounter = 0;
  long long status = 0;
  block.pat_NNAdjustment(fw.jac, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(block.m_nzCounter, 8);
  EXPECT_EQ(block.nzlast(), Framework::kFirstNz + 7);
}

TEST_F(Adjustment, PlainFactorsGiveOutputMinusPrediction) {
  ASSERT_EQ(residuals(), 0);
  const double p = kC3Bias + kC3Sul * 0.02 + kC3Temp * 900.0;
  const ROMEqn* y = block.m_adjEqns.at("Y_C3FRAC");
  EXPECT_DOUBLE_EQ(fw.residual(eqnNum(y)), 0.1 - p);
  ASSERT_EQ(jacobian(), 0);
  const int first = Framework::kFirstNz - 1 + y->firstNz;
  EXPECT_DOUBLE_EQ(fw.jacobian(first + 0), 0.0);      // FEEDMASS: not a tag
  EXPECT_DOUBLE_EQ(fw.jacobian(first + 1), -kC3Sul);  // FEEDSUL
  EXPECT_DOUBLE_EQ(fw.jacobian(first + 2), -kC3Temp);
  EXPECT_DOUBLE_EQ(fw.jacobian(first + 3), 1.0);
}

TEST_F(Adjustment, AdjustedValueUsesFactorsAndOnlyIndependentGammas) {
  setAttr("ALPHA_C3FRAC", 2.0);
  setAttr("BETA_C3FRAC", 0.5);
  setAttr("GAMMA_C3FRAC_RXTEMP", 0.001);
  setAttr("GAMMA_C3FRAC_FEEDMASS", 7.0);  // FEEDMASS is outside the independent set
  ASSERT_EQ(block.runAllNN(), 0);
  long long status = 0;
  const double p = kC3Bias + kC3Sul * 0.02 + kC3Temp * 900.0;
  EXPECT_DOUBLE_EQ(block.computeAdjValue("C3FRAC", status), 2.0 * p + 0.5 + 0.001 * 900.0);
  EXPECT_EQ(status, 0);
  EXPECT_DOUBLE_EQ(block.computeAdjEqnDerivative("Y_C3FRAC", "FEEDMASS", status), 0.0);
  EXPECT_DOUBLE_EQ(block.computeAdjEqnDerivative("Y_C3FRAC", "RXTEMP", status), -2.0 * kC3Temp - 0.001);
  EXPECT_EQ(block.computeAdjEqnDerivative("Y_C3FRAC", "LCNSUL", status), 0.0);
  EXPECT_THROW(block.computeAdjValue("NOSUCH", status), std::out_of_range);
}

// Central differences of the residuals against the Jacobian, over every
// registered non-zero, with factors away from their defaults.
TEST_F(Adjustment, JacobianMatchesCentralDifferences) {
  setAttr("ALPHA_C3FRAC", 1.7);
  setAttr("BETA_COKEFRAC", -0.1);
  setAttr("GAMMA_C3FRAC_FEEDSUL", 0.3);
  setAttr("GAMMA_C3FRAC_FEEDMASS", 1e-4);   // outside the independent set
  setAttr("GAMMA_COKEFRAC_RXTEMP", -2e-3);  // outside the independent set
  ASSERT_EQ(jacobian(), 0);
  for (int nz = Framework::kFirstNz; nz <= block.nzlast(); ++nz) {
    const int row = rtojac_row(fw.jac, nz), col = rtojac_col(fw.jac, nz);
    double& v = fw.value(col);
    const double v0 = v, h = 1e-6 * std::max(1.0, std::fabs(v0));
    v = v0 + h;
    ASSERT_EQ(residuals(), 0);
    const double up = fw.residual(row);
    v = v0 - h;
    ASSERT_EQ(residuals(), 0);
    const double down = fw.residual(row);
    v = v0;
    const double fd = (up - down) / (2 * h);
    EXPECT_NEAR(fw.jacobian(nz), fd, 1e-6 * std::max(1.0, std::fabs(fd))) << "non-zero " << nz;
  }
}

TEST_F(Adjustment, SulfurPpmRow) {
  x("LCNSUL") = 0.003;
  x("LCNSULPPM") = 25.0;
  ASSERT_EQ(residuals(), 0);
  EXPECT_DOUBLE_EQ(fw.residual(eqnNum(block.sulPpmEqn())), 0.003 - 0.0001 * 25.0);
  ASSERT_EQ(jacobian(), 0);
  const int first = Framework::kFirstNz - 1 + block.sulPpmEqn()->firstNz;
  EXPECT_EQ(fw.jacobian(first), 1.0);
  EXPECT_EQ(fw.jacobian(first + 1), -0.0001);
}

TEST_F(Adjustment, SulfurPpmOperationsLeaveASuccessfulStatusAlone) {
  long long status = 0;
  block.res_SulPPM(block.sulPpmEqn(), status);
  block.jac_SulPPM(block.sulPpmEqn(), status);
  EXPECT_EQ(status, 0);
  ROMEqn bad("EQN_XYZSULPPM", 3);
  EXPECT_THROW(block.res_SulPPM(&bad, status), std::out_of_range);
}

TEST_F(Adjustment, NonFiniteResidualIsAFailedHook) {
  x("LCNSULPPM") = std::nan("");
  EXPECT_EQ(residuals(), 1);
}

TEST_F(Adjustment, FailedNetworkEndsTheEvaluation) {
  DIVeduded::injectFault("COKER_COKEFRAC.zkr", "Run", DIVeduded::Fault::Status, 6);
  EXPECT_EQ(residuals(), 6);
  EXPECT_EQ(jacobian(), 6);
  DIVeduded::clearFaults();
}

TEST_F(Adjustment, MissingAttributeIsAFailedHookNotACrash) {
  delete block.m_attributes.at("ALPHA_COKEFRAC");
  block.m_attributes.erase("ALPHA_COKEFRAC");
  EXPECT_EQ(residuals(), 1);
  long long status = 0;
  EXPECT_THROW(block.res_NNAdjustment(status), std::out_of_range);
}

struct StreamCase {
  const char* eqn;
  const char* stream;
};

class StreamNames : public ::testing::TestWithParam<StreamCase> {};

TEST_P(StreamNames, AreTheMiddleOfTheEquationName) {
  testmodel b("B");
  EXPECT_EQ(b.strmName_SulPPM(GetParam().eqn), GetParam().stream);
}

INSTANTIATE_TEST_SUITE_P(Names, StreamNames,
                         ::testing::Values(StreamCase{"EQN_LCNSULPPM", "LCN"}, StreamCase{"EQN_NAPSULPPM", "NAP"},
                                           StreamCase{"EQN_SULPPM", ""}, StreamCase{"EQN_SULPP", ""},
                                           StreamCase{"", ""}, StreamCase{"EQN_HEAVYGOSULPPM", "HEAVYGO"}));

TEST(SmoothFloor, Values) {
  double r = 0.0;
  EXPECT_EQ(robase::res_ExpMinClip(0.0, 1e-19, &r), 0);
  EXPECT_DOUBLE_EQ(r, 1e-19 / 2.718281828459045);
  EXPECT_NEAR(r, 3.678794411714423e-20, 1e-34);
  EXPECT_EQ(robase::res_ExpMinClip(2e-19, 1e-19, &r), 0);
  EXPECT_EQ(r, 2e-19);
  EXPECT_EQ(robase::res_ExpMinClip(1e-19, 1e-19, &r), 0);
  EXPECT_NEAR(r, 1e-19, 1e-34);  // continuous at the floor
  double r0 = 0.0, r20 = 0.0;
  robase::res_ExpMinClip(-3e-21, 0.0, &r0);
  robase::res_ExpMinClip(-3e-21, 1e-20, &r20);
  EXPECT_EQ(r0, r20);  // a cut-off of 0 acts as 1e-20
  EXPECT_EQ(robase::res_ExpMinClip(0.0, 1e-19, nullptr), 1);
  double dx = 0.0, dc = 0.0;
  EXPECT_EQ(robase::jac_ExpMinClip(0.0, 0.0, &dx, &dc), 0);
  EXPECT_EQ(dc, 0.0);
  EXPECT_EQ(robase::jac_ExpMinClip(0.0, 1e-19, nullptr, nullptr), 0);
}

struct FloorPoint {
  double x, c;
};

class SmoothFloorDerivatives : public ::testing::TestWithParam<FloorPoint> {};

TEST_P(SmoothFloorDerivatives, MatchCentralDifferences) {
  const double x = GetParam().x, c = GetParam().c;
  double dx = 0.0, dc = 0.0;
  robase::jac_ExpMinClip(x, c, &dx, &dc);
  auto f = [](double xx, double cc) {
    double r = 0.0;
    robase::res_ExpMinClip(xx, cc, &r);
    return r;
  };
  const double hx = 1e-6 * std::max(std::fabs(x), std::max(c, 1e-20));
  const double hc = 1e-6 * std::max(c, 1e-20);
  EXPECT_NEAR(dx, (f(x + hx, c) - f(x - hx, c)) / (2 * hx), 1e-6 * std::max(1.0, std::fabs(dx)));
  if (c >= 1e-20) {
    EXPECT_NEAR(dc, (f(x, c + hc) - f(x, c - hc)) / (2 * hc), 1e-6 * std::max(1.0, std::fabs(dc)));
  }
}

INSTANTIATE_TEST_SUITE_P(BothSides, SmoothFloorDerivatives,
                         ::testing::Values(FloorPoint{0.0, 1e-19}, FloorPoint{-3e-19, 1e-19},
                                           FloorPoint{5e-20, 1e-19}, FloorPoint{3e-19, 1e-19},
                                           FloorPoint{0.2, 0.01}, FloorPoint{0.004, 0.01},
                                           FloorPoint{-1e-20, 0.0}, FloorPoint{0.5, 0.0}));

}  // namespace
