// The framework's lists around a block under test, at first positions that
// are not 1 so that every offset in the numbering shows.
#pragma once

#include "platform/pelmo.h"

struct FrameworkLists {
  static constexpr int kFirstVar = 101;
  static constexpr int kFirstEqn = 51;
  static constexpr int kFirstNz = 301;
  static constexpr int kCapacity = 4000;

  FrameworkLists()
      : vars(rtovarlst_create(kCapacity)), eqns(rtoeqnlst_create(kCapacity)), jac(rtojac_create(kCapacity)) {}
  ~FrameworkLists() {
    rtojac_destroy(jac);
    rtoeqnlst_destroy(eqns);
    rtovarlst_destroy(vars);
  }
  FrameworkLists(const FrameworkLists&) = delete;
  FrameworkLists& operator=(const FrameworkLists&) = delete;

  void attach(QivEOBlockImpl& block) const {
    block.setPositions(kFirstVar, kFirstEqn, kFirstNz);
    block.attachMatrix(vars, eqns, jac);
  }

  double& value(int number) const { return rtovarlst_vec_value(vars)[number - 1]; }
  double& residual(int number) const { return rtoeqnlst_vec_residual(eqns)[number - 1]; }
  double& jacobian(int number) const { return rtojac_vec_bj(jac)[number - 1]; }

  rtvarlst_t* vars;
  rtattrdict_t* eqns;
  rt_jac_t* jac;
};
