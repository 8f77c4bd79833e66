// A test block set up by the host's own session, as romhost sets up a block
// made by the plug-in.
#pragma once

#include <memory>

#include "host/block_session.h"
#include "tests/host/test_block.h"

namespace romhost_test {

// Own indices of the standard block's variables.
enum : int { kA = 1, kB = 2, kX = 3, kY = 4, kZ = 6 };

struct Harness {
  explicit Harness(TestBlockSpec spec, const romhost::SetUpPlan& plan = {})
      : block(new TestBlock("B1", std::move(spec))), session(std::make_unique<romhost::BlockSession>(block)) {
    setUp = session->setUp(plan);
  }

  romhost::BlockSystem& system() { return session->system(); }
  double value(int index) { return system().value(block->varNumber(index)); }

  TestBlock* block;  // owned by the session
  std::unique_ptr<romhost::BlockSession> session;
  romhost::StepResult setUp;
};

}  // namespace romhost_test
