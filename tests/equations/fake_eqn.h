// A linear equation object for the tests of the equation base, the managers
// and the second-generation block: residual sum(c_i * x_i) - rhs over its
// listed variables, exact Jacobian, an optional starting value, and forced
// statuses. Every call is appended to a shared log ("pat:B", "init:A" ...).
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

  FakeEqn(std::string name, std::vector<std::string> vars, std::vector<double> coefs = {}, Log* log = nullptr,
          int* alive = nullptr)
      : roeqn2(std::move(name)), m_coefs(std::move(coefs)), m_log(log), m_alive(alive) {
    m_varNames = std::move(vars);
    m_coefs.resize(m_varNames.size(), 1.0);
    if (m_alive) ++*m_alive;
  }
  ~FakeEqn() override {
    if (m_alive) --*m_alive;
  }

  int pat(rt_jac_t* jac, int nzStart) override {
    note("pat");
    starts.push_back(nzStart);
    return roeqn2::pat(jac, nzStart);
  }

  int res(OneBased<double> residuals) override {
    note("res");
    if (throwIn == "res") throw std::runtime_error("res failed");
    double sum = -rhs;
    for (std::size_t i = 0; i < m_varNames.size(); ++i) sum += m_coefs[i] * getValue(m_varNames[i]);
    writeResidual(residuals, residualOverride ? *residualOverride : sum);
    return resStatus;
  }

  // One entry per distinct name (a name listed twice gets the sum of its
  // coefficients at its later non-zero); the number of entries not written.
  int jac(OneBased<double> values) override {
    note("jac");
    std::map<std::string, double> d;
    for (std::size_t i = 0; i < m_varNames.size(); ++i) d[m_varNames[i]] += m_coefs[i];
    int unwritten = 0;
    for (const auto& [name, v] : d) unwritten += setJacValue(values, name, jacOverride ? *jacOverride : v);
    return unwritten + jacStatus;
  }

  int init() override {
    note("init");
    if (throwIn == "init") throw std::runtime_error("init failed");
    if (!initVar.empty() && setVarValue(initVar, initValue) != 0) return 1;
    return initStatus;
  }

  double rhs = 0.0;
  int resStatus = 0;
  int jacStatus = 0;
  int initStatus = 0;
  std::string initVar;  // set to initValue by init
  double initValue = 0.0;
  std::string throwIn;  // "res" or "init"
  const double* residualOverride = nullptr;
  const double* jacOverride = nullptr;
  std::vector<int> starts;  // the non-zero start of every pat call

 private:
  void note(const char* what) {
    if (m_log) m_log->push_back(std::string(what) + ":" + name);
  }
  std::vector<double> m_coefs;
  Log* m_log;
  int* m_alive;
};
