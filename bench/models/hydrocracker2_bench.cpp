// The second-generation hydrocracker "HCR_D" (the widest kind, 150 variables
// and 111 equation objects) on its sample networks, at the point of
// examples/hcr-d-v37.json: the residual hook with inputs unchanged since init
// (no network runs) and with a moved input (all 49 run), the Jacobian hook
// after a residual pass, and a whole solve (factory, set-up, init, Newton).
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "host/case_file.h"
#include "host/newton.h"
#include "models/hydrocracker/hcrbase_1.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace {

const std::string kCase = std::string(ROM_SOURCE_DIR) + "/examples/hcr-d-v37.json";

QivEOBlock* makeBlock(const romhost::CaseSpec& spec) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", spec.networks.c_str());
  value_t* options = value_make_list();
  for (const std::string& o : spec.options) gl_append(options->list, value_make_string(o.c_str()));
  rofactory factory;
  QivEOBlock* block = factory.create("H1", options);
  value_destroy(options);
  return block;
}

// The case's block set up and initialised.
struct SetUpHcr2 {
  explicit SetUpHcr2(const romhost::CaseSpec& spec = romhost::readCaseFile(kCase)) : session(makeBlock(spec)) {
    romhost::SetUpPlan plan;
    plan.values = spec.values;
    ok = session.block() && session.setUp(plan).ok();
  }
  hcrbase_1& block() const { return dynamic_cast<hcrbase_1&>(*session.block()); }
  double& value(const char* own) {
    romhost::BlockSystem& sys = session.system();
    return rtovarlst_vec_value(sys.varList())[rtovarlst_find(sys.varList(), (std::string("H1.") + own).c_str()) - 1];
  }
  romhost::BlockSession session;
  bool ok = false;
};

void BM_Hcr2UserRes(benchmark::State& state) {
  SetUpHcr2 h;
  if (!h.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    h.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_Hcr2UserRes);

// Every network takes every input, so one moved input reruns all 49.
void BM_Hcr2UserResInputChanged(benchmark::State& state) {
  SetUpHcr2 h;
  if (!h.ok) return state.SkipWithError("set-up failed");
  double& sg = h.value("FEEDSG");
  bool up = false;
  for (auto _ : state) {
    sg = (up = !up) ? 0.911 : 0.91;
    long long st = 0;
    h.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_Hcr2UserResInputChanged);

void BM_Hcr2UserJac(benchmark::State& state) {
  SetUpHcr2 h;
  if (!h.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    h.block().user_jac(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_Hcr2UserJac);

void BM_Hcr2WholeSolve(benchmark::State& state) {
  const romhost::CaseSpec spec = romhost::readCaseFile(kCase);
  for (auto _ : state) {
    SetUpHcr2 h(spec);
    if (!h.ok) return state.SkipWithError("set-up failed");
    const romhost::NewtonResult r = romhost::solveNewton(h.session.system());
    if (!r.converged()) return state.SkipWithError("not converged");
    benchmark::DoNotOptimize(r.iterations);
  }
}
BENCHMARK(BM_Hcr2WholeSolve)->Unit(benchmark::kMillisecond);

}  // namespace
