#include "core/catalogue.h"

#include <stdexcept>

varinfo2 describe(const CatalogueRow& row) {
  if (row.baseUnit) return varinfo2(row.name, row.baseUnit, row.dispUnit, row.lower, row.upper);
  return varinfo2(row.name, row.dispUnit, row.lower, row.upper);
}

CategorySets::CategorySets(std::set<varinfo2>& input, std::set<varinfo2>& output, std::set<varinfo2>& factor,
                           std::set<varinfo2>& constant, std::set<varinfo2>& calc, std::set<varinfo2>* volume,
                           std::set<varinfo2>* molar)
    : m_sets{&input, &output, &factor, volume, molar, &constant, &calc} {}

std::set<varinfo2>& CategorySets::of(VarCategory category) const {
  const auto i = static_cast<std::size_t>(category);
  if (i >= m_sets.size() || !m_sets[i]) throw std::logic_error("no category set for a catalogue row");
  return *m_sets[i];
}

void CategorySets::insert(std::span<const CatalogueRow> rows, const RowFilter& take) const {
  for (const CatalogueRow& row : rows)
    if (!take || take(row)) of(row.map).insert(describe(row));
}
