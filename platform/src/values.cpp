// Tagged values and the option-list cursor.
#include "platform/values.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

struct gl_list {
  std::vector<value_t*> items;  // owned; an item may be null
  std::size_t cursor = 0;
};

namespace {

// Frees whatever the value owns and leaves it VT_NULL with cleared fields.
void release_payload(value_t* v) {
  if (v->sval) std::free(v->sval);
  if (v->list) gl_destroy(v->list);
  *v = value_t{};
}

}  // namespace

void value_assign_double(value_t* v, double d, int a, int b) {
  if (!v) return;
  release_payload(v);
  v->type = VT_REAL;
  v->dval = d;
  v->assign_a = a;
  v->assign_b = b;
}

void value_assign_string(value_t* v, char* owned_malloced) {
  if (!v) {
    // The caller handed over ownership; with nowhere to keep it, release it.
    std::free(owned_malloced);
    return;
  }
  if (v->sval == owned_malloced) v->sval = nullptr;  // re-assigning the same buffer keeps it alive
  release_payload(v);
  v->type = VT_STRING;
  v->sval = owned_malloced;
}

void value_assign_logical(value_t* v, unsigned char b) {
  if (!v) return;
  release_payload(v);
  v->type = VT_LOGICAL;
  v->lval = b;
}

void value_assign_integer(value_t* v, long long i) {
  if (!v) return;
  release_payload(v);
  v->type = VT_REAL;
  v->is_integer = 1;
  v->ival = i;
  v->dval = static_cast<double>(i);
}

void value_clear(value_t* v) {
  if (v) release_payload(v);
}

double value_real(const value_t& v) {
  if (v.type != VT_REAL) return 0.0;
  return v.is_integer ? static_cast<double>(v.ival) : v.dval;
}

void gl_top(gl_list* l) {
  if (l) l->cursor = 0;
}

int gl_end(const gl_list* l) { return (!l || l->cursor >= l->items.size()) ? 1 : 0; }

void* gl_get(const gl_list* l) {
  if (!l || l->cursor >= l->items.size()) return nullptr;
  return l->items[l->cursor];
}

void gl_next(gl_list* l) {
  if (l && l->cursor < l->items.size()) ++l->cursor;
}

gl_list* gl_create() { return new (std::nothrow) gl_list; }

void gl_destroy(gl_list* l) {
  if (!l) return;
  for (value_t* item : l->items) value_destroy(item);
  delete l;
}

void gl_append(gl_list* l, value_t* owned) {
  if (!l) {
    value_destroy(owned);
    return;
  }
  try {
    l->items.push_back(owned);
  } catch (const std::bad_alloc&) {
    value_destroy(owned);
  }
}

int gl_size(const gl_list* l) { return l ? static_cast<int>(l->items.size()) : 0; }

value_t* value_make_list() {
  auto* v = new (std::nothrow) value_t;
  if (!v) return nullptr;
  v->type = VT_LIST;
  v->list = gl_create();
  if (!v->list) {
    delete v;
    return nullptr;
  }
  return v;
}

value_t* value_make_string(const char* text) {
  auto* v = new (std::nothrow) value_t;
  if (!v) return nullptr;
  char* copy = ::strdup(text ? text : "");
  if (!copy) {
    delete v;
    return nullptr;
  }
  value_assign_string(v, copy);
  return v;
}

void value_destroy(value_t* v) {
  if (!v) return;
  release_payload(v);
  delete v;
}
