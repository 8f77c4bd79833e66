// rofcc: the first-generation fluid catalytic cracker (FCC) base model.
//
// What every first-generation FCC block has in common: the 148-variable
// catalogue, the 118 equation records and their registration, the ports and
// constant values, the naphtha-cut yields predicted by a total and a
// difference network (the difference network reacts to overcracking), and one
// residual, pattern and Jacobian operation per model equation.
//
// rofcc does not evaluate itself. A product-slate class (2N, 2N1H, 3N, 3N1H)
// adds the variables and records of its own cuts (MCN, HCO) before it calls
// createROMVariables and createROMEquations, evaluates the mass and sulfur
// balances, and calls the equation operations of this class from its own
// user_res, user_pat and user_jac.
//
// Status convention of the equation operations: they never lower the status;
// a failure (a missing equation record, no framework vectors, a value that is
// not finite, a row the latest pattern pass did not place) raises it to 1, so a
// slate may pass one status through its whole chain and keep the first
// failure. A name missing from its map throws
// std::out_of_range("invalid map<K, T> key") before anything is registered or
// written.
//
// Pattern and Jacobian: the pattern operation of an equation stores its first
// non-zero (running count + 1) in the record and registers one non-zero per
// variable of its table row, in row order; the Jacobian operation writes the
// partial derivatives of the residual in exactly that order from that place.
// Both come from the same table row and the same evaluation as the residual.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/robase.h"

// The sixty equation records rofcc owns, in member order. The product records
// of each group follow the product order FGS, C3, C32, NC4, IC4, UC4, C5S, LCN,
// MCN, HCN, LCO, HCO, BOT, COK. The MCN and HCO records are created by the
// slates that have those cuts; rofcc creates the other fifty-two.
enum class FccRecord : int {
  SulfurBal,
  FGSMass, C3Mass, C32Mass, NC4Mass, IC4Mass, UC4Mass, C5SMass, LCNMass, MCNMass, HCNMass, LCOMass, HCOMass,
  BOTMass, COKMass,
  COKFOE, FGSFOE, H2SFOE,
  C3MixMass, C3MixVol, C4MixMass, C4MixVol,
  UnSatInC3Mix, SatInC3Mix, UnSatInC4Mix, NSatInC4Mix, ISatInC4Mix,
  UnSatInC3MixVol, SatInC3MixVol, UnSatInC4MixVol, NSatInC4MixVol, ISatInC4MixVol,
  FeedSulMass, C5SSulMass, LCNSulMass, MCNSulMass, HCNSulMass, LCOSulMass, HCOSulMass, BOTSulMass, COKSulMass,
  C5SSul, LCNSul, MCNSul, HCNSul, LCOSul, HCOSul, BOTSul, COKSul,
  C5SSulPPM, LCNSulPPM, MCNSulPPM, HCNSulPPM, LCOSulPPM, HCOSulPPM, BOTSulPPM, COKSulPPM,
  C5SRVI, Conversion, H2SMass,
};
inline constexpr int kFccRecordCount = 60;

// The record name of a member ("SULFUR_BAL", "EQN_FGSMASS", ...).
const char* fccRecordName(FccRecord record);

// The sixty-six model equations in the FCC equation order: the order of the
// res_, pat_ and jac_ operations.
enum class FccEq : int {
  FGSMass, C3Mass, C32Mass, NC4Mass, IC4Mass, UC4Mass, C5SMass, LCNMass, MCNMass, HCNMass, LCOMass, HCOMass,
  BOTMass, COKMass,
  COKFOE, FGSFOE, H2SFOE,
  C3MixMass, C3MixVol, C4MixMass, C4MixVol,
  UnSatInC3Mix, SatInC3Mix, UnSatInC4Mix, NSatInC4Mix, ISatInC4Mix,
  UnSatInC3MixVol, SatInC3MixVol, UnSatInC4MixVol, NSatInC4MixVol, ISatInC4MixVol,
  FeedSulMass, C5SSulMass, LCNSulMass, MCNSulMass, HCNSulMass, LCOSulMass, HCOSulMass, BOTSulMass, COKSulMass,
  C5SSul, LCNSul, MCNSul, HCNSul, LCOSul, HCOSul, BOTSul, COKSul,
  FeedVol, C3Vol, C32Vol, NC4Vol, IC4Vol, UC4Vol, C5SVol, LCNVol, MCNVol, HCNVol, LCOVol, HCOVol, BOTVol,
  FGSMol, H2SMol,
  C5SRVI, Conversion, H2SMass,
};
inline constexpr int kFccEqCount = 66;

