// First-generation FCC blocks set up the way romhost sets one up: made by the
// "MORVANE" factory (or as a probe of a slate class that shows its protected
// operations), placed by the host's session, given the nominal inputs of the
// kind's sample networks, patterned and initialised.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "models/fcc/rofcc_slates.h"
#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"

namespace fcc_test {

using namespace romtest;

// The eight block types with their slate and the sizes the slate gives.
struct BlockType {
  const char* subid;
  const char* kind;
  FccSlate slate;
  int variables;
  int equations;
  int outputs;  // network outputs, one "Y_" row each
  int massBal;  // index of MASS_BAL
};
inline constexpr BlockType kBlockTypes[] = {
    {"ROFCCGO2N", "FCC_GO_2N", FccSlate::TwoN, 148, 118, 52, 53},
    {"ROFCCGOR2N", "FCC_GOR_2N", FccSlate::TwoN, 148, 118, 52, 53},
    {"ROFCCGO2N1H", "FCC_GO_2N1H", FccSlate::TwoN1H, 162, 131, 60, 65},
    {"ROFCCGOR2N1H", "FCC_GOR_2N1H", FccSlate::TwoN1H, 162, 131, 60, 65},
    {"ROFCCGO3N", "FCC_GO_3N", FccSlate::ThreeN, 163, 131, 60, 65},
    {"ROFCCGOR3N", "FCC_GOR_3N", FccSlate::ThreeN, 163, 131, 60, 65},
    {"ROFCCGO3N1H", "FCC_GO_3N1H", FccSlate::ThreeN1H, 180, 147, 71, 80},
    {"ROFCCGOR3N1H", "FCC_GOR_3N1H", FccSlate::ThreeN1H, 180, 147, 71, 80},
};
inline void PrintTo(const BlockType& t, std::ostream* os) { *os << t.subid; }

// The nominal point of a kind: the INPUT rows of its sample-network table.
// On a volume HL basis the feed is given as FEEDVOL (CUM/HR) instead.
inline Values nominalInputs(const std::string& kind, bool volumeBasis = false) {
  Values values;
  std::ifstream table(kSampleNetworks + "/" + kind + "/" + kind + ".table");
  for (std::string line; std::getline(table, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string key, tag;
    double nominal = 0.0;
    if (words >> key >> tag >> nominal && key == "INPUT") values.emplace_back(tag, nominal);
  }
  if (volumeBasis) values[0] = {"FEEDVOL", values[0].second / (values[1].second * 1000.0)};  // FEEDMASS, FEEDSG
  return values;
}

// The block "F1" the factory makes from options, on the sample networks.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options) { return createByMorvane("F1", options); }

// A slate class with the model kind of one of its leaves, prepared as the
// factory prepares a leaf, with its protected operations in view.
template <class Slate>
class Probe : public Slate {
 public:
  explicit Probe(const char* kind, const char* hl = "MASS") : Slate("F1") {
    this->m_modelKind = kind;
    useSampleNetworks();
    this->setLEBasis("MASS");
    this->setHLBasis(hl);
    this->prepare();
  }
  using robase::m_calcVars;
  using robase::m_nzCounter;
  using rofcc::equationOps;
  using rofcc::lookup;
  using rofcc::rowRecord;
  using rofccslate::computeMassBalanceDerivative;
  using rofccslate::computeSulfurBalanceDerivative;
  using rofccslate::jac_MassBal;
  using rofccslate::jac_SulfurBal;
  using rofccslate::pat_MassBal;
  ROMEqn* massBal() const { return this->m_massBalEqn; }
};

// A block in a host session (positions 101 / 11 / 501 unless placed
// otherwise), set up with the given values and attributes, or with the kind's
// nominal inputs and more values.
struct Session : HostedBlock {
  explicit Session(QivEOBlock* made, const Values& values, const Values& attributes = {},
                   romhost::Placement placement = {})
      : HostedBlock(made, values, attributes, placement) {}
  explicit Session(const BlockType& type, const Values& more = {}, const Values& attributes = {})
      : HostedBlock(createByFactory({std::string("SUBID:") + type.subid}), joined(nominalInputs(type.kind), more),
                    attributes) {}
  rofccslate& fcc() const { return as<rofccslate>(); }
};

}  // namespace fcc_test
