#include <gtest/gtest.h>

#include <set>

#include "core/records.h"

TEST(Records, VariableFromOneUnitHasDefaultValueAndOpenBounds) {
  const ROMVar v("FEEDSUL", "FRACTION", 3);
  EXPECT_EQ(v.name, "FEEDSUL");
  EXPECT_EQ(v.dispUnit, "FRACTION");
  EXPECT_EQ(v.baseUnit, "FRACTION");
  EXPECT_EQ(v.index, 3);
  EXPECT_EQ(v.value, 1.0);
  EXPECT_EQ(v.lower, -1e30);
  EXPECT_EQ(v.upper, 1e30);
  EXPECT_TRUE(v.derivs.empty());
  EXPECT_TRUE(v.nameSet.empty());
}

TEST(Records, VariableTakesBaseUnitBeforeDisplayUnit) {
  const ROMVar v("FEEDMASS", "KG/HR", "TONNE/DAY", 1, 0.0, 5e6);
  EXPECT_EQ(v.baseUnit, "KG/HR");
  EXPECT_EQ(v.dispUnit, "TONNE/DAY");
  EXPECT_EQ(v.lower, 0.0);
  EXPECT_EQ(v.upper, 5e6);
  const ROMVar w("RXTEMP", "F", 2, 500.0, 1200.0);
  EXPECT_EQ(w.baseUnit, "F");
  EXPECT_EQ(w.dispUnit, "F");
  EXPECT_EQ(w.lower, 500.0);
}

TEST(Records, EquationStartsWithoutNonZero) {
  const ROMEqn e("Y_C3FRAC", 7);
  EXPECT_EQ(e.name, "Y_C3FRAC");
  EXPECT_EQ(e.index, 7);
  EXPECT_EQ(e.firstNz, 0);
}

TEST(Records, AttributesAreReal) {
  const ROMAttr a("ALPHA_C3FRAC", 4, "ignored", 0.0001, 12);
  EXPECT_EQ(a.code, 4);
  EXPECT_EQ(a.type, ROMATTR_REAL);
  EXPECT_EQ(a.value, 0.0001);
  EXPECT_EQ(a.number, 12);
  const ROMAttr b("FACTORNA", 0.5, 3);
  EXPECT_EQ(b.code, 0);
  EXPECT_EQ(b.type, ROMATTR_REAL);
  EXPECT_EQ(b.value, 0.5);
  EXPECT_EQ(b.number, 3);
}

TEST(Records, DescriptionSetsKeepTheFirstOfANameInNameOrder) {
  std::set<varinfo2> s;
  s.insert(varinfo2("FEEDSUL", "FRACTION", 0.0, 1.0));
  s.insert(varinfo2("C3MASS", "KG/HR", "TONNE/DAY", 0.0, 1e7));
  s.insert(varinfo2("FEEDSUL", "PPM", 5.0, 6.0));
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s.begin()->name, "C3MASS");
  EXPECT_EQ(s.begin()->baseUnit, "KG/HR");
  EXPECT_EQ(s.begin()->dispUnit, "TONNE/DAY");
  EXPECT_EQ(std::next(s.begin())->dispUnit, "FRACTION");
}

TEST(Records, VersionDefaultsTo35) {
  const VerInfo v;
  EXPECT_EQ(v, (VerInfo{35, 0, 0}));
}
