// The registry out of memory: a key opened while one of the call's
// allocations fails reports ERROR_OUTOFMEMORY and keeps nothing of what it had
// made. With the replaced operator new (tests/support/replaced_new.h), which
// counts the blocks alive, each n-th allocation up to the whole call's count
// is made to fail.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "platform/registry.h"
#include "tests/support/replaced_new.h"

namespace {

constexpr const char* kKey = "SOFTWARE\\Calverin\\Tressa\\38.0";

TEST(RegistryAllocation, AKeyOpenedOutOfMemoryKeepsNothing) {
  unsetenv("PELMO_REGISTRY");
  pelmo_registry_clear();
  pelmo_registry_set(nullptr, kKey, "ZKDir", "/data/networks/of/a/plant/with/a/long/name");
  bool failed = true;
  for (long n = 1; failed; ++n) {
    const long long live = romtest::liveAllocations();
    HKEY key = nullptr;
    const long rc = romtest::withFailingAllocation(
        n, failed, [&] { return RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &key); });
    if (failed) {
      EXPECT_EQ(rc, ERROR_OUTOFMEMORY) << "allocation " << n;
      EXPECT_EQ(key, nullptr) << "allocation " << n;
    } else {
      ASSERT_EQ(rc, ERROR_SUCCESS);
      EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    }
    EXPECT_EQ(romtest::liveAllocations(), live) << "allocation " << n;
  }
  pelmo_registry_clear();
}

}  // namespace
