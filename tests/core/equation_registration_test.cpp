// A framework that refuses to register one of a block's equations (its
// number is taken already) fails the block's user_ini with status 1, whether
// the first or the last registration is refused, in every block family of
// both generations.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/support/factory.h"
#include "tests/support/framework_lists.h"

namespace {

const char* const kSubids[] = {"ROCOKER", "ROFCCGO2N", "ROFCCGOR3N1H", "ROHCRD", "ROHCRN", "ROREFSEMI1R", "ROVBSKR"};

class RefusedEquation : public ::testing::TestWithParam<std::tuple<const char*, const char*>> {
 protected:
  // A new block of the parameters, set up with the offset's equation number
  // taken (none when offset is negative); its set-up status.
  long long setUp(int offset, int* registered = nullptr) const {
    const auto& [subid, version] = GetParam();
    const romtest::FrameworkLists lists;
    QivEOBlock* made = romtest::createByMorvane("B1", {std::string("SUBID:") + subid, std::string("VERSION:") + version});
    if (!made) return -1;
    const long long status = lists.setUpWithEquationTaken(dynamic_cast<QivEOBlockImpl&>(*made), offset);
    if (registered) *registered = rtoeqnlst_registered_count(lists.eqns);
    made->Destroy();
    return status;
  }
};

TEST_P(RefusedEquation, FailsTheSetUpWithStatusOne) {
  int count = 0;
  ASSERT_EQ(setUp(-1, &count), 0);  // numbered from the first position on, without gaps
  ASSERT_GT(count, 1);
  EXPECT_EQ(setUp(0), 1) << "first";
  EXPECT_EQ(setUp(count - 1), 1) << "last";
}

INSTANTIATE_TEST_SUITE_P(Blocks, RefusedEquation,
                         ::testing::Combine(::testing::ValuesIn(kSubids), ::testing::Values("35.0.0", "37.0.0")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)) + "_" +
                                  std::string(std::get<1>(info.param)).substr(0, 2);
                         });

}  // namespace
