// A test program that links replaced_new.cpp has the global operator new and
// delete replaced by one pair that every form goes through: it counts the
// allocations and the blocks alive, can make the n-th allocation from a given
// moment fail with std::bad_alloc, and can tell an observer of each
// allocation (for programs that attribute them).
#pragma once

#include <cstddef>

namespace romtest {

// Allocations made since the program started, and blocks not yet released.
long long allocationCount() noexcept;
long long liveAllocations() noexcept;

// The n-th allocation from now fails (n <= 0: none does); allocationFailed
// tells whether that allocation was reached since.
void failAllocation(long n) noexcept;
bool allocationFailed() noexcept;

// Called at every allocation (nullptr: no observer); it may allocate itself,
// which it is not told of.
void observeAllocations(void (*observer)()) noexcept;

// The result of call with its n-th allocation failing; failed tells whether
// the call made that many.
template <class Call>
auto withFailingAllocation(long n, bool& failed, Call&& call) {
  failAllocation(n);
  struct Reset {
    bool& failed;
    ~Reset() {
      failed = allocationFailed();
      failAllocation(0);
    }
  } reset{failed};
  return call();
}

}  // namespace romtest
