// The paired total/difference networks out of memory: a run of a naphtha cut
// that cannot have one of its allocations fails, and the next run, with
// memory again, gives the prediction and derivatives of the networks as they
// stand. This program replaces the global operator new with one that can make
// the n-th allocation from a given moment fail; each n up to the whole run's
// count is tried on a fresh block, at a run after the total network was
// trained again on one more input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "tests/models/fcc/fcc_test_slate.h"
#include "tests/support/networks.h"

namespace {

long g_countdown = 0;  // > 0: the allocation that takes it to 0 fails
bool g_failed = false;

void* allocate(std::size_t n) {
  if (g_countdown > 0 && --g_countdown == 0) {
    g_failed = true;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

// Every ordinary form, so that each allocation and release goes through the
// same pair (a sanitizer's own forms would otherwise meet ours).
void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept { return operator new(n, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

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

    g_failed = false;
    g_countdown = n;
    int status = 1;
    try {
      status = p.block->runNN("LCNFRAC");
    } catch (const std::bad_alloc&) {
    }
    g_countdown = 0;
    failed = g_failed;
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
