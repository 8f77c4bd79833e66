// A small first-generation block on robase (3 model inputs, 2 network outputs,
// a sulfur-ppm row), framework lists attached at first positions 101 / 51 /
// 301, and its hand-written affine networks.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/robase.h"
#include "tests/support/framework_lists.h"
#include "tests/support/networks.h"

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

// The framework's lists at first positions 101 / 51 / 301, read by number.
struct Framework : romtest::FrameworkLists {
  int num(const testmodel& b, const std::string& name) const { return b.vstart() + b.var(name)->index - 1; }
  double& value(int n) const { return values()[n]; }
  double residual(int n) const { return residuals()[n]; }
  double jacobian(int n) const { return FrameworkLists::jacobian()[n]; }
};

// C3FRAC = 0.02 + 0.5 FEEDSUL + 0.0001 RXTEMP; COKEFRAC = 0.3 - 0.2 FEEDSUL.
inline constexpr double kC3Bias = 0.02, kC3Sul = 0.5, kC3Temp = 0.0001, kCokeBias = 0.3, kCokeSul = -0.2;

// The affine networks C3FRAC and COKEFRAC of kind COKER.
using romtest::affineNetwork;
using romtest::NetworkRoot;
void writeTestNetworks(const NetworkRoot& nets);

// Prepares the block, sets it up in the framework's lists and runs its
// pattern pass: 0, or the status of the first step that failed.
long long prepareAndPattern(testmodel& block, const Framework& fw);
