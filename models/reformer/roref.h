// roref: the first-generation catalytic-reformer block base.
//
// What the three reformer product slates share: the feed, light-end and
// constant variables, the feed naphthenes-plus-aromatics basis ("NA basis"),
// the hydrogen-balance attributes, the network run (product hydrogen contents
// are predicted as fractions and shown in percent), the ports, the values and
// specifications, and one residual, pattern and Jacobian operation for every
// reformer equation (the rows of reformer::equationTable()).
//
// A slate (roref1r, roref2r, rorefa) adds its product variables and records,
// its mass and hydrogen balances, and the hooks that run the equations in the
// slate's fixed orders; its two leaves only name the model kind and the mode
// ("SEMI" adds the catalyst-age input CATAGE).
//
// Status convention of the equation operations: they never lower the status;
// a failure (no framework vectors, no record, a value that is not finite, no
// pattern yet for a Jacobian) raises it to 1, so a hook passes one status
// through its whole order and keeps every failure. A name missing from its map
// throws std::out_of_range("invalid map<K, T> key") before anything is written.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/robase.h"
#include "models/reformer/ref_tables.h"

class roref : public robase {
 public:
  explicit roref(const char* name);
  roref(const roref&) = delete;
  roref& operator=(const roref&) = delete;
  ~roref() override;

  // ---- Overrides of robase ---------------------------------------------------
  void createPELMOEquations(long long& status) override;
  void addVarsToInputPort(qiv_port* port) override;
  void addVarsToOutputPort(qiv_port* port) override;
  void addVarsToMassPort(qiv_port* port) override;
  void addVarsToResultPort(qiv_port* port) override;
  void createROMVariables() override;
  void createROMEquations() override;
  void setupAttributes() override;
  void setPELMOVarValues(long long& status) override;
  void setPELMOVarSpecs(long long& status) override;
  void commonConstructor() override;
  void commonDestructor() override;
  // robase's run; the product hydrogen contents ("RFTHYD", "RF1HYD", "RF2HYD",
  // "RAFHYD") are then brought from fraction to percent, prediction and
  // derivatives alike. A failed run leaves the output's record as it was.
  int runNN(std::string output) const override;
  // "SUBID:..., BASIS_HL:..., BASIS_LE:..., BASIS_NA:...".
  void inq_attr(qiv_blk_t& desc) const override;

  // ---- Own operations, in slot order ------------------------------------------
  // "N+A", "N+1.5A", "N+2A", "N+3A" in any case (factor 1, 1.5, 2, 3); any other
  // text (null included) leaves the basis as it is.
  virtual void setNABasis(const char* text);

  // Residuals of the feed equations at the current values (status 0).
  virtual double computeFeedAromResidual(long long& status) const;
  virtual double computeFeedNaphResidual(long long& status) const;
  virtual double computeMEABPResidual(long long& status) const;
  virtual double computeFeedCNOResidual(long long& status) const;
  virtual double computeFeedHydResidual(long long& status) const;
  // Their partial derivatives by exact variable name; a name outside the
  // equation gives 0.0 and status 1.
  virtual double computeFeedAromDerivative(std::string name, long long& status) const;
  virtual double computeFeedNaphDerivative(std::string name, long long& status) const;
  virtual double computeMEABPDerivative(std::string name, long long& status) const;
  virtual double computeFeedCNODerivative(std::string name, long long& status) const;
  virtual double computeFeedHydDerivative(std::string name, long long& status) const;
  // The correlations (contents in percent; the NA factor enters the split).
  virtual double computeFeedArom(double na, double ratio) const;
  virtual double computeFeedNaph(double na, double ratio) const;
  virtual double computeMEABP(double sg, double naph, double arom) const;
  virtual double computeFeedCNO(double sg, double naph, double arom) const;
  virtual double computeFeedHyd(double cno, double naph, double arom) const;
  virtual double computeAROHyd(double benz, double tol, double xyl, double c9p, double sg) const;

  // ---- Access ---------------------------------------------------------------------
  const std::string& naBasis() const { return m_naBasis; }
  double naFactor() const { return m_naFactor; }
  const std::string& mode() const { return m_mode; }
  // The record of one of the 26 equations roref holds; null until created.
  ROMEqn* record(reformer::Record record) const;
  // The record of any model equation (a member or a "CONV_" record); null
  // when the block has none.
  ROMEqn* equationRecord(reformer::Eq eq) const;
  // True once a pattern pass has completed; a Jacobian needs one.
  bool patternDone() const { return m_patternDone; }

 protected:
  // ---- The equation operations: each evaluates one row of the table ----------
#define ROREF_DECLARE_OPS(name)                                 \
  virtual void res_##name(long long& status) const;             \
  virtual void pat_##name(rt_jac_t* jac, long long& status);    \
  virtual void jac_##name(long long& status) const;
  ROREF_EQUATIONS(ROREF_DECLARE_OPS)
#undef ROREF_DECLARE_OPS

