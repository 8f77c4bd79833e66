// Fraction conversion and mix flow. A yield equation ties a stream's mass to
// a total stream's mass through the stream's yield fraction (a network
// output), optionally scaled by the block's mass factor and passed through a
// smooth floor at the stream's cut-off; a mix flow states that a mixed
// stream's flow on one basis is the sum of its members' flows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "equations/listed_eqn.h"
#include "equations/suppliers.h"

namespace ROEqnSupplier {

// Names of a yield equation for stream s, basis word b and total stream t:
// the total t + b, the factor b + "FACTOR" (factor flag) and the cut-off
// s + "CUTOFF" (cut-off flag); an absent one is empty.
class _eqFracConvBase : public ListedEqn {
 public:
  _eqFracConvBase(const std::string& stream, const std::string& basisWord, const std::string& totalStream,
                  bool factorFlag, bool cutoffFlag, const std::string& eqnName);

 protected:
  std::string m_total, m_factor, m_cutoff;
};

// s + "MASS" / (t + b) = F, F = floored s + "FRAC" [x b + "FACTOR"]. Named
// "EQN_" + s + b with the factor, "CONV_" + s + b without.
class _eqMassConv_Frac : public _eqFracConvBase {
 public:
  _eqMassConv_Frac(const std::string& stream, const std::string& basisWord, const std::string& totalStream,
                   bool factorFlag, bool cutoffFlag);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

  // The floored fraction F0 with its derivatives by the fraction and the cut-off.
  SmoothFloor flooredFraction() const;

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  static constexpr std::size_t kTotal = 0;
  double scaled(double f0) const { return m_factorEntry == kNone ? f0 : f0 * value(m_factorEntry); }
  // List entries: total first, the factor and the cut-off when present (else
  // kNone), then the fraction and the mass.
  std::size_t m_factorEntry = kNone, m_cutoffEntry = kNone, m_fracEntry = 0, m_massEntry = 0;
};

// m + b = sum of x + b over the members x; "EQN_" + m + b unless named.
class _eqMixFlow : public ListedEqn {
 public:
  _eqMixFlow(const std::vector<std::string>& members, const std::string& mix, const std::string& basisWord,
             const std::string& eqnName);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

 private:
  double memberSum() const;
};

}  // namespace ROEqnSupplier
