#include "host/romnet/generate.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "host/romnet/commands.h"
#include "platform/diveduded/cache.h"
#include "platform/diveduded/writer.h"
#include "platform/file_io.h"
#include "platform/text.h"

namespace romnet {

namespace {

// Largest table read: tables are a few kilobytes.
constexpr std::uint64_t kMaxTableBytes = 64ULL << 20;

// splitmix64: small, and the same sequence on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }  // [0, 1)
  double normal() {
    const double u1 = 1.0 - uniform();  // (0, 1]
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
  }

 private:
  std::uint64_t state_;
};

std::uint64_t fnv1a(const std::string& text) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (unsigned char c : text) {
    h ^= c;
    h *= 0x100000001b3ULL;
  }
  return h;
}

// A message about the input: its texts (paths, names, tokens) shown with
// their control bytes escaped.
void complain(const std::string& text) {
  std::fprintf(stderr, "romnet: %s\n", pelmo_text::printable(text).c_str());
}

// A network file to write: its path and its text.
struct PlannedFile {
  std::string path;
  std::string text;
};

// Solves A v = g in place (A is n x n, row-major) by Gaussian elimination with
// partial pivoting. False when a pivot is negligible against the diagonal.
bool solve(std::vector<double>& a, std::vector<double>& g, std::size_t n) {
  double scale = 0.0;
  for (std::size_t i = 0; i < n; ++i) scale = std::max(scale, std::fabs(a[i * n + i]));
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t p = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r * n + c]) > std::fabs(a[p * n + c])) p = r;
    if (!(std::fabs(a[p * n + c]) > 1e-10 * scale)) return false;
    if (p != c) {
      for (std::size_t k = 0; k < n; ++k) std::swap(a[p * n + k], a[c * n + k]);
      std::swap(g[p], g[c]);
    }
    for (std::size_t r = c + 1; r < n; ++r) {
      const double f = a[r * n + c] / a[c * n + c];
      for (std::size_t k = c; k < n; ++k) a[r * n + k] -= f * a[c * n + k];
      g[r] -= f * g[c];
    }
  }
  for (std::size_t c = n; c-- > 0;) {
    double s = g[c];
    for (std::size_t k = c + 1; k < n; ++k) s -= a[c * n + k] * g[k];
    g[c] = s / a[c * n + c];
  }
  return true;
}

// Draws the hidden layer and fits the output layer; false when the drawn
// hidden layer is too ill-conditioned for an exact fit.
bool tryBuild(const TableOutput& out, Random& rng, diveduded::Network& net) {
  const std::size_t n = out.tags.size();
  const std::size_t h = static_cast<std::size_t>(out.hidden);
  diveduded::Layer& hidden = net.layers[0];
  diveduded::Layer& last = net.layers[1];
  // Weights of size 1/sqrt(n): a move of one span in every input changes a
  // hidden unit's argument by about one, so the tanh curves but does not saturate.
  const double w_scale = 1.0 / std::sqrt(static_cast<double>(n > 0 ? n : 1));
  for (double& w : hidden.weights) w = w_scale * rng.normal();
  for (double& b : hidden.bias) b = 0.5 * rng.normal();

  std::vector<double> a0(h), slope(h);
  for (std::size_t k = 0; k < h; ++k) {
    a0[k] = std::tanh(hidden.bias[k]);
    slope[k] = 1.0 - a0[k] * a0[k];
  }
  // Wanted dy/dz_i = sensitivity_i * nominal (z in spans). With M = W1^T diag(slope),
  // the output weights w = M^T (M M^T)^-1 g meet M w = g with the least norm.
  std::vector<double> g(n), mmt(n * n, 0.0);
  for (std::size_t i = 0; i < n; ++i) g[i] = out.sensitivities[i] * out.nominal;
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) {
      double s = 0.0;
      for (std::size_t k = 0; k < h; ++k)
        s += hidden.weights[k * n + i] * hidden.weights[k * n + j] * slope[k] * slope[k];
      mmt[i * n + j] = s;
    }
  if (!solve(mmt, g, n)) return false;
  double at_nominal = 0.0;
  for (std::size_t k = 0; k < h; ++k) {
    double w = 0.0;
    for (std::size_t i = 0; i < n; ++i) w += hidden.weights[k * n + i] * slope[k] * g[i];
    last.weights[k] = w;
    at_nominal += w * a0[k];
  }
  last.bias[0] = -at_nominal;  // the output unit is 0 at the nominal point
  return true;
}

}  // namespace

