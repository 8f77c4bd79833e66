#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>

#include "core/varman.h"
#include "tests/support/framework_lists.h"
#include "tests/equations/fake_eqn.h"

namespace {

// Rows over X, Y, Z (positions 1, 2, 3; values 2, 3, 4) of a block at first
// variable 101, placed at first non-zero B and first equation E.
struct Placement {
  int B, S, E, I;
  int firstNz, eqn;  // the numbers expected
};

class EquationRow : public ::testing::TestWithParam<Placement> {
 protected:
  EquationRow() : vm(&firstVar) {
    for (int p = 1; p <= 3; ++p) {
      vm.addVar(std::string(1, char('W' + p)), "F", "F", p, 0, 1);
      rtvar_rec_t rec;
      rtovarlst_initialize_var(fw.vars, 100 + p, &rec, 1);
      fw.values()[100 + p] = p + 1.0;
    }
    vm.attach(fw.values(), fw.vars);
  }
  void place(roeqn2& e, int index) {  // as the equation manager does
    e.setBlockStarts(&firstNz, &firstEqn);
    e.setVarMan(&vm);
    e.setIndex(index);
  }
  romtest::FrameworkLists fw;
  int firstVar = 101, firstEqn = 51, firstNz = 301;
  VarMan vm;
};

TEST_P(EquationRow, NumbersFollowTheBlockStartsAndTheRunningIndex) {
  const Placement& c = GetParam();
  firstNz = c.B;
  firstEqn = c.E;
  FakeEqn e("EQN_A", {"Z", "X"});
  EXPECT_EQ(e.firstNz, -1);
  place(e, c.I);
  ASSERT_EQ(e.pat(fw.jac, c.S), 2);
  EXPECT_EQ(rtojac_row(fw.jac, c.firstNz), c.eqn);
  EXPECT_EQ(rtojac_col(fw.jac, c.firstNz), 103);  // V + P - 1 of Z
  EXPECT_EQ(rtojac_col(fw.jac, c.firstNz + 1), 101);
  EXPECT_EQ(e.res(fw.residuals()), 0);
  EXPECT_EQ(fw.residuals()[c.eqn], 6.0);
  EXPECT_EQ(e.evalJac(fw.jacobian()), 0);
  EXPECT_EQ(fw.jacobian()[c.firstNz + 1], 1.0);
}

INSTANTIATE_TEST_SUITE_P(Cases, EquationRow,
                         ::testing::Values(Placement{1, 1, 1, 1, 1, 1}, Placement{301, 4, 51, 2, 304, 52}));

TEST_F(EquationRow, EmptyListRepeatedNameAndJacobianBeforeThePattern) {
  FakeEqn empty("EQN_E", {}), twice("EQN_T", {"X", "Y", "X"});
  place(empty, 1);
  place(twice, 2);
  for (int nz = 1; nz <= 400; ++nz) fw.jacobian()[nz] = -7.0;
  EXPECT_EQ(twice.jac(fw.jacobian()), 2);  // before the pattern: one per entry, nothing written
  EXPECT_EQ(twice.evalJac(fw.jacobian()), 1);
  for (int nz = 1; nz <= 400; ++nz) ASSERT_EQ(fw.jacobian()[nz], -7.0) << nz;

  EXPECT_EQ(empty.pat(fw.jac, 7), 0);
  EXPECT_EQ(rtojac_max_nz_registered(fw.jac), 0);
  EXPECT_EQ(twice.pat(fw.jac, 1), 3);  // both X entries registered
  EXPECT_EQ(rtojac_col(fw.jac, 303), 101);
  EXPECT_EQ(twice.localNz().at("X"), 2);
  EXPECT_EQ(twice.evalJac(fw.jacobian()), 0);
  EXPECT_EQ(fw.jacobian()[301], 0.0);  // no stale value in the earlier X entry
  EXPECT_EQ(fw.jacobian()[303], 2.0);
}

// Entries group by name, before and after the pattern resolved them: two
// names that share a record index (the manager takes the index it is given)
// stay two groups, a repeated name is one.
TEST_F(EquationRow, EntriesGroupByNameNotByRecordIndex) {
  vm.addVar("SAME_INDEX_AS_X", "F", "F", 1, 0, 1);
  FakeEqn e("EQN_G", {"X", "SAME_INDEX_AS_X", "Y", "X"});
  const std::vector<std::size_t> expected = {3, 1, 2, 3};
  EXPECT_EQ(e.entryGroups(), expected);
  EXPECT_FALSE(e.distinctEntries());
  place(e, 1);
  ASSERT_EQ(e.pat(fw.jac, 1), 4);
  EXPECT_EQ(e.entryGroups(), expected);
  EXPECT_FALSE(e.distinctEntries());
  FakeEqn distinct("EQN_D", {"X", "SAME_INDEX_AS_X"});
  place(distinct, 2);
  ASSERT_EQ(distinct.pat(fw.jac, 5), 2);
  EXPECT_TRUE(distinct.distinctEntries());
}

TEST_F(EquationRow, UnknownNamesFailTheMapLookUp) {
  FakeEqn e("EQN_A", {"X", "NOPE"});
  place(e, 1);
  try {
    e.pat(fw.jac, 1);
    FAIL();
  } catch (const std::out_of_range& ex) {
    EXPECT_STREQ(ex.what(), "invalid map<K, T> key");
  }
  EXPECT_THROW(e.setJacValue(fw.jacobian(), "Y", 1.0), std::out_of_range);
}

void expectMapKeyError(const std::function<void()>& call) {
  try {
    call();
    ADD_FAILURE() << "no error";
  } catch (const std::out_of_range& ex) {
    EXPECT_STREQ(ex.what(), "invalid map<K, T> key");
  }
}

// Entries are resolved at their first use, so a name the manager does not
// hold fails at the read that needs it, with the look-up's text, and is read
// once it is there; a moved first variable and a refilled manager are followed.
TEST_F(EquationRow, EntriesResolveAtTheirFirstUseAndFollowTheManager) {
  FakeEqn e("EQN_A", {"Z", "LATE", "X"});
  place(e, 1);
  EXPECT_EQ(e.valueAt(0), 4.0);
  expectMapKeyError([&] { e.valueAt(1); });
  expectMapKeyError([&] { e.setVarValueAt(1, 1.0); });
  EXPECT_EQ(e.valueAt(2), 2.0);
  vm.addVar("LATE", "F", "F", 2, 0, 1);  // the position Y has
  EXPECT_EQ(e.valueAt(1), 3.0);
  double out[3] = {};
  e.valuesAt(0, 3, out);
  EXPECT_EQ(out[0] + out[1] + out[2], 9.0);
  firstVar = 100;  // the block's variables now start one earlier
  EXPECT_EQ(e.valueAt(0), 3.0);
  firstVar = 101;
  vm.clear();  // records gone: every entry is looked up again
  expectMapKeyError([&] { e.valueAt(0); });
  vm.addVar("Z", "F", "F", 1, 0, 1);
  vm.attach(fw.values(), fw.vars);
  EXPECT_EQ(e.valueAt(0), 2.0);
}

// A run of entries is read as valueAt reads each: an empty run reads nothing,
// with a manager or without one, and a run that does not lie in the list
// (its end past the list, or past the end of the index range) fails with a
// range error instead of reading outside the resolved entries.
TEST_F(EquationRow, RunsOfEntriesReadOnlyWhatLiesInTheList) {
  double out[3] = {-1.0, -1.0, -1.0};
  FakeEqn unplaced("EQN_U", {});
  unplaced.valuesAt(0, 0, out);
  FakeEqn e("EQN_A", {"Z", "X", "Y"});
  e.valuesAt(1, 0, out);
  EXPECT_THROW(e.valuesAt(0, 1, out), std::logic_error);  // no manager
  place(e, 1);
  e.valuesAt(0, 3, out);  // every entry resolved
  EXPECT_EQ(out[0] + out[1] + out[2], 9.0);
  out[0] = -1.0;
  e.valuesAt(3, 0, out);
  EXPECT_EQ(out[0], -1.0);
  EXPECT_THROW(e.valuesAt(2, 2, out), std::out_of_range);
  EXPECT_THROW(e.valuesAt(std::numeric_limits<std::size_t>::max(), 2, out), std::out_of_range);
}

// After a pattern pass that stopped at a missing name, the Jacobian is
// written by name as that pass left it: the entries before the name only.
TEST_F(EquationRow, AJacobianAfterAPatternThatStoppedWritesByName) {
  FakeEqn e("EQN_A", {"X", "NOPE", "Y"});
  place(e, 1);
  expectMapKeyError([&] { e.pat(fw.jac, 1); });
  EXPECT_EQ(e.setJacAt(fw.jacobian(), 0, 5.0), 0);
  EXPECT_EQ(fw.jacobian()[301], 5.0);
  expectMapKeyError([&] { e.setJacAt(fw.jacobian(), 2, 1.0); });
  EXPECT_EQ(e.jacobianRow(fw.jacobian()), nullptr);
}

struct KeyCase {
  std::uint32_t key;
  std::int32_t delta;
  std::uint32_t expected;
};

class OrderKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(OrderKey, MovesOnlyWithinZeroTo4294967294) {
  FakeEqn e("EQN_A", {});
  EXPECT_EQ(e.getOrderKey(), 0u);
  e.setOrderKey(GetParam().key);
  e.addOrderKey(GetParam().delta);
  EXPECT_EQ(e.getOrderKey(), GetParam().expected);
}

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
INSTANTIATE_TEST_SUITE_P(Cases, OrderKey,
                         ::testing::Values(KeyCase{3, -5, 3}, KeyCase{3, -3, 0}, KeyCase{4294967294u, 1, 4294967294u},
                                           KeyCase{4294967293u, 1, 4294967294u}, KeyCase{1500, 3, 1503},
                                           KeyCase{1000, 0, 1000}, KeyCase{4294967295u, kMin, 2147483647u},
                                           KeyCase{5, kMin, 5}));

}  // namespace
