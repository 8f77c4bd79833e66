// The two generations of a block type solved at the same inputs, and the
// comparison of what they share:
//   SolvedValues first, second;
//   ASSERT_TRUE(solvedValues(first, HostedBlock(made1, inputs)));
//   ASSERT_TRUE(solvedValues(second, HostedBlock(made2, inputs)));
//   EXPECT_TRUE(agreeWhereComputedAlike(first, second, 141));
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <map>
#include <string>

#include "tests/support/hosted_block.h"

namespace romtest {

// A variable of a solved block: its value and base unit.
struct SolvedValue {
  double value = 0.0;
  std::string unit;
};
using SolvedValues = std::map<std::string, SolvedValue>;

// Solves the block from init with the host's Newton and reads every
// variable by own name; a failure names the step.
::testing::AssertionResult solvedValues(SolvedValues& out, const HostedBlock& block);

// Every variable both generations have that they compute alike agrees to
// 1e-9 relative. Liquid volume flows (CUM/HR) agree once each is taken back
// to mass by its water density: 1000 kg/m3 in the first generation, 999.04
// in the second. The gas and coke volumes are computed otherwise (fuel-oil
// equivalents in the first generation, gravities in the second) and are left
// out. compared is the number of variables the comparison must cover.
::testing::AssertionResult agreeWhereComputedAlike(const SolvedValues& first, const SolvedValues& second,
                                                   std::size_t compared);

}  // namespace romtest
