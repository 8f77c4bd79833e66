#include "tests/models/fcc/fcc_test_slate.h"

#include <sstream>
#include <stdexcept>

#include "tests/support/networks.h"

namespace {

// The cut variables of a "3N1H" slate by map (units and bounds do not matter here).
const std::pair<FccMap, const char*> kCutVars[] = {
    {FccMap::Input, "MCNECP HCOECP"},
    {FccMap::Output, "MCNFRAC MCNRELSUL MCNSG MCNRON MCNMON MCNRVP MCNAROM MCNOLEF MCNCLOUDPT MCNCETNO"},
    {FccMap::Volume, "MCNVOL"},
    {FccMap::Calc, "MCNMASS MCNSULMASS MCNSUL MCNSULPPM"},
    {FccMap::Output, "HCOFRAC HCORELSUL HCOSG HCONIT HCOCCR HCOAROM HCOVISC_122 HCOCLOUDPT HCOCETNO"},
    {FccMap::Volume, "HCOVOL"},
    {FccMap::Calc, "HCOMASS HCOSULMASS HCOSUL HCOSULPPM"},
    {FccMap::Const, "MCNCUTOFF"},
};

// The nominal point of the FCC_GO_2N sample networks.
const std::pair<const char*, double> kNominalInputs[] = {
    {"FEEDMASS", 250000}, {"FEEDSG", 0.92},      {"FEEDSUL", 1.2},   {"FEEDBN2", 800},   {"FEEDCCR", 2.5},
    {"FEEDNICKEL", 5},    {"FEEDVANADIUM", 8},   {"FEEDTEMP", 450},  {"CATCOOLERDUTY", 60},
    {"ECATMAT", 70},      {"FEEDT50", 800},      {"LCNECP", 220},    {"HCNECP", 400},    {"LCOECP", 650},
    {"ZSMPCT", 2},        {"REACTORPLENUMTEMP", 975},
};

}  // namespace

fcctestslate::fcctestslate(const std::string& kind, SlateShape shape) : rofcc("FCC1"), m_shape(shape) {
  m_modelKind = kind;
}

void fcctestslate::createROMVariables() {
  m_varCounter = 1;
  for (const auto& [map, names] : kCutVars) {
    std::istringstream words(names);
    for (std::string name; m_shape.cuts && words >> name;) addVar(varMap(map), name, "UNITLESS", "UNITLESS", -1e9, 1e9);
  }
  rofcc::createROMVariables();
}

void fcctestslate::createROMEquations() {
  m_eqnCounter = 1;
  if (m_shape.cuts && m_shape.cutRecords)
    for (FccRecord r : {FccRecord::MCNMass, FccRecord::MCNSulMass, FccRecord::MCNSul, FccRecord::MCNSulPPM,
                        FccRecord::HCOMass, FccRecord::HCOSulMass, FccRecord::HCOSul, FccRecord::HCOSulPPM})
      createRecord(r);
  rofcc::createROMEquations();
}

ROMVar* fcctestslate::find(const std::string& name) const {
  for (int m = 0; m <= static_cast<int>(FccMap::Calc); ++m) {
    const ROMVarMap& map = varMap(static_cast<FccMap>(m));
    if (const auto it = map.find(name); it != map.end()) return it->second;
  }
  return nullptr;
}

std::vector<const ROMEqn*> fcctestslate::allRecords() const {
  std::vector<const ROMEqn*> all;
  for (const auto& e : m_adjEqns) all.push_back(e.second);
  if (m_massBalEqn) all.push_back(m_massBalEqn);
  for (int i = 0; i < kFccRecordCount; ++i)
    if (const ROMEqn* r = record(static_cast<FccRecord>(i))) all.push_back(r);
  for (const ROMEqnMap* m : {&m_volConvEqns, &m_molConvEqns})
    for (const auto& e : *m) all.push_back(e.second);
  return all;
}

const ROMEqn* fcctestslate::findRecord(const std::string& name) const {
  for (const ROMEqn* e : allRecords())
    if (e->name == name) return e;
  return nullptr;
}

std::string fcctestslate::nameOf(int number) const {
  for (int m = 0; m <= static_cast<int>(FccMap::Calc); ++m)
    for (const auto& entry : varMap(static_cast<FccMap>(m)))
      if (varNumber(*entry.second) == number) return entry.first;
  return "?";
}

PreparedSlate::PreparedSlate(const std::string& kind, SlateShape shape, const char* hl, const char* le)
    : FrameworkLists(kCapacity), block(std::make_unique<fcctestslate>(kind, shape)) {
  romtest::useSampleNetworks();
  block->setLEBasis(le);
  block->setHLBasis(hl);
  block->prepare();
  attach(*block);
  iniStatus = 0;
  block->user_ini(iniStatus);
  for (const auto& [name, v] : kNominalInputs) value(name) = v;
}

double& PreparedSlate::value(const std::string& name) const {
  const ROMVar* var = block->find(name);
  if (!var) throw std::out_of_range("no variable " + name);
  return rtovarlst_vec_value(vars)[block->varNumber(*var) - 1];
}

std::vector<std::string> PreparedSlate::port(const char* name) const {
  std::vector<std::string> names;
  for (int n : block->findPort(name)->vars) names.push_back(block->nameOf(n));
  return names;
}
