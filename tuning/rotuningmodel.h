// rotuningmodel: the tuning-model block ("ROTUNING").
//
// The block fits the tuning factors of one network output (DEPVAR) of one
// reactor kind (RX) to NDATA measured points. For point i it poses
//   EQN_<i>:  ALPHA * YNN(i) + BETA + sum over the kind's input tags t of GAMMA_<t> * x(t, i) - Y_<i> = 0
// where YNN(i) is the network's prediction at the point's inputs x(t, i) (the
// attributes <TAG>_<i>). Which variables are fixed is the user's choice: the
// block fixes none.
//
// The four FCC naphtha cuts (DEPVAR C5SFRAC, LCNFRAC, MCNFRAC or HCNFRAC with
// an RX beginning with "FCC") are the overcrack case: the prediction is
//   YNN(i) = TOTAL(i) - OVERCRACK_RATE * DIFF(i)
// where the DIFF network sees the plenum temperature times OVERCRACK_PARAM;
// both are variables of the block, and the networks run at every evaluation.
//
// Numbering: local variable k is framework variable vstart() - 1 + k, local
// equation k framework equation estart() - 1 + k; the row of point i holds
// n + 3 non-zeros (n + 5 in the overcrack case) from nzstart() + i * rowLength.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/onebased.h"
#include "platform/diveduded/DIVeduded.h"
#include "platform/qivblock.h"

class rotuningmodel : public QivEOBlockImpl {
 public:
  // The sizes the block declares through user_dim; a configuration that does
  // not fit them is refused at construction (std::length_error), since
  // registering past them would write into another block's part of the lists.
  static constexpr int kDeclaredVariables = 1000;
  static constexpr int kDeclaredNonZeros = 5000;

  // Throws std::invalid_argument for NDATA below 1 and std::length_error for a
  // configuration beyond the declared sizes.
  rotuningmodel(const char* name, const char* RX, const char* DEPVAR, int NDATA);
  // The block owns its tables and its framework registrations.
  rotuningmodel(const rotuningmodel&) = delete;
  rotuningmodel& operator=(const rotuningmodel&) = delete;
  ~rotuningmodel() override;

  // ---- Framework hooks ------------------------------------------------------
  void user_dim(int& nvar, int& neqn, int& nnz, long long& status) override;  // 1000, NDATA, 5000
  void user_ini(long long& status) override;
  void user_pat(rt_jac_t* jac, long long& status) override;
  void user_res(long long& status) const override;
  void user_jac(int eqn, long long& status) const override;  // status 1: not offered
  void user_jac(long long& status) const override;
  void res(int eqn, long long& status) const override;  // status 1: not offered

  int attr_num() const override;
  const char* attr_name(int i) const override;
  bool attr_lookup_value(const char* name, value_t* v) const override;
  bool attr_assign_value(const char* name, const value_t& v) override;
  bool attr_lookup_ismodified(const char* name) const override;
  qivblock_attr_desc* attr_describe(const char* name) const override;
  void Destroy() override;
  bool isof_type(const char* type) const override;  // "rotuning", else the framework's answer
  void inq_model_type(char* buf) const override;    // "rotuning"

  // ---- Read access (tools and tests) -----------------------------------------
  const std::string& rx() const { return m_rx; }
  const std::string& depVar() const { return m_depVar; }
  int nData() const { return m_nData; }
  const std::vector<std::string>& indeps() const { return m_indeps; }
  const std::map<std::string, int>& varIndex() const { return m_varIndex; }
  const std::map<std::string, int>& eqnIndex() const { return m_eqnIndex; }
  const std::map<std::string, double>& attrValues() const { return m_attrValues; }
  const std::vector<double>& nnPredictions() const { return m_nnPredictions; }
  const std::vector<std::map<std::string, double>>& diffDerivatives() const { return m_diffDerivatives; }
  bool runPending() const { return m_runPending; }
  // DEPVAR is one of the four naphtha cuts and RX begins with "FCC".
  bool overcrack() const;
  // Non-zeros of one point's row: n + 3, or n + 5 in the overcrack case.
  int rowLength() const;

