// rofccslate: the pattern, residual and Jacobian passes of an FCC product
// slate, and its mass and sulfur balances.
//
// Every pass walks the slate's step list (rofcc_slate_tables.cpp): the
// adjustment rows "Y_", MASS_BAL, SULFUR_BAL, then the model equations. The
// residual and Jacobian passes first run every network; a failing network's
// status is the pass's result and nothing is written. The steps never lower the
// status, so one failure anywhere in the pass is reported (status 1).
#include <cmath>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "models/fcc/rofcc_slates.h"

namespace {

// Mass fraction of sulfur in H2S: 32.065 / 34.08088.
constexpr double kSulfurInH2S = 0.9408501188936436;

// C5SRVI and the conversion are evaluated only where the block has their
// record (the base catalogue creates both for every slate).
bool optionalRowMissing(const rofcc& block, FccEq eq) {
  return (eq == FccEq::C5SRVI || eq == FccEq::Conversion) &&
         !block.record(eq == FccEq::C5SRVI ? FccRecord::C5SRVI : FccRecord::Conversion);
}

}  // namespace

void rofccslate::runStep(const FccStep& step, FccPass pass, long long& status) const {
  const bool res = pass == FccPass::Residual;
  switch (step.kind) {
    case FccStep::Kind::Adjustment:
      res ? res_NNAdjustment(status) : jac_NNAdjustment(status);
      break;
    case FccStep::Kind::MassBal:
      res ? res_MassBal(status) : jac_MassBal(status);
      break;
    case FccStep::Kind::SulfurBal:
      res ? res_SulfurBal(status) : jac_SulfurBal(status);
      break;
    case FccStep::Kind::SulPPM:
      res ? res_SulPPM(record(step.record), status) : jac_SulPPM(record(step.record), status);
      break;
    case FccStep::Kind::Equation: {
      if (optionalRowMissing(*this, step.eq)) break;
      const EquationOps& ops = equationOps()[static_cast<std::size_t>(step.eq)];
      res ? (this->*ops.res)(status) : (this->*ops.jac)(status);
      break;
    }
  }
}

void rofccslate::patternStep(const FccStep& step, rt_jac_t* jac, long long& status) {
  switch (step.kind) {
    case FccStep::Kind::Adjustment:
      pat_NNAdjustment(jac, status);
      break;
    case FccStep::Kind::MassBal:
      pat_MassBal(jac, status);
      break;
    case FccStep::Kind::SulfurBal:
      pat_SulfurBal(jac, status);
      break;
    case FccStep::Kind::SulPPM:
      pat_SulPPM(record(step.record), jac, status);
      m_lastNz = nzNumber(m_nzCounter);  // robase's sulfur-ppm pattern leaves it
      break;
    case FccStep::Kind::Equation:
      if (optionalRowMissing(*this, step.eq)) break;
      (this->*equationOps()[static_cast<std::size_t>(step.eq)].pat)(jac, status);
      break;
  }
}

void rofccslate::user_pat(rt_jac_t* jac, long long& status) {
  status = 0;
  m_patternComplete = false;
  guardHook(status, [&] {
    m_nzCounter = 0;
    for (const FccStep& step : fccPassSteps(slate(), FccPass::Pattern)) {
      patternStep(step, jac, status);
      if (status != 0) return;
    }
    m_patternComplete = true;
  });
}

void rofccslate::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;  // the runner's status; nothing is written
      return;
    }
    for (const FccStep& step : fccPassSteps(slate(), FccPass::Residual)) runStep(step, FccPass::Residual, status);
    flagNonFiniteResiduals(status);
  });
}

void rofccslate::user_jac(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;
      return;
    }
    // Without a complete pattern the rows have no places (or stale ones).
    if (!m_patternComplete) {
      status = 1;
      return;
    }
    for (const FccStep& step : fccPassSteps(slate(), FccPass::Jacobian)) runStep(step, FccPass::Jacobian, status);
    flagNonFiniteJacobian(status);
  });
}

// ---- Balances ------------------------------------------------------------------------

