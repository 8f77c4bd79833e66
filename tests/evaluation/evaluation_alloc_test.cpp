// The evaluation hooks of the first-generation blocks and of the tuning model
// allocate nothing after their first call, apart from the network runner: the
// runner object each run creates (with new, as a run must) and whatever the
// runner or the framework (its registry among it) allocate inside their own
// calls. While counting, this program observes every allocation of the
// replaced global operator new (tests/support/replaced_new.h) and attributes
// it by its call stack: one made inside the
// runner's or the framework's library is theirs, any other is the block's.
// After the first calls the block's count must equal the number of runners
// the counted call created.
#include <dlfcn.h>
#include <execinfo.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "host/block_session.h"
#include "host/case_file.h"
#include "platform/diveduded/DIVeduded.h"
#include "plugin/factories.h"
#include "tests/support/factory.h"
#include "tests/support/networks.h"
#include "tests/support/replaced_new.h"

namespace {

long long g_block = 0;  // allocations made by the block's own code
long long g_other = 0;  // made inside the runner or the framework

bool insideRunnerOrFramework() {
  void* frames[128];
  const int n = backtrace(frames, 128);
  for (int i = 1; i < n; ++i) {
    Dl_info info;
    if (dladdr(frames[i], &info) == 0 || !info.dli_fname) continue;
    if (std::strstr(info.dli_fname, "libDIVeduded") || std::strstr(info.dli_fname, "libpelmo")) return true;
  }
  return false;
}

// The observer of every allocation while counting (not told of those it
// makes itself).
void noteAllocation() { ++(insideRunnerOrFramework() ? g_other : g_block); }

// Counts what one call allocates: the block's allocations and the runners it made.
struct Counted {
  long long block = 0;
  long long runners = 0;
  long long other = 0;
};

template <class Call>
Counted count(Call&& call) {
  const long long made = DIVeduded::counters().constructed;
  g_block = 0;
  g_other = 0;
  romtest::observeAllocations(&noteAllocation);
  call();
  romtest::observeAllocations(nullptr);
  return {g_block, DIVeduded::counters().constructed - made, g_other};
}

std::string examplePath(const char* file) {
  std::string path = ROM_SOURCE_DIR "/examples/";  // one literal: GCC's bounds check accepts it
  path += file;
  return path;
}

// A block made from an example case and set up as romhost sets it up.
struct CaseBlock {
  explicit CaseBlock(const char* file) : spec(romhost::readCaseFile(examplePath(file))) {
    if (!spec.networks.empty()) romtest::useNetworkRoot(spec.networks);
    QivEOBlock* block = nullptr;
    if (spec.factory == "ROTUNING") {
      rotuningmodelfactory f;
      block = romtest::createBlock(f, spec.name.c_str(), spec.options);
    } else if (spec.factory == "ROTUNINGBALANCE") {
      rotuningbalancefactory f;
      block = romtest::createBlock(f, spec.name.c_str(), spec.options);
    } else {
      rofactory f;
      block = romtest::createBlock(f, spec.name.c_str(), spec.options);
    }
    session = std::make_unique<romhost::BlockSession>(block);
    romhost::SetUpPlan plan;
    plan.fix = spec.fix;
    plan.free = spec.free;
    plan.values = spec.values;
    plan.attributes = spec.attributes;
    ok = block && session->setUp(plan).ok();
  }
  QivEOBlockImpl& impl() const { return *session->impl(); }

  romhost::CaseSpec spec;
  std::unique_ptr<romhost::BlockSession> session;
  bool ok = false;
};

class EvaluationAllocations : public ::testing::TestWithParam<const char*> {};

TEST_P(EvaluationAllocations, NoneButTheRunnersAfterTheFirstCalls) {
  CaseBlock c(GetParam());
  ASSERT_TRUE(c.ok) << GetParam();
  QivEOBlockImpl& block = c.impl();
  long long status = 0;
  // First calls: the kept look-ups, lists and buffers are made here.
  for (int i = 0; i < 2; ++i) {
    block.user_res(status);
    ASSERT_EQ(status, 0);
    block.user_jac(status);
    ASSERT_EQ(status, 0);
  }

  const Counted res = count([&] { block.user_res(status); });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(res.block, res.runners) << "user_res";
  const Counted jac = count([&] { block.user_jac(status); });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(jac.block, jac.runners) << "user_jac";

  // init, where the block has one (the tuning model has none: status 1).
  block.init(status);
  if (status != 0) return;
  const Counted init = count([&] { block.init(status); });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(init.block, init.runners) << "init";

}

// The example cases of the first generation (one per kind of network run:
// plain, percent contents, paired FCC cuts, pounds feed), the tuning model,
// plain and overcrack, and the tuning balance's sulfur and hydrogen forms.
INSTANTIATE_TEST_SUITE_P(Cases, EvaluationAllocations,
                         ::testing::Values("coker.json", "coker-volume.json", "fcc-go-3n1h.json", "fcc-gor-2n.json",
                                           "ref-semi-1r.json", "ref-cont-a.json", "vb-skr.json", "vb-noskr.json",
                                           "tuning-model-fcc-overcrack.json", "tuning-model-coker.json",
                                           "tuning-balance-fcc.json", "tuning-balance-reformer.json",
                                           "tuning-balance-hydrocracker.json"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

// The counting itself: an allocation of the block's own code is seen, one
// the runner makes inside its library is not the block's.
TEST(AllocationCounting, TellsTheBlockFromTheRunner) {
  // Kept through a volatile pointer, so an optimiser cannot drop the pair
  // of new and delete (clang does at -O3).
  const Counted own = count([] {
    static int* volatile kept = nullptr;
    kept = new int(1);
    delete kept;
  });
  EXPECT_EQ(own.block, 1);
  const Counted runner = count([] {
    DIVeduded r;
    r.SetZKRFolder("/a/folder/name/that/does/not/fit/a/short/text");
  });
  EXPECT_EQ(runner.block, 0);
  EXPECT_GT(runner.other, 0);
}

}  // namespace
