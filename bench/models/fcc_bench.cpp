// The first-generation FCC block with both extra cuts (FCC_GO_3N1H, 75
// network files) on its sample networks: the residual and Jacobian hooks
// (each runs every network first), the pattern pass, and a whole solve
// (factory, set-up, init, Newton) as romhost does it.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "host/newton.h"
#include "models/fcc/rofcc_slates.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace {

const std::string kRoot = std::string(ROM_SOURCE_DIR) + "/examples/networks";

// The nominal point: the INPUT rows of the kind's sample-network table.
std::vector<std::pair<std::string, double>> nominal() {
  std::vector<std::pair<std::string, double>> values;
  std::ifstream table(kRoot + "/FCC_GO_3N1H/FCC_GO_3N1H.table");
  for (std::string line; std::getline(table, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string key, tag;
    double v = 0.0;
    if (words >> key >> tag >> v && key == "INPUT") values.emplace_back(tag, v);
  }
  return values;
}

QivEOBlock* makeFcc() {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", kRoot.c_str());
  value_t* options = value_make_list();
  gl_append(options->list, value_make_string("SUBID:ROFCCGO3N1H"));
  rofactory factory;
  QivEOBlock* block = factory.create("F1", options);
  value_destroy(options);
  return block;
}

// An FCC block set up and initialised at the nominal inputs.
struct SetUpFcc {
  SetUpFcc() : session(makeFcc()) {
    romhost::SetUpPlan plan;
    plan.values = nominal();
    ok = session.setUp(plan).ok();
  }
  rofccslate& block() const { return dynamic_cast<rofccslate&>(*session.block()); }
  romhost::BlockSession session;
  bool ok = false;
};

void BM_FccUserRes(benchmark::State& state) {
  SetUpFcc f;
  if (!f.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    f.block().user_res(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_FccUserRes);

void BM_FccUserJac(benchmark::State& state) {
  SetUpFcc f;
  if (!f.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    f.block().user_jac(st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_FccUserJac);

// The pattern pass alone: no network runs, 1620 non-zeros.
void BM_FccUserPat(benchmark::State& state) {
  SetUpFcc f;
  if (!f.ok) return state.SkipWithError("set-up failed");
  for (auto _ : state) {
    long long st = 0;
    f.block().user_pat(f.session.system().jac(), st);
    benchmark::DoNotOptimize(st);
  }
}
BENCHMARK(BM_FccUserPat);

void BM_FccWholeSolve(benchmark::State& state) {
  for (auto _ : state) {
    SetUpFcc f;
    if (!f.ok) return state.SkipWithError("set-up failed");
    const romhost::NewtonResult r = romhost::solveNewton(f.session.system());
    if (!r.converged()) return state.SkipWithError("not converged");
    benchmark::DoNotOptimize(r.iterations);
  }
}
BENCHMARK(BM_FccWholeSolve)->Unit(benchmark::kMillisecond);

}  // namespace
