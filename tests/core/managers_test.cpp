#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/eqnman.h"
#include "core/managers_ex.h"
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

struct ExCase {
  std::function<void()> raise;
  const char* text;
};

class ManagerExceptions : public ::testing::TestWithParam<ExCase> {};

TEST_P(ManagerExceptions, CarryTheirFixedText) {
  try {
    GetParam().raise();
  } catch (const std::exception& ex) {
    EXPECT_STREQ(ex.what(), GetParam().text);
  }
}

INSTANTIATE_TEST_SUITE_P(All, ManagerExceptions,
                         ::testing::Values(ExCase{[] { throw vardupex2(); }, "That variable already exists"},
                                           ExCase{[] { throw eqdupex2(); }, "That equation name already exists"},
                                           ExCase{[] { throw initex2(); }, "The Equation Manager has yet been initialized"},
                                           ExCase{[] { throw vardupex(); }, "That variable already exists"},
                                           ExCase{[] { throw eqdupex(); }, "That equation name already exists"},
                                           ExCase{[] { throw initex(); }, "The Equation Manager has yet been initialized"}));

class Managers : public ::testing::Test {
 protected:
  Managers() : vm(&firstVar), em(&vm, &firstNz, &firstEqn) {
    for (int p = 1; p <= 5; ++p) {
      vm.addVar(numbered("A", p), "F", "F", p, 0, 1);
      rtvar_rec_t rec;
      rtovarlst_initialize_var(fw.vars, 100 + p, &rec, 1);
    }
  }
  std::unique_ptr<FakeEqn> make(const std::string& name, std::vector<std::string> vars = {}) {
    return std::make_unique<FakeEqn>(name, std::move(vars), &log, &alive);
  }
  romtest::FrameworkLists fw;
  int firstVar = 101, firstEqn = 51, firstNz = 301, alive = 0;
  FakeEqn::Log log;
  VarMan vm;
  EqnMan em;
};

TEST_F(Managers, VariablesByNameAtTheBlockPosition) {
  EXPECT_EQ(vm.varIndex("A3"), 103);  // V + P - 1
  EXPECT_THROW(vm.addVar("A3", "K", "K", 9, 0, 1), vardupex2);
  EXPECT_EQ(vm.var("A3").index, 3);
  VarMan first(&firstVar, VarMan::Generation::First);
  first.addVar("X", "F", "F", 1, 0, 1);
  EXPECT_THROW(first.addVar("X", "F", "F", 2, 0, 1), vardupex);
  try {
    vm.varIndex("NOPE");
  } catch (const std::out_of_range& ex) {
    EXPECT_STREQ(ex.what(), "invalid map<K, T> key");
  }
  EXPECT_THROW(vm.getValue("A1"), std::logic_error);  // no value vector attached
  EXPECT_EQ(vm.setValue("A1", 1.0), 1);
  vm.attach(fw.values(), fw.vars);
  EXPECT_EQ(vm.setValue("A1", 5.0), 0);
  EXPECT_EQ(vm.setValue("A1", NAN), 1);  // never stored
  EXPECT_EQ(vm.getValue("A1"), 5.0);
  vm.setVarSpec("A2", "CONST");
  EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, 102));
  vm.setVarSpec("A2", "OTHER");
  EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, 102));
  vm.setVarSpec("A2", "CALC");
  EXPECT_FALSE(rtovarlst_is_fixed(fw.vars, 102));
}

// Many more records than the look-up index first holds, names that differ
// only late or by case, and a clear: every name finds its own record, a
// missing one fails with the map's text, a cleared manager finds none and
// takes the names again.
TEST(VarManLookUp, FindsEveryRecordThroughGrowthAndClear) {
  const int first = 1;
  VarMan vm(&first);
  std::vector<std::string> names;
  for (int i = 0; i < 700; ++i) names.push_back("VARIABLE_WITH_A_LONG_COMMON_PREFIX_" + std::to_string(i));
  names.push_back("x");
  names.push_back("X");
  for (int round = 0; round < 2; ++round) {
    for (std::size_t i = 0; i < names.size(); ++i)
      vm.addVar(names[i], "KG/HR", "KG/HR", static_cast<int>(i) + 1, 0, 1);
    ASSERT_EQ(vm.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      EXPECT_TRUE(vm.contains(names[i]));
      EXPECT_EQ(vm.var(names[i]).index, static_cast<int>(i) + 1) << names[i];
      EXPECT_EQ(vm.var(names[i]).name, names[i]);
    }
    EXPECT_THROW(vm.addVar(names[350], "K", "K", 1, 0, 1), vardupex2);
    EXPECT_EQ(vm.size(), names.size());
    for (const char* missing : {"VARIABLE_WITH_A_LONG_COMMON_PREFIX_700", "", "VARIABLE_WITH_A_LONG_COMMON_PREFIX_"}) {
      EXPECT_FALSE(vm.contains(missing));
      try {
        vm.var(missing);
        ADD_FAILURE() << missing << " was found";
      } catch (const std::out_of_range& ex) {
        EXPECT_STREQ(ex.what(), "invalid map<K, T> key");
      }
    }
    vm.clear();
    EXPECT_FALSE(vm.contains(names[0]));
    EXPECT_THROW(vm.var("x"), std::out_of_range);
  }
}

TEST_F(Managers, EquationsNumberedInTheOrderAddedAndPatternedSo) {
  em.addEquation(make("B", {"A1", "A2", "A3"}));
  em.addEquation(make("A", {}));
  EXPECT_THROW(em.addEquation(make("B")), eqdupex2);
  EXPECT_EQ(alive, 2);  // the refused object is deleted
  em.addEquation(make("C", {"A1", "A2", "A3", "A4", "A5"}));
  EXPECT_EQ(em.find("B")->index, 1);
  EXPECT_EQ(em.find("A")->index, 2);
  EXPECT_EQ(em.find("C")->index, 3);
  EXPECT_EQ(em.find("A")->varMan(), &vm);
  EXPECT_EQ(em.pattern(fw.jac), 8u);
  EXPECT_EQ(log, (FakeEqn::Log{"pat:B", "pat:A", "pat:C"}));
  EXPECT_EQ(em.find("B")->firstNz, 1);
  EXPECT_EQ(em.find("A")->firstNz, 4);
  EXPECT_EQ(em.find("C")->firstNz, 4);
  // The passes walk the objects in name order, also after a later addition
  // and a refused one.
  auto names = [&] {
    std::vector<std::string> out;
    for (const roeqn2* e : em.inNameOrder()) out.push_back(e->name);
    return out;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "B", "C"}));
  em.addEquation(make("AB"));
  EXPECT_THROW(em.addEquation(make("C")), eqdupex2);
  EXPECT_EQ(names(), (std::vector<std::string>{"A", "AB", "B", "C"}));
  em.clear();
  EXPECT_EQ(alive, 0);
  EXPECT_TRUE(em.inNameOrder().empty());
  EXPECT_EQ(em.pattern(fw.jac), 0u);
}

TEST_F(Managers, AddingBeforeSetUpOrNothing) {
  for (int missing = 0; missing < 3; ++missing) {
    EqnMan m(missing == 0 ? nullptr : &vm, missing == 1 ? nullptr : &firstNz, missing == 2 ? nullptr : &firstEqn);
    EXPECT_THROW(m.addEquation(make("A")), initex2);
  }
  EXPECT_EQ(alive, 0);
  EXPECT_THROW(em.addEquation(nullptr), std::invalid_argument);
}

}  // namespace
