#include "equations/reformer_feed.h"

#include <memory>

#include "equations/nn_equations.h"
#include "equations/suppliers.h"

namespace ROEqnSupplier {

namespace {

constexpr std::uint32_t kReformerFeedKey = 4000;
constexpr auto kVarMinusCorr = PropertyEqn::Sign::VariableMinusCorrelation;
constexpr double kOneSeventh = 0.14285714285714285;  // hydrogen fraction of CnH2n

// Aromatics hydrogen: per component, the hydrogen weight fraction times the
// component factor of the correlation (benzene, toluene, xylenes, C9+).
constexpr double kAroWeights[] = {0.8845 * 7.6923, 0.8757 * 8.6596, 0.8698 * 9.434, 0.862 * 10.2362};

// The value of "FACTORNA"; false without the block's attribute map.
bool factorNA(const ROMAttrMap* attrs, const AttrRef& factor, double& f) {
  if (!attrs) return false;
  f = factor.value(*attrs);
  return true;
}

struct FeedTarget {
  const char* target;
  EqnPtr (*build)(EqnContext);
};
constexpr FeedTarget kFeedTargets[] = {
    {"FEEDCNO", [](EqnContext) -> EqnPtr { return std::make_unique<_eqFEEDCNO>(); }},
    {"MEABP", [](EqnContext) -> EqnPtr { return std::make_unique<_eqMEABP>(); }},
    {"FEEDHYD", [](EqnContext) -> EqnPtr { return std::make_unique<_eqFEEDHYD>(); }},
    {"AROHYD", [](EqnContext) -> EqnPtr { return std::make_unique<_eqAROHYD>(); }},
    {"FEEDAROM", [](EqnContext c) -> EqnPtr { return std::make_unique<_eqFEEDAROM>(c); }},
    {"FEEDNAPH", [](EqnContext c) -> EqnPtr { return std::make_unique<_eqFEEDNAPH>(c); }},
};

}  // namespace

_eqFEEDCNO::_eqFEEDCNO()
    : PropertyEqn("EQN_FEEDCNO", {"FEEDCNO", "FEEDSG", "FEEDNAPH", "FEEDAROM"}, 0, kVarMinusCorr, kReformerFeedKey) {}

bool _eqFEEDCNO::correlate(const Values& x, double& value, Values* grad) const {
  value = 80.6049 * x[0] - 0.0408532 * x[1] - 0.131756 * x[2] - 49.5094;
  if (grad) *grad = {80.6049, -0.0408532, -0.131756};
  return true;
}

_eqMEABP::_eqMEABP()
    : PropertyEqn("EQN_MEABP", {"MEABP", "FEEDSG", "FEEDNAPH", "FEEDAROM"}, 0, kVarMinusCorr, kReformerFeedKey) {}

bool _eqMEABP::correlate(const Values& x, double& value, Values* grad) const {
  value = 2838.4367747834 * x[0] - 2.01694453409429 * x[1] - 4.61132832958926 * x[2] - 1773.91461365548;
  if (grad) *grad = {2838.4367747834, -2.01694453409429, -4.61132832958926};
  return true;
}

_eqFEEDHYD::_eqFEEDHYD()
    : PropertyEqn("EQN_FEEDHYD", {"FEEDHYD", "FEEDCNO", "FEEDAROM", "FEEDNAPH"}, 0, kVarMinusCorr, kReformerFeedKey) {}

bool _eqFEEDHYD::correlate(const Values& x, double& value, Values* grad) const {
  const double n = x[0], A = x[1], N = x[2];
  const double P = 100.0 - A - N;  // paraffins
  const double dp = 14.0 * n + 2.0, da = 14.0 * n - 6.0;
  const double p = (2.0 * n + 2.0) / dp;  // hydrogen fraction of CnH2n+2
  const double a = (2.0 * n - 6.0) / da;  // hydrogen fraction of CnH2n-6
  value = p * P + N * kOneSeventh + a * A;
  if (grad) {
    const double dpdn = 2.0 / dp - 14.0 * (2.0 * n + 2.0) / (dp * dp);
    const double dadn = 2.0 / da - 14.0 * (2.0 * n - 6.0) / (da * da);
    *grad = {P * dpdn + A * dadn, a - p, kOneSeventh - p};
  }
  return true;
}

_eqAROHYD::_eqAROHYD()
    : PropertyEqn("EQN_AROHYD", {"AROHYD", "AROBENZ", "AROTOL", "AROXYL", "AROC9P", "AROSG"}, 0,
                  Sign::CorrelationMinusVariable, kReformerFeedKey) {}

bool _eqAROHYD::correlate(const Values& x, double& value, Values* grad) const {
  double numerator = 0.0;
  for (int i = 0; i < 4; ++i) numerator += kAroWeights[i] * x[i];
  const double g100 = x[4] * 100.0;
  value = numerator / g100;
  if (grad) {
    for (int i = 0; i < 4; ++i) (*grad)[i] = kAroWeights[i] / g100;
    (*grad)[4] = -numerator / (x[4] * x[4] * 100.0);
  }
  return true;
}

_eqFEEDAROM::_eqFEEDAROM(EqnContext context)
    : PropertyEqn("EQN_FEEDAROM", {"FEEDAROM", "FEEDNA", "RATIONA"}, 0, kVarMinusCorr, kReformerFeedKey, context) {}

bool _eqFEEDAROM::correlate(const Values& x, double& value, Values* grad) const {
  double F = 0.0;
  if (!factorNA(attributeMap(), m_factorNA, F)) return false;
  const double NA = x[0], s = x[1] + F;
  value = NA / s;
  if (grad) *grad = {1.0 / s, -NA / (s * s)};
  return true;
}

_eqFEEDNAPH::_eqFEEDNAPH(EqnContext context)
    : PropertyEqn("EQN_FEEDNAPH", {"FEEDNAPH", "FEEDNA", "RATIONA"}, 0, kVarMinusCorr, kReformerFeedKey, context) {}

bool _eqFEEDNAPH::correlate(const Values& x, double& value, Values* grad) const {
  double F = 0.0;
  if (!factorNA(attributeMap(), m_factorNA, F)) return false;
  const double NA = x[0], R = x[1], s = R + F;
  value = R * NA / s;
  if (grad) *grad = {R / s, NA / s - R * NA / (s * s)};
  return true;
}

EqnPtr buildReformerFeedEquations(const std::string& name, const std::string& /*modelType*/, EqnContext context) {
  for (const FeedTarget& t : kFeedTargets)
    if (name == t.target) return t.build(context);
  return nullptr;
}

}  // namespace ROEqnSupplier
