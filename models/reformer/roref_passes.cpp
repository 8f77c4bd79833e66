// roref: the hooks' walks over a slate's fixed orders, and the mass and
// hydrogen balances over the slate's entries.
#include <cmath>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "models/reformer/roref.h"

using reformer::Step;
using reformer::VarMap;
using reformer::VarRef;

namespace {

// A step whose equation exists only under an NA basis, on a block without it.
bool skipped(const roref& block, const Step& step) {
  return step.kind == Step::Equation && reformer::isNaBasisEquation(step.eq) && !block.equationRecord(step.eq);
}

}  // namespace

const roref::EquationOps& roref::operationsOf(reformer::Eq eq) {
#define ROREF_OPS_ENTRY(name) EquationOps{&roref::res_##name, &roref::pat_##name, &roref::jac_##name},
  static const std::array<EquationOps, reformer::kEqCount> ops = {{ROREF_EQUATIONS(ROREF_OPS_ENTRY)}};
#undef ROREF_OPS_ENTRY
  return ops.at(static_cast<std::size_t>(eq));
}

void roref::runEvaluation(bool jacobian, long long& status, const BalanceStep& balance) const {
  status = 0;
  guardHook(status, [&] {
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;  // the runner's status; nothing is written
      return;
    }
    if (jacobian && !m_patternDone) {
      status = 1;  // the positions of the non-zeros are not known yet
      return;
    }
    const std::vector<Step>& order = jacobian ? slate().jacOrder : slate().resOrder;
    bool failed = false;
    for (const Step& step : order) {
      if (skipped(*this, step)) continue;
      long long st = 0;
      try {
        switch (step.kind) {
          case Step::Adjustment: jacobian ? jac_NNAdjustment(st) : res_NNAdjustment(st); break;
          case Step::MassBal:
          case Step::HydrogenBal: balance(step.kind, st); break;
          case Step::Equation: {
            const EquationOps& ops = operationsOf(step.eq);
            jacobian ? (this->*ops.jac)(st) : (this->*ops.res)(st);
            break;
          }
        }
      } catch (...) {
        st = 1;  // the later steps still write their rows
      }
      if (st != 0) failed = true;
    }
    status = failed ? 1 : 0;
  });
}

void roref::runPattern(rt_jac_t* jac, long long& status, const BalanceStep& balance) {
  status = 0;
  m_nzCounter = 0;
  m_patternDone = false;
  guardHook(status, [&] {
    if (!jac) {
      status = 1;
      return;
    }
    for (const Step& step : slate().patOrder) {
      if (skipped(*this, step)) continue;
      long long st = 0;
      switch (step.kind) {
        case Step::Adjustment: pat_NNAdjustment(jac, st); break;
        case Step::MassBal:
        case Step::HydrogenBal: balance(step.kind, st); break;
        case Step::Equation: (this->*operationsOf(step.eq).pat)(jac, st); break;
      }
      if (st != 0) {
        status = st;  // the later equations declare nothing
        return;
      }
    }
    m_patternDone = true;
  });
}

// ---- Balance rows --------------------------------------------------------------------

void roref::writeRowResidual(const ROMEqn* eqn, double value, long long& status) const {
  const OneBased<double> res = residualView();
  if (!eqn || !res.valid()) {
    status = 1;
    return;
  }
  res.at(eqnNumber(*eqn)) = value;
  if (!std::isfinite(value)) status = 1;
}

void roref::patternOfEntries(ROMEqn* eqn, const std::vector<VarRef>& entries, rt_jac_t* jac, long long& status) {
  std::vector<const ROMVar*> vars;
  vars.reserve(entries.size());
  for (const VarRef& ref : entries) vars.push_back(tableLookup(ref));
  if (!eqn || !jac) {
    status = 1;
    return;
  }
  eqn->firstNz = m_nzCounter + 1;
  const int row = eqnNumber(*eqn);
  for (const ROMVar* var : vars) {
    ++m_nzCounter;
    const int nz = nzNumber(m_nzCounter);
    if (!registerNonZero(jac, nz, row, varNumber(*var))) status = 1;
  }
  m_lastNz = nzNumber(m_nzCounter);
}

