// robase: framework variables and equations, values, specifications, and the
// views of the framework's vectors.
#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "core/helpers.h"
#include "core/robase.h"

namespace {

// Flag word of every framework variable a block creates (the framework's meaning).
constexpr int kVarFlags = 524558;  // 0x8010E
// Equation record fields (the framework's meaning).
constexpr int kEqnFlags = 255;
constexpr double kEqnR1 = 1e35;
constexpr double kEqnR2 = 1.0;

struct Lists {
  rtvarlst_t* vars = nullptr;
  rtattrdict_t* eqns = nullptr;
  rt_jac_t* jac = nullptr;
};

Lists listsOf(const QivEOBlockImpl& block) {
  Lists l;
  block.inq_matrix(l.vars, l.eqns, l.jac);
  return l;
}

}  // namespace

void robase::createPELMOVariables(long long& status) {
  status = 0;
  for (const ROMVarMap* m : {&m_inputVars, &m_nnOutputVars, &m_factorVars, &m_volumeVars, &m_molarVars, &m_constVars,
                             &m_calcVars}) {
    for (const auto& entry : *m) {
      createPELMOVariable(entry.second, status);
      if (status != 0) return;
    }
  }
}

void robase::createPELMOVariable(ROMVar* var, long long& status) {
  status = 0;
  rtvarlst_t* vars = listsOf(*this).vars;
  if (!var || !vars) {
    status = 1;
    return;
  }
  rtvar_rec_t rec;
  rec.flags = kVarFlags;
  if (!frameworkName(rec.name, sizeof rec.name, name(), var->name)) {
    status = 1;
    return;
  }
  rec.value = 1.0;
  rec.lower = var->lower;
  rec.upper = var->upper;
  rec.status = 0;
  const int num = varNumber(*var);
  if (rtovarlst_initialize_var(vars, num, &rec, 1) != 0) {
    status = 1;
    return;
  }
  int physType = 0, uom = 0;
  rtouom_locate(var->baseUnit.c_str(), &physType, &uom);
  long long varStatus = rtovarlst_inq_var_status(vars, num);
  varSetPhysicalType(&varStatus, physType);
  rtovarlst_set_var_baseuom(vars, num, uom);
  rtovarlst_set_var_status(vars, num, varStatus);
  int dispType = 0, dispUom = 0;
  rtouom_locate(var->dispUnit.c_str(), &dispType, &dispUom);
  rtovarlst_set_var_uom(vars, num, dispUom);
  ++m_nVarsCreated;
}

void robase::createPELMOEquation(ROMEqn* eqn, long long& status) {
  status = 0;
  rtattrdict_t* eqns = listsOf(*this).eqns;
  if (!eqn || !eqns) {
    status = 1;
    return;
  }
  rteqn_rec_t rec;
  rec.flags = kEqnFlags;
  if (!frameworkName(rec.name, sizeof rec.name, name(), eqn->name)) {
    status = 1;
    return;
  }
  rec.r1 = kEqnR1;
  rec.r2 = kEqnR2;
  u3rpmt_c(&rec.pmt, 0);
  rec.offset = m_firstEqn;
  rec.owner = this;
  if (rtoeqnlst_initialize_eqn(eqns, eqnNumber(*eqn), &rec) != 0) {
    status = 1;
    return;
  }
  ++m_nEqnsCreated;
}

void robase::setPELMOVarValue(ROMVar* var, double value, long long& status) {
  status = 0;
  rtvarlst_t* vars = listsOf(*this).vars;
  // A starting value that is not finite is never stored.
  if (!var || !vars || !std::isfinite(value) || rtovarlst_set_var_value(vars, varNumber(*var), value) != 0) {
    status = 1;
  }
}

int robase::writeConstants(std::span<const ConstantValue> constants) {
  int status = 0;
  for (const ConstantValue& c : constants) {
    long long st = 0;
    setPELMOVarValue(at_or_throw(m_constVars, std::string(c.name)), c.value, st);
    if (st != 0) status = 1;  // one failure stays a failure
  }
  return status;
}

void robase::setPELMOVarSpec(ROMVar* var, std::string spec, long long& status) {
  status = 0;
  rtvarlst_t* vars = listsOf(*this).vars;
  if (!var || !vars) {
    status = 1;
    return;
  }
  int rc = 0;
  if (spec == "CONST") {
    rc = rtovarlst_fix_var(vars, varNumber(*var));
  } else if (spec == "CALC") {
    rc = rtovarlst_free_var(vars, varNumber(*var));
  } else {
    rc = 1;
  }
  if (rc != 0) status = 1;
}

void robase::setPELMOVarSpecs(long long& status) {
  status = 0;
  bool failed = false;
  auto fix = [&](ROMVar* var) {
    long long st = 0;
    setPELMOVarSpec(var, "CONST", st);
    if (st != 0) failed = true;  // one failure stays a failure
  };
  for (const auto& entry : m_constVars) fix(entry.second);
  for (const auto& entry : m_inputVars) {
    // On a volume HL basis the feed is specified by its volume flow.
    if (entry.first == "FEEDMASS" && m_hlBasis == BASIS_VOLUME) {
      fix(at_or_throw(m_volumeVars, std::string("FEEDVOL")));
    } else {
      fix(entry.second);
    }
  }
  status = failed ? 1 : 0;
}

OneBased<double> robase::valueView() const {
  rtvarlst_t* vars = listsOf(*this).vars;
  if (!vars) return {};
  return OneBased<double>(rtovarlst_vec_value(vars), rtovarlst_capacity(vars));
}

OneBased<double> robase::residualView() const {
  rtattrdict_t* eqns = listsOf(*this).eqns;
  if (!eqns) return {};
  return OneBased<double>(rtoeqnlst_vec_residual(eqns), rtoeqnlst_capacity(eqns));
}

OneBased<double> robase::jacobianView() const {
  rt_jac_t* jac = listsOf(*this).jac;
  if (!jac) return {};
  return OneBased<double>(rtojac_vec_bj(jac), rtojac_capacity(jac));
}

double robase::currentValue(const ROMVar& var) const { return currentValue(valueView(), var); }

void robase::throwNoVariableList() { throw std::logic_error("no framework variable list"); }

void robase::flagNonFiniteResiduals(long long& status) const {
  const OneBased<double> r = residualView();
  if (!r.valid()) return;
  const int count = std::max(m_nEqnsCreated, m_eqnCounter - 1);
  for (int n = m_firstEqn; n < m_firstEqn + count; ++n) {
    if (r.contains(n) && !std::isfinite(r[n])) status = 1;
  }
}

void robase::flagNonFiniteJacobian(long long& status) const {
  const OneBased<double> bj = jacobianView();
  if (!bj.valid()) return;
  for (int n = m_firstNz; n <= m_lastNz; ++n) {
    if (bj.contains(n) && !std::isfinite(bj[n])) status = 1;
  }
}

void robase::endObjectPattern(rt_jac_t* jac, long long count, bool failed, long long& status) {
  const long long last = static_cast<long long>(m_firstNz) + count - 1;
  m_lastNz = static_cast<int>(std::min<long long>(last, std::numeric_limits<int>::max()));
  if ((!jac && count > 0) || failed) status = 1;
}
