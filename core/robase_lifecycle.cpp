// robase: construction and destruction, preparation, basis settings, the
// block description and the defaults that the model classes replace.
#include <cstring>
#include <memory>
#include <stdexcept>
#include <unordered_set>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "core/robase.h"
#include "core/robase_adjustment.h"
#include "core/robase_networks.h"

robase::robase(const char* name) : QivEOBlockImpl(name) { commonConstructor(); }

robase::~robase() { commonDestructor(); }

void robase::commonConstructor() { m_massBalEqn = nullptr; }

void robase::commonDestructor() {
  // Each record is deleted once, even if a model filed the same record under
  // two tables.
  std::unordered_set<ROMVar*> vars;
  for (ROMVarMap* m : {&m_inputVars, &m_nnOutputVars, &m_factorVars, &m_molarVars, &m_volumeVars, &m_constVars,
                       &m_calcVars}) {
    for (auto& entry : *m) vars.insert(entry.second);
    m->clear();
  }
  for (ROMVar* v : vars) delete v;

  std::unordered_set<ROMEqn*> eqns;
  for (ROMEqnMap* m : {&m_adjEqns, &m_volConvEqns, &m_molConvEqns}) {
    for (auto& entry : *m) eqns.insert(entry.second);
    m->clear();
  }
  eqns.insert(m_massBalEqn);
  m_massBalEqn = nullptr;
  for (ROMEqn* e : eqns) delete e;

  m_attributes.forEachRecord([](ROMAttr* attr) { delete attr; });
  m_attributes.clear();
}

void robase::Destroy() { delete this; }

bool robase::isof_type(const char* type) const {
  if (!type) return false;
  if (std::strcmp(type, "MORVANE") == 0) return true;
  return QivEOBlockImpl::isof_type(type);
}

void robase::prepare() {
  createROMVariables();
  createROMEquations();
  setupAttributes();
  setupIndepMap();
}

void robase::setLEBasis(const char* basis) {
  if (!basis) return;
  const std::string word = toUpper(basis);
  if (word == "MASS" || word == "MOLAR" || word == "VOLUME") m_leBasis = basisCode(word);
}

void robase::setHLBasis(const char* basis) {
  if (!basis) return;
  const std::string word = toUpper(basis);
  // The HL side has no molar basis.
  if (word == "MASS" || word == "VOLUME") m_hlBasis = basisCode(word);
}

void robase::createROMVariables() {}
void robase::createROMEquations() {}

void robase::inq_attr(qiv_blk_t& desc) const {
  QivEOBlockImpl::inq_attr(desc);
  try {
    const std::string text = "SUBID:" + modelfromtpl(m_modelKind) + ", BASIS_HL:" + basisWord(m_hlBasis) +
                             ", BASIS_LE:" + basisWord(m_leBasis);
    copyBounded(desc.options, sizeof desc.options, text);
  } catch (...) {
    desc.options[0] = '\0';
  }
}

std::string robase::modelfromtpl(std::string kind) const {
  std::string subid = "RO";
  for (char c : kind)
    if (c != '_') subid += c;
  return subid;
}

void robase::inq_model_type(char* buf) const {
  if (buf) std::memcpy(buf, "MORVANE", 8);
}

// Defaults: the model classes provide these.
void robase::init(long long& status) const { status = 1; }
void robase::user_ini(long long& status) { status = 1; }
void robase::user_pat(rt_jac_t*, long long& status) { status = 1; }
void robase::user_res(long long& status) const { status = 1; }
void robase::user_jac(long long& status) const { status = 1; }
void robase::pre_solve(long long& status) { status = 1; }
void robase::post_solve(long long& status) { status = 1; }
void robase::createPELMOEquations(long long& status) { status = 1; }
void robase::setPELMOVarValues(long long& status) { status = 1; }

void robase::user_dim(int& nvar, int& neqn, int& nnz, long long& status) {
  nvar = 200;
  neqn = 200;
  nnz = 40000;
  status = 0;
}

