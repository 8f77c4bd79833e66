#include "tests/support/replaced_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> g_allocations{0};
std::atomic<long long> g_live{0};
std::atomic<long> g_countdown{0};  // > 0: the allocation that takes it to 0 fails
std::atomic<bool> g_failed{false};
std::atomic<void (*)()> g_observer{nullptr};
thread_local bool t_observing = false;

void* allocate(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void (*observer)() = g_observer.load(std::memory_order_relaxed); observer && !t_observing) {
    t_observing = true;
    observer();
    t_observing = false;
  }
  if (g_countdown.load(std::memory_order_relaxed) > 0 && --g_countdown == 0) {
    g_failed = true;
    throw std::bad_alloc();
  }
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  g_live.fetch_add(1, std::memory_order_relaxed);
  return p;
}

void release(void* p) noexcept {
  if (!p) return;
  g_live.fetch_sub(1, std::memory_order_relaxed);
  std::free(p);
}

}  // namespace

namespace romtest {

long long allocationCount() noexcept { return g_allocations.load(); }
long long liveAllocations() noexcept { return g_live.load(); }

void failAllocation(long n) noexcept {
  g_failed = false;
  g_countdown = n > 0 ? n : 0;
}

bool allocationFailed() noexcept { return g_failed.load(); }

void observeAllocations(void (*observer)()) noexcept { g_observer = observer; }

}  // namespace romtest

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
