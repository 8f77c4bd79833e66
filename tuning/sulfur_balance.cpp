// The sulfur forms of the tuning balance: coker, visbreaker and FCC.
//
// With F = FEEDMASS, M = MASSFACTOR, s = FEEDSUL, FS = s F / 100 (feed sulfur
// mass), S = sum of g(yield) over the unit's yields, T = sum of g(fraction) *
// g(relative sulfur) over its sulfur-carrying products, and the H2S mass X:
//   MASS_BAL   = S M F + X - F
//   SULFUR_BAL = T FS M + 0.9408501188936436 X - FS
// The coker and visbreaker carry X itself as H2SMASS (unfloored); the FCC
// carries the yield H2SFRAC = h, with X = g(h) F. The H2S is not scaled by the
// mass factor.
//
// Starting values: the grid of eleven H2S masses from 0 to the mass that would
// carry all feed sulfur; at each, the mass balance gives the mass factor, and
// the sulfur residual q (relative sulfur factors summed unweighted) is
// bracketed at its last strict sign change.
//
// Each sum is added in the unit's own order (the FCC's optional cuts MCN and
// HCO last), which need not be the order of the pattern, so that every value
// is the same to the last bit whichever order the rows list the streams in.
// The FCC's rows write their terms in its own order too: g'(y) M F for a
// yield, and T M s / 100 + 0.94085 h - s / 100 and T M F / 100 - F / 100 for
// FEEDMASS and FEEDSUL in the sulfur row.
#include <cmath>
#include <stdexcept>

#include "tuning/balance_form.h"

namespace tuning {

namespace {

enum class H2SVariable { kMass, kYield };

struct SulfurSpec {
  std::vector<std::string> yields;          // streams with a <S>FRAC, pattern order
  std::vector<std::string> sulfurStreams;   // streams with a <S>RELSUL, pattern order
  H2SVariable h2s = H2SVariable::kMass;
  // The orders of the sums: the yields (S, and the start's sum of yields), the
  // sulfur pairs (T) and the start's plain sum of relative sulfur. Empty: the
  // pattern order.
  std::vector<std::string> yieldSum, sulfurSum, relSulStartSum;
};

class SulfurBalance final : public BalanceForm {
 public:
  explicit SulfurBalance(SulfurSpec spec) : m_spec(std::move(spec)) {
    m_h2s = m_spec.h2s == H2SVariable::kMass ? "H2SMASS" : "H2SFRAC";
    for (const std::string& y : m_spec.yields) m_yields.push_back(y + "FRAC");
    for (const std::string& p : m_spec.sulfurStreams) m_pairs.push_back({p + "RELSUL", p + "FRAC"});

    m_variables = {"MASSFACTOR", m_h2s, "FEEDMASS"};
    m_variables.insert(m_variables.end(), m_yields.begin(), m_yields.end());
    m_variables.push_back("FEEDSUL");
    for (const Pair& p : m_pairs) m_variables.push_back(p.relSul);

    m_rows[0] = {"FEEDMASS", m_h2s, "MASSFACTOR"};
    m_rows[0].insert(m_rows[0].end(), m_yields.begin(), m_yields.end());
    m_rows[1] = {"FEEDMASS", "FEEDSUL", m_h2s, "MASSFACTOR"};
    for (const Pair& p : m_pairs) {
      m_rows[1].push_back(p.relSul);
      m_rows[1].push_back(p.frac);
    }

    // Every name the rows read, by its place.
    m_feed = placeIn(m_variables, "FEEDMASS");
    m_factor = placeIn(m_variables, "MASSFACTOR");
    m_sulfur = placeIn(m_variables, "FEEDSUL");
    m_h2sAt = placeIn(m_variables, m_h2s);
    for (const std::string& y : m_yields) m_yieldAt.push_back(placeIn(m_variables, y));
    for (Pair& p : m_pairs) {
      p.relSulAt = placeIn(m_variables, p.relSul);
      p.fracAt = placeIn(m_variables, p.frac);
    }
    auto places = [&](const std::vector<std::string>& order, const std::vector<std::string>& byDefault,
                      const char* suffix) {
      std::vector<int> at;
      for (const std::string& stream : order.empty() ? byDefault : order)
        at.push_back(placeIn(m_variables, stream + suffix));
      return at;
    };
    m_yieldSumAt = places(m_spec.yieldSum, m_spec.yields, "FRAC");
    for (const int relSul : places(m_spec.sulfurSum, m_spec.sulfurStreams, "RELSUL"))
      for (std::size_t k = 0; k < m_pairs.size(); ++k)
        if (m_pairs[k].relSulAt == relSul) m_pairSum.push_back(k);
    m_relSulStartAt = places(m_spec.relSulStartSum, m_spec.sulfurStreams, "RELSUL");
  }

  const std::vector<std::string>& variables() const override { return m_variables; }
  std::array<std::string, 2> freed() const override { return {"MASSFACTOR", m_h2s}; }
  const char* secondBalance() const override { return "SULFUR_BAL"; }
  const std::vector<std::string>& row(int k) const override { return m_rows.at(static_cast<std::size_t>(k)); }

