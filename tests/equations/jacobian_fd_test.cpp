// Every equation class of the network, coker, hydrocracker and reformer
// families: its Jacobian against central differences of its residual at a
// generic point.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/equations/eqn_rig.h"

namespace {

using namespace ROEqnSupplier;
using eqtest::NetRoot;
using eqtest::Rig;

struct FdCase {
  const char* label;
  const char* family;
  const char* asked;  // equation name, or the network output for "NN"
  std::map<std::string, double> values;
};

void PrintTo(const FdCase& c, std::ostream* os) { *os << c.label; }

// Networks over the two inputs, tuning factors away from their defaults, scale
// pairs on an input and on the output.
EqnPtr build(const FdCase& c, Rig& rig) {
  auto supplier = createReacEqn(c.family, rig.context(), VerInfo{37, 0, 0});
  if (std::string(c.family) == "COKER" && std::string(c.asked) == "C3FRAC") {
    const std::vector<std::string> in{"FEEDSUL", "RXTEMP"};
    rig.attr("ALPHA_C3FRAC", 1.2);
    rig.attr("BETA_C3FRAC", 0.1);
    rig.attr("GAMMA_C3FRAC_FEEDSUL", 0.05);
    rig.attr("GAMMA_C3FRAC_RXTEMP", -0.002);
    return supplier->createNNEquation("C3FRAC", in, {{"RXTEMP", {0.5, 10.0}}, {"C3FRAC", {2.0, 0.1}}}, {});
  }
  if (std::string(c.asked) == "LCNFRAC") {
    const std::vector<std::string> in{"FEEDSUL", "REACTORPLENUMTEMP"};
    rig.tuning("LCNFRAC", in);
    rig.attr("ALPHA_LCNFRAC", 0.9);
    rig.attr("GAMMA_LCNFRAC_REACTORPLENUMTEMP", 0.001);
    rig.attr("LCN_OVERCRACK_PARAM", 1.02);
    rig.attr("LCN_OVERCRACK_RATE", 0.7);
    const OverCrackSpec spec{1, "REACTORPLENUMTEMP", "LCNFRACTOTAL", "LCNFRACDIFF", "LCN_OVERCRACK_PARAM",
                             "LCN_OVERCRACK_RATE"};
    return supplier->createNNEquation("LCNFRAC", in, {{"REACTORPLENUMTEMP", {0.9, 3.0}}}, {{"LCNFRAC", spec}});
  }
  return supplier->createEquation(c.asked);
}

class CentralDifferences : public ::testing::TestWithParam<FdCase> {
 protected:
  static void SetUpTestSuite() {
    nets = new NetRoot;
    nets->smooth("COKER", "C3FRAC", {{"FEEDSUL", 2.0, 1.5}, {"RXTEMP", 900.0, 60.0}}, 0.2);
    nets->smooth("FCC_GO_2N", "LCNFRACTOTAL", {{"FEEDSUL", 2.0, 1.0}, {"REACTORPLENUMTEMP", 800.0, 50.0}}, 0.3);
    nets->smooth("FCC_GO_2N", "LCNFRACDIFF", {{"REACTORPLENUMTEMP", 820.0, 40.0}, {"FEEDSUL", 1.0, 2.0}}, 0.1);
  }
  static void TearDownTestSuite() { delete nets; }
  static NetRoot* nets;
};
NetRoot* CentralDifferences::nets = nullptr;

TEST_P(CentralDifferences, MatchTheJacobian) {
  const FdCase& c = GetParam();
  Rig rig;
  rig.vars(c.values);
  rig.attr("FACTORNA", 1.7);
  roeqn2& e = rig.add(build(c, rig));
  ASSERT_EQ(e.res(rig.res()), 0);
  ASSERT_EQ(e.evalJac(rig.jac()), 0);
  const std::set<std::string> names(e.varNames().begin(), e.varNames().end());
  for (const std::string& v : names) {
    const double x = rig.value(v), h = 1e-6 * std::fmax(1.0, std::fabs(x));
    rig.set(v, x + h);
    ASSERT_EQ(e.res(rig.res()), 0);
    const double up = rig.residual(e);
    rig.set(v, x - h);
    ASSERT_EQ(e.res(rig.res()), 0);
    const double fd = (up - rig.residual(e)) / (2 * h);
    rig.set(v, x);
    EXPECT_LE(std::fabs(rig.entry(e, v) - fd), 1e-7 * std::fmax(1.0, std::fabs(fd))) << v << " fd " << fd;
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllClasses, CentralDifferences,
    ::testing::Values(
        FdCase{"NNDep", "COKER", "C3FRAC", {{"FEEDSUL", 2.3}, {"RXTEMP", 910}, {"C3FRAC", 0.2}}},
        FdCase{"NNDep_OverCrack",
               "FCC_GO_2N",
               "LCNFRAC",
               {{"FEEDSUL", 1.7}, {"REACTORPLENUMTEMP", 870}, {"LCNFRAC", 0.1}}},
        FdCase{"LCNN2A", "COKER", "LCNN2A", {{"LCNNAPH", 21}, {"LCNAROM", 9}, {"LCNN2A", 38}}},
        FdCase{"HCNN2A", "COKER", "HCNN2A", {{"HCNNAPH", 17}, {"HCNAROM", 13}, {"HCNN2A", 41}}},
        FdCase{"LGOCETIDX", "COKER", "LGOCETIDX", {{"LGOSG", 0.87}, {"LGOD86_50", 287}, {"LGOCETIDX", 45}}},
        FdCase{"LGOCLOUDIDX", "COKER", "LGOCLOUDIDX", {{"LGOCLOUDPT", 23}, {"LGOCLOUDIDX", 100}}},
        FdCase{"LGOVISCIDX", "COKER", "LGOVISCIDX", {{"LGOVISC_122", 3.7}, {"LGOVISCIDX", 10}}},
        FdCase{"HGOVISCIDX", "COKER", "HGOVISCIDX", {{"HGOVISC_122", 31.0}, {"HGOVISCIDX", 30}}},
        FdCase{"NAVal", "HCR_D", "EQN_HCNNA", {{"HCNNAPH", 23}, {"HCNAROM", 11}, {"HCNNA", 30}}},
        FdCase{"RVI", "HCR_D", "EQN_LCNRVI", {{"LCNRVP", 61}, {"LCNRVI", 10}}},
        FdCase{"CETIDX", "HCR_D", "EQN_KERCETIDX", {{"KERSG", 0.81}, {"KERD86_50", 231}, {"KERCETIDX", 50}}},
        FdCase{"FREEZEIDX", "HCR_D", "EQN_KERFREEZEIDX", {{"KERFREEZEPT", -47}, {"KERFREEZEIDX", 2}}},
        FdCase{"CLOUDIDX", "HCR_D", "EQN_DSLCLOUDIDX", {{"DSLCLOUDPT", 11}, {"DSLCLOUDIDX", 50}}},
        FdCase{"SMOKEIDX", "HCR_D", "EQN_KERSMOKEIDX", {{"KERSMOKEPT", 23}, {"KERSMOKEIDX", 0.04}}},
        FdCase{"VISCIDX", "HCR_D", "EQN_DSLVISCIDX", {{"DSLVISC_122", 2.9}, {"DSLVISCIDX", 8}}},
        FdCase{"VISCIDX below 0.15 cSt", "HCR_D", "EQN_DSLVISCIDX", {{"DSLVISC_122", 0.07}, {"DSLVISCIDX", 8}}},
        FdCase{"ConvCalc",
               "HCR_MILD",
               "EQN_CALC_CONVERSION",
               {{"CONVERSION", 60}, {"FEEDMASS", 120000}, {"TOTCONV", 70}, {"RCYRATE", 0.4}, {"FEEDSUL", 2.1}}},
        FdCase{"FEEDCNO", "REF_SEMI_1R", "FEEDCNO", {{"FEEDCNO", 7}, {"FEEDSG", 0.74}, {"FEEDNAPH", 30}, {"FEEDAROM", 12}}},
        FdCase{"MEABP", "REF_SEMI_1R", "MEABP", {{"MEABP", 250}, {"FEEDSG", 0.74}, {"FEEDNAPH", 30}, {"FEEDAROM", 12}}},
        FdCase{"FEEDHYD", "REF_SEMI_1R", "FEEDHYD", {{"FEEDHYD", 14}, {"FEEDCNO", 7.3}, {"FEEDAROM", 12}, {"FEEDNAPH", 30}}},
        FdCase{"AROHYD",
               "REF_CONT_A",
               "AROHYD",
               {{"AROHYD", 8}, {"AROBENZ", 20}, {"AROTOL", 30}, {"AROXYL", 25}, {"AROC9P", 25}, {"AROSG", 0.87}}},
        FdCase{"FEEDAROM", "REF_CONT_2R", "FEEDAROM", {{"FEEDAROM", 9}, {"FEEDNA", 42}, {"RATIONA", 1.3}}},
        FdCase{"FEEDNAPH", "REF_CONT_2R", "FEEDNAPH", {{"FEEDNAPH", 9}, {"FEEDNA", 42}, {"RATIONA", 1.3}}}),
    [](const ::testing::TestParamInfo<FdCase>& info) {
      std::string name;
      for (const char* p = info.param.label; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
      return name;
    });

}  // namespace
