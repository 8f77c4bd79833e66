// Second-generation hydrocracker blocks set up the way romhost sets one up:
// made by the "MORVANE" factory from the options of an example case
// (examples/hcr-*-v37.json), placed by the host's session, given the case's
// fixed values, patterned and initialised on the shipped sample networks.
#pragma once

#include <algorithm>
#include <memory>
#include <ostream>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "host/case_file.h"
#include "models/hydrocracker/hcrbase_1.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace hcr2_test {

using Values = std::vector<std::pair<std::string, double>>;

inline const std::string kExamples = std::string(ROM_SOURCE_DIR) + "/examples/";

// One model kind: its class, sizes, products and specification.
struct Kind {
  const std::type_info* type;  // the factory's class
  const char* subid;
  const char* modelKind;
  const char* caseFile;  // under examples/
  int nVars;
  int nEqns;
  int nNetworks;
  std::vector<std::string> products;  // name order
  bool recycle;                       // TOTCONV specified, CONVERSION computed
  double ic4VolUpper;                 // framework bound after user_ini
};

inline const Kind kKinds[] = {
    {&typeid(rohcrd_1<hcrbase_1>), "ROHCRD", "HCR_D", "hcr-d-v37.json", 150, 111, 49,
     {"DSL", "HCN", "KER", "LCN", "UCO"}, true, 1000},
    {&typeid(rohcrk_1<hcrbase_1>), "ROHCRK", "HCR_K", "hcr-k-v37.json", 132, 95, 41,
     {"HCN", "KER", "LCN", "UCO"}, true, 10000},
    {&typeid(rohcrmild_1<hcrbase_1>), "ROHCRMILD", "HCR_MILD", "hcr-mild-v37.json", 149, 110, 49,
     {"DSL", "HCN", "KER", "LCN", "UCO"}, false, 10000},
    {&typeid(rohcrn_1<hcrbase_1>), "ROHCRN", "HCR_N", "hcr-n-v37.json", 109, 74, 30,
     {"HCN", "LCN", "UCO"}, true, 10000},
};

inline void PrintTo(const Kind& k, std::ostream* os) { *os << k.modelKind; }

inline void useNetworkRoot(const std::string& root) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
}

inline romhost::CaseSpec exampleCase(const Kind& k) { return romhost::readCaseFile(kExamples + k.caseFile); }

// The block the factory makes from options, on the case's networks.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options) {
  useNetworkRoot(kExamples + "networks");
  value_t* list = value_make_list();
  for (const std::string& o : options) gl_append(list->list, value_make_string(o.c_str()));
  rofactory factory;
  QivEOBlock* block = factory.create("H1", list);
  value_destroy(list);
  return block;
}

// A block "H1" of an example case in a host session, set up through init.
// Extra options come after the case's own (a later option wins); on a volume
// HL basis the case's feed mass is given as its volume.
struct Session {
  explicit Session(const Kind& k, const std::vector<std::string>& extraOptions = {}) {
    const romhost::CaseSpec spec = exampleCase(k);
    std::vector<std::string> options = spec.options;
    options.insert(options.end(), extraOptions.begin(), extraOptions.end());
    const bool volume = std::find(extraOptions.begin(), extraOptions.end(), "BASIS_HL:VOLUME") != extraOptions.end();
    block = createByFactory(options);
    if (!block) {
      setUp = romhost::StepResult::failure(romhost::HostStatus::kCreationFailed, "no block");
      return;
    }
    session = std::make_unique<romhost::BlockSession>(block);
    romhost::SetUpPlan plan;
    double feedSG = 1.0;
    for (const auto& [name, v] : spec.values)
      if (name == "FEEDSG") feedSG = v;
    for (const auto& [name, v] : spec.values) {
      // The same feed by volume: mass / (water density x gravity).
      if (volume && name == "FEEDMASS") plan.values.push_back({"FEEDVOL", v / (999.04 * feedSG)});
      else plan.values.push_back({name, v});
    }
    setUp = session->setUp(plan);
  }

  romhost::BlockSystem& system() { return session->system(); }
  hcrbase_1& hcr() const { return dynamic_cast<hcrbase_1&>(*block); }
  int number(const std::string& own) { return rtovarlst_find(system().varList(), ("H1." + own).c_str()); }
  double& value(const std::string& own) { return rtovarlst_vec_value(system().varList())[number(own) - 1]; }
  bool fixed(const std::string& own) { return system().isFixed(number(own)); }

  QivEOBlock* block = nullptr;  // owned by the session
  std::unique_ptr<romhost::BlockSession> session;
  romhost::StepResult setUp;
};

}  // namespace hcr2_test
