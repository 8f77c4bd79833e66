// rotuningmodel: construction, the block's tables, registration of its
// variables and equations, its own attributes, and the pattern, residual and
// Jacobian of the point equations.
//
// Row of point i, in pattern order (user_pat registers it, user_jac writes
// the partial derivatives of EQN_<i> in the same order):
//   ALPHA            YNN(i)
//   BETA             1
//   GAMMA_<t>        x(t, i)                          for each tag t
//   OVERCRACK_PARAM  ALPHA * RATE * H(i) * T(i)        overcrack case only
//   OVERCRACK_RATE   -ALPHA * DIFF(i)                  overcrack case only
//   Y_<i>            -1
// with H(i) the negated slope of DIFF by its (scaled) plenum-temperature
// input and T(i) the attribute REACTORPLENUMTEMP_<i>: YNN = TOTAL - RATE * DIFF
// and DIFF sees T * PARAM, so dYNN/dPARAM = RATE * H * T and dYNN/dRATE = -DIFF.
#include "tuning/rotuningmodel.h"
#include "tuning/rotuningmodel_runs.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "tuning/registration.h"

namespace {

constexpr const char* kModelType = "rotuning";

// Framework record fields of the block's variables and equations (the
// framework's meaning; the block only fills them).
constexpr int kVarKind = 14;
constexpr double kUnbounded = 1e30;

constexpr const char* kAlpha = "ALPHA";
constexpr const char* kBeta = "BETA";
constexpr const char* kGammaPrefix = "GAMMA_";
constexpr const char* kOvercrackParam = "OVERCRACK_PARAM";
constexpr const char* kOvercrackRate = "OVERCRACK_RATE";
constexpr const char* kPlenumTemp = "REACTORPLENUMTEMP";

// The naphtha cuts predicted by a TOTAL and a DIFF network in the FCC kinds.
constexpr const char* kOvercrackCuts[] = {"C5SFRAC", "LCNFRAC", "MCNFRAC", "HCNFRAC"};

std::string pointName(std::string_view prefix, int i) {
  const std::string digits = std::to_string(i);
  std::string name;
  name.reserve(prefix.size() + digits.size());
  name.append(prefix).append(digits);
  return name;
}

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

// ---- Construction -------------------------------------------------------------

rotuningmodel::rotuningmodel(const char* name, const char* RX, const char* DEPVAR, int NDATA)
    : QivEOBlockImpl(name), m_rx(RX ? RX : ""), m_depVar(DEPVAR ? DEPVAR : ""), m_nData(NDATA) {
  if (m_nData < 1) throw std::invalid_argument("a tuning model needs at least one data point");
  m_indeps = inputTags(m_rx);
  const long long n = static_cast<long long>(m_indeps.size());
  const long long variables = m_nData + 2 + n + (overcrack() ? 2 : 0);
  const long long nonZeros = static_cast<long long>(m_nData) * rowLength();
  if (variables > kDeclaredVariables || nonZeros > kDeclaredNonZeros)
    throw std::length_error("the tuning model needs " + std::to_string(variables) + " variables and " +
                            std::to_string(nonZeros) + " non-zeros; it declares " +
                            std::to_string(kDeclaredVariables) + " and " + std::to_string(kDeclaredNonZeros));
  setupAttributes();
  setupVariables();
  setupEquations();
  m_nnPredictions.assign(static_cast<std::size_t>(m_nData), 0.0);
  if (overcrack()) {
    std::map<std::string, double> zeros;
    for (const std::string& tag : m_indeps) zeros[tag] = 0.0;
    m_diffDerivatives.assign(static_cast<std::size_t>(m_nData), zeros);
    m_diffPredictions.assign(static_cast<std::size_t>(m_nData), 0.0);
  }
  m_runPending = true;
  resolveIndices();
}

rotuningmodel::~rotuningmodel() = default;

void rotuningmodel::resolveIndices() {
  m_alphaAt = at_or_throw(m_varIndex, std::string(kAlpha));
  m_betaAt = at_or_throw(m_varIndex, std::string(kBeta));
  m_gammaAt.clear();
  for (const std::string& tag : m_indeps) m_gammaAt.push_back(at_or_throw(m_varIndex, kGammaPrefix + tag));
  m_yAt.clear();
  for (int i = 0; i < m_nData; ++i) m_yAt.push_back(at_or_throw(m_varIndex, pointName("Y_", i)));
  if (overcrack()) {
    m_paramAt = at_or_throw(m_varIndex, std::string(kOvercrackParam));
    m_rateAt = at_or_throw(m_varIndex, std::string(kOvercrackRate));
  }
  m_pointValues.clear();
  m_plenumValues.clear();
  for (int i = 0; i < m_nData; ++i) {
    for (const std::string& tag : m_indeps)
      m_pointValues.push_back(&at_or_throw(m_attrValues, pointName(tag + "_", i)));
    const auto plenum = m_attrValues.find(pointName(std::string(kPlenumTemp) + "_", i));
    m_plenumValues.push_back(plenum == m_attrValues.end() ? nullptr : &plenum->second);
  }
  int count = 0;
  for (const auto& entry : m_varIndex) count = std::max(count, entry.second);
  m_values.assign(static_cast<std::size_t>(count) + 1, 0.0);
}

bool rotuningmodel::overcrack() const {
  if (m_rx.compare(0, 3, "FCC") != 0) return false;
  for (const char* cut : kOvercrackCuts)
    if (m_depVar == cut) return true;
  return false;
}

int rotuningmodel::rowLength() const { return static_cast<int>(m_indeps.size()) + (overcrack() ? 5 : 3); }

void rotuningmodel::setupAttributes() {
  for (int i = 0; i < m_nData; ++i) {
    m_attrValues[pointName("YNN_", i)] = 0.0;
    for (const std::string& tag : m_indeps) m_attrValues[tag + "_" + std::to_string(i)] = 0.0;
  }
  for (const std::string& tag : m_indeps) m_attrValues[tag + "_GAMMA_SCALE_ERROR"] = 1.0;
  for (const char* scale : {"VAR_SCALE_ERROR", "BETA_SCALE_ERROR", "ALPHA_SCALE_ERROR"}) m_attrValues[scale] = 1.0;
  m_attrNames.clear();
  for (const auto& entry : m_attrValues) m_attrNames.push_back(entry.first);
}

void rotuningmodel::setupVariables() {
  int index = 1;
  for (int i = 0; i < m_nData; ++i) m_varIndex[pointName("Y_", i)] = index++;
  m_varIndex[kAlpha] = index++;
  m_varIndex[kBeta] = index++;
  for (const std::string& tag : m_indeps) m_varIndex[kGammaPrefix + tag] = index++;
  if (overcrack()) {
    m_varIndex[kOvercrackParam] = index++;
    m_varIndex[kOvercrackRate] = index++;
  }
}

void rotuningmodel::setupEquations() {
  for (int i = 0; i < m_nData; ++i) m_eqnIndex[pointName("EQN_", i)] = i + 1;
}

// ---- Registration ---------------------------------------------------------------

void rotuningmodel::createVariables(long long& status) {
  status = 0;
  for (const auto& [name, index] : m_varIndex) {
    createVariable(name, index, status);
    if (status != 0) return;
  }
}

void rotuningmodel::createVariable(std::string name, int index, long long& status) {
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
  rec.lower = -kUnbounded;
  rec.upper = kUnbounded;
  if (rtovarlst_initialize_var(l.vars, m_firstVar - 1 + index, &rec, 1) != 0) {
    status = 1;
    return;
  }
  ++m_nVarsCreated;
}

void rotuningmodel::createEquations(long long& status) {
  status = 0;
  for (const auto& [name, index] : m_eqnIndex) {
    createEquation(name, index, status);
    if (status != 0) return;
  }
}

void rotuningmodel::createEquation(std::string name, int index, long long& status) {
  status = tuning::registerEquation(*this, name, index) ? 0 : 1;
  if (status == 0) ++m_nEqnsCreated;
}

// ---- Framework hooks -------------------------------------------------------------

void rotuningmodel::user_dim(int& nvar, int& neqn, int& nnz, long long& status) {
  nvar = kDeclaredVariables;
  neqn = m_nData;
  nnz = kDeclaredNonZeros;
  status = 0;
}

void rotuningmodel::user_ini(long long& status) {
  status = 0;
  guardHook(status, [&] {
    createVariables(status);
    if (status == 0) createEquations(status);
  });
}

void rotuningmodel::user_pat(rt_jac_t* jac, long long& status) {
  status = 0;
  guardHook(status, [&] {
    const int n = rowLength();
    int nz = m_firstNz;
    for (int i = 0; i < m_nData; ++i) {
      const int row = m_firstEqn + i;
      // The row's columns in pattern order (see the head of this file).
      std::vector<std::string> columns{kAlpha, kBeta};
      for (const std::string& tag : m_indeps) columns.push_back(kGammaPrefix + tag);
      if (overcrack()) {
        columns.push_back(kOvercrackParam);
        columns.push_back(kOvercrackRate);
      }
      columns.push_back(pointName("Y_", i));
      if (static_cast<int>(columns.size()) != n) throw std::logic_error("tuning row length");
      for (const std::string& column : columns) {
        const int var = m_firstVar - 1 + at_or_throw(m_varIndex, column);
        if (!registerNonZero(jac, nz, row, var)) status = 1;
        ++nz;
      }
    }
    m_lastNz = nz - 1;
  });
}

void rotuningmodel::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    const Lists l = listsOf(*this);
    if (!l.vars || !l.eqns || !l.jac) {
      status = 1;
      return;
    }
    const OneBased<double> x(rtovarlst_vec_value(l.vars), rtovarlst_capacity(l.vars));
    const OneBased<double> r(rtoeqnlst_vec_residual(l.eqns), rtoeqnlst_capacity(l.eqns));
    status = getVarValues(x, m_firstVar - 1);
    for (int j = 1; j <= m_nData && status == 0; ++j) computeEqnResidual(r, m_firstEqn - 1, j, status);
  });
}