// The seven variable maps of robase, as the catalogue names them.
using FccMap = VarCategory;

// One variable of an equation: its map and its catalogue name. A
// pattern-only variable has a place in the row's pattern, with the constant
// Jacobian entry 0, but does not enter the residual (COKVOL of the conversion).
struct FccVarRef {
  FccMap map;
  const char* name;
  bool patternOnly = false;
};

// The widest model equation (the conversion of a "1H" kind) has six variables.
inline constexpr std::size_t kFccMaxRowVars = 6;

// How an equation row computes its value; the variables of the row are listed
// in the equation's pattern order (the order its Jacobian row uses).
enum class FccForm : unsigned char {
  YieldMass,    // F, x, M, Y [, u]: floor(x, u or 1e-19) * F * M - Y
  H2SMass,      // x, F, Y: floor(x) * F - Y
  CokFoe,       // mass, factor, vol: mass / factor / 1000 - vol
  GasFoe,       // mol, mw, factor, vol: mw * mol / factor / 1000 - vol
  MixSum,       // components..., mix: sum of the components - mix
  Share,        // a, T, s: a - s * T
  FeedSulMass,  // F, S, FS: S * F / 100 - FS
  SulMass,      // mass, S, rel, sulmass: S * mass * floor(rel) / 100 - sulmass
  Sul,          // mass, sul, sulmass: sul * mass / 100 - sulmass
  Vol,          // vol, sg, mass: sg * vol * 1000 - mass
  GasMol,       // mol, mw, mass: mw * mol - mass
  H2SMol,       // mol, mass: mol * 34.08088 - mass
  Rvi,          // rvp, rvi: computeC5SRVI(rvp) - rvi
  Conversion,   // feed, LCO, [HCO,] BOT volumes, [COKVOL,] conversion: by the model kind
};

// One model equation: its record (a member, or a "CONV_" record by name in the
// volume- or mole-conversion map), its form and its variables.
struct FccEqnRow {
  FccEq eq;
  const char* shortName;  // "FGSMass"
  FccRecord member;       // member rows only
  const char* convName;   // "CONV_..." rows: the record's name; null for member rows
  FccForm form;
  std::array<FccVarRef, kFccMaxRowVars> vars;  // pattern order; unused places have a null name
};

// The equation table, indexed by FccEq.
const std::array<FccEqnRow, kFccEqCount>& fccEquations();

// One catalogue variable.
using FccVarRow = CatalogueRow;

// The 148 catalogue variables in creation order.
const std::array<FccVarRow, 148>& fccCatalogue();

// A naphtha cut whose yield is predicted by a total and a difference network.
struct FccPairedOutput {
  const char* output;    // "C5SFRAC"
  const char* total;     // "C5SFRACTOTAL"
  const char* diff;      // "C5SFRACDIFF"
  const char* param;     // "C5S_OVERCRACK_PARAM": scales REACTORPLENUMTEMP for the difference network
  const char* rate;      // "C5S_OVERCRACK_RATE": weight of the difference in the prediction
};
const std::array<FccPairedOutput, 4>& fccPairedOutputs();
// The paired row of an output; null for a single-network output.
const FccPairedOutput* fccPairedOutput(const std::string& output);

// Model kinds: those with a middle naphtha cut ("3N"), those with a heavy
// cycle oil ("1H", compared exactly), and the slate tail of a kind ("3N1H",
// "2N"; empty when the kind has no "N" or starts with it).
bool fccHasMcnCut(const std::string& kind);
bool fccIsOneHKind(const std::string& kind);
std::string fccSlateTail(const std::string& kind);

class rofcc : public robase {
 public:
  explicit rofcc(const char* name);
  // The records are owned by the block; a copy would own them twice.
  rofcc(const rofcc&) = delete;
  rofcc& operator=(const rofcc&) = delete;
  ~rofcc() override;

  // ---- Overrides of robase, in robase's slot order ------------------------
  void createPELMOEquations(long long& status) override;
  void addVarsToOutputPort(qiv_port* port) override;
  void addVarsToVolPort(qiv_port* port) override;
  void addVarsToResultPort(qiv_port* port) override;
  void addVarsToConstantsPort(qiv_port* port) override;
  void createROMVariables() override;
  void createROMEquations() override;
  void setupAttributes() override;
  void setPELMOVarValues(long long& status) override;
  void commonConstructor() override;
  void commonDestructor() override;
  int runNN(std::string output) const override;
  std::set<std::string> getNNIndepVars(std::string output) const override;
  void inq_attr(qiv_blk_t& desc) const override;

