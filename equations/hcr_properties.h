// The hydrocracker's property and conversion equations, made by name by the
// hydrocracker family supplier: the N+A value of a naphtha cut, the blending
// indices of a product (vapour pressure, cetane, freeze point, cloud point,
// smoke point, viscosity) and the calculated conversion.
#pragma once

#include <cstdint>
#include <string>

#include "equations/property_eqn.h"

namespace ROEqnSupplier {

// Index kinds of _eqIdxVal; any other value is an index the library does not know.
enum HcrIndexKind : std::uint32_t {
  kIdxRVI = 0,
  kIdxCETIDX = 1,
  kIdxFREEZEIDX = 2,
  kIdxCLOUDIDX = 3,
  kIdxSMOKEIDX = 4,
  kIdxVISCIDX = 5,
};

// The kind of an index word ("RVI" 0 ... "VISCIDX" 5), -1 for any other word.
int hcrIndexKind(const std::string& word);
// The index word that the name ends with, tested in the order "RVI", "CETIDX",
// "FREEZEIDX", "CLOUDIDX", "SMOKEIDX", "VISCIDX", the name being strictly
// longer than the word; the empty word when none fits.
std::string hcrIndexSuffix(const std::string& name);

// "EQN_" p "NA": p "NA" = a x p "NAPH" + b x p "AROM" with a = b = 1; key 2500.
class _eqNAVal : public PropertyEqn {
 public:
  explicit _eqNAVal(const std::string& prefix);

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;

 private:
  double m_a = 1.0;  // naphthenes
  double m_b = 1.0;  // aromatics
};

// "EQN_" p word(k): the index of kind k of product p, over the property
// variable(s) and the index (last); key 2500; no starting value. A kind the
// library does not know gives an equation without variables whose residual
// reports failure.
class _eqIdxVal : public PropertyEqn {
 public:
  _eqIdxVal(const std::string& prefix, std::uint32_t kind);

  std::uint32_t kind() const { return m_kind; }
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;

 private:
  std::uint32_t m_kind;
};

// "EQN_CALC_CONVERSION": the conversion from the feed rate, the total
// conversion, the recycle rate and the feed sulfur; key 2499.
class _eqConvCalc : public PropertyEqn {
 public:
  // Coefficients of "FEEDMASS", "TOTCONV", "RCYRATE", "FEEDSUL" and the constant.
  static constexpr double kFeedMass = 1.22853188368e-5;
  static constexpr double kTotConv = 0.948054946124;
  static constexpr double kRcyRate = -0.797164005838;
  static constexpr double kFeedSul = 0.584632668456;
  static constexpr double kConstant = 4.38748336599;

  _eqConvCalc();

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;
};

}  // namespace ROEqnSupplier
