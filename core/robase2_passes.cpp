// robase2: the pattern, residual, Jacobian and starting-value passes over the
// equation objects.
#include <algorithm>
#include <limits>
#include <vector>

#include "core/hook_guard.h"
#include "core/object_passes.h"
#include "core/robase2.h"

void robase2::user_pat(rt_jac_t* jac, long long& status) {
  guardHook(status, [&] {
    const long long count = m_eqnMan.pattern(jac);
    endObjectPattern(jac, count, m_eqnMan.patternFailed(), status);
  });
}

void robase2::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    initVarManVec();
    status = objectpass::residuals(m_eqnMan.inNameOrder(), residualView());
  });
}

void robase2::user_jac(long long& status) const {
  long long pass = 0;
  guardHook(pass, [&] {
    initVarManVec();
    pass = objectpass::jacobian(m_eqnMan.inNameOrder(), jacobianView());
  });
  objectpass::addJacobianPass(status, pass);
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
