// The host's derivative check and Newton as assertions on a block's system:
//   EXPECT_TRUE(exactJacobian(s.system(), 641));
//   ASSERT_TRUE(solves(s.system(), 8));
#pragma once

#include <gtest/gtest.h>

#include "host/block_system.h"
#include "platform/qivblock.h"
#include "tests/support/hosted_block.h"
#include "tests/support/networks.h"

namespace romtest {

// A count that is not checked.
inline constexpr int kAnyCount = -1;
inline constexpr int kEveryNonZero = -2;  // every non-zero the block registered

// The derivative check at the block's current point (fixed columns included)
// passes, no entry is off by 1e-6 or more and, unless kAnyCount, it compared
// that many entries. The failure names the worst entry.
::testing::AssertionResult exactJacobian(romhost::BlockSystem& system, int entries = kAnyCount);

// The same check with every free variable of the block scaled by factor, a
// point away from the solution where each row keeps the scale of its flows
// (at a start where computed flows hold 1.0 beside a feed of 1e5 kg/h, the
// central differences of the balance rows are coarser than 1e-6). The block's
// values are put back afterwards.
::testing::AssertionResult exactJacobianMoved(const HostedBlock& block, double factor, int entries = kAnyCount);

// Newton from the block's current point converges, in at most maxIterations
// unless kAnyCount.
::testing::AssertionResult solves(romhost::BlockSystem& system, int maxIterations = kAnyCount);

// A block taken by the host's session through user_dim, user_ini and the
// values, without a pattern: its user_jac fails with status 1 and writes no
// Jacobian value; once patterned, it succeeds. The block is destroyed after.
::testing::AssertionResult jacobianWaitsForPattern(QivEOBlock* made, const Values& values);

}  // namespace romtest
