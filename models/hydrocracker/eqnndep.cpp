#include "models/hydrocracker/eqnndep.h"

#include <cmath>

namespace {

std::vector<std::string> inputList(const std::set<std::string>& inputs) {
  return std::vector<std::string>(inputs.begin(), inputs.end());
}

}  // namespace

eqNNDep::eqNNDep(EqnContext attributes, const std::string& output, const std::string& modelKind,
                 const std::set<std::string>& inputs)
    : hcreqn("Y_" + output),
      m_modelKind(modelKind),
      m_output(output),
      m_inputs(inputList(inputs)),
      m_factors(ROEqnSupplier::tuningFactors(output, m_inputs)),
      m_beta("BETA_" + output),
      m_cache(m_inputs.size(), 0.0),
      m_dpdx(m_inputs.size(), 0.0),
      m_run(m_inputs.size(), 0.0),
      m_runner(modelKind, output, m_inputs) {
  setContext(attributes);
  m_varNames = m_inputs;
  m_varNames.push_back(m_output);
  for (const std::string& x : m_inputs) m_derivs[x] = 0.0;
}

int eqNNDep::evaluate() {
  valuesAt(0, m_inputs.size(), m_cache.data());
  ++m_runs;
  double p = 0.0;
  const int status = m_runner.run(m_cache, true, p, m_run);
  if (status != 0) {
    m_cacheValid = false;
    return status;
  }
  m_prediction = p;
  m_dpdx = m_run;
  auto d = m_derivs.begin();
  for (std::size_t i = 0; i < m_inputs.size(); ++i, ++d) d->second = m_dpdx[i];
  m_cacheValid = true;
  return 0;
}

int eqNNDep::refresh() {
  if (!m_cacheValid) return evaluate();
  for (std::size_t i = 0; i < m_inputs.size(); ++i)
    if (valueAt(i) != m_cache[i]) return evaluate();
  return 0;
}

double eqNNDep::adjustedPrediction(long long& status) const {
  const ROMAttrMap* attrs = attributeMap();
  if (!attrs) {
    status = 1;
    return 0.0;
  }
  status = 0;
  m_factors.bind(*attrs);
  double v = m_factors.value(0) * m_prediction + m_beta.value(*attrs);
  for (std::size_t i = 0; i < m_inputs.size(); ++i) v += valueAt(i) * m_factors.value(i + 1);
  return v;
}

int eqNNDep::res(OneBased<double> residuals) {
  if (!attributeMap()) return 1;
  const int status = refresh();
  long long st = 0;
  const double r = adjustedPrediction(st) - valueAt(m_inputs.size());
  writeResidual(residuals, r);
  if (status != 0) return status;
  return std::isfinite(r) && st == 0 ? 0 : 1;
}

int eqNNDep::jac(OneBased<double> values) {
  if (!attributeMap()) return 1;
  const int status = refresh();
  m_factors.bind(attributes());
  const double alpha = m_factors.value(0);
  bool failed = status != 0;
  auto put = [&](std::size_t entry, double value) {
    if (setJacAt(values, entry, value) != 0 || !std::isfinite(value)) failed = true;
  };
  for (std::size_t i = 0; i < m_inputs.size(); ++i) put(i, alpha * m_dpdx[i] + m_factors.value(i + 1));
  put(m_inputs.size(), -1.0);
  return failed ? 1 : 0;
}

int eqNNDep::init() {
  const int status = evaluate();
  long long st = 0;
  const double y = adjustedPrediction(st);
  const int stored = st == 0 ? setVarValueAt(m_inputs.size(), y) : 1;
  return status != 0 ? status : stored;
}
