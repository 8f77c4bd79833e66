// Storage files built by hand: the older form, written before the owner
// record and the checksum, and a checksum put back after a deliberate fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace filetest {

// "PSTG1", the stream count, then each stream's name and bytes with their
// int32 lengths, little-endian.
inline std::vector<char> olderStorageForm(const std::vector<std::pair<std::string, std::vector<char>>>& streams) {
  std::vector<char> out = {'P', 'S', 'T', 'G', '1'};
  const auto put = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  put(static_cast<uint32_t>(streams.size()));
  for (const auto& [name, bytes] : streams) {
    put(static_cast<uint32_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    put(static_cast<uint32_t>(bytes.size()));
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

// CRC-32 bit by bit, the reference the file's checksum must agree with.
inline uint32_t referenceCrc32(const char* data, std::size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < n; ++i) {
    c ^= static_cast<unsigned char>(data[i]);
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}

// Puts the checksum of everything before it back into the last four bytes, so
// that a structural fault is refused for itself, not for its checksum.
inline void resealStorageFile(std::vector<char>& file) {
  const uint32_t c = referenceCrc32(file.data(), file.size() - 4);
  for (int i = 0; i < 4; ++i) file[file.size() - 4 + static_cast<std::size_t>(i)] = static_cast<char>((c >> (8 * i)) & 0xFF);
}

}  // namespace filetest
