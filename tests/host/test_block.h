// A small block for the host's tests: a table of variables and a table of
// equations with exact derivatives, and switches that plant the faults the
// host must find (a wrong Jacobian entry, a missing pattern entry, a throwing
// hook, a block that moves a variable, registrations outside its range).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/qivblock.h"

namespace romhost_test {

struct TestVariable {
  std::string name;
  int index;      // own 1-based index; an unused index leaves a hole
  double value;   // fixed: the input; free: the starting value init writes
  bool fixed;
  double lower = -1e30;
  double upper = 1e30;
};

// Values by own index (element 0 unused).
using Point = std::vector<double>;

struct TestEquation {
  std::string name;
  std::vector<int> vars;  // own indices of the variables the row touches, fixed ones included
  std::function<double(const Point&)> f;
  std::function<std::vector<double>(const Point&)> grad;  // partials in the order of vars
};

enum class Hook { kNone, kUserIni, kUserPat, kInit, kUserRes, kUserJac };

struct TestBlockSpec {
  std::vector<TestVariable> variables;
  std::vector<TestEquation> equations;

  // The Jacobian entry (own equation index, own variable index) written off by
  // this relative amount.
  int jacErrorEqn = 0, jacErrorVar = 0;
  double jacErrorRelative = 0.0;
  // The entry (own equation index, own variable index) neither registered nor written.
  int missingEqn = 0, missingVar = 0;
  // Every entry registered twice, each carrying half of the derivative.
  bool duplicateEntries = false;
  // The throwCall-th call of this hook throws std::runtime_error("planted fault").
  Hook throwIn = Hook::kNone;
  int throwCall = 1;
  // The first user_res moves this variable (own index) to restartValue, as a
  // correlation restart does, and evaluates there.
  int restartVar = 0;
  double restartValue = 0.0;
  // Added to every variable number the block registers (a wrong first position).
  int varNumberShift = 0;
  // A non-finite residual or derivative makes the hook report status 1; off,
  // the hook reports 0 and leaves the value for the host to find.
  bool flagNonFinite = true;
};

// Three equations in X, Y, Z with the fixed inputs A = 2, B = 3 and the
// solution X = 1, Y = 2, Z = 3:
//   E1: A X^2 + Y - 4,  E2: B exp(X - 1) + Y Z - 9,  E3: Z^2 - B Y - B.
// Own indices: A 1, B 2, X 3, Y 4, Z 6 (index 5 is a hole).
TestBlockSpec standardSpec();

class TestBlock : public QivEOBlockImpl {
 public:
  TestBlock(const char* name, TestBlockSpec spec);
  TestBlock(const TestBlock&) = delete;
  TestBlock& operator=(const TestBlock&) = delete;

  void user_dim(int& nvar, int& neqn, int& nnz, long long& status) override;
  void user_ini(long long& status) override;
  void user_pat(rt_jac_t* jac, long long& status) override;
  void user_res(long long& status) const override;
  void user_jac(long long& status) const override;
  void init(long long& status) const override;

  int resCalls() const { return resCalls_; }
  int jacCalls() const { return jacCalls_; }
  // Smallest and largest value of a variable (own index) seen by user_res.
  double minSeen(int index) const { return minSeen_[static_cast<std::size_t>(index)]; }
  double maxSeen(int index) const { return maxSeen_[static_cast<std::size_t>(index)]; }
  // The value of a variable (own index) at each user_res call.
  const std::vector<double>& history(int index) const { return history_[static_cast<std::size_t>(index)]; }
  int varNumber(int index) const { return vstart() + index - 1; }

 private:
  void maybeThrow(Hook h, int& calls) const;
  Point read() const;
  int maxIndex() const;
  int entryCount() const;

  TestBlockSpec spec_;
  mutable int resCalls_ = 0, jacCalls_ = 0, iniCalls_ = 0, patCalls_ = 0, initCalls_ = 0;
  mutable std::vector<double> minSeen_, maxSeen_;
  mutable std::vector<std::vector<double>> history_;
};

}  // namespace romhost_test
