// robase: the tuning-factor adjustment rows "Y_" + y, the sulfur-ppm rows of
// the product streams, and the smooth positive floor on network fractions.
//
// Adjustment row of output y with raw prediction P and model inputs x:
//   r = y - (ALPHA_y * P + BETA_y + sum over x in y's independent set of GAMMA_y_x * x)
//   dr/dy = 1,  dr/dx = -ALPHA_y * dP/dx - (GAMMA_y_x when x is in the independent set)
// The pattern registers every model input (by name) and then y; the Jacobian
// writes the same list in the same order.
//
// The evaluation operations only ever raise the status to 1 on a failure, so
// a model's chain of steps keeps an earlier failure.
#include <algorithm>
#include <cmath>

#include "core/helpers.h"
#include "core/robase_adjustment.h"

namespace {

constexpr double kPpmToFraction = 0.0001;  // wt% per ppm
constexpr double kMinCutoff = 1e-20;
constexpr double kE = 2.718281828459045;
constexpr double kInvE = 0.36787944117144233;

// Output name of an adjustment row: the name without its leading "Y_".
std::string outputOf(const std::string& eqnName) { return eqnName.size() >= 2 ? eqnName.substr(2) : std::string(); }

}  // namespace

// ---- The rows kept between evaluations ----------------------------------------------

AdjustmentRow robase::adjustmentRow(const AdjustmentPlan& plan, const std::string& output) const {
  AdjustmentRow row;
  row.output = output;
  row.out = EntryRef<ROMVarMap>(output);
  row.alpha = AttrRef("ALPHA_" + output);
  row.beta = AttrRef("BETA_" + output);
  const std::size_t n = plan.inputs.size();
  row.indep.assign(n, 0);
  row.gamma.resize(n);
  const auto indep = m_indepVars.find(output);
  row.indepKnown = indep != m_indepVars.end();
  if (row.indepKnown) {
    for (std::size_t k = 0; k < n; ++k) {
      const std::string& input = plan.inputs[k]->first;
      if (indep->second.count(input) == 0) continue;
      row.indep[k] = 1;
      row.indepAt.push_back(k);
      row.gamma[k] = AttrRef("GAMMA_" + output + "_" + input);
    }
  }
  return row;
}

AdjustmentPlan& robase::adjustmentPlan() const {
  if (!m_adjustment) m_adjustment = std::make_unique<AdjustmentPlan>();
  AdjustmentPlan& plan = *m_adjustment;
  if (plan.eqnStamp != m_adjEqns.stamp() || plan.inputStamp != m_inputVars.stamp() ||
      plan.indepStamp != m_indepVars.stamp()) {
    plan.inputs.clear();
    for (const auto& entry : m_inputVars) plan.inputs.push_back(&entry);
    plan.rows.clear();
    for (const auto& entry : m_adjEqns) {
      plan.rows.push_back(adjustmentRow(plan, outputOf(entry.first)));
      plan.rows.back().eqn = &entry;
    }
    plan.eqnStamp = m_adjEqns.stamp();
    plan.inputStamp = m_inputVars.stamp();
    plan.indepStamp = m_indepVars.stamp();
  }
  return plan;
}

double robase::adjValue(const AdjustmentPlan& plan, const AdjustmentRow& row, const OneBased<double>& x) const {
  const double alpha = row.alpha.value(m_attributes);
  const double beta = row.beta.value(m_attributes);
  const double prediction = row.out.get(m_nnOutputVars)->value;
  double value = alpha * prediction + beta;
  if (!row.indepKnown) throwMissingKey();
  for (const std::size_t k : row.indepAt)
    value += currentValue(x, *plan.inputs[k]->second) * row.gamma[k].value(m_attributes);
  return value;
}

double robase::adjResidual(const AdjustmentPlan& plan, const AdjustmentRow& row, const OneBased<double>& x) const {
  const ROMVar* var = row.out.get(m_nnOutputVars);
  const double y = currentValue(x, *var);
  return y - adjValue(plan, row, x);
}

