// Newton's method on the square system of a block's free variables.
//
// Unknowns are the registered free variables of the block's range (holes
// allowed), equations the registered equations of the range. The Jacobian is
// assembled from the registered non-zeros (duplicates added, fixed columns
// skipped) and factorised with a sparse LU whose pattern analysis is kept while
// the pattern holds. Each step is damped by backtracking on the residual norm
// and kept inside the bounds of the free variables; fixed variables are never
// touched.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/block_system.h"
#include "host/host_status.h"

namespace romhost {

struct NewtonIterate {
  int iteration = 0;          // 0 at the start point
  double maxResidual = 0.0;   // max |r_i|
  double norm2 = 0.0;         // ||r||_2
  double stepLength = 0.0;    // lambda of the step that led here (0 at the start point)
};

struct NewtonSettings {
  int maxIterations = 50;
  double tolerance = 1e-8;        // on max |r_i|
  double sufficientDecrease = 1e-4;  // Armijo factor on ||r||_2
  double minStepLength = 1e-10;   // backtracking gives up below this
  int worstCount = 5;             // equations listed by name on failure
  std::function<void(const NewtonIterate&)> onIterate;  // progress, may be empty
};

struct ResidualEntry {
  std::string equation;
  double residual = 0.0;
};

struct NewtonResult {
  HostStatus status = HostStatus::kNotConverged;
  std::string message;
  int iterations = 0;
  double maxResidual = 0.0;  // at the final point; NaN when never evaluated
  int unknowns = 0;
  int equations = 0;
  int patternAnalyses = 0;         // how often the LU analysed the pattern
  std::vector<NewtonIterate> history;  // start point first
  std::vector<ResidualEntry> worst;    // largest residuals by name, on failure

  bool converged() const { return status == HostStatus::kConverged; }
};

// Solves in place: the block's value vector holds the final point afterwards.
// Call system.scan() first.
NewtonResult solveNewton(BlockSystem& system, const NewtonSettings& settings = {});

// The equations with the largest |residual|, largest first.
std::vector<ResidualEntry> largestResiduals(const BlockSystem& system, const std::vector<double>& r,
                                            int count);

}  // namespace romhost
