#include "host/newton.h"

#include <Eigen/SparseCore>
#include <Eigen/SparseLU>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <numeric>

namespace romhost {

namespace {

using SparseMatrix = Eigen::SparseMatrix<double, Eigen::ColMajor, int>;

double maxAbs(const std::vector<double>& r) {
  double m = 0.0;
  for (double v : r) m = std::max(m, std::fabs(v));
  return m;
}

double norm2(const std::vector<double>& r) {
  double s = 0.0;
  for (double v : r) s += v * v;
  return std::sqrt(s);
}

// The sparse LU of the Newton matrix. The pattern analysis (column ordering and
// elimination tree) is done once and kept while the assembled structure stays
// the same; only the numerical factorisation runs every iteration.
class NewtonFactor {
 public:
  bool factor(const SparseMatrix& j, std::string& error) {
    if (!analysed_ || !samePattern(j)) {
      lu_.analyzePattern(j);
      outer_.assign(j.outerIndexPtr(), j.outerIndexPtr() + j.outerSize() + 1);
      inner_.assign(j.innerIndexPtr(), j.innerIndexPtr() + j.nonZeros());
      analysed_ = true;
      ++analyses_;
    }
    lu_.factorize(j);
    if (lu_.info() != Eigen::Success) {
      error = lu_.lastErrorMessage();
      return false;
    }
    return true;
  }
  Eigen::VectorXd solve(const Eigen::VectorXd& b) { return lu_.solve(b); }
  int analyses() const { return analyses_; }

 private:
  bool samePattern(const SparseMatrix& j) const {
    return outer_.size() == static_cast<std::size_t>(j.outerSize()) + 1 &&
           inner_.size() == static_cast<std::size_t>(j.nonZeros()) &&
           std::equal(outer_.begin(), outer_.end(), j.outerIndexPtr()) &&
           std::equal(inner_.begin(), inner_.end(), j.innerIndexPtr());
  }

