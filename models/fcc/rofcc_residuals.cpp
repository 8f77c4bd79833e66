// rofcc: the residuals of the sixty-six model equations, and the one
// evaluation of a row that gives both its residual and its partial derivatives
// (the Jacobian operations, rofcc_jacobian.cpp, use it too). Each operation
// evaluates its row of the equation table: it looks every variable (and a
// "CONV_" record) up first, so a missing name throws before anything is
// written, then reads the current values, computes the equation's value and
// writes value minus the variable it determines at its own row, and nowhere
// else. Values are in base units: KG/HR, CUM/HR, KMOL/HR; sulfur and
// conversion in PERCENT, hence the factors 1000 (SG times volume to mass) and
// 100 (mass times percent to sulfur mass). Formulas are evaluated left to
// right: a * b / c / 1000 is ((a * b) / c) / 1000.
#include <cmath>
#include <cstring>

#include "models/fcc/rofcc.h"
#include "models/fcc/rofcc_equation_list.h"

namespace {

// Floor argument of the yields and relative sulfur values without a cut-off
// constant of their own.
constexpr double kFractionFloor = 1e-19;
// Molar mass of H2S (KG/KMOL) as CONV_H2SMOL uses it; the constant H2SMW is
// read only by the FOE volume.
constexpr double kH2SMolarMass = 34.08088;
constexpr double kPsiPerKpa = 0.145037738;
constexpr double kRviExponent = 1.25;

// The smooth positive floor of a network fraction, its slope and its slope in
// the floor argument.
struct Floored {
  double g = 0.0;
  double dx = 0.0;
  double dm = 0.0;
};
Floored floorOf(double x, double cutoff) {
  Floored f;
  robase::res_ExpMinClip(x, cutoff, &f.g);
  robase::jac_ExpMinClip(x, cutoff, &f.dx, &f.dm);
  return f;
}

// True for the variables a row has on this block: HCOVOL enters the
// conversion only for the "1H" model kinds.
bool takesPart(const FccEqnRow& row, const FccVarRef& ref, bool oneH) {
  return row.form != FccForm::Conversion || oneH || std::strcmp(ref.name, "HCOVOL") != 0;
}

}  // namespace

double rofcc::computeC5SRVI(double rvp) const { return std::pow(rvp * kPsiPerKpa, kRviExponent); }

double rofcc::computeC5SRVIDerivative(double rvp) const {
  // d/dp (k p)^1.25 = 1.25 k^1.25 p^0.25
  return std::pow(rvp, kRviExponent - 1.0) * (std::pow(kPsiPerKpa, kRviExponent) * kRviExponent);
}

double rofcc::computeConversion(double feedVol, double vol1, double vol2, double vol3) const {
  return (1.0 - (vol1 + vol2 + vol3) / feedVol) * 100.0;
}

double rofcc::computeConversion(double feedVol, double vol1, double vol2) const {
  return (1.0 - (vol1 + vol2) / feedVol) * 100.0;
}

const rofcc::RowRefs& rofcc::rowRefs(const FccEqnRow& row) const {
  if (m_rowRefs.empty()) {
    const auto& table = fccEquations();
    m_rowRefs.resize(table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
      for (std::size_t j = 0; j < kFccMaxRowVars && table[i].vars[j].name; ++j)
        m_rowRefs[i].vars[j] = EntryRef<ROMVarMap>(table[i].vars[j].name);
      if (table[i].convName) m_rowRefs[i].conv = EntryRef<ROMEqnMap>(table[i].convName);
    }
  }
  return m_rowRefs.at(static_cast<std::size_t>(row.eq));
}

std::size_t rofcc::rowVariables(const FccEqnRow& row, bool forPattern,
                                std::array<const ROMVar*, kFccMaxRowVars>& vars) const {
  const bool oneH = row.form == FccForm::Conversion && fccIsOneHKind(m_modelKind);
  const RowRefs& refs = rowRefs(row);
  std::size_t n = 0;
  for (std::size_t j = 0; j < kFccMaxRowVars; ++j) {
    const FccVarRef& ref = row.vars[j];
    if (!ref.name) break;
    if (!takesPart(row, ref, oneH)) continue;
    if (ref.patternOnly && !forPattern) {
      vars[n++] = nullptr;
      continue;
    }
    ROMVar* var = refs.vars[j].get(varMap(ref.map));
    if (!var) throwMissingKey();
    vars[n++] = var;
  }
  return n;
}

