#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/managers_ex.h"
#include "core/robase2.h"
#include "tests/support/framework_lists.h"
#include "tests/equations/fake_eqn.h"

namespace {

// "<prefix><n>", built by appending: GCC 12 at -O3 warns falsely on the
// inlined insert of a literal in front of a temporary string.
std::string numbered(const char* prefix, int n) {
  std::string name(prefix);
  name += std::to_string(n);
  return name;
}

using Names = std::vector<std::string>;

// A block over a coker-like catalogue whose equation objects are FakeEqn
// objects lined up before prepare.
class testblock2 : public robase2 {
 public:
  explicit testblock2(VerInfo v = VerInfo{37, 0, 0}) : robase2("B2", v) {
    m_modelKind = "COKER";
    catalogue[0] = {{"FEEDMASS", "KG/HR", "TONNE/DAY", 0, 1e6}, {"FEEDSUL", "PERCENT", 0, 10}, {"RXTEMP", "F", 0, 2e3}};
    catalogue[1] = {{"C3FRAC", "FRACTION", -1, 1}, {"COKFRAC", "FRACTION", -1, 1}};
    catalogue[2] = {{"C3MASS", "KG/HR", 0, 1e6}, {"LCNSULMASS", "KG/HR", 0, 1e6}, {"LCNMASSRATIO", "UNITLESS", 0, 1},
                    {"FEEDVOL", "CUM/HR", "KBBL/DAY", 0, 1e5}};
    catalogue[3] = {{"MASSFACTOR", "UNITLESS", 0, 2}};
    catalogue[4] = {{"RHOH2O", "KG/CUM", 0, 2e3}, {"COKCUTOFF", "UNITLESS", 0, 1}};
  }
  FakeEqn& line(const std::string& name, Names vars, std::uint32_t key = 0) {
    lined.push_back(std::make_unique<FakeEqn>(name, std::move(vars), &log, alive));
    lined.back()->setOrderKey(key);
    return *lined.back();
  }
  void createROMVariables() override {
    std::set<varinfo2>* sets[] = {&inputSet, &nnOutputSet, &calcSet, &factorSet, &constSet};
    for (int i = 0; i < 5; ++i) *sets[i] = catalogue[i];
    for (auto* s : sets) populateVarMan(*s);
  }
  void createROMEquations() override {
    for (auto& e : lined) m_eqnMan.addEquation(std::move(e));
  }
  void setPELMOVarValues(long long& status) override {
    status = setPELMOVarValue(varRecord("COKCUTOFF"), 1e-19);
  }
  FakeEqn& obj(const std::string& name) const { return dynamic_cast<FakeEqn&>(*m_eqnMan.find(name)); }
  int number(const std::string& name) const { return m_varMan.varIndex(name); }
  using robase2::m_nextVarIndex;

  std::array<std::set<varinfo2>, 5> catalogue;  // inputs, outputs, calculated, factors, constants
  std::vector<std::unique_ptr<FakeEqn>> lined;
  FakeEqn::Log log;
  int* alive = nullptr;
};

class Block2 : public ::testing::Test {
 protected:
  long long setUp() {
    int n[3];
    long long status = 0;
    block.prepare();
    block.user_dim(n[0], n[1], n[2], status);
    fw.attach(block);
    block.user_ini(status);
    return status;
  }
  long long call(void (robase2::*hook)(long long&) const, long long status = 0) {
    (block.*hook)(status);
    return status;
  }
  long long pattern() {
    long long status = 0;
    block.user_pat(fw.jac, status);
    return status;
  }
  Names port(const char* name) const {
    Names out;
    const qiv_port* p = block.findPort(name);
    for (int i = 0; p && i < qivport_nvars(p); ++i) out.push_back(rtovarlst_name(fw.vars, qivport_var(p, i)) + 3);
    return out;
  }
  double& value(const std::string& name) { return fw.values()[block.number(name)]; }

