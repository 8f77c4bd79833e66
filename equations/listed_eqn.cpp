#include "equations/listed_eqn.h"

#include <cmath>
#include <cstddef>
#include <map>
#include <stdexcept>

namespace ROEqnSupplier {

namespace {

constexpr double kE = 2.718281828459045;
constexpr double kInvE = 0.36787944117144233;

}  // namespace

int ListedEqn::putResidual(OneBased<double> residuals, double r) const {
  writeResidual(residuals, r);
  return std::isfinite(r) ? 0 : 1;
}

int ListedEqn::putPartials(OneBased<double> values, const std::vector<double>& partials) const {
  if (partials.size() != m_varNames.size()) throw std::logic_error("one partial derivative per listed variable");
  std::map<std::string, double> total;
  for (std::size_t i = 0; i < m_varNames.size(); ++i) total[m_varNames[i]] += partials[i];
  std::vector<double> derivs(m_varNames.size());
  for (std::size_t i = 0; i < m_varNames.size(); ++i) derivs[i] = total[m_varNames[i]];
  return putDerivatives(values, derivs);
}

int ListedEqn::putDerivatives(OneBased<double> values, const std::vector<double>& derivs) const {
  if (derivs.size() != m_varNames.size()) throw std::logic_error("one derivative per listed variable");
  int failed = 0;
  for (std::size_t i = 0; i < m_varNames.size(); ++i) {
    if (setJacValue(values, m_varNames[i], derivs[i]) != 0 || !std::isfinite(derivs[i])) ++failed;
  }
  return failed;
}

SmoothFloor smoothFloor(double x, double c) {
  if (x > c) return {x, 1.0, 0.0};
  const double e = std::exp(x / c);
  return {e * (c / kE), e * kInvE, std::exp(x / c - 1.0) * (1.0 - x / c)};
}

}  // namespace ROEqnSupplier
