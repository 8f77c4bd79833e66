// Run, GetDerivatives and SetInputs with the same names do not allocate: the
// test program counts every operator new while a flag is up. It can also make
// every allocation of one size fail, to show that a runner whose copy or work
// space could not be had reports it and recovers at the next call.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/diveduded/DIVeduded.h"
#include "test_files.h"

namespace {
std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};
std::atomic<std::size_t> g_failingSize{0};  // 0: none fails
std::atomic<long> g_countdown{0};            // > 0: the allocation that takes it to 0 fails
std::atomic<bool> g_countedOut{false};
}  // namespace

void* operator new(std::size_t size) {
  if (g_counting.load(std::memory_order_relaxed)) ++g_allocations;
  if (const std::size_t failing = g_failingSize.load(std::memory_order_relaxed); failing != 0 && size == failing)
    throw std::bad_alloc();
  if (g_countdown.load(std::memory_order_relaxed) > 0 && --g_countdown == 0) {
    g_countedOut = true;
    throw std::bad_alloc();
  }
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

// Every allocation of the given size fails while one lives.
class FailingSize {
 public:
  explicit FailingSize(std::size_t bytes) { g_failingSize = bytes; }
  ~FailingSize() { g_failingSize = 0; }
  FailingSize(const FailingSize&) = delete;
  FailingSize& operator=(const FailingSize&) = delete;
};

// 2 inputs, a linear hidden layer of 5000 units and one output: its work space
// is an allocation of a size nothing else in a run asks for.
// y = 1 + sum_j 0.001 (ALPHA + BETA) = 1 + 5 (ALPHA + BETA)
std::string wideNetwork() {
  constexpr int kWidth = 5000;
  std::string text = "ZKR 1\nOUTPUT YIELD\nINPUTS 2\nINPUT ALPHA 0 1\nINPUT BETA 0 1\nOUTPUTSCALE 1 1\n";
  text += "LAYERS 2\nLAYER " + std::to_string(kWidth) + " LINEAR\nW";
  for (int i = 0; i < 2 * kWidth; ++i) text += " 0.001";
  text += "\nB";
  for (int i = 0; i < kWidth; ++i) text += " 0";
  text += "\nLAYER 1 LINEAR\nW";
  for (int i = 0; i < kWidth; ++i) text += " 1";
  text += "\nB 0\nEND\n";
  return text;
}

// A copy of the inputs that failed half way (the names had room, the values
// none) is reported at Run; the next SetInputs copies names and values whole.
TEST(RunnerAllocation, SetInputsAfterAFailedCopyCopiesTheValuesToo) {
  divtest::TempDir dir;
  dir.write("KIND", "YIELD", divtest::kAffine);
  DIVeduded r;
  divtest::configure(r, dir, "KIND", "YIELD");
  divtest::NameBuffers names({"FEEDMASS", "ALPHA", "BETA"});
  double values[3] = {7.0, 2.0, 1.0};
  {
    const FailingSize valuesCopy(3 * sizeof(double));
    r.SetInputs(names.data(), values, 3);
  }
  ASSERT_EQ(r.Open(), 0);
  EXPECT_EQ(r.Run(), DIV_INTERNAL);

  r.SetInputs(names.data(), values, 3);
  ASSERT_EQ(r.Run(), 0);
  EXPECT_DOUBLE_EQ(r.m_dResult, 20.0);
}

// A runner that could not size its work space for a larger network (after a
// smaller one) fails that Open, and sizes it at the next Open of the network.
TEST(RunnerAllocation, WorkSpaceThatCouldNotBeHadIsSizedAtTheNextOpen) {
  divtest::TempDir dir;
  dir.write("KIND", "YIELD", divtest::kAffine);
  dir.write("WIDE", "YIELD", wideNetwork());
  divtest::NameBuffers names({"ALPHA", "BETA"});
  double values[2] = {2.0, 1.0};
  DIVeduded r;
  divtest::configure(r, dir, "KIND", "YIELD");
  r.SetInputs(names.data(), values, 2);
  ASSERT_EQ(r.Open(), 0);
  ASSERT_EQ(r.Run(), 0);

  divtest::configure(r, dir, "WIDE", "YIELD");
  {
    DIVeduded first;  // reads and keeps the wide network beforehand
    divtest::configure(first, dir, "WIDE", "YIELD");
    ASSERT_EQ(first.Open(), 0);
  }
  {
    const std::size_t workSpace = (2 * 5001 + 2 * 5000 + 2) * sizeof(double);
    const FailingSize noWorkSpace(workSpace);
    EXPECT_EQ(r.Open(), DIV_INTERNAL);
  }
  ASSERT_EQ(r.Open(), 0);
  ASSERT_EQ(r.Run(), 0);
  EXPECT_NEAR(r.m_dResult, 16.0, 1e-9);
  double d[2] = {0, 0};
  divtest::NameBuffers tags(2);
  ASSERT_EQ(r.GetDerivatives(tags.data(), d), 0);
  EXPECT_NEAR(d[0], 5.0, 1e-12);
  EXPECT_NEAR(d[1], 5.0, 1e-12);
}

// A runner whose SetInputs, Open and Run meet a failing allocation at any
// one point reports it, and the next SetInputs, Open and Run of the same
// runner, with memory again, give the network's prediction and derivatives:
// the first time the runner reads a network, and when it is reopened on
// another network after a run of the first.
TEST(RunnerAllocation, OutOfMemoryAtAnyAllocationLeavesTheRunnerWhole) {
  divtest::TempDir dir;
  dir.write("KIND", "YIELD", divtest::kAffine);
  dir.write("WIDE", "YIELD", wideNetwork());
  divtest::NameBuffers names({"ALPHA", "BETA"});
  double values[2] = {2.0, 1.0};
  for (const bool reopened : {false, true}) {
    bool failed = true;
    for (long n = 1; failed; ++n) {
      DIVeduded::ClearCache();
      DIVeduded r;
      if (reopened) {
        divtest::configure(r, dir, "KIND", "YIELD");
        r.SetInputs(names.data(), values, 2);
        ASSERT_EQ(r.Open(), 0);
        ASSERT_EQ(r.Run(), 0);
      }
      divtest::configure(r, dir, "WIDE", "YIELD");
      g_countedOut = false;
      g_countdown = n;
      r.SetInputs(names.data(), values, 2);
      const int status = r.Open() != 0 ? 1 : r.Run();
      g_countdown = 0;
      failed = g_countedOut;
      if (!failed) {
        EXPECT_EQ(status, 0);
      }

      r.SetInputs(names.data(), values, 2);
      ASSERT_EQ(r.Open(), 0) << "allocation " << n;
      ASSERT_EQ(r.Run(), 0) << "allocation " << n;
      EXPECT_NEAR(r.m_dResult, 16.0, 1e-9) << "allocation " << n;
      double d[2] = {0, 0};
      divtest::NameBuffers tags(2);
      ASSERT_EQ(r.GetDerivatives(tags.data(), d), 0) << "allocation " << n;
      EXPECT_NEAR(d[0], 5.0, 1e-12) << "allocation " << n;
      EXPECT_NEAR(d[1], 5.0, 1e-12) << "allocation " << n;
    }
  }
}

}  // namespace
