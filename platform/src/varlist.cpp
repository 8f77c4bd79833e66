// The variable list.
#include "platform/varlist.h"

#include <cmath>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/src/padded_vector.h"
#include "platform/src/text_util.h"

namespace {

struct VarEntry {
  bool registered = false;
  bool fixed = false;  // a new variable is free ("CALC") until fixed
  int flags = 0;
  std::string name;
  double lower = -1e30;
  double upper = 1e30;
  long long status = 0;
  int uom = 0;
  int baseuom = 0;
};

// Physical types of the unit table. The numbers are the framework's own.
enum PhysType {
  PT_NONE = 0,
  PT_MASS_FLOW = 1,
  PT_VOLUME_FLOW = 2,
  PT_MOLE_FLOW = 3,
  PT_DIMENSIONLESS = 4,
  PT_TEMPERATURE = 5,
  PT_PRESSURE = 6,
  PT_VISCOSITY = 7,
  PT_LENGTH = 8,
  PT_DENSITY = 9,
  PT_ENERGY_RATE = 10,
};

struct UnitRow {
  std::string_view name;  // a literal, so its text is terminated
  PhysType type;
};

// Unit id = row index + 1; ids are stable as long as rows are only appended.
constexpr UnitRow kUnits[] = {
    {"TONNE/DAY", PT_MASS_FLOW}, {"KG/HR", PT_MASS_FLOW},        {"KBBL/DAY", PT_VOLUME_FLOW},
    {"CUM/HR", PT_VOLUME_FLOW},  {"MMSCFD", PT_MOLE_FLOW},       {"KMOL/HR", PT_MOLE_FLOW},
    {"UNITLESS", PT_DIMENSIONLESS}, {"FRACTION", PT_DIMENSIONLESS}, {"PERCENT", PT_DIMENSIONLESS},
    {"PPM", PT_DIMENSIONLESS},   {"F", PT_TEMPERATURE},          {"KPA", PT_PRESSURE},
    {"CS", PT_VISCOSITY},        {"MM", PT_LENGTH},              {"KG/CUM", PT_DENSITY},
    {"MMBTU/HR", PT_ENERGY_RATE},
};
constexpr int kUnitCount = static_cast<int>(sizeof kUnits / sizeof kUnits[0]);

int g_uomWarnings = 0;

// The physical type sits in bits 8-15 of a variable's status word.
constexpr int kPhysShift = 8;
constexpr long long kPhysMask = 0xFFLL << kPhysShift;

}  // namespace

struct rtvarlst_t {
  explicit rtvarlst_t(int cap) : capacity(cap), vars(static_cast<std::size_t>(cap)), values(static_cast<std::size_t>(cap)) {}

  int capacity;
  std::vector<VarEntry> vars;
  pelmo_detail::PaddedVector values;
  std::unordered_map<std::string, int> by_name;
  int errors = 0;
  int registered = 0;

  bool in_range(int num) const { return num >= 1 && num <= capacity; }

  // The entry of a registered variable, or null with the error counted.
  VarEntry* checked(int num) {
    if (!in_range(num) || !vars[static_cast<std::size_t>(num - 1)].registered) {
      ++errors;
      return nullptr;
    }
    return &vars[static_cast<std::size_t>(num - 1)];
  }

  const VarEntry* peek(int num) const {
    if (!in_range(num) || !vars[static_cast<std::size_t>(num - 1)].registered) return nullptr;
    return &vars[static_cast<std::size_t>(num - 1)];
  }
};

int rtovarlst_initialize_var(rtvarlst_t* l, int num, const rtvar_rec_t* rec, int /*flag*/) {
  if (!l) return 1;
  if (!rec || !l->in_range(num) || l->vars[static_cast<std::size_t>(num - 1)].registered) {
    ++l->errors;
    return 1;
  }
  try {
    VarEntry e;
    e.registered = true;
    e.flags = rec->flags;
    e.name.assign(rec->name, ::strnlen(rec->name, sizeof rec->name));
    e.lower = rec->lower;
    e.upper = rec->upper;
    e.status = rec->status;
    int rc = 0;
    if (!e.name.empty()) {
      // Two variables under one name cannot both be found by name: the first
      // keeps the name, the second is registered and counted as an error.
      if (!l->by_name.emplace(e.name, num).second) {
        ++l->errors;
        rc = 1;
      }
    }
    l->vars[static_cast<std::size_t>(num - 1)] = std::move(e);
    l->values.data()[num - 1] = rec->value;
    ++l->registered;
    return rc;
  } catch (const std::bad_alloc&) {
    ++l->errors;
    return 1;
  }
}

double* rtovarlst_vec_value(rtvarlst_t* l) { return l ? l->values.data() : nullptr; }

int rtovarlst_set_var_value(rtvarlst_t* l, int num, double v, int /*flag*/) {
  if (!l) return 1;
  if (!l->checked(num)) return 1;
  if (!std::isfinite(v)) {  // a non-finite value would poison every later evaluation
    ++l->errors;
    return 1;
  }
  l->values.data()[num - 1] = v;
  return 0;
}

int rtovarlst_fix_var(rtvarlst_t* l, int num) {
  if (!l) return 1;
  VarEntry* e = l->checked(num);
  if (!e) return 1;
  e->fixed = true;
  return 0;
}

int rtovarlst_free_var(rtvarlst_t* l, int num) {
  if (!l) return 1;
  VarEntry* e = l->checked(num);
  if (!e) return 1;
  e->fixed = false;
  return 0;
}

