// The framework's lists around a block under test, at first positions that
// are not 1 so that every offset in the numbering shows.
#pragma once

#include "core/onebased.h"
#include "platform/pelmo.h"

namespace romtest {

struct FrameworkLists {
  static constexpr int kFirstVar = 101, kFirstEqn = 51, kFirstNz = 301;

  explicit FrameworkLists(int capacity = 4000);
  ~FrameworkLists();
  FrameworkLists(const FrameworkLists&) = delete;  // owns the lists
  FrameworkLists& operator=(const FrameworkLists&) = delete;

  // Places the block at the first positions and hands it the lists.
  void attach(QivEOBlockImpl& block) const;
  // user_dim, attach and user_ini, one status through both hooks.
  long long setUp(QivEOBlockImpl& block) const;
  // The same with equation number kFirstEqn + offset taken by another
  // block's equation beforehand, so that the framework refuses the block's
  // registration of that number; none taken for a negative offset.
  long long setUpWithEquationTaken(QivEOBlockImpl& block, int offset) const;

  OneBased<double> values() const { return {rtovarlst_vec_value(vars), capacity}; }
  OneBased<double> residuals() const { return {rtoeqnlst_vec_residual(eqns), capacity}; }
  OneBased<double> jacobian() const { return {rtojac_vec_bj(jac), capacity}; }

  const int capacity;  // of each list
  rtvarlst_t* const vars;
  rtattrdict_t* const eqns;
  rt_jac_t* const jac;
};

}  // namespace romtest
