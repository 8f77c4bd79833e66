#include "equations/fraction_equations.h"

#include <algorithm>
#include <cstddef>
#include <span>
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
      m_fracEntry(0),
      m_massEntry(0) {
  m_varNames.push_back(m_total);
  if (!m_factor.empty()) {
    m_factorEntry = m_varNames.size();
    m_varNames.push_back(m_factor);
  }
  if (!m_cutoff.empty()) {
    m_cutoffEntry = m_varNames.size();
    m_varNames.push_back(m_cutoff);
  }
  m_fracEntry = m_varNames.size();
  m_varNames.push_back(stream + "FRAC");
  m_massEntry = m_varNames.size();
  m_varNames.push_back(stream + "MASS");
  setOrderKey(1000);
}

SmoothFloor _eqMassConv_Frac::flooredFraction() const {
  const double x = value(m_fracEntry);
  if (m_cutoffEntry == kNone) return {x, 1.0, 0.0};
  const double cutoff = value(m_cutoffEntry);
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
  return putResidual(residuals, value(m_massEntry) / value(kTotal) - scaled(flooredFraction().value));
}

int _eqMassConv_Frac::jac(OneBased<double> values) {
  const double total = value(kTotal), mass = value(m_massEntry);
  const SmoothFloor f0 = flooredFraction();
  const double factor = m_factorEntry == kNone ? 1.0 : value(m_factorEntry);
  // List order: total, [factor], [cut-off], fraction, mass.
  const std::span<double> partials = workVector(m_varNames.size());
  partials[kTotal] = -mass / (total * total);
  if (m_factorEntry != kNone) partials[m_factorEntry] = -f0.value;
  if (m_cutoffEntry != kNone) partials[m_cutoffEntry] = -factor * f0.dc;
  partials[m_fracEntry] = -factor * f0.dx;
  partials[m_massEntry] = 1.0 / total;
  return putPartials(values, partials);
}

int _eqMassConv_Frac::init() {
  return putStartAt(m_massEntry, scaled(flooredFraction().value) * value(kTotal));
}

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
  for (std::size_t i = 1; i < m_varNames.size(); ++i) sum += value(i);
  return sum;
}

int _eqMixFlow::res(OneBased<double> residuals) { return putResidual(residuals, value(std::size_t{0}) - memberSum()); }

int _eqMixFlow::jac(OneBased<double> values) {
  const std::span<double> partials = workVector(m_varNames.size());
  std::fill(partials.begin(), partials.end(), -1.0);
  partials.front() = 1.0;
  return putPartials(values, partials);
}

int _eqMixFlow::init() { return putStartAt(0, memberSum()); }

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
