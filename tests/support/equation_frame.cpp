#include "tests/support/equation_frame.h"

namespace romtest {

EquationFrame::EquationFrame(VarMan::Generation generation) : vm(&firstVar, generation) {
  vm.attach(lists.values(), lists.vars);
}

double& EquationFrame::declare(const std::string& name) {
  if (!vm.contains(name)) {
    const int index = static_cast<int>(vm.size()) + 1;
    vm.addVar(name, "UNITLESS", "UNITLESS", index, -1e30, 1e30);
    rtvar_rec_t rec;
    rtovarlst_initialize_var(lists.vars, firstVar + index - 1, &rec, 1);
    vm.attach(lists.values(), lists.vars);
  }
  return value(name);
}

double& EquationFrame::value(const std::string& name) const { return vm.values()[vm.varIndex(name)]; }

void EquationFrame::attr(const std::string& name, double value) {
  if (!attrs.count(name)) {
    ownedAttrs_.push_back(std::make_unique<ROMAttr>(name, value, static_cast<int>(ownedAttrs_.size())));
    attrs[name] = ownedAttrs_.back().get();
  }
  attrs[name]->value = value;
}

}  // namespace romtest
