// robase: the first-generation reduced-order block base.
//
// A block keeps name tables of variable, equation and attribute records; the
// model classes fill them (createROMVariables, createROMEquations) and
// evaluate the equations, while robase turns the records into framework
// variables, equations and ports, runs the block's networks, evaluates the
// tuning-factor adjustment rows and stores the basis settings.
//
// Life cycle: construction (the model sets its model kind), setLEBasis,
// setHLBasis, prepare (all by the factory); user_dim, user_ini, init, then
// user_pat, user_res, user_jac (by the framework); Destroy.
//
// Numbering: a ROMVar with index i is framework variable vstart() + i - 1, a
// ROMEqn with index i framework equation estart() + i - 1; the block's
// non-zero with running count k is framework non-zero nzstart() - 1 + k. The
// framework's vectors are 0-based; they are read through OneBased views.
//
// Records in the maps are owned by robase alone and deleted exactly once by
// commonDestructor; blocks are therefore not copyable.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/attr_map.h"
#include "core/catalogue.h"
#include "core/onebased.h"
#include "core/records.h"
#include "core/stamped_map.h"
#include "platform/qivblock.h"

struct AdjustmentPlan;
struct AdjustmentRow;
struct NetworkCache;
struct NetworkInputs;
struct NetworkOutput;

// Stamped, so that what an evaluation resolved by name is looked up again only
// after the map changed (core/stamped_map.h).
using ROMVarMap = StampedMap<std::string, ROMVar*>;
using ROMEqnMap = StampedMap<std::string, ROMEqn*>;
using IndepVarMap = StampedMap<std::string, std::set<std::string>>;

// Attribute codes (the framework's meaning; the block only sets them).
enum ROMAttrCode : int {
  ATTR_ALPHA = 0,
  ATTR_BETA = 1,
  ATTR_GAMMA = 2,
  ATTR_ALPHA_LB = 4,
  ATTR_ALPHA_UB = 5,
  ATTR_BETA_LB = 6,
  ATTR_BETA_UB = 7,
  ATTR_GAMMA_LB = 8,
  ATTR_GAMMA_UB = 9,
  ATTR_SCALE_ERROR = 10,
};

class robase : public QivEOBlockImpl {
 public:
  explicit robase(const char* name);
  // A copy would share the owning record pointers and delete them twice.
  robase(const robase&) = delete;
  robase& operator=(const robase&) = delete;
  ~robase() override;

