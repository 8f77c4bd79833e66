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
      m_alpha("ALPHA_" + output),
      m_beta("BETA_" + output),
      m_cache(m_inputs.size(), 0.0),
      m_runner(modelKind, output, m_inputs) {
  setContext(attributes);
  m_gamma.reserve(m_inputs.size());
  for (const std::string& x : m_inputs) m_gamma.emplace_back("GAMMA_" + output + "_" + x);
  m_varNames = m_inputs;
  m_varNames.push_back(m_output);
  for (const std::string& x : m_inputs) m_derivs[x] = 0.0;
}

int eqNNDep::evaluate() {
  for (std::size_t i = 0; i < m_inputs.size(); ++i) m_cache[i] = valueOf(m_inputs[i]);
  ++m_runs;
  double p = 0.0;
  std::vector<double> d;
  const int status = m_runner.run(m_cache, true, p, d);
  if (status != 0) {
    m_cacheValid = false;
    return status;
  }
  m_prediction = p;
  for (std::size_t i = 0; i < m_inputs.size(); ++i) m_derivs[m_inputs[i]] = d[i];
  m_cacheValid = true;
  return 0;
}

int eqNNDep::refresh() {
  if (!m_cacheValid) return evaluate();
  for (std::size_t i = 0; i < m_inputs.size(); ++i)
    if (valueOf(m_inputs[i]) != m_cache[i]) return evaluate();
  return 0;
}

double eqNNDep::adjustedPrediction(long long& status) const {
  const ROMAttrMap* attrs = attributeMap();
  if (!attrs) {
    status = 1;
    return 0.0;
  }
  status = 0;
  double v = m_alpha.value(*attrs) * m_prediction + m_beta.value(*attrs);
  for (std::size_t i = 0; i < m_inputs.size(); ++i) v += valueOf(m_inputs[i]) * m_gamma[i].value(*attrs);
  return v;
}

int eqNNDep::res(OneBased<double> residuals) {
  if (!attributeMap()) return 1;
  const int status = refresh();
  long long st = 0;
  const double r = adjustedPrediction(st) - valueOf(m_output);
  writeResidual(residuals, r);
  if (status != 0) return status;
  return std::isfinite(r) && st == 0 ? 0 : 1;
}

int eqNNDep::jac(OneBased<double> values) {
  if (!attributeMap()) return 1;
  const int status = refresh();
  const ROMAttrMap& attrs = attributes();
  const double alpha = m_alpha.value(attrs);
  bool failed = status != 0;
  auto put = [&](const std::string& name, double value) {
    if (setJacValue(values, name, value) != 0 || !std::isfinite(value)) failed = true;
  };
  for (std::size_t i = 0; i < m_inputs.size(); ++i)
    put(m_inputs[i], alpha * m_derivs.at(m_inputs[i]) + m_gamma[i].value(attrs));
  put(m_output, -1.0);
  return failed ? 1 : 0;
}

int eqNNDep::init() {
  const int status = evaluate();
  long long st = 0;
  const double y = adjustedPrediction(st);
  const int stored = st == 0 ? setVarValue(m_output, y) : 1;
  return status != 0 ? status : stored;
}
