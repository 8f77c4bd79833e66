#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/eqnman.h"
#include "core/managers_ex.h"
#include "core/varman.h"
#include "tests/core/framework_lists.h"
#include "tests/equations/fake_eqn.h"

namespace {

// ---- Exceptions ---------------------------------------------------------------

struct ExCase {
  const char* cls;
  std::function<void()> raise;
  const char* text;
};

class ManagerExceptions : public ::testing::TestWithParam<ExCase> {};

TEST_P(ManagerExceptions, CarryTheirFixedText) {
  try {
    GetParam().raise();
    FAIL() << GetParam().cls << " not raised";
  } catch (const std::exception& ex) {
    EXPECT_STREQ(ex.what(), GetParam().text) << GetParam().cls;
  }
}

INSTANTIATE_TEST_SUITE_P(
    All, ManagerExceptions,
    ::testing::Values(ExCase{"vardupex2", [] { throw vardupex2(); }, "That variable already exists"},
                      ExCase{"eqdupex2", [] { throw eqdupex2(); }, "That equation name already exists"},
                      ExCase{"initex2", [] { throw initex2(); }, "The Equation Manager has yet been initialized"},
                      ExCase{"vardupex", [] { throw vardupex(); }, "That variable already exists"},
                      ExCase{"eqdupex", [] { throw eqdupex(); }, "That equation name already exists"},
                      ExCase{"initex", [] { throw initex(); }, "The Equation Manager has yet been initialized"}));

// ---- VarMan -------------------------------------------------------------------

class VariableManager : public ::testing::Test {
 protected:
  VariableManager() : vm(&firstVar) {
    vm.addVar("FEEDMASS", "KG/HR", "TONNE/DAY", 1, 0, 1e6);
    vm.addVar("C3FRAC", "FRACTION", "FRACTION", 2, -1, 1);
    for (int n : {101, 102}) {
      rtvar_rec_t rec;
      rtovarlst_initialize_var(fw.vars, n, &rec, 1);
    }
  }
  void attach() { vm.attach(OneBased<double>(rtovarlst_vec_value(fw.vars), FrameworkLists::kCapacity), fw.vars); }

  FrameworkLists fw;
  int firstVar = 101;
  VarMan vm;
};

TEST_F(VariableManager, KeepsRecordsByNameWithTheirFields) {
  ASSERT_EQ(vm.size(), 2u);
  const ROMVar& feed = vm.var("FEEDMASS");
  EXPECT_EQ(feed.name, "FEEDMASS");
  EXPECT_EQ(feed.baseUnit, "KG/HR");
  EXPECT_EQ(feed.dispUnit, "TONNE/DAY");
  EXPECT_EQ(feed.index, 1);
  EXPECT_EQ(feed.upper, 1e6);
  EXPECT_EQ(vm.varIndex("C3FRAC"), 102);  // V + P - 1
  firstVar = 11;                          // read through the block's field on every call
  EXPECT_EQ(vm.varIndex("C3FRAC"), 12);
}

TEST_F(VariableManager, RepeatedNameRaisesAndKeepsTheFirst) {
  EXPECT_THROW(vm.addVar("FEEDMASS", "CUM/HR", "KBBL/DAY", 7, 0, 1), vardupex2);
  EXPECT_EQ(vm.var("FEEDMASS").index, 1);
  EXPECT_EQ(vm.size(), 2u);
  VarMan first(&firstVar, VarMan::Generation::First);
  first.addVar("X", "F", "F", 1, 0, 1);
  EXPECT_THROW(first.addVar("X", "F", "F", 2, 0, 1), vardupex);
}

TEST_F(VariableManager, MissingNameFailsTheMapLookUp) {
  attach();
  const std::vector<std::function<void()>> uses = {
      [&] { vm.var("NOPE"); },          [&] { vm.varIndex("NOPE"); },        [&] { vm.getValue("NOPE"); },
      [&] { vm.setValue("NOPE", 1.0); }, [&] { vm.setVarSpec("NOPE", "CONST"); }, [&] { vm.setLower("NOPE", 0.0); }};
  for (const auto& use : uses) {
    try {
      use();
      ADD_FAILURE() << "no error";
    } catch (const std::out_of_range& ex) {
      EXPECT_STREQ(ex.what(), "invalid map<K, T> key");
    }
  }
}

TEST_F(VariableManager, ReadsAndWritesTheAttachedFrameworkVariables) {
  EXPECT_THROW(vm.getValue("FEEDMASS"), std::logic_error);  // nothing attached yet
  EXPECT_EQ(vm.setValue("FEEDMASS", 5.0), 1);
  attach();
  EXPECT_EQ(vm.setValue("FEEDMASS", 5.0), 0);
  EXPECT_DOUBLE_EQ(vm.getValue("FEEDMASS"), 5.0);
  EXPECT_EQ(vm.setValue("FEEDMASS", std::nan("")), 1);
  EXPECT_EQ(vm.setValue("FEEDMASS", -INFINITY), 1);
  EXPECT_DOUBLE_EQ(vm.getValue("FEEDMASS"), 5.0);

  EXPECT_EQ(vm.setVarSpec("C3FRAC", "CONST"), 0);
  EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, 102));
  EXPECT_EQ(vm.setVarSpec("C3FRAC", "OTHER"), 0);  // does nothing
  EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, 102));
  EXPECT_EQ(vm.setVarSpec("C3FRAC", "CALC"), 0);
  EXPECT_FALSE(rtovarlst_is_fixed(fw.vars, 102));

  EXPECT_EQ(vm.setLower("C3FRAC", -0.5), 0);
  EXPECT_EQ(vm.setUpper("C3FRAC", 0.5), 0);
  EXPECT_EQ(rtovarlst_lower(fw.vars, 102), -0.5);
  EXPECT_EQ(rtovarlst_upper(fw.vars, 102), 0.5);

  vm.clear();
  EXPECT_EQ(vm.size(), 0u);
  EXPECT_FALSE(vm.values().valid());
  EXPECT_EQ(vm.varList(), nullptr);
}