  // The record of a member; null until created.
  ROMEqn* record(FccRecord member) const { return m_records[static_cast<int>(member)].get(); }

 protected:
  // ---- New virtual operations, in slot order ------------------------------
  // The prediction of a paired output: T - RATE * D, where the difference
  // network sees REACTORPLENUMTEMP times PARAM. 0 or the first failing status.
  virtual int runNNDiff(std::string output, std::string totalOutput, std::string diffOutput) const;
  // (rvp * 0.145037738) ^ 1.25; rvp in KPA, 0.145037738 psi per kPa.
  virtual double computeC5SRVI(double rvp) const;
  // (1 - (vol1 + vol2 + vol3) / feedVol) * 100: the feed volume share in
  // percent that does not leave as the heavy liquid products passed in.
  virtual double computeConversion(double feedVol, double vol1, double vol2, double vol3) const;
  virtual double computeConversion(double feedVol, double vol1, double vol2) const;

  // The first tag the network of a file's output ("LCNFRACTOTAL", "COKFRAC")
  // reports that is no model input of the block, matched exactly; empty when
  // every tag is one (or the file does not open).
  std::string tagOutsideInputs(const std::string& network) const;

  // Residual operations, in the FCC equation order.
  virtual void res_FGSMass(long long& status) const;
  virtual void res_C3Mass(long long& status) const;
  virtual void res_C32Mass(long long& status) const;
  virtual void res_NC4Mass(long long& status) const;
  virtual void res_IC4Mass(long long& status) const;
  virtual void res_UC4Mass(long long& status) const;
  virtual void res_C5SMass(long long& status) const;
  virtual void res_LCNMass(long long& status) const;
  virtual void res_MCNMass(long long& status) const;
  virtual void res_HCNMass(long long& status) const;
  virtual void res_LCOMass(long long& status) const;
  virtual void res_HCOMass(long long& status) const;
  virtual void res_BOTMass(long long& status) const;
  virtual void res_COKMass(long long& status) const;
  virtual void res_COKFOE(long long& status) const;
  virtual void res_FGSFOE(long long& status) const;
  virtual void res_H2SFOE(long long& status) const;
  virtual void res_C3MixMass(long long& status) const;
  virtual void res_C3MixVol(long long& status) const;
  virtual void res_C4MixMass(long long& status) const;
  virtual void res_C4MixVol(long long& status) const;
  virtual void res_UnSatInC3Mix(long long& status) const;
  virtual void res_SatInC3Mix(long long& status) const;
  virtual void res_UnSatInC4Mix(long long& status) const;
  virtual void res_NSatInC4Mix(long long& status) const;
  virtual void res_ISatInC4Mix(long long& status) const;
  virtual void res_UnSatInC3MixVol(long long& status) const;
  virtual void res_SatInC3MixVol(long long& status) const;
  virtual void res_UnSatInC4MixVol(long long& status) const;
  virtual void res_NSatInC4MixVol(long long& status) const;
  virtual void res_ISatInC4MixVol(long long& status) const;
  virtual void res_FeedSulMass(long long& status) const;
  virtual void res_C5SSulMass(long long& status) const;
  virtual void res_LCNSulMass(long long& status) const;
  virtual void res_MCNSulMass(long long& status) const;
  virtual void res_HCNSulMass(long long& status) const;
  virtual void res_LCOSulMass(long long& status) const;
  virtual void res_HCOSulMass(long long& status) const;
  virtual void res_BOTSulMass(long long& status) const;
  virtual void res_COKSulMass(long long& status) const;
  virtual void res_C5SSul(long long& status) const;
  virtual void res_LCNSul(long long& status) const;
  virtual void res_MCNSul(long long& status) const;
  virtual void res_HCNSul(long long& status) const;
  virtual void res_LCOSul(long long& status) const;
  virtual void res_HCOSul(long long& status) const;
  virtual void res_BOTSul(long long& status) const;
  virtual void res_COKSul(long long& status) const;
  virtual void res_FeedVol(long long& status) const;
  virtual void res_C3Vol(long long& status) const;
  virtual void res_C32Vol(long long& status) const;
  virtual void res_NC4Vol(long long& status) const;
  virtual void res_IC4Vol(long long& status) const;
  virtual void res_UC4Vol(long long& status) const;
  virtual void res_C5SVol(long long& status) const;
  virtual void res_LCNVol(long long& status) const;
  virtual void res_MCNVol(long long& status) const;
  virtual void res_HCNVol(long long& status) const;
  virtual void res_LCOVol(long long& status) const;
  virtual void res_HCOVol(long long& status) const;
  virtual void res_BOTVol(long long& status) const;
  virtual void res_FGSMol(long long& status) const;
  virtual void res_H2SMol(long long& status) const;
  virtual void res_C5SRVI(long long& status) const;
  virtual void res_Conversion(long long& status) const;
  virtual void res_H2SMass(long long& status) const;

