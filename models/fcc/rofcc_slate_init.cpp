// rofccslate: the starting values of an FCC block (init).
//
// After the networks have run, the block writes a first guess of what the
// networks do not give directly. With the adjusted yield predictions f_j
// (their sum Σf), the adjusted relative sulfur r_j, the feed F (KG/HR) and its
// sulfur s (PERCENT), the mass factor that closes MASS_BAL for an H2S mass
// flow H is M(H) = (F - H) / (Σf F), and the sulfur balance at that point is
//   R(H) = s F / 100 - ρ H - F M(H) σ,   σ = Σ f_j r_j s / 100,
// linear in H. An 11-point grid from H = 0 to the H2S that carries all the
// feed's sulfur brackets the zero of R; the midpoint of the bracketing
// interval gives MASSFACTOR and H2SMASS (without a bracket: 1.0 and half the
// largest H2S). ρ is 32 / 34 on the grid (32.065 / 34.08088 at H = 0, where
// the term is 0 either way). Then the product masses, the C3 and C4 mixes and
// their mass shares, the network gravities and the product sulfur from the
// relative sulfur as the variables hold it. The yield and relative-sulfur
// outputs themselves are left to Newton, and so is H2SFRAC except in the
// two-naphtha slate.
//
// A value that would not be finite is never stored: a share or a yield of a
// mix or feed without mass keeps the value it has, anything else not finite
// is refused with status 1.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "models/fcc/rofcc_slates.h"
#include "platform/rtdev.h"

namespace {

constexpr double kSulfurMolarMass = 32.065;  // KG/KMOL
constexpr double kH2SMolarMass = 34.08088;   // KG/KMOL
constexpr double kGridSulfurShare = 32.0 / 34.0;
constexpr int kGridIntervals = 10;

// Every cut, in the order each step of the guess walks them.
const std::vector<std::string> kYieldCuts = {"FGS", "C3",  "C32", "NC4", "IC4", "UC4", "C5S",
                                             "LCN", "MCN", "HCN", "LCO", "HCO", "BOT", "COK"};
const std::vector<std::string> kSumOrder = {"C3",  "FGS", "C32", "IC4", "NC4", "UC4", "C5S",
                                            "LCN", "MCN", "HCN", "LCO", "HCO", "BOT", "COK"};
const std::vector<std::string> kSulfurCuts = {"C5S", "LCN", "MCN", "HCN", "LCO", "HCO", "BOT", "COK"};
const std::vector<std::string> kGravityCuts = {"LCN", "MCN", "HCN", "LCO", "HCO", "BOT"};

// The cuts of each list that a slate has, made once per slate.
struct SlateCuts {
  std::vector<std::string> yield, sum, sulfur, gravity;
};
const SlateCuts& slateCuts(FccSlate slate) {
  static const std::array<SlateCuts, 4> all = [] {
    std::array<SlateCuts, 4> cuts;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
      const auto s = static_cast<FccSlate>(i);
      cuts[i] = {fccSlateCuts(s, kYieldCuts), fccSlateCuts(s, kSumOrder), fccSlateCuts(s, kSulfurCuts),
                 fccSlateCuts(s, kGravityCuts)};
    }
    return cuts;
  }();
  return all.at(static_cast<std::size_t>(slate));
}

// A cut's place in kYieldCuts (every list's cuts are among them).
std::size_t cutIndex(const std::string& cut) {
  return static_cast<std::size_t>(std::find(kYieldCuts.begin(), kYieldCuts.end(), cut) - kYieldCuts.begin());
}

}  // namespace

