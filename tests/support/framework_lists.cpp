#include "tests/support/framework_lists.h"

#include <cstdio>

namespace romtest {

FrameworkLists::FrameworkLists(int capacity)
    : capacity(capacity),
      vars(rtovarlst_create(capacity)),
      eqns(rtoeqnlst_create(capacity)),
      jac(rtojac_create(capacity)) {}

FrameworkLists::~FrameworkLists() {
  rtojac_destroy(jac);
  rtoeqnlst_destroy(eqns);
  rtovarlst_destroy(vars);
}

void FrameworkLists::attach(QivEOBlockImpl& block) const {
  block.setPositions(kFirstVar, kFirstEqn, kFirstNz);
  block.attachMatrix(vars, eqns, jac);
}

long long FrameworkLists::setUp(QivEOBlockImpl& block) const {
  int nvar = 0, neqn = 0, nnz = 0;
  long long status = 0;
  block.user_dim(nvar, neqn, nnz, status);
  attach(block);
  block.user_ini(status);
  return status;
}

long long FrameworkLists::setUpWithEquationTaken(QivEOBlockImpl& block, int offset) const {
  rteqn_rec_t other;
  std::snprintf(other.name, sizeof other.name, "%s", "OTHER.EQN");
  if (offset >= 0 && rtoeqnlst_initialize_eqn(eqns, kFirstEqn + offset, &other) != 0) return -1;
  return setUp(block);
}

}  // namespace romtest
