#include "equations/listed_eqn.h"

#include <cmath>
#include <cstddef>
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

int ListedEqn::putPartials(OneBased<double> values, std::span<const double> partials) const {
  const std::size_t n = m_varNames.size();
  if (partials.size() != n) throw std::logic_error("one partial derivative per listed variable");
  if (distinctEntries()) {
    // Every name once: each partial is its name's derivative.
    if (double* row = jacobianRow(values)) {
      int failed = 0;
      for (std::size_t i = 0; i < n; ++i) {
        const double d = 0.0 + partials[i];  // as summed from zero
        row[i] = d;
        if (!std::isfinite(d)) ++failed;
      }
      return failed;
    }
  }
  // The entries of one name add up at the name's group (its later entry).
  const std::vector<std::size_t>& group = entryGroups();
  if (m_sums.size() < n) m_sums.resize(n);
  for (std::size_t i = 0; i < n; ++i) m_sums[group[i]] = 0.0;
  for (std::size_t i = 0; i < n; ++i) m_sums[group[i]] += partials[i];
  int failed = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const double d = m_sums[group[i]];
    if (setJacAt(values, i, d) != 0 || !std::isfinite(d)) ++failed;
  }
  return failed;
}

int ListedEqn::putDerivatives(OneBased<double> values, std::span<const double> derivs) const {
  if (derivs.size() != m_varNames.size()) throw std::logic_error("one derivative per listed variable");
  int failed = 0;
  if (double* row = jacobianRow(values)) {
    const std::vector<std::size_t>& group = entryGroups();
    for (std::size_t i = 0; i < derivs.size(); ++i) {
      row[group[i]] = derivs[i];
      if (!std::isfinite(derivs[i])) ++failed;
    }
    return failed;
  }
  for (std::size_t i = 0; i < m_varNames.size(); ++i) {
    if (setJacAt(values, i, derivs[i]) != 0 || !std::isfinite(derivs[i])) ++failed;
  }
  return failed;
}

std::span<double> ListedEqn::workVector(std::size_t n) const {
  if (m_work.size() < n) m_work.resize(n);
  return std::span<double>(m_work.data(), n);
}

SmoothFloor smoothFloor(double x, double c) {
  if (x > c) return {x, 1.0, 0.0};
  const double e = std::exp(x / c);
  return {e * (c / kE), e * kInvE, std::exp(x / c - 1.0) * (1.0 - x / c)};
}

}  // namespace ROEqnSupplier
