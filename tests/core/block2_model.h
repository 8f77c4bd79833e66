// A small second-generation block for the tests of robase2: its five category
// sets come from the test (a coker-like catalogue by default), its equation
// objects are FakeEqn objects the test lines up before prepare, and its
// starting values are a name-value table.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/robase2.h"
#include "tests/equations/fake_eqn.h"

class testblock2 : public robase2 {
 public:
  explicit testblock2(const char* name = "B2", VerInfo version = VerInfo{37, 0, 0});

  // The catalogue createROMVariables installs, handed to populateVarMan in
  // the order inputs, outputs, calculated, factors, constants.
  std::set<varinfo2> inputs, outputs, calcs, factors, constants;
  // Starting values written by setPELMOVarValues.
  std::map<std::string, double> startValues;

  // Lines up an object for createROMEquations (added in the order lined up).
  FakeEqn& line(const std::string& name, std::vector<std::string> vars, std::vector<double> coefs = {});
  FakeEqn::Log log;  // calls of every lined-up object
  int alive = 0;     // lined-up objects not yet deleted
  int* aliveCounter = &alive;  // where line() counts them (a test may count beyond the block's life)

  void createROMVariables() override;
  void createROMEquations() override;
  void setPELMOVarValues(long long& status) override;

  // Framework number of a variable.
  int number(const std::string& name) const { return m_varMan.varIndex(name); }
  FakeEqn& object(const std::string& name) const;

  using robase2::calcSet;
  using robase2::constSet;
  using robase2::inputSet;
  using robase2::m_attrMapPtr;
  using robase2::m_eqnMan;
  using robase2::m_nextVarIndex;
  using robase2::m_varMan;
  using robase2::nnOutputSet;
  using robase2::varRecord;

 private:
  std::vector<std::unique_ptr<roeqn2>> m_lined;
};

// The default catalogue: a feed with sulfur and temperature, two network
// outputs, calculated flows, the mass factor and two constants (one a cut-off).
void useCokerLikeCatalogue(testblock2& block);
