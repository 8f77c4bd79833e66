// Whole solves of the second-generation hydrocracker on the sample networks:
// every model kind of the v37 example cases (and a volume feed) from init
// through the host's Newton with its derivative check at both ends,
// agreement with the first generation, and what init leaves to Newton.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/models/hydrocracker/hcr2_fixture.h"
#include "tests/support/generations.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace hcr2_test;

// A kind, and options after its case's own.
using SolveCase = std::tuple<Kind, std::vector<std::string>>;
const std::vector<std::string> kVolume = {"BASIS_LE:VOLUME", "BASIS_HL:VOLUME"};

class Hcr2Solve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(Hcr2Solve, ConvergesFromInitWithAnExactJacobian) {
  const auto& [kind, options] = GetParam();
  Session s(kind, options);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  // The basis changes no derivative: a volume feed is only solved.
  const bool volume = !options.empty();
  ASSERT_TRUE(solves(s.system(), 5));
  if (!volume) {
    EXPECT_TRUE(exactJacobian(s.system(), kEveryNonZero)) << "solution";
    // Not at init's point, where the fuel gas still holds 1 kg/h.
    EXPECT_TRUE(exactJacobianMoved(s, 1.02, kEveryNonZero)) << "away from the solution";
  }
  // The fuel gas closes both balances with a positive flow, at a mass factor near 1.
  EXPECT_GT(s.value("FGSMASS"), 0.0);
  EXPECT_NEAR(s.value("MASSFACTOR"), 1.0, 0.1);
  // A volume HL basis specifies the feed by its volume, whose step runs first (key 3).
  EXPECT_EQ(std::tuple(s.fixed("FEEDVOL"), s.fixed("FEEDMASS")), std::tuple(volume, !volume));
  EXPECT_EQ(s.hcr().eqnMan().find("CONV_FEEDVOL")->getOrderKey(), volume ? 3u : 1503u);
}

INSTANTIATE_TEST_SUITE_P(Cases, Hcr2Solve,
                         ::testing::Values(SolveCase{kKinds[0], {}}, SolveCase{kKinds[1], {}},
                                           SolveCase{kKinds[2], {}}, SolveCase{kKinds[3], {}},
                                           SolveCase{kKinds[0], kVolume}),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).modelKind).substr(4) +
                                  (std::get<1>(info.param).empty() ? "" : "_Volume");
                         });

class Hcr2Generations : public ::testing::TestWithParam<Kind> {};

// The variables of the first generation but the four constants the second
// has not (FGSFOEFACTOR, H2FOEFACTOR, H2SFOEFACTOR, H2SSULFUR) and the three
// gas volumes, by model kind.
std::size_t comparedVariables(const std::string& modelKind) {
  if (modelKind == "HCR_D") return 139 - 7;
  if (modelKind == "HCR_K") return 122 - 7;
  if (modelKind == "HCR_MILD") return 138 - 7;
  return 100 - 7;  // HCR_N
}

// The same networks and balances at the same inputs: the generations differ
// only in the densities of their volumes (1000 and 999.04 kg/m3 for liquids,
// FOE factors and gravities for gases).
TEST_P(Hcr2Generations, AgreeOnEverythingTheyComputeAlike) {
  SolvedValues first, second;
  ASSERT_TRUE(solvedValues(first, Session(GetParam(), {"VERSION:36.0.0"})));
  ASSERT_TRUE(solvedValues(second, Session(GetParam())));
  EXPECT_TRUE(agreeWhereComputedAlike(first, second, comparedVariables(GetParam().modelKind)));
}

INSTANTIATE_TEST_SUITE_P(Kinds, Hcr2Generations, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.modelKind).substr(4); });

// The starting values are the equation objects' own: none of them sets the
// fuel gas, which closes both balances, so init leaves FGSMASS as it stands
// (Newton finds it) and a fuel gas without hydrogen content fails nothing.
TEST(Hcr2Start, LeavesTheFuelGasToTheSolver) {
  Session s(kKinds[0]);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  for (const double content : {22.6, 0.0}) {
    s.value("FGSHYD") = content;
    s.value("FGSMASS") = 123.0;
    long long status = 0;
    s.hcr().init(status);
    EXPECT_EQ(status, 0) << content;
    EXPECT_EQ(s.value("FGSMASS"), 123.0) << content;
  }
}

}  // namespace
