// The two visbreaker generations at the same inputs agree on everything they
// compute alike.
#include <gtest/gtest.h>

#include <string>

#include "tests/models/visbreaker/vb_fixture.h"
#include "tests/support/generations.h"

namespace {

using namespace vb_test;

class VbGenerations : public ::testing::TestWithParam<const char*> {};

TEST_P(VbGenerations, AgreeOnEverythingTheyComputeAlike) {
  SolvedValues first, second;
  ASSERT_TRUE(solvedValues(first, HostedBlock(createByFactory(options(GetParam())), nominalInputs())));
  ASSERT_TRUE(solvedValues(second, HostedBlock(createByFactory(options(GetParam(), true)), nominalInputs())));
  // All 101 variables of the first generation but the two constants the
  // second has not (FGSFOEFACTOR, H2SFOEFACTOR) and the two gas volumes.
  EXPECT_TRUE(agreeWhereComputedAlike(first, second, 101 - 4));
}

INSTANTIATE_TEST_SUITE_P(Types, VbGenerations, ::testing::Values("ROVBNOSKR", "ROVBSKR"));

}  // namespace
