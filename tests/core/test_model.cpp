#include "tests/core/test_model.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/hook_guard.h"
#include "platform/diveduded/DIVeduded.h"

const std::vector<TestVarRow> kTestCatalogue = {
    {"FEEDMASS", "KG/HR", "TONNE/DAY", TestCat::Input, 100000.0},
    {"FEEDSUL", "FRACTION", "FRACTION", TestCat::Input, 0.02},
    {"RXTEMP", "F", "F", TestCat::Input, 900.0},
    {"C3FRAC", "FRACTION", "FRACTION", TestCat::Output, 0.1},
    {"COKEFRAC", "FRACTION", "FRACTION", TestCat::Output, 0.3},
    {"MASSFACTOR", "UNITLESS", "UNITLESS", TestCat::Factor, 1.0},
    {"C1MOLE", "KMOL/HR", "MMSCFD", TestCat::Molar, 10.0},
    {"FEEDVOL", "CUM/HR", "KBBL/DAY", TestCat::Volume, 110.0},
    {"LCNVOL", "CUM/HR", "KBBL/DAY", TestCat::Volume, 20.0},
    {"SULFACTOR", "UNITLESS", "UNITLESS", TestCat::Constant, 1.0},
    {"C3MASS", "KG/HR", "TONNE/DAY", TestCat::Calc, 5000.0},
    {"LCNMASS", "KG/HR", "TONNE/DAY", TestCat::Calc, 15000.0},
    {"LCNSULMASS", "KG/HR", "TONNE/DAY", TestCat::Calc, 30.0},
    {"LCNMASSRATIO", "UNITLESS", "UNITLESS", TestCat::Calc, 0.15},
    {"LCNSUL", "FRACTION", "FRACTION", TestCat::Calc, 0.002},
    {"LCNSULPPM", "PPM", "PPM", TestCat::Calc, 20.0},
};

testmodel::testmodel(const char* name, std::string kind, TestShape shape) : robase(name), m_shape(std::move(shape)) {
  m_modelKind = std::move(kind);
}

testmodel::~testmodel() { commonDestructor(); }

ROMVarMap& testmodel::mapOf(TestCat cat) {
  switch (cat) {
    case TestCat::Input: return m_inputVars;
    case TestCat::Output: return m_nnOutputVars;
    case TestCat::Factor: return m_factorVars;
    case TestCat::Molar: return m_molarVars;
    case TestCat::Volume: return m_volumeVars;
    case TestCat::Constant: return m_constVars;
    case TestCat::Calc: return m_calcVars;
  }
  throw std::logic_error("category");
}

void testmodel::createROMVariables() {
  for (const TestVarRow& row : kTestCatalogue) {
    if (row.cat == TestCat::Output && !m_shape.withOutputs) continue;
    if (std::string(row.name) == "FEEDVOL" && !m_shape.withFeedVol) continue;
    addVar(mapOf(row.cat), row.name, row.baseUnit, row.dispUnit, -1e30, 1e30);
  }
  for (const std::string& extra : m_shape.extraInputs) addVar(m_inputVars, extra, "UNITLESS", "UNITLESS", -1e30, 1e30);
  // Every network output carries a derivative entry for every model input.
  for (auto& output : m_nnOutputVars)
    for (const auto& input : m_inputVars) output.second->derivs[input.first] = 0.0;
}

void testmodel::createROMEquations() {
  for (const auto& output : m_nnOutputVars) addEqn(m_adjEqns, "Y_" + output.first);
  m_sulPpm = std::make_unique<ROMEqn>("EQN_LCNSULPPM", m_eqnCounter++);
}

ROMVar* testmodel::var(const std::string& name) const {
  for (const ROMVarMap* m : {&m_inputVars, &m_nnOutputVars, &m_factorVars, &m_molarVars, &m_volumeVars, &m_constVars,
                             &m_calcVars}) {
    const auto it = m->find(name);
    if (it != m->end()) return it->second;
  }
  return nullptr;
}

