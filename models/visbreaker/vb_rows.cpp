// The visbreaker's model rows: the residual forms with their exact partial
// derivatives side by side, the res_, pat_ and jac_ members of every tag, and
// the pattern, residual and Jacobian passes.
//
// Values are in base units: KG/HR, CUM/HR, KMOL/HR; sulfur in PERCENT, hence
// the factors 1000 (gravity times volume to mass) and 100 (mass times percent
// to sulfur mass).
#include <cmath>
#include <stdexcept>
#include <string>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "equations/vb_equations.h"
#include "models/visbreaker/rovb.h"

namespace {

// The smooth floor of a yield fraction or relative sulfur factor with its slope.
struct Floored {
  double value = 0.0;
  double slope = 0.0;
};

Floored floorOf(double x, long long& status) {
  Floored f;
  if (robase::res_ExpMinClip(x, vb::kYieldFloor, &f.value) != 0) status = 1;
  if (robase::jac_ExpMinClip(x, vb::kYieldFloor, &f.slope, nullptr) != 0) status = 1;
  return f;
}

}  // namespace

double rovb::evalRow(const Row& row, const RowValues& v, RowValues* grad, long long& status) const {
  using vb::Form;
  const std::size_t n = row.vars.size();
  RowValues unused{};
  RowValues& g = grad ? *grad : unused;
  long long st = 0;
  double r = 0.0;
  switch (row.def->form) {
    case Form::MassBalance:
      r = computeMassBalanceResidual(st);
      if (st != 0) status = 1;
      if (grad)
        for (std::size_t k = 0; k < n; ++k) {
          g[k] = computeMassBalanceDerivative(row.vars[k]->name, st);
          if (st != 0) status = 1;
        }
      break;
    case Form::SulfurBalance:
      r = computeSulfurBalanceResidual(st);
      if (st != 0) status = 1;
      if (grad)
        for (std::size_t k = 0; k < n; ++k) {
          g[k] = computeSulfurBalanceDerivative(row.vars[k]->name, st);
          if (st != 0) status = 1;
        }
      break;
    case Form::ProductMass: {  // FEEDMASS, FRAC, MASSFACTOR, MASS
      const Floored f = floorOf(v[1], status);
      r = f.value * v[0] * v[2] - v[3];
      g[0] = f.value * v[2], g[1] = v[2] * v[0] * f.slope, g[2] = f.value * v[0], g[3] = -1.0;
      break;
    }
    case Form::GasFoe:  // MOL, MW, FOEFACTOR, VOL
      r = v[1] * v[0] / v[2] / 1000.0 - v[3];
      g[0] = v[1] / v[2] / 1000.0;
      g[1] = v[0] / v[2] / 1000.0;
      g[2] = v[0] * v[1] / (v[2] * v[2]) / -1000.0;
      g[3] = -1.0;
      break;
    case Form::Sum:  // members, then the mix
      for (std::size_t k = 0; k + 1 < n; ++k) {
        r += v[k];
        g[k] = 1.0;
      }
      r -= v[n - 1];
      g[n - 1] = -1.0;
      break;
    case Form::Share:  // component, mix, share
      r = v[0] - v[1] * v[2];
      g[0] = 1.0, g[1] = -v[2], g[2] = -v[1];
      break;
    case Form::FeedSulMass:  // FEEDMASS, FEEDSUL, FEEDSULMASS
      r = v[1] * v[0] / 100.0 - v[2];
      g[0] = v[1] / 100.0, g[1] = v[0] / 100.0, g[2] = -1.0;
      break;
    case Form::SulMass: {  // MASS, FEEDSUL, RELSUL, SULMASS
      const Floored f = floorOf(v[2], status);
      r = v[1] * v[0] * f.value / 100.0 - v[3];
      g[0] = f.value * v[1] / 100.0, g[1] = f.value * v[0] / 100.0, g[2] = v[1] * v[0] * f.slope / 100.0;
      g[3] = -1.0;
      break;
    }
    case Form::SulContent:  // MASS, SUL, SULMASS
      r = v[1] * v[0] / 100.0 - v[2];
      g[0] = v[1] / 100.0, g[1] = v[0] / 100.0, g[2] = -1.0;
      break;
    case Form::SulPpm:  // the block core's rows (res_SulPPM, jac_SulPPM) are never evaluated here
      throw std::logic_error("sulfur-ppm rows are evaluated by the block core");
    case Form::Volume:  // VOL, SG, MASS
      r = v[1] * v[0] * 1000.0 - v[2];
      g[0] = v[1] * 1000.0, g[1] = v[0] * 1000.0, g[2] = -1.0;
      break;
    case Form::GasMol:  // MOL, MW, MASS
      r = v[1] * v[0] - v[2];
      g[0] = v[1], g[1] = v[0], g[2] = -1.0;
      break;
    case Form::H2SMol:  // MOL, MASS; the molar mass as a number, whatever H2SMW holds
      r = v[0] * vb::kH2SMolarMass - v[1];
      g[0] = vb::kH2SMolarMass, g[1] = -1.0;
      break;
    case Form::ViscIndex:  // viscosity (after the restart), index
      r = computeVBI(v[0]) - v[1];
      g[0] = computeVBIDerivative(v[0]), g[1] = -1.0;
      break;
    case Form::FurnaceTemp: {  // FEEDMASS, CONVERSION, FEEDCCR, FEEDSG, FEEDSUL, FURNACETEMP
      r = computeFurnaceTemp(v[0], v[1], v[2], v[3], v[4]) - v[5];
      ROEqnSupplier::VBFurnaceArgs d{};
      ROEqnSupplier::vbFurnaceTemperature(ROEqnSupplier::vbFurnaceFit(m_modelKind), {v[0], v[1], v[2], v[3], v[4]},
                                          &d);
      for (std::size_t k = 0; k < d.size(); ++k) g[k] = d[k];
      g[5] = -1.0;
      break;
    }
  }
  return r;
}

