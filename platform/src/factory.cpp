// The factory base and the framework's factory library.
#include "platform/factory.h"

#include <algorithm>
#include <cstring>
#include <new>

QivBlkFactory::~QivBlkFactory() = default;

int QivFactoryLib::AddFactory(QivBlkFactory* f) {
  if (!f) return 1;
  try {
    factories_.push_back(f);
  } catch (const std::bad_alloc&) {
    return 1;
  }
  return 0;
}

QivBlkFactory* QivFactoryLib::Lookup(const char* type_name) const {
  if (!type_name) return nullptr;
  for (QivBlkFactory* f : factories_) {
    const char* n = f->type_name();
    if (n && std::strcmp(n, type_name) == 0) return f;
  }
  return nullptr;
}

int QivFactoryLib::Remove(QivBlkFactory* f) {
  const auto it = std::find(factories_.begin(), factories_.end(), f);
  if (it == factories_.end()) return 1;
  factories_.erase(it);
  return 0;
}
