// rofcc: what the FCC model kind tells about the product slate.
#include <algorithm>
#include <array>
#include <string_view>

#include "models/fcc/rofcc.h"

namespace {

// Kinds with a middle naphtha cut (MCN).
constexpr std::array<std::string_view, 4> kMcnKinds = {"FCC_GO_3N", "FCC_GO_3N1H", "FCC_GOR_3N", "FCC_GOR_3N1H"};
// Kinds with a heavy cycle oil cut (HCO); compared by length and bytes.
constexpr std::array<std::string_view, 4> kOneHKinds = {"FCC_GO_2N1H", "FCC_GO_3N1H", "FCC_GOR_2N1H",
                                                        "FCC_GOR_3N1H"};

}  // namespace

bool fccHasMcnCut(const std::string& kind) {
  return std::find(kMcnKinds.begin(), kMcnKinds.end(), kind) != kMcnKinds.end();
}

bool fccIsOneHKind(const std::string& kind) {
  return std::find(kOneHKinds.begin(), kOneHKinds.end(), kind) != kOneHKinds.end();
}

std::string fccSlateTail(const std::string& kind) {
  // From the character before the last "N" to the end: "FCC_GO_3N1H" -> "3N1H".
  // Without an "N", or with the "N" first, there is no such character and no tail.
  const std::size_t n = kind.rfind('N');
  if (n == std::string::npos || n == 0) return {};
  return kind.substr(n - 1);
}