TEST_F(VariableManager, ExclusionAppliesOnlyWhileFlagged) {
  vm.exclude("C3FRAC");
  EXPECT_TRUE(vm.createsFrameworkVariable("C3FRAC"));
  vm.setExclusionFlag(1);
  EXPECT_FALSE(vm.createsFrameworkVariable("C3FRAC"));
  EXPECT_TRUE(vm.createsFrameworkVariable("FEEDMASS"));
}

// ---- EqnMan -------------------------------------------------------------------

class EquationManager : public ::testing::Test {
 protected:
  EquationManager() : vm(&firstVar), em(&vm, &firstNz, &firstEqn) {
    int p = 1;
    for (const char* name : {"A1", "A2", "A3", "A4", "A5"}) vm.addVar(name, "F", "F", p++, 0, 1);
  }
  std::unique_ptr<FakeEqn> make(const std::string& name, std::vector<std::string> vars = {}) {
    return std::make_unique<FakeEqn>(name, std::move(vars), std::vector<double>{}, &log, &alive);
  }

  int firstVar = 101, firstEqn = 51, firstNz = 301;
  FakeEqn::Log log;
  int alive = 0;
  VarMan vm;
  EqnMan em;
};

TEST_F(EquationManager, NumbersObjectsInTheOrderAddedAndHandsOverTheBlock) {
  EXPECT_EQ(em.addEquation(make("B")), 0);
  EXPECT_EQ(em.addEquation(make("A")), 0);
  EXPECT_EQ(em.find("B")->index, 1);
  EXPECT_EQ(em.find("A")->index, 2);
  EXPECT_EQ(em.find("A")->varMan(), &vm);
  EXPECT_EQ(em.find("A")->eqnNumber(), 52);
  EXPECT_EQ(em.nextIndex(), 3u);
  EXPECT_EQ(em.size(), 2u);

  // An object that brings its own VarMan keeps it.
  VarMan other(&firstVar);
  auto own = make("C");
  own->setVarMan(&other);
  em.addEquation(std::move(own));
  EXPECT_EQ(em.find("C")->varMan(), &other);
}

TEST_F(EquationManager, RepeatedNameRaisesAndTheFirstKeepsItsIndex) {
  em.addEquation(make("EQN_X"));
  try {
    em.addEquation(make("EQN_X"));
    FAIL() << "eqdupex2 expected";
  } catch (const eqdupex2& ex) {
    EXPECT_STREQ(ex.what(), "That equation name already exists");
  }
  EXPECT_EQ(alive, 1);  // the refused object was deleted with its holder
  EXPECT_EQ(em.find("EQN_X")->index, 1);
  em.addEquation(make("EQN_Y"));
  EXPECT_EQ(em.find("EQN_Y")->index, 2);
}

TEST_F(EquationManager, UseBeforeSetUpRaisesInitex2) {
  const std::vector<std::function<void(EqnMan&)>> incomplete = {
      [](EqnMan&) {},
      [&](EqnMan& m) { m.setUp(&vm, &firstNz, nullptr); },
      [&](EqnMan& m) { m.setUp(&vm, nullptr, &firstEqn); },
      [&](EqnMan& m) { m.setUp(nullptr, &firstNz, &firstEqn); },
  };
  for (const auto& setUp : incomplete) {
    EqnMan m;
    setUp(m);
    EXPECT_FALSE(m.isSetUp());
    EXPECT_THROW(m.addEquation(make("A")), initex2);
    EXPECT_EQ(m.size(), 0u);
  }
  EXPECT_EQ(alive, 0);
  EXPECT_THROW(em.addEquation(nullptr), std::invalid_argument);
}

TEST_F(EquationManager, PatternRunsByIndexFromWhereThePreviousEnded) {
  FrameworkLists fw;
  em.addEquation(make("C", {"A1", "A2", "A3"}));
  em.addEquation(make("B", {}));
  em.addEquation(make("A", {"A1", "A2", "A3", "A4", "A5"}));
  EXPECT_EQ(em.pattern(fw.jac), 8u);
  EXPECT_EQ(log, (FakeEqn::Log{"pat:C", "pat:B", "pat:A"}));
  const auto start = [&](const char* n) { return dynamic_cast<FakeEqn&>(*em.find(n)).starts.at(0); };
  EXPECT_EQ(start("C"), 1);
  EXPECT_EQ(start("B"), 4);
  EXPECT_EQ(start("A"), 4);
  EXPECT_EQ(rtojac_max_nz_registered(fw.jac), 301 + 8 - 1);

  EqnMan empty(&vm, &firstNz, &firstEqn);
  EXPECT_EQ(empty.pattern(fw.jac), 0u);
}

TEST_F(EquationManager, ClearDeletesEveryObjectOnce) {
  em.addEquation(make("A"));
  em.addEquation(make("B"));
  EXPECT_EQ(alive, 2);
  em.clear();
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(em.size(), 0u);
}

}  // namespace
