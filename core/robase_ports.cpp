// robase: the five ports every reactor block shows to the flowsheet, and the
// generic fillers the models use for their own port tables.
#include "core/helpers.h"
#include "core/robase.h"

namespace {

bool endsWith(const std::string& name, const std::string& suffix) {
  return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

bool beginsWith(const std::string& name, const std::string& prefix) {
  return name.size() >= prefix.size() && name.compare(0, prefix.size(), prefix) == 0;
}

constexpr int kPortIn = 1;
constexpr int kPortOut = 2;

}  // namespace

void robase::createPELMOPorts(long long& status) {
  status = 0;
  using Filler = void (robase::*)(qiv_port*);
  struct PortRow {
    const char* name;
    int direction;
    Filler fill;
  };
  static constexpr PortRow kPorts[] = {
      {"INPUT", kPortIn, &robase::addVarsToInputPort},
      {"OUTMASS", kPortOut, &robase::addVarsToMassPort},
      {"OUTVOL", kPortOut, &robase::addVarsToVolPort},
      {"OUTRES", kPortOut, &robase::addVarsToResultPort},
      {"CONSTANTS", kPortIn, &robase::addVarsToConstantsPort},
  };
  for (const PortRow& row : kPorts) {
    qiv_port* port = qivport_create(row.name, 0, row.direction, 0);
    if (!port) continue;
    addPort(port);  // the block's port container owns it from here
    qivport_set_nvars(port, 0);
    (this->*row.fill)(port);
  }
}

void robase::addPELMOVarToPort(qiv_port* port, ROMVar* var) {
  if (!port || !var) return;
  const int n = qivport_nvars(port);
  qivport_set_nvars(port, n + 1);
  qivport_set_var(port, n, varNumber(*var));
}

void robase::addVarsToPortBySuffix(qiv_port* port, std::string suffix, const ROMVarMap& vars,
                                   const std::set<std::string>& excluded) {
  for (const auto& entry : vars) {
    if (!entry.second) continue;
    const std::string& name = entry.second->name;
    if (excluded.count(name) == 0 && endsWith(name, suffix)) addPELMOVarToPort(port, entry.second);
  }
}

void robase::addVarsToPortByPrefix(qiv_port* port, std::string prefix, const ROMVarMap& vars,
                                   const std::set<std::string>& excluded) {
  for (const auto& entry : vars) {
    if (!entry.second) continue;
    const std::string& name = entry.second->name;
    if (excluded.count(name) == 0 && beginsWith(name, prefix)) addPELMOVarToPort(port, entry.second);
  }
}

void robase::addNamesToPort(qiv_port* port, std::span<const char* const> names) {
  for (const char* name : names) addPELMOVarToPort(port, findVar(name));
}

void robase::addVarsToInputPort(qiv_port* port) {
  for (const auto& entry : m_inputVars) {
    // On a volume HL basis the feed enters by its volume flow.
    if (entry.first == "FEEDMASS" && m_hlBasis == BASIS_VOLUME) {
      addPELMOVarToPort(port, at_or_throw(m_volumeVars, std::string("FEEDVOL")));
    } else {
      addPELMOVarToPort(port, entry.second);
    }
  }
}

void robase::addVarsToOutputPort(qiv_port*) {}
void robase::addVarsToResultPort(qiv_port*) {}

void robase::addVarsToMassPort(qiv_port* port) {
  // Sulfur mass flows are results, not product streams.
  std::set<std::string> excluded;
  for (const auto& entry : m_calcVars)
    if (endsWith(entry.first, "SULMASS")) excluded.insert(entry.first);
  addVarsToPortBySuffix(port, "MASS", m_calcVars, excluded);
}

void robase::addVarsToVolPort(qiv_port* port) { addVarsToPortBySuffix(port, "", m_volumeVars, {"FEEDVOL"}); }

void robase::addVarsToConstantsPort(qiv_port* port) {
  for (const auto& entry : m_constVars) addPELMOVarToPort(port, entry.second);
}
