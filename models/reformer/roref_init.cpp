// roref: the starting values of a reformer slate.
//
// From the feed: its properties by the feed correlations, one run of every
// network, then an eleven-point scan over the fuel-gas mass that keeps the
// mass balance closed at every point and looks for the interval where the
// hydrogen balance changes sign (both with the adjusted network yields; the
// correction attributes of the hydrogen balance play no part), and last the
// product masses, hydrogen masses and volumes that follow.
//
// A starting value that is not finite (a zero gravity, FOE factor, fuel-gas
// hydrogen content or yield sum) is never stored: the feed properties stop at
// the first such value, the values after the scan are stored all or none; the
// status is then 1.
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "models/reformer/roref.h"

using reformer::ProductDef;
using reformer::VarMap;
using reformer::VarRef;

namespace {

constexpr double kDensityScale = 1000.0;
constexpr double kPercent = 100.0;
constexpr double kPropaneHydrogen = 18.182;
constexpr double kButaneHydrogen = 17.24;
// The scan: 10 intervals from 0 to the fuel-gas mass that would carry all the
// feed hydrogen.
constexpr int kScanIntervals = 10;
constexpr double kScanStart = 0.0;
constexpr double kNoIntervalMassFactor = 1.0;
// Fixed numbers of the starting volumes (not the values of the constants).
constexpr double kH2Foe = 0.3045;
constexpr double kC3Sg = 0.5085;
constexpr double kNC4Sg = 0.5948;
constexpr double kIC4Sg = 0.5646;

}  // namespace

