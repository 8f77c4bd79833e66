// First-generation hydrocracker blocks set up the way romhost sets one up:
// made by the "MORVANE" factory, placed by the host's session, given the
// nominal inputs of the example cases, patterned and initialised on the
// shipped sample networks.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "models/hydrocracker/hcr_models.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace hcr_test {

using Values = std::vector<std::pair<std::string, double>>;

inline const std::string kNetworkRoot = std::string(ROM_SOURCE_DIR) + "/examples/networks";

inline void useNetworkRoot(const std::string& root) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
}

// The fixed inputs of examples/hcr-*.json for a SUBID; on a volume HL basis
// the feed by its volume (SG 0.91).
inline Values nominalInputs(const std::string& subid, bool volumeBasis = false) {
  const bool mild = subid == "ROHCRMILD";
  Values v = {{volumeBasis ? "FEEDVOL" : "FEEDMASS", volumeBasis ? 200000.0 / 910.0 : 200000.0},
              {"TOTCONV", mild ? 40.0 : 80.0},
              {"CATAGE", 40},
              {"FEEDSG", 0.91},
              {"FEEDT50", 800},
              {"FEEDSUL", 2.0},
              {"FEEDNIT", 1200},
              {"FEEDBRNO", 4},
              {"HCNECP", 380},
              {"LCNECP", 180}};
  if (mild) v.push_back({"CONVERSION", 40});
  if (!mild) v.push_back({"RCYRATE", 10});
  if (subid != "ROHCRN") v.push_back({"KERECP", 500});
  if (subid == "ROHCRD" || mild) v.push_back({"DSLECP", 650});
  return v;
}

// The block the factory makes from options, reading networks under root.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options, const std::string& root = kNetworkRoot) {
  useNetworkRoot(root);
  value_t* list = value_make_list();
  for (const std::string& o : options) gl_append(list->list, value_make_string(o.c_str()));
  rofactory factory;
  QivEOBlock* block = factory.create("H1", list);
  value_destroy(list);
  return block;
}

// A block "H1" in a host session, set up (through init) with the given inputs and attributes.
struct Session {
  Session(const std::string& subid, bool volumeBasis = false, const Values& attributes = {},
          const Values& extraInputs = {})
      : Session(createByFactory({"SUBID:" + subid, volumeBasis ? "BASIS_HL:VOLUME" : "BASIS_HL:MASS"}),
                withExtra(nominalInputs(subid, volumeBasis), extraInputs), attributes) {}

  Session(QivEOBlock* made, const Values& values, const Values& attributes)
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

  static Values withExtra(Values v, const Values& extra) {
    v.insert(v.end(), extra.begin(), extra.end());
    return v;
  }

  romhost::BlockSystem& system() { return session->system(); }
  hcrmodel& model() const { return dynamic_cast<hcrmodel&>(*block); }
  rtvarlst_t* vars() { return system().varList(); }
  int number(const std::string& own) { return rtovarlst_find(vars(), ("H1." + own).c_str()); }
  double& value(const std::string& own) { return rtovarlst_vec_value(vars())[number(own) - 1]; }
  bool fixed(const std::string& own) { return rtovarlst_is_fixed(vars(), number(own)); }
  int eqnNumber(const std::string& own) { return rtoeqnlst_find(system().eqnList(), ("H1." + own).c_str()); }
  double residual(const std::string& own) { return rtoeqnlst_vec_residual(system().eqnList())[eqnNumber(own) - 1]; }

  QivEOBlock* block;  // owned by the session
  std::unique_ptr<romhost::BlockSession> session;
  romhost::StepResult setUp;
};

}  // namespace hcr_test
