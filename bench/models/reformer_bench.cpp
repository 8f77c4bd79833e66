// The reformer on its sample networks: the residual and Jacobian hooks of the
// first generation (each runs all its networks first) and of the second
// (network equations rerun only on changed inputs), and whole solves (factory,
// set-up, init, Newton) as romhost does them, of the one-reformate block in
// both generations.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "host/newton.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace {

const std::vector<std::pair<std::string, double>> kNominal = {
    {"FEEDMASS", 100000}, {"FEEDSG", 0.75}, {"FEEDNAPH", 30}, {"FEEDAROM", 10}, {"TARGETRON", 98}, {"CATAGE", 50}};

QivEOBlock* makeReformer(bool secondGeneration) {
  const std::string root = std::string(ROM_SOURCE_DIR) + "/examples/networks";
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
  value_t* options = value_make_list();
  gl_append(options->list, value_make_string("SUBID:ROREFSEMI1R"));
  if (secondGeneration) gl_append(options->list, value_make_string("VERSION:37.0.0"));
  rofactory factory;
  QivEOBlock* block = factory.create("R1", options);
  value_destroy(options);
  return block;
}

// A one-reformate block set up and initialised at the nominal feed.
struct SetUpReformer {
  explicit SetUpReformer(bool secondGeneration) : session(makeReformer(secondGeneration)) {
    romhost::SetUpPlan plan;
    plan.values = kNominal;
    ok = session.setUp(plan).ok();
  }
  QivEOBlockImpl& block() const { return *session.impl(); }
  romhost::BlockSession session;
  bool ok = false;
};

void BM_ReformerUserRes(benchmark::State& state) {
  SetUpReformer r(state.range(0) != 0);
  if (!r.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    r.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_ReformerUserRes)->ArgName("gen2")->Arg(0)->Arg(1);

void BM_ReformerUserJac(benchmark::State& state) {
  SetUpReformer r(state.range(0) != 0);
  if (!r.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    r.block().user_jac(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_ReformerUserJac)->ArgName("gen2")->Arg(0)->Arg(1);

void BM_ReformerWholeSolve(benchmark::State& state) {
  for (auto _ : state) {
    SetUpReformer r(state.range(0) != 0);
    if (!r.ok) return state.SkipWithError("set-up failed");
    const romhost::NewtonResult solved = romhost::solveNewton(r.session.system());
    if (!solved.converged()) return state.SkipWithError("not converged");
    benchmark::DoNotOptimize(solved.iterations);
  }
}
BENCHMARK(BM_ReformerWholeSolve)->ArgName("gen2")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
