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

using namespace category;

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
constexpr CatalogueRow kBaseRows[] = {
    {"FEEDMASS", kTD, kKGH, 100, 1000000, In},
    {"FEEDSG", "UNITLESS", nullptr, 0.85, 0.98, In},
    {"FEEDSUL", "PERCENT", nullptr, 0, 5, In},
    {"FEEDBN2", "PPM", nullptr, 100, 3000, In},
    {"FEEDCCR", "PERCENT", nullptr, 0.01, 8, In},
    {"FEEDNICKEL", "PPM", nullptr, 0, 50, In},
    {"FEEDVANADIUM", "PPM", nullptr, 0, 50, In},
    {"REACTORPLENUMTEMP", "F", nullptr, 880, 1050, In},
    {"FEEDTEMP", "F", nullptr, 200, 750, In},
    {"CATCOOLERDUTY", "MMBTU/HR", nullptr, 0, 200, In},
    {"ECATMAT", "PERCENT", nullptr, 60, 80, In},
    {"FEEDT50", "F", nullptr, 600, 1100, In},
    {"LCNECP", "F", nullptr, 100, 430, In},
    {"HCNECP", "F", nullptr, 200, 540, In},
    {"LCOECP", "F", nullptr, 450, 900, In},
    {"ZSMPCT", "FRACTION", nullptr, 0, 10, In},

    {"FGSFRAC", "FRACTION", nullptr, 0, 1, Out},
    {"C3FRAC", "FRACTION", nullptr, 0, 1, Out},
    {"C32FRAC", "FRACTION", nullptr, 0, 1, Out},
    {"NC4FRAC", "FRACTION", nullptr, 0, 1, Out},
    {"IC4FRAC", "FRACTION", nullptr, 0, 1, Out},
    {"UC4FRAC", "FRACTION", nullptr, 0, 1, Out},
    {"C5SFRAC", "FRACTION", nullptr, -1, 1, Out},
    {"LCNFRAC", "FRACTION", nullptr, -1, 1, Out},
    {"HCNFRAC", "FRACTION", nullptr, -1, 1, Out},
    {"LCOFRAC", "FRACTION", nullptr, 0, 1, Out},
    {"BOTFRAC", "FRACTION", nullptr, 0, 1, Out},
    {"COKFRAC", "FRACTION", nullptr, 0, 1, Out},
    {"C5SRELSUL", "FRACTION", nullptr, 1e-06, 1, Out},
    {"LCNRELSUL", "FRACTION", nullptr, 0.001, 1, Out},
    {"HCNRELSUL", "FRACTION", nullptr, 0.001, 2, Out},
    {"LCORELSUL", "FRACTION", nullptr, 0.01, 5, Out},
    {"BOTRELSUL", "FRACTION", nullptr, 0.01, 5, Out},
    {"COKRELSUL", "FRACTION", nullptr, 0.01, 5, Out},
    {"C5SSG", "UNITLESS", nullptr, 0.4, 0.75, Out},
    {"LCNSG", "UNITLESS", nullptr, 0.6, 0.85, Out},
    {"HCNSG", "UNITLESS", nullptr, 0.7, 0.9, Out},
    {"LCOSG", "UNITLESS", nullptr, 0.75, 0.95, Out},
    {"BOTSG", "UNITLESS", nullptr, 0.8, 1.3, Out},
    {"BURNAIRMOLFLOW", kMMSCFD, nullptr, 10, 2000, Out},
    {"REGENBEDTEMP", "F", nullptr, 1000, 2000, Out},
    {"CATTOOILRATIO", "UNITLESS", nullptr, 1, 20, Out},
    {"C5SRON", "UNITLESS", nullptr, 20, 120, Out},
    {"C5SMON", "UNITLESS", nullptr, 20, 120, Out},
    {"C5SAROM", "PERCENT", nullptr, 0, 10, Out},
    {"C5SOLEF", "PERCENT", nullptr, 0, 100, Out},
    {"C5SRVP", "KPA", nullptr, 0, 200, Out},
    {"LCNRON", "UNITLESS", nullptr, 20, 120, Out},
    {"LCNMON", "UNITLESS", nullptr, 20, 120, Out},
    {"LCNRVP", "KPA", nullptr, 0, 200, Out},
    {"LCNAROM", "PERCENT", nullptr, 0, 100, Out},
    {"LCNOLEF", "PERCENT", nullptr, 0, 100, Out},
    {"LCNBEN", "PERCENT", nullptr, 0, 20, Out},
    {"HCNRON", "UNITLESS", nullptr, 20, 120, Out},
    {"HCNMON", "UNITLESS", nullptr, 20, 120, Out},
    {"HCNRVP", "KPA", nullptr, 0, 200, Out},
    {"HCNAROM", "PERCENT", nullptr, 0, 100, Out},
    {"HCNOLEF", "PERCENT", nullptr, 0, 100, Out},
    {"HCNCLOUDPT", "F", nullptr, -100, 200, Out},
    {"HCNVISC_122", "CS", nullptr, 0, 100, Out},
    {"LCOD86_50", "F", nullptr, 400, 900, Out},
    {"LCONIT", "PERCENT", nullptr, 0, 5000, Out},
    {"LCOCCR", "PERCENT", nullptr, 0, 10, Out},
    {"LCOAROM", "PERCENT", nullptr, 0, 100, Out},
    {"LCOVISC_122", "CS", nullptr, 0, 1000, Out},
    {"LCOCLOUDPT", "F", nullptr, -100, 200, Out},
    {"BOTVISC_122", "CS", nullptr, 0, 10000000, Out},
    {"BOTCCR", "PERCENT", nullptr, 0, 20, Out},

    {"MASSFACTOR", "UNITLESS", nullptr, 0.5, 1.5, Fac},

    {"FEEDVOL", kKBD, kCMH, 100, 10000, Calc},
    {"C3VOL", kKBD, kCMH, 0, 10000, Calc},
    {"C32VOL", kKBD, kCMH, 0, 10000, Calc},
    {"NC4VOL", kKBD, kCMH, 0, 10000, Calc},
    {"IC4VOL", kKBD, kCMH, 0, 10000, Calc},
    {"UC4VOL", kKBD, kCMH, 0, 10000, Calc},
    {"C5SVOL", kKBD, kCMH, 0, 10000, Calc},
    {"IC5SVOL", kKBD, kCMH, 0, 10000, Calc},
    {"UC5SVOL", kKBD, kCMH, 0, 10000, Calc},
    {"NC5SVOL", kKBD, kCMH, 0, 10000, Calc},
    {"NAPC5SVOL", kKBD, kCMH, 0, 10000, Calc},
    {"LCNVOL", kKBD, kCMH, 0, 10000, Calc},
    {"HCNVOL", kKBD, kCMH, 0, 10000, Calc},
    {"LCOVOL", kKBD, kCMH, 0, 10000, Calc},
    {"BOTVOL", kKBD, kCMH, 0, 10000, Calc},
    {"H2SMOL", kMMSCFD, kKMH, 0, 20000, Calc},
    {"FGSMOL", kMMSCFD, kKMH, 0, 20000, Calc},
    {"H2SFRAC", "FRACTION", nullptr, 0, 1, Calc},
    {"H2SMASS", kTD, kKGH, 0, 1000000, Calc},
    {"FGSMASS", kTD, kKGH, 0, 1000000, Calc},
    {"C3MASS", kTD, kKGH, 0, 1000000, Calc},
    {"C32MASS", kTD, kKGH, 0, 1000000, Calc},
    {"NC4MASS", kTD, kKGH, 0, 1000000, Calc},
    {"IC4MASS", kTD, kKGH, 0, 1000000, Calc},
    {"UC4MASS", kTD, kKGH, 0, 1000000, Calc},
    {"C5SMASS", kTD, kKGH, 0, 1000000, Calc},
    {"IC5SMASS", kTD, kKGH, 0, 1000000, Calc},
    {"UC5SMASS", kTD, kKGH, 0, 1000000, Calc},
    {"NC5SMASS", kTD, kKGH, 0, 1000000, Calc},
    {"NAPC5SMASS", kTD, kKGH, 0, 1000000, Calc},
    {"LCNMASS", kTD, kKGH, 0, 1000000, Calc},
    {"HCNMASS", kTD, kKGH, 0, 1000000, Calc},
    {"LCOMASS", kTD, kKGH, 0, 1000000, Calc},
    {"BOTMASS", kTD, kKGH, 0, 1000000, Calc},
    {"COKMASS", kTD, kKGH, 0, 1000000, Calc},
    {"COKVOL", kKBD, kCMH, 0, 10000, Calc},
    {"FGSVOL", kKBD, kCMH, 0, 10000, Calc},
    {"H2SVOL", kKBD, kCMH, 0, 10000, Calc},
    {"C3MIXMASS", kTD, kKGH, 0, 1000000, Calc},
    {"UNSATINC3MIX", "FRACTION", nullptr, 0, 1, Calc},
    {"SATINC3MIX", "FRACTION", nullptr, 0, 1, Calc},
    {"C4MIXMASS", kTD, kKGH, 0, 1000000, Calc},
    {"UNSATINC4MIX", "FRACTION", nullptr, 0, 1, Calc},
    {"NSATINC4MIX", "FRACTION", nullptr, 0, 1, Calc},
    {"ISATINC4MIX", "FRACTION", nullptr, 0, 1, Calc},
    {"C3MIXVOL", kKBD, kCMH, 0, 10000, Calc},
    {"C4MIXVOL", kKBD, kCMH, 0, 10000, Calc},
    {"UNSATINC3MIXVOL", "FRACTION", nullptr, 0, 1, Calc},
    {"SATINC3MIXVOL", "FRACTION", nullptr, 0, 1, Calc},
    {"UNSATINC4MIXVOL", "FRACTION", nullptr, 0, 1, Calc},
    {"NSATINC4MIXVOL", "FRACTION", nullptr, 0, 1, Calc},
    {"ISATINC5MIXVOL", "FRACTION", nullptr, 0, 1, Calc},
    {"USATINC5MIXVOL", "FRACTION", nullptr, 0, 1, Calc},
    {"NSATINC5MIXVOL", "FRACTION", nullptr, 0, 1, Calc},
    {"NAPSATINC5MIXVOL", "FRACTION", nullptr, 0, 1, Calc},
    {"ISATINC4MIXVOL", "FRACTION", nullptr, 0, 1, Calc},
    {"FEEDSULMASS", kTD, kKGH, 0, 10000, Calc},
    {"C5SSULMASS", kTD, kKGH, 0, 5000, Calc},
    {"LCNSULMASS", kTD, kKGH, 0, 5000, Calc},
    {"HCNSULMASS", kTD, kKGH, 0, 5000, Calc},
    {"LCOSULMASS", kTD, kKGH, 0, 5000, Calc},
    {"BOTSULMASS", kTD, kKGH, 0, 5000, Calc},
    {"COKSULMASS", kTD, kKGH, 0, 5000, Calc},
    {"C5SSUL", "PERCENT", nullptr, 0, 1, Calc},
    {"LCNSUL", "PERCENT", nullptr, 0, 2, Calc},
    {"HCNSUL", "PERCENT", nullptr, 0, 2, Calc},
    {"LCOSUL", "PERCENT", nullptr, 0, 6, Calc},
    {"BOTSUL", "PERCENT", nullptr, 0, 8, Calc},
    {"COKSUL", "PERCENT", nullptr, 0, 8, Calc},
    {"C5SSULPPM", "PPM", nullptr, 0, 10000, Calc},
    {"LCNSULPPM", "PPM", nullptr, 0, 20000, Calc},
    {"HCNSULPPM", "PPM", nullptr, 0, 20000, Calc},
    {"LCOSULPPM", "PPM", nullptr, 0, 60000, Calc},
    {"BOTSULPPM", "PPM", nullptr, 0, 80000, Calc},
    {"COKSULPPM", "PPM", nullptr, 0, 80000, Calc},
    {"C5SRVI", "UNITLESS", nullptr, 0, 300, Calc},
    {"CONVERSION", "PERCENT", nullptr, 50, 100, Calc},

    {"COKSG", "UNITLESS", nullptr, 2.285, 2.285, Const},
    {"FGSSG", "UNITLESS", nullptr, 0.858155, 0.858155, Const},
    {"H2SSG", "UNITLESS", nullptr, 2.7504, 2.7504, Const},
    {"C3SG", "UNITLESS", nullptr, 0.5085, 0.5085, Const},
    {"C32SG", "UNITLESS", nullptr, 0.5194, 0.5194, Const},
    {"IC4SG", "UNITLESS", nullptr, 0.5646, 0.5646, Const},
    {"NC4SG", "UNITLESS", nullptr, 0.5948, 0.5948, Const},
    {"UC4SG", "UNITLESS", nullptr, 0.6008, 0.6008, Const},
    {"FGSMW", "UNITLESS", nullptr, 23.0565, 23.0565, Const},
    {"H2SMW", "UNITLESS", nullptr, 34.08088, 34.08088, Const},
    {"RHOH2O", "KG/CUM", nullptr, 500, 1500, Const},
    {"RHOAIR", "KG/CUM", nullptr, 0, 100, Const},
    {"FGSCUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"C3CUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"C32CUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"NC4CUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"IC4CUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"UC4CUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"C5SCUTOFF", "UNITLESS", nullptr, 1e-20, 0.5, Const},
    {"LCNCUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"HCNCUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"LCOCUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"BOTCUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"COKCUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const},
    {"ISATINC5MIX", "FRACTION", nullptr, 0, 1, Const},
    {"USATINC5MIX", "FRACTION", nullptr, 0, 1, Const},
    {"NSATINC5MIX", "FRACTION", nullptr, 0, 1, Const},
    {"NAPSATINC5MIX", "FRACTION", nullptr, 0, 1, Const},
    {"IC5SSG", "UNITLESS", nullptr, 0.645, 0.645, Const},
    {"UC5SSG", "UNITLESS", nullptr, 0.645, 0.645, Const},
    {"NC5SSG", "UNITLESS", nullptr, 0.645, 0.645, Const},
    {"NAPC5SSG", "UNITLESS", nullptr, 0.645, 0.645, Const},
};
static_assert(std::size(kBaseRows) == 178);

// The slates that take a template row.
constexpr unsigned k3N = 1u << 0;    // rofcc3n_1
constexpr unsigned k2N1H = 1u << 1;  // rofcc2n1h_1
constexpr unsigned k3N1H = 1u << 2;  // rofcc3n1h_1

// The rows of the MCN and HCO cuts. The two HCO templates differ only in the
// upper bounds of HCOSUL and HCOSULPPM.
constexpr CatalogueRow kSlateRows[] = {
    {"MCNECP", "F", nullptr, 100, 430, In, k3N | k3N1H},
    {"MCNFRAC", "FRACTION", nullptr, 0, 1, Out, k3N | k3N1H},
    {"MCNRELSUL", "FRACTION", nullptr, 0.001, 2, Out, k3N | k3N1H},
    {"MCNSG", "UNITLESS", nullptr, 0.7, 0.85, Out, k3N | k3N1H},
    {"MCNRON", "UNITLESS", nullptr, 20, 120, Out, k3N | k3N1H},
    {"MCNMON", "UNITLESS", nullptr, 20, 120, Out, k3N | k3N1H},
    {"MCNRVP", "KPA", nullptr, 0, 200, Out, k3N | k3N1H},
    {"MCNAROM", "PERCENT", nullptr, 0, 100, Out, k3N | k3N1H},
    {"MCNOLEF", "PERCENT", nullptr, 0, 100, Out, k3N | k3N1H},
    {"MCNCLOUDPT", "F", nullptr, -200, 300, Out, k3N1H},
    {"MCNCETNO", "UNITLESS", nullptr, 10, 100, Out, k3N1H},
    {"MCNVOL", kKBD, kCMH, 0, 10000, Calc, k3N | k3N1H},
    {"MCNMASS", kTD, kKGH, 0, 1000000, Calc, k3N | k3N1H},
    {"MCNSULMASS", kTD, kKGH, 0, 5000, Calc, k3N | k3N1H},
    {"MCNSUL", "PERCENT", nullptr, 0, 6, Calc, k3N | k3N1H},
    {"MCNSULPPM", "PPM", nullptr, 0, 60000, Calc, k3N | k3N1H},
    {"MCNCUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const, k3N | k3N1H},
    {"HCOECP", "F", nullptr, 650, 1000, In, k2N1H | k3N1H},
    {"HCOFRAC", "FRACTION", nullptr, 0, 1, Out, k2N1H | k3N1H},
    {"HCORELSUL", "FRACTION", nullptr, 0.01, 5, Out, k2N1H | k3N1H},
    {"HCOSG", "UNITLESS", nullptr, 0.75, 1.2, Out, k2N1H | k3N1H},
    {"HCONIT", "PERCENT", nullptr, 0, 5000, Out, k2N1H | k3N1H},
    {"HCOCCR", "PERCENT", nullptr, 0, 10, Out, k2N1H | k3N1H},
    {"HCOAROM", "PERCENT", nullptr, 0, 100, Out, k2N1H | k3N1H},
    {"HCOVISC_122", "CS", nullptr, 1, 100000, Out, k2N1H | k3N1H},
    {"HCOCLOUDPT", "F", nullptr, -200, 300, Out, k2N1H | k3N1H},
    {"HCOCETNO", "UNITLESS", nullptr, 5, 100, Out, k3N1H},
    {"HCOVOL", kKBD, kCMH, 0, 10000, Calc, k2N1H | k3N1H},
    {"HCOMASS", kTD, kKGH, 0, 1000000, Calc, k2N1H | k3N1H},
    {"HCOSULMASS", kTD, kKGH, 0, 5000, Calc, k2N1H | k3N1H},
    {"HCOSUL", "PERCENT", nullptr, 0, 8, Calc, k2N1H},
    {"HCOSUL", "PERCENT", nullptr, 0, 6, Calc, k3N1H},
    {"HCOSULPPM", "PPM", nullptr, 0, 80000, Calc, k2N1H},
    {"HCOSULPPM", "PPM", nullptr, 0, 60000, Calc, k3N1H},
    {"HCOCUTOFF", "UNITLESS", nullptr, 1e-19, 1e-19, Const, k2N1H | k3N1H},
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

void rofcc_1::addSlateVariables(Fcc1Slate slate) {
  const unsigned bit = slateBit(slate);
  // A name already in its set keeps its first row.
  categorySets().insert(kSlateRows, [bit](const CatalogueRow& row) { return (row.group & bit) != 0; });
}

void rofcc_1::createROMVariables() {
  categorySets().insert(kBaseRows);
  // The order of the sets decides the variable numbers.
  for (std::set<varinfo2>* set : {&inputSet, &nnOutputSet, &factorSet, &calcSet, &constSet}) populateVarMan(*set);
}

void rofcc_1::setPELMOVarValues(long long& status) {
  status = 0;
  if (writeConstants(kConstantValues) != 0) status = 1;
}

int rofcc_1::writeSlateCutoffs(Fcc1Slate slate) {
  int refused = 0;
  if (fcc1HasMcn(slate) && setPELMOVarValue(varRecord("MCNCUTOFF"), 1e-19) != 0) ++refused;
  if (fcc1HasHco(slate) && setPELMOVarValue(varRecord("HCOCUTOFF"), 1e-19) != 0) ++refused;
  return refused;
}