void rotuningmodel::user_jac(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    const Lists l = listsOf(*this);
    // The values are read as well as the Jacobian written: both must be there.
    if (!l.jac || !l.vars) {
      status = 1;
      return;
    }
    const OneBased<double> bj(rtojac_vec_bj(l.jac), rtojac_capacity(l.jac));
    const OneBased<double> x(rtovarlst_vec_value(l.vars), rtovarlst_capacity(l.vars));
    status = getVarValues(x, m_firstVar - 1);
    for (int j = 1; j <= m_nData && status == 0; ++j) computeEqnDerivatives(bj, j, status);
  });
}

void rotuningmodel::user_jac(int, long long& status) const { status = 1; }
void rotuningmodel::res(int, long long& status) const { status = 1; }

void rotuningmodel::Destroy() { delete this; }

bool rotuningmodel::isof_type(const char* type) const {
  if (type && std::strcmp(type, kModelType) == 0) return true;
  return QivEOBlockImpl::isof_type(type);
}

void rotuningmodel::inq_model_type(char* buf) const {
  if (buf) std::memcpy(buf, kModelType, std::strlen(kModelType) + 1);
}

// ---- Point equations -------------------------------------------------------------

double rotuningmodel::pointInput(const std::string& tag, int point) const {
  return at_or_throw(m_attrValues, tag + "_" + std::to_string(point));
}


