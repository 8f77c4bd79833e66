// A first-generation block's network runs out of memory: a pass whose run
// cannot have one of its allocations fails, and the next pass, with memory
// again, stores every prediction and derivative as if nothing had failed.
// This program replaces the global operator new with one that can make the
// n-th allocation from a given moment fail; each n up to the whole pass's
// count is tried on a fresh block, at its first pass and at a pass after a
// network was trained again on more inputs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "platform/diveduded/DIVeduded.h"
#include "tests/core/test_model.h"

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

// C3FRAC trained again on the feed mass as well.
constexpr double kC3Mass = 2e-7;

struct Block {
  Block() {
    writeTestNetworks(nets);
    block.prepare();
    EXPECT_EQ(fw.setUp(block), 0);
    long long status = 0;
    block.user_pat(fw.jac, status);
    EXPECT_EQ(status, 0);
  }
  long long res() const {
    long long s = 0;
    block.user_res(s);
    return s;
  }
  ROMVar& out(const char* name) { return *block.m_nnOutputVars.at(name); }

  NetworkRoot nets;
  Framework fw;
  testmodel block{"C1"};
};

TEST(NetworkRunAllocation, APassOutOfMemoryLeavesNothingHalfMatchedForTheNext) {
  for (const bool retrained : {false, true}) {
    bool failed = true;
    for (long n = 1; failed; ++n) {
      Block b;
      if (retrained) {
        ASSERT_EQ(b.res(), 0);
        b.nets.write("COKER", "C3FRAC",
                     affineNetwork("C3FRAC", {{"FEEDMASS", kC3Mass}, {"FEEDSUL", kC3Sul}, {"RXTEMP", kC3Temp}},
                                   kC3Bias));
      }
      g_failed = false;
      g_countdown = n;
      const long long status = b.res();
      g_countdown = 0;
      failed = g_failed;
      if (failed) EXPECT_EQ(b.res(), 0) << "allocation " << n;
      else EXPECT_EQ(status, 0);

      const double mass = b.fw.value(b.fw.num(b.block, "FEEDMASS"));
      const double sul = b.fw.value(b.fw.num(b.block, "FEEDSUL"));
      const double temp = b.fw.value(b.fw.num(b.block, "RXTEMP"));
      const double massTerm = retrained ? kC3Mass : 0.0;
      ROMVar& c3 = b.out("C3FRAC");
      EXPECT_DOUBLE_EQ(c3.value, kC3Bias + massTerm * mass + kC3Sul * sul + kC3Temp * temp) << "allocation " << n;
      EXPECT_DOUBLE_EQ(c3.derivs.at("FEEDMASS"), massTerm) << "allocation " << n;
      EXPECT_DOUBLE_EQ(c3.derivs.at("FEEDSUL"), kC3Sul) << "allocation " << n;
      EXPECT_DOUBLE_EQ(c3.derivs.at("RXTEMP"), kC3Temp) << "allocation " << n;
      EXPECT_DOUBLE_EQ(b.out("COKEFRAC").derivs.at("FEEDSUL"), kCokeSul) << "allocation " << n;
    }
  }
}

}  // namespace
