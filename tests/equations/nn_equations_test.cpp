#include "equations/nn_equations.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/equations/eqn_rig.h"

namespace {

using namespace ROEqnSupplier;
using eqtest::NetRoot;
using eqtest::Rig;

const std::vector<std::string> kInputs = {"FEEDSUL", "RXTEMP"};

// C3FRAC = 0.5 + 2 FEEDSUL + 0.001 RXTEMP over a coker block; the pair of an
// FCC naphtha cut: total 1 + 3 FEEDSUL + 0.002 T, difference 0.5 - FEEDSUL + 0.004 T.
class NetworkEquation : public ::testing::Test {
 protected:
  NetworkEquation() {
    nets.affine("COKER", "C3FRAC", kInputs, {2.0, 0.001}, 0.5);
    nets.affine("FCC_GO_2N", "LCNFRACTOTAL", {"FEEDSUL", "REACTORPLENUMTEMP"}, {3.0, 0.002}, 1.0);
    nets.affine("FCC_GO_2N", "LCNFRACDIFF", {"FEEDSUL", "REACTORPLENUMTEMP"}, {-1.0, 0.004}, 0.5);
    rig.vars({{"FEEDSUL", 1.0}, {"RXTEMP", 800.0}, {"REACTORPLENUMTEMP", 900.0}, {"C3FRAC", 0.1},
              {"LCNFRAC", 0.2}, {"LCNFRACTOTAL", 0.0}});
    rig.tuning("C3FRAC", kInputs);
    rig.tuning("LCNFRAC", {"FEEDSUL", "REACTORPLENUMTEMP"});
    rig.tuning("LCNFRACTOTAL", {"FEEDSUL", "REACTORPLENUMTEMP"});
    rig.attr("LCN_OVERCRACK_PARAM", 1.0);
    rig.attr("LCN_OVERCRACK_RATE", 0.0);
  }

  EqnPtr coker(const ScaleMap& scales = {}, EqnContext context = nullptr, std::vector<std::string> inputs = kInputs) {
    auto supplier = createReacEqn("COKER", context ? context : rig.context(), VerInfo{37, 0, 0});
    return supplier->createNNEquation("C3FRAC", inputs, scales, {});
  }
  EqnPtr cut(const std::string& input = "REACTORPLENUMTEMP") {
    const OverCrackSpec spec{1, input, "LCNFRACTOTAL", "LCNFRACDIFF", "LCN_OVERCRACK_PARAM", "LCN_OVERCRACK_RATE"};
    auto supplier = createReacEqn("FCC_GO_2N", rig.context(), VerInfo{37, 0, 0});
    return supplier->createNNEquation("LCNFRAC", {"FEEDSUL", "REACTORPLENUMTEMP"}, {}, {{"LCNFRAC", spec}});
  }
  static long long runs() { return DIVeduded::counters().runs; }