void robase::runUserIniSteps(long long& status) noexcept {
  status = 0;
  guardHook(status, [&] {
    using Step = void (robase::*)(long long&);
    static constexpr Step kSteps[] = {&robase::createPELMOVariables, &robase::createPELMOEquations,
                                      &robase::createPELMOPorts, &robase::setPELMOVarValues,
                                      &robase::setPELMOVarSpecs};
    for (Step step : kSteps) {
      long long st = 0;
      (this->*step)(st);
      if (st != 0) {
        status = st;
        return;
      }
    }
  });
}

namespace {
// Files a record under its name; a different record already filed under the
// name is deleted. The record is held until filed, so nothing leaks when the
// map cannot grow.
template <class Map, class Record>
void fileRecord(Map& map, Record* record) {
  if (!record) return;
  std::unique_ptr<Record> hold(record);
  Record*& slot = map[record->name];
  if (slot != record) delete slot;
  slot = hold.release();
}
}  // namespace

void robase::putRecord(ROMVarMap& map, ROMVar* var) { fileRecord(map, var); }
void robase::putRecord(ROMEqnMap& map, ROMEqn* eqn) { fileRecord(map, eqn); }
void robase::putRecord(ROMAttrMap& map, ROMAttr* attr) { fileRecord(map, attr); }

ROMVar* robase::addVar(ROMVarMap& map, const std::string& name, const std::string& baseUnit,
                       const std::string& dispUnit, double lower, double upper) {
  auto* var = new ROMVar(name, baseUnit, dispUnit, m_varCounter++, lower, upper);
  putRecord(map, var);
  return var;
}

ROMEqn* robase::addEqn(ROMEqnMap& map, const std::string& name) {
  auto* eqn = new ROMEqn(name, m_eqnCounter++);
  putRecord(map, eqn);
  return eqn;
}

ROMVarMap& robase::varMap(VarCategory category) {
  switch (category) {
    case VarCategory::Input: return m_inputVars;
    case VarCategory::Output: return m_nnOutputVars;
    case VarCategory::Factor: return m_factorVars;
    case VarCategory::Volume: return m_volumeVars;
    case VarCategory::Molar: return m_molarVars;
    case VarCategory::Const: return m_constVars;
    case VarCategory::Calc: break;
  }
  return m_calcVars;
}

const ROMVarMap& robase::varMap(VarCategory category) const { return const_cast<robase*>(this)->varMap(category); }

void robase::addCatalogue(std::span<const CatalogueRow> rows, const RowFilter& take) {
  for (const CatalogueRow& row : rows)
    if (!take || take(row)) addVar(varMap(row.map), row.name, row.base(), row.dispUnit, row.lower, row.upper);
}

void robase::zeroNetworkDerivatives() {
  // Outer loop outputs, inner loop inputs, both in key order.
  for (auto& output : m_nnOutputVars)
    for (const auto& input : m_inputVars) output.second->derivs[input.first] = 0.0;
}

ROMVar* robase::findVar(VarLookup& lookup) const {
  bool same = lookup.slot != nullptr;
  for (std::size_t c = 0; same && c < kVarCategoryCount; ++c)
    same = lookup.stamps[c] == varMap(static_cast<VarCategory>(c)).stamp();
  if (!same) {
    lookup.slot = nullptr;
    for (std::size_t c = 0; c < kVarCategoryCount && !lookup.slot; ++c) {
      const ROMVarMap& map = varMap(static_cast<VarCategory>(c));
      const auto it = map.find(lookup.name);
      if (it != map.end()) lookup.slot = &it->second;
    }
    if (!lookup.slot) throwMissingKey();
    for (std::size_t c = 0; c < kVarCategoryCount; ++c) lookup.stamps[c] = varMap(static_cast<VarCategory>(c)).stamp();
  }
  return *lookup.slot;
}

ROMVar* robase::findVar(const std::string& name) const {
  for (std::size_t c = 0; c < kVarCategoryCount; ++c) {
    const ROMVarMap& map = varMap(static_cast<VarCategory>(c));
    const auto it = map.find(name);
    if (it != map.end()) return it->second;
  }
  throw std::out_of_range(kInvalidMapKey);
}
