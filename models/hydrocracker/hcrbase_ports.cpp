// hcrbase: the port filters. Names are tested by containment ("MASS"
// anywhere, "HYD" anywhere), except the exact names CONVERSION and FEEDMASS
// of the input port.
#include <initializer_list>

#include "core/helpers.h"
#include "models/hydrocracker/hcrbase.h"

namespace {

bool contains(const std::string& name, const char* part) { return name.find(part) != std::string::npos; }

bool containsAny(const std::string& name, std::initializer_list<const char*> parts) {
  for (const char* p : parts)
    if (contains(name, p)) return true;
  return false;
}

}  // namespace

void hcrbase::addVarsToInputPort(qiv_port* port) {
  // CONVERSION is computed (or a model internal); the user gives TOTCONV.
  for (const varinfo& v : inputSet) {
    if (v.name == "CONVERSION") continue;
    const bool feedByVolume = v.name == "FEEDMASS" && m_hlBasis == BASIS_VOLUME;
    addPELMOVarToPort(port, varRecord(feedByVolume ? std::string("FEEDVOL") : v.name));
  }
  addPELMOVarToPort(port, varRecord("TOTCONV"));
}

void hcrbase::addVarsToOutputPort(qiv_port* port) {
  for (const varinfo& v : calcSet) {
    if (containsAny(v.name, {"FEEDVOL", "TOTCONV"})) continue;
    if (m_hlBasis == BASIS_VOLUME && contains(v.name, "MASS")) continue;
    if (m_hlBasis == BASIS_MASS && contains(v.name, "VOL")) continue;
    addPELMOVarToPort(port, varRecord(v.name));
  }
  for (const varinfo& v : nnOutputSet)
    if (!containsAny(v.name, {"FRAC", "RELSUL", "HYD"})) addPELMOVarToPort(port, varRecord(v.name));
}

void hcrbase::addVarsToMassPort(qiv_port* port) {
  // Hydrogen masses are balance terms, not product streams.
  for (const varinfo& v : calcSet)
    if (contains(v.name, "MASS") && !contains(v.name, "HYD")) addPELMOVarToPort(port, varRecord(v.name));
}

void hcrbase::addVarsToVolPort(qiv_port* port) {
  for (const varinfo& v : calcSet)
    if (contains(v.name, "VOL") && !contains(v.name, "FEEDVOL")) addPELMOVarToPort(port, varRecord(v.name));
}

void hcrbase::addVarsToResultPort(qiv_port* port) {
  for (const varinfo& v : calcSet)
    if (!containsAny(v.name, {"TOTCONV", "MASS", "VOL"})) addPELMOVarToPort(port, varRecord(v.name));
  for (const varinfo& v : nnOutputSet)
    if (!containsAny(v.name, {"FRAC", "RELSUL", "HYD"})) addPELMOVarToPort(port, varRecord(v.name));
}

void hcrbase::addVarsToConstantsPort(qiv_port* port) {
  for (const varinfo& v : constSet) addPELMOVarToPort(port, varRecord(v.name));
}
