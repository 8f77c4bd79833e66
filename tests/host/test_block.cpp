#include "tests/host/test_block.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace romhost_test {

TestBlockSpec standardSpec() {
  enum { A = 1, B = 2, X = 3, Y = 4, Z = 6 };
  TestBlockSpec s;
  s.variables = {
      {"A", A, 2.0, true},  {"B", B, 3.0, true},  {"X", X, 1.5, false},
      {"Y", Y, 1.5, false}, {"Z", Z, 2.5, false},
  };
  s.equations = {
      {"E1", {X, Y, A},
       [](const Point& p) { return p[A] * p[X] * p[X] + p[Y] - 4.0; },
       [](const Point& p) { return std::vector<double>{2.0 * p[A] * p[X], 1.0, p[X] * p[X]}; }},
      {"E2", {X, B, Y, Z},
       [](const Point& p) { return p[B] * std::exp(p[X] - 1.0) + p[Y] * p[Z] - 9.0; },
       [](const Point& p) {
         const double e = std::exp(p[X] - 1.0);
         return std::vector<double>{p[B] * e, e, p[Z], p[Y]};
       }},
      {"E3", {Z, B, Y},
       [](const Point& p) { return p[Z] * p[Z] - p[B] * p[Y] - p[B]; },
       [](const Point& p) { return std::vector<double>{2.0 * p[Z], -p[Y] - 1.0, -p[B]}; }},
  };
  return s;
}

TestBlock::TestBlock(const char* name, TestBlockSpec spec) : QivEOBlockImpl(name), spec_(std::move(spec)) {
  const auto n = static_cast<std::size_t>(maxIndex()) + 1;
  minSeen_.assign(n, std::numeric_limits<double>::infinity());
  maxSeen_.assign(n, -std::numeric_limits<double>::infinity());
  history_.assign(n, {});
}

int TestBlock::maxIndex() const {
  int m = 0;
  for (const TestVariable& v : spec_.variables) m = std::max(m, v.index);
  return m;
}

int TestBlock::entryCount() const {
  int n = 0;
  for (const TestEquation& e : spec_.equations) n += static_cast<int>(e.vars.size());
  return spec_.duplicateEntries ? 2 * n : n;
}

void TestBlock::maybeThrow(Hook h, int& calls) const {
  ++calls;
  if (spec_.throwIn == h && calls == spec_.throwCall) throw std::runtime_error("planted fault");
}

Point TestBlock::read() const {
  rtvarlst_t* vars = nullptr;
  rtattrdict_t* eqns = nullptr;
  rt_jac_t* jac = nullptr;
  inq_matrix(vars, eqns, jac);
  const double* x = rtovarlst_vec_value(vars);
  Point p(static_cast<std::size_t>(maxIndex()) + 1, 0.0);
  for (const TestVariable& v : spec_.variables) p[static_cast<std::size_t>(v.index)] = x[varNumber(v.index) - 1];
  return p;
}

void TestBlock::user_dim(int& nvar, int& neqn, int& nnz, long long& status) {
  nvar = maxIndex();
  neqn = static_cast<int>(spec_.equations.size());
  nnz = entryCount();
  status = 0;
}

void TestBlock::user_ini(long long& status) {
  maybeThrow(Hook::kUserIni, iniCalls_);
  rtvarlst_t* vars = nullptr;
  rtattrdict_t* eqns = nullptr;
  rt_jac_t* jac = nullptr;
  inq_matrix(vars, eqns, jac);
  if (!vars || !eqns) {
    status = 1;
    return;
  }
  for (const TestVariable& v : spec_.variables) {
    rtvar_rec_t rec;
    std::snprintf(rec.name, sizeof rec.name, "%s.%s", name(), v.name.c_str());
    rec.value = v.value;
    rec.lower = v.lower;
    rec.upper = v.upper;
    const int num = varNumber(v.index) + spec_.varNumberShift;
    rtovarlst_initialize_var(vars, num, &rec, 1);
    int phys = 0, uom = 0;
    rtouom_locate("UNITLESS", &phys, &uom);
    rtovarlst_set_var_baseuom(vars, num, uom);
    rtovarlst_set_var_uom(vars, num, uom);
    if (v.fixed) rtovarlst_fix_var(vars, num);
    ++m_nVarsCreated;
  }
  for (std::size_t i = 0; i < spec_.equations.size(); ++i) {
    rteqn_rec_t rec;
    std::snprintf(rec.name, sizeof rec.name, "%s.%s", name(), spec_.equations[i].name.c_str());
    rec.owner = this;
    rtoeqnlst_initialize_eqn(eqns, estart() + static_cast<int>(i), &rec);
    ++m_nEqnsCreated;
  }
  status = 0;
}

