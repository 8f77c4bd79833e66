// hcrbase: the framework hooks, each a pass over the equation objects.
#include <algorithm>
#include <limits>

#include "core/hook_guard.h"
#include "core/object_passes.h"
#include "models/hydrocracker/hcrbase.h"

void hcrbase::user_dim(int& nvar, int& neqn, int& nnz, long long& status) {
  status = 0;
  guardHook(status, [&] { objectpass::sizes(m_varMan.size(), m_eqnMan.size(), nvar, neqn, nnz); });
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
    endObjectPattern(jac, count, m_eqnMan.patternFailed(), status);
  });
}

void hcrbase::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    initVarManVec();
    status = objectpass::residuals(m_eqnMan.inNameOrder(), residualView());
  });
}

void hcrbase::user_jac(long long& status) const {
  long long pass = 0;
  guardHook(pass, [&] {
    initVarManVec();
    pass = objectpass::jacobian(m_eqnMan.inNameOrder(), jacobianView());
  });
  objectpass::addJacobianPass(status, pass);
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
