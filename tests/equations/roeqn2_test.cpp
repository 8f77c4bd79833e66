#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "core/varman.h"
#include "equations/roeqn2.h"
#include "tests/core/framework_lists.h"
#include "tests/equations/fake_eqn.h"

namespace {

static_assert(!std::is_copy_constructible_v<roeqn2> && !std::is_copy_assignable_v<roeqn2>,
              "an equation object is one row of one block");

// One object placed in a block at first variable V = 101, first equation E and
// first non-zero B, over the variables X, Y, Z (positions 1, 2, 3).
class EquationRow : public ::testing::Test {
 protected:
  EquationRow() : vm(&firstVar) {
    vm.addVar("X", "KG/HR", "TONNE/DAY", 1, 0, 1e6);
    vm.addVar("Y", "UNITLESS", "UNITLESS", 2, 0, 1);
    vm.addVar("Z", "UNITLESS", "UNITLESS", 3, 0, 1);
    for (int p = 1; p <= 3; ++p) {
      rtvar_rec_t rec;
      rtovarlst_initialize_var(fw.vars, firstVar + p - 1, &rec, 1);
    }
    vm.attach(OneBased<double>(rtovarlst_vec_value(fw.vars), FrameworkLists::kCapacity), fw.vars);
    fw.value(101) = 2.0;
    fw.value(102) = 3.0;
    fw.value(103) = 5.0;
  }

  // Places an object as its equation manager would.
  void place(roeqn2& e, int index) {
    e.setBlockStarts(&firstNz, &firstEqn);
    e.setVarMan(&vm);
    e.setIndex(index);
  }
  OneBased<double> jacView() const { return {rtojac_vec_bj(fw.jac), FrameworkLists::kCapacity}; }
  OneBased<double> resView() const { return {rtoeqnlst_vec_residual(fw.eqns), FrameworkLists::kCapacity}; }

