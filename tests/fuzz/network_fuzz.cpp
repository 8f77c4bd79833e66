// Fuzz target: any bytes as a network file. A parse either fails with a message
// or gives a network that evaluates without fault, self-checks, and survives a
// write and re-read unchanged. The first two lines also go through the path
// rules as a folder and a file name.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/diveduded/network.h"
#include "platform/diveduded/parser.h"
#include "platform/diveduded/path.h"
#include "platform/diveduded/writer.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

void fuzzPath(std::string_view text) {
  const std::size_t nl = text.find('\n');
  const std::string_view folder = text.substr(0, nl);
  const std::string_view rest = nl == std::string_view::npos ? std::string_view() : text.substr(nl + 1);
  const std::string_view file = rest.substr(0, rest.find('\n'));
  std::string path, why;
  const int s = diveduded::resolveNetworkPath(folder, file, path, why);
  require(s == 0 || s == 2);
  if (s == 0) {
    require(path.find("//") == std::string::npos && path.find('\\') == std::string::npos);
    require(path.find("/../") == std::string::npos && path.rfind("../", 0) != 0);
  } else {
    require(!why.empty() && path.empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  fuzzPath(text);

  diveduded::Network net;
  diveduded::ParseError err;
  if (!diveduded::parseNetwork(text, net, err)) {
    require(!err.message.empty());
    return 0;
  }
  require(!net.layers.empty() && net.layers.back().rows == 1);
  require(net.weightCount() <= static_cast<std::size_t>(diveduded::kMaxWeights));

  diveduded::Scratch s;
  s.sizeFor(net);
  std::vector<double> grad(net.inputCount());
  diveduded::evaluate(net, net.offsets.data(), s, grad.data());
  for (const diveduded::CheckPoint& c : net.checks) diveduded::evaluate(net, c.inputs.data(), s, grad.data());
  double got = 0.0;
  diveduded::firstFailingCheck(net, &got);

  // What the writer writes, the parser reads back to the same numbers.
  diveduded::Network back;
  require(diveduded::parseNetwork(diveduded::writeNetwork(net, "round trip"), back, err));
  require(back.tags == net.tags && back.offsets == net.offsets && back.scales == net.scales);
  require(back.layers.size() == net.layers.size());
  for (std::size_t l = 0; l < net.layers.size(); ++l)
    require(back.layers[l].weights == net.layers[l].weights && back.layers[l].bias == net.layers[l].bias);
  return 0;
}
