// hcreqn: the base of the first-generation hydrocracker's equation objects,
// and HcrEqnMan, the block's equation manager that owns them.
//
// An object is one equation row of one block: its ROMEqn part (name, running
// index I, first non-zero S; -1 until the pattern pass), the ordered names of
// the variables it touches and the block pointers its manager hands over
// (shared row bookkeeping of EqnRowBase). Numbering, all 1-based:
//   equation number            E + I - 1
//   non-zero of list entry L   B + S - 1 + L   (L from 0)
//   variable number            V + P - 1        (through the VarMan)
// The pattern registers one non-zero per listed name; the Jacobian writes by
// name at the registered entries, so the two follow one list.
//
// The manager numbers its objects 1, 2, 3 ... in the order they are added
// (the block's row order and the order of its non-zeros), while its passes
// walk them by name.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/varman.h"
#include "equations/eqn_row.h"
#include "platform/jacobian.h"

// The hydrocracker block's variable manager: the block core's VarMan with the
// first-generation exception (vardupex on a repeated name) and the
// hydrocracker's own names of its record, number and value operations.
class HcrVarMan : public VarMan {
 public:
  explicit HcrVarMan(const int* firstVar = nullptr) : VarMan(firstVar, Generation::First) {}

  // Creates the record and files it under its name; vardupex when the name
  // is present, and nothing changes.
  void addVariable(const std::string& name, const std::string& baseUnit, const std::string& displayUnit, int index,
                   double lower, double upper) {
    addVar(name, baseUnit, displayUnit, index, lower, upper);
  }
  // Framework number of a name: the block's first variable + index - 1.
  // A missing name raises "invalid map<K, T> key".
  int indexOf(const std::string& name) const { return varIndex(name); }
  // Current framework value of a name, element indexOf(name) of the value view.
  double valueOf(const std::string& name) const { return getValue(name); }
};

class hcreqn : public EqnRowBase {
 public:
  // Index 0, first non-zero -1, no variables, no manager pointers, no context.
  explicit hcreqn(std::string name);

  // Residual at the object's equation number; 0 on success.
  virtual int res(OneBased<double> residuals) = 0;
  // Jacobian values at the object's non-zeros; non-zero when an entry could
  // not be written (every entry before the pattern pass).
  virtual int jac(OneBased<double> values) = 0;
  // Starting values; the base sets none and returns 0.
  virtual int init();

  // Current framework value of a variable of the block.
  double valueOf(const std::string& name) const { return getValue(name); }

  // The Jacobian step of the block's pass: clears the object's own non-zeros
  // (an entry of a name listed twice never keeps a stale value), then jac.
  int evalJac(OneBased<double> values);
};

class HcrEqnMan {
 public:
  using ObjectMap = std::map<std::string, std::unique_ptr<hcreqn>>;

  HcrEqnMan() = default;
  HcrEqnMan(const HcrEqnMan&) = delete;
  HcrEqnMan& operator=(const HcrEqnMan&) = delete;
  ~HcrEqnMan();

  // The manager is set up when all three pointers are non-null. The objects
  // read values through the core operations of the block's HcrVarMan, so any
  // VarMan serves (a rig of equation objects outside a block passes its own).
  void setUp(VarMan* varMan, const int* firstNz, const int* firstEqn) {
    m_varMan = varMan;
    m_firstNz = firstNz;
    m_firstEqn = firstEqn;
  }
  bool isSetUp() const { return m_varMan && m_firstNz && m_firstEqn; }

  // Registers the object: initex when the manager is not set up, eqdupex
  // when the name is held already; the object then stays with the caller.
  // Otherwise the manager takes it, hands it the block positions, its
  // VarMan when it has none, and the next running index. A null object is
  // refused with std::invalid_argument. Returns 0.
  int addEquation(hcreqn* object);
  // The same for an owned object, released to the manager only once it is
  // registered (a refused one stays in the caller's pointer).
  template <class T>
  int addEquation(std::unique_ptr<T>&& object) {
    const int rc = addEquation(static_cast<hcreqn*>(object.get()));
    object.release();
    return rc;
  }

  // Pattern pass: the objects by ascending running index, the first from
  // non-zero 1, each from where the previous one ended. The total count.
  int declarePattern(rt_jac_t* jac);
  // Whether the last pattern pass failed: an object reported a negative
  // count, or the framework refused one of its non-zeros.
  bool patternFailed() const { return m_patternFailed; }

  std::size_t size() const { return m_objects.size(); }
  const ObjectMap& objects() const { return m_objects; }
  // The same objects in name order, as the passes walk them (listed again
  // on the first call after objects were added).
  const std::vector<hcreqn*>& inNameOrder() const {
    if (m_orderStale) rebuildOrder();
    return m_inNameOrder;
  }
  // The object of a name, or null.
  hcreqn* find(const std::string& name) const;
  unsigned nextIndex() const { return m_nextIndex; }

  // Deletes every object.
  void clear() {
    m_inNameOrder.clear();
    m_orderStale = false;
    m_objects.clear();
  }

 private:
  void rebuildOrder() const;

  ObjectMap m_objects;
  mutable std::vector<hcreqn*> m_inNameOrder;
  mutable bool m_orderStale = false;
  VarMan* m_varMan = nullptr;
  const int* m_firstNz = nullptr;
  const int* m_firstEqn = nullptr;
  unsigned m_nextIndex = 1;
  bool m_patternFailed = false;
};
