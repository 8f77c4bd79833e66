// The runner's cost per network use (Open, Run, derivatives, Close) with the
// parse cache and without it, for a new runner per use and for a kept one;
// then the parse alone and a bare Run on an open runner.
// The network: 11 inputs (the visbreaker's), 16 tanh units, 3 CHECK points.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/diveduded/DIVeduded.h"
#include "platform/diveduded/network.h"
#include "platform/diveduded/parser.h"
#include "platform/diveduded/writer.h"

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kTags = {"FEEDMASS", "FEEDSG",      "FEEDVBI", "FEEDSUL", "FEEDVANADIUM", "FEEDNIT",
                                        "FURNACETEMP", "FEEDCCR", "NAPECP",  "LGOECP",  "HGOECP"};
const std::vector<double> kValues = {120000, 1.02, 38, 0.035, 150, 0.004, 455, 0.18, 165, 340, 480};

diveduded::Network benchNetwork() {
  diveduded::Network net;
  net.output = "NAPFRAC";
  net.tags = kTags;
  net.offsets = kValues;
  for (double v : kValues) net.scales.push_back(10.0 / v);
  net.out_offset = 0.08;
  net.out_scale = 0.01;
  unsigned s = 12345;
  auto next = [&s] {
    s = s * 1664525u + 1013904223u;
    return static_cast<double>(s >> 8) / 16777216.0 - 0.5;
  };
  net.layers.push_back({16, 11, diveduded::Activation::Tanh, {}, {}});
  net.layers.push_back({1, 16, diveduded::Activation::Linear, {}, {}});
  for (auto& l : net.layers) {
    for (int i = 0; i < l.rows * l.cols; ++i) l.weights.push_back(next());
    for (int i = 0; i < l.rows; ++i) l.bias.push_back(next());
  }
  diveduded::Scratch scratch;
  scratch.sizeFor(net);
  for (int p = 0; p < 3; ++p) {
    std::vector<double> x = kValues;
    for (double& v : x) v *= 1.0 + 0.01 * p;
    net.checks.push_back({x, diveduded::evaluate(net, x.data(), scratch, nullptr)});
  }
  return net;
}

// The network file, written once into a scratch folder laid out as <root>/VB_SKR/.
struct BenchFiles {
  BenchFiles() {
    root = fs::temp_directory_path() / ("diveduded_bench_" + std::to_string(::getpid()));
    fs::create_directories(root / "VB_SKR");
    text = diveduded::writeNetwork(benchNetwork(), "benchmark network: 11 inputs, 16 tanh units");
    std::ofstream(root / "VB_SKR" / "VB_SKR_NAPFRAC.zkr", std::ios::binary) << text;
    folder = root.string() + "\\VB_SKR";
    for (const std::string& t : kTags) {
      names.emplace_back(DIV_NAME_BUF, '\0');
      t.copy(names.back().data(), DIV_NAME_BUF - 1);
    }
    for (auto& n : names) name_ptrs.push_back(n.data());
    values = kValues;
  }
  ~BenchFiles() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  fs::path root;
  std::string text, folder;
  std::vector<std::vector<char>> names;
  std::vector<char*> name_ptrs;
  std::vector<double> values;
};

BenchFiles& files() {
  static BenchFiles f;
  return f;
}

// One network use per iteration. A new runner per use is the first generation
// (robase::runNN); a kept runner opened and closed around every run is the
// second (the network equation objects).
void useNetwork(benchmark::State& state, bool new_runner) {
  BenchFiles& f = files();
  std::vector<std::vector<char>> tags(kTags.size(), std::vector<char>(DIV_NAME_BUF));
  std::vector<char*> tag_ptrs;
  for (auto& t : tags) tag_ptrs.push_back(t.data());
  std::vector<double> deriv(kTags.size());
  auto configure = [&f](DIVeduded& r) {
    r.SetDepVar("NAPFRAC");
    r.SetZKRFile("VB_SKR_NAPFRAC.zkr");
    r.SetZKRFolder(f.folder.c_str());
  };
  DIVeduded kept;
  configure(kept);
  for (auto _ : state) {
    DIVeduded* r = &kept;
    if (new_runner) {
      r = new DIVeduded();
      configure(*r);
    }
    r->SetInputs(f.name_ptrs.data(), f.values.data(), static_cast<int>(f.values.size()));
    if (r->Open() != 0 || r->Run() != 0) state.SkipWithError(r->lastMessage().c_str());
    benchmark::DoNotOptimize(r->m_dResult);
    long count = 0;
    r->GetIndependentTagCount(count);
    r->GetDerivatives(tag_ptrs.data(), deriv.data());
    benchmark::DoNotOptimize(deriv.data());
    r->Close();
    if (new_runner) delete r;
  }
}