  // Pattern operations, same order.
  virtual void pat_FGSMass(rt_jac_t* jac, long long& status);
  virtual void pat_C3Mass(rt_jac_t* jac, long long& status);
  virtual void pat_C32Mass(rt_jac_t* jac, long long& status);
  virtual void pat_NC4Mass(rt_jac_t* jac, long long& status);
  virtual void pat_IC4Mass(rt_jac_t* jac, long long& status);
  virtual void pat_UC4Mass(rt_jac_t* jac, long long& status);
  virtual void pat_C5SMass(rt_jac_t* jac, long long& status);
  virtual void pat_LCNMass(rt_jac_t* jac, long long& status);
  virtual void pat_MCNMass(rt_jac_t* jac, long long& status);
  virtual void pat_HCNMass(rt_jac_t* jac, long long& status);
  virtual void pat_LCOMass(rt_jac_t* jac, long long& status);
  virtual void pat_HCOMass(rt_jac_t* jac, long long& status);
  virtual void pat_BOTMass(rt_jac_t* jac, long long& status);
  virtual void pat_COKMass(rt_jac_t* jac, long long& status);
  virtual void pat_COKFOE(rt_jac_t* jac, long long& status);
  virtual void pat_FGSFOE(rt_jac_t* jac, long long& status);
  virtual void pat_H2SFOE(rt_jac_t* jac, long long& status);
  virtual void pat_C3MixMass(rt_jac_t* jac, long long& status);
  virtual void pat_C3MixVol(rt_jac_t* jac, long long& status);
  virtual void pat_C4MixMass(rt_jac_t* jac, long long& status);
  virtual void pat_C4MixVol(rt_jac_t* jac, long long& status);
  virtual void pat_UnSatInC3Mix(rt_jac_t* jac, long long& status);
  virtual void pat_SatInC3Mix(rt_jac_t* jac, long long& status);
  virtual void pat_UnSatInC4Mix(rt_jac_t* jac, long long& status);
  virtual void pat_NSatInC4Mix(rt_jac_t* jac, long long& status);
  virtual void pat_ISatInC4Mix(rt_jac_t* jac, long long& status);
  virtual void pat_UnSatInC3MixVol(rt_jac_t* jac, long long& status);
  virtual void pat_SatInC3MixVol(rt_jac_t* jac, long long& status);
  virtual void pat_UnSatInC4MixVol(rt_jac_t* jac, long long& status);
  virtual void pat_NSatInC4MixVol(rt_jac_t* jac, long long& status);
  virtual void pat_ISatInC4MixVol(rt_jac_t* jac, long long& status);
  virtual void pat_FeedSulMass(rt_jac_t* jac, long long& status);
  virtual void pat_C5SSulMass(rt_jac_t* jac, long long& status);
  virtual void pat_LCNSulMass(rt_jac_t* jac, long long& status);
  virtual void pat_MCNSulMass(rt_jac_t* jac, long long& status);
  virtual void pat_HCNSulMass(rt_jac_t* jac, long long& status);
  virtual void pat_LCOSulMass(rt_jac_t* jac, long long& status);
  virtual void pat_HCOSulMass(rt_jac_t* jac, long long& status);
  virtual void pat_BOTSulMass(rt_jac_t* jac, long long& status);
  virtual void pat_COKSulMass(rt_jac_t* jac, long long& status);
  virtual void pat_C5SSul(rt_jac_t* jac, long long& status);
  virtual void pat_LCNSul(rt_jac_t* jac, long long& status);
  virtual void pat_MCNSul(rt_jac_t* jac, long long& status);
  virtual void pat_HCNSul(rt_jac_t* jac, long long& status);
  virtual void pat_LCOSul(rt_jac_t* jac, long long& status);
  virtual void pat_HCOSul(rt_jac_t* jac, long long& status);
  virtual void pat_BOTSul(rt_jac_t* jac, long long& status);
  virtual void pat_COKSul(rt_jac_t* jac, long long& status);
  virtual void pat_FeedVol(rt_jac_t* jac, long long& status);
  virtual void pat_C3Vol(rt_jac_t* jac, long long& status);
  virtual void pat_C32Vol(rt_jac_t* jac, long long& status);
  virtual void pat_NC4Vol(rt_jac_t* jac, long long& status);
  virtual void pat_IC4Vol(rt_jac_t* jac, long long& status);
  virtual void pat_UC4Vol(rt_jac_t* jac, long long& status);
  virtual void pat_C5SVol(rt_jac_t* jac, long long& status);
  virtual void pat_LCNVol(rt_jac_t* jac, long long& status);
  virtual void pat_MCNVol(rt_jac_t* jac, long long& status);
  virtual void pat_HCNVol(rt_jac_t* jac, long long& status);
  virtual void pat_LCOVol(rt_jac_t* jac, long long& status);
  virtual void pat_HCOVol(rt_jac_t* jac, long long& status);
  virtual void pat_BOTVol(rt_jac_t* jac, long long& status);
  virtual void pat_FGSMol(rt_jac_t* jac, long long& status);
  virtual void pat_H2SMol(rt_jac_t* jac, long long& status);
  virtual void pat_C5SRVI(rt_jac_t* jac, long long& status);
  virtual void pat_Conversion(rt_jac_t* jac, long long& status);
  virtual void pat_H2SMass(rt_jac_t* jac, long long& status);

