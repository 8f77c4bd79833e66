// The first-generation FCC product slates and their leaves.
//
// A slate fixes which cuts beyond the common set a block has: rofcc2n none
// (light and heavy naphtha LCN, HCN), rofcc2n1h the heavy cycle oil HCO,
// rofcc3n the middle naphtha MCN, rofcc3n1h both. The slate creates the
// variables and equation records of its own cuts ahead of the base catalogue
// (so they take the lowest positions and indices), closes the unit with the
// mass and sulfur balances, answers user_pat, user_res and user_jac by calling
// the adjustment rows, the balances and the equation operations of rofcc in a
// fixed order, and computes the starting values of init.
//
// A leaf sets the block's model kind, which names the network files:
//
//   slate      leaves (model kind)
//   rofcc2n    rofccgo2n ("FCC_GO_2N"),     rofccgor2n ("FCC_GOR_2N")
//   rofcc2n1h  rofccgo2n1h ("FCC_GO_2N1H"), rofccgor2n1h ("FCC_GOR_2N1H")
//   rofcc3n    rofccgo3n ("FCC_GO_3N"),     rofccgor3n ("FCC_GOR_3N")
//   rofcc3n1h  rofccgo3n1h ("FCC_GO_3N1H"), rofccgor3n1h ("FCC_GOR_3N1H")
//
// The four slates share one implementation, rofccslate, driven by the slate's
// tables (rofcc_slate_tables.cpp); each slate only names itself.
//
// EQN_H2SMASS is evaluated by every slate (residual and Jacobian last, pattern
// after EQN_COKMASS): its record is registered with the framework in every
// slate, and it is the only equation of H2SFRAC, so without it the system
// would have an equation without entries and a free variable in no equation.
#pragma once

#include <string>
#include <vector>

#include "models/fcc/rofcc.h"

enum class FccSlate : unsigned char { TwoN, TwoN1H, ThreeN, ThreeN1H };

constexpr bool fccSlateHasMcn(FccSlate s) { return s == FccSlate::ThreeN || s == FccSlate::ThreeN1H; }
constexpr bool fccSlateHasHco(FccSlate s) { return s == FccSlate::TwoN1H || s == FccSlate::ThreeN1H; }

// One step of a slate's pass over its equations.
struct FccStep {
  enum class Kind : unsigned char { Adjustment, MassBal, SulfurBal, Equation, SulPPM };
  Kind kind;
  FccEq eq = FccEq::FGSMass;             // Equation steps
  FccRecord record = FccRecord::SulfurBal;  // SulPPM steps: the record given to robase's operation
};

enum class FccPass : unsigned char { Residual, Jacobian, Pattern };

// The steps of one pass, in call order.
const std::vector<FccStep>& fccPassSteps(FccSlate slate, FccPass pass);

// The variables a slate adds ahead of the base catalogue, in creation order.
struct FccSlateVarRow {
  const char* name;
  FccMap map;
  const char* baseUnit;
  const char* dispUnit;
  double lower;
  double upper;
};
const std::vector<FccSlateVarRow>& fccSlateVariables(FccSlate slate);
// The equation records a slate creates ahead of the base records, in order.
const std::vector<FccRecord>& fccSlateRecords(FccSlate slate);

// MASS_BAL: FEEDMASS minus these mass flows; SULFUR_BAL: FEEDSULMASS minus
// 0.9408501188936436 H2SMASS minus these sulfur mass flows. The order is the
// order of subtraction, of the pattern and of the Jacobian values.
const std::vector<std::string>& fccMassBalanceProducts(FccSlate slate);
const std::vector<std::string>& fccSulfurBalanceProducts(FccSlate slate);

// The slate's products, from a list that names every cut (FGS, C3, ..., MCN,
// ..., HCO, ...), without the MCN and HCO entries the slate lacks.
std::vector<std::string> fccSlateCuts(FccSlate slate, const std::vector<std::string>& allCuts);

class rofccslate : public rofcc {
 public:
  explicit rofccslate(const char* name);
  rofccslate(const rofccslate&) = delete;
  rofccslate& operator=(const rofccslate&) = delete;

  // Which slate this block is.
  virtual FccSlate slate() const = 0;

  // ---- Overrides, in robase's slot order --------------------------------------
  void user_ini(long long& status) override;
  // Registers every non-zero of the block, in the pattern order of the slate.
  void user_pat(rt_jac_t* jac, long long& status) override;
  // Runs every network, then writes every residual; a failing network's status
  // is the result and nothing is written.
  void user_res(long long& status) const override;
  using rofcc::user_jac;
  // Runs every network, then writes every Jacobian value (after a complete
  // pattern pass only).
  void user_jac(long long& status) const override;
  // The slate's own output entries, then those of rofcc.
  void addVarsToOutputPort(qiv_port* port) override;
  void createROMVariables() override;
  void createROMEquations() override;
  // MCNCUTOFF (3N slates), then the base constants.
  void setPELMOVarValues(long long& status) override;
  // The starting values (see rofcc_slate_init.cpp).
  void init(long long& status) const override;

