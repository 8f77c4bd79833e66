// The host's statuses: one enum for every outcome a step of romhost can have,
// a readable name for each, and the exit code the program ends with.
#pragma once

#include <string>
#include <string_view>

#include "platform/text.h"

namespace romhost {

enum class HostStatus {
  kOk,                 // a step succeeded
  kConverged,          // Newton met the tolerance
  kNotConverged,       // iteration limit reached
  kLineSearchStalled,  // no step length reduced the residual norm
  kSingularJacobian,   // the factorisation failed or gave a non-finite step
  kNotSquare,          // free variables and equations differ in number
  kHookFailed,         // a hook returned a non-zero status or threw
  kNonFinite,          // a hook wrote a non-finite residual or Jacobian value
  kSetupFailed,        // the block's set-up broke a rule of the framework
  kUsageError,         // bad command line
  kInputError,         // bad case file, unknown variable or attribute, unreadable file
  kPluginError,        // the plug-in could not be loaded or answered wrongly
  kCreationFailed,     // the factory made no block
  kInternalError,      // an exception the host did not expect ended the program
};

// "ok", "converged", "singular Jacobian", ...
const char* hostStatusName(HostStatus s);

// 0 converged (or ok), 1 not converged (any solve or block failure), 2 usage or
// input error, 3 block creation failed, 4 internal error (never 1, which a
// caller reads as a solve that did not converge).
int hostExitCode(HostStatus s);

// Texts of the input as messages show them (control bytes and bytes that are
// not UTF-8 as \xNN), the same way the framework's echo and romnet do.
using pelmo_text::printable;

// The outcome of one step: its status and a message for the user (empty when ok).
struct StepResult {
  HostStatus status = HostStatus::kOk;
  std::string message;

  bool ok() const { return status == HostStatus::kOk || status == HostStatus::kConverged; }
  static StepResult success() { return {}; }
  static StepResult failure(HostStatus s, std::string text) { return {s, std::move(text)}; }
};

}  // namespace romhost
