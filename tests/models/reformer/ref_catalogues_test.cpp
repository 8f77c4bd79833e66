// The catalogues of the two reformer generations: for every block type, every
// variable both declare has the same units and bounds.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>

#include "tests/models/reformer/ref_fixture.h"
#include "tests/support/catalogue_bounds.h"

namespace {

struct TypeCase {
  const char* subid;
  // The first generation's variables but the five the second has not: the
  // light ends' hydrogen masses (C3, NC4, IC4) and the FOE factors of FGS and H2.
  std::size_t shared;
};
void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.subid; }

class RefCatalogues : public ::testing::TestWithParam<TypeCase> {};

TEST_P(RefCatalogues, SharedVariablesHaveTheSameUnitsAndBounds) {
  const std::string subid = std::string("SUBID:") + GetParam().subid;
  romtest::DeclaredCatalogue first, second;
  ASSERT_TRUE(romtest::declaredCatalogue(first, ref_test::createByFactory({subid})));
  ASSERT_TRUE(romtest::declaredCatalogue(second, ref_test::createByFactory({subid, "VERSION:37.0.0"})));
  EXPECT_EQ(romtest::sharedVariables(first, second), GetParam().shared);
  EXPECT_THAT(romtest::catalogueDifferences(first, second), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Types, RefCatalogues,
                         ::testing::Values(TypeCase{"ROREFSEMI1R", 54 - 5}, TypeCase{"ROREFCONT1R", 53 - 5},
                                           TypeCase{"ROREFSEMI2R", 66 - 5}, TypeCase{"ROREFCONT2R", 65 - 5},
                                           TypeCase{"ROREFSEMIA", 58 - 5}, TypeCase{"ROREFCONTA", 57 - 5}),
                         [](const auto& info) { return std::string(info.param.subid); });

}  // namespace
