#include "models/hydrocracker/hcr_equations.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "core/robase.h"
#include "equations/nn_equations.h"
#include "equations/property_eqn.h"

namespace hcr {

namespace {

// The gases and light ends beside the feed, in the balances' order.
constexpr const char* kBalanceGases[] = {"H2S", "FGS", "H2", "C3", "NC4", "IC4"};
constexpr const char* kHydBalGases[] = {"H2S", "FGS", "C3", "NC4", "IC4"};

std::vector<std::string> massBalanceList(const std::vector<std::string>& products) {
  std::vector<std::string> v{"FEEDMASS"};
  for (const char* g : kBalanceGases) v.push_back(std::string(g) + "MASS");
  for (const std::string& p : products) v.push_back(p + "MASS");
  return v;
}

std::vector<std::string> hydBalanceList(const std::vector<std::string>& products) {
  std::vector<std::string> v{"FEEDHYDMASS", "H2MASS"};
  for (const char* g : kHydBalGases) v.push_back(std::string(g) + "HYDMASS");
  for (const std::string& p : products) v.push_back(p + "HYDMASS");
  return v;
}

bool isGas(const std::string& prefix) { return prefix == "H2S" || prefix == "FGS" || prefix == "H2"; }

// ---- Blending indices: value and slope by the property variable(s) ---------

double rvi(const std::vector<double>& x, std::vector<double>* g) {
  constexpr double k = 0.145037738;  // kPa to psi
  if (g) (*g)[0] = 1.25 * k * std::pow(k * x[0], 0.25);
  return std::pow(k * x[0], 1.25);
}

double cetane(const std::vector<double>& x, std::vector<double>* g) {
  // The 50 % point enters as stored: T = 1.8 D86_50 + 32.
  return ROEqnSupplier::cetaneIndex(x[0], x[1], g ? &(*g)[0] : nullptr, g ? &(*g)[1] : nullptr);
}

double freeze(const std::vector<double>& x, std::vector<double>* g) {
  // Base 2.718, as the correlation was fitted, not e.
  const double v = std::pow(2.718, 0.06548 * x[0] + 3.514);
  if (g) (*g)[0] = v * std::log(2.718) * 0.06548;
  return v;
}

double cloud(const std::vector<double>& x, std::vector<double>* g) {
  return ROEqnSupplier::cloudPointIndex(x[0], g ? &(*g)[0] : nullptr);
}

double smoke(const std::vector<double>& x, std::vector<double>* g) {
  if (g) (*g)[0] = -1.0 / (x[0] * x[0]);
  return 1.0 / x[0];
}

double viscosity(const std::vector<double>& x, std::vector<double>* g) {
  // 33.5 log10 |L| + 19.2 with L = log10(VISC_122 + 0.85). d log10|L| = dL / (L ln 10)
  // for either sign of L, so the slope is exact below 0.15 cSt (L < 0) too,
  // where the index falls with rising viscosity.
  const double u = x[0] + 0.85;
  const double l = std::log10(u);
  const double ln10 = std::log(10.0);
  if (g) (*g)[0] = 33.5 / (l * ln10 * ln10 * u);
  return 33.5 * std::log10(std::fabs(l)) + 19.2;
}

struct IndexKindRow {
  const char* name;
  std::vector<const char*> properties;  // suffixes; the index variable is prefix + name
  double (*index)(const std::vector<double>&, std::vector<double>*);
};

const IndexKindRow kIndexKinds[] = {
    {"RVI", {"RVP"}, rvi},           {"CETIDX", {"SG", "D86_50"}, cetane}, {"FREEZEIDX", {"FREEZEPT"}, freeze},
    {"CLOUDIDX", {"CLOUDPT"}, cloud}, {"SMOKEIDX", {"SMOKEPT"}, smoke},    {"VISCIDX", {"VISC_122"}, viscosity},
};
constexpr std::uint32_t kKindCount = sizeof(kIndexKinds) / sizeof(kIndexKinds[0]);

std::vector<std::string> indexList(const std::string& prefix, std::uint32_t kind) {
  std::vector<std::string> v;
  if (kind >= kKindCount) return v;
  for (const char* s : kIndexKinds[kind].properties) v.push_back(prefix + s);
  v.push_back(prefix + kIndexKinds[kind].name);
  return v;
}

}  // namespace

double floored(double x, double* dx) {
  double v = 0.0;
  robase::res_ExpMinClip(x, kFractionFloor, &v);
  if (dx) robase::jac_ExpMinClip(x, kFractionFloor, dx, nullptr);
  return v;
}

// ---- ListedEqn ------------------------------------------------------------------

ListedEqn::ListedEqn(std::string name, std::vector<std::string> vars, std::size_t defined, bool countRefused)
    : hcreqn(std::move(name)), m_countRefused(countRefused), m_defined(defined) {
  m_varNames = std::move(vars);
}

std::string ListedEqn::definedName() const {
  return m_defined < m_varNames.size() ? m_varNames[m_defined] : std::string();
}

int ListedEqn::solveFor(const std::string& var) {
  std::size_t k = 0;
  while (k < m_varNames.size() && m_varNames[k] != var) ++k;
  if (k == m_varNames.size()) return 1;
  const std::vector<double>& x = currentValues();
  m_grad.assign(x.size(), 0.0);
  const double r = evaluate(x, &m_grad);
  if (m_grad[k] == 0.0) return 1;
  return setVarValueAt(k, x[k] - r / m_grad[k]);  // never stores a value that is not finite
}

const std::vector<double>& ListedEqn::currentValues() const {
  m_x.resize(m_varNames.size());
  valuesAt(0, m_x.size(), m_x.data());
  return m_x;
}

double ListedEqn::residualNow() const { return evaluate(currentValues(), nullptr); }

int ListedEqn::res(OneBased<double> residuals) {
  const double r = residualNow();
  writeResidual(residuals, r);
  return std::isfinite(r) ? 0 : 1;
}

int ListedEqn::jac(OneBased<double> values) {
  const std::size_t n = m_varNames.size();
  m_grad.assign(n, 0.0);
  evaluate(currentValues(), &m_grad);
  // A name listed twice has one non-zero: the sum of its terms goes to its
  // group (the later entry).
  const std::vector<std::size_t>& group = entryGroups();
  m_sums.resize(n);
  for (std::size_t i = 0; i < n; ++i) m_sums[group[i]] = 0.0;
  for (std::size_t i = 0; i < n; ++i) m_sums[group[i]] += m_grad[i];
  int refused = 0;
  bool finite = true;
  for (std::size_t i = 0; i < n; ++i) {
    if (group[i] != i) continue;
    if (setJacAt(values, i, m_sums[i]) != 0) ++refused;
    if (!std::isfinite(m_sums[i])) finite = false;
  }
  if (m_countRefused) return refused + (finite ? 0 : 1);
  return refused > 0 || !finite ? 1 : 0;
}

// ---- Balances -------------------------------------------------------------------

eqMassBal::eqMassBal(const std::vector<std::string>& liquidProducts)
    : ListedEqn("EQN_MASS_BAL", massBalanceList(liquidProducts), kNone, true) {
  for (const std::string& v : m_varNames) m_inlet.push_back(v == "FEEDMASS" || v == "H2MASS" ? 1 : 0);
}

double eqMassBal::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  // Feed and hydrogen in, everything else out.
  double r = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const bool inlet = m_inlet[i] != 0;
    r += inlet ? x[i] : -x[i];
    if (grad) (*grad)[i] = inlet ? 1.0 : -1.0;
  }
  return r;
}

