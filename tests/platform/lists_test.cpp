#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "platform/eqnlist.h"
#include "platform/jacobian.h"
#include "platform/varlist.h"

namespace {

constexpr int kCap = 10;

rtvar_rec_t var_rec(const char* name, double value) {
  rtvar_rec_t r;
  std::snprintf(r.name, sizeof r.name, "%s", name);
  r.value = value;
  return r;
}

class VarList : public ::testing::Test {
 protected:
  void SetUp() override {
    const rtvar_rec_t r = var_rec("B1.FEEDMASS", 1.0);
    ASSERT_EQ(rtovarlst_initialize_var(l, 3, &r, 1), 0);
  }
  void TearDown() override { rtovarlst_destroy(l); }
  rtvarlst_t* l = rtovarlst_create(kCap);
};

TEST_F(VarList, RegistersFreeWithTheRecordsValueBoundsAndName) {
  auto r = var_rec("B1.YIELD", 4.5);
  r.lower = -2.0;
  r.flags = 524558;
  EXPECT_EQ(rtovarlst_initialize_var(l, kCap, &r, 1), 0);
  EXPECT_FALSE(rtovarlst_is_fixed(l, kCap));
  EXPECT_DOUBLE_EQ(rtovarlst_vec_value(l)[kCap - 1], 4.5);  // number n is element n-1
  EXPECT_DOUBLE_EQ(rtovarlst_lower(l, kCap), -2.0);
  EXPECT_EQ(rtovarlst_flags(l, kCap), 524558);
  EXPECT_EQ(rtovarlst_find(l, "B1.YIELD"), kCap);
  EXPECT_EQ(rtovarlst_find(l, "B1.yield"), 0);
  EXPECT_EQ(rtovarlst_registered_count(l), 2);
  EXPECT_EQ(rtovarlst_fix_var(l, kCap), 0);
  EXPECT_TRUE(rtovarlst_is_fixed(l, kCap));
  EXPECT_EQ(rtovarlst_error_count(l), 0);
  // A name that fills the record's buffer without a terminator is copied bounded.
  std::memset(r.name, 'A', sizeof r.name);
  EXPECT_EQ(rtovarlst_initialize_var(l, 1, &r, 1), 0);
  EXPECT_EQ(std::string(rtovarlst_name(l, 1)).size(), sizeof r.name);
}

// Each operation on a bad number must fail, write nothing and count one error.
struct BadCall {
  const char* what;
  std::function<int(rtvarlst_t*, int)> call;
};

class VarListBadNumber : public VarList, public ::testing::WithParamInterface<std::tuple<int, BadCall>> {};

TEST_P(VarListBadNumber, IsRefusedAndCounted) {
  const auto& [num, op] = GetParam();
  rtovarlst_vec_value(l)[2] = 5.0;
  EXPECT_NE(op.call(l, num), 0) << op.what << " " << num;
  EXPECT_EQ(rtovarlst_error_count(l), 1) << op.what << " " << num;
  EXPECT_DOUBLE_EQ(rtovarlst_vec_value(l)[2], 5.0);
  EXPECT_EQ(rtovarlst_registered_count(l), 1);
}

const BadCall kVarCalls[] = {
    {"set_value", [](rtvarlst_t* l, int n) { return rtovarlst_set_var_value(l, n, 2.0); }},
    {"fix", [](rtvarlst_t* l, int n) { return rtovarlst_fix_var(l, n); }},
    {"free", [](rtvarlst_t* l, int n) { return rtovarlst_free_var(l, n); }},
    {"lower", [](rtvarlst_t* l, int n) { return rtovarlst_set_var_lower(l, n, 0.0); }},
    {"upper", [](rtvarlst_t* l, int n) { return rtovarlst_set_var_upper(l, n, 0.0); }},
    {"status", [](rtvarlst_t* l, int n) { return rtovarlst_set_var_status(l, n, 7); }},
    {"baseuom", [](rtvarlst_t* l, int n) { return rtovarlst_set_var_baseuom(l, n, 1); }},
    {"uom", [](rtvarlst_t* l, int n) { return rtovarlst_set_var_uom(l, n, 1); }},
    {"inq_status", [](rtvarlst_t* l, int n) { return rtovarlst_inq_var_status(l, n) == 0 ? 1 : 0; }},
};

// 0, -1 and capacity+1 are out of range; 5 is in range but never registered.
INSTANTIATE_TEST_SUITE_P(Numbers, VarListBadNumber,
                         ::testing::Combine(::testing::Values(0, -1, kCap + 1, 5), ::testing::ValuesIn(kVarCalls)));

TEST_F(VarList, RegistrationErrorsAreCounted) {
  const rtvar_rec_t r = var_rec("B1.X", 2.0);
  EXPECT_NE(rtovarlst_initialize_var(l, 3, &r, 1), 0);  // twice
  EXPECT_NE(rtovarlst_initialize_var(l, 0, &r, 1), 0);
  EXPECT_NE(rtovarlst_initialize_var(l, kCap + 1, &r, 1), 0);
  EXPECT_NE(rtovarlst_initialize_var(l, 4, nullptr, 1), 0);
  EXPECT_DOUBLE_EQ(rtovarlst_vec_value(l)[2], 1.0);
  // A second variable under an existing name is registered but counted.
  const rtvar_rec_t same = var_rec("B1.FEEDMASS", 3.0);
  EXPECT_NE(rtovarlst_initialize_var(l, 4, &same, 1), 0);
  EXPECT_TRUE(rtovarlst_is_registered(l, 4));
  EXPECT_EQ(rtovarlst_find(l, "B1.FEEDMASS"), 3);
  // Non-finite values and NaN bounds would poison every later evaluation.
  EXPECT_NE(rtovarlst_set_var_value(l, 3, std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_NE(rtovarlst_set_var_value(l, 3, std::numeric_limits<double>::infinity()), 0);
  EXPECT_NE(rtovarlst_set_var_lower(l, 3, std::nan("")), 0);
  EXPECT_EQ(rtovarlst_set_var_upper(l, 3, std::numeric_limits<double>::infinity()), 0);
  EXPECT_DOUBLE_EQ(rtovarlst_vec_value(l)[2], 1.0);
  EXPECT_EQ(rtovarlst_error_count(l), 8);
  rtovarlst_reset_errors(l);
  EXPECT_EQ(rtovarlst_error_count(l), 0);
}

TEST_F(VarList, PhysicalTypeAndUnitsRoundTrip) {
  int phys = -1, uom = -1;
  ASSERT_EQ(rtouom_locate("KG/HR", &phys, &uom), 0);
  long long st = rtovarlst_inq_var_status(l, 3) | 0x5;  // other bits of the word survive
  varSetPhysicalType(&st, phys);
  EXPECT_EQ(rtovarlst_set_var_status(l, 3, st), 0);
  EXPECT_EQ(rtovarlst_set_var_baseuom(l, 3, uom), 0);
  EXPECT_EQ(rtovarlst_phys_type(l, 3), phys);
  EXPECT_EQ(rtovarlst_inq_var_status(l, 3) & 0x5, 0x5);
  EXPECT_STREQ(rtouom_name(rtovarlst_baseuom(l, 3)), "KG/HR");
}

TEST_F(VarList, OneBasedViewsStayInsideAndRelocationKeepsValues) {
  double* one_based = rtovarlst_vec_value(l) - 1;  // the blocks' 1-based view
  one_based[3] = 6.5;
  EXPECT_DOUBLE_EQ(one_based[0], 0.0);  // the pad element is readable (the sanitizers check)
  const double* before = rtovarlst_vec_value(l);
  rtovarlst_relocate(l);
  EXPECT_NE(rtovarlst_vec_value(l), before);
  EXPECT_DOUBLE_EQ(rtovarlst_vec_value(l)[2], 6.5);
}

TEST(VarListCreate, NegativeCapacityGivesNoListAndNullListsAreSafe) {
  EXPECT_EQ(rtovarlst_create(-1), nullptr);
  rtvarlst_t* empty = rtovarlst_create(0);
  const rtvar_rec_t r = var_rec("X", 0.0);
  EXPECT_NE(rtovarlst_initialize_var(empty, 1, &r, 1), 0);
  EXPECT_EQ(rtovarlst_error_count(empty), 1);
  rtovarlst_destroy(empty);
  EXPECT_NE(rtovarlst_fix_var(nullptr, 1), 0);
  EXPECT_EQ(rtovarlst_vec_value(nullptr), nullptr);
}

// Every unit of the table is found under a distinct id that names it back; a
// display unit and its base unit share a physical type.
TEST(Units, TableLocatesAndNamesEveryUnit) {
  const char* known[] = {"TONNE/DAY", "KG/HR", "KBBL/DAY", "CUM/HR", "MMSCFD", "KMOL/HR", "UNITLESS", "FRACTION",
                         "PERCENT", "PPM", "F", "KPA", "CS", "MM", "KG/CUM", "MMBTU/HR"};
  std::vector<int> ids, types;
  const int warnings = rtouom_warning_count();
  for (const char* u : known) {
    int phys = 0, uom = 0;
    EXPECT_EQ(rtouom_locate(u, &phys, &uom), 0) << u;
    EXPECT_STREQ(rtouom_name(uom), u);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), uom), 0) << u;
    ids.push_back(uom);
    types.push_back(phys);
  }
  EXPECT_EQ(rtouom_warning_count(), warnings);
  EXPECT_EQ(types[0], types[1]);
  EXPECT_NE(types[1], types[3]);
  for (const char* u : {"FURLONG", "", static_cast<const char*>(nullptr)}) {
    int phys = 9, uom = 9;
    EXPECT_EQ(rtouom_locate(u, &phys, &uom), 1);
    EXPECT_EQ(phys + uom, 0);
  }
  EXPECT_EQ(rtouom_warning_count(), warnings + 3);
  // Any case finds the same unit: no two units differ only by case.
  for (std::size_t i = 0; i < std::size(known); ++i) {
    std::string lower = known[i];
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    int phys = 0, uom = 0;
    EXPECT_EQ(rtouom_locate(lower.c_str(), &phys, &uom), 0) << lower;
    EXPECT_EQ(uom, ids[i]) << lower;
    EXPECT_EQ(phys, types[i]) << lower;
  }
  EXPECT_EQ(rtouom_warning_count(), warnings + 3);
  EXPECT_STREQ(rtouom_name(0), "");
  EXPECT_STREQ(rtouom_name(10000), "");
}

