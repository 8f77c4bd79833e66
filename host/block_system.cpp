#include "host/block_system.h"

#include <algorithm>
#include <cmath>

#include "host/numbered.h"

namespace romhost {

namespace {

// Registrations beyond this many are summarised, so a block that registers
// everything in the wrong place does not flood the report.
constexpr std::size_t kMaxProblemLines = 20;

void addProblem(std::vector<std::string>& problems, std::size_t& dropped, std::string text) {
  if (problems.size() < kMaxProblemLines) {
    problems.push_back(std::move(text));
  } else {
    ++dropped;
  }
}

}  // namespace

BlockSystem::BlockSystem(QivEOBlockImpl& block, rtvarlst_t* vars, rtattrdict_t* eqns, rt_jac_t* jac,
                         BlockRanges ranges)
    : block_(block), vars_(vars), eqns_(eqns), jac_(jac), ranges_(ranges) {}

std::vector<std::string> BlockSystem::scan() {
  std::vector<std::string> problems;
  std::size_t dropped = 0;
  variables_.clear();
  unknowns_.clear();
  equations_.clear();
  nonZeros_.clear();

  const int varCap = rtovarlst_capacity(vars_);
  unknownIndex_.assign(static_cast<std::size_t>(varCap) + 1, -1);
  for (int n = 1; n <= varCap; ++n) {
    if (!rtovarlst_is_registered(vars_, n)) continue;
    if (!ranges_.hasVar(n)) {
      addProblem(problems, dropped,
                 "variable " + std::to_string(n) + " (" + rtovarlst_name(vars_, n) +
                     ") is registered outside the block's range " + std::to_string(ranges_.firstVar) + ".." +
                     std::to_string(ranges_.lastVar()));
      continue;
    }
    variables_.push_back(n);
    if (!rtovarlst_is_fixed(vars_, n)) {
      unknownIndex_[n] = static_cast<int>(unknowns_.size());
      unknowns_.push_back(n);
    }
  }

  const int eqnCap = rtoeqnlst_capacity(eqns_);
  eqnIndex_.assign(static_cast<std::size_t>(eqnCap) + 1, -1);
  for (int n = 1; n <= eqnCap; ++n) {
    if (!rtoeqnlst_is_registered(eqns_, n)) continue;
    if (!ranges_.hasEqn(n)) {
      addProblem(problems, dropped,
                 "equation " + std::to_string(n) + " (" + rtoeqnlst_name(eqns_, n) +
                     ") is registered outside the block's range " + std::to_string(ranges_.firstEqn) + ".." +
                     std::to_string(ranges_.lastEqn()));
      continue;
    }
    eqnIndex_[n] = static_cast<int>(equations_.size());
    equations_.push_back(n);
  }

  // The extent is the highest non-zero registered: a block's last-non-zero
  // field is not kept up to date by every pattern pass.
  nzExtent_ = rtojac_max_nz_registered(jac_);
  nonZeros_.reserve(static_cast<std::size_t>(std::max(nzExtent_, 0)));
  for (int nz = 1; nz <= nzExtent_; ++nz) {
    const int row = rtojac_row(jac_, nz);
    const int col = rtojac_col(jac_, nz);
    if (row == 0 && col == 0) continue;  // a number the block skipped
    // Named only when something is wrong with it.
    const auto where = [&] {
      return "non-zero " + std::to_string(nz) + " (equation " + std::to_string(row) + ", variable " +
             std::to_string(col) + ")";
    };
    if (!ranges_.hasNz(nz)) {
      addProblem(problems, dropped,
                 where() + " lies outside the block's range " + std::to_string(ranges_.firstNz) + ".." +
                     std::to_string(ranges_.lastNz()));
      continue;
    }
    if (equationIndex(row) < 0) {
      addProblem(problems, dropped, where() + " names an equation the block did not register");
      continue;
    }
    if (col < 1 || col > varCap || !rtovarlst_is_registered(vars_, col) || !ranges_.hasVar(col)) {
      addProblem(problems, dropped, where() + " names a variable the block did not register");
      continue;
    }
    nonZeros_.push_back({nz, row, col});
  }

  if (const int e = rtovarlst_error_count(vars_); e != 0)
    addProblem(problems, dropped, "the variable list counted " + std::to_string(e) + " errors");
  if (const int e = rtoeqnlst_error_count(eqns_); e != 0)
    addProblem(problems, dropped, "the equation list counted " + std::to_string(e) + " errors");
  if (const int e = rtojac_error_count(jac_); e != 0)
    addProblem(problems, dropped, "the Jacobian counted " + std::to_string(e) + " errors");
  if (dropped > 0) problems.push_back("... and " + std::to_string(dropped) + " more");
  return problems;
}

int BlockSystem::equationIndex(int eqn) const {
  if (eqn < 1 || static_cast<std::size_t>(eqn) >= eqnIndex_.size()) return -1;
  return eqnIndex_[eqn];
}

int BlockSystem::unknownIndex(int var) const {
  if (var < 1 || static_cast<std::size_t>(var) >= unknownIndex_.size()) return -1;
  return unknownIndex_[var];
}

HookOutcome BlockSystem::residuals(std::vector<double>& r) {
  ByNumber res(rtoeqnlst_vec_residual(eqns_));
  const int last = std::min(ranges_.lastEqn(), rtoeqnlst_capacity(eqns_));
  for (int n = std::max(ranges_.firstEqn, 1); n <= last; ++n) res[n] = 0.0;

  HookOutcome out = callHook([this](long long& st) { block_.user_res(st); });
  // Read also after a failed pass: the rows it wrote show where it failed.
  r.assign(equations_.size(), 0.0);
  const bool failed = !out.ok();
  ByNumber after(rtoeqnlst_vec_residual(eqns_));  // the hook may have moved the arrays
  for (std::size_t i = 0; i < equations_.size() && after.valid(); ++i) {
    r[i] = after[equations_[i]];
    if (!failed && !std::isfinite(r[i]) && !out.nonFinite) {
      out.nonFinite = true;
      out.status = 1;
      out.detail = std::string("residual of ") + equationName(equations_[i]);
    }
  }
  return out;
}

HookOutcome BlockSystem::jacobian() {
  ByNumber bj(rtojac_vec_bj(jac_));
  const int last = std::min(nzExtent_, rtojac_capacity(jac_));
  for (int nz = std::max(ranges_.firstNz, 1); nz <= last; ++nz) bj[nz] = 0.0;

  HookOutcome out = callHook([this](long long& st) { block_.user_jac(st); });
  if (!out.ok()) return out;
  ByNumber after(rtojac_vec_bj(jac_));
  for (const NonZero& e : nonZeros_) {
    if (!std::isfinite(after[e.nz])) {
      out.nonFinite = true;
      out.status = 1;
      out.detail = "derivative of " + std::string(equationName(e.eqn)) + " by " + variableName(e.var);
      break;
    }
  }
  return out;
}

double BlockSystem::jacobianValue(int nz) const { return ByNumber(rtojac_vec_bj(jac_))[nz]; }

double BlockSystem::value(int var) const { return ByNumber(rtovarlst_vec_value(vars_))[var]; }

void BlockSystem::setValue(int var, double v) { ByNumber(rtovarlst_vec_value(vars_))[var] = v; }

std::vector<double> BlockSystem::values(const std::vector<int>& nums) const {
  ByNumber x(rtovarlst_vec_value(vars_));
  std::vector<double> out(nums.size());
  for (std::size_t i = 0; i < nums.size(); ++i) out[i] = x[nums[i]];
  return out;
}

void BlockSystem::setValues(const std::vector<int>& nums, const std::vector<double>& xs) {
  ByNumber x(rtovarlst_vec_value(vars_));
  for (std::size_t i = 0; i < nums.size() && i < xs.size(); ++i) x[nums[i]] = xs[i];
}

}  // namespace romhost
