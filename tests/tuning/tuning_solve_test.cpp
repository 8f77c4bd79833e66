// Whole solves of every tuning block type: made by its factory from an example
// case (with the RX of each slate), set up by the host's session, solved by
// the host's Newton from its starting point, its Jacobian checked by the
// host's derivative check at the start and at the solution (fixed columns
// included); and the romhost program on the shipped example cases.
#include <gtest/gtest.h>

#include <cctype>

#include "host/case_file.h"
#include "tests/support/romhost_run.h"
#include "tests/support/solve_checks.h"
#include "tests/tuning/tuning_fixture.h"
#include "tuning/rotuningbalance.h"

namespace tuning_test {
namespace {

struct SolveCase {
  const char* example;
  const char* rx = nullptr;  // replaces the case's RX
  Values extra = {};         // values of the slate's own products
};

void PrintTo(const SolveCase& c, std::ostream* os) { *os << c.example << (c.rx ? std::string(" ") + c.rx : ""); }

// The case's set-up plan, keeping only values of variables the block has.
romhost::SetUpPlan planFor(const romhost::CaseSpec& c, QivEOBlock* block, const Values& extra) {
  romhost::SetUpPlan plan;
  plan.fix = c.fix;
  plan.free = c.free;
  plan.attributes = c.attributes;
  const auto* b = dynamic_cast<const rotuningbalance*>(block);
  for (const auto& v : c.values)
    if (!b || b->varIndex().count(v.first)) plan.values.push_back(v);
  plan.values.insert(plan.values.end(), extra.begin(), extra.end());
  return plan;
}

class TuningSolve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(TuningSolve, ConvergesWithAnExactJacobian) {
  const SolveCase& p = GetParam();
  romhost::CaseSpec c = romhost::readCaseFile(kExamples + p.example);
  if (p.rx) c.options = {std::string("RX:") + p.rx};
  if (!c.networks.empty()) useNetworkRoot(c.networks);
  QivEOBlock* block = create(c.factory, c.options, c.name.c_str());
  ASSERT_NE(block, nullptr);
  const romhost::SetUpPlan plan = planFor(c, block, p.extra);
  Session s(block, plan);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  ASSERT_EQ(s.system().unknowns().size(), s.system().equations().size());

  EXPECT_TRUE(exactJacobian(s.system())) << "start";
  ASSERT_TRUE(solves(s.system(), 4));
  EXPECT_TRUE(exactJacobian(s.system())) << "solution";
  for (const auto& [name, v] : plan.values) EXPECT_EQ(s.value(name), v) << name;  // given values stay
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, TuningSolve,
    ::testing::Values(SolveCase{"tuning-model-coker.json"}, SolveCase{"tuning-model-fcc-overcrack.json"},
                      SolveCase{"tuning-balance-coker.json"}, SolveCase{"tuning-balance-visbreaker.json"},
                      SolveCase{"tuning-balance-visbreaker.json", "VB_NOSKR"},
                      SolveCase{"tuning-balance-fcc.json"}, SolveCase{"tuning-balance-fcc.json", "FCC_GO_2N"},
                      SolveCase{"tuning-balance-fcc.json", "FCC_GOR_3N"},
                      SolveCase{"tuning-balance-fcc.json", "FCC_GOR_2N1H"},
                      SolveCase{"tuning-balance-hydrocracker.json"},
                      SolveCase{"tuning-balance-hydrocracker.json", "HCR_MILD"},
                      SolveCase{"tuning-balance-hydrocracker.json", "HCR_K"},
                      SolveCase{"tuning-balance-hydrocracker.json", "HCR_N"},
                      SolveCase{"tuning-balance-reformer.json"},
                      SolveCase{"tuning-balance-reformer.json", "REF_CONT_1R"},
                      SolveCase{"tuning-balance-reformer.json", "REF_SEMI_2R",
                                {{"RF1FRAC", 0.5}, {"RF1HYD", 11.5}, {"RF2FRAC", 0.38}, {"RF2HYD", 10.4}}},
                      SolveCase{"tuning-balance-reformer.json", "REF_CONT_A",
                                {{"AROFRAC", 0.5}, {"RAFFRAC", 0.38}, {"AROHYD", 9.0}, {"RAFHYD", 13.5}}}),
    [](const auto& info) {
      std::string name = info.param.rx ? info.param.rx : info.param.example;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// The romhost program on every shipped tuning case.
TEST(TuningProgram, SolvesTheExampleCases) {
  for (const char* file : {"tuning-model-coker.json", "tuning-model-fcc-overcrack.json", "tuning-balance-coker.json",
                           "tuning-balance-visbreaker.json", "tuning-balance-fcc.json",
                           "tuning-balance-hydrocracker.json", "tuning-balance-reformer.json"}) {
    const ProgramRun run = solveExample(file, "--check-jacobian");
    EXPECT_TRUE(converged(run)) << file;
    EXPECT_EQ(run.text().find("failed"), std::string::npos) << file << "\n" << run.text();
  }
}

}  // namespace
}  // namespace tuning_test