TEST(EqnList, RegistersNameAndOwnerAndCountsBadNumbers) {
  rtattrdict_t* l = rtoeqnlst_create(4);
  rteqn_rec_t r;
  std::snprintf(r.name, sizeof r.name, "B1.MASS_BAL");
  u3rpmt_c(&r.pmt, 0);
  const auto* owner = reinterpret_cast<const QivEOBlock*>(&r);
  r.owner = owner;
  EXPECT_EQ(rtoeqnlst_initialize_eqn(l, 4, &r), 0);
  EXPECT_EQ(rtoeqnlst_find(l, "B1.MASS_BAL"), 4);
  EXPECT_EQ(rtoeqnlst_owner(l, 4), owner);
  EXPECT_STREQ(rtoeqnlst_name(l, 1), "");
  for (int bad : {0, -3, 5, 4}) EXPECT_NE(rtoeqnlst_initialize_eqn(l, bad, &r), 0) << bad;
  EXPECT_NE(rtoeqnlst_initialize_eqn(l, 1, nullptr), 0);
  EXPECT_EQ(rtoeqnlst_error_count(l), 5);
  EXPECT_EQ(rtoeqnlst_registered_count(l), 1);
  (rtoeqnlst_vec_residual(l) - 1)[4] = 2.0;
  rtoeqnlst_relocate(l);
  EXPECT_DOUBLE_EQ(rtoeqnlst_vec_residual(l)[3], 2.0);
  rtoeqnlst_destroy(l);
}

