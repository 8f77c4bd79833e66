#include "host/bounds.h"

#include <cstdio>
#include <limits>
#include <optional>
#include <set>

#include "host/hook_call.h"
#include "platform/ports.h"

namespace romhost {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool outside(double value, double lower, double upper) { return value < lower || value > upper; }

// The real value of one of the block's attributes; none for an unknown name,
// a value of another kind, or a lookup that threw.
std::optional<double> realAttribute(QivEOBlock& block, const std::string& name) {
  value_t v;
  bool found = false;
  std::string error;
  callGuarded([&] { found = block.attr_lookup_value(name.c_str(), &v); }, error);
  std::optional<double> out;
  if (found && v.type == VT_REAL) out = value_real(v);
  value_clear(&v);
  return out;
}

std::string number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

}  // namespace

std::string ownVariableName(const BlockSystem& sys, int var, const std::string& blockName) {
  std::string name = sys.variableName(var);
  const std::string prefix = blockName + ".";
  if (name.compare(0, prefix.size(), prefix) == 0) name.erase(0, prefix.size());
  return name;
}

std::vector<BoundWarning> fixedOutsideBounds(const BlockSystem& sys, const std::string& blockName,
                                             const std::set<int>& skip) {
  std::vector<BoundWarning> out;
  for (const int v : sys.variables()) {
    if (!sys.isFixed(v) || skip.count(v) != 0) continue;
    const double value = sys.value(v), lower = sys.lower(v), upper = sys.upper(v);
    if (outside(value, lower, upper)) out.push_back({ownVariableName(sys, v, blockName), value, lower, upper});
  }
  return out;
}

std::set<int> constantsNotGiven(const QivEOBlockImpl& block, const BlockSystem& sys, const std::string& blockName,
                                const std::vector<std::string>& given) {
  std::set<int> out;
  const qiv_port* port = block.findPort("CONSTANTS");
  if (!port) return out;
  const std::set<std::string> named(given.begin(), given.end());
  for (int place = 0; place < qivport_nvars(port); ++place) {
    const int v = qivport_var(port, place);
    if (v > 0 && named.count(ownVariableName(sys, v, blockName)) == 0) out.insert(v);
  }
  return out;
}

std::vector<BoundWarning> attributesOutsideBounds(QivEOBlock& block, const std::vector<std::string>& names) {
  std::vector<BoundWarning> out;
  std::set<std::string> seen;
  for (const std::string& name : names) {
    if (!seen.insert(name).second) continue;
    const std::optional<double> value = realAttribute(block, name);
    if (!value) continue;
    const std::optional<double> lower = realAttribute(block, name + "_LB");
    const std::optional<double> upper = realAttribute(block, name + "_UB");
    if (!lower && !upper) continue;
    const double lo = lower.value_or(-kInfinity), hi = upper.value_or(kInfinity);
    if (outside(*value, lo, hi)) out.push_back({name, *value, lo, hi});
  }
  return out;
}

std::vector<HeldAtBound> freeAtBounds(const BlockSystem& sys, const std::string& blockName) {
  std::vector<HeldAtBound> out;
  for (const int v : sys.unknowns()) {
    const double value = sys.value(v);
    if (value <= sys.lower(v)) out.push_back({ownVariableName(sys, v, blockName), value, false});
    else if (value >= sys.upper(v)) out.push_back({ownVariableName(sys, v, blockName), value, true});
  }
  return out;
}

std::vector<BoundWarning> mergeWarnings(std::vector<BoundWarning>& list, const std::vector<BoundWarning>& more) {
  std::set<std::pair<std::string, double>> known;
  for (const BoundWarning& k : list) known.emplace(k.name, k.value);
  std::vector<BoundWarning> added;
  for (const BoundWarning& w : more) {
    if (!known.emplace(w.name, w.value).second) continue;
    list.push_back(w);
    added.push_back(w);
  }
  return added;
}

std::string describe(const BoundWarning& w) {
  return w.name + " = " + number(w.value) + " lies outside its bounds [" + number(w.lower) + ", " + number(w.upper) +
         "]";
}

}  // namespace romhost