  romtest::FrameworkLists fw;
  testblock2 block;
};

TEST_F(Block2, FortyVariablesAndThirtyFiveObjects) {
  for (auto& s : block.catalogue) s.clear();
  for (int i = 0; i < 40; ++i) {
    block.catalogue[0].insert({numbered("V", 100 + i), "UNITLESS", 0, 1});
    if (i < 35) block.line(numbered("EQN_", i), {});
  }
  block.prepare();
  int nvar = -1, neqn = -1, nnz = -1;
  long long status = 5;
  block.user_dim(nvar, neqn, nnz, status);
  EXPECT_EQ((std::vector<long long>{nvar, neqn, nnz, status}), (std::vector<long long>{40, 35, 1400, 0}));
}

TEST_F(Block2, SetUpFromTheCategorySets) {
  block.line("EQN_B", {"C3MASS"});
  block.line("EQN_A", {});
  ASSERT_EQ(setUp(), 0);
  // Set by set in the order handed over, each in name order.
  const Names order = {"FEEDMASS", "FEEDSUL", "RXTEMP", "C3FRAC", "COKFRAC", "C3MASS", "FEEDVOL",
                       "LCNMASSRATIO", "LCNSULMASS", "MASSFACTOR", "COKCUTOFF", "RHOH2O"};
  for (std::size_t i = 0; i < order.size(); ++i) EXPECT_STREQ(rtovarlst_name(fw.vars, 101 + i), ("B2." + order[i]).c_str());
  EXPECT_EQ(block.m_nextVarIndex, 13);
  EXPECT_STREQ(rtoeqnlst_name(fw.eqns, 51), "B2.EQN_B");  // numbered in the order added
  EXPECT_STREQ(rtoeqnlst_name(fw.eqns, 52), "B2.EQN_A");
  EXPECT_EQ(port("INPUT"), (Names{"FEEDMASS", "FEEDSUL", "RXTEMP"}));
  EXPECT_EQ(port("OUTMASS"), (Names{"C3MASS", "LCNMASSRATIO"}));  // contains MASS, not SULMASS
  EXPECT_EQ(port("CONSTANTS"), (Names{"RHOH2O"}));
  // The cut-off is fixed and valued, but not on the CONSTANTS port.
  EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, block.number("COKCUTOFF")));
  EXPECT_EQ(value("COKCUTOFF"), 1e-19);
  for (const char* free : {"FEEDVOL", "C3FRAC", "MASSFACTOR"}) EXPECT_FALSE(rtovarlst_is_fixed(fw.vars, block.number(free)));
  EXPECT_EQ(block.attributes().size(), 2u * (9 + 3 * 4));
  EXPECT_EQ(*block.context(), &block.attributes());
  qiv_blk_t desc;
  block.inq_attr(desc);
  EXPECT_STREQ(desc.options, "SUBID:ROCOKER, BASIS_HL:MASS, BASIS_LE:MASS, VERSION:37.0.0");
}

TEST_F(Block2, VolumeBasisFeedEntersAndIsFixedByVolume) {
  block.setHLBasis("VOLUME");
  ASSERT_EQ(setUp(), 0);
  EXPECT_EQ(port("INPUT"), (Names{"FEEDVOL", "FEEDSUL", "RXTEMP"}));
  EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, block.number("FEEDVOL")));
  EXPECT_FALSE(rtovarlst_is_fixed(fw.vars, block.number("FEEDMASS")));
}

TEST_F(Block2, RepeatedVariableAcrossSetsRaises) {
  block.catalogue[1].insert({"FEEDSUL", "PERCENT", 0, 1});
  EXPECT_THROW(block.prepare(), vardupex2);
}

