#include "host/case_file.h"

#include <climits>
#include <map>
#include <nlohmann/json.hpp>

#include "platform/file_io.h"

namespace romhost {

namespace {

using Json = nlohmann::json;

// A JSON value as the case file holds it, each object's members in the file's
// order. Built by the parser's event interface, so reading is linear in the
// file's size (the library's order-keeping object looks every new key up
// among the earlier ones, quadratic for a large "values" section).
struct Node {
  enum Kind { kNull, kBoolean, kInteger, kUnsigned, kFloat, kString, kArray, kObject } kind = kNull;
  bool boolean = false;
  long long integer = 0;
  unsigned long long unsignedInteger = 0;
  double number = 0.0;
  std::string text;
  // The elements of an array; the member values of an object, in the file's
  // order, with their names in keys.
  std::vector<Node> items;
  std::vector<std::string> keys;

  bool isNumber() const { return kind == kInteger || kind == kUnsigned || kind == kFloat; }
  double real() const {
    if (kind == kInteger) return static_cast<double>(integer);
    if (kind == kUnsigned) return static_cast<double>(unsignedInteger);
    return number;
  }
};

class TreeBuilder : public nlohmann::json_sax<Json> {
 public:
  Node root;
  std::string error;

  bool null() override { return put(Node{}); }
  bool boolean(bool b) override {
    Node n;
    n.kind = Node::kBoolean;
    n.boolean = b;
    return put(std::move(n));
  }
  bool number_integer(number_integer_t i) override {
    Node n;
    n.kind = Node::kInteger;
    n.integer = i;
    return put(std::move(n));
  }
  bool number_unsigned(number_unsigned_t u) override {
    Node n;
    n.kind = Node::kUnsigned;
    n.unsignedInteger = u;
    return put(std::move(n));
  }
  bool number_float(number_float_t d, const string_t&) override {
    Node n;
    n.kind = Node::kFloat;
    n.number = d;
    return put(std::move(n));
  }
  bool string(string_t& s) override {
    if (!plainText(s)) return false;
    Node n;
    n.kind = Node::kString;
    n.text = std::move(s);
    return put(std::move(n));
  }
  bool binary(binary_t&) override {
    error = "The case file is not valid JSON: binary data";
    return false;
  }
  bool start_object(std::size_t) override {
    Node n;
    n.kind = Node::kObject;
    return open(std::move(n));
  }
  bool key(string_t& k) override {
    if (!plainText(k)) return false;
    key_ = std::move(k);
    return true;
  }
  bool end_object() override {
    open_.pop_back();
    return true;
  }
  bool start_array(std::size_t) override {
    Node n;
    n.kind = Node::kArray;
    return open(std::move(n));
  }
  bool end_array() override {
    open_.pop_back();
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
    error = std::string("The case file is not valid JSON: ") + e.what();
    return false;
  }

 private:
  // A NUL inside a text would cut every name and option handed on at it.
  bool plainText(const std::string& s) {
    if (s.find('\0') == std::string::npos) return true;
    error = "The case file holds a text with a NUL character (\\u0000)";
    return false;
  }
  // Adds a value to the innermost open array or object (or makes it the root)
  // and returns where it now lives. Only the innermost container grows, so the
  // open containers' addresses stay valid.
  Node* add(Node n) {
    if (open_.empty()) {
      root = std::move(n);
      return &root;
    }
    Node& parent = *open_.back();
    if (parent.kind == Node::kObject) parent.keys.push_back(std::move(key_));
    parent.items.push_back(std::move(n));
    return &parent.items.back();
  }
  bool put(Node n) {
    add(std::move(n));
    return true;
  }
  bool open(Node n) {
    if (open_.size() >= kMaxCaseNesting) {
      error = "The case file nests arrays and objects deeper than " + std::to_string(kMaxCaseNesting) + " levels";
      return false;
    }
    open_.push_back(add(std::move(n)));
    return true;
  }