  NetRoot nets;
  Rig rig;
};

TEST_F(NetworkEquation, DefaultsGiveThePredictionMinusTheOutput) {
  auto& e = rig.add<_eqNNDep>(coker());
  EXPECT_EQ(e.name, "Y_C3FRAC");
  EXPECT_EQ(e.varNames(), (std::vector<std::string>{"FEEDSUL", "RXTEMP", "C3FRAC"}));
  EXPECT_EQ(e.getOrderKey(), 500u);
  EXPECT_EQ(e.prediction(), 0.0);
  EXPECT_EQ(e.res(rig.res()), 0);
  EXPECT_DOUBLE_EQ(rig.residual(e), 3.3 - 0.1);
  EXPECT_EQ(e.jac(rig.jac()), 0);
  EXPECT_DOUBLE_EQ(rig.entry(e, "FEEDSUL"), 2.0);
  EXPECT_DOUBLE_EQ(rig.entry(e, "RXTEMP"), 0.001);
  EXPECT_DOUBLE_EQ(rig.entry(e, "C3FRAC"), -1.0);
}

TEST_F(NetworkEquation, RunsOnlyWhenAScaledInputChanged) {
  auto& e = rig.add<_eqNNDep>(coker());
  ASSERT_EQ(e.res(rig.res()), 0);
  const auto before = DIVeduded::counters();
  rig.set("C3FRAC", 0.7);  // the output is no input of the network
  EXPECT_EQ(e.res(rig.res()), 0);
  EXPECT_EQ(e.jac(rig.jac()), 0);
  EXPECT_EQ(DIVeduded::counters().opens, before.opens);
  EXPECT_EQ(DIVeduded::counters().runs, before.runs);

  rig.set("RXTEMP", 1000.0);
  EXPECT_EQ(e.jac(rig.jac()), 0);
  EXPECT_EQ(runs(), before.runs + 1);
  EXPECT_EQ(e.lastSent(), (std::vector<double>{1.0, 1000.0}));  // the whole vector went again
  EXPECT_DOUBLE_EQ(e.prediction(), 0.5 + 2.0 + 1.0);
}

TEST_F(NetworkEquation, ScalePairsEnterInputsAndOutput) {
  // z = 0.5 RXTEMP + 10; residual V - 100 y + 5; init writes (V + 5) / 100.
  auto& e = rig.add<_eqNNDep>(coker({{"RXTEMP", {0.5, 10.0}}, {"C3FRAC", {100.0, 5.0}}, {"OTHER", {7.0, 7.0}}}));
  rig.attr("GAMMA_C3FRAC_RXTEMP", 0.01);
  ASSERT_EQ(e.init(), 0);
  const double v = 0.5 + 2.0 + 0.001 * 410.0 + 0.01 * 410.0;
  EXPECT_DOUBLE_EQ(rig.value("C3FRAC"), (v + 5.0) / 100.0);
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
  EXPECT_FALSE(e.cacheValid());
  EXPECT_EQ(e.jac(rig.jac()), 1);
  EXPECT_EQ(e.init(), 4);
  EXPECT_EQ(rig.value("C3FRAC"), 0.1);  // nothing stored after a failed run
  DIVeduded::clearFaults();
  EXPECT_EQ(e.res(rig.res()), 0);
  EXPECT_DOUBLE_EQ(rig.residual(e), 3.2);
}

struct RunnerFault {
  const char* op;
  DIVeduded::Fault kind;
  int status;
};

class NetworkEquationFault : public NetworkEquation, public ::testing::WithParamInterface<RunnerFault> {};

TEST_P(NetworkEquationFault, NothingEscapesAndEveryStepFails) {
  const RunnerFault f = GetParam();
  for (const char* file : {"COKER_C3FRAC.zkr", "FCC_GO_2N_LCNFRACDIFF.zkr"})
    DIVeduded::injectFault(file, f.op, f.kind, f.status);
  for (roeqn2* e : {&rig.add(coker()), &rig.add(cut())}) {
    EXPECT_NE(e->res(rig.res()), 0) << e->name;
    EXPECT_EQ(e->jac(rig.jac()), 1) << e->name;
    EXPECT_NE(e->init(), 0) << e->name;
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, NetworkEquationFault,
                         ::testing::Values(RunnerFault{"Open", DIVeduded::Fault::Status, 3},
                                           RunnerFault{"Open", DIVeduded::Fault::ThrowCom, 5},
                                           RunnerFault{"Open", DIVeduded::Fault::ThrowStd, 1},
                                           RunnerFault{"Run", DIVeduded::Fault::ThrowStd, 1}));

TEST_F(NetworkEquation, RefusedConfigurationsFailEveryStepAndWriteNothing) {
  for (int n = 1; n <= 3; ++n) rig.fw.residuals()[eqtest::Lists::kFirstEqn + n - 1] = 42.0;
  ROMAttrMap* none = nullptr;
  rig.var(std::string(100, 'X'), 1.0);
  std::vector<EqnPtr> objects;
  objects.push_back(coker({}, &none));                                      // no attribute map
  objects.push_back(coker({}, nullptr, {"FEEDSUL", std::string(100, 'X')}));  // a name over 99 characters
  objects.push_back(cut("RXTEMP"));                                          // overcrack input not an input
  for (auto& object : objects) {
    roeqn2& e = rig.add(std::move(object));
    EXPECT_EQ(e.res(rig.res()), 1) << e.name;
    EXPECT_EQ(e.jac(rig.jac()), 1) << e.name;
    EXPECT_EQ(e.init(), 1) << e.name;
    rig.eqns.clear();
  }
  for (int n = 1; n <= 3; ++n) EXPECT_EQ(rig.fw.residuals()[eqtest::Lists::kFirstEqn + n - 1], 42.0);
}

TEST_F(NetworkEquation, JacobianBeforeThePatternReportsFailure) {
  EqnPtr object = coker();
  roeqn2& e = *object;
  rig.eqns.addEquation(std::move(object));
  EXPECT_EQ(e.jac(rig.jac()), 1);
}

TEST_F(NetworkEquation, OvercrackWithNeutralFactorsIsTheTotalNetworkAlone) {
  auto& pair = rig.add<_eqNNDep_OverCrack>(cut());
  auto supplier = createReacEqn("FCC_GO_2N", rig.context(), VerInfo{37, 0, 0});
  auto& total = rig.add<_eqNNDep>(supplier->createNNEquation("LCNFRACTOTAL", {"FEEDSUL", "REACTORPLENUMTEMP"}, {}, {}));
  ASSERT_EQ(pair.res(rig.res()), 0);
  ASSERT_EQ(total.res(rig.res()), 0);
  EXPECT_EQ(pair.prediction(), total.prediction());
  EXPECT_EQ(pair.derivatives(), total.derivatives());
  EXPECT_DOUBLE_EQ(rig.residual(pair), 1.0 + 3.0 + 1.8 - 0.2);
}

TEST_F(NetworkEquation, OvercrackFactorsEnterThePredictionAndTheChangeTest) {
  auto& e = rig.add<_eqNNDep_OverCrack>(cut());
  rig.attr("LCN_OVERCRACK_PARAM", 1.5);
  rig.attr("LCN_OVERCRACK_RATE", 0.5);
  ASSERT_EQ(e.res(rig.res()), 0);
  // T = 1 + 3 + 1.8; D = 0.5 - 1 + 0.004 x 1.5 x 900.
  const double T = 5.8, D = -0.5 + 5.4;
  EXPECT_DOUBLE_EQ(e.prediction(), T - 0.5 * D);
  EXPECT_DOUBLE_EQ(e.derivatives()[1], 0.002 - 0.5 * 0.004 * 1.5);
  const double r = rig.residual(e);
  const long long before = runs();
  rig.attr("LCN_OVERCRACK_RATE", 0.25);
  ASSERT_EQ(e.res(rig.res()), 0);
  EXPECT_EQ(runs(), before + 2);
  EXPECT_DOUBLE_EQ(rig.residual(e) - r, 0.25 * D);
  EXPECT_EQ(e.jac(rig.jac()), 0);
  EXPECT_EQ(runs(), before + 2);
}

TEST(AttributeLookUp, FindsByNameAndFormsTheTuningNames) {
  ROMAttr alpha("ALPHA_Y", 2.0, 0), gamma("GAMMA_Y_X", 3.0, 1);
  ROMAttrMap attrs{{"ALPHA_Y", &alpha}, {"GAMMA_Y_X", &gamma}};
  ROMAttrMap* holder = &attrs;
  ROMAttrMap* empty = nullptr;
  EXPECT_EQ(findAttrValue(&holder, "ALPHA_Y"), &alpha);
  EXPECT_EQ(findAdjustAttrValue(&holder, "Y", "ALPHA"), &alpha);
  EXPECT_EQ(findAdjustAttrValue(&holder, "Y", "X", "GAMMA"), &gamma);
  EXPECT_EQ(findAdjustAttrValue(&holder, "Y", "X", "ALPHA"), &alpha);
  EXPECT_EQ(findAttrValue(&empty, "ALPHA_Y"), nullptr);
  EXPECT_EQ(findAttrValue(nullptr, "ALPHA_Y"), nullptr);
  EXPECT_THROW(findAdjustAttrValue(&holder, "Y", "X", "Gamma"), std::out_of_range);
}

}  // namespace
