// One block's equation system as the framework sees it: the block's ranges of
// variable, equation and non-zero numbers in the shared lists, what the block
// registered inside them, and evaluation of residuals and Jacobian values
// through the block's hooks. The Newton solver and the Jacobian checker both
// work on this view, so a block made directly in a test and a block made by the
// plug-in are driven by the same code.
#pragma once

#include <string>
#include <vector>

#include "host/hook_call.h"
#include "platform/qivblock.h"

namespace romhost {

// The block's ranges: first positions (1-based, global) and sizes from user_dim.
struct BlockRanges {
  int firstVar = 1, nVars = 0;
  int firstEqn = 1, nEqns = 0;
  int firstNz = 1, nNz = 0;

  int lastVar() const { return firstVar + nVars - 1; }
  int lastEqn() const { return firstEqn + nEqns - 1; }
  int lastNz() const { return firstNz + nNz - 1; }
  bool hasVar(int n) const { return n >= firstVar && n <= lastVar(); }
  bool hasEqn(int n) const { return n >= firstEqn && n <= lastEqn(); }
  bool hasNz(int n) const { return n >= firstNz && n <= lastNz(); }
};

class BlockSystem {
 public:
  struct NonZero {
    int nz;
    int eqn;
    int var;
  };

  BlockSystem(QivEOBlockImpl& block, rtvarlst_t* vars, rtattrdict_t* eqns, rt_jac_t* jac,
              BlockRanges ranges);
  BlockSystem(const BlockSystem&) = delete;
  BlockSystem& operator=(const BlockSystem&) = delete;

  // Reads what the block registered and returns every registration that breaks
  // the block's ranges or the lists' rules (empty when all is sound). Call again
  // after the block changes its pattern or its fixed and free variables.
  std::vector<std::string> scan();

  const std::vector<int>& variables() const { return variables_; }  // registered, ascending
  const std::vector<int>& unknowns() const { return unknowns_; }     // the free ones
  const std::vector<int>& equations() const { return equations_; }   // registered, ascending
  const std::vector<NonZero>& nonZeros() const { return nonZeros_; }  // registered, inside the ranges
  int nzExtent() const { return nzExtent_; }  // highest non-zero number registered, 0 when none
  int equationIndex(int eqn) const;  // position in equations(), -1 when not the block's
  int unknownIndex(int var) const;   // position in unknowns(), -1 when fixed or not the block's

  // Zeroes the block's residuals, calls user_res and reads the residual of each
  // of equations() into r.
  HookOutcome residuals(std::vector<double>& r);
  // Zeroes the block's Jacobian values from its first non-zero to the extent and
  // calls user_jac; read the values with jacobianValue.
  HookOutcome jacobian();
  double jacobianValue(int nz) const;

  double value(int var) const;
  void setValue(int var, double v);
  std::vector<double> values(const std::vector<int>& nums) const;
  void setValues(const std::vector<int>& nums, const std::vector<double>& x);

  const char* variableName(int var) const { return rtovarlst_name(vars_, var); }
  const char* equationName(int eqn) const { return rtoeqnlst_name(eqns_, eqn); }
  bool isFixed(int var) const { return rtovarlst_is_fixed(vars_, var); }
  double lower(int var) const { return rtovarlst_lower(vars_, var); }
  double upper(int var) const { return rtovarlst_upper(vars_, var); }

  QivEOBlockImpl& block() const { return block_; }
  const BlockRanges& ranges() const { return ranges_; }
  rtvarlst_t* varList() const { return vars_; }
  rtattrdict_t* eqnList() const { return eqns_; }
  rt_jac_t* jac() const { return jac_; }

 private:
  QivEOBlockImpl& block_;
  rtvarlst_t* vars_;
  rtattrdict_t* eqns_;
  rt_jac_t* jac_;
  BlockRanges ranges_;
  std::vector<int> variables_, unknowns_, equations_;
  std::vector<NonZero> nonZeros_;
  int nzExtent_ = 0;
  std::vector<int> eqnIndex_;     // by equation number, -1 when not the block's
  std::vector<int> unknownIndex_;  // by variable number, -1 when not an unknown
};

}  // namespace romhost
