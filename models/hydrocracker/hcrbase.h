// hcrbase: the block base of the first-generation hydrocracker models.
//
// On robase's basis settings, model kind, attribute map, ports and
// persistence it keeps its own managers: the variables live as ROMVar
// records in a VarMan (filled from five name-ordered sets of varinfo
// descriptions), the equations as hcreqn objects in an HcrEqnMan. The
// framework hooks walk the objects: sizes from the managers, the pattern in
// running-index order, residuals, Jacobian values and starting values in
// name order. No hook runs the networks in a pass of its own: every network
// output has a network equation (eqNNDep) that runs its network when its
// inputs change.
//
// Numbering: variables take the running index 1, 2, 3 ... in the order the
// sets are loaded (and by name within a set); equations the order in which
// the model adds them.
//
// Passes report 1 when any object reports non-zero, throws, or leaves a
// residual or Jacobian value that is not finite; statuses never cancel. No
// exception leaves a hook.
#pragma once

#include <set>
#include <string>

#include "core/robase.h"
#include "models/hydrocracker/hcr_equations.h"
#include "models/hydrocracker/hcreqn.h"

// One variable description; sets of them are ordered by name alone (a second
// description of a name already in a set leaves the first in place).
using varinfo = varinfo2;

class hcrbase : public robase {
 public:
  // The equation classes, shared by every slate: rohcrd::eqMassBal and
  // rohcrk::eqMassBal name one class (the balances take the slate's products).
  using eqMassBal = hcr::eqMassBal;
  using eqHydBal = hcr::eqHydBal;
  using eqMassConv = hcr::eqMassConv;
  using eqVolConv = hcr::eqVolConv;
  using eqMolConv = hcr::eqMolConv;
  using eqSulConv = hcr::eqSulConv;
  using eqSulPPM = hcr::eqSulPPM;
  using eqHydMassConv = hcr::eqHydMassConv;
  using eqNAVal = hcr::eqNAVal;
  using eqIdxVal = hcr::eqIdxVal;
  using eqConvCalc = hcr::eqConvCalc;

  explicit hcrbase(const char* name);
  ~hcrbase() override;

  // ---- Operations added after robase's ---------------------------------------
  // Attaches the framework's value vector (seen by number) and the variable
  // list to the VarMan.
  virtual void initVarManVec() const;
  // Writes a value into the record's framework variable: 1 without a variable
  // list or for a value that is not finite, else 0.
  virtual int setPELMOVarValue(ROMVar* var, double value);
  using robase::setPELMOVarValue;

  // ---- Replaced operations of robase -----------------------------------------
  // createROMVariables, createROMEquations, setupAttributes (no independent-variable map).
  void prepare() override;
  void createPELMOVariables(long long& status) override;
  void createPELMOEquations(long long& status) override;
  void addVarsToInputPort(qiv_port* port) override;
  void addVarsToOutputPort(qiv_port* port) override;  // kept, not called by the port set-up
  void addVarsToMassPort(qiv_port* port) override;
  void addVarsToVolPort(qiv_port* port) override;
  void addVarsToResultPort(qiv_port* port) override;
  void addVarsToConstantsPort(qiv_port* port) override;
  void createROMVariables() override = 0;
  void createROMEquations() override = 0;
  // ALPHA_y (1.0), BETA_y (0.0) and GAMMA_y_x (0.0) of every network output y
  // over every input x, code 0, numbered on from the map's size.
  void setupAttributes() override;
  void setPELMOVarValues(long long& status) override;  // status 0; the models write their constants
  // CONST for every constant and every input (FEEDVOL in place of FEEDMASS
  // on a volume HL basis); 1 when the framework refused one.
  void setPELMOVarSpecs(long long& status) override;
  void commonConstructor() override;
  // The block's records live in the VarMan, not in robase's tables: every
  // network output of the network-output set in name order, stopping at the
  // first failure.
  int runAllNN() const override;
  // Runs the network of one output (of the network-output set) at the
  // current values of every input, and stores the prediction as the output
  // record's value and the derivatives by input name in its derivative map.
  // 0, or the runner's status (the record then keeps its previous values).
  int runNN(std::string output) const override;

  // ---- Framework hooks ----------------------------------------------------------
  void user_dim(int& nvar, int& neqn, int& nnz, long long& status) override;
  void user_ini(long long& status) override;
  void user_pat(rt_jac_t* jac, long long& status) override;
  void user_res(long long& status) const override;
  using robase::user_jac;
  // Keeps a failure it is given; otherwise 1 when any object failed.
  void user_jac(long long& status) const override;
  // Every object's starting-value step in name order; a failure makes the
  // status 1 (a non-zero status it is given is kept).
  void init(long long& status) const override;

  // ---- Access -------------------------------------------------------------------
  const HcrVarMan& varMan() const { return m_varMan; }
  const HcrEqnMan& eqnMan() const { return m_eqnMan; }
  const std::set<varinfo>& inputs() const { return inputSet; }
  const std::set<varinfo>& networkOutputs() const { return nnOutputSet; }
  const std::set<varinfo>& calculated() const { return calcSet; }
  const std::set<varinfo>& factors() const { return factorSet; }
  const std::set<varinfo>& constants() const { return constSet; }
  // What the block hands its equation objects: the address of its
  // attribute-map pointer.
  EqnContext context() { return &m_attrMapPtr; }

 protected:
  // Adds the set's descriptions, in name order, to the VarMan with the next
  // running indices (continuing across calls); a name already there raises
  // vardupex.
  void populateVarMan(std::set<varinfo> vars);
  // The VarMan record of a name; a missing name raises "invalid map<K, T> key".
  ROMVar* varRecord(const std::string& name) const { return &m_varMan.var(name); }

  // ---- Members, in declaration order ------------------------------------------
  HcrVarMan m_varMan;
  ROMAttrMap* m_attrMapPtr;  // robase's attribute map; the equation objects' context points here
  HcrEqnMan m_eqnMan;
  std::set<varinfo> inputSet;     // model inputs: the inputs of every network; fixed
  std::set<varinfo> nnOutputSet;  // one network equation each
  std::set<varinfo> calcSet;      // computed flows, conversions, sulfur, hydrogen masses, indices
  std::set<varinfo> factorSet;    // MASSFACTOR; on no port
  std::set<varinfo> constSet;     // fixed values
};
