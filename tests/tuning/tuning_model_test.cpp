// The tuning model: input tags per reactor kind, its tables and sizes, its
// attributes, and its network runs on affine networks written by hand (the
// prediction of each point, the feed-mass scaling of "VB_SKR", a run failing
// part-way, the overcrack pair and its Jacobian columns).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "platform/diveduded/DIVeduded.h"
#include "tests/support/framework_lists.h"
#include "tests/tuning/tuning_fixture.h"
#include "tuning/rotuningmodel.h"

namespace tuning_test {
namespace {

rotuningmodel& model(QivEOBlock* b) { return dynamic_cast<rotuningmodel&>(*b); }

// ---- Input tags ------------------------------------------------------------------

struct TagCase {
  const char* rx;
  std::size_t count;
  std::vector<std::pair<std::size_t, const char*>> at;  // position (0-based) and tag
};

void PrintTo(const TagCase& c, std::ostream* os) { *os << c.rx; }

class InputTags : public ::testing::TestWithParam<TagCase> {};

TEST_P(InputTags, FollowTheReactorKind) {
  const std::vector<std::string> tags = rotuningmodel::inputTags(GetParam().rx);
  ASSERT_EQ(tags.size(), GetParam().count);
  for (const auto& [pos, tag] : GetParam().at) EXPECT_EQ(tags.at(pos), tag) << pos;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, InputTags,
    ::testing::Values(TagCase{"FCC_GOR_3N1H", 18, {{12, "LCNECP"}, {13, "MCNECP"}, {15, "LCOECP"}, {16, "HCOECP"}}},
                      TagCase{"FCC_GO_2N", 16, {{7, "REACTORPLENUMTEMP"}, {13, "HCNECP"}, {15, "ZSMPCT"}}},
                      // The MCNECP and HCOECP conditions compare the whole text.
                      TagCase{"FCC_GO_3N1HX", 16, {{13, "HCNECP"}}},
                      TagCase{"XFCC_GO_3N", 16, {}},
                      TagCase{"REF_SEMI_1R", 6, {{4, "CATAGE"}, {5, "MEABP"}}},
                      TagCase{"REF_CONT_A", 5, {{4, "MEABP"}}},
                      TagCase{"HCR_N", 11, {{10, "HCNECP"}}},
                      TagCase{"HCR_K", 12, {{11, "KERECP"}}},
                      TagCase{"HCR_D", 13, {{11, "KERECP"}, {12, "DSLECP"}}},
                      TagCase{"HCR_MILD", 13, {{11, "KERECP"}, {12, "DSLECP"}}},
                      TagCase{"HCR_K_HCR_D", 13, {{11, "KERECP"}, {12, "DSLECP"}}},  // KERECP once
                      TagCase{"COKER", 11, {{1, "DRUMINLETTEMP"}, {10, "LGOECP"}}},
                      TagCase{"VB_NOSKR", 11, {{6, "FURNACETEMP"}}},
                      TagCase{"VB_COKER", 11, {{6, "FURNACETEMP"}}},  // the first kind found decides
                      TagCase{"NOKIND", 0, {}}),
    [](const auto& info) { return std::string(info.param.rx); });

// ---- Tables and sizes ------------------------------------------------------------------

struct ShapeCase {
  const char* rx;
  const char* depvar;
  int ndata;
  int variables;
  int rowLength;
  std::size_t attributes;
  bool overcrack;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.rx << "_" << c.depvar; }

class ModelShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ModelShape, TablesAndRegistrationsMatch) {
  const ShapeCase& c = GetParam();
  useNetworkRoot(kSampleNetworks);
  QivEOBlock* made = create("ROTUNING", {std::string("RX:") + c.rx, std::string("DEPVAR:") + c.depvar,
                                         "NDATA:" + std::to_string(c.ndata)});
  ASSERT_NE(made, nullptr);
  rotuningmodel& m = model(made);
  const int n = static_cast<int>(m.indeps().size());
  EXPECT_EQ(m.overcrack(), c.overcrack);
  EXPECT_EQ(m.rowLength(), c.rowLength);
  EXPECT_EQ(m.attrValues().size(), c.attributes);
  EXPECT_EQ(m.varIndex().at("Y_0"), 1);
  EXPECT_EQ(m.varIndex().at("ALPHA"), c.ndata + 1);
  EXPECT_EQ(m.varIndex().at("BETA"), c.ndata + 2);
  if (n > 0) {
    EXPECT_EQ(m.varIndex().at("GAMMA_" + m.indeps().front()), c.ndata + 3);
  }
  if (c.overcrack) {
    EXPECT_EQ(m.varIndex().at("OVERCRACK_PARAM"), c.ndata + 3 + n);
    EXPECT_EQ(m.varIndex().at("OVERCRACK_RATE"), c.ndata + 4 + n);
  }
  EXPECT_EQ(m.eqnIndex().at("EQN_0"), 1);

