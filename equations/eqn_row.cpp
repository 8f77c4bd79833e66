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

int EqnRowBase::pat(rt_jac_t* jac, int nzStart) {
  if (!m_varMan) throw std::logic_error("equation object without a variable manager");
  firstNz = nzStart;
  m_localNz.clear();
  m_nzCount = 0;
  m_refusedNz = 0;
  const int row = eqnNumber();
  for (std::size_t i = 0; i < m_varNames.size(); ++i) {
    const std::string& name = m_varNames[i];
    const int local = static_cast<int>(i);
    const int column = m_varMan->varIndex(name);
    const int nz = nzNumber(local);
    m_localNz[name] = local;
    if (!registerNonZero(jac, nz, row, column)) ++m_refusedNz;
    m_nzCount = local + 1;
  }
  return m_nzCount;
}

int EqnRowBase::setJacValue(OneBased<double> values, const std::string& name, double value) const {
  if (firstNz <= 0) return 1;
  const int local = at_or_throw(m_localNz, name);
  values.at(nzNumber(local)) = value;
  return 0;
}

double EqnRowBase::getValue(const std::string& name) const {
  if (!m_varMan) throw std::logic_error("equation object without a variable manager");
  return m_varMan->getValue(name);
}

int EqnRowBase::setVarValue(const std::string& name, double value) const {
  if (!m_varMan) return 1;
  return m_varMan->setValue(name, value);
}

int EqnRowBase::putStart(const std::string& name, double value) const {
  if (!std::isfinite(value)) return 0;
  return setVarValue(name, value);
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
