// Sum ratios and unit conversions, made by the generic supplier for every
// reactor family: composition shares of the C3 and C4 mixes (sum of a group
// over the sum of another), and linear unit conversions such as sulfur in ppm
// against sulfur in percent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "equations/listed_eqn.h"
#include "equations/suppliers.h"

namespace ROEqnSupplier {

// sum(group 1) = ratio x sum(group 2). The list holds the ratio, group 1 and
// group 2; positions 1 .. split - 1 are group 1, split .. end group 2.
class _eqSumRatio : public ListedEqn {
 public:
  _eqSumRatio(const std::vector<std::string>& group1, const std::vector<std::string>& group2,
              const std::string& ratio, const std::string& name);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  // ratio = S1 / max(1e-20, S2): a group 2 that sums to zero or less still
  // gives a finite share.
  int init() override;

  std::uint64_t split() const { return m_split; }

 private:
  static constexpr std::size_t kRatio = 0;  // the ratio, then group 1 and group 2
  double groupSum(std::size_t from, std::size_t to) const;
  std::uint64_t m_split;
};

// from x scale + offset = to.
class _eqUnitConv : public ListedEqn {
 public:
  _eqUnitConv(const std::string& from, const std::string& to, const std::string& name, double scale,
              double offset);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  // Overwrites the second variable from the first.
  int init() override;

  double scale() const { return m_scale; }
  double offset() const { return m_offset; }

 private:
  enum Entry : std::size_t { kFrom, kTo };  // list order
  double m_scale, m_offset;
};

}  // namespace ROEqnSupplier
