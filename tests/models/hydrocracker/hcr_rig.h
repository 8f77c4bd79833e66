// A block's worth of framework around hydrocracker equation objects: the
// lists, a first-generation VarMan, the attribute map behind the block
// context and an HcrEqnMan. The block sits at first variable 101, first
// equation 51, first non-zero 301.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "models/hydrocracker/hcreqn.h"
#include "platform/pelmo.h"

namespace hcr_test {

struct Rig {
  static constexpr int kCap = 2000;
  Rig() { eqns.setUp(&vm, &firstNz, &firstEqn); }
  ~Rig() {
    eqns.clear();
    rtojac_destroy(jacList);
    rtoeqnlst_destroy(eqnList);
    rtovarlst_destroy(varList);
  }
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  // Adds the variable (value 1.0) when it is new; the value by reference.
  double& value(const std::string& name) {
    if (!vm.contains(name)) {
      const int index = static_cast<int>(vm.size()) + 1;
      vm.addVar(name, "UNITLESS", "UNITLESS", index, -1e30, 1e30);
      rtvar_rec_t rec;
      rtovarlst_initialize_var(varList, firstVar + index - 1, &rec, 1);
      vm.attach({rtovarlst_vec_value(varList), kCap}, varList);
      vm.values()[vm.varIndex(name)] = 1.0;
    }
    return vm.values()[vm.varIndex(name)];
  }
  void set(const std::map<std::string, double>& values) {
    for (const auto& [name, v] : values) value(name) = v;
  }
  void attr(const std::string& name, double v) {  // adds or changes a real attribute
    if (!attrs.count(name)) {
      owned.push_back(std::make_unique<ROMAttr>(name, v, static_cast<int>(owned.size())));
      attrs[name] = owned.back().get();
    }
    attrs[name]->value = v;
  }
  EqnContext context() { return &attrPtr; }

  // Registers the object (its variables join at 1.0 when new) and the
  // pattern of every registered object; pattern false leaves it unpatterned.
  template <class T>
  T& add(std::unique_ptr<T> eqn, bool pattern = true) {
    T& ref = *eqn;
    for (const std::string& v : ref.varNames()) value(v);
    eqns.addEquation(std::move(eqn));
    if (pattern) eqns.declarePattern(jacList);
    return ref;
  }

  OneBased<double> res() const { return {rtoeqnlst_vec_residual(eqnList), kCap}; }
  OneBased<double> jac() const { return {rtojac_vec_bj(jacList), kCap}; }
  double residual(const hcreqn& e) const { return res()[e.eqnNumber()]; }
  double entry(const hcreqn& e, const std::string& var) const { return jac()[e.nzNumber(e.localNz().at(var))]; }

  rtvarlst_t* varList = rtovarlst_create(kCap);
  rtattrdict_t* eqnList = rtoeqnlst_create(kCap);
  rt_jac_t* jacList = rtojac_create(kCap);
  int firstVar = 101, firstEqn = 51, firstNz = 301;
  HcrVarMan vm{&firstVar, VarMan::Generation::First};
  ROMAttrMap attrs;
  ROMAttrMap* attrPtr = &attrs;
  std::vector<std::unique_ptr<ROMAttr>> owned;
  HcrEqnMan eqns;
};

}  // namespace hcr_test
