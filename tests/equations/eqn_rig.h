// A block's worth of framework around equation objects made by the suppliers
// (lists, variable manager, attribute map behind the block context, equation
// manager), and a temporary network root named by the registry.
#pragma once

#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/eqnman.h"
#include "equations/suppliers.h"
#include "platform/diveduded/DIVeduded.h"
#include "tests/support/equation_frame.h"
#include "tests/support/networks.h"

namespace eqtest {

struct Tag {  // a network input, normalised in the file as (x - centre) / spread
  std::string name;
  double centre = 0.0, spread = 1.0;
};

class NetRoot : public romtest::NetworkRoot {
 public:
  NetRoot() : NetworkRoot("romeqn2-nets") {}
  ~NetRoot() { DIVeduded::clearFaults(); }

  // With w: y = b + sum_i w_i z_i. Without: y = b + 0.3 tanh(h_1) - 0.2 tanh(h_2),
  // h_j = sum_i +-(0.4 j + 0.1 i) z_i + 0.1 j. z_i = (x_i - centre_i) / spread_i.
  void write(const std::string& kind, const std::string& y, const std::vector<Tag>& tags, double b,
             const std::vector<double>& w = {}) const {
    const bool curved = w.empty();
    std::ostringstream out;
    out.precision(17);
    out << "ZKR 1\nOUTPUT " << y << "\nINPUTS " << tags.size() << "\n";
    for (const Tag& t : tags) out << "INPUT " << t.name << " " << t.centre << " " << 1.0 / t.spread << "\n";
    out << "OUTPUTSCALE 0 1\nLAYERS " << (curved ? "2\nLAYER 2 TANH\nW" : "1\nLAYER 1 LINEAR\nW");
    for (int j = 1; j <= (curved ? 2 : 1); ++j)
      for (std::size_t i = 0; i < tags.size(); ++i)
        out << " " << (curved ? (i % 2 ? -1 : 1) * (0.4 * j + 0.1 * i) : w[i]);
    out << (curved ? "\nB 0.1 0.2\nLAYER 1 LINEAR\nW 0.3 -0.2\nB " : "\nB ") << b << "\nEND\n";
    NetworkRoot::write(kind, y, out.str());
  }
};

// The block sits at first variable 101, first equation 51, first non-zero 301.
struct Rig : romtest::EquationFrame {
  ~Rig() { eqns.clear(); }

  void vars(const std::map<std::string, double>& values) {
    for (const auto& [name, v] : values) declare(name) = v;
  }
  void tuning(const std::string& output, const std::vector<std::string>& inputs) {  // at their defaults
    attr("ALPHA_" + output, 1.0);
    attr("BETA_" + output, 0.0);
    for (const auto& x : inputs) attr("GAMMA_" + output + "_" + x, 0.0);
  }

  // Places the object and registers the pattern of every placed object.
  template <class T = roeqn2>
  T& add(ROEqnSupplier::EqnPtr eqn) {
    if (!eqn) throw std::logic_error("no equation object");
    roeqn2* raw = eqn.get();
    eqns.addEquation(std::move(eqn));
    eqns.pattern(lists.jac);
    return dynamic_cast<T&>(*raw);
  }

  EqnMan eqns{&vm, &firstNz, &firstEqn};
};

}  // namespace eqtest
