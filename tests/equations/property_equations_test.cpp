// The coker, hydrocracker and reformer property equations, asked for by name
// through their family suppliers.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "equations/hcr_properties.h"
#include "equations/property_eqn.h"
#include "tests/equations/eqn_rig.h"

namespace {

using namespace ROEqnSupplier;
using eqtest::Rig;

EqnPtr byName(const std::string& family, const std::string& name, EqnContext context = nullptr) {
  return createReacEqn(family, context, VerInfo{37, 0, 0})->createEquation(name);
}

struct Built {
  const char* family;
  const char* asked;
  const char* name;  // "" for no object
  std::vector<std::string> vars;
  unsigned key;
};

void PrintTo(const Built& b, std::ostream* os) { *os << b.family << " " << b.asked; }

class ByName : public ::testing::TestWithParam<Built> {};

TEST_P(ByName, BuildsExactNamesOnly) {
  const Built& b = GetParam();
  EqnPtr e = byName(b.family, b.asked);
  if (std::string(b.name).empty()) {
    EXPECT_EQ(e, nullptr);
    return;
  }
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->name, b.name);
  EXPECT_EQ(e->varNames(), b.vars);
  EXPECT_EQ(e->getOrderKey(), b.key);
}

INSTANTIATE_TEST_SUITE_P(
    Families, ByName,
    ::testing::Values(
        Built{"COKER", "LCNN2A", "EQN_LCNN2A", {"LCNNAPH", "LCNAROM", "LCNN2A"}, 2500},
        Built{"COKER", "HCNN2A", "EQN_HCNN2A", {"HCNNAPH", "HCNAROM", "HCNN2A"}, 2500},
        Built{"COKER", "LGOCETIDX", "EQN_LGOCETIDX", {"LGOSG", "LGOD86_50", "LGOCETIDX"}, 2500},
        Built{"COKER", "LGOCLOUDIDX", "EQN_LGOCLOUDIDX", {"LGOCLOUDPT", "LGOCLOUDIDX"}, 2500},
        Built{"COKER", "LGOVISCIDX", "EQN_LGOVISCIDX", {"LGOVISC_122", "LGOVISCIDX"}, 2500},
        Built{"COKER", "HGOVISCIDX", "EQN_HGOVISCIDX", {"HGOVISC_122", "HGOVISCIDX"}, 2500},
        Built{"COKER", "lgocloudidx", "", {}, 0}, Built{"COKER", "EQN_LCNN2A", "", {}, 0},
        Built{"HCR_K", "EQN_KERCETIDX", "EQN_KERCETIDX", {"KERSG", "KERD86_50", "KERCETIDX"}, 2500},
        Built{"HCR_K", "EQN_RVI", "EQN_RVI", {"RVP", "RVI"}, 2500},
        Built{"HCR_K", "XRVI", "EQN_RVI", {"RVP", "RVI"}, 2500},  // too short for a prefix
        Built{"HCR_K", "EQN_HCNRVI", "EQN_HCNRVI", {"HCNRVP", "HCNRVI"}, 2500},
        Built{"HCR_K", "EQN_LGOFREEZEIDX", "EQN_LGOFREEZEIDX", {"LGOFREEZEPT", "LGOFREEZEIDX"}, 2500},
        Built{"HCR_K", "EQN_KERSMOKEIDX", "EQN_KERSMOKEIDX", {"KERSMOKEPT", "KERSMOKEIDX"}, 2500},
        Built{"HCR_K", "EQN_DSLVISCIDX", "EQN_DSLVISCIDX", {"DSLVISC_122", "DSLVISCIDX"}, 2500},
        Built{"HCR_K", "EQN_FOOIDX", "EQN_FOOIDX", {}, 2500},  // an index the library does not know
        Built{"HCR_K", "RVI", "", {}, 0},
        Built{"HCR_K", "EQN_LCNNA", "EQN_LCNNA", {"LCNNAPH", "LCNAROM", "LCNNA"}, 2500},
        Built{"HCR_K", "EQN_MCNNA", "", {}, 0},
        Built{"HCR_K", "EQN_CALC_CONVERSION", "EQN_CALC_CONVERSION",
              {"CONVERSION", "FEEDMASS", "TOTCONV", "RCYRATE", "FEEDSUL"}, 2499},
        Built{"HCR_K", "EQN_CALC_CONVERSIONX", "", {}, 0},
        Built{"REF_SEMI_1R", "FEEDCNO", "EQN_FEEDCNO", {"FEEDCNO", "FEEDSG", "FEEDNAPH", "FEEDAROM"}, 4000},
        Built{"REF_SEMI_1R", "MEABP", "EQN_MEABP", {"MEABP", "FEEDSG", "FEEDNAPH", "FEEDAROM"}, 4000},
        Built{"REF_SEMI_1R", "FEEDHYD", "EQN_FEEDHYD", {"FEEDHYD", "FEEDCNO", "FEEDAROM", "FEEDNAPH"}, 4000},
        Built{"REF_SEMI_1R", "AROHYD", "EQN_AROHYD",
              {"AROHYD", "AROBENZ", "AROTOL", "AROXYL", "AROC9P", "AROSG"}, 4000},
        Built{"REF_SEMI_1R", "FEEDAROM", "EQN_FEEDAROM", {"FEEDAROM", "FEEDNA", "RATIONA"}, 4000},
        Built{"REF_SEMI_1R", "FEEDNAPH", "EQN_FEEDNAPH", {"FEEDNAPH", "FEEDNA", "RATIONA"}, 4000},
        Built{"REF_SEMI_1R", "feednaph", "", {}, 0}, Built{"REF_SEMI_1R", "FEEDNA", "", {}, 0}));

