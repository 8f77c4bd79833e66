// The second-generation FCC on the shipped sample networks, widest slate
// (ROFCCGO3N1H, 211 variables, 159 equations, 71 networks of which four are
// total/difference pairs): the residual and Jacobian hooks, which rerun a
// network only when what it depends on changed, and a whole solve (factory,
// set-up, init, Newton) as romhost does it.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "host/newton.h"
#include "models/fcc/rofcc_1.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace {

const std::vector<std::pair<std::string, double>> kNominal = {
    {"FEEDMASS", 250000}, {"FEEDSG", 0.92},         {"FEEDSUL", 1.2},       {"FEEDBN2", 800},
    {"FEEDCCR", 2.5},     {"FEEDNICKEL", 5},        {"FEEDVANADIUM", 8},    {"REACTORPLENUMTEMP", 975},
    {"FEEDTEMP", 450},    {"CATCOOLERDUTY", 60},    {"ECATMAT", 70},        {"FEEDT50", 800},
    {"LCNECP", 220},      {"MCNECP", 300},          {"HCNECP", 400},        {"LCOECP", 650},
    {"HCOECP", 800},      {"ZSMPCT", 2},            {"ISATINC5MIX", 0.3},   {"USATINC5MIX", 0.35},
    {"NSATINC5MIX", 0.1}, {"NAPSATINC5MIX", 0.25}};

QivEOBlock* makeFcc2() {
  const std::string root = std::string(ROM_SOURCE_DIR) + "/examples/networks";
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
  value_t* options = value_make_list();
  gl_append(options->list, value_make_string("SUBID:ROFCCGO3N1H"));
  gl_append(options->list, value_make_string("VERSION:37.0.0"));
  rofactory factory;
  QivEOBlock* block = factory.create("F1", options);
  value_destroy(options);
  return block;
}

// A second-generation FCC set up and initialised at the nominal inputs.
struct SetUpFcc2 {
  SetUpFcc2() : session(makeFcc2()) {
    romhost::SetUpPlan plan;
    plan.values = kNominal;
    ok = session.block() && session.setUp(plan).ok();
  }
  rofcc_1& block() const { return dynamic_cast<rofcc_1&>(*session.block()); }
  double& plenumTemp() {
    romhost::BlockSystem& sys = session.system();
    return rtovarlst_vec_value(sys.varList())[rtovarlst_find(sys.varList(), "F1.REACTORPLENUMTEMP") - 1];
  }
  romhost::BlockSession session;
  bool ok = false;
};

// Inputs unchanged since init: no network runs.
void BM_Fcc2UserRes(benchmark::State& state) {
  SetUpFcc2 f;
  if (!f.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    f.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_Fcc2UserRes);

// The plenum temperature moves before every pass: every network runs, the
// paired naphtha cuts twice.
void BM_Fcc2UserResInputChanged(benchmark::State& state) {
  SetUpFcc2 f;
  if (!f.ok) return state.SkipWithError("set-up failed");
  double& t = f.plenumTemp();
  bool up = false;
  for (auto _ : state) {
    t = (up = !up) ? 975.5 : 975.0;
    long long st = 0;
    f.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_Fcc2UserResInputChanged);

// After a residual pass at the same point, as the solver calls it: no network runs.
void BM_Fcc2UserJac(benchmark::State& state) {
  SetUpFcc2 f;
  if (!f.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    f.block().user_jac(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_Fcc2UserJac);

void BM_Fcc2WholeSolve(benchmark::State& state) {
  for (auto _ : state) {
    SetUpFcc2 f;
    if (!f.ok) return state.SkipWithError("set-up failed");
    const romhost::NewtonResult r = romhost::solveNewton(f.session.system());
    if (!r.converged()) return state.SkipWithError("not converged");
    benchmark::DoNotOptimize(r.iterations);
  }
}
BENCHMARK(BM_Fcc2WholeSolve)->Unit(benchmark::kMillisecond);

}  // namespace
