#include "core/eqnman.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/managers_ex.h"

EqnMan::~EqnMan() = default;

int EqnMan::addEquation(std::unique_ptr<roeqn2> object) {
  if (!isSetUp()) throw initex2();
  if (!object) throw std::invalid_argument("no equation object to add");
  roeqn2& eqn = *object;
  // A held name leaves the object where it is: deleted with its holder.
  if (!m_objects.try_emplace(eqn.name, std::move(object)).second) throw eqdupex2();
  m_orderStale = true;
  eqn.setBlockStarts(m_firstNz, m_firstEqn);
  if (!eqn.varMan()) eqn.setVarMan(m_varMan);
  eqn.setIndex(static_cast<int>(m_nextIndex));
  ++m_nextIndex;
  return 0;
}

std::uint32_t EqnMan::pattern(rt_jac_t* jac) {
  std::vector<roeqn2*> order;
  order.reserve(m_objects.size());
  for (const auto& entry : m_objects) order.push_back(entry.second.get());
  std::stable_sort(order.begin(), order.end(), [](const roeqn2* a, const roeqn2* b) { return a->index < b->index; });
  std::uint32_t position = 1;
  m_patternFailed = false;
  for (roeqn2* eqn : order) {
    const int count = eqn->pat(jac, static_cast<int>(position));
    if (count > 0) position += static_cast<std::uint32_t>(count);
    if (count < 0 || eqn->refusedNz() > 0) m_patternFailed = true;
  }
  return position - 1;
}

void EqnMan::rebuildOrder() const {
  m_inNameOrder.clear();
  m_inNameOrder.reserve(m_objects.size());
  for (const auto& entry : m_objects) m_inNameOrder.push_back(entry.second.get());
  m_orderStale = false;
}

roeqn2* EqnMan::find(const std::string& name) const {
  const auto it = m_objects.find(name);
  return it == m_objects.end() ? nullptr : it->second.get();
}
