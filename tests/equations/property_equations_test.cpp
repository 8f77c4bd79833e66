// The coker, hydrocracker and reformer property equations, asked for by name
// through their family suppliers.
#include <gtest/gtest.h>

#include "tests/equations/eqn_rig.h"

namespace {

using namespace ROEqnSupplier;
using Names = std::vector<std::string>;

EqnPtr byName(const std::string& family, const std::string& name, EqnContext context = nullptr) {
  return createReacEqn(family, context, VerInfo{37, 0, 0})->createEquation(name);
}

struct Built {
  const char* family;
  const char* asked;
  const char* name;  // "" for no object
  Names vars;
  unsigned key;
};
void PrintTo(const Built& b, std::ostream* os) { *os << b.family << " " << b.asked; }

class ByName : public ::testing::TestWithParam<Built> {};

TEST_P(ByName, BuildsExactNamesOnly) {
  const Built& b = GetParam();
  const EqnPtr e = byName(b.family, b.asked);
  ASSERT_EQ(e == nullptr, std::string(b.name).empty());
  if (!e) return;
  EXPECT_EQ(e->name, b.name);
  EXPECT_EQ(e->varNames(), b.vars);
  EXPECT_EQ(e->getOrderKey(), b.key);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Families, ByName,
    ::testing::Values(
        Built{"COKER", "LCNN2A", "EQN_LCNN2A", {"LCNNAPH", "LCNAROM", "LCNN2A"}, 2500},
        Built{"COKER", "LGOCETIDX", "EQN_LGOCETIDX", {"LGOSG", "LGOD86_50", "LGOCETIDX"}, 2500},
        Built{"COKER", "lgocloudidx", "", {}, 0}, Built{"COKER", "EQN_LCNN2A", "", {}, 0},
        Built{"HCR_K", "EQN_KERCETIDX", "EQN_KERCETIDX", {"KERSG", "KERD86_50", "KERCETIDX"}, 2500},
        Built{"HCR_K", "EQN_RVI", "EQN_RVI", {"RVP", "RVI"}, 2500},
        Built{"HCR_K", "XRVI", "EQN_RVI", {"RVP", "RVI"}, 2500},  // too short for a prefix: none
        Built{"HCR_K", "EQN_HCNRVI", "EQN_HCNRVI", {"HCNRVP", "HCNRVI"}, 2500},
        Built{"HCR_K", "EQN_FOOIDX", "EQN_FOOIDX", {}, 2500},  // an index the library does not know
        Built{"HCR_K", "RVI", "", {}, 0}, Built{"HCR_K", "EQN_CALC_CONVERSIONX", "", {}, 0},
        Built{"HCR_K", "EQN_LCNNA", "EQN_LCNNA", {"LCNNAPH", "LCNAROM", "LCNNA"}, 2500},
        Built{"HCR_K", "EQN_MCNNA", "", {}, 0},
        Built{"HCR_K", "EQN_CALC_CONVERSION", "EQN_CALC_CONVERSION",
              {"CONVERSION", "FEEDMASS", "TOTCONV", "RCYRATE", "FEEDSUL"}, 2499},
        Built{"REF_SEMI_1R", "AROHYD", "EQN_AROHYD",
              {"AROHYD", "AROBENZ", "AROTOL", "AROXYL", "AROC9P", "AROSG"}, 4000},
        Built{"REF_SEMI_1R", "FEEDNAPH", "EQN_FEEDNAPH", {"FEEDNAPH", "FEEDNA", "RATIONA"}, 4000},
        Built{"REF_SEMI_1R", "feednaph", "", {}, 0}, Built{"REF_SEMI_1R", "FEEDNA", "", {}, 0}));
// clang-format on

// Equations that cannot evaluate report failure and write nothing.
TEST(PropertyEquation, FailuresWriteNothing) {
  eqtest::Rig rig;
  rig.vars({{"FEEDAROM", 1}, {"FEEDNA", 30}, {"RATIONA", 1}, {"LGOVISC_122", 0.1}, {"LGOVISCIDX", 5}});
  ROMAttrMap* none = nullptr;
  roeqn2& split = rig.add(byName("REF_CONT_A", "FEEDAROM", &none));  // no attribute map
  roeqn2& visc = rig.add(byName("COKER", "LGOVISCIDX"));             // log10(log10 0.95) is not defined
  for (roeqn2* e : {&split, &visc}) {
    rig.residual(*e) = 42.0;
    EXPECT_EQ(e->jac(rig.jac()), 1) << e->name;
  }
  // A correlation that cannot be evaluated fails its starting-value step; one
  // whose value is not finite stores nothing and leaves the failure to the
  // residual pass, as every starting-value step does.
  EXPECT_EQ(split.init(), 1);
  EXPECT_EQ(visc.init(), 0);
  EXPECT_EQ(split.res(rig.res()), 1);
  EXPECT_EQ(rig.residual(split), 42.0);
  EXPECT_EQ(visc.res(rig.res()), 1);  // written, and reported as not finite
  EXPECT_EQ(rig.value("FEEDAROM"), 1.0);
  EXPECT_EQ(rig.value("LGOVISCIDX"), 5.0);  // a starting value is never non-finite

  roeqn2& unknown = rig.add(byName("HCR_N", "EQN_FOOIDX"));
  EXPECT_EQ(unknown.res(rig.res()), 1);
  EXPECT_EQ(unknown.jac(rig.jac()), 0);
  EXPECT_EQ(unknown.init(), 0);
}

}  // namespace
