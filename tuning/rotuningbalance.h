// rotuningbalance: the tuning-balance block ("ROTUNINGBALANCE") and its unit
// forms.
//
// The block closes the overall mass balance and the sulfur or hydrogen
// balance of one conversion unit around given yields: every variable is
// created fixed, and user_ini frees the two it solves for, MASSFACTOR (one
// factor on all product yields) and the unit's closure variable. The unit
// forms differ only in their variables and balance rows (tuning/balance_form.h):
//   rotuningbalanceCOK, rotuningbalanceVB   MASS_BAL, SULFUR_BAL; MASSFACTOR, H2SMASS
//   rotuningbalanceFCC                      MASS_BAL, SULFUR_BAL; MASSFACTOR, H2SFRAC
//   rotuningbalanceHCR, rotuningbalanceREF  MASS_BAL, HYDROGEN_BAL; MASSFACTOR, FGSFRAC
// The plain rotuningbalance (an RX naming no unit) has neither variables nor
// equations; its set-up and evaluation hooks report status 1.
//
// Numbering: local variable i is framework variable vstart() + i - 1 (local
// indices in registration order), MASS_BAL is equation 1 and the second
// balance equation 2; the k-th non-zero (k from 0) is nzstart() + k, the
// MASS_BAL row first. Variables are created in name order.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/qivblock.h"
#include "tuning/balance_form.h"

class rotuningbalance : public QivEOBlockImpl {
 public:
  rotuningbalance(const char* name, const char* RX);
  // The block owns its tables and its framework registrations.
  rotuningbalance(const rotuningbalance&) = delete;
  rotuningbalance& operator=(const rotuningbalance&) = delete;
  ~rotuningbalance() override;

  // ---- Framework hooks ------------------------------------------------------
  void user_dim(int& nvar, int& neqn, int& nnz, long long& status) override;  // 100, 100, 100
  void user_ini(long long& status) override;
  void user_pat(rt_jac_t* jac, long long& status) override;
  void user_res(long long& status) const override;
  void user_jac(long long& status) const override;
  void user_jac(int eqn, long long& status) const override;  // status 1: not offered
  void res(int eqn, long long& status) const override;       // status 1: not offered
  void init(long long& status) const override;                // starting values of the form
  void Destroy() override;
  void inq_model_type(char* buf) const override;  // "rotuningbalance"
  // The framework's type query (const, on the block interface) keeps the
  // framework's answer; the block's own query is a slot of its own: true for
  // "rotuningbalance", else the framework's answer.
  using QivEOBlockImpl::isof_type;
  virtual bool isof_type(const char* type);

  // ---- Read access (tools and tests) -----------------------------------------
  const std::string& rx() const { return m_rx; }
  const std::map<std::string, int>& varIndex() const { return m_varIndex; }
  const std::map<std::string, int>& eqnIndex() const { return m_eqnIndex; }
  const tuning::BalanceForm* form() const { return m_form.get(); }

  static constexpr int kDeclaredSize = 100;  // variables, equations and non-zeros

 protected:
  virtual void createVariables(long long& status);
  virtual void createVariable(std::string name, int index, long long& status);
  // "CONST" fixes, "CALC" frees (exact texts); any other text is status 1.
  virtual void setVarSpec(std::string var, std::string spec, long long& status);
  // The form's variables, numbered 1, 2, ... in its order.
  virtual void setupVariables();
  virtual void createEquations(long long& status);
  virtual void createEquation(std::string name, int index, long long& status);
  // MASS_BAL 1 and the form's second balance 2.
  virtual void setupEquations();

  // The unit forms' constructors: the unit's balance rows, then its tables.
  void adoptForm(std::unique_ptr<const tuning::BalanceForm> form);

 private:
  // The current value of one of the block's variables; throws without a
  // variable list or for a name the block does not have.
  tuning::Values valueReader() const;

  std::string m_rx;
  std::map<std::string, int> m_varIndex;
  std::map<std::string, int> m_eqnIndex;
  int m_nextVarIndex = 1;
  std::unique_ptr<const tuning::BalanceForm> m_form;
  // Resolved with the variables: the local index of each place of the form's
  // list, and the places of each row's variables (-1: the form has none).
  std::vector<int> m_placeIndex;
  std::array<std::vector<int>, 2> m_rowPlaces;
  mutable tuning::Gradient m_gradient;          // a row's derivatives, kept between calls
  mutable tuning::PlacedStartValues m_start;  // init's starting values, kept the same way
};

// Coker: eleven yields, five of them carrying sulfur.
class rotuningbalanceCOK : public rotuningbalance {
 public:
  rotuningbalanceCOK(const char* name, const char* RX);
};

// Visbreaker: ten yields, four of them carrying sulfur.
class rotuningbalanceVB : public rotuningbalance {
 public:
  rotuningbalanceVB(const char* name, const char* RX);
};

// FCC: the middle cracked naphtha and the heavy cycle oil by the exact RX text.
class rotuningbalanceFCC : public rotuningbalance {
 public:
  rotuningbalanceFCC(const char* name, const char* RX);
  bool hasMCN() const { return m_hasMCN; }
  bool hasHCO() const { return m_hasHCO; }

 private:
  bool m_hasMCN = false;
  bool m_hasHCO = false;
};

// Hydrocracker: middle distillates by the exact RX text ("HCR_N" 0, "HCR_K" 1,
// "HCR_D" 2, "HCR_MILD" 3; any other text -1, which has none of them).
class rotuningbalanceHCR : public rotuningbalance {
 public:
  rotuningbalanceHCR(const char* name, const char* RX);
  int selector() const { return m_selector; }

 private:
  int m_selector = -1;
};

// Reformer: liquid products by the exact RX text (1R kinds 0, 2R kinds 1,
// A kinds 2; any other text -1, which has no liquid product).
class rotuningbalanceREF : public rotuningbalance {
 public:
  rotuningbalanceREF(const char* name, const char* RX);
  int selector() const { return m_selector; }

 private:
  int m_selector = -1;
};