int rtovarlst_set_var_lower(rtvarlst_t* l, int num, double v) {
  if (!l) return 1;
  VarEntry* e = l->checked(num);
  if (!e) return 1;
  if (std::isnan(v)) {
    ++l->errors;
    return 1;
  }
  e->lower = v;
  return 0;
}

int rtovarlst_set_var_upper(rtvarlst_t* l, int num, double v) {
  if (!l) return 1;
  VarEntry* e = l->checked(num);
  if (!e) return 1;
  if (std::isnan(v)) {
    ++l->errors;
    return 1;
  }
  e->upper = v;
  return 0;
}

long long rtovarlst_inq_var_status(rtvarlst_t* l, int num) {
  if (!l) return 0;
  const VarEntry* e = l->checked(num);
  return e ? e->status : 0;
}

int rtovarlst_set_var_status(rtvarlst_t* l, int num, long long status) {
  if (!l) return 1;
  VarEntry* e = l->checked(num);
  if (!e) return 1;
  e->status = status;
  return 0;
}

int rtovarlst_set_var_baseuom(rtvarlst_t* l, int num, int uom_id) {
  if (!l) return 1;
  VarEntry* e = l->checked(num);
  if (!e) return 1;
  e->baseuom = uom_id;
  return 0;
}

int rtovarlst_set_var_uom(rtvarlst_t* l, int num, int uom_id) {
  if (!l) return 1;
  VarEntry* e = l->checked(num);
  if (!e) return 1;
  e->uom = uom_id;
  return 0;
}

void varSetPhysicalType(long long* status, int phys_type) {
  if (!status) return;
  *status = (*status & ~kPhysMask) | ((static_cast<long long>(phys_type) & 0xFF) << kPhysShift);
}

int rtouom_locate(const char* unit, int* phys_type, int* uom_id) {
  if (unit) {
    // No two units are the same name in another case, so a unit written as
    // the table writes it is the one a comparison regardless of case finds
    // first; the plain comparison finds it without folding every character.
    const std::string_view text(unit);
    int found = -1;
    for (int i = 0; i < kUnitCount && found < 0; ++i)
      if (text == kUnits[i].name) found = i;
    for (int i = 0; i < kUnitCount && found < 0; ++i)
      if (pelmo_detail::iequals(text, kUnits[i].name)) found = i;
    if (found >= 0) {
      if (phys_type) *phys_type = kUnits[found].type;
      if (uom_id) *uom_id = found + 1;
      return 0;
    }
  }
  if (phys_type) *phys_type = PT_NONE;
  if (uom_id) *uom_id = 0;
  ++g_uomWarnings;
  return 1;
}

const char* rtouom_name(int uom_id) {
  return (uom_id >= 1 && uom_id <= kUnitCount) ? kUnits[uom_id - 1].name.data() : "";
}

int rtouom_warning_count() { return g_uomWarnings; }

void rtouom_reset_warnings() { g_uomWarnings = 0; }

rtvarlst_t* rtovarlst_create(int capacity) {
  if (capacity < 0) return nullptr;
  try {
    return new rtvarlst_t(capacity);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void rtovarlst_destroy(rtvarlst_t* l) { delete l; }

int rtovarlst_capacity(const rtvarlst_t* l) { return l ? l->capacity : 0; }
int rtovarlst_error_count(const rtvarlst_t* l) { return l ? l->errors : 0; }
void rtovarlst_reset_errors(rtvarlst_t* l) {
  if (l) l->errors = 0;
}

bool rtovarlst_is_registered(const rtvarlst_t* l, int num) { return l && l->peek(num); }

bool rtovarlst_is_fixed(const rtvarlst_t* l, int num) {
  const VarEntry* e = l ? l->peek(num) : nullptr;
  return e && e->fixed;
}

double rtovarlst_lower(const rtvarlst_t* l, int num) {
  const VarEntry* e = l ? l->peek(num) : nullptr;
  return e ? e->lower : -1e30;
}

double rtovarlst_upper(const rtvarlst_t* l, int num) {
  const VarEntry* e = l ? l->peek(num) : nullptr;
  return e ? e->upper : 1e30;
}

const char* rtovarlst_name(const rtvarlst_t* l, int num) {
  const VarEntry* e = l ? l->peek(num) : nullptr;
  return e ? e->name.c_str() : "";
}

int rtovarlst_find(const rtvarlst_t* l, const char* full_name) {
  if (!l || !full_name) return 0;
  const auto it = l->by_name.find(full_name);
  return it == l->by_name.end() ? 0 : it->second;
}

int rtovarlst_uom(const rtvarlst_t* l, int num) {
  const VarEntry* e = l ? l->peek(num) : nullptr;
  return e ? e->uom : 0;
}

int rtovarlst_baseuom(const rtvarlst_t* l, int num) {
  const VarEntry* e = l ? l->peek(num) : nullptr;
  return e ? e->baseuom : 0;
}

int rtovarlst_phys_type(const rtvarlst_t* l, int num) {
  const VarEntry* e = l ? l->peek(num) : nullptr;
  return e ? static_cast<int>((e->status & kPhysMask) >> kPhysShift) : 0;
}

int rtovarlst_flags(const rtvarlst_t* l, int num) {
  const VarEntry* e = l ? l->peek(num) : nullptr;
  return e ? e->flags : 0;
}

int rtovarlst_registered_count(const rtvarlst_t* l) { return l ? l->registered : 0; }

void rtovarlst_relocate(rtvarlst_t* l) {
  if (!l) return;
  try {
    l->values.relocate();
  } catch (const std::bad_alloc&) {
    // The storage stays where it was.
  }
}
