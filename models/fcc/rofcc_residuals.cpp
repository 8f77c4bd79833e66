// rofcc: the residuals of the sixty-six model equations. Each operation
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

// The smooth positive floor of a network fraction.
double floorOf(double x, double cutoff) {
  double g = 0.0;
  robase::res_ExpMinClip(x, cutoff, &g);
  return g;
}

// True for the variables a row reads on this block: HCOVOL enters the
// conversion only for the "1H" model kinds.
bool takesPart(const FccEqnRow& row, const FccVarRef& ref, bool oneH) {
  return row.form != FccForm::Conversion || oneH || std::strcmp(ref.name, "HCOVOL") != 0;
}

}  // namespace

double rofcc::computeC5SRVI(double rvp) const { return std::pow(rvp * kPsiPerKpa, kRviExponent); }

double rofcc::computeConversion(double feedVol, double vol1, double vol2, double vol3) const {
  return (1.0 - (vol1 + vol2 + vol3) / feedVol) * 100.0;
}

double rofcc::computeConversion(double feedVol, double vol1, double vol2) const {
  return (1.0 - (vol1 + vol2) / feedVol) * 100.0;
}

void rofcc::evalResidual(FccEq eq, long long& status) const {
  const FccEqnRow& row = fccEquations().at(static_cast<std::size_t>(eq));
  const bool oneH = row.form == FccForm::Conversion && fccIsOneHKind(m_modelKind);

  // Every look-up before any write.
  std::array<const ROMVar*, 5> vars{};
  std::size_t n = 0;
  for (const FccVarRef& ref : row.vars) {
    if (!ref.name) break;
    if (takesPart(row, ref, oneH)) vars[n++] = lookup(ref.map, ref.name);
  }
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
  std::array<double, 5> v{};
  for (std::size_t i = 0; i < n; ++i) v[i] = x.at(varNumber(*vars[i]));

  double value = 0.0;
  switch (row.form) {
    case FccForm::YieldMass:
      value = floorOf(v[1], n == 5 ? v[4] : kFractionFloor) * v[0] * v[2] - v[3];
      break;
    case FccForm::H2SMass:
      value = floorOf(v[0], kFractionFloor) * v[1] - v[2];
      break;
    case FccForm::CokFoe:
      value = v[0] / v[1] / 1000.0 - v[2];
      break;
    case FccForm::GasFoe:
      value = v[1] * v[0] / v[2] / 1000.0 - v[3];
      break;
    case FccForm::MixSum: {
      double sum = v[0];
      for (std::size_t i = 1; i + 1 < n; ++i) sum += v[i];
      value = sum - v[n - 1];
      break;
    }
    case FccForm::Share:
      value = v[0] - v[2] * v[1];
      break;
    case FccForm::FeedSulMass:
      value = v[1] * v[0] / 100.0 - v[2];
      break;
    case FccForm::SulMass:
      value = v[1] * v[0] * floorOf(v[2], kFractionFloor) / 100.0 - v[3];
      break;
    case FccForm::Sul:
      value = v[1] * v[0] / 100.0 - v[2];
      break;
    case FccForm::Vol:
      value = v[1] * v[0] * 1000.0 - v[2];
      break;
    case FccForm::GasMol:
      value = v[1] * v[0] - v[2];
      break;
    case FccForm::H2SMol:
      value = v[0] * kH2SMolarMass - v[1];
      break;
    case FccForm::Rvi:
      value = computeC5SRVI(v[0]) - v[1];
      break;
    case FccForm::Conversion:
      value = oneH ? computeConversion(v[0], v[1], v[2], v[3]) - v[4] : computeConversion(v[0], v[1], v[2]) - v[3];
      break;
  }
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