  FrameworkLists fw;
  int firstVar = 101;
  int firstEqn = 51;
  int firstNz = 301;
  VarMan vm;
};

TEST_F(EquationRow, StartsUnplacedWithoutPatternOrKey) {
  FakeEqn e("EQN_A", {"X"});
  EXPECT_EQ(e.name, "EQN_A");
  EXPECT_EQ(e.index, 0);
  EXPECT_EQ(e.firstNz, -1);
  EXPECT_FALSE(e.patterned());
  EXPECT_EQ(e.varMan(), nullptr);
  EXPECT_EQ(e.context(), nullptr);
  EXPECT_EQ(e.attributeMap(), nullptr);
  EXPECT_EQ(e.getOrderKey(), 0u);
  EXPECT_TRUE(e.localNz().empty());
  EXPECT_EQ(e.init(), 0);

  ROMAttrMap attrs;
  ROMAttrMap* holder = &attrs;
  struct WithContext : roeqn2 {
    explicit WithContext(EqnContext c) : roeqn2("EQN_C", c) {}
    int res(OneBased<double>) override { return 0; }
    int jac(OneBased<double>) override { return 0; }
  } withContext(&holder);
  EXPECT_EQ(withContext.context(), &holder);
  EXPECT_EQ(withContext.attributeMap(), &attrs);
  EXPECT_EQ(withContext.roeqn2::init(), 0);  // the base sets no starting value
}

TEST_F(EquationRow, FirstEntryOfTheFirstRowIsNumberOne) {
  firstNz = 1;
  firstEqn = 1;
  FakeEqn e("EQN_A", {"X", "Y"}, {1.0, -1.0});
  place(e, 1);
  EXPECT_EQ(e.pat(fw.jac, 1), 2);
  EXPECT_EQ(rtojac_row(fw.jac, 1), 1);
  EXPECT_EQ(rtojac_col(fw.jac, 1), 101);
  EXPECT_EQ(e.res(resView()), 0);
  EXPECT_DOUBLE_EQ(fw.residual(1), 2.0 - 3.0);
}

TEST_F(EquationRow, NumbersFollowTheBlockStartsAndTheRunningIndex) {
  FakeEqn e("EQN_A", {"Z", "X"}, {2.0, 1.0});
  place(e, 2);
  EXPECT_EQ(e.pat(fw.jac, 4), 2);
  EXPECT_EQ(e.eqnNumber(), 52);  // E + I - 1
  // Non-zeros B + S - 1 + L = 304, 305; row E + I - 1; columns V + P - 1.
  EXPECT_EQ(rtojac_row(fw.jac, 304), 52);
  EXPECT_EQ(rtojac_col(fw.jac, 304), 103);
  EXPECT_EQ(rtojac_row(fw.jac, 305), 52);
  EXPECT_EQ(rtojac_col(fw.jac, 305), 101);
  EXPECT_EQ(rtojac_max_nz_registered(fw.jac), 305);
  EXPECT_EQ(e.localNz(), (std::map<std::string, int>{{"Z", 0}, {"X", 1}}));

  EXPECT_EQ(e.res(resView()), 0);
  EXPECT_DOUBLE_EQ(fw.residual(52), 2.0 * 5.0 + 2.0);
  EXPECT_EQ(e.evalJac(jacView()), 0);
  EXPECT_DOUBLE_EQ(fw.jacobian(304), 2.0);
  EXPECT_DOUBLE_EQ(fw.jacobian(305), 1.0);
}

TEST_F(EquationRow, EmptyListRegistersNothing) {
  FakeEqn e("EQN_EMPTY", {});
  place(e, 1);
  EXPECT_EQ(e.pat(fw.jac, 7), 0);
  EXPECT_EQ(e.firstNz, 7);
  EXPECT_EQ(rtojac_max_nz_registered(fw.jac), 0);
  EXPECT_EQ(e.evalJac(jacView()), 0);
}

TEST_F(EquationRow, NameListedTwiceRegistersBothAndLeavesNoStaleEntry) {
  FakeEqn e("EQN_A", {"X", "Y", "X"}, {1.0, 4.0, 2.0});
  place(e, 1);
  EXPECT_EQ(e.pat(fw.jac, 1), 3);
  EXPECT_EQ(rtojac_col(fw.jac, 301), 101);
  EXPECT_EQ(rtojac_col(fw.jac, 303), 101);
  EXPECT_EQ(e.localNz().at("X"), 2);  // the later position
  // A value left from an earlier pass in the first X entry must not survive.
  fw.jacobian(301) = 99.0;
  EXPECT_EQ(e.evalJac(jacView()), 0);
  EXPECT_DOUBLE_EQ(fw.jacobian(301), 0.0);
  EXPECT_DOUBLE_EQ(fw.jacobian(302), 4.0);
  EXPECT_DOUBLE_EQ(fw.jacobian(303), 3.0);  // dR/dX in one entry: the row's sum is exact
}

TEST_F(EquationRow, JacobianBeforeThePatternWritesNothing) {
  FakeEqn e("EQN_A", {"X", "Y"});
  place(e, 1);
  for (int nz = 1; nz <= 400; ++nz) fw.jacobian(nz) = -7.0;
  EXPECT_EQ(e.jac(jacView()), 2);  // one per entry it would have written
  EXPECT_EQ(e.evalJac(jacView()), 1);
  EXPECT_EQ(e.setJacValue(jacView(), "X", 1.0), 1);
  for (int nz = 1; nz <= 400; ++nz) ASSERT_EQ(fw.jacobian(nz), -7.0) << nz;
}

TEST_F(EquationRow, UnknownNamesFailTheMapLookUp) {
  FakeEqn e("EQN_A", {"X", "NOPE"});
  place(e, 1);
  try {
    e.pat(fw.jac, 1);
    FAIL() << "a name the VarMan lacks must fail";
  } catch (const std::out_of_range& ex) {
    EXPECT_STREQ(ex.what(), "invalid map<K, T> key");
  }
  FakeEqn f("EQN_B", {"X"});
  place(f, 2);
  f.pat(fw.jac, 1);
  EXPECT_THROW(f.setJacValue(jacView(), "Y", 1.0), std::out_of_range);
}

TEST_F(EquationRow, UnplacedObjectCannotPattern) {
  FakeEqn e("EQN_A", {"X"});
  EXPECT_THROW(e.pat(fw.jac, 1), std::logic_error);
  e.setVarMan(&vm);
  EXPECT_THROW(e.pat(fw.jac, 1), std::logic_error);  // no block positions yet
}

TEST_F(EquationRow, SecondPatternReplacesStartAndLocalMap) {
  FakeEqn e("EQN_A", {"X", "Y"});
  place(e, 1);
  e.pat(fw.jac, 1);
  e.pat(fw.jac, 10);
  EXPECT_EQ(e.firstNz, 10);
  EXPECT_EQ(e.nzNumber(e.localNz().at("Y")), 301 + 10 - 1 + 1);
  EXPECT_EQ(e.evalJac(jacView()), 0);
  EXPECT_DOUBLE_EQ(fw.jacobian(311), 1.0);
}

TEST_F(EquationRow, StartingValuesAreFiniteOrNotStored) {
  FakeEqn e("EQN_A", {"X"});
  place(e, 1);
  EXPECT_EQ(e.setVarValue("Y", 0.25), 0);
  EXPECT_DOUBLE_EQ(fw.value(102), 0.25);
  EXPECT_EQ(e.setVarValue("Y", std::numeric_limits<double>::infinity()), 1);
  EXPECT_EQ(e.setVarValue("Y", std::nan("")), 1);
  EXPECT_DOUBLE_EQ(fw.value(102), 0.25);
  FakeEqn loose("EQN_B", {"X"});
  EXPECT_EQ(loose.setVarValue("Y", 1.0), 1);  // no VarMan: nothing stored
}

TEST_F(EquationRow, FiniteChecksCoverOnlyTheOwnRowAndRange) {
  FakeEqn e("EQN_A", {"X", "Y"});
  place(e, 3);
  e.pat(fw.jac, 5);
  EXPECT_TRUE(e.ownRangeFinite(jacView()));
  fw.jacobian(301 + 5 - 1 + 2) = std::nan("");  // just past the row
  EXPECT_TRUE(e.ownRangeFinite(jacView()));
  fw.jacobian(301 + 5 - 1 + 1) = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(e.ownRangeFinite(jacView()));
  EXPECT_TRUE(e.residualFinite(resView()));
  fw.residual(53) = std::nan("");
  EXPECT_FALSE(e.residualFinite(resView()));
}

// addOrderKey: the key moves only while it stays within 0 .. 4294967294.
struct KeyCase {
  std::uint32_t key;
  std::int32_t delta;
  std::uint32_t expected;
};

class OrderKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(OrderKey, StaysWithinItsRange) {
  FakeEqn e("EQN_A", {});
  e.setOrderKey(GetParam().key);
  e.addOrderKey(GetParam().delta);
  EXPECT_EQ(e.getOrderKey(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OrderKey,
    ::testing::Values(KeyCase{3, -5, 3}, KeyCase{3, -3, 0}, KeyCase{4294967294u, 1, 4294967294u},
                      KeyCase{4294967293u, 1, 4294967294u}, KeyCase{1500, 3, 1503}, KeyCase{0, 1, 1},
                      KeyCase{0, 0, 0}, KeyCase{1000, 0, 1000}, KeyCase{0, -1, 0},
                      KeyCase{4294967295u, -1, 4294967294u}, KeyCase{4294967295u, 1, 4294967295u},
                      KeyCase{5, std::numeric_limits<std::int32_t>::min(), 5},
                      KeyCase{4294967295u, std::numeric_limits<std::int32_t>::min(), 2147483647u},
                      KeyCase{0, std::numeric_limits<std::int32_t>::max(), 2147483647u}));

}  // namespace
