// A coker block set up the way romhost sets one up: made by the "MORVANE"
// factory (or directly, as a probe that shows the block's tables), placed by
// the host's session, given the nominal inputs, patterned and initialised on
// the shipped sample networks.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "models/coker/rocoker.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace coker_test {

using Values = std::vector<std::pair<std::string, double>>;

inline const std::string kNetworkRoot = std::string(ROM_SOURCE_DIR) + "/examples/networks";

inline void useNetworkRoot(const std::string& root) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
}

// The inputs of examples/coker.json (examples/coker-volume.json).
inline Values nominalInputs(bool volumeBasis = false) {
  return {{volumeBasis ? "FEEDVOL" : "FEEDMASS", volumeBasis ? 120000.0 / 1020.0 : 120000.0},
          {"FEEDSG", 1.02},
          {"FEEDSUL", 4.0},
          {"FEEDNIT", 3000},
          {"FEEDCCR", 20},
          {"DRUMINLETTEMP", 900},
          {"DRUMINLETPRES", 200},
          {"COMBINEDFEEDRATIO", 1.1},
          {"LCNECP", 300},
          {"HCNECP", 400},
          {"LGOECP", 650}};
}

// rocoker on the sample networks, prepared as the factory prepares it, with
// its tables in view.
class ProbeCoker : public rocoker {
 public:
  explicit ProbeCoker(const char* name) : rocoker(name) {
    useNetworkRoot(kNetworkRoot);
    setLEBasis("MASS");
    setHLBasis("MASS");
    prepare();
  }
  using robase::m_inputVars;
  using robase::m_nnOutputVars;

  std::vector<const ROMVarMap*> varMaps() const {
    return {&m_inputVars, &m_nnOutputVars, &m_factorVars, &m_calcVars, &m_volumeVars, &m_molarVars, &m_constVars};
  }
  const ROMVar* variable(const std::string& name) const {
    for (const ROMVarMap* m : varMaps())
      if (m->count(name)) return m->at(name);
    return nullptr;
  }
  const ROMEqn* equation(const std::string& name) const {
    if (name == "MASS_BAL") return m_massBalEqn;
    for (const ROMEqnMap* m : {&m_adjEqns, &m_volConvEqns, &m_molConvEqns})
      if (m->count(name)) return m->at(name);
    return ownEquation(name);
  }
};

// The block the factory makes from options, reading networks under root.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options, const std::string& root = kNetworkRoot) {
  useNetworkRoot(root);
  value_t* list = value_make_list();
  for (const std::string& o : options) gl_append(list->list, value_make_string(o.c_str()));
  rofactory factory;
  QivEOBlock* block = factory.create("C1", list);
  value_destroy(list);
  return block;
}

// A block "C1" in a host session, set up with the given inputs and attributes.
struct Session {
  explicit Session(QivEOBlock* made, const Values& values = nominalInputs(), const Values& attributes = {},
                   romhost::Placement placement = {})
      : block(made), session(std::make_unique<romhost::BlockSession>(made, placement)) {
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
  rocoker& coker() const { return dynamic_cast<rocoker&>(*block); }
  int number(const std::string& own) { return rtovarlst_find(system().varList(), ("C1." + own).c_str()); }
  double& value(const std::string& own) { return rtovarlst_vec_value(system().varList())[number(own) - 1]; }
  int eqnNumber(const std::string& own) { return rtoeqnlst_find(system().eqnList(), ("C1." + own).c_str()); }
  double residual(const std::string& own) { return rtoeqnlst_vec_residual(system().eqnList())[eqnNumber(own) - 1]; }

  QivEOBlock* block;  // owned by the session
  std::unique_ptr<romhost::BlockSession> session;
  romhost::StepResult setUp;
};

}  // namespace coker_test
