// robase2: the pattern, residual, Jacobian and starting-value passes over the
// equation objects.
#include <algorithm>
#include <limits>
#include <vector>

#include "core/hook_guard.h"
#include "core/robase2.h"

void robase2::user_pat(rt_jac_t* jac, long long& status) {
  guardHook(status, [&] {
    const long long count = m_eqnMan.pattern(jac);
    const long long last = static_cast<long long>(m_firstNz) + count - 1;
    m_lastNz = static_cast<int>(std::min<long long>(last, std::numeric_limits<int>::max()));
    // Without the framework's Jacobian no non-zero was registered; a
    // refused non-zero leaves the pattern incomplete.
    if ((!jac && count > 0) || m_eqnMan.patternFailed()) status = 1;
  });
}

void robase2::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    initVarManVec();
    const OneBased<double> r = residualView();
    if (!r.valid()) {
      status = 1;
      return;
    }
    bool failed = false;
    for (const auto& entry : m_eqnMan.objects()) {
      roeqn2& eqn = *entry.second;
      // One object's failure does not keep the others from writing their rows.
      try {
        if (eqn.res(r) != 0 || !eqn.residualFinite(r)) failed = true;
      } catch (...) {
        failed = true;
      }
    }
    status = failed ? 1 : 0;
  });
}

void robase2::user_jac(long long& status) const {
  long long pass = 0;
  guardHook(pass, [&] {
    initVarManVec();
    const OneBased<double> bj = jacobianView();
    if (!bj.valid()) {
      pass = 1;
      return;
    }
    for (const auto& entry : m_eqnMan.objects()) {
      roeqn2& eqn = *entry.second;
      try {
        if (eqn.evalJac(bj) != 0 || !eqn.ownRangeFinite(bj)) pass = 1;
      } catch (...) {
        pass = 1;
      }
    }
  });
  // Added to the status as it was given: any failure, given or found, makes
  // a positive sum, reported as 1. A negative status given and nothing found
  // stays as it was; a failure found is never cancelled by it.
  if (pass != 0 || status > 0) status = 1;
}

void robase2::init(long long& status) const {
  long long failures = 0;
  try {
    initVarManVec();
    // The map walks by name, so a stable sort by key keeps ties in name order.
    std::vector<roeqn2*> order;
    for (const auto& entry : m_eqnMan.objects())
      if (entry.second->getOrderKey() != roeqn2::kNeverInit) order.push_back(entry.second.get());
    std::stable_sort(order.begin(), order.end(),
                     [](const roeqn2* a, const roeqn2* b) { return a->getOrderKey() < b->getOrderKey(); });
    for (roeqn2* eqn : order) {
      try {
        if (eqn->init() != 0) ++failures;
      } catch (...) {
        ++failures;
      }
    }
  } catch (...) {
    ++failures;
  }
  // Added to the status it was given; a negative status it was given is
  // already a failure and is kept, so nothing can cancel it.
  if (failures > 0 && status >= 0) {
    status = status > std::numeric_limits<long long>::max() - failures ? std::numeric_limits<long long>::max()
                                                                       : status + failures;
  }
}
