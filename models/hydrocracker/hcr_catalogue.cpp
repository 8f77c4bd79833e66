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

using namespace category;

constexpr unsigned K = kKerosene;
constexpr unsigned D = kDiesel;
constexpr unsigned R = kRecycle;
constexpr unsigned A = kAlways;

}  // namespace

const std::vector<CatalogueRow>& catalogue() {
  static const std::vector<CatalogueRow> rows = {
      // Inputs: feed and operating conditions; every network's inputs.
      {"FEEDMASS", kMassDisp, kMassBase, 100, 1000000, In, A},
      {"CONVERSION", "PERCENT", nullptr, 0, 120, In, A},
      {"RCYRATE", "PERCENT", nullptr, 0, 100, In, R},
      {"CATAGE", "PERCENT", nullptr, 0, 100, In, A},
      {"FEEDSG", "UNITLESS", nullptr, 0.7, 1, In, A},
      {"FEEDT50", "F", nullptr, 600, 1000, In, A},
      {"FEEDSUL", "PERCENT", nullptr, 0, 5, In, A},
      {"FEEDNIT", "PPM", nullptr, 0, 6000, In, A},
      {"FEEDBRNO", "UNITLESS", nullptr, 0, 20, In, A},
      {"DSLECP", "F", nullptr, 500, 800, In, D},
      {"KERECP", "F", nullptr, 300, 650, In, K},
      {"HCNECP", "F", nullptr, 200, 540, In, A},
      {"LCNECP", "F", nullptr, 100, 430, In, A},
      // Network outputs: yields on feed mass, product properties, hydrogen contents (percent).
      {"H2SFRAC", "FRACTION", nullptr, 0, 1, Out, A},
      {"H2FRAC", "FRACTION", nullptr, 0, 1, Out, A},
      {"C3FRAC", "FRACTION", nullptr, 0, 1, Out, A},
      {"NC4FRAC", "FRACTION", nullptr, 0, 1, Out, A},
      {"IC4FRAC", "FRACTION", nullptr, 0, 1, Out, A},
      {"LCNFRAC", "FRACTION", nullptr, 0, 1, Out, A},
      {"LCNSG", "UNITLESS", nullptr, 0.6, 0.85, Out, A},
      {"LCNRELSUL", "PERCENT", nullptr, 0, 1, Out, A},
      {"LCNRON", "UNITLESS", nullptr, 20, 120, Out, A},
      {"LCNMON", "UNITLESS", nullptr, 20, 120, Out, A},
      {"LCNRVP", "KPA", nullptr, 0, 200, Out, A},
      {"LCNAROM", "PERCENT", nullptr, 0, 100, Out, A},
      {"LCNNAPH", "PERCENT", nullptr, 0, 100, Out, A},
      {"HCNFRAC", "FRACTION", nullptr, 0, 1, Out, A},
      {"HCNSG", "UNITLESS", nullptr, 0.7, 0.9, Out, A},
      {"HCNRELSUL", "PERCENT", nullptr, 0, 1, Out, A},
      {"HCNRON", "UNITLESS", nullptr, 20, 120, Out, A},
      {"HCNMON", "UNITLESS", nullptr, 20, 120, Out, A},
      {"HCNRVP", "KPA", nullptr, 0, 200, Out, A},
      {"HCNAROM", "PERCENT", nullptr, 0, 100, Out, A},
      {"HCNNAPH", "PERCENT", nullptr, 0, 100, Out, A},
      {"KERFRAC", "FRACTION", nullptr, 0, 1, Out, K},
      {"KERSG", "UNITLESS", nullptr, 0.75, 0.95, Out, K},
      {"KERRELSUL", "PERCENT", nullptr, 0, 1, Out, K},
      {"KERAROM", "PERCENT", nullptr, 0, 100, Out, K},
      {"KERCETNO", "UNITLESS", nullptr, 0, 500, Out, K},
      {"KERFREEZEPT", "F", nullptr, -270, 500, Out, K},
      {"KERCLOUDPT", "F", nullptr, -200, 500, Out, K},
      {"KERSMOKEPT", "MM", nullptr, 1, 50, Out, K},
      {"KERD86_50", "F", nullptr, 300, 600, Out, K},
      {"KERVISC_122", "CS", nullptr, 0, 100, Out, K},
      {"DSLFRAC", "FRACTION", nullptr, 0, 1, Out, D},
      {"DSLSG", "UNITLESS", nullptr, 0.8, 1, Out, D},
      {"DSLRELSUL", "PERCENT", nullptr, 0, 1, Out, D},
      {"DSLCETNO", "UNITLESS", nullptr, 0, 500, Out, D},
      {"DSLCLOUDPT", "F", nullptr, -200, 500, Out, D},
      {"DSLD86_50", "F", nullptr, 550, 850, Out, D},
      {"DSLVISC_122", "CS", nullptr, 0, 100, Out, D},
      {"UCOFRAC", "FRACTION", nullptr, 0, 1, Out, A},
      {"UCOSG", "UNITLESS", nullptr, 0.8, 1, Out, A},
      {"UCORELSUL", "PERCENT", nullptr, 0, 1, Out, A},
      {"UCOVISC_122", "CS", nullptr, 0, 2000, Out, A},
      {"UCOD86_50", "F", nullptr, 600, 1000, Out, A},
      {"LCNHYD", "PERCENT", nullptr, 0, 20, Out, A},
      {"HCNHYD", "PERCENT", nullptr, 0, 20, Out, A},
      {"KERHYD", "PERCENT", nullptr, 0, 20, Out, K},
      {"DSLHYD", "PERCENT", nullptr, 0, 20, Out, D},
      {"UCOHYD", "PERCENT", nullptr, 0, 20, Out, A},
      {"FEEDHYD", "PERCENT", nullptr, 0, 20, Out, A},
      // Calculated: volumes, moles, indices, masses, sulfur, hydrogen masses.
      {"FEEDVOL", kVolDisp, kVolBase, 100, 10000, Calc, A},
      {"H2SVOL", kVolDisp, kVolBase, 0, 10000, Calc, A},
      {"FGSVOL", kVolDisp, kVolBase, 0, 10000, Calc, A},
      {"H2VOL", kVolDisp, kVolBase, 0, 10000, Calc, A},
      {"C3VOL", kVolDisp, kVolBase, 0, 10000, Calc, A},
      {"NC4VOL", kVolDisp, kVolBase, 0, 10000, Calc, A},
      {"IC4VOL", kVolDisp, kVolBase, 0, 10000, Calc, A},
      {"LCNVOL", kVolDisp, kVolBase, 0, 10000, Calc, A},
      {"HCNVOL", kVolDisp, kVolBase, 0, 10000, Calc, A},
      {"KERVOL", kVolDisp, kVolBase, 0, 10000, Calc, K},
      {"DSLVOL", kVolDisp, kVolBase, 0, 10000, Calc, D},
      {"UCOVOL", kVolDisp, kVolBase, 0, 10000, Calc, A},
      {"H2SMOL", kMolDisp, kMolBase, 0, 20000, Calc, A},
      {"FGSMOL", kMolDisp, kMolBase, 0, 20000, Calc, A},
      {"H2MOL", kMolDisp, kMolBase, 0, 20000, Calc, A},
      {"LCNRVI", "UNITLESS", nullptr, 0, 500, Calc, A},
      {"LCNNA", "PERCENT", nullptr, 0, 200, Calc, A},
      {"HCNRVI", "UNITLESS", nullptr, 0, 500, Calc, A},
      {"HCNNA", "PERCENT", nullptr, 0, 200, Calc, A},
      {"KERCETIDX", "UNITLESS", nullptr, -50, 1000, Calc, K},
      {"KERFREEZEIDX", "UNITLESS", nullptr, -50, 1000000, Calc, K},
      {"KERCLOUDIDX", "UNITLESS", nullptr, 0, 10000000000.0, Calc, K},
      {"KERSMOKEIDX", "UNITLESS", nullptr, 0, 10, Calc, K},
      {"KERVISCIDX", "UNITLESS", nullptr, -50, 50, Calc, K},
      {"DSLCETIDX", "UNITLESS", nullptr, -50, 1000, Calc, D},
      {"DSLCLOUDIDX", "UNITLESS", nullptr, 0, 10000000000.0, Calc, D},
      {"DSLVISCIDX", "UNITLESS", nullptr, -50, 50, Calc, D},
      {"UCOVISCIDX", "UNITLESS", nullptr, -50, 50, Calc, A},
      {"TOTCONV", "PERCENT", nullptr, 0, 100, Calc, A},
      {"H2SMASS", kMassDisp, kMassBase, 0, 1000000, Calc, A},
      {"FGSMASS", kMassDisp, kMassBase, 0, 1000000, Calc, A},
      {"H2MASS", kMassDisp, kMassBase, 0, 1000000, Calc, A},
      {"C3MASS", kMassDisp, kMassBase, 0, 1000000, Calc, A},
      {"NC4MASS", kMassDisp, kMassBase, 0, 1000000, Calc, A},
      {"IC4MASS", kMassDisp, kMassBase, 0, 1000000, Calc, A},
      {"LCNMASS", kMassDisp, kMassBase, 0, 1000000, Calc, A},
      {"HCNMASS", kMassDisp, kMassBase, 0, 1000000, Calc, A},
      {"KERMASS", kMassDisp, kMassBase, 0, 1000000, Calc, K},
      {"DSLMASS", kMassDisp, kMassBase, 0, 1000000, Calc, D},
      {"UCOMASS", kMassDisp, kMassBase, 0, 1000000, Calc, A},
      {"LCNSUL", "PERCENT", nullptr, 0, 2, Calc, A},
      {"HCNSUL", "PERCENT", nullptr, 0, 2, Calc, A},
      {"KERSUL", "PERCENT", nullptr, 0, 2, Calc, K},
      {"DSLSUL", "PERCENT", nullptr, 0, 2, Calc, D},
      {"UCOSUL", "PERCENT", nullptr, 0, 2, Calc, A},
      {"LCNSULPPM", "PPM", nullptr, 0, 20000, Calc, A},
      {"HCNSULPPM", "PPM", nullptr, 0, 20000, Calc, A},
      {"KERSULPPM", "PPM", nullptr, 0, 20000, Calc, K},
      {"DSLSULPPM", "PPM", nullptr, 0, 20000, Calc, D},
      {"UCOSULPPM", "PPM", nullptr, 0, 20000, Calc, A},
      {"FEEDHYDMASS", "KG/HR", nullptr, 0, 100000, Calc, A},
      {"H2SHYDMASS", "KG/HR", nullptr, 0, 100000, Calc, A},
      {"FGSHYDMASS", "KG/HR", nullptr, 0, 100000, Calc, A},
      {"C3HYDMASS", "KG/HR", nullptr, 0, 100000, Calc, A},
      {"NC4HYDMASS", "KG/HR", nullptr, 0, 100000, Calc, A},
      {"IC4HYDMASS", "KG/HR", nullptr, 0, 100000, Calc, A},
      {"LCNHYDMASS", "KG/HR", nullptr, 0, 100000, Calc, A},
      {"HCNHYDMASS", "KG/HR", nullptr, 0, 100000, Calc, A},
      {"KERHYDMASS", "KG/HR", nullptr, 0, 100000, Calc, K},
      {"DSLHYDMASS", "KG/HR", nullptr, 0, 100000, Calc, D},
      {"UCOHYDMASS", "KG/HR", nullptr, 0, 100000, Calc, A},
      // The mass factor that closes the mass balance; on no port.
      {"MASSFACTOR", "UNITLESS", nullptr, 0.5, 1.5, Fac, A},
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
