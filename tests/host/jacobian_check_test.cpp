#include "host/jacobian_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "host/newton.h"
#include "tests/host/harness.h"

namespace romhost_test {
namespace {

using romhost::CheckResult;
using romhost::CheckSettings;
using romhost::HostStatus;

CheckResult check(Harness& h, CheckSettings s = {}) {
  EXPECT_TRUE(h.setUp.ok()) << h.setUp.message;
  return romhost::checkJacobian(h.system(), s);
}

TEST(JacobianCheck, ExactDerivativesPassAtTheStartAndAtTheSolution) {
  Harness h(standardSpec());
  const CheckResult start = check(h);
  EXPECT_TRUE(start.passed()) << start.message;
  EXPECT_EQ(start.checked, 10);  // every registered entry, fixed columns included
  EXPECT_LT(start.maxRelError, 1e-6);
  EXPECT_TRUE(start.unregistered.empty());
  ASSERT_EQ(romhost::solveNewton(h.system()).status, HostStatus::kConverged);
  const CheckResult solution = check(h);
  EXPECT_TRUE(solution.passed());
  EXPECT_LT(solution.maxRelError, 1e-6);
}

TEST(JacobianCheck, LeavesTheBlockAtItsPoint) {
  Harness h(standardSpec());
  const auto& vars = h.system().variables();
  const std::vector<double> before = h.system().values(vars);
  check(h);
  EXPECT_EQ(h.system().values(vars), before);
}

TEST(JacobianCheck, DuplicateNonZerosAreComparedAsTheirSum) {
  TestBlockSpec spec = standardSpec();
  spec.duplicateEntries = true;
  Harness h(std::move(spec));
  const CheckResult r = check(h);
  EXPECT_TRUE(r.passed());
  EXPECT_EQ(r.checked, 10);
}

// An entry of the Jacobian and the names the check must give it.
struct Entry {
  int eqn, var;
  const char* equation;
  const char* variable;
  bool fixedColumn;
};

void PrintTo(const Entry& e, std::ostream* os) { *os << e.equation << '/' << e.variable; }

class JacobianCheckEntry : public ::testing::TestWithParam<Entry> {};

TEST_P(JacobianCheckEntry, SmallErrorIsFlaggedWithItsNames) {
  const Entry e = GetParam();
  TestBlockSpec spec = standardSpec();
  spec.jacErrorEqn = e.eqn;
  spec.jacErrorVar = e.var;
  spec.jacErrorRelative = 1e-4;
  Harness h(std::move(spec));
  const CheckResult r = check(h);
  EXPECT_FALSE(r.passed());
  ASSERT_FALSE(r.worst.empty());
  EXPECT_EQ(r.worst[0].equation, e.equation);
  EXPECT_EQ(r.worst[0].variable, e.variable);
  EXPECT_EQ(r.worst[0].fixedColumn, e.fixedColumn);
  EXPECT_NEAR(r.worst[0].analytic, r.worst[0].fd * (1.0 + 1e-4), 1e-8 * std::fabs(r.worst[0].fd));
  EXPECT_NEAR(r.maxRelError, 1e-4 * std::fabs(r.worst[0].fd) / std::max(1.0, std::fabs(r.worst[0].fd)), 1e-7);
  EXPECT_LT(r.worst[1].relError, 1e-6);  // only the planted entry is wrong

  CheckSettings loose;
  loose.threshold = 1e-3;
  EXPECT_TRUE(check(h, loose).passed());
}

TEST_P(JacobianCheckEntry, MissingPatternEntryIsReported) {
  const Entry e = GetParam();
  TestBlockSpec spec = standardSpec();
  spec.missingEqn = e.eqn;
  spec.missingVar = e.var;
  Harness h(std::move(spec));
  const CheckResult r = check(h);
  EXPECT_FALSE(r.passed());
  EXPECT_EQ(r.checked, 9);
  ASSERT_EQ(r.unregistered.size(), 1u);
  EXPECT_EQ(r.unregistered[0].equation, e.equation);
  EXPECT_EQ(r.unregistered[0].variable, e.variable);
  EXPECT_EQ(r.unregistered[0].fixedColumn, e.fixedColumn);
  EXPECT_EQ(r.unregistered[0].analytic, 0.0);
}

// At the start point X = 1.5, Y = 1.5, Z = 2.5 every one of these is at least 1 in size.
INSTANTIATE_TEST_SUITE_P(Entries, JacobianCheckEntry,
                         ::testing::Values(Entry{1, kX, "B1.E1", "B1.X", false},
                                           Entry{1, kA, "B1.E1", "B1.A", true},
                                           Entry{2, kB, "B1.E2", "B1.B", true},
                                           Entry{2, kZ, "B1.E2", "B1.Z", false},
                                           Entry{3, kY, "B1.E3", "B1.Y", false}));

TEST(JacobianCheck, StaysInsideTheBoundsOfAVariableAtItsBound) {
  TestBlockSpec spec = standardSpec();
  spec.variables[4].upper = 2.5;  // Z starts at its upper bound
  spec.variables[2].lower = 1.5;  // X starts at its lower bound
  Harness h(std::move(spec));
  const CheckResult r = check(h);
  EXPECT_TRUE(r.passed()) << r.maxRelError;
  EXPECT_LE(h.testBlock->maxSeen(kZ), 2.5);
  EXPECT_GE(h.testBlock->minSeen(kX), 1.5);
}

TEST(JacobianCheck, HookExceptionIsAReportedFailure) {
  for (const Hook hook : {Hook::kUserRes, Hook::kUserJac}) {
    TestBlockSpec spec = standardSpec();
    spec.throwIn = hook;
    spec.throwCall = hook == Hook::kUserRes ? 4 : 1;
    Harness h(std::move(spec));
    const CheckResult r = check(h);
    EXPECT_EQ(r.status, HostStatus::kHookFailed);
    EXPECT_FALSE(r.passed());
    EXPECT_NE(r.message.find("planted fault"), std::string::npos) << r.message;
  }
}

}  // namespace
}  // namespace romhost_test
