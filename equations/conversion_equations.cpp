#include "equations/conversion_equations.h"

#include <cmath>
#include <memory>
#include <span>

namespace ROEqnSupplier {

namespace {

// FOE volumes are in thousands of the mass and mole units' volume.
constexpr double kFoeScale = 1000.0;
// kPa to psi; the vapour-pressure index is the psi value to the power 1.25.
constexpr double kKpaToPsi = 0.145037738;
constexpr double kViExponent = 1.25;

std::string densityFor(std::int32_t mode) {
  if (mode == kDensityWater) return "RHOH2O";
  if (mode == kDensityAir) return "RHOAIR";
  return "";
}

}  // namespace

// ---- Volume conversions --------------------------------------------------------

_eqVolConvBase::_eqVolConvBase(const std::string& stream, std::int32_t densityMode, const std::string& word)
    : ListedEqn("CONV_" + stream + word), m_density(densityFor(densityMode)) {
  m_varNames = {stream + "VOL", stream + "SG", m_density};
  setOrderKey(kConversionKey);
}

_eqVolConv_Mass::_eqVolConv_Mass(const std::string& stream, std::int32_t densityMode, const std::string& word)
    : _eqVolConvBase(stream, densityMode, word) {
  m_varNames.push_back(stream + "MASS");
}

int _eqVolConv_Mass::res(OneBased<double> residuals) {
  return putResidual(residuals, value(kMass) - value(kVol) * value(kDensity) * value(kSg));
}

int _eqVolConv_Mass::jac(OneBased<double> values) {
  const double vol = value(kVol), sg = value(kSg), rho = value(kDensity);
  // List order: volume, gravity, density, mass.
  return putPartials(values, {-rho * sg, -rho * vol, -vol * sg, 1.0});
}

int _eqVolConv_Mass::init() {
  if (m_direction == 0) return putStartAt(kMass, value(kVol) * value(kDensity) * value(kSg));
  return putStartAt(kVol, value(kMass) / (value(kDensity) * value(kSg)));
}

_eqVolConv_Mole::_eqVolConv_Mole(const std::string& stream, std::int32_t densityMode, const std::string& word)
    : _eqVolConvBase(stream, densityMode, word) {
  m_varNames.push_back(stream + "MOL");
  m_varNames.push_back(stream + "MW");
}

int _eqVolConv_Mole::res(OneBased<double> residuals) {
  return putResidual(residuals, value(kMol) - value(kVol) * value(kDensity) * value(kSg) / value(kMw));
}

int _eqVolConv_Mole::jac(OneBased<double> values) {
  const double vol = value(kVol), sg = value(kSg), rho = value(kDensity), mw = value(kMw);
  // List order: volume, gravity, density, moles, molecular weight.
  return putPartials(values, {-rho * sg / mw, -rho * vol / mw, -vol * sg / mw, 1.0, rho * vol * sg / (mw * mw)});
}

int _eqVolConv_Mole::init() {
  if (m_direction == 1) return putStartAt(kMol, value(kDensity) * value(kVol) * value(kSg) / value(kMw));
  return putStartAt(kVol, value(kMol) * value(kMw) / (value(kDensity) * value(kSg)));
}

// ---- FOE conversions -------------------------------------------------------------

_eqFOEConv_Mole::_eqFOEConv_Mole(const std::string& stream, const ConversionBasisSpec& spec)
    : ListedEqn("CONV_" + stream + spec.volumeName) {
  m_varNames = {stream + "VOL", stream + "MOL", stream + "FOEFACTOR", stream + "MW"};
  setOrderKey(kConversionKey);
}

int _eqFOEConv_Mole::res(OneBased<double> residuals) {
  return putResidual(residuals, value(kMol) * value(kMw) - value(kVol) * kFoeScale * value(kFactor));
}

int _eqFOEConv_Mole::jac(OneBased<double> values) {
  return putPartials(values, {-kFoeScale * value(kFactor), value(kMw), -kFoeScale * value(kVol), value(kMol)});
}

int _eqFOEConv_Mole::init() {
  if (m_direction == 1) return putStartAt(kMol, value(kVol) * kFoeScale * value(kFactor) / value(kMw));
  return putStartAt(kVol, value(kMol) * value(kMw) / (value(kFactor) * kFoeScale));
}

_eqFOEConv_Mass::_eqFOEConv_Mass(const std::string& stream, const ConversionBasisSpec& spec)
    : ListedEqn("CONV_" + stream + spec.volumeName) {
  m_varNames = {stream + "VOL", stream + "MASS", stream + "FOEFACTOR"};
  setOrderKey(kConversionKey);
}

int _eqFOEConv_Mass::res(OneBased<double> residuals) {
  return putResidual(residuals, value(kMass) - value(kVol) * kFoeScale * value(kFactor));
}

int _eqFOEConv_Mass::jac(OneBased<double> values) {
  return putPartials(values, {-kFoeScale * value(kFactor), 1.0, -kFoeScale * value(kVol)});
}

int _eqFOEConv_Mass::init() {
  if (m_direction == 0) return putStartAt(kMass, value(kVol) * kFoeScale * value(kFactor));
  return putStartAt(kVol, value(kMass) / (value(kFactor) * kFoeScale));
}

// ---- Mole conversion -------------------------------------------------------------

_eqMoleConv_Mass::_eqMoleConv_Mass(const std::string& stream, const std::string& word)
    : ListedEqn("CONV_" + stream + word) {
  m_varNames = {stream + "MOL", stream + "MASS", stream + "MW"};
  setOrderKey(kConversionKey);
}

int _eqMoleConv_Mass::res(OneBased<double> residuals) {
  return putResidual(residuals, value(kMol) * value(kMw) - value(kMass));
}

int _eqMoleConv_Mass::jac(OneBased<double> values) { return putPartials(values, {value(kMw), -1.0, value(kMol)}); }

int _eqMoleConv_Mass::init() {
  if (m_direction == 0) return putStartAt(kMass, value(kMol) * value(kMw));
  return putStartAt(kMol, value(kMass) / value(kMw));
}

// ---- FCC equations -----------------------------------------------------------------

_eqC5SRVI::_eqC5SRVI() : ListedEqn("EQN_C5SRVI") { m_varNames = {"C5SRVI", "C5SRVP"}; }

int _eqC5SRVI::res(OneBased<double> residuals) {
  return putResidual(residuals, std::pow(value(kPressure) * kKpaToPsi, kViExponent) - value(kIndex));
}

int _eqC5SRVI::jac(OneBased<double> values) {
  const double psi = kKpaToPsi * value(kPressure);
  return putPartials(values, {-1.0, kViExponent * kKpaToPsi * std::pow(psi, kViExponent - 1.0)});
}

_eqConversion::_eqConversion(const std::vector<std::string>& products) : ListedEqn("EQN_CONVERSION") {
  m_varNames = {"CONVERSION", "FEEDVOL"};
  for (const std::string& p : products) m_varNames.push_back(p + "VOL");
}

double _eqConversion::productSum() const {
  double sum = 0.0;
  for (std::size_t i = kFirstProduct; i < m_varNames.size(); ++i) sum += value(i);
  return sum;
}

int _eqConversion::res(OneBased<double> residuals) {
  const double sum = productSum();
  return putResidual(residuals, (1.0 - sum / value(kFeedVol)) * 100.0 - value(kConversion));
}

int _eqConversion::jac(OneBased<double> values) {
  const double feed = value(kFeedVol);
  const double sum = productSum();
  const std::span<double> partials = workVector(m_varNames.size());
  partials[kConversion] = -1.0;
  partials[kFeedVol] = 100.0 * sum / (feed * feed);
  for (std::size_t i = kFirstProduct; i < partials.size(); ++i) partials[i] = -100.0 / feed;
  return putPartials(values, partials);
}

// ---- Builders ------------------------------------------------------------------------

EqnPtr buildConversionEquations(const std::string& stream, int fromBasis, int toBasis,
                                const ConversionBasisSpec* spec) {
  if (!spec) return nullptr;
  std::int32_t densityMode = kDensityWater;
  if (const auto gas = spec->gasStreams.find(stream); gas != spec->gasStreams.end()) densityMode = gas->second;

  std::unique_ptr<roeqn2> eqn;
  std::int32_t raise = 0;
  // A feed given by volume: its mass is computed from its volume, first of
  // all starting values.
  const bool feedByVolume = stream == "FEED" && spec->hlBasis == static_cast<std::uint32_t>(kBasisVolume);
  auto volToMass = [&](const std::string& word) {
    auto conv = std::make_unique<_eqVolConv_Mass>(stream, densityMode, word);
    if (feedByVolume) {
      conv->setDirection(0);
      conv->setOrderKey(0);
    }
    return conv;
  };
  if (toBasis == kBasisMass && fromBasis == kBasisMoles) {
    eqn = std::make_unique<_eqMoleConv_Mass>(stream, "MASS");
    raise = 1;
  } else if (toBasis == kBasisMass && fromBasis == kBasisVolume) {
    eqn = volToMass("MASS");
    raise = 1;
  } else if (toBasis == kBasisMoles && fromBasis == kBasisMass) {
    eqn = std::make_unique<_eqMoleConv_Mass>(stream, "MOL");
    raise = 2;
  } else if (toBasis == kBasisVolume && fromBasis == kBasisMass) {
    eqn = volToMass("VOL");
    raise = 3;
  } else if (toBasis == kBasisVolume && fromBasis == kBasisMoles) {
    eqn = std::make_unique<_eqVolConv_Mole>(stream, densityMode, "VOL");
    raise = 3;
  } else if (toBasis == kBasisFOE && fromBasis == kBasisMass) {
    eqn = std::make_unique<_eqFOEConv_Mass>(stream, *spec);
    raise = 4;
  } else if (toBasis == kBasisFOE && fromBasis == kBasisMoles) {
    eqn = std::make_unique<_eqFOEConv_Mole>(stream, *spec);
    raise = 4;
  } else {
    return nullptr;
  }
  eqn->addOrderKey(raise);
  return eqn;
}

EqnPtr buildFccConversionEquations(const std::string& name, const std::string& modelType) {
  if (name == "C5SRVI") return std::make_unique<_eqC5SRVI>();
  if (name == "CONVERSION") {
    std::vector<std::string> products = {"LCO", "BOT"};
    // The slates ending in "H" also draw a heavy cycle oil.
    if (!modelType.empty() && modelType.back() == 'H') products.push_back("HCO");
    return std::make_unique<_eqConversion>(products);
  }
  return nullptr;
}

}  // namespace ROEqnSupplier
