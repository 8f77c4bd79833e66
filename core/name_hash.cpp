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
  // The last characters as one word, without a call for a short copy: two
  // overlapping loads from four characters on, else one at a time.
  std::uint64_t tail = 0;
  if (n >= 4) {
    std::uint32_t first, last;
    std::memcpy(&first, p, 4);
    std::memcpy(&last, p + n - 4, 4);
    tail = (static_cast<std::uint64_t>(last) << 32) | first;
  } else {
    for (std::size_t i = 0; i < n; ++i) tail |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
  }
  h = (h ^ tail) * kMul;
  h ^= h >> 32;
  return static_cast<std::size_t>(h);
}
