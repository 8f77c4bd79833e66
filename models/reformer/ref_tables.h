// The first-generation reformer's data: its variable catalogues, its equation
// records, its equation table and the three product slates.
//
// Every model equation is one row of the equation table: its record, the form
// of its residual and its variables in pattern order. The residual, pattern
// and Jacobian operation of the equation all walk that one row, so the
// registered columns and the written derivatives cannot drift apart.
//
// A slate (one reformate "RFT"; two reformates "RF1" and "RF2"; aromatics "ARO"
// and raffinate "RAF") is a table too: its own variables, its own records, the
// entries of its balances, the order in which its hooks run the equations, its
// result port and what its starting values need of each product.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "core/catalogue.h"

namespace reformer {

// The robase map that holds a variable.
using VarMap = VarCategory;

struct VarRef {
  VarMap map;
  const char* name;
};

// The group of the rows created only in the "SEMI" mode.
inline constexpr unsigned kSemiOnly = 1;

// roref's own variables in creation order (42 in the "SEMI" mode, 41 without CATAGE).
const std::vector<CatalogueRow>& baseCatalogue();

// The 26 equation records that roref holds itself, in member order. The
// record of the H2MASS equation is named "EQN_FGSMASS".
enum class Record : int {
  HydrogenBal, MEABP, FeedCNO, FeedHyd, FeedArom, FeedNaph,
  H2Mass, C3Mass, NC4Mass, IC4Mass, RFTMass, RF1Mass, RF2Mass, AROMass, RAFMass,
  FeedHydMass, FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass,
  RFTHydMass, RF1HydMass, RF2HydMass, AROHydMass, RAFHydMass,
  AROHyd,
  None,  // a "CONV_" equation, kept in robase's conversion maps
};
inline constexpr int kRecordCount = 26;
const char* recordName(Record record);

// The 38 model equations in the order of their res_, pat_ and jac_ operations.
#define ROREF_EQUATIONS(X)                                                                                  \
  X(MEABP) X(FeedCNO) X(FeedHyd) X(FeedArom) X(FeedNaph)                                                    \
  X(H2Mass) X(C3Mass) X(NC4Mass) X(IC4Mass) X(RFTMass) X(RF1Mass) X(RF2Mass) X(AROMass) X(RAFMass)         \
  X(FeedHydMass) X(FGSHydMass) X(C3HydMass) X(NC4HydMass) X(IC4HydMass)                                     \
  X(RFTHydMass) X(RF1HydMass) X(RF2HydMass) X(AROHydMass) X(RAFHydMass)                                     \
  X(FeedVol) X(FGSVol) X(H2Vol) X(C3Vol) X(NC4Vol) X(IC4Vol) X(RFTVol) X(RF1Vol) X(RF2Vol) X(AROVol) X(RAFVol) \
  X(FGSMol) X(H2Mol) X(AROHyd)

#define ROREF_ENUM_ENTRY(name) name,
enum class Eq : int { ROREF_EQUATIONS(ROREF_ENUM_ENTRY) };
#undef ROREF_ENUM_ENTRY
inline constexpr int kEqCount = 38;

// How a row computes its residual from its variables v0, v1, ... (pattern order).
enum class Form : unsigned char {
  FeedMEABP,     // MEABP, FEEDSG, FEEDNAPH, FEEDAROM: computeMEABPResidual
  FeedCNO,       // FEEDCNO, FEEDSG, FEEDNAPH, FEEDAROM: computeFeedCNOResidual
  FeedHyd,       // FEEDHYD, FEEDCNO, FEEDNAPH, FEEDAROM: computeFeedHydResidual
  FeedArom,      // FEEDAROM, FEEDNA, RATIONA: computeFeedAromResidual
  FeedNaph,      // FEEDNAPH, FEEDNA, RATIONA: computeFeedNaphResidual
  YieldMass,     // FEEDMASS, yield, MASSFACTOR, mass: floor(yield) * FEEDMASS * MASSFACTOR - mass
  HydMass,       // mass, content, hydrogen mass: mass * content / 100 - hydrogen mass
  FixedHydMass,  // mass, hydrogen mass: mass * coef / 100 - hydrogen mass
  LiquidVol,     // volume, gravity, mass: gravity * volume * 1000 - mass
  GasVol,        // volume, molar mass, FOE factor, moles: volume / molar mass * FOE * 1000 - moles
  GasMol,        // moles, molar mass, mass: moles * molar mass - mass
  H2Mol,         // moles, mass: moles * 2.01588 - mass
  AroHyd,        // benzene, toluene, xylenes, C9+, gravity, AROHYD: computeAROHyd - AROHYD
};

inline constexpr std::size_t kMaxRowVariables = 6;

struct EqnRow {
  Eq eq;
  const char* shortName;  // "H2Mass": the operations res_H2Mass, pat_H2Mass, jac_H2Mass
  Record record;          // Record::None for a "CONV_" row
  const char* convName;   // the "CONV_" record's name; null for a member row
  Form form;
  std::array<VarRef, kMaxRowVariables> vars;  // pattern order; unused places have a null name
  double coef = 0.0;                          // FixedHydMass: the hydrogen content in percent
};

// The equation table, indexed by Eq.
const std::array<EqnRow, kEqCount>& equationTable();
const EqnRow& equationRow(Eq eq);

// ---- Slates -------------------------------------------------------------------

// One step of a hook's fixed order.
struct Step {
  enum Kind : unsigned char { Adjustment, MassBal, HydrogenBal, Equation } kind;
  Eq eq;
};

// What the starting values take of one product P.
struct ProductDef {
  const char* stream;  // "RFT"
  // The hydrogen content of P in the fuel-gas scan: the adjusted prediction of
  // P + "HYD", the aromatics correlation of the current composition, or the
  // current value of P + "HYD".
  enum class ScanHydrogen : unsigned char { Adjusted, AroCorrelation, Value } scanHydrogen;
  VarRef content;  // the content the product hydrogen mass takes (current value)
};

struct SlateDef {
  const char* label;                     // "1R", "2R", "A"
  std::vector<CatalogueRow> variables;   // numbered from 1, before roref's own
  std::vector<Record> ownRecords;        // created after all of roref's, in this order
  std::vector<VarRef> massBalance;       // "MASS_BAL": the feed, then what it subtracts
  std::vector<VarRef> hydrogenBalance;   // "HYDROGEN_BAL": hydrogen masses, then the correction's variables
  std::vector<Step> resOrder;            // user_res after the network run
  std::vector<Step> jacOrder;            // user_jac after the network run
  std::vector<Step> patOrder;            // user_pat: fixes the numbering of the non-zeros
  std::vector<VarRef> qualities;         // the "OUTRES" port before roref's entries
  std::vector<ProductDef> products;
  bool setsFgsHydMass;                   // init writes FGSHYDMASS
};

const SlateDef& oneReformateSlate();
const SlateDef& twoReformateSlate();
const SlateDef& aromaticsSlate();

// The equations whose records exist only under an NA basis; the hooks skip
// them on a block without that record.
inline bool isNaBasisEquation(Eq eq) { return eq == Eq::FeedArom || eq == Eq::FeedNaph; }

}  // namespace reformer
