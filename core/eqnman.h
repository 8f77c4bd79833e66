// EqnMan: the equation manager of the second-generation blocks. It owns the
// block's equation objects by name, numbers them 1, 2, 3 ... in the order the
// model adds them (independent of their names), hands each the block's
// variable manager and first equation and first non-zero positions, and runs
// the pattern pass in that running order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "equations/roeqn2.h"
#include "platform/jacobian.h"

class VarMan;

class EqnMan {
 public:
  using ObjectMap = std::map<std::string, std::unique_ptr<roeqn2>>;

  EqnMan() = default;
  EqnMan(VarMan* varMan, const int* firstNz, const int* firstEqn) { setUp(varMan, firstNz, firstEqn); }
  EqnMan(const EqnMan&) = delete;
  EqnMan& operator=(const EqnMan&) = delete;
  ~EqnMan();

  // The manager is set up when all three pointers are non-null.
  void setUp(VarMan* varMan, const int* firstNz, const int* firstEqn) {
    m_varMan = varMan;
    m_firstNz = firstNz;
    m_firstEqn = firstEqn;
  }
  bool isSetUp() const { return m_varMan && m_firstNz && m_firstEqn; }

  // Takes the object: initex2 when the manager is not set up, eqdupex2 when
  // the name is held already (the object is then deleted with its holder, and
  // nothing changes). Otherwise files it under its name, gives it the block
  // positions, the manager's VarMan when it has none, and the running index.
  // A null object is refused with std::invalid_argument. Returns 0.
  int addEquation(std::unique_ptr<roeqn2> object);

  // Pattern pass: the objects by ascending running index, the first from
  // non-zero 1, each from where the previous one ended. Returns the total
  // number of non-zeros (0 for no objects).
  std::uint32_t pattern(rt_jac_t* jac);
  // Whether the last pattern pass failed: an object reported a negative
  // count, or the framework refused one of its non-zeros.
  bool patternFailed() const { return m_patternFailed; }

  std::size_t size() const { return m_objects.size(); }
  const ObjectMap& objects() const { return m_objects; }
  // The same objects in name order, as the passes walk them (listed again
  // on the first call after objects were added).
  const std::vector<roeqn2*>& inNameOrder() const {
    if (m_orderStale) rebuildOrder();
    return m_inNameOrder;
  }
  // The object of a name, or null.
  roeqn2* find(const std::string& name) const;
  std::uint32_t nextIndex() const { return m_nextIndex; }

  // Deletes every object.
  void clear() {
    m_inNameOrder.clear();
    m_orderStale = false;
    m_objects.clear();
  }

 private:
  void rebuildOrder() const;

  ObjectMap m_objects;
  mutable std::vector<roeqn2*> m_inNameOrder;
  mutable bool m_orderStale = false;
  VarMan* m_varMan = nullptr;
  const int* m_firstNz = nullptr;
  const int* m_firstEqn = nullptr;
  std::uint32_t m_nextIndex = 1;
  bool m_patternFailed = false;
};
