// Test slates of the FCC base: a block on rofcc that creates the variables and
// records of its own cuts (MCN, HCO) first, as the product-slate classes do,
// then the base catalogue; and the framework lists around a prepared block.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "models/fcc/rofcc.h"
#include "tests/support/framework_lists.h"

struct SlateShape {
  bool cuts = false;        // the MCN and HCO variables of a "3N1H" slate
  bool cutRecords = true;   // and their EQN_ records
};
inline constexpr SlateShape kSlate2N{};
inline constexpr SlateShape kSlate3N1H{true, true};

class fcctestslate : public rofcc {
 public:
  fcctestslate(const std::string& kind, SlateShape shape = kSlate2N);

  void createROMVariables() override;
  void createROMEquations() override;
  void user_ini(long long& status) override { runUserIniSteps(status); }

  using robase::eqnNumber;
  using robase::m_adjEqns;
  using robase::m_attributes;
  using robase::m_calcVars;
  using robase::m_hlBasis;
  using robase::m_indepVars;
  using robase::m_inputVars;
  using robase::m_leBasis;
  using robase::m_massBalEqn;
  using robase::m_molConvEqns;
  using robase::m_nnOutputVars;
  using robase::m_volConvEqns;
  using robase::varNumber;
  using rofcc::computeC5SRVI;
  using rofcc::computeConversion;
  using rofcc::equationOps;
  using rofcc::lookup;
  using rofcc::res_H2SMass;
  using rofcc::varMap;

  ROMVar* find(const std::string& name) const;  // from any map; null when absent
  std::vector<const ROMEqn*> allRecords() const;
  const ROMEqn* findRecord(const std::string& name) const;
  std::string nameOf(int varNumber) const;  // the variable at a framework number

 private:
  SlateShape m_shape;
};

// A prepared test slate (the shipped sample networks as the network root) with
// framework lists attached at first positions 101 / 51 / 301, set up by
// user_ini, every model input at the sample networks' nominal point. The block
// goes before the lists it points to.
struct PreparedSlate : romtest::FrameworkLists {
  static constexpr int kCapacity = 1000;
  explicit PreparedSlate(const std::string& kind = "FCC_GO_2N", SlateShape shape = kSlate2N,
                         const char* hl = "MASS", const char* le = "MASS");

  double& value(const std::string& name) const;  // framework value of a variable
  double& residual(int number) const { return rtoeqnlst_vec_residual(eqns)[number - 1]; }
  std::vector<std::string> port(const char* name) const;  // variable names of a port's entries

  std::unique_ptr<fcctestslate> block;
  long long iniStatus = -1;
};