double robase::adjDerivative(const AdjustmentPlan& plan, AdjustmentRow& row, std::size_t k) const {
  if (k >= plan.inputs.size()) return 1.0;  // the output
  if (plan.inputs[k]->first == row.output) return 1.0;
  const double alpha = row.alpha.value(m_attributes);
  const ROMVar* out = row.out.get(m_nnOutputVars);
  if (row.derivStamp != out->derivs.stamp()) {
    row.derivs.assign(plan.inputs.size(), nullptr);
    for (std::size_t i = 0; i < plan.inputs.size(); ++i) {
      const auto it = out->derivs.find(plan.inputs[i]->first);
      if (it != out->derivs.end()) row.derivs[i] = &it->second;
    }
    row.derivStamp = out->derivs.stamp();
  }
  if (!row.derivs[k]) throwMissingKey();
  double d = -alpha * *row.derivs[k];
  // GAMMA enters the residual only for y's independent variables; the
  // derivative follows the residual.
  if (!row.indepKnown) throwMissingKey();
  if (row.indep[k]) d -= row.gamma[k].value(m_attributes);
  return d;
}

// ---- One row by name ------------------------------------------------------------------

AdjustmentRow* robase::keptAdjustmentRow(AdjustmentPlan& plan, std::string_view output) const {
  // The rows stand in the order of their names "Y_" + output, which is the
  // order of the outputs.
  const auto it = std::lower_bound(plan.rows.begin(), plan.rows.end(), output,
                                   [](const AdjustmentRow& row, std::string_view name) { return row.output < name; });
  return it != plan.rows.end() && it->output == output ? &*it : nullptr;
}

double robase::computeAdjValue(std::string output, long long& /*status*/) const {
  AdjustmentPlan& plan = adjustmentPlan();
  if (const AdjustmentRow* kept = keptAdjustmentRow(plan, output)) return adjValue(plan, *kept, valueView());
  return adjValue(plan, adjustmentRow(plan, output), valueView());
}

double robase::computeAdjEqnResidual(std::string eqnName, long long& /*status*/) const {
  AdjustmentPlan& plan = adjustmentPlan();
  const std::string_view output = eqnName.size() >= 2 ? std::string_view(eqnName).substr(2) : std::string_view();
  if (const AdjustmentRow* kept = keptAdjustmentRow(plan, output)) return adjResidual(plan, *kept, valueView());
  return adjResidual(plan, adjustmentRow(plan, outputOf(eqnName)), valueView());
}

double robase::computeAdjEqnDerivative(std::string eqnName, std::string varName, long long& /*status*/) const {
  const std::string output = outputOf(eqnName);
  if (varName == output) return 1.0;
  AdjustmentPlan& plan = adjustmentPlan();
  const auto it = std::lower_bound(plan.inputs.begin(), plan.inputs.end(), varName,
                                   [](const ROMVarMap::value_type* e, const std::string& n) { return e->first < n; });
  if (it == plan.inputs.end() || (*it)->first != varName) return 0.0;
  const auto k = static_cast<std::size_t>(it - plan.inputs.begin());
  if (AdjustmentRow* kept = keptAdjustmentRow(plan, output)) return adjDerivative(plan, *kept, k);
  AdjustmentRow row = adjustmentRow(plan, output);
  return adjDerivative(plan, row, k);
}

// ---- The passes -------------------------------------------------------------------------

std::vector<std::string> robase::adjRowVariables(const std::string& output) const {
  std::vector<std::string> row;
  row.reserve(m_inputVars.size() + 1);
  for (const auto& input : m_inputVars) row.push_back(input.first);
  row.push_back(output);
  return row;
}

void robase::res_NNAdjustment(long long& status) const {
  const OneBased<double> r = residualView();
  if (!r.valid()) {
    status = 1;
    return;
  }
  const AdjustmentPlan& plan = adjustmentPlan();
  const OneBased<double> x = valueView();
  for (const AdjustmentRow& row : plan.rows) {
    const double value = adjResidual(plan, row, x);
    r.at(eqnNumber(*row.eqn->second)) = value;
    if (!std::isfinite(value)) status = 1;
  }
}

void robase::pat_NNAdjustment(rt_jac_t* jac, long long& status) {
  if (!jac) {
    status = 1;
    return;
  }
  for (const auto& entry : m_adjEqns) {
    ROMEqn& eqn = *entry.second;
    const int row = eqnNumber(eqn);
    eqn.firstNz = m_nzCounter + 1;
    const std::string output = outputOf(entry.first);
    for (const std::string& name : adjRowVariables(output)) {
      const ROMVar* var = name == output ? at_or_throw(m_nnOutputVars, name) : at_or_throw(m_inputVars, name);
      ++m_nzCounter;
      if (!registerNonZero(jac, nzNumber(m_nzCounter), row, varNumber(*var))) status = 1;
    }
  }
  m_lastNz = nzNumber(m_nzCounter);
}

