// The hydrocracker's network equation on hand-written networks: the file it
// opens, runs only on changed inputs, the tuning factors, its Jacobian row,
// and failures that are reported at every call.
#include "models/hydrocracker/eqnndep.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "tests/equations/eqn_rig.h"
#include "tests/models/hydrocracker/hcr_rig.h"

namespace {

using hcr_test::Rig;

// "Y_LCNFRAC" of a block of kind "HCR_MILD" over FEEDSG and FEEDSUL, at its
// default tuning factors.
eqNNDep& lcnFraction(Rig& r, bool pattern = true) {
  for (const char* a : {"ALPHA_LCNFRAC", "BETA_LCNFRAC", "GAMMA_LCNFRAC_FEEDSG", "GAMMA_LCNFRAC_FEEDSUL"})
    r.attr(a, std::string(a).starts_with("ALPHA") ? 1.0 : 0.0);
  const std::set<std::string> inputs{"FEEDSUL", "FEEDSG"};
  auto& y = r.add(std::make_unique<eqNNDep>(r.context(), "LCNFRAC", "HCR_MILD", inputs), pattern);
  r.set({{"FEEDSG", 0.9}, {"FEEDSUL", 2.0}, {"LCNFRAC", 0.03}});
  return y;
}

TEST(HcrNetworkEquation, OpensItsKindsFileAndRunsOnlyWhenAnInputChanges) {
  eqtest::NetRoot nets;
  // p = 0.05 + 0.01 FEEDSG - 0.02 FEEDSUL
  nets.write("HCR_MILD", "LCNFRAC", {{"FEEDSG"}, {"FEEDSUL"}}, 0.05, {0.01, -0.02});
  Rig r;
  eqNNDep& y = lcnFraction(r);
  EXPECT_EQ(y.name, "Y_LCNFRAC");
  EXPECT_EQ(y.varNames(), (std::vector<std::string>{"FEEDSG", "FEEDSUL", "LCNFRAC"}));
  const double p = 0.05 + 0.01 * 0.9 - 0.02 * 2.0;
  ASSERT_EQ(y.res(r.res()), 0);
  EXPECT_NEAR(r.residual(y), p - 0.03, 1e-15);
  ASSERT_EQ(y.res(r.res()), 0);
  EXPECT_EQ(y.runs(), 1u);
  r.value("FEEDSG") += 1e-12;  // any change runs the network again
  ASSERT_EQ(y.jac(r.jac()), 0);
  EXPECT_EQ(y.runs(), 2u);
  EXPECT_EQ(y.cachedInputs(), (std::vector<double>{0.9 + 1e-12, 2.0}));

  // Tuning factors take effect at once, without a run.
  r.attr("ALPHA_LCNFRAC", 2.0);
  r.attr("BETA_LCNFRAC", 0.001);
  r.attr("GAMMA_LCNFRAC_FEEDSUL", 0.5);
  ASSERT_EQ(y.res(r.res()), 0);
  EXPECT_NEAR(r.residual(y), 2.0 * y.prediction() + 0.001 + 0.5 * 2.0 - 0.03, 1e-15);
  ASSERT_EQ(y.jac(r.jac()), 0);
  EXPECT_EQ(y.runs(), 2u);
  EXPECT_NEAR(r.entry(y, "FEEDSG"), 2.0 * 0.01, 1e-15);
  EXPECT_NEAR(r.entry(y, "FEEDSUL"), 2.0 * -0.02 + 0.5, 1e-15);
  EXPECT_EQ(r.entry(y, "LCNFRAC"), -1.0);
}

TEST(HcrNetworkEquation, RefusesWithoutPatternOrAttributes) {
  eqtest::NetRoot nets;
  nets.write("HCR_MILD", "LCNFRAC", {{"FEEDSG"}, {"FEEDSUL"}}, 0.05, {0.01, -0.02});
  Rig r;
  eqNNDep& y = lcnFraction(r, false);
  EXPECT_EQ(y.jac(r.jac()), 1);  // no pattern yet
  y.setContext(nullptr);
  long long st = 0;
  y.adjustedPrediction(st);
  EXPECT_EQ(std::tuple(y.res(r.res()), y.jac(r.jac()), st), std::tuple(1, 1, 1LL));
  // A name the runner cannot take is refused, never cut.
  Rig r2;
  auto& wide = r2.add(std::make_unique<eqNNDep>(r2.context(), "LCNFRAC", "HCR_MILD",
                                                std::set<std::string>{std::string(100, 'X')}));
  r2.attr("ALPHA_LCNFRAC", 1.0);
  r2.attr("BETA_LCNFRAC", 0.0);
  r2.attr("GAMMA_LCNFRAC_" + std::string(100, 'X'), 0.0);
  EXPECT_NE(wide.init(), 0);
}

TEST(HcrNetworkEquation, AFailedRunIsReportedAtEveryCallAndStartsAtTheTuningTerms) {
  eqtest::NetRoot nets;  // no file written: "missing file"
  Rig r;
  eqNNDep& y = lcnFraction(r);
  r.attr("BETA_LCNFRAC", 0.01);
  r.attr("GAMMA_LCNFRAC_FEEDSG", 0.02);
  EXPECT_NE(y.init(), 0);
  EXPECT_NEAR(r.value("LCNFRAC"), 0.01 + 0.02 * 0.9, 1e-15);  // the prediction is 0
  EXPECT_EQ(y.cachedInputs(), (std::vector<double>{0.9, 2.0}));  // copied before the run
  EXPECT_NE(y.res(r.res()), 0);
  EXPECT_NE(y.res(r.res()), 0);  // the same inputs: the run is tried again, not taken as done
  EXPECT_EQ(y.runs(), 3u);

  nets.write("HCR_MILD", "LCNFRAC", {{"FEEDSG"}, {"FEEDSUL"}}, 0.05, {0.01, -0.02});
  EXPECT_EQ(y.res(r.res()), 0);  // the file is back
  EXPECT_EQ(y.runs(), 4u);
}

}  // namespace
