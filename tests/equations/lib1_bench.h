// A bench for single equation objects: each object sits alone in a block of
// its own, every variable it names gets the next framework number, values are
// set and read by name, and the object's residual and Jacobian entries are
// read back by name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "equations/suppliers.h"
#include "tests/support/equation_frame.h"

class EqnBench : public romtest::EquationFrame {
 public:
  void set(const std::string& name, double v) { declare(name) = v; }
  double get(const std::string& name) const { return value(name); }

  // Places the object as its equation manager would, declares what it names
  // and registers its pattern from non-zero 1.
  roeqn2& place(ROEqnSupplier::EqnPtr eqn, bool pattern = true) {
    roeqn2& e = *eqn;
    for (const std::string& n : e.varNames()) declare(n);
    e.setBlockStarts(&firstNz, &firstEqn);
    e.setVarMan(&vm);
    e.setIndex(1);
    if (pattern) e.pat(lists.jac, 1);
    owned.push_back(std::move(eqn));
    return e;
  }

  double residual(roeqn2& e) const {
    e.res(res());
    return res()[e.eqnNumber()];
  }
  double jacobian(const roeqn2& e, const std::string& name) const { return entry(e, name); }

 private:
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