// Three rows, patterned: EQN_A = C3MASS + FEEDMASS (added first), EQN_B = C3FRAC,
// EQN_C = RXTEMP + RXTEMP (a name listed twice).
class Block2Passes : public Block2 {
 protected:
  void SetUp() override {
    block.line("EQN_A", {"C3MASS", "FEEDMASS"});
    block.line("EQN_B", {"C3FRAC"});
    block.line("EQN_C", {"RXTEMP", "RXTEMP"});
    ASSERT_EQ(setUp(), 0);
    value("C3MASS") = 10.0;
    value("FEEDMASS") = 100.0;
    value("C3FRAC") = 0.25;
    value("RXTEMP") = 900.0;
  }
};

TEST_F(Block2Passes, RowsLandAtTheirNumbers) {
  for (int nz = 301; nz <= 306; ++nz) fw.jacobian()[nz] = 42.0;  // stale values
  EXPECT_EQ(call(&robase2::user_jac), 1);  // before the pattern: nothing written
  EXPECT_EQ(fw.jacobian()[301], 42.0);
  EXPECT_EQ(pattern(), 0);
  EXPECT_EQ(block.log, (Names{"pat:EQN_A", "pat:EQN_B", "pat:EQN_C"}));
  EXPECT_EQ(block.nzlast(), 305);
  EXPECT_EQ(rtojac_col(fw.jac, 302), block.number("FEEDMASS"));
  EXPECT_EQ(rtojac_row(fw.jac, 305), 53);
  rtovarlst_relocate(fw.vars);  // every pass reads the vectors afresh
  rtoeqnlst_relocate(fw.eqns);
  rtojac_relocate(fw.jac);
  EXPECT_EQ(call(&robase2::user_res, 9), 0);
  EXPECT_EQ((std::vector<double>{fw.residuals()[51], fw.residuals()[52], fw.residuals()[53]}),
            (std::vector<double>{110.0, 0.25, 1800.0}));
  EXPECT_EQ(call(&robase2::user_jac), 0);
  EXPECT_EQ((std::vector<double>{fw.jacobian()[301], fw.jacobian()[302], fw.jacobian()[303], fw.jacobian()[304],
                                 fw.jacobian()[305]}),
            (std::vector<double>{1, 1, 1, 0, 2}));
  // The pass adds to the status it is given: a positive sum is reported as 1,
  // a negative status given stays when the pass finds nothing.
  EXPECT_EQ(call(&robase2::user_jac, 5), 1);
  EXPECT_EQ(call(&robase2::user_jac, -2), -2);
}

struct PassCase {
  int statuses[3];  // of EQN_A, EQN_B, EQN_C
  bool throwing, nonFinite;
  long long expected;
};

class Block2Statuses : public Block2Passes, public ::testing::WithParamInterface<PassCase> {};

