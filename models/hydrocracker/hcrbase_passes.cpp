// hcrbase: the framework hooks, each a pass over the equation objects.
#include <algorithm>
#include <limits>

#include "core/hook_guard.h"
#include "models/hydrocracker/hcrbase.h"

void hcrbase::user_dim(int& nvar, int& neqn, int& nnz, long long& status) {
  status = 0;
  guardHook(status, [&] {
    constexpr long long kMax = std::numeric_limits<int>::max();
    const long long variables = std::min<long long>(static_cast<long long>(m_varMan.size()), kMax);
    const long long equations = std::min<long long>(static_cast<long long>(m_eqnMan.size()), kMax);
    nvar = static_cast<int>(variables);
    neqn = static_cast<int>(equations);
    nnz = static_cast<int>(std::min(variables * equations, kMax));  // at most (2^31 - 1)^2: fits in 64 bits
  });
}

void hcrbase::user_ini(long long& status) {
  status = 0;
  guardHook(status, [&] {
    initVarManVec();
    runUserIniSteps(status);
  });
}

void hcrbase::user_pat(rt_jac_t* jac, long long& status) {
  guardHook(status, [&] {
    const long long count = m_eqnMan.declarePattern(jac);
    const long long last = static_cast<long long>(m_firstNz) + count - 1;
    m_lastNz = static_cast<int>(std::min<long long>(last, std::numeric_limits<int>::max()));
    // Without the framework's Jacobian no non-zero was registered; a
    // refused non-zero leaves the pattern incomplete.
    if ((!jac && count > 0) || m_eqnMan.patternFailed()) status = 1;
  });
}

void hcrbase::user_res(long long& status) const {
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
      hcreqn& eqn = *entry.second;
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

void hcrbase::user_jac(long long& status) const {
  long long pass = 0;
  guardHook(pass, [&] {
    initVarManVec();
    const OneBased<double> bj = jacobianView();
    if (!bj.valid()) {
      pass = 1;
      return;
    }
    for (const auto& entry : m_eqnMan.objects()) {
      hcreqn& eqn = *entry.second;
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

void hcrbase::init(long long& status) const {
  bool failed = false;
  try {
    initVarManVec();
    for (const auto& entry : m_eqnMan.objects()) {
      try {
        if (entry.second->init() != 0) failed = true;
      } catch (...) {
        failed = true;
      }
    }
  } catch (...) {
    failed = true;
  }
  if (failed && status == 0) status = 1;
}
