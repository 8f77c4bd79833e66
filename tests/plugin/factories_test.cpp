// The three factories: option grammar, defaults, SUBID dispatch to the family
// creators (spies in the creator table), the tuning factories' rules, and no
// exception out of create.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/creators.h"
#include "plugin/factories.h"
#include "tests/core/test_model.h"
#include "tests/support/factory.h"

namespace {

enum class Fam { None, Coker, Fcc, Hcr, Ref, Vb };

struct Spy {
  Fam family = Fam::None;
  int calls = 0;
  std::optional<BlockRequest> request;
  bool give = true, throwInPrepare = false;
  std::vector<std::string> steps;  // what happened to the block, in order
  int alive = 0;
  std::string rx, depvar;
  int ndata = 0;
  std::optional<TuningBalanceForm> form;
} spy;

class SpyBlock : public testmodel {
 public:
  explicit SpyBlock(const char* name) : testmodel(name, "") { ++spy.alive; }
  ~SpyBlock() override { --spy.alive; }
  void setLEBasis(const char* b) override { spy.steps.push_back(std::string("LE:") + b), testmodel::setLEBasis(b); }
  void setHLBasis(const char* b) override { spy.steps.push_back(std::string("HL:") + b), testmodel::setHLBasis(b); }
  void prepare() override {
    spy.steps.push_back("prepare");
    if (spy.throwInPrepare) throw std::runtime_error("prepare failed");
    testmodel::prepare();
  }
};

template <Fam F>
std::unique_ptr<robase> reactorSpy(const BlockRequest& r) {
  spy.family = F, ++spy.calls, spy.request = r, spy.steps.push_back("created");
  return spy.give ? std::make_unique<SpyBlock>(r.name) : nullptr;
}
std::unique_ptr<QivEOBlock> modelSpy(const char* name, const std::string& rx, const std::string& depvar, int ndata) {
  ++spy.calls, spy.rx = rx, spy.depvar = depvar, spy.ndata = ndata;
  return std::make_unique<QivEOBlockImpl>(name);
}
std::unique_ptr<QivEOBlock> balanceSpy(TuningBalanceForm form, const char* name, const std::string& rx) {
  ++spy.calls, spy.form = form, spy.rx = rx;
  return std::make_unique<QivEOBlockImpl>(name);
}

class Factories : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = creatorTable();
    creatorTable() = CreatorTable{&reactorSpy<Fam::Coker>, &reactorSpy<Fam::Fcc>, &reactorSpy<Fam::Hcr>,
                                  &reactorSpy<Fam::Ref>,   &reactorSpy<Fam::Vb>,  &modelSpy, &balanceSpy};
    spy = Spy{};
    rtdev_clear(rtHisDev);
  }
  void TearDown() override {
    if (block) block->Destroy();
    creatorTable() = saved;
    EXPECT_EQ(spy.alive, 0);
  }
  // Creates with these option texts; keeps the block (or null) in `block`.
  QivEOBlock* create(QivBlkFactory& f, const std::vector<std::string>& texts) {
    if (block) block->Destroy();  // the previous block is gone first
    block = romtest::createBlock(f, "B1", texts);
    return block;
  }
  robase* reactor() const { return dynamic_cast<robase*>(block); }

  CreatorTable saved;
  QivEOBlock* block = nullptr;
  rofactory morvane;
  rotuningmodelfactory tuning;
  rotuningbalancefactory balance;
};

struct DispatchCase {
  std::vector<std::string> options;
  Fam family;  // None: no creator reached, no block
  BlockGeneration generation = BlockGeneration::First;
  const char* subid = "";
  const char* kind = "";
};

