// rofcc_1's variable catalogue: the rows of rofcc_1 and of the slate
// templates into the five sets of robase2, the sets into the VarMan, and the
// values of the constants.
//
// Values are in the base unit ("KG/HR", "CUM/HR", "KMOL/HR"); the display
// unit is only shown. Numbers follow from the sets, not from the rows' order:
// populateVarMan numbers set by set (input, network output, factor, computed,
// constant) and by name inside a set, so in rofcc_1 CATCOOLERDUTY is 1,
// BOTCCR 17, MASSFACTOR 69, BOTMASS 70, BOTCUTOFF 147 and USATINC5MIX 178.
#include <iterator>
#include <string>

#include "models/fcc/rofcc_1.h"

namespace {

enum class Set { In, Out, Fac, Calc, Const };
constexpr Set In = Set::In;
constexpr Set Out = Set::Out;
constexpr Set Fac = Set::Fac;
constexpr Set Calc = Set::Calc;
constexpr Set Const = Set::Const;

struct Row {
  const char* name;
  Set set;
  const char* dispUnit;
  const char* baseUnit;  // null: the display unit serves as both
  double lower;
  double upper;
};

constexpr const char* kTD = "TONNE/DAY";
constexpr const char* kKGH = "KG/HR";
constexpr const char* kKBD = "KBBL/DAY";
constexpr const char* kCMH = "CUM/HR";
constexpr const char* kMMSCFD = "MMSCFD";
constexpr const char* kKMH = "KMOL/HR";

// rofcc_1, in the order createROMVariables adds them. Constants sit at
// coinciding bounds except C5SCUTOFF, the two densities and the C5S split
// fractions, which the user sets. The naphtha-cut fractions C5S, LCN and HCN
// are a total minus a difference prediction and may go down to -1.
constexpr Row kBaseRows[] = {
    {"FEEDMASS", In, kTD, kKGH, 100, 1000000},
    {"FEEDSG", In, "UNITLESS", nullptr, 0.85, 0.98},
    {"FEEDSUL", In, "PERCENT", nullptr, 0, 5},
    {"FEEDBN2", In, "PPM", nullptr, 100, 3000},
    {"FEEDCCR", In, "PERCENT", nullptr, 0.01, 8},
    {"FEEDNICKEL", In, "PPM", nullptr, 0, 50},
    {"FEEDVANADIUM", In, "PPM", nullptr, 0, 50},
    {"REACTORPLENUMTEMP", In, "F", nullptr, 880, 1050},
    {"FEEDTEMP", In, "F", nullptr, 200, 750},
    {"CATCOOLERDUTY", In, "MMBTU/HR", nullptr, 0, 200},
    {"ECATMAT", In, "PERCENT", nullptr, 60, 80},
    {"FEEDT50", In, "F", nullptr, 600, 1100},
    {"LCNECP", In, "F", nullptr, 100, 430},
    {"HCNECP", In, "F", nullptr, 200, 540},
    {"LCOECP", In, "F", nullptr, 450, 900},
    {"ZSMPCT", In, "FRACTION", nullptr, 0, 10},

    {"FGSFRAC", Out, "FRACTION", nullptr, 0, 1},
    {"C3FRAC", Out, "FRACTION", nullptr, 0, 1},
    {"C32FRAC", Out, "FRACTION", nullptr, 0, 1},
    {"NC4FRAC", Out, "FRACTION", nullptr, 0, 1},
    {"IC4FRAC", Out, "FRACTION", nullptr, 0, 1},
    {"UC4FRAC", Out, "FRACTION", nullptr, 0, 1},
    {"C5SFRAC", Out, "FRACTION", nullptr, -1, 1},
    {"LCNFRAC", Out, "FRACTION", nullptr, -1, 1},
    {"HCNFRAC", Out, "FRACTION", nullptr, -1, 1},
    {"LCOFRAC", Out, "FRACTION", nullptr, 0, 1},
    {"BOTFRAC", Out, "FRACTION", nullptr, 0, 1},
    {"COKFRAC", Out, "FRACTION", nullptr, 0, 1},
    {"C5SRELSUL", Out, "FRACTION", nullptr, 1e-06, 1},
    {"LCNRELSUL", Out, "FRACTION", nullptr, 0.001, 1},
    {"HCNRELSUL", Out, "FRACTION", nullptr, 0.001, 2},
    {"LCORELSUL", Out, "FRACTION", nullptr, 0.01, 5},
    {"BOTRELSUL", Out, "FRACTION", nullptr, 0.01, 5},
    {"COKRELSUL", Out, "FRACTION", nullptr, 0.01, 5},
    {"C5SSG", Out, "UNITLESS", nullptr, 0.4, 0.75},
    {"LCNSG", Out, "UNITLESS", nullptr, 0.6, 0.85},
    {"HCNSG", Out, "UNITLESS", nullptr, 0.7, 0.9},
    {"LCOSG", Out, "UNITLESS", nullptr, 0.75, 0.95},
    {"BOTSG", Out, "UNITLESS", nullptr, 0.8, 1.3},
    {"BURNAIRMOLFLOW", Out, kMMSCFD, nullptr, 10, 2000},
    {"REGENBEDTEMP", Out, "F", nullptr, 1000, 2000},
    {"CATTOOILRATIO", Out, "UNITLESS", nullptr, 1, 20},
    {"C5SRON", Out, "UNITLESS", nullptr, 20, 120},
    {"C5SMON", Out, "UNITLESS", nullptr, 20, 120},
    {"C5SAROM", Out, "PERCENT", nullptr, 0, 10},
    {"C5SOLEF", Out, "PERCENT", nullptr, 0, 100},
    {"C5SRVP", Out, "KPA", nullptr, 0, 200},
    {"LCNRON", Out, "UNITLESS", nullptr, 20, 120},
    {"LCNMON", Out, "UNITLESS", nullptr, 20, 120},
    {"LCNRVP", Out, "KPA", nullptr, 0, 200},
    {"LCNAROM", Out, "PERCENT", nullptr, 0, 100},
    {"LCNOLEF", Out, "PERCENT", nullptr, 0, 100},
    {"LCNBEN", Out, "PERCENT", nullptr, 0, 20},
    {"HCNRON", Out, "UNITLESS", nullptr, 20, 120},
    {"HCNMON", Out, "UNITLESS", nullptr, 20, 120},
    {"HCNRVP", Out, "KPA", nullptr, 0, 200},
    {"HCNAROM", Out, "PERCENT", nullptr, 0, 100},
    {"HCNOLEF", Out, "PERCENT", nullptr, 0, 100},
    {"HCNCLOUDPT", Out, "F", nullptr, -100, 200},
    {"HCNVISC_122", Out, "CS", nullptr, 0, 100},
    {"LCOD86_50", Out, "F", nullptr, 400, 900},
    {"LCONIT", Out, "PERCENT", nullptr, 0, 5000},
    {"LCOCCR", Out, "PERCENT", nullptr, 0, 10},
    {"LCOAROM", Out, "PERCENT", nullptr, 0, 100},
    {"LCOVISC_122", Out, "CS", nullptr, 0, 1000},
    {"LCOCLOUDPT", Out, "F", nullptr, -100, 200},
    {"BOTVISC_122", Out, "CS", nullptr, 0, 10000000},
    {"BOTCCR", Out, "PERCENT", nullptr, 0, 20},

    {"MASSFACTOR", Fac, "UNITLESS", nullptr, 0.5, 1.5},

    {"FEEDVOL", Calc, kKBD, kCMH, 100, 10000},
    {"C3VOL", Calc, kKBD, kCMH, 0, 10000},
    {"C32VOL", Calc, kKBD, kCMH, 0, 10000},
    {"NC4VOL", Calc, kKBD, kCMH, 0, 10000},
    {"IC4VOL", Calc, kKBD, kCMH, 0, 10000},
    {"UC4VOL", Calc, kKBD, kCMH, 0, 10000},
    {"C5SVOL", Calc, kKBD, kCMH, 0, 10000},
    {"IC5SVOL", Calc, kKBD, kCMH, 0, 10000},
    {"UC5SVOL", Calc, kKBD, kCMH, 0, 10000},
    {"NC5SVOL", Calc, kKBD, kCMH, 0, 10000},
    {"NAPC5SVOL", Calc, kKBD, kCMH, 0, 10000},
    {"LCNVOL", Calc, kKBD, kCMH, 0, 10000},
    {"HCNVOL", Calc, kKBD, kCMH, 0, 10000},
    {"LCOVOL", Calc, kKBD, kCMH, 0, 10000},
    {"BOTVOL", Calc, kKBD, kCMH, 0, 10000},
    {"H2SMOL", Calc, kMMSCFD, kKMH, 0, 20000},
    {"FGSMOL", Calc, kMMSCFD, kKMH, 0, 20000},
    {"H2SFRAC", Calc, "FRACTION", nullptr, 0, 1},
    {"H2SMASS", Calc, kTD, kKGH, 0, 1000000},
    {"FGSMASS", Calc, kTD, kKGH, 0, 1000000},
    {"C3MASS", Calc, kTD, kKGH, 0, 1000000},
    {"C32MASS", Calc, kTD, kKGH, 0, 1000000},
    {"NC4MASS", Calc, kTD, kKGH, 0, 1000000},
    {"IC4MASS", Calc, kTD, kKGH, 0, 1000000},
    {"UC4MASS", Calc, kTD, kKGH, 0, 1000000},
    {"C5SMASS", Calc, kTD, kKGH, 0, 1000000},
    {"IC5SMASS", Calc, kTD, kKGH, 0, 1000000},
    {"UC5SMASS", Calc, kTD, kKGH, 0, 1000000},
    {"NC5SMASS", Calc, kTD, kKGH, 0, 1000000},
    {"NAPC5SMASS", Calc, kTD, kKGH, 0, 1000000},
    {"LCNMASS", Calc, kTD, kKGH, 0, 1000000},
    {"HCNMASS", Calc, kTD, kKGH, 0, 1000000},
    {"LCOMASS", Calc, kTD, kKGH, 0, 1000000},
    {"BOTMASS", Calc, kTD, kKGH, 0, 1000000},
    {"COKMASS", Calc, kTD, kKGH, 0, 1000000},
    {"COKVOL", Calc, kKBD, kCMH, 0, 10000},
    {"FGSVOL", Calc, kKBD, kCMH, 0, 10000},
    {"H2SVOL", Calc, kKBD, kCMH, 0, 10000},
    {"C3MIXMASS", Calc, kTD, kKGH, 0, 1000000},
    {"UNSATINC3MIX", Calc, "FRACTION", nullptr, 0, 1},
    {"SATINC3MIX", Calc, "FRACTION", nullptr, 0, 1},
    {"C4MIXMASS", Calc, kTD, kKGH, 0, 1000000},
    {"UNSATINC4MIX", Calc, "FRACTION", nullptr, 0, 1},
    {"NSATINC4MIX", Calc, "FRACTION", nullptr, 0, 1},
    {"ISATINC4MIX", Calc, "FRACTION", nullptr, 0, 1},
    {"C3MIXVOL", Calc, kKBD, kCMH, 0, 10000},
    {"C4MIXVOL", Calc, kKBD, kCMH, 0, 10000},
    {"UNSATINC3MIXVOL", Calc, "FRACTION", nullptr, 0, 1},
    {"SATINC3MIXVOL", Calc, "FRACTION", nullptr, 0, 1},
    {"UNSATINC4MIXVOL", Calc, "FRACTION", nullptr, 0, 1},
    {"NSATINC4MIXVOL", Calc, "FRACTION", nullptr, 0, 1},
    {"ISATINC5MIXVOL", Calc, "FRACTION", nullptr, 0, 1},
    {"USATINC5MIXVOL", Calc, "FRACTION", nullptr, 0, 1},
    {"NSATINC5MIXVOL", Calc, "FRACTION", nullptr, 0, 1},
    {"NAPSATINC5MIXVOL", Calc, "FRACTION", nullptr, 0, 1},
    {"ISATINC4MIXVOL", Calc, "FRACTION", nullptr, 0, 1},
    {"FEEDSULMASS", Calc, kTD, kKGH, 0, 10000},
    {"C5SSULMASS", Calc, kTD, kKGH, 0, 5000},
    {"LCNSULMASS", Calc, kTD, kKGH, 0, 5000},
    {"HCNSULMASS", Calc, kTD, kKGH, 0, 5000},
    {"LCOSULMASS", Calc, kTD, kKGH, 0, 5000},
    {"BOTSULMASS", Calc, kTD, kKGH, 0, 5000},
    {"COKSULMASS", Calc, kTD, kKGH, 0, 5000},
    {"C5SSUL", Calc, "PERCENT", nullptr, 0, 1},
    {"LCNSUL", Calc, "PERCENT", nullptr, 0, 2},
    {"HCNSUL", Calc, "PERCENT", nullptr, 0, 2},
    {"LCOSUL", Calc, "PERCENT", nullptr, 0, 6},
    {"BOTSUL", Calc, "PERCENT", nullptr, 0, 8},
    {"COKSUL", Calc, "PERCENT", nullptr, 0, 8},
    {"C5SSULPPM", Calc, "PPM", nullptr, 0, 10000},
    {"LCNSULPPM", Calc, "PPM", nullptr, 0, 20000},
    {"HCNSULPPM", Calc, "PPM", nullptr, 0, 20000},
    {"LCOSULPPM", Calc, "PPM", nullptr, 0, 60000},
    {"BOTSULPPM", Calc, "PPM", nullptr, 0, 80000},
    {"COKSULPPM", Calc, "PPM", nullptr, 0, 80000},
    {"C5SRVI", Calc, "UNITLESS", nullptr, 0, 300},
    {"CONVERSION", Calc, "PERCENT", nullptr, 50, 100},

    {"COKSG", Const, "UNITLESS", nullptr, 2.285, 2.285},
    {"FGSSG", Const, "UNITLESS", nullptr, 0.858155, 0.858155},
    {"H2SSG", Const, "UNITLESS", nullptr, 2.7504, 2.7504},
    {"C3SG", Const, "UNITLESS", nullptr, 0.5085, 0.5085},
    {"C32SG", Const, "UNITLESS", nullptr, 0.5194, 0.5194},
    {"IC4SG", Const, "UNITLESS", nullptr, 0.5646, 0.5646},
    {"NC4SG", Const, "UNITLESS", nullptr, 0.5948, 0.5948},
    {"UC4SG", Const, "UNITLESS", nullptr, 0.6008, 0.6008},
    {"FGSMW", Const, "UNITLESS", nullptr, 23.0565, 23.0565},
    {"H2SMW", Const, "UNITLESS", nullptr, 34.08088, 34.08088},
    {"RHOH2O", Const, "KG/CUM", nullptr, 500, 1500},
    {"RHOAIR", Const, "KG/CUM", nullptr, 0, 100},
    {"FGSCUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"C3CUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"C32CUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"NC4CUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"IC4CUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"UC4CUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"C5SCUTOFF", Const, "UNITLESS", nullptr, 1e-20, 0.5},
    {"LCNCUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"HCNCUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"LCOCUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"BOTCUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"COKCUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19},
    {"ISATINC5MIX", Const, "FRACTION", nullptr, 0, 1},
    {"USATINC5MIX", Const, "FRACTION", nullptr, 0, 1},
    {"NSATINC5MIX", Const, "FRACTION", nullptr, 0, 1},
    {"NAPSATINC5MIX", Const, "FRACTION", nullptr, 0, 1},
    {"IC5SSG", Const, "UNITLESS", nullptr, 0.645, 0.645},
    {"UC5SSG", Const, "UNITLESS", nullptr, 0.645, 0.645},
    {"NC5SSG", Const, "UNITLESS", nullptr, 0.645, 0.645},
    {"NAPC5SSG", Const, "UNITLESS", nullptr, 0.645, 0.645},
};
static_assert(std::size(kBaseRows) == 178);

// The slates that take a template row.
constexpr unsigned k3N = 1u << 0;    // rofcc3n_1
constexpr unsigned k2N1H = 1u << 1;  // rofcc2n1h_1
constexpr unsigned k3N1H = 1u << 2;  // rofcc3n1h_1

struct SlateRow {
  Row row;
  unsigned slates;
};

// The rows of the MCN and HCO cuts. The two HCO templates differ only in the
// upper bounds of HCOSUL and HCOSULPPM.
constexpr SlateRow kSlateRows[] = {
    {{"MCNECP", In, "F", nullptr, 100, 430}, k3N | k3N1H},
    {{"MCNFRAC", Out, "FRACTION", nullptr, 0, 1}, k3N | k3N1H},
    {{"MCNRELSUL", Out, "FRACTION", nullptr, 0.001, 2}, k3N | k3N1H},
    {{"MCNSG", Out, "UNITLESS", nullptr, 0.7, 0.85}, k3N | k3N1H},
    {{"MCNRON", Out, "UNITLESS", nullptr, 20, 120}, k3N | k3N1H},
    {{"MCNMON", Out, "UNITLESS", nullptr, 20, 120}, k3N | k3N1H},
    {{"MCNRVP", Out, "KPA", nullptr, 0, 200}, k3N | k3N1H},
    {{"MCNAROM", Out, "PERCENT", nullptr, 0, 100}, k3N | k3N1H},
    {{"MCNOLEF", Out, "PERCENT", nullptr, 0, 100}, k3N | k3N1H},
    {{"MCNCLOUDPT", Out, "F", nullptr, -200, 300}, k3N1H},
    {{"MCNCETNO", Out, "UNITLESS", nullptr, 10, 100}, k3N1H},
    {{"MCNVOL", Calc, kKBD, kCMH, 0, 10000}, k3N | k3N1H},
    {{"MCNMASS", Calc, kTD, kKGH, 0, 1000000}, k3N | k3N1H},
    {{"MCNSULMASS", Calc, kTD, kKGH, 0, 5000}, k3N | k3N1H},
    {{"MCNSUL", Calc, "PERCENT", nullptr, 0, 6}, k3N | k3N1H},
    {{"MCNSULPPM", Calc, "PPM", nullptr, 0, 60000}, k3N | k3N1H},
    {{"MCNCUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19}, k3N | k3N1H},
    {{"HCOECP", In, "F", nullptr, 650, 1000}, k2N1H | k3N1H},
    {{"HCOFRAC", Out, "FRACTION", nullptr, 0, 1}, k2N1H | k3N1H},
    {{"HCORELSUL", Out, "FRACTION", nullptr, 0.01, 5}, k2N1H | k3N1H},
    {{"HCOSG", Out, "UNITLESS", nullptr, 0.75, 1.2}, k2N1H | k3N1H},
    {{"HCONIT", Out, "PERCENT", nullptr, 0, 5000}, k2N1H | k3N1H},
    {{"HCOCCR", Out, "PERCENT", nullptr, 0, 10}, k2N1H | k3N1H},
    {{"HCOAROM", Out, "PERCENT", nullptr, 0, 100}, k2N1H | k3N1H},
    {{"HCOVISC_122", Out, "CS", nullptr, 1, 100000}, k2N1H | k3N1H},
    {{"HCOCLOUDPT", Out, "F", nullptr, -200, 300}, k2N1H | k3N1H},
    {{"HCOCETNO", Out, "UNITLESS", nullptr, 5, 100}, k3N1H},
    {{"HCOVOL", Calc, kKBD, kCMH, 0, 10000}, k2N1H | k3N1H},
    {{"HCOMASS", Calc, kTD, kKGH, 0, 1000000}, k2N1H | k3N1H},
    {{"HCOSULMASS", Calc, kTD, kKGH, 0, 5000}, k2N1H | k3N1H},
    {{"HCOSUL", Calc, "PERCENT", nullptr, 0, 8}, k2N1H},
    {{"HCOSUL", Calc, "PERCENT", nullptr, 0, 6}, k3N1H},
    {{"HCOSULPPM", Calc, "PPM", nullptr, 0, 80000}, k2N1H},
    {{"HCOSULPPM", Calc, "PPM", nullptr, 0, 60000}, k3N1H},
    {{"HCOCUTOFF", Const, "UNITLESS", nullptr, 1e-19, 1e-19}, k2N1H | k3N1H},
};

unsigned slateBit(Fcc1Slate slate) {
  switch (slate) {
    case Fcc1Slate::Mcn: return k3N;
    case Fcc1Slate::Hco: return k2N1H;
    case Fcc1Slate::McnHco: return k3N1H;
    case Fcc1Slate::Base: break;
  }
  return 0;
}

struct ConstantValue {
  const char* name;
  double value;
};

// The double next above 1e-20, one unit in the last place above C5SCUTOFF's
// lower bound.
constexpr double kC5SCutoff = 1.0000000000000001e-20;
static_assert(kC5SCutoff > 1e-20);

// Written in this order by setPELMOVarValues. FGSMW is written as 20.65, the
// molar mass the FCC's gas equations use, although its catalogue bounds say
// 23.0565: the constant is fixed and the framework keeps the written value.
// The C5S split fractions and MASSFACTOR get no value here.
constexpr ConstantValue kConstantValues[] = {
    {"COKSG", 2.285},     {"FGSSG", 0.858155},  {"H2SSG", 2.7504},      {"C3SG", 0.5085},     {"C32SG", 0.5194},
    {"IC4SG", 0.5646},    {"NC4SG", 0.5948},    {"UC4SG", 0.6008},      {"IC5SSG", 0.645},    {"UC5SSG", 0.645},
    {"NC5SSG", 0.645},    {"NAPC5SSG", 0.645},  {"FGSMW", 20.65},       {"H2SMW", 34.08088},  {"FGSCUTOFF", 1e-19},
    {"C3CUTOFF", 1e-19},  {"C32CUTOFF", 1e-19}, {"NC4CUTOFF", 1e-19},   {"IC4CUTOFF", 1e-19}, {"UC4CUTOFF", 1e-19},
    {"C5SCUTOFF", kC5SCutoff}, {"LCNCUTOFF", 1e-19}, {"HCNCUTOFF", 1e-19}, {"LCOCUTOFF", 1e-19},
    {"BOTCUTOFF", 1e-19}, {"COKCUTOFF", 1e-19}, {"RHOH2O", 999.04},     {"RHOAIR", 1.217},
};
static_assert(std::size(kConstantValues) == 28);

}  // namespace

namespace {

void addRow(const Row& row, std::set<varinfo2>* const sets[]) {
  std::set<varinfo2>& target = *sets[static_cast<int>(row.set)];
  // A name already in its set keeps its first row.
  if (row.baseUnit)
    target.insert(varinfo2(row.name, row.baseUnit, row.dispUnit, row.lower, row.upper));
  else
    target.insert(varinfo2(row.name, row.dispUnit, row.lower, row.upper));
}

}  // namespace

void rofcc_1::addSlateVariables(Fcc1Slate slate) {
  std::set<varinfo2>* const sets[] = {&inputSet, &nnOutputSet, &factorSet, &calcSet, &constSet};
  const unsigned bit = slateBit(slate);
  for (const SlateRow& r : kSlateRows)
    if ((r.slates & bit) != 0) addRow(r.row, sets);
}

void rofcc_1::createROMVariables() {
  std::set<varinfo2>* const sets[] = {&inputSet, &nnOutputSet, &factorSet, &calcSet, &constSet};
  for (const Row& row : kBaseRows) addRow(row, sets);
  // The order of the sets decides the variable numbers.
  for (std::set<varinfo2>* set : sets) populateVarMan(*set);
}

void rofcc_1::setPELMOVarValues(long long& status) {
  status = 0;
  // A constant left at its start value would pass unnoticed into every
  // conversion, so one refused write fails the step.
  for (const ConstantValue& c : kConstantValues)
    if (setPELMOVarValue(varRecord(c.name), c.value) != 0) status = 1;
}

int rofcc_1::writeSlateCutoffs(Fcc1Slate slate) {
  int refused = 0;
  if (fcc1HasMcn(slate) && setPELMOVarValue(varRecord("MCNCUTOFF"), 1e-19) != 0) ++refused;
  if (fcc1HasHco(slate) && setPELMOVarValue(varRecord("HCOCUTOFF"), 1e-19) != 0) ++refused;
  return refused;
}
