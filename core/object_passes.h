// The passes that the blocks made of equation objects run: robase2 (every
// second-generation block) and hcrbase (the first-generation hydrocracker).
// Both keep their objects by name and walk them in name order; the objects
// share the row bookkeeping of EqnRowBase (res, evalJac, residualFinite,
// ownRangeFinite).
//
// A pass lets every object write its row even after another failed; an
// object that reports non-zero, throws, or leaves a value that is not finite
// makes the pass report 1. Statuses never cancel.
#pragma once

#include <algorithm>
#include <cstddef>
#include <limits>

#include "core/onebased.h"

namespace objectpass {

// The residual pass: 1 without a residual vector or when any object failed.
template <class Objects>
int residuals(const Objects& objects, OneBased<double> r) {
  if (!r.valid()) return 1;
  bool failed = false;
  for (auto* eqn : objects) {
    try {
      if (eqn->res(r) != 0 || !eqn->residualFinite(r)) failed = true;
    } catch (...) {
      failed = true;
    }
  }
  return failed ? 1 : 0;
}

// The Jacobian pass: 1 without a Jacobian vector or when any object failed.
template <class Objects>
int jacobian(const Objects& objects, OneBased<double> values) {
  if (!values.valid()) return 1;
  int pass = 0;
  for (auto* eqn : objects) {
    try {
      if (eqn->evalJac(values) != 0 || !eqn->ownRangeFinite(values)) pass = 1;
    } catch (...) {
      pass = 1;
    }
  }
  return pass;
}

// The Jacobian hook's status: the pass added to the status as it was given.
// Any failure, given or found, makes a positive sum, reported as 1; a
// negative status given and nothing found stays as it was, and a failure
// found is never cancelled by it.
inline void addJacobianPass(long long& status, long long pass) {
  if (pass != 0 || status > 0) status = 1;
}

// The block's sizes: its variables, its equations, and their product as the
// non-zero bound (in 64 bits, then clamped to the int range).
inline void sizes(std::size_t variables, std::size_t equations, int& nvar, int& neqn, int& nnz) {
  constexpr long long kMax = std::numeric_limits<int>::max();
  const long long v = std::min<long long>(static_cast<long long>(std::min<std::size_t>(variables, kMax)), kMax);
  const long long e = std::min<long long>(static_cast<long long>(std::min<std::size_t>(equations, kMax)), kMax);
  nvar = static_cast<int>(v);
  neqn = static_cast<int>(e);
  nnz = static_cast<int>(std::min(v * e, kMax));  // at most (2^31 - 1)^2: fits in 64 bits
}

}  // namespace objectpass