void rotuningmodel::computeEqnResidual(const OneBased<double>& residuals, int offset, int point,
                                       long long& status) const {
  status = 0;
  const int i = point - 1;
  const std::vector<double>& v = m_values;
  double r = m_nnPredictions.at(static_cast<std::size_t>(i)) * v[m_alphaAt] + v[m_betaAt];
  for (std::size_t t = 0; t < m_indeps.size(); ++t) r += v[m_gammaAt[t]] * pointValue(i, t);
  r -= v[m_yAt[i]];
  residuals.at(offset + point) = r;
  if (!std::isfinite(r)) status = 1;
}

void rotuningmodel::computeEqnDerivatives(const OneBased<double>& jacobian, int point, long long& status) const {
  status = 0;
  const int i = point - 1;
  const auto k = static_cast<std::size_t>(i);
  std::vector<double>& row = m_row;
  row.clear();
  row.push_back(m_nnPredictions.at(k));
  row.push_back(1.0);
  for (std::size_t t = 0; t < m_indeps.size(); ++t) row.push_back(pointValue(i, t));
  if (overcrack()) {
    const double alpha = m_values[m_alphaAt];
    const double rate = m_values[m_rateAt];
    static const std::string plenum(kPlenumTemp);  // looked up without a text of its own each time
    const auto slope = m_diffDerivatives.at(k).find(plenum);
    const double h = slope == m_diffDerivatives.at(k).end() ? 0.0 : slope->second;
    if (!m_plenumValues.at(k)) throw std::out_of_range(kInvalidMapKey);
    row.push_back(alpha * rate * h * *m_plenumValues[k]);
    row.push_back(-alpha * m_diffPredictions.at(k));
  }
  row.push_back(-1.0);
  const int first = m_firstNz + i * rowLength();
  for (std::size_t c = 0; c < row.size(); ++c) {
    jacobian.at(first + static_cast<int>(c)) = row[c];
    if (!std::isfinite(row[c])) status = 1;
  }
}