TEST(Jacobian, PatternBoundsHighestNzAndReset) {
  rt_jac_t* j = rtojac_create(6);
  EXPECT_EQ(rtojac_set_nz_eqnnum(j, 2, 11), 0);
  EXPECT_EQ(rtojac_set_nz_varnum(j, 2, 101), 0);
  EXPECT_EQ(rtojac_set_nz_eqnnum(j, 5, 12), 0);
  EXPECT_EQ(rtojac_set_nz_varnum(j, 5, 102), 0);
  EXPECT_EQ(rtojac_row(j, 2), 11);
  EXPECT_EQ(rtojac_col(j, 5), 102);
  // Out of range non-zeros and non-positive numbers: nothing written, counted.
  EXPECT_NE(rtojac_set_nz_eqnnum(j, 0, 1), 0);
  EXPECT_NE(rtojac_set_nz_varnum(j, 7, 1), 0);
  EXPECT_NE(rtojac_set_nz_eqnnum(j, 3, 0), 0);
  EXPECT_NE(rtojac_set_nz_varnum(j, 3, -1), 0);
  EXPECT_EQ(rtojac_row(j, 3), 0);
  EXPECT_EQ(rtojac_error_count(j), 4);
  EXPECT_EQ(rtojac_max_nz_registered(j), 5);
  EXPECT_EQ(rtojac_set_nz_eqnnum(j, 2, 11), 0);  // a repeated pattern pass is no error
  EXPECT_EQ(rtojac_error_count(j), 4);
  rtojac_vec_bj(j)[4] = 1.5;
  rtojac_relocate(j);
  EXPECT_DOUBLE_EQ(rtojac_vec_bj(j)[4], 1.5);
  rtojac_reset_pattern(j);
  EXPECT_EQ(rtojac_max_nz_registered(j), 0);
  EXPECT_EQ(rtojac_row(j, 2), 0);
  rtojac_destroy(j);
}

