// The variable catalogue a block declares, as the framework holds it once the
// block is sized and initialised (user_dim, user_ini): every variable's base
// and display unit and its bounds, by own name; and where the catalogues of
// two generations of a block type disagree:
//   DeclaredCatalogue first, second;
//   ASSERT_TRUE(declaredCatalogue(first, made1));
//   ASSERT_TRUE(declaredCatalogue(second, made2));
//   EXPECT_THAT(catalogueDifferences(first, second), UnorderedElementsAreArray(named));
#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "host/block_session.h"
#include "platform/varlist.h"

namespace romtest {

struct DeclaredVariable {
  std::string unit;     // base unit: the unit of the framework's values
  std::string display;  // display unit
  double lower = 0.0;
  double upper = 0.0;
};
using DeclaredCatalogue = std::map<std::string, DeclaredVariable>;

// Sizes and initialises the block (taking it over; null fails) and reads
// every variable it registered; a failure names the step, or the variables
// whose unit the framework does not know (a misspelt unit reads as none).
inline ::testing::AssertionResult declaredCatalogue(DeclaredCatalogue& out, QivEOBlock* made) {
  if (!made) return ::testing::AssertionFailure() << "the factory made no block";
  romhost::BlockSession session(made);
  romhost::StepResult r = session.dimension();
  if (r.ok()) r = session.initialize();
  if (!r.ok()) return ::testing::AssertionFailure() << "set-up: " << r.message;
  const romhost::BlockSystem& system = session.system();
  const std::string prefix = session.name() + ".";
  out.clear();
  std::string unknownUnits;
  for (const int n : system.variables()) {
    std::string own = system.variableName(n);
    if (own.starts_with(prefix)) own.erase(0, prefix.size());
    const int base = rtovarlst_baseuom(system.varList(), n), display = rtovarlst_uom(system.varList(), n);
    if (base == 0 || display == 0) unknownUnits += " " + own;
    out[own] = {rtouom_name(base), rtouom_name(display), system.lower(n), system.upper(n)};
  }
  if (!unknownUnits.empty())
    return ::testing::AssertionFailure() << "units the framework does not know:" << unknownUnits;
  return ::testing::AssertionSuccess();
}

// One field of one variable in which the first and second generation differ,
// both values as text (bounds written shortest, so 300 reads "300").
struct CatalogueDifference {
  std::string variable;
  std::string field;  // "unit", "display unit", "lower" or "upper"
  std::string first;
  std::string second;

  bool operator==(const CatalogueDifference&) const = default;
};

inline void PrintTo(const CatalogueDifference& d, std::ostream* os) {
  *os << "{" << d.variable << " " << d.field << ": " << d.first << " | " << d.second << "}";
}

inline std::string boundText(double v) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, v).ptr;
  return std::string(text, end);
}

// Every field that differs between variables both catalogues declare, by
// variable name and then field, in the order unit, display unit, lower, upper.
// Variables only one generation declares are not compared.
inline std::vector<CatalogueDifference> catalogueDifferences(const DeclaredCatalogue& first,
                                                             const DeclaredCatalogue& second) {
  std::vector<CatalogueDifference> out;
  for (const auto& [name, a] : first) {
    const auto found = second.find(name);
    if (found == second.end()) continue;
    const DeclaredVariable& b = found->second;
    if (a.unit != b.unit) out.push_back({name, "unit", a.unit, b.unit});
    if (a.display != b.display) out.push_back({name, "display unit", a.display, b.display});
    if (a.lower != b.lower) out.push_back({name, "lower", boundText(a.lower), boundText(b.lower)});
    if (a.upper != b.upper) out.push_back({name, "upper", boundText(a.upper), boundText(b.upper)});
  }
  return out;
}

// The number of variables both catalogues declare.
inline std::size_t sharedVariables(const DeclaredCatalogue& first, const DeclaredCatalogue& second) {
  std::size_t n = 0;
  for (const auto& entry : first) n += second.count(entry.first);
  return n;
}

}  // namespace romtest
