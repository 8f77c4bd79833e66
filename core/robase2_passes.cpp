// robase2: the pattern, residual, Jacobian and starting-value passes over the
// equation objects.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
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
    // By key, ties in name order: (key, position by name) pairs, kept
    // between calls so that a repeated start allocates nothing.
    const std::vector<roeqn2*>& byName = m_eqnMan.inNameOrder();
    std::vector<std::pair<std::uint32_t, std::size_t>>& order = m_initOrder;
    order.clear();
    for (std::size_t i = 0; i < byName.size(); ++i)
      if (const std::uint32_t key = byName[i]->getOrderKey(); key != roeqn2::kNeverInit) order.emplace_back(key, i);
    std::sort(order.begin(), order.end());
    for (const auto& [key, i] : order) {
      try {
        if (byName[i]->init() != 0) ++failures;
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
