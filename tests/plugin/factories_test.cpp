// The three factories: option grammar, defaults, SUBID dispatch to the family
// creators (spies in the creator table), the tuning factories' rules, and the
// guarantee that create never lets an exception out.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "plugin/creators.h"
#include "plugin/factories.h"
#include "tests/core/test_model.h"

namespace {

// ---- Spies ------------------------------------------------------------------

enum class Fam { None, Coker, Fcc, Hcr, Ref, Vb };

struct Spy {
  int calls = 0;
  Fam family = Fam::None;
  std::optional<BlockRequest> request;
  bool give = true;          // hand back a block
  bool throwInPrepare = false;
  std::vector<std::string> steps;  // what the factory called on the block
  int alive = 0;                   // spy blocks not yet destroyed
};
Spy spy;

class SpyBlock : public testmodel {
 public:
  explicit SpyBlock(const char* name) : testmodel(name, "") { ++spy.alive; }
  ~SpyBlock() override { --spy.alive; }
  void setLEBasis(const char* b) override {
    spy.steps.push_back(std::string("LE:") + b);
    testmodel::setLEBasis(b);
  }
  void setHLBasis(const char* b) override {
    spy.steps.push_back(std::string("HL:") + b);
    testmodel::setHLBasis(b);
  }
  void prepare() override {
    spy.steps.push_back("prepare");
    if (spy.throwInPrepare) throw std::runtime_error("prepare failed");
    testmodel::prepare();
  }
};

template <Fam F>
std::unique_ptr<robase> reactorSpy(const BlockRequest& r) {
  ++spy.calls;
  spy.family = F;
  spy.request = r;
  spy.steps.push_back("created");
  if (!spy.give) return nullptr;
  return std::make_unique<SpyBlock>(r.name);
}

struct TuningCall {
  std::string name, rx, depvar;
  int ndata = 0;
  std::optional<TuningBalanceForm> form;
};
std::vector<TuningCall> tuningCalls;

std::unique_ptr<QivEOBlock> tuningModelSpy(const char* name, const std::string& rx, const std::string& depvar,
                                           int ndata) {
  tuningCalls.push_back({name, rx, depvar, ndata, std::nullopt});
  return std::make_unique<QivEOBlockImpl>(name);
}

std::unique_ptr<QivEOBlock> tuningBalanceSpy(TuningBalanceForm form, const char* name, const std::string& rx) {
  tuningCalls.push_back({name, rx, "", 0, form});
  return std::make_unique<QivEOBlockImpl>(name);
}

// Puts the spies in the creator table for one test and restores it after.
class Factories : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = creatorTable();
    CreatorTable& t = creatorTable();
    t.coker = &reactorSpy<Fam::Coker>;
    t.fcc = &reactorSpy<Fam::Fcc>;
    t.hcr = &reactorSpy<Fam::Hcr>;
    t.ref = &reactorSpy<Fam::Ref>;
    t.vb = &reactorSpy<Fam::Vb>;
    t.tuningModel = &tuningModelSpy;
    t.tuningBalance = &tuningBalanceSpy;
    spy = Spy{};
    tuningCalls.clear();
    rtdev_clear(rtHisDev);
  }
  void TearDown() override {
    creatorTable() = saved;
    EXPECT_EQ(spy.alive, 0);  // nothing leaked or kept alive
  }

  // Runs create with these option texts; destroys the block and tells whether there was one.
  template <class Factory>
  bool made(Factory& f, std::initializer_list<const char*> texts) {
    value_t* options = value_make_list();
    for (const char* t : texts) gl_append(options->list, value_make_string(t));
    QivEOBlock* block = f.create("B1", options);
    value_destroy(options);
    if (block) block->Destroy();
    return block != nullptr;
  }

  std::vector<std::string> history() const { return rtdev_lines(rtHisDev); }

  CreatorTable saved;
  rofactory morvane;
  rotuningmodelfactory tuning;
  rotuningbalancefactory balance;
};

// ---- "MORVANE" dispatch -----------------------------------------------------

struct DispatchCase {
  const char* label;
  std::vector<const char*> options;
  Fam family;  // None: no creator reached, no block
  BlockGeneration generation;
  const char* subid;
  const char* kind;
};

