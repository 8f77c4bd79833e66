#include "equations/nn_equations.h"

#include <gtest/gtest.h>

#include "platform/rtdev.h"
#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"

#include "tests/equations/eqn_rig.h"

namespace {

using namespace ROEqnSupplier;

// Coker: C3FRAC = 0.5 + 2 FEEDSUL + 0.001 RXTEMP. FCC cut pair over FEEDSUL and
// the plenum temperature: total 1 + 3 s + 0.002 t, difference 0.5 - s + 0.004 t.
class NetworkEquation : public ::testing::Test {
 protected:
  NetworkEquation() {
    nets.write("COKER", "C3FRAC", {{"FEEDSUL"}, {"RXTEMP"}}, 0.5, {2.0, 0.001});
    nets.write("FCC_GO_2N", "LCNFRACTOTAL", {{"FEEDSUL"}, {"REACTORPLENUMTEMP"}}, 1.0, {3.0, 0.002});
    nets.write("FCC_GO_2N", "LCNFRACDIFF", {{"FEEDSUL"}, {"REACTORPLENUMTEMP"}}, 0.5, {-1.0, 0.004});
    rig.vars({{"FEEDSUL", 1.0},
              {"RXTEMP", 800.0},
              {"REACTORPLENUMTEMP", 900.0},
              {"C3FRAC", 0.1},
              {"LCNFRAC", 0.2},
              {"LCNFRACTOTAL", 0.0},
              {std::string(100, 'X'), 1.0}});
    rig.tuning("C3FRAC", {"FEEDSUL", "RXTEMP"});
    for (const char* y : {"LCNFRAC", "LCNFRACTOTAL"}) rig.tuning(y, {"FEEDSUL", "REACTORPLENUMTEMP"});
    rig.attr("LCN_OVERCRACK_PARAM", 1.0);
    rig.attr("LCN_OVERCRACK_RATE", 0.0);
  }
  EqnPtr coker(const ScaleMap& scales = {}, EqnContext c = nullptr, const std::string& in2 = "RXTEMP") {
    return createReacEqn("COKER", c ? c : rig.context(), {37, 0, 0})
        ->createNNEquation("C3FRAC", {"FEEDSUL", in2}, scales, {});
  }
  EqnPtr fcc(const std::string& y, const std::string& overcrackInput = "REACTORPLENUMTEMP") {
    const OverCrackSpec spec{
        1, overcrackInput, "LCNFRACTOTAL", "LCNFRACDIFF", "LCN_OVERCRACK_PARAM", "LCN_OVERCRACK_RATE"};
    return createReacEqn("FCC_GO_2N", rig.context(), {37, 0, 0})
        ->createNNEquation(y, {"FEEDSUL", "REACTORPLENUMTEMP"}, {}, {{"LCNFRAC", spec}});
  }
  static long long runs() { return DIVeduded::counters().runs; }

