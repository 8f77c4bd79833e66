// robase2: construction and destruction, variables from the category sets,
// framework variables, equations, values and specifications, attributes and
// the block description.
#include "core/robase2.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "core/object_passes.h"

robase2::robase2(const char* name, VerInfo version)
    : robase(name),
      m_varMan(&m_firstVar),
      m_attrMapPtr(&m_attributes),
      m_eqnMan(&m_varMan, &m_firstNz, &m_firstEqn),
      m_version(version) {
  robase2::commonConstructor();
}

robase2::~robase2() {
  // The objects hold the VarMan; they go first, then the variable records.
  // robase's destructor then deletes the attribute records.
  m_eqnMan.clear();
  m_varMan.clear();
}

void robase2::commonConstructor() {
  robase::commonConstructor();
  m_nextVarIndex = 1;
  m_varMan.setFirstVar(&m_firstVar);
  m_attrMapPtr = &m_attributes;
  m_eqnMan.setUp(&m_varMan, &m_firstNz, &m_firstEqn);
}

void robase2::prepare() {
  const ZKDirScope oneRegistryRead;  // every network runner of the block shares the folder
  createROMVariables();
  createROMEquations();
  setupAttributes();
}

void robase2::populateVarMan(const std::set<varinfo2>& vars) {
  for (const varinfo2& v : vars) {
    const int index = m_nextVarIndex++;
    m_varMan.addVar(v.name, v.baseUnit, v.dispUnit, index, v.lower, v.upper);
  }
}

void robase2::initVarManVec() const {
  rtvarlst_t* vars = nullptr;
  rtattrdict_t* eqns = nullptr;
  rt_jac_t* jac = nullptr;
  inq_matrix(vars, eqns, jac);
  m_varMan.attach(valueView(), vars);
}

void robase2::user_dim(int& nvar, int& neqn, int& nnz, long long& status) {
  status = 0;
  guardHook(status, [&] { objectpass::sizes(m_varMan.size(), m_eqnMan.size(), nvar, neqn, nnz); });
}

void robase2::user_ini(long long& status) {
  status = 0;
  guardHook(status, [&] {
    initVarManVec();
    runUserIniSteps(status);
  });
}

void robase2::createPELMOVariables(long long& status) {
  status = 0;
  bool failed = false;
  for (const auto& entry : m_varMan.records()) {
    if (!m_varMan.createsFrameworkVariable(entry.first)) continue;
    long long st = 0;
    createPELMOVariable(entry.second.get(), st);
    if (st != 0) failed = true;  // the walk goes on; one failure stays a failure
  }
  status = failed ? 1 : 0;
}

void robase2::createPELMOEquations(long long& status) {
  status = 0;
  bool failed = false;
  for (const auto& entry : m_eqnMan.objects()) {
    long long st = 0;
    createPELMOEquation(entry.second.get(), st);
    if (st != 0) failed = true;
  }
  status = failed ? 1 : 0;
}

int robase2::setPELMOVarValue(ROMVar* var, double value) {
  long long status = 0;
  robase::setPELMOVarValue(var, value, status);  // refuses a missing list and a non-finite value
  return status == 0 ? 0 : 1;
}

void robase2::setPELMOVarValues(long long& status) { status = 0; }

int robase2::writeConstants(std::span<const ConstantValue> constants) {
  int status = 0;
  for (const ConstantValue& c : constants)
    if (setPELMOVarValue(varRecord(c.name), c.value) != 0) status = 1;
  return status;
}

void robase2::setPELMOVarSpecs(long long& status) {
  status = 0;
  bool failed = false;
  auto fix = [&](const std::string& name) {
    long long st = 0;
    setPELMOVarSpec(varRecord(name), "CONST", st);
    if (st != 0) failed = true;
  };
  for (const varinfo2& v : constSet) fix(v.name);
  for (const varinfo2& v : inputSet) {
    // On a volume HL basis the feed is specified by its volume flow.
    fix(v.name == "FEEDMASS" && m_hlBasis == BASIS_VOLUME ? std::string("FEEDVOL") : v.name);
  }
  status = failed ? 1 : 0;
}

void robase2::setupAttributes() {
  std::set<std::string> inputs;
  for (const varinfo2& v : inputSet) inputs.insert(v.name);
  std::size_t outputNameLength = 0;
  for (const varinfo2& y : nnOutputSet) outputNameLength += y.name.size();
  reserveNNAttributes(*m_attrMapPtr, nnOutputSet.size(), outputNameLength, inputs);
  for (const varinfo2& y : nnOutputSet) setupNNAttributes(*m_attrMapPtr, y.name, inputs);
}

void robase2::inq_attr(qiv_blk_t& desc) const {
  robase::inq_attr(desc);
  try {
    const std::string base(desc.options, strnlen(desc.options, sizeof desc.options));
    if (base.empty()) return;  // robase could not describe the block
    copyBounded(desc.options, sizeof desc.options, base + ", VERSION:" + versionText(m_version));
  } catch (...) {
    desc.options[0] = '\0';
  }
}
