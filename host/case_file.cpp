#include "host/case_file.h"

#include <nlohmann/json.hpp>

#include "platform/file_io.h"

namespace romhost {

namespace {

using Json = nlohmann::ordered_json;

std::string text(const Json& j, const char* key, bool isName) {
  if (!j.is_string()) throw CaseError(std::string("\"") + key + "\" must be a string");
  std::string s = j.get<std::string>();
  if (isName && (s.empty() || s.size() > kMaxNameLength))
    throw CaseError(std::string("\"") + key + "\" must have 1 to 99 characters");
  return s;
}

void checkName(const std::string& name, const char* section) {
  if (name.empty() || name.size() > kMaxNameLength)
    throw CaseError(std::string("Names in \"") + section + "\" must have 1 to 99 characters: \"" + name + "\"");
}

AttributeValue attributeOf(const std::string& name, const Json& j) {
  AttributeValue a;
  if (j.is_boolean()) {
    a.kind = AttributeValue::kLogical;
    a.logical = j.get<bool>();
  } else if (j.is_number_integer()) {
    a.kind = AttributeValue::kInteger;
    a.integer = j.get<long long>();
  } else if (j.is_number()) {
    a.kind = AttributeValue::kReal;
    a.real = j.get<double>();
  } else if (j.is_string()) {
    a.kind = AttributeValue::kText;
    a.text = j.get<std::string>();
  } else {
    throw CaseError("Attribute " + name + " must be a number, true, false or a text");
  }
  return a;
}

}  // namespace

CaseSpec parseCase(const std::string& jsonText, const std::filesystem::path& caseFolder) {
  Json root;
  try {
    root = Json::parse(jsonText);
  } catch (const Json::exception& e) {
    throw CaseError(std::string("The case file is not valid JSON: ") + e.what());
  }
  if (!root.is_object()) throw CaseError("The case file must hold one JSON object");

  CaseSpec c;
  bool haveFactory = false;
  for (const auto& [key, value] : root.items()) {
    if (key == "factory") {
      c.factory = text(value, "factory", true);
      haveFactory = true;
    } else if (key == "name") {
      c.name = text(value, "name", true);
    } else if (key == "options") {
      if (!value.is_array()) throw CaseError("\"options\" must be a list of \"KEY:VALUE\" texts");
      for (const Json& o : value) c.options.push_back(text(o, "options", false));
    } else if (key == "networks") {
      const std::filesystem::path p(text(value, "networks", false));
      if (!p.empty()) c.networks = (p.is_absolute() ? p : caseFolder / p).lexically_normal().string();
    } else if (key == "fix" || key == "free") {
      if (!value.is_array()) throw CaseError("\"" + key + "\" must be a list of variable names");
      std::vector<std::string>& names = key == "fix" ? c.fix : c.free;
      for (const Json& n : value) {
        names.push_back(text(n, key.c_str(), false));
        checkName(names.back(), key.c_str());
      }
    } else if (key == "values") {
      if (!value.is_object()) throw CaseError("\"values\" must map variable names to numbers");
      for (const auto& [name, v] : value.items()) {
        checkName(name, "values");
        if (!v.is_number()) throw CaseError("The value of " + name + " must be a number");
        c.values.emplace_back(name, v.get<double>());
      }
    } else if (key == "attributes") {
      if (!value.is_object()) throw CaseError("\"attributes\" must map attribute names to values");
      for (const auto& [name, v] : value.items()) {
        checkName(name, "attributes");
        c.attributes.emplace_back(name, attributeOf(name, v));
      }
    } else {
      throw CaseError("Unknown key \"" + key +
                      "\" in the case file (known: factory, name, options, networks, fix, free, values, attributes)");
    }
  }
  if (!haveFactory) throw CaseError("The case file names no \"factory\"");
  return c;
}

CaseSpec readCaseFile(const std::string& path) {
  std::string text;
  const pelmo_file::FileResult read = pelmo_file::readRegularFile(path, kMaxCaseFileBytes, text);
  if (!read.ok()) throw CaseError("Cannot read the case file " + path + ": " + read.reason);
  std::error_code ec;
  std::filesystem::path folder = std::filesystem::absolute(path, ec).parent_path();
  if (ec) folder = std::filesystem::path(path).parent_path();
  return parseCase(text, folder);
}

}  // namespace romhost