void testmodel::createPELMOEquations(long long& status) {
  status = 0;
  for (const auto& eqn : m_adjEqns) {
    long long st = 0;
    createPELMOEquation(eqn.second, st);
    if (st != 0) status = 1;
  }
  long long st = 0;
  createPELMOEquation(m_sulPpm.get(), st);
  if (st != 0) status = 1;
}

void testmodel::setPELMOVarValues(long long& status) {
  status = 0;
  for (const TestVarRow& row : kTestCatalogue) {
    if (ROMVar* v = var(row.name)) {
      long long st = 0;
      setPELMOVarValue(v, row.value, st);
      if (st != 0) status = 1;
    }
  }
}

void testmodel::init(long long& status) const {
  status = 0;
  guardHook(status, [&] { status = runAllNN(); });
}

void testmodel::user_pat(rt_jac_t* jac, long long& status) {
  status = 0;
  guardHook(status, [&] {
    m_nzCounter = 0;
    pat_NNAdjustment(jac, status);
    pat_SulPPM(m_sulPpm.get(), jac, status);
    m_lastNz = nzNumber(m_nzCounter);
  });
}

void testmodel::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;
      return;
    }
    res_NNAdjustment(status);
    res_SulPPM(m_sulPpm.get(), status);
  });
  flagNonFiniteResiduals(status);
}

void testmodel::user_jac(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;
      return;
    }
    jac_NNAdjustment(status);
    jac_SulPPM(m_sulPpm.get(), status);
  });
  flagNonFiniteJacobian(status);
}

// ---- Framework ---------------------------------------------------------------

Framework::Framework() : vars(rtovarlst_create(400)), eqns(rtoeqnlst_create(300)), jac(rtojac_create(2000)) {}

Framework::~Framework() {
  rtojac_destroy(jac);
  rtoeqnlst_destroy(eqns);
  rtovarlst_destroy(vars);
}

void Framework::attach(QivEOBlockImpl& block) const {
  block.setPositions(kFirstVar, kFirstEqn, kFirstNz);
  block.attachMatrix(vars, eqns, jac);
}

long long Framework::setUp(QivEOBlockImpl& block) const {
  int nvar = 0, neqn = 0, nnz = 0;
  long long status = 0;
  block.user_dim(nvar, neqn, nnz, status);
  attach(block);
  status = 0;
  block.user_ini(status);
  return status;
}

// ---- NetworkRoot ---------------------------------------------------------------

NetworkRoot::NetworkRoot() {
  char pattern[] = "/tmp/romcore-nets.XXXXXX";
  if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp");
  m_path = pattern;
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", m_path.c_str());
  DIVeduded::ClearCache();
}

NetworkRoot::~NetworkRoot() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
  pelmo_registry_clear();
  DIVeduded::ClearCache();
}

void NetworkRoot::write(const std::string& kind, const std::string& output, const std::string& text) const {
  const std::filesystem::path dir = std::filesystem::path(m_path) / kind;
  std::filesystem::create_directories(dir);
  std::ofstream(dir / (kind + "_" + output + ".zkr")) << text;
  DIVeduded::ClearCache();
}

std::string NetworkRoot::affine(const std::string& output, const std::vector<std::pair<std::string, double>>& terms,
                                double bias) {
  std::ostringstream out;
  out.precision(17);
  out << "ZKR 1\nOUTPUT " << output << "\nINPUTS " << terms.size() << "\n";
  for (const auto& term : terms) out << "INPUT " << term.first << " 0 1\n";
  out << "OUTPUTSCALE 0 1\nLAYERS 1\nLAYER 1 LINEAR\nW";
  for (const auto& term : terms) out << " " << term.second;
  out << "\nB " << bias << "\nEND\n";
  return out.str();
}

void NetworkRoot::writeTestNetworks(const std::string& kind) const {
  write(kind, "C3FRAC", affine("C3FRAC", {{"FEEDSUL", kC3Sul}, {"RXTEMP", kC3Temp}}, kC3Bias));
  write(kind, "COKEFRAC", affine("COKEFRAC", {{"FEEDSUL", kCokeSul}}, kCokeBias));
}
