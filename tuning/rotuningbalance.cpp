// rotuningbalance: registration of the block's variables and equations, their
// specifications, and the pattern, residuals, Jacobian and starting values of
// the unit form's two balance rows.
#include "tuning/rotuningbalance.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "tuning/registration.h"
#include "core/onebased.h"

namespace {

constexpr const char* kModelType = "rotuningbalance";
constexpr const char* kMassBalance = "MASS_BAL";

// Framework record fields (the framework's meaning; the block only fills them).
constexpr int kVarKind = 14;
constexpr double kUpperBound = 1e30;

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

rotuningbalance::rotuningbalance(const char* name, const char* RX) : QivEOBlockImpl(name), m_rx(RX ? RX : "") {}

rotuningbalance::~rotuningbalance() = default;

void rotuningbalance::adoptForm(std::unique_ptr<const tuning::BalanceForm> form) {
  m_form = std::move(form);
  setupVariables();
  setupEquations();
}

void rotuningbalance::setupVariables() {
  if (!m_form) return;
  for (const std::string& name : m_form->variables()) m_varIndex[name] = m_nextVarIndex++;
  // The local index of each place of the form's list (a repeated name has
  // the number its last entry took).
  m_placeIndex.clear();
  for (const std::string& name : m_form->variables()) m_placeIndex.push_back(m_varIndex.at(name));
  for (std::size_t row = 0; row < m_rowPlaces.size(); ++row) {
    m_rowPlaces[row].clear();
    for (const std::string& var : m_form->row(static_cast<int>(row)))
      m_rowPlaces[row].push_back(tuning::placeIn(m_form->variables(), var));
  }
}

void rotuningbalance::setupEquations() {
  if (!m_form) return;
  m_eqnIndex[kMassBalance] = 1;
  m_eqnIndex[m_form->secondBalance()] = 2;
}

// ---- Registration ---------------------------------------------------------------

void rotuningbalance::createVariables(long long& status) {
  status = 0;
  for (const auto& [name, index] : m_varIndex) {
    createVariable(name, index, status);
    if (status != 0) return;
  }
}

void rotuningbalance::createVariable(std::string name, int index, long long& status) {
  status = 0;
  const Lists l = listsOf(*this);
  if (!l.vars || !l.eqns || !l.jac) {
    status = 1;
    return;
  }
  rtvar_rec_t rec;
  rec.flags = kVarKind;
  if (!frameworkName(rec.name, sizeof rec.name, this->name(), name)) {
    status = 1;
    return;
  }
  rec.value = 1.0;
  rec.lower = 0.0;
  rec.upper = kUpperBound;
  rec.status = 0;
  const int num = m_firstVar + index - 1;
  if (rtovarlst_initialize_var(l.vars, num, &rec, 1) != 0) {
    status = 1;
    return;
  }
  // Every variable starts fixed; user_ini frees the two the block solves for.
  if (rtovarlst_fix_var(l.vars, m_firstVar + at_or_throw(m_varIndex, name) - 1) != 0) status = 1;
  ++m_nVarsCreated;
}

void rotuningbalance::setVarSpec(std::string var, std::string spec, long long& status) {
  status = 0;
  const Lists l = listsOf(*this);
  if (!l.vars) {
    status = 1;
    return;
  }
  const int num = m_firstVar + at_or_throw(m_varIndex, var) - 1;
  int rc = 0;
  if (spec == "CONST") {
    rc = rtovarlst_fix_var(l.vars, num);
  } else if (spec == "CALC") {
    rc = rtovarlst_free_var(l.vars, num);
  } else {
    rc = 1;
  }
  if (rc != 0) status = 1;
}

void rotuningbalance::createEquations(long long& status) {
  status = 0;
  for (const auto& [name, index] : m_eqnIndex) {
    createEquation(name, index, status);
    if (status != 0) return;
  }
}

void rotuningbalance::createEquation(std::string name, int index, long long& status) {
  status = tuning::registerEquation(*this, name, index) ? 0 : 1;
  if (status == 0) ++m_nEqnsCreated;
}

// ---- Framework hooks -------------------------------------------------------------

void rotuningbalance::user_dim(int& nvar, int& neqn, int& nnz, long long& status) {
  nvar = kDeclaredSize;
  neqn = kDeclaredSize;
  nnz = kDeclaredSize;
  status = 0;
}

void rotuningbalance::user_ini(long long& status) {
  status = 0;
  guardHook(status, [&] {
    if (!m_form) {
      status = 1;
      return;
    }
    const std::array<std::string, 2> freed = m_form->freed();
    createVariables(status);
    if (status == 0) setVarSpec(freed[0], "CALC", status);
    if (status == 0) setVarSpec(freed[1], "CALC", status);
    if (status == 0) createEquations(status);
  });
}

void rotuningbalance::user_pat(rt_jac_t* jac, long long& status) {
  status = 0;
  guardHook(status, [&] {
    if (!m_form) {
      status = 1;
      return;
    }
    int k = 0;
    for (int row = 0; row < 2; ++row) {
      const std::string eqnName = row == 0 ? kMassBalance : m_form->secondBalance();
      const int eqn = m_firstEqn + at_or_throw(m_eqnIndex, eqnName) - 1;
      for (const std::string& var : m_form->row(row)) {
        if (k >= kDeclaredSize) throw std::length_error("more non-zeros than declared");
        const int num = m_firstVar + at_or_throw(m_varIndex, var) - 1;
        if (!registerNonZero(jac, m_firstNz + k, eqn, num))
          status = 1;
        ++k;
      }
    }
    m_lastNz = m_firstNz + k - 1;
  });
}

tuning::Values rotuningbalance::valueReader() const {
  const Lists l = listsOf(*this);
  if (!l.vars) throw std::logic_error("no framework variable list");
  return tuning::Values(OneBased<double>(rtovarlst_vec_value(l.vars), rtovarlst_capacity(l.vars)), m_firstVar,
                         m_placeIndex);
}

void rotuningbalance::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    const Lists l = listsOf(*this);
    if (!m_form || !l.eqns || !l.vars) {
      status = 1;
      return;
    }
    const tuning::Values v = valueReader();
    // Both residuals first: nothing is written when one cannot be computed.
    const double r[2] = {m_form->residual(0, v), m_form->residual(1, v)};
    const OneBased<double> out(rtoeqnlst_vec_residual(l.eqns), rtoeqnlst_capacity(l.eqns));
    out.at(m_firstEqn + at_or_throw(m_eqnIndex, kMassBalance) - 1) = r[0];
    out.at(m_firstEqn + at_or_throw(m_eqnIndex, m_form->secondBalance()) - 1) = r[1];
    if (!std::isfinite(r[0]) || !std::isfinite(r[1])) status = 1;
  });
}