 protected:
  ~rofccslate() override;

  // ---- The balances --------------------------------------------------------------
  virtual void res_MassBal(long long& status) const;
  virtual void pat_MassBal(rt_jac_t* jac, long long& status);
  virtual void jac_MassBal(long long& status) const;
  virtual void res_SulfurBal(long long& status) const;
  virtual void pat_SulfurBal(rt_jac_t* jac, long long& status);
  virtual void jac_SulfurBal(long long& status) const;
  // The balance values at the current point; status 0 (a missing name throws).
  virtual double computeMassBalanceResidual(long long& status) const;
  virtual double computeSulfurBalanceResidual(long long& status) const;
  // The partial derivative of a balance by a variable of its pattern; any other
  // name (compared exactly) gives 0.0 with status 1.
  virtual double computeMassBalanceDerivative(std::string name, long long& status) const;
  virtual double computeSulfurBalanceDerivative(std::string name, long long& status) const;

 private:
  void runStep(const FccStep& step, FccPass pass, long long& status) const;
  void patternStep(const FccStep& step, rt_jac_t* jac, long long& status);
  // The variables of a balance row in pattern order: the feed term(s), then the products.
  const std::vector<const ROMVar*>& massBalanceVars() const { return balanceVars(m_massBalance); }
  const std::vector<const ROMVar*>& sulfurBalanceVars() const { return balanceVars(m_sulfurBalance); }
  // A balance's variables (the feed first) as the maps hold them now, reached
  // through their map slots; the references are made at the first use.
  struct Balance {
    bool sulfur = false;
    std::vector<std::pair<FccMap, EntryRef<ROMVarMap>>> refs;
    std::vector<const ROMVar*> vars;
  };
  const std::vector<const ROMVar*>& balanceVars(Balance& balance) const;
  mutable Balance m_massBalance{false, {}, {}};
  mutable Balance m_sulfurBalance{true, {}, {}};
  // Writes a balance row's derivatives through the slate's derivative operation.
  void jacBalance(const ROMEqn* eqn, const std::vector<const ROMVar*>& vars, bool sulfur, long long& status) const;
  // After init's networks failed with status: names, on the history device,
  // a network file reporting a tag that is no model input.
  void reportTagOutsideInputs(int status) const noexcept;

  bool m_patternComplete = false;  // user_jac writes only after a complete pattern pass
};

class rofcc2n : public rofccslate {
 public:
  explicit rofcc2n(const char* name) : rofccslate(name) {}
  FccSlate slate() const override { return FccSlate::TwoN; }

 protected:
  ~rofcc2n() override = default;
};

class rofcc2n1h : public rofccslate {
 public:
  explicit rofcc2n1h(const char* name) : rofccslate(name) {}
  FccSlate slate() const override { return FccSlate::TwoN1H; }

 protected:
  ~rofcc2n1h() override = default;
};

class rofcc3n : public rofccslate {
 public:
  explicit rofcc3n(const char* name) : rofccslate(name) {}
  FccSlate slate() const override { return FccSlate::ThreeN; }

 protected:
  ~rofcc3n() override = default;
};

class rofcc3n1h : public rofccslate {
 public:
  explicit rofcc3n1h(const char* name) : rofccslate(name) {}
  FccSlate slate() const override { return FccSlate::ThreeN1H; }

 protected:
  ~rofcc3n1h() override = default;
};

// The leaves: the slate with its model kind.
#define ROFCC_LEAF(leaf, slateClass, kind)                          \
  class leaf final : public slateClass {                            \
   public:                                                          \
    explicit leaf(const char* name) : slateClass(name) { m_modelKind = kind; } \
    ~leaf() override = default;                                     \
  };
ROFCC_LEAF(rofccgo2n, rofcc2n, "FCC_GO_2N")
ROFCC_LEAF(rofccgor2n, rofcc2n, "FCC_GOR_2N")
ROFCC_LEAF(rofccgo2n1h, rofcc2n1h, "FCC_GO_2N1H")
ROFCC_LEAF(rofccgor2n1h, rofcc2n1h, "FCC_GOR_2N1H")
ROFCC_LEAF(rofccgo3n, rofcc3n, "FCC_GO_3N")
ROFCC_LEAF(rofccgor3n, rofcc3n, "FCC_GOR_3N")
ROFCC_LEAF(rofccgo3n1h, rofcc3n1h, "FCC_GO_3N1H")
ROFCC_LEAF(rofccgor3n1h, rofcc3n1h, "FCC_GOR_3N1H")
#undef ROFCC_LEAF
