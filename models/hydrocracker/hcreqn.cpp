#include "models/hydrocracker/hcreqn.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/managers_ex.h"

hcreqn::hcreqn(std::string name) : EqnRowBase(std::move(name)) {}

int hcreqn::init() { return 0; }

int hcreqn::evalJac(OneBased<double> values) {
  zeroOwnRange(values);
  return jac(values);
}

HcrEqnMan::~HcrEqnMan() = default;

int HcrEqnMan::addEquation(hcreqn* object) {
  if (!isSetUp()) throw initex();
  if (!object) throw std::invalid_argument("no equation object to add");
  hcreqn& eqn = *object;
  // The slot is made empty first, so a refused name or a failed allocation
  // leaves the object with the caller.
  const auto [slot, added] = m_objects.try_emplace(eqn.name);
  if (!added) throw eqdupex();
  slot->second.reset(object);
  m_orderStale = true;
  eqn.setBlockStarts(m_firstNz, m_firstEqn);
  if (!eqn.varMan()) eqn.setVarMan(m_varMan);
  eqn.setIndex(static_cast<int>(m_nextIndex));
  ++m_nextIndex;
  return 0;
}

int HcrEqnMan::declarePattern(rt_jac_t* jac) {
  std::vector<hcreqn*> order;
  order.reserve(m_objects.size());
  for (const auto& entry : m_objects) order.push_back(entry.second.get());
  std::stable_sort(order.begin(), order.end(), [](const hcreqn* a, const hcreqn* b) { return a->index < b->index; });
  long long position = 1;
  m_patternFailed = false;
  for (hcreqn* eqn : order) {
    const int count = eqn->pat(jac, static_cast<int>(position));
    if (count > 0) position += count;
    if (count < 0 || eqn->refusedNz() > 0) m_patternFailed = true;
    if (position > std::numeric_limits<int>::max()) throw std::overflow_error("too many non-zeros in one block");
  }
  return static_cast<int>(position - 1);
}

void HcrEqnMan::rebuildOrder() const {
  m_inNameOrder.clear();
  m_inNameOrder.reserve(m_objects.size());
  for (const auto& entry : m_objects) m_inNameOrder.push_back(entry.second.get());
  m_orderStale = false;
}

hcreqn* HcrEqnMan::find(const std::string& name) const {
  const auto it = m_objects.find(name);
  return it == m_objects.end() ? nullptr : it->second.get();
}
