// rofccslate: construction and destruction, the set-up chain, the catalogue
// of the slate's own cuts ahead of the base catalogue, its output entries and
// constant, and the family's creator for the "MORVANE" factory.
#include <algorithm>
#include <array>
#include <memory>

#include "core/helpers.h"
#include "models/fcc/rofcc_1.h"
#include "models/fcc/rofcc_slates.h"
#include "plugin/creators.h"

rofccslate::rofccslate(const char* name) : rofcc(name) {}

rofccslate::~rofccslate() {
  // Both clean-ups are harmless when the base destructors run them again.
  robase::commonDestructor();
  rofcc::commonDestructor();
}

void rofccslate::user_ini(long long& status) { runUserIniSteps(status); }

void rofccslate::createROMVariables() {
  // The slate's records take the lowest positions; the base continues the count.
  m_varCounter = 1;
  for (const FccSlateVarRow& row : fccSlateVariables(slate()))
    addVar(varMap(row.map), row.name, row.baseUnit, row.dispUnit, row.lower, row.upper);
  rofcc::createROMVariables();
}

void rofccslate::createROMEquations() {
  m_eqnCounter = 1;
  for (FccRecord member : fccSlateRecords(slate())) createRecord(member);
  rofcc::createROMEquations();
}

namespace {

// The result properties of each extra cut on the output list, after its
// sulfur content.
struct CutProperties {
  const char* cut;
  std::array<const char*, 6> properties;
};
constexpr CutProperties kCutProperties[] = {
    {"MCN", {"MCNSG", "MCNRON", "MCNMON", "MCNRVP", "MCNAROM", "MCNOLEF"}},
    {"HCO", {"HCOSG", "HCONIT", "HCOCCR", "HCOAROM", "HCOVISC_122", "HCOCLOUDPT"}},
};

}  // namespace

void rofccslate::addVarsToOutputPort(qiv_port* port) {
  // The flows of the extra cuts on the HL basis, then each cut's sulfur and
  // properties; then the base list.
  const std::vector<std::string> cuts = fccSlateCuts(slate(), {"MCN", "HCO"});
  const bool volume = m_hlBasis == BASIS_VOLUME;
  for (const std::string& cut : cuts)
    addPELMOVarToPort(port, volume ? lookup(FccMap::Volume, cut + "VOL") : lookup(FccMap::Calc, cut + "MASS"));
  for (const CutProperties& c : kCutProperties) {
    if (std::find(cuts.begin(), cuts.end(), c.cut) == cuts.end()) continue;
    addPELMOVarToPort(port, lookup(FccMap::Calc, std::string(c.cut) + "SUL"));
    for (const char* name : c.properties) addPELMOVarToPort(port, lookup(FccMap::Output, name));
  }
  rofcc::addVarsToOutputPort(port);
}

void rofccslate::setPELMOVarValues(long long& status) {
  long long own = 0;
  if (fccSlateHasMcn(slate())) setPELMOVarValue(lookup(FccMap::Const, "MCNCUTOFF"), 1e-19, own);
  rofcc::setPELMOVarValues(status);
  if (own != 0) status = 1;  // the base step restarts the status; a failure here stays
}

// ---- Creator of the FCC family ---------------------------------------------------

namespace {
template <class Leaf>
std::unique_ptr<robase> makeLeaf(const char* name) {
  return std::make_unique<Leaf>(name);
}
}  // namespace

std::unique_ptr<robase> createFccBlock(const BlockRequest& request) {
  // Versions from 37 on: rofcc_1 and its slate templates.
  if (request.generation != BlockGeneration::First) return createFccBlock_1(request);

  struct Leaf {
    const char* subid;
    std::unique_ptr<robase> (*make)(const char* name);
  };
  static constexpr Leaf kLeaves[] = {
      {"ROFCCGO2N", &makeLeaf<rofccgo2n>},     {"ROFCCGOR2N", &makeLeaf<rofccgor2n>},
      {"ROFCCGO2N1H", &makeLeaf<rofccgo2n1h>}, {"ROFCCGOR2N1H", &makeLeaf<rofccgor2n1h>},
      {"ROFCCGO3N", &makeLeaf<rofccgo3n>},     {"ROFCCGOR3N", &makeLeaf<rofccgor3n>},
      {"ROFCCGO3N1H", &makeLeaf<rofccgo3n1h>}, {"ROFCCGOR3N1H", &makeLeaf<rofccgor3n1h>},
  };
  for (const Leaf& leaf : kLeaves)
    if (request.subid == leaf.subid) return leaf.make(request.name);
  return nullptr;
}
