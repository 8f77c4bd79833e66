#include "host/block_session.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/crt.h"
#include "platform/diveduded/DIVeduded.h"

namespace romhost {

namespace {

std::string joinProblems(const std::string& head, const std::vector<std::string>& problems) {
  std::string text = head;
  for (const std::string& p : problems) text += "\n  " + p;
  return text;
}

}  // namespace

// ---- AttributeValue -------------------------------------------------------

void AttributeValue::toValue(value_t& v) const {
  switch (kind) {
    case kReal: value_assign_double(&v, real, 0, 1); break;
    case kInteger: value_assign_integer(&v, integer); break;
    case kLogical: value_assign_logical(&v, logical ? 1 : 0); break;
    case kText: value_assign_string(&v, _strdup(text.c_str())); break;
  }
}

std::string AttributeValue::display() const {
  switch (kind) {
    case kReal: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.17g", real);
      return buf;
    }
    case kInteger: return std::to_string(integer);
    case kLogical: return logical ? "true" : "false";
    case kText: return "\"" + text + "\"";
  }
  return {};
}

AttributeValue AttributeValue::parse(const std::string& text) {
  AttributeValue a;
  if (text == "true" || text == "false") {
    a.kind = kLogical;
    a.logical = text == "true";
    return a;
  }
  if (!text.empty()) {
    const char* s = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long long i = std::strtoll(s, &end, 10);
    if (*end == '\0' && errno == 0) {
      a.kind = kInteger;
      a.integer = i;
      return a;
    }
    const double d = std::strtod(s, &end);
    // ERANGE with a finite result is an underflow: a subnormal number is still that number.
    if (*end == '\0' && std::isfinite(d)) {
      a.kind = kReal;
      a.real = d;
      return a;
    }
  }
  a.kind = kText;
  a.text = text;
  return a;
}

// ---- BlockSession ---------------------------------------------------------

BlockSession::BlockSession(QivEOBlock* block, Placement placement)
    : block_(block), impl_(dynamic_cast<QivEOBlockImpl*>(block)), placement_(placement) {
  std::string error;
  if (block_) {
    const char* n = nullptr;
    if (callGuarded([&] { n = block_->name(); }, error) && n) name_ = n;
  }
}

BlockSession::~BlockSession() {
  // The block goes first: it frees its ports with the framework base, and the
  // lists it may still point to are freed after it.
  system_.reset();
  if (block_) {
    std::string error;
    callGuarded([this] { block_->Destroy(); }, error);
  }
}

StepResult BlockSession::setUp(const SetUpPlan& plan) {
  StepResult r = dimension();
  if (r.ok() && plan.load) r = load(*plan.load);
  if (r.ok()) r = initialize();
  for (const std::string& name : plan.fix) {
    if (!r.ok()) break;
    r = setSpec(name, true);
  }
  for (const std::string& name : plan.free) {
    if (!r.ok()) break;
    r = setSpec(name, false);
  }
  for (const auto& [name, value] : plan.values) {
    if (!r.ok()) break;
    r = setValue(name, value);
  }
  for (const auto& [name, value] : plan.attributes) {
    if (!r.ok()) break;
    r = assignAttribute(name, value);
  }
  if (r.ok()) r = pattern();
  if (r.ok()) r = start();
  if (r.ok()) keepGivenValues(plan.values);
  return r;
}

void BlockSession::keepGivenValues(const std::vector<std::pair<std::string, double>>& values) {
  // init may write defaults over inputs the user gave; the given values win
  // wherever the variable is still fixed. Free variables keep init's start.
  for (const auto& [ownName, value] : values) {
    const std::string full = name_ + "." + ownName;
    const int num = rtovarlst_find(vars_.get(), full.c_str());
    if (num != 0 && ranges_.hasVar(num) && rtovarlst_is_fixed(vars_.get(), num))
      rtovarlst_set_var_value(vars_.get(), num, value);
  }
}