  // ---- Virtual operations, in slot order ---------------------------------
  // True for "MORVANE", else the framework's answer.
  bool isof_type(const char* type) const override;
  // createROMVariables, createROMEquations, setupAttributes, setupIndepMap.
  virtual void prepare();
  // Accepted words (any case): MASS, MOLAR, VOLUME; others leave the code.
  virtual void setLEBasis(const char* basis);
  // Accepted words (any case): MASS, VOLUME; MOLAR and others leave the code.
  virtual void setHLBasis(const char* basis);
  virtual void createPELMOVariables(long long& status);
  virtual void createPELMOVariable(ROMVar* var, long long& status);
  virtual void createPELMOEquations(long long& status);  // status 1: the models provide it
  virtual void createPELMOEquation(ROMEqn* eqn, long long& status);
  virtual void createPELMOPorts(long long& status);
  virtual void addVarsToInputPort(qiv_port* port);
  virtual void addVarsToOutputPort(qiv_port* port);  // nothing; not called by createPELMOPorts
  virtual void addVarsToMassPort(qiv_port* port);
  virtual void addVarsToVolPort(qiv_port* port);
  virtual void addVarsToResultPort(qiv_port* port);  // nothing; the models add their results
  virtual void addVarsToConstantsPort(qiv_port* port);
  virtual void addVarsToPortBySuffix(qiv_port* port, std::string suffix, const ROMVarMap& vars,
                                     const std::set<std::string>& excluded);
  virtual void addVarsToPortByPrefix(qiv_port* port, std::string prefix, const ROMVarMap& vars,
                                     const std::set<std::string>& excluded);
  virtual void addPELMOVarToPort(qiv_port* port, ROMVar* var);
  virtual void createROMVariables();  // nothing
  virtual void createROMEquations();  // nothing
  virtual void setupAttributes();
  virtual void setupIndepMap();
  virtual void setPELMOVarValues(long long& status);  // status 1: the models provide it
  // A non-finite value is refused (status 1, nothing stored).
  virtual void setPELMOVarValue(ROMVar* var, double value, long long& status);
  virtual void setPELMOVarSpecs(long long& status);
  virtual void setPELMOVarSpec(ROMVar* var, std::string spec, long long& status);
  virtual void commonConstructor();
  virtual void commonDestructor();
  // The adjustment row of output y is "Y_" + y: y - (ALPHA*P + BETA + sum GAMMA*x).
  virtual double computeAdjEqnResidual(std::string eqnName, long long& status) const;
  virtual double computeAdjEqnDerivative(std::string eqnName, std::string varName, long long& status) const;
  virtual double computeAdjValue(std::string output, long long& status) const;
  virtual int runAllNN() const;
  virtual int runNN(std::string output) const;
  virtual std::set<std::string> getNNIndepVars(std::string output) const;
  virtual void res_NNAdjustment(long long& status) const;
  virtual void pat_NNAdjustment(rt_jac_t* jac, long long& status);
  virtual void jac_NNAdjustment(long long& status) const;
  virtual ROMAttr* getAttribute(int number) const;
  virtual void res_SulPPM(ROMEqn* eqn, long long& status) const;
  virtual void pat_SulPPM(ROMEqn* eqn, rt_jac_t* jac, long long& status);
  virtual void jac_SulPPM(ROMEqn* eqn, long long& status) const;
  virtual std::string strmName_SulPPM(const std::string& eqnName) const;

  // ---- Framework interface -----------------------------------------------
  void Destroy() override;
  void init(long long& status) const override;  // status 1: the models provide it
  void inq_attr(qiv_blk_t& desc) const override;
  int attr_num() const override;
  const char* attr_name(int i) const override;
  bool attr_lookup_value(const char* name, value_t* v) const override;
  bool attr_assign_value(const char* name, const value_t& v) override;
  bool attr_lookup_ismodified(const char* name) const override;
  qivblock_attr_desc* attr_describe(const char* name) const override;

  void user_dim(int& nvar, int& neqn, int& nnz, long long& status) override;  // 200, 200, 40000
  void user_ini(long long& status) override;                                 // status 1
  void user_pat(rt_jac_t* jac, long long& status) override;                  // status 1
  void user_res(long long& status) const override;                           // status 1
  using QivEOBlockImpl::user_jac;
  void user_jac(long long& status) const override;  // status 1
  void pre_solve(long long& status) override;       // status 1
  void post_solve(long long& status) override;      // status 1

  void inq_model_type(char* buf) const override;  // "MORVANE"
  long save(IStorage* stg) override;
  long load(IStorage* stg) override;

  // ---- Helpers -----------------------------------------------------------
  // "RO" + the model kind without its underscores: "FCC_GO_2N" -> "ROFCCGO2N".
  std::string modelfromtpl(std::string kind) const;

  // Smooth positive floor: x above c' = max(c, 1e-20), else c' * exp(x/c' - 1).
  static int res_ExpMinClip(double x, double cutoff, double* result);
  static int jac_ExpMinClip(double x, double cutoff, double* dx, double* dcutoff);

  // The second-generation attribute families of one output, numbered on from
  // the map's size: ALPHA, BETA with bounds and error scales, then per input
  // GAMMA with bounds and its error scale. Returns 0.
  static int setupNNAttributes(ROMAttrMap& attrs, const std::string& output, const std::set<std::string>& inputs);
  // Makes room in the map for setupNNAttributes of outputCount outputs, whose
  // names have outputNameLength characters in all, with the inputs: filing
  // them then takes no further allocation in the map.
  static void reserveNNAttributes(ROMAttrMap& attrs, std::size_t outputCount, std::size_t outputNameLength,
                                  const std::set<std::string>& inputs);

