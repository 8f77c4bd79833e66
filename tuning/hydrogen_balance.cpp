// The hydrogen forms of the tuning balance: hydrocracker and reformer.
//
// With F = FEEDMASS, M = MASSFACTOR, G = FGSFRAC (never floored, not scaled by
// the mass factor), each yield term y with its mass sign and hydrogen share
// (a constant, or a constant times the stream's hydrogen content in percent):
//   P = sum of sign(y) g(y)          Q = sum of share(y) g(y)
//   MASS_BAL     = M F P + G F - F
//   HYDROGEN_BAL = M F Q + 22.6 G F / 100 + sum of slope * driver * F - FEEDHYD F / 100
// where the correction terms are HYDBALBIAS (driver 1) and each slope on its
// driver variable. Hydrogen is consumed in the hydrocracker (sign -1) and
// made in the reformer (sign +1).
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

struct YieldTerm {
  std::string yield;     // the yield variable, floored
  double sign;           // +1 or -1 in the mass balance
  double share;          // hydrogen mass per unit yield (times the content, when there is one)
  std::string content;   // hydrogen content variable in percent; empty: none
  bool inStartGrid;      // counted by the reformer's starting-value grid
  int yieldAt = -1, contentAt = -1;  // places
};

struct Correction {
  std::string slope;
  std::string driver;  // empty: the bias, driven by 1
  int slopeAt = -1, driverAt = -1;  // places
};

enum class Start { kDefaults, kGrid };

struct HydrogenSpec {
  std::vector<std::string> variables;
  std::array<std::vector<std::string>, 2> rows;
  std::vector<YieldTerm> terms;
  std::vector<Correction> corrections;
  Start start;
};

class HydrogenBalance final : public BalanceForm {
 public:
  explicit HydrogenBalance(HydrogenSpec spec) : m_spec(std::move(spec)) {
    const std::vector<std::string>& vars = m_spec.variables;
    m_feed = placeIn(vars, "FEEDMASS");
    m_factor = placeIn(vars, "MASSFACTOR");
    m_fuelGas = placeIn(vars, "FGSFRAC");
    m_feedHyd = placeIn(vars, "FEEDHYD");
    m_h2 = placeIn(vars, "H2FRAC");
    for (YieldTerm& t : m_spec.terms) {
      t.yieldAt = placeIn(vars, t.yield);
      if (!t.content.empty()) t.contentAt = placeIn(vars, t.content);
    }
    for (Correction& c : m_spec.corrections) {
      c.slopeAt = placeIn(vars, c.slope);
      if (!c.driver.empty()) c.driverAt = placeIn(vars, c.driver);
    }
  }

  const std::vector<std::string>& variables() const override { return m_spec.variables; }
  std::array<std::string, 2> freed() const override { return {"MASSFACTOR", "FGSFRAC"}; }
  const char* secondBalance() const override { return "HYDROGEN_BAL"; }
  const std::vector<std::string>& row(int k) const override { return m_spec.rows.at(static_cast<std::size_t>(k)); }

  double residual(int k, const Values& v) const override {
    const double f = v(m_feed), m = v(m_factor), g = v(m_fuelGas);
    if (k == 0) return m * f * massSum(v) + g * f - f;
    double r = m * f * hydrogenSum(v) + kFuelGasHydrogen * g * f / 100.0;
    for (const Correction& c : m_spec.corrections) r += v(c.slopeAt) * driver(c, v) * f;
    return r - v(m_feedHyd) * f / 100.0;
  }

  void gradient(int k, const Values& v, Gradient& d) const override {
    const double f = v(m_feed), m = v(m_factor), g = v(m_fuelGas);
    const double a = m * f;
    d.reset(m_spec.variables.size());
    if (k == 0) {
      const double p = massSum(v);
      d.put(m_feed, m * p + g - 1.0);
      d.put(m_factor, p * f);
      d.put(m_fuelGas, f);
      for (const YieldTerm& t : m_spec.terms) d.put(t.yieldAt, a * t.sign * smoothFloor(v(t.yieldAt)).slope);
      return;
    }
    const double q = hydrogenSum(v);
    double dFeed = m * q + kFuelGasHydrogen * g / 100.0 - v(m_feedHyd) / 100.0;
    for (const Correction& c : m_spec.corrections) {
      dFeed += v(c.slopeAt) * driver(c, v);
      d.put(c.slopeAt, driver(c, v) * f);
      if (!c.driver.empty()) d.put(c.driverAt, v(c.slopeAt) * f);
    }
    d.put(m_feed, dFeed);
    d.put(m_feedHyd, f / -100.0);
    d.put(m_factor, q * f);
    d.put(m_fuelGas, kFuelGasHydrogen * f / 100.0);
    for (const YieldTerm& t : m_spec.terms) {
      const Floored y = smoothFloor(v(t.yieldAt));
      d.put(t.yieldAt, a * t.share * content(t, v) * y.slope);
      if (!t.content.empty()) d.put(t.contentAt, a * t.share * y.value);
    }
  }