void rovb::gatherRowValues(const Row& row, const OneBased<double>& x, RowValues& v) const {
  for (std::size_t k = 0; k < row.vars.size(); ++k) v[k] = x.at(varNumber(*row.vars[k]));
  if (row.def->form == vb::Form::ViscIndex && v[0] < ROEqnSupplier::kVbMinViscosity) {
    // The double logarithm is defined above 0.15 cSt only: a viscosity below
    // 0.2 restarts at a random value in [0.2, 1.2), which becomes its value.
    v[0] = ROEqnSupplier::vbViscosityRestart(v[0]);
    x.at(varNumber(*row.vars[0])) = v[0];
  }
}

void rovb::resRow(const Row& row, long long& status) const {
  status = 0;
  const OneBased<double> x = valueView();
  const OneBased<double> res = residualView();
  if (!row.eqn || !x.valid() || !res.valid()) {
    status = 1;
    return;
  }
  RowValues v{};
  gatherRowValues(row, x, v);
  const double value = evalRow(row, v, nullptr, status);
  res.at(eqnNumber(*row.eqn)) = value;
  if (!std::isfinite(value)) status = 1;
}

void rovb::patRow(const Row& row, rt_jac_t* jac, long long& status) {
  status = 0;
  if (!row.eqn || !jac) {
    status = 1;
    return;
  }
  const int eqn = eqnNumber(*row.eqn);
  row.eqn->firstNz = m_nzCounter + 1;
  for (const ROMVar* var : row.vars) {
    ++m_nzCounter;
    const int nz = nzNumber(m_nzCounter);
    if (!registerNonZero(jac, nz, eqn, varNumber(*var))) status = 1;
  }
  m_lastNz = nzNumber(m_nzCounter);
}