  const std::string& modelKind() const { return m_modelKind; }
  void setModelKind(std::string kind) { m_modelKind = std::move(kind); }
  int leBasis() const { return m_leBasis; }
  int hlBasis() const { return m_hlBasis; }
  const ROMAttrMap& attributes() const { return m_attributes; }
  const IndepVarMap& indepVars() const { return m_indepVars; }

 protected:
  // The first-generation user_ini chain: createPELMOVariables,
  // createPELMOEquations, createPELMOPorts, setPELMOVarValues,
  // setPELMOVarSpecs, stopping at the first non-zero status. An exception
  // from any step is status 1.
  void runUserIniSteps(long long& status) noexcept;

  // Store a record under its name; a record already under that name is deleted.
  static void putRecord(ROMVarMap& map, ROMVar* var);
  static void putRecord(ROMEqnMap& map, ROMEqn* eqn);
  static void putRecord(ROMAttrMap& map, ROMAttr* attr);
  // New records numbered by the running counters.
  ROMVar* addVar(ROMVarMap& map, const std::string& name, const std::string& baseUnit,
                 const std::string& dispUnit, double lower, double upper);
  ROMEqn* addEqn(ROMEqnMap& map, const std::string& name);

  // The map of a category of variable.
  ROMVarMap& varMap(VarCategory category);
  const ROMVarMap& varMap(VarCategory category) const;
  // Adds the catalogue rows the filter takes, in table order, each to the map
  // of its category with the next running index.
  void addCatalogue(std::span<const CatalogueRow> rows, const RowFilter& take = {});
  // Every network output gets a derivative entry of 0 for every model input:
  // a network run only overwrites the entries of the inputs it reports.
  void zeroNetworkDerivatives();
  // A variable of any map, looked for in the order of the categories; throws
  // std::out_of_range("invalid map<K, T> key") when absent.
  ROMVar* findVar(const std::string& name) const;
  // The same through a kept look-up: the name is looked for again only after
  // one of the maps changed.
  struct VarLookup {
    explicit VarLookup(std::string n) : name(std::move(n)) {}
    std::string name;
    std::array<std::uint64_t, kVarCategoryCount> stamps{};
    ROMVar* const* slot = nullptr;
  };
  ROMVar* findVar(VarLookup& lookup) const;
  // Adds the named variables (of any map) to a port, in the order given.
  void addNamesToPort(qiv_port* port, std::span<const char* const> names);
  // Writes each constant's value into its variable of the constants map; every
  // constant is tried. 1 when a write was refused, else 0. A name missing from
  // the map throws "invalid map<K, T> key".
  int writeConstants(std::span<const ConstantValue> constants);

  int varNumber(const ROMVar& var) const { return m_firstVar + var.index - 1; }
  int eqnNumber(const ROMEqn& eqn) const { return m_firstEqn + eqn.index - 1; }
  int nzNumber(int count) const { return m_firstNz - 1 + count; }

  // The framework's vectors as attached for this hook call (invalid views
  // when the list is missing).
  OneBased<double> valueView() const;
  OneBased<double> residualView() const;
  OneBased<double> jacobianView() const;
  // Current framework value of a record; throws when there is no variable
  // list or the record lies outside it.
  double currentValue(const ROMVar& var) const;
  // The same from a view of the value vector taken once for a whole pass.
  double currentValue(const OneBased<double>& x, const ROMVar& var) const {
    if (!x.valid()) throwNoVariableList();
    return x.at(varNumber(var));
  }
  [[noreturn]] static void throwNoVariableList();
  // Status 1 when a residual of the block's equations, or a Jacobian value of
  // its non-zeros (nzstart() .. nzlast()), is not finite. Never lowers it.
  void flagNonFiniteResiduals(long long& status) const;
  void flagNonFiniteJacobian(long long& status) const;