  eqtest::NetRoot nets;
  eqtest::Rig rig;
};

TEST_F(NetworkEquation, DefaultsAndRunsOnlyWhenAScaledInputChanged) {
  auto& e = rig.add<_eqNNDep>(coker());
  EXPECT_EQ(e.varNames(), (std::vector<std::string>{"FEEDSUL", "RXTEMP", "C3FRAC"}));
  EXPECT_EQ(e.getOrderKey(), 500u);
  EXPECT_EQ(e.prediction(), 0.0);
  ASSERT_EQ(e.res(rig.res()), 0);  // the first residual always runs
  EXPECT_DOUBLE_EQ(rig.residual(e), 3.3 - 0.1);
  const auto before = DIVeduded::counters();
  rig.value("C3FRAC") = 0.7;  // not an input of the network
  ASSERT_EQ(e.jac(rig.jac()), 0);
  EXPECT_EQ(e.res(rig.res()), 0);
  EXPECT_EQ(DIVeduded::counters().opens, before.opens);
  EXPECT_EQ(runs(), before.runs);
  EXPECT_DOUBLE_EQ(rig.entry(e, "FEEDSUL"), 2.0);
  EXPECT_DOUBLE_EQ(rig.entry(e, "RXTEMP"), 0.001);
  EXPECT_DOUBLE_EQ(rig.entry(e, "C3FRAC"), -1.0);

  rig.value("RXTEMP") = 1000.0;
  EXPECT_EQ(e.jac(rig.jac()), 0);
  EXPECT_EQ(runs(), before.runs + 1);
  EXPECT_EQ(e.lastSent(), (std::vector<double>{1.0, 1000.0}));  // the whole vector went again
  EXPECT_DOUBLE_EQ(e.prediction(), 3.5);
}

TEST_F(NetworkEquation, ScalePairsEnterInputsOutputAndStartingValue) {
  // z = 0.5 RXTEMP + 10 = 410; residual V - 100 y + 5; init stores (V + 5) / 100.
  auto& e = rig.add<_eqNNDep>(coker({{"RXTEMP", {0.5, 10.0}}, {"C3FRAC", {100.0, 5.0}}, {"OTHER", {7.0, 7.0}}}));
  rig.attr("GAMMA_C3FRAC_RXTEMP", 0.01);
  ASSERT_EQ(e.init(), 0);
  EXPECT_DOUBLE_EQ(rig.value("C3FRAC"), (2.5 + 0.001 * 410.0 + 0.01 * 410.0 + 5.0) / 100.0);
  ASSERT_EQ(e.res(rig.res()), 0);
  EXPECT_NEAR(rig.residual(e), 0.0, 1e-12);
  ASSERT_EQ(e.jac(rig.jac()), 0);
  EXPECT_DOUBLE_EQ(rig.entry(e, "RXTEMP"), (0.001 + 0.01) * 0.5);
  EXPECT_DOUBLE_EQ(rig.entry(e, "C3FRAC"), -100.0);
}

TEST_F(NetworkEquation, AFailedRunIsReportedAgainAtTheSamePoint) {
  auto& e = rig.add<_eqNNDep>(coker());
  DIVeduded::injectFault("COKER_C3FRAC.zkr", "Run", DIVeduded::Fault::Status, 4);
  EXPECT_EQ(e.res(rig.res()), 4);
  EXPECT_EQ(e.res(rig.res()), 4);
  EXPECT_EQ(e.jac(rig.jac()), 1);
  EXPECT_EQ(e.init(), 4);
  EXPECT_EQ(rig.value("C3FRAC"), 0.1);  // nothing stored after a failed run
  DIVeduded::clearFaults();
  EXPECT_EQ(e.res(rig.res()), 0);
  EXPECT_DOUBLE_EQ(rig.residual(e), 3.2);
}

// A run that fails in the starting-value step returns the runner's status and
// prints nothing, for the single network and the pair alike: the host names
// the file from the runner's record.
TEST_F(NetworkEquation, AFailedStartingRunPrintsNothing) {
  auto& single = rig.add<_eqNNDep>(coker());
  auto& pair = rig.add<_eqNNDep_OverCrack>(fcc("LCNFRAC"));
  DIVeduded::injectFault("COKER_C3FRAC.zkr", "Open", DIVeduded::Fault::Status, 3);
  DIVeduded::injectFault("FCC_GO_2N_LCNFRACDIFF.zkr", "Run", DIVeduded::Fault::Status, 4);

  rtdev_clear(rtHisDev);
  EXPECT_NE(single.res(rig.res()), 0);
  EXPECT_EQ(single.init(), 3);
  EXPECT_EQ(pair.init(), 4);
  EXPECT_EQ(rtdev_text(rtHisDev), "");
}

// A coker without one of its networks: both generations fail init with the
// runner's status, print nothing, and the host names the path the runner read.
TEST(NetworkEquationInBlock, AMissingNetworkIsNamedOnceByTheHost) {
  romtest::NetworkRoot root("missing-net");
  root.copySampleNetworks("COKER", "COKER_C3FRAC.zkr");
  const std::string message = "init could not run a network: network file " +
                              (root / "COKER" / "COKER_C3FRAC.zkr").string() + " failed with status 3 (missing file)";
  for (const char* version : {"VERSION:35", "VERSION:37"}) {
    rtdev_clear(rtHisDev);
    romtest::HostedBlock block(romtest::createByMorvane("C1", {"SUBID:ROCOKER", version}, root.string()),
                               romtest::Values{{"FEEDMASS", 120000.0}});
    EXPECT_EQ(block.setUp.message, message) << version;
    EXPECT_EQ(rtdev_text(rtHisDev), "") << version;
  }
  rtdev_clear(rtHisDev);
}

TEST_F(NetworkEquation, NoRunnerFaultEscapesAndEveryStepFails) {
  using F = DIVeduded::Fault;
  const std::tuple<const char*, F, int> faults[] = {
      {"Open", F::Status, 3}, {"Open", F::ThrowCom, 5}, {"Open", F::ThrowStd, 1}, {"Run", F::ThrowStd, 1}};
  roeqn2* objects[] = {&rig.add(coker()), &rig.add(fcc("LCNFRAC"))};
  for (const auto& [op, kind, status] : faults) {
    DIVeduded::clearFaults();
    for (const char* file : {"COKER_C3FRAC.zkr", "FCC_GO_2N_LCNFRACDIFF.zkr"})
      DIVeduded::injectFault(file, op, kind, status);
    for (roeqn2* e : objects) {
      EXPECT_NE(e->res(rig.res()), 0) << e->name << op;
      EXPECT_EQ(e->jac(rig.jac()), 1) << e->name << op;
      EXPECT_NE(e->init(), 0) << e->name << op;
    }
  }
}

TEST_F(NetworkEquation, RefusedConfigurationsFailEveryStepAndWriteNothing) {
  ROMAttrMap* none = nullptr;
  EqnPtr objects[] = {coker({}, &none), coker({}, nullptr, std::string(100, 'X')), fcc("LCNFRAC", "RXTEMP")};
  for (EqnPtr& object : objects) {  // no attribute map; a name over 99 characters; overcrack input not an input
    roeqn2& e = rig.add(std::move(object));
    rig.residual(e) = 42.0;
    EXPECT_EQ(e.res(rig.res()), 1) << e.name;
    EXPECT_EQ(e.jac(rig.jac()), 1) << e.name;
    EXPECT_EQ(e.init(), 1) << e.name;
    EXPECT_EQ(rig.residual(e), 42.0);
    rig.eqns.clear();
  }
  EqnPtr placed = coker();
  roeqn2& e = *placed;
  rig.eqns.addEquation(std::move(placed));
  EXPECT_EQ(e.jac(rig.jac()), 1);  // before the pattern
}

TEST_F(NetworkEquation, OvercrackPairWithNeutralFactorsIsTheTotalNetwork) {
  auto& pair = rig.add<_eqNNDep_OverCrack>(fcc("LCNFRAC"));
  auto& total = rig.add<_eqNNDep>(fcc("LCNFRACTOTAL"));
  ASSERT_EQ(pair.res(rig.res()), 0);
  ASSERT_EQ(total.res(rig.res()), 0);
  EXPECT_EQ(pair.prediction(), total.prediction());
  EXPECT_EQ(pair.derivatives(), total.derivatives());

  rig.attr("LCN_OVERCRACK_PARAM", 1.5);
  rig.attr("LCN_OVERCRACK_RATE", 0.5);
  ASSERT_EQ(pair.res(rig.res()), 0);
  const double T = 5.8, D = -0.5 + 0.004 * 1.5 * 900;  // the difference network sees 1.5 x the plenum temperature
  EXPECT_DOUBLE_EQ(pair.prediction(), T - 0.5 * D);
  EXPECT_DOUBLE_EQ(pair.derivatives()[1], 0.002 - 0.5 * 0.004 * 1.5);
  const double r = rig.residual(pair);
  const long long before = runs();
  rig.attr("LCN_OVERCRACK_RATE", 0.25);  // a changed tuning factor is a change
  ASSERT_EQ(pair.res(rig.res()), 0);
  EXPECT_DOUBLE_EQ(rig.residual(pair) - r, 0.25 * D);
  EXPECT_EQ(pair.jac(rig.jac()), 0);
  EXPECT_EQ(runs(), before + 2);
}

// Scale pairs set again after a run are what the next evaluation uses, even
// where the change test alone sees nothing new: the pair compares raw inputs,
// and the single network compares scaled inputs that a new pair and a moved
// input can leave as they were while the derivative by the raw input changes.
TEST_F(NetworkEquation, ScalePairsSetAgainAfterARunAreUsedAtTheNextEvaluation) {
  auto& single = rig.add<_eqNNDep>(coker());
  auto& pair = rig.add<_eqNNDep_OverCrack>(fcc("LCNFRAC"));
  ASSERT_EQ(single.res(rig.res()), 0);
  ASSERT_EQ(pair.res(rig.res()), 0);
  ASSERT_DOUBLE_EQ(single.derivatives()[0], 2.0);
  ASSERT_DOUBLE_EQ(pair.prediction(), 1.0 + 3.0 + 0.002 * 900.0);

  single.setScales({{"FEEDSUL", {0.5, 0.0}}});
  rig.value("FEEDSUL") = 2.0;  // z = 0.5 x 2 = 1 as before
  ASSERT_EQ(single.jac(rig.jac()), 0);
  EXPECT_DOUBLE_EQ(single.derivatives()[0], 2.0 * 0.5);
  EXPECT_DOUBLE_EQ(rig.entry(single, "FEEDSUL"), 1.0);

  rig.value("FEEDSUL") = 1.0;
  pair.setScales({{"FEEDSUL", {2.0, 0.0}}});  // same raw inputs, same PARAM and RATE
  ASSERT_EQ(pair.res(rig.res()), 0);
  EXPECT_DOUBLE_EQ(pair.prediction(), 1.0 + 3.0 * 2.0 + 0.002 * 900.0);
  EXPECT_DOUBLE_EQ(pair.derivatives()[0], 2.0 * 3.0);
}

TEST_F(NetworkEquation, TuningRecordsReplacedOrErasedBetweenEvaluationsAreSeen) {
  auto& e = rig.add<_eqNNDep>(coker());
  auto& pair = rig.add<_eqNNDep_OverCrack>(fcc("LCNFRAC"));
  ASSERT_EQ(e.res(rig.res()), 0);
  ASSERT_EQ(pair.res(rig.res()), 0);
  const double r = rig.residual(e);
  ROMAttr alpha("ALPHA_C3FRAC", 2.0, 0), gamma("GAMMA_C3FRAC_RXTEMP", 0.5, 1), rate("LCN_OVERCRACK_RATE", 0.5, 2);
  rig.attrs["ALPHA_C3FRAC"] = &alpha;  // replaced in its entry, as putRecord does
  rig.attrs.find("GAMMA_C3FRAC_RXTEMP")->second = &gamma;
  ASSERT_EQ(e.res(rig.res()), 0);
  EXPECT_DOUBLE_EQ(rig.residual(e) - r, 3.3 + 0.5 * 800.0);
  ASSERT_EQ(e.jac(rig.jac()), 0);
  EXPECT_DOUBLE_EQ(rig.entry(e, "RXTEMP"), 2.0 * 0.001 + 0.5);

  const double rp = rig.residual(pair);
  rig.attrs["LCN_OVERCRACK_RATE"] = &rate;  // the pair's change test sees the new record
  ASSERT_EQ(pair.res(rig.res()), 0);
  EXPECT_DOUBLE_EQ(rig.residual(pair) - rp, -0.5 * (0.5 - 1.0 + 0.004 * 900.0));

  rig.attrs.erase("BETA_C3FRAC");
  rig.residual(e) = 42.0;
  EXPECT_EQ(e.res(rig.res()), 1);  // a missing tuning factor fails the residual, which writes nothing
  EXPECT_EQ(rig.residual(e), 42.0);
  EXPECT_EQ(e.jac(rig.jac()), 0);  // the Jacobian reads no BETA
  ROMAttr beta("BETA_C3FRAC", 0.25, 3);
  rig.attrs["BETA_C3FRAC"] = &beta;
  ASSERT_EQ(e.res(rig.res()), 0);
  EXPECT_DOUBLE_EQ(rig.residual(e) - r, 3.3 + 0.5 * 800.0 + 0.25);
}

// A name listed twice among the inputs is one variable: its one non-zero
// holds the sum of both terms, as a name listed once holds its own.
TEST_F(NetworkEquation, AnInputListedTwiceGetsTheSumOfItsTerms) {
  nets.write("COKER", "C4FRAC", {{"FEEDSUL"}}, 0.5, {2.0});
  rig.vars({{"C4FRAC", 0.1}});
  rig.tuning("C4FRAC", {"FEEDSUL"});
  auto& e = rig.add<_eqNNDep>(
      createReacEqn("COKER", rig.context(), {37, 0, 0})->createNNEquation("C4FRAC", {"FEEDSUL", "FEEDSUL"}, {}, {}));
  rig.attr("ALPHA_C4FRAC", 2.0);
  rig.attr("GAMMA_C4FRAC_FEEDSUL", 0.25);
  ASSERT_EQ(e.res(rig.res()), 0);
  ASSERT_EQ(e.jac(rig.jac()), 0);
  // The runner reads the last of the repeated names: the network's slope
  // lands on the second entry.
  EXPECT_EQ(e.derivatives(), (std::vector<double>{0.0, 2.0}));
  EXPECT_DOUBLE_EQ(rig.entry(e, "FEEDSUL"), 2.0 * 0.0 + 0.25 + 2.0 * 2.0 + 0.25);
  EXPECT_DOUBLE_EQ(rig.entry(e, "C4FRAC"), -1.0);
}

}  // namespace
