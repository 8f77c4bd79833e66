// The registry out of memory: a key opened while one of the call's
// allocations fails reports ERROR_OUTOFMEMORY and keeps nothing of what it had
// made. This program replaces the global operator new with one that
// counts the blocks alive and can make the n-th allocation from a given
// moment fail; each n up to the whole call's count is tried.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "platform/registry.h"

namespace {

long g_live = 0;       // blocks allocated and not yet released
long g_countdown = 0;  // > 0: the allocation that takes it to 0 fails
bool g_failed = false;

void* allocate(std::size_t n) {
  if (g_countdown > 0 && --g_countdown == 0) {
    g_failed = true;
    throw std::bad_alloc();
  }
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  ++g_live;
  return p;
}

void release(void* p) noexcept {
  if (!p) return;
  --g_live;
  std::free(p);
}

}  // namespace

// Every ordinary form, so that each allocation and release goes through the
// same pair (a sanitizer's own forms would otherwise meet ours).
void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept { return operator new(n, tag); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }

namespace {

constexpr const char* kKey = "SOFTWARE\\Calverin\\Tressa\\38.0";

TEST(RegistryAllocation, AKeyOpenedOutOfMemoryKeepsNothing) {
  unsetenv("PELMO_REGISTRY");
  pelmo_registry_clear();
  pelmo_registry_set(nullptr, kKey, "ZKDir", "/data/networks/of/a/plant/with/a/long/name");
  bool failed = true;
  for (long n = 1; failed; ++n) {
    const long live = g_live;
    HKEY key = nullptr;
    g_failed = false;
    g_countdown = n;
    const long rc = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key);
    g_countdown = 0;
    failed = g_failed;
    if (failed) {
      EXPECT_EQ(rc, ERROR_OUTOFMEMORY) << "allocation " << n;
      EXPECT_EQ(key, nullptr) << "allocation " << n;
    } else {
      ASSERT_EQ(rc, ERROR_SUCCESS);
      EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
    EXPECT_EQ(g_live, live) << "allocation " << n;
  }
  pelmo_registry_clear();
}

}  // namespace
