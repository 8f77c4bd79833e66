#include "core/varman.h"

#include <atomic>
#include <cmath>
#include <stdexcept>

#include "core/helpers.h"
#include "core/name_hash.h"
#include "core/managers_ex.h"

namespace {

// One counter for every manager, so no two managers (or one before and after
// a clear) share a stamp.
std::uint64_t nextStamp() {
  static std::atomic<std::uint64_t> stamps{0};
  return stamps.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

VarMan::VarMan(const int* firstVar, Generation generation)
    : m_firstVar(firstVar), m_generation(generation), m_stamp(nextStamp()) {}

VarMan::~VarMan() = default;

void VarMan::addVar(const std::string& name, const std::string& baseUnit, const std::string& dispUnit, int index,
                    double lower, double upper) {
  if (find(name)) {
    if (m_generation == Generation::First) throw vardupex();
    throw vardupex2();
  }
  makeIndexRoom();
  const auto filed = m_vars.emplace(name, std::make_unique<ROMVar>(name, baseUnit, dispUnit, index, lower, upper));
  indexRecord(hashName(name), &filed.first->first, filed.first->second.get());
}

ROMVar& VarMan::var(const std::string& name) const {
  ROMVar* record = find(name);
  if (!record) throw std::out_of_range(kInvalidMapKey);
  return *record;
}

ROMVar* VarMan::find(std::string_view name) const noexcept {
  if (m_index.empty()) return nullptr;
  const std::size_t hash = hashName(name);
  const std::size_t mask = m_index.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const IndexSlot& slot = m_index[i];
    if (!slot.record) return nullptr;
    if (slot.hash == hash && *slot.name == name) return slot.record;
  }
}

void VarMan::makeIndexRoom() {
  if ((m_vars.size() + 1) * 2 <= m_index.size()) return;
  std::vector<IndexSlot> index(m_index.empty() ? 256 : m_index.size() * 2, IndexSlot{0, nullptr, nullptr});
  index.swap(m_index);
  for (const IndexSlot& slot : index)
    if (slot.record) indexRecord(slot.hash, slot.name, slot.record);
}

void VarMan::indexRecord(std::size_t hash, const std::string* name, ROMVar* record) noexcept {
  const std::size_t mask = m_index.size() - 1;
  std::size_t i = hash & mask;
  while (m_index[i].record) i = (i + 1) & mask;
  m_index[i] = {hash, name, record};
}

void VarMan::noFirstVariable() { throw std::logic_error("variable manager without a first variable position"); }

void VarMan::outOfRange() { throw std::out_of_range("variable number outside the framework's range"); }

void VarMan::noValues() { throw std::logic_error("no framework value vector attached"); }

double VarMan::checkedValueAt(int index) const {
  const int number = numberAt(index);
  if (!m_values.valid()) noValues();
  return m_values.at(number);
}

int VarMan::setValueAt(int index, double value) const {
  const int number = numberAt(index);
  // A starting value that is not finite would poison every later evaluation.
  if (!m_list || !std::isfinite(value)) return 1;
  return rtovarlst_set_var_value(m_list, number, value, 0) == 0 ? 0 : 1;
}

int VarMan::setVarSpec(const std::string& name, const std::string& spec) const {
  const int number = varIndex(name);
  if (spec != "CONST" && spec != "CALC") return 0;
  if (!m_list) return 1;
  const int rc = spec == "CONST" ? rtovarlst_fix_var(m_list, number) : rtovarlst_free_var(m_list, number);
  return rc == 0 ? 0 : 1;
}

int VarMan::setLower(const std::string& name, double value) const {
  const int number = varIndex(name);
  if (!m_list) return 1;
  return rtovarlst_set_var_lower(m_list, number, value) == 0 ? 0 : 1;
}

int VarMan::setUpper(const std::string& name, double value) const {
  const int number = varIndex(name);
  if (!m_list) return 1;
  return rtovarlst_set_var_upper(m_list, number, value) == 0 ? 0 : 1;
}

void VarMan::clear() {
  m_index.clear();
  m_vars.clear();
  m_stamp = nextStamp();
  m_excluded.clear();
  m_exclusionFlag = 0;
  m_values = OneBased<double>();
  m_list = nullptr;
}
