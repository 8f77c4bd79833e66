// The visbreaker's balances and correlations.
//
// The networks predict no H2S yield: the sulfur balance gives H2S the feed
// sulfur the four liquids do not carry, and the mass balance makes the
// predicted products (all scaled by MASSFACTOR) add up with H2S to the feed.
// The fuel gas and the light ends carry no sulfur.
#include <string>

#include "core/helpers.h"
#include "equations/vb_equations.h"
#include "models/visbreaker/rovb.h"

namespace {

constexpr const char* kMassInlet = "FEEDMASS";
constexpr const char* kMassOutlets[] = {"H2SMASS", "FGSMASS", "C3MASS",  "C32MASS", "NC4MASS", "IC4MASS",
                                        "UC4MASS", "NAPMASS", "LGOMASS", "HGOMASS", "TARMASS"};
constexpr const char* kSulfurInlet = "FEEDSULMASS";
constexpr const char* kSulfurH2S = "H2SMASS";  // weighted by the sulfur share of H2S
constexpr const char* kSulfurOutlets[] = {"NAPSULMASS", "LGOSULMASS", "HGOSULMASS", "TARSULMASS"};

}  // namespace

void rovb::makeBalanceLookups() {
  m_massBalanceVars.assign(1, VarLookup(kMassInlet));
  for (const char* name : kMassOutlets) m_massBalanceVars.emplace_back(name);
  m_sulfurBalanceVars.assign(1, VarLookup(kSulfurInlet));
  m_sulfurBalanceVars.emplace_back(kSulfurH2S);
  for (const char* name : kSulfurOutlets) m_sulfurBalanceVars.emplace_back(name);
}

double rovb::computeMassBalanceResidual(long long& status) const {
  status = 0;
  const OneBased<double> x = valueView();
  double r = currentValue(x, *findVar(m_massBalanceVars[0]));
  for (std::size_t k = 1; k < m_massBalanceVars.size(); ++k) r -= currentValue(x, *findVar(m_massBalanceVars[k]));
  return r;
}

double rovb::computeMassBalanceDerivative(std::string varName, long long& status) const {
  status = 0;
  if (varName == kMassInlet) return 1.0;
  for (const char* name : kMassOutlets)
    if (varName == name) return -1.0;
  status = 1;  // not a variable of the balance
  return 0.0;
}

double rovb::computeSulfurBalanceResidual(long long& status) const {
  status = 0;
  const OneBased<double> x = valueView();
  double r = currentValue(x, *findVar(m_sulfurBalanceVars[0]));
  r -= vb::kH2SSulfurShare * currentValue(x, *findVar(m_sulfurBalanceVars[1]));
  for (std::size_t k = 2; k < m_sulfurBalanceVars.size(); ++k) r -= currentValue(x, *findVar(m_sulfurBalanceVars[k]));
  return r;
}

double rovb::computeSulfurBalanceDerivative(std::string varName, long long& status) const {
  status = 0;
  if (varName == kSulfurInlet) return 1.0;
  if (varName == kSulfurH2S) return -vb::kH2SSulfurShare;
  for (const char* name : kSulfurOutlets)
    if (varName == name) return -1.0;
  status = 1;
  return 0.0;
}

double rovb::computeVBI(double visc) const { return ROEqnSupplier::vbViscosityIndex(visc); }

double rovb::computeViscFromVBI(double vbi) const { return vbi; }

double rovb::computeVBIDerivative(double visc) const { return ROEqnSupplier::vbViscosityIndexSlope(visc); }

double rovb::computeFurnaceTemp(double feedMass, double conversion, double feedCCR, double feedSG,
                                double feedSul) const {
  // "VB_NOSKR" exactly takes its own fit; every other kind the SKR fit.
  return ROEqnSupplier::vbFurnaceTemperature(ROEqnSupplier::vbFurnaceFit(m_modelKind),
                                             {feedMass, conversion, feedCCR, feedSG, feedSul});
}
