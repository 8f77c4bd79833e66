// A first-generation block's network runs out of memory: a pass whose run
// cannot have one of its allocations fails, and the next pass, with memory
// again, stores every prediction and derivative as if nothing had failed.
// With the replaced operator new (tests/support/replaced_new.h) each n-th
// allocation up to the whole pass's count is made to fail, on a fresh block,
// at its first pass and at a pass after a network was trained again on more
// inputs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "platform/diveduded/DIVeduded.h"
#include "tests/core/test_model.h"
#include "tests/support/replaced_new.h"

namespace {

// C3FRAC trained again on the feed mass as well.
constexpr double kC3Mass = 2e-7;

struct Block {
  Block() {
    writeTestNetworks(nets);
    EXPECT_EQ(prepareAndPattern(block, fw), 0);
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
      const long long status = romtest::withFailingAllocation(n, failed, [&] { return b.res(); });
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
