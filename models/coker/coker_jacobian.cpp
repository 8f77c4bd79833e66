// The coker's sparsity pattern and Jacobian values.
//
// The pattern registers, from the block's first non-zero on: the adjustment
// rows (every model input by name, then the row's output), then each model
// row's variables in the order of the model-row table. The Jacobian writes the
// values in exactly that order, and writes a model row only when the last
// pattern pass registered all of its entries.
#include <cmath>
#include <string>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "core/robase_adjustment.h"
#include "models/coker/rocoker.h"

namespace {

// Output name of an adjustment row: the row name without its leading "Y_".
std::string outputOfRow(const std::string& eqnName) { return eqnName.size() >= 2 ? eqnName.substr(2) : std::string(); }

}  // namespace

void rocoker::addToPat(rt_jac_t* jac, int& nz, int eqn, int var, long long& status) {
  // The range rule: numbers below the block's first positions - 1 are refused.
  if (eqn < estart() - 1 || var < vstart() - 1) {
    status = 1;
    return;
  }
  ++nz;
  if (!registerNonZero(jac, nz, eqn, var)) status = 1;
}

void rocoker::patRow(rt_jac_t* jac, long long& status, int& nz, int firstNz, std::size_t rowPos) {
  const Row& row = m_rows.at(rowPos);
  row.eqn->firstNz = firstNz;
  const int before = nz;
  for (const ROMVar* var : row.vars) addToPat(jac, nz, eqnNumber(*row.eqn), varNumber(*var), status);
  m_rowRegistered.at(rowPos) = nz - before;
}

void rocoker::pat_MassBal(rt_jac_t* jac, long long& status, int& nz, int firstNz) {
  patRow(jac, status, nz, firstNz, rowPosition("MASS_BAL"));
}

void rocoker::pat_SulfurBal(rt_jac_t* jac, long long& status, int& nz, int firstNz) {
  patRow(jac, status, nz, firstNz, rowPosition("SULFUR_BAL"));
}

void rocoker::user_pat(rt_jac_t* jac, long long& status) {
  status = 0;
  m_patternDone = false;
  guardHook(status, [&] {
    if (!jac) {
      status = 1;
      return;
    }
    const int base = nzstart() - 1;
    int nz = base;
    // Adjustment rows, registered without the range rule.
    for (const auto& entry : m_adjEqns) {
      const int row = eqnNumber(*entry.second);
      const std::string output = outputOfRow(entry.first);
      for (const std::string& name : adjRowVariables(output)) {
        const ROMVar* var = name == output ? at_or_throw(m_nnOutputVars, name) : at_or_throw(m_inputVars, name);
        ++nz;
        if (!registerNonZero(jac, nz, row, varNumber(*var))) status = 1;
      }
    }
    const std::size_t massBal = rowPosition("MASS_BAL");
    const std::size_t sulfurBal = rowPosition("SULFUR_BAL");
    pat_MassBal(jac, status, nz, nz - base);
    pat_SulfurBal(jac, status, nz, nz - base);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
      if (i == massBal || i == sulfurBal) continue;
      patRow(jac, status, nz, nz - base, i);
    }
    m_nzCounter = nz - base;
    m_lastNz = nz;
    m_patternDone = true;
  });
}

void rocoker::user_jac(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;  // the runner's status; nothing is written
      return;
    }
    const OneBased<double> bj = jacobianView();
    const OneBased<double> x = valueView();
    // Without a pattern the positions of the rows are unknown.
    if (!bj.valid() || !x.valid() || !m_patternDone) {
      status = 1;
      return;
    }
    // Every value is written; a failure or a non-finite value makes the status 1.
    const auto put = [&](int nz, double value, long long st) {
      if (!bj.contains(nz)) {
        status = 1;
        return;
      }
      bj[nz] = value;
      if (st != 0 || !std::isfinite(value)) status = 1;
    };

    int nz = nzstart();
    AdjustmentPlan& plan = adjustmentPlan();
    for (AdjustmentRow& row : plan.rows)
      for (std::size_t k = 0; k <= plan.inputs.size(); ++k) put(nz++, adjDerivative(plan, row, k), 0);

    RowValues v{};
    RowValues grad{};
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
      const Row& row = m_rows[i];
      // A row the range rule cut short writes nothing: its entries would
      // shift into the next row.
      if (m_rowRegistered[i] != static_cast<int>(row.vars.size())) {
        status = 1;
        continue;
      }
      gatherRowValues(row, x, v);
      long long st = 0;
      evalRow(row, v.data(), grad.data(), st);
      const int first = nzNumber(row.eqn->firstNz + 1);
      for (std::size_t k = 0; k < row.vars.size(); ++k) put(first + static_cast<int>(k), grad[k], st);
    }
  });
}