class MorvaneDispatch : public Factories, public ::testing::WithParamInterface<DispatchCase> {};

TEST_P(MorvaneDispatch, ReachesTheFamilyWithGenerationAndKind) {
  const DispatchCase& c = GetParam();
  value_t* options = value_make_list();
  for (const char* t : c.options) gl_append(options->list, value_make_string(t));
  QivEOBlock* block = morvane.create("B1", options);
  value_destroy(options);
  if (c.family == Fam::None) {
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(spy.calls, 0);
    return;
  }
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(spy.calls, 1);
  EXPECT_EQ(spy.family, c.family);
  EXPECT_EQ(spy.request->generation, c.generation);
  EXPECT_EQ(spy.request->subid, c.subid);
  EXPECT_EQ(spy.request->modelKind, c.kind);
  EXPECT_STREQ(spy.request->name, "B1");
  // The factory names the kind of every second-generation and first-generation
  // hydrocracker block; the other first-generation constructors set their own.
  auto* rb = dynamic_cast<robase*>(block);
  ASSERT_NE(rb, nullptr);
  const bool assigned = c.generation == BlockGeneration::Second || c.family == Fam::Hcr;
  EXPECT_EQ(rb->modelKind(), assigned ? c.kind : "");
  block->Destroy();
}

using G = BlockGeneration;
INSTANTIATE_TEST_SUITE_P(
    Options, MorvaneDispatch,
    ::testing::Values(
        DispatchCase{"LowerCaseSecondGeneration", {"subid:rofccgo2n", "version:37.0.0"}, Fam::Fcc, G::Second,
                     "ROFCCGO2N", "FCC_GO_2N"},
        DispatchCase{"Version3699", {"SUBID:ROFCCGO2N", "VERSION:36.9.9"}, Fam::Fcc, G::First, "ROFCCGO2N",
                     "FCC_GO_2N"},
        DispatchCase{"NoVersion", {"SUBID:ROFCCGO2N"}, Fam::Fcc, G::First, "ROFCCGO2N", "FCC_GO_2N"},
        DispatchCase{"VersionWithoutPoint", {"SUBID:ROFCCGO2N", "VERSION:37"}, Fam::Fcc, G::First, "ROFCCGO2N",
                     "FCC_GO_2N"},
        DispatchCase{"NegativeMajorIsLarge", {"SUBID:ROFCCGO2N", "VERSION:-1.0.0"}, Fam::Fcc, G::Second,
                     "ROFCCGO2N", "FCC_GO_2N"},
        DispatchCase{"KeyContainingSubid", {"MYSUBIDX:ROVBSKR"}, Fam::Vb, G::First, "ROVBSKR", "VB_SKR"},
        DispatchCase{"Coker", {"SUBID:ROCOKER", "VERSION:37.0.0"}, Fam::Coker, G::Second, "ROCOKER", "COKER"},
        DispatchCase{"HydrocrackerKindAssigned", {"SUBID:ROHCRMILD"}, Fam::Hcr, G::First, "ROHCRMILD", "HCR_MILD"},
        DispatchCase{"Reformer", {"SUBID:ROREFCONTA"}, Fam::Ref, G::First, "ROREFCONTA", "REF_CONT_A"},
        DispatchCase{"LastSubidWins", {"SUBID:ROCOKER", "SUBID:ROVBNOSKR"}, Fam::Vb, G::First, "ROVBNOSKR",
                     "VB_NOSKR"},
        DispatchCase{"SubidWithoutColon", {"SUBID"}, Fam::None, G::First, "", ""},
        DispatchCase{"FccRowMismatch", {"SUBID:ROFCCGO2NX"}, Fam::None, G::First, "", ""},
        DispatchCase{"ReformerRowMismatch", {"SUBID:ROREFSEMI3R"}, Fam::None, G::First, "", ""},
        DispatchCase{"CokerExactOnly", {"SUBID:ROCOKERX"}, Fam::None, G::First, "", ""},
        DispatchCase{"NoFamily", {"SUBID:XYZ"}, Fam::None, G::First, "", ""},
        DispatchCase{"NoSubid", {"VERSION:37.0.0"}, Fam::None, G::First, "", ""},
        DispatchCase{"MalformedVersion", {"SUBID:ROCOKER", "VERSION:.1.2"}, Fam::None, G::First, "", ""},
        DispatchCase{"VersionOutOfRange", {"SUBID:ROCOKER", "VERSION:99999999999.0.0"}, Fam::None, G::First, "",
                     ""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(Factories, EverySubtypeRowReachesItsFamilyInBothGenerations) {
  const struct {
    const char* subid;
    Fam family;
    const char* kind;
  } rows[] = {{"ROCOKER", Fam::Coker, "COKER"},         {"ROFCCGO2N", Fam::Fcc, "FCC_GO_2N"},
              {"ROFCCGO2N1H", Fam::Fcc, "FCC_GO_2N1H"}, {"ROFCCGO3N", Fam::Fcc, "FCC_GO_3N"},
              {"ROFCCGO3N1H", Fam::Fcc, "FCC_GO_3N1H"}, {"ROFCCGOR2N", Fam::Fcc, "FCC_GOR_2N"},
              {"ROFCCGOR2N1H", Fam::Fcc, "FCC_GOR_2N1H"}, {"ROFCCGOR3N", Fam::Fcc, "FCC_GOR_3N"},
              {"ROFCCGOR3N1H", Fam::Fcc, "FCC_GOR_3N1H"}, {"ROHCRD", Fam::Hcr, "HCR_D"},
              {"ROHCRMILD", Fam::Hcr, "HCR_MILD"},      {"ROHCRK", Fam::Hcr, "HCR_K"},
              {"ROHCRN", Fam::Hcr, "HCR_N"},            {"ROREFSEMI1R", Fam::Ref, "REF_SEMI_1R"},
              {"ROREFSEMI2R", Fam::Ref, "REF_SEMI_2R"}, {"ROREFSEMIA", Fam::Ref, "REF_SEMI_A"},
              {"ROREFCONT1R", Fam::Ref, "REF_CONT_1R"}, {"ROREFCONT2R", Fam::Ref, "REF_CONT_2R"},
              {"ROREFCONTA", Fam::Ref, "REF_CONT_A"},   {"ROVBSKR", Fam::Vb, "VB_SKR"},
              {"ROVBNOSKR", Fam::Vb, "VB_NOSKR"}};
  for (const auto& row : rows) {
    for (const char* version : {"VERSION:35.0.0", "VERSION:38.1.0"}) {
      spy = Spy{};
      const std::string subid = std::string("SUBID:") + row.subid;
      EXPECT_TRUE(made(morvane, {subid.c_str(), version})) << row.subid;
      EXPECT_EQ(spy.family, row.family) << row.subid;
      ASSERT_TRUE(spy.request.has_value());
      EXPECT_EQ(spy.request->modelKind, row.kind);
      EXPECT_EQ(spy.request->version.major, version[8] == '3' && version[9] == '5' ? 35u : 38u);
    }
  }
}

TEST_F(Factories, MorvaneDefaultsAndStepsAfterTheCreator) {
  EXPECT_TRUE(made(morvane, {"SUBID:ROCOKER"}));
  EXPECT_EQ(spy.request->basisNA, "NA");
  EXPECT_EQ(spy.request->version, (VerInfo{35, 0, 0}));
  EXPECT_EQ(spy.steps, (std::vector<std::string>{"created", "LE:MASS", "HL:MASS", "prepare"}));
  EXPECT_EQ(morvane.basisLE(), "MASS");
  EXPECT_EQ(morvane.basisHL(), "MASS");
}

TEST_F(Factories, MorvaneBasesAreUpperCasedAndApplied) {
  value_t* options = value_make_list();
  for (const char* t : {"SUBID:ROREFSEMI1R", "basis_le:volume", "Basis_HL:Volume", "BASIS_NA:abc", "VERSION:37.2.1"})
    gl_append(options->list, value_make_string(t));
  QivEOBlock* block = morvane.create("B1", options);
  value_destroy(options);
  ASSERT_NE(block, nullptr);
  auto* rb = dynamic_cast<robase*>(block);
  EXPECT_EQ(rb->leBasis(), 2);
  EXPECT_EQ(rb->hlBasis(), 2);
  EXPECT_EQ(spy.request->basisNA, "ABC");
  EXPECT_EQ(spy.request->version, (VerInfo{37, 2, 1}));
  EXPECT_EQ(spy.steps, (std::vector<std::string>{"created", "LE:VOLUME", "HL:VOLUME", "prepare"}));
  block->Destroy();
}

TEST_F(Factories, UnrecognizedOptionIsReportedAndTheBlockStillBuilt) {
  EXPECT_TRUE(made(morvane, {"FOO:1", "SUBID:ROCOKER"}));
  EXPECT_EQ(history(), (std::vector<std::string>{"Unrecognized option: FOO "}));
  rtdev_clear(rtHisDev);
  // The key is printed as text, never used as a format.
  EXPECT_TRUE(made(morvane, {"%n%s:1", "SUBID:ROCOKER"}));
  EXPECT_EQ(history(), (std::vector<std::string>{"Unrecognized option: %N%S "}));
}

TEST_F(Factories, EachCreateStartsFromTheDefaults) {
  EXPECT_TRUE(made(morvane, {"SUBID:ROVBSKR", "BASIS_LE:VOLUME", "VERSION:37.0.0"}));
  EXPECT_FALSE(made(morvane, {"BASIS_HL:VOLUME"}));
  EXPECT_EQ(morvane.subid(), "");
  EXPECT_EQ(morvane.basisLE(), "MASS");
  EXPECT_EQ(morvane.version(), (VerInfo{35, 0, 0}));
}

TEST_F(Factories, OptionsMustBeAListAndOnlyTextItemsCount) {
  EXPECT_EQ(morvane.create("B1", nullptr), nullptr);
  value_t text;
  value_assign_string(&text, _strdup("SUBID:ROCOKER"));
  EXPECT_EQ(morvane.create("B1", &text), nullptr);
  EXPECT_EQ(tuning.create("B1", &text), nullptr);
  EXPECT_EQ(balance.create("B1", &text), nullptr);
  value_clear(&text);
  value_t* options = value_make_list();
  gl_append(options->list, nullptr);
  auto* number = new value_t;
  value_assign_double(number, 3.0, 0, 1);
  gl_append(options->list, number);
  gl_append(options->list, value_make_string("SUBID:ROCOKER"));
  QivEOBlock* block = morvane.create("B1", options);
  ASSERT_NE(block, nullptr);
  block->Destroy();
  EXPECT_EQ(morvane.create(nullptr, options), nullptr);
  value_destroy(options);
  EXPECT_EQ(spy.calls, 1);
}

TEST_F(Factories, FailuresAfterConstructionDeleteTheBlock) {
  spy.throwInPrepare = true;
  EXPECT_FALSE(made(morvane, {"SUBID:ROCOKER"}));
  EXPECT_EQ(spy.alive, 0);
  spy = Spy{};
  spy.give = false;  // a family that has not landed
  EXPECT_FALSE(made(morvane, {"SUBID:ROCOKER"}));
  EXPECT_EQ(spy.calls, 1);
}

TEST_F(Factories, PendingFamiliesGiveNoBlock) {
  creatorTable() = saved;
  const CreatorTable defaults;
  EXPECT_EQ(defaults.coker, &createCokerBlock);
  EXPECT_EQ(defaults.tuningBalance, &createTuningBalanceBlock);
  EXPECT_STREQ(morvane.error_text(), "Block creation failed");
  EXPECT_STREQ(tuning.error_text(), "Block creation failed");
  EXPECT_STREQ(balance.error_text(), "Block creation failed");
  EXPECT_STREQ(morvane.type_name(), "MORVANE");
  EXPECT_STREQ(tuning.type_name(), "ROTUNING");
  EXPECT_STREQ(balance.type_name(), "ROTUNINGBALANCE");
  EXPECT_EQ(morvane.reserved() + tuning.reserved() + balance.reserved(), 0);
}

// ---- "ROTUNING" -------------------------------------------------------------

struct TuningCase {
  const char* label;
  std::vector<const char*> options;
  bool built;
  const char* rx;
  const char* depvar;
  int ndata;
};

class TuningModel : public Factories, public ::testing::WithParamInterface<TuningCase> {};

TEST_P(TuningModel, BuildsOnlyWithRxAndData) {
  const TuningCase& c = GetParam();
  value_t* options = value_make_list();
  for (const char* t : c.options) gl_append(options->list, value_make_string(t));
  QivEOBlock* block = tuning.create("T1", options);
  value_destroy(options);
  EXPECT_EQ(block != nullptr, c.built);
  if (block) block->Destroy();
  EXPECT_TRUE(history().empty());  // other keys are skipped silently
  if (!c.built) {
    EXPECT_TRUE(tuningCalls.empty());
    return;
  }
  ASSERT_EQ(tuningCalls.size(), 1u);
  EXPECT_EQ(tuningCalls[0].name, "T1");
  EXPECT_EQ(tuningCalls[0].rx, c.rx);
  EXPECT_EQ(tuningCalls[0].depvar, c.depvar);
  EXPECT_EQ(tuningCalls[0].ndata, c.ndata);
}

INSTANTIATE_TEST_SUITE_P(
    Options, TuningModel,
    ::testing::Values(TuningCase{"NoData", {"RX:COKER"}, false, "", "", 0},
                      TuningCase{"ZeroData", {"RX:COKER", "NDATA:0"}, false, "", "", 0},
                      TuningCase{"NegativeData", {"RX:COKER", "NDATA:-3"}, false, "", "", 0},
                      TuningCase{"TrailingText", {"rx:coker", "NDATA:12ABC", "depvar:c3frac"}, true, "COKER", "C3FRAC",
                                 12},
                      TuningCase{"NoNumber", {"RX:COKER", "NDATA:abc"}, false, "", "", 0},
                      TuningCase{"NumberOutOfRange", {"RX:COKER", "NDATA:99999999999"}, false, "", "", 0},
                      TuningCase{"NoRx", {"NDATA:5"}, false, "", "", 0},
                      TuningCase{"OthersIgnored", {"FOO:1", "RX:FCC_GO_2N", "NDATA: 4"}, true, "FCC_GO_2N", "", 4}),
    [](const auto& info) { return std::string(info.param.label); });

// ---- "ROTUNINGBALANCE" ------------------------------------------------------

struct BalanceCase {
  const char* label;
  std::vector<const char*> options;
  std::optional<TuningBalanceForm> form;  // none: no block
};

class TuningBalance : public Factories, public ::testing::WithParamInterface<BalanceCase> {};

TEST_P(TuningBalance, ChoosesTheFormByWhatRxContains) {
  const BalanceCase& c = GetParam();
  value_t* options = value_make_list();
  for (const char* t : c.options) gl_append(options->list, value_make_string(t));
  QivEOBlock* block = balance.create("TB", options);
  value_destroy(options);
  EXPECT_EQ(block != nullptr, c.form.has_value());
  if (block) block->Destroy();
  if (!c.form) {
    EXPECT_TRUE(tuningCalls.empty());
    return;
  }
  ASSERT_EQ(tuningCalls.size(), 1u);
  EXPECT_EQ(tuningCalls[0].form, c.form);
  EXPECT_EQ(tuningCalls[0].rx, balance.rx());
}

using F = TuningBalanceForm;
INSTANTIATE_TEST_SUITE_P(Options, TuningBalance,
                         ::testing::Values(BalanceCase{"FccKind", {"RX:FCC_GO_2N"}, F::FCC},
                                           BalanceCase{"FccBeforeVb", {"RX:VBFCC"}, F::FCC},
                                           BalanceCase{"Reformer", {"rx:ref_semi_1r"}, F::REF},
                                           BalanceCase{"Visbreaker", {"RX:VB_SKR"}, F::VB},
                                           BalanceCase{"Coker", {"RX:COKER"}, F::COK},
                                           BalanceCase{"Hydrocracker", {"RX:HCR_D"}, F::HCR},
                                           BalanceCase{"Other", {"RX:XYZ"}, F::Base},
                                           BalanceCase{"EmptyRx", {"RX:"}, std::nullopt},
                                           BalanceCase{"NoRx", {}, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(Factories, BalanceReportsUnrecognizedOptions) {
  EXPECT_TRUE(made(balance, {"FOO:1", "RX:XYZ"}));
  EXPECT_EQ(history(), (std::vector<std::string>{"Unrecognized option: FOO "}));
}

}  // namespace
