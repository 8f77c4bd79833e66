// The catalogues of the two FCC generations: for every block type, every
// variable both declare has the same units and bounds. A bound mistyped in
// one generation's table (C5SRVI's upper 300 as 30) would otherwise show only
// when a network predicts past it and Newton stops there.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/models/fcc/fcc_slate_fixture.h"
#include "tests/support/catalogue_bounds.h"

namespace {

class FccCatalogues : public ::testing::TestWithParam<fcc_test::BlockType> {};

TEST_P(FccCatalogues, SharedVariablesHaveTheSameUnitsAndBounds) {
  const fcc_test::BlockType& t = GetParam();
  const std::string subid = std::string("SUBID:") + t.subid;
  romtest::DeclaredCatalogue first, second;
  ASSERT_TRUE(romtest::declaredCatalogue(first, fcc_test::createByFactory({subid})));
  ASSERT_TRUE(romtest::declaredCatalogue(second, fcc_test::createByFactory({subid, "VERSION:37.0.0"})));
  // Every variable of the first generation (its slate's cuts included) but
  // the four constants the second has not: COKFOEFACTOR, FGSFOEFACTOR,
  // H2SFOEFACTOR, H2SSULFUR.
  EXPECT_EQ(romtest::sharedVariables(first, second), static_cast<std::size_t>(t.variables - 4));
  EXPECT_THAT(romtest::catalogueDifferences(first, second), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Types, FccCatalogues, ::testing::ValuesIn(fcc_test::kBlockTypes),
                         [](const auto& info) { return std::string(info.param.subid); });

}  // namespace