TEST_P(Block2Statuses, AnyFailureIsOneAndNeverCancels) {
  ASSERT_EQ(pattern(), 0);
  for (int i = 0; i < 3; ++i) block.obj(std::string("EQN_") + char('A' + i)).status = GetParam().statuses[i];
  block.obj("EQN_A").throws = GetParam().throwing;
  if (GetParam().nonFinite) block.obj("EQN_A").rhs = block.obj("EQN_A").jacScale = NAN;
  EXPECT_EQ(call(&robase2::user_res), GetParam().expected);
  EXPECT_EQ(fw.residuals()[52], 0.25);  // the other rows are still written
  if (!GetParam().throwing) {
    EXPECT_EQ(call(&robase2::user_jac), GetParam().expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Sums, Block2Statuses,
                         ::testing::Values(PassCase{{0, 0, 0}, false, false, 0}, PassCase{{1, -1, 0}, false, false, 1},
                                           PassCase{{0, -1, 0}, false, false, 1}, PassCase{{0, 0, 0}, true, false, 1},
                                           PassCase{{0, 0, 0}, false, true, 1}));

// A Jacobian that ends inside the block's pattern refuses the last non-zeros:
// the pass says so, and every pair is still offered (row and column).
TEST(Block2Pattern, RefusedNonZerosFailThePass) {
  romtest::FrameworkLists fw(romtest::FrameworkLists::kFirstNz + 3);  // room for 4 of the 5 non-zeros
  testblock2 block;
  block.line("EQN_A", {"C3MASS", "FEEDMASS"});
  block.line("EQN_B", {"C3FRAC"});
  block.line("EQN_C", {"RXTEMP", "RXTEMP"});
  block.prepare();
  ASSERT_EQ(fw.setUp(block), 0);
  long long status = 0;
  block.user_pat(fw.jac, status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(rtojac_error_count(fw.jac), 2);  // the refused row and column of non-zero 305
  EXPECT_EQ(rtojac_row(fw.jac, 304), 53);
  // With room for all the same pass succeeds.
  romtest::FrameworkLists roomy;
  testblock2 again;
  again.line("EQN_A", {"C3MASS", "FEEDMASS"});
  again.prepare();
  ASSERT_EQ(roomy.setUp(again), 0);
  status = 0;
  again.user_pat(roomy.jac, status);
  EXPECT_EQ(status, 0);
}

TEST_F(Block2, InitByAscendingKeyThenNameAndTheTopKeyNeverRuns) {
  block.line("B", {}, 2000);
  block.line("C", {}, 1000);
  block.line("A", {}, 1000);
  block.line("Z", {}, 0);
  block.line("N", {}, roeqn2::kNeverInit);
  block.line("M", {"C3MASS"}, roeqn2::kNeverInit - 1).initVar = "C3MASS";
  ASSERT_EQ(setUp(), 0);
  block.obj("M").initValue = 7.0;
  EXPECT_EQ(call(&robase2::init), 0);
  EXPECT_EQ(block.log, (Names{"init:Z", "init:A", "init:C", "init:B", "init:M"}));
  EXPECT_EQ(value("C3MASS"), 7.0);
}

struct InitCase {
  long long given;
  int failing;  // of the four objects, the first ones fail (+1, -1, +1 ...); the fourth throws
  long long expected;
};

class Block2Init : public Block2, public ::testing::WithParamInterface<InitCase> {};

TEST_P(Block2Init, AddsTheFailuresToTheStatusItIsGiven) {
  for (int i = 0; i < 4; ++i) {
    FakeEqn& e = block.line(numbered("EQN_", i), {}, 1000 + i);
    if (i < GetParam().failing) e.status = i % 2 == 0 ? 1 : -1;
    e.throws = i == 3 && GetParam().failing == 4;
  }
  ASSERT_EQ(setUp(), 0);
  EXPECT_EQ(call(&robase2::init, GetParam().given), GetParam().expected);
  EXPECT_EQ(block.log.size(), 4u);  // a failure does not stop the pass
}

INSTANTIATE_TEST_SUITE_P(Cases, Block2Init,
                         ::testing::Values(InitCase{0, 0, 0}, InitCase{0, 2, 2}, InitCase{5, 4, 9}, InitCase{-3, 2, -3},
                                           InitCase{std::numeric_limits<long long>::max(), 1,
                                                    std::numeric_limits<long long>::max()}));

TEST(Block2Life, EveryObjectDeletedOnceAndNoHookThrows) {
  int alive = 0;
  auto* heap = new testblock2();
  heap->alive = &alive;
  heap->line("EQN_A", {"C3MASS"}).initVar = "C3MASS";
  heap->line("EQN_B", {});
  heap->line("EQN_B", {});  // refused: deleted at once
  EXPECT_THROW(heap->prepare(), eqdupex2);
  EXPECT_EQ(alive, 2);
  long long s[4] = {0, 0, 0, 0};  // no framework lists attached
  heap->user_res(s[0]);
  heap->user_jac(s[1]);
  heap->user_pat(nullptr, s[2]);
  heap->init(s[3]);
  EXPECT_EQ((std::vector<long long>(s, s + 4)), (std::vector<long long>{1, 1, 1, 1}));
  heap->Destroy();
  EXPECT_EQ(alive, 0);
}

}  // namespace
