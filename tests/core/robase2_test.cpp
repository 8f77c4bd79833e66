#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "core/managers_ex.h"
#include "tests/core/block2_model.h"
#include "tests/core/framework_lists.h"

namespace {

static_assert(!std::is_copy_constructible_v<testblock2> && !std::is_copy_assignable_v<testblock2>,
              "blocks own their records and objects and are not copyable");

using Names = std::vector<std::string>;

// A prepared block on the coker-like catalogue, attached to framework lists.
class Block2 : public ::testing::Test {
 protected:
  Block2() { useCokerLikeCatalogue(block); }

  // Sizes, attach, user_ini: the framework's set-up. Returns user_ini's status.
  long long setUp() {
    int nvar = 0, neqn = 0, nnz = 0;
    long long status = 0;
    block.user_dim(nvar, neqn, nnz, status);
    fw.attach(block);
    block.user_ini(status);
    return status;
  }
  long long call(void (testblock2::*hook)(long long&) const, long long status = 0) {
    (block.*hook)(status);
    return status;
  }
  long long pattern() {
    long long status = 0;
    block.user_pat(fw.jac, status);
    return status;
  }
  // Names of a port's variables, in port order.
  Names portNames(const char* port) const {
    Names out;
    const qiv_port* p = block.findPort(port);
    if (!p) return out;
    for (int i = 0; i < qivport_nvars(p); ++i) {
      const std::string full = rtovarlst_name(fw.vars, qivport_var(p, i));
      out.push_back(full.substr(full.find('.') + 1));
    }
    return out;
  }
  double& value(const std::string& name) { return fw.value(block.number(name)); }

  FrameworkLists fw;
  testblock2 block;
};

// ---- Sizes and numbering --------------------------------------------------------

TEST_F(Block2, FortyVariablesAndThirtyFiveObjects) {
  testblock2 big;
  for (int i = 0; i < 40; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "V%02d", i);
    big.inputs.insert({name, "UNITLESS", 0, 1});
    if (i < 35) big.line(std::string("EQN_") + name, {name});
  }
  big.prepare();
  int nvar = -1, neqn = -1, nnz = -1;
  long long status = 5;
  big.user_dim(nvar, neqn, nnz, status);
  EXPECT_EQ(nvar, 40);
  EXPECT_EQ(neqn, 35);
  EXPECT_EQ(nnz, 1400);
  EXPECT_EQ(status, 0);

  testblock2 empty;
  empty.prepare();
  empty.user_dim(nvar, neqn, nnz, status);
  EXPECT_EQ(nvar + neqn + nnz, 0);
}

TEST_F(Block2, VariablesAreNumberedSetBySetInNameOrder) {
  block.prepare();
  const Names order = {"FEEDMASS", "FEEDSUL", "RXTEMP", "C3FRAC", "COKFRAC", "C3MASS", "COKMASS", "FEEDVOL",
                       "LCNMASSRATIO", "LCNSUL", "LCNSULMASS", "MASSFACTOR", "COKCUTOFF", "RHOH2O"};
  for (std::size_t i = 0; i < order.size(); ++i) EXPECT_EQ(block.varRecord(order[i])->index, int(i) + 1) << order[i];
  EXPECT_EQ(block.m_nextVarIndex, int(order.size()) + 1);
  const ROMVar& feed = *block.varRecord("FEEDMASS");
  EXPECT_EQ(feed.baseUnit, "KG/HR");
  EXPECT_EQ(feed.dispUnit, "TONNE/DAY");
  EXPECT_EQ(feed.upper, 1e6);
}

TEST_F(Block2, RepeatedVariableAcrossSetsRaises) {
  block.calcs.insert({"FEEDSUL", "PERCENT", 0, 1});
  EXPECT_THROW(block.prepare(), vardupex2);
}

TEST_F(Block2, ContextReachesTheAttributeMap) {
  EqnContext context = block.context();
  ASSERT_NE(context, nullptr);
  EXPECT_EQ(*context, &block.attributes());
  EXPECT_EQ(block.m_attrMapPtr, &block.attributes());
  EXPECT_EQ(block.version(), (VerInfo{37, 0, 0}));
}

// ---- Set-up -------------------------------------------------------------------