void roref::initFromFeed(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    const OneBased<double> x = valueView();
    if (!x.valid()) {
      status = 1;
      return;
    }
    const auto store = [&](const VarRef& ref, double value) {
      if (!std::isfinite(value)) return false;
      x.at(varNumber(*lookup(ref))) = value;
      return true;
    };
    const VarRef feedMass{VarMap::Input, "FEEDMASS"}, feedArom{VarMap::Input, "FEEDAROM"},
        feedNaph{VarMap::Input, "FEEDNAPH"}, feedSg{VarMap::Calc, "FEEDSG"};

    // Feed properties, each from the values as they stand after the one before.
    bool stored = true;
    if (record(reformer::Record::FeedArom))
      stored = stored && store(feedArom, computeFeedArom(valueOf({VarMap::Calc, "FEEDNA"}),
                                                         valueOf({VarMap::Const, "RATIONA"})));
    if (stored && record(reformer::Record::FeedNaph))
      stored = store(feedNaph, computeFeedNaph(valueOf({VarMap::Calc, "FEEDNA"}), valueOf({VarMap::Const, "RATIONA"})));
    if (stored && m_hlBasis == BASIS_VOLUME)
      stored = store(feedMass, valueOf(feedSg) * valueOf({VarMap::Volume, "FEEDVOL"}) * kDensityScale);
    double feedHyd = 0.0;
    if (stored) {
      const double sg = valueOf(feedSg), naph = valueOf(feedNaph), arom = valueOf(feedArom);
      const double cno = computeFeedCNO(sg, naph, arom);
      feedHyd = computeFeedHyd(cno, naph, arom);
      stored = store({VarMap::Calc, "FEEDCNO"}, cno) && store({VarMap::Calc, "FEEDHYD"}, feedHyd) &&
               store({VarMap::Input, "MEABP"}, computeMEABP(sg, naph, arom));
    }
    if (!stored) {
      status = 1;
      return;
    }

    // The networks read the inputs just written.
    if (const int rc = runAllNN(); rc != 0) {
      status = rc;
      return;
    }

    const reformer::SlateDef& def = slate();
    const double F = valueOf(feedMass);
    long long st = 0;
    const auto adjusted = [&](const std::string& output) { return computeAdjValue(output, st); };
    const double h2 = adjusted("H2FRAC"), c3 = adjusted("C3FRAC"), nc4 = adjusted("NC4FRAC"), ic4 = adjusted("IC4FRAC");
    // The lists of a start are kept for the next one (cleared, not freed).
    std::vector<double>& yields = m_start.yields;
    std::vector<double>& scanHydrogen = m_start.scanHydrogen;
    yields.clear();
    scanHydrogen.clear();
    for (const ProductDef& p : def.products) {
      const std::string s = p.stream;
      yields.push_back(adjusted(s + "FRAC"));
      switch (p.scanHydrogen) {
        case ProductDef::ScanHydrogen::Adjusted: scanHydrogen.push_back(adjusted(s + "HYD")); break;
        case ProductDef::ScanHydrogen::AroCorrelation:
          scanHydrogen.push_back(computeAROHyd(valueOf({VarMap::Output, "AROBENZ"}), valueOf({VarMap::Output, "AROTOL"}),
                                               valueOf({VarMap::Output, "AROXYL"}), valueOf({VarMap::Output, "AROC9P"}),
                                               valueOf({VarMap::Output, "AROSG"})));
          break;
        case ProductDef::ScanHydrogen::Value: scanHydrogen.push_back(valueOf(p.content)); break;
      }
    }

    // S: the feed share the yields put into products other than fuel gas; W:
    // the product hydrogen per unit of mass factor.
    const double G = valueOf({VarMap::Const, "FGSHYD"});
    double S = h2 + c3 + nc4 + ic4;
    double W = h2 + c3 * kPropaneHydrogen / kPercent + nc4 * kButaneHydrogen / kPercent + ic4 * kButaneHydrogen / kPercent;
    for (std::size_t i = 0; i < yields.size(); ++i) {
      S += yields[i];
      W += scanHydrogen[i] * yields[i] / kPercent;
    }
    W *= F;
    const double feedHydrogen = feedHyd * F / kPercent;
    const double xMax = feedHyd * F / G;
    const double step = (xMax - kScanStart) / kScanIntervals;

    std::array<double, kScanIntervals + 1> X{}, M{}, H{};
    int chosen = 0;  // the highest i whose interval (i - 1, i) changes sign; 0 for none
    for (int i = 0; i <= kScanIntervals; ++i) {
      X[i] = i * step + kScanStart;
      M[i] = (F - X[i]) / (S * F);  // closes the mass balance with fuel gas X[i]
      H[i] = feedHydrogen - G * X[i] / kPercent - W * M[i];
      if (i > 0 && ((H[i - 1] > 0.0 && H[i] < 0.0) || (H[i - 1] < 0.0 && H[i] > 0.0))) chosen = i;
    }
    const double massFactor = chosen > 0 ? (M[chosen] + M[chosen - 1]) * 0.5 : kNoIntervalMassFactor;
    const double fuelGas = chosen > 0 ? (X[chosen] + X[chosen - 1]) * 0.5 : (xMax + kScanStart) * 0.5;

    // What follows from them, stored all or none, in this order.
    std::vector<std::pair<const ROMVar*, double>>& values = m_start.values;
    values.clear();
    const auto put = [&](VarMap map, const std::string& name, double value) {
      values.push_back({lookup({map, name.c_str()}), value});
      return value;
    };
    put(VarMap::Factor, "MASSFACTOR", massFactor);
    put(VarMap::Calc, "FGSMASS", fuelGas);
    const double h2Mass = put(VarMap::Calc, "H2MASS", h2 * F * massFactor);
    const double c3Mass = put(VarMap::Calc, "C3MASS", c3 * F * massFactor);
    const double nc4Mass = put(VarMap::Calc, "NC4MASS", nc4 * F * massFactor);
    const double ic4Mass = put(VarMap::Calc, "IC4MASS", ic4 * F * massFactor);
    std::vector<double>& productMass = m_start.productMass;
    productMass.clear();
    for (std::size_t i = 0; i < yields.size(); ++i)
      productMass.push_back(put(VarMap::Calc, std::string(def.products[i].stream) + "MASS", yields[i] * F * massFactor));

    put(VarMap::Calc, "FEEDHYDMASS", feedHyd * F / kPercent);
    if (def.setsFgsHydMass) put(VarMap::Calc, "FGSHYDMASS", fuelGas * G / kPercent);
    put(VarMap::Calc, "C3HYDMASS", c3Mass * kPropaneHydrogen / kPercent);
    put(VarMap::Calc, "NC4HYDMASS", nc4Mass * kButaneHydrogen / kPercent);
    put(VarMap::Calc, "IC4HYDMASS", ic4Mass * kButaneHydrogen / kPercent);
    // The product contents as the framework holds them, not adjusted predictions.
    for (std::size_t i = 0; i < def.products.size(); ++i)
      put(VarMap::Calc, std::string(def.products[i].stream) + "HYDMASS",
          productMass[i] * valueOf(def.products[i].content) / kPercent);

    if (!m_volumeVars.empty()) {
      put(VarMap::Volume, "FEEDVOL", F / valueOf(feedSg) / kDensityScale);
      put(VarMap::Volume, "H2VOL", h2Mass / kH2Foe / kDensityScale);
      put(VarMap::Volume, "FGSVOL", fuelGas / valueOf({VarMap::Const, "FGSFOE"}) / kDensityScale);
      put(VarMap::Volume, "C3VOL", c3Mass / kC3Sg / kDensityScale);
      put(VarMap::Volume, "NC4VOL", nc4Mass / kNC4Sg / kDensityScale);
      put(VarMap::Volume, "IC4VOL", ic4Mass / kIC4Sg / kDensityScale);
      for (std::size_t i = 0; i < def.products.size(); ++i) {
        const std::string s = def.products[i].stream;
        put(VarMap::Volume, s + "VOL", productMass[i] / currentValue(*lookup({VarMap::Output, (s + "SG").c_str()})) / kDensityScale);
      }
    }

    for (const auto& entry : values) {
      if (!std::isfinite(entry.second)) {
        status = 1;  // a starting value that is not finite is never stored
        return;
      }
    }
    for (const auto& [var, value] : values) x.at(varNumber(*var)) = value;
    status = st != 0 ? 1 : 0;
  });
}
