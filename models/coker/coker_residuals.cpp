// The coker's model-row forms (residual and exact partial derivatives side by
// side) and the residual hook.
#include <cmath>

#include "core/hook_guard.h"
#include "models/coker/coker_tables.h"
#include "models/coker/rocoker.h"

namespace {

// The smooth floor of a yield fraction or relative sulfur factor with its slope.
struct Floored {
  double value = 0.0;
  double slope = 0.0;
};

Floored floorOf(double x, long long& status) {
  Floored f;
  if (robase::res_ExpMinClip(x, coker::kYieldFloor, &f.value) != 0) status = 1;
  if (robase::jac_ExpMinClip(x, coker::kYieldFloor, &f.slope, nullptr) != 0) status = 1;
  return f;
}

}  // namespace

double rocoker::evalRow(const Row& row, const double* v, double* g, long long& status) const {
  using coker::Form;
  const coker::ModelRow& def = *row.def;
  const std::size_t n = row.vars.size();
  long long st = 0;
  double r = 0.0;
  switch (def.form) {
    case Form::MassBalance:
      r = computeMassBalanceResidual(st);
      if (g)
        for (std::size_t k = 0; k < n; ++k) g[k] = k == 0 ? 1.0 : -1.0;  // the feed, then each product
      break;
    case Form::SulfurBalance:
      r = computeSulfurBalanceResidual(st);
      if (st != 0) status = 1;
      if (g)
        for (std::size_t k = 0; k < n; ++k) {
          g[k] = computeSulfurBalanceDerivative(row.vars[k]->name, st);
          if (st != 0) status = 1;
        }
      break;
    case Form::Linear:
      for (std::size_t k = 0; k < n; ++k) {
        r += def.coef[k] * v[k];
        if (g) g[k] = def.coef[k];
      }
      break;
    case Form::Product: {
      const double scale = def.coef[0];
      r = v[0] * v[1] * scale - v[2];
      if (g) g[0] = scale * v[1], g[1] = scale * v[0], g[2] = -1.0;
      break;
    }
    case Form::FeedSulfurMass:
      r = v[0] * v[1] / 100.0 - v[2];
      if (g) g[0] = v[1] / 100.0, g[1] = v[0] / 100.0, g[2] = -1.0;
      break;
    case Form::GasVolume:  // v0 volume, v1 FOE factor, v2 molar mass, v3 moles
      r = v[3] * v[2] / v[1] / 1000.0 - v[0];
      if (g) {
        g[0] = -1.0;
        g[1] = -v[3] * v[2] / (1000.0 * v[1] * v[1]);
        g[2] = v[3] / v[1] / 1000.0;
        g[3] = v[2] / v[1] / 1000.0;
      }
      break;
    case Form::SolidVolume:  // v0 volume, v1 FOE factor, v2 mass
      r = v[2] / v[1] / 1000.0 - v[0];
      if (g) g[0] = -1.0, g[1] = -v[2] / (1000.0 * v[1] * v[1]), g[2] = 1.0 / v[1] / 1000.0;
      break;
    case Form::H2SYield: {  // v0 mass, v1 yield, v2 feed mass
      const Floored f = floorOf(v[1], status);
      r = v[0] / v[2] - f.value;
      if (g) g[0] = 1.0 / v[2], g[1] = -f.slope, g[2] = -v[0] / (v[2] * v[2]);
      break;
    }
    case Form::ProductYield: {  // v0 mass, v1 yield, v2 feed mass, v3 MASSFACTOR
      const Floored f = floorOf(v[1], status);
      r = v[0] / v[2] - f.value * v[3];
      if (g) g[0] = 1.0 / v[2], g[1] = -v[3] * f.slope, g[2] = -v[0] / (v[2] * v[2]), g[3] = -f.value;
      break;
    }
    case Form::RelativeSulfur: {  // v0 relative factor, v1 feed sulfur, v2 product sulfur
      const Floored f = floorOf(v[0], status);
      r = f.value * v[1] - v[2];
      if (g) g[0] = v[1] * f.slope, g[1] = f.value, g[2] = -1.0;
      break;
    }
    case Form::ProductSulfurMass: {  // v0 mass, v1 relative factor, v2 feed sulfur, v3 sulfur mass
      const Floored f = floorOf(v[1], status);
      r = f.value * v[0] * v[2] / 100.0 - v[3];
      if (g) {
        g[0] = f.value * v[2] / 100.0;
        g[1] = v[2] * v[0] * f.slope / 100.0;
        g[2] = f.value * v[0] / 100.0;
        g[3] = -1.0;
      }
      break;
    }
    case Form::Ratio:
      r = v[0] / v[1] - v[2];
      if (g) g[0] = 1.0 / v[1], g[1] = -v[0] / (v[1] * v[1]), g[2] = -1.0;
      break;
    case Form::CetaneIndex:
      r = computeLGOCetIdx(v[0], v[1]) - v[2];
      if (g)
        for (std::size_t k = 0; k < n; ++k) g[k] = computeLGOCetIdxDerivative(row.vars[k]->name, v[0], v[1]);
      break;
    case Form::CloudIndex:
      r = computeLGOCloudIdx(v[0]) - v[1];
      if (g)
        for (std::size_t k = 0; k < n; ++k) g[k] = computeLGOCloudIdxDerivative(row.vars[k]->name, v[0]);
      break;
    case Form::LgoViscIndex:
      r = computeLGOViscIdx(v[0]) - v[1];
      if (g)
        for (std::size_t k = 0; k < n; ++k) g[k] = computeLGOViscIdxDerivative(row.vars[k]->name, v[0]);
      break;
    case Form::HgoViscIndex:
      r = computeHGOViscIdx(v[0]) - v[1];
      if (g)
        for (std::size_t k = 0; k < n; ++k) g[k] = computeHGOViscIdxDerivative(row.vars[k]->name, v[0]);
      break;
  }
  if (st != 0) status = 1;
  return r;
}

void rocoker::gatherRowValues(const Row& row, const OneBased<double>& x, RowValues& v) const {
  for (std::size_t k = 0; k < row.vars.size(); ++k) v[k] = x.at(varNumber(*row.vars[k]));
}

void rocoker::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;  // the runner's status; nothing is written
      return;
    }
    const OneBased<double> res = residualView();
    const OneBased<double> x = valueView();
    if (!res.valid() || !x.valid()) {
      status = 1;
      return;
    }
    long long st = 0;
    res_NNAdjustment(st);
    if (st != 0) status = 1;
    // Every row is written; a failure or a non-finite residual (a zero mix or
    // feed flow, a viscosity at or below 0.15 cSt) makes the status 1.
    RowValues v{};
    for (const Row& row : m_rows) {
      gatherRowValues(row, x, v);
      long long rs = 0;
      const double value = evalRow(row, v.data(), nullptr, rs);
      res.at(eqnNumber(*row.eqn)) = value;
      if (rs != 0 || !std::isfinite(value)) status = 1;
    }
  });
}
