// Ports.
#include "platform/ports.h"

#include <exception>
#include <new>

namespace {
// Far above any block's port (a few hundred variables); a larger count is a
// corrupted number, not a request to allocate gigabytes.
constexpr int kMaxPortVars = 1 << 20;
}  // namespace

qiv_port* qivport_create(const char* name, int type, int direction, int basis) {
  try {
    auto* p = new qiv_port;
    p->name = name ? name : "";
    p->type = type;
    p->direction = direction;
    p->basis = basis;
    return p;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void qivport_destroy(qiv_port* p) { delete p; }

int qivport_nvars(const qiv_port* p) { return p ? static_cast<int>(p->vars.size()) : 0; }

int qivport_set_nvars(qiv_port* p, int n) {
  if (!p) return 1;
  if (n < 0 || n > kMaxPortVars) {
    ++p->errors;
    return 1;
  }
  try {
    p->vars.resize(static_cast<std::size_t>(n), 0);
  } catch (const std::exception&) {
    ++p->errors;
    return 1;
  }
  return 0;
}

int qivport_set_var(qiv_port* p, int place0, int varnum) {
  if (!p) return 1;
  if (place0 < 0 || place0 >= static_cast<int>(p->vars.size())) {
    ++p->errors;
    return 1;
  }
  p->vars[static_cast<std::size_t>(place0)] = varnum;
  return 0;
}

int qivport_var(const qiv_port* p, int place0) {
  if (!p || place0 < 0 || place0 >= static_cast<int>(p->vars.size())) return 0;
  return p->vars[static_cast<std::size_t>(place0)];
}
