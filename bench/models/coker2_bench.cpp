// The second-generation coker on the same sample networks as the first
// generation's benchmarks: the residual and Jacobian hooks, which rerun a
// network only when one of its inputs changed (so at a fixed point they run
// none, and a moved input makes the residual pass run all 35), and a whole
// solve (factory, set-up, init, Newton) as romhost does it.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "host/newton.h"
#include "models/coker/rocoker_1.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace {

const std::vector<std::pair<std::string, double>> kNominal = {
    {"FEEDMASS", 120000}, {"FEEDSG", 1.02},       {"FEEDSUL", 4.0},       {"FEEDNIT", 3000},
    {"FEEDCCR", 20},      {"DRUMINLETTEMP", 900}, {"DRUMINLETPRES", 200}, {"COMBINEDFEEDRATIO", 1.1},
    {"LCNECP", 300},      {"HCNECP", 400},        {"LGOECP", 650}};

QivEOBlock* makeCoker2() {
  const std::string root = std::string(ROM_SOURCE_DIR) + "/examples/networks";
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
  value_t* options = value_make_list();
  gl_append(options->list, value_make_string("SUBID:ROCOKER"));
  gl_append(options->list, value_make_string("VERSION:37.0.0"));
  rofactory factory;
  QivEOBlock* block = factory.create("C1", options);
  value_destroy(options);
  return block;
}

// A second-generation coker set up and initialised at the nominal inputs.
struct SetUpCoker2 {
  SetUpCoker2() : session(makeCoker2()) {
    romhost::SetUpPlan plan;
    plan.values = kNominal;
    ok = session.block() && session.setUp(plan).ok();
  }
  rocoker_1& block() const { return dynamic_cast<rocoker_1&>(*session.block()); }
  double& feedSG() {
    romhost::BlockSystem& sys = session.system();
    return rtovarlst_vec_value(sys.varList())[rtovarlst_find(sys.varList(), "C1.FEEDSG") - 1];
  }
  romhost::BlockSession session;
  bool ok = false;
};

// Inputs unchanged since init: no network runs.
void BM_Coker2UserRes(benchmark::State& state) {
  SetUpCoker2 c;
  if (!c.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    c.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_Coker2UserRes);

// One input moves before every pass: all 35 networks run, as in every
// residual pass of the first generation.
void BM_Coker2UserResInputChanged(benchmark::State& state) {
  SetUpCoker2 c;
  if (!c.ok) return state.SkipWithError("set-up failed");
  double& sg = c.feedSG();
  bool up = false;
  for (auto _ : state) {
    sg = (up = !up) ? 1.021 : 1.02;
    long long st = 0;
    c.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_Coker2UserResInputChanged);

// After a residual pass at the same point, as the solver calls it: no network runs.
void BM_Coker2UserJac(benchmark::State& state) {
  SetUpCoker2 c;
  if (!c.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    c.block().user_jac(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_Coker2UserJac);

void BM_Coker2WholeSolve(benchmark::State& state) {
  for (auto _ : state) {
    SetUpCoker2 c;
    if (!c.ok) return state.SkipWithError("set-up failed");
    const romhost::NewtonResult r = romhost::solveNewton(c.session.system());
    if (!r.converged()) return state.SkipWithError("not converged");
    benchmark::DoNotOptimize(r.iterations);
  }
}
BENCHMARK(BM_Coker2WholeSolve)->Unit(benchmark::kMillisecond);

}  // namespace
