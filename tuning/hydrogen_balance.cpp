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
};

struct Correction {
  std::string slope;
  std::string driver;  // empty: the bias, driven by 1
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
  explicit HydrogenBalance(HydrogenSpec spec) : m_spec(std::move(spec)) {}

  const std::vector<std::string>& variables() const override { return m_spec.variables; }
  std::array<std::string, 2> freed() const override { return {"MASSFACTOR", "FGSFRAC"}; }
  const char* secondBalance() const override { return "HYDROGEN_BAL"; }
  const std::vector<std::string>& row(int k) const override { return m_spec.rows.at(static_cast<std::size_t>(k)); }

  double residual(int k, const ValueOf& v) const override {
    const double f = v("FEEDMASS"), m = v("MASSFACTOR"), g = v("FGSFRAC");
    if (k == 0) return m * f * massSum(v) + g * f - f;
    double r = m * f * hydrogenSum(v) + kFuelGasHydrogen * g * f / 100.0;
    for (const Correction& c : m_spec.corrections) r += v(c.slope) * driver(c, v) * f;
    return r - v("FEEDHYD") * f / 100.0;
  }

  std::map<std::string, double> gradient(int k, const ValueOf& v) const override {
    const double f = v("FEEDMASS"), m = v("MASSFACTOR"), g = v("FGSFRAC");
    const double a = m * f;
    std::map<std::string, double> d;
    if (k == 0) {
      const double p = massSum(v);
      d["FEEDMASS"] = m * p + g - 1.0;
      d["MASSFACTOR"] = p * f;
      d["FGSFRAC"] = f;
      for (const YieldTerm& t : m_spec.terms) d[t.yield] = a * t.sign * smoothFloor(v(t.yield)).slope;
      return d;
    }
    const double q = hydrogenSum(v);
    double dFeed = m * q + kFuelGasHydrogen * g / 100.0 - v("FEEDHYD") / 100.0;
    for (const Correction& c : m_spec.corrections) {
      dFeed += v(c.slope) * driver(c, v);
      d[c.slope] = driver(c, v) * f;
      if (!c.driver.empty()) d[c.driver] = v(c.slope) * f;
    }
    d["FEEDMASS"] = dFeed;
    d["FEEDHYD"] = f / -100.0;
    d["MASSFACTOR"] = q * f;
    d["FGSFRAC"] = kFuelGasHydrogen * f / 100.0;
    for (const YieldTerm& t : m_spec.terms) {
      const Floored y = smoothFloor(v(t.yield));
      d[t.yield] = a * t.share * content(t, v) * y.slope;
      if (!t.content.empty()) d[t.content] = a * t.share * y.value;
    }
    return d;
  }

  StartValues startValues(const ValueOf& v) const override {
    StartValues out;
    if (m_spec.start == Start::kDefaults) {
      out.emplace_back("MASSFACTOR", 1.0);
      for (const Correction& c : m_spec.corrections) out.emplace_back(c.slope, 0.0);
      out.emplace_back("H2FRAC", kDefaultH2Consumed);
      return out;
    }
    // The products' mass and hydrogen per unit of the mass factor (raw values;
    // the fuel gas counts among the yields the factor multiplies here).
    const double f = v("FEEDMASS");
    const double g = v("FGSFRAC");
    double yields = g;
    double hydrogen = kFuelGasHydrogen * g / 100.0;
    for (const YieldTerm& t : m_spec.terms) {
      if (!t.inStartGrid) continue;
      yields += v(t.yield);
      hydrogen += t.share * content(t, v) * v(t.yield);
    }
    hydrogen *= f;
    const double feedHydrogen = v("FEEDHYD") * f / 100.0;
    const double step = feedHydrogen / 10.0;
    std::array<double, kGridPoints> m{}, h{};
    for (int i = 0; i < kGridPoints; ++i) {
      const double make = i * step;
      m[i] = (f - make) / (yields * f);  // closes F = make + m * yields * F
      h[i] = feedHydrogen - make - hydrogen * m[i];
    }
    const int i = lastSignChange(h);
    out.emplace_back("MASSFACTOR", i > 0 ? (m[i - 1] + m[i]) * 0.5 : 1.0);
    for (const Correction& c : m_spec.corrections) out.emplace_back(c.slope, 0.0);
    return out;
  }

 private:
  static double driver(const Correction& c, const ValueOf& v) { return c.driver.empty() ? 1.0 : v(c.driver); }
  static double content(const YieldTerm& t, const ValueOf& v) { return t.content.empty() ? 1.0 : v(t.content); }

  double massSum(const ValueOf& v) const {
    double p = 0.0;
    for (const YieldTerm& t : m_spec.terms) p += t.sign * smoothFloor(v(t.yield)).value;
    return p;
  }
  double hydrogenSum(const ValueOf& v) const {
    double q = 0.0;
    for (const YieldTerm& t : m_spec.terms) q += t.share * content(t, v) * smoothFloor(v(t.yield)).value;
    return q;
  }

  HydrogenSpec m_spec;
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
