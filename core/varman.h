// VarMan: the variable manager of the second-generation blocks (and of the
// first-generation hydrocracker). It owns the block's ROMVar records by name
// and gives the equation objects what they need to reach the framework: the
// value vector seen by 1-based number and the variable-list handle, attached
// afresh at the start of every pass because the framework may move its arrays
// between calls.
//
// Numbering: the record with index p is framework variable V + p - 1, V being
// the block's first variable position, which the manager reads through a
// pointer to the block's own field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/onebased.h"
#include "core/records.h"
#include "platform/varlist.h"

class VarMan {
 public:
  // Which exception a repeated name raises: vardupex (first generation) or
  // vardupex2 (second generation). The texts are the same.
  enum class Generation { First, Second };

  explicit VarMan(const int* firstVar = nullptr, Generation generation = Generation::Second);
  VarMan(const VarMan&) = delete;
  VarMan& operator=(const VarMan&) = delete;
  ~VarMan();

  void setFirstVar(const int* firstVar) { m_firstVar = firstVar; }

  // Creates the record and files it under its name; a name already present
  // raises vardupex2 (vardupex for a first-generation manager) and changes nothing.
  void addVar(const std::string& name, const std::string& baseUnit, const std::string& dispUnit, int index,
              double lower, double upper);

  bool contains(const std::string& name) const { return find(name) != nullptr; }
  // The record of a name; a missing name raises "invalid map<K, T> key".
  ROMVar& var(const std::string& name) const;
  std::size_t size() const { return m_vars.size(); }
  const std::map<std::string, std::unique_ptr<ROMVar>>& records() const { return m_vars; }

  // Framework number of a named variable. Throws for a missing name, or when
  // the manager has no first-variable position.
  int varIndex(const std::string& name) const { return numberOf(var(name)); }
  // Current framework value of a named variable, read through the attached
  // view. Throws for a missing name or when no value vector is attached.
  double getValue(const std::string& name) const { return valueOf(var(name)); }
  // Stores a value into the framework variable. A value that is not finite is
  // never stored. 0 when stored, 1 otherwise (no variable list, refused).
  int setValue(const std::string& name, double value) const { return setValueOf(var(name), value); }

  // The same for a record of this manager already looked up (what the
  // equation objects keep once a name is resolved): the record's position is
  // read at every call, so a moved first variable is followed.
  int numberOf(const ROMVar& record) const { return numberAt(record.index); }
  double valueOf(const ROMVar& record) const { return valueAt(record.index); }
  // The same by a record's index (records keep their index for life).
  int numberAt(int index) const {
    if (!m_firstVar) noFirstVariable();
    const long long number = static_cast<long long>(*m_firstVar) + index - 1;
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()) outOfRange();
    return static_cast<int>(number);
  }
  double valueAt(int index) const {
    // A number inside the attached vector is read at once; anything else
    // takes the checks in their order, each with its own error.
    if (m_firstVar) {
      const long long number = static_cast<long long>(*m_firstVar) + index - 1;
      if (number >= 1 && number <= m_values.count()) return m_values.data()[number - 1];
    }
    return checkedValueAt(index);
  }
  // valueAt of indices[k] into out[k] for k < n.
  void valuesAt(const int* indices, std::size_t n, double* out) const {
    const long long first = m_firstVar ? *m_firstVar : 0;
    const long long count = m_values.count();
    const double* data = m_values.data();
    for (std::size_t k = 0; k < n; ++k) {
      const long long number = first + indices[k] - 1;
      out[k] = m_firstVar && number >= 1 && number <= count ? data[number - 1] : checkedValueAt(indices[k]);
    }
  }
  int setValueOf(const ROMVar& record, double value) const { return setValueAt(record.index, value); }
  int setValueAt(int index, double value) const;

  // Changes whenever records are deleted (clear), and differs between any two
  // managers: a record pointer looked up under one stamp stays valid while
  // the stamp is the same.
  std::uint64_t stamp() const { return m_stamp; }
  // "CONST" fixes and "CALC" frees the named variable; any other text does
  // nothing. 0 on success or for another text, 1 when the framework refused.
  int setVarSpec(const std::string& name, const std::string& spec) const;
  // Bounds of the framework variable; 0 on success, 1 when refused.
  int setLower(const std::string& name, double value) const;
  int setUpper(const std::string& name, double value) const;

  // The value vector (seen by number) and the list handle of the current pass.
  // Attaching is part of every pass of a const hook; it changes no record.
  void attach(OneBased<double> values, rtvarlst_t* list) const {
    m_values = values;
    m_list = list;
  }
  OneBased<double> values() const { return m_values; }
  rtvarlst_t* varList() const { return m_list; }

  // While the exclusion flag is set, the excluded names get no framework variable.
  int exclusionFlag() const { return m_exclusionFlag; }
  void setExclusionFlag(int flag) { m_exclusionFlag = flag; }
  const std::set<std::string>& excluded() const { return m_excluded; }
  void exclude(const std::string& name) { m_excluded.insert(name); }
  bool createsFrameworkVariable(const std::string& name) const {
    return m_exclusionFlag == 0 || m_excluded.count(name) == 0;
  }

  // Deletes every record and forgets the attached vectors.
  void clear();

 private:
  // The record of a name through the hash index; null when absent.
  ROMVar* find(std::string_view name) const noexcept;
  // Room in the index for one more record (grown before the record is filed,
  // so a failed growth leaves map and index as they were).
  void makeIndexRoom();
  void indexRecord(std::size_t hash, const std::string* name, ROMVar* record) noexcept;
  double checkedValueAt(int index) const;
  [[noreturn]] static void noFirstVariable();
  [[noreturn]] static void outOfRange();
  [[noreturn]] static void noValues();

  mutable OneBased<double> m_values;   // value vector of the current pass
  mutable rtvarlst_t* m_list = nullptr;  // variable list of the current pass
  const int* m_firstVar;                 // the block's first variable position
  std::map<std::string, std::unique_ptr<ROMVar>> m_vars;
  // The records by the hash of their name (open addressing, linear probing,
  // a power of two at most half full): what look-ups by name use, since
  // every pattern and port pass finds its variables by name.
  struct IndexSlot {
    std::size_t hash;
    const std::string* name;  // the map's key
    ROMVar* record;           // null: an empty slot
  };
  std::vector<IndexSlot> m_index;
  int m_exclusionFlag = 0;
  std::set<std::string> m_excluded;
  Generation m_generation;
  std::uint64_t m_stamp;
};
