// Reading a case file: the time per key of a "values" section stays the same
// from a thousand to two hundred thousand keys (linear reading).
#include <benchmark/benchmark.h>

#include <string>

#include "host/case_file.h"

namespace {

std::string caseWithValues(long count) {
  std::string text = R"({"factory": "MORVANE", "values": {)";
  for (long i = 0; i < count; ++i) text += (i ? ", \"V" : "\"V") + std::to_string(i) + "\": " + std::to_string(i) + ".5";
  return text + "}}";
}

void BM_ParseCaseValues(benchmark::State& state) {
  const std::string text = caseWithValues(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(romhost::parseCase(text, "/cases").values.size());
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ParseCaseValues)->RangeMultiplier(10)->Range(1000, 100000)->Arg(200000)->Complexity(benchmark::oN);

}  // namespace
