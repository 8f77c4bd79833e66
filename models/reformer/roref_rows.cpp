// roref: the feed correlations and the residual, pattern and Jacobian
// operation of every row of the equation table.
//
// Each operation looks its record and every variable of its row up first, so
// a missing name throws before anything is written; then the residual writes
// at the row's equation number, the pattern registers one non-zero per
// variable in row order from the running count, and the Jacobian writes the
// exact partial derivatives in the same order from the row's first non-zero.
// Values are in base units: KG/HR, CUM/HR, KMOL/HR; contents in PERCENT.
#include <cmath>

#include "core/helpers.h"
#include "models/reformer/roref.h"

using reformer::EqnRow;
using reformer::Form;
using reformer::VarMap;

namespace {

// The smooth positive floor of a predicted yield: x above 1e-19, below it
// 1e-19 exp(x / 1e-19 - 1), positive everywhere, with value 1e-19 and slope 1
// where the pieces meet.
constexpr double kYieldFloor = 1e-19;
constexpr double kFloorScale = 3.678794411714423e-20;  // 1e-19 exp(-1)
constexpr double kInvE = 0.36787944117144233;          // exp(-1)

double flooredYield(double x) { return x > kYieldFloor ? x : std::exp(x / kYieldFloor) * kFloorScale; }
double flooredYieldSlope(double x) { return x > kYieldFloor ? 1.0 : std::exp(x * 1e19) * kInvE; }

// kg per m3 of a liquid of specific gravity 1; a FOE factor plays the part of
// the gravity of a gas.
constexpr double kDensityScale = 1000.0;
constexpr double kPercent = 100.0;
// The molar mass of hydrogen as CONV_H2MOL uses it; H2MW is read by CONV_H2VOL only.
constexpr double kH2MolarMass = 2.01588;

// Aromatics hydrogen: per component, hydrogen weight fraction times component
// factor (benzene, toluene, xylenes, C9+ aromatics).
constexpr double kAroFactors[4] = {0.8845 * 7.6923, 0.8757 * 8.6596, 0.8698 * 9.434, 0.862 * 10.2362};
// Hydrogen mass fraction of CnH2n (carbon 12, hydrogen 1).
constexpr double kNaphtheneHydrogen = 0.14285714285714285;

}  // namespace

// ---- Correlations ------------------------------------------------------------------

double roref::computeMEABP(double sg, double naph, double arom) const {
  return 2838.4367747834 * sg - (2.01694453409429 * naph + 4.61132832958926 * arom) - 1773.91461365548;
}

double roref::computeFeedCNO(double sg, double naph, double arom) const {
  return 80.6049 * sg - 0.0408532 * naph - 0.131756 * arom - 49.5094;
}

double roref::computeFeedHyd(double cno, double naph, double arom) const {
  // Paraffins CnH2n+2, naphthenes CnH2n and aromatics CnH2n-6 at the feed's carbon number.
  const double paraffins = 100.0 - arom - naph;
  return (2.0 * cno + 2.0) / (14.0 * cno + 2.0) * paraffins + kNaphtheneHydrogen * naph +
         (2.0 * cno - 6.0) / (14.0 * cno - 6.0) * arom;
}

double roref::computeFeedArom(double na, double ratio) const { return na / (ratio + m_naFactor); }

double roref::computeFeedNaph(double na, double ratio) const { return na * ratio / (ratio + m_naFactor); }

double roref::computeAROHyd(double benz, double tol, double xyl, double c9p, double sg) const {
  return (benz * kAroFactors[0] + tol * kAroFactors[1] + xyl * kAroFactors[2] + c9p * kAroFactors[3]) / (sg * 100.0);
}

// ---- Feed residuals and derivatives ----------------------------------------------------

double roref::computeMEABPResidual(long long& status) const {
  status = 0;
  return valueOf({VarMap::Input, "MEABP"}) - computeMEABP(valueOf({VarMap::Calc, "FEEDSG"}),
                                                          valueOf({VarMap::Input, "FEEDNAPH"}),
                                                          valueOf({VarMap::Input, "FEEDAROM"}));
}