  double residual(int k, const Values& v) const override {
    const Terms t = terms(v);
    if (k == 0) return t.S * (t.M * t.F) + t.X - t.F;
    return t.T * (t.FS * t.M) + kH2SSulfurShare * t.X - t.FS;
  }

  void gradient(int k, const Values& v, Gradient& d) const override {
    const Terms t = terms(v);
    d.reset(m_variables.size());
    if (k == 0) {
      d.put(m_feed, t.S * t.M + t.dXdF - 1.0);
      d.put(m_h2sAt, t.dXdh);
      d.put(m_factor, t.S * t.F);
      for (const int y : m_yieldAt) {
        const double slope = smoothFloor(v(y)).slope;
        d.put(y, m_spec.h2s == H2SVariable::kMass ? t.M * t.F * slope : slope * t.M * t.F);
      }
      return;
    }
    if (m_spec.h2s == H2SVariable::kMass) {
      d.put(m_feed, (t.T * t.M * t.s - t.s) / 100.0 + kH2SSulfurShare * t.dXdF);
      d.put(m_sulfur, (t.T * t.M * t.F - t.F) / 100.0);
    } else {
      d.put(m_feed, t.T * t.M * t.s / 100.0 + t.dXdF * kH2SSulfurShare - t.s / 100.0);
      d.put(m_sulfur, t.T * t.M * t.F / 100.0 - t.F / 100.0);
    }
    d.put(m_h2sAt, kH2SSulfurShare * t.dXdh);
    d.put(m_factor, t.T * t.F * t.s / 100.0);
    for (const Pair& p : m_pairs) {
      const Floored r = smoothFloor(v(p.relSulAt));
      const Floored x = smoothFloor(v(p.fracAt));
      d.put(p.relSulAt, x.value * t.M * t.F * t.s * r.slope / 100.0);
      d.put(p.fracAt, r.value * t.M * t.F * t.s * x.slope / 100.0);
    }
  }

  void startValues(const Values& v, PlacedStartValues& out) const override {
    double sumYields = 0.0, sumRelSul = 0.0;  // raw values, not floored
    for (const int y : m_yieldSumAt) sumYields += v(y);
    for (const int r : m_relSulStartAt) sumRelSul += v(r);
    const double f = v(m_feed);
    const double s = v(m_sulfur);
    const double fs = s * f / 100.0;
    const double hMax = fs * kH2SMolarMass / kSulfurMolarMass;  // all feed sulfur as H2S
    const double step = (hMax - 0.0) / 10.0;

    std::array<double, kGridPoints> h{}, m{}, q{};
    for (int i = 0; i < kGridPoints; ++i) {
      h[i] = i * step + 0.0;
      m[i] = (f - h[i]) / (sumYields * f);
      q[i] = fs - h[i] * kSulfurMolarMass / kH2SMolarMass - f * m[i] * s / 100.0 * sumRelSul;
    }
    double factor = 1.0;
    double mass = (hMax + 0.0) * 0.5;
    if (const int i = lastSignChange(q); i > 0) {
      factor = (m[i] + m[i - 1]) * 0.5;
      mass = (h[i] + h[i - 1]) * 0.5;
    }
    out.clear();
    out.emplace_back(m_factor, factor);
    out.emplace_back(m_h2sAt, m_spec.h2s == H2SVariable::kMass ? mass : mass / f);
  }

 private:
  struct Terms {
    double F, M, s, FS, S, T;
    double X;     // H2S mass
    double dXdF;  // its derivative by FEEDMASS
    double dXdh;  // by the H2S variable
  };

  Terms terms(const Values& v) const {
    Terms t{};
    t.F = v(m_feed);
    t.M = v(m_factor);
    t.s = v(m_sulfur);
    t.FS = t.s * t.F / 100.0;
    for (const int y : m_yieldSumAt) t.S += smoothFloor(v(y)).value;
    for (const std::size_t k : m_pairSum)
      t.T += smoothFloor(v(m_pairs[k].fracAt)).value * smoothFloor(v(m_pairs[k].relSulAt)).value;
    if (m_spec.h2s == H2SVariable::kMass) {
      t.X = v(m_h2sAt);
      t.dXdF = 0.0;
      t.dXdh = 1.0;
    } else {
      const Floored h = smoothFloor(v(m_h2sAt));
      t.X = h.value * t.F;
      t.dXdF = h.value;
      t.dXdh = h.slope * t.F;
    }
    return t;
  }

  // A sulfur-carrying product: its relative sulfur and its yield.
  struct Pair {
    std::string relSul;
    std::string frac;
    int relSulAt = -1, fracAt = -1;  // places
  };

