// The visbreaker's constant values, specifications and the contents of its
// input, volume and result ports.
#include <string>

#include "core/helpers.h"
#include "models/visbreaker/rovb.h"
#include "models/visbreaker/vb_tables.h"

namespace {

// Left out of the model inputs the input port lists: the feed is added by the
// basis, and the furnace temperature is computed.
bool notAnInputPortInput(const std::string& name) { return name == "FEEDMASS" || name == "FURNACETEMP"; }

}  // namespace

namespace vb {

const std::array<const char*, 4> kVolumePortOutputs = {{"C3MIXVOL", "C4MIXVOL", "FGSVOL", "H2SVOL"}};

const std::array<const char*, 29> kResultPort = {{
    "UNSATINC3MIXVOL", "SATINC3MIXVOL", "UNSATINC4MIXVOL", "NSATINC4MIXVOL", "ISATINC4MIXVOL",
    "UNSATINC3MIX",    "SATINC3MIX",    "UNSATINC4MIX",    "NSATINC4MIX",    "ISATINC4MIX",
    "FGSMOL",          "H2SMOL",        "NAPSUL",          "LGOSUL",         "HGOSUL",
    "TARSUL",          "NAPSULPPM",     "LGOSULPPM",       "HGOSULPPM",      "TARSULPPM",
    "NAPSG",           "LGOSG",         "HGOSG",           "TARSG",          "LGOVISC_122",
    "HGOVISC_122",     "TARVISC_122",   "HGOBNT",          "TARVAN",
}};

}  // namespace vb

void rovb::setPELMOVarValues(long long& status) {
  status = 0;
  // Every constant is written; one failure makes the status 1.
  if (writeConstants(vb::kConstantValues) != 0) status = 1;
}

void rovb::setPELMOVarSpecs(long long& status) {
  // The conversion specifies the unit; the furnace temperature, fixed with
  // the other model inputs, is then freed for its correlation.
  long long st = 0;
  robase::setPELMOVarSpecs(st);
  bool failed = st != 0;
  setPELMOVarSpec(at_or_throw(m_inputVars, std::string("FURNACETEMP")), "CALC", st);
  failed = failed || st != 0;
  setPELMOVarSpec(at_or_throw(m_calcVars, std::string("CONVERSION")), "CONST", st);
  failed = failed || st != 0;
  status = failed ? 1 : 0;
}

void rovb::addVarsToInputPort(qiv_port* port) {
  for (const auto& entry : m_inputVars)
    if (!notAnInputPortInput(entry.first)) addPELMOVarToPort(port, entry.second);
  if (m_hlBasis == BASIS_VOLUME)
    addPELMOVarToPort(port, at_or_throw(m_volumeVars, std::string("FEEDVOL")));
  else
    addPELMOVarToPort(port, at_or_throw(m_inputVars, std::string("FEEDMASS")));
  addPELMOVarToPort(port, at_or_throw(m_calcVars, std::string("CONVERSION")));
}

void rovb::addVarsToVolPort(qiv_port* port) {
  robase::addVarsToVolPort(port);
  for (const char* name : vb::kVolumePortOutputs) addPELMOVarToPort(port, at_or_throw(m_calcVars, std::string(name)));
}

void rovb::addVarsToResultPort(qiv_port* port) { addNamesToPort(port, vb::kResultPort); }
