#include "host/host_status.h"

namespace romhost {

const char* hostStatusName(HostStatus s) {
  switch (s) {
    case HostStatus::kOk: return "ok";
    case HostStatus::kConverged: return "converged";
    case HostStatus::kNotConverged: return "not converged";
    case HostStatus::kLineSearchStalled: return "line search stalled";
    case HostStatus::kSingularJacobian: return "singular Jacobian";
    case HostStatus::kNotSquare: return "not square";
    case HostStatus::kHookFailed: return "hook failed";
    case HostStatus::kNonFinite: return "non-finite value";
    case HostStatus::kSetupFailed: return "set-up failed";
    case HostStatus::kUsageError: return "usage error";
    case HostStatus::kInputError: return "input error";
    case HostStatus::kPluginError: return "plug-in error";
    case HostStatus::kCreationFailed: return "block creation failed";
    case HostStatus::kInternalError: return "internal error";
  }
  return "unknown status";
}

int hostExitCode(HostStatus s) {
  switch (s) {
    case HostStatus::kOk:
    case HostStatus::kConverged:
      return 0;
    case HostStatus::kUsageError:
    case HostStatus::kInputError:
    case HostStatus::kPluginError:
      return 2;
    case HostStatus::kCreationFailed:
      return 3;
    case HostStatus::kInternalError:
      return 4;
    default:
      return 1;
  }
}

}  // namespace romhost