TEST_F(Block2, SetUpCreatesVariablesEquationsPortsValuesAndSpecs) {
  block.line("EQN_C3MASS", {"C3MASS", "FEEDMASS", "C3FRAC"});
  block.line("EQN_COKMASS", {"COKMASS"});
  block.prepare();
  ASSERT_EQ(setUp(), 0);
  EXPECT_EQ(rtovarlst_registered_count(fw.vars), 14);
  EXPECT_STREQ(rtovarlst_name(fw.vars, 101), "B2.FEEDMASS");
  EXPECT_STREQ(rtovarlst_name(fw.vars, 101 + 13), "B2.RHOH2O");
  EXPECT_EQ(rtoeqnlst_registered_count(fw.eqns), 2);
  EXPECT_STREQ(rtoeqnlst_name(fw.eqns, 51), "B2.EQN_C3MASS");  // index 1: added first
  EXPECT_STREQ(rtoeqnlst_name(fw.eqns, 52), "B2.EQN_COKMASS");
  EXPECT_DOUBLE_EQ(value("RHOH2O"), 1000.0);
  // Constants and inputs fixed, everything else free.
  for (const char* name : {"RHOH2O", "COKCUTOFF", "FEEDMASS", "FEEDSUL", "RXTEMP"})
    EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, block.number(name))) << name;
  for (const char* name : {"FEEDVOL", "C3FRAC", "MASSFACTOR", "C3MASS"})
    EXPECT_FALSE(rtovarlst_is_fixed(fw.vars, block.number(name))) << name;
}

TEST_F(Block2, PortsTestNamesByContainment) {
  block.calcs.insert({"SULMASSX", "KG/HR", 0, 1});
  block.prepare();
  ASSERT_EQ(setUp(), 0);
  EXPECT_EQ(portNames("INPUT"), (Names{"FEEDMASS", "FEEDSUL", "RXTEMP"}));
  // "MASS" anywhere, but not "SULMASS" anywhere.
  EXPECT_EQ(portNames("OUTMASS"), (Names{"C3MASS", "COKMASS", "LCNMASSRATIO"}));
  EXPECT_TRUE(portNames("OUTVOL").empty());  // robase's volume map is not used
  // The cut-off is fixed and valued, but not a connected constant.
  EXPECT_EQ(portNames("CONSTANTS"), (Names{"RHOH2O"}));
  EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, block.number("COKCUTOFF")));
  EXPECT_DOUBLE_EQ(value("COKCUTOFF"), 1e-19);
}

TEST_F(Block2, VolumeBasisFeedEntersAndIsFixedByVolume) {
  block.setHLBasis("VOLUME");
  block.prepare();
  ASSERT_EQ(setUp(), 0);
  EXPECT_EQ(portNames("INPUT"), (Names{"FEEDVOL", "FEEDSUL", "RXTEMP"}));
  EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, block.number("FEEDVOL")));
  EXPECT_FALSE(rtovarlst_is_fixed(fw.vars, block.number("FEEDMASS")));
}

TEST_F(Block2, VolumeBasisWithoutFeedVolumeFailsTheSetUp) {
  block.calcs.erase(varinfo2("FEEDVOL", "", 0, 0));
  block.setHLBasis("VOLUME");
  block.prepare();
  EXPECT_EQ(setUp(), 1);
}

