// A bench for single equation objects: each object sits alone in a block of
// its own, every variable it names gets the next framework number, values are
// set and read by name, and the object's residual and Jacobian entries are
// read back by name.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/varman.h"
#include "equations/suppliers.h"
#include "tests/core/framework_lists.h"

class EqnBench {
 public:
  EqnBench() : vm(&firstVar) { attachVectors(); }

  void declare(const std::string& name) {
    if (vm.contains(name)) return;
    vm.addVar(name, "UNITLESS", "UNITLESS", next, -1e30, 1e30);
    rtvar_rec_t rec;
    rtovarlst_initialize_var(fw.vars, firstVar + next - 1, &rec, 1);
    ++next;
  }
  void set(const std::string& name, double v) {
    declare(name);
    fw.values()[vm.varIndex(name)] = v;
  }
  double get(const std::string& name) const { return fw.values()[vm.varIndex(name)]; }
  void attr(const std::string& name, double v) {
    attrRecords.push_back(std::make_unique<ROMAttr>(name, v, static_cast<int>(attrRecords.size()) + 1));
    attrs[name] = attrRecords.back().get();
  }

  // Places the object as its equation manager would, declares what it names
  // and registers its pattern from non-zero 1.
  roeqn2& place(ROEqnSupplier::EqnPtr eqn, bool pattern = true) {
    roeqn2& e = *eqn;
    for (const std::string& n : e.varNames()) declare(n);
    e.setBlockStarts(&firstNz, &firstEqn);
    e.setVarMan(&vm);
    e.setIndex(1);
    if (pattern) e.pat(fw.jac, 1);
    owned.push_back(std::move(eqn));
    return e;
  }

  OneBased<double> resView() const { return fw.residuals(); }
  OneBased<double> jacView() const { return fw.jacobian(); }
  double residual(roeqn2& e) const {
    e.res(resView());
    return resView()[e.eqnNumber()];
  }
  double jacobian(const roeqn2& e, const std::string& name) const {
    return jacView()[e.nzNumber(e.localNz().at(name))];
  }

  FrameworkLists fw;
  int firstVar = FrameworkLists::kFirstVar;
  int firstEqn = FrameworkLists::kFirstEqn;
  int firstNz = FrameworkLists::kFirstNz;
  VarMan vm;
  ROMAttrMap attrs;
  ROMAttrMap* attrHolder = &attrs;
  EqnContext context() { return &attrHolder; }

 private:
  void attachVectors() { vm.attach(fw.values(), fw.vars); }
  int next = 1;
  std::vector<std::unique_ptr<ROMAttr>> attrRecords;
  std::vector<ROEqnSupplier::EqnPtr> owned;
};

// The coker-like balance spec: feed, H2S closing the sulfur balance with its
// fixed sulfur share, six light streams without sulfur, five products.
inline ROEqnSupplier::ReactionSpec cokerLikeSpec() {
  ROEqnSupplier::ReactionSpec spec;
  spec.streams = {"FEED", "H2S", "FGS", "C3", "C32", "IC4", "NC4", "UC4", "LCN", "HCN", "LGO", "HGO", "COK"};
  spec.inletStreams = {"FEED"};
  spec.compSuffix = "SUL";
  spec.inlineCompFracs = {{"H2S", 0.9408501188936436}, {"FGS", 0}, {"C3", 0},  {"C32", 0},
                          {"IC4", 0},                   {"NC4", 0}, {"UC4", 0}};
  spec.feedStream = "FEED";
  spec.secondStream = "H2S";
  return spec;
}
