// A block's worth of framework around equation objects made by the suppliers
// (lists, variable manager, attribute map behind the block context, equation
// manager), and a temporary network root named by the registry.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/eqnman.h"
#include "core/varman.h"
#include "equations/suppliers.h"
#include "platform/diveduded/DIVeduded.h"
#include "platform/pelmo.h"
#include "platform/registry.h"

namespace eqtest {

struct Tag {  // a network input, normalised in the file as (x - centre) / spread
  std::string name;
  double centre = 0.0, spread = 1.0;
};

class NetRoot {
 public:
  NetRoot() {
    char pattern[] = "/tmp/romeqn2-nets.XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp");
    m_path = pattern;
    pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", m_path.c_str());
  }
  ~NetRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
    pelmo_registry_clear();
    DIVeduded::ClearCache();
    DIVeduded::clearFaults();
  }

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
    std::filesystem::create_directories(m_path + "/" + kind);
    std::ofstream(m_path + "/" + kind + "/" + kind + "_" + y + ".zkr") << out.str();
    DIVeduded::ClearCache();
  }

 private:
  std::string m_path;
};

// The block sits at first variable 101, first equation 51, first non-zero 301.
struct Rig {
  static constexpr int kCap = 4000;
  Rig() : vm(&firstVar), eqns(&vm, &firstNz, &firstEqn) {}
  ~Rig() {
    eqns.clear();
    rtojac_destroy(jacList);
    rtoeqnlst_destroy(eqnList);
    rtovarlst_destroy(varList);
  }

  void vars(const std::map<std::string, double>& values) {
    for (const auto& [name, v] : values) {
      const int index = static_cast<int>(vm.size()) + 1;
      vm.addVar(name, "UNITLESS", "UNITLESS", index, -1e30, 1e30);
      rtvar_rec_t rec;
      rtovarlst_initialize_var(varList, firstVar + index - 1, &rec, 1);
      vm.attach({rtovarlst_vec_value(varList), kCap}, varList);
      value(name) = v;
    }
  }
  double& value(const std::string& name) const { return vm.values()[vm.varIndex(name)]; }
  void attr(const std::string& name, double value) {  // adds or changes a real attribute
    if (!attrs.count(name)) {
      owned.push_back(std::make_unique<ROMAttr>(name, value, static_cast<int>(owned.size())));
      attrs[name] = owned.back().get();
    }
    attrs[name]->value = value;
  }
  void tuning(const std::string& output, const std::vector<std::string>& inputs) {  // at their defaults
    attr("ALPHA_" + output, 1.0);
    attr("BETA_" + output, 0.0);
    for (const auto& x : inputs) attr("GAMMA_" + output + "_" + x, 0.0);
  }
  EqnContext context() { return &attrPtr; }

  // Places the object and registers the pattern of every placed object.
  template <class T = roeqn2>
  T& add(ROEqnSupplier::EqnPtr eqn) {
    if (!eqn) throw std::logic_error("no equation object");
    roeqn2* raw = eqn.get();
    eqns.addEquation(std::move(eqn));
    eqns.pattern(jacList);
    return dynamic_cast<T&>(*raw);
  }

  OneBased<double> res() const { return {rtoeqnlst_vec_residual(eqnList), kCap}; }
  OneBased<double> jac() const { return {rtojac_vec_bj(jacList), kCap}; }
  double& residual(const roeqn2& e) const { return res()[e.eqnNumber()]; }
  double entry(const roeqn2& e, const std::string& var) const { return jac()[e.nzNumber(e.localNz().at(var))]; }

  rtvarlst_t* varList = rtovarlst_create(kCap);
  rtattrdict_t* eqnList = rtoeqnlst_create(kCap);
  rt_jac_t* jacList = rtojac_create(kCap);
  int firstVar = 101, firstEqn = 51, firstNz = 301;
  VarMan vm;
  ROMAttrMap attrs;
  ROMAttrMap* attrPtr = &attrs;
  std::vector<std::unique_ptr<ROMAttr>> owned;
  EqnMan eqns;
};

}  // namespace eqtest
