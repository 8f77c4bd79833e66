// EqnRowBase: the non-zero bookkeeping that every equation object shares, the
// second generation's roeqn2 as well as the first-generation hydrocracker's
// objects. An object is one equation row: its ROMEqn part (name, running index
// I, first non-zero S), the ordered names of the variables it touches, and the
// pointers its equation manager hands over: the block's variable manager and
// the block's first non-zero (B) and first equation (E) positions.
//
// Numbering (all 1-based, the views index by number):
//   equation number          E + I - 1
//   non-zero of local index L B + S - 1 + L   (L = position in the name list, from 0)
//   variable number          V + P - 1         (through the VarMan)
//
// The pattern and the Jacobian values both follow the one name list, so they
// cannot drift apart: pat registers entry L for name L, setJacValue writes by
// name at the registered entry.
//
// Names are resolved once: an entry of the list is looked up in the VarMan at
// its first use (so a missing name fails at the same call, with the same
// text, as a look-up by name) and read by its record afterwards; the entries
// of one name share the non-zero of the later one. The evaluations use the
// entries by position (valueAt, setJacAt, putStartAt) and allocate nothing
// once the object has been evaluated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "core/onebased.h"
#include "core/records.h"
#include "core/robase.h"
#include "core/varman.h"
#include "platform/jacobian.h"

// What a block hands its suppliers and equation objects: the address of the
// block's pointer to its attribute map, through which the objects read tuning
// factors and model attributes at every evaluation (by AttrRef, which looks a
// name up again only after the map changed). Null when the object needs none.
using EqnContext = ROMAttrMap**;

// A variable that an object reads or sets outside its list (a starting value
// of another row's variable, say): its name, and its record once looked up.
class VarRef {
 public:
  explicit VarRef(std::string name) : m_name(std::move(name)) {}
  const std::string& name() const { return m_name; }

 private:
  friend class EqnRowBase;
  std::string m_name;
  mutable const ROMVar* m_record = nullptr;
  mutable std::uint64_t m_stamp = 0;  // the VarMan's stamp when looked up
};

class EqnRowBase : public ROMEqn {
 public:
  // Index 0, first non-zero -1 (no pattern yet), no manager pointers.
  explicit EqnRowBase(std::string name, EqnContext context = nullptr);
  // An object is one row of one block.
  EqnRowBase(const EqnRowBase&) = delete;
  EqnRowBase& operator=(const EqnRowBase&) = delete;
  ~EqnRowBase() override;

  // Registers one non-zero per listed name, in list order, from the given
  // start S: row E + I - 1, column of the named variable. Remembers each
  // name's local index (a name listed twice keeps the later one; both
  // non-zeros are registered). Returns the number of names. Throws when the
  // object has no manager pointers or a name is not a block variable. The
  // non-zeros the framework refused are counted (refusedNz).
  virtual int pat(rt_jac_t* jac, int nzStart);
  virtual void setIndex(int runningIndex) { index = runningIndex; }
  virtual void setVarMan(VarMan* varMan) {
    m_varMan = varMan;
    m_resolvedCount = 0;
  }
  virtual void setContext(EqnContext context) { m_context = context; }
  // Set by the equation manager when it takes the object.
  void setBlockStarts(const int* firstNz, const int* firstEqn) {
    m_blockNz = firstNz;
    m_blockEqn = firstEqn;
  }

  // Writes one Jacobian value at the named variable's non-zero. 1 and nothing
  // written while the pattern is not set (first non-zero 0 or less), else 0.
  // A name without a non-zero raises "invalid map<K, T> key".
  int setJacValue(OneBased<double> values, const std::string& name, double value) const;

  // Current framework value of a named variable (through the VarMan).
  double getValue(const std::string& name) const;
  double getValue(const VarRef& var) const;
  // Stores a starting value into the framework variable; a non-finite value
  // is never stored. 0 when stored, else 1.
  int setVarValue(const std::string& name, double value) const;
  int setVarValue(const VarRef& var, double value) const;
  // Starting value of a variable. A value that is not finite (a zero density,
  // gravity, molar mass, FOE factor or divisor) is not stored: the variable
  // keeps its value and the step still succeeds, since a starting value is
  // only a guess; the residual pass reports the row. Otherwise the result of
  // the store (1 without a variable list).
  int putStart(const std::string& name, double value) const;
  int putStart(const VarRef& var, double value) const;

