// The hydrocracker's network equation out of memory: a residual whose run
// cannot have one of its allocations fails, and the next residual, with memory
// again, is that of the network as it stands. With the replaced operator new
// (tests/support/replaced_new.h) each n-th allocation up to the whole call's
// count is made to fail, on a fresh equation, at its first run and at a run
// of its network trained again on one more input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <new>
#include <set>
#include <string>

#include "models/hydrocracker/eqnndep.h"
#include "tests/equations/eqn_rig.h"
#include "tests/models/hydrocracker/hcr_rig.h"
#include "tests/support/replaced_new.h"

namespace {

using hcr_test::Rig;

// LCNFRAC of kind "HCR_MILD" over FEEDNIT, FEEDSG and FEEDSUL; its network
// first takes two of them, then, trained again, all three.
// p = 0.05 + 0.01 FEEDSG - 0.02 FEEDSUL (+ 1e-5 FEEDNIT)
void writeNetwork(const eqtest::NetRoot& nets, bool retrained) {
  if (retrained)
    nets.write("HCR_MILD", "LCNFRAC", {{"FEEDSG"}, {"FEEDSUL"}, {"FEEDNIT"}}, 0.05, {0.01, -0.02, 1e-5});
  else
    nets.write("HCR_MILD", "LCNFRAC", {{"FEEDSG"}, {"FEEDSUL"}}, 0.05, {0.01, -0.02});
}

TEST(HcrNetworkAllocation, ARunOutOfMemoryLeavesNothingHalfMatchedForTheNext) {
  eqtest::NetRoot nets;
  for (const bool retrained : {false, true}) {
    bool failed = true;
    for (long n = 1; failed; ++n) {
      writeNetwork(nets, false);
      Rig r;
      for (const char* a : {"ALPHA_LCNFRAC", "BETA_LCNFRAC", "GAMMA_LCNFRAC_FEEDNIT", "GAMMA_LCNFRAC_FEEDSG",
                            "GAMMA_LCNFRAC_FEEDSUL"})
        r.attr(a, std::string(a).starts_with("ALPHA") ? 1.0 : 0.0);
      auto& y = r.add(std::make_unique<eqNNDep>(r.context(), "LCNFRAC", "HCR_MILD",
                                                std::set<std::string>{"FEEDNIT", "FEEDSG", "FEEDSUL"}));
      r.set({{"FEEDNIT", 1200.0}, {"FEEDSG", 0.9}, {"FEEDSUL", 2.0}, {"LCNFRAC", 0.03}});
      if (retrained) {
        ASSERT_EQ(y.res(r.res()), 0);
        writeNetwork(nets, true);
        r.value("FEEDSG") = 0.91;  // a new point: the network runs again
      }
      const int status = romtest::withFailingAllocation(n, failed, [&] { return y.res(r.res()); });
      if (failed) EXPECT_EQ(y.res(r.res()), 0) << "allocation " << n;
      else EXPECT_EQ(status, 0);

      const double sg = r.value("FEEDSG");
      const double p = 0.05 + 0.01 * sg - 0.02 * 2.0 + (retrained ? 1e-5 * 1200.0 : 0.0);
      EXPECT_NEAR(r.residual(y), p - 0.03, 1e-15) << "allocation " << n;
      ASSERT_EQ(y.jac(r.jac()), 0) << "allocation " << n;
      EXPECT_NEAR(r.entry(y, "FEEDNIT"), retrained ? 1e-5 : 0.0, 1e-18) << "allocation " << n;
      EXPECT_NEAR(r.entry(y, "FEEDSUL"), -0.02, 1e-15) << "allocation " << n;
    }
  }
}

}  // namespace
