// The first-generation coker on its sample networks: the residual and Jacobian
// hooks (each runs all 35 networks first), the network runs alone, and a whole
// solve (factory, set-up, init, Newton) as romhost does it.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "host/newton.h"
#include "models/coker/rocoker.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace {

const std::vector<std::pair<std::string, double>> kNominal = {
    {"FEEDMASS", 120000}, {"FEEDSG", 1.02},       {"FEEDSUL", 4.0},       {"FEEDNIT", 3000},
    {"FEEDCCR", 20},      {"DRUMINLETTEMP", 900}, {"DRUMINLETPRES", 200}, {"COMBINEDFEEDRATIO", 1.1},
    {"LCNECP", 300},      {"HCNECP", 400},        {"LGOECP", 650}};

QivEOBlock* makeCoker() {
  const std::string root = std::string(ROM_SOURCE_DIR) + "/examples/networks";
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
  value_t* options = value_make_list();
  gl_append(options->list, value_make_string("SUBID:ROCOKER"));
  rofactory factory;
  QivEOBlock* block = factory.create("C1", options);
  value_destroy(options);
  return block;
}

// A coker set up and initialised at the nominal inputs.
struct SetUpCoker {
  SetUpCoker() : session(makeCoker()) {
    romhost::SetUpPlan plan;
    plan.values = kNominal;
    ok = session.setUp(plan).ok();
  }
  rocoker& block() const { return dynamic_cast<rocoker&>(*session.block()); }
  romhost::BlockSession session;
  bool ok = false;
};

void BM_CokerUserRes(benchmark::State& state) {
  SetUpCoker c;
  if (!c.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    c.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_CokerUserRes);

void BM_CokerUserJac(benchmark::State& state) {
  SetUpCoker c;
  if (!c.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    c.block().user_jac(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_CokerUserJac);

// What both hooks spend before their rows: one run of every network.
void BM_CokerRunAllNetworks(benchmark::State& state) {
  SetUpCoker c;
  if (!c.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) benchmark::DoNotOptimize(c.block().runAllNN());
}
BENCHMARK(BM_CokerRunAllNetworks);

void BM_CokerWholeSolve(benchmark::State& state) {
  for (auto _ : state) {
    SetUpCoker c;
    if (!c.ok) return state.SkipWithError("set-up failed");
    const romhost::NewtonResult r = romhost::solveNewton(c.session.system());
    if (!r.converged()) return state.SkipWithError("not converged");
    benchmark::DoNotOptimize(r.iterations);
  }
}
BENCHMARK(BM_CokerWholeSolve)->Unit(benchmark::kMillisecond);

}  // namespace
