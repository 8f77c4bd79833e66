// A visbreaker block set up the way romhost sets one up: made by the "MORVANE"
// factory (first or second generation by VERSION), placed by the host's
// session, given the inputs of the example cases, patterned and initialised on
// the shipped sample networks.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "platform/ports.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace vb_test {

using Values = std::vector<std::pair<std::string, double>>;

inline const std::string kNetworkRoot = std::string(ROM_SOURCE_DIR) + "/examples/networks";

inline void useNetworkRoot(const std::string& root) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
}

// The inputs of examples/vb-noskr.json (on a volume basis the feed's volume
// at a gravity of 1.02 and 1000 kg/m3).
inline Values nominalInputs(bool volumeBasis = false) {
  return {{volumeBasis ? "FEEDVOL" : "FEEDMASS", volumeBasis ? 100000.0 / 1020.0 : 100000.0},
          {"FEEDSG", 1.02},
          {"FEEDVBI", 40},
          {"FEEDSUL", 3.0},
          {"FEEDVANADIUM", 150},
          {"FEEDNIT", 4000},
          {"FEEDCCR", 20},
          {"NAPECP", 350},
          {"LGOECP", 650},
          {"HGOECP", 950},
          {"CONVERSION", 7}};
}

// The block the factory makes from options, reading networks under root.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options, const std::string& root = kNetworkRoot) {
  useNetworkRoot(root);
  value_t* list = value_make_list();
  for (const std::string& o : options) gl_append(list->list, value_make_string(o.c_str()));
  rofactory factory;
  QivEOBlock* block = factory.create("V1", list);
  value_destroy(list);
  return block;
}

// Options of one block type: SUBID, HL basis and, for the second generation, VERSION.
inline std::vector<std::string> options(const std::string& subid, bool second = false, bool volume = false) {
  std::vector<std::string> o = {"SUBID:" + subid, volume ? "BASIS_HL:VOLUME" : "BASIS_HL:MASS"};
  if (second) o.push_back("VERSION:37.0.0");
  return o;
}

// A block "V1" in a host session, set up with the given inputs and attributes.
struct Session {
  explicit Session(QivEOBlock* made, const Values& values = nominalInputs(), const Values& attributes = {})
      : block(made), session(std::make_unique<romhost::BlockSession>(made)) {
    romhost::SetUpPlan plan;
    plan.values = values;
    for (const auto& [name, v] : attributes) {
      romhost::AttributeValue real;
      real.real = v;
      plan.attributes.push_back({name, real});
    }
    setUp = session->setUp(plan);
  }

  romhost::BlockSystem& system() { return session->system(); }
  template <class T>
  T& as() const {
    return dynamic_cast<T&>(*block);
  }
  int number(const std::string& own) { return rtovarlst_find(system().varList(), ("V1." + own).c_str()); }
  double& value(const std::string& own) { return rtovarlst_vec_value(system().varList())[number(own) - 1]; }
  bool fixed(const std::string& own) { return system().isFixed(number(own)); }
  int eqnNumber(const std::string& own) { return rtoeqnlst_find(system().eqnList(), ("V1." + own).c_str()); }
  double& residual(const std::string& own) {
    return rtoeqnlst_vec_residual(system().eqnList())[eqnNumber(own) - 1];
  }
  // The Jacobian row of an equation after user_jac, by variable name (without the block's prefix).
  std::map<std::string, double> jacobianRow(const std::string& eqn) {
    std::map<std::string, double> row;
    const int e = eqnNumber(eqn);
    for (const auto& nz : system().nonZeros())
      if (nz.eqn == e) row[std::string(system().variableName(nz.var)).substr(3)] = system().jacobianValue(nz.nz);
    return row;
  }
  // The variables of a port, in port order, without the block's prefix.
  std::vector<std::string> port(const std::string& name) {
    std::vector<std::string> names;
    for (const qiv_port* p : session->impl()->ports())
      if (p->name == name)
        for (int v : p->vars) names.push_back(std::string(system().variableName(v)).substr(3));
    return names;
  }

  QivEOBlock* block;  // owned by the session
  std::unique_ptr<romhost::BlockSession> session;
  romhost::StepResult setUp;
};

}  // namespace vb_test