class Morvane : public Factories, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(Morvane, DispatchesBySubidAndVersion) {
  const DispatchCase& c = GetParam();
  create(morvane, c.options);
  EXPECT_EQ(block != nullptr, c.family != Fam::None);
  EXPECT_EQ(spy.calls, c.family == Fam::None ? 0 : 1);
  if (c.family == Fam::None) return;
  EXPECT_EQ(spy.family, c.family);
  EXPECT_EQ(spy.request->generation, c.generation);
  EXPECT_EQ(spy.request->subid, c.subid);
  EXPECT_EQ(spy.request->modelKind, c.kind);
  // The factory names the kind of second-generation and hydrocracker blocks.
  const bool assigned = c.generation == BlockGeneration::Second || c.family == Fam::Hcr;
  EXPECT_EQ(reactor()->modelKind(), assigned ? c.kind : "");
}

using G = BlockGeneration;
INSTANTIATE_TEST_SUITE_P(
    Options, Morvane,
    ::testing::Values(DispatchCase{{"subid:rofccgo2n", "version:37.0.0"}, Fam::Fcc, G::Second, "ROFCCGO2N", "FCC_GO_2N"},
                      DispatchCase{{"SUBID:ROFCCGO2N", "VERSION:36.9.9"}, Fam::Fcc, G::First, "ROFCCGO2N", "FCC_GO_2N"},
                      DispatchCase{{"SUBID:ROFCCGOR3N1H"}, Fam::Fcc, G::First, "ROFCCGOR3N1H", "FCC_GOR_3N1H"},
                      DispatchCase{{"SUBID:ROFCCGO2N", "VERSION:37"}, Fam::Fcc, G::First, "ROFCCGO2N", "FCC_GO_2N"},
                      DispatchCase{{"SUBID:ROFCCGO2N", "VERSION:-1.0.0"}, Fam::Fcc, G::Second, "ROFCCGO2N", "FCC_GO_2N"},
                      DispatchCase{{"MYSUBIDX:ROVBSKR"}, Fam::Vb, G::First, "ROVBSKR", "VB_SKR"},
                      DispatchCase{{"SUBID:ROCOKER", "VERSION:38.1.0"}, Fam::Coker, G::Second, "ROCOKER", "COKER"},
                      DispatchCase{{"SUBID:ROHCRMILD"}, Fam::Hcr, G::First, "ROHCRMILD", "HCR_MILD"},
                      DispatchCase{{"SUBID:ROREFCONTA", "SUBID:ROREFSEMI2R"}, Fam::Ref, G::First, "ROREFSEMI2R",
                                   "REF_SEMI_2R"},
                      DispatchCase{{"SUBID"}, Fam::None}, DispatchCase{{"SUBID:ROFCCGO2NX"}, Fam::None},
                      DispatchCase{{"SUBID:ROREFSEMI3R"}, Fam::None}, DispatchCase{{"SUBID:ROCOKERX"}, Fam::None},
                      DispatchCase{{"VERSION:37.0.0"}, Fam::None},
                      DispatchCase{{"SUBID:ROCOKER", "VERSION:.1.2"}, Fam::None},
                      DispatchCase{{"SUBID:ROCOKER", "VERSION:99999999999.0.0"}, Fam::None}));

TEST_F(Factories, MorvaneDefaultsBasesAndSteps) {
  ASSERT_NE(create(morvane, {"SUBID:ROCOKER"}), nullptr);
  EXPECT_EQ(spy.request->basisNA, "NA");
  EXPECT_EQ(spy.request->version, (VerInfo{35, 0, 0}));
  EXPECT_EQ(spy.steps, (std::vector<std::string>{"created", "LE:MASS", "HL:MASS", "prepare"}));
  ASSERT_NE(create(morvane, {"SUBID:ROREFSEMI1R", "basis_le:volume", "Basis_HL:Volume", "BASIS_NA:abc"}), nullptr);
  EXPECT_EQ(reactor()->leBasis() * 10 + reactor()->hlBasis(), 22);
  EXPECT_EQ(spy.request->basisNA, "ABC");
  EXPECT_EQ(create(morvane, {"BASIS_LE:MOLAR"}), nullptr);  // each create starts from the defaults
  EXPECT_EQ(morvane.subid(), "");
}

