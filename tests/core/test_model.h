// A small first-generation block on robase (3 model inputs, 2 network outputs,
// a sulfur-ppm row), framework lists attached at first positions 101 / 51 /
// 301, and a temporary network root with hand-written affine networks.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/robase.h"
#include "platform/pelmo.h"

struct TestShape {
  bool withFeedVol = true;
  bool withOutputs = true;
  std::vector<std::string> extraInputs;  // further model inputs
};

class testmodel : public robase {
 public:
  explicit testmodel(const char* name, std::string kind = "COKER", TestShape shape = {});
  ~testmodel() override { commonDestructor(); }

  void createROMVariables() override;
  void createROMEquations() override;
  void user_ini(long long& status) override { runUserIniSteps(status); }
  void createPELMOEquations(long long& status) override;
  void setPELMOVarValues(long long& status) override;
  void user_pat(rt_jac_t* jac, long long& status) override;
  void user_res(long long& status) const override;
  void user_jac(long long& status) const override;

  ROMVar* var(const std::string& name) const;  // from any map; null when absent
  using robase::m_adjEqns, robase::m_attributes, robase::m_calcVars, robase::m_inputVars, robase::m_leBasis,
      robase::m_nnOutputVars, robase::m_nzCounter, robase::m_volumeVars, robase::putRecord;
  std::unique_ptr<ROMEqn> sulPpm;  // "EQN_LCNSULPPM"

 private:
  TestShape m_shape;
};

struct Framework {
  static constexpr int kFirstVar = 101, kFirstEqn = 51, kFirstNz = 301;
  Framework() : vars(rtovarlst_create(400)), eqns(rtoeqnlst_create(300)), jac(rtojac_create(2000)) {}
  ~Framework();
  Framework(const Framework&) = delete;
  Framework& operator=(const Framework&) = delete;

  void attach(QivEOBlockImpl& block) const;
  long long setUp(QivEOBlockImpl& block) const;  // user_dim, attach, user_ini; its status
  int num(const testmodel& b, const std::string& name) const { return b.vstart() + b.var(name)->index - 1; }
  double& value(int n) const { return rtovarlst_vec_value(vars)[n - 1]; }
  double residual(int n) const { return rtoeqnlst_vec_residual(eqns)[n - 1]; }
  double jacobian(int n) const { return rtojac_vec_bj(jac)[n - 1]; }

  rtvarlst_t* vars;
  rtattrdict_t* eqns;
  rt_jac_t* jac;
};

// C3FRAC = 0.02 + 0.5 FEEDSUL + 0.0001 RXTEMP; COKEFRAC = 0.3 - 0.2 FEEDSUL.
inline constexpr double kC3Bias = 0.02, kC3Sul = 0.5, kC3Temp = 0.0001, kCokeBias = 0.3, kCokeSul = -0.2;

// A temporary network root, the registry's "ZKDir" while it lives.
class NetworkRoot {
 public:
  NetworkRoot();
  ~NetworkRoot();
  NetworkRoot(const NetworkRoot&) = delete;
  NetworkRoot& operator=(const NetworkRoot&) = delete;
  void write(const std::string& kind, const std::string& output, const std::string& text) const;
  static std::string affine(const std::string& output, const std::vector<std::pair<std::string, double>>& terms,
                            double bias);
  void writeTestNetworks() const;  // C3FRAC and COKEFRAC of kind COKER

 private:
  std::string m_path;
};
