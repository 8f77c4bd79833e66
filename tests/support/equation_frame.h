// A block's worth of framework around equation objects made outside a block:
// the lists at first positions 101 / 51 / 301, a variable manager whose
// variables are unitless and unbounded, each at the next number, and the
// attribute map behind the block context.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/varman.h"
#include "equations/eqn_row.h"
#include "tests/support/framework_lists.h"

namespace romtest {

class EquationFrame {
 public:
  explicit EquationFrame(VarMan::Generation generation = VarMan::Generation::Second);
  EquationFrame(const EquationFrame&) = delete;
  EquationFrame& operator=(const EquationFrame&) = delete;

  // Registers the variable at the next number when it is new (its value then
  // is what the list holds); the value either way.
  double& declare(const std::string& name);
  double& value(const std::string& name) const;  // throws for a name never declared
  void attr(const std::string& name, double value);  // adds or changes a real attribute
  EqnContext context() { return &attrView_; }

  OneBased<double> res() const { return lists.residuals(); }
  OneBased<double> jac() const { return lists.jacobian(); }
  // An object's residual, and its Jacobian entry of a variable, by number.
  template <class Eqn>
  double& residual(const Eqn& e) const {
    return res()[e.eqnNumber()];
  }
  template <class Eqn>
  double entry(const Eqn& e, const std::string& var) const {
    return jac()[e.nzNumber(e.localNz().at(var))];
  }

  FrameworkLists lists;
  int firstVar = FrameworkLists::kFirstVar, firstEqn = FrameworkLists::kFirstEqn, firstNz = FrameworkLists::kFirstNz;
  VarMan vm;
  ROMAttrMap attrs;

 private:
  ROMAttrMap* attrView_ = &attrs;
  std::vector<std::unique_ptr<ROMAttr>> ownedAttrs_;
};

}  // namespace romtest