// A large capacity of which the block registers a few scattered numbers:
// every number reads as registered or 0, up to the capacity, through growth,
// a reset and a shorter pattern after it; the values start at zero.
TEST(Jacobian, LargeCapacityRegisteredSparsely) {
  constexpr int kCapacity = 200000;
  rt_jac_t* j = rtojac_create(kCapacity);
  ASSERT_NE(j, nullptr);
  for (const int nz : {kCapacity, 1, 777, 3}) {
    EXPECT_EQ(rtojac_set_nz_eqnnum(j, nz, nz % 50 + 1), 0);
    EXPECT_EQ(rtojac_set_nz_varnum(j, nz, nz % 70 + 1), 0);
  }
  EXPECT_EQ(rtojac_set_nz_eqnnum(j, 5000, 9), 0);  // a row without its column
  EXPECT_EQ(rtojac_max_nz_registered(j), kCapacity);
  EXPECT_EQ(rtojac_row(j, 777), 777 % 50 + 1);
  EXPECT_EQ(rtojac_col(j, kCapacity), kCapacity % 70 + 1);
  EXPECT_EQ(rtojac_row(j, 5000), 9);
  EXPECT_EQ(rtojac_col(j, 5000), 0);
  for (const int nz : {2, 4, 776, 778, 4999, 5001, kCapacity - 1}) {
    EXPECT_EQ(rtojac_row(j, nz), 0) << nz;
    EXPECT_EQ(rtojac_col(j, nz), 0) << nz;
  }
  EXPECT_EQ(rtojac_row(j, kCapacity + 1), 0);
  EXPECT_EQ(rtojac_error_count(j), 0);
  const double* bj = rtojac_vec_bj(j);
  for (const int nz : {1, 2, 777, 100000, kCapacity}) EXPECT_EQ(bj[nz - 1], 0.0) << nz;
  rtojac_reset_pattern(j);
  EXPECT_EQ(rtojac_row(j, 777), 0);
  EXPECT_EQ(rtojac_col(j, kCapacity), 0);
  EXPECT_EQ(rtojac_set_nz_varnum(j, 10, 4), 0);
  EXPECT_EQ(rtojac_max_nz_registered(j), 10);
  EXPECT_EQ(rtojac_col(j, 10), 4);
  EXPECT_EQ(rtojac_row(j, 10), 0);
  EXPECT_EQ(rtojac_col(j, 3), 0);
  EXPECT_EQ(rtojac_col(j, 777), 0);
  rtojac_destroy(j);
}

}  // namespace
