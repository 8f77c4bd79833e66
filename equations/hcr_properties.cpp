#include "equations/hcr_properties.h"

#include <cmath>
#include <memory>
#include <vector>

#include "equations/suppliers.h"

namespace ROEqnSupplier {

namespace {

constexpr std::uint32_t kHcrPropertyKey = 2500;
constexpr std::uint32_t kConvCalcKey = 2499;

using Values = PropertyEqn::Values;

// Index of x[0] (and x[1] for the cetane index) with its gradient.
double rvi(const Values& x, Values* g) {
  constexpr double k = 0.145037738;  // kPa to psi
  if (g) (*g)[0] = 1.25 * k * std::pow(k * x[0], 0.25);
  return std::pow(k * x[0], 1.25);
}

double cetane(const Values& x, Values* g) {
  return cetaneIndex(x[0], x[1], g ? &(*g)[0] : nullptr, g ? &(*g)[1] : nullptr);
}

double freeze(const Values& x, Values* g) {
  // The base is 2.718 as the correlation was fitted, not e.
  const double v = std::pow(2.718, 0.06548 * x[0] + 3.514);
  if (g) (*g)[0] = v * std::log(2.718) * 0.06548;
  return v;
}

double cloud(const Values& x, Values* g) { return cloudPointIndex(x[0], g ? &(*g)[0] : nullptr); }

double smoke(const Values& x, Values* g) {
  if (g) (*g)[0] = -1.0 / (x[0] * x[0]);
  return 1.0 / x[0];
}

double viscosity(const Values& x, Values* g) {
  // 33.5 log10 |log10 u| + 19.2. The derivative keeps the sign of log10 u, so
  // it is the true slope below 0.15 cSt (u < 1) too.
  const double u = x[0] + 0.85;
  const double lu = std::log10(u);
  if (g) (*g)[0] = 33.5 / (std::log(10.0) * u * std::log(u));
  return 33.5 * std::log10(std::fabs(lu)) + 19.2;
}

struct IndexKindRow {
  const char* word;
  std::vector<const char*> inputs;  // property suffixes; the index variable is prefix + word
  double (*index)(const Values&, Values*);
};

// By kind: 0 "RVI" ... 5 "VISCIDX".
const IndexKindRow kIndexKinds[] = {
    {"RVI", {"RVP"}, rvi},
    {"CETIDX", {"SG", "D86_50"}, cetane},
    {"FREEZEIDX", {"FREEZEPT"}, freeze},
    {"CLOUDIDX", {"CLOUDPT"}, cloud},
    {"SMOKEIDX", {"SMOKEPT"}, smoke},
    {"VISCIDX", {"VISC_122"}, viscosity},
};
constexpr std::uint32_t kKindCount = sizeof(kIndexKinds) / sizeof(kIndexKinds[0]);

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::vector<std::string> indexVariables(const std::string& prefix, std::uint32_t kind) {
  std::vector<std::string> vars;
  if (kind >= kKindCount) return vars;
  for (const char* suffix : kIndexKinds[kind].inputs) vars.push_back(prefix + suffix);
  vars.push_back(prefix + kIndexKinds[kind].word);
  return vars;
}

}  // namespace

int hcrIndexKind(const std::string& word) {
  for (std::uint32_t k = 0; k < kKindCount; ++k)
    if (word == kIndexKinds[k].word) return static_cast<int>(k);
  return -1;
}

std::string hcrIndexSuffix(const std::string& name) {
  for (const IndexKindRow& row : kIndexKinds) {
    const std::string word = row.word;
    if (name.size() > word.size() && endsWith(name, word)) return word;
  }
  return std::string();
}

_eqNAVal::_eqNAVal(const std::string& prefix)
    : PropertyEqn("EQN_" + prefix + "NA", {prefix + "NAPH", prefix + "AROM", prefix + "NA"}, 2,
                  Sign::CorrelationMinusVariable, kHcrPropertyKey) {
  setJacStatus(JacStatus::AnyUnwritten);
}

bool _eqNAVal::correlate(const Values& x, double& value, Values* grad) const {
  value = m_a * x[0] + m_b * x[1];
  if (grad) *grad = {m_a, m_b};
  return true;
}

_eqIdxVal::_eqIdxVal(const std::string& prefix, std::uint32_t kind)
    : PropertyEqn("EQN_" + prefix + (kind < kKindCount ? kIndexKinds[kind].word : ""), indexVariables(prefix, kind),
                  kind < kKindCount ? kIndexKinds[kind].inputs.size() : 0, Sign::CorrelationMinusVariable,
                  kHcrPropertyKey),
      m_kind(kind) {
  setJacStatus(JacStatus::AnyUnwritten);
  setSetsStartValue(false);
}

int _eqIdxVal::res(OneBased<double> residuals) {
  // An unknown index has nothing to evaluate: a failure, nothing written.
  if (m_kind >= kKindCount) return 1;
  return PropertyEqn::res(residuals);
}

int _eqIdxVal::jac(OneBased<double> values) {
  // No variables, so no entries to write.
  if (m_kind >= kKindCount) return 0;
  return PropertyEqn::jac(values);
}

bool _eqIdxVal::correlate(const Values& x, double& value, Values* grad) const {
  if (m_kind >= kKindCount) return false;
  value = kIndexKinds[m_kind].index(x, grad);
  return true;
}

_eqConvCalc::_eqConvCalc()
    : PropertyEqn("EQN_CALC_CONVERSION", {"CONVERSION", "FEEDMASS", "TOTCONV", "RCYRATE", "FEEDSUL"}, 0,
                  Sign::CorrelationMinusVariable, kConvCalcKey) {
  setJacStatus(JacStatus::AnyUnwritten);
}

bool _eqConvCalc::correlate(const Values& x, double& value, Values* grad) const {
  value = kFeedMass * x[0] + kTotConv * x[1] + kRcyRate * x[2] + kFeedSul * x[3] + kConstant;
  if (grad) *grad = {kFeedMass, kTotConv, kRcyRate, kFeedSul};
  return true;
}

EqnPtr buildHcrPropertyEquations(const std::string& n) {
  // N+A values of the naphtha cuts.
  if (endsWith(n, "NA")) {
    if (n == "EQN_LCNNA") return std::make_unique<_eqNAVal>("LCN");
    if (n == "EQN_HCNNA") return std::make_unique<_eqNAVal>("HCN");
    return nullptr;
  }
  // Blending indices: "EQN_" prefix word.
  if (n.size() > 3 && (endsWith(n, "RVI") || endsWith(n, "IDX"))) {
    const std::string word = hcrIndexSuffix(n);
    // The prefix lies between "EQN_" and the word; a name too short to hold
    // both has none (never a negative length).
    const std::string prefix = n.size() > 4 + word.size() ? n.substr(4, n.size() - 4 - word.size()) : std::string();
    return std::make_unique<_eqIdxVal>(prefix, static_cast<std::uint32_t>(hcrIndexKind(word)));
  }
  if (n == "EQN_CALC_CONVERSION") return std::make_unique<_eqConvCalc>();
  return nullptr;
}

}  // namespace ROEqnSupplier
