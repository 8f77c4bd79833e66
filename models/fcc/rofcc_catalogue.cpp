// rofcc: construction and destruction and the 148-variable catalogue.

#include "core/helpers.h"
#include "models/fcc/rofcc.h"
#include "models/fcc/rofcc_pair_run.h"

namespace {

// Flows carry a base unit (the unit of the framework's values) and a display unit.
constexpr const char* kMassBase = "KG/HR";
constexpr const char* kMassDisp = "TONNE/DAY";
constexpr const char* kVolBase = "CUM/HR";
constexpr const char* kVolDisp = "KBBL/DAY";
constexpr const char* kMolBase = "KMOL/HR";
constexpr const char* kMolDisp = "MMSCFD";

using namespace category;

// Every variable starts at 1.0 (the record's default).
constexpr std::array<FccVarRow, 148> kCatalogue = {{
    // Feed properties and operating conditions: the inputs of every network.
    {"FEEDMASS", kMassDisp, kMassBase, 100, 1000000, In},
    {"FEEDSG", "UNITLESS", "UNITLESS", 0.85, 0.98, In},
    {"FEEDSUL", "PERCENT", "PERCENT", 0, 5, In},
    {"FEEDBN2", "PPM", "PPM", 100, 3000, In},
    {"FEEDCCR", "PERCENT", "PERCENT", 0.01, 8, In},
    {"FEEDNICKEL", "PPM", "PPM", 0, 50, In},
    {"FEEDVANADIUM", "PPM", "PPM", 0, 50, In},
    {"REACTORPLENUMTEMP", "F", "F", 880, 1050, In},
    {"FEEDTEMP", "F", "F", 200, 750, In},
    {"CATCOOLERDUTY", "MMBTU/HR", "MMBTU/HR", 0, 200, In},
    {"ECATMAT", "PERCENT", "PERCENT", 60, 80, In},
    {"FEEDT50", "F", "F", 600, 1100, In},
    {"LCNECP", "F", "F", 100, 430, In},
    {"HCNECP", "F", "F", 200, 540, In},
    {"LCOECP", "F", "F", 450, 900, In},
    {"ZSMPCT", "FRACTION", "FRACTION", 0, 10, In},
    // Network outputs: yields (the naphtha cuts, paired networks, may go below 0) ...
    {"FGSFRAC", "FRACTION", "FRACTION", 0, 1, Out},
    {"C3FRAC", "FRACTION", "FRACTION", 0, 1, Out},
    {"C32FRAC", "FRACTION", "FRACTION", 0, 1, Out},
    {"NC4FRAC", "FRACTION", "FRACTION", 0, 1, Out},
    {"IC4FRAC", "FRACTION", "FRACTION", 0, 1, Out},
    {"UC4FRAC", "FRACTION", "FRACTION", 0, 1, Out},
    {"C5SFRAC", "FRACTION", "FRACTION", -1, 1, Out},
    {"LCNFRAC", "FRACTION", "FRACTION", -1, 1, Out},
    {"HCNFRAC", "FRACTION", "FRACTION", -1, 1, Out},
    {"LCOFRAC", "FRACTION", "FRACTION", 0, 1, Out},
    {"BOTFRAC", "FRACTION", "FRACTION", 0, 1, Out},
    {"COKFRAC", "FRACTION", "FRACTION", 0, 1, Out},
    // ... sulfur relative to the feed's ...
    {"C5SRELSUL", "FRACTION", "FRACTION", 1e-6, 1, Out},
    {"LCNRELSUL", "FRACTION", "FRACTION", 0.001, 1, Out},
    {"HCNRELSUL", "FRACTION", "FRACTION", 0.001, 2, Out},
    {"LCORELSUL", "FRACTION", "FRACTION", 0.01, 5, Out},
    {"BOTRELSUL", "FRACTION", "FRACTION", 0.01, 5, Out},
    {"COKRELSUL", "FRACTION", "FRACTION", 0.01, 5, Out},
    // ... specific gravities, regenerator and product properties.
    {"C5SSG", "UNITLESS", "UNITLESS", 0.4, 0.75, Out},
    {"LCNSG", "UNITLESS", "UNITLESS", 0.6, 0.85, Out},
    {"HCNSG", "UNITLESS", "UNITLESS", 0.7, 0.9, Out},
    {"LCOSG", "UNITLESS", "UNITLESS", 0.75, 0.95, Out},
    {"BOTSG", "UNITLESS", "UNITLESS", 0.8, 1.3, Out},
    {"BURNAIRMOLFLOW", "MMSCFD", "MMSCFD", 10, 2000, Out},
    {"REGENBEDTEMP", "F", "F", 1000, 2000, Out},
    {"CATTOOILRATIO", "UNITLESS", "UNITLESS", 1, 20, Out},
    {"C5SRON", "UNITLESS", "UNITLESS", 20, 120, Out},
    {"C5SMON", "UNITLESS", "UNITLESS", 20, 120, Out},
    {"C5SAROM", "PERCENT", "PERCENT", 0, 10, Out},
    {"C5SOLEF", "PERCENT", "PERCENT", 0, 100, Out},
    {"C5SRVP", "KPA", "KPA", 0, 200, Out},
    {"LCNRON", "UNITLESS", "UNITLESS", 20, 120, Out},
    {"LCNMON", "UNITLESS", "UNITLESS", 20, 120, Out},
    {"LCNRVP", "KPA", "KPA", 0, 200, Out},
    {"LCNAROM", "PERCENT", "PERCENT", 0, 100, Out},
    {"LCNOLEF", "PERCENT", "PERCENT", 0, 100, Out},
    {"LCNBEN", "PERCENT", "PERCENT", 0, 20, Out},
    {"HCNRON", "UNITLESS", "UNITLESS", 20, 120, Out},
    {"HCNMON", "UNITLESS", "UNITLESS", 20, 120, Out},
    {"HCNRVP", "KPA", "KPA", 0, 200, Out},
    {"HCNAROM", "PERCENT", "PERCENT", 0, 100, Out},
    {"HCNOLEF", "PERCENT", "PERCENT", 0, 100, Out},
    {"HCNCLOUDPT", "F", "F", -100, 200, Out},
    {"HCNVISC_122", "CS", "CS", 0, 100, Out},
    {"LCOD86_50", "F", "F", 400, 900, Out},
    {"LCONIT", "PERCENT", "PERCENT", 0, 5000, Out},
    {"LCOCCR", "PERCENT", "PERCENT", 0, 10, Out},
    {"LCOAROM", "PERCENT", "PERCENT", 0, 100, Out},
    {"LCOVISC_122", "CS", "CS", 0, 1000, Out},
    {"LCOCLOUDPT", "F", "F", -100, 200, Out},
    {"BOTVISC_122", "CS", "CS", 0, 10000000, Out},
    {"BOTCCR", "PERCENT", "PERCENT", 0, 20, Out},
    // Scales every product mass yield; left free by the specification step.
    {"MASSFACTOR", "UNITLESS", "UNITLESS", 0.5, 1.5, Fac},
    // Liquid volume flows.
    {"FEEDVOL", kVolDisp, kVolBase, 100, 10000, Vol},
    {"C3VOL", kVolDisp, kVolBase, 0, 10000, Vol},
    {"C32VOL", kVolDisp, kVolBase, 0, 10000, Vol},
    {"NC4VOL", kVolDisp, kVolBase, 0, 10000, Vol},
    {"IC4VOL", kVolDisp, kVolBase, 0, 10000, Vol},
    {"UC4VOL", kVolDisp, kVolBase, 0, 10000, Vol},
    {"C5SVOL", kVolDisp, kVolBase, 0, 10000, Vol},
    {"LCNVOL", kVolDisp, kVolBase, 0, 10000, Vol},
    {"HCNVOL", kVolDisp, kVolBase, 0, 10000, Vol},
    {"LCOVOL", kVolDisp, kVolBase, 0, 10000, Vol},
    {"BOTVOL", kVolDisp, kVolBase, 0, 10000, Vol},
    // Gas molar flows.
    {"H2SMOL", kMolDisp, kMolBase, 0, 20000, Mol},
    {"FGSMOL", kMolDisp, kMolBase, 0, 20000, Mol},
    // Calculated: H2S yield, product masses, FOE volumes, mixes and shares, sulfur.
    {"H2SFRAC", "FRACTION", "FRACTION", 0, 1, Calc},
    {"H2SMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"FGSMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"C3MASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"C32MASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"NC4MASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"IC4MASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"UC4MASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"C5SMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"LCNMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"HCNMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"LCOMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"BOTMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"COKMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"COKVOL", kVolDisp, kVolBase, 0, 10000, Calc},
    {"FGSVOL", kVolDisp, kVolBase, 0, 10000, Calc},
    {"H2SVOL", kVolDisp, kVolBase, 0, 10000, Calc},
    {"C3MIXMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"UNSATINC3MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"SATINC3MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"C4MIXMASS", kMassDisp, kMassBase, 0, 1000000, Calc},
    {"UNSATINC4MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"NSATINC4MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"ISATINC4MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"C3MIXVOL", kVolDisp, kVolBase, 0, 10000, Calc},
    {"C4MIXVOL", kVolDisp, kVolBase, 0, 10000, Calc},
    {"UNSATINC3MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"SATINC3MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"UNSATINC4MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"NSATINC4MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"ISATINC4MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"FEEDSULMASS", kMassDisp, kMassBase, 0, 10000, Calc},
    {"C5SSULMASS", kMassDisp, kMassBase, 0, 5000, Calc},
    {"LCNSULMASS", kMassDisp, kMassBase, 0, 5000, Calc},
    {"HCNSULMASS", kMassDisp, kMassBase, 0, 5000, Calc},
    {"LCOSULMASS", kMassDisp, kMassBase, 0, 5000, Calc},
    {"BOTSULMASS", kMassDisp, kMassBase, 0, 5000, Calc},
    {"COKSULMASS", kMassDisp, kMassBase, 0, 5000, Calc},
    {"C5SSUL", "PERCENT", "PERCENT", 0, 1, Calc},
    {"LCNSUL", "PERCENT", "PERCENT", 0, 2, Calc},
    {"HCNSUL", "PERCENT", "PERCENT", 0, 2, Calc},
    {"LCOSUL", "PERCENT", "PERCENT", 0, 6, Calc},
    {"BOTSUL", "PERCENT", "PERCENT", 0, 8, Calc},
    {"COKSUL", "PERCENT", "PERCENT", 0, 8, Calc},
    {"C5SSULPPM", "PPM", "PPM", 0, 10000, Calc},
    {"LCNSULPPM", "PPM", "PPM", 0, 20000, Calc},
    {"HCNSULPPM", "PPM", "PPM", 0, 20000, Calc},
    {"LCOSULPPM", "PPM", "PPM", 0, 60000, Calc},
    {"BOTSULPPM", "PPM", "PPM", 0, 80000, Calc},
    {"COKSULPPM", "PPM", "PPM", 0, 80000, Calc},
    {"C5SRVI", "UNITLESS", "UNITLESS", 0, 300, Calc},
    {"CONVERSION", "PERCENT", "PERCENT", 50, 100, Calc},
    // Constants: each fixed at its value (the bounds), except C5SCUTOFF, which
    // may be tuned between 1e-20 and 0.5. FGSMW's bounds are 23.0565 while the
    // value written is 20.65 (see setPELMOVarValues).
    {"COKFOEFACTOR", "UNITLESS", "UNITLESS", 1.24, 1.24, Const},
    {"FGSFOEFACTOR", "UNITLESS", "UNITLESS", 0.811249393, 0.811249393, Const},
    {"H2SFOEFACTOR", "UNITLESS", "UNITLESS", 2.6145, 2.6145, Const},
    {"C3SG", "UNITLESS", "UNITLESS", 0.5085, 0.5085, Const},
    {"C32SG", "UNITLESS", "UNITLESS", 0.5194, 0.5194, Const},
    {"IC4SG", "UNITLESS", "UNITLESS", 0.5646, 0.5646, Const},
    {"NC4SG", "UNITLESS", "UNITLESS", 0.5948, 0.5948, Const},
    {"UC4SG", "UNITLESS", "UNITLESS", 0.6008, 0.6008, Const},
    {"FGSMW", "UNITLESS", "UNITLESS", 23.0565, 23.0565, Const},
    {"H2SMW", "UNITLESS", "UNITLESS", 34.08088, 34.08088, Const},
    {"H2SSULFUR", "UNITLESS", "UNITLESS", 0.9408501188936436, 0.9408501188936436, Const},  // 32.065 / 34.08088
    {"C5SCUTOFF", "UNITLESS", "UNITLESS", 1e-20, 0.5, Const},
    {"LCNCUTOFF", "UNITLESS", "UNITLESS", 1e-19, 1e-19, Const},
    {"HCNCUTOFF", "UNITLESS", "UNITLESS", 1e-19, 1e-19, Const},
}};

}  // namespace

const std::array<FccVarRow, 148>& fccCatalogue() { return kCatalogue; }

rofcc::rofcc(const char* name) : robase(name) {
  rofcc::commonConstructor();
  m_massBalEqn = nullptr;
}

rofcc::~rofcc() {
  robase::commonDestructor();
  rofcc::commonDestructor();
}

void rofcc::commonConstructor() {
  for (auto& record : m_records) record.reset();
}

// Harmless when run again: every record is released once and its slot cleared.
void rofcc::commonDestructor() {
  for (auto& record : m_records) record.reset();
}

ROMVar* rofcc::lookup(FccMap map, const std::string& name) const {
  ROMVar* var = at_or_throw(varMap(map), name);
  if (!var) throw std::out_of_range(kInvalidMapKey);
  return var;
}

void rofcc::createROMVariables() {
  addCatalogue(kCatalogue);
  // The derivative tables hold exactly the model inputs (those of a slate
  // created before the catalogue among them).
  zeroNetworkDerivatives();
}
