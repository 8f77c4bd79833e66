// What romhost prints: a table of the block's variables (name, value, unit,
// CONST/CALC, and a note for a value outside its bounds or a free variable held
// at one) with a summary, the derivative-check findings, and the same as one
// JSON object.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/block_system.h"
#include "host/bounds.h"
#include "host/jacobian_check.h"
#include "host/newton.h"

namespace romhost {

struct VariableRow {
  std::string name;  // the block's own name, without "<block>."
  double value = 0.0;
  std::string unit;  // the unit the value is in (the base unit)
  bool fixed = false;
};

struct CheckAtPoint {
  std::string point;  // "start" or "solution"
  CheckResult result;
};

struct SolveReport {
  std::string block;
  std::optional<std::string> subid;
  NewtonResult newton;
  int variables = 0;
  int equations = 0;
  int nonzeros = 0;
  std::vector<VariableRow> rows;
  bool checkRequested = false;
  std::vector<CheckAtPoint> checks;
  std::vector<BoundWarning> warnings;  // fixed variables and attributes outside their bounds
  std::vector<HeldAtBound> atBounds;   // free variables on a bound when Newton stopped unconverged
  std::optional<bool> saved;           // set when --save was asked for
  std::string saveError;               // why the save failed
  std::string error;                   // why the run stopped before its solve
};

std::vector<VariableRow> variableRows(const BlockSystem& system, const std::string& blockName);

void printTable(std::ostream& out, const SolveReport& report);
void printSummary(std::ostream& out, const SolveReport& report);
void printCheck(std::ostream& out, const CheckAtPoint& check);
nlohmann::ordered_json reportJson(const SolveReport& report);
// reportJson as text, indented by two. A text that is not valid UTF-8 (a path
// or option given in another encoding) has its invalid bytes replaced by
// U+FFFD, so the object is always written.
std::string reportJsonText(const SolveReport& report);

}  // namespace romhost
