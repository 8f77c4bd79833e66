// Every equation class of the network, coker, hydrocracker and reformer
// families at a point: the worked value where there is one, and the
// Jacobian against central differences of the residual.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "tests/equations/eqn_rig.h"

namespace {

using namespace ROEqnSupplier;
constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

struct Point {
  const char* label;
  const char* family;
  const char* asked;  // equation name, or the network output
  std::map<std::string, double> values;
  double expected = kNone;  // worked value of the defined variable (given among the values)
  const char* input = "";   // and one worked derivative
  double derivative = 0.0;
};
void PrintTo(const Point& p, std::ostream* os) { *os << p.label; }

// Network equations with tuning factors away from their defaults and scale
// pairs on an input and on the output; the others by name.
EqnPtr build(const Point& p, eqtest::Rig& rig) {
  auto supplier = createReacEqn(p.family, rig.context(), VerInfo{37, 0, 0});
  const std::string y = p.asked;
  if (y != "C3FRAC" && y != "LCNFRAC") return supplier->createEquation(y);
  const std::vector<std::string> in{"FEEDSUL", y == "C3FRAC" ? "RXTEMP" : "REACTORPLENUMTEMP"};
  rig.tuning(y, in);
  rig.attr("ALPHA_" + y, 1.2);
  rig.attr("BETA_" + y, 0.1);
  rig.attr("GAMMA_" + y + "_" + in[1], -0.002);
  rig.attr("LCN_OVERCRACK_PARAM", 1.02);
  rig.attr("LCN_OVERCRACK_RATE", 0.7);
  const OverCrackSpec spec{1, in[1], "LCNFRACTOTAL", "LCNFRACDIFF", "LCN_OVERCRACK_PARAM", "LCN_OVERCRACK_RATE"};
  return supplier->createNNEquation(y, in, {{in[1], {0.5, 10.0}}, {y, {2.0, 0.1}}}, {{"LCNFRAC", spec}});
}

class AtPoint : public ::testing::TestWithParam<Point> {
 protected:
  static void SetUpTestSuite() {
    nets = new eqtest::NetRoot;
    // Centred where the scaled inputs (0.5 x + 10) fall, so that every tanh is curved there.
    nets->write("COKER", "C3FRAC", {{"FEEDSUL", 2.0, 1.5}, {"RXTEMP", 460.0, 30.0}}, 0.2);
    nets->write("FCC_GO_2N", "LCNFRACTOTAL", {{"FEEDSUL", 2.0, 1.0}, {"REACTORPLENUMTEMP", 440.0, 25.0}}, 0.3);
    nets->write("FCC_GO_2N", "LCNFRACDIFF", {{"REACTORPLENUMTEMP", 450.0, 20.0}, {"FEEDSUL", 1.0, 2.0}}, 0.1);
  }
  static void TearDownTestSuite() { delete nets; }
  static eqtest::NetRoot* nets;
};
eqtest::NetRoot* AtPoint::nets = nullptr;

TEST_P(AtPoint, WorkedValueAndCentralDifferences) {
  const Point& p = GetParam();
  eqtest::Rig rig;
  rig.vars(p.values);
  rig.attr("FACTORNA", 2.0);
  roeqn2& e = rig.add(build(p, rig));
  ASSERT_EQ(e.res(rig.res()), 0);
  if (!std::isnan(p.expected)) {
    EXPECT_NEAR(rig.residual(e), 0.0, 1e-6 * std::fmax(1.0, std::fabs(p.expected)));
  }
  ASSERT_EQ(e.evalJac(rig.jac()), 0);
  if (*p.input) {
    EXPECT_NEAR(rig.entry(e, p.input), p.derivative, 1e-12 * std::fmax(1.0, std::fabs(p.derivative)));
  }
  for (const std::string& v : std::set<std::string>(e.varNames().begin(), e.varNames().end())) {
    const double x = rig.value(v), h = 1e-6 * std::fmax(1.0, std::fabs(x));
    rig.value(v) = x + h;
    ASSERT_EQ(e.res(rig.res()), 0);
    const double up = rig.residual(e);
    rig.value(v) = x - h;
    ASSERT_EQ(e.res(rig.res()), 0);
    const double fd = (up - rig.residual(e)) / (2 * h);
    rig.value(v) = x;
    EXPECT_LE(std::fabs(rig.entry(e, v) - fd), 1e-7 * std::fmax(1.0, std::fabs(fd))) << v << " fd " << fd;
  }
}

const double kLn10 = std::log(10.0);
const double kConversion =
    1.22853188368e-5 * 120000 + 0.948054946124 * 70 - 0.797164005838 * 0.4 + 0.584632668456 * 2.1 + 4.38748336599;

// clang-format off
INSTANTIATE_TEST_SUITE_P(AllClasses, AtPoint, ::testing::Values(
    Point{"NNDep", "COKER", "C3FRAC", {{"FEEDSUL", 2.3}, {"RXTEMP", 910}, {"C3FRAC", 0.2}}},
    Point{"OverCrack", "FCC_GO_2N", "LCNFRAC", {{"FEEDSUL", 1.7}, {"REACTORPLENUMTEMP", 870}, {"LCNFRAC", 0.1}}},
    Point{"LCNN2A", "COKER", "LCNN2A", {{"LCNNAPH", 20}, {"LCNAROM", 10}, {"LCNN2A", 40}}, 40, "LCNAROM", 2},
    Point{"HCNN2A", "COKER", "HCNN2A", {{"HCNNAPH", 17}, {"HCNAROM", 13}, {"HCNN2A", 41}}},
    Point{"LGOCETIDX", "COKER", "LGOCETIDX", {{"LGOSG", 0.87}, {"LGOD86_50", 287}, {"LGOCETIDX", 45}}},
    Point{"LGOCLOUDIDX", "COKER", "LGOCLOUDIDX", {{"LGOCLOUDPT", 140}, {"LGOCLOUDIDX", 10000}}, 10000,
          "LGOCLOUDPT", 167000.0 / 600},
    Point{"LGOVISCIDX", "COKER", "LGOVISCIDX", {{"LGOVISC_122", 9.15}, {"LGOVISCIDX", 19.2}}, 19.2, "LGOVISCIDX", -1},
    Point{"HGOVISCIDX", "COKER", "HGOVISCIDX", {{"HGOVISC_122", 9.15}, {"HGOVISCIDX", 19.2}}, 19.2,
          "HGOVISC_122", 33.5 / (10 * kLn10 * kLn10)},
    Point{"NAVal", "HCR_D", "EQN_HCNNA", {{"HCNNAPH", 23}, {"HCNAROM", 11}, {"HCNNA", 34}}, 34, "HCNNA", -1},
    Point{"RVI", "HCR_D", "EQN_LCNRVI", {{"LCNRVP", 61}, {"LCNRVI", 10}}},
    Point{"CETIDX", "HCR_D", "EQN_KERCETIDX", {{"KERSG", 0.8}, {"KERD86_50", 250}, {"KERCETIDX", 74.4713}}, 74.4713,
          "KERSG", 1549.48 * 0.8 - 1641.416},
    Point{"FREEZEIDX", "HCR_D", "EQN_KERFREEZEIDX", {{"KERFREEZEPT", -47}, {"KERFREEZEIDX", 2}}},
    Point{"CLOUDIDX", "HCR_D", "EQN_DSLCLOUDIDX", {{"DSLCLOUDPT", 11}, {"DSLCLOUDIDX", 50}}},
    Point{"SMOKEIDX", "HCR_D", "EQN_KERSMOKEIDX", {{"KERSMOKEPT", 23}, {"KERSMOKEIDX", 0.04}}},
    Point{"VISCIDX", "HCR_D", "EQN_DSLVISCIDX", {{"DSLVISC_122", 2.9}, {"DSLVISCIDX", 8}}},
    Point{"VISCIDXBelow015", "HCR_D", "EQN_DSLVISCIDX", {{"DSLVISC_122", 0.07}, {"DSLVISCIDX", 8}}},
    Point{"ConvCalc", "HCR_MILD", "EQN_CALC_CONVERSION", {{"CONVERSION", kConversion}, {"FEEDMASS", 120000},
          {"TOTCONV", 70}, {"RCYRATE", 0.4}, {"FEEDSUL", 2.1}}, kConversion, "FEEDMASS", 1.22853188368e-5},
    Point{"FEEDCNO", "REF_SEMI_1R", "FEEDCNO", {{"FEEDCNO", 7}, {"FEEDSG", 0.74}, {"FEEDNAPH", 30}, {"FEEDAROM", 12}}},
    Point{"MEABP", "REF_SEMI_1R", "MEABP", {{"MEABP", 250}, {"FEEDSG", 0.74}, {"FEEDNAPH", 30}, {"FEEDAROM", 12}}},
    Point{"FEEDHYD", "REF_SEMI_1R", "FEEDHYD", {{"FEEDHYD", 16}, {"FEEDCNO", 7}, {"FEEDAROM", 0}, {"FEEDNAPH", 0}}, 16},
    Point{"FEEDHYDNaphthenes", "REF_SEMI_1R", "FEEDHYD",
          {{"FEEDHYD", 100.0 / 7}, {"FEEDCNO", 7.3}, {"FEEDAROM", 0}, {"FEEDNAPH", 100}}, 100.0 / 7},
    Point{"AROHYD", "REF_CONT_A", "AROHYD", {{"AROHYD", 8}, {"AROBENZ", 20}, {"AROTOL", 30}, {"AROXYL", 25},
          {"AROC9P", 25}, {"AROSG", 0.87}}},
    Point{"FEEDAROM", "REF_CONT_2R", "FEEDAROM", {{"FEEDAROM", 10}, {"FEEDNA", 30}, {"RATIONA", 1}}, 10,
          "FEEDNA", -1.0 / 3},
    Point{"FEEDNAPH", "REF_CONT_2R", "FEEDNAPH", {{"FEEDNAPH", 10}, {"FEEDNA", 30}, {"RATIONA", 1}}, 10}),
    [](const ::testing::TestParamInfo<Point>& info) { return std::string(info.param.label); });
// clang-format on

}  // namespace
