// The hydrogen forms of the tuning balance: hydrocracker and reformer.
//
// With F = FEEDMASS, M = MASSFACTOR, A = M F, G = FGSFRAC (never floored, not
// scaled by the mass factor) and g the smooth floor of the yields:
//   MASS_BAL     = M F P + G F - F
//   HYDROGEN_BAL = M F Q + 22.6 G F / 100 + the corrections - FEEDHYD F / 100
// where P sums the yields with their mass sign and Q their hydrogen, each
// light end by its fixed content (18.182 % propane, 17.24 % butanes, H2S its
// hydrogen share) and each liquid by its content variable in percent; the
// corrections are HYDBALBIAS F and each slope F times its driver variable.
// Hydrogen is consumed in the hydrocracker (it counts against the products)
// and made in the reformer (a product with content 1).
//
// Each unit adds its terms in its own order and groups, which is not the
// pattern's order: every sum is written out term by term in that order, with
// its groups and divisions, and every Jacobian entry likewise, so that the
// last bits of each value follow from the unit's own order of addition.
//
// Starting values: the hydrocracker writes fixed defaults (MASSFACTOR 1, the
// corrections 0, H2FRAC 0.05); the reformer brackets its hydrogen residual on
// a grid of eleven hydrogen makes and zeroes the corrections.
#include <cmath>

#include "tuning/balance_form.h"

namespace tuning {

namespace {

// Hydrogen contents of the light ends in percent by weight.
constexpr double kPropaneHydrogen = 18.182;
constexpr double kButaneHydrogen = 17.24;
constexpr double kFuelGasHydrogen = 22.6;
// The hydrocracker's default hydrogen consumption.
constexpr double kDefaultH2Consumed = 0.05;

enum class Unit { kHydrocracker, kReformer };

// The liquid products' groups: how many, and which are there.
//   hydrocracker: 0 none, 1 KER, 2 KER and DSL;
//   reformer:     0 none, 1 RFT, 2 RF1 and RF2, 3 ARO and RAF.
struct HydrogenSpec {
  Unit unit;
  int group = 0;
  std::vector<std::string> variables;
  std::array<std::vector<std::string>, 2> rows;
};

// A liquid product: the places of its yield and its hydrogen content.
struct Liquid {
  int frac = -1, hyd = -1;
};

class HydrogenBalance final : public BalanceForm {
 public:
  explicit HydrogenBalance(HydrogenSpec spec) : m_spec(std::move(spec)) {
    const std::vector<std::string>& vars = m_spec.variables;
    auto at = [&](const char* name) { return placeIn(vars, name); };
    auto liquid = [&](const char* stream) {
      return Liquid{placeIn(vars, std::string(stream) + "FRAC"), placeIn(vars, std::string(stream) + "HYD")};
    };
    m_feed = at("FEEDMASS");
    m_factor = at("MASSFACTOR");
    m_fuelGas = at("FGSFRAC");
    m_feedHyd = at("FEEDHYD");
    m_h2 = at("H2FRAC");
    m_c3 = at("C3FRAC");
    m_nc4 = at("NC4FRAC");
    m_ic4 = at("IC4FRAC");
    m_bias = at("HYDBALBIAS");
    if (m_spec.unit == Unit::kHydrocracker) {
      m_h2s = at("H2SFRAC");
      m_lcn = liquid("LCN");
      m_hcn = liquid("HCN");
      m_uco = liquid("UCO");
      if (m_spec.group >= 1) m_a = liquid("KER");
      if (m_spec.group == 2) m_b = liquid("DSL");
      m_slopes = {at("HYDBALSLOPECONV"), at("HYDBALSLOPESG")};
      m_drivers = {at("CONVERSION"), at("FEEDSG")};
    } else {
      if (m_spec.group == 1) m_a = liquid("RFT");
      if (m_spec.group == 2) {
        m_a = liquid("RF1");
        m_b = liquid("RF2");
      }
      if (m_spec.group == 3) {
        m_a = liquid("ARO");
        m_b = liquid("RAF");
      }
      m_slopes = {at("HYDBALSLOPETARGETRON"), at("HYDBALSLOPENAPH"), at("HYDBALSLOPEAROM")};
      m_drivers = {at("TARGETRON"), at("FEEDNAPH"), at("FEEDAROM")};
    }
  }

