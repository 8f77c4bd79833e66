// Second-generation hydrocracker blocks set up the way romhost sets one up:
// made by the "MORVANE" factory from the options of an example case
// (examples/hcr-*-v37.json), placed by the host's session, given the case's
// fixed values, patterned and initialised on the shipped sample networks.
#pragma once

#include <ostream>
#include <string>
#include <typeinfo>
#include <vector>

#include "host/case_file.h"
#include "models/hydrocracker/hcrbase_1.h"
#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"

namespace hcr2_test {

using namespace romtest;

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

inline romhost::CaseSpec exampleCase(const Kind& k) { return romhost::readCaseFile(kExamples + k.caseFile); }

// The block "H1" the factory makes from options, on the case's networks.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options) { return createByMorvane("H1", options); }

// A block of an example case in a host session, set up through init. Extra
// options come after the case's own (a later option wins); on a volume HL
// basis the case's feed mass is given as its volume.
struct Session : HostedBlock {
  explicit Session(const Kind& k, const std::vector<std::string>& extraOptions = {})
      : Session(exampleCase(k), extraOptions) {}
  hcrbase_1& hcr() const { return as<hcrbase_1>(); }

 private:
  Session(const romhost::CaseSpec& spec, const std::vector<std::string>& extraOptions)
      : HostedBlock(createByFactory(joinedOptions(spec.options, extraOptions)), caseValues(spec, extraOptions)) {}

  static std::vector<std::string> joinedOptions(std::vector<std::string> options, const std::vector<std::string>& more) {
    options.insert(options.end(), more.begin(), more.end());
    return options;
  }
  static Values caseValues(const romhost::CaseSpec& spec, const std::vector<std::string>& extraOptions) {
    bool volume = false;
    for (const std::string& o : extraOptions) volume = volume || o == "BASIS_HL:VOLUME";
    double feedSG = 1.0;
    for (const auto& [name, v] : spec.values)
      if (name == "FEEDSG") feedSG = v;
    Values values;
    for (const auto& [name, v] : spec.values) {
      // The same feed by volume: mass / (water density x gravity).
      if (volume && name == "FEEDMASS") values.push_back({"FEEDVOL", v / (999.04 * feedSG)});
      else values.push_back({name, v});
    }
    return values;
  }
};

}  // namespace hcr2_test
