// What a first-generation block keeps between evaluations follows every
// change it depends on: the registry's network folder between passes, an
// input removed from the input map, a derivative entry removed, a network
// file rewritten with other tags, a tuning factor replaced or removed, and
// the independent sets made again.
#include <gtest/gtest.h>

#include <string>

#include "core/helpers.h"
#include "platform/diveduded/DIVeduded.h"
#include "tests/core/test_model.h"

namespace {

class Caches : public ::testing::Test {
 protected:
  void SetUp() override {
    DIVeduded::clearFaults();
    writeTestNetworks(nets);
    ASSERT_EQ(prepareAndPattern(block, fw), 0);
    ASSERT_EQ(res(), 0);  // every kept list is made
  }
  ROMVar& out(const char* name) { return *block.m_nnOutputVars.at(name); }
  long long res() const {
    long long s = 0;
    block.user_res(s);
    return s;
  }

  NetworkRoot nets;
  Framework fw;
  testmodel block{"C1"};
};

TEST_F(Caches, EveryPassReadsTheRegistrysFolder) {
  {
    NetworkRoot empty("empty");  // the registry names a root without the networks
    EXPECT_EQ(block.runAllNN(), DIV_MISSING_FILE);
  }
  EXPECT_EQ(block.runAllNN(), 0);  // the first root again
  pelmo_registry_clear();
  EXPECT_EQ(block.runAllNN(), DIV_NO_FOLDER);
}

TEST_F(Caches, AnInputRemovedIsNoLongerGiven) {
  ROMVar* sul = block.m_inputVars.at("FEEDSUL");
  block.m_inputVars.erase("FEEDSUL");
  EXPECT_EQ(block.runNN("C3FRAC"), DIV_MISSING_INPUT);
  block.m_inputVars["FEEDSUL"] = sul;
  EXPECT_EQ(block.runNN("C3FRAC"), 0);
}

TEST_F(Caches, ADerivativeEntryRemovedRefusesTheRunAndChangesNothing) {
  ROMVar& c3 = out("C3FRAC");
  c3.derivs.erase("RXTEMP");
  c3.derivs["FEEDSUL"] = 9.0;
  EXPECT_EQ(block.runNN("C3FRAC"), 1);
  EXPECT_EQ(c3.derivs.at("FEEDSUL"), 9.0);
  c3.derivs["RXTEMP"] = 0.0;
  EXPECT_EQ(block.runNN("C3FRAC"), 0);
  EXPECT_DOUBLE_EQ(c3.derivs.at("FEEDSUL"), kC3Sul);
  EXPECT_DOUBLE_EQ(c3.derivs.at("RXTEMP"), kC3Temp);
}

TEST_F(Caches, ANetworkWithOtherTagsWritesItsOwnEntries) {
  nets.write("COKER", "C3FRAC", affineNetwork("C3FRAC", {{"FEEDMASS", 2e-7}}, 0.05));
  EXPECT_EQ(block.runNN("C3FRAC"), 0);
  EXPECT_DOUBLE_EQ(out("C3FRAC").derivs.at("FEEDMASS"), 2e-7);
  EXPECT_DOUBLE_EQ(out("C3FRAC").derivs.at("RXTEMP"), kC3Temp);  // not reported: kept
}

TEST_F(Caches, AdjustmentRowsFollowReplacedAndRemovedFactors) {
  const int row = block.estart() + block.m_adjEqns.at("Y_C3FRAC")->index - 1;
  const double y = fw.value(fw.num(block, "C3FRAC"));
  const double p = out("C3FRAC").value;
  delete block.m_attributes.at("ALPHA_C3FRAC");
  block.m_attributes["ALPHA_C3FRAC"] = new ROMAttr("ALPHA_C3FRAC", 2.0, 0);
  ASSERT_EQ(res(), 0);
  EXPECT_DOUBLE_EQ(fw.residual(row), y - 2.0 * p);

  ROMAttr* beta = block.m_attributes.at("BETA_C3FRAC");
  block.m_attributes.erase("BETA_C3FRAC");
  long long status = 0;
  EXPECT_THROW(block.res_NNAdjustment(status), std::out_of_range);
  EXPECT_EQ(res(), 1);
  block.m_attributes["BETA_C3FRAC"] = beta;
  beta->value = 0.5;
  ASSERT_EQ(res(), 0);
  EXPECT_DOUBLE_EQ(fw.residual(row), y - (2.0 * p + 0.5));
}

TEST_F(Caches, AdjustmentRowsFollowTheIndependentSetsMadeAgain) {
  const int row = block.estart() + block.m_adjEqns.at("Y_COKEFRAC")->index - 1;
  block.m_attributes.at("GAMMA_COKEFRAC_RXTEMP")->value = 0.001;
  ASSERT_EQ(res(), 0);
  const double before = fw.residual(row);  // RXTEMP is not among COKEFRAC's inputs
  nets.write("COKER", "COKEFRAC", affineNetwork("COKEFRAC", {{"FEEDSUL", kCokeSul}, {"RXTEMP", 0.0}}, kCokeBias));
  block.setupIndepMap();
  ASSERT_EQ(res(), 0);
  EXPECT_DOUBLE_EQ(fw.residual(row), before - 0.001 * fw.value(fw.num(block, "RXTEMP")));
}

}  // namespace
