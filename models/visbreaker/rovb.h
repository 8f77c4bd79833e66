// rovb: the first-generation visbreaker block, with its two kinds rovbnoskr
// ("VB_NOSKR") and rovbskr ("VB_SKR").
//
// Eleven feed and operating inputs drive 23 trained networks: the yields of
// ten products (FGS, C3, C32, NC4, IC4, UC4, NAP, LGO, HGO, TAR), the relative
// sulfur, gravity and viscosity blending index of the liquids, the HGO basic
// nitrogen and the TAR vanadium. 58 model equations close the unit: the mass
// and sulfur balances (which fix H2SMASS and MASSFACTOR: no network predicts
// the H2S yield), product masses, sulfur amounts and contents, volume, mole
// and fuel-oil-equivalent conversions, the C3 and C4 mixes and their shares,
// viscosities from the blending indices and the furnace temperature. The
// conversion is the unit's specification; the furnace temperature, although
// a network input, is computed by its correlation.
//
// The block has 101 variables and 81 equations: 1 to 23 the adjustment rows
// "Y_" + output in name order, 24 to 81 the model rows of the model-row table
// (vb_tables.h), whose order is also the order of the pattern pass. Each model
// row is described once, by its variables in pattern order and its residual
// form: the res_, pat_ and jac_ members of its tag all evaluate that one row.
//
// The kinds differ only by the model kind: the folder and files of the
// networks, the SKR networks' feed mass in lb/h (kg/h x 2.20462, with its
// derivative scaled back), and the furnace-temperature fit.
//
// Status convention of the equation members: each starts its status at 0 and
// raises it to 1 for a failure (no framework vectors, no pattern yet, a value
// that is not finite); the passes report 1 when any member did, and the
// runner's own status when a network fails (nothing is written then).
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/robase.h"
#include "models/visbreaker/vb_tables.h"

class rovb : public robase {
 public:
  explicit rovb(const char* name);
  // The block owns its records; a copy would own them twice.
  rovb(const rovb&) = delete;
  rovb& operator=(const rovb&) = delete;
  ~rovb() override;

  // ---- Overrides of robase -------------------------------------------------------
  void user_ini(long long& status) override;
  void user_pat(rt_jac_t* jac, long long& status) override;
  void user_res(long long& status) const override;
  using robase::user_jac;
  void user_jac(long long& status) const override;
  void init(long long& status) const override;
  void createPELMOEquations(long long& status) override;
  void addVarsToInputPort(qiv_port* port) override;
  void addVarsToVolPort(qiv_port* port) override;
  void addVarsToResultPort(qiv_port* port) override;
  void createROMVariables() override;
  void createROMEquations() override;
  void setPELMOVarValues(long long& status) override;
  void setPELMOVarSpecs(long long& status) override;
  void commonConstructor() override;
  void commonDestructor() override;
  // "VB_NOSKR": robase's run. Any other kind: the feed mass enters in lb/h.
  int runNN(std::string output) const override;

  // ---- Own virtual operations, in slot order ---------------------------------------
  // FEEDMASS minus H2SMASS and the ten product masses (kg/h).
  virtual double computeMassBalanceResidual(long long& status) const;
  // 1 for FEEDMASS, -1 for an outlet; any other name 0 and status 1.
  virtual double computeMassBalanceDerivative(std::string varName, long long& status) const;
  // FEEDSULMASS minus the sulfur of H2S and the four liquid sulfur masses.
  virtual double computeSulfurBalanceResidual(long long& status) const;
  virtual double computeSulfurBalanceDerivative(std::string varName, long long& status) const;
  // Viscosity blending index of a viscosity in cSt (defined above 0.15 cSt).
  virtual double computeVBI(double visc) const;
  // The viscosity a blending index starts from: the index itself.
  virtual double computeViscFromVBI(double vbi) const;
  virtual double computeVBIDerivative(double visc) const;
  // Furnace temperature (F) of the block's kind from the feed mass (kg/h),
  // conversion (%), feed CCR (%), feed gravity and feed sulfur (%).
  virtual double computeFurnaceTemp(double feedMass, double conversion, double feedCCR, double feedSG,
                                    double feedSul) const;

  // The record of one of the 45 own equations by name; null before
  // createROMEquations or for any other name.
  ROMEqn* ownRecord(const std::string& name) const;

 protected:
  // The residual, pattern and Jacobian members of the 54 equations.
#define ROVB_DECLARE(tag)                              \
  virtual void res_##tag(long long& status) const;     \
  virtual void pat_##tag(rt_jac_t* jac, long long& status); \
  virtual void jac_##tag(long long& status) const;
  ROVB_EQUATIONS(ROVB_DECLARE)
#undef ROVB_DECLARE

  // The three members of each tag, indexed by vb::Eq, for the passes.
  struct EquationOps {
    const char* tag;
    void (rovb::*res)(long long&) const;
    void (rovb::*pat)(rt_jac_t*, long long&);
    void (rovb::*jac)(long long&) const;
  };
  static const std::array<EquationOps, vb::kEqCount>& equationOps();

 private:
  // The variables of the two balances in the order they are summed (the
  // inlet first), kept as look-ups.
  void makeBalanceLookups();
  mutable std::vector<VarLookup> m_massBalanceVars;
  mutable std::vector<VarLookup> m_sulfurBalanceVars;

  using RowValues = std::array<double, vb::kMaxRowVariables>;

  // A model row with its record and variable records looked up.
  struct Row {
    const vb::ModelRow* def;
    ROMEqn* eqn;
    std::vector<const ROMVar*> vars;  // pattern order
  };

  const Row& rowOf(vb::Eq eq) const;
  void resRow(const Row& row, long long& status) const;
  void patRow(const Row& row, rt_jac_t* jac, long long& status);
  void jacRow(const Row& row, long long& status) const;
  // The row's current values in pattern order; a viscosity-index row first
  // applies the viscosity restart and stores the viscosity it moved.
  void gatherRowValues(const Row& row, const OneBased<double>& x, RowValues& v) const;
  // Residual of a row at the values v; with grad given also its partial
  // derivatives in pattern order. Never lowers status.
  double evalRow(const Row& row, const RowValues& v, RowValues* grad, long long& status) const;
  // The "VB_SKR" run of one network.
  int runScaledFeedNN(const std::string& output) const;
  // The starting values of init after the networks ran.
  void writeStartingValues(long long& status) const;

  std::array<std::unique_ptr<ROMEqn>, vb::kOwnRecordCount> m_ownEqns;
  std::vector<Row> m_rows;                  // model rows in table order
  std::array<std::size_t, vb::kEqCount> m_rowOfTag{};  // position in m_rows of each tag's row
  bool m_patternDone = false;               // user_jac writes only after a complete pattern pass
};

class rovbnoskr : public rovb {
 public:
  explicit rovbnoskr(const char* name);
  ~rovbnoskr() override;
};

class rovbskr : public rovb {
 public:
  explicit rovbskr(const char* name);
  ~rovbskr() override;
};
