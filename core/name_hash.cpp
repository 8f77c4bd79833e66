#include "core/name_hash.h"

#include <cstdint>
#include <cstring>

std::size_t hashName(std::string_view name) noexcept {
  constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ull;
  std::uint64_t h = name.size() * kMul;
  const char* p = name.data();
  std::size_t n = name.size();
  for (; n >= 8; p += 8, n -= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    h = (h ^ word) * kMul;
    h ^= h >> 29;
  }
  std::uint64_t tail = 0;
  if (n > 0) std::memcpy(&tail, p, n);
  h = (h ^ tail) * kMul;
  h ^= h >> 32;
  return static_cast<std::size_t>(h);
}
