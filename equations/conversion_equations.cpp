#include "equations/conversion_equations.h"

#include <cmath>
#include <memory>

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
    : ListedEqn("CONV_" + stream + word),
      m_stream(stream),
      m_vol(stream + "VOL"),
      m_sg(stream + "SG"),
      m_density(densityFor(densityMode)) {
  m_varNames = {m_vol, m_sg, m_density};
  setOrderKey(kConversionKey);
}

_eqVolConv_Mass::_eqVolConv_Mass(const std::string& stream, std::int32_t densityMode, const std::string& word)
    : _eqVolConvBase(stream, densityMode, word), m_mass(stream + "MASS") {
  m_varNames.push_back(m_mass);
}

int _eqVolConv_Mass::res(OneBased<double> residuals) {
  return putResidual(residuals, value(m_mass) - value(m_vol) * value(m_density) * value(m_sg));
}

int _eqVolConv_Mass::jac(OneBased<double> values) {
  const double vol = value(m_vol), sg = value(m_sg), rho = value(m_density);
  // List order: volume, gravity, density, mass.
  return putPartials(values, {-rho * sg, -rho * vol, -vol * sg, 1.0});
}

int _eqVolConv_Mass::init() {
  if (m_direction == 0) return putStart(m_mass, value(m_vol) * value(m_density) * value(m_sg));
  return putStart(m_vol, value(m_mass) / (value(m_density) * value(m_sg)));
}

_eqVolConv_Mole::_eqVolConv_Mole(const std::string& stream, std::int32_t densityMode, const std::string& word)
    : _eqVolConvBase(stream, densityMode, word), m_mol(stream + "MOL"), m_mw(stream + "MW") {
  m_varNames.push_back(m_mol);
  m_varNames.push_back(m_mw);
}

int _eqVolConv_Mole::res(OneBased<double> residuals) {
  return putResidual(residuals, value(m_mol) - value(m_vol) * value(m_density) * value(m_sg) / value(m_mw));
}

int _eqVolConv_Mole::jac(OneBased<double> values) {
  const double vol = value(m_vol), sg = value(m_sg), rho = value(m_density), mw = value(m_mw);
  // List order: volume, gravity, density, moles, molecular weight.
  return putPartials(values, {-rho * sg / mw, -rho * vol / mw, -vol * sg / mw, 1.0, rho * vol * sg / (mw * mw)});
}

int _eqVolConv_Mole::init() {
  if (m_direction == 1) return putStart(m_mol, value(m_density) * value(m_vol) * value(m_sg) / value(m_mw));
  return putStart(m_vol, value(m_mol) * value(m_mw) / (value(m_density) * value(m_sg)));
}

// ---- FOE conversions -------------------------------------------------------------

_eqFOEConv_Mole::_eqFOEConv_Mole(const std::string& stream, const ConversionBasisSpec& spec)
    : ListedEqn("CONV_" + stream + spec.volumeName),
      m_vol(stream + "VOL"),
      m_mol(stream + "MOL"),
      m_factor(stream + "FOEFACTOR"),
      m_mw(stream + "MW") {
  m_varNames = {m_vol, m_mol, m_factor, m_mw};
  setOrderKey(kConversionKey);
}

int _eqFOEConv_Mole::res(OneBased<double> residuals) {
  return putResidual(residuals, value(m_mol) * value(m_mw) - value(m_vol) * kFoeScale * value(m_factor));
}

int _eqFOEConv_Mole::jac(OneBased<double> values) {
  return putPartials(values,
                     {-kFoeScale * value(m_factor), value(m_mw), -kFoeScale * value(m_vol), value(m_mol)});
}

int _eqFOEConv_Mole::init() {
  if (m_direction == 1) return putStart(m_mol, value(m_vol) * kFoeScale * value(m_factor) / value(m_mw));
  return putStart(m_vol, value(m_mol) * value(m_mw) / (value(m_factor) * kFoeScale));
}

_eqFOEConv_Mass::_eqFOEConv_Mass(const std::string& stream, const ConversionBasisSpec& spec)
    : ListedEqn("CONV_" + stream + spec.volumeName),
      m_vol(stream + "VOL"),
      m_mass(stream + "MASS"),
      m_factor(stream + "FOEFACTOR") {
  m_varNames = {m_vol, m_mass, m_factor};
  setOrderKey(kConversionKey);
}

int _eqFOEConv_Mass::res(OneBased<double> residuals) {
  return putResidual(residuals, value(m_mass) - value(m_vol) * kFoeScale * value(m_factor));
}

int _eqFOEConv_Mass::jac(OneBased<double> values) {
  return putPartials(values, {-kFoeScale * value(m_factor), 1.0, -kFoeScale * value(m_vol)});
}

int _eqFOEConv_Mass::init() {
  if (m_direction == 0) return putStart(m_mass, value(m_vol) * kFoeScale * value(m_factor));
  return putStart(m_vol, value(m_mass) / (value(m_factor) * kFoeScale));
}

// ---- Mole conversion -------------------------------------------------------------

_eqMoleConv_Mass::_eqMoleConv_Mass(const std::string& stream, const std::string& word)
    : ListedEqn("CONV_" + stream + word), m_mol(stream + "MOL"), m_mass(stream + "MASS"), m_mw(stream + "MW") {
  m_varNames = {m_mol, m_mass, m_mw};
  setOrderKey(kConversionKey);
}

int _eqMoleConv_Mass::res(OneBased<double> residuals) {
  return putResidual(residuals, value(m_mol) * value(m_mw) - value(m_mass));
}

int _eqMoleConv_Mass::jac(OneBased<double> values) {
  return putPartials(values, {value(m_mw), -1.0, value(m_mol)});
}

int _eqMoleConv_Mass::init() {
  if (m_direction == 0) return putStart(m_mass, value(m_mol) * value(m_mw));
  return putStart(m_mol, value(m_mass) / value(m_mw));
}

// ---- FCC equations -----------------------------------------------------------------

_eqC5SRVI::_eqC5SRVI() : ListedEqn("EQN_C5SRVI") { m_varNames = {"C5SRVI", "C5SRVP"}; }

int _eqC5SRVI::res(OneBased<double> residuals) {
  return putResidual(residuals, std::pow(value("C5SRVP") * kKpaToPsi, kViExponent) - value("C5SRVI"));
}

int _eqC5SRVI::jac(OneBased<double> values) {
  const double psi = kKpaToPsi * value("C5SRVP");
  return putPartials(values, {-1.0, kViExponent * kKpaToPsi * std::pow(psi, kViExponent - 1.0)});
}

_eqConversion::_eqConversion(const std::vector<std::string>& products) : ListedEqn("EQN_CONVERSION") {
  m_varNames = {"CONVERSION", "FEEDVOL"};
  for (const std::string& p : products) {
    m_productVols.push_back(p + "VOL");
    m_varNames.push_back(p + "VOL");
  }
}

int _eqConversion::res(OneBased<double> residuals) {
  double sum = 0.0;
  for (const std::string& v : m_productVols) sum += value(v);
  return putResidual(residuals, (1.0 - sum / value("FEEDVOL")) * 100.0 - value("CONVERSION"));
}

int _eqConversion::jac(OneBased<double> values) {
  const double feed = value("FEEDVOL");
  double sum = 0.0;
  for (const std::string& v : m_productVols) sum += value(v);
  std::vector<double> partials = {-1.0, 100.0 * sum / (feed * feed)};
  partials.resize(m_varNames.size(), -100.0 / feed);
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