void BM_NewRunnerOpenRunClose_Cached(benchmark::State& state) {
  ::unsetenv("DIVEDUDED_NOCACHE");
  DIVeduded::ClearCache();
  useNetwork(state, true);
}
BENCHMARK(BM_NewRunnerOpenRunClose_Cached);

void BM_NewRunnerOpenRunClose_Uncached(benchmark::State& state) {
  ::setenv("DIVEDUDED_NOCACHE", "1", 1);
  useNetwork(state, true);
  ::unsetenv("DIVEDUDED_NOCACHE");
}
BENCHMARK(BM_NewRunnerOpenRunClose_Uncached);

void BM_KeptRunnerOpenRunClose_Cached(benchmark::State& state) {
  ::unsetenv("DIVEDUDED_NOCACHE");
  DIVeduded::ClearCache();
  useNetwork(state, false);
}
BENCHMARK(BM_KeptRunnerOpenRunClose_Cached);

void BM_KeptRunnerOpenRunClose_Uncached(benchmark::State& state) {
  ::setenv("DIVEDUDED_NOCACHE", "1", 1);
  useNetwork(state, false);
  ::unsetenv("DIVEDUDED_NOCACHE");
}
BENCHMARK(BM_KeptRunnerOpenRunClose_Uncached);

void BM_ParseFile(benchmark::State& state) {
  const std::string& text = files().text;
  for (auto _ : state) {
    diveduded::Network net;
    diveduded::ParseError err;
    if (!diveduded::parseNetwork(text, net, err)) state.SkipWithError(err.message.c_str());
    benchmark::DoNotOptimize(net.layers.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseFile);

// A runner kept open: SetInputs, Run and derivatives only.
void BM_RunAndDerivatives(benchmark::State& state) {
  BenchFiles& f = files();
  DIVeduded r;
  r.SetDepVar("NAPFRAC");
  r.SetZKRFile("VB_SKR_NAPFRAC.zkr");
  r.SetZKRFolder(f.folder.c_str());
  if (r.Open() != 0) state.SkipWithError(r.lastMessage().c_str());
  std::vector<std::vector<char>> tags(kTags.size(), std::vector<char>(DIV_NAME_BUF));
  std::vector<char*> tag_ptrs;
  for (auto& t : tags) tag_ptrs.push_back(t.data());
  std::vector<double> deriv(kTags.size());
  for (auto _ : state) {
    r.SetInputs(f.name_ptrs.data(), f.values.data(), static_cast<int>(f.values.size()));
    r.Run();
    benchmark::DoNotOptimize(r.m_dResult);
    r.GetDerivatives(tag_ptrs.data(), deriv.data());
  }
  r.Close();
}
BENCHMARK(BM_RunAndDerivatives);

}  // namespace

namespace {

// The network arithmetic alone: forward pass and backward pass.
void BM_EvaluateWithDerivatives(benchmark::State& state) {
  const diveduded::Network net = benchNetwork();
  diveduded::Scratch scratch;
  scratch.sizeFor(net);
  std::vector<double> grad(net.inputCount());
  for (auto _ : state) {
    benchmark::DoNotOptimize(diveduded::evaluate(net, kValues.data(), scratch, grad.data()));
    benchmark::DoNotOptimize(grad.data());
  }
}
BENCHMARK(BM_EvaluateWithDerivatives);

// The one stat that a cached Open costs: the floor under the cached figures,
// set by the machine's system-call cost rather than by the runner.
void BM_StatOfTheFile(benchmark::State& state) {
  const std::string path = (files().root / "VB_SKR" / "VB_SKR_NAPFRAC.zkr").string();
  struct stat st {};
  for (auto _ : state) benchmark::DoNotOptimize(::stat(path.c_str(), &st));
}
BENCHMARK(BM_StatOfTheFile);

}  // namespace