StepResult BlockSession::dimension() {
  if (!impl_)
    return StepResult::failure(HostStatus::kCreationFailed,
                               "The block is not a framework block (no QivEOBlockImpl)");
  int nv = 0, ne = 0, nnz = 0;
  const HookOutcome h = callHook([&](long long& st) { impl_->user_dim(nv, ne, nnz, st); });
  if (!h.ok()) return StepResult::failure(HostStatus::kSetupFailed, h.describe("user_dim"));
  for (const int n : {nv, ne, nnz}) {
    if (n < 0 || n > kMaxBlockSize)
      return StepResult::failure(HostStatus::kSetupFailed,
                                 "user_dim asked for " + std::to_string(nv) + " variables, " + std::to_string(ne) +
                                     " equations and " + std::to_string(nnz) + " non-zeros; each must lie in 0.." +
                                     std::to_string(kMaxBlockSize));
  }
  const Placement& p = placement_;
  if (p.firstVar < 1 || p.firstEqn < 1 || p.firstNz < 1 || p.margin < 0 || p.firstVar > kMaxBlockSize ||
      p.firstEqn > kMaxBlockSize || p.firstNz > kMaxBlockSize || p.margin > kMaxBlockSize)
    return StepResult::failure(HostStatus::kUsageError, "Invalid placement of the block in the lists");

  ranges_ = BlockRanges{p.firstVar, nv, p.firstEqn, ne, p.firstNz, nnz};
  vars_.reset(rtovarlst_create(p.firstVar - 1 + nv + p.margin));
  eqns_.reset(rtoeqnlst_create(p.firstEqn - 1 + ne + p.margin));
  jac_.reset(rtojac_create(p.firstNz - 1 + nnz + p.margin));
  if (!vars_ || !eqns_ || !jac_)
    return StepResult::failure(HostStatus::kSetupFailed, "The framework lists could not be allocated");

  std::string error;
  if (!callGuarded(
          [&] {
            impl_->setPositions(p.firstVar, p.firstEqn, p.firstNz);
            impl_->attachMatrix(vars_.get(), eqns_.get(), jac_.get());
          },
          error))
    return StepResult::failure(HostStatus::kSetupFailed, "Placing the block failed: " + error);
  system_ = std::make_unique<BlockSystem>(*impl_, vars_.get(), eqns_.get(), jac_.get(), ranges_);
  return StepResult::success();
}

StepResult BlockSession::load(IStorage& storage) {
  long status = 0;
  std::string error;
  if (!callGuarded([&] { status = impl_->load(&storage); }, error))
    return StepResult::failure(HostStatus::kInputError, "Loading the stored block threw: " + error);
  if (status != 0)
    return StepResult::failure(HostStatus::kInputError,
                               "Loading the stored block failed with status " + std::to_string(status));
  return StepResult::success();
}

StepResult BlockSession::initialize() {
  const HookOutcome h = callHook([this](long long& st) { impl_->user_ini(st); });
  if (!h.ok()) return StepResult::failure(HostStatus::kSetupFailed, h.describe("user_ini"));
  const std::vector<std::string> problems = system_->scan();
  if (!problems.empty())
    return StepResult::failure(HostStatus::kSetupFailed,
                               joinProblems("user_ini registered objects the framework refuses:", problems));
  int created = 0, createdEqns = 0;
  std::string error;
  callGuarded(
      [&] {
        created = impl_->nvarsCreated();
        createdEqns = impl_->neqnsCreated();
      },
      error);
  if (created != static_cast<int>(system_->variables().size()))
    warnings_.push_back("the block counts " + std::to_string(created) + " created variables but registered " +
                        std::to_string(system_->variables().size()));
  if (createdEqns != static_cast<int>(system_->equations().size()))
    warnings_.push_back("the block counts " + std::to_string(createdEqns) + " created equations but registered " +
                        std::to_string(system_->equations().size()));
  return StepResult::success();
}

StepResult BlockSession::setValue(const std::string& ownName, double value) {
  if (ownName.empty() || ownName.size() > kMaxNameLength)
    return StepResult::failure(HostStatus::kInputError,
                               "Variable names must have 1 to 99 bytes: \"" + printable(ownName) + "\"");
  if (!std::isfinite(value))
    return StepResult::failure(HostStatus::kInputError,
                               "The value of " + printable(ownName) + " is not a finite number");
  const std::string full = name_ + "." + ownName;
  const int num = rtovarlst_find(vars_.get(), full.c_str());
  if (num == 0 || !ranges_.hasVar(num))
    return StepResult::failure(HostStatus::kInputError,
                               "Unknown variable " + printable(ownName) + " (" + printable(full) + ")");
  if (!rtovarlst_is_fixed(vars_.get(), num))
    return StepResult::failure(HostStatus::kInputError,
                               "Variable " + printable(ownName) +
                                   " is computed (CALC); only fixed variables take values");
  rtovarlst_set_var_value(vars_.get(), num, value);
  return StepResult::success();
}

