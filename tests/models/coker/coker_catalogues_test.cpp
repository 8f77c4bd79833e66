// The catalogues of the two coker generations: every variable both declare
// has the same units and bounds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/models/coker/coker_fixture.h"
#include "tests/support/catalogue_bounds.h"

namespace {

TEST(CokerCatalogues, SharedVariablesHaveTheSameUnitsAndBounds) {
  romtest::DeclaredCatalogue first, second;
  ASSERT_TRUE(romtest::declaredCatalogue(first, coker_test::createByFactory(coker_test::options())));
  ASSERT_TRUE(romtest::declaredCatalogue(
      second, coker_test::createByFactory(coker_test::options(false, {"VERSION:37.0.0"}))));
  // All 121 variables of the first generation but the three FOE factors,
  // which the second has not.
  EXPECT_EQ(romtest::sharedVariables(first, second), 121u - 3u);
  EXPECT_THAT(romtest::catalogueDifferences(first, second), ::testing::IsEmpty());
}

}  // namespace
