// The visbreaker on its sample networks, both generations: the residual and
// Jacobian hooks (the first generation runs all 23 networks in each; the
// second reruns a network only when its inputs changed), and a whole solve
// (factory, set-up, init, Newton) as romhost does it.
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
    {"FEEDMASS", 100000}, {"FEEDSG", 1.02},   {"FEEDVBI", 40},    {"FEEDSUL", 3.0},
    {"FEEDVANADIUM", 150}, {"FEEDNIT", 4000}, {"FEEDCCR", 20},    {"NAPECP", 350},
    {"LGOECP", 650},      {"HGOECP", 950},    {"CONVERSION", 7}};

QivEOBlock* makeVisbreaker(const char* version) {
  const std::string root = std::string(ROM_SOURCE_DIR) + "/examples/networks";
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
  value_t* options = value_make_list();
  gl_append(options->list, value_make_string("SUBID:ROVBSKR"));
  gl_append(options->list, value_make_string(version));
  rofactory factory;
  QivEOBlock* block = factory.create("V1", options);
  value_destroy(options);
  return block;
}

// A visbreaker set up and initialised at the nominal inputs.
struct SetUpVisbreaker {
  explicit SetUpVisbreaker(const char* version) : session(makeVisbreaker(version)) {
    romhost::SetUpPlan plan;
    plan.values = kNominal;
    ok = session.setUp(plan).ok();
  }
  QivEOBlockImpl& block() const { return *session.impl(); }
  romhost::BlockSession session;
  bool ok = false;
};

const char* versionOf(const benchmark::State& state) { return state.range(0) == 35 ? "VERSION:35" : "VERSION:37.0.0"; }

void BM_VbUserRes(benchmark::State& state) {
  SetUpVisbreaker v(versionOf(state));
  if (!v.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    v.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_VbUserRes)->Arg(35)->Arg(37);

void BM_VbUserJac(benchmark::State& state) {
  SetUpVisbreaker v(versionOf(state));
  if (!v.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    v.block().user_jac(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_VbUserJac)->Arg(35)->Arg(37);

void BM_VbWholeSolve(benchmark::State& state) {
  for (auto _ : state) {
    SetUpVisbreaker v(versionOf(state));
    if (!v.ok) return state.SkipWithError("set-up failed");
    const romhost::NewtonResult r = romhost::solveNewton(v.session.system());
    if (!r.converged()) return state.SkipWithError("not converged");
    benchmark::DoNotOptimize(r.iterations);
  }
}
BENCHMARK(BM_VbWholeSolve)->Arg(35)->Arg(37)->Unit(benchmark::kMillisecond);

}  // namespace
