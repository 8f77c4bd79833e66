// A second-generation FCC block set up the way romhost sets one up: made by
// the "MORVANE" factory, placed by the host's session at non-trivial first
// positions, given the sample networks' nominal inputs, patterned and
// initialised.
#pragma once

#include <string>
#include <vector>

#include "models/fcc/rofcc_1.h"
#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"

namespace fcc2_test {

using namespace romtest;

// The eight block types with their model kinds and the sizes of their class.
struct BlockType {
  const char* subid;
  const char* kind;
  int variables;
  int equations;
  int fixed;  // inputs and constants
};
inline constexpr BlockType kBlockTypes[] = {
    {"ROFCCGO2N", "FCC_GO_2N", 178, 130, 48},        {"ROFCCGOR2N", "FCC_GOR_2N", 178, 130, 48},
    {"ROFCCGO2N1H", "FCC_GO_2N1H", 193, 143, 50},    {"ROFCCGOR2N1H", "FCC_GOR_2N1H", 193, 143, 50},
    {"ROFCCGO3N", "FCC_GO_3N", 193, 143, 50},        {"ROFCCGOR3N", "FCC_GOR_3N", 193, 143, 50},
    {"ROFCCGO3N1H", "FCC_GO_3N1H", 211, 159, 52},    {"ROFCCGOR3N1H", "FCC_GOR_3N1H", 211, 159, 52},
};

// The nominal point of the sample networks (examples/fcc*-v37.json); the
// block takes the names it has. The C5+ split fractions are the user's.
inline Values nominalInputs(bool volumeBasis = false) {
  return {{volumeBasis ? "FEEDVOL" : "FEEDMASS", volumeBasis ? 250000.0 / (999.04 * 0.92) : 250000.0},
          {"FEEDSG", 0.92},         {"FEEDSUL", 1.2},      {"FEEDBN2", 800},      {"FEEDCCR", 2.5},
          {"FEEDNICKEL", 5},        {"FEEDVANADIUM", 8},   {"REACTORPLENUMTEMP", 975},
          {"FEEDTEMP", 450},        {"CATCOOLERDUTY", 60}, {"ECATMAT", 70},       {"FEEDT50", 800},
          {"LCNECP", 220},          {"MCNECP", 300},       {"HCNECP", 400},       {"LCOECP", 650},
          {"HCOECP", 800},          {"ZSMPCT", 2},         {"ISATINC5MIX", 0.3},  {"USATINC5MIX", 0.35},
          {"NSATINC5MIX", 0.1},     {"NAPSATINC5MIX", 0.25}};
}

inline std::vector<std::string> factoryOptions(const char* subid, const char* version = "37.0.0",
                                               bool volumeBasis = false) {
  return {std::string("SUBID:") + subid, std::string("VERSION:") + version,
          volumeBasis ? "BASIS_HL:VOLUME" : "BASIS_HL:MASS"};
}

// The block "F1" the factory makes from options, on the sample networks.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options) { return createByMorvane("F1", options); }

// A block in a host session, set up with the inputs it has and the given attributes.
struct Session : HostedBlock {
  explicit Session(QivEOBlock* made, const Values& values = nominalInputs(), const Values& attributes = {})
      : HostedBlock(made, inputsOf(made, values), attributes) {}
  const rofcc_1* fcc() const { return dynamic_cast<const rofcc_1*>(block); }

 private:
  static Values inputsOf(const QivEOBlock* made, const Values& values) {
    Values kept;
    if (const auto* b = dynamic_cast<const rofcc_1*>(made))
      for (const auto& [name, v] : values)
        if (b->varMan().contains(name)) kept.emplace_back(name, v);
    return kept;
  }
};

}  // namespace fcc2_test
