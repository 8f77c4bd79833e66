#include "platform/diveduded/writer.h"

#include <charconv>

namespace diveduded {

std::string formatNumber(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

namespace {

void appendNumbers(std::string& out, const double* v, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    out += ' ';
    out += formatNumber(v[i]);
  }
}

}  // namespace

std::string writeNetwork(const Network& net, std::string_view comment) {
  std::string out;
  std::size_t start = 0;
  while (start < comment.size()) {
    std::size_t end = comment.find('\n', start);
    if (end == std::string_view::npos) end = comment.size();
    out += "# ";
    out += comment.substr(start, end - start);
    out += '\n';
    start = end + 1;
  }
  out += "ZKR 1\n";
  out += "OUTPUT " + net.output + "\n";
  out += "INPUTS " + std::to_string(net.tags.size()) + "\n";
  for (std::size_t i = 0; i < net.tags.size(); ++i)
    out += "INPUT " + net.tags[i] + " " + formatNumber(net.offsets[i]) + " " + formatNumber(net.scales[i]) + "\n";
  out += "OUTPUTSCALE " + formatNumber(net.out_offset) + " " + formatNumber(net.out_scale) + "\n";
  out += "LAYERS " + std::to_string(net.layers.size()) + "\n";
  for (const Layer& l : net.layers) {
    out += "LAYER " + std::to_string(l.rows) + " " + activationName(l.act) + "\n";
    out += "W";
    const std::size_t cols = static_cast<std::size_t>(l.cols);
    for (std::size_t r = 0; r < static_cast<std::size_t>(l.rows); ++r) {
      if (r > 0) out += "\n ";
      appendNumbers(out, l.weights.data() + r * cols, cols);
    }
    out += "\nB";
    appendNumbers(out, l.bias.data(), l.bias.size());
    out += '\n';
  }
  for (const CheckPoint& c : net.checks) {
    out += "CHECK";
    appendNumbers(out, c.inputs.data(), c.inputs.size());
    out += ' ';
    out += formatNumber(c.expected);
    out += '\n';
  }
  out += "END\n";
  return out;
}

}  // namespace diveduded
