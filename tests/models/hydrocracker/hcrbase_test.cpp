// The block base's passes on a two-row test block: registration order
// against name order, statuses that never cancel, a throwing row, the
// starting-value pass and the sizes.
#include "models/hydrocracker/hcrbase.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/framework_lists.h"

namespace {

// A row over X and Y whose statuses are planted; it records its calls.
class PlantedRow : public hcreqn {
 public:
  PlantedRow(std::string name, std::vector<std::string>* log) : hcreqn(std::move(name)), m_log(log) {
    m_varNames = {"X", "Y"};
  }
  int res(OneBased<double> r) override {
    m_log->push_back(name);
    if (throws) throw std::runtime_error("planted");
    writeResidual(r, valueOf("X") - valueOf("Y"));
    return status;
  }
  int jac(OneBased<double> j) override { return setJacValue(j, "X", 1.0) + setJacValue(j, "Y", -1.0) + status; }
  int init() override { return status; }

  int status = 0;
  bool throws = false;

 private:
  std::vector<std::string>* m_log;
};

class TwoRowBlock : public hcrbase {
 public:
  TwoRowBlock() : hcrbase("T1") { setModelKind("TEST"); }
  void createROMVariables() override {
    inputSet.insert(varinfo("X", "UNITLESS", 0, 10));
    calcSet.insert(varinfo("Y", "KG/HR", "TONNE/DAY", 0, 10));
    calcSet.insert(varinfo("TOTCONV", "PERCENT", 0, 100));  // the input port always carries it
    populateVarMan(inputSet);
    populateVarMan(calcSet);
  }
  void createROMEquations() override {
    // Registered "Z" first: row 1 and the first non-zeros, though "A" comes first by name.
    for (const char* n : {"Z", "A"}) {
      auto row = std::make_unique<PlantedRow>(n, &log);
      rows.push_back(row.get());
      m_eqnMan.addEquation(std::move(row));
    }
  }
  std::vector<std::string> log;
  std::vector<PlantedRow*> rows;  // Z, A
};

struct Block : romtest::FrameworkLists {
  explicit Block(int capacity = 4000) : FrameworkLists(capacity) {
    b->prepare();
    attach(*b);
    long long st = 0;
    b->user_ini(st);
    EXPECT_EQ(st, 0);
    b->user_pat(jac, patStatus);
  }
  ~Block() { b->Destroy(); }
  TwoRowBlock* b = new TwoRowBlock;
  long long patStatus = 0;
};

// A Jacobian with room for three of the four non-zeros: the pass fails.
TEST(HcrBase, RefusedNonZerosFailThePatternPass) {
  EXPECT_EQ(Block().patStatus, 0);
  Block k(romtest::FrameworkLists::kFirstNz + 2);
  EXPECT_EQ(k.patStatus, 1);
  EXPECT_EQ(rtojac_error_count(k.jac), 2);  // row and column of the last
}

TEST(HcrBase, RegistrationOrderNumbersNameOrderWalks) {
  Block k;
  int nvar = 0, neqn = 0, nnz = 0;
  long long st = 1;
  k.b->user_dim(nvar, neqn, nnz, st);
  EXPECT_EQ(std::tuple(nvar, neqn, nnz, st), std::tuple(3, 2, 6, 0LL));
  EXPECT_EQ(std::tuple(k.b->rows[0]->index, k.b->rows[0]->firstNz, k.b->rows[1]->firstNz), std::tuple(1, 1, 3));
  EXPECT_EQ(k.b->nzlast(), romtest::FrameworkLists::kFirstNz + 3);
  k.b->user_res(st);
  EXPECT_EQ(k.b->log, (std::vector<std::string>{"A", "Z"}));
}

struct StatusCase {
  int z, a;
  bool throws;
};

TEST(HcrBase, StatusesNeverCancelAndEveryRowIsEvaluated) {
  for (const StatusCase& c : {StatusCase{1, -1, false}, StatusCase{1, 1, false}, StatusCase{0, 0, true},
                              StatusCase{0, 0, false}}) {
    Block k;
    k.b->rows[0]->status = c.z;
    k.b->rows[1]->status = c.a;
    k.b->rows[1]->throws = c.throws;
    const long long planted = c.z != 0 || c.a != 0 ? 1 : 0;
    long long res = 0, jac = 0, init = 0;
    k.b->user_res(res);
    k.b->user_jac(jac);
    k.b->init(init);
    EXPECT_EQ(std::tuple(res, jac, init), std::tuple(c.throws ? 1 : planted, planted, planted)) << c.z << c.a;
    EXPECT_EQ(k.b->log.size(), 2u);  // "Z" is evaluated after "A" failed
  }
  Block k;  // a failure the Jacobian pass is given makes a positive sum: 1
  long long st = 5;
  k.b->user_jac(st);
  EXPECT_EQ(st, 1);
  k.b->rows[0]->status = 1;  // a failure found is never cancelled by a negative status given
  st = -1;
  k.b->user_jac(st);
  EXPECT_EQ(st, 1);
}

}  // namespace