  // The three operations of one equation, for the hooks' walks.
  struct EquationOps {
    void (roref::*res)(long long&) const;
    void (roref::*pat)(rt_jac_t*, long long&);
    void (roref::*jac)(long long&) const;
  };
  static const EquationOps& operationsOf(reformer::Eq eq);

  // One row of the equation table.
  void evalResidual(reformer::Eq eq, long long& status) const;
  void evalPattern(reformer::Eq eq, rt_jac_t* jac, long long& status);
  void evalJacobian(reformer::Eq eq, long long& status) const;

  // ---- What the slates build on ---------------------------------------------------
  // The balance steps of a slate's order: the slate's own operation for the kind.
  using BalanceStep = std::function<void(reformer::Step::Kind, long long&)>;
  // user_res (jacobian false) or user_jac (true) over the slate's order: the
  // networks run first (a failure returns the runner's status and nothing is
  // written); then every step runs and any failure makes the status 1. A
  // Jacobian needs a completed pattern pass.
  void runEvaluation(bool jacobian, long long& status, const BalanceStep& balance) const;
  // user_pat over the slate's order: the non-zero count starts at 0, the pass
  // stops at the first failing step (and the pattern counts as not done).
  void runPattern(rt_jac_t* jac, long long& status, const BalanceStep& balance);

  // A balance row over a list of entries: its residual at its row, its
  // non-zeros (one per entry, in order) and its derivatives by entry name.
  void writeRowResidual(const ROMEqn* eqn, double value, long long& status) const;
  void patternOfEntries(ROMEqn* eqn, const std::vector<reformer::VarRef>& entries, rt_jac_t* jac,
                        long long& status);
  void jacobianOfEntries(const ROMEqn* eqn, const std::vector<reformer::VarRef>& entries,
                         const std::function<double(const std::string&, long long&)>& slope,
                         long long& status) const;
  // The balances of the slate: FEEDMASS minus the product masses; the feed
  // hydrogen minus the product hydrogen minus FEEDMASS times the correction.
  double massBalanceOf(long long& status) const;
  double massBalanceSlopeOf(const std::string& name, long long& status) const;
  double hydrogenBalanceOf(long long& status) const;
  double hydrogenBalanceSlopeOf(const std::string& name, long long& status) const;

  // The starting values of the slate (feed correlations, networks, fuel-gas
  // scan, product flows).
  void initFromFeed(long long& status) const;

  // The slate's variables (numbered from 1) and records (after roref's).
  void createSlateVariables();
  void createSlateRecords();
  // The slate's result port, and its output-port list before roref's.
  void addSlateResultPort(qiv_port* port);
  void addSlateOutputPort(qiv_port* port);

  void setMode(std::string mode) { m_mode = std::move(mode); }
  void setSlate(const reformer::SlateDef* slate) { m_slate = slate; }
  const reformer::SlateDef& slate() const;

  ROMVar* lookup(const reformer::VarRef& ref) const;
  // The same for the references of the block's tables and code, whose names
  // stay where they are: each is looked up once and again only after its map
  // changed (a name text moved to another place is looked up anew).
  ROMVar* tableLookup(const reformer::VarRef& ref) const;
  double valueOf(const reformer::VarRef& ref) const { return currentValue(*tableLookup(ref)); }
  // A block attribute's value; a missing name throws "invalid map<K, T> key".
  double attributeValue(const char* name) const;

 private:
  ROMEqn* createRecord(reformer::Record record);
  // The row's residual at the values v (pattern order); with g given, also its
  // partial derivatives in the same order. Never lowers status.
  double evalRow(const reformer::EqnRow& row, const double* v, double* g, long long& status) const;

  std::string m_naBasis = "NA";
  double m_naFactor = 0.0;
  std::string m_mode;
  // The lists initFromFeed fills, kept between starts.
  struct StartLists {
    std::vector<double> yields, scanHydrogen, productMass;
    std::vector<std::pair<const ROMVar*, double>> values;
  };
  mutable StartLists m_start;
  struct TableRef {
    reformer::VarMap map{};
    std::string name;
    EntryRef<ROMVarMap> entry;
  };
  mutable std::unordered_map<const char*, TableRef> m_tableRefs;
  mutable std::unordered_map<const char*, AttrRef> m_attrRefs;  // attributeValue's, the same way
  mutable std::vector<EntryRef<ROMEqnMap>> m_convRefs;           // equationRecord's "CONV_" records, by equation
  std::array<std::unique_ptr<ROMEqn>, reformer::kRecordCount> m_records;
  const reformer::SlateDef* m_slate = nullptr;
  bool m_patternDone = false;
};