  Eigen::SparseLU<SparseMatrix, Eigen::COLAMDOrdering<int>> lu_;
  std::vector<int> outer_, inner_;
  bool analysed_ = false;
  int analyses_ = 0;
};

// Rows are the block's equations, columns its free variables. Every registered
// non-zero is added at its place, so a pair registered twice counts twice; the
// partials the blocks write for fixed variables are left out.
SparseMatrix assemble(const BlockSystem& sys) {
  std::vector<Eigen::Triplet<double, int>> entries;
  entries.reserve(sys.nonZeros().size());
  for (const BlockSystem::NonZero& e : sys.nonZeros()) {
    const int col = sys.unknownIndex(e.var);
    if (col < 0) continue;
    entries.emplace_back(sys.equationIndex(e.eqn), col, sys.jacobianValue(e.nz));
  }
  const auto n = static_cast<Eigen::Index>(sys.unknowns().size());
  SparseMatrix j(static_cast<Eigen::Index>(sys.equations().size()), n);
  j.setFromTriplets(entries.begin(), entries.end());  // sums duplicates
  j.makeCompressed();
  return j;
}

HostStatus statusOfHook(const HookOutcome& h) {
  return h.nonFinite && !h.threw ? HostStatus::kNonFinite : HostStatus::kHookFailed;
}

std::string fmt(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

}  // namespace

std::vector<ResidualEntry> largestResiduals(const BlockSystem& system, const std::vector<double>& r,
                                            int count) {
  std::vector<std::size_t> order(r.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const std::size_t k = std::min(order.size(), static_cast<std::size_t>(std::max(count, 0)));
  // NaN sorts first: it is the worst residual there is.
  auto key = [&r](std::size_t i) {
    return std::isnan(r[i]) ? std::numeric_limits<double>::infinity() : std::fabs(r[i]);
  };
  std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(k), order.end(),
                    [&](std::size_t a, std::size_t b) { return key(a) > key(b); });
  std::vector<ResidualEntry> out;
  for (std::size_t i = 0; i < k; ++i)
    out.push_back({system.equationName(system.equations()[order[i]]), r[order[i]]});
  return out;
}

NewtonResult solveNewton(BlockSystem& sys, const NewtonSettings& s) {
  NewtonResult res;
  res.maxResidual = std::numeric_limits<double>::quiet_NaN();
  const std::vector<int>& unk = sys.unknowns();
  const std::size_t n = unk.size();
  res.unknowns = static_cast<int>(n);
  res.equations = static_cast<int>(sys.equations().size());
  if (sys.unknowns().size() != sys.equations().size()) {
    res.status = HostStatus::kNotSquare;
    res.message = "The system is not square: " + std::to_string(res.unknowns) + " free variables, " +
                  std::to_string(res.equations) + " equations";
    return res;
  }

  // Bounds of the free variables only: fixed variables keep whatever value
  // they were given, inside their bounds or not.
  std::vector<double> lo(n), hi(n);
  for (std::size_t i = 0; i < n; ++i) {
    lo[i] = sys.lower(unk[i]);
    hi[i] = sys.upper(unk[i]);
  }
  auto clip = [&](std::size_t i, double v) {
    if (!(lo[i] <= hi[i])) return v;  // inconsistent bounds: leave the value alone
    return std::clamp(v, lo[i], hi[i]);
  };

  auto fail = [&](HostStatus st, std::string text, const std::vector<double>& r) {
    res.status = st;
    res.message = std::move(text);
    res.worst = largestResiduals(sys, r, s.worstCount);
    return res;
  };
  auto record = [&](int it, double rmax, double rn, double lambda) {
    NewtonIterate step{it, rmax, rn, lambda};
    res.history.push_back(step);
    if (s.onIterate) s.onIterate(step);
  };

  std::vector<double> r;
  HookOutcome h = sys.residuals(r);
  if (!h.ok()) return fail(statusOfHook(h), "At the start point: " + h.describe("user_res"), r);
  // Read the unknowns after the residual pass: a block may move a variable
  // while it evaluates (a restart of a correlation that left its domain).
  std::vector<double> x = sys.values(unk);
  double rmax = maxAbs(r);
  double rn = norm2(r);
  res.maxResidual = rmax;
  record(0, rmax, rn, 0.0);

  NewtonFactor lu;
  std::vector<double> trial(n), rt;
  for (int it = 0;; ++it) {
    res.iterations = it;
    res.patternAnalyses = lu.analyses();
    if (rmax <= s.tolerance) {
      res.status = HostStatus::kConverged;
      res.message = "Converged in " + std::to_string(it) + " iterations, max |residual| " + fmt(rmax);
      return res;
    }
    if (it >= s.maxIterations)
      return fail(HostStatus::kNotConverged,
                  "Not converged after " + std::to_string(it) + " iterations: max |residual| " + fmt(rmax) +
                      " above the tolerance " + fmt(s.tolerance),
                  r);
    const std::string at = "Iteration " + std::to_string(it + 1) + ": ";

    h = sys.jacobian();
    if (!h.ok()) return fail(statusOfHook(h), at + h.describe("user_jac"), r);
    const SparseMatrix j = assemble(sys);
    std::string why;
    const bool factored = lu.factor(j, why);
    res.patternAnalyses = lu.analyses();
    if (!factored) return fail(HostStatus::kSingularJacobian, at + "singular Jacobian (" + why + ")", r);
    Eigen::VectorXd b(static_cast<Eigen::Index>(n));
    for (std::size_t i = 0; i < n; ++i) b[static_cast<Eigen::Index>(i)] = -r[i];
    const Eigen::VectorXd dx = lu.solve(b);
    if (!dx.allFinite())
      return fail(HostStatus::kSingularJacobian, at + "singular Jacobian (the Newton step is not finite)", r);

    // Backtracking on ||r||_2 with the sufficient-decrease test.
    double lambda = 1.0;
    bool accepted = false;
    while (lambda >= s.minStepLength) {
      for (std::size_t i = 0; i < n; ++i) trial[i] = clip(i, x[i] + lambda * dx[static_cast<Eigen::Index>(i)]);
      sys.setValues(unk, trial);
      h = sys.residuals(rt);
      if (!h.ok()) {
        // Back to the last accepted point, whose residuals the result reports:
        // the failed trial point is not where the solve stands.
        sys.setValues(unk, x);
        return fail(statusOfHook(h), at + h.describe("user_res"), r);
      }
      if (norm2(rt) <= (1.0 - s.sufficientDecrease * lambda) * rn) {
        accepted = true;
        break;
      }
      lambda *= 0.5;
    }
    if (!accepted) {
      sys.setValues(unk, x);  // leave the block at the best point found
      return fail(HostStatus::kLineSearchStalled,
                  at + "no step length reduced the residual norm (max |residual| " + fmt(rmax) + ")", r);
    }
    x = sys.values(unk);
    r.swap(rt);
    rmax = maxAbs(r);
    rn = norm2(r);
    res.maxResidual = rmax;
    record(it + 1, rmax, rn, lambda);
  }
}

}  // namespace romhost
