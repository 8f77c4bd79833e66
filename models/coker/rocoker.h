// rocoker: the first-generation delayed-coker block.
//
// Eleven feed and operating inputs drive 35 trained networks (eleven product
// yields, five relative sulfur factors, nineteen product properties); 65 model
// equations close the unit: the mass and sulfur balances, volume, mole and mass
// conversions of every product, product sulfur, mixes of the C3 and C4 cuts,
// N+2A of the naphthas and the gas-oil property indices.
//
// The block has 121 variables and 100 equations. Equations 1 to 35 are the
// adjustment rows "Y_" + output in name order, 36 to 100 the model rows in the
// order of the model-row table (coker_tables.h). Every model row is described
// once, by its variables in pattern order and its residual form; user_pat
// registers that list, user_res evaluates the form and user_jac writes the
// form's partial derivatives in the same order.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/robase.h"

namespace coker {
struct ModelRow;
}

class rocoker : public robase {
 public:
  // Records "rocoker" keeps outside robase's tables, in declaration order.
  static constexpr std::size_t kOwnEquationCount = 49;
  static const std::array<const char*, kOwnEquationCount> kOwnEquationNames;

  explicit rocoker(const char* name);
  rocoker(const rocoker&) = delete;
  rocoker& operator=(const rocoker&) = delete;
  ~rocoker() override;

  // ---- Overrides of robase, in its slot order --------------------------------
  void user_ini(long long& status) override;
  void user_pat(rt_jac_t* jac, long long& status) override;
  void user_res(long long& status) const override;
  using robase::user_jac;
  void user_jac(long long& status) const override;
  void createPELMOEquations(long long& status) override;
  void addVarsToOutputPort(qiv_port* port) override;
  void addVarsToVolPort(qiv_port* port) override;
  void addVarsToResultPort(qiv_port* port) override;
  void createROMVariables() override;
  void createROMEquations() override;
  void setPELMOVarValues(long long& status) override;
  void commonConstructor() override;
  void commonDestructor() override;
  void init(long long& status) const override;

  // ---- Own virtual operations, in slot order ---------------------------------
  // FEEDMASS minus the twelve product masses.
  virtual double computeMassBalanceResidual(long long& status) const;
  // FEEDSULMASS minus the sulfur of H2S and the five product sulfur masses.
  virtual double computeSulfurBalanceResidual(long long& status) const;
  // Derivative of the balance residual by one of its variables; any other
  // name gives 0 and status 1.
  virtual double computeMassBalanceDerivative(std::string varName, long long& status) const;
  virtual double computeSulfurBalanceDerivative(std::string varName, long long& status) const;
  // Viscosity blending index of a viscosity in cSt: 33.5 log10(log10(v + 0.85)) + 19.2.
  virtual double computeLGOViscIdx(double visc) const;
  // Two-variable calculated cetane index of a specific gravity and a 50 % point.
  virtual double computeLGOCetIdx(double sg, double midBoiling) const;
  // Cloud index of a cloud point: 10000 ((c + 460) / 600)^16.7.
  virtual double computeLGOCloudIdx(double cloudPoint) const;
  virtual double computeHGOViscIdx(double visc) const;
  // Derivatives of the index rows (index minus index variable): by the row's
  // input variable, or -1 for any other name (the index variable itself).
  virtual double computeLGOViscIdxDerivative(std::string varName, double visc) const;
  virtual double computeLGOCetIdxDerivative(std::string varName, double sg, double midBoiling) const;
  virtual double computeLGOCloudIdxDerivative(std::string varName, double cloudPoint) const;
  virtual double computeHGOViscIdxDerivative(std::string varName, double visc) const;
  // Pattern of a balance row: firstNz becomes the row's first non-zero, its
  // variables are registered under the range rule with the running counter nz.
  virtual void pat_MassBal(rt_jac_t* jac, long long& status, int& nz, int firstNz);
  virtual void pat_SulfurBal(rt_jac_t* jac, long long& status, int& nz, int firstNz);

  // The record of one of the 49 own equations by name; null before
  // createROMEquations or for any other name.
  ROMEqn* ownEquation(const std::string& name) const;

 protected:
  // Registers one non-zero (eqn, var) under the range rule: an equation or
  // variable number below the block's first position - 1 sets status 1 and
  // registers nothing (the counter stays); otherwise the counter is raised and
  // the pair registered under the new number.
  void addToPat(rt_jac_t* jac, int& nz, int eqn, int var, long long& status);

 private:
  // The widest model row ("MASS_BAL") has 13 variables.
  static constexpr std::size_t kMaxRowVariables = 13;
  using RowValues = std::array<double, kMaxRowVariables>;

  // A model row of the table with its record and variable records looked up.
  struct Row {
    const coker::ModelRow* def;
    ROMEqn* eqn;
    std::vector<const ROMVar*> vars;  // pattern order
  };

  std::size_t rowPosition(const char* name) const;  // in m_rows; throws when absent
  void patRow(rt_jac_t* jac, long long& status, int& nz, int firstNz, std::size_t rowPos);
  // The row's current values in pattern order.
  void gatherRowValues(const Row& row, const OneBased<double>& x, RowValues& v) const;
  // Residual of a row at the values v (pattern order); with grad given, also
  // its partial derivatives in the same order. Never lowers status.
  double evalRow(const Row& row, const double* v, double* grad, long long& status) const;
  // Writes the six starting values of the sulfur masses and H2SMASS.
  void writeStartingValues(long long& status) const;
  // The balance variables' references, from the balance tables.
  void makeBalanceRefs();

  // The variables of the two balances in the order they are summed (the
  // feed first), reached through their map slots.
  std::vector<EntryRef<ROMVarMap>> m_massBalanceVars;
  std::vector<EntryRef<ROMVarMap>> m_sulfurBalanceVars;

  std::array<std::unique_ptr<ROMEqn>, kOwnEquationCount> m_ownEqns;
  std::vector<Row> m_rows;           // model rows 36..100 in row order
  std::vector<int> m_rowRegistered;  // non-zeros each model row registered in the last pattern
  bool m_patternDone = false;        // user_jac writes only after a complete pattern pass
};
