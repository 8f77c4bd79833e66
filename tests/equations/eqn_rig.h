// A block's worth of framework around equation objects made by the suppliers:
// framework lists, a variable manager, an attribute map reached through the
// block context, and an equation manager that places the objects. Network
// files go into a temporary network root that the registry names.
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
#include "platform/registry.h"
#include "platform/pelmo.h"

namespace eqtest {

// A network input: its tag and the centre and spread the file normalises it by.
struct Tag {
  std::string name;
  double centre = 0.0;
  double spread = 1.0;
};

// A network root folder for the test's lifetime, named by the registry.
class NetRoot {
 public:
  NetRoot() {
    char pattern[] = "/tmp/romeqn2-nets.XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp");
    m_path = pattern;
    pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", m_path.c_str());
  }
  ~NetRoot() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
    pelmo_registry_clear();
    DIVeduded::ClearCache();
    DIVeduded::clearFaults();
  }
  NetRoot(const NetRoot&) = delete;
  NetRoot& operator=(const NetRoot&) = delete;

  // y = b + sum_i w_i x_i.
  void affine(const std::string& kind, const std::string& output, const std::vector<std::string>& tags,
              const std::vector<double>& w, double b) const {
    std::ostringstream out;
    out.precision(17);
    out << "ZKR 1\nOUTPUT " << output << "\nINPUTS " << tags.size() << "\n";
    for (const auto& t : tags) out << "INPUT " << t << " 0 1\n";
    out << "OUTPUTSCALE 0 1\nLAYERS 1\nLAYER 1 LINEAR\nW";
    for (double x : w) out << " " << x;
    out << "\nB " << b << "\nEND\n";
    writeText(kind, output, out.str());
  }

  // y = b + 0.3 tanh(h_1) - 0.2 tanh(h_2), h_j = sum_i (0.4 j + 0.1 i) s_i z_i + 0.1 j,
  // z_i = (x_i - centre_i) / spread_i and s_i alternating in sign: smooth,
  // curved in every input, different per output through b.
  void smooth(const std::string& kind, const std::string& output, const std::vector<Tag>& tags, double b) const {
    std::ostringstream out;
    out.precision(17);
    out << "ZKR 1\nOUTPUT " << output << "\nINPUTS " << tags.size() << "\n";
    for (const auto& t : tags) out << "INPUT " << t.name << " " << t.centre << " " << 1.0 / t.spread << "\n";
    out << "OUTPUTSCALE 0 1\nLAYERS 2\nLAYER 2 TANH\nW";
    for (int j = 1; j <= 2; ++j)
      for (std::size_t i = 0; i < tags.size(); ++i) out << " " << (i % 2 ? -1 : 1) * (0.4 * j + 0.1 * i);
    out << "\nB 0.1 0.2\nLAYER 1 LINEAR\nW 0.3 -0.2\nB " << b << "\nEND\n";
    writeText(kind, output, out.str());
  }

  void writeText(const std::string& kind, const std::string& output, const std::string& text) const {
    const std::filesystem::path dir = std::filesystem::path(m_path) / kind;
    std::filesystem::create_directories(dir);
    std::ofstream(dir / (kind + "_" + output + ".zkr")) << text;
    DIVeduded::ClearCache();
  }

 private:
  std::string m_path;
};

// The framework's lists, the block at first positions that are not 1.
struct Lists {
  static constexpr int kFirstVar = 101, kFirstEqn = 51, kFirstNz = 301, kCap = 4000;
  Lists() = default;
  Lists(const Lists&) = delete;
  Lists& operator=(const Lists&) = delete;
  ~Lists() {
    rtojac_destroy(jac);
    rtoeqnlst_destroy(eqns);
    rtovarlst_destroy(vars);
  }
  OneBased<double> values() const { return {rtovarlst_vec_value(vars), kCap}; }
  OneBased<double> residuals() const { return {rtoeqnlst_vec_residual(eqns), kCap}; }
  OneBased<double> jacobian() const { return {rtojac_vec_bj(jac), kCap}; }

  rtvarlst_t* vars = rtovarlst_create(kCap);
  rtattrdict_t* eqns = rtoeqnlst_create(kCap);
  rt_jac_t* jac = rtojac_create(kCap);
};

// Variables, attributes and equation objects of one block.
struct Rig {
  Rig() : vm(&firstVar), eqns(&vm, &firstNz, &firstEqn) {}

  void var(const std::string& name, double value) {
    const int index = static_cast<int>(vm.size()) + 1;
    vm.addVar(name, "UNITLESS", "UNITLESS", index, -1e30, 1e30);
    rtvar_rec_t rec;
    rtovarlst_initialize_var(fw.vars, firstVar + index - 1, &rec, 1);
    vm.attach(fw.values(), fw.vars);
    set(name, value);
  }
  void vars(const std::map<std::string, double>& values) {
    for (const auto& [name, value] : values) var(name, value);
  }
  double value(const std::string& name) const { return fw.values()[vm.varIndex(name)]; }
  void set(const std::string& name, double v) { fw.values()[vm.varIndex(name)] = v; }

  // Adds or changes a real attribute.
  void attr(const std::string& name, double value) {
    if (!attrs.count(name)) {
      owned.push_back(std::make_unique<ROMAttr>(name, value, static_cast<int>(owned.size())));
      attrs[name] = owned.back().get();
    }
    attrs[name]->value = value;
  }
  // The tuning attributes of one output at their defaults.
  void tuning(const std::string& output, const std::vector<std::string>& inputs) {
    attr("ALPHA_" + output, 1.0);
    attr("BETA_" + output, 0.0);
    for (const auto& x : inputs) attr("GAMMA_" + output + "_" + x, 0.0);
  }
  EqnContext context() { return &attrPtr; }

  // Places the object, registers the pattern of every placed object.
  template <class T = roeqn2>
  T& add(ROEqnSupplier::EqnPtr eqn) {
    if (!eqn) throw std::logic_error("no equation object");
    roeqn2* raw = eqn.get();
    eqns.addEquation(std::move(eqn));
    eqns.pattern(fw.jac);
    return dynamic_cast<T&>(*raw);
  }

  OneBased<double> res() const { return fw.residuals(); }
  OneBased<double> jac() const { return fw.jacobian(); }
  double& residual(const roeqn2& e) const { return fw.residuals()[e.eqnNumber()]; }
  double entry(const roeqn2& e, const std::string& var) const { return fw.jacobian()[e.nzNumber(e.localNz().at(var))]; }

  Lists fw;
  int firstVar = Lists::kFirstVar;
  int firstEqn = Lists::kFirstEqn;
  int firstNz = Lists::kFirstNz;
  VarMan vm;
  ROMAttrMap attrs;
  ROMAttrMap* attrPtr = &attrs;
  std::vector<std::unique_ptr<ROMAttr>> owned;
  EqnMan eqns;
};

}  // namespace eqtest