double roref::computeFeedCNOResidual(long long& status) const {
  status = 0;
  return valueOf({VarMap::Calc, "FEEDCNO"}) - computeFeedCNO(valueOf({VarMap::Calc, "FEEDSG"}),
                                                             valueOf({VarMap::Input, "FEEDNAPH"}),
                                                             valueOf({VarMap::Input, "FEEDAROM"}));
}

double roref::computeFeedHydResidual(long long& status) const {
  status = 0;
  return valueOf({VarMap::Calc, "FEEDHYD"}) - computeFeedHyd(valueOf({VarMap::Calc, "FEEDCNO"}),
                                                             valueOf({VarMap::Input, "FEEDNAPH"}),
                                                             valueOf({VarMap::Input, "FEEDAROM"}));
}

double roref::computeFeedAromResidual(long long& status) const {
  status = 0;
  return valueOf({VarMap::Input, "FEEDAROM"}) -
         computeFeedArom(valueOf({VarMap::Calc, "FEEDNA"}), valueOf({VarMap::Const, "RATIONA"}));
}

double roref::computeFeedNaphResidual(long long& status) const {
  status = 0;
  return valueOf({VarMap::Input, "FEEDNAPH"}) -
         computeFeedNaph(valueOf({VarMap::Calc, "FEEDNA"}), valueOf({VarMap::Const, "RATIONA"}));
}

namespace {

// A derivative by a name outside the equation: 0.0 with status 1.
double unknownVariable(long long& status) {
  status = 1;
  return 0.0;
}

}  // namespace

double roref::computeMEABPDerivative(std::string name, long long& status) const {
  status = 0;
  if (name == "MEABP") return 1.0;
  if (name == "FEEDSG") return -2838.4367747834;
  if (name == "FEEDNAPH") return 2.01694453409429;
  if (name == "FEEDAROM") return 4.61132832958926;
  return unknownVariable(status);
}

double roref::computeFeedCNODerivative(std::string name, long long& status) const {
  status = 0;
  if (name == "FEEDCNO") return 1.0;
  if (name == "FEEDSG") return -80.6049;
  if (name == "FEEDNAPH") return 0.0408532;
  if (name == "FEEDAROM") return 0.131756;
  return unknownVariable(status);
}

double roref::computeFeedHydDerivative(std::string name, long long& status) const {
  status = 0;
  if (name == "FEEDHYD") return 1.0;
  if (name != "FEEDCNO" && name != "FEEDAROM" && name != "FEEDNAPH") return unknownVariable(status);
  const double n = valueOf({VarMap::Calc, "FEEDCNO"});
  const double A = valueOf({VarMap::Input, "FEEDAROM"});
  const double N = valueOf({VarMap::Input, "FEEDNAPH"});
  const double P = 100.0 - A - N;
  const double dp = 14.0 * n + 2.0, da = 14.0 * n - 6.0;
  const double paraffin = (2.0 * n + 2.0) / dp, aromatic = (2.0 * n - 6.0) / da;
  if (name == "FEEDCNO")
    return -(2.0 * P / dp - 14.0 * (2.0 * n + 2.0) * P / (dp * dp) + 2.0 * A / da - 14.0 * (2.0 * n - 6.0) * A / (da * da));
  if (name == "FEEDAROM") return -(aromatic - paraffin);
  return -(kNaphtheneHydrogen - paraffin);
}

double roref::computeFeedAromDerivative(std::string name, long long& status) const {
  status = 0;
  if (name == "FEEDAROM") return 1.0;
  if (name != "FEEDNA" && name != "RATIONA") return unknownVariable(status);
  const double r = valueOf({VarMap::Const, "RATIONA"}) + m_naFactor;
  if (name == "FEEDNA") return -1.0 / r;
  return valueOf({VarMap::Calc, "FEEDNA"}) / (r * r);
}

double roref::computeFeedNaphDerivative(std::string name, long long& status) const {
  status = 0;
  if (name == "FEEDNAPH") return 1.0;
  if (name != "FEEDNA" && name != "RATIONA") return unknownVariable(status);
  const double ratio = valueOf({VarMap::Const, "RATIONA"});
  const double r = ratio + m_naFactor;
  if (name == "FEEDNA") return -ratio / r;
  const double na = valueOf({VarMap::Calc, "FEEDNA"});
  return -(na / r - ratio * na / (r * r));
}

