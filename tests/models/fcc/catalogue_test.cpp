// The FCC variable catalogue and equation records: numbering, maps,
// derivative tables, registration order, a failing registration, release.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/models/fcc/fcc_test_slate.h"

namespace {

TEST(FccCatalogue, TwoNSlateNumbersTheCatalogueInCreationOrder) {
  fcctestslate block("FCC_GO_2N");
  block.prepare();
  const auto& catalogue = fccCatalogue();
  for (std::size_t i = 0; i < catalogue.size(); ++i)
    EXPECT_EQ(block.lookup(catalogue[i].map, catalogue[i].name)->index, static_cast<int>(i) + 1) << catalogue[i].name;
  EXPECT_EQ(block.find("FEEDMASS")->index, 1);
  EXPECT_EQ(block.find("HCNCUTOFF")->index, 148);
  std::vector<std::size_t> sizes;
  for (int m = 0; m <= static_cast<int>(FccMap::Calc); ++m) sizes.push_back(block.varMap(static_cast<FccMap>(m)).size());
  EXPECT_EQ(sizes, (std::vector<std::size_t>{16, 52, 1, 11, 2, 14, 52}));  // input, output, factor, volume, molar, constants, calculated
  EXPECT_EQ(block.find("FEEDVOL")->baseUnit, "CUM/HR");
  EXPECT_EQ(block.find("FEEDVOL")->dispUnit, "KBBL/DAY");
  EXPECT_EQ(block.find("C5SFRAC")->lower, -1.0);
  EXPECT_EQ(block.find("H2SSULFUR")->upper, 32.065 / 34.08088);
}

TEST(FccCatalogue, DerivativeTablesHoldExactlyTheModelInputs) {
  fcctestslate block("FCC_GO_2N");
  block.prepare();
  for (const auto& [name, out] : block.m_nnOutputVars) {
    ASSERT_EQ(out->derivs.size(), 16u) << name;
    EXPECT_EQ(out->derivs.begin()->first, "CATCOOLERDUTY");
    EXPECT_EQ(out->derivs.rbegin()->first, "ZSMPCT");
    for (const auto& [input, d] : out->derivs) EXPECT_TRUE(block.m_inputVars.count(input) && d == 0.0) << input;
  }
  for (const char* name : {"MASSFACTOR", "FEEDVOL", "FGSMOL", "C5SMASS"}) EXPECT_TRUE(block.find(name)->derivs.empty());
  fcctestslate cuts("FCC_GO_3N1H", kSlate3N1H);  // a slate's own inputs come first and are in the tables
  cuts.prepare();
  EXPECT_EQ(cuts.find("FEEDMASS")->index, 33);
  EXPECT_EQ(cuts.find("C5SFRAC")->derivs.count("HCOECP"), 1u);
}

struct IndexCase {
  const char* name;
  int index;
};
class FccRecordIndex : public ::testing::TestWithParam<IndexCase> {};

TEST_P(FccRecordIndex, TwoNSlate) {
  fcctestslate block("FCC_GO_2N");
  block.prepare();
  ASSERT_EQ(block.allRecords().size(), 118u);
  const ROMEqn* e = block.findRecord(GetParam().name);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->index, GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, FccRecordIndex,
    ::testing::Values(IndexCase{"Y_BOTCCR", 1}, IndexCase{"Y_UC4FRAC", 52}, IndexCase{"MASS_BAL", 53},
                      IndexCase{"SULFUR_BAL", 54}, IndexCase{"EQN_FGSMASS", 55}, IndexCase{"EQN_H2SMASS", 67},
                      IndexCase{"EQN_COKSULPPM", 86}, IndexCase{"CONV_BOTVOL", 87}, IndexCase{"CONV_C32VOL", 88},
                      IndexCase{"CONV_C3VOL", 89}, IndexCase{"CONV_FGSMOL", 98}, IndexCase{"EQN_COKFOE", 100},
                      IndexCase{"EQN_CONVERSION", 118}));

// Registers through robase, records the order, and fails at one name.
class recordingslate : public fcctestslate {
 public:
  using fcctestslate::fcctestslate;
  void createPELMOEquation(ROMEqn* eqn, long long& status) override {
    registered.push_back(eqn->name);
    if (eqn->name == failAt) status = 7;
    else fcctestslate::createPELMOEquation(eqn, status);
  }
  std::vector<std::string> registered;
  std::string failAt;
};

const std::vector<std::string> kAfterAdjustment = {
    "MASS_BAL", "SULFUR_BAL", "EQN_FGSMASS", "EQN_H2SMASS", "EQN_C3MASS", "EQN_C32MASS", "EQN_NC4MASS",
    "EQN_IC4MASS", "EQN_UC4MASS", "EQN_C5SMASS", "EQN_LCNMASS", "EQN_HCNMASS", "EQN_LCOMASS", "EQN_BOTMASS",
    "EQN_COKMASS", "EQN_FEEDSULMASS", "EQN_C5SSULMASS", "EQN_LCNSULMASS", "EQN_HCNSULMASS", "EQN_LCOSULMASS",
    "EQN_BOTSULMASS", "EQN_COKSULMASS", "EQN_C5SSUL", "EQN_LCNSUL", "EQN_HCNSUL", "EQN_LCOSUL", "EQN_BOTSUL",
    "EQN_COKSUL", "EQN_C5SSULPPM", "EQN_LCNSULPPM", "EQN_HCNSULPPM", "EQN_LCOSULPPM", "EQN_BOTSULPPM",
    "EQN_COKSULPPM", "CONV_BOTVOL", "CONV_C32VOL", "CONV_C3VOL", "CONV_C5SVOL", "CONV_FEEDVOL", "CONV_HCNVOL",
    "CONV_IC4VOL", "CONV_LCNVOL", "CONV_LCOVOL", "CONV_NC4VOL", "CONV_UC4VOL", "CONV_FGSMOL", "CONV_H2SMOL",
    "EQN_COKFOE", "EQN_FGSFOE", "EQN_H2SFOE", "EQN_C3MIXMASS", "EQN_C3MIXVOL", "EQN_C4MIXMASS", "EQN_C4MIXVOL",
    "EQN_UNSATINC3MIX", "EQN_SATINC3MIX", "EQN_UNSATINC4MIX", "EQN_NSATINC4MIX", "EQN_ISATINC4MIX",
    "EQN_UNSATINC3MIXVOL", "EQN_SATINC3MIXVOL", "EQN_UNSATINC4MIXVOL", "EQN_NSATINC4MIXVOL", "EQN_ISATINC4MIXVOL",
    "EQN_C5SRVI", "EQN_CONVERSION"};

class FccRegistration : public ::testing::TestWithParam<const char*> {};

// "" registers everything; otherwise the registration fails at that record.
TEST_P(FccRegistration, StatedOrderStoppingAtTheFirstFailure) {
  recordingslate block("FCC_GO_2N");
  block.prepare();
  const romtest::FrameworkLists lists(PreparedSlate::kCapacity);  // only the equation list is handed over
  rtattrdict_t* eqns = lists.eqns;
  block.setPositions(101, 51, 301);
  block.attachMatrix(nullptr, eqns, nullptr);
  block.failAt = GetParam();
  long long status = -1;
  block.createPELMOEquations(status);
  std::vector<std::string> expected;
  for (const auto& e : block.m_adjEqns) expected.push_back(e.first);
  expected.insert(expected.end(), kAfterAdjustment.begin(), kAfterAdjustment.end());
  const auto stop = std::find(expected.begin(), expected.end(), block.failAt);
  if (stop != expected.end()) expected.erase(stop + 1, expected.end());
  EXPECT_EQ(block.registered, expected);
  EXPECT_EQ(status, block.failAt.empty() ? 0 : 7);
  EXPECT_EQ(rtoeqnlst_registered_count(eqns), block.failAt.empty() ? 118 : static_cast<int>(expected.size()) - 1);
  if (block.failAt.empty()) {  // the framework number follows from the index, not from the order
    EXPECT_STREQ(rtoeqnlst_name(eqns, 51 + 67 - 1), "FCC1.EQN_H2SMASS");
  }
}

INSTANTIATE_TEST_SUITE_P(Points, FccRegistration,
                         ::testing::Values("", "Y_BOTCCR", "MASS_BAL", "EQN_FGSMASS", "CONV_C3VOL", "EQN_CONVERSION"));

TEST(FccRecords, SlateCutRecordsComeFirstAndAreRegistered) {
  PreparedSlate p("FCC_GO_3N1H", kSlate3N1H);
  EXPECT_EQ(p.iniStatus, 0);
  EXPECT_EQ(p.block->allRecords().size(), 147u);
  EXPECT_EQ(p.block->record(FccRecord::HCOMass)->index, 5);
  EXPECT_EQ(p.block->m_massBalEqn->index, 80);
  EXPECT_EQ(rtoeqnlst_registered_count(p.eqns), 147);
}

TEST(FccRecords, DestroyingPreparedBlocksFreesEveryRecordOnce) {
  for (SlateShape shape : {kSlate2N, kSlate3N1H}) {
    PreparedSlate p(shape.cuts ? "FCC_GO_3N1H" : "FCC_GO_2N", shape);
    p.block->commonDestructor();  // harmless when the destructor runs it again
    p.block.release()->Destroy();  // the sanitizer build reports a leak or a double free
  }
}

}  // namespace
