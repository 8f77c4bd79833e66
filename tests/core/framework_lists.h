// The framework's lists around a block under test, at first positions that
// are not 1 so that every offset in the numbering shows.
#pragma once

#include "core/onebased.h"
#include "platform/pelmo.h"

struct FrameworkLists {
  static constexpr int kFirstVar = 101, kFirstEqn = 51, kFirstNz = 301, kCap = 4000;
  FrameworkLists() = default;
  FrameworkLists(const FrameworkLists&) = delete;  // owns the lists
  FrameworkLists& operator=(const FrameworkLists&) = delete;
  ~FrameworkLists() {
    rtojac_destroy(jac);
    rtoeqnlst_destroy(eqns);
    rtovarlst_destroy(vars);
  }
  void attach(QivEOBlockImpl& block) const {
    block.setPositions(kFirstVar, kFirstEqn, kFirstNz);
    block.attachMatrix(vars, eqns, jac);
  }
  OneBased<double> values() const { return {rtovarlst_vec_value(vars), kCap}; }
  OneBased<double> residuals() const { return {rtoeqnlst_vec_residual(eqns), kCap}; }
  OneBased<double> jacobian() const { return {rtojac_vec_bj(jac), kCap}; }

  rtvarlst_t* vars = rtovarlst_create(kCap);
  rtattrdict_t* eqns = rtoeqnlst_create(kCap);
  rt_jac_t* jac = rtojac_create(kCap);
};