eqHydBal::eqHydBal(const std::vector<std::string>& liquidProducts)
    : ListedEqn("EQN_HYD_BAL", hydBalanceList(liquidProducts), kNone) {
  m_balanceEntries = m_varNames.size();
  for (const char* v : {"CONVERSION", "FEEDSG", "FEEDMASS"}) m_varNames.push_back(v);
}

double eqHydBal::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  const ROMAttrMap* attrs = attributeMap();
  if (!attrs) throw std::logic_error("hydrogen balance without the block's attribute map");
  const double bias = m_bias.value(*attrs);
  const double slopeConv = m_slopeConv.value(*attrs);
  const double slopeSg = m_slopeSg.value(*attrs);

  const std::size_t n = m_balanceEntries;
  double s = -x[0] - x[1];
  for (std::size_t i = 2; i < n; ++i) s += x[i];
  const double conv = x[n], sg = x[n + 1], feed = x[n + 2];
  const double correction = conv * slopeConv + bias + sg * slopeSg;
  if (grad) {
    for (std::size_t i = 0; i < n; ++i) (*grad)[i] = i < 2 ? -1.0 : 1.0;
    (*grad)[n] = slopeConv * feed;
    (*grad)[n + 1] = slopeSg * feed;
    (*grad)[n + 2] = correction;
  }
  return correction * feed + s;
}

// ---- Conversions ----------------------------------------------------------------

eqMassConv::eqMassConv(const std::string& p)
    : ListedEqn("CONV_" + p + "MASS", {p + "FRAC", "MASSFACTOR", "FEEDMASS", p + "MASS"}, 3) {}

double eqMassConv::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  double dphi = 0.0;
  const double phi = floored(x[0], &dphi);
  const double factor = x[1], feed = x[2];
  if (grad) *grad = {feed * factor * dphi, feed * phi, factor * phi, -1.0};
  return factor * phi * feed - x[3];
}