  Session s(made);  // placed at variable 101, equation 11, non-zero 501
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(s.session->ranges().nVars, 1000);
  EXPECT_EQ(s.session->ranges().nEqns, c.ndata);
  EXPECT_EQ(s.session->ranges().nNz, 5000);
  EXPECT_EQ(static_cast<int>(s.system().variables().size()), c.variables);
  EXPECT_EQ(s.system().unknowns().size(), s.system().variables().size());  // the block fixes nothing
  ASSERT_EQ(static_cast<int>(s.system().nonZeros().size()), c.ndata * c.rowLength);
  const auto& nz = s.system().nonZeros();
  EXPECT_EQ(nz.front().var, s.number("ALPHA"));
  EXPECT_EQ(nz[static_cast<std::size_t>(c.rowLength) - 1].var, s.number("Y_0"));
  if (c.ndata > 1) {  // the second row starts right after the first
    EXPECT_EQ(nz[static_cast<std::size_t>(c.rowLength)].nz, 501 + c.rowLength);
    EXPECT_EQ(nz[static_cast<std::size_t>(c.rowLength)].eqn, 12);
  }
  EXPECT_EQ(s.impl().nzlast(), 500 + c.ndata * c.rowLength);
}

INSTANTIATE_TEST_SUITE_P(Cases, ModelShape,
                         ::testing::Values(ShapeCase{"NOKIND", "C3FRAC", 2, 4, 3, 5, false},
                                           ShapeCase{"FCC_GO_2N", "LCNFRAC", 2, 22, 21, 53, true},
                                           ShapeCase{"REF_CONT_1R", "LCNFRAC", 2, 9, 8, 20, false},
                                           ShapeCase{"XFCC_GO_2N", "LCNFRAC", 1, 19, 19, 36, false},
                                           ShapeCase{"VB_SKR", "NAPFRAC", 2, 15, 14, 38, false},
                                           ShapeCase{"COKER", "C3FRAC", 1, 14, 14, 26, false}),
                         [](const auto& info) { return std::string(info.param.rx); });

bool creatable(const std::vector<std::string>& options) {
  QivEOBlock* made = create("ROTUNING", options);
  if (made) made->Destroy();  // the framework ends a block through Destroy
  return made != nullptr;
}

TEST(TuningModel, ConfigurationsBeyondTheDeclaredSizesAreRefused) {
  // 18 FCC tags in the overcrack case: 23 non-zeros a row, so 217 points fit 5000.
  EXPECT_TRUE(creatable({"RX:FCC_GO_3N1H", "DEPVAR:HCNFRAC", "NDATA:217"}));
  EXPECT_FALSE(creatable({"RX:FCC_GO_3N1H", "DEPVAR:HCNFRAC", "NDATA:218"}));
  // No tags: NDATA + 2 variables of 1000.
  EXPECT_TRUE(creatable({"RX:NOKIND", "NDATA:998"}));
  EXPECT_FALSE(creatable({"RX:NOKIND", "NDATA:999"}));
  EXPECT_THROW(rotuningmodel("T1", "COKER", "C3FRAC", 0), std::invalid_argument);
}

TEST(TuningModel, ARefusedEquationRegistrationFailsTheSetUp) {
  for (const int offset : {-1, 0, 2}) {  // none taken, the first and the last of three points
    const FrameworkLists lists;
    QivEOBlock* made = create("ROTUNING", {"RX:COKER", "DEPVAR:C3FRAC", "NDATA:3"});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(lists.setUpWithEquationTaken(dynamic_cast<QivEOBlockImpl&>(*made), offset), offset < 0 ? 0 : 1) << offset;
    made->Destroy();
  }
}

// ---- Attributes -------------------------------------------------------------------------

TEST(TuningModel, AttributesFollowTheFrameworksAndTakeNumbersOnly) {
  rotuningmodel m("T1", "COKER", "C3FRAC", 11);
  const int base = m.QivEOBlockImpl::attr_num();
  const int own = static_cast<int>(m.attrValues().size());
  EXPECT_EQ(own, 11 * 12 + 11 + 3);
  EXPECT_EQ(m.attr_num(), base + own);
  EXPECT_STREQ(m.attr_name(base), "ALPHA_SCALE_ERROR");
  int k = base;  // byte order: FEEDMASS_1, FEEDMASS_10, FEEDMASS_2
  while (k < base + own && std::string(m.attr_name(k)) != "FEEDMASS_1") ++k;
  EXPECT_STREQ(m.attr_name(k + 1), "FEEDMASS_10");
  EXPECT_STREQ(m.attr_name(k + 2), "FEEDMASS_2");
  EXPECT_EQ(m.attr_name(base + own), nullptr);

  value_t v, out;
  value_assign_integer(&v, 3);
  EXPECT_TRUE(m.attr_assign_value("FEEDMASS_0", v));
  EXPECT_TRUE(m.attr_lookup_value("FEEDMASS_0", &out));
  EXPECT_EQ(out.dval, 3.0);
  EXPECT_TRUE(m.attr_lookup_value("FEEDMASS_0", nullptr));
  EXPECT_EQ(m.attr_assign_value("NOT_OWN", v), m.QivEOBlockImpl::attr_assign_value("NOT_OWN", v));
  EXPECT_EQ(static_cast<int>(m.attrValues().size()), own);
  value_assign_string(&v, strdup("5"));  // a text or a non-finite number is refused
  EXPECT_FALSE(m.attr_assign_value("FEEDMASS_0", v));
  value_assign_double(&v, std::numeric_limits<double>::infinity(), 0, 1);
  EXPECT_FALSE(m.attr_assign_value("FEEDMASS_0", v));
  EXPECT_EQ(m.attrValues().at("FEEDMASS_0"), 3.0);
  EXPECT_STREQ(m.attr_describe("YNN_0")->name, "YNN_0");

  EXPECT_TRUE(m.isof_type("rotuning"));
  EXPECT_EQ(m.isof_type("ROTUNING"), m.QivEOBlockImpl::isof_type("ROTUNING"));
  char type[64];
  m.inq_model_type(type);
  EXPECT_STREQ(type, "rotuning");
}

// ---- Network runs ---------------------------------------------------------------------------

// A set-up model whose variables take the given values (all free: the values
// are written straight into the framework's vector).
Session modelSession(const std::vector<std::string>& options, const Values& attributes, const Values& values) {
  Session s(create("ROTUNING", options), {}, attributes);
  EXPECT_TRUE(s.setUp.ok()) << s.setUp.message;
  for (const auto& [name, v] : values) s.value(name) = v;
  return s;
}

TEST(TuningModelRuns, PredictPointsFromTheirAttributesOnceUntilTheDataChange) {
  AffineNetworks nets;
  // A mixed-case tag finds the attribute of the upper-case name.
  nets.write("COKER", "C3FRAC", {{"FeedCcr", 2e-3}, {"DRUMINLETTEMP", 1e-5}}, 0.5);
  Session s = modelSession({"RX:COKER", "DEPVAR:C3FRAC", "NDATA:2"},
                           {{"FEEDCCR_0", 20}, {"DRUMINLETTEMP_0", 900}, {"FEEDCCR_1", 22}, {"DRUMINLETTEMP_1", 910},
                            {"FEEDSG_1", 1.05}},
                           {{"ALPHA", 1.1}, {"BETA", 0.01}, {"GAMMA_FEEDSG", 0.5}, {"Y_0", 0.6}, {"Y_1", 0.7}});
  for (const auto& [name, index] : model(s.block).varIndex())
    if (name.rfind("GAMMA_", 0) == 0 && name != "GAMMA_FEEDSG") s.value(name) = 0.0;
  ASSERT_EQ(s.res(), 0);
  const double y0 = 0.5 + 2e-3 * 20 + 1e-5 * 900, y1 = 0.5 + 2e-3 * 22 + 1e-5 * 910;
  EXPECT_DOUBLE_EQ(model(s.block).nnPredictions()[0], y0);
  EXPECT_DOUBLE_EQ(model(s.block).nnPredictions()[1], y1);
  EXPECT_NEAR(s.residual("EQN_1"), 1.1 * y1 + 0.01 + 0.5 * 1.05 - 0.7, 1e-15);

  ASSERT_EQ(s.jac(), 0);  // ALPHA, BETA, 11 GAMMAs, Y_1
  EXPECT_DOUBLE_EQ(s.jacobian(501 + 14), y1);
  EXPECT_EQ(s.jacobian(501 + 15), 1.0);
  EXPECT_EQ(s.jacobian(501 + 16), 0.0);      // GAMMA_FEEDMASS: FEEDMASS_1 is 0
  EXPECT_EQ(s.jacobian(501 + 14 + 13), -1.0);

  const long long runs = DIVeduded::runsOf("COKER_C3FRAC.zkr");
  EXPECT_EQ(s.res(), 0);
  EXPECT_EQ(DIVeduded::runsOf("COKER_C3FRAC.zkr"), runs);  // predictions kept
  romhost::AttributeValue ccr;
  ccr.real = 30;
  ASSERT_TRUE(s.session->assignAttribute("FEEDCCR_0", ccr).ok());
  EXPECT_EQ(s.res(), 0);
  EXPECT_EQ(DIVeduded::runsOf("COKER_C3FRAC.zkr"), runs + 2);  // new data, new predictions
  EXPECT_DOUBLE_EQ(model(s.block).nnPredictions()[0], 0.5 + 2e-3 * 30 + 1e-5 * 900);
}

TEST(TuningModelRuns, OnlyTheSkrVisbreakerTakesPounds) {
  AffineNetworks nets;
  for (const char* kind : {"VB_SKR", "VB_NOSKR"}) {
    nets.write(kind, "NAPFRAC", {{"FEEDMASS", 1.0}});
    Session s = modelSession({std::string("RX:") + kind, "DEPVAR:NAPFRAC", "NDATA:1"}, {{"FEEDMASS_0", 1000}}, {});
    ASSERT_EQ(s.res(), 0);
    EXPECT_DOUBLE_EQ(model(s.block).nnPredictions()[0], std::string(kind) == "VB_SKR" ? 2204.62 : 1000.0) << kind;
  }
}

TEST(TuningModelRuns, AFailedRunIsReportedAndRunAgain) {
  AffineNetworks nets;
  nets.write("COKER", "C3FRAC", {{"FEEDMASS", 10.0}});
  // Point 1 overflows the network: its Run gives a non-finite result.
  Session s = modelSession({"RX:COKER", "DEPVAR:C3FRAC", "NDATA:3"},
                           {{"FEEDMASS_0", 1}, {"FEEDMASS_1", 1e308}, {"FEEDMASS_2", 3}}, {});
  EXPECT_EQ(s.res(), DIV_NON_FINITE);
  const std::vector<double>& ynn = model(s.block).nnPredictions();
  EXPECT_EQ(ynn, (std::vector<double>{10.0, 0.0, 0.0}));
  EXPECT_TRUE(model(s.block).runPending());
  EXPECT_EQ(s.jac(), DIV_NON_FINITE);  // tried again, never silently on stale predictions
  romhost::AttributeValue fixed;
  fixed.real = 2;
  ASSERT_TRUE(s.session->assignAttribute("FEEDMASS_1", fixed).ok());
  EXPECT_EQ(s.res(), 0);
  EXPECT_EQ(ynn, (std::vector<double>{10.0, 20.0, 30.0}));
}

TEST(TuningModelRuns, MissingNetworksAndUnknownInputsFailTheEvaluation) {
  AffineNetworks nets;
  Session missing = modelSession({"RX:COKER", "DEPVAR:C3FRAC", "NDATA:1"}, {}, {});
  EXPECT_EQ(missing.res(), DIV_MISSING_FILE);
  EXPECT_EQ(missing.jac(), DIV_MISSING_FILE);
  // An input outside the coker's tags has no point attribute.
  nets.write("COKER", "C3FRAC", {{"FEEDTEMP", 1.0}});
  EXPECT_EQ(missing.res(), 1);
  // An overcrack kind without the FCC tag list has no plenum temperature of its points.
  nets.write("FCCX", "LCNFRACTOTAL", {{"REACTORPLENUMTEMP", 1.0}});
  nets.write("FCCX", "LCNFRACDIFF", {{"REACTORPLENUMTEMP", 1.0}});
  Session tagless = modelSession({"RX:FCCX", "DEPVAR:LCNFRAC", "NDATA:1"}, {}, {});
  EXPECT_TRUE(model(tagless.block).overcrack());
  EXPECT_EQ(tagless.res(), 1);
  EXPECT_EQ(tagless.jac(), 1);
}

TEST(TuningModelRuns, OvercrackPairWithExactColumns) {
  AffineNetworks nets;
  nets.write("FCC_GO_3N", "HCNFRACTOTAL", {{"REACTORPLENUMTEMP", 1e-4}, {"ECATMAT", 1e-3}}, 0.01);
  nets.write("FCC_GO_3N", "HCNFRACDIFF", {{"REACTORPLENUMTEMP", 2e-5}, {"ECATMAT", 1e-2}});
  const double alpha = 1.2, rate = 0.5, param = 1.1;
  Session s = modelSession({"RX:FCC_GO_3N", "DEPVAR:HCNFRAC", "NDATA:2"},
                           {{"REACTORPLENUMTEMP_0", 975}, {"ECATMAT_0", 70}, {"REACTORPLENUMTEMP_1", 990}, {"ECATMAT_1", 72}},
                           {{"ALPHA", alpha}, {"BETA", 0.0}, {"OVERCRACK_RATE", rate}, {"OVERCRACK_PARAM", param}});
  for (const std::string& tag : model(s.block).indeps()) s.value("GAMMA_" + tag) = 0.0;
  ASSERT_EQ(s.res(), 0);
  ASSERT_EQ(s.jac(), 0);
  const double total = 0.01 + 1e-4 * 990 + 1e-3 * 72;
  const double diff = 2e-5 * 990 * param + 1e-2 * 72;  // the plenum temperature scaled for DIFF only
  EXPECT_NEAR(model(s.block).nnPredictions()[1], total - rate * diff, 1e-15);
  EXPECT_DOUBLE_EQ(model(s.block).diffDerivatives()[1].at("REACTORPLENUMTEMP"), -2e-5);
  EXPECT_DOUBLE_EQ(model(s.block).diffDerivatives()[1].at("ECATMAT"), -1e-2);
  // Row 1: ALPHA, BETA, 17 GAMMAs, OVERCRACK_PARAM, OVERCRACK_RATE, Y_1.
  const int row = 501 + 22;
  EXPECT_NEAR(s.jacobian(row + 19), alpha * rate * -2e-5 * 990.0, 1e-15);  // ALPHA RATE H T
  EXPECT_NEAR(s.jacobian(row + 20), -alpha * diff, 1e-15);

  // The pair runs at every evaluation, with the current overcrack variables.
  const long long runs = DIVeduded::runsOf("FCC_GO_3N_HCNFRACDIFF.zkr");
  s.value("OVERCRACK_RATE") = 0.0;
  ASSERT_EQ(s.res(), 0);
  EXPECT_EQ(DIVeduded::runsOf("FCC_GO_3N_HCNFRACDIFF.zkr"), runs + 2);
  EXPECT_NEAR(model(s.block).nnPredictions()[0], 0.01 + 1e-4 * 975 + 1e-3 * 70, 1e-15);  // TOTAL alone
}

// A pair whose total network cannot be opened for a while: its runner answers
// no tags, the evaluations fail, and once the file is back the next
// evaluation matches the tags again and predicts as before.
TEST(TuningModelRuns, OvercrackPairRunsAgainOnceAMissingNetworkIsBack) {
  AffineNetworks nets;
  nets.write("FCC_GO_3N", "HCNFRACTOTAL", {{"REACTORPLENUMTEMP", 1e-4}, {"ECATMAT", 1e-3}}, 0.01);
  nets.write("FCC_GO_3N", "HCNFRACDIFF", {{"REACTORPLENUMTEMP", 2e-5}, {"ECATMAT", 1e-2}});
  Session s = modelSession({"RX:FCC_GO_3N", "DEPVAR:HCNFRAC", "NDATA:1"},
                           {{"REACTORPLENUMTEMP_0", 975}, {"ECATMAT_0", 70}},
                           {{"ALPHA", 1.0}, {"BETA", 0.0}, {"OVERCRACK_RATE", 0.5}, {"OVERCRACK_PARAM", 1.1}});
  ASSERT_EQ(s.res(), 0);
  const double total = 0.01 + 1e-4 * 975 + 1e-3 * 70, diff = 2e-5 * 975 * 1.1 + 1e-2 * 70;
  EXPECT_NEAR(model(s.block).nnPredictions()[0], total - 0.5 * diff, 1e-15);

  const auto file = nets / "FCC_GO_3N" / "FCC_GO_3N_HCNFRACTOTAL.zkr";
  const auto away = nets / "away.zkr";
  std::filesystem::rename(file, away);
  EXPECT_NE(s.res(), 0);
  EXPECT_NE(s.jac(), 0);
  std::filesystem::rename(away, file);
  EXPECT_EQ(s.res(), 0);
  EXPECT_NEAR(model(s.block).nnPredictions()[0], total - 0.5 * diff, 1e-15);
  EXPECT_EQ(s.jac(), 0);
}

}  // namespace
}  // namespace tuning_test
