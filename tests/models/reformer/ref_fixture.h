// Reformer blocks set up the way romhost sets one up: made by the "MORVANE"
// factory (or directly, as a probe that shows the protected operations),
// placed by the host's session, given the nominal feed of the sample
// networks, patterned and initialised.
#pragma once

#include <string>
#include <vector>

#include "models/reformer/roref_1.h"
#include "models/reformer/roref_slates.h"
#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"

namespace ref_test {

using namespace romtest;

// The nominal feed of the sample networks (examples/ref-*.json): FEEDSG 0.75,
// 30 % naphthenes and 10 % aromatics (FEEDNA 50 under an NA basis), 100 t/h.
struct Feed {
  bool semi = true;
  bool volume = false;
  bool naBasis = false;
  bool secondGeneration = false;
};
inline Values nominalInputs(const Feed& f) {
  Values v;
  // Volume in CUM/HR: 1000 kg/m3 per unit of gravity, RHOH2O 999.04 in the second generation.
  if (f.volume)
    v.push_back({"FEEDVOL", 100000.0 / (0.75 * (f.secondGeneration ? 999.04 : 1000.0))});
  else
    v.push_back({"FEEDMASS", 100000.0});
  v.push_back({"FEEDSG", 0.75});
  if (f.naBasis) {
    v.push_back({"FEEDNA", 50.0});
  } else {
    v.push_back({"FEEDNAPH", 30.0});
    v.push_back({"FEEDAROM", 10.0});
  }
  v.push_back({"TARGETRON", 98.0});
  if (f.semi) v.push_back({"CATAGE", 50.0});
  return v;
}

// The block "R1" the factory makes from options, reading networks under root.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options, const std::string& root = kSampleNetworks) {
  return createByMorvane("R1", options, root);
}

// A first-generation leaf prepared as the factory prepares it, with the
// operations the hooks walk in view.
template <class Leaf>
class Probe : public Leaf {
 public:
  explicit Probe(const char* na = "NA", const char* hl = "MASS") : Leaf("R1") {
    useSampleNetworks();
    this->setNABasis(na);
    this->setLEBasis("MASS");
    this->setHLBasis(hl);
    this->prepare();
  }
  using roref::evalJacobian;
  using roref::evalResidual;
  using Leaf::computeHydrogenBalanceDerivative;
  using Leaf::computeHydrogenBalanceResidual;
  using Leaf::computeMassBalanceDerivative;
  using Leaf::computeMassBalanceResidual;

  // A network output's record: its last prediction and derivatives.
  const ROMVar& output(const std::string& name) const { return *this->m_nnOutputVars.at(name); }
  ROMVar& output(const std::string& name) { return *this->m_nnOutputVars.at(name); }
};

// A reformer in a host session, set up with the given inputs and attributes.
using Session = HostedBlock;

}  // namespace ref_test
