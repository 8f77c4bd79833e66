#include "equations/ratio_unit_equations.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>

namespace ROEqnSupplier {

namespace {

// The smallest divisor of a share's starting value.
constexpr double kMinGroupSum = 1e-20;

}  // namespace

// ---- Sum ratio ------------------------------------------------------------------

_eqSumRatio::_eqSumRatio(const std::vector<std::string>& group1, const std::vector<std::string>& group2,
                         const std::string& ratio, const std::string& name)
    : ListedEqn(name), m_split(1 + group1.size()) {
  m_varNames.push_back(ratio);
  m_varNames.insert(m_varNames.end(), group1.begin(), group1.end());
  m_varNames.insert(m_varNames.end(), group2.begin(), group2.end());
  setOrderKey(3000);
}

double _eqSumRatio::groupSum(std::size_t from, std::size_t to) const {
  double sum = 0.0;
  for (std::size_t i = from; i < to; ++i) sum += value(i);
  return sum;
}

int _eqSumRatio::res(OneBased<double> residuals) {
  const std::size_t split = static_cast<std::size_t>(m_split);
  const double s1 = groupSum(1, split), s2 = groupSum(split, m_varNames.size());
  return putResidual(residuals, s1 - value(kRatio) * s2);
}

int _eqSumRatio::jac(OneBased<double> values) {
  const std::size_t split = static_cast<std::size_t>(m_split);
  const double r = value(kRatio);
  // List order: ratio, group 1, group 2.
  const std::span<double> partials = workVector(m_varNames.size());
  std::fill(partials.begin(), partials.end(), -r);
  partials.front() = -groupSum(split, m_varNames.size());
  std::fill(partials.begin() + 1, partials.begin() + static_cast<std::ptrdiff_t>(split), 1.0);
  return putPartials(values, partials);
}

int _eqSumRatio::init() {
  const std::size_t split = static_cast<std::size_t>(m_split);
  const double s1 = groupSum(1, split), s2 = groupSum(split, m_varNames.size());
  return putStartAt(kRatio, s1 / std::max(kMinGroupSum, s2));
}

// ---- Unit conversion --------------------------------------------------------------

_eqUnitConv::_eqUnitConv(const std::string& from, const std::string& to, const std::string& name, double scale,
                         double offset)
    : ListedEqn(name), m_scale(scale), m_offset(offset) {
  m_varNames = {from, to};
  setOrderKey(3500);
}

int _eqUnitConv::res(OneBased<double> residuals) {
  return putResidual(residuals, value(kFrom) * m_scale + m_offset - value(kTo));
}

int _eqUnitConv::jac(OneBased<double> values) { return putPartials(values, {m_scale, -1.0}); }

int _eqUnitConv::init() { return putStartAt(kTo, value(kFrom) * m_scale + m_offset); }

// ---- Builders ------------------------------------------------------------------------

EqnPtr buildUnitConversionEquation(const std::string& from, const std::string& to, const std::string& name,
                                   double scale, double offset) {
  return std::make_unique<_eqUnitConv>(from, to, name, scale, offset);
}

EqnPtr buildSumRatioEquation(const std::vector<std::string>& group1, const std::vector<std::string>& group2,
                             const std::string& ratio, const std::string& name) {
  return std::make_unique<_eqSumRatio>(group1, group2, ratio, name);
}

}  // namespace ROEqnSupplier