void rovb::jacRow(const Row& row, long long& status) const {
  status = 0;
  const OneBased<double> x = valueView();
  const OneBased<double> bj = jacobianView();
  // Without a pattern the row has no place among the non-zeros.
  if (!row.eqn || row.eqn->firstNz <= 0 || !x.valid() || !bj.valid()) {
    status = 1;
    return;
  }
  RowValues v{};
  RowValues grad{};
  gatherRowValues(row, x, v);
  evalRow(row, v, &grad, status);
  const int first = nzNumber(row.eqn->firstNz);
  for (std::size_t k = 0; k < row.vars.size(); ++k) {
    bj.at(first + static_cast<int>(k)) = grad[k];
    if (!std::isfinite(grad[k])) status = 1;
  }
}

// ---- The members of the 54 tags ---------------------------------------------------

#define ROVB_DEFINE(tag)                                                                                   \
  void rovb::res_##tag(long long& status) const { resRow(rowOf(vb::Eq::tag), status); }                   \
  void rovb::pat_##tag(rt_jac_t* jac, long long& status) { patRow(rowOf(vb::Eq::tag), jac, status); }      \
  void rovb::jac_##tag(long long& status) const { jacRow(rowOf(vb::Eq::tag), status); }
ROVB_EQUATIONS(ROVB_DEFINE)
#undef ROVB_DEFINE

const std::array<rovb::EquationOps, vb::kEqCount>& rovb::equationOps() {
#define ROVB_OPS(tag) EquationOps{#tag, &rovb::res_##tag, &rovb::pat_##tag, &rovb::jac_##tag},
  static const std::array<EquationOps, vb::kEqCount> ops = {{ROVB_EQUATIONS(ROVB_OPS)}};
#undef ROVB_OPS
  return ops;
}

// ---- Passes ------------------------------------------------------------------------

void rovb::user_pat(rt_jac_t* jac, long long& status) {
  status = 0;
  m_patternDone = false;
  guardHook(status, [&] {
    m_nzCounter = 0;
    pat_NNAdjustment(jac, status);
    if (status != 0) return;
    // Table order: every non-zero's number follows from it. The pattern
    // stops at the first row that fails.
    for (const Row& row : m_rows) {
      long long st = 0;
      if (row.def->tag == vb::kNoTag) {
        pat_SulPPM(row.eqn, jac, st);
        m_lastNz = nzNumber(m_nzCounter);
      } else {
        (this->*equationOps()[static_cast<std::size_t>(row.def->tag)].pat)(jac, st);
      }
      if (st != 0) {
        status = st;
        return;
      }
    }
    m_patternDone = true;
  });
}

void rovb::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;  // the runner's status; nothing is written
      return;
    }
    bool failed = false;
    long long st = 0;
    res_NNAdjustment(st);
    failed = st != 0;
    // Every row writes its residual; one failure keeps the pass failed.
    for (const Row& row : m_rows) {
      st = 0;
      if (row.def->tag == vb::kNoTag)
        res_SulPPM(row.eqn, st);
      else
        (this->*equationOps()[static_cast<std::size_t>(row.def->tag)].res)(st);
      if (st != 0) failed = true;
    }
    st = 0;
    flagNonFiniteResiduals(st);
    if (failed || st != 0) status = 1;
  });
}

void rovb::user_jac(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;  // the runner's status; nothing is written
      return;
    }
    // Without a complete pattern pass the rows' positions are unknown.
    if (!m_patternDone) {
      status = 1;
      return;
    }
    long long st = 0;
    jac_NNAdjustment(st);
    bool failed = st != 0;
    for (const Row& row : m_rows) {
      st = 0;
      if (row.def->tag == vb::kNoTag)
        jac_SulPPM(row.eqn, st);
      else
        (this->*equationOps()[static_cast<std::size_t>(row.def->tag)].jac)(st);
      if (st != 0) failed = true;
    }
    st = 0;
    flagNonFiniteJacobian(st);
    if (failed || st != 0) status = 1;
  });
}