TEST(IndexWords, KindsAndSuffixes) {
  const char* words[] = {"RVI", "CETIDX", "FREEZEIDX", "CLOUDIDX", "SMOKEIDX", "VISCIDX"};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(hcrIndexKind(words[k]), k);
    EXPECT_EQ(hcrIndexSuffix(std::string("X") + words[k]), words[k]);
    EXPECT_EQ(hcrIndexSuffix(words[k]), "");  // the name must be longer than the word
  }
  EXPECT_EQ(hcrIndexKind("IDX"), -1);
}

// A value of the correlation at a point: the residual with the defined
// variable at 0, and (for one input) the Jacobian entry.
struct Point {
  const char* family;
  const char* asked;
  std::map<std::string, double> values;  // the defined variable at 0
  double residual;
  const char* input = "";
  double derivative = 0.0;
  double tolerance = 1e-12;
};

void PrintTo(const Point& p, std::ostream* os) { *os << p.family << " " << p.asked; }

class AtPoint : public ::testing::TestWithParam<Point> {};

TEST_P(AtPoint, GivesTheDocumentedValue) {
  const Point& p = GetParam();
  Rig rig;
  rig.vars(p.values);
  rig.attr("FACTORNA", 2.0);
  auto& e = rig.add<PropertyEqn>(byName(p.family, p.asked, rig.context()));
  ASSERT_EQ(e.res(rig.res()), 0);
  EXPECT_NEAR(rig.residual(e), p.residual, p.tolerance * std::fmax(1.0, std::fabs(p.residual)));
  ASSERT_EQ(e.jac(rig.jac()), 0);
  if (*p.input) {
    EXPECT_NEAR(rig.entry(e, p.input), p.derivative, 1e-12 * std::fmax(1.0, std::fabs(p.derivative)));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Documented, AtPoint,
    ::testing::Values(
        Point{"COKER", "LCNN2A", {{"LCNNAPH", 20}, {"LCNAROM", 10}, {"LCNN2A", 0}}, 40, "LCNAROM", 2},
        Point{"COKER", "LGOCLOUDIDX", {{"LGOCLOUDPT", 140}, {"LGOCLOUDIDX", 0}}, 10000, "LGOCLOUDPT", 167000.0 / 600},
        Point{"COKER", "LGOVISCIDX", {{"LGOVISC_122", 9.15}, {"LGOVISCIDX", 0}}, 19.2, "LGOVISCIDX", -1},
        Point{"COKER", "HGOVISCIDX", {{"HGOVISC_122", 9.15}, {"HGOVISCIDX", 0}}, 19.2, "HGOVISC_122",
              33.5 / (10 * std::log(10.0) * std::log(10.0))},
        Point{"HCR_K", "EQN_KERCETIDX", {{"KERSG", 0.8}, {"KERD86_50", 250}, {"KERCETIDX", 0}}, 74.4713, "KERSG",
              1549.48 * 0.8 - 1641.416, 1e-6},
        Point{"HCR_K", "EQN_HCNCLOUDIDX", {{"HCNCLOUDPT", 140}, {"HCNCLOUDIDX", 0}}, 10000, "HCNCLOUDPT",
              167000.0 / 600},
        Point{"HCR_K", "EQN_CALC_CONVERSION",
              {{"CONVERSION", 0}, {"FEEDMASS", 0}, {"TOTCONV", 0}, {"RCYRATE", 1}, {"FEEDSUL", 0}},
              4.38748336599 - 0.797164005838, "RCYRATE", -0.797164005838},
        Point{"REF_SEMI_1R", "FEEDHYD", {{"FEEDHYD", 0}, {"FEEDCNO", 7}, {"FEEDAROM", 0}, {"FEEDNAPH", 0}}, -16},
        Point{"REF_SEMI_1R", "FEEDHYD", {{"FEEDHYD", 0}, {"FEEDCNO", 7}, {"FEEDAROM", 0}, {"FEEDNAPH", 100}},
              -100.0 / 7},
        Point{"REF_SEMI_1R", "FEEDAROM", {{"FEEDAROM", 0}, {"FEEDNA", 30}, {"RATIONA", 1}}, -10, "FEEDNA", -1.0 / 3},
        Point{"REF_SEMI_1R", "FEEDNAPH", {{"FEEDNAPH", 0}, {"FEEDNA", 30}, {"RATIONA", 1}}, -10, "FEEDNAPH", 1}));

TEST(ConvCalc, CoefficientsAreThoseOfTheCorrelation) {
  EXPECT_EQ(_eqConvCalc::kFeedMass, 1.22853188368e-5);
  EXPECT_EQ(_eqConvCalc::kTotConv, 0.948054946124);
  EXPECT_EQ(_eqConvCalc::kRcyRate, -0.797164005838);
  EXPECT_EQ(_eqConvCalc::kFeedSul, 0.584632668456);
  EXPECT_EQ(_eqConvCalc::kConstant, 4.38748336599);
}

TEST(FeedSplit, WithoutTheAttributeMapFailsAndWritesNothing) {
  Rig rig;
  rig.vars({{"FEEDAROM", 1}, {"FEEDNA", 30}, {"RATIONA", 1}});
  ROMAttrMap* none = nullptr;
  auto& e = rig.add(byName("REF_CONT_A", "FEEDAROM", &none));
  rig.residual(e) = 42.0;
  EXPECT_EQ(e.res(rig.res()), 1);
  EXPECT_EQ(e.jac(rig.jac()), 1);
  EXPECT_EQ(e.init(), 1);
  EXPECT_EQ(rig.residual(e), 42.0);
  EXPECT_EQ(rig.value("FEEDAROM"), 1.0);
}

TEST(UnknownIndex, ResidualFailsWithoutWriting) {
  Rig rig;
  auto& e = rig.add(byName("HCR_N", "EQN_FOOIDX"));
  EXPECT_EQ(e.res(rig.res()), 1);
  EXPECT_EQ(e.jac(rig.jac()), 0);
  EXPECT_EQ(e.init(), 0);
}

TEST(StartingValues, AreNeverNonFinite) {
  Rig rig;
  rig.vars({{"LGOVISC_122", 0.1}, {"LGOVISCIDX", 5}});  // log10(log10 0.95) is not defined
  auto& e = rig.add(byName("COKER", "LGOVISCIDX"));
  EXPECT_EQ(e.init(), 1);
  EXPECT_EQ(rig.value("LGOVISCIDX"), 5.0);
  EXPECT_EQ(e.res(rig.res()), 1);
}

}  // namespace