// The pattern and the values walk the same table in the same order, so the
// two cannot drift apart.
void TestBlock::user_pat(rt_jac_t* jac, long long& status) {
  maybeThrow(Hook::kUserPat, patCalls_);
  int nz = nzstart();
  for (std::size_t i = 0; i < spec_.equations.size(); ++i) {
    const TestEquation& e = spec_.equations[i];
    for (const int v : e.vars) {
      if (static_cast<int>(i) + 1 == spec_.missingEqn && v == spec_.missingVar) continue;
      for (int copy = 0; copy < (spec_.duplicateEntries ? 2 : 1); ++copy) {
        rtojac_set_nz_eqnnum(jac, nz, estart() + static_cast<int>(i));
        rtojac_set_nz_varnum(jac, nz, varNumber(v));
        ++nz;
      }
    }
  }
  m_lastNz = nz - 1;
  status = 0;
}

void TestBlock::user_res(long long& status) const {
  maybeThrow(Hook::kUserRes, resCalls_);
  rtvarlst_t* vars = nullptr;
  rtattrdict_t* eqns = nullptr;
  rt_jac_t* jac = nullptr;
  inq_matrix(vars, eqns, jac);
  if (spec_.restartVar != 0 && resCalls_ == 1)
    rtovarlst_vec_value(vars)[varNumber(spec_.restartVar) - 1] = spec_.restartValue;
  const Point p = read();
  for (const TestVariable& v : spec_.variables) {
    const auto k = static_cast<std::size_t>(v.index);
    minSeen_[k] = std::min(minSeen_[k], p[k]);
    maxSeen_[k] = std::max(maxSeen_[k], p[k]);
    history_[k].push_back(p[k]);
  }
  double* r = rtoeqnlst_vec_residual(eqns);
  status = 0;
  for (std::size_t i = 0; i < spec_.equations.size(); ++i) {
    const double value = spec_.equations[i].f(p);
    r[estart() + static_cast<int>(i) - 1] = value;
    if (!std::isfinite(value) && spec_.flagNonFinite) status = 1;
  }
}

void TestBlock::user_jac(long long& status) const {
  maybeThrow(Hook::kUserJac, jacCalls_);
  rtvarlst_t* vars = nullptr;
  rtattrdict_t* eqns = nullptr;
  rt_jac_t* jac = nullptr;
  inq_matrix(vars, eqns, jac);
  const Point p = read();
  double* bj = rtojac_vec_bj(jac);
  int nz = nzstart();
  status = 0;
  for (std::size_t i = 0; i < spec_.equations.size(); ++i) {
    const TestEquation& e = spec_.equations[i];
    const std::vector<double> g = e.grad(p);
    for (std::size_t k = 0; k < e.vars.size(); ++k) {
      const int v = e.vars[k];
      if (static_cast<int>(i) + 1 == spec_.missingEqn && v == spec_.missingVar) continue;
      double d = g[k];
      if (static_cast<int>(i) + 1 == spec_.jacErrorEqn && v == spec_.jacErrorVar) d *= 1.0 + spec_.jacErrorRelative;
      if (!std::isfinite(d) && spec_.flagNonFinite) status = 1;
      if (spec_.duplicateEntries) {
        bj[nz++ - 1] = d / 2;
        bj[nz++ - 1] = d / 2;
      } else {
        bj[nz++ - 1] = d;
      }
    }
  }
}

void TestBlock::init(long long& status) const {
  maybeThrow(Hook::kInit, initCalls_);
  rtvarlst_t* vars = nullptr;
  rtattrdict_t* eqns = nullptr;
  rt_jac_t* jac = nullptr;
  inq_matrix(vars, eqns, jac);
  for (const TestVariable& v : spec_.variables)
    if (!v.fixed) rtovarlst_set_var_value(vars, varNumber(v.index), v.value);
  status = 0;
}

}  // namespace romhost_test
