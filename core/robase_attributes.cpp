// robase: the tuning factors as block attributes. For each network output y:
// ALPHA_y, BETA_y with their bounds and one GAMMA_y_x per model input x (the
// second generation adds error scales under "HYPERPARAMETERS."), plus the
// read-only "TEMPLATE" that names the model kind and always stands last.
// Positions start after the framework's own attributes.
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "core/robase.h"
#include "platform/crt.h"

namespace {

constexpr const char* kTemplate = "TEMPLATE";

bool isTemplate(const char* name) { return std::strcmp(name, kTemplate) == 0; }

// One attribute of a family: name pieces around the output (and input) name,
// with its code and default value.
struct AttrRow {
  std::string_view prefix;
  std::string_view suffix;
  int code;
  double value;
};

// First generation, per output.
constexpr AttrRow kOutputRows1[] = {
    {"ALPHA_", "", ATTR_ALPHA, 1.0},          {"ALPHA_", "_LB", ATTR_ALPHA_LB, 0.0001},
    {"ALPHA_", "_UB", ATTR_ALPHA_UB, 1000.0}, {"BETA_", "", ATTR_BETA, 0.0},
    {"BETA_", "_LB", ATTR_BETA_LB, -1.0e8},   {"BETA_", "_UB", ATTR_BETA_UB, 1.0e8},
};
// First generation, per output and model input: prefix + y + "_" + x + suffix.
constexpr AttrRow kInputRows1[] = {
    {"GAMMA_", "", ATTR_GAMMA, 0.0},
    {"GAMMA_", "_LB", ATTR_GAMMA_LB, -1.0e8},
    {"GAMMA_", "_UB", ATTR_GAMMA_UB, 1.0e8},
};
// Second generation: every factor (ALPHA, BETA, GAMMA) has code 0.
constexpr int kFactorCode2 = 0;
constexpr AttrRow kOutputRows2[] = {
    {"ALPHA_", "", kFactorCode2, 1.0},
    {"ALPHA_", "_LB", ATTR_ALPHA_LB, 0.0001},
    {"ALPHA_", "_UB", ATTR_ALPHA_UB, 1000.0},
    {"BETA_", "", kFactorCode2, 0.0},
    {"BETA_", "_LB", ATTR_BETA_LB, -1.0e8},
    {"BETA_", "_UB", ATTR_BETA_UB, 1.0e8},
    {"HYPERPARAMETERS.", "_SCALE_ERROR", ATTR_SCALE_ERROR, 1.0},
    {"HYPERPARAMETERS.", "_BETA_SCALE_ERROR", ATTR_SCALE_ERROR, 1.0},
    {"HYPERPARAMETERS.", "_ALPHA_SCALE_ERROR", ATTR_SCALE_ERROR, 1.0},
};
constexpr AttrRow kInputRows2[] = {
    {"GAMMA_", "", kFactorCode2, 0.0},
    {"GAMMA_", "_LB", ATTR_GAMMA_LB, -1.0e8},
    {"GAMMA_", "_UB", ATTR_GAMMA_UB, 1.0e8},
    {"HYPERPARAMETERS.", "_GAMMA_SCALE_ERROR", ATTR_SCALE_ERROR, 1.0},
};

// The pieces end to end in a string allocated once at its final size.
std::string joined(std::initializer_list<std::string_view> pieces) {
  std::size_t size = 0;
  for (std::string_view piece : pieces) size += piece.size();
  std::string text(size, '\0');
  char* at = text.data();
  for (std::string_view piece : pieces) {
    if (!piece.empty()) std::memcpy(at, piece.data(), piece.size());
    at += piece.size();
  }
  return text;
}

// Name of one attribute: prefix + y + suffix.
std::string attrName(const AttrRow& row, std::string_view y) { return joined({row.prefix, y, row.suffix}); }

// The same for an input x: prefix + y + "_" + x + suffix.
std::string attrName(const AttrRow& row, std::string_view y, std::string_view x) {
  return joined({row.prefix, y, "_", x, row.suffix});
}

}  // namespace

void robase::setupAttributes() {
  int number = 0;
  for (const auto& output : m_nnOutputVars) {
    const std::string& y = output.first;
    for (const AttrRow& row : kOutputRows1)
      putRecord(m_attributes, new ROMAttr(attrName(row, y), row.code, "", row.value, number++));
    // Every model input, whether or not y's network depends on it.
    for (const auto& input : m_inputVars)
      for (const AttrRow& row : kInputRows1)
        putRecord(m_attributes, new ROMAttr(attrName(row, y, input.first), row.code, "", row.value, number++));
  }
}

