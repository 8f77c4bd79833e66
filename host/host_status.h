// The host's statuses: one enum for every outcome a step of romhost can have,
// a readable name for each, and the exit code the program ends with.
#pragma once

#include <string>
#include <string_view>

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

// A text that comes from the input (a name, an options text, a path, a value)
// as a message shows it: control bytes (line breaks included), the C1 controls
// and bytes that are no part of valid UTF-8 appear as \xNN, so a terminal
// neither acts on them nor hides them. Every other character, a multi-byte
// UTF-8 one included, is kept whole. Applying it twice changes nothing more.
std::string printable(std::string_view text);

// The outcome of one step: its status and a message for the user (empty when ok).
struct StepResult {
  HostStatus status = HostStatus::kOk;
  std::string message;

  bool ok() const { return status == HostStatus::kOk || status == HostStatus::kConverged; }
  static StepResult success() { return {}; }
  static StepResult failure(HostStatus s, std::string text) { return {s, std::move(text)}; }
};

}  // namespace romhost
