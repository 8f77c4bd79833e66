// The two reformer generations at the same inputs agree on everything they
// compute alike.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/models/reformer/ref_fixture.h"
#include "tests/support/generations.h"

namespace {

using namespace ref_test;

struct PairCase {
  const char* subid;
  // The variables of the first generation but those the second has not (the
  // light ends' hydrogen masses and the FOE flows) and the two gas volumes.
  std::size_t compared;
};
void PrintTo(const PairCase& c, std::ostream* os) { *os << c.subid; }

class RefGenerations : public ::testing::TestWithParam<PairCase> {};

TEST_P(RefGenerations, AgreeOnEverythingTheyComputeAlike) {
  const std::string subid = GetParam().subid;
  const Values inputs = nominalInputs(Feed{subid.find("SEMI") != std::string::npos});
  const std::vector<std::string> options = {"SUBID:" + subid, "BASIS_HL:MASS", "BASIS_NA:NA"};
  std::vector<std::string> secondOptions = options;
  secondOptions.push_back("VERSION:37.0.0");
  SolvedValues first, second;
  ASSERT_TRUE(solvedValues(first, HostedBlock(createByFactory(options), inputs)));
  ASSERT_TRUE(solvedValues(second, HostedBlock(createByFactory(secondOptions), inputs)));
  EXPECT_TRUE(agreeWhereComputedAlike(first, second, GetParam().compared));
}

INSTANTIATE_TEST_SUITE_P(Types, RefGenerations,
                         ::testing::Values(PairCase{"ROREFSEMI1R", 47}, PairCase{"ROREFCONT1R", 46},
                                           PairCase{"ROREFSEMI2R", 59}, PairCase{"ROREFCONT2R", 58},
                                           PairCase{"ROREFSEMIA", 51}, PairCase{"ROREFCONTA", 50}),
                         [](const auto& info) { return std::string(info.param.subid); });

}  // namespace
