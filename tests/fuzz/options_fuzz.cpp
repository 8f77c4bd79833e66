// Fuzz target: any bytes as an option list handed to one of the three block
// factories, and the block it makes set up as the framework does (user_dim,
// the lists, user_ini, user_pat, init) through the host's session. The first
// byte chooses the factory; the rest are the option texts, one per line. A
// factory either refuses (null) or makes a block whose set-up succeeds or
// reports a failure; nothing may crash, leak or trip a sanitizer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "host/block_session.h"
#include "platform/rtdev.h"
#include "plugin/factories.h"
#include "tests/fuzz/library_fuzz.h"

namespace {

std::vector<std::string> lines(std::string_view text) {
  std::vector<std::string> out;
  while (!text.empty()) {
    const std::size_t nl = text.find('\n');
    out.emplace_back(text.substr(0, nl));
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  romfuzz::useSampleNetworks();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static rofactory reactors;
  static rotuningmodelfactory tuningModels;
  static rotuningbalancefactory tuningBalances;
  QivBlkFactory* const factories[] = {&reactors, &tuningModels, &tuningBalances};
  QivBlkFactory& factory = *factories[data[0] % 3];

  const romfuzz::OptionList options(lines(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1)));
  QivEOBlock* block = factory.create("F1", options.value);
  rtdev_clear(rtHisDev);  // the factories' notes would pile up over millions of runs
  if (block == nullptr) return 0;
  romhost::BlockSession session(block);  // destroys the block
  session.setUp({});
  rtdev_clear(rtHisDev);
  return 0;
}
