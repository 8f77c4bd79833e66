// The catalogues of the two visbreaker generations: for both block types,
// every variable both declare has the same units and bounds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/models/visbreaker/vb_fixture.h"
#include "tests/support/catalogue_bounds.h"

namespace {

using namespace vb_test;

class VbCatalogues : public ::testing::TestWithParam<const char*> {};

TEST_P(VbCatalogues, SharedVariablesHaveTheSameUnitsAndBounds) {
  romtest::DeclaredCatalogue first, second;
  ASSERT_TRUE(romtest::declaredCatalogue(first, createByFactory(options(GetParam()))));
  ASSERT_TRUE(romtest::declaredCatalogue(second, createByFactory(options(GetParam(), true))));
  // All 101 variables of the first generation but the two constants the
  // second has not (FGSFOEFACTOR, H2SFOEFACTOR).
  EXPECT_EQ(romtest::sharedVariables(first, second), 101u - 2u);
  EXPECT_THAT(romtest::catalogueDifferences(first, second), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Types, VbCatalogues, ::testing::Values("ROVBNOSKR", "ROVBSKR"));

}  // namespace
