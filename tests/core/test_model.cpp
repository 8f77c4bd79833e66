#include "tests/core/test_model.h"

#include "core/hook_guard.h"

namespace {

enum class Cat { Input, Output, Factor, Molar, Volume, Constant, Calc };

struct Row {
  const char* name;
  const char* baseUnit;
  const char* dispUnit;
  Cat cat;
  double value;  // starting value
};

const Row kCatalogue[] = {
    {"FEEDMASS", "KG/HR", "TONNE/DAY", Cat::Input, 100000.0}, {"FEEDSUL", "FRACTION", "FRACTION", Cat::Input, 0.02},
    {"RXTEMP", "F", "F", Cat::Input, 900.0},                   {"C3FRAC", "FRACTION", "FRACTION", Cat::Output, 0.1},
    {"COKEFRAC", "FRACTION", "FRACTION", Cat::Output, 0.3},    {"MASSFACTOR", "UNITLESS", "UNITLESS", Cat::Factor, 1.0},
    {"C1MOLE", "KMOL/HR", "MMSCFD", Cat::Molar, 10.0},         {"FEEDVOL", "CUM/HR", "KBBL/DAY", Cat::Volume, 110.0},
    {"LCNVOL", "CUM/HR", "KBBL/DAY", Cat::Volume, 20.0},       {"SULFACTOR", "UNITLESS", "UNITLESS", Cat::Constant, 1.0},
    {"C3MASS", "KG/HR", "TONNE/DAY", Cat::Calc, 5000.0},       {"LCNMASS", "KG/HR", "TONNE/DAY", Cat::Calc, 15000.0},
    {"LCNSULMASS", "KG/HR", "TONNE/DAY", Cat::Calc, 30.0},     {"LCNMASSRATIO", "UNITLESS", "UNITLESS", Cat::Calc, 0.15},
    {"LCNSUL", "FRACTION", "FRACTION", Cat::Calc, 0.002},      {"LCNSULPPM", "PPM", "PPM", Cat::Calc, 20.0},
};

}  // namespace

testmodel::testmodel(const char* name, std::string kind, TestShape shape) : robase(name), m_shape(std::move(shape)) {
  m_modelKind = std::move(kind);
}

void testmodel::createROMVariables() {
  ROMVarMap* maps[] = {&m_inputVars, &m_nnOutputVars, &m_factorVars, &m_molarVars,
                       &m_volumeVars, &m_constVars, &m_calcVars};
  for (const Row& row : kCatalogue) {
    if ((row.cat == Cat::Output && !m_shape.withOutputs) || (row.cat == Cat::Volume && !m_shape.withFeedVol &&
                                                             std::string(row.name) == "FEEDVOL"))
      continue;
    addVar(*maps[static_cast<int>(row.cat)], row.name, row.baseUnit, row.dispUnit, -1e30, 1e30);
  }
  for (const std::string& extra : m_shape.extraInputs) addVar(m_inputVars, extra, "UNITLESS", "UNITLESS", -1e30, 1e30);
  for (auto& output : m_nnOutputVars)
    for (const auto& input : m_inputVars) output.second->derivs[input.first] = 0.0;
}

void testmodel::createROMEquations() {
  for (const auto& output : m_nnOutputVars) addEqn(m_adjEqns, "Y_" + output.first);
  sulPpm = std::make_unique<ROMEqn>("EQN_LCNSULPPM", m_eqnCounter++);
}

ROMVar* testmodel::var(const std::string& name) const {
  for (const ROMVarMap* m : {&m_inputVars, &m_nnOutputVars, &m_factorVars, &m_molarVars, &m_volumeVars, &m_constVars,
                             &m_calcVars})
    if (m->count(name)) return m->at(name);
  return nullptr;
}

void testmodel::createPELMOEquations(long long& status) {
  status = 0;
  long long st = 0;
  for (const auto& eqn : m_adjEqns) {
    createPELMOEquation(eqn.second, st);
    if (st != 0) status = 1;
  }
  createPELMOEquation(sulPpm.get(), st);
  if (st != 0) status = 1;
}

void testmodel::setPELMOVarValues(long long& status) {
  status = 0;
  long long st = 0;
  for (const Row& row : kCatalogue) {
    if (ROMVar* v = var(row.name)) setPELMOVarValue(v, row.value, st);
    if (st != 0) status = 1;
  }
}

void testmodel::user_pat(rt_jac_t* jac, long long& status) {
  status = 0;
  guardHook(status, [&] {
    m_nzCounter = 0;
    pat_NNAdjustment(jac, status);
    pat_SulPPM(sulPpm.get(), jac, status);
    m_lastNz = nzNumber(m_nzCounter);
  });
}

void testmodel::user_res(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if ((status = runAllNN()) != 0) return;
    res_NNAdjustment(status);
    res_SulPPM(sulPpm.get(), status);
  });
  flagNonFiniteResiduals(status);
}

void testmodel::user_jac(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    if ((status = runAllNN()) != 0) return;
    jac_NNAdjustment(status);
    jac_SulPPM(sulPpm.get(), status);
  });
  flagNonFiniteJacobian(status);
}

long long prepareAndPattern(testmodel& block, const Framework& fw) {
  block.prepare();
  if (const long long status = fw.setUp(block); status != 0) return status;
  long long status = 0;
  block.user_pat(fw.jac, status);
  return status;
}

void writeTestNetworks(const NetworkRoot& nets) {
  nets.write("COKER", "C3FRAC", affineNetwork("C3FRAC", {{"FEEDSUL", kC3Sul}, {"RXTEMP", kC3Temp}}, kC3Bias));
  nets.write("COKER", "COKEFRAC", affineNetwork("COKEFRAC", {{"FEEDSUL", kCokeSul}}, kCokeBias));
}
