// The first-generation hydrocracker on its sample networks: the residual and
// Jacobian hooks at a converged point (the network equations find their
// inputs unchanged and run nothing), the same hooks when every network has to
// run, and a whole solve (factory, set-up, init, Newton) as romhost does it.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "host/newton.h"
#include "models/hydrocracker/hcr_models.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace {

// The fixed inputs of examples/hcr-d.json.
const std::vector<std::pair<std::string, double>> kNominal = {
    {"FEEDMASS", 200000}, {"TOTCONV", 80}, {"RCYRATE", 10},  {"CATAGE", 40},  {"FEEDSG", 0.91},
    {"FEEDT50", 800},     {"FEEDSUL", 2.0}, {"FEEDNIT", 1200}, {"FEEDBRNO", 4}, {"DSLECP", 650},
    {"KERECP", 500},      {"HCNECP", 380},  {"LCNECP", 180}};

QivEOBlock* makeDiesel() {
  const std::string root = std::string(ROM_SOURCE_DIR) + "/examples/networks";
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
  value_t* options = value_make_list();
  gl_append(options->list, value_make_string("SUBID:ROHCRD"));
  rofactory factory;
  QivEOBlock* block = factory.create("H1", options);
  value_destroy(options);
  return block;
}

// An HCR_D block set up and initialised at the nominal inputs.
struct SetUpDiesel {
  SetUpDiesel() : session(makeDiesel()) {
    romhost::SetUpPlan plan;
    plan.values = kNominal;
    ok = session.setUp(plan).ok();
  }
  hcrmodel& block() const { return dynamic_cast<hcrmodel&>(*session.block()); }
  romhost::BlockSession session;
  bool ok = false;
};

template <bool Jacobian>
void hook(const SetUpDiesel& d) {
  long long st = 0;
  if constexpr (Jacobian) {
    d.block().user_jac(st);
  } else {
    d.block().user_res(st);
  }
  benchmark::DoNotOptimize(st);
}

// At an unchanged point: 111 rows, no network run.
template <bool Jacobian>
void BM_HcrHook(benchmark::State& state) {
  SetUpDiesel d;
  if (!d.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) hook<Jacobian>(d);
}
BENCHMARK(BM_HcrHook<false>)->Name("BM_HcrUserRes");
BENCHMARK(BM_HcrHook<true>)->Name("BM_HcrUserJac");

// Each call after a change of CONVERSION, which every network reads: 49 runs.
template <bool Jacobian>
void BM_HcrHookAfterChange(benchmark::State& state) {
  SetUpDiesel d;
  if (!d.ok) return state.SkipWithError("set-up failed");
  romhost::BlockSystem& sys = d.session.system();
  const int conversion = rtovarlst_find(sys.varList(), "H1.CONVERSION");
  double step = 1e-9;
  for (auto _ : state) {
    sys.setValue(conversion, sys.value(conversion) + step);
    step = -step;
    hook<Jacobian>(d);
  }
}
BENCHMARK(BM_HcrHookAfterChange<false>)->Name("BM_HcrUserResNetworksRun");
BENCHMARK(BM_HcrHookAfterChange<true>)->Name("BM_HcrUserJacNetworksRun");

void BM_HcrWholeSolve(benchmark::State& state) {
  for (auto _ : state) {
    SetUpDiesel d;
    if (!d.ok) return state.SkipWithError("set-up failed");
    const romhost::NewtonResult r = romhost::solveNewton(d.session.system());
    if (!r.converged()) return state.SkipWithError("no convergence");
    benchmark::DoNotOptimize(r.iterations);
  }
}
BENCHMARK(BM_HcrWholeSolve)->Unit(benchmark::kMillisecond);

}  // namespace