  const std::vector<std::string>& variables() const override { return m_spec.variables; }
  std::array<std::string, 2> freed() const override { return {"MASSFACTOR", "FGSFRAC"}; }
  const char* secondBalance() const override { return "HYDROGEN_BAL"; }
  const std::vector<std::string>& row(int k) const override { return m_spec.rows.at(static_cast<std::size_t>(k)); }

  double residual(int k, const Values& v) const override {
    const double f = v(m_feed), m = v(m_factor), g = v(m_fuelGas);
    if (k == 0) return m * f * massSum(v) + g * f - f;
    const double q = hydrogenSum(v);
    const double feedHyd = v(m_feedHyd) * f / 100.0;
    if (m_spec.unit == Unit::kHydrocracker) {
      double r = m * f * q + kFuelGasHydrogen * g * f / 100.0 + v(m_bias) * f;
      for (std::size_t i = 0; i < m_slopes.size(); ++i) r += v(m_slopes[i]) * f * v(m_drivers[i]);
      return r - feedHyd;
    }
    // The reformer: the corrections first, then the products and the fuel gas as one group.
    double r = v(m_slopes[0]) * f * v(m_drivers[0]) + v(m_bias) * f;
    for (std::size_t i = 1; i < m_slopes.size(); ++i) r += v(m_slopes[i]) * f * v(m_drivers[i]);
    r += m * f * q + kFuelGasHydrogen * g * f / 100.0;
    return r - feedHyd;
  }

  void gradient(int k, const Values& v, Gradient& d) const override {
    const double f = v(m_feed), m = v(m_factor), g = v(m_fuelGas);
    const double a = m * f;
    const bool consumed = m_spec.unit == Unit::kHydrocracker;
    const double h2Sign = consumed ? -a : a;  // hydrogen counts against the products when consumed
    d.reset(m_spec.variables.size());
    auto slope = [&](int place) { return smoothFloor(v(place)).slope; };
    auto liquids = [&](auto&& each) {
      if (consumed) {
        each(m_lcn);
        each(m_hcn);
        each(m_uco);
      }
      if (m_a.frac >= 0) each(m_a);
      if (m_b.frac >= 0) each(m_b);
    };
    if (k == 0) {
      const double p = massSum(v);
      d.put(m_feed, m * p + g - 1.0);
      d.put(m_fuelGas, f);
      d.put(m_factor, p * f);
      d.put(m_h2, h2Sign * slope(m_h2));
      if (consumed) d.put(m_h2s, a * slope(m_h2s));
      for (const int y : {m_c3, m_nc4, m_ic4}) d.put(y, a * slope(y));
      liquids([&](const Liquid& l) { d.put(l.frac, a * slope(l.frac)); });
      return;
    }
    const double q = hydrogenSum(v);
    double dFeed = consumed ? m * q + kFuelGasHydrogen * g / 100.0 - v(m_feedHyd) / 100.0
                            : kFuelGasHydrogen * g / 100.0 - v(m_feedHyd) / 100.0 + m * q;
    dFeed += v(m_bias);
    for (std::size_t i = 0; i < m_slopes.size(); ++i) dFeed += v(m_drivers[i]) * v(m_slopes[i]);
    d.put(m_feed, dFeed);
    d.put(m_feedHyd, f / -100.0);
    d.put(m_fuelGas, kFuelGasHydrogen * f / 100.0);
    d.put(m_factor, q * f);
    d.put(m_h2, h2Sign * slope(m_h2));
    if (consumed) d.put(m_h2s, kH2SHydrogenShare * a * slope(m_h2s));
    d.put(m_c3, kPropaneHydrogen * a * slope(m_c3) / 100.0);
    for (const int y : {m_nc4, m_ic4}) d.put(y, kButaneHydrogen * a * slope(y) / 100.0);
    liquids([&](const Liquid& l) {
      d.put(l.frac, a * v(l.hyd) * slope(l.frac) / 100.0);
      d.put(l.hyd, a * smoothFloor(v(l.frac)).value / 100.0);
    });
    d.put(m_bias, f);
    for (std::size_t i = 0; i < m_slopes.size(); ++i) {
      d.put(m_slopes[i], v(m_drivers[i]) * f);
      d.put(m_drivers[i], v(m_slopes[i]) * f);
    }
  }

