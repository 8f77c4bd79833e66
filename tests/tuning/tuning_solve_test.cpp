// Whole solves of every tuning block type: made by its factory from an example
// case (with the RX of each slate), set up by the host's session, solved by
// the host's Newton from its starting point, its Jacobian checked by the
// host's derivative check at the start and at the solution (fixed columns
// included); and the romhost program on the shipped example cases.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <nlohmann/json.hpp>

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

// ---- Given values close the balances -------------------------------------------------

// The closed-form solution of the two balances, written from the given values
// alone. Every balance is linear in MASSFACTOR and the closure variable (all
// given yields lie above the floor).
struct Closure {
  double massFactor;
  double closure;  // H2SMASS, H2SFRAC or FGSFRAC
};

double given(const Values& v, const std::string& name) {
  for (const auto& [n, x] : v)
    if (n == name) return x;
  return 0.0;
}

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() > tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Sulfur forms: S M F + H = F and T w M + c H = w with w the feed sulfur mass
// (the FCC's H2S is a yield: H = h F).
Closure sulfurClosure(const Values& v, bool h2sIsYield) {
  constexpr double kSulfurInH2S = 32.065 / 34.08088;
  const double f = given(v, "FEEDMASS");
  const double w = given(v, "FEEDSUL") * f / 100.0;
  double s = 0.0, t = 0.0;
  for (const auto& [name, x] : v) {
    if (endsWith(name, "FRAC")) s += x;
    if (endsWith(name, "RELSUL")) t += x * given(v, name.substr(0, name.size() - 6) + "FRAC");
  }
  const double m = (w - kSulfurInH2S * f) / (w * t - kSulfurInH2S * f * s);
  const double h2s = f * (1.0 - s * m);
  return {m, h2sIsYield ? h2s / f : h2s};
}

// Hydrogen forms, per unit feed: P M + FGS = 1 and Q M + 0.226 FGS + K = 0,
// hydrogen consumed by the hydrocracker and made by the reformer.
Closure hydrogenClosure(const Values& v, bool hydrocracker) {
  const double h2 = given(v, "H2FRAC");
  double p = 0.0, q = 0.0;
  for (const auto& [name, x] : v) {
    if (!endsWith(name, "FRAC") || name == "H2FRAC" || name == "H2SFRAC") continue;
    p += x;
    const std::string cut = name.substr(0, name.size() - 4);
    if (cut == "C3") q += 0.18182 * x;
    else if (cut == "NC4" || cut == "IC4") q += 0.1724 * x;
    else q += given(v, cut + "HYD") * x / 100.0;
  }
  double k = given(v, "HYDBALBIAS") - given(v, "FEEDHYD") / 100.0;
  if (hydrocracker) {
    const double h2s = given(v, "H2SFRAC");
    p += h2s - h2;
    q += 0.05914988110635641 * h2s - h2;
    k += given(v, "HYDBALSLOPECONV") * given(v, "CONVERSION") + given(v, "HYDBALSLOPESG") * given(v, "FEEDSG");
  } else {
    p += h2;
    q += h2;
    k += given(v, "HYDBALSLOPETARGETRON") * given(v, "TARGETRON") +
         given(v, "HYDBALSLOPENAPH") * given(v, "FEEDNAPH") + given(v, "HYDBALSLOPEAROM") * given(v, "FEEDAROM");
  }
  const double m = (0.226 + k) / (0.226 * p - q);
  return {m, 1.0 - p * m};
}

struct GivenCase {
  const char* example;
  const char* closure;
  Closure (*expected)(const Values&);
  Values extra = {};  // given on top of the case's values
};

void PrintTo(const GivenCase& c, std::ostream* os) { *os << c.example; }

class TuningGivenValues : public ::testing::TestWithParam<GivenCase> {};

TEST_P(TuningGivenValues, SolveToTheClosedFormAndStayAsGiven) {
  const GivenCase& p = GetParam();
  const romhost::CaseSpec c = romhost::readCaseFile(kExamples + p.example);
  QivEOBlock* block = create(c.factory, c.options, c.name.c_str());
  ASSERT_NE(block, nullptr);
  romhost::SetUpPlan plan = planFor(c, block, {});
  for (const auto& extra : p.extra) {  // a given value replaces the case's
    auto same = std::find_if(plan.values.begin(), plan.values.end(),
                             [&](const auto& e) { return e.first == extra.first; });
    if (same == plan.values.end()) plan.values.push_back(extra);
    else same->second = extra.second;
  }
  Session s(block, plan);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  for (const auto& [name, v] : plan.values) EXPECT_EQ(s.value(name), v) << name << " after init";
  ASSERT_TRUE(solves(s.system()));

  const Closure want = p.expected(plan.values);
  EXPECT_NEAR(s.value("MASSFACTOR"), want.massFactor, 1e-9 * std::fabs(want.massFactor));
  EXPECT_NEAR(s.value(p.closure), want.closure, 1e-7 * std::fabs(want.closure));
  for (const auto& [name, v] : plan.values) EXPECT_EQ(s.value(name), v) << name << " at the solution";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TuningGivenValues,
    ::testing::Values(
        GivenCase{"tuning-balance-coker.json", "H2SMASS", [](const Values& v) { return sulfurClosure(v, false); }},
        GivenCase{"tuning-balance-visbreaker.json", "H2SMASS",
                  [](const Values& v) { return sulfurClosure(v, false); }},
        GivenCase{"tuning-balance-fcc.json", "H2SFRAC", [](const Values& v) { return sulfurClosure(v, true); }},
        GivenCase{"tuning-balance-hydrocracker.json", "FGSFRAC",
                  [](const Values& v) { return hydrogenClosure(v, true); },
                  {{"FEEDHYD", 12.0}, {"H2FRAC", 0.035}, {"HYDBALBIAS", 0.002}, {"HYDBALSLOPECONV", 5e-5},
                   {"HYDBALSLOPESG", 0.001}}},
        GivenCase{"tuning-balance-reformer.json", "FGSFRAC", [](const Values& v) { return hydrogenClosure(v, false); },
                  {{"H2FRAC", 0.028}, {"HYDBALBIAS", 5e-4}, {"HYDBALSLOPETARGETRON", 1e-5},
                   {"HYDBALSLOPENAPH", 2e-5}, {"HYDBALSLOPEAROM", 1e-5}}}),
    [](const auto& info) {
      std::string name = info.param.example;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// The values a user sets on the command line stay as set, init's defaults
// notwithstanding.
TEST(TuningProgram, KeepsTheValuesSetOnTheCommandLine) {
  const ProgramRun run = solveExample("tuning-balance-hydrocracker.json",
                                      "--json --set H2FRAC=0.035 --set HYDBALBIAS=0.002 --set FEEDHYD=12");
  ASSERT_EQ(run.code, 0) << run.text();
  const auto j = nlohmann::json::parse(run.out);
  EXPECT_EQ(j["converged"], true);
  EXPECT_EQ(j["variables"]["H2FRAC"]["value"], 0.035);
  EXPECT_EQ(j["variables"]["HYDBALBIAS"]["value"], 0.002);
  EXPECT_EQ(j["variables"]["FEEDHYD"]["value"], 12.0);
}

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
