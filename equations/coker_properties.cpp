#include "equations/coker_properties.h"

#include <cmath>
#include <memory>

#include "equations/suppliers.h"

namespace ROEqnSupplier {

namespace {

constexpr std::uint32_t kCokerPropertyKey = 2500;

template <class Eqn>
EqnPtr make() {
  return std::make_unique<Eqn>();
}

// Targets in the order they are compared; the name must match exactly.
struct CokerTarget {
  const char* target;
  EqnPtr (*build)();
};
constexpr CokerTarget kCokerTargets[] = {
    {"LCNN2A", make<_eqLCNN2A>},           {"HCNN2A", make<_eqHCNN2A>},         {"LGOCETIDX", make<_eqLGOCETIDX>},
    {"LGOCLOUDIDX", make<_eqLGOCLOUDIDX>}, {"LGOVISCIDX", make<_eqLGOVISCIDX>}, {"HGOVISCIDX", make<_eqHGOVISCIDX>},
};

}  // namespace

CokerN2AEqn::CokerN2AEqn(const std::string& cut)
    : PropertyEqn("EQN_" + cut + "N2A", {cut + "NAPH", cut + "AROM", cut + "N2A"}, 2, Sign::CorrelationMinusVariable,
                  kCokerPropertyKey) {}

bool CokerN2AEqn::correlate(const Values& x, double& value, Values* grad) const {
  value = x[0] + 2.0 * x[1];
  if (grad) *grad = {1.0, 2.0};
  return true;
}

_eqLGOCETIDX::_eqLGOCETIDX()
    : PropertyEqn("EQN_LGOCETIDX", {"LGOSG", "LGOD86_50", "LGOCETIDX"}, 2, Sign::CorrelationMinusVariable,
                  kCokerPropertyKey) {}

bool _eqLGOCETIDX::correlate(const Values& x, double& value, Values* grad) const {
  value = cetaneIndex(x[0], x[1], grad ? &(*grad)[0] : nullptr, grad ? &(*grad)[1] : nullptr);
  return true;
}

_eqLGOCLOUDIDX::_eqLGOCLOUDIDX()
    : PropertyEqn("EQN_LGOCLOUDIDX", {"LGOCLOUDPT", "LGOCLOUDIDX"}, 1, Sign::CorrelationMinusVariable,
                  kCokerPropertyKey) {}

bool _eqLGOCLOUDIDX::correlate(const Values& x, double& value, Values* grad) const {
  value = cloudPointIndex(x[0], grad ? &(*grad)[0] : nullptr);
  return true;
}

CokerViscIdxEqn::CokerViscIdxEqn(const std::string& cut)
    : PropertyEqn("EQN_" + cut + "VISCIDX", {cut + "VISC_122", cut + "VISCIDX"}, 1, Sign::CorrelationMinusVariable,
                  kCokerPropertyKey) {}

bool CokerViscIdxEqn::correlate(const Values& x, double& value, Values* grad) const {
  const double u = x[0] + 0.85;
  const double lu = std::log10(u);
  value = 33.5 * std::log10(lu) + 19.2;
  // d/dV log10(log10 u) = 1 / (ln 10 x log10 u) x 1 / (ln 10 x u) = 1 / (ln 10 x u x ln u)
  if (grad) (*grad)[0] = 33.5 / (std::log(10.0) * u * std::log(u));
  return true;
}

EqnPtr buildCokerPropertyEquations(const std::string& name) {
  for (const CokerTarget& t : kCokerTargets)
    if (name == t.target) return t.build();
  return nullptr;
}

}  // namespace ROEqnSupplier
