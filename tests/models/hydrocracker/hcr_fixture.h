// First-generation hydrocracker blocks set up the way romhost sets one up:
// made by the "MORVANE" factory, placed by the host's session, given the
// nominal inputs of the example cases, patterned and initialised on the
// shipped sample networks.
#pragma once

#include <string>
#include <vector>

#include "models/hydrocracker/hcr_models.h"
#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"

namespace hcr_test {

using namespace romtest;

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

// The block "H1" the factory makes from options, reading networks under root.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options, const std::string& root = kSampleNetworks) {
  return createByMorvane("H1", options, root);
}

// A block of a SUBID in a host session, set up (through init) with its
// nominal inputs, then the extra ones, and the attributes.
struct Session : HostedBlock {
  explicit Session(const std::string& subid, bool volumeBasis = false, const Values& attributes = {},
                   const Values& extraInputs = {})
      : HostedBlock(createByFactory({"SUBID:" + subid, volumeBasis ? "BASIS_HL:VOLUME" : "BASIS_HL:MASS"}),
                    joined(nominalInputs(subid, volumeBasis), extraInputs), attributes) {}
  hcrmodel& model() const { return as<hcrmodel>(); }
};

}  // namespace hcr_test