double rofcc::rowValue(const FccEqnRow& row, const double* v, std::size_t n, double* grad) const {
  // Every branch computes the residual exactly as written in the class
  // comment and, when asked, its partial derivatives in pattern order.
  double d[kFccMaxRowVars] = {};
  double value = 0.0;
  switch (row.form) {
    case FccForm::YieldMass: {  // F, x, M, Y [, u]
      const Floored f = floorOf(v[1], n == 5 ? v[4] : kFractionFloor);
      value = f.g * v[0] * v[2] - v[3];
      d[0] = f.g * v[2];
      d[1] = v[0] * v[2] * f.dx;
      d[2] = f.g * v[0];
      d[3] = -1.0;
      if (n == 5) d[4] = v[0] * v[2] * f.dm;
      break;
    }
    case FccForm::H2SMass: {  // x, F, Y
      const Floored f = floorOf(v[0], kFractionFloor);
      value = f.g * v[1] - v[2];
      d[0] = f.dx * v[1];
      d[1] = f.g;
      d[2] = -1.0;
      break;
    }
    case FccForm::CokFoe:  // mass, factor, vol
      value = v[0] / v[1] / 1000.0 - v[2];
      d[0] = (1.0 / v[1]) / 1000.0;
      d[1] = v[0] / (v[1] * v[1]) / -1000.0;
      d[2] = -1.0;
      break;
    case FccForm::GasFoe:  // mol, mw, factor, vol
      value = v[1] * v[0] / v[2] / 1000.0 - v[3];
      d[0] = v[1] / v[2] / 1000.0;
      d[1] = v[0] / v[2] / 1000.0;
      d[2] = (v[0] * v[1]) / (v[2] * v[2]) / -1000.0;
      d[3] = -1.0;
      break;
    case FccForm::MixSum: {  // components..., mix
      double sum = v[0];
      for (std::size_t i = 1; i + 1 < n; ++i) sum += v[i];
      value = sum - v[n - 1];
      for (std::size_t i = 0; i + 1 < n; ++i) d[i] = 1.0;
      d[n - 1] = -1.0;
      break;
    }
    case FccForm::Share:  // a, T, s
      value = v[0] - v[2] * v[1];
      d[0] = 1.0;
      d[1] = -v[2];
      d[2] = -v[1];
      break;
    case FccForm::FeedSulMass:  // F, S, FS
      value = v[1] * v[0] / 100.0 - v[2];
      d[0] = v[1] / 100.0;
      d[1] = v[0] / 100.0;
      d[2] = -1.0;
      break;
    case FccForm::SulMass: {  // mass, S, rel, sulmass
      const Floored f = floorOf(v[2], kFractionFloor);
      value = v[1] * v[0] * f.g / 100.0 - v[3];
      d[0] = f.g * v[1] / 100.0;
      d[1] = f.g * v[0] / 100.0;
      d[2] = v[1] * v[0] * f.dx / 100.0;
      d[3] = -1.0;
      break;
    }
    case FccForm::Sul:  // mass, sul, sulmass
      value = v[1] * v[0] / 100.0 - v[2];
      d[0] = v[1] / 100.0;
      d[1] = v[0] / 100.0;
      d[2] = -1.0;
      break;
    case FccForm::Vol:  // vol, sg, mass
      value = v[1] * v[0] * 1000.0 - v[2];
      d[0] = v[1] * 1000.0;
      d[1] = v[0] * 1000.0;
      d[2] = -1.0;
      break;
    case FccForm::GasMol:  // mol, mw, mass
      value = v[1] * v[0] - v[2];
      d[0] = v[1];
      d[1] = v[0];
      d[2] = -1.0;
      break;
    case FccForm::H2SMol:  // mol, mass
      value = v[0] * kH2SMolarMass - v[1];
      d[0] = kH2SMolarMass;
      d[1] = -1.0;
      break;
    case FccForm::Rvi:  // rvp, rvi
      value = computeC5SRVI(v[0]) - v[1];
      d[0] = computeC5SRVIDerivative(v[0]);
      d[1] = -1.0;
      break;
    case FccForm::Conversion: {
      // feed, LCO, [HCO,] BOT, COKVOL (pattern only: entry 0), conversion.
      const bool oneH = n == 6;
      const double feed = v[0];
      const double heavy = oneH ? v[1] + v[2] + v[3] : v[1] + v[2];
      value = oneH ? computeConversion(feed, v[1], v[2], v[3]) - v[5] : computeConversion(feed, v[1], v[2]) - v[4];
      const double perFeed = 100.0 / feed;
      d[0] = 100.0 * heavy / (feed * feed);
      for (std::size_t i = 1; i + 2 < n; ++i) d[i] = -perFeed;
      d[n - 2] = 0.0;
      d[n - 1] = -1.0;
      break;
    }
  }
  if (grad)
    for (std::size_t i = 0; i < n; ++i) grad[i] = d[i];
  return value;
}

void rofcc::evalResidual(FccEq eq, long long& status) const {
  const FccEqnRow& row = fccEquations().at(static_cast<std::size_t>(eq));

  // Every look-up before any write.
  std::array<const ROMVar*, kFccMaxRowVars> vars{};
  const std::size_t n = rowVariables(row, false, vars);
  const ROMEqn* eqn = rowRecord(row);
  if (!eqn) {
    status = 1;  // the block has no record for this equation: nothing to write
    return;
  }
  const OneBased<double> x = valueView();
  const OneBased<double> r = residualView();
  if (!x.valid() || !r.valid()) {
    status = 1;
    return;
  }
  std::array<double, kFccMaxRowVars> v{};
  for (std::size_t i = 0; i < n; ++i) v[i] = vars[i] ? x.at(varNumber(*vars[i])) : 0.0;

  const double value = rowValue(row, v.data(), n, nullptr);
  r.at(eqnNumber(*eqn)) = value;
  if (!std::isfinite(value)) status = 1;
}

#define ROFCC_RESIDUAL(name) \
  void rofcc::res_##name(long long& status) const { evalResidual(FccEq::name, status); }
ROFCC_EQUATIONS(ROFCC_RESIDUAL)
#undef ROFCC_RESIDUAL

const std::array<rofcc::EquationOps, kFccEqCount>& rofcc::equationOps() {
#define ROFCC_OPS(name) EquationOps{#name, &rofcc::res_##name, &rofcc::pat_##name, &rofcc::jac_##name},
  static const std::array<EquationOps, kFccEqCount> ops = {{ROFCC_EQUATIONS(ROFCC_OPS)}};
#undef ROFCC_OPS
  return ops;
}
