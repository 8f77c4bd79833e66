#include "host/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace romhost {

namespace {

std::string num(double v, const char* format = "%.10g") {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

// A JSON number, or null for a value JSON cannot hold.
nlohmann::ordered_json jsonNumber(double v) {
  if (!std::isfinite(v)) return nullptr;
  return v;
}

std::string padded(const std::string& s, std::size_t width) {
  return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

// The note of a table row: a value outside its bounds, a free variable held at one.
std::string noteOf(const SolveReport& r, const VariableRow& row) {
  for (const HeldAtBound& b : r.atBounds)
    if (b.name == row.name) return b.upper ? "held at its upper bound" : "held at its lower bound";
  for (const BoundWarning& w : r.warnings)
    if (w.name == row.name && w.value == row.value)
      return "outside its bounds [" + num(w.lower) + ", " + num(w.upper) + "]";
  return {};
}

}  // namespace

std::vector<VariableRow> variableRows(const BlockSystem& sys, const std::string& blockName) {
  std::vector<VariableRow> rows;
  for (const int v : sys.variables()) {
    std::string name = ownVariableName(sys, v, blockName);
    // Values are held in base units; display units are only a label of the framework.
    std::string unit = rtouom_name(rtovarlst_baseuom(sys.varList(), v));
    if (unit.empty()) unit = rtouom_name(rtovarlst_uom(sys.varList(), v));
    rows.push_back({std::move(name), sys.value(v), std::move(unit), sys.isFixed(v)});
  }
  return rows;
}

void printTable(std::ostream& out, const SolveReport& r) {
  std::size_t width = 4;
  for (const VariableRow& row : r.rows) width = std::max(width, row.name.size());
  width += 2;
  out << "Block " << printable(r.block);
  if (r.subid) out << " (SUBID " << printable(*r.subid) << ")";
  out << "\n" << padded("Name", width) << padded("Value", 20) << padded("Unit", 12) << "Spec\n";
  for (const VariableRow& row : r.rows) {
    out << padded(row.name, width) << padded(num(row.value), 20) << padded(row.unit, 12)
        << (row.fixed ? "CONST" : "CALC");
    const std::string note = noteOf(r, row);
    if (!note.empty()) out << "  " << note;
    out << "\n";
  }
}

void printSummary(std::ostream& out, const SolveReport& r) {
  out << printable(r.newton.message) << "\n";
  out << "Variables " << r.variables << " (free " << r.newton.unknowns << "), equations " << r.equations
      << ", non-zeros " << r.nonzeros << "\n";
  if (!r.warnings.empty())
    out << r.warnings.size()
        << (r.warnings.size() == 1 ? " value lies outside its bounds" : " values lie outside their bounds")
        << " (see the warnings)\n";
  if (!r.atBounds.empty()) {
    // The first few by name; the table marks every one.
    constexpr std::size_t kNamed = 5;
    out << "Free variables held at a bound:";
    for (std::size_t i = 0; i < r.atBounds.size() && i < kNamed; ++i) {
      const HeldAtBound& b = r.atBounds[i];
      out << (i == 0 ? " " : ", ") << b.name << " = " << num(b.value) << " (" << (b.upper ? "upper" : "lower") << ")";
    }
    if (r.atBounds.size() > kNamed) out << " and " << r.atBounds.size() - kNamed << " more";
    out << "\n";
  }
}

void printCheck(std::ostream& out, const CheckAtPoint& c) {
  const CheckResult& k = c.result;
  out << "Jacobian check at the " << c.point << " point: ";
  if (k.status != HostStatus::kOk) {
    out << hostStatusName(k.status) << ": " << printable(k.message) << "\n";
    return;
  }
  out << k.checked << " entries, max relative error " << num(k.maxRelError, "%.3g") << " (threshold "
      << num(k.threshold, "%.3g") << "): " << (k.passed() ? "passed" : "FAILED") << "\n";
  auto table = [&out](const std::vector<CheckEntry>& entries) {
    std::size_t we = 8, wv = 8;
    for (const CheckEntry& e : entries) {
      we = std::max(we, printable(e.equation).size());
      wv = std::max(wv, printable(e.variable).size());
    }
    out << "    " << padded("equation", we + 2) << padded("variable", wv + 2) << padded("analytic", 16)
        << padded("FD", 16) << "rel. error\n";
    for (const CheckEntry& e : entries)
      out << "    " << padded(printable(e.equation), we + 2) << padded(printable(e.variable), wv + 2)
          << padded(num(e.analytic, "%.8g"), 16) << padded(num(e.fd, "%.8g"), 16) << num(e.relError, "%.3g")
          << (e.fixedColumn ? "  (fixed)" : "") << "\n";
  };
  // A passed check needs no detail; a failed one lists the entries above the threshold.
  std::vector<CheckEntry> failing;
  for (const CheckEntry& e : k.worst)
    if (!(e.relError <= k.threshold)) failing.push_back(e);
  if (!failing.empty()) {
    out << "  entries above the threshold (worst first):\n";
    table(failing);
  }
  if (!k.unregistered.empty()) {
    out << "  sensitivities the pattern does not register:\n";
    table(k.unregistered);
  }
}

nlohmann::ordered_json reportJson(const SolveReport& r) {
  using Json = nlohmann::ordered_json;
  Json j;
  j["block"] = r.block;
  j["subid"] = r.subid ? Json(*r.subid) : Json(nullptr);
  j["converged"] = r.newton.converged();
  j["iterations"] = r.newton.iterations;
  j["max_residual"] = jsonNumber(r.newton.maxResidual);
  j["counts"] = {{"variables", r.variables}, {"equations", r.equations}, {"nonzeros", r.nonzeros}};
  Json vars = Json::object();
  for (const VariableRow& row : r.rows)
    vars[row.name] = {{"value", jsonNumber(row.value)}, {"unit", row.unit}, {"fixed", row.fixed}};
  j["variables"] = std::move(vars);
  Json warnings = Json::array();
  for (const BoundWarning& w : r.warnings)
    warnings.push_back({{"name", w.name},
                        {"value", jsonNumber(w.value)},
                        {"lower", jsonNumber(w.lower)},
                        {"upper", jsonNumber(w.upper)}});
  j["warnings"] = std::move(warnings);
  if (!r.error.empty()) j["error"] = r.error;
  if (r.saved) {
    j["saved"] = *r.saved;
    if (!*r.saved) j["save_error"] = r.saveError;
  }
  if (!r.newton.converged()) {
    Json held = Json::array();
    for (const HeldAtBound& b : r.atBounds)
      held.push_back({{"name", b.name}, {"value", jsonNumber(b.value)}, {"bound", b.upper ? "upper" : "lower"}});
    j["at_bounds"] = std::move(held);
  }
  if (r.checkRequested) {
    double maxErr = 0.0;
    int checked = 0;
    bool passed = !r.checks.empty();
    std::vector<std::pair<const CheckAtPoint*, const CheckEntry*>> worst, unregistered;
    Json errors = Json::array();
    for (const CheckAtPoint& c : r.checks) {
      maxErr = std::max(maxErr, c.result.maxRelError);
      checked = std::max(checked, c.result.checked);
      passed = passed && c.result.passed();
      if (c.result.status != HostStatus::kOk) errors.push_back(c.point + ": " + c.result.message);
      for (const CheckEntry& e : c.result.worst) worst.emplace_back(&c, &e);
      for (const CheckEntry& e : c.result.unregistered) unregistered.emplace_back(&c, &e);
    }
    auto larger = [](const auto& a, const auto& b) { return a.second->relError > b.second->relError; };
    std::stable_sort(worst.begin(), worst.end(), larger);
    const std::size_t keep = r.checks.empty() ? 0 : static_cast<std::size_t>(CheckSettings{}.worstCount);
    if (worst.size() > keep) worst.resize(keep);
    auto entries = [](const auto& list) {
      Json a = Json::array();
      for (const auto& [c, e] : list)
        a.push_back({{"point", c->point},
                     {"equation", e->equation},
                     {"variable", e->variable},
                     {"analytic", jsonNumber(e->analytic)},
                     {"fd", jsonNumber(e->fd)},
                     {"rel_error", jsonNumber(e->relError)}});
      return a;
    };
    Json check;
    check["max_rel_error"] = jsonNumber(maxErr);
    check["checked"] = checked;
    check["worst"] = entries(worst);
    check["unregistered"] = entries(unregistered);
    check["passed"] = passed;
    if (!errors.empty()) check["errors"] = std::move(errors);
    j["jacobian_check"] = std::move(check);
  }
  return j;
}

std::string reportJsonText(const SolveReport& report) {
  return reportJson(report).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace romhost
