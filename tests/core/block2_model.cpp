#include "tests/core/block2_model.h"

#include <stdexcept>

testblock2::testblock2(const char* name, VerInfo version) : robase2(name, version) { m_modelKind = "COKER"; }

FakeEqn& testblock2::line(const std::string& name, std::vector<std::string> vars, std::vector<double> coefs) {
  auto eqn = std::make_unique<FakeEqn>(name, std::move(vars), std::move(coefs), &log, aliveCounter);
  FakeEqn& ref = *eqn;
  m_lined.push_back(std::move(eqn));
  return ref;
}

void testblock2::createROMVariables() {
  inputSet = inputs;
  nnOutputSet = outputs;
  calcSet = calcs;
  factorSet = factors;
  constSet = constants;
  populateVarMan(inputSet);
  populateVarMan(nnOutputSet);
  populateVarMan(calcSet);
  populateVarMan(factorSet);
  populateVarMan(constSet);
}

void testblock2::createROMEquations() {
  for (auto& eqn : m_lined) m_eqnMan.addEquation(std::move(eqn));
  m_lined.clear();
}

void testblock2::setPELMOVarValues(long long& status) {
  status = 0;
  for (const auto& [name, value] : startValues)
    if (setPELMOVarValue(varRecord(name), value) != 0) status = 1;
}

FakeEqn& testblock2::object(const std::string& name) const {
  auto* eqn = dynamic_cast<FakeEqn*>(m_eqnMan.find(name));
  if (!eqn) throw std::logic_error("no such object: " + name);
  return *eqn;
}

void useCokerLikeCatalogue(testblock2& block) {
  block.inputs = {{"FEEDMASS", "KG/HR", "TONNE/DAY", 0, 1e6}, {"FEEDSUL", "PERCENT", 0, 10}, {"RXTEMP", "F", 700, 1000}};
  block.outputs = {{"C3FRAC", "FRACTION", -1, 1}, {"COKFRAC", "FRACTION", -1, 1}};
  block.calcs = {{"C3MASS", "KG/HR", "TONNE/DAY", 0, 1e6},    {"COKMASS", "KG/HR", "TONNE/DAY", 0, 1e6},
                 {"LCNSULMASS", "KG/HR", "TONNE/DAY", 0, 1e6}, {"LCNMASSRATIO", "UNITLESS", 0, 10},
                 {"FEEDVOL", "CUM/HR", "KBBL/DAY", 0, 1e5},     {"LCNSUL", "PERCENT", 0, 10}};
  block.factors = {{"MASSFACTOR", "UNITLESS", 0.5, 2}};
  block.constants = {{"RHOH2O", "KG/CUM", 999, 1001}, {"COKCUTOFF", "UNITLESS", 0, 1}};
  block.startValues = {{"RHOH2O", 1000.0}, {"COKCUTOFF", 1e-19}};
}
