// A test block set up by the host's own session, as romhost sets up a block
// made by the plug-in.
#pragma once

#include "tests/host/test_block.h"
#include "tests/support/hosted_block.h"

namespace romhost_test {

// Own indices of the standard block's variables.
enum : int { kA = 1, kB = 2, kX = 3, kY = 4, kZ = 6 };

struct Harness : romtest::HostedBlock {
  explicit Harness(TestBlockSpec spec, const romhost::SetUpPlan& plan = {})
      : Harness(new TestBlock("B1", std::move(spec)), plan) {}

  double value(int index) const { return system().value(testBlock->varNumber(index)); }

  TestBlock* const testBlock;  // owned by the session

 private:
  Harness(TestBlock* made, const romhost::SetUpPlan& plan) : HostedBlock(made, plan), testBlock(made) {}
};

}  // namespace romhost_test
