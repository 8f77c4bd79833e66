#include <gtest/gtest.h>

#include <string>

#include "core/helpers.h"
#include "platform/diveduded/DIVeduded.h"
#include "tests/core/test_model.h"

namespace {

// Every runner made is closed and deleted.
void expectBalanced() {
  const DIVeduded::Counters c = DIVeduded::counters();
  EXPECT_EQ(c.constructed, c.destroyed);
  EXPECT_GE(c.closes, c.opens);
}

class Networks : public ::testing::Test {
 protected:
  void SetUp() override {
    DIVeduded::resetCounters();
    DIVeduded::clearFaults();
    nets.writeTestNetworks();
    block.prepare();
    ASSERT_EQ(fw.setUp(block), 0);
  }
  void TearDown() override {
    DIVeduded::clearFaults();
    expectBalanced();
  }
  ROMVar& out(const char* name) { return *block.m_nnOutputVars.at(name); }

  NetworkRoot nets;
  Framework fw;
  testmodel block{"C1"};
};

TEST_F(Networks, RunAllStoresPredictionsAndDerivatives) {
  DIVeduded::resetCounters();
  EXPECT_EQ(block.runAllNN(), 0);
  EXPECT_DOUBLE_EQ(out("C3FRAC").value, kC3Bias + kC3Sul * 0.02 + kC3Temp * 900.0);
  EXPECT_DOUBLE_EQ(out("COKEFRAC").value, kCokeBias + kCokeSul * 0.02);
  EXPECT_DOUBLE_EQ(out("C3FRAC").derivs.at("FEEDSUL"), kC3Sul);
  EXPECT_DOUBLE_EQ(out("C3FRAC").derivs.at("RXTEMP"), kC3Temp);
  EXPECT_EQ(out("C3FRAC").derivs.at("FEEDMASS"), 0.0);  // not a tag: untouched
  EXPECT_DOUBLE_EQ(out("COKEFRAC").derivs.at("FEEDSUL"), kCokeSul);
  // One runner per output, the file named after the model kind and the output.
  EXPECT_EQ(DIVeduded::counters().constructed, 2);
  EXPECT_EQ(DIVeduded::runsOf("COKER_C3FRAC.zkr"), 1);
  EXPECT_EQ(DIVeduded::runsOf("COKER_COKEFRAC.zkr"), 1);
}

TEST_F(Networks, RunsReadTheCurrentFrameworkValues) {
  fw.value(Framework::kFirstVar + block.var("FEEDSUL")->index - 1) = 0.04;
  rtovarlst_relocate(fw.vars);  // the framework may move its vectors between calls
  EXPECT_EQ(block.runNN("C3FRAC"), 0);
  EXPECT_DOUBLE_EQ(out("C3FRAC").value, kC3Bias + kC3Sul * 0.04 + kC3Temp * 900.0);
}

TEST_F(Networks, FirstFailureStopsTheRestWhichKeepTheirPredictions) {
  out("C3FRAC").value = 0.5;
  out("COKEFRAC").value = 0.6;
  DIVeduded::injectFault("COKER_C3FRAC.zkr", "Run", DIVeduded::Fault::Status, 4);
  EXPECT_EQ(block.runAllNN(), 4);
  EXPECT_EQ(out("C3FRAC").value, 0.5);
  EXPECT_EQ(out("COKEFRAC").value, 0.6);
  EXPECT_EQ(DIVeduded::runsOf("COKER_COKEFRAC.zkr"), 0);
}

struct OpenFault {
  const char* name;
  DIVeduded::Fault kind;
  int status;
  int expected;
};

class FailedOpens : public Networks, public ::testing::WithParamInterface<OpenFault> {};

TEST_P(FailedOpens, StillCloseTheRunner) {
  DIVeduded::resetCounters();
  DIVeduded::injectFault("COKER_C3FRAC.zkr", "Open", GetParam().kind, GetParam().status);
  out("C3FRAC").value = 0.5;
  EXPECT_EQ(block.runNN("C3FRAC"), GetParam().expected);
  EXPECT_EQ(out("C3FRAC").value, 0.5);
  const DIVeduded::Counters c = DIVeduded::counters();
  EXPECT_EQ(c.constructed, 1);
  EXPECT_EQ(c.destroyed, 1);
  EXPECT_EQ(c.closes, 1);
  EXPECT_EQ(c.runs, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedOpens,
    ::testing::Values(OpenFault{"Status", DIVeduded::Fault::Status, 3, 3},
                      OpenFault{"ThrowsStd", DIVeduded::Fault::ThrowStd, 3, 1},
                      OpenFault{"ThrowsCom", DIVeduded::Fault::ThrowCom, 3, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Networks, ThrowingRunIsAFailedRun) {
  DIVeduded::resetCounters();
  DIVeduded::injectFault("COKER_C3FRAC.zkr", "Run", DIVeduded::Fault::ThrowStd);
  EXPECT_EQ(block.runNN("C3FRAC"), 1);
  EXPECT_EQ(DIVeduded::counters().closes, 1);
}

TEST_F(Networks, MissingFileIsTheRunnersStatus) {
  TestShape shape;
  testmodel other("C2", "NOKIND", shape);
  other.prepare();
  fw.attach(other);
  EXPECT_EQ(other.runNN("C3FRAC"), DIV_MISSING_FILE);
  EXPECT_TRUE(other.indepVars().at("C3FRAC").empty());
}

TEST_F(Networks, EmptyRootSendsABareBackslashFolder) {
  pelmo_registry_clear();
  EXPECT_EQ(networkFolderName("COKER"), "\\COKER");
  DIVeduded::resetCounters();
  // The runner refuses a folder that starts with a separator.
  EXPECT_EQ(block.runNN("C3FRAC"), DIV_NO_FOLDER);
  EXPECT_EQ(DIVeduded::counters().closes, 1);
}

TEST_F(Networks, IndependentSetsPerOutputAndEmptyForAMissingFile) {
  EXPECT_EQ(block.indepVars().at("C3FRAC"), (std::set<std::string>{"FEEDSUL", "RXTEMP"}));
  EXPECT_EQ(block.indepVars().at("COKEFRAC"), (std::set<std::string>{"FEEDSUL"}));
  EXPECT_EQ(block.getNNIndepVars("NOSUCH"), std::set<std::string>{});
  DIVeduded::injectFault("COKER_C3FRAC.zkr", "Open", DIVeduded::Fault::ThrowCom);
  EXPECT_TRUE(block.getNNIndepVars("C3FRAC").empty());
}

TEST_F(Networks, TagThatIsNoModelInputFailsAndKeepsThePrediction) {
  nets.write("COKER", "C3FRAC", NetworkRoot::affine("C3FRAC", {{"FEEDSUL", 1.0}, {"STRANGER", 2.0}}, 0.0));
  // The runner gets STRANGER as an input, but the output has no derivative
  // entry for it.
  TestShape shape;
  shape.extraInputs = {"STRANGER"};
  testmodel b("C2", "COKER", shape);
  b.prepare();
  Framework fw2;
  ASSERT_EQ(fw2.setUp(b), 0);  // FEEDSUL 0.02; STRANGER keeps the framework's 1.0
  ROMVar& c3 = *b.m_nnOutputVars.at("C3FRAC");
  c3.derivs.erase("STRANGER");
  c3.derivs["FEEDSUL"] = 9.0;
  EXPECT_EQ(b.runNN("C3FRAC"), 1);
  EXPECT_DOUBLE_EQ(c3.value, 1.0 * 0.02 + 2.0 * 1.0);
  EXPECT_EQ(c3.derivs.at("FEEDSUL"), 9.0);  // no entry changed
}

TEST_F(Networks, OverlongInputNameIsNeverSent) {
  TestShape shape;
  shape.extraInputs = {std::string(100, 'X')};
  testmodel b("C2", "COKER", shape);
  b.prepare();
  fw.attach(b);
  DIVeduded::resetCounters();
  EXPECT_EQ(b.runNN("C3FRAC"), 1);
  EXPECT_EQ(DIVeduded::counters().constructed, 0);
}

TEST_F(Networks, ZeroTagsStoreThePredictionOnly) {
  nets.write("COKER", "COKEFRAC", NetworkRoot::affine("COKEFRAC", {}, 0.7));
  out("COKEFRAC").derivs["FEEDSUL"] = 3.0;
  EXPECT_EQ(block.runNN("COKEFRAC"), 0);
  EXPECT_DOUBLE_EQ(out("COKEFRAC").value, 0.7);
  EXPECT_EQ(out("COKEFRAC").derivs.at("FEEDSUL"), 3.0);
}

TEST_F(Networks, OutputMissingFromTheMapRaises) { EXPECT_THROW(block.runNN("NOSUCH"), std::out_of_range); }

TEST(NetworksEmpty, NoOutputsRunNothing) {
  DIVeduded::resetCounters();
  TestShape shape;
  shape.withOutputs = false;
  testmodel block("C1", "COKER", shape);
  block.prepare();
  EXPECT_TRUE(block.indepVars().empty());
  EXPECT_EQ(block.runAllNN(), 0);
  EXPECT_EQ(DIVeduded::counters().constructed, 0);
}

TEST_F(Networks, WithoutAVariableListARunFails) {
  testmodel b("C2");
  b.prepare();
  EXPECT_EQ(b.runNN("C3FRAC"), 1);
}

}  // namespace