const std::vector<const ROMVar*>& rofccslate::balanceVars(Balance& balance) const {
  if (balance.refs.empty()) {
    if (balance.sulfur) {
      balance.refs.emplace_back(FccMap::Calc, EntryRef<ROMVarMap>("FEEDSULMASS"));
      balance.refs.emplace_back(FccMap::Calc, EntryRef<ROMVarMap>("H2SMASS"));
      for (const std::string& name : fccSulfurBalanceProducts(slate()))
        balance.refs.emplace_back(FccMap::Calc, EntryRef<ROMVarMap>(name));
    } else {
      balance.refs.emplace_back(FccMap::Input, EntryRef<ROMVarMap>("FEEDMASS"));
      for (const std::string& name : fccMassBalanceProducts(slate()))
        balance.refs.emplace_back(FccMap::Calc, EntryRef<ROMVarMap>(name));
    }
    balance.vars.resize(balance.refs.size());
  }
  for (std::size_t k = 0; k < balance.refs.size(); ++k) {
    const ROMVar* var = balance.refs[k].second.get(varMap(balance.refs[k].first));
    if (!var) throwMissingKey();
    balance.vars[k] = var;
  }
  return balance.vars;
}

double rofccslate::computeMassBalanceResidual(long long& status) const {
  status = 0;
  const std::vector<const ROMVar*>& vars = massBalanceVars();
  const OneBased<double> x = valueView();
  double value = currentValue(x, *vars[0]);
  for (std::size_t i = 1; i < vars.size(); ++i) value -= currentValue(x, *vars[i]);
  return value;
}

double rofccslate::computeSulfurBalanceResidual(long long& status) const {
  status = 0;
  const std::vector<const ROMVar*>& vars = sulfurBalanceVars();
  const OneBased<double> x = valueView();
  double value = currentValue(x, *vars[0]) - kSulfurInH2S * currentValue(x, *vars[1]);
  for (std::size_t i = 2; i < vars.size(); ++i) value -= currentValue(x, *vars[i]);
  return value;
}

double rofccslate::computeMassBalanceDerivative(std::string name, long long& status) const {
  status = 0;
  if (name == "FEEDMASS") return 1.0;
  for (const std::string& product : fccMassBalanceProducts(slate()))
    if (name == product) return -1.0;
  status = 1;
  return 0.0;
}

double rofccslate::computeSulfurBalanceDerivative(std::string name, long long& status) const {
  status = 0;
  if (name == "FEEDSULMASS") return 1.0;
  if (name == "H2SMASS") return -kSulfurInH2S;
  for (const std::string& product : fccSulfurBalanceProducts(slate()))
    if (name == product) return -1.0;
  status = 1;
  return 0.0;
}

void rofccslate::res_MassBal(long long& status) const {
  const OneBased<double> r = residualView();
  if (!m_massBalEqn || !r.valid()) {
    status = 1;
    return;
  }
  long long st = 0;
  const double value = computeMassBalanceResidual(st);
  r.at(eqnNumber(*m_massBalEqn)) = value;
  if (st != 0 || !std::isfinite(value)) status = 1;
}

void rofccslate::res_SulfurBal(long long& status) const {
  const ROMEqn* eqn = record(FccRecord::SulfurBal);
  const OneBased<double> r = residualView();
  if (!eqn || !r.valid()) {
    status = 1;
    return;
  }
  long long st = 0;
  const double value = computeSulfurBalanceResidual(st);
  r.at(eqnNumber(*eqn)) = value;
  if (st != 0 || !std::isfinite(value)) status = 1;
}

void rofccslate::pat_MassBal(rt_jac_t* jac, long long& status) {
  const std::vector<const ROMVar*>& vars = massBalanceVars();
  if (!m_massBalEqn) {
    status = 1;
    return;
  }
  registerRow(jac, *m_massBalEqn, vars.data(), vars.size(), status);
}

void rofccslate::pat_SulfurBal(rt_jac_t* jac, long long& status) {
  const std::vector<const ROMVar*>& vars = sulfurBalanceVars();
  ROMEqn* eqn = record(FccRecord::SulfurBal);
  if (!eqn) {
    status = 1;
    return;
  }
  registerRow(jac, *eqn, vars.data(), vars.size(), status);
}

void rofccslate::jacBalance(const ROMEqn* eqn, const std::vector<const ROMVar*>& vars, bool sulfur,
                            long long& status) const {
  const OneBased<double> bj = jacobianView();
  if (!eqn || !bj.valid() || !rowPlaced(*eqn, vars.size())) {
    status = 1;
    return;
  }
  int nz = nzNumber(eqn->firstNz);
  for (const ROMVar* var : vars) {
    long long st = 0;
    const double d = sulfur ? computeSulfurBalanceDerivative(var->name, st) : computeMassBalanceDerivative(var->name, st);
    bj.at(nz++) = d;
    if (st != 0) status = 1;
  }
}

void rofccslate::jac_MassBal(long long& status) const { jacBalance(m_massBalEqn, massBalanceVars(), false, status); }

void rofccslate::jac_SulfurBal(long long& status) const {
  jacBalance(record(FccRecord::SulfurBal), sulfurBalanceVars(), true, status);
}
