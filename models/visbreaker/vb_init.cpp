// The visbreaker's starting values (init).
//
// Before the networks run: the feed mass of a feed given by volume, a
// provisional feed viscosity and the furnace temperature of the specified
// conversion (a network input). After them, from the adjusted predictions: the
// two balances solved roughly on a grid of H2S masses, the product masses,
// the light-end mixes and shares, placeholder gravities and the viscosities.
//
// Every value goes straight into the framework's value vector. A value that
// cannot be computed (not finite: a mix of zero mass, a grid over a feed of
// zero mass) is not stored; the variable keeps the value it has, since a
// starting value is only a guess.
#include <cmath>
#include <string>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "models/visbreaker/rovb.h"

namespace {

constexpr double kKgPerCum = 1000.0;  // FEEDVOL (CUM/HR) x gravity x 1000 = FEEDMASS (KG/HR)
constexpr double kProvisionalFeedVisc = 4000.0;
constexpr int kGridIntervals = 10;
// The grid weighs H2S with the round molar masses 32 and 34, its upper end
// with those of the sulfur balance.
constexpr double kGridSulfurShare = 32.0 / 34.0;
constexpr double kH2SPerSulfur = 34.08088 / 32.065;
constexpr double kPlaceholder = 1.0;  // light-end volumes and product gravities

constexpr const char* kFractionOrder[] = {"FGS", "C3", "C32", "IC4", "NC4", "UC4", "NAP", "LGO", "HGO", "TAR"};
constexpr const char* kMassOrder[] = {"FGS", "C3", "C32", "NC4", "IC4", "UC4", "NAP", "LGO", "HGO", "TAR"};
constexpr const char* kLiquids[] = {"NAP", "LGO", "HGO", "TAR"};

// The blending indices of the products start as these shares of the feed's.
struct IndexShare {
  const char* index;
  const char* viscosity;
  double share;
};
constexpr IndexShare kIndexShares[] = {
    {"LGOVBI", "LGOVISC_122", 0.1}, {"HGOVBI", "HGOVISC_122", 0.2}, {"TARVBI", "TARVISC_122", 0.7}};

// Strictly opposite signs: a grid point whose residual is exactly 0 brackets nothing.
bool opposite(double a, double b) { return (a > 0.0 && b < 0.0) || (a < 0.0 && b > 0.0); }

}  // namespace

void rovb::init(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    const OneBased<double> x = valueView();
    if (!x.valid()) {
      status = 1;
      return;
    }
    const auto get = [&](const char* name) { return currentValue(*findVar(name)); };
    const auto put = [&](const char* name, double value) {
      if (std::isfinite(value)) x.at(varNumber(*findVar(name))) = value;
    };

    // The networks take the feed mass (KG/HR), also when the feed is given by volume.
    if (m_hlBasis == BASIS_VOLUME) put("FEEDMASS", get("FEEDSG") * get("FEEDVOL") * kKgPerCum);
    put("FEEDVISC", kProvisionalFeedVisc);
    put("FURNACETEMP",
        computeFurnaceTemp(get("FEEDMASS"), get("CONVERSION"), get("FEEDCCR"), get("FEEDSG"), get("FEEDSUL")));

    if (const int rc = runAllNN(); rc != 0) {
      status = rc;  // the values written so far stay
      return;
    }
    writeStartingValues(status);
  });
}

