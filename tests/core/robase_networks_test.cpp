// robase attributes, network runs through the runner, adjustment and
// sulfur-ppm rows, and the smooth floor.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "core/helpers.h"
#include "platform/diveduded/DIVeduded.h"
#include "tests/core/test_model.h"

namespace {

const double kC3 = kC3Bias + kC3Sul * 0.02 + kC3Temp * 900.0;  // C3FRAC at the starting values

// The test model with its networks, set up and patterned.
class Networks : public ::testing::Test {
 protected:
  void SetUp() override {
    DIVeduded::clearFaults();
    writeTestNetworks(nets);
    ASSERT_EQ(prepareAndPattern(block, fw), 0);
    DIVeduded::resetCounters();
  }
  void TearDown() override {  // every runner made is closed and deleted
    DIVeduded::clearFaults();
    const DIVeduded::Counters c = DIVeduded::counters();
    EXPECT_EQ(c.constructed, c.destroyed);
    EXPECT_EQ(c.closes, c.constructed);
  }
  ROMVar& out(const char* name) { return *block.m_nnOutputVars.at(name); }
  void setAttr(const std::string& name, double v) { block.m_attributes.at(name)->value = v; }
  long long res() const { long long s = 0; block.user_res(s); return s; }
  long long jac() const { long long s = 0; block.user_jac(s); return s; }