void roref::jacobianOfEntries(const ROMEqn* eqn, const std::vector<VarRef>& entries,
                              const std::function<double(const std::string&, long long&)>& slope,
                              long long& status) const {
  const OneBased<double> bj = jacobianView();
  if (!eqn || eqn->firstNz <= 0 || !bj.valid()) {
    status = 1;
    return;
  }
  int nz = nzNumber(eqn->firstNz);
  for (const VarRef& ref : entries) {
    long long st = 0;
    const double value = slope(ref.name, st);
    if (!bj.contains(nz)) {
      status = 1;
    } else {
      bj[nz] = value;
    }
    ++nz;
    if (st != 0 || !std::isfinite(value)) status = 1;
  }
}

double roref::massBalanceOf(long long& status) const {
  status = 0;
  const std::vector<VarRef>& entries = slate().massBalance;
  double r = valueOf(entries.front());  // the feed
  for (std::size_t k = 1; k < entries.size(); ++k) r -= valueOf(entries[k]);
  return r;
}

double roref::massBalanceSlopeOf(const std::string& name, long long& status) const {
  status = 0;
  const std::vector<VarRef>& entries = slate().massBalance;
  if (name == entries.front().name) return 1.0;
  for (std::size_t k = 1; k < entries.size(); ++k)
    if (name == entries[k].name) return -1.0;
  status = 1;
  return 0.0;
}

namespace {

// The hydrogen-balance correction: FEEDMASS times (bias + slope terms).
struct CorrectionTerm {
  const char* attr;
  const char* var;  // null for the bias
};
constexpr CorrectionTerm kCorrection[] = {{"HYDBALBIAS", nullptr},
                                          {"HYDBALSLOPETARGETRON", "TARGETRON"},
                                          {"HYDBALSLOPENAPH", "FEEDNAPH"},
                                          {"HYDBALSLOPEAROM", "FEEDAROM"}};
constexpr std::size_t kCorrectionVariables = 4;  // FEEDMASS, TARGETRON, FEEDNAPH, FEEDAROM

}  // namespace

double roref::hydrogenBalanceOf(long long& status) const {
  status = 0;
  const std::vector<VarRef>& entries = slate().hydrogenBalance;
  const std::size_t masses = entries.size() - kCorrectionVariables;
  double r = valueOf(entries.front());  // the feed hydrogen
  for (std::size_t k = 1; k < masses; ++k) r -= valueOf(entries[k]);
  const double feed = valueOf({VarMap::Input, "FEEDMASS"});
  for (const CorrectionTerm& t : kCorrection) {
    const double coef = feed * attributeValue(t.attr);
    r -= t.var ? coef * valueOf({VarMap::Input, t.var}) : coef;
  }
  return r;
}

double roref::hydrogenBalanceSlopeOf(const std::string& name, long long& status) const {
  status = 0;
  const std::vector<VarRef>& entries = slate().hydrogenBalance;
  const std::size_t masses = entries.size() - kCorrectionVariables;
  if (name == entries.front().name) return 1.0;
  for (std::size_t k = 1; k < masses; ++k)
    if (name == entries[k].name) return -1.0;
  if (name == "FEEDMASS") {
    double d = 0.0;
    for (const CorrectionTerm& t : kCorrection)
      d -= t.var ? valueOf({VarMap::Input, t.var}) * attributeValue(t.attr) : attributeValue(t.attr);
    return d;
  }
  for (const CorrectionTerm& t : kCorrection)
    if (t.var && name == t.var) return -(valueOf({VarMap::Input, "FEEDMASS"}) * attributeValue(t.attr));
  status = 1;
  return 0.0;
}
