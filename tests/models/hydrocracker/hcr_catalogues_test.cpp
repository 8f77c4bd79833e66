// The catalogues of the two hydrocracker generations: for every model kind,
// every variable both declare has the same units and bounds, apart from the
// differences named here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/catalogue_bounds.h"
#include "tests/support/factory.h"

namespace {

using romtest::CatalogueDifference;

struct KindCase {
  const char* subid;
  std::size_t shared;  // variables both generations declare
  std::vector<CatalogueDifference> named;  // {variable, field, first generation, second generation}
};
void PrintTo(const KindCase& c, std::ostream* os) { *os << c.subid; }

// The first-generation HCR_K raises the lower bounds of its gas molar flows
// to 1 and of its light-end and product masses to 10; the second generation
// keeps the 0 of its shared catalogue for every kind.
const std::vector<CatalogueDifference> kKLowerBounds = {
    {"H2SMOL", "lower", "1", "0"},    {"FGSMOL", "lower", "1", "0"},    {"H2MOL", "lower", "1", "0"},
    {"C3MASS", "lower", "10", "0"},   {"NC4MASS", "lower", "10", "0"},  {"IC4MASS", "lower", "10", "0"},
    {"LCNMASS", "lower", "10", "0"},  {"HCNMASS", "lower", "10", "0"},  {"KERMASS", "lower", "10", "0"},
    {"UCOMASS", "lower", "10", "0"},
};

class HcrCatalogues : public ::testing::TestWithParam<KindCase> {};

TEST_P(HcrCatalogues, SharedVariablesHaveTheSameUnitsAndBoundsButTheNamedDifferences) {
  const std::string subid = std::string("SUBID:") + GetParam().subid;
  romtest::DeclaredCatalogue first, second;
  ASSERT_TRUE(romtest::declaredCatalogue(first, romtest::createByMorvane("H1", {subid})));
  ASSERT_TRUE(romtest::declaredCatalogue(second, romtest::createByMorvane("H1", {subid, "VERSION:37.0.0"})));
  EXPECT_EQ(romtest::sharedVariables(first, second), GetParam().shared);
  EXPECT_THAT(romtest::catalogueDifferences(first, second), ::testing::UnorderedElementsAreArray(GetParam().named));
}

// The shared variables: all of the first generation's but the four constants
// the second has not (FGSFOEFACTOR, H2FOEFACTOR, H2SFOEFACTOR, H2SSULFUR).
INSTANTIATE_TEST_SUITE_P(Kinds, HcrCatalogues,
                         ::testing::Values(KindCase{"ROHCRD", 139 - 4, {}}, KindCase{"ROHCRK", 122 - 4, kKLowerBounds},
                                           KindCase{"ROHCRMILD", 138 - 4, {}}, KindCase{"ROHCRN", 100 - 4, {}}),
                         [](const auto& info) { return std::string(info.param.subid); });

}  // namespace