  // The end of a pattern pass over equation objects (robase2, hcrbase): the
  // block's last non-zero from the count registered, and status 1 when
  // nothing could be registered (no Jacobian) or the pass failed (a refused
  // non-zero leaves the pattern incomplete).
  void endObjectPattern(rt_jac_t* jac, long long count, bool failed, long long& status);

  // ---- Network runs (core/robase_networks.h) ----------------------------------
  // What the block keeps between its runs; made at the first use.
  NetworkCache& networkCache() const { return m_networks ? *m_networks : makeNetworkCache(); }
  NetworkCache& makeNetworkCache() const;
  // The network of one output; throws std::out_of_range("invalid map<K, T>
  // key") when the network-output map lacks the name.
  NetworkOutput& networkOutput(const std::string& output) const;
  // The network folder "<ZKDir>\<kind>": the one a pass of runAllNN read for
  // all its runs, else read from the registry now.
  const std::string& networkFolder() const;
  // Every model input by name (key order) with its current framework value,
  // as a network run gives them. Null (nothing to give) when there is no value
  // vector, a name does not fit the runner's name buffers (names are refused,
  // never cut) or a record is missing or lies outside the vector.
  NetworkInputs* modelInputs() const;

  // ---- Adjustment rows (core/robase_adjustment.h) ------------------------------
  // The rows as the maps stand now.
  AdjustmentPlan& adjustmentPlan() const;
  // Entry k of a row in row order: the derivative by model input k, or 1.0 for
  // k = the number of inputs (the output).
  double adjDerivative(const AdjustmentPlan& plan, AdjustmentRow& row, std::size_t k) const;

  // The variables of the adjustment row of one output, in row order: every
  // model input by name, then the output. Pattern and values both use it.
  std::vector<std::string> adjRowVariables(const std::string& output) const;

  // ---- Members, in declaration order -----------------------------------------
  ROMVarMap m_inputVars;      // model inputs; fixed; every network receives them all
  ROMVarMap m_nnOutputVars;   // one per trained network
  ROMVarMap m_factorVars;     // mass factors
  ROMVarMap m_molarVars;      // gas molar flows
  ROMVarMap m_volumeVars;     // liquid volume flows, "FEEDVOL" among them
  ROMVarMap m_constVars;      // model constants; fixed
  ROMVarMap m_calcVars;       // computed variables, the mass flows among them
  ROMEqnMap m_adjEqns;        // "Y_" + output
  ROMEqn* m_massBalEqn = nullptr;  // "MASS_BAL"
  ROMEqnMap m_volConvEqns;    // "CONV_" + volume variable
  ROMEqnMap m_molConvEqns;    // "CONV_" + molar variable
  ROMAttrMap m_attributes;
  IndepVarMap m_indepVars;    // output -> its network's independent variables
  int m_leBasis = 0;
  int m_hlBasis = 0;
  std::string m_modelKind;    // names the network folder and files
  int m_nzCounter = 0;        // running non-zero count of a pattern pass
  int m_varCounter = 1;       // next ROMVar index
  int m_eqnCounter = 1;       // next ROMEqn index

 private:
  // The two variables of a sulfur-ppm row, by the record (and its name) they
  // were made for; made at the row's first residual.
  struct SulPpmRefs {
    const ROMEqn* eqn;
    std::string eqnName;
    EntryRef<ROMVarMap> sul, ppm;
  };
  const SulPpmRefs& sulPpmRefs(const ROMEqn& eqn) const;
  mutable std::vector<SulPpmRefs> m_sulPpm;

  AdjustmentRow adjustmentRow(const AdjustmentPlan& plan, const std::string& output) const;
  // The kept row of an output; null when the block has no row "Y_" + output.
  AdjustmentRow* keptAdjustmentRow(AdjustmentPlan& plan, std::string_view output) const;
  double adjValue(const AdjustmentPlan& plan, const AdjustmentRow& row, const OneBased<double>& x) const;
  double adjResidual(const AdjustmentPlan& plan, const AdjustmentRow& row, const OneBased<double>& x) const;

  mutable std::unique_ptr<NetworkCache> m_networks;
  mutable std::unique_ptr<AdjustmentPlan> m_adjustment;
};