  NetworkRoot nets;
  Framework fw;
  testmodel block{"C1"};
};

// ---- Attributes ----------------------------------------------------------------

TEST_F(Networks, FirstGenerationAttributes) {
  struct Case { const char* name; int number, code; double value; };
  const Case cases[] = {{"ALPHA_C3FRAC", 0, 0, 1.0},         {"ALPHA_C3FRAC_LB", 1, 4, 0.0001},
                        {"ALPHA_C3FRAC_UB", 2, 5, 1000.0},   {"BETA_C3FRAC", 3, 1, 0.0},
                        {"BETA_C3FRAC_LB", 4, 6, -1e8},      {"BETA_C3FRAC_UB", 5, 7, 1e8},
                        {"GAMMA_C3FRAC_FEEDMASS", 6, 2, 0.0}, {"GAMMA_C3FRAC_FEEDMASS_LB", 7, 8, -1e8},
                        {"GAMMA_C3FRAC_RXTEMP_UB", 14, 9, 1e8}, {"GAMMA_COKEFRAC_RXTEMP_UB", 29, 9, 1e8}};
  ASSERT_EQ(block.attributes().size(), 30u);  // 2 outputs x (6 + 3 inputs x 3)
  for (const Case& c : cases) {
    const ROMAttr* a = block.getAttribute(c.number);
    ASSERT_NE(a, nullptr) << c.name;
    EXPECT_EQ(a->name, c.name);
    EXPECT_EQ(a->code, c.code) << c.name;
    EXPECT_EQ(a->value, c.value) << c.name;
  }
  EXPECT_EQ(block.getAttribute(30), nullptr);
}

TEST(NNAttributes, SecondGenerationFamilies) {
  ROMAttrMap attrs;
  robase::setupNNAttributes(attrs, "Y1", {"C", "A", "B"});
  robase::setupNNAttributes(attrs, "Y2", {"A", "B", "C"});
  ASSERT_EQ(attrs.size(), 42u);  // 2 x (9 + 3 x 4)
  EXPECT_EQ(attrs.at("BETA_Y1")->code, 0);
  EXPECT_EQ(attrs.at("HYPERPARAMETERS.Y1_ALPHA_SCALE_ERROR")->number, 8);
  EXPECT_EQ(attrs.at("GAMMA_Y1_A")->number, 9);
  EXPECT_EQ(attrs.at("HYPERPARAMETERS.Y1_A_GAMMA_SCALE_ERROR")->code, 10);
  EXPECT_EQ(attrs.at("HYPERPARAMETERS.Y2_C_GAMMA_SCALE_ERROR")->number, 41);
  robase::setupNNAttributes(attrs, "Y2", {"A"});  // repeated names replace, nothing leaks
  EXPECT_EQ(attrs.size(), 42u);
  for (auto& entry : attrs) delete entry.second;
}

TEST_F(Networks, AttributeOperationsOfTheFramework) {
  const int fc = block.QivEOBlockImpl::attr_num();
  EXPECT_EQ(block.attr_num(), fc + 31);
  EXPECT_STREQ(block.attr_name(fc), "ALPHA_C3FRAC");
  EXPECT_STREQ(block.attr_name(fc + 30), "TEMPLATE");
  EXPECT_STREQ(block.attr_name(0), block.QivEOBlockImpl::attr_name(0));
  value_t v;
  ASSERT_TRUE(block.attr_lookup_value("TEMPLATE", &v));
  EXPECT_STREQ(v.sval, "COKER");
  EXPECT_FALSE(block.attr_assign_value("TEMPLATE", v));
  EXPECT_EQ(block.attr_describe("TEMPLATE")->access, 2);
  value_assign_integer(&v, 2);
  EXPECT_TRUE(block.attr_assign_value("ALPHA_C3FRAC", v));
  EXPECT_EQ(block.attributes().at("ALPHA_C3FRAC")->value, 2.0);
  value_assign_double(&v, std::nan(""), 0, 1);
  EXPECT_FALSE(block.attr_assign_value("ALPHA_C3FRAC", v));
  ASSERT_TRUE(block.attr_lookup_value("ALPHA_C3FRAC", &v));
  EXPECT_EQ(value_real(v), 2.0);
  value_clear(&v);
  EXPECT_TRUE(block.attr_lookup_ismodified("BETA_C3FRAC"));
  delete block.m_attributes.at("BETA_C3FRAC");  // a position no record holds
  block.m_attributes.erase("BETA_C3FRAC");
  block.putRecord(block.m_attributes, new ROMAttr("EXTRA", 0.0, 77));
  EXPECT_EQ(block.attr_name(fc + 3), nullptr);
  testmodel bare("B", "COKER", TestShape{true, false, {}});
  bare.prepare();
  EXPECT_EQ(bare.attr_num(), fc + 1);
}

// ---- Network runs --------------------------------------------------------------

TEST_F(Networks, RunAllStoresPredictionsAndDerivatives) {
  fw.value(fw.num(block, "RXTEMP")) = 1000.0;
  rtovarlst_relocate(fw.vars);  // values are read afresh at every run
  EXPECT_EQ(block.runAllNN(), 0);
  EXPECT_DOUBLE_EQ(out("C3FRAC").value, kC3 + kC3Temp * 100.0);
  EXPECT_DOUBLE_EQ(out("COKEFRAC").value, kCokeBias + kCokeSul * 0.02);
  EXPECT_DOUBLE_EQ(out("C3FRAC").derivs.at("RXTEMP"), kC3Temp);
  EXPECT_EQ(out("C3FRAC").derivs.at("FEEDMASS"), 0.0);
  EXPECT_EQ(DIVeduded::runsOf(networkFileName("COKER", "C3FRAC")), 1);
  EXPECT_EQ(block.indepVars().at("C3FRAC"), (std::set<std::string>{"FEEDSUL", "RXTEMP"}));
  EXPECT_EQ(block.indepVars().at("COKEFRAC"), (std::set<std::string>{"FEEDSUL"}));
  EXPECT_TRUE(block.getNNIndepVars("NOSUCH").empty());  // missing file
  EXPECT_THROW(block.runNN("NOSUCH"), std::out_of_range);
}

TEST_F(Networks, FirstFailureStopsTheRestWhichKeepTheirPredictions) {
  out("COKEFRAC").value = 0.6;
  DIVeduded::injectFault("COKER_C3FRAC.zkr", "Run", DIVeduded::Fault::Status, 4);
  EXPECT_EQ(block.runAllNN(), 4);
  EXPECT_EQ(out("COKEFRAC").value, 0.6);
  EXPECT_EQ(DIVeduded::runsOf("COKER_COKEFRAC.zkr"), 0);
  EXPECT_EQ(res(), 4);
}

TEST_F(Networks, FailedOrThrowingRunnerCallsStillCloseTheRunner) {
  const struct { const char* op; DIVeduded::Fault kind; int expected; } faults[] = {
      {"Open", DIVeduded::Fault::Status, 3}, {"Open", DIVeduded::Fault::ThrowStd, 1},
      {"Open", DIVeduded::Fault::ThrowCom, 1}, {"Run", DIVeduded::Fault::ThrowStd, 1}};
  for (const auto& f : faults) {
    DIVeduded::injectFault("COKER_C3FRAC.zkr", f.op, f.kind, 3);
    EXPECT_EQ(block.runNN("C3FRAC"), f.expected) << f.op;
    if (std::string(f.op) == "Open") {
      EXPECT_TRUE(block.getNNIndepVars("C3FRAC").empty());
    }
    DIVeduded::clearFaults();
  }
  EXPECT_EQ(out("C3FRAC").value, 1.0);  // never stored
  pelmo_registry_clear();
  EXPECT_EQ(block.runNN("C3FRAC"), DIV_NO_FOLDER);  // folder "\COKER": the runner refuses it
}

TEST_F(Networks, RefusedTagsAndNamesAndZeroTags) {
  nets.write("COKER", "C3FRAC", affineNetwork("C3FRAC", {{"FEEDSUL", 1.0}, {"STRANGER", 2.0}}, 0.0));
  testmodel b("C2", "COKER", TestShape{true, true, {"STRANGER"}});
  b.prepare();
  Framework fw2;
  ASSERT_EQ(fw2.setUp(b), 0);  // STRANGER keeps the framework's 1.0
  ROMVar& c3 = *b.m_nnOutputVars.at("C3FRAC");
  c3.derivs.erase("STRANGER");
  EXPECT_EQ(b.runNN("C3FRAC"), 1);  // a tag that is no model input
  EXPECT_DOUBLE_EQ(c3.value, 0.02 + 2.0);
  EXPECT_EQ(c3.derivs.at("FEEDSUL"), 0.0);  // no entry changed
  testmodel longName("C3", "COKER", TestShape{true, true, {std::string(100, 'X')}});
  longName.prepare();
  fw.attach(longName);
  const long long made = DIVeduded::counters().constructed;
  EXPECT_EQ(longName.runNN("COKEFRAC"), 1);  // never sent
  EXPECT_EQ(DIVeduded::counters().constructed, made);
  nets.write("COKER", "COKEFRAC", affineNetwork("COKEFRAC", {}, 0.7));
  out("COKEFRAC").derivs["FEEDSUL"] = 3.0;
  EXPECT_EQ(block.runNN("COKEFRAC"), 0);
  EXPECT_DOUBLE_EQ(out("COKEFRAC").value, 0.7);
  EXPECT_EQ(out("COKEFRAC").derivs.at("FEEDSUL"), 3.0);
}

TEST_F(Networks, AFileWhoseOutputNameIsOver99CharactersIsRefusedWhenRead) {
  // The output a file names is read like a tag: 99 characters at most. A
  // name of 99 is read, and only then found not to be the requested output;
  // one of 100 makes the file unreadable.
  for (const auto& [length, status] : {std::pair{99, DIV_WRONG_OUTPUT}, std::pair{100, DIV_FORMAT}}) {
    std::string file = affineNetwork("C3FRAC", {{"FEEDSUL", kC3Sul}}, kC3Bias);
    file.replace(file.find("OUTPUT C3FRAC"), 13, "OUTPUT " + std::string(static_cast<std::size_t>(length), 'Y'));
    nets.write("COKER", "C3FRAC", file);
    EXPECT_EQ(block.runNN("C3FRAC"), status) << length;
    EXPECT_TRUE(block.getNNIndepVars("C3FRAC").empty()) << length;
  }
  EXPECT_EQ(out("C3FRAC").value, 1.0);  // never stored
}

// ---- Adjustment and sulfur-ppm rows ------------------------------------------------

TEST_F(Networks, PatternRegistersInputsThenTheOutputThenTheSulfurRow) {
  const char* cols[] = {"FEEDMASS", "FEEDSUL", "RXTEMP", "C3FRAC", "FEEDMASS", "FEEDSUL",
                        "RXTEMP",   "COKEFRAC", "LCNSUL", "LCNSULPPM"};
  const int rows[] = {51, 51, 51, 51, 52, 52, 52, 52, 53, 53};
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(rtojac_row(fw.jac, 301 + k), rows[k]) << k;
    EXPECT_EQ(rtojac_col(fw.jac, 301 + k), fw.num(block, cols[k])) << k;
  }
  EXPECT_EQ(block.nzlast(), 310);
  block.m_nzCounter = 0;
  long long status = 0;
  block.pat_NNAdjustment(fw.jac, status);
  EXPECT_EQ(block.m_nzCounter, 8);
  EXPECT_EQ(block.nzlast(), 308);
}

