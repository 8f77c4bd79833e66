// The visbreaker's own correlations and its equation objects.
//
// Correlations (both generations use them):
//   viscosity blending index   VBI(v) = 33.5 log10(log10(v + 0.85)) + 19.2,
//                              v the kinematic viscosity in cSt (defined above 0.15 cSt)
//   furnace temperature (F)    a linear fit in the feed gravity, the conversion,
//                              the feed CCR and sulfur, minus K / sqrt(s M) for
//                              the feed mass M (kg/h; s = 2.20462 turns it into
//                              lb/h for the "VB_SKR" kind, 1 otherwise)
//   viscosity restart          a viscosity below 0.2 cSt (strictly; NaN passes)
//                              is moved to 0.2 + r / 32768, r = crt_rand(), so
//                              that the double logarithm stays defined
//
// Equation objects of the second generation, made by name by the visbreaker
// supplier ROVBFactImpl:
//   "EQN_LGOVBI", "EQN_HGOVBI", "EQN_TARVBI"  _eqnViscosity over (S + "VISC_122", S + "VBI")
//   "EQN_FEEDVBI"                             _eqnViscosity over ("FEEDVISC", "FEEDVBI")
//   "EQN_FURNACETEMP"                         _eqnVBNOSKRFurnaceTemp for the model type
//                                             "VB_NOSKR", _eqnVBSKRFurnaceTemp otherwise
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "equations/listed_eqn.h"
#include "equations/property_eqn.h"
#include "equations/suppliers.h"

namespace ROEqnSupplier {

// ---- Correlations ---------------------------------------------------------------

double vbViscosityIndex(double visc);
// d VBI / d v = 33.5 / (log10(v + 0.85) (ln 10)^2 (v + 0.85)).
double vbViscosityIndexSlope(double visc);
// The viscosity the index equations evaluate at: v itself at 0.2 or above
// (and for NaN), else a fresh draw in [0.2, 1.2).
double vbViscosityRestart(double visc);
// Lower end of the viscosities the index equations accept without a restart.
constexpr double kVbMinViscosity = 0.2;

// One fit of the furnace-temperature correlation.
struct VBFurnaceFit {
  double feedSG;      // per unit of feed specific gravity
  double conversion;  // per percent of conversion
  double feedCCR;     // per percent of feed CCR
  double feedSul;     // per percent of feed sulfur
  double massCoef;    // K of the mass term -K / sqrt(massScale x M)
  double massScale;   // 1 (M in kg/h) or 2.20462 (M in lb/h)
  double constant;
};
extern const VBFurnaceFit kVbNoSkrFurnaceFit;
extern const VBFurnaceFit kVbSkrFurnaceFit;
// The fit of a model kind: "VB_NOSKR" exactly, else the SKR fit.
const VBFurnaceFit& vbFurnaceFit(const std::string& modelKind);

// Arguments of the correlation, in this order.
enum VBFurnaceArg : std::size_t { kFurnaceFeedMass, kFurnaceConversion, kFurnaceFeedCCR, kFurnaceFeedSG, kFurnaceFeedSul };
using VBFurnaceArgs = std::array<double, 5>;
// The furnace temperature at x; with grad given, its partial derivatives by
// the five arguments in the same order (the mass one the exact derivative of
// the mass term: K/2 s (s M)^-1.5).
double vbFurnaceTemperature(const VBFurnaceFit& fit, const VBFurnaceArgs& x, VBFurnaceArgs* grad = nullptr);

// ---- Equation objects -------------------------------------------------------------

// The viscosity blending index of one stream: VBI(v) - I over (viscosity, index),
// v the viscosity after the restart (which is written back into the block's
// variable before the residual or Jacobian is formed). Ordering key 2501; its
// starting value inverts the index: v = 10^(10^((I - 19.2) / 33.5)) - 0.85.
class _eqnViscosity : public ListedEqn {
 public:
  static constexpr std::uint32_t kOrderKey = 2501;

  // stream "LGO", suffix "_122": "EQN_LGOVBI" over "LGOVISC_122", "LGOVBI".
  _eqnViscosity(const std::string& stream, const std::string& suffix);

  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

  const std::string& viscosityName() const { return m_varNames[kVisc]; }
  const std::string& indexName() const { return m_varNames[kIndex]; }

 private:
  enum Entry : std::size_t { kVisc, kIndex };  // list order
  // The viscosity after the restart, stored into the framework when it moved.
  double guardedViscosity() const;
};

// The furnace temperature: correlation(FEEDMASS, CONVERSION, FEEDCCR, FEEDSG,
// FEEDSUL) - FURNACETEMP, over those six variables in that order. Ordering
// key 2500: its starting value (FURNACETEMP = the correlation) is set before
// the viscosities'. The leaves choose the fit.
class _eqnVBFurnaceTemp : public PropertyEqn {
 public:
  static constexpr std::uint32_t kOrderKey = 2500;

 protected:
  explicit _eqnVBFurnaceTemp(const VBFurnaceFit& fit);
  bool correlate(const Values& x, double& value, Values* grad) const override;

  // The correlation at the block's current values.
  double currentTemperature() const;

 private:
  const VBFurnaceFit& m_fit;
};

class _eqnVBNOSKRFurnaceTemp : public _eqnVBFurnaceTemp {
 public:
  _eqnVBNOSKRFurnaceTemp() : _eqnVBFurnaceTemp(kVbNoSkrFurnaceFit) {}
  double furnaceTemperature() const { return currentTemperature(); }
};

class _eqnVBSKRFurnaceTemp : public _eqnVBFurnaceTemp {
 public:
  _eqnVBSKRFurnaceTemp() : _eqnVBFurnaceTemp(kVbSkrFurnaceFit) {}
  double furnaceTemperature() const { return currentTemperature(); }
};

// The visbreaker's equations by exact name (see above); null for any other
// name. modelType chooses the furnace fit.
EqnPtr buildVisbreakerEquations(const std::string& name, const std::string& modelType);

}  // namespace ROEqnSupplier