// ---- Attributes --------------------------------------------------------------------

int rotuningmodel::attr_num() const {
  return guardCall<int>(0, [&] { return QivEOBlockImpl::attr_num() + static_cast<int>(m_attrNames.size()); });
}

const char* rotuningmodel::attr_name(int i) const {
  return guardCall<const char*>(nullptr, [&]() -> const char* {
    const int framework = QivEOBlockImpl::attr_num();
    if (i < framework) return QivEOBlockImpl::attr_name(i);
    const auto own = static_cast<std::size_t>(i - framework);
    return own < m_attrNames.size() ? m_attrNames[own].c_str() : nullptr;
  });
}

bool rotuningmodel::attr_lookup_value(const char* name, value_t* v) const {
  if (!name) return false;
  return guardCall(false, [&] {
    const auto it = m_attrValues.find(name);
    if (it == m_attrValues.end()) return QivEOBlockImpl::attr_lookup_value(name, v);
    if (v) value_assign_double(v, it->second, 0, 1);
    return true;
  });
}

bool rotuningmodel::attr_assign_value(const char* name, const value_t& v) {
  if (!name) return false;
  return guardCall(false, [&] {
    const auto it = m_attrValues.find(name);
    if (it == m_attrValues.end()) return QivEOBlockImpl::attr_assign_value(name, v);
    // Only numbers: a text or logical read as a number would be a silent 0,
    // and a point input that is not finite would poison every residual.
    if (v.type != VT_REAL) return false;
    const double value = value_real(v);
    if (!std::isfinite(value)) return false;
    it->second = value;
    // The points' inputs feed the networks: the next evaluation runs them
    // again, so predictions and GAMMA terms always describe the same data.
    m_runPending = true;
    return true;
  });
}

bool rotuningmodel::attr_lookup_ismodified(const char* name) const {
  if (!name) return false;
  return guardCall(false, [&] {
    if (m_attrValues.count(name) != 0) return true;
    return QivEOBlockImpl::attr_lookup_ismodified(name);
  });
}

qivblock_attr_desc* rotuningmodel::attr_describe(const char* name) const {
  if (!name) return nullptr;
  return guardCall<qivblock_attr_desc*>(nullptr, [&]() -> qivblock_attr_desc* {
    if (m_attrValues.count(name) == 0) return QivEOBlockImpl::attr_describe(name);
    // One record serves all calls: valid until the next call.
    static qivblock_attr_desc desc;
    if (!copyBounded(desc.name, sizeof desc.name, name)) return nullptr;
    desc.kind = 0;
    desc.access = 0;
    return &desc;
  });
}
