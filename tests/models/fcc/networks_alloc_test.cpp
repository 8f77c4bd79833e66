// The paired total/difference networks out of memory: a run of a naphtha cut
// that cannot have one of its allocations fails, and the next run, with
// memory again, gives the prediction and derivatives of the networks as they
// stand. With the replaced operator new (tests/support/replaced_new.h) each
// n-th allocation up to the whole run's count is made to fail, on a fresh
// block, at a run after the total network was trained again on one more
// input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tests/models/fcc/fcc_test_slate.h"
#include "tests/support/networks.h"
#include "tests/support/replaced_new.h"

namespace {

using romtest::affineNetwork;

constexpr double kSg = -0.1, kPlenum = 1e-4, kCatMat = 1e-3, kDuty = 2e-6;

// LCNFRACTOTAL over the plenum temperature and the feed gravity, trained
// again on the catalyst activity as well; LCNFRACDIFF over the plenum
// temperature and the cooler duty.
void writeNetworks(const romtest::NetworkRoot& nets, bool retrained) {
  romtest::Values total = {{"REACTORPLENUMTEMP", kPlenum}, {"FEEDSG", kSg}};
  if (retrained) total.push_back({"ECATMAT", kCatMat});
  nets.write("FCC_GO_2N", "LCNFRACTOTAL", affineNetwork("LCNFRACTOTAL", total, 0.2));
  nets.write("FCC_GO_2N", "LCNFRACDIFF",
             affineNetwork("LCNFRACDIFF", {{"REACTORPLENUMTEMP", kPlenum}, {"CATCOOLERDUTY", kDuty}}, 0.01));
}

TEST(FccPairAllocation, ARunOutOfMemoryLeavesNothingHalfMatchedForTheNext) {
  bool failed = true;
  for (long n = 1; failed; ++n) {
    const PreparedSlate p;
    const romtest::NetworkRoot nets("fcc_alloc_nets");
    writeNetworks(nets, false);
    ASSERT_EQ(p.block->runNN("LCNFRAC"), 0);
    writeNetworks(nets, true);

    const int status = romtest::withFailingAllocation(n, failed, [&] {
      try {
        return p.block->runNN("LCNFRAC");
      } catch (const std::bad_alloc&) {
        return 1;
      }
    });
    if (failed) EXPECT_EQ(p.block->runNN("LCNFRAC"), 0) << "allocation " << n;
    else EXPECT_EQ(status, 0);

    // PARAM 1 and RATE 1 at their defaults: y = T - D.
    const auto& d = p.block->find("LCNFRAC")->derivs;
    EXPECT_DOUBLE_EQ(d.at("ECATMAT"), kCatMat) << "allocation " << n;
    EXPECT_DOUBLE_EQ(d.at("FEEDSG"), kSg) << "allocation " << n;
    EXPECT_DOUBLE_EQ(d.at("CATCOOLERDUTY"), -kDuty) << "allocation " << n;
    EXPECT_NEAR(d.at("REACTORPLENUMTEMP"), 0.0, 1e-18) << "allocation " << n;
  }
}

}  // namespace