  void startValues(const Values& v, PlacedStartValues& out) const override {
    out.clear();
    if (m_spec.unit == Unit::kHydrocracker) {
      out.emplace_back(m_factor, 1.0);
      out.emplace_back(m_bias, 0.0);
      for (const int s : m_slopes) out.emplace_back(s, 0.0);
      out.emplace_back(m_h2, kDefaultH2Consumed);
      return;
    }
    // The products' mass and hydrogen per unit of the mass factor, from the
    // raw values; the fuel gas counts among the yields the factor multiplies.
    const double f = v(m_feed), g = v(m_fuelGas);
    const double c3 = v(m_c3), nc4 = v(m_nc4), ic4 = v(m_ic4);
    double yields = c3 + g + nc4 + ic4;
    double hydrogen = (kPropaneHydrogen * c3 / 100.0 + kFuelGasHydrogen * g / 100.0 + kButaneHydrogen * nc4 / 100.0 +
                       kButaneHydrogen * ic4 / 100.0) *
                      f;
    if (m_spec.group == 1) {
      yields += v(m_a.frac);
      hydrogen += v(m_a.hyd) * v(m_a.frac) / 100.0 * f;
    } else if (m_spec.group >= 2) {
      // Either pair: its yields the later product first, its hydrogen the earlier first.
      yields += v(m_b.frac) + v(m_a.frac);
      hydrogen += (v(m_a.hyd) * v(m_a.frac) / 100.0 + v(m_b.hyd) * v(m_b.frac) / 100.0) * f;
    }
    const double feedHydrogen = v(m_feedHyd) * f / 100.0;
    const double step = feedHydrogen / 10.0;
    std::array<double, kGridPoints> mf{}, h{};
    for (int i = 0; i < kGridPoints; ++i) {
      const double make = i * step;
      mf[i] = (f - make) / (yields * f);  // closes F = make + m * yields * F
      h[i] = feedHydrogen - make - hydrogen * mf[i];
    }
    const int i = lastSignChange(h);
    out.emplace_back(m_factor, i > 0 ? (mf[i - 1] + mf[i]) * 0.5 : 1.0);
    out.emplace_back(m_bias, 0.0);
    for (const int s : m_slopes) out.emplace_back(s, 0.0);
  }

 private:
  double g(const Values& v, int place) const { return smoothFloor(v(place)).value; }

  // P: the yields with their mass sign.
  double massSum(const Values& v) const {
    double p;
    if (m_spec.unit == Unit::kHydrocracker) {
      p = g(v, m_h2s) - g(v, m_h2) + g(v, m_c3) + g(v, m_nc4) + g(v, m_ic4) + g(v, m_lcn.frac) + g(v, m_hcn.frac) +
          g(v, m_uco.frac);
      if (m_spec.group == 1) p += g(v, m_a.frac);
      if (m_spec.group == 2) p += g(v, m_b.frac) + g(v, m_a.frac);
      return p;
    }
    p = g(v, m_c3) + g(v, m_h2) + g(v, m_nc4) + g(v, m_ic4);
    if (m_spec.group == 1) p += g(v, m_a.frac);
    if (m_spec.group == 2) p += g(v, m_b.frac) + g(v, m_a.frac);
    if (m_spec.group == 3) p += g(v, m_a.frac) + g(v, m_b.frac);
    return p;
  }

  // Q: the hydrogen the products carry per unit of M F.
  double hydrogenSum(const Values& v) const {
    auto share = [&](const Liquid& l) { return v(l.hyd) * g(v, l.frac) / 100.0; };      // content first
    auto shareOf = [&](const Liquid& l) { return g(v, l.frac) * v(l.hyd) / 100.0; };    // yield first
    double q;
    if (m_spec.unit == Unit::kHydrocracker) {
      q = kH2SHydrogenShare * g(v, m_h2s) - g(v, m_h2) + kPropaneHydrogen * g(v, m_c3) / 100.0 +
          kButaneHydrogen * g(v, m_nc4) / 100.0 + kButaneHydrogen * g(v, m_ic4) / 100.0 + share(m_lcn) + share(m_hcn) +
          share(m_uco);
      if (m_spec.group == 1) q += shareOf(m_a);
      if (m_spec.group == 2) q += share(m_a) + shareOf(m_b);
      return q;
    }
    q = kPropaneHydrogen * g(v, m_c3) / 100.0 + g(v, m_h2) + kButaneHydrogen * g(v, m_nc4) / 100.0 +
        kButaneHydrogen * g(v, m_ic4) / 100.0;
    if (m_spec.group == 1) q += share(m_a);
    if (m_spec.group == 2) q += shareOf(m_a) + share(m_b);
    if (m_spec.group == 3) q += shareOf(m_b) + shareOf(m_a);
    return q;
  }

