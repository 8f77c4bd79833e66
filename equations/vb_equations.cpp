#include "equations/vb_equations.h"

#include <cmath>
#include <memory>

#include "platform/crt.h"

namespace ROEqnSupplier {

namespace {

constexpr double kVbiSlope = 33.5;
constexpr double kVbiOffset = 19.2;
constexpr double kViscShift = 0.85;  // cSt added before the double logarithm
// 1 / 32768: a draw of crt_rand() spreads the restart over [0.2, 1.2).
constexpr double kRestartStep = 3.0517578125e-5;

// The four index equations: the stream and the suffix of its viscosity.
struct ViscosityRow {
  const char* eqn;
  const char* stream;
  const char* suffix;
};
constexpr ViscosityRow kViscosityRows[] = {
    {"EQN_LGOVBI", "LGO", "_122"},
    {"EQN_HGOVBI", "HGO", "_122"},
    {"EQN_TARVBI", "TAR", "_122"},
    {"EQN_FEEDVBI", "FEED", ""},  // the feed's viscosity has no temperature suffix
};

bool endsWith(const std::string& text, const char* suffix) {
  const std::string s(suffix);
  return text.size() >= s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0;
}

}  // namespace

// ---- Correlations ---------------------------------------------------------------

double vbViscosityIndex(double visc) { return kVbiSlope * std::log10(std::log10(visc + kViscShift)) + kVbiOffset; }

double vbViscosityIndexSlope(double visc) {
  const double u = visc + kViscShift;
  const double ln10 = std::log(10.0);
  return kVbiSlope / (std::log10(u) * ln10 * ln10 * u);
}

double vbViscosityRestart(double visc) {
  if (!(visc < kVbMinViscosity)) return visc;  // 0.2 itself and NaN stay
  return crt_rand() * kRestartStep + kVbMinViscosity;
}

const VBFurnaceFit kVbNoSkrFurnaceFit = {159.070092018, 35.4735292179, 0.857311642416, -16.8296411665,
                                         95787.0159234, 1.0,           764.756089801};
// The SKR fit takes the feed mass in lb/h.
const VBFurnaceFit kVbSkrFurnaceFit = {197.3864499, 27.65985297, 0.678727347, -12.46523748,
                                       74953.44297, 2.20462,     624.2163622};

const VBFurnaceFit& vbFurnaceFit(const std::string& modelKind) {
  return modelKind == "VB_NOSKR" ? kVbNoSkrFurnaceFit : kVbSkrFurnaceFit;
}

double vbFurnaceTemperature(const VBFurnaceFit& fit, const VBFurnaceArgs& x, VBFurnaceArgs* grad) {
  const double scaledMass = fit.massScale * x[kFurnaceFeedMass];
  if (grad) {
    // d/dM of -K (sM)^-1/2 is K/2 s (sM)^-3/2.
    (*grad)[kFurnaceFeedMass] = fit.massCoef / 2.0 * fit.massScale * std::pow(scaledMass, -1.5);
    (*grad)[kFurnaceConversion] = fit.conversion;
    (*grad)[kFurnaceFeedCCR] = fit.feedCCR;
    (*grad)[kFurnaceFeedSG] = fit.feedSG;
    (*grad)[kFurnaceFeedSul] = fit.feedSul;
  }
  return fit.feedSG * x[kFurnaceFeedSG] + fit.conversion * x[kFurnaceConversion] + fit.feedCCR * x[kFurnaceFeedCCR] +
         fit.feedSul * x[kFurnaceFeedSul] - fit.massCoef / std::sqrt(scaledMass) + fit.constant;
}

// ---- _eqnViscosity ----------------------------------------------------------------

_eqnViscosity::_eqnViscosity(const std::string& stream, const std::string& suffix)
    : ListedEqn("EQN_" + stream + "VBI") {
  m_varNames = {stream + "VISC" + suffix, stream + "VBI"};
  setOrderKey(kOrderKey);
}

double _eqnViscosity::guardedViscosity() const {
  const double v = value(kVisc);
  const double used = vbViscosityRestart(v);
  if (v < kVbMinViscosity) setVarValueAt(kVisc, used);
  return used;
}

int _eqnViscosity::res(OneBased<double> residuals) {
  const double v = guardedViscosity();
  return putResidual(residuals, vbViscosityIndex(v) - value(kIndex));
}

int _eqnViscosity::jac(OneBased<double> values) {
  const double v = guardedViscosity();
  return putPartials(values, {vbViscosityIndexSlope(v), -1.0});
}

int _eqnViscosity::init() {
  // The viscosity whose index is the current one; an index too large for a
  // double keeps the viscosity as it is.
  const double t = (value(kIndex) - kVbiOffset) / kVbiSlope;
  putStartAt(kVisc, std::pow(10.0, std::pow(10.0, t)) - kViscShift);
  return 0;
}

// ---- Furnace temperature ------------------------------------------------------------

_eqnVBFurnaceTemp::_eqnVBFurnaceTemp(const VBFurnaceFit& fit)
    : PropertyEqn("EQN_FURNACETEMP", {"FEEDMASS", "CONVERSION", "FEEDCCR", "FEEDSG", "FEEDSUL", "FURNACETEMP"}, 5,
                  Sign::CorrelationMinusVariable, kOrderKey),
      m_fit(fit) {}

bool _eqnVBFurnaceTemp::correlate(const Values& x, double& value, Values* grad) const {
  const VBFurnaceArgs args = {x[0], x[1], x[2], x[3], x[4]};
  VBFurnaceArgs g{};
  value = vbFurnaceTemperature(m_fit, args, grad ? &g : nullptr);
  if (grad)
    for (std::size_t i = 0; i < g.size(); ++i) (*grad)[i] = g[i];
  return true;
}

double _eqnVBFurnaceTemp::currentTemperature() const { return correlationValue(); }

// ---- Builder and supplier ------------------------------------------------------------

EqnPtr buildVisbreakerEquations(const std::string& name, const std::string& modelType) {
  if (endsWith(name, "VBI")) {
    for (const ViscosityRow& row : kViscosityRows)
      if (name == row.eqn) return std::make_unique<_eqnViscosity>(row.stream, row.suffix);
    return nullptr;
  }
  if (name == "EQN_FURNACETEMP") {
    if (modelType == "VB_NOSKR") return std::make_unique<_eqnVBNOSKRFurnaceTemp>();
    return std::make_unique<_eqnVBSKRFurnaceTemp>();
  }
  return nullptr;
}

EqnPtr ROVBFactImpl::createEquation(const std::string& name) const {
  return buildVisbreakerEquations(name, modelType());
}

}  // namespace ROEqnSupplier