void rofccslate::init(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    const OneBased<double> x = valueView();
    if (!x.valid()) {
      status = 1;
      return;
    }
    auto value = [&](FccMap map, const std::string& name) -> double& { return x.at(varNumber(*lookup(map, name))); };
    auto put = [&](FccMap map, const std::string& name, double v) {
      double& slot = value(map, name);
      if (std::isfinite(v)) slot = v;
      else status = 1;
    };
    // A quotient with a zero divisor leaves the value as it is.
    auto putQuotient = [&](FccMap map, const std::string& name, double num, double den) {
      if (den != 0.0) put(map, name, num / den);
      else (void)value(map, name);  // the name must still exist
    };

    // On a volume HL basis the feed is given by volume (CUM/HR); the networks
    // take its mass (KG/HR).
    if (m_hlBasis == BASIS_VOLUME)
      put(FccMap::Input, "FEEDMASS", value(FccMap::Input, "FEEDSG") * value(FccMap::Volume, "FEEDVOL") * 1000.0);
    if (status != 0) return;
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;
      reportTagOutsideInputs(rc);
      return;
    }

    const FccSlate sl = slate();
    const double feed = value(FccMap::Input, "FEEDMASS");
    const double feedSul = value(FccMap::Input, "FEEDSUL");
    long long st = 0;
    const SlateCuts& cuts = slateCuts(sl);
    // By the cut's place in kYieldCuts.
    std::array<double, 14> relsul{};
    std::array<double, 14> yield{};
    for (const std::string& cut : cuts.sulfur) relsul.at(cutIndex(cut)) = computeAdjValue(cut + "RELSUL", st);
    for (const std::string& cut : cuts.yield) yield.at(cutIndex(cut)) = computeAdjValue(cut + "FRAC", st);

    double sumYield = 0.0;
    for (const std::string& cut : cuts.sum) sumYield += yield.at(cutIndex(cut));
    double sigma = 0.0;
    for (const std::string& cut : cuts.sulfur)
      sigma += yield.at(cutIndex(cut)) * (relsul.at(cutIndex(cut)) * feedSul) / 100.0;

    const double feedSulfur = feedSul * feed / 100.0;
    const double h2sMax = feedSulfur * kH2SMolarMass / kSulfurMolarMass;
    const double step = (h2sMax - 0.0) / kGridIntervals;
    const double products = sumYield * feed;
    std::array<double, kGridIntervals + 1> h{}, m{}, r{};
    for (int i = 0; i <= kGridIntervals; ++i) {
      h[i] = i * step + 0.0;
      m[i] = (feed - h[i]) / products;
      const double rho = i == 0 ? kSulfurMolarMass / kH2SMolarMass : kGridSulfurShare;
      r[i] = feedSulfur - h[i] * rho - feed * m[i] * sigma;
    }
    // The last sign change counts; a point exactly at 0 brackets nothing
    // (and a grid of NaN, from a feed or yields of 0, none at all).
    int k = -1;
    for (int i = 1; i <= kGridIntervals; ++i)
      if ((r[i] > 0 && r[i - 1] < 0) || (r[i] < 0 && r[i - 1] > 0)) k = i;
    const double massFactor = k >= 1 ? (m[k] + m[k - 1]) * 0.5 : 1.0;
    const double h2sMass = k >= 1 ? (h[k] + h[k - 1]) * 0.5 : (h2sMax + 0.0) * 0.5;

    put(FccMap::Factor, "MASSFACTOR", massFactor);
    put(FccMap::Calc, "H2SMASS", h2sMass);
    // Only the two-naphtha slate starts H2SFRAC; the others leave it to
    // EQN_H2SMASS, which every slate evaluates.
    if (sl == FccSlate::TwoN) putQuotient(FccMap::Calc, "H2SFRAC", h2sMass, feed);
    for (const std::string& cut : cuts.yield) put(FccMap::Calc, cut + "MASS", yield.at(cutIndex(cut)) * feed * massFactor);

    for (const char* name : {"C3VOL", "C32VOL", "NC4VOL"}) put(FccMap::Volume, name, 1.0);
    auto calc = [&](const char* name) { return value(FccMap::Calc, name); };
    auto vol = [&](const char* name) { return value(FccMap::Volume, name); };
    put(FccMap::Calc, "C3MIXMASS", calc("C32MASS") + calc("C3MASS"));
    put(FccMap::Calc, "C3MIXVOL", vol("C3VOL") + vol("C32VOL"));
    put(FccMap::Calc, "C4MIXMASS", calc("IC4MASS") + calc("NC4MASS") + calc("UC4MASS"));
    put(FccMap::Calc, "C4MIXVOL", vol("IC4VOL") + vol("NC4VOL") + vol("UC4VOL"));
    putQuotient(FccMap::Calc, "UNSATINC3MIX", calc("C32MASS"), calc("C3MIXMASS"));
    putQuotient(FccMap::Calc, "SATINC3MIX", calc("C3MASS"), calc("C3MIXMASS"));
    putQuotient(FccMap::Calc, "UNSATINC4MIX", calc("UC4MASS"), calc("C4MIXMASS"));
    putQuotient(FccMap::Calc, "NSATINC4MIX", calc("NC4MASS"), calc("C4MIXMASS"));
    putQuotient(FccMap::Calc, "ISATINC4MIX", calc("IC4MASS"), calc("C4MIXMASS"));

    for (const std::string& cut : cuts.gravity) put(FccMap::Output, cut + "SG", 1.0);
    for (const std::string& cut : cuts.sulfur)
      put(FccMap::Calc, cut + "SUL", value(FccMap::Output, cut + "RELSUL") * value(FccMap::Input, "FEEDSUL"));
    for (const std::string& cut : cuts.sulfur) put(FccMap::Calc, cut + "SULPPM", value(FccMap::Calc, cut + "SUL") * 10000.0);
    if (st != 0) status = 1;
  });
}

void rofccslate::reportTagOutsideInputs(int status) const noexcept {
  // A network that does not open or run fails with the runner's own status,
  // and the host names its file from the runner's record: nothing to print.
  // Only status 1 may be the block's own refusal of a run the runner
  // completed, a file reporting a tag that is no model input (a lower-case or
  // misspelt name the runner still fed); no one else can name that tag. Find
  // the output that fails by running the networks again in the same order.
  // Only a message: the status of init stays as it is.
  if (status != 1) return;
  try {
    for (const auto& output : m_nnOutputVars) {
      const int rc = runNN(output.first);
      if (rc == 0) continue;
      if (rc != 1) return;
      const FccPairedOutput* pair = fccPairedOutput(output.first);
      const std::vector<std::string> networks =
          pair ? std::vector<std::string>{pair->total, pair->diff} : std::vector<std::string>{output.first};
      for (const std::string& network : networks) {
        const std::string tag = tagOutsideInputs(network);
        if (tag.empty()) continue;
        rtoprintf(rtHisDev, "Block %s: network file %s in folder %s reports the tag %s, which is no model input\n",
                  name(), networkFileName(m_modelKind, network).c_str(), networkFolderName(m_modelKind).c_str(),
                  tag.c_str());
        return;
      }
      return;
    }
  } catch (...) {
  }
}
