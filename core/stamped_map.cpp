#include "core/stamped_map.h"

#include <atomic>
#include <stdexcept>

#include "core/helpers.h"

namespace {

// One counter for every map: a stamp is never given twice, so a cache can
// tell two maps apart (and one map before and after a change) by it alone.
std::atomic<std::uint64_t> g_stamps{0};

}  // namespace

std::uint64_t nextMapStamp() noexcept { return g_stamps.fetch_add(1, std::memory_order_relaxed) + 1; }

void throwMissingKey() { throw std::out_of_range(kInvalidMapKey); }
