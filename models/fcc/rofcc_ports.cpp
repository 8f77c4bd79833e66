// rofcc: the variables of the FCC ports, and the values of the model constants.
// Every name is looked up in the map where the catalogue puts it; a missing
// name throws "invalid map<K, T> key" and leaves the entries added before it.
#include "core/helpers.h"
#include "models/fcc/rofcc.h"

namespace {

using M = FccMap;

// Written by setPELMOVarValues. FGSMW gets 20.65 although its catalogue bounds
// are 23.0565: the framework does not clip a fixed variable's value.
// C5SCUTOFF is the double just above the one nearest 1e-20.
constexpr ConstantValue kConstValues[] = {
    {"COKFOEFACTOR", 1.24},
    {"FGSFOEFACTOR", 0.811249393},
    {"H2SFOEFACTOR", 2.6145},
    {"C3SG", 0.5085},
    {"C32SG", 0.5194},
    {"IC4SG", 0.5646},
    {"NC4SG", 0.5948},
    {"UC4SG", 0.6008},
    {"FGSMW", 20.65},
    {"H2SMW", 34.08088},
    {"H2SSULFUR", 0.9408501188936436},  // 32.065 / 34.08088, mass fraction of sulfur in H2S
    {"C5SCUTOFF", 1.0000000000000001e-20},
    {"LCNCUTOFF", 1e-19},
    {"HCNCUTOFF", 1e-19},
};

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

void rofcc::addNamesToPort(qiv_port* port, FccMap map, std::initializer_list<const char*> names) {
  for (const char* name : names) addPELMOVarToPort(port, lookup(map, name));
}

void rofcc::addVarsToVolPort(qiv_port* port) {
  robase::addVarsToVolPort(port);  // the volume flows but FEEDVOL, in key order
  addNamesToPort(port, M::Calc, {"C3MIXVOL", "C4MIXVOL", "COKVOL", "FGSVOL", "H2SVOL"});
}

namespace {
// The properties and unit results after the sulfur values, shared by the
// result port and the output port.
constexpr const char* kProductProperties[] = {
    "LCNSG",      "HCNSG",      "LCOSG",       "BOTSG",     "BURNAIRMOLFLOW", "REGENBEDTEMP", "CATTOOILRATIO",
    "LCNRON",     "LCNMON",     "LCNRVP",      "LCNAROM",   "LCNOLEF",        "LCNBEN",       "HCNRON",
    "HCNMON",     "HCNRVP",     "HCNAROM",     "HCNOLEF",   "HCNCLOUDPT",     "HCNVISC_122",  "LCOD86_50",
    "LCONIT",     "LCOCCR",     "LCOAROM",     "LCOVISC_122", "LCOCLOUDPT",   "BOTVISC_122",  "BOTCCR",
};
}  // namespace

void rofcc::addVarsToResultPort(qiv_port* port) {
  addNamesToPort(port, M::Calc,
                 {"SATINC3MIXVOL", "UNSATINC3MIXVOL", "NSATINC4MIXVOL", "ISATINC4MIXVOL", "UNSATINC4MIXVOL"});
  addNamesToPort(port, M::Calc, {"SATINC3MIX", "UNSATINC3MIX", "NSATINC4MIX", "ISATINC4MIX", "UNSATINC4MIX"});
  addNamesToPort(port, M::Molar, {"FGSMOL", "H2SMOL"});
  addNamesToPort(port, M::Output, {"C5SSG", "C5SRON", "C5SMON", "C5SAROM", "C5SOLEF", "C5SRVP"});
  addNamesToPort(port, M::Calc, {"C5SRVI", "CONVERSION"});
  addNamesToPort(port, M::Calc, {"C5SSUL", "LCNSUL", "HCNSUL", "LCOSUL", "BOTSUL", "COKSUL"});
  addNamesToPort(port, M::Calc, {"C5SSULPPM", "LCNSULPPM", "HCNSULPPM", "LCOSULPPM", "BOTSULPPM", "COKSULPPM"});
  for (const char* name : kProductProperties) addPELMOVarToPort(port, lookup(M::Output, name));

  // The slate's own cuts, by the tail of the model kind ("3N1H": both).
  const std::string tail = fccSlateTail(m_modelKind);
  if (!tail.empty() && tail.front() == '3') {
    addNamesToPort(port, M::Calc, {"MCNSUL", "MCNSULPPM"});
    addNamesToPort(port, M::Output, {"MCNSG", "MCNRON", "MCNMON", "MCNRVP", "MCNAROM", "MCNOLEF"});
  }
  if (!tail.empty() && tail.back() == 'H') {
    addNamesToPort(port, M::Calc, {"HCOSUL", "HCOSULPPM"});
    addNamesToPort(port, M::Output, {"HCOSG", "HCONIT", "HCOCCR", "HCOAROM", "HCOVISC_122", "HCOCLOUDPT"});
  }
}

void rofcc::addVarsToOutputPort(qiv_port* port) {
  // Liquid products and the mix shares follow the HL basis, the gases the LE basis.
  const bool liquidVolume = m_hlBasis == BASIS_VOLUME;
  if (liquidVolume) {
    addNamesToPort(port, M::Volume, {"C3VOL", "C32VOL"});
    addNamesToPort(port, M::Calc, {"C3MIXVOL"});
    addNamesToPort(port, M::Volume, {"NC4VOL", "IC4VOL", "UC4VOL"});
    addNamesToPort(port, M::Calc, {"C4MIXVOL"});
    addNamesToPort(port, M::Volume, {"C5SVOL", "LCNVOL", "HCNVOL", "LCOVOL", "BOTVOL"});
    addNamesToPort(port, M::Calc, {"COKVOL"});
  } else {
    addNamesToPort(port, M::Calc,
                   {"C3MASS", "C32MASS", "C3MIXMASS", "NC4MASS", "IC4MASS", "UC4MASS", "C4MIXMASS", "C5SMASS",
                    "LCNMASS", "HCNMASS", "LCOMASS", "BOTMASS", "COKMASS"});
  }

  if (m_leBasis == BASIS_MOLAR) {
    addNamesToPort(port, M::Molar, {"FGSMOL", "H2SMOL"});
  } else if (m_leBasis == BASIS_VOLUME) {
    addNamesToPort(port, M::Calc, {"FGSVOL", "H2SVOL"});
  } else {
    addNamesToPort(port, M::Calc, {"FGSMASS", "H2SMASS"});
  }

  if (liquidVolume) {
    addNamesToPort(port, M::Calc,
                   {"SATINC3MIXVOL", "UNSATINC3MIXVOL", "NSATINC4MIXVOL", "ISATINC4MIXVOL", "UNSATINC4MIXVOL"});
  } else {
    addNamesToPort(port, M::Calc, {"SATINC3MIX", "UNSATINC3MIX", "NSATINC4MIX", "ISATINC4MIX", "UNSATINC4MIX"});
  }

  addNamesToPort(port, M::Output, {"C5SSG", "C5SRON", "C5SMON", "C5SAROM", "C5SOLEF", "C5SRVP"});
  addNamesToPort(port, M::Calc, {"C5SRVI", "CONVERSION", "C5SSUL", "LCNSUL", "HCNSUL", "LCOSUL", "BOTSUL", "COKSUL"});
  for (const char* name : kProductProperties) addPELMOVarToPort(port, lookup(M::Output, name));
}

void rofcc::addVarsToConstantsPort(qiv_port* port) {
  // The cut-offs tune the smooth floor; they are not flowsheet constants.
  for (const auto& entry : m_constVars) {
    const std::string& name = entry.first;
    if (name.size() > 6 && endsWith(name, "CUTOFF")) continue;
    addPELMOVarToPort(port, entry.second);
  }
}

void rofcc::setPELMOVarValues(long long& status) {
  // Every value is written; one failed write makes the whole step fail.
  status = writeConstants(kConstValues);
}