StepResult BlockSession::setSpec(const std::string& ownName, bool fixed) {
  if (ownName.empty() || ownName.size() > kMaxNameLength)
    return StepResult::failure(HostStatus::kInputError,
                               "Variable names must have 1 to 99 bytes: \"" + printable(ownName) + "\"");
  const std::string full = name_ + "." + ownName;
  const int num = rtovarlst_find(vars_.get(), full.c_str());
  if (num == 0 || !ranges_.hasVar(num))
    return StepResult::failure(HostStatus::kInputError,
                               "Unknown variable " + printable(ownName) + " (" + printable(full) + ")");
  if ((fixed ? rtovarlst_fix_var(vars_.get(), num) : rtovarlst_free_var(vars_.get(), num)) != 0)
    return StepResult::failure(HostStatus::kInputError,
                               std::string("The framework refused to ") + (fixed ? "fix " : "free ") +
                                   printable(ownName));
  return StepResult::success();
}

StepResult BlockSession::assignAttribute(const std::string& name, const AttributeValue& value) {
  if (name.empty() || name.size() > kMaxNameLength)
    return StepResult::failure(HostStatus::kInputError,
                               "Attribute names must have 1 to 99 bytes: \"" + printable(name) + "\"");
  value_t v;
  value.toValue(v);
  bool accepted = false;
  std::string error;
  const bool returned = callGuarded([&] { accepted = impl_->attr_assign_value(name.c_str(), v); }, error);
  value_clear(&v);
  if (!returned)
    return StepResult::failure(HostStatus::kHookFailed, "Assigning attribute " + printable(name) + " threw: " + error);
  if (!accepted)
    return StepResult::failure(HostStatus::kInputError,
                               "The block did not accept attribute " + printable(name) + " = " +
                                   printable(value.display()));
  return StepResult::success();
}

StepResult BlockSession::pattern() {
  rtojac_reset_pattern(jac_.get());
  const HookOutcome h = callHook([this](long long& st) { impl_->user_pat(jac_.get(), st); });
  if (!h.ok()) return StepResult::failure(HostStatus::kSetupFailed, h.describe("user_pat"));
  const std::vector<std::string> problems = system_->scan();
  if (!problems.empty())
    return StepResult::failure(HostStatus::kSetupFailed,
                               joinProblems("user_pat registered a pattern the framework refuses:", problems));
  return StepResult::success();
}

StepResult BlockSession::start() {
  // A network the block cannot open or run is an input error (a missing or
  // broken file), not a failure of the block: the runner names the first. The
  // blocks print nothing of their own for it, so this is the only line.
  const long long failedRuns = DIVeduded::failureCount();
  const HookOutcome h = callHook([this](long long& st) { block_->init(st); });
  if (!h.ok()) {
    DIVeduded::Failure run;
    if (DIVeduded::failureAfter(failedRuns, run)) {
      // The path the runner read; a folder and file that made no path are
      // shown as the block gave them.
      std::string text = "init could not run a network: network file " +
                         (run.path.empty() ? run.file + " in folder " + run.folder : run.path) +
                         " failed with status " + std::to_string(run.status) + " (" +
                         DIVedudedStatusName(run.status) + ")";
      if (!run.reason.empty()) text += ": " + run.reason;
      return StepResult::failure(HostStatus::kInputError, std::move(text));
    }
    return StepResult::failure(HostStatus::kHookFailed, h.describe("init"));
  }
  // Newton cannot start from a non-finite point; name the variable.
  for (const int v : system_->variables()) {
    if (!std::isfinite(system_->value(v)))
      return StepResult::failure(HostStatus::kNonFinite,
                                 std::string("init left a non-finite value in ") + system_->variableName(v));
  }
  return StepResult::success();
}

StepResult BlockSession::save(IStorage& storage) {
  long status = 0;
  std::string error;
  if (!callGuarded([&] { status = impl_->save(&storage); }, error))
    return StepResult::failure(HostStatus::kHookFailed, "Saving the block threw: " + error);
  if (status != 0)
    return StepResult::failure(HostStatus::kHookFailed, "Saving the block failed with status " + std::to_string(status));
  return StepResult::success();
}

}  // namespace romhost