// Rows without a pattern own no non-zeros: their Jacobian writes nothing and
// fails. A Jacobian too small for the rows fails the pattern pass, and every
// refused pair is still offered whole (row and column).
TEST(AdjustmentRows, NoPatternWritesNothingAndRefusedNonZerosFail) {
  NetworkRoot nets;
  writeTestNetworks(nets);
  Framework fw;
  testmodel block{"C1"};
  block.prepare();
  ASSERT_EQ(fw.setUp(block), 0);
  for (int nz = 301; nz <= 310; ++nz) fw.FrameworkLists::jacobian()[nz] = 7.0;
  long long status = 0;
  block.jac_NNAdjustment(status);
  EXPECT_EQ(status, 1);
  status = 0;
  block.jac_SulPPM(block.sulPpm.get(), status);
  EXPECT_EQ(status, 1);
  for (int nz = 301; nz <= 310; ++nz) EXPECT_EQ(fw.jacobian(nz), 7.0) << nz;

  romtest::FrameworkLists tight(romtest::FrameworkLists::kFirstNz + 6);  // 7 of the 10 non-zeros
  testmodel small{"C2"};
  small.prepare();
  ASSERT_EQ(tight.setUp(small), 0);
  status = 0;
  small.user_pat(tight.jac, status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(rtojac_error_count(tight.jac), 6);  // 3 non-zeros, row and column each
}

TEST_F(Networks, PlainFactorsGiveOutputMinusPrediction) {
  fw.value(fw.num(block, "LCNSUL")) = 0.003;
  ASSERT_EQ(res(), 0);
  EXPECT_DOUBLE_EQ(fw.residual(51), 0.1 - kC3);
  EXPECT_DOUBLE_EQ(fw.residual(53), 0.003 - 0.0001 * 20.0);
  ASSERT_EQ(jac(), 0);
  const double expected[] = {0.0, -kC3Sul, -kC3Temp, 1.0};
  for (int k = 0; k < 4; ++k) EXPECT_DOUBLE_EQ(fw.jacobian(301 + k), expected[k]);
  EXPECT_EQ(fw.jacobian(309), 1.0);
  EXPECT_EQ(fw.jacobian(310), -0.0001);
  EXPECT_EQ(block.strmName_SulPPM("EQN_LCNSULPPM"), "LCN");
  EXPECT_EQ(block.strmName_SulPPM("EQN_SULPP"), "");
}

TEST_F(Networks, JacobianMatchesCentralDifferences) {
  setAttr("ALPHA_C3FRAC", 1.7);
  setAttr("BETA_COKEFRAC", -0.1);
  setAttr("GAMMA_C3FRAC_FEEDSUL", 0.3);
  setAttr("GAMMA_C3FRAC_FEEDMASS", 1e-4);   // outside C3FRAC's independent set
  setAttr("GAMMA_COKEFRAC_RXTEMP", -2e-3);  // outside COKEFRAC's
  ASSERT_EQ(block.runAllNN(), 0);
  long long status = 0;
  EXPECT_DOUBLE_EQ(block.computeAdjValue("C3FRAC", status), 1.7 * kC3 + 0.3 * 0.02);
  ASSERT_EQ(jac(), 0);
  for (int nz = 301; nz <= block.nzlast(); ++nz) {
    double& v = fw.value(rtojac_col(fw.jac, nz));
    const double v0 = v, h = 1e-6 * std::max(1.0, std::fabs(v0));
    v = v0 + h;
    ASSERT_EQ(res(), 0);
    const double up = fw.residual(rtojac_row(fw.jac, nz));
    v = v0 - h;
    ASSERT_EQ(res(), 0);
    const double fd = (up - fw.residual(rtojac_row(fw.jac, nz))) / (2 * h);
    v = v0;
    EXPECT_NEAR(fw.jacobian(nz), fd, 1e-6 * std::max(1.0, std::fabs(fd))) << "non-zero " << nz;
  }
}

TEST_F(Networks, BadValuesAndMissingRecordsAreFailedHooks) {
  fw.value(fw.num(block, "LCNSULPPM")) = std::nan("");
  EXPECT_EQ(res(), 1);
  delete block.m_attributes.at("ALPHA_COKEFRAC");
  block.m_attributes.erase("ALPHA_COKEFRAC");
  EXPECT_EQ(jac(), 1);
  long long status = 0;
  EXPECT_THROW(block.res_NNAdjustment(status), std::out_of_range);
}

// ---- Smooth floor ----------------------------------------------------------------

TEST(SmoothFloor, ValuesAndDerivativesOnBothSides) {
  double r = 0.0, r20 = 0.0;
  robase::res_ExpMinClip(0.0, 1e-19, &r);
  EXPECT_NEAR(r, 3.678794411714423e-20, 1e-34);
  robase::res_ExpMinClip(2e-19, 1e-19, &r);
  EXPECT_EQ(r, 2e-19);
  robase::res_ExpMinClip(-3e-21, 0.0, &r);
  robase::res_ExpMinClip(-3e-21, 1e-20, &r20);
  EXPECT_EQ(r, r20);  // a cut-off of 0 acts as 1e-20
  EXPECT_EQ(robase::res_ExpMinClip(0.0, 1e-19, nullptr), 1);
  auto f = [](double x, double c) { double y = 0.0; robase::res_ExpMinClip(x, c, &y); return y; };
  const double points[][2] = {{0.0, 1e-19}, {-3e-19, 1e-19}, {3e-19, 1e-19}, {0.004, 0.01}, {0.2, 0.01}, {-1e-20, 0.0}};
  for (const auto& p : points) {
    const double x = p[0], c = p[1], s = std::max(c, 1e-20), hx = 1e-6 * std::max(std::fabs(x), s), hc = 1e-6 * s;
    double dx = 0.0, dc = 0.0;
    robase::jac_ExpMinClip(x, c, &dx, &dc);
    EXPECT_NEAR(dx, (f(x + hx, c) - f(x - hx, c)) / (2 * hx), 1e-6) << x;
    EXPECT_NEAR(dc, c > 0.0 ? (f(x, c + hc) - f(x, c - hc)) / (2 * hc) : 0.0, 1e-6) << x;
  }
}

}  // namespace
