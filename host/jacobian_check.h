// Derivative check: central differences of user_res against user_jac for every
// registered non-zero, fixed columns included, and a search for sensitivities
// the pattern does not register. The error of an entry is Ipopt's measure
// |J - FD| / max(1, |FD|).
#pragma once

#include <string>
#include <vector>

#include "host/block_system.h"
#include "host/host_status.h"

namespace romhost {

struct CheckSettings {
  double threshold = 1e-5;       // entries above it fail the check
  double relativeStep = 6.0e-6;  // step = relativeStep * max(1, |x|): about the cube root of
                                 // the machine epsilon, the best step of a central difference
  int worstCount = 10;
};

struct CheckEntry {
  std::string equation;
  std::string variable;
  double analytic = 0.0;  // 0 for an entry the pattern does not register
  double fd = 0.0;
  double relError = 0.0;
  bool fixedColumn = false;
};

struct CheckResult {
  HostStatus status = HostStatus::kOk;  // a hook failure stops the check
  std::string message;
  double maxRelError = 0.0;        // over the registered entries
  int checked = 0;                 // registered (equation, variable) pairs compared
  std::vector<CheckEntry> worst;   // largest errors first, at most worstCount
  std::vector<CheckEntry> unregistered;  // FD sensitivities without a registered non-zero
  double threshold = 0.0;

  bool passed() const {
    return status == HostStatus::kOk && maxRelError <= threshold && unregistered.empty();
  }
};

// Checks at the block's current point and leaves the value vector as it found
// it (the block is evaluated there once more at the end). Call system.scan() first.
CheckResult checkJacobian(BlockSystem& system, const CheckSettings& settings = {});

}  // namespace romhost