  // Jacobian operations, same order.
  virtual void jac_FGSMass(long long& status) const;
  virtual void jac_C3Mass(long long& status) const;
  virtual void jac_C32Mass(long long& status) const;
  virtual void jac_NC4Mass(long long& status) const;
  virtual void jac_IC4Mass(long long& status) const;
  virtual void jac_UC4Mass(long long& status) const;
  virtual void jac_C5SMass(long long& status) const;
  virtual void jac_LCNMass(long long& status) const;
  virtual void jac_MCNMass(long long& status) const;
  virtual void jac_HCNMass(long long& status) const;
  virtual void jac_LCOMass(long long& status) const;
  virtual void jac_HCOMass(long long& status) const;
  virtual void jac_BOTMass(long long& status) const;
  virtual void jac_COKMass(long long& status) const;
  virtual void jac_COKFOE(long long& status) const;
  virtual void jac_FGSFOE(long long& status) const;
  virtual void jac_H2SFOE(long long& status) const;
  virtual void jac_C3MixMass(long long& status) const;
  virtual void jac_C3MixVol(long long& status) const;
  virtual void jac_C4MixMass(long long& status) const;
  virtual void jac_C4MixVol(long long& status) const;
  virtual void jac_UnSatInC3Mix(long long& status) const;
  virtual void jac_SatInC3Mix(long long& status) const;
  virtual void jac_UnSatInC4Mix(long long& status) const;
  virtual void jac_NSatInC4Mix(long long& status) const;
  virtual void jac_ISatInC4Mix(long long& status) const;
  virtual void jac_UnSatInC3MixVol(long long& status) const;
  virtual void jac_SatInC3MixVol(long long& status) const;
  virtual void jac_UnSatInC4MixVol(long long& status) const;
  virtual void jac_NSatInC4MixVol(long long& status) const;
  virtual void jac_ISatInC4MixVol(long long& status) const;
  virtual void jac_FeedSulMass(long long& status) const;
  virtual void jac_C5SSulMass(long long& status) const;
  virtual void jac_LCNSulMass(long long& status) const;
  virtual void jac_MCNSulMass(long long& status) const;
  virtual void jac_HCNSulMass(long long& status) const;
  virtual void jac_LCOSulMass(long long& status) const;
  virtual void jac_HCOSulMass(long long& status) const;
  virtual void jac_BOTSulMass(long long& status) const;
  virtual void jac_COKSulMass(long long& status) const;
  virtual void jac_C5SSul(long long& status) const;
  virtual void jac_LCNSul(long long& status) const;
  virtual void jac_MCNSul(long long& status) const;
  virtual void jac_HCNSul(long long& status) const;
  virtual void jac_LCOSul(long long& status) const;
  virtual void jac_HCOSul(long long& status) const;
  virtual void jac_BOTSul(long long& status) const;
  virtual void jac_COKSul(long long& status) const;
  virtual void jac_FeedVol(long long& status) const;
  virtual void jac_C3Vol(long long& status) const;
  virtual void jac_C32Vol(long long& status) const;
  virtual void jac_NC4Vol(long long& status) const;
  virtual void jac_IC4Vol(long long& status) const;
  virtual void jac_UC4Vol(long long& status) const;
  virtual void jac_C5SVol(long long& status) const;
  virtual void jac_LCNVol(long long& status) const;
  virtual void jac_MCNVol(long long& status) const;
  virtual void jac_HCNVol(long long& status) const;
  virtual void jac_LCOVol(long long& status) const;
  virtual void jac_HCOVol(long long& status) const;
  virtual void jac_BOTVol(long long& status) const;
  virtual void jac_FGSMol(long long& status) const;
  virtual void jac_H2SMol(long long& status) const;
  virtual void jac_C5SRVI(long long& status) const;
  virtual void jac_Conversion(long long& status) const;
  virtual void jac_H2SMass(long long& status) const;