// ---- The rows ----------------------------------------------------------------------------

double roref::evalRow(const EqnRow& row, const double* v, double* g, long long& status) const {
  long long st = 0;
  double r = 0.0;
  std::size_t n = 0;
  while (n < row.vars.size() && row.vars[n].name) ++n;

  using FeedResidual = double (roref::*)(long long&) const;
  using FeedDerivative = double (roref::*)(std::string, long long&) const;
  const auto feed = [&](FeedResidual res, FeedDerivative der) {
    r = (this->*res)(st);
    if (st != 0) status = 1;
    if (!g) return;
    for (std::size_t k = 0; k < n; ++k) {
      g[k] = (this->*der)(row.vars[k].name, st);
      if (st != 0) status = 1;
    }
  };

  switch (row.form) {
    case Form::FeedMEABP: feed(&roref::computeMEABPResidual, &roref::computeMEABPDerivative); break;
    case Form::FeedCNO: feed(&roref::computeFeedCNOResidual, &roref::computeFeedCNODerivative); break;
    case Form::FeedHyd: feed(&roref::computeFeedHydResidual, &roref::computeFeedHydDerivative); break;
    case Form::FeedArom: feed(&roref::computeFeedAromResidual, &roref::computeFeedAromDerivative); break;
    case Form::FeedNaph: feed(&roref::computeFeedNaphResidual, &roref::computeFeedNaphDerivative); break;
    case Form::YieldMass: {  // FEEDMASS, yield, MASSFACTOR, mass
      const double f = flooredYield(v[1]);
      r = f * v[0] * v[2] - v[3];
      if (g) g[0] = f * v[2], g[1] = v[2] * v[0] * flooredYieldSlope(v[1]), g[2] = f * v[0], g[3] = -1.0;
      break;
    }
    case Form::HydMass:  // mass, content, hydrogen mass
      r = v[0] * v[1] / kPercent - v[2];
      if (g) g[0] = v[1] / kPercent, g[1] = v[0] / kPercent, g[2] = -1.0;
      break;
    case Form::FixedHydMass:  // mass, hydrogen mass
      r = v[0] * row.coef / kPercent - v[1];
      if (g) g[0] = row.coef / kPercent, g[1] = -1.0;
      break;
    case Form::LiquidVol:  // volume, gravity, mass
      r = v[1] * v[0] * kDensityScale - v[2];
      if (g) g[0] = v[1] * kDensityScale, g[1] = v[0] * kDensityScale, g[2] = -1.0;
      break;
    case Form::GasVol:  // volume, molar mass, FOE factor, moles
      r = v[0] / v[1] * v[2] * kDensityScale - v[3];
      if (g) {
        g[0] = v[2] / v[1] * kDensityScale;
        g[1] = -(v[2] * v[0] / v[1] / v[1] * kDensityScale);
        g[2] = v[0] / v[1] * kDensityScale;
        g[3] = -1.0;
      }
      break;
    case Form::GasMol:  // moles, molar mass, mass
      r = v[0] * v[1] - v[2];
      if (g) g[0] = v[1], g[1] = v[0], g[2] = -1.0;
      break;
    case Form::H2Mol:  // moles, mass
      r = v[0] * kH2MolarMass - v[1];
      if (g) g[0] = kH2MolarMass, g[1] = -1.0;
      break;
    case Form::AroHyd: {  // benzene, toluene, xylenes, C9+, gravity, AROHYD
      r = computeAROHyd(v[0], v[1], v[2], v[3], v[4]) - v[5];
      if (g) {
        double numerator = 0.0;
        for (int k = 0; k < 4; ++k) {
          numerator += v[k] * kAroFactors[k];
          g[k] = kAroFactors[k] / (100.0 * v[4]);
        }
        g[4] = -numerator / (100.0 * v[4] * v[4]);
        g[5] = -1.0;
      }
      break;
    }
  }
  return r;
}

