// A block's worth of framework around hydrocracker equation objects: the
// lists, a first-generation VarMan, the attribute map behind the block
// context and an HcrEqnMan. The block sits at first variable 101, first
// equation 51, first non-zero 301.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "models/hydrocracker/hcreqn.h"
#include "tests/support/equation_frame.h"

namespace hcr_test {

struct Rig : romtest::EquationFrame {
  Rig() : EquationFrame(VarMan::Generation::First) { eqns.setUp(&vm, &firstNz, &firstEqn); }
  ~Rig() { eqns.clear(); }

  // Adds the variable (value 1.0) when it is new; the value by reference.
  double& value(const std::string& name) {
    if (!vm.contains(name)) declare(name) = 1.0;
    return EquationFrame::value(name);
  }
  void set(const std::map<std::string, double>& values) {
    for (const auto& [name, v] : values) value(name) = v;
  }

  // Registers the object (its variables join at 1.0 when new) and the
  // pattern of every registered object; pattern false leaves it unpatterned.
  template <class T>
  T& add(std::unique_ptr<T> eqn, bool pattern = true) {
    T& ref = *eqn;
    for (const std::string& v : ref.varNames()) value(v);
    eqns.addEquation(std::move(eqn));
    if (pattern) eqns.declarePattern(lists.jac);
    return ref;
  }

  HcrEqnMan eqns;
};

}  // namespace hcr_test
