// The hydrocracker catalogue and slates as data. Flows are in base units
// (KG/HR, CUM/HR, KMOL/HR); the display units are only shown.
#include "models/hydrocracker/hcr_slates.h"

namespace hcr {

namespace {

constexpr const char* kMassDisp = "TONNE/DAY";
constexpr const char* kMassBase = "KG/HR";
constexpr const char* kVolDisp = "KBBL/DAY";
constexpr const char* kVolBase = "CUM/HR";
constexpr const char* kMolDisp = "MMSCFD";
constexpr const char* kMolBase = "KMOL/HR";

constexpr VarSet In = VarSet::Input;
constexpr VarSet Nn = VarSet::NetworkOutput;
constexpr VarSet Calc = VarSet::Calculated;
constexpr VarSet Fac = VarSet::Factor;

constexpr unsigned K = kKerosene;
constexpr unsigned D = kDiesel;
constexpr unsigned R = kRecycle;
constexpr unsigned A = kAlways;

}  // namespace

const std::vector<CatalogueRow>& catalogue() {
  static const std::vector<CatalogueRow> rows = {
      // Inputs: feed and operating conditions; every network's inputs.
      {In, "FEEDMASS", kMassDisp, kMassBase, 100, 1000000, A},
      {In, "CONVERSION", "PERCENT", nullptr, 0, 120, A},
      {In, "RCYRATE", "PERCENT", nullptr, 0, 100, R},
      {In, "CATAGE", "PERCENT", nullptr, 0, 100, A},
      {In, "FEEDSG", "UNITLESS", nullptr, 0.7, 1, A},
      {In, "FEEDT50", "F", nullptr, 600, 1000, A},
      {In, "FEEDSUL", "PERCENT", nullptr, 0, 5, A},
      {In, "FEEDNIT", "PPM", nullptr, 0, 6000, A},
      {In, "FEEDBRNO", "UNITLESS", nullptr, 0, 20, A},
      {In, "DSLECP", "F", nullptr, 500, 800, D},
      {In, "KERECP", "F", nullptr, 300, 650, K},
      {In, "HCNECP", "F", nullptr, 200, 540, A},
      {In, "LCNECP", "F", nullptr, 100, 430, A},
      // Network outputs: yields on feed mass, product properties, hydrogen contents (percent).
      {Nn, "H2SFRAC", "FRACTION", nullptr, 0, 1, A},
      {Nn, "H2FRAC", "FRACTION", nullptr, 0, 1, A},
      {Nn, "C3FRAC", "FRACTION", nullptr, 0, 1, A},
      {Nn, "NC4FRAC", "FRACTION", nullptr, 0, 1, A},
      {Nn, "IC4FRAC", "FRACTION", nullptr, 0, 1, A},
      {Nn, "LCNFRAC", "FRACTION", nullptr, 0, 1, A},
      {Nn, "LCNSG", "UNITLESS", nullptr, 0.6, 0.85, A},
      {Nn, "LCNRELSUL", "PERCENT", nullptr, 0, 1, A},
      {Nn, "LCNRON", "UNITLESS", nullptr, 20, 120, A},
      {Nn, "LCNMON", "UNITLESS", nullptr, 20, 120, A},
      {Nn, "LCNRVP", "KPA", nullptr, 0, 200, A},
      {Nn, "LCNAROM", "PERCENT", nullptr, 0, 100, A},
      {Nn, "LCNNAPH", "PERCENT", nullptr, 0, 100, A},
      {Nn, "HCNFRAC", "FRACTION", nullptr, 0, 1, A},
      {Nn, "HCNSG", "UNITLESS", nullptr, 0.7, 0.9, A},
      {Nn, "HCNRELSUL", "PERCENT", nullptr, 0, 1, A},
      {Nn, "HCNRON", "UNITLESS", nullptr, 20, 120, A},
      {Nn, "HCNMON", "UNITLESS", nullptr, 20, 120, A},
      {Nn, "HCNRVP", "KPA", nullptr, 0, 200, A},
      {Nn, "HCNAROM", "PERCENT", nullptr, 0, 100, A},
      {Nn, "HCNNAPH", "PERCENT", nullptr, 0, 100, A},
      {Nn, "KERFRAC", "FRACTION", nullptr, 0, 1, K},
      {Nn, "KERSG", "UNITLESS", nullptr, 0.75, 0.95, K},
      {Nn, "KERRELSUL", "PERCENT", nullptr, 0, 1, K},
      {Nn, "KERAROM", "PERCENT", nullptr, 0, 100, K},
      {Nn, "KERCETNO", "UNITLESS", nullptr, 0, 500, K},
      {Nn, "KERFREEZEPT", "F", nullptr, -270, 500, K},
      {Nn, "KERCLOUDPT", "F", nullptr, -200, 500, K},
      {Nn, "KERSMOKEPT", "MM", nullptr, 1, 50, K},
      {Nn, "KERD86_50", "F", nullptr, 300, 600, K},
      {Nn, "KERVISC_122", "CS", nullptr, 0, 100, K},
      {Nn, "DSLFRAC", "FRACTION", nullptr, 0, 1, D},
      {Nn, "DSLSG", "UNITLESS", nullptr, 0.8, 1, D},
      {Nn, "DSLRELSUL", "PERCENT", nullptr, 0, 1, D},
      {Nn, "DSLCETNO", "UNITLESS", nullptr, 0, 500, D},
      {Nn, "DSLCLOUDPT", "F", nullptr, -200, 500, D},
      {Nn, "DSLD86_50", "F", nullptr, 550, 850, D},
      {Nn, "DSLVISC_122", "CS", nullptr, 0, 100, D},
      {Nn, "UCOFRAC", "FRACTION", nullptr, 0, 1, A},
      {Nn, "UCOSG", "UNITLESS", nullptr, 0.8, 1, A},
      {Nn, "UCORELSUL", "PERCENT", nullptr, 0, 1, A},
      {Nn, "UCOVISC_122", "CS", nullptr, 0, 2000, A},
      {Nn, "UCOD86_50", "F", nullptr, 600, 1000, A},
      {Nn, "LCNHYD", "PERCENT", nullptr, 0, 20, A},
      {Nn, "HCNHYD", "PERCENT", nullptr, 0, 20, A},
      {Nn, "KERHYD", "PERCENT", nullptr, 0, 20, K},
      {Nn, "DSLHYD", "PERCENT", nullptr, 0, 20, D},
      {Nn, "UCOHYD", "PERCENT", nullptr, 0, 20, A},
      {Nn, "FEEDHYD", "PERCENT", nullptr, 0, 20, A},
      // Calculated: volumes, moles, indices, masses, sulfur, hydrogen masses.
      {Calc, "FEEDVOL", kVolDisp, kVolBase, 100, 10000, A},
      {Calc, "H2SVOL", kVolDisp, kVolBase, 0, 10000, A},
      {Calc, "FGSVOL", kVolDisp, kVolBase, 0, 10000, A},
      {Calc, "H2VOL", kVolDisp, kVolBase, 0, 10000, A},
      {Calc, "C3VOL", kVolDisp, kVolBase, 0, 10000, A},
      {Calc, "NC4VOL", kVolDisp, kVolBase, 0, 10000, A},
      {Calc, "IC4VOL", kVolDisp, kVolBase, 0, 10000, A},
      {Calc, "LCNVOL", kVolDisp, kVolBase, 0, 10000, A},
      {Calc, "HCNVOL", kVolDisp, kVolBase, 0, 10000, A},
      {Calc, "KERVOL", kVolDisp, kVolBase, 0, 10000, K},
      {Calc, "DSLVOL", kVolDisp, kVolBase, 0, 10000, D},
      {Calc, "UCOVOL", kVolDisp, kVolBase, 0, 10000, A},
      {Calc, "H2SMOL", kMolDisp, kMolBase, 0, 20000, A},
      {Calc, "FGSMOL", kMolDisp, kMolBase, 0, 20000, A},
      {Calc, "H2MOL", kMolDisp, kMolBase, 0, 20000, A},
      {Calc, "LCNRVI", "UNITLESS", nullptr, 0, 500, A},
      {Calc, "LCNNA", "PERCENT", nullptr, 0, 200, A},
      {Calc, "HCNRVI", "UNITLESS", nullptr, 0, 500, A},
      {Calc, "HCNNA", "PERCENT", nullptr, 0, 200, A},
      {Calc, "KERCETIDX", "UNITLESS", nullptr, -50, 1000, K},
      {Calc, "KERFREEZEIDX", "UNITLESS", nullptr, -50, 1000000, K},
      {Calc, "KERCLOUDIDX", "UNITLESS", nullptr, 0, 10000000000.0, K},
      {Calc, "KERSMOKEIDX", "UNITLESS", nullptr, 0, 10, K},
      {Calc, "KERVISCIDX", "UNITLESS", nullptr, -50, 50, K},
      {Calc, "DSLCETIDX", "UNITLESS", nullptr, -50, 1000, D},
      {Calc, "DSLCLOUDIDX", "UNITLESS", nullptr, 0, 10000000000.0, D},
      {Calc, "DSLVISCIDX", "UNITLESS", nullptr, -50, 50, D},
      {Calc, "UCOVISCIDX", "UNITLESS", nullptr, -50, 50, A},
      {Calc, "TOTCONV", "PERCENT", nullptr, 0, 100, A},
      {Calc, "H2SMASS", kMassDisp, kMassBase, 0, 1000000, A},
      {Calc, "FGSMASS", kMassDisp, kMassBase, 0, 1000000, A},
      {Calc, "H2MASS", kMassDisp, kMassBase, 0, 1000000, A},
      {Calc, "C3MASS", kMassDisp, kMassBase, 0, 1000000, A},
      {Calc, "NC4MASS", kMassDisp, kMassBase, 0, 1000000, A},
      {Calc, "IC4MASS", kMassDisp, kMassBase, 0, 1000000, A},
      {Calc, "LCNMASS", kMassDisp, kMassBase, 0, 1000000, A},
      {Calc, "HCNMASS", kMassDisp, kMassBase, 0, 1000000, A},
      {Calc, "KERMASS", kMassDisp, kMassBase, 0, 1000000, K},
      {Calc, "DSLMASS", kMassDisp, kMassBase, 0, 1000000, D},
      {Calc, "UCOMASS", kMassDisp, kMassBase, 0, 1000000, A},
      {Calc, "LCNSUL", "PERCENT", nullptr, 0, 2, A},
      {Calc, "HCNSUL", "PERCENT", nullptr, 0, 2, A},
      {Calc, "KERSUL", "PERCENT", nullptr, 0, 2, K},
      {Calc, "DSLSUL", "PERCENT", nullptr, 0, 2, D},
      {Calc, "UCOSUL", "PERCENT", nullptr, 0, 2, A},
      {Calc, "LCNSULPPM", "PPM", nullptr, 0, 20000, A},
      {Calc, "HCNSULPPM", "PPM", nullptr, 0, 20000, A},
      {Calc, "KERSULPPM", "PPM", nullptr, 0, 20000, K},
      {Calc, "DSLSULPPM", "PPM", nullptr, 0, 20000, D},
      {Calc, "UCOSULPPM", "PPM", nullptr, 0, 20000, A},
      {Calc, "FEEDHYDMASS", "KG/HR", nullptr, 0, 100000, A},
      {Calc, "H2SHYDMASS", "KG/HR", nullptr, 0, 100000, A},
      {Calc, "FGSHYDMASS", "KG/HR", nullptr, 0, 100000, A},
      {Calc, "C3HYDMASS", "KG/HR", nullptr, 0, 100000, A},
      {Calc, "NC4HYDMASS", "KG/HR", nullptr, 0, 100000, A},
      {Calc, "IC4HYDMASS", "KG/HR", nullptr, 0, 100000, A},
      {Calc, "LCNHYDMASS", "KG/HR", nullptr, 0, 100000, A},
      {Calc, "HCNHYDMASS", "KG/HR", nullptr, 0, 100000, A},
      {Calc, "KERHYDMASS", "KG/HR", nullptr, 0, 100000, K},
      {Calc, "DSLHYDMASS", "KG/HR", nullptr, 0, 100000, D},
      {Calc, "UCOHYDMASS", "KG/HR", nullptr, 0, 100000, A},
      // The mass factor that closes the mass balance; on no port.
      {Fac, "MASSFACTOR", "UNITLESS", nullptr, 0.5, 1.5, A},
  };
  return rows;
}

const std::vector<ConstantRow>& constants() {
  static const std::vector<ConstantRow> rows = {
      {"H2SMW", "UNITLESS", 34.08088},
      {"H2MW", "UNITLESS", 2.01588},
      {"FGSMW", "UNITLESS", 23.0565},
      {"H2SFOEFACTOR", "UNITLESS", 2.6145},
      {"FGSFOEFACTOR", "UNITLESS", 0.811249393},
      {"H2FOEFACTOR", "UNITLESS", 0.3045},
      {"C3SG", "UNITLESS", 0.5085},
      {"NC4SG", "UNITLESS", 0.5948},
      {"IC4SG", "UNITLESS", 0.5646},
      {"H2SSULFUR", "UNITLESS", 32.065 / 34.08088},  // sulfur mass fraction of H2S
      {"H2SHYD", "PERCENT", 5.882},
      {"FGSHYD", "PERCENT", 22.6},
      {"C3HYD", "PERCENT", 18.182},
      {"NC4HYD", "PERCENT", 17.24},
      {"IC4HYD", "PERCENT", 17.24},
  };
  return rows;
}

const std::vector<IndexRow>& indexEquations() {
  static const std::vector<IndexRow> rows = {
      {"LCN", 0, A}, {"HCN", 0, A}, {"KER", 1, K}, {"KER", 2, K}, {"KER", 3, K}, {"KER", 4, K},
      {"KER", 5, K}, {"DSL", 1, D}, {"DSL", 3, D}, {"DSL", 5, D}, {"UCO", 5, A},
  };
  return rows;
}

unsigned Slate::features() const {
  unsigned f = recycle ? kRecycle : 0u;
  for (const std::string& p : products) {
    if (p == "KER") f |= kKerosene;
    if (p == "DSL") f |= kDiesel;
  }
  return f;
}

const Slate kSlateD = {"HCR_D", {"LCN", "HCN", "KER", "DSL", "UCO"}, true, true, true, {{"IC4VOL", 0, 1000}}};

const Slate kSlateK = {"HCR_K",
                       {"LCN", "HCN", "KER", "UCO"},
                       true,
                       false,
                       false,
                       {{"RCYRATE", 0, 80},
                        {"H2SMOL", 1, 20000},
                        {"FGSMOL", 1, 20000},
                        {"H2MOL", 1, 20000},
                        {"C3MASS", 10, 1000000},
                        {"NC4MASS", 10, 1000000},
                        {"IC4MASS", 10, 1000000},
                        {"LCNMASS", 10, 1000000},
                        {"HCNMASS", 10, 1000000},
                        {"KERMASS", 10, 1000000},
                        {"UCOMASS", 10, 1000000}}};

const Slate kSlateMild = {"HCR_MILD", {"LCN", "HCN", "KER", "DSL", "UCO"}, false, false, false, {}};

const Slate kSlateN = {"HCR_N", {"LCN", "HCN", "UCO"}, true, false, false, {}};

const std::vector<std::string> kLightEnds = {"H2S", "H2", "FGS", "C3", "NC4", "IC4"};

}  // namespace hcr
