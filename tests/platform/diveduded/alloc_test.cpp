// Run, GetDerivatives and SetInputs with the same names do not allocate: the
// test program counts every operator new while a flag is up.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/diveduded/DIVeduded.h"
#include "test_files.h"

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  if (g_counting.load(std::memory_order_relaxed)) ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(RunnerAllocation, RunDoesNotAllocate) {
  divtest::TempDir dir;
  dir.write("KIND", "YIELD", divtest::kAffine);
  DIVeduded r;
  divtest::configure(r, dir, "KIND", "YIELD");
  divtest::NameBuffers names({"FEEDMASS", "ALPHA", "BETA"});
  divtest::NameBuffers tags(2);
  double values[3] = {1.0, 2.0, 1.0};
  double d[2] = {0, 0};
  r.SetInputs(names.data(), values, 3);
  ASSERT_EQ(r.Open(), 0);
  ASSERT_EQ(r.Run(), 0);

  g_allocations = 0;
  g_counting = true;
  for (int i = 0; i < 100; ++i) {
    values[1] = 2.0 + i;
    r.SetInputs(names.data(), values, 3);
    r.Run();
    long count = 0;
    r.GetIndependentTagCount(count);
    r.GetDerivatives(tags.data(), d);
  }
  g_counting = false;
  EXPECT_EQ(g_allocations.load(), 0);
  EXPECT_DOUBLE_EQ(r.m_dResult, 20.0 + 24.0 * 99);
}

}  // namespace