namespace {

// The row's variable count and records, looked up before anything is written.
struct ResolvedRow {
  std::array<const ROMVar*, reformer::kMaxRowVariables> vars{};
  std::size_t count = 0;
};

}  // namespace

void roref::evalResidual(reformer::Eq eq, long long& status) const {
  const EqnRow& row = reformer::equationRow(eq);
  ResolvedRow rr;
  for (const reformer::VarRef& ref : row.vars)
    if (ref.name) rr.vars[rr.count++] = tableLookup(ref);
  const ROMEqn* eqn = equationRecord(eq);
  if (row.record == reformer::Record::None && !eqn) throw std::out_of_range(kInvalidMapKey);
  const OneBased<double> x = valueView();
  const OneBased<double> res = residualView();
  if (!eqn || !x.valid() || !res.valid()) {
    status = 1;  // no record on this block, or no framework vectors: nothing to write
    return;
  }
  std::array<double, reformer::kMaxRowVariables> v{};
  for (std::size_t k = 0; k < rr.count; ++k) v[k] = x.at(varNumber(*rr.vars[k]));
  const double value = evalRow(row, v.data(), nullptr, status);
  res.at(eqnNumber(*eqn)) = value;
  if (!std::isfinite(value)) status = 1;
}

void roref::evalPattern(reformer::Eq eq, rt_jac_t* jac, long long& status) {
  const EqnRow& row = reformer::equationRow(eq);
  ResolvedRow rr;
  for (const reformer::VarRef& ref : row.vars)
    if (ref.name) rr.vars[rr.count++] = tableLookup(ref);
  ROMEqn* eqn = equationRecord(eq);
  if (row.record == reformer::Record::None && !eqn) throw std::out_of_range(kInvalidMapKey);
  if (!eqn || !jac) {
    status = 1;
    return;
  }
  eqn->firstNz = m_nzCounter + 1;
  const int rowNumber = eqnNumber(*eqn);
  for (std::size_t k = 0; k < rr.count; ++k) {
    ++m_nzCounter;
    const int nz = nzNumber(m_nzCounter);
    if (!registerNonZero(jac, nz, rowNumber, varNumber(*rr.vars[k])))
      status = 1;
  }
  m_lastNz = nzNumber(m_nzCounter);
}

void roref::evalJacobian(reformer::Eq eq, long long& status) const {
  const EqnRow& row = reformer::equationRow(eq);
  ResolvedRow rr;
  for (const reformer::VarRef& ref : row.vars)
    if (ref.name) rr.vars[rr.count++] = tableLookup(ref);
  const ROMEqn* eqn = equationRecord(eq);
  if (row.record == reformer::Record::None && !eqn) throw std::out_of_range(kInvalidMapKey);
  const OneBased<double> x = valueView();
  const OneBased<double> bj = jacobianView();
  // Without a pattern the row's non-zeros are unknown: nothing is written.
  if (!eqn || eqn->firstNz <= 0 || !x.valid() || !bj.valid()) {
    status = 1;
    return;
  }
  std::array<double, reformer::kMaxRowVariables> v{};
  std::array<double, reformer::kMaxRowVariables> g{};
  for (std::size_t k = 0; k < rr.count; ++k) v[k] = x.at(varNumber(*rr.vars[k]));
  evalRow(row, v.data(), g.data(), status);
  for (std::size_t k = 0; k < rr.count; ++k) {
    const int nz = nzNumber(eqn->firstNz + static_cast<int>(k));
    if (!bj.contains(nz)) {
      status = 1;
      continue;
    }
    bj[nz] = g[k];
    if (!std::isfinite(g[k])) status = 1;
  }
}

#define ROREF_DEFINE_OPS(name)                                                                           \
  void roref::res_##name(long long& status) const { evalResidual(reformer::Eq::name, status); }          \
  void roref::pat_##name(rt_jac_t* jac, long long& status) { evalPattern(reformer::Eq::name, jac, status); } \
  void roref::jac_##name(long long& status) const { evalJacobian(reformer::Eq::name, status); }
ROREF_EQUATIONS(ROREF_DEFINE_OPS)
#undef ROREF_DEFINE_OPS
