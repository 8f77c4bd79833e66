#include "host/newton.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/host/harness.h"

namespace romhost_test {
namespace {

using romhost::HostStatus;
using romhost::NewtonResult;
using romhost::NewtonSettings;

NewtonResult solve(Harness& h, NewtonSettings s = {}) {
  EXPECT_TRUE(h.setUp.ok()) << h.setUp.message;
  return romhost::solveNewton(h.system(), s);
}

TEST(Newton, ConvergesQuadraticallyToTheKnownSolution) {
  Harness h(standardSpec());
  const NewtonResult r = solve(h);
  ASSERT_EQ(r.status, HostStatus::kConverged) << r.message;
  EXPECT_NEAR(h.value(kX), 1.0, 1e-10);
  EXPECT_NEAR(h.value(kY), 2.0, 1e-10);
  EXPECT_NEAR(h.value(kZ), 3.0, 1e-10);
  EXPECT_LE(r.maxResidual, 1e-8);
  EXPECT_EQ(r.iterations, static_cast<int>(r.history.size()) - 1);
  // Once close, each residual is within a constant of the square of the one before.
  int quadraticSteps = 0;
  for (std::size_t k = 0; k + 1 < r.history.size(); ++k) {
    const double a = r.history[k].maxResidual, b = r.history[k + 1].maxResidual;
    if (a < 1e-1 && b > 1e-13) {
      EXPECT_LE(b, 10.0 * a * a) << "iteration " << k + 1;
      ++quadraticSteps;
    }
  }
  EXPECT_GE(quadraticSteps, 2);
  // The pattern never changes, so the LU analysed it once.
  EXPECT_EQ(r.patternAnalyses, 1);
}

TEST(Newton, UnknownsAreTheFreeRegisteredVariablesWithHoles) {
  Harness h(standardSpec());
  ASSERT_TRUE(h.setUp.ok());
  const auto& sys = h.system();
  // Five variables registered over own indices 1..6 (5 is a hole), two of them fixed.
  EXPECT_EQ(sys.variables().size(), 5u);
  EXPECT_EQ(sys.unknowns(),
            (std::vector<int>{h.testBlock->varNumber(kX), h.testBlock->varNumber(kY), h.testBlock->varNumber(kZ)}));
  EXPECT_EQ(sys.equations().size(), 3u);
}

TEST(Newton, DuplicateNonZerosAreAdded) {
  Harness plain(standardSpec());
  TestBlockSpec spec = standardSpec();
  spec.duplicateEntries = true;
  Harness dup(std::move(spec));
  const NewtonResult a = solve(plain);
  const NewtonResult b = solve(dup);
  ASSERT_EQ(b.status, HostStatus::kConverged) << b.message;
  ASSERT_EQ(a.history.size(), b.history.size());
  for (std::size_t k = 0; k < a.history.size(); ++k)
    EXPECT_NEAR(a.history[k].maxResidual, b.history[k].maxResidual, 1e-12 + 1e-9 * a.history[k].maxResidual);
}

TEST(Newton, NonSquareSystemReportsTheCounts) {
  TestBlockSpec spec = standardSpec();
  spec.variables.push_back({"W", 7, 1.0, false});
  Harness h(std::move(spec));
  const NewtonResult r = solve(h);
  EXPECT_EQ(r.status, HostStatus::kNotSquare);
  EXPECT_NE(r.message.find("4 free variables, 3 equations"), std::string::npos) << r.message;
  EXPECT_EQ(h.testBlock->resCalls(), 0);
}

TEST(Newton, SingularJacobianIsReported) {
  TestBlockSpec spec = standardSpec();
  spec.equations[2] = spec.equations[0];  // two equal rows
  spec.equations[2].name = "E3";
  Harness h(std::move(spec));
  const NewtonResult r = solve(h);
  EXPECT_EQ(r.status, HostStatus::kSingularJacobian) << r.message;
  EXPECT_NE(r.message.find("singular Jacobian"), std::string::npos);
}

TEST(Newton, StepsStayInsideTheBoundsOfFreeVariablesOnly) {
  // From Z = 0.5 the iterates overshoot the solution Z = 3 beyond 3.5.
  TestBlockSpec unbounded = standardSpec();
  unbounded.variables[4].value = 0.5;
  Harness free(unbounded);
  ASSERT_EQ(solve(free).status, HostStatus::kConverged);
  ASSERT_GT(free.testBlock->maxSeen(kZ), 3.5);

  TestBlockSpec spec = unbounded;
  spec.variables[4].upper = 3.4;  // Z
  spec.variables[4].lower = 0.1;
  spec.variables[0].lower = 0.0;  // A: fixed at 2, outside its own bounds
  spec.variables[0].upper = 1.0;
  Harness h(std::move(spec));
  const NewtonResult r = solve(h);
  ASSERT_EQ(r.status, HostStatus::kConverged) << r.message;
  EXPECT_LE(h.testBlock->maxSeen(kZ), 3.4);
  EXPECT_GE(h.testBlock->minSeen(kZ), 0.1);
  EXPECT_EQ(h.testBlock->minSeen(kA), 2.0);
  EXPECT_EQ(h.testBlock->maxSeen(kA), 2.0);
  EXPECT_NEAR(h.value(kX), 1.0, 1e-10);  // the solution of A = 2, not of a clipped A
}

TEST(Newton, ValuesAreReadAgainAfterEachResidualPass) {
  // One equation Z - 3; the block moves Z from 10 to 2 on its first pass.
  TestBlockSpec spec;
  spec.variables = {{"Z", 1, 10.0, false}};
  spec.equations = {{"EZ", {1}, [](const Point& p) { return p[1] - 3.0; },
                     [](const Point&) { return std::vector<double>{1.0}; }}};
  spec.restartVar = 1;
  spec.restartValue = 2.0;
  Harness h(std::move(spec));
  const NewtonResult r = solve(h);
  ASSERT_EQ(r.status, HostStatus::kConverged);
  // The step of +1 went from the moved value 2, not from 10.
  ASSERT_GE(h.testBlock->history(1).size(), 2u);
  EXPECT_EQ(h.testBlock->history(1)[1], 3.0);
  EXPECT_EQ(r.iterations, 1);
}

struct HookFault {
  Hook hook;
  int call;
  HostStatus expected;
};

void PrintTo(const HookFault& f, std::ostream* os) {
  *os << "hook " << static_cast<int>(f.hook) << " call " << f.call;
}

class NewtonHookFault : public ::testing::TestWithParam<HookFault> {};

TEST_P(NewtonHookFault, AnExceptionIsAReportedFailure) {
  TestBlockSpec spec = standardSpec();
  spec.throwIn = GetParam().hook;
  spec.throwCall = GetParam().call;
  Harness h(std::move(spec));
  const NewtonResult r = solve(h);
  EXPECT_EQ(r.status, GetParam().expected);
  EXPECT_NE(r.message.find("threw: planted fault"), std::string::npos) << r.message;
}

INSTANTIATE_TEST_SUITE_P(Hooks, NewtonHookFault,
                         ::testing::Values(HookFault{Hook::kUserRes, 1, HostStatus::kHookFailed},
                                           HookFault{Hook::kUserRes, 3, HostStatus::kHookFailed},
                                           HookFault{Hook::kUserJac, 1, HostStatus::kHookFailed},
                                           HookFault{Hook::kUserJac, 2, HostStatus::kHookFailed}));

TEST(Newton, NonFiniteResidualWithStatusZeroIsCaught) {
  for (const bool flagged : {true, false}) {
    TestBlockSpec spec = standardSpec();
    spec.equations[0].f = [](const Point& p) { return std::sqrt(p[kX] - 5.0); };  // NaN at the start
    spec.flagNonFinite = flagged;
    Harness h(std::move(spec));
    const NewtonResult r = solve(h);
    EXPECT_EQ(r.status, flagged ? HostStatus::kHookFailed : HostStatus::kNonFinite) << r.message;
    EXPECT_FALSE(r.converged());
  }
}

TEST(Newton, AFailedTrialPointLeavesTheBlockAtTheLastAcceptedPoint) {
  // sqrt(X) - 1 from X = 9: the full step lands on X = -3, where the residual
  // is NaN. The values reported are those of X = 9, with its residual.
  for (const bool flagged : {true, false}) {
    TestBlockSpec spec;
    spec.variables = {{"X", 1, 9.0, false}};
    spec.equations = {{"EX", {1}, [](const Point& p) { return std::sqrt(p[1]) - 1.0; },
                       [](const Point& p) { return std::vector<double>{0.5 / std::sqrt(p[1])}; }}};
    spec.flagNonFinite = flagged;
    Harness h(std::move(spec));
    const NewtonResult r = solve(h);
    EXPECT_EQ(r.status, flagged ? HostStatus::kHookFailed : HostStatus::kNonFinite) << r.message;
    EXPECT_EQ(r.message.rfind("Iteration 1: user_res", 0), 0u) << r.message;
    EXPECT_EQ(h.value(1), 9.0);
    EXPECT_EQ(r.maxResidual, 2.0);
    ASSERT_EQ(r.worst.size(), 1u);
    EXPECT_EQ(r.worst[0].residual, 2.0);
  }
}

TEST(Newton, IterationLimitListsTheLargestResidualsByName) {
  Harness h(standardSpec());
  NewtonSettings s;
  s.maxIterations = 1;
  s.worstCount = 2;
  const NewtonResult r = solve(h, s);
  EXPECT_EQ(r.status, HostStatus::kNotConverged);
  EXPECT_EQ(r.iterations, 1);
  ASSERT_EQ(r.worst.size(), 2u);
  EXPECT_GE(std::fabs(r.worst[0].residual), std::fabs(r.worst[1].residual));
  EXPECT_EQ(r.worst[0].equation.rfind("B1.E", 0), 0u);
}

TEST(Newton, NoDecreasePossibleStallsTheLineSearch) {
  // X^2 + 1 has no root: the residual norm cannot fall below 1.
  TestBlockSpec spec;
  spec.variables = {{"X", 1, 0.7, false}};
  spec.equations = {{"EX", {1}, [](const Point& p) { return p[1] * p[1] + 1.0; },
                     [](const Point& p) { return std::vector<double>{2.0 * p[1]}; }}};
  Harness h(std::move(spec));
  NewtonSettings s;
  s.maxIterations = 200;
  const NewtonResult r = solve(h, s);
  EXPECT_FALSE(r.converged());
  EXPECT_TRUE(r.status == HostStatus::kLineSearchStalled || r.status == HostStatus::kSingularJacobian)
      << romhost::hostStatusName(r.status);
  EXPECT_GE(r.maxResidual, 1.0);
}

}  // namespace
}  // namespace romhost_test
