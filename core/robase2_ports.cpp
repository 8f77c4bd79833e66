// robase2: the ports from the category sets. Names are tested by containment
// ("MASS" anywhere, "SULMASS" anywhere, "CUTOFF" anywhere), not by suffix as
// in the first generation.
#include "core/helpers.h"
#include "core/robase2.h"

namespace {

bool contains(const std::string& name, const char* part) { return name.find(part) != std::string::npos; }

bool endsWith(const std::string& name, const std::string& suffix) {
  return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

void robase2::addVarsToInputPort(qiv_port* port) {
  for (const varinfo2& v : inputSet) {
    // On a volume HL basis the feed enters by its volume flow.
    const bool feedByVolume = m_hlBasis == BASIS_VOLUME && v.name == "FEEDMASS";
    addPELMOVarToPort(port, varRecord(feedByVolume ? std::string("FEEDVOL") : v.name));
  }
}

void robase2::addVarsToMassPort(qiv_port* port) {
  // Sulfur mass flows are results, not product streams.
  for (const varinfo2& v : calcSet)
    if (contains(v.name, "MASS") && !contains(v.name, "SULMASS")) addPELMOVarToPort(port, varRecord(v.name));
}

void robase2::addVarsToConstantsPort(qiv_port* port) {
  // Cut-offs are model internals, not constants the flowsheet connects.
  for (const varinfo2& v : constSet)
    if (!contains(v.name, "CUTOFF")) addPELMOVarToPort(port, varRecord(v.name));
}

void robase2::addNamesToPort(qiv_port* port, std::span<const char* const> names) {
  for (const char* name : names) addPELMOVarToPort(port, varRecord(name));
}

void robase2::addVarsToPortBySuffix(qiv_port* port, const std::string& suffix, const std::set<varinfo2>& vars,
                                    const std::set<std::string>& excluded) {
  for (const varinfo2& v : vars)
    if (excluded.count(v.name) == 0 && endsWith(v.name, suffix)) addPELMOVarToPort(port, varRecord(v.name));
}

void robase2::addVarsToPortByPrefix(qiv_port*, const std::string&, const std::set<varinfo2>&,
                                    const std::set<std::string>&) {}
