// rofcc: construction and destruction, the 148-variable catalogue and the
// variable maps by catalogue kind.
#include <string_view>

#include "core/helpers.h"
#include "models/fcc/rofcc.h"

namespace {

// Flows carry a base unit (the unit of the framework's values) and a display unit.
constexpr const char* kMassBase = "KG/HR";
constexpr const char* kMassDisp = "TONNE/DAY";
constexpr const char* kVolBase = "CUM/HR";
constexpr const char* kVolDisp = "KBBL/DAY";
constexpr const char* kMolBase = "KMOL/HR";
constexpr const char* kMolDisp = "MMSCFD";

constexpr FccMap In = FccMap::Input;
constexpr FccMap Out = FccMap::Output;
constexpr FccMap Fac = FccMap::Factor;
constexpr FccMap Vol = FccMap::Volume;
constexpr FccMap Mol = FccMap::Molar;
constexpr FccMap Con = FccMap::Const;
constexpr FccMap Calc = FccMap::Calc;

// Every variable starts at 1.0 (the record's default).
constexpr std::array<FccVarRow, 148> kCatalogue = {{
    // Feed properties and operating conditions: the inputs of every network.
    {"FEEDMASS", kMassBase, kMassDisp, 100, 1000000, In},
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
    {"FEEDVOL", kVolBase, kVolDisp, 100, 10000, Vol},
    {"C3VOL", kVolBase, kVolDisp, 0, 10000, Vol},
    {"C32VOL", kVolBase, kVolDisp, 0, 10000, Vol},
    {"NC4VOL", kVolBase, kVolDisp, 0, 10000, Vol},
    {"IC4VOL", kVolBase, kVolDisp, 0, 10000, Vol},
    {"UC4VOL", kVolBase, kVolDisp, 0, 10000, Vol},
    {"C5SVOL", kVolBase, kVolDisp, 0, 10000, Vol},
    {"LCNVOL", kVolBase, kVolDisp, 0, 10000, Vol},
    {"HCNVOL", kVolBase, kVolDisp, 0, 10000, Vol},
    {"LCOVOL", kVolBase, kVolDisp, 0, 10000, Vol},
    {"BOTVOL", kVolBase, kVolDisp, 0, 10000, Vol},
    // Gas molar flows.
    {"H2SMOL", kMolBase, kMolDisp, 0, 20000, Mol},
    {"FGSMOL", kMolBase, kMolDisp, 0, 20000, Mol},
    // Calculated: H2S yield, product masses, FOE volumes, mixes and shares, sulfur.
    {"H2SFRAC", "FRACTION", "FRACTION", 0, 1, Calc},
    {"H2SMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"FGSMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"C3MASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"C32MASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"NC4MASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"IC4MASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"UC4MASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"C5SMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"LCNMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"HCNMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"LCOMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"BOTMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"COKMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"COKVOL", kVolBase, kVolDisp, 0, 10000, Calc},
    {"FGSVOL", kVolBase, kVolDisp, 0, 10000, Calc},
    {"H2SVOL", kVolBase, kVolDisp, 0, 10000, Calc},
    {"C3MIXMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"UNSATINC3MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"SATINC3MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"C4MIXMASS", kMassBase, kMassDisp, 0, 1000000, Calc},
    {"UNSATINC4MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"NSATINC4MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"ISATINC4MIX", "FRACTION", "FRACTION", 0, 1, Calc},
    {"C3MIXVOL", kVolBase, kVolDisp, 0, 10000, Calc},
    {"C4MIXVOL", kVolBase, kVolDisp, 0, 10000, Calc},
    {"UNSATINC3MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"SATINC3MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"UNSATINC4MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"NSATINC4MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"ISATINC4MIXVOL", "FRACTION", "FRACTION", 0, 1, Calc},
    {"FEEDSULMASS", kMassBase, kMassDisp, 0, 10000, Calc},
    {"C5SSULMASS", kMassBase, kMassDisp, 0, 5000, Calc},
    {"LCNSULMASS", kMassBase, kMassDisp, 0, 5000, Calc},
    {"HCNSULMASS", kMassBase, kMassDisp, 0, 5000, Calc},
    {"LCOSULMASS", kMassBase, kMassDisp, 0, 5000, Calc},
    {"BOTSULMASS", kMassBase, kMassDisp, 0, 5000, Calc},
    {"COKSULMASS", kMassBase, kMassDisp, 0, 5000, Calc},
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
    {"COKFOEFACTOR", "UNITLESS", "UNITLESS", 1.24, 1.24, Con},
    {"FGSFOEFACTOR", "UNITLESS", "UNITLESS", 0.811249393, 0.811249393, Con},
    {"H2SFOEFACTOR", "UNITLESS", "UNITLESS", 2.6145, 2.6145, Con},
    {"C3SG", "UNITLESS", "UNITLESS", 0.5085, 0.5085, Con},
    {"C32SG", "UNITLESS", "UNITLESS", 0.5194, 0.5194, Con},
    {"IC4SG", "UNITLESS", "UNITLESS", 0.5646, 0.5646, Con},
    {"NC4SG", "UNITLESS", "UNITLESS", 0.5948, 0.5948, Con},
    {"UC4SG", "UNITLESS", "UNITLESS", 0.6008, 0.6008, Con},
    {"FGSMW", "UNITLESS", "UNITLESS", 23.0565, 23.0565, Con},
    {"H2SMW", "UNITLESS", "UNITLESS", 34.08088, 34.08088, Con},
    {"H2SSULFUR", "UNITLESS", "UNITLESS", 0.9408501188936436, 0.9408501188936436, Con},  // 32.065 / 34.08088
    {"C5SCUTOFF", "UNITLESS", "UNITLESS", 1e-20, 0.5, Con},
    {"LCNCUTOFF", "UNITLESS", "UNITLESS", 1e-19, 1e-19, Con},
    {"HCNCUTOFF", "UNITLESS", "UNITLESS", 1e-19, 1e-19, Con},
}};

// The derivative tables of the network outputs are filled right after the
// last network output, while only the model inputs exist: they then hold
// exactly the inputs (and those of a slate created before the catalogue).
constexpr std::size_t kNetworkOutputsEnd = 68;
static_assert(std::string_view(kCatalogue[kNetworkOutputsEnd - 1].name) == "BOTCCR");
static_assert(kCatalogue[kNetworkOutputsEnd].map == FccMap::Factor);

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

ROMVarMap& rofcc::varMap(FccMap map) {
  switch (map) {
    case FccMap::Input: return m_inputVars;
    case FccMap::Output: return m_nnOutputVars;
    case FccMap::Factor: return m_factorVars;
    case FccMap::Volume: return m_volumeVars;
    case FccMap::Molar: return m_molarVars;
    case FccMap::Const: return m_constVars;
    case FccMap::Calc: break;
  }
  return m_calcVars;
}

const ROMVarMap& rofcc::varMap(FccMap map) const { return const_cast<rofcc*>(this)->varMap(map); }

ROMVar* rofcc::lookup(FccMap map, const std::string& name) const {
  ROMVar* var = at_or_throw(varMap(map), name);
  if (!var) throw std::out_of_range(kInvalidMapKey);
  return var;
}

void rofcc::createROMVariables() {
  for (std::size_t i = 0; i < kCatalogue.size(); ++i) {
    const FccVarRow& row = kCatalogue[i];
    addVar(varMap(row.map), row.name, row.baseUnit, row.dispUnit, row.lower, row.upper);
    if (i + 1 == kNetworkOutputsEnd) {
      // Outer loop outputs, inner loop inputs, both in key order; every entry 0.
      for (auto& output : m_nnOutputVars)
        for (const auto& input : m_inputVars) output.second->derivs[input.first] = 0.0;
    }
  }
}
