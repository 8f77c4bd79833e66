// The paired total/difference networks of the naphtha cuts, their attributes
// and the runners on failing paths, on the shipped FCC_GO_2N networks. At the
// nominal point these predict their table's nominal values with the table's
// sensitivities: LCNFRACTOTAL 0.21, dT/dREACTORPLENUMTEMP = 0.02 * 0.21 / 15,
// dT/dFEEDSG = -0.02 * 0.21 / 0.02; LCNFRACDIFF 0.01, dD/dREACTORPLENUMTEMP =
// 0.25 * 0.01 / 15, dD/dCATCOOLERDUTY = -0.05 * 0.01 / 20 (not a total input).
#include <gtest/gtest.h>

#include <cmath>

#include "platform/diveduded/DIVeduded.h"
#include "tests/models/fcc/fcc_test_slate.h"

namespace {

void setAttr(const PreparedSlate& p, const std::string& name, double value) {
  value_t v;
  value_assign_double(&v, value, 0, 1);
  ASSERT_TRUE(p.block->attr_assign_value(name.c_str(), v)) << name;
}

// Runs the paired output with the cut's factor and rate; its prediction.
double run(const PreparedSlate& p, const std::string& cut, double param, double rate) {
  setAttr(p, cut + "_OVERCRACK_PARAM", param);
  setAttr(p, cut + "_OVERCRACK_RATE", rate);
  EXPECT_EQ(p.block->runNN(cut + "FRAC"), 0);
  return p.block->find(cut + "FRAC")->value;
}

class FccPairNominal : public ::testing::TestWithParam<double> {};

TEST_P(FccPairNominal, PredictionIsTotalLessRateTimesDifference) {
  const PreparedSlate p;
  const double rate = GetParam();
  EXPECT_NEAR(run(p, "LCN", 1.0, rate), 0.21 - rate * 0.01, 1e-12);
  const auto& d = p.block->find("LCNFRAC")->derivs;
  EXPECT_NEAR(d.at("REACTORPLENUMTEMP"), 0.02 * 0.21 / 15 - rate * 0.25 * 0.01 / 15, 1e-14);
  EXPECT_NEAR(d.at("FEEDSG"), -0.02 * 0.21 / 0.02, 1e-12);
  EXPECT_NEAR(d.at("CATCOOLERDUTY"), -rate * -0.05 * 0.01 / 20, 1e-16);  // 0 with rate 0: the total alone
  EXPECT_EQ(d.at("FEEDNICKEL"), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Rates, FccPairNominal, ::testing::Values(0.0, 1.0, 2.5));

struct PairCase {
  const char* cut;
  double param, rate;
};
class FccPairDerivatives : public ::testing::TestWithParam<PairCase> {};

TEST_P(FccPairDerivatives, MatchCentralDifferences) {
  const PreparedSlate p;
  const PairCase& c = GetParam();
  run(p, c.cut, c.param, c.rate);
  const auto analytic = p.block->find(std::string(c.cut) + "FRAC")->derivs;
  for (const char* input : {"REACTORPLENUMTEMP", "ECATMAT", "CATCOOLERDUTY", "FEEDT50"}) {
    double& x = p.value(input);
    const double x0 = x, h = 1e-6 * x0;
    x = x0 + h;
    const double up = run(p, c.cut, c.param, c.rate);
    x = x0 - h;
    const double central = (up - run(p, c.cut, c.param, c.rate)) / (2 * h);
    x = x0;
    EXPECT_NEAR(analytic.at(input), central, 1e-11 + 1e-6 * std::fabs(central)) << c.cut << " " << input;
  }
}

INSTANTIATE_TEST_SUITE_P(Cuts, FccPairDerivatives,
                         ::testing::Values(PairCase{"LCN", 1.0, 1.0}, PairCase{"C5S", 0.97, 2.5},
                                           PairCase{"HCN", 1.03, 0.7}, PairCase{"LCN", 1.02, 0.0}));

struct FaultCase {
  const char* network;
  const char* op;
  DIVeduded::Fault kind;
  int status, expected;
};
class FccPairFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FccPairFault, FirstFailureWinsBothRunnersClosedNothingChanged) {
  const PreparedSlate p;
  const FaultCase& c = GetParam();
  ROMVar* out = p.block->find("LCNFRAC");
  out->value = 0.4321;
  DIVeduded::injectFault(std::string("FCC_GO_2N_") + c.network + ".zkr", c.op, c.kind, c.status);
  DIVeduded::resetCounters();
  const int status = p.block->runNN("LCNFRAC");
  const DIVeduded::Counters n = DIVeduded::counters();
  DIVeduded::clearFaults();
  EXPECT_EQ(status, c.expected);
  EXPECT_EQ(n.constructed, 2);
  EXPECT_EQ(n.destroyed, 2);
  EXPECT_EQ(n.closes, 2);  // Close on a runner that never opened is harmless
  EXPECT_EQ(out->value, 0.4321);
  EXPECT_EQ(out->derivs.at("ECATMAT"), 0.0);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FccPairFault,
    ::testing::Values(FaultCase{"LCNFRACTOTAL", "Open", DIVeduded::Fault::Status, 1, 1},
                      FaultCase{"LCNFRACTOTAL", "Open", DIVeduded::Fault::ThrowStd, 0, 1},
                      FaultCase{"LCNFRACDIFF", "Open", DIVeduded::Fault::Status, 1, 1},
                      FaultCase{"LCNFRACDIFF", "Open", DIVeduded::Fault::ThrowCom, 5, 1},
                      FaultCase{"LCNFRACTOTAL", "Run", DIVeduded::Fault::Status, 8, 8},
                      FaultCase{"LCNFRACDIFF", "Run", DIVeduded::Fault::ThrowStd, 0, 1}));

TEST(FccPairedNetworks, IndependentVariablesAndMissingNames) {
  const PreparedSlate p;
  EXPECT_EQ(p.block->runAllNN(), 0);  // every sample network of the kind runs
  EXPECT_EQ(p.block->m_indepVars.at("LCNFRAC"),  // the total network's inputs
            (std::set<std::string>{"ECATMAT", "FEEDSG", "FEEDT50", "HCNECP", "LCNECP", "REACTORPLENUMTEMP", "ZSMPCT"}));
  EXPECT_EQ(p.block->m_indepVars.at("COKFRAC").size(), 5u);  // a single network
  DIVeduded::resetCounters();
  delete p.block->m_attributes.at("HCN_OVERCRACK_RATE");
  p.block->m_attributes.erase("HCN_OVERCRACK_RATE");
  EXPECT_THROW(p.block->runNN("HCNFRAC"), std::out_of_range);
  EXPECT_EQ(DIVeduded::counters().constructed, 0);  // thrown before any runner exists
}

struct AttrCase {
  const char* kind;
  std::vector<std::string> overcrack;  // in number order
};
class FccOvercrackAttributes : public ::testing::TestWithParam<AttrCase> {};

TEST_P(FccOvercrackAttributes, NumberedAfterTheBaseAttributes) {
  fcctestslate block(GetParam().kind);
  block.prepare();
  const std::size_t base = 52 * (6 + 16 * 3);  // per output ALPHA and BETA with bounds, per input GAMMA with bounds
  ASSERT_EQ(block.m_attributes.size(), base + GetParam().overcrack.size());
  int number = static_cast<int>(base);
  for (const std::string& name : GetParam().overcrack) {
    const ROMAttr* a = block.m_attributes.at(name);
    EXPECT_TRUE(a->number == number++ && a->code == 3 && a->type == ROMATTR_REAL && a->value == 1.0) << name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FccOvercrackAttributes,
    ::testing::Values(AttrCase{"FCC_GO_2N",  // 2808 + 6 = 2814
                               {"C5S_OVERCRACK_PARAM", "LCN_OVERCRACK_PARAM", "HCN_OVERCRACK_PARAM",
                                "C5S_OVERCRACK_RATE", "LCN_OVERCRACK_RATE", "HCN_OVERCRACK_RATE"}},
                      AttrCase{"FCC_GOR_3N",
                               {"C5S_OVERCRACK_PARAM", "LCN_OVERCRACK_PARAM", "MCN_OVERCRACK_PARAM",
                                "HCN_OVERCRACK_PARAM", "C5S_OVERCRACK_RATE", "LCN_OVERCRACK_RATE",
                                "MCN_OVERCRACK_RATE", "HCN_OVERCRACK_RATE"}}));

}  // namespace
