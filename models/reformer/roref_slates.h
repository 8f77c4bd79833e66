// The three first-generation reformer slates and their leaves.
//
// roref1r: one reformate "RFT"; roref2r: two reformates "RF1" and "RF2";
// rorefa: an aromatics cut "ARO" (its hydrogen content computed from its
// composition by "EQN_AROHYD") and a raffinate "RAF". Each slate adds its
// product variables (numbered from 1, before roref's), its product records
// (the block's last equations), its mass balance "MASS_BAL" and hydrogen
// balance "HYDROGEN_BAL", its starting values, and the hooks that run every
// equation in the slate's fixed orders (reformer::SlateDef).
//
// A leaf only names the model kind (the network folder and file names) and
// the mode: "SEMI" adds the catalyst-age input CATAGE, "CONT" does not.
#pragma once

#include <string>

#include "models/reformer/roref.h"

// The operations every slate declares: the hooks, its variables and records,
// its output and result ports, and the ten balance operations.
#define ROREF_SLATE_OPERATIONS                                                 \
 public:                                                                       \
  void user_ini(long long& status) override;                                   \
  void user_pat(rt_jac_t* jac, long long& status) override;                    \
  void user_res(long long& status) const override;                             \
  using robase::user_jac;                                                      \
  void user_jac(long long& status) const override;                             \
  void init(long long& status) const override;                                 \
  void addVarsToOutputPort(qiv_port* port) override;                           \
  void addVarsToResultPort(qiv_port* port) override;                           \
  void createROMVariables() override;                                          \
  void createROMEquations() override;                                          \
                                                                               \
 protected:                                                                    \
  virtual void res_MassBal(long long& status) const;                           \
  virtual void pat_MassBal(rt_jac_t* jac, long long& status);                  \
  virtual void jac_MassBal(long long& status) const;                           \
  virtual void res_HydrogenBal(long long& status) const;                       \
  virtual void pat_HydrogenBal(rt_jac_t* jac, long long& status);              \
  virtual void jac_HydrogenBal(long long& status) const;                       \
  virtual double computeMassBalanceResidual(long long& status) const;          \
  virtual double computeMassBalanceDerivative(std::string name, long long& status) const; \
  virtual double computeHydrogenBalanceResidual(long long& status) const;      \
  virtual double computeHydrogenBalanceDerivative(std::string name, long long& status) const;

class roref1r : public roref {
 public:
  explicit roref1r(const char* name);
  ~roref1r() override;
  ROREF_SLATE_OPERATIONS
};

class roref2r : public roref {
 public:
  explicit roref2r(const char* name);
  ~roref2r() override;
  ROREF_SLATE_OPERATIONS
};

class rorefa : public roref {
 public:
  explicit rorefa(const char* name);
  ~rorefa() override;
  ROREF_SLATE_OPERATIONS
};

#undef ROREF_SLATE_OPERATIONS

// The leaves: model kind and mode, set before prepare.
#define ROREF_LEAF(Leaf, Slate)           \
  class Leaf : public Slate {             \
   public:                                \
    explicit Leaf(const char* name);      \
    ~Leaf() override;                     \
  };
ROREF_LEAF(rorefsemi1r, roref1r)
ROREF_LEAF(rorefcont1r, roref1r)
ROREF_LEAF(rorefsemi2r, roref2r)
ROREF_LEAF(rorefcont2r, roref2r)
ROREF_LEAF(rorefsemia, rorefa)
ROREF_LEAF(rorefconta, rorefa)
#undef ROREF_LEAF
