// A visbreaker block set up the way romhost sets one up: made by the "MORVANE"
// factory (first or second generation by VERSION), placed by the host's
// session, given the inputs of the example cases, patterned and initialised on
// the shipped sample networks.
#pragma once

#include <string>
#include <vector>

#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"

namespace vb_test {

using namespace romtest;

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

// The block "V1" the factory makes from options, reading networks under root.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options, const std::string& root = kSampleNetworks) {
  return createByMorvane("V1", options, root);
}

// Options of one block type: SUBID, HL basis and, for the second generation, VERSION.
inline std::vector<std::string> options(const std::string& subid, bool second = false, bool volume = false) {
  std::vector<std::string> o = {"SUBID:" + subid, volume ? "BASIS_HL:VOLUME" : "BASIS_HL:MASS"};
  if (second) o.push_back("VERSION:37.0.0");
  return o;
}

// A visbreaker in a host session, set up with the given inputs and attributes.
struct Session : HostedBlock {
  explicit Session(QivEOBlock* made, const Values& values = nominalInputs(), const Values& attributes = {})
      : HostedBlock(made, values, attributes) {}
};

}  // namespace vb_test