  SulfurSpec m_spec;
  std::vector<std::string> m_yields;  // <S>FRAC of every yield
  std::vector<Pair> m_pairs;
  std::string m_h2s;
  std::vector<std::string> m_variables;
  std::array<std::vector<std::string>, 2> m_rows;
  // Places of FEEDMASS, MASSFACTOR, FEEDSUL, the H2S variable and the yields.
  int m_feed = -1, m_factor = -1, m_sulfur = -1, m_h2sAt = -1;
  std::vector<int> m_yieldAt;
  // The sums' orders: places of the yields, positions in m_pairs, places of
  // the relative sulfur of the start.
  std::vector<int> m_yieldSumAt;
  std::vector<std::size_t> m_pairSum;
  std::vector<int> m_relSulStartAt;
};

}  // namespace

std::unique_ptr<BalanceForm> cokerBalance() {
  SulfurSpec spec;
  spec.yields = {"FGS", "C3", "C32", "NC4", "IC4", "UC4", "LCN", "HCN", "LGO", "HGO", "COK"};
  spec.sulfurStreams = {"LCN", "HCN", "LGO", "HGO", "COK"};
  spec.yieldSum = {"C3", "FGS", "C32", "NC4", "IC4", "UC4", "LCN", "HCN", "LGO", "HGO", "COK"};
  return std::make_unique<SulfurBalance>(std::move(spec));
}

std::unique_ptr<BalanceForm> visbreakerBalance() {
  SulfurSpec spec;
  spec.yields = {"FGS", "C3", "C32", "NC4", "IC4", "UC4", "NAP", "LGO", "HGO", "TAR"};
  spec.sulfurStreams = {"NAP", "LGO", "HGO", "TAR"};
  spec.yieldSum = {"C3", "FGS", "C32", "NC4", "IC4", "UC4", "NAP", "LGO", "HGO", "TAR"};
  return std::make_unique<SulfurBalance>(std::move(spec));
}

std::unique_ptr<BalanceForm> fccBalance(bool hasMCN, bool hasHCO) {
  SulfurSpec spec;
  spec.yields = {"FGS", "C3", "C32", "NC4", "IC4", "UC4", "C5S", "LCN"};
  spec.sulfurStreams = {"C5S", "LCN"};
  spec.h2s = H2SVariable::kYield;
  if (hasMCN) {
    spec.yields.push_back("MCN");
    spec.sulfurStreams.push_back("MCN");
  }
  for (const char* p : {"HCN", "LCO"}) {
    spec.yields.push_back(p);
    spec.sulfurStreams.push_back(p);
  }
  if (hasHCO) {
    spec.yields.push_back("HCO");
    spec.sulfurStreams.push_back("HCO");
  }
  for (const char* p : {"BOT", "COK"}) {
    spec.yields.push_back(p);
    spec.sulfurStreams.push_back(p);
  }
  // The sums take the optional cuts last.
  spec.yieldSum = {"C3", "FGS", "C32", "NC4", "IC4", "UC4", "C5S", "LCN", "HCN", "LCO", "BOT", "COK"};
  spec.sulfurSum = {"C5S", "LCN", "HCN", "LCO", "BOT", "COK"};
  spec.relSulStartSum = {"LCN", "C5S", "HCN", "LCO", "BOT", "COK"};
  for (auto* order : {&spec.yieldSum, &spec.sulfurSum, &spec.relSulStartSum}) {
    if (hasMCN) order->push_back("MCN");
    if (hasHCO) order->push_back("HCO");
  }
  return std::make_unique<SulfurBalance>(std::move(spec));
}

// ---- Shared helpers --------------------------------------------------------------

double Values::operator()(int place) const {
  if (place < 0) throw std::out_of_range("invalid map<K, T> key");  // a name the block does not have
  const auto at = static_cast<std::size_t>(place);
  if (m_byName) return (*m_byName)(m_names->at(at));
  return m_x.at(m_first + m_localIndex->at(at) - 1);
}

StartValues BalanceForm::startValues(const ValueOf& v) const {
  PlacedStartValues placed;
  startValues(Values(v, variables()), placed);
  StartValues byName;
  for (const auto& [place, value] : placed) byName.emplace_back(variables().at(static_cast<std::size_t>(place)), value);
  return byName;
}

std::map<std::string, double> BalanceForm::gradient(int k, const ValueOf& v) const {
  Gradient d;
  gradient(k, Values(v, variables()), d);
  std::map<std::string, double> byName;
  for (std::size_t i = 0; i < d.set.size(); ++i)
    if (d.set[i]) byName[variables()[i]] = d.value[i];
  return byName;
}

int placeIn(const std::vector<std::string>& variables, const std::string& name) {
  for (std::size_t i = variables.size(); i-- > 0;)
    if (variables[i] == name) return static_cast<int>(i);
  return -1;
}

Floored smoothFloor(double x) {
  constexpr double kFloor = 1e-19;
  if (x > kFloor) return {x, 1.0};
  // c * exp(x / c - 1) and exp(x / c - 1), with 1/e folded into the constants.
  const double e = std::exp(x / kFloor);
  return {3.678794411714423e-20 * e, 0.36787944117144233 * e};
}

int lastSignChange(const std::array<double, kGridPoints>& q) {
  int found = -1;
  for (int i = 1; i < kGridPoints; ++i) {
    if ((q[i] > 0.0 && q[i - 1] < 0.0) || (q[i] < 0.0 && q[i - 1] > 0.0)) found = i;
  }
  return found;
}

}  // namespace tuning
