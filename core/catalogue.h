// Variable catalogues as data. Every block family describes its variables as
// a table of rows (name, units, bounds, category); one loader turns a table
// into robase's name maps (first generation) and another into robase2's
// category sets (second generation), so a family keeps only its table.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <set>
#include <span>

#include "core/records.h"

// The seven kinds of model variable. They name robase's maps and robase2's
// category sets alike; the order is the order of robase's maps.
enum class VarCategory : unsigned char { Input, Output, Factor, Volume, Molar, Const, Calc };
inline constexpr std::size_t kVarCategoryCount = 7;

// The short names the tables use.
namespace category {
inline constexpr VarCategory In = VarCategory::Input;     // model inputs: every network's inputs
inline constexpr VarCategory Out = VarCategory::Output;   // network outputs: one network each
inline constexpr VarCategory Fac = VarCategory::Factor;   // MASSFACTOR
inline constexpr VarCategory Vol = VarCategory::Volume;   // liquid volume flows
inline constexpr VarCategory Mol = VarCategory::Molar;    // gas molar flows
inline constexpr VarCategory Const = VarCategory::Const;  // fixed values
inline constexpr VarCategory Calc = VarCategory::Calc;    // computed flows and properties
}  // namespace category

// One variable of a catalogue. Values are in the base unit ("KG/HR",
// "CUM/HR", "KMOL/HR"); the display unit is only shown.
struct CatalogueRow {
  const char* name;
  const char* dispUnit;
  const char* baseUnit;  // null: the display unit serves as both
  double lower;
  double upper;
  VarCategory map;       // the map (or category set) that receives the variable
  unsigned group = 0;    // what a block must have to take the row (a product, a mode); 0: every block

  const char* base() const { return baseUnit ? baseUnit : dispUnit; }
};

// Which rows a block takes; an empty filter takes every row.
using RowFilter = std::function<bool(const CatalogueRow&)>;

// A row as a second-generation variable description.
varinfo2 describe(const CatalogueRow& row);

// The category sets of a second-generation block, by category; a block
// without a volume or molar set leaves it null.
class CategorySets {
 public:
  CategorySets(std::set<varinfo2>& input, std::set<varinfo2>& output, std::set<varinfo2>& factor,
               std::set<varinfo2>& constant, std::set<varinfo2>& calc, std::set<varinfo2>* volume = nullptr,
               std::set<varinfo2>* molar = nullptr);

  // The set of a category; throws std::logic_error when the block has none.
  std::set<varinfo2>& of(VarCategory category) const;

  // Inserts the rows the filter takes, in table order, each into the set of
  // its category; a name already in its set keeps its first description.
  void insert(std::span<const CatalogueRow> rows, const RowFilter& take = {}) const;

 private:
  std::array<std::set<varinfo2>*, kVarCategoryCount> m_sets;
};

// A constant and the value the value step writes into it.
struct ConstantValue {
  const char* name;
  double value;
};