  // The same by position in the variable list (entry i is m_varNames[i]).
  double valueAt(std::size_t i) const {
    // Every entry resolved under the manager's present stamp: the value at
    // the entry's record index (the first variable read afresh).
    if (i < m_resolvedCount && m_entryStamp == m_varMan->stamp()) return m_varMan->valueAt(m_entryIndex[i]);
    return manager().valueAt(entryIndex(i));
  }
  // Entries [first, first + count) into out, as valueAt each.
  void valuesAt(std::size_t first, std::size_t count, double* out) const {
    // Only a run that starts among the resolved entries (there are some only
    // with a manager) and ends by their end; no sum that could wrap.
    if (first < m_resolvedCount && count <= m_resolvedCount - first && m_entryStamp == m_varMan->stamp()) {
      m_varMan->valuesAt(m_entryIndex.data() + first, count, out);
      return;
    }
    for (std::size_t k = 0; k < count; ++k) out[k] = valueAt(first + k);
  }
  int setVarValueAt(std::size_t i, double value) const;
  int putStartAt(std::size_t i, double value) const;
  // setJacValue for the name of entry i: the non-zero of the later entry
  // when the name is listed twice.
  int setJacAt(OneBased<double> values, std::size_t i, double value) const {
    if (firstNz <= 0) return 1;
    // After a whole pattern pass, at the entry's group; otherwise by name, as
    // the pattern left it.
    if (!m_patternWhole || static_cast<std::size_t>(m_nzCount) != m_varNames.size() ||
        m_entryGroups.size() != m_varNames.size() || i >= m_entryGroups.size())
      return setJacValue(values, m_varNames.at(i), value);
    values.at(nzNumber(static_cast<int>(m_entryGroups[i]))) = value;
    return 0;
  }
  // Per entry, the position of the last entry of the same name: the local
  // non-zero the name's Jacobian value goes to. Entries with the same value
  // are one variable (a name listed twice gets the sum of its terms).
  const std::vector<std::size_t>& entryGroups() const {
    return m_entryGroups.size() == m_varNames.size() ? m_entryGroups : groupEntries();
  }
  // Whether every entry has a name of its own (each is its own group).
  bool distinctEntries() const {
    entryGroups();
    return m_distinct;
  }
  // The object's row of non-zeros in values, entry (local) i at row[i], when
  // the last pattern pass registered every entry and all of them lie in the
  // vector; null otherwise (write entry by entry with setJacAt then).
  double* jacobianRow(OneBased<double> values) const {
    if (firstNz <= 0 || !m_patternWhole || static_cast<std::size_t>(m_nzCount) != m_varNames.size() ||
        m_entryGroups.size() != m_varNames.size() || m_nzCount <= 0 || !m_blockNz)
      return nullptr;
    const long long first = static_cast<long long>(*m_blockNz) + firstNz - 1;
    if (first < 1 || first + m_nzCount - 1 > values.count()) return nullptr;
    return values.data() + (first - 1);
  }
  // Writes the residual at the object's equation number; returns 0.
  int writeResidual(OneBased<double> residuals, double value) const;

  const std::vector<std::string>& varNames() const { return m_varNames; }
  VarMan* varMan() const { return m_varMan; }
  EqnContext context() const { return m_context; }
  // The block's attribute map through the context; null without one.
  ROMAttrMap* attributeMap() const { return m_context ? *m_context : nullptr; }
  // The same for an object that has checked it has one; throws std::logic_error otherwise.
  const ROMAttrMap& attributes() const;
  // Name -> local non-zero of the entries the last pattern pass registered
  // (the later entry of a name listed twice); made on first demand.
  const std::map<std::string, int>& localNz() const;

  bool patterned() const { return firstNz > 0; }
  int nzCount() const { return m_nzCount; }  // registered by the last pattern pass
  int refusedNz() const { return m_refusedNz; }  // of those, refused by the framework
  int eqnNumber() const {
    if (!m_blockEqn) outsideBlock();
    return *m_blockEqn + index - 1;
  }
  int nzNumber(int local) const {
    if (!m_blockNz) outsideBlock();
    return *m_blockNz + firstNz - 1 + local;
  }

  // Zeroes the object's own non-zeros (so the earlier entry of a name listed
  // twice never keeps a stale value); nothing before the pattern.
  void zeroOwnRange(OneBased<double> values) const;
  // False when one of the object's own non-zeros, or its residual, holds a
  // value that is not finite.
  bool ownRangeFinite(OneBased<double> values) const;
  bool residualFinite(OneBased<double> residuals) const;

 protected:
  std::vector<std::string> m_varNames;  // pattern order; entry L is local non-zero L

 private:
  // The VarMan record index of entry i, looked up at its first use (throws
  // for a missing name, or without a variable manager).
  int entryIndex(std::size_t i) const;
  const ROMVar& record(const VarRef& var) const;
  const VarMan& manager() const;
  const std::vector<std::size_t>& groupEntries() const;
  [[noreturn]] static void outsideBlock();

  VarMan* m_varMan = nullptr;
  EqnContext m_context;
  const int* m_blockNz = nullptr;   // B
  const int* m_blockEqn = nullptr;  // E
  mutable std::map<std::string, int> m_localNz;
  mutable bool m_localNzMade = true;  // m_localNz holds the last pattern pass's entries
  int m_nzCount = 0;
  int m_refusedNz = 0;
  bool m_patternWhole = false;  // the last pattern pass registered every entry
  mutable bool m_distinct = true;  // with m_entryGroups: no name listed twice
  // Resolved entries: record indices by position (kUnresolved before the
  // first use), valid while the VarMan's stamp is m_entryStamp and the list
  // keeps its length.
  static constexpr int kUnresolved = std::numeric_limits<int>::min();
  mutable std::vector<int> m_entryIndex;
  // The number of entries once all are resolved (with a manager), else 0.
  mutable std::size_t m_resolvedCount = 0;
  mutable std::size_t m_unresolved = 0;  // entries of m_entryIndex still kUnresolved
  mutable std::uint64_t m_entryStamp = 0;
  mutable std::vector<std::size_t> m_entryGroups;
};
