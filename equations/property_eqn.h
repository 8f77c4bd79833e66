// PropertyEqn: the common body of the property and feed-correlation equations
// (coker product properties, hydrocracker indices and conversion, reformer
// feed properties). Each ties one defined variable of its list to a
// correlation of the other variables of the list. A concrete class gives only
// the correlation, its value and its gradient by the inputs, from one
// function; the residual, every Jacobian entry and the starting value are all
// derived from it, so they cannot drift apart.
//
//   residual  = sign x (correlation(inputs) - defined)
//   d/d input = sign x d correlation / d input,   d/d defined = -sign
//   starting value: defined = correlation(inputs)
//
// sign is +1 (correlation minus variable) or -1 (variable minus correlation),
// as each equation is written.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "equations/roeqn2.h"

namespace ROEqnSupplier {

class PropertyEqn : public roeqn2 {
 public:
  // Largest number of inputs of any correlation.
  static constexpr std::size_t kMaxInputs = 6;
  using Values = std::array<double, kMaxInputs>;

  enum class Sign { CorrelationMinusVariable = 1, VariableMinusCorrelation = -1 };
  // What jac reports: the number of entries not written, or only whether any
  // entry was not written (0 or 1).
  enum class JacStatus { Count, AnyUnwritten };

  // The residual at the equation's number; 1 when the correlation cannot be
  // evaluated (nothing written) or its value is not finite.
  int res(OneBased<double> residuals) override;
  // One entry per listed variable; 1 and nothing written when the correlation
  // cannot be evaluated; at least 1 when an entry or the correlation's value
  // is not finite.
  int jac(OneBased<double> values) override;
  // Stores the correlation's value as the defined variable's starting value
  // (when the equation sets one): 0 when stored, 1 when the correlation cannot
  // be evaluated or its value is not finite (never stored).
  int init() override;

  // The correlation at the current point (NaN when it cannot be evaluated).
  double correlationValue() const;
  // The defined variable's name (empty for an equation without variables).
  std::string definedName() const { return m_varNames.empty() ? std::string() : m_varNames[m_defined]; }

 protected:
  // vars: the variable list in pattern order; defined: the position of the
  // defined variable in it; the others are the inputs, in list order.
  PropertyEqn(std::string name, std::vector<std::string> vars, std::size_t defined, Sign sign, std::uint32_t orderKey,
              EqnContext context = nullptr);

  // The correlation of the input values x (list order without the defined
  // variable). Fills grad with d value / d x_i when it is given. Returns false
  // when the equation cannot be evaluated at all (a missing block context).
  virtual bool correlate(const Values& x, double& value, Values* grad) const = 0;

  void setJacStatus(JacStatus kind) { m_jacStatus = kind; }
  // An equation without a starting value keeps the base's step (none, 0).
  void setSetsStartValue(bool sets) { m_setsStart = sets; }

 private:
  // Reads the inputs by name; false when the correlation is not available.
  bool evaluate(double& value, Values* grad) const;

  std::size_t m_defined;
  double m_sign;
  JacStatus m_jacStatus = JacStatus::Count;
  bool m_setsStart = true;
};

// ---- Correlations shared by the coker and hydrocracker equations -------------

// Cetane index from the specific gravity g and the 50 % distillation point t
// (degrees Celsius, converted to T = 1.8 t + 32 degrees Fahrenheit):
// 454.74 - 1641.416 g + 774.74 g^2 - 0.554 T + 97.803 (log10 T)^2.
double cetaneIndex(double g, double t, double* dg, double* dt);

// Cloud-point blending index of the cloud point p (degrees Fahrenheit):
// 10000 ((p + 460) / 600)^16.7.
double cloudPointIndex(double p, double* dp);

}  // namespace ROEqnSupplier
