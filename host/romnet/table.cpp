#include "host/romnet/table.h"

#include <sstream>

#include "platform/diveduded/parser.h"
#include "platform/diveduded/path.h"

namespace romnet {

namespace {

std::vector<std::string> splitLine(const std::string& line) {
  const std::string body = line.substr(0, line.find('#'));
  std::istringstream in(body);
  std::vector<std::string> out;
  std::string tok;
  while (in >> tok) out.push_back(tok);
  return out;
}

// A KIND or OUTPUT name, which becomes part of a file name: a valid name that
// names no other folder.
bool validFilePart(const std::string& name) {
  return diveduded::isValidName(name) && name.find_first_of("/\\") == std::string::npos && name != "." &&
         name != "..";
}

// Empty when the runner opens a file of this name; otherwise why it does not.
std::string fileNameProblem(const std::string& file) {
  // The runner copies at most this many bytes of a file name.
  if (file.size() > diveduded::kMaxNameLength)
    return "file name \"" + file + "\" is longer than " + std::to_string(diveduded::kMaxNameLength) + " bytes";
  // Any folder will do: only the rules on the file name matter here.
  std::string path, why;
  if (diveduded::resolveNetworkPath(".", file, path, why) != 0) return why;
  return {};
}

}  // namespace

std::string networkFileName(const std::string& kind, const std::string& output) {
  return kind + "_" + output + ".zkr";
}

const TableInput* KindTable::input(const std::string& tag) const {
  for (const TableInput& in : inputs)
    if (diveduded::equalsNoCase(in.tag, tag)) return &in;
  return nullptr;
}

bool parseTable(const std::string& text, KindTable& table, std::string& error) {
  table = KindTable{};
  std::istringstream in(text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& what) {
    error = "line " + std::to_string(number) + ": " + what;
    return false;
  };
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> t = splitLine(line);
    if (t.empty()) continue;
    const std::string& key = t[0];
    if (key == "KIND") {
      if (!table.kind.empty()) return fail("a second KIND row");
      if (t.size() != 2 || !validFilePart(t[1])) return fail("KIND takes one name without separators");
      table.kind = t[1];
      continue;
    }
    if (table.kind.empty()) return fail("the table must begin with a KIND row");
    if (key == "INPUT") {
      TableInput row;
      if (t.size() != 4) return fail("INPUT takes a tag, a nominal value and a span");
      row.tag = t[1];
      if (!diveduded::isValidName(row.tag)) return fail("input tag \"" + row.tag + "\" is not a valid name");
      if (table.input(row.tag) != nullptr) return fail("a second INPUT row for \"" + row.tag + "\"");
      if (!diveduded::parseNumber(t[2], row.nominal)) return fail("nominal value \"" + t[2] + "\" is not a number");
      if (!diveduded::parseNumber(t[3], row.span) || !(row.span > 0.0))
        return fail("span \"" + t[3] + "\" must be a positive number");
      table.inputs.push_back(row);
    } else if (key == "OUTPUT") {
      TableOutput row;
      row.line = number;
      if (t.size() < 4) return fail("OUTPUT takes a name, a nominal value, a hidden width and tag=sensitivity pairs");
      row.name = t[1];
      if (!validFilePart(row.name))
        return fail("output name \"" + row.name + "\" is not a valid name without separators");
      if (const std::string why = fileNameProblem(networkFileName(table.kind, row.name)); !why.empty())
        return fail(why);
      for (const TableOutput& o : table.outputs)
        if (diveduded::equalsNoCase(o.name, row.name)) return fail("a second OUTPUT row for \"" + row.name + "\"");
      if (!diveduded::parseNumber(t[2], row.nominal)) return fail("nominal value \"" + t[2] + "\" is not a number");
      double hidden = 0.0;
      if (!diveduded::parseNumber(t[3], hidden) || hidden != static_cast<int>(hidden) || hidden < 1 ||
          hidden > static_cast<double>(diveduded::kMaxWidth))
        return fail("hidden width \"" + t[3] + "\" must be a whole number from 1 to 10000");
      row.hidden = static_cast<int>(hidden);
      for (std::size_t i = 4; i < t.size(); ++i) {
        const std::size_t eq = t[i].rfind('=');
        if (eq == std::string::npos || eq == 0) return fail("expected tag=sensitivity, found \"" + t[i] + "\"");
        const std::string tag = t[i].substr(0, eq);
        double s = 0.0;
        if (!diveduded::parseNumber(t[i].substr(eq + 1), s))
          return fail("sensitivity of \"" + tag + "\" is not a number");
        const TableInput* def = table.input(tag);
        if (def == nullptr) return fail("tag \"" + tag + "\" has no INPUT row");
        for (const std::string& seen : row.tags)
          if (diveduded::equalsNoCase(seen, tag)) return fail("tag \"" + tag + "\" appears twice");
        row.tags.push_back(def->tag);
        row.sensitivities.push_back(s);
      }
      if (static_cast<int>(row.tags.size()) > row.hidden)
        return fail("hidden width " + std::to_string(row.hidden) + " is below the " +
                    std::to_string(row.tags.size()) + " input tags of \"" + row.name + "\"");
      table.outputs.push_back(std::move(row));
    } else {
      return fail("unknown row \"" + key + "\" (KIND, INPUT or OUTPUT)");
    }
  }
  if (table.kind.empty()) {
    error = "the table has no KIND row";
    return false;
  }
  if (table.outputs.empty()) {
    error = "the table has no OUTPUT row";
    return false;
  }
  return true;
}

}  // namespace romnet
