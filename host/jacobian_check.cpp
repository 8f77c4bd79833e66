#include "host/jacobian_check.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace romhost {

namespace {

// How one column is differenced: a central difference where the bounds leave
// room on both sides, else a one-sided second-order difference into the room
// there is, so the block is not evaluated outside its variables' bounds.
struct Stencil {
  enum Kind { kCentral, kForward, kBackward } kind = kCentral;
  double h = 0.0;
};

Stencil chooseStencil(double x, double lo, double hi, double relativeStep) {
  const double h0 = relativeStep * std::max(1.0, std::fabs(x));
  const bool inside = lo <= x && x <= hi;
  if (!inside) return {Stencil::kCentral, h0};  // no bound to respect at this point
  const double up = hi - x;
  const double down = x - lo;
  if (up >= h0 && down >= h0) return {Stencil::kCentral, h0};
  // Shrinking the step a little costs little accuracy; one-sided is the last resort.
  constexpr double kShrinkLimit = 1e-2;
  if (std::min(up, down) >= kShrinkLimit * h0) return {Stencil::kCentral, std::min(up, down)};
  if (std::max(up, down) / 2 < kShrinkLimit * h0) return {Stencil::kCentral, h0};  // pinned: no room
  if (up >= down) return {Stencil::kForward, std::min(h0, up / 2)};
  return {Stencil::kBackward, std::min(h0, down / 2)};
}

double relativeError(double analytic, double fd) {
  return std::fabs(analytic - fd) / std::max(1.0, std::fabs(fd));
}

}  // namespace

CheckResult checkJacobian(BlockSystem& sys, const CheckSettings& s) {
  CheckResult out;
  out.threshold = s.threshold;
  const std::vector<int>& vars = sys.variables();
  const std::size_t m = sys.equations().size();

  std::vector<double> r0;
  HookOutcome h = sys.residuals(r0);
  if (!h.ok()) {
    out.status = HostStatus::kHookFailed;
    out.message = "At the check point: " + h.describe("user_res");
    return out;
  }
  // The point the block settled at (a block may move a variable while it evaluates).
  const std::vector<double> base = sys.values(vars);
  h = sys.jacobian();
  if (!h.ok()) {
    out.status = HostStatus::kHookFailed;
    out.message = "At the check point: " + h.describe("user_jac");
    return out;
  }

  // Analytic entries by column and row; a pair registered twice is summed, as
  // the framework adds every registered non-zero.
  std::map<int, std::map<int, double>> analytic;
  for (const BlockSystem::NonZero& e : sys.nonZeros())
    analytic[e.var][sys.equationIndex(e.eqn)] += sys.jacobianValue(e.nz);

  std::vector<CheckEntry> entries;
  std::vector<double> rp, rq, fd(m);
  for (std::size_t k = 0; k < vars.size(); ++k) {
    const int v = vars[k];
    const Stencil st = chooseStencil(base[k], sys.lower(v), sys.upper(v), s.relativeStep);
    const double dir = st.kind == Stencil::kBackward ? -1.0 : 1.0;
    // Central: x+h and x-h. One-sided: x+-h and x+-2h.
    const double d1 = dir * st.h;
    const double d2 = st.kind == Stencil::kCentral ? -st.h : 2.0 * dir * st.h;

    auto evalAt = [&](double delta, std::vector<double>& r) {
      sys.setValues(vars, base);
      sys.setValue(v, base[k] + delta);
      return sys.residuals(r);
    };
    h = evalAt(d1, rp);
    if (h.ok()) h = evalAt(d2, rq);
    sys.setValues(vars, base);
    if (!h.ok()) {
      out.status = HostStatus::kHookFailed;
      out.message = std::string("Perturbing ") + sys.variableName(v) + ": " + h.describe("user_res");
      sys.residuals(r0);  // leave the block evaluated at its point
      return out;
    }
    for (std::size_t i = 0; i < m; ++i) {
      if (st.kind == Stencil::kCentral)
        fd[i] = (rp[i] - rq[i]) / (2.0 * st.h);
      else
        fd[i] = dir * (-3.0 * r0[i] + 4.0 * rp[i] - rq[i]) / (2.0 * st.h);
    }

    const auto col = analytic.find(v);
    const bool fixed = sys.isFixed(v);
    for (std::size_t i = 0; i < m; ++i) {
      const char* eqn = sys.equationName(sys.equations()[i]);
      if (col != analytic.end()) {
        if (const auto it = col->second.find(static_cast<int>(i)); it != col->second.end()) {
          const double err = relativeError(it->second, fd[i]);
          entries.push_back({eqn, sys.variableName(v), it->second, fd[i], err, fixed});
          ++out.checked;
          // NaN compares false: count it as the worst error there is.
          if (!(err <= out.maxRelError)) out.maxRelError = std::isnan(err) ? INFINITY : err;
          continue;
        }
      }
      const double err = relativeError(0.0, fd[i]);
      if (!(err <= s.threshold)) out.unregistered.push_back({eqn, sys.variableName(v), 0.0, fd[i], err, fixed});
    }
  }

  sys.setValues(vars, base);
  h = sys.residuals(r0);  // leave the block evaluated at its point
  if (!h.ok()) {
    out.status = HostStatus::kHookFailed;
    out.message = "Back at the check point: " + h.describe("user_res");
  }

  auto larger = [](const CheckEntry& a, const CheckEntry& b) {
    const double ea = std::isnan(a.relError) ? INFINITY : a.relError;
    const double eb = std::isnan(b.relError) ? INFINITY : b.relError;
    return ea > eb;
  };
  std::stable_sort(entries.begin(), entries.end(), larger);
  if (entries.size() > static_cast<std::size_t>(std::max(s.worstCount, 0)))
    entries.resize(static_cast<std::size_t>(std::max(s.worstCount, 0)));
  out.worst = std::move(entries);
  std::stable_sort(out.unregistered.begin(), out.unregistered.end(), larger);
  return out;
}

}  // namespace romhost
