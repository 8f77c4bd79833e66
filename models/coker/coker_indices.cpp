// The coker's balances and gas-oil property indices with their derivatives.
//
// The balances read the framework's current values by name; the indices are
// pure functions of the values they are given.
#include <cmath>
#include <numbers>
#include <string>

#include "core/helpers.h"
#include "models/coker/coker_tables.h"
#include "models/coker/rocoker.h"

namespace {

constexpr double kLn10 = std::numbers::ln10;

// Products of the mass balance, in the order they are subtracted.
constexpr const char* kMassBalanceProducts[] = {"H2SMASS", "FGSMASS", "C3MASS",  "C32MASS", "IC4MASS", "NC4MASS",
                                                "UC4MASS", "LCNMASS", "HCNMASS", "LGOMASS", "HGOMASS", "COKMASS"};
// Product sulfur masses of the sulfur balance, after the sulfur of H2S.
constexpr const char* kSulfurBalanceProducts[] = {"LCNSULMASS", "HCNSULMASS", "LGOSULMASS", "HGOSULMASS", "COKSULMASS"};

// Viscosity blending index of a viscosity in cSt; defined above 0.15 cSt, not
// finite at or below it.
double viscosityBlendingIndex(double visc) { return 33.5 * std::log10(std::log10(visc + 0.85)) + 19.2; }

bool isOneOf(const std::string& name, const auto& names) {
  for (const char* n : names)
    if (name == n) return true;
  return false;
}

}  // namespace

void rocoker::makeBalanceRefs() {
  m_massBalanceVars.assign(1, EntryRef<ROMVarMap>("FEEDMASS"));
  for (const char* name : kMassBalanceProducts) m_massBalanceVars.emplace_back(name);
  m_sulfurBalanceVars.assign(1, EntryRef<ROMVarMap>("FEEDSULMASS"));
  m_sulfurBalanceVars.emplace_back("H2SMASS");
  for (const char* name : kSulfurBalanceProducts) m_sulfurBalanceVars.emplace_back(name);
}

double rocoker::computeMassBalanceResidual(long long& status) const {
  status = 0;
  const OneBased<double> x = valueView();
  double r = currentValue(x, *m_massBalanceVars[0].get(m_inputVars));
  for (std::size_t k = 1; k < m_massBalanceVars.size(); ++k) r -= currentValue(x, *m_massBalanceVars[k].get(m_calcVars));
  return r;
}

double rocoker::computeSulfurBalanceResidual(long long& status) const {
  status = 0;
  const OneBased<double> x = valueView();
  double r = currentValue(x, *m_sulfurBalanceVars[0].get(m_calcVars));
  r -= coker::kH2SSulfurShare * currentValue(x, *m_sulfurBalanceVars[1].get(m_calcVars));
  for (std::size_t k = 2; k < m_sulfurBalanceVars.size(); ++k)
    r -= currentValue(x, *m_sulfurBalanceVars[k].get(m_calcVars));
  return r;
}

double rocoker::computeMassBalanceDerivative(std::string varName, long long& status) const {
  status = 0;
  if (varName == "FEEDMASS") return 1.0;
  if (isOneOf(varName, kMassBalanceProducts)) return -1.0;
  status = 1;  // not a variable of the row
  return 0.0;
}

double rocoker::computeSulfurBalanceDerivative(std::string varName, long long& status) const {
  status = 0;
  if (varName == "FEEDSULMASS") return 1.0;
  if (varName == "H2SMASS") return -coker::kH2SSulfurShare;
  if (isOneOf(varName, kSulfurBalanceProducts)) return -1.0;
  status = 1;  // not a variable of the row
  return 0.0;
}

double rocoker::computeLGOViscIdx(double visc) const { return viscosityBlendingIndex(visc); }

double rocoker::computeHGOViscIdx(double visc) const { return viscosityBlendingIndex(visc); }

double rocoker::computeLGOCetIdx(double sg, double midBoiling) const {
  const double x = 1.8 * midBoiling + 32.0;
  const double lx = std::log10(x);
  return 454.74 - 1641.416 * sg + 774.74 * sg * sg - 0.554 * x + 97.803 * lx * lx;
}

double rocoker::computeLGOCloudIdx(double cloudPoint) const {
  return 10000.0 * std::pow((cloudPoint + 460.0) / 600.0, 16.7);
}

double rocoker::computeLGOViscIdxDerivative(std::string varName, double visc) const {
  if (varName != "LGOVISC_122") return -1.0;
  const double u = visc + 0.85;
  return 33.5 / (kLn10 * u * std::log(u));
}

double rocoker::computeHGOViscIdxDerivative(std::string varName, double visc) const {
  if (varName != "HGOVISC_122") return -1.0;
  const double u = visc + 0.85;
  return 33.5 / std::log10(u) / kLn10 / (kLn10 * u);
}

double rocoker::computeLGOCetIdxDerivative(std::string varName, double sg, double midBoiling) const {
  if (varName == "LGOSG") return 1549.48 * sg - 1641.416;
  if (varName == "LGOD86_50") {
    const double x = 9.0 * midBoiling / 5.0 + 32.0;
    return 1.8 * (195.606 * std::log10(x) / x / kLn10 - 0.554);
  }
  return -1.0;
}

double rocoker::computeLGOCloudIdxDerivative(std::string varName, double cloudPoint) const {
  if (varName != "LGOCLOUDPT") return -1.0;
  return 167000.0 / 600.0 * std::pow((cloudPoint + 460.0) / 600.0, 15.7);
}
