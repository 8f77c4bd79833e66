// The tuning model's network runs out of memory: an evaluation whose run
// cannot have one of its allocations fails, and the next evaluation, with
// memory again, predicts every point as if nothing had failed. With the
// replaced operator new (tests/support/replaced_new.h) each n-th allocation
// up to the whole evaluation's count is made to fail, on a fresh block.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "tests/support/replaced_new.h"
#include "tests/tuning/tuning_fixture.h"
#include "tuning/rotuningmodel.h"

namespace tuning_test {
namespace {

rotuningmodel& model(QivEOBlock* b) { return dynamic_cast<rotuningmodel&>(*b); }


// The coker's C3FRAC network before and after it was trained again on one more
// input: the second run matches the network's tags to the point attributes
// anew.
constexpr double kBias = 0.5;
const Values kBefore = {{"FEEDCCR", 2e-3}, {"DRUMINLETTEMP", 1e-5}};
const Values kAfter = {{"FEEDSUL", 0.1}, {"FEEDCCR", 1e-3}, {"DRUMINLETTEMP", 2e-5}};
const Values kPoint = {{"FEEDCCR_0", 20}, {"DRUMINLETTEMP_0", 900}, {"FEEDSUL_0", 2}};

double predicted(const Values& weights) {
  double y = kBias;
  for (const auto& [tag, w] : weights)
    for (const auto& [attr, x] : kPoint)
      if (attr == tag + "_0") y += w * x;
  return y;
}

TEST(TuningModelAllocation, ARunOutOfMemoryLeavesNothingHalfMatchedForTheNext) {
  AffineNetworks nets;
  romhost::AttributeValue sul;
  sul.real = 2;
  // The first run, then a run of the network trained again; each with every
  // one of its allocations failing in turn.
  for (const Values* failing : {&kBefore, &kAfter}) {
    bool failed = true;
    for (long n = 1; failed; ++n) {
      nets.write("COKER", "C3FRAC", kBefore, kBias);
      Session s(create("ROTUNING", {"RX:COKER", "DEPVAR:C3FRAC", "NDATA:1"}), {}, kPoint);
      ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
      if (failing == &kAfter) {
        ASSERT_EQ(s.res(), 0);
        nets.write("COKER", "C3FRAC", kAfter, kBias);
        ASSERT_TRUE(s.session->assignAttribute("FEEDSUL_0", sul).ok());  // the data count as new
      }
      const long long status = romtest::withFailingAllocation(n, failed, [&] { return s.res(); });
      if (failed) EXPECT_EQ(s.res(), 0) << "allocation " << n;
      else EXPECT_EQ(status, 0);
      EXPECT_DOUBLE_EQ(model(s.block).nnPredictions()[0], predicted(*failing)) << "allocation " << n;
    }
  }
}

// The overcrack pair: the difference network trained again on one more input.
TEST(TuningModelAllocation, AnOvercrackRunOutOfMemoryLeavesNothingHalfMatchedForTheNext) {
  AffineNetworks nets;
  const Values point = {{"REACTORPLENUMTEMP_0", 975}, {"ECATMAT_0", 70}, {"FEEDSG_0", 0.9}};
  const Values variables = {{"ALPHA", 1.0}, {"BETA", 0.0}, {"OVERCRACK_RATE", 0.5}, {"OVERCRACK_PARAM", 1.1}};
  bool failed = true;
  for (long n = 1; failed; ++n) {
    nets.write("FCC_GO_3N", "HCNFRACTOTAL", {{"REACTORPLENUMTEMP", 1e-4}, {"ECATMAT", 1e-3}}, 0.01);
    nets.write("FCC_GO_3N", "HCNFRACDIFF", {{"REACTORPLENUMTEMP", 2e-5}, {"ECATMAT", 1e-2}});
    Session s(create("ROTUNING", {"RX:FCC_GO_3N", "DEPVAR:HCNFRAC", "NDATA:1"}), {}, point);
    ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
    for (const auto& [name, v] : variables) s.value(name) = v;
    ASSERT_EQ(s.res(), 0);
    nets.write("FCC_GO_3N", "HCNFRACDIFF", {{"REACTORPLENUMTEMP", 2e-5}, {"ECATMAT", 1e-2}, {"FEEDSG", 0.3}});

    const long long status = romtest::withFailingAllocation(n, failed, [&] { return s.res(); });
    if (failed) EXPECT_EQ(s.res(), 0) << "allocation " << n;
    else EXPECT_EQ(status, 0);
    const double total = 0.01 + 1e-4 * 975 + 1e-3 * 70;
    const double diff = 2e-5 * 975 * 1.1 + 1e-2 * 70 + 0.3 * 0.9;
    EXPECT_NEAR(model(s.block).nnPredictions()[0], total - 0.5 * diff, 1e-15) << "allocation " << n;
    const auto& slopes = model(s.block).diffDerivatives()[0];
    EXPECT_DOUBLE_EQ(slopes.at("FEEDSG"), -0.3) << "allocation " << n;
    EXPECT_DOUBLE_EQ(slopes.at("ECATMAT"), -1e-2) << "allocation " << n;
    EXPECT_DOUBLE_EQ(slopes.at("REACTORPLENUMTEMP"), -2e-5) << "allocation " << n;
  }
}

}  // namespace
}  // namespace tuning_test