int robase::setupNNAttributes(ROMAttrMap& attrs, const std::string& output, const std::set<std::string>& inputs) {
  int number = static_cast<int>(attrs.size());
  for (const AttrRow& row : kOutputRows2)
    putRecord(attrs, new ROMAttr(attrName(row, output), row.code, "", row.value, number++));
  for (const std::string& x : inputs)
    for (const AttrRow& row : kInputRows2)
      putRecord(attrs, new ROMAttr(attrName(row, output, x), row.code, "", row.value, number++));
  return 0;
}

void robase::reserveNNAttributes(ROMAttrMap& attrs, std::size_t outputCount, std::size_t outputNameLength,
                                 const std::set<std::string>& inputs) {
  const std::size_t perOutput = std::size(kOutputRows2) + inputs.size() * std::size(kInputRows2);
  std::size_t fixedText = 0;  // prefixes and suffixes of one output's names
  for (const AttrRow& row : kOutputRows2) fixedText += row.prefix.size() + row.suffix.size();
  std::size_t inputText = 0;  // "_" + x of every input
  for (const std::string& x : inputs) inputText += 1 + x.size();
  for (const AttrRow& row : kInputRows2) fixedText += inputs.size() * (row.prefix.size() + row.suffix.size());
  const std::size_t text = outputCount * (fixedText + std::size(kInputRows2) * inputText) +
                           outputNameLength * perOutput;
  attrs.reserve(outputCount * perOutput, text);
}

ROMAttr* robase::getAttribute(int number) const {
  for (const auto& entry : m_attributes)
    if (entry.second && entry.second->number == number) return entry.second;
  return nullptr;
}

int robase::attr_num() const {
  return guardCall<int>(0, [&] { return QivEOBlockImpl::attr_num() + static_cast<int>(m_attributes.size()) + 1; });
}

const char* robase::attr_name(int i) const {
  return guardCall<const char*>(nullptr, [&]() -> const char* {
    const int framework = QivEOBlockImpl::attr_num();
    if (i < framework) return QivEOBlockImpl::attr_name(i);
    if (i >= attr_num() - 1) return kTemplate;
    const ROMAttr* attr = getAttribute(i - framework);
    return attr ? attr->name.c_str() : nullptr;
  });
}

bool robase::attr_lookup_value(const char* name, value_t* v) const {
  if (!name) return false;
  return guardCall(false, [&] {
    if (isTemplate(name)) {
      // The value takes ownership of the copy (freed with free).
      if (v) value_assign_string(v, _strdup(m_modelKind.c_str()));
      return true;
    }
    const auto it = m_attributes.find(name);
    if (it == m_attributes.end() || !it->second) return QivEOBlockImpl::attr_lookup_value(name, v);
    const ROMAttr& attr = *it->second;
    if (!v) return true;
    if (attr.type == ROMATTR_LOGICAL) {
      value_assign_logical(v, attr.lvalue);
    } else {
      value_assign_double(v, attr.value, 0, 1);
    }
    return true;
  });
}

bool robase::attr_assign_value(const char* name, const value_t& v) {
  if (!name) return false;
  return guardCall(false, [&] {
    if (isTemplate(name)) return false;  // the model kind cannot be changed
    const auto it = m_attributes.find(name);
    if (it == m_attributes.end() || !it->second) return QivEOBlockImpl::attr_assign_value(name, v);
    ROMAttr& attr = *it->second;
    if (attr.type == ROMATTR_LOGICAL) {
      if (v.type == VT_LOGICAL) {
        attr.lvalue = v.lval;
        return true;
      }
      if (v.type == VT_REAL && v.is_integer) {
        attr.lvalue = v.ival != 0 ? 1 : 0;
        return true;
      }
      return false;
    }
    if (v.type != VT_REAL) return false;
    const double value = v.is_integer ? static_cast<double>(v.ival) : v.dval;
    // A tuning factor that is not finite would only poison every residual.
    if (!std::isfinite(value)) return false;
    attr.value = value;
    return true;
  });
}

bool robase::attr_lookup_ismodified(const char* name) const {
  if (!name) return false;
  return guardCall(false, [&] {
    if (isTemplate(name)) return false;
    if (m_attributes.count(name) != 0) return true;
    return QivEOBlockImpl::attr_lookup_ismodified(name);
  });
}

qivblock_attr_desc* robase::attr_describe(const char* name) const {
  if (!name) return nullptr;
  return guardCall<qivblock_attr_desc*>(nullptr, [&]() -> qivblock_attr_desc* {
    // One record serves all calls: valid until the next call.
    static qivblock_attr_desc desc;
    int kind = 0, access = 0;
    if (isTemplate(name)) {
      kind = 1;
      access = 2;
    } else if (m_attributes.count(name) == 0) {
      return QivEOBlockImpl::attr_describe(name);
    }
    if (!copyBounded(desc.name, sizeof desc.name, name)) return nullptr;
    desc.kind = kind;
    desc.access = access;
    return &desc;
  });
}
