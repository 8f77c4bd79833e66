// The tuning model's network runs out of memory: an evaluation whose run
// cannot have one of its allocations fails, and the next evaluation, with
// memory again, predicts every point as if nothing had failed. This program
// replaces the global operator new with one that can make the n-th
// allocation from a given moment fail; each n up to the whole evaluation's
// count is tried on a fresh block.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "tests/tuning/tuning_fixture.h"
#include "tuning/rotuningmodel.h"

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

namespace tuning_test {
namespace {

rotuningmodel& model(QivEOBlock* b) { return dynamic_cast<rotuningmodel&>(*b); }

// The status of call with the n-th allocation it makes failing; failed tells
// whether it made that many.
template <class Call>
long long failingAt(long n, bool& failed, Call&& call) {
  g_failed = false;
  g_countdown = n;
  const long long status = call();
  g_countdown = 0;
  failed = g_failed;
  return status;
}

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
      const long long status = failingAt(n, failed, [&] { return s.res(); });
      if (failed) EXPECT_EQ(s.res(), 0) << "allocation " << n;
      else EXPECT_EQ(status, 0);
      EXPECT_DOUBLE_EQ(model(s.block).nnPredictions()[0], predicted(*failing)) << "allocation " << n;
    }
  }
}

}  // namespace
}  // namespace tuning_test
