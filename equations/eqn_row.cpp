#include "equations/eqn_row.h"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "core/helpers.h"

EqnRowBase::EqnRowBase(std::string name, EqnContext context) : ROMEqn(std::move(name), 0), m_context(context) {
  firstNz = -1;
}

EqnRowBase::~EqnRowBase() = default;

int EqnRowBase::eqnNumber() const {
  if (!m_blockEqn) throw std::logic_error("equation object outside a block");
  return *m_blockEqn + index - 1;
}

int EqnRowBase::nzNumber(int local) const {
  if (!m_blockNz) throw std::logic_error("equation object outside a block");
  return *m_blockNz + firstNz - 1 + local;
}

const ROMAttrMap& EqnRowBase::attributes() const {
  const ROMAttrMap* map = attributeMap();
  if (!map) throw std::logic_error("equation object without the block's attribute map");
  return *map;
}

const VarMan& EqnRowBase::manager() const {
  if (!m_varMan) throw std::logic_error("equation object without a variable manager");
  return *m_varMan;
}

const ROMVar& EqnRowBase::entryRecord(std::size_t i) const {
  const VarMan& vm = manager();
  if (m_entryStamp != vm.stamp() || m_entryRecords.size() != m_varNames.size()) {
    m_entryRecords.assign(m_varNames.size(), nullptr);
    m_entryStamp = vm.stamp();
  }
  const ROMVar*& record = m_entryRecords.at(i);
  if (!record) record = &vm.var(m_varNames[i]);
  return *record;
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

const std::vector<std::size_t>& EqnRowBase::entryGroups() const {
  const std::size_t n = m_varNames.size();
  if (m_entryGroups.size() != n) {
    m_entryGroups.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      std::size_t last = i;
      for (std::size_t j = i + 1; j < n; ++j)
        if (m_varNames[j] == m_varNames[i]) last = j;
      m_entryGroups[i] = last;
    }
  }
  return m_entryGroups;
}

int EqnRowBase::pat(rt_jac_t* jac, int nzStart) {
  if (!m_varMan) throw std::logic_error("equation object without a variable manager");
  firstNz = nzStart;
  m_localNz.clear();
  m_nzCount = 0;
  m_refusedNz = 0;
  m_patternWhole = false;
  const int row = eqnNumber();
  for (std::size_t i = 0; i < m_varNames.size(); ++i) {
    const std::string& name = m_varNames[i];
    const int local = static_cast<int>(i);
    const int column = m_varMan->numberOf(entryRecord(i));
    const int nz = nzNumber(local);
    m_localNz[name] = local;
    if (!registerNonZero(jac, nz, row, column)) ++m_refusedNz;
    m_nzCount = local + 1;
  }
  entryGroups();
  m_patternWhole = true;
  return m_nzCount;
}

int EqnRowBase::setJacValue(OneBased<double> values, const std::string& name, double value) const {
  if (firstNz <= 0) return 1;
  const int local = at_or_throw(m_localNz, name);
  values.at(nzNumber(local)) = value;
  return 0;
}

int EqnRowBase::setJacAt(OneBased<double> values, std::size_t i, double value) const {
  if (firstNz <= 0) return 1;
  // After a pattern pass that stopped part-way, by name as the pattern left it.
  if (!m_patternWhole || static_cast<std::size_t>(m_nzCount) != m_varNames.size())
    return setJacValue(values, m_varNames.at(i), value);
  values.at(nzNumber(static_cast<int>(entryGroups()[i]))) = value;
  return 0;
}

double EqnRowBase::getValue(const std::string& name) const { return manager().getValue(name); }

double EqnRowBase::getValue(const VarRef& var) const { return manager().valueOf(record(var)); }

double EqnRowBase::valueAt(std::size_t i) const { return manager().valueOf(entryRecord(i)); }

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
  return m_varMan->setValueOf(entryRecord(i), value);
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
  if (!patterned()) return;
  for (int local = 0; local < m_nzCount; ++local) values.at(nzNumber(local)) = 0.0;
}

bool EqnRowBase::ownRangeFinite(OneBased<double> values) const {
  if (!patterned()) return true;
  for (int local = 0; local < m_nzCount; ++local) {
    const int nz = nzNumber(local);
    if (values.contains(nz) && !std::isfinite(values[nz])) return false;
  }
  return true;
}

bool EqnRowBase::residualFinite(OneBased<double> residuals) const {
  const int number = eqnNumber();
  return !residuals.contains(number) || std::isfinite(residuals[number]);
}
