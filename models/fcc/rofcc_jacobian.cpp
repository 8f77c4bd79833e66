// rofcc: the pattern and Jacobian operations of the model equations.
//
// Pattern: the operation stores f = k + 1 in its record (k the running
// non-zero count of the pass) and registers one non-zero per variable of its
// table row, in row order, numbered N0 + k on and placed in the row's framework
// equation and each variable's framework column; then the block's last
// non-zero number is the last one registered.
//
// Jacobian: the operation writes the partial derivatives of the row's residual
// (rowValue, the same evaluation as the residual) at the non-zeros N0 + f - 1
// on, every entry on every call, constants and zeros included. A row the
// latest pattern pass did not place in full is not written (status 1): its
// positions would be another row's, or another block's.
#include <cmath>

#include "core/helpers.h"
#include "models/fcc/rofcc.h"
#include "models/fcc/rofcc_equation_list.h"

void rofcc::registerRow(rt_jac_t* jac, ROMEqn& eqn, const ROMVar* const* vars, std::size_t n, long long& status) {
  if (!jac) {
    status = 1;
    return;
  }
  const int row = eqnNumber(eqn);
  eqn.firstNz = m_nzCounter + 1;
  for (std::size_t j = 0; j < n; ++j) {
    ++m_nzCounter;
    const int nz = nzNumber(m_nzCounter);
    if (!registerNonZero(jac, nz, row, varNumber(*vars[j])))
      status = 1;
  }
  m_lastNz = nzNumber(m_nzCounter);
}

bool rofcc::rowPlaced(const ROMEqn& eqn, std::size_t n) const {
  return eqn.firstNz >= 1 && static_cast<long long>(eqn.firstNz) + static_cast<long long>(n) - 1 <= m_nzCounter;
}

void rofcc::patEquation(FccEq eq, rt_jac_t* jac, long long& status) {
  const FccEqnRow& row = fccEquations().at(static_cast<std::size_t>(eq));
  // Every look-up before anything is registered.
  std::array<const ROMVar*, kFccMaxRowVars> vars{};
  const std::size_t n = rowVariables(row, true, vars);
  ROMEqn* eqn = rowRecord(row);
  if (!eqn) {
    status = 1;  // the block has no record for this equation
    return;
  }
  registerRow(jac, *eqn, vars.data(), n, status);
}

void rofcc::jacEquation(FccEq eq, long long& status) const {
  const FccEqnRow& row = fccEquations().at(static_cast<std::size_t>(eq));
  std::array<const ROMVar*, kFccMaxRowVars> vars{};
  const std::size_t n = rowVariables(row, false, vars);
  const ROMEqn* eqn = rowRecord(row);
  const OneBased<double> x = valueView();
  const OneBased<double> bj = jacobianView();
  if (!eqn || !x.valid() || !bj.valid() || !rowPlaced(*eqn, n)) {
    status = 1;
    return;
  }
  std::array<double, kFccMaxRowVars> v{};
  for (std::size_t i = 0; i < n; ++i) v[i] = vars[i] ? x.at(varNumber(*vars[i])) : 0.0;
  std::array<double, kFccMaxRowVars> d{};
  rowValue(row, v.data(), n, d.data());
  const int first = nzNumber(eqn->firstNz);
  for (std::size_t j = 0; j < n; ++j) {
    bj.at(first + static_cast<int>(j)) = d[j];
    if (!std::isfinite(d[j])) status = 1;
  }
}

#define ROFCC_PATTERN_ROW(name)                                                                         \
  void rofcc::pat_##name(rt_jac_t* jac, long long& status) { patEquation(FccEq::name, jac, status); } \
  void rofcc::jac_##name(long long& status) const { jacEquation(FccEq::name, status); }
ROFCC_EQUATIONS(ROFCC_PATTERN_ROW)
#undef ROFCC_PATTERN_ROW