TEST_F(Factories, UnrecognizedOptionsAreReportedAsTextAndTheBlockBuilt) {
  ASSERT_NE(create(morvane, {"FOO:1", "%n%s:2", "SUBID:ROCOKER"}), nullptr);
  ASSERT_NE(create(balance, {"BAR:1", "RX:XYZ"}), nullptr);
  EXPECT_EQ(rtdev_lines(rtHisDev), (std::vector<std::string>{"Unrecognized option: FOO ", "Unrecognized option: %N%S ",
                                                              "Unrecognized option: BAR "}));
}

TEST_F(Factories, OptionsMustBeAListOfTexts) {
  value_t text;
  value_assign_string(&text, _strdup("SUBID:ROCOKER"));
  EXPECT_EQ(morvane.create("B1", &text), nullptr);
  EXPECT_EQ(tuning.create("B1", nullptr), nullptr);
  EXPECT_EQ(balance.create("B1", &text), nullptr);
  value_clear(&text);
  value_t* options = value_make_list();
  gl_append(options->list, nullptr);
  gl_append(options->list, value_make_list());
  gl_append(options->list, value_make_string("SUBID:ROCOKER"));
  block = morvane.create("B1", options);
  value_destroy(options);
  EXPECT_NE(block, nullptr);
}

TEST_F(Factories, FailuresDeleteThePartlyBuiltBlock) {
  spy.throwInPrepare = true;
  EXPECT_EQ(create(morvane, {"SUBID:ROCOKER"}), nullptr);
  EXPECT_EQ(spy.alive, 0);
  spy.give = false;
  EXPECT_EQ(create(morvane, {"SUBID:ROCOKER"}), nullptr);
  creatorTable() = saved;  // a family without a class for the SUBID gives no block
  EXPECT_EQ(create(morvane, {"SUBID:ROVBUNKNOWN"}), nullptr);
  EXPECT_STREQ(morvane.error_text(), "Block creation failed");
}

TEST_F(Factories, TuningModelNeedsRxAndData) {
  const std::vector<std::vector<std::string>> refused = {
      {"RX:COKER"}, {"RX:COKER", "NDATA:0"}, {"RX:COKER", "NDATA:abc"}, {"RX:COKER", "NDATA:99999999999"}, {"NDATA:5"}};
  for (const auto& options : refused) EXPECT_EQ(create(tuning, options), nullptr);
  EXPECT_EQ(spy.calls, 0);
  ASSERT_NE(create(tuning, {"FOO:1", "rx:coker", "NDATA:12ABC", "depvar:c3frac"}), nullptr);
  EXPECT_EQ(spy.rx + "/" + spy.depvar + "/" + std::to_string(spy.ndata), "COKER/C3FRAC/12");
  EXPECT_TRUE(rtdev_lines(rtHisDev).empty());  // other keys skipped silently
}

TEST_F(Factories, TuningBalanceFormByWhatRxContains) {
  using F = TuningBalanceForm;
  const std::pair<const char*, F> forms[] = {{"RX:FCC_GO_2N", F::FCC}, {"RX:VBFCC", F::FCC}, {"rx:ref_semi_1r", F::REF},
                                             {"RX:VB_SKR", F::VB},     {"RX:COKER", F::COK}, {"RX:HCR_D", F::HCR},
                                             {"RX:XYZ", F::Base}};
  for (const auto& [option, form] : forms) {
    ASSERT_NE(create(balance, {option}), nullptr) << option;
    EXPECT_EQ(spy.form, form) << option;
  }
  EXPECT_EQ(spy.rx, "XYZ");
  spy.calls = 0;
  EXPECT_EQ(create(balance, {"RX:"}), nullptr);
  EXPECT_EQ(create(balance, {}), nullptr);
  EXPECT_EQ(spy.calls, 0);
}

}  // namespace
