// A small first-generation block on robase, and the pieces of a framework a
// test needs around it: attached lists at non-trivial first positions, and a
// temporary network root with hand-written network files.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/robase.h"
#include "platform/pelmo.h"

// Categories of the test model's variable catalogue.
enum class TestCat { Input, Output, Factor, Molar, Volume, Constant, Calc };

struct TestVarRow {
  const char* name;
  const char* baseUnit;
  const char* dispUnit;
  TestCat cat;
  double value;  // starting value written by setPELMOVarValues
};

// The catalogue: 3 model inputs, 2 network outputs, a volume map with FEEDVOL,
// a constant, and calculated flows for the mass port and a sulfur-ppm row.
extern const std::vector<TestVarRow> kTestCatalogue;

// Options of the test model's shape.
struct TestShape {
  bool withFeedVol = true;   // FEEDVOL in the volume map
  bool withOutputs = true;   // the two network outputs and their "Y_" rows
  std::vector<std::string> extraInputs;  // further model inputs (unit "UNITLESS")
};

class testmodel : public robase {
 public:
  explicit testmodel(const char* name, std::string kind = "COKER", TestShape shape = {});
  ~testmodel() override;

  void createROMVariables() override;
  void createROMEquations() override;
  void user_ini(long long& status) override { runUserIniSteps(status); }
  void createPELMOEquations(long long& status) override;
  void setPELMOVarValues(long long& status) override;
  void init(long long& status) const override;
  void user_pat(rt_jac_t* jac, long long& status) override;
  void user_res(long long& status) const override;
  void user_jac(long long& status) const override;

  // What the tests inspect.
  using robase::adjRowVariables;
  using robase::m_adjEqns;
  using robase::m_attributes;
  using robase::m_calcVars;
  using robase::m_constVars;
  using robase::m_hlBasis;
  using robase::m_indepVars;
  using robase::m_inputVars;
  using robase::m_leBasis;
  using robase::m_massBalEqn;
  using robase::m_nnOutputVars;
  using robase::m_nzCounter;
  using robase::m_volumeVars;
  using robase::putRecord;
  ROMVar* var(const std::string& name) const;  // from any map; null when absent
  ROMEqn* sulPpmEqn() const { return m_sulPpm.get(); }

 private:
  ROMVarMap& mapOf(TestCat cat);
  TestShape m_shape;
  std::unique_ptr<ROMEqn> m_sulPpm;  // "EQN_LCNSULPPM"; models keep such rows themselves
};

// Framework lists attached to a block at first positions 101 / 51 / 301.
struct Framework {
  static constexpr int kFirstVar = 101;
  static constexpr int kFirstEqn = 51;
  static constexpr int kFirstNz = 301;

  Framework();
  ~Framework();
  Framework(const Framework&) = delete;
  Framework& operator=(const Framework&) = delete;

  void attach(QivEOBlockImpl& block) const;
  // Sizes by user_dim, attaches, runs user_ini; returns its status.
  long long setUp(QivEOBlockImpl& block) const;

  double& value(int number) const { return rtovarlst_vec_value(vars)[number - 1]; }
  double residual(int number) const { return rtoeqnlst_vec_residual(eqns)[number - 1]; }
  double jacobian(int number) const { return rtojac_vec_bj(jac)[number - 1]; }

  rtvarlst_t* vars;
  rtattrdict_t* eqns;
  rt_jac_t* jac;
};

// A temporary network root, made the registry's "ZKDir" while it lives.
class NetworkRoot {
 public:
  NetworkRoot();
  ~NetworkRoot();
  NetworkRoot(const NetworkRoot&) = delete;
  NetworkRoot& operator=(const NetworkRoot&) = delete;

  const std::string& path() const { return m_path; }
  // Writes "<root>/<kind>/<kind>_<output>.zkr".
  void write(const std::string& kind, const std::string& output, const std::string& text) const;
  // An affine network: y = bias + sum weight_i * tag_i.
  static std::string affine(const std::string& output, const std::vector<std::pair<std::string, double>>& terms,
                            double bias);
  // Affine networks for both outputs of the test model.
  void writeTestNetworks(const std::string& kind = "COKER") const;

 private:
  std::string m_path;
};

// Inputs and outputs of the test model's sample networks.
// C3FRAC = 0.02 + 0.5 FEEDSUL + 0.0001 RXTEMP; COKEFRAC = 0.3 - 0.2 FEEDSUL.
inline constexpr double kC3Bias = 0.02, kC3Sul = 0.5, kC3Temp = 0.0001;
inline constexpr double kCokeBias = 0.3, kCokeSul = -0.2;