  // The builder that fills the tag list: the first of "FCC_", "REF_", "VB_",
  // "COK", "HCR" found inside RX decides; none gives no tags.
  static std::vector<std::string> inputTags(const std::string& rx);

 private:
  // ---- Set-up ----------------------------------------------------------------
  void setupAttributes();
  void setupVariables();
  void setupEquations();

  // ---- Registration ------------------------------------------------------------
  void createVariables(long long& status);
  void createVariable(std::string name, int index, long long& status);
  void createEquations(long long& status);
  void createEquation(std::string name, int index, long long& status);

  // ---- Evaluation --------------------------------------------------------------
  // Collects the value of every variable (the value vector seen 1-based, the
  // block's variable offset vstart() - 1) and runs the networks when a run is
  // pending. Returns 0 or the status of the run.
  int getVarValues(const OneBased<double>& values, int offset) const;
  // The ordinary run: DEPVAR's network at every point (the overcrack pair in
  // the overcrack case).
  int runNN() const;
  // The overcrack run with the TOTAL and DIFF output names.
  int runNNDiff(std::string total, std::string diff) const;
  // Residual of point j (counted from 1) into the residual vector at the
  // block's equation offset.
  void computeEqnResidual(const OneBased<double>& residuals, int offset, int point, long long& status) const;
  // Jacobian row of point j (counted from 1).
  void computeEqnDerivatives(const OneBased<double>& jacobian, int point, long long& status) const;

  // x(tag, i): the attribute <TAG>_<i>.
  double pointInput(const std::string& tag, int point) const;
  // Resolves the names the evaluations read into local indices and
  // attribute slots (the tables are complete after construction).
  void resolveIndices();
  // The value of the attribute <TAG>_<i> of the kind's tag t.
  double pointValue(int point, std::size_t tag) const {
    return *m_pointValues[static_cast<std::size_t>(point) * m_indeps.size() + tag];
  }
  // The networks' runs keep their files, tags and buffers (rotuningmodel_networks.cpp).
  struct NetworkRuns;
  struct NetworkRun;
  // Reads the runner's tags at the first point of a run and matches them to
  // the point attributes again when they changed; then gives the point's
  // inputs. Status 1 for a runner that reports an absurd count or a tag that
  // does not fit the name buffers.
  int givePointInputs(DIVeduded& runner, NetworkRun& run, int point, double scaleBy) const;

  // ---- Members -------------------------------------------------------------------
  std::string m_rx;
  std::string m_depVar;
  int m_nData = 0;
  std::vector<std::string> m_indeps;
  std::map<std::string, int> m_varIndex;
  std::map<std::string, int> m_eqnIndex;
  std::map<std::string, double> m_attrValues;
  std::vector<std::string> m_attrNames;  // keys of m_attrValues in key order
  // Local indices of the variables the rows read, and the attribute of every
  // point input ([point * tags + tag]); the plenum temperature's per point
  // (null where the block has no such attribute).
  int m_alphaAt = 0, m_betaAt = 0, m_paramAt = 0, m_rateAt = 0;
  std::vector<int> m_gammaAt;
  std::vector<int> m_yAt;
  std::vector<const double*> m_pointValues;
  std::vector<const double*> m_plenumValues;
  // Evaluation state, renewed by the const evaluation hooks: the variables'
  // values by local index, a Jacobian row, the networks' runs.
  mutable std::vector<double> m_values;
  mutable std::vector<double> m_row;
  mutable std::unique_ptr<NetworkRuns> m_runs;
  mutable std::vector<double> m_nnPredictions;
  // Overcrack case, per point: the negated derivatives of DIFF by input tag,
  // and DIFF itself (kept for the OVERCRACK_RATE column of the Jacobian).
  mutable std::vector<std::map<std::string, double>> m_diffDerivatives;
  mutable std::vector<double> m_diffPredictions;
  mutable bool m_runPending = true;
};
