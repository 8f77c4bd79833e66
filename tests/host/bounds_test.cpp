// Values measured against their bounds: fixed variables outside them, free
// variables held on them, and warnings reported once each.
#include "host/bounds.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/host/harness.h"

namespace romhost_test {
namespace {

using romhost::BoundWarning;

// The standard block with bounds on the fixed A (own index 1) and the free Y (own index 4).
TestBlockSpec bounded(double aLower, double aUpper, double yLower, double yUpper) {
  TestBlockSpec spec = standardSpec();
  for (TestVariable& v : spec.variables) {
    if (v.name == "A") v.lower = aLower, v.upper = aUpper;
    if (v.name == "Y") v.lower = yLower, v.upper = yUpper;
  }
  return spec;
}

struct FixedCase {
  const char* what;
  double value;  // of A
  double lower, upper;
  bool warned;
};

void PrintTo(const FixedCase& c, std::ostream* os) { *os << c.what; }

class FixedBounds : public ::testing::TestWithParam<FixedCase> {};

TEST_P(FixedBounds, OutsideIsWarnedAboutAndOnTheBoundIsNot) {
  const FixedCase& c = GetParam();
  romhost::SetUpPlan plan;
  plan.values = {{"A", c.value}};
  Harness h(bounded(c.lower, c.upper, -1e30, 1e30), plan);
  ASSERT_TRUE(h.setUp.ok()) << h.setUp.message;
  const std::vector<BoundWarning> w = romhost::fixedOutsideBounds(h.system(), "B1");
  if (!c.warned) {
    EXPECT_TRUE(w.empty()) << w.front().name;
    return;
  }
  ASSERT_EQ(w.size(), 1u);
  EXPECT_EQ(w[0].name, "A");
  EXPECT_EQ(w[0].value, c.value);
  EXPECT_EQ(w[0].lower, c.lower);
  EXPECT_EQ(w[0].upper, c.upper);
}

INSTANTIATE_TEST_SUITE_P(Values, FixedBounds,
                         ::testing::Values(FixedCase{"Inside", 2.0, 1.0, 3.0, false},
                                           FixedCase{"OnTheLowerBound", 1.0, 1.0, 3.0, false},
                                           FixedCase{"OnTheUpperBound", 3.0, 1.0, 3.0, false},
                                           FixedCase{"Below", 0.5, 1.0, 3.0, true},
                                           FixedCase{"Above", 1e300, 1.0, 3.0, true},
                                           FixedCase{"NegativeBelowZero", -1e300, 0.0, 1e30, true},
                                           FixedCase{"NoBoundsWhenNaN", 5.0, NAN, NAN, false}),
                         [](const auto& info) { return std::string(info.param.what); });

TEST(FreeAtBounds, NamesTheBoundAFreeVariableSitsOn) {
  Harness h(bounded(-1e30, 1e30, 1.0, 1e30));
  ASSERT_TRUE(h.setUp.ok()) << h.setUp.message;
  EXPECT_TRUE(romhost::freeAtBounds(h.system(), "B1").empty());  // Y starts at 1.5
  h.system().setValue(h.testBlock->varNumber(kY), 1.0);
  h.system().setValue(h.testBlock->varNumber(kZ), 1e30);
  const auto held = romhost::freeAtBounds(h.system(), "B1");
  ASSERT_EQ(held.size(), 2u);
  EXPECT_EQ(held[0].name, "Y");
  EXPECT_FALSE(held[0].upper);
  EXPECT_EQ(held[1].name, "Z");
  EXPECT_TRUE(held[1].upper);
  EXPECT_EQ(held[1].value, 1e30);
}

TEST(BoundWarnings, AreMergedOncePerNameAndValue) {
  std::vector<BoundWarning> list{{"A", 5, 0, 1}};
  const auto added = romhost::mergeWarnings(list, {{"A", 5, 0, 1}, {"A", 6, 0, 1}, {"B", 5, 0, 1}, {"B", 5, 0, 1}});
  ASSERT_EQ(added.size(), 2u);
  EXPECT_EQ(added[0].value, 6.0);
  EXPECT_EQ(added[1].name, "B");
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(romhost::describe(list[0]), "A = 5 lies outside its bounds [0, 1]");
}

}  // namespace
}  // namespace romhost_test