void rotuningbalance::user_jac(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    const Lists l = listsOf(*this);
    if (!m_form || !l.vars || !l.jac) {
      status = 1;
      return;
    }
    const tuning::Values v = valueReader();
    const OneBased<double> bj(rtojac_vec_bj(l.jac), rtojac_capacity(l.jac));
    int k = 0;
    for (int row = 0; row < 2; ++row) {
      tuning::Gradient& d = m_gradient;
      m_form->gradient(row, v, d);
      for (const int place : m_rowPlaces[static_cast<std::size_t>(row)]) {
        // A variable the form gives no derivative for: the look-up error.
        if (place < 0 || !d.set.at(static_cast<std::size_t>(place))) throw std::out_of_range(kInvalidMapKey);
        const double value = d.value[static_cast<std::size_t>(place)];
        bj.at(m_firstNz + k) = value;
        if (!std::isfinite(value)) status = 1;
        ++k;
      }
    }
  });
}

void rotuningbalance::init(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    const Lists l = listsOf(*this);
    if (!m_form || !l.vars) {
      status = 1;
      return;
    }
    const OneBased<double> x(rtovarlst_vec_value(l.vars), rtovarlst_capacity(l.vars));
    m_form->startValues(valueReader(), m_start);
    for (const auto& [place, value] : m_start) {
      // A starting value is a guess: one that is not finite (a zero feed or
      // yield sum) is not stored, and the variable keeps its value.
      if (!std::isfinite(value)) continue;
      if (place < 0) throw std::out_of_range(kInvalidMapKey);  // a name the block does not have
      x.at(m_firstVar + m_placeIndex.at(static_cast<std::size_t>(place)) - 1) = value;
    }
  });
}

void rotuningbalance::user_jac(int, long long& status) const { status = 1; }
void rotuningbalance::res(int, long long& status) const { status = 1; }

void rotuningbalance::Destroy() { delete this; }

void rotuningbalance::inq_model_type(char* buf) const {
  if (buf) std::memcpy(buf, kModelType, std::strlen(kModelType) + 1);
}

bool rotuningbalance::isof_type(const char* type) {
  if (type && std::strcmp(type, kModelType) == 0) return true;
  return QivEOBlockImpl::isof_type(type);
}

// ---- Unit forms ---------------------------------------------------------------------

rotuningbalanceCOK::rotuningbalanceCOK(const char* name, const char* RX) : rotuningbalance(name, RX) {
  adoptForm(tuning::cokerBalance());
}

rotuningbalanceVB::rotuningbalanceVB(const char* name, const char* RX) : rotuningbalance(name, RX) {
  adoptForm(tuning::visbreakerBalance());
}

rotuningbalanceFCC::rotuningbalanceFCC(const char* name, const char* RX) : rotuningbalance(name, RX) {
  const std::string rx = RX ? RX : "";
  for (const char* kind : {"FCC_GO_3N", "FCC_GOR_3N", "FCC_GO_3N1H", "FCC_GOR_3N1H"}) m_hasMCN = m_hasMCN || rx == kind;
  for (const char* kind : {"FCC_GO_2N1H", "FCC_GOR_2N1H", "FCC_GO_3N1H", "FCC_GOR_3N1H"})
    m_hasHCO = m_hasHCO || rx == kind;
  adoptForm(tuning::fccBalance(m_hasMCN, m_hasHCO));
}

rotuningbalanceHCR::rotuningbalanceHCR(const char* name, const char* RX) : rotuningbalance(name, RX) {
  const std::string rx = RX ? RX : "";
  if (rx == "HCR_N") m_selector = 0;
  if (rx == "HCR_K") m_selector = 1;
  if (rx == "HCR_D") m_selector = 2;
  if (rx == "HCR_MILD") m_selector = 3;
  adoptForm(tuning::hydrocrackerBalance(m_selector));
}

rotuningbalanceREF::rotuningbalanceREF(const char* name, const char* RX) : rotuningbalance(name, RX) {
  const std::string rx = RX ? RX : "";
  if (rx == "REF_SEMI_1R" || rx == "REF_CONT_1R") m_selector = 0;
  if (rx == "REF_SEMI_2R" || rx == "REF_CONT_2R") m_selector = 1;
  if (rx == "REF_SEMI_A" || rx == "REF_CONT_A") m_selector = 2;
  adoptForm(tuning::reformerBalance(m_selector));
}