diveduded::Network buildNetwork(const KindTable& table, const TableOutput& out) {
  const std::size_t n = out.tags.size();
  const std::size_t h = static_cast<std::size_t>(out.hidden);
  diveduded::Network net;
  net.output = out.name;
  for (std::size_t i = 0; i < n; ++i) {
    const TableInput* in = table.input(out.tags[i]);
    net.tags.push_back(in->tag);
    net.offsets.push_back(in->nominal);
    net.scales.push_back(1.0 / in->span);
  }
  net.out_offset = out.nominal;
  net.out_scale = 1.0;
  net.layers.resize(2);
  net.layers[0] = {static_cast<int>(h), static_cast<int>(n), diveduded::Activation::Tanh,
                   std::vector<double>(h * n), std::vector<double>(h)};
  net.layers[1] = {1, static_cast<int>(h), diveduded::Activation::Linear, std::vector<double>(h),
                   std::vector<double>(1)};

  Random rng(fnv1a(table.kind + "_" + out.name));
  bool built = false;
  for (int attempt = 0; attempt < 20 && !built; ++attempt) built = tryBuild(out, rng, net);
  if (!built) throw std::runtime_error("no well-conditioned network found for " + out.name);

  // Self-test points: the nominal point, then two points half a span away in
  // directions drawn per input.
  diveduded::Scratch scratch;
  scratch.sizeFor(net);
  for (int p = 0; p < 3; ++p) {
    diveduded::CheckPoint c;
    for (std::size_t i = 0; i < n; ++i) {
      const TableInput* in = table.input(out.tags[i]);
      const double dir = p == 0 ? 0.0 : (rng.uniform() < 0.5 ? -0.5 : 0.5);
      c.inputs.push_back(in->nominal + dir * in->span);
    }
    c.expected = diveduded::evaluate(net, c.inputs.data(), scratch, nullptr);
    net.checks.push_back(std::move(c));
  }
  return net;
}

int runGenerate(const std::string& table_path, const std::string& outdir) {
  std::string text;
  const pelmo_file::FileResult read = pelmo_file::readRegularFile(table_path, kMaxTableBytes, text);
  if (!read.ok()) {
    complain("cannot read table " + table_path + ": " + read.reason);
    return kExitData;
  }
  KindTable table;
  std::string error;
  if (!parseTable(text, table, error)) {
    complain("table " + table_path + ": " + error);
    return kExitData;
  }

  // Every network is built and read back as the runner reads it before any
  // file is written, so a table with one output the runner would refuse
  // replaces none of the old files.
  const std::string source = std::filesystem::path(table_path).filename().string();
  std::vector<PlannedFile> planned;
  for (const TableOutput& out : table.outputs) {
    const std::string line = "table " + table_path + ": line " + std::to_string(out.line) + ": ";
    const std::string name = networkFileName(table.kind, out.name);
    diveduded::Network net;
    try {
      net = buildNetwork(table, out);
    } catch (const std::exception& e) {
      complain(line + e.what());
      return kExitData;
    }
    std::ostringstream comment;
    comment << "Sample network of kind " << table.kind << ", output " << out.name << ", written by romnet generate\n"
            << "from " << source << ": one tanh layer of " << out.hidden << " units, exact table sensitivities at\n"
            << "the nominal point, where it predicts " << diveduded::formatNumber(out.nominal) << ".";
    std::string body = diveduded::writeNetwork(net, comment.str());
    // Values too large for a double give weights or CHECK values that are not
    // finite: the runner's own parse and self-check refuse them.
    const diveduded::LoadResult loaded = diveduded::loadNetworkText(body, name);
    if (loaded.status != 0) {
      complain(line + "output \"" + out.name + "\" gives a network the runner would refuse (" + loaded.message + ")");
      return kExitData;
    }
    planned.push_back({(std::filesystem::path(outdir) / name).string(), std::move(body)});
  }

  std::error_code ec;
  std::filesystem::create_directories(outdir, ec);
  if (ec) {
    complain("cannot create " + outdir + ": " + ec.message());
    return kExitCannotWrite;
  }
  // Every target is checked before the first is replaced: a FIFO, a device or
  // a file that may not be written at any of them leaves all the old files.
  for (const PlannedFile& file : planned) {
    const pelmo_file::FileResult ready = pelmo_file::checkReplaceable(file.path);
    if (!ready.ok()) {
      complain("cannot write " + file.path + ": " + ready.reason);
      return kExitCannotWrite;
    }
  }
  for (const PlannedFile& file : planned) {
    // As a stored block is saved: a temporary file of its own renamed over the
    // old one, so a failed write leaves the old file and no temporary, and a
    // FIFO or a device that has the name is refused instead of replaced.
    const pelmo_file::FileResult written = pelmo_file::replaceFile(file.path, file.text);
    if (!written.ok()) {
      complain("cannot write " + file.path + ": " + written.reason);
      return kExitCannotWrite;
    }
    std::printf("%s\n", pelmo_text::printable(file.path).c_str());
  }
  return 0;
}

}  // namespace romnet
