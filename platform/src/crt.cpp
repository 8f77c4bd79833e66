// The C runtime's 15-bit generator, kept here so its sequence does not depend
// on the host's C library.
#include "platform/crt.h"

#include <cstdint>

namespace {
std::uint32_t g_seed = 1;  // the generator starts from seed 1 when the library is loaded
}

int crt_rand() {
  g_seed = g_seed * 214013u + 2531011u;  // wraps modulo 2^32 like the original 32-bit state
  return static_cast<int>((g_seed >> 16) & 0x7FFFu);
}

void crt_srand(unsigned seed) { g_seed = static_cast<std::uint32_t>(seed); }
