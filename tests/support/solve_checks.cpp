#include "tests/support/solve_checks.h"

#include <map>
#include <string>

#include "host/block_session.h"
#include "host/jacobian_check.h"
#include "host/newton.h"

namespace romtest {

::testing::AssertionResult exactJacobian(romhost::BlockSystem& system, int entries) {
  const romhost::CheckResult check = romhost::checkJacobian(system);
  const int expected = entries == kEveryNonZero ? static_cast<int>(system.nonZeros().size()) : entries;
  if (check.passed() && check.maxRelError < 1e-6 && (expected == kAnyCount || check.checked == expected))
    return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "derivative check: " << check.message << "; max relative error " << check.maxRelError << " over "
          << check.checked << " entries";
  if (expected != kAnyCount) failure << " (" << expected << " expected)";
  if (!check.worst.empty())
    failure << "; worst " << check.worst[0].equation << " / " << check.worst[0].variable << ": analytic "
            << check.worst[0].analytic << ", differences " << check.worst[0].fd;
  if (!check.unregistered.empty())
    failure << "; unregistered " << check.unregistered[0].equation << " / " << check.unregistered[0].variable;
  return failure;
}

::testing::AssertionResult exactJacobianMoved(const HostedBlock& block, double factor, int entries) {
  const std::map<std::string, double> before = block.values();
  for (const auto& [name, v] : before)
    if (!block.fixed(name)) block.value(name) = v * factor;
  ::testing::AssertionResult checked = exactJacobian(block.system(), entries);
  for (const auto& [name, v] : before) block.value(name) = v;
  return checked;
}

::testing::AssertionResult solves(romhost::BlockSystem& system, int maxIterations) {
  const romhost::NewtonResult solved = romhost::solveNewton(system);
  if (!solved.converged()) return ::testing::AssertionFailure() << "Newton: " << solved.message;
  if (maxIterations != kAnyCount && solved.iterations > maxIterations)
    return ::testing::AssertionFailure() << "Newton took " << solved.iterations << " iterations, at most "
                                         << maxIterations << " expected";
  return ::testing::AssertionSuccess() << "converged in " << solved.iterations << " iterations";
}

::testing::AssertionResult jacobianWaitsForPattern(QivEOBlock* made, const Values& values) {
  constexpr double kSentinel = 12345.0;
  romhost::BlockSession session(made);
  if (const romhost::StepResult step = session.dimension(); !step.ok())
    return ::testing::AssertionFailure() << "user_dim: " << step.message;
  if (const romhost::StepResult step = session.initialize(); !step.ok())
    return ::testing::AssertionFailure() << "user_ini: " << step.message;
  for (const auto& [name, v] : values)
    if (const romhost::StepResult step = session.setValue(name, v); !step.ok())
      return ::testing::AssertionFailure() << name << ": " << step.message;
  double* bj = rtojac_vec_bj(session.system().jac());
  const int capacity = rtojac_capacity(session.system().jac());
  for (int i = 0; i < capacity; ++i) bj[i] = kSentinel;
  long long status = 0;
  session.impl()->user_jac(status);
  if (status != 1) return ::testing::AssertionFailure() << "user_jac without a pattern returned " << status;
  for (int i = 0; i < capacity; ++i)
    if (bj[i] != kSentinel) return ::testing::AssertionFailure() << "non-zero " << i + 1 << " written without a pattern";
  if (const romhost::StepResult step = session.pattern(); !step.ok())
    return ::testing::AssertionFailure() << "pattern: " << step.message;
  session.impl()->user_jac(status);
  if (status != 0) return ::testing::AssertionFailure() << "user_jac after the pattern returned " << status;
  return ::testing::AssertionSuccess();
}

}  // namespace romtest