  HydrogenSpec m_spec;
  int m_feed = -1, m_factor = -1, m_fuelGas = -1, m_feedHyd = -1, m_h2 = -1, m_h2s = -1;
  int m_c3 = -1, m_nc4 = -1, m_ic4 = -1, m_bias = -1;
  Liquid m_lcn, m_hcn, m_uco;  // the hydrocracker's fixed liquids
  Liquid m_a, m_b;             // the optional group's products (see HydrogenSpec)
  std::vector<int> m_slopes, m_drivers;  // the corrections but the bias, each slope with its driver
};

}  // namespace

std::unique_ptr<BalanceForm> hydrocrackerBalance(int selector) {
  std::vector<std::string> liquids{"LCN", "HCN"};
  if (selector == 1) liquids.push_back("KER");
  if (selector == 2 || selector == 3) {
    liquids.push_back("KER");
    liquids.push_back("DSL");
  }
  liquids.push_back("UCO");

  HydrogenSpec s;
  s.unit = Unit::kHydrocracker;
  s.group = selector == 1 ? 1 : (selector == 2 || selector == 3) ? 2 : 0;
  s.variables = {"MASSFACTOR", "FEEDMASS", "FEEDHYD", "H2FRAC", "FGSFRAC", "H2SFRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  s.rows[0] = {"FEEDMASS", "H2FRAC", "MASSFACTOR", "FGSFRAC", "H2SFRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  s.rows[1] = {"FEEDMASS", "FEEDHYD", "H2FRAC", "MASSFACTOR", "FGSFRAC", "H2SFRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  for (const std::string& p : liquids) {
    s.variables.push_back(p + "FRAC");
    s.variables.push_back(p + "HYD");
    s.rows[0].push_back(p + "FRAC");
    s.rows[1].push_back(p + "HYD");
    s.rows[1].push_back(p + "FRAC");
  }
  for (const char* c : {"HYDBALBIAS", "HYDBALSLOPECONV", "HYDBALSLOPESG", "CONVERSION", "FEEDSG"}) {
    s.variables.push_back(c);
    s.rows[1].push_back(c);
  }
  return std::make_unique<HydrogenBalance>(std::move(s));
}

std::unique_ptr<BalanceForm> reformerBalance(int selector) {
  std::vector<std::string> products;
  if (selector == 0) products = {"RFT"};
  if (selector == 1) products = {"RF1", "RF2"};
  if (selector == 2) products = {"ARO", "RAF"};

  HydrogenSpec s;
  s.unit = Unit::kReformer;
  s.group = selector >= 0 && selector <= 2 ? selector + 1 : 0;
  s.variables = {"MASSFACTOR", "FEEDMASS", "H2FRAC", "FGSFRAC", "C3FRAC", "NC4FRAC", "IC4FRAC", "FEEDHYD"};
  s.rows[0] = {"FEEDMASS", "FGSFRAC", "MASSFACTOR", "H2FRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  s.rows[1] = {"FEEDMASS", "FEEDHYD", "FGSFRAC", "MASSFACTOR", "H2FRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  // The aromatics layout registers both yields before both contents.
  if (selector == 2) {
    s.variables.insert(s.variables.end(), {"AROFRAC", "RAFFRAC", "AROHYD", "RAFHYD"});
  } else {
    for (const std::string& p : products) s.variables.insert(s.variables.end(), {p + "FRAC", p + "HYD"});
  }
  for (const std::string& p : products) {
    s.rows[0].push_back(p + "FRAC");
    s.rows[1].push_back(p + "FRAC");
    s.rows[1].push_back(p + "HYD");
  }
  for (const char* c : {"HYDBALBIAS", "HYDBALSLOPETARGETRON", "HYDBALSLOPENAPH", "HYDBALSLOPEAROM", "TARGETRON",
                        "FEEDNAPH", "FEEDAROM"}) {
    s.variables.push_back(c);
    s.rows[1].push_back(c);
  }
  return std::make_unique<HydrogenBalance>(std::move(s));
}

}  // namespace tuning