TEST_F(Block2, ExcludedVariablesGetNoFrameworkVariable) {
  block.prepare();
  block.m_varMan.setExclusionFlag(1);
  block.m_varMan.exclude("LCNMASSRATIO");
  long long status = 0;
  fw.attach(block);
  block.initVarManVec();
  block.createPELMOVariables(status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(rtovarlst_registered_count(fw.vars), 13);
  EXPECT_FALSE(rtovarlst_is_registered(fw.vars, block.number("LCNMASSRATIO")));
}

TEST_F(Block2, VariableCreationGoesOnPastAFailure) {
  block.inputs.insert({std::string(300, 'X'), "F", 0, 1});  // no room for its framework name
  block.prepare();
  fw.attach(block);
  long long status = 0;
  block.createPELMOVariables(status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(rtovarlst_registered_count(fw.vars), 14);
}

TEST_F(Block2, PortBySuffixSkipsExcludedNames) {
  block.prepare();
  ASSERT_EQ(setUp(), 0);
  qiv_port* port = qivport_create("TEST", 0, 2, 0);
  block.addPort(port);
  block.addVarsToPortBySuffix(port, "MASS", block.calcSet, {"COKMASS"});
  block.addVarsToPortByPrefix(port, "C3", block.calcSet, {});  // adds nothing
  EXPECT_EQ(portNames("TEST"), (Names{"C3MASS", "LCNSULMASS"}));
}

TEST_F(Block2, StartingValueWriterRefusesWhatItCannotStore) {
  block.prepare();
  ROMVar* feed = block.varRecord("FEEDMASS");
  EXPECT_EQ(block.setPELMOVarValue(feed, 5.0), 1);  // no list attached
  ASSERT_EQ(setUp(), 0);
  EXPECT_EQ(block.setPELMOVarValue(feed, 5.0), 0);
  EXPECT_EQ(block.setPELMOVarValue(feed, std::numeric_limits<double>::quiet_NaN()), 1);
  EXPECT_DOUBLE_EQ(value("FEEDMASS"), 5.0);
}

TEST_F(Block2, DescriptionEndsWithTheVersion) {
  block.prepare();
  qiv_blk_t desc;
  block.inq_attr(desc);
  EXPECT_STREQ(desc.options, "SUBID:ROCOKER, BASIS_HL:MASS, BASIS_LE:MASS, VERSION:37.0.0");
  testblock2 odd("B3", VerInfo{4294967295u, 2, 10});
  odd.inq_attr(desc);
  const std::string text = desc.options;
  EXPECT_EQ(text.substr(text.rfind(", VERSION:")), ", VERSION:4294967295.2.10");
}

TEST_F(Block2, AttributesOfEveryOutputOverTheInputSet) {
  block.prepare();
  // 2 outputs x (9 + 3 inputs x 4).
  ASSERT_EQ(block.attributes().size(), 42u);
  std::set<int> numbers;
  for (const auto& entry : block.attributes()) numbers.insert(entry.second->number);
  EXPECT_EQ(*numbers.begin(), 0);
  EXPECT_EQ(*numbers.rbegin(), 41);
  EXPECT_EQ(numbers.size(), 42u);
  EXPECT_EQ(block.attributes().count("GAMMA_COKFRAC_RXTEMP"), 1u);
  EXPECT_EQ(block.attributes().count("HYPERPARAMETERS.C3FRAC_FEEDSUL_GAMMA_SCALE_ERROR"), 1u);
}

// ---- Passes ------------------------------------------------------------------

// A block of three rows over the catalogue, set up and patterned:
//   EQN_C3MASS  = C3MASS - 0.5 FEEDMASS - 2 C3FRAC   (added first)
//   EQN_COKMASS = COKMASS - FEEDMASS                  (added second)
//   EQN_ALPHA   = LCNSUL + 3 LCNSUL                   (a name listed twice)
class Block2Passes : public Block2 {
 protected:
  void SetUp() override {
    block.line("EQN_C3MASS", {"C3MASS", "FEEDMASS", "C3FRAC"}, {1.0, -0.5, -2.0});
    block.line("EQN_COKMASS", {"COKMASS", "FEEDMASS"}, {1.0, -1.0});
    block.line("EQN_ALPHA", {"LCNSUL", "LCNSUL"}, {1.0, 3.0});
    block.prepare();
    ASSERT_EQ(setUp(), 0);
    value("C3MASS") = 10.0;
    value("FEEDMASS") = 100.0;
    value("C3FRAC") = 0.25;
    value("COKMASS") = 30.0;
    value("LCNSUL") = 2.0;
  }
  FakeEqn& obj(const char* name) { return block.object(name); }
};

TEST_F(Block2Passes, PatternFollowsTheOrderAddedAndSetsTheLastNonZero) {
  EXPECT_EQ(pattern(), 0);
  EXPECT_EQ(block.log, (Names{"pat:EQN_C3MASS", "pat:EQN_COKMASS", "pat:EQN_ALPHA"}));
  EXPECT_EQ(obj("EQN_C3MASS").firstNz, 1);
  EXPECT_EQ(obj("EQN_COKMASS").firstNz, 4);
  EXPECT_EQ(obj("EQN_ALPHA").firstNz, 6);
  EXPECT_EQ(block.nzlast(), 301 + 7 - 1);
  EXPECT_EQ(rtojac_row(fw.jac, 301), 51);
  EXPECT_EQ(rtojac_col(fw.jac, 302), block.number("FEEDMASS"));
  EXPECT_EQ(rtojac_row(fw.jac, 307), 53);
}

TEST_F(Block2Passes, ResidualsAndJacobianLandAtTheirNumbers) {
  ASSERT_EQ(pattern(), 0);
  EXPECT_EQ(call(&testblock2::user_res, 9), 0);
  EXPECT_DOUBLE_EQ(fw.residual(51), 10.0 - 50.0 - 0.5);
  EXPECT_DOUBLE_EQ(fw.residual(52), 30.0 - 100.0);
  EXPECT_DOUBLE_EQ(fw.residual(53), 8.0);
  fw.jacobian(306) = 42.0;  // stale value in the first LCNSUL entry
  EXPECT_EQ(call(&testblock2::user_jac), 0);
  const double expected[] = {1.0, -0.5, -2.0, 1.0, -1.0, 0.0, 4.0};
  for (int i = 0; i < 7; ++i) EXPECT_DOUBLE_EQ(fw.jacobian(301 + i), expected[i]) << i;
}

TEST_F(Block2Passes, EveryPassReadsTheVectorsAfresh) {
  ASSERT_EQ(pattern(), 0);
  rtovarlst_relocate(fw.vars);
  rtoeqnlst_relocate(fw.eqns);
  rtojac_relocate(fw.jac);
  value("COKMASS") = 130.0;
  EXPECT_EQ(call(&testblock2::user_res), 0);
  EXPECT_DOUBLE_EQ(fw.residual(52), 30.0);
  EXPECT_EQ(call(&testblock2::user_jac), 0);
  EXPECT_DOUBLE_EQ(fw.jacobian(304), 1.0);
}

struct StatusCase {
  std::vector<int> statuses;  // of EQN_ALPHA, EQN_C3MASS, EQN_COKMASS (name order)
  long long expected;
};

class Block2Statuses : public Block2Passes, public ::testing::WithParamInterface<StatusCase> {};

TEST_P(Block2Statuses, AnyObjectFailureIsOneAndNeverCancels) {
  ASSERT_EQ(pattern(), 0);
  const char* names[] = {"EQN_ALPHA", "EQN_C3MASS", "EQN_COKMASS"};
  for (int i = 0; i < 3; ++i) {
    obj(names[i]).resStatus = GetParam().statuses[i];
    obj(names[i]).jacStatus = GetParam().statuses[i];
    obj(names[i]).initStatus = GetParam().statuses[i];
  }
  EXPECT_EQ(call(&testblock2::user_res), GetParam().expected);
  EXPECT_EQ(call(&testblock2::user_jac), GetParam().expected);
  // Every object still wrote its row.
  EXPECT_DOUBLE_EQ(fw.residual(52), -70.0);
  EXPECT_DOUBLE_EQ(fw.jacobian(304), 1.0);
}

INSTANTIATE_TEST_SUITE_P(Sums, Block2Statuses,
                         ::testing::Values(StatusCase{{0, 0, 0}, 0}, StatusCase{{1, -1, 0}, 1},
                                           StatusCase{{0, -1, 0}, 1}, StatusCase{{0, 0, 7}, 1},
                                           StatusCase{{-3, 1, 2}, 1}));

TEST_F(Block2Passes, JacobianKeepsAFailureItIsGiven) {
  ASSERT_EQ(pattern(), 0);
  EXPECT_EQ(call(&testblock2::user_jac, 5), 5);
  EXPECT_EQ(call(&testblock2::user_jac, -2), -2);
  obj("EQN_COKMASS").jacStatus = 1;
  EXPECT_EQ(call(&testblock2::user_jac, 0), 1);
}

TEST_F(Block2Passes, JacobianBeforeThePatternFailsAndWritesNothing) {
  for (int nz = 301; nz <= 310; ++nz) fw.jacobian(nz) = -1.0;
  EXPECT_EQ(call(&testblock2::user_jac), 1);
  for (int nz = 301; nz <= 310; ++nz) EXPECT_EQ(fw.jacobian(nz), -1.0);
}

TEST_F(Block2Passes, NonFiniteValuesAreFailures) {
  ASSERT_EQ(pattern(), 0);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  obj("EQN_COKMASS").residualOverride = &nan;
  EXPECT_EQ(call(&testblock2::user_res), 1);
  obj("EQN_COKMASS").residualOverride = nullptr;
  EXPECT_EQ(call(&testblock2::user_res), 0);
  const double inf = std::numeric_limits<double>::infinity();
  obj("EQN_ALPHA").jacOverride = &inf;
  EXPECT_EQ(call(&testblock2::user_jac), 1);
}

TEST_F(Block2Passes, AnExceptionInOneObjectIsStatusOneAndTheOthersStillWrite) {
  ASSERT_EQ(pattern(), 0);
  obj("EQN_ALPHA").throwIn = "res";  // first by name
  fw.residual(52) = 0.0;
  EXPECT_EQ(call(&testblock2::user_res), 1);
  EXPECT_DOUBLE_EQ(fw.residual(52), -70.0);
}

TEST_F(Block2Passes, HooksWithoutTheFrameworkListsFailQuietly) {
  ASSERT_EQ(pattern(), 0);
  block.attachMatrix(nullptr, nullptr, nullptr);
  EXPECT_EQ(call(&testblock2::user_res), 1);
  EXPECT_EQ(call(&testblock2::user_jac), 1);
  long long status = 0;
  block.user_pat(nullptr, status);
  EXPECT_EQ(status, 1);
  block.user_ini(status);
  EXPECT_EQ(status, 1);
  obj("EQN_ALPHA").initVar = "LCNSUL";
  EXPECT_EQ(call(&testblock2::init), 1);  // its starting value could not be stored
}

TEST(Block2Life, DestructionDeletesEveryObjectOnce) {
  int alive = 0;
  auto* heap = new testblock2("H");
  heap->aliveCounter = &alive;
  useCokerLikeCatalogue(*heap);
  heap->line("EQN_A", {"C3MASS"});
  heap->line("EQN_B", {});
  heap->line("EQN_B", {});  // refused by the manager: deleted at once
  EXPECT_THROW(heap->prepare(), eqdupex2);
  EXPECT_EQ(alive, 2);
  heap->Destroy();  // the framework's end of a block
  EXPECT_EQ(alive, 0);
}

// ---- Starting values ---------------------------------------------------------

class Block2Init : public Block2 {
 protected:
  FakeEqn& keyed(const std::string& name, std::uint32_t key) {
    FakeEqn& e = block.line(name, {});
    e.setOrderKey(key);
    return e;
  }
  long long runInit(long long status = 0) {
    block.prepare();
    EXPECT_EQ(setUp(), 0);
    block.log.clear();
    block.init(status);
    return status;
  }
};

TEST_F(Block2Init, AscendingKeyThenNameAndTheTopKeyNeverRuns) {
  keyed("B", 2000);
  keyed("C", 1000);
  keyed("A", 1000);
  keyed("Z", 0);
  keyed("N", roeqn2::kNeverInit);
  keyed("M", roeqn2::kNeverInit - 1);
  EXPECT_EQ(runInit(), 0);
  EXPECT_EQ(block.log, (Names{"init:Z", "init:A", "init:C", "init:B", "init:M"}));
}

TEST_F(Block2Init, StepsSetStartingValuesInOrder) {
  FakeEqn& late = keyed("EQN_LATE", 3500);
  late.initVar = "C3MASS";
  late.initValue = 2.0;
  FakeEqn& early = keyed("EQN_EARLY", 500);
  early.initVar = "C3MASS";
  early.initValue = 1.0;
  EXPECT_EQ(runInit(), 0);
  EXPECT_DOUBLE_EQ(value("C3MASS"), 2.0);
}

struct InitCase {
  long long given;
  int failing;  // objects whose step fails
  bool throwing;
  long long expected;
};

class Block2InitStatus : public Block2Init, public ::testing::WithParamInterface<InitCase> {};

TEST_P(Block2InitStatus, AddsFailuresToTheStatusItIsGiven) {
  for (int i = 0; i < 3; ++i) {
    FakeEqn& e = keyed("EQN_" + std::to_string(i), 1000 + i);
    if (i < GetParam().failing) e.initStatus = (i % 2 == 0) ? 1 : -1;
  }
  FakeEqn& last = keyed("EQN_LAST", 5000);
  if (GetParam().throwing) last.throwIn = "init";
  EXPECT_EQ(runInit(GetParam().given), GetParam().expected);
  EXPECT_EQ(block.log.size(), 4u);  // a failure does not stop the pass
}

INSTANTIATE_TEST_SUITE_P(Cases, Block2InitStatus,
                         ::testing::Values(InitCase{0, 0, false, 0}, InitCase{0, 2, false, 2},
                                           InitCase{0, 0, true, 1}, InitCase{5, 0, false, 5},
                                           InitCase{5, 3, true, 9}, InitCase{-3, 2, false, -3},
                                           InitCase{std::numeric_limits<long long>::max(), 1, false,
                                                    std::numeric_limits<long long>::max()}));

}  // namespace