  std::vector<Node*> open_;
  std::string key_;
};

std::string text(const Node& j, const char* key, bool isName) {
  if (j.kind != Node::kString) throw CaseError(std::string("\"") + key + "\" must be a string");
  if (isName && (j.text.empty() || j.text.size() > kMaxNameLength))
    throw CaseError(std::string("\"") + key + "\" must have 1 to 99 bytes");
  return j.text;
}

void checkName(const std::string& name, const char* section) {
  if (name.empty() || name.size() > kMaxNameLength)
    throw CaseError(std::string("Names in \"") + section + "\" must have 1 to 99 bytes: \"" + name + "\"");
}

AttributeValue attributeOf(const std::string& name, const Node& j) {
  AttributeValue a;
  if (j.kind == Node::kBoolean) {
    a.kind = AttributeValue::kLogical;
    a.logical = j.boolean;
  } else if (j.kind == Node::kInteger || (j.kind == Node::kUnsigned && j.unsignedInteger <= LLONG_MAX)) {
    a.kind = AttributeValue::kInteger;
    a.integer = j.kind == Node::kInteger ? j.integer : static_cast<long long>(j.unsignedInteger);
  } else if (j.isNumber()) {
    a.kind = AttributeValue::kReal;
    a.real = j.real();
  } else if (j.kind == Node::kString) {
    a.kind = AttributeValue::kText;
    a.text = j.text;
  } else {
    throw CaseError("Attribute " + name + " must be a number, true, false or a text");
  }
  return a;
}

}  // namespace

CaseSpec parseCase(const std::string& jsonText, const std::filesystem::path& caseFolder) {
  TreeBuilder tree;
  bool parsed = false;
  try {
    parsed = Json::sax_parse(jsonText, &tree);
  } catch (const Json::exception& e) {
    throw CaseError(std::string("The case file is not valid JSON: ") + e.what());
  }
  if (!parsed) throw CaseError(tree.error.empty() ? std::string("The case file is not valid JSON") : tree.error);
  const Node& root = tree.root;
  if (root.kind != Node::kObject) throw CaseError("The case file must hold one JSON object");

  // A key given twice counts with its last value, as JSON readers commonly take it.
  std::map<std::string, std::size_t> last;
  for (std::size_t i = 0; i < root.keys.size(); ++i) last[root.keys[i]] = i;

  CaseSpec c;
  bool haveFactory = false;
  for (std::size_t i = 0; i < root.keys.size(); ++i) {
    if (last[root.keys[i]] != i) continue;
    const std::string& key = root.keys[i];
    const Node& value = root.items[i];
    if (key == "factory") {
      c.factory = text(value, "factory", true);
      haveFactory = true;
    } else if (key == "name") {
      c.name = text(value, "name", true);
    } else if (key == "options") {
      if (value.kind != Node::kArray) throw CaseError("\"options\" must be a list of \"KEY:VALUE\" texts");
      for (const Node& o : value.items) c.options.push_back(text(o, "options", false));
    } else if (key == "networks") {
      const std::filesystem::path p(text(value, "networks", false));
      if (!p.empty()) c.networks = (p.is_absolute() ? p : caseFolder / p).lexically_normal().string();
    } else if (key == "fix" || key == "free") {
      if (value.kind != Node::kArray) throw CaseError("\"" + key + "\" must be a list of variable names");
      std::vector<std::string>& names = key == "fix" ? c.fix : c.free;
      for (const Node& n : value.items) {
        names.push_back(text(n, key.c_str(), false));
        checkName(names.back(), key.c_str());
      }
    } else if (key == "values") {
      if (value.kind != Node::kObject) throw CaseError("\"values\" must map variable names to numbers");
      c.values.reserve(value.keys.size());
      for (std::size_t k = 0; k < value.keys.size(); ++k) {
        const std::string& name = value.keys[k];
        const Node& v = value.items[k];
        checkName(name, "values");
        if (!v.isNumber()) throw CaseError("The value of " + name + " must be a number");
        c.values.emplace_back(name, v.real());
      }
    } else if (key == "attributes") {
      if (value.kind != Node::kObject) throw CaseError("\"attributes\" must map attribute names to values");
      for (std::size_t k = 0; k < value.keys.size(); ++k) {
        const std::string& name = value.keys[k];
        checkName(name, "attributes");
        c.attributes.emplace_back(name, attributeOf(name, value.items[k]));
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
