// A linear equation object for the tests: residual sum of its listed
// variables - rhs, exact Jacobian (a name listed twice gets 2 at its later
// non-zero), an optional starting value, one forced status for res, jac and
// init. Calls go to a shared log ("pat:B", "init:A" ...).
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "equations/roeqn2.h"

class FakeEqn : public roeqn2 {
 public:
  using Log = std::vector<std::string>;
  FakeEqn(std::string name, std::vector<std::string> vars, Log* log = nullptr, int* alive = nullptr)
      : roeqn2(std::move(name)), m_log(log), m_alive(alive) {
    m_varNames = std::move(vars);
    if (m_alive) ++*m_alive;
  }
  ~FakeEqn() override {
    if (m_alive) --*m_alive;
  }
  int pat(rt_jac_t* jac, int nzStart) override {
    note("pat");
    return roeqn2::pat(jac, nzStart);
  }
  int res(OneBased<double> r) override {
    note("res");
    double sum = -rhs;
    for (const std::string& n : m_varNames) sum += getValue(n);
    return writeResidual(r, sum) + status;
  }
  int jac(OneBased<double> J) override {
    std::map<std::string, double> d;
    for (const std::string& n : m_varNames) d[n] += jacScale;
    int unwritten = status;
    for (const auto& [n, v] : d) unwritten += setJacValue(J, n, v);
    return unwritten;
  }
  int init() override {
    note("init");
    return !initVar.empty() && setVarValue(initVar, initValue) != 0 ? 1 : status;
  }

  int status = 0;
  bool throws = false;  // res and init throw
  double rhs = 0.0, jacScale = 1.0, initValue = 0.0;
  std::string initVar;

 private:
  void note(const char* what) {
    if (m_log) m_log->push_back(std::string(what) + ":" + name);
    if (throws && what[0] != 'p') throw std::runtime_error(what);
  }
  Log* m_log;
  int* m_alive;
};
