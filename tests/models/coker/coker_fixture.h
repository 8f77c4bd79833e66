// A coker block set up the way romhost sets one up: made by the "MORVANE"
// factory (or directly, as a probe that shows the block's tables), placed by
// the host's session, given the nominal inputs, patterned and initialised on
// the shipped sample networks.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "models/coker/rocoker.h"
#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"

namespace coker_test {

using namespace romtest;

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
    useSampleNetworks();
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

// The block "C1" the factory makes from options, reading networks under root.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options, const std::string& root = kSampleNetworks) {
  return createByMorvane("C1", options, root);
}

// Options of a coker: SUBID, HL basis and any more.
inline std::vector<std::string> options(bool volume = false, const std::vector<std::string>& more = {}) {
  std::vector<std::string> o = {"SUBID:ROCOKER"};
  o.insert(o.end(), more.begin(), more.end());
  o.push_back(volume ? "BASIS_HL:VOLUME" : "BASIS_HL:MASS");
  return o;
}

// A coker in a host session, set up with the given inputs and attributes.
struct Session : HostedBlock {
  explicit Session(QivEOBlock* made, const Values& values = nominalInputs(), const Values& attributes = {},
                   romhost::Placement placement = {})
      : HostedBlock(made, values, attributes, placement) {}
  rocoker& coker() const { return as<rocoker>(); }
};

// A whole solve: its name, the HL basis, attributes and inputs.
struct SolveCase {
  const char* name;
  bool volume;
  Values attributes;
  Values inputs = {};  // given after the nominal ones
};

inline void PrintTo(const SolveCase& c, std::ostream* os) { *os << c.name; }

}  // namespace coker_test