void robase::jac_NNAdjustment(long long& status) const {
  const OneBased<double> bj = jacobianView();
  // Before a pattern pass the rows have no non-zeros of their own: nothing is
  // written (the positions would belong to another block).
  const bool patterned =
      std::all_of(m_adjEqns.begin(), m_adjEqns.end(), [](const auto& entry) { return entry.second->firstNz > 0; });
  if (!bj.valid() || !patterned) {
    status = 1;
    return;
  }
  AdjustmentPlan& plan = adjustmentPlan();
  for (AdjustmentRow& row : plan.rows) {
    int nz = nzNumber(row.eqn->second->firstNz);
    for (std::size_t k = 0; k <= plan.inputs.size(); ++k) {
      const double value = adjDerivative(plan, row, k);
      bj.at(nz++) = value;
      if (!std::isfinite(value)) status = 1;
    }
  }
}

std::string robase::strmName_SulPPM(const std::string& eqnName) const {
  // "EQN_" + stream + "SULPPM"
  if (eqnName.size() < 10) return {};
  return eqnName.substr(4, eqnName.size() - 10);
}

const robase::SulPpmRefs& robase::sulPpmRefs(const ROMEqn& eqn) const {
  for (const SulPpmRefs& refs : m_sulPpm)
    if (refs.eqn == &eqn && refs.eqnName == eqn.name) return refs;
  const std::string stream = strmName_SulPPM(eqn.name);
  return m_sulPpm.emplace_back(SulPpmRefs{&eqn, eqn.name, EntryRef<ROMVarMap>(stream + "SUL"),
                                          EntryRef<ROMVarMap>(stream + "SULPPM")});
}

void robase::res_SulPPM(ROMEqn* eqn, long long& status) const {
  const OneBased<double> r = residualView();
  if (!eqn || !r.valid()) {
    status = 1;
    return;
  }
  const SulPpmRefs& refs = sulPpmRefs(*eqn);
  const OneBased<double> x = valueView();
  const double sul = currentValue(x, *refs.sul.get(m_calcVars));
  const double ppm = currentValue(x, *refs.ppm.get(m_calcVars));
  const double value = sul - kPpmToFraction * ppm;
  r.at(eqnNumber(*eqn)) = value;
  if (!std::isfinite(value)) status = 1;
}

void robase::pat_SulPPM(ROMEqn* eqn, rt_jac_t* jac, long long& status) {
  if (!eqn || !jac) {
    status = 1;
    return;
  }
  const std::string stream = strmName_SulPPM(eqn->name);
  const ROMVar* cols[] = {at_or_throw(m_calcVars, stream + "SUL"), at_or_throw(m_calcVars, stream + "SULPPM")};
  const int row = eqnNumber(*eqn);
  eqn->firstNz = m_nzCounter + 1;
  for (const ROMVar* var : cols) {
    ++m_nzCounter;
    if (!registerNonZero(jac, nzNumber(m_nzCounter), row, varNumber(*var))) status = 1;
  }
}

void robase::jac_SulPPM(ROMEqn* eqn, long long& status) const {
  const OneBased<double> bj = jacobianView();
  if (!eqn || !bj.valid() || eqn->firstNz <= 0) {
    status = 1;
    return;
  }
  const int nz = nzNumber(eqn->firstNz);
  bj.at(nz) = 1.0;
  bj.at(nz + 1) = -kPpmToFraction;
}

int robase::res_ExpMinClip(double x, double cutoff, double* result) {
  if (!result) return 1;
  const double c = std::max(kMinCutoff, cutoff);
  // Continuous with slope 1 at x = c; below it positive and falling towards 0.
  *result = x > c ? x : std::exp(x / c) * (c / kE);
  return 0;
}

int robase::jac_ExpMinClip(double x, double cutoff, double* dx, double* dcutoff) {
  const double c = std::max(kMinCutoff, cutoff);
  if (x > c) {
    if (dx) *dx = 1.0;
    if (dcutoff) *dcutoff = 0.0;
    return 0;
  }
  const double t = (1.0 / c) * x;
  if (dx) *dx = std::exp(t) * kInvE;
  // Below 1e-20 the cut-off is replaced by the constant 1e-20.
  if (dcutoff) *dcutoff = cutoff >= kMinCutoff ? std::exp(t - 1.0) * (1.0 - t) : 0.0;
  return 0;
}