  void startValues(const Values& v, PlacedStartValues& out) const override {
    out.clear();
    if (m_spec.start == Start::kDefaults) {
      out.emplace_back(m_factor, 1.0);
      for (const Correction& c : m_spec.corrections) out.emplace_back(c.slopeAt, 0.0);
      out.emplace_back(m_h2, kDefaultH2Consumed);
      return;
    }
    // The products' mass and hydrogen per unit of the mass factor (raw values;
    // the fuel gas counts among the yields the factor multiplies here).
    const double f = v(m_feed);
    const double g = v(m_fuelGas);
    double yields = g;
    double hydrogen = kFuelGasHydrogen * g / 100.0;
    for (const YieldTerm& t : m_spec.terms) {
      if (!t.inStartGrid) continue;
      yields += v(t.yieldAt);
      hydrogen += t.share * content(t, v) * v(t.yieldAt);
    }
    hydrogen *= f;
    const double feedHydrogen = v(m_feedHyd) * f / 100.0;
    const double step = feedHydrogen / 10.0;
    std::array<double, kGridPoints> m{}, h{};
    for (int i = 0; i < kGridPoints; ++i) {
      const double make = i * step;
      m[i] = (f - make) / (yields * f);  // closes F = make + m * yields * F
      h[i] = feedHydrogen - make - hydrogen * m[i];
    }
    const int i = lastSignChange(h);
    out.emplace_back(m_factor, i > 0 ? (m[i - 1] + m[i]) * 0.5 : 1.0);
    for (const Correction& c : m_spec.corrections) out.emplace_back(c.slopeAt, 0.0);
  }

 private:
  static double driver(const Correction& c, const Values& v) { return c.driver.empty() ? 1.0 : v(c.driverAt); }
  static double content(const YieldTerm& t, const Values& v) { return t.content.empty() ? 1.0 : v(t.contentAt); }

  double massSum(const Values& v) const {
    double p = 0.0;
    for (const YieldTerm& t : m_spec.terms) p += t.sign * smoothFloor(v(t.yieldAt)).value;
    return p;
  }
  double hydrogenSum(const Values& v) const {
    double q = 0.0;
    for (const YieldTerm& t : m_spec.terms) q += t.share * content(t, v) * smoothFloor(v(t.yieldAt)).value;
    return q;
  }

  HydrogenSpec m_spec;
  // Places of FEEDMASS, MASSFACTOR, FGSFRAC, FEEDHYD and H2FRAC.
  int m_feed = -1, m_factor = -1, m_fuelGas = -1, m_feedHyd = -1, m_h2 = -1;
};

// A liquid product with its hydrogen content variable.
YieldTerm liquid(const std::string& stream) { return {stream + "FRAC", 1.0, 0.01, stream + "HYD", true}; }

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
  s.start = Start::kDefaults;
  s.variables = {"MASSFACTOR", "FEEDMASS", "FEEDHYD", "H2FRAC", "FGSFRAC", "H2SFRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  s.rows[0] = {"FEEDMASS", "H2FRAC", "MASSFACTOR", "FGSFRAC", "H2SFRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  s.rows[1] = {"FEEDMASS", "FEEDHYD", "H2FRAC", "MASSFACTOR", "FGSFRAC", "H2SFRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  // Hydrogen is consumed: it counts against the products in both balances.
  s.terms = {{"H2FRAC", -1.0, -1.0, "", false},
             {"H2SFRAC", 1.0, kH2SHydrogenShare, "", false},
             {"C3FRAC", 1.0, kPropaneHydrogen / 100.0, "", false},
             {"NC4FRAC", 1.0, kButaneHydrogen / 100.0, "", false},
             {"IC4FRAC", 1.0, kButaneHydrogen / 100.0, "", false}};
  for (const std::string& p : liquids) {
    s.variables.push_back(p + "FRAC");
    s.variables.push_back(p + "HYD");
    s.rows[0].push_back(p + "FRAC");
    s.rows[1].push_back(p + "HYD");
    s.rows[1].push_back(p + "FRAC");
    s.terms.push_back(liquid(p));
  }
  s.corrections = {{"HYDBALBIAS", ""}, {"HYDBALSLOPECONV", "CONVERSION"}, {"HYDBALSLOPESG", "FEEDSG"}};
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
  s.start = Start::kGrid;
  s.variables = {"MASSFACTOR", "FEEDMASS", "H2FRAC", "FGSFRAC", "C3FRAC", "NC4FRAC", "IC4FRAC", "FEEDHYD"};
  s.rows[0] = {"FEEDMASS", "FGSFRAC", "MASSFACTOR", "H2FRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  s.rows[1] = {"FEEDMASS", "FEEDHYD", "FGSFRAC", "MASSFACTOR", "H2FRAC", "C3FRAC", "NC4FRAC", "IC4FRAC"};
  // Hydrogen is made: a product like the others, with hydrogen content 1.
  s.terms = {{"H2FRAC", 1.0, 1.0, "", false},
             {"C3FRAC", 1.0, kPropaneHydrogen / 100.0, "", true},
             {"NC4FRAC", 1.0, kButaneHydrogen / 100.0, "", true},
             {"IC4FRAC", 1.0, kButaneHydrogen / 100.0, "", true}};
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
    s.terms.push_back(liquid(p));
  }
  s.corrections = {{"HYDBALBIAS", ""},
                   {"HYDBALSLOPETARGETRON", "TARGETRON"},
                   {"HYDBALSLOPENAPH", "FEEDNAPH"},
                   {"HYDBALSLOPEAROM", "FEEDAROM"}};
  for (const char* c : {"HYDBALBIAS", "HYDBALSLOPETARGETRON", "HYDBALSLOPENAPH", "HYDBALSLOPEAROM", "TARGETRON",
                        "FEEDNAPH", "FEEDAROM"}) {
    s.variables.push_back(c);
    s.rows[1].push_back(c);
  }
  return std::make_unique<HydrogenBalance>(std::move(s));
}

}  // namespace tuning
