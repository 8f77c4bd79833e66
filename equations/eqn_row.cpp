#include "equations/eqn_row.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "core/helpers.h"

EqnRowBase::EqnRowBase(std::string name, EqnContext context) : ROMEqn(std::move(name), 0), m_context(context) {
  firstNz = -1;
}

EqnRowBase::~EqnRowBase() = default;

void EqnRowBase::outsideBlock() { throw std::logic_error("equation object outside a block"); }

const ROMAttrMap& EqnRowBase::attributes() const {
  const ROMAttrMap* map = attributeMap();
  if (!map) throw std::logic_error("equation object without the block's attribute map");
  return *map;
}

const VarMan& EqnRowBase::manager() const {
  if (!m_varMan) throw std::logic_error("equation object without a variable manager");
  return *m_varMan;
}

int EqnRowBase::entryIndex(std::size_t i) const {
  const VarMan& vm = manager();
  if (m_entryStamp != vm.stamp() || m_entryIndex.size() != m_varNames.size()) {
    m_entryIndex.assign(m_varNames.size(), kUnresolved);
    m_unresolved = m_entryIndex.size();
    m_entryStamp = vm.stamp();
    m_resolvedCount = 0;
  }
  int& index = m_entryIndex.at(i);
  if (index == kUnresolved) {
    index = vm.var(m_varNames[i]).index;
    // Once every entry is resolved, valueAt reads them without these checks.
    if (--m_unresolved == 0) m_resolvedCount = m_entryIndex.size();
  }
  return index;
}

const ROMVar& EqnRowBase::record(const VarRef& var) const {
  const VarMan& vm = manager();
  if (!var.m_record || var.m_stamp != vm.stamp()) {
    var.m_record = nullptr;
    var.m_record = &vm.var(var.m_name);
    var.m_stamp = vm.stamp();
  }
  return *var.m_record;
}

const std::vector<std::size_t>& EqnRowBase::groupEntries() const {
  const std::size_t n = m_varNames.size();
  // Entries of one name have one record: once every entry is resolved, only
  // entries of the same record index are compared by name.
  const bool resolved = n > 0 && m_resolvedCount == n && m_varMan && m_entryStamp == m_varMan->stamp();
  m_entryGroups.resize(n);
  m_distinct = true;
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t last = i;
    for (std::size_t j = i + 1; j < n; ++j)
      if ((!resolved || m_entryIndex[j] == m_entryIndex[i]) && m_varNames[j] == m_varNames[i]) last = j;
    m_entryGroups[i] = last;
    if (last != i) m_distinct = false;
  }
  return m_entryGroups;
}

int EqnRowBase::pat(rt_jac_t* jac, int nzStart) {
  if (!m_varMan) throw std::logic_error("equation object without a variable manager");
  firstNz = nzStart;
  m_localNz.clear();
  m_localNzMade = false;
  m_nzCount = 0;
  m_refusedNz = 0;
  m_patternWhole = false;
  const int row = eqnNumber();
  for (std::size_t i = 0; i < m_varNames.size(); ++i) {
    const int local = static_cast<int>(i);
    const int column = m_varMan->numberAt(entryIndex(i));
    const int nz = nzNumber(local);
    if (!registerNonZero(jac, nz, row, column)) ++m_refusedNz;
    m_nzCount = local + 1;
  }
  entryGroups();
  m_patternWhole = true;
  return m_nzCount;
}

const std::map<std::string, int>& EqnRowBase::localNz() const {
  if (!m_localNzMade) {
    // The entries the pass got through, each name at its later entry.
    for (int local = 0; local < m_nzCount; ++local) m_localNz[m_varNames[static_cast<std::size_t>(local)]] = local;
    m_localNzMade = true;
  }
  return m_localNz;
}

int EqnRowBase::setJacValue(OneBased<double> values, const std::string& name, double value) const {
  if (firstNz <= 0) return 1;
  const int local = at_or_throw(localNz(), name);
  values.at(nzNumber(local)) = value;
  return 0;
}

double EqnRowBase::getValue(const std::string& name) const { return manager().getValue(name); }

double EqnRowBase::getValue(const VarRef& var) const { return manager().valueOf(record(var)); }


int EqnRowBase::setVarValue(const std::string& name, double value) const {
  if (!m_varMan) return 1;
  return m_varMan->setValue(name, value);
}

int EqnRowBase::setVarValue(const VarRef& var, double value) const {
  if (!m_varMan) return 1;
  return m_varMan->setValueOf(record(var), value);
}

int EqnRowBase::setVarValueAt(std::size_t i, double value) const {
  if (!m_varMan) return 1;
  return m_varMan->setValueAt(entryIndex(i), value);
}

int EqnRowBase::putStart(const std::string& name, double value) const {
  if (!std::isfinite(value)) return 0;
  return setVarValue(name, value);
}

int EqnRowBase::putStart(const VarRef& var, double value) const {
  if (!std::isfinite(value)) return 0;
  return setVarValue(var, value);
}

int EqnRowBase::putStartAt(std::size_t i, double value) const {
  if (!std::isfinite(value)) return 0;
  return setVarValueAt(i, value);
}

int EqnRowBase::writeResidual(OneBased<double> residuals, double value) const {
  residuals.at(eqnNumber()) = value;
  return 0;
}

void EqnRowBase::zeroOwnRange(OneBased<double> values) const {
  if (!patterned() || m_nzCount <= 0) return;
  const long long first = nzNumber(0);
  const long long last = first + m_nzCount - 1;
  // Zeroed from the first non-zero up to the first one outside the vector,
  // which raises the vector's range error.
  if (first < 1) values.at(static_cast<int>(first));
  const long long end = std::min<long long>(last, values.count());
  if (end >= first) std::fill(values.data() + (first - 1), values.data() + end, 0.0);
  if (last > values.count()) values.at(static_cast<int>(std::max<long long>(first, values.count() + 1LL)));
}

bool EqnRowBase::ownRangeFinite(OneBased<double> values) const {
  if (!patterned() || m_nzCount <= 0) return true;
  // The non-zeros that lie in the vector.
  const long long first = std::max<long long>(nzNumber(0), 1);
  const long long last = std::min<long long>(static_cast<long long>(nzNumber(0)) + m_nzCount - 1, values.count());
  const double* data = values.data();
  for (long long nz = first; nz <= last; ++nz)
    if (!std::isfinite(data[nz - 1])) return false;
  return true;
}

bool EqnRowBase::residualFinite(OneBased<double> residuals) const {
  const int number = eqnNumber();
  return !residuals.contains(number) || std::isfinite(residuals[number]);
}
