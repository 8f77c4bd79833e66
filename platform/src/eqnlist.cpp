// The equation list.
#include "platform/eqnlist.h"

#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/src/padded_vector.h"

namespace {

struct EqnEntry {
  bool registered = false;
  std::string name;
  const QivEOBlock* owner = nullptr;
};

}  // namespace

struct rtattrdict_t {
  explicit rtattrdict_t(int cap) : capacity(cap), eqns(static_cast<std::size_t>(cap)), residuals(static_cast<std::size_t>(cap)) {}

  int capacity;
  std::vector<EqnEntry> eqns;
  pelmo_detail::PaddedVector residuals;
  std::unordered_map<std::string, int> by_name;
  int errors = 0;
  int registered = 0;

  const EqnEntry* peek(int num) const {
    if (num < 1 || num > capacity || !eqns[static_cast<std::size_t>(num - 1)].registered) return nullptr;
    return &eqns[static_cast<std::size_t>(num - 1)];
  }
};

void u3rpmt_c(int* field, int mode) {
  if (field) *field = mode;
}

int rtoeqnlst_initialize_eqn(rtattrdict_t* l, int num, const rteqn_rec_t* rec) {
  if (!l) return 1;
  if (!rec || num < 1 || num > l->capacity || l->eqns[static_cast<std::size_t>(num - 1)].registered) {
    ++l->errors;
    return 1;
  }
  try {
    EqnEntry e;
    e.registered = true;
    e.name.assign(rec->name, ::strnlen(rec->name, sizeof rec->name));
    e.owner = rec->owner;
    int rc = 0;
    if (!e.name.empty() && !l->by_name.emplace(e.name, num).second) {
      ++l->errors;  // registered, but only the first of two equal names is found by name
      rc = 1;
    }
    l->eqns[static_cast<std::size_t>(num - 1)] = std::move(e);
    ++l->registered;
    return rc;
  } catch (const std::bad_alloc&) {
    ++l->errors;
    return 1;
  }
}

double* rtoeqnlst_vec_residual(rtattrdict_t* l) { return l ? l->residuals.data() : nullptr; }

rtattrdict_t* rtoeqnlst_create(int capacity) {
  if (capacity < 0) return nullptr;
  try {
    return new rtattrdict_t(capacity);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void rtoeqnlst_destroy(rtattrdict_t* l) { delete l; }
int rtoeqnlst_capacity(const rtattrdict_t* l) { return l ? l->capacity : 0; }
int rtoeqnlst_error_count(const rtattrdict_t* l) { return l ? l->errors : 0; }
void rtoeqnlst_reset_errors(rtattrdict_t* l) {
  if (l) l->errors = 0;
}

bool rtoeqnlst_is_registered(const rtattrdict_t* l, int num) { return l && l->peek(num); }

const char* rtoeqnlst_name(const rtattrdict_t* l, int num) {
  const EqnEntry* e = l ? l->peek(num) : nullptr;
  return e ? e->name.c_str() : "";
}

int rtoeqnlst_find(const rtattrdict_t* l, const char* full_name) {
  if (!l || !full_name) return 0;
  const auto it = l->by_name.find(full_name);
  return it == l->by_name.end() ? 0 : it->second;
}

const QivEOBlock* rtoeqnlst_owner(const rtattrdict_t* l, int num) {
  const EqnEntry* e = l ? l->peek(num) : nullptr;
  return e ? e->owner : nullptr;
}

int rtoeqnlst_registered_count(const rtattrdict_t* l) { return l ? l->registered : 0; }

void rtoeqnlst_relocate(rtattrdict_t* l) {
  if (!l) return;
  try {
    l->residuals.relocate();
  } catch (const std::bad_alloc&) {
  }
}
