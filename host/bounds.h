// Values measured against their bounds: the fixed variables and assigned
// attributes that lie outside the ranges the models were built for (a result
// resting on them deserves a warning, not a refusal), and the free variables
// Newton's step left on a bound when it stopped without converging.
#pragma once

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "host/block_system.h"

namespace romhost {

// A value outside its bounds; a bound the block does not state is infinite.
struct BoundWarning {
  std::string name;  // own variable name, or the attribute's name
  double value = 0.0;
  double lower = 0.0;
  double upper = 0.0;
};

// A free variable on one of its bounds.
struct HeldAtBound {
  std::string name;  // own variable name
  double value = 0.0;
  bool upper = false;  // which bound
};

// Own name: the framework name without "<block>.".
std::string ownVariableName(const BlockSystem& system, int var, const std::string& blockName);

// The fixed variables whose value lies below the lower or above the upper bound.
// Those numbered in skip are not looked at.
std::vector<BoundWarning> fixedOutsideBounds(const BlockSystem& system, const std::string& blockName,
                                             const std::set<int>& skip = {});

// The variables of the block's "CONSTANTS" port that the case does not give a
// value (given: own names). Their values are the model's own data, written by
// the block itself (a molar mass may differ from its catalogue bounds by the
// model's design), not inputs a result rests on: a warning about them would
// come with every run and say nothing the user can act on. A constant the case
// sets is checked like any fixed variable.
std::set<int> constantsNotGiven(const QivEOBlockImpl& block, const BlockSystem& system, const std::string& blockName,
                                const std::vector<std::string>& given);

// The named attributes whose real value lies outside the real values of the
// block's attributes "<name>_LB" and "<name>_UB" (an attribute without either,
// or one that is no real number, is not checked). Each name is looked at once.
std::vector<BoundWarning> attributesOutsideBounds(QivEOBlock& block, const std::vector<std::string>& names);

// The free variables at (or beyond) their lower or upper bound.
std::vector<HeldAtBound> freeAtBounds(const BlockSystem& system, const std::string& blockName);

// Appends the warnings of more not already in list (same name and value);
// returns those appended.
std::vector<BoundWarning> mergeWarnings(std::vector<BoundWarning>& list, const std::vector<BoundWarning>& more);

// "C3FRAC = 1e+300 lies outside its bounds [0, 1]"
std::string describe(const BoundWarning& w);

}  // namespace romhost