eqVolConv::eqVolConv(const std::string& p) : ListedEqn("CONV_" + p + "VOL", {}, 0), m_gas(isGas(p)) {
  m_vol = p + "VOL";
  if (m_gas) {
    m_qty = p + "MOL";
    m_factor = p + "FOEFACTOR";
    m_mw = p + "MW";
    m_varNames = {m_vol, m_mw, m_qty, m_factor};
  } else {
    m_qty = p + "MASS";
    m_factor = p + "SG";
    m_varNames = {m_vol, m_qty, m_factor};
  }
}

double eqVolConv::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  const double k = m_k;
  if (m_gas) {  // VOL, MW, MOL, FOEFACTOR
    const double vol = x[0], mw = x[1], mol = x[2], foe = x[3];
    if (grad) *grad = {-k * foe / mw, vol * k * foe / mw / mw, 1.0, -vol * k / mw};
    return mol - vol * k * foe / mw;
  }
  const double vol = x[0], mass = x[1], sg = x[2];  // VOL, MASS, SG
  if (grad) *grad = {-k * sg, 1.0, -vol * k};
  return mass - sg * (vol * k);
}

eqMolConv::eqMolConv(const std::string& p)
    : ListedEqn("CONV_" + p + "MOL", {p + "MOL", p + "MASS", p + "MW"}, 0),
      m_mol(p + "MOL"),
      m_mass(p + "MASS"),
      m_mw(p + "MW") {}

double eqMolConv::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  if (grad) *grad = {x[2], -1.0, x[0]};
  return x[0] * x[2] - x[1];
}

eqHydMassConv::eqHydMassConv(const std::string& p)
    : ListedEqn("EQN_" + p + "HYDMASS_CONV", {p + "MASS", p + "HYD", p + "HYDMASS"}, 2) {}

double eqHydMassConv::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  if (grad) *grad = {x[1] / 100.0, x[0] / 100.0, -1.0};
  return x[1] * x[0] / 100.0 - x[2];
}

// ---- Product sulfur -------------------------------------------------------------

eqSulConv::eqSulConv(const std::string& p) : ListedEqn("EQN_" + p + "SUL", {"FEEDSUL", p + "RELSUL", p + "SUL"}, 2) {}

double eqSulConv::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  double dphi = 0.0;
  const double phi = floored(x[1], &dphi);
  if (grad) *grad = {phi, x[0] * dphi, -1.0};
  return x[0] * phi - x[2];
}

eqSulPPM::eqSulPPM(const std::string& p) : ListedEqn("EQN_" + p + "SULPPM", {p + "SUL", p + "SULPPM"}, 1) {}

double eqSulPPM::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  if (grad) *grad = {10000.0, -1.0};
  return x[0] * 10000.0 - x[1];
}

// ---- Properties -----------------------------------------------------------------

eqNAVal::eqNAVal(const std::string& p) : ListedEqn("EQN_" + p + "NA", {p + "NAPH", p + "AROM", p + "NA"}, 2) {}

double eqNAVal::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  if (grad) *grad = {m_a, m_b, -1.0};
  return x[1] * m_b + x[0] * m_a - x[2];
}

eqIdxVal::eqIdxVal(const std::string& p, std::uint32_t kind) : ListedEqn("", indexList(p, kind), kind < kKindCount ? kIndexKinds[kind].properties.size() : kNone), m_kind(kind) {
  if (kind < kKindCount) name = "EQN_" + p + kIndexKinds[kind].name;
}

int eqIdxVal::res(OneBased<double> residuals) {
  if (m_kind >= kKindCount) return 1;  // no index to evaluate
  return ListedEqn::res(residuals);
}

int eqIdxVal::jac(OneBased<double> values) {
  if (m_kind >= kKindCount) return 0;  // no variables, no entries
  return ListedEqn::jac(values);
}

double eqIdxVal::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  if (m_kind >= kKindCount) throw std::logic_error("unknown index kind");
  const IndexKindRow& row = kIndexKinds[m_kind];
  const std::size_t last = row.properties.size();  // the index variable
  const double v = row.index(x, grad);
  if (grad) (*grad)[last] = -1.0;
  return v - x[last];
}

eqConvCalc::eqConvCalc()
    : ListedEqn("EQN_CALC_CONVERSION", {"CONVERSION", "FEEDMASS", "TOTCONV", "RCYRATE", "FEEDSUL"}, 0) {}

double eqConvCalc::evaluate(const std::vector<double>& x, std::vector<double>* grad) const {
  if (grad) *grad = {-1.0, kFeedMass, kTotConv, kRcyRate, kFeedSul};
  return kFeedMass * x[1] + kTotConv * x[2] + kRcyRate * x[3] + kFeedSul * x[4] + kConstant - x[0];
}

}  // namespace hcr
