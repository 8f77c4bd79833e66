// robase2: the base of every second-generation block (the classes ending in
// "_1"). It keeps robase's basis settings, model kind, attribute map, ports
// and persistence, but describes its variables as varinfo2 records in five
// category sets, keeps them as ROMVar records in a VarMan, and keeps its
// equations as roeqn2 objects in an EqnMan. Its framework hooks need no
// per-model code: sizes come from the managers, residuals and Jacobian values
// from the equation objects, starting values from the objects' steps in
// order of their ordering key.
//
// A model fills the five sets in createROMVariables and hands them, in a
// fixed order, to populateVarMan, which numbers the variables 1, 2, 3 ...;
// its createROMEquations asks the suppliers for objects and adds them with
// m_eqnMan.addEquation, which numbers the equations in the order added.
//
// Passes: every hook that reads values first attaches the framework's current
// vectors to the VarMan (the framework may move them between calls). A pass
// over the objects reports 1 when any object reports non-zero, throws, or
// leaves a residual or Jacobian value that is not finite; statuses never
// cancel. No exception leaves a hook.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/catalogue.h"
#include "core/eqnman.h"
#include "core/robase.h"
#include "core/varman.h"

class robase2 : public robase {
 public:
  robase2(const char* name, VerInfo version);
  ~robase2() override;

  // ---- Operations added after robase's ---------------------------------------
  // Attaches the framework's value vector (seen by number) and the variable
  // list to the VarMan.
  virtual void initVarManVec() const;
  // Adds to the port, in name order, every record of the set whose name ends
  // with the suffix and is not excluded.
  virtual void addVarsToPortBySuffix(qiv_port* port, const std::string& suffix, const std::set<varinfo2>& vars,
                                     const std::set<std::string>& excluded);
  // Does nothing.
  virtual void addVarsToPortByPrefix(qiv_port* port, const std::string& prefix, const std::set<varinfo2>& vars,
                                     const std::set<std::string>& excluded);
  using robase::addVarsToPortByPrefix;
  using robase::addVarsToPortBySuffix;
  // Writes a value into the record's framework variable: 1 without a variable
  // list or for a value that is not finite, else 0.
  virtual int setPELMOVarValue(ROMVar* var, double value);
  using robase::setPELMOVarValue;

  // The models describe their variables and equations.
  void createROMVariables() override = 0;
  void createROMEquations() override = 0;

  // Adds the set's variables, in name order, to the VarMan with the next
  // running indices (continuing across calls); a name already present raises
  // vardupex2.
  void populateVarMan(const std::set<varinfo2>& vars);
  // The block's category sets, with the volume and molar sets of a model that keeps them.
  CategorySets categorySets(std::set<varinfo2>* volume = nullptr, std::set<varinfo2>* molar = nullptr) {
    return CategorySets(inputSet, nnOutputSet, factorSet, constSet, calcSet, volume, molar);
  }

  // ---- Replaced operations of robase -----------------------------------------
  // createROMVariables, createROMEquations, setupAttributes (no independent-variable map).
  void prepare() override;
  void createPELMOVariables(long long& status) override;
  void createPELMOEquations(long long& status) override;
  void addVarsToInputPort(qiv_port* port) override;
  void addVarsToMassPort(qiv_port* port) override;
  void addVarsToConstantsPort(qiv_port* port) override;
  // The tuning factors and error scales of every network output, over the input set.
  void setupAttributes() override;
  void setPELMOVarValues(long long& status) override;  // status 0; the models write their constants
  void setPELMOVarSpecs(long long& status) override;
  void commonConstructor() override;

  // ---- Framework hooks ----------------------------------------------------------
  // Variables and equations of the managers, non-zeros their product (in 64
  // bits, clamped to the int range).
  void user_dim(int& nvar, int& neqn, int& nnz, long long& status) override;
  void user_ini(long long& status) override;
  void user_pat(rt_jac_t* jac, long long& status) override;
  void user_res(long long& status) const override;
  using robase::user_jac;
  // Keeps a failure it is given; otherwise 1 when any object failed.
  void user_jac(long long& status) const override;
  // Starting values by ascending ordering key, ties by name; key 4294967295
  // never runs. Adds to the status it is given the number of objects whose
  // step failed (a negative status it is given is kept).
  void init(long long& status) const override;
  // robase's text followed by ", VERSION:" and the version.
  void inq_attr(qiv_blk_t& desc) const override;

  // ---- Access -------------------------------------------------------------------
  const VarMan& varMan() const { return m_varMan; }
  const EqnMan& eqnMan() const { return m_eqnMan; }
  const VerInfo& version() const { return m_version; }
  // What the block hands its suppliers: the address of its attribute-map pointer.
  EqnContext context() { return &m_attrMapPtr; }

 protected:
  // The VarMan record of a name; a missing name raises "invalid map<K, T> key".
  ROMVar* varRecord(const std::string& name) const { return &m_varMan.var(name); }
  // Adds the named variables of the VarMan to a port, in the order given.
  void addNamesToPort(qiv_port* port, std::span<const char* const> names);
  // Writes each constant's value into its variable; every constant is tried,
  // since a constant left at its start value would pass unnoticed into every
  // conversion. 1 when a write was refused, else 0.
  int writeConstants(std::span<const ConstantValue> constants);

  // ---- Members, in declaration order ------------------------------------------
  int m_nextVarIndex = 1;
  VarMan m_varMan;
  ROMAttrMap* m_attrMapPtr;  // robase's attribute map; the suppliers' context points here
  EqnMan m_eqnMan;
  std::set<varinfo2> inputSet;     // model inputs: every network's candidate inputs
  std::set<varinfo2> nnOutputSet;  // one network and one family of tuning attributes each
  std::set<varinfo2> calcSet;      // computed flows and properties
  std::set<varinfo2> factorSet;    // MASSFACTOR
  std::set<varinfo2> constSet;     // fixed values; names with "CUTOFF" stay off the CONSTANTS port
  VerInfo m_version;
  // The starting-value order of the last init: (ordering key, position by name).
  mutable std::vector<std::pair<std::uint32_t, std::size_t>> m_initOrder;
};
