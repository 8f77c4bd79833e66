// hcrbase: construction and destruction, variables from the description
// sets, framework variables, equations, values and specifications, tuning
// attributes and the network run of one output.
#include "models/hydrocracker/hcrbase.h"

#include <utility>
#include <vector>

#include "core/helpers.h"
#include "equations/nn_equations.h"

hcrbase::hcrbase(const char* name)
    : robase(name),
      m_varMan(&m_firstVar),
      m_attrMapPtr(&m_attributes),
      m_eqnMan() {
  hcrbase::commonConstructor();
}

hcrbase::~hcrbase() {
  // The objects hold the VarMan; they go first, then the variable records.
  // robase's destructor then deletes the attribute records.
  m_eqnMan.clear();
  m_varMan.clear();
}

void hcrbase::commonConstructor() {
  robase::commonConstructor();
  m_varCounter = 1;
  m_attrMapPtr = &m_attributes;
  m_eqnMan.setUp(&m_varMan, &m_firstNz, &m_firstEqn);
}

void hcrbase::prepare() {
  createROMVariables();
  createROMEquations();
  setupAttributes();
}

void hcrbase::populateVarMan(std::set<varinfo> vars) {
  for (const varinfo& v : vars) {
    const int index = m_varCounter++;
    m_varMan.addVariable(v.name, v.baseUnit, v.dispUnit, index, v.lower, v.upper);
  }
}

void hcrbase::initVarManVec() const {
  rtvarlst_t* vars = nullptr;
  rtattrdict_t* eqns = nullptr;
  rt_jac_t* jac = nullptr;
  inq_matrix(vars, eqns, jac);
  m_varMan.attach(valueView(), vars);
}

int hcrbase::setPELMOVarValue(ROMVar* var, double value) {
  long long status = 0;
  robase::setPELMOVarValue(var, value, status);  // refuses a missing list and a non-finite value
  return status == 0 ? 0 : 1;
}

void hcrbase::createPELMOVariables(long long& status) {
  bool failed = false;
  for (const auto& entry : m_varMan.records()) {
    if (!m_varMan.createsFrameworkVariable(entry.first)) continue;
    long long st = 0;
    createPELMOVariable(entry.second.get(), st);
    if (st != 0) failed = true;  // the walk goes on; one failure stays a failure
  }
  if (failed && status == 0) status = 1;
}

void hcrbase::createPELMOEquations(long long& status) {
  status = 0;
  bool failed = false;
  for (const auto& entry : m_eqnMan.objects()) {
    long long st = 0;
    createPELMOEquation(entry.second.get(), st);
    if (st != 0) failed = true;
  }
  status = failed ? 1 : 0;
}

void hcrbase::setPELMOVarValues(long long& status) { status = 0; }

void hcrbase::setPELMOVarSpecs(long long& status) {
  status = 0;
  bool failed = false;
  auto fix = [&](const std::string& name) {
    if (m_varMan.setVarSpec(name, "CONST") != 0) failed = true;
  };
  for (const varinfo& v : constSet) fix(v.name);
  for (const varinfo& v : inputSet) {
    // On a volume HL basis the feed is specified by its volume flow.
    fix(v.name == "FEEDMASS" && m_hlBasis == BASIS_VOLUME ? std::string("FEEDVOL") : v.name);
  }
  status = failed ? 1 : 0;
}

void hcrbase::setupAttributes() {
  int number = static_cast<int>(m_attributes.size());
  for (const varinfo& y : nnOutputSet) {
    // The description text is not kept; the rows belong to "Y_" + y.
    putRecord(m_attributes, new ROMAttr("ALPHA_" + y.name, 0, "Y_" + y.name, 1.0, number++));
    putRecord(m_attributes, new ROMAttr("BETA_" + y.name, 0, "Y_" + y.name, 0.0, number++));
    for (const varinfo& x : inputSet)
      putRecord(m_attributes, new ROMAttr("GAMMA_" + y.name + "_" + x.name, 0, "Y_" + y.name, 0.0, number++));
  }
}

int hcrbase::runAllNN() const {
  for (const varinfo& y : nnOutputSet) {
    const int status = runNN(y.name);
    if (status != 0) return status;  // the later outputs keep their predictions
  }
  return 0;
}

int hcrbase::runNN(std::string output) const {
  if (nnOutputSet.count(varinfo(output, "", 0.0, 0.0)) == 0) throw std::out_of_range(kInvalidMapKey);
  ROMVar& record = m_varMan.var(output);
  initVarManVec();
  std::vector<std::string> names;
  std::vector<double> values;
  for (const varinfo& x : inputSet) {
    names.push_back(x.name);
    values.push_back(m_varMan.valueOf(x.name));
  }
  ROEqnSupplier::NetworkRunner runner(m_modelKind, output, names);
  double prediction = 0.0;
  std::vector<double> derivs;
  const int status = runner.run(values, true, prediction, derivs);
  if (status != 0) return status;
  record.value = prediction;
  for (std::size_t i = 0; i < names.size(); ++i) record.derivs[names[i]] = derivs[i];
  return 0;
}
