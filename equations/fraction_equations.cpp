#include "equations/fraction_equations.h"

#include <cstddef>
#include <memory>

#include "equations/balance_equations.h"

namespace ROEqnSupplier {

namespace {

// The smallest floor value: a cut-off below it (0 included) is replaced by it
// and then no longer moves the floor.
constexpr double kMinCutoff = 1e-20;

}  // namespace

// ---- Yield fraction -------------------------------------------------------------

_eqFracConvBase::_eqFracConvBase(const std::string& stream, const std::string& basisWord,
                                 const std::string& totalStream, bool factorFlag, bool cutoffFlag,
                                 const std::string& eqnName)
    : ListedEqn(eqnName),
      m_total(totalStream + basisWord),
      m_factor(factorFlag ? basisWord + "FACTOR" : ""),
      m_cutoff(cutoffFlag ? stream + "CUTOFF" : "") {}

_eqMassConv_Frac::_eqMassConv_Frac(const std::string& stream, const std::string& basisWord,
                                   const std::string& totalStream, bool factorFlag, bool cutoffFlag)
    : _eqFracConvBase(stream, basisWord, totalStream, factorFlag, cutoffFlag,
                      (factorFlag ? "EQN_" : "CONV_") + stream + basisWord),
      m_frac(stream + "FRAC"),
      m_mass(stream + "MASS") {
  m_varNames.push_back(m_total);
  if (!m_factor.empty()) m_varNames.push_back(m_factor);
  if (!m_cutoff.empty()) m_varNames.push_back(m_cutoff);
  m_varNames.push_back(m_frac);
  m_varNames.push_back(m_mass);
  setOrderKey(1000);
}

SmoothFloor _eqMassConv_Frac::flooredFraction() const {
  const double x = value(m_frac);
  if (m_cutoff.empty()) return {x, 1.0, 0.0};
  const double cutoff = value(m_cutoff);
  // Below the smallest floor value the floor is that constant, so the
  // cut-off variable has no influence.
  if (cutoff < kMinCutoff) {
    SmoothFloor f = smoothFloor(x, kMinCutoff);
    f.dc = 0.0;
    return f;
  }
  return smoothFloor(x, cutoff);
}

int _eqMassConv_Frac::res(OneBased<double> residuals) {
  return putResidual(residuals, value(m_mass) / value(m_total) - scaled(flooredFraction().value));
}

int _eqMassConv_Frac::jac(OneBased<double> values) {
  const double total = value(m_total), mass = value(m_mass);
  const SmoothFloor f0 = flooredFraction();
  const double factor = m_factor.empty() ? 1.0 : value(m_factor);
  // List order: total, [factor], [cut-off], fraction, mass.
  std::vector<double> partials = {-mass / (total * total)};
  if (!m_factor.empty()) partials.push_back(-f0.value);
  if (!m_cutoff.empty()) partials.push_back(-factor * f0.dc);
  partials.push_back(-factor * f0.dx);
  partials.push_back(1.0 / total);
  return putPartials(values, partials);
}

int _eqMassConv_Frac::init() { return putStart(m_mass, scaled(flooredFraction().value) * value(m_total)); }

// ---- Mix flow ----------------------------------------------------------------------

_eqMixFlow::_eqMixFlow(const std::vector<std::string>& members, const std::string& mix,
                       const std::string& basisWord, const std::string& eqnName)
    : ListedEqn(eqnName.empty() ? "EQN_" + mix + basisWord : eqnName) {
  m_varNames.push_back(mix + basisWord);
  for (const std::string& x : members) m_varNames.push_back(x + basisWord);
  setOrderKey(2000);
}

double _eqMixFlow::memberSum() const {
  double sum = 0.0;
  for (std::size_t i = 1; i < m_varNames.size(); ++i) sum += value(m_varNames[i]);
  return sum;
}

int _eqMixFlow::res(OneBased<double> residuals) {
  return putResidual(residuals, value(m_varNames.front()) - memberSum());
}

int _eqMixFlow::jac(OneBased<double> values) {
  std::vector<double> partials(m_varNames.size(), -1.0);
  partials.front() = 1.0;
  return putPartials(values, partials);
}

int _eqMixFlow::init() { return putStart(m_varNames.front(), memberSum()); }

// ---- Builders ------------------------------------------------------------------------

EqnPtr buildFractionEquations(const std::string& stream, int basis, const std::string& totalStream,
                              const std::string& compSuffix, bool flag) {
  if (basis == kBasisMass) return std::make_unique<_eqMassConv_Frac>(stream, "MASS", totalStream, flag, flag);
  // The component content of a stream against the total stream's content.
  if (basis == kBasisComponent) return std::make_unique<_eqCompConv>(stream, compSuffix, totalStream, 1);
  return nullptr;
}

EqnPtr buildMixFlowEquations(const std::vector<std::string>& members, const std::string& mix, int basis,
                             const std::string& massWord) {
  static const char* const kWords[] = {"MASS", "MOL", "VOL", "FOE"};
  const std::string word = basis >= kBasisMass && basis <= kBasisFOE ? kWords[basis] : "";
  const std::string name = "EQN_" + mix + (basis == kBasisMass ? massWord : word);
  return std::make_unique<_eqMixFlow>(members, mix, word, name);
}

}  // namespace ROEqnSupplier