  // ---- Helpers for this class and the slates --------------------------------
  // Looks a variable up in its map; throws "invalid map<K, T> key" when absent.
  ROMVar* lookup(FccMap map, const std::string& name) const;
  // Creates a member's record with the next equation index (a record already
  // there is replaced) and returns it.
  ROMEqn* createRecord(FccRecord member);
  // The record an equation row writes: its member, or its "CONV_" record by
  // name (throws when the map lacks it). Null for a member not created.
  ROMEqn* rowRecord(const FccEqnRow& row) const;
  // Adds the named variables of one map to a port, in the order given.
  void addNamesToPort(qiv_port* port, FccMap map, std::initializer_list<const char*> names);

  // Evaluates one equation row and writes its residual (see the status
  // convention above).
  void evalResidual(FccEq eq, long long& status) const;
  // Registers one equation row's non-zeros (pattern) and writes its partial
  // derivatives (Jacobian).
  void patEquation(FccEq eq, rt_jac_t* jac, long long& status);
  void jacEquation(FccEq eq, long long& status) const;

  // The pattern step shared with the balances: first non-zero = running count
  // + 1 stored in the record, one non-zero per variable in the order given,
  // the block's last non-zero number set to the last one.
  void registerRow(rt_jac_t* jac, ROMEqn& eqn, const ROMVar* const* vars, std::size_t n, long long& status);
  // True when the latest pattern pass placed all n non-zeros of the record
  // inside the block's own range (so a Jacobian write can never reach another
  // block's entries).
  bool rowPlaced(const ROMEqn& eqn, std::size_t n) const;

  // The three operations of each equation, indexed by FccEq, for passes that
  // walk a list of equations.
  struct EquationOps {
    const char* shortName;
    void (rofcc::*res)(long long&) const;
    void (rofcc::*pat)(rt_jac_t*, long long&);
    void (rofcc::*jac)(long long&) const;
  };
  static const std::array<EquationOps, kFccEqCount>& equationOps();

 private:
  // The variables of a row on this block, in pattern order; a pattern-only
  // variable is looked up only for the pattern (else its place stays null).
  // Returns their count.
  std::size_t rowVariables(const FccEqnRow& row, bool forPattern, std::array<const ROMVar*, kFccMaxRowVars>& vars) const;
  // The residual of a row at the values v (pattern order, 0 at pattern-only
  // places); with grad given, also every partial derivative in that order.
  double rowValue(const FccEqnRow& row, const double* v, std::size_t n, double* grad) const;
  // d computeC5SRVI / d rvp.
  double computeC5SRVIDerivative(double rvp) const;

  // Each equation row's variables (by table place) and "CONV_" record,
  // reached through their map slots; made at the first evaluation.
  struct RowRefs {
    std::array<EntryRef<ROMVarMap>, kFccMaxRowVars> vars;
    EntryRef<ROMEqnMap> conv;
  };
  const RowRefs& rowRefs(const FccEqnRow& row) const;
  mutable std::vector<RowRefs> m_rowRefs;

  std::array<std::unique_ptr<ROMEqn>, kFccRecordCount> m_records;

  // What the pair runs keep between runs, one entry per (output, total,
  // difference) named (rofcc_networks.cpp).
  struct PairRun;
  mutable std::vector<std::unique_ptr<PairRun>> m_pairRuns;
};
