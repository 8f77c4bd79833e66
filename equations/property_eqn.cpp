#include "equations/property_eqn.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace ROEqnSupplier {

PropertyEqn::PropertyEqn(std::string name, std::vector<std::string> vars, std::size_t defined, Sign sign,
                         std::uint32_t orderKey, EqnContext context)
    : roeqn2(std::move(name), context), m_defined(defined), m_sign(static_cast<double>(sign)) {
  // An empty list is an equation that cannot be evaluated (see evaluate).
  if (!vars.empty() && (defined >= vars.size() || vars.size() - 1 > kMaxInputs))
    throw std::invalid_argument("property equation without a defined variable");
  m_varNames = std::move(vars);
  setOrderKey(orderKey);
}

bool PropertyEqn::evaluate(double& value, Values* grad) const {
  if (m_varNames.empty()) return false;
  Values x{};
  std::size_t k = 0;
  for (std::size_t i = 0; i < m_varNames.size(); ++i)
    if (i != m_defined) x[k++] = valueAt(i);
  if (grad) grad->fill(0.0);
  return correlate(x, value, grad);
}

double PropertyEqn::correlationValue() const {
  double value = 0.0;
  return evaluate(value, nullptr) ? value : std::numeric_limits<double>::quiet_NaN();
}

int PropertyEqn::res(OneBased<double> residuals) {
  double value = 0.0;
  if (!evaluate(value, nullptr)) return 1;
  const double r = m_sign * (value - valueAt(m_defined));
  writeResidual(residuals, r);
  return std::isfinite(r) ? 0 : 1;
}

int PropertyEqn::jac(OneBased<double> values) {
  double value = 0.0;
  Values grad{};
  if (!evaluate(value, &grad)) return 1;
  int unwritten = 0;
  // Where the correlation itself is not defined its slope means nothing.
  bool finite = std::isfinite(value);
  std::size_t k = 0;
  for (std::size_t i = 0; i < m_varNames.size(); ++i) {
    const double d = i == m_defined ? -m_sign : m_sign * grad[k++];
    finite = finite && std::isfinite(d);
    unwritten += setJacAt(values, i, d);
  }
  if (m_jacStatus == JacStatus::AnyUnwritten && unwritten > 0) unwritten = 1;
  return unwritten > 0 ? unwritten : (finite ? 0 : 1);
}

int PropertyEqn::init() {
  if (!m_setsStart) return roeqn2::init();
  double value = 0.0;
  if (!evaluate(value, nullptr)) return 1;
  return putStartAt(m_defined, value);
}

// ---- Correlations ------------------------------------------------------------

double cetaneIndex(double g, double t, double* dg, double* dt) {
  const double T = 1.8 * t + 32.0;
  const double lt = std::log10(T);
  if (dg) *dg = 1549.48 * g - 1641.416;
  if (dt) *dt = 1.8 * (195.606 * lt / (T * std::log(10.0)) - 0.554);
  return 454.74 - 1641.416 * g + 774.74 * g * g - 0.554 * T + 97.803 * lt * lt;
}

double cloudPointIndex(double p, double* dp) {
  const double base = (p + 460.0) / 600.0;
  if (dp) *dp = 167000.0 * std::pow(base, 15.7) / 600.0;
  return 10000.0 * std::pow(base, 16.7);
}

}  // namespace ROEqnSupplier
