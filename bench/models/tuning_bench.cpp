// The tuning blocks on the example cases: the residual and Jacobian hooks of
// the overcrack tuning model (both networks run for every point at every
// evaluation) and of the FCC tuning balance, and a whole solve (factory,
// set-up, Newton) of each, as romhost does it.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "host/block_session.h"
#include "host/case_file.h"
#include "host/newton.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace {

const std::string kExamples = std::string(ROM_SOURCE_DIR) + "/examples/";

// A block made from an example case and set up as romhost sets it up.
struct SetUpCase {
  explicit SetUpCase(const char* file) : spec(romhost::readCaseFile(kExamples + file)) {
    if (!spec.networks.empty())
      pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", spec.networks.c_str());
    value_t* options = value_make_list();
    for (const std::string& o : spec.options) gl_append(options->list, value_make_string(o.c_str()));
    QivEOBlock* block = nullptr;
    if (spec.factory == "ROTUNING") {
      rotuningmodelfactory f;
      block = f.create(spec.name.c_str(), options);
    } else {
      rotuningbalancefactory f;
      block = f.create(spec.name.c_str(), options);
    }
    value_destroy(options);
    session = std::make_unique<romhost::BlockSession>(block);
    romhost::SetUpPlan plan;
    plan.fix = spec.fix;
    plan.free = spec.free;
    plan.values = spec.values;
    plan.attributes = spec.attributes;
    ok = block && session->setUp(plan).ok();
  }
  romhost::CaseSpec spec;
  std::unique_ptr<romhost::BlockSession> session;
  bool ok = false;
};

void hook(benchmark::State& state, const char* file, bool jacobian) {
  SetUpCase c(file);
  if (!c.ok) return state.SkipWithError("set-up failed");
  QivEOBlockImpl& block = *c.session->impl();
  for (auto _ : state) {
    long long st = 0;
    if (jacobian) {
      block.user_jac(st);
    } else {
      block.user_res(st);
    }
    benchmark::DoNotOptimize(st);
  }
}

void wholeSolve(benchmark::State& state, const char* file) {
  for (auto _ : state) {
    SetUpCase c(file);
    if (!c.ok) return state.SkipWithError("set-up failed");
    benchmark::DoNotOptimize(romhost::solveNewton(c.session->system()).converged());
  }
}

BENCHMARK_CAPTURE(hook, OvercrackModelUserRes, "tuning-model-fcc-overcrack.json", false);
BENCHMARK_CAPTURE(hook, OvercrackModelUserJac, "tuning-model-fcc-overcrack.json", true);
BENCHMARK_CAPTURE(hook, FccBalanceUserRes, "tuning-balance-fcc.json", false);
BENCHMARK_CAPTURE(hook, FccBalanceUserJac, "tuning-balance-fcc.json", true);
BENCHMARK_CAPTURE(wholeSolve, CokerModel, "tuning-model-coker.json");
BENCHMARK_CAPTURE(wholeSolve, OvercrackModel, "tuning-model-fcc-overcrack.json");
BENCHMARK_CAPTURE(wholeSolve, FccBalance, "tuning-balance-fcc.json");

}  // namespace