void rovb::writeStartingValues(long long& status) const {
  const OneBased<double> x = valueView();
  const auto get = [&](const std::string& name) { return currentValue(*findVar(name)); };
  const auto put = [&](const std::string& name, double value) {
    if (std::isfinite(value)) x.at(varNumber(*findVar(name))) = value;
  };
  const auto adjusted = [&](const std::string& output) { return computeAdjValue(output, status); };

  const double m = get("FEEDMASS");
  const double s = get("FEEDSUL");
  // Adjusted predictions, used as they are (no floor).
  double sul[std::size(kLiquids)];  // sulfur contents of the liquids, percent
  for (std::size_t i = 0; i < std::size(kLiquids); ++i)
    sul[i] = adjusted(std::string(kLiquids[i]) + "RELSUL") * s;
  double frac[std::size(kFractionOrder)];
  double total = 0.0;
  for (std::size_t i = 0; i < std::size(kFractionOrder); ++i) {
    frac[i] = adjusted(std::string(kFractionOrder[i]) + "FRAC");
    total += frac[i];
  }
  const auto fracOf = [&](const char* product) {
    for (std::size_t i = 0; i < std::size(kFractionOrder); ++i)
      if (std::string(product) == kFractionOrder[i]) return frac[i];
    return 0.0;
  };

  // Sulfur leaving with the liquids per unit of mass factor, sulfur entering,
  // and the H2S mass if all of it left as H2S.
  const double fLgo = fracOf("LGO"), fNap = fracOf("NAP"), fHgo = fracOf("HGO"), fTar = fracOf("TAR");
  const double liquidSulfur = m * (fLgo * sul[1] / 100.0 + fNap * sul[0] / 100.0 + fHgo * sul[2] / 100.0 +
                                   fTar * sul[3] / 100.0);
  const double feedSulfur = s * m / 100.0;
  const double h2sMax = feedSulfur * kH2SPerSulfur;
  const double step = (h2sMax - 0.0) / kGridIntervals;

  // Along the grid the mass factor closes MASS_BAL for each H2S mass; the
  // last sign change of the sulfur residual brackets the H2S mass.
  double h[kGridIntervals + 1], a[kGridIntervals + 1], d[kGridIntervals + 1];
  int bracket = -1;
  for (int i = 0; i <= kGridIntervals; ++i) {
    h[i] = i * step + 0.0;
    a[i] = (m - h[i]) / (total * m);
    d[i] = feedSulfur - h[i] * kGridSulfurShare - liquidSulfur * a[i];
    if (i > 0 && opposite(d[i], d[i - 1])) bracket = i;
  }
  if (bracket > 0) {
    put("MASSFACTOR", (a[bracket - 1] + a[bracket]) * 0.5);
    put("H2SMASS", (h[bracket - 1] + h[bracket]) * 0.5);
  } else {
    put("MASSFACTOR", 1.0);
    put("H2SMASS", h2sMax * 0.5);
  }

  const double massFactor = get("MASSFACTOR");
  for (const char* p : kMassOrder) put(std::string(p) + "MASS", fracOf(p) * m * massFactor);

  // Light ends: placeholder volumes for C3, C32 and NC4 (IC4 and UC4 keep
  // theirs), then the mixes and the mass shares from the current values.
  for (const char* v : {"C3VOL", "C32VOL", "NC4VOL"}) put(v, kPlaceholder);
  put("C3MIXMASS", get("C3MASS") + get("C32MASS"));
  put("C3MIXVOL", get("C3VOL") + get("C32VOL"));
  put("C4MIXMASS", get("IC4MASS") + get("NC4MASS") + get("UC4MASS"));
  put("C4MIXVOL", get("NC4VOL") + get("IC4VOL") + get("UC4VOL"));
  put("UNSATINC3MIX", get("C32MASS") / get("C3MIXMASS"));
  put("SATINC3MIX", get("C3MASS") / get("C3MIXMASS"));
  put("UNSATINC4MIX", get("UC4MASS") / get("C4MIXMASS"));
  put("NSATINC4MIX", get("NC4MASS") / get("C4MIXMASS"));
  put("ISATINC4MIX", get("IC4MASS") / get("C4MIXMASS"));

  for (const char* l : kLiquids) put(std::string(l) + "SG", kPlaceholder);

  // Blending indices as shares of the feed's; each viscosity starts from its index.
  const double feedIndex = get("FEEDVBI");
  for (const IndexShare& i : kIndexShares) put(i.index, i.share * feedIndex);
  for (const IndexShare& i : kIndexShares) put(i.viscosity, computeViscFromVBI(i.share * feedIndex));
  put("FEEDVISC", computeViscFromVBI(feedIndex));
}
