// The tuning balance: the unit form and slate chosen by RX, registrations and
// specifications, the balance rows at known points, the smooth floor,
// the starting values, and the base block that names no unit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <set>

#include "tests/support/framework_lists.h"
#include "tests/tuning/tuning_fixture.h"
#include "tuning/rotuningbalance.h"

namespace tuning_test {
namespace {

using tuning::BalanceForm;

rotuningbalance& balance(QivEOBlock* b) { return dynamic_cast<rotuningbalance&>(*b); }

// ---- Forms and slates ------------------------------------------------------------

struct ShapeCase {
  const char* rx;
  const char* form;  // the class made
  std::size_t variables;
  int nonZeros;
  const char* closure;  // the second variable user_ini frees
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.rx; }

const char* formOf(QivEOBlock* b) {
  if (dynamic_cast<rotuningbalanceCOK*>(b)) return "COK";
  if (dynamic_cast<rotuningbalanceVB*>(b)) return "VB";
  if (dynamic_cast<rotuningbalanceFCC*>(b)) return "FCC";
  if (dynamic_cast<rotuningbalanceHCR*>(b)) return "HCR";
  if (dynamic_cast<rotuningbalanceREF*>(b)) return "REF";
  return "base";
}

class BalanceShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(BalanceShape, FormSlateAndRegistrations) {
  const ShapeCase& c = GetParam();
  Session s(create("ROTUNINGBALANCE", {std::string("RX:") + c.rx}, "TB1"));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_STREQ(formOf(s.block), c.form);
  const rotuningbalance& b = balance(s.block);
  EXPECT_EQ(b.varIndex().size(), c.variables);
  EXPECT_EQ(b.varIndex().at("MASSFACTOR"), 1);
  EXPECT_EQ(b.varIndex().at(b.form()->variables().back()), static_cast<int>(c.variables));
  EXPECT_EQ(b.eqnIndex().at("MASS_BAL"), 1);
  EXPECT_EQ(b.eqnIndex().at(b.form()->secondBalance()), 2);

  auto& sys = s.system();
  EXPECT_EQ(sys.variables().size(), c.variables);
  EXPECT_EQ(sys.equations(), (std::vector<int>{11, 12}));
  EXPECT_EQ(sys.unknowns(), (std::vector<int>{s.number("MASSFACTOR"), s.number(c.closure)}));
  ASSERT_EQ(static_cast<int>(sys.nonZeros().size()), c.nonZeros);
  EXPECT_EQ(sys.nonZeros().front().nz, 501);
  EXPECT_EQ(sys.nonZeros().front().var, s.number("FEEDMASS"));
  EXPECT_EQ(sys.nonZeros().back().eqn, 12);
  EXPECT_EQ(s.impl().nzlast(), 500 + c.nonZeros);
}

INSTANTIATE_TEST_SUITE_P(
    Units, BalanceShape,
    ::testing::Values(ShapeCase{"COKER", "COK", 20, 28, "H2SMASS"}, ShapeCase{"VB_SKR", "VB", 18, 25, "H2SMASS"},
                      ShapeCase{"VB_COKER", "VB", 18, 25, "H2SMASS"},  // "VB" is tested before "COK"
                      ShapeCase{"FCC_GO_2N", "FCC", 22, 31, "H2SFRAC"},
                      ShapeCase{"FCC_GO_3N", "FCC", 24, 34, "H2SFRAC"},
                      ShapeCase{"FCC_GO_2N1H", "FCC", 24, 34, "H2SFRAC"},
                      ShapeCase{"FCC_GOR_3N1H", "FCC", 26, 37, "H2SFRAC"},
                      ShapeCase{"HCR_N", "HCR", 20, 31, "FGSFRAC"}, ShapeCase{"HCR_K", "HCR", 22, 34, "FGSFRAC"},
                      ShapeCase{"HCR_D", "HCR", 24, 37, "FGSFRAC"}, ShapeCase{"HCR_MILD", "HCR", 24, 37, "FGSFRAC"},
                      ShapeCase{"HCR_OTHER", "HCR", 20, 31, "FGSFRAC"},  // as HCR_N
                      ShapeCase{"REF_SEMI_1R", "REF", 17, 25, "FGSFRAC"},
                      ShapeCase{"REF_CONT_2R", "REF", 19, 28, "FGSFRAC"},
                      ShapeCase{"REF_SEMI_A", "REF", 19, 28, "FGSFRAC"},
                      ShapeCase{"REF_OTHER", "REF", 15, 22, "FGSFRAC"}),  // no liquid product
    [](const auto& info) { return std::string(info.param.rx); });

TEST(TuningBalance, SlatesFollowTheExactText) {
  EXPECT_FALSE(rotuningbalanceFCC("TB1", "fcc_go_3n1h").hasMCN());  // lower case: no flag
  EXPECT_TRUE(rotuningbalanceFCC("TB1", "FCC_GOR_3N").hasMCN());
  EXPECT_FALSE(rotuningbalanceFCC("TB1", "FCC_GOR_3N").hasHCO());
  EXPECT_EQ(rotuningbalanceHCR("TB1", "HCR_MILD").selector(), 3);
  EXPECT_EQ(rotuningbalanceHCR("TB1", "HCR_D").varIndex(), rotuningbalanceHCR("TB1", "HCR_MILD").varIndex());
  EXPECT_EQ(rotuningbalanceREF("TB1", "REF_CONT_A").selector(), 2);
  const rotuningbalanceREF aromatics("TB1", "REF_CONT_A");  // both yields before both contents
  EXPECT_EQ(aromatics.varIndex().at("RAFFRAC"), 10);
  EXPECT_EQ(aromatics.varIndex().at("AROHYD"), 11);
}

// Every form's Jacobian is written by walking its rows through its gradient:
// the gradient must name exactly the row's variables, each once, each a variable of the block.
TEST(TuningBalance, GradientsNameExactlyTheRowVariables) {
  std::vector<std::unique_ptr<BalanceForm>> forms;
  forms.push_back(tuning::cokerBalance());
  forms.push_back(tuning::visbreakerBalance());
  for (bool mcn : {false, true})
    for (bool hco : {false, true}) forms.push_back(tuning::fccBalance(mcn, hco));
  for (int sel : {-1, 0, 1, 2, 3}) forms.push_back(tuning::hydrocrackerBalance(sel));
  for (int sel : {-1, 0, 1, 2}) forms.push_back(tuning::reformerBalance(sel));
  const tuning::ValueOf v = [](const std::string&) { return 0.7; };
  for (const auto& f : forms) {
    const std::set<std::string> all(f->variables().begin(), f->variables().end());
    EXPECT_EQ(all.size(), f->variables().size());
    for (int k = 0; k < 2; ++k) {
      const std::set<std::string> row(f->row(k).begin(), f->row(k).end());
      EXPECT_EQ(row.size(), f->row(k).size());
      std::set<std::string> named;
      for (const auto& [name, d] : f->gradient(k, v)) named.insert(name);
      EXPECT_EQ(named, row);
      for (const std::string& name : row) EXPECT_EQ(all.count(name), 1u) << name;
    }
  }
}

// ---- Balance rows at known points -----------------------------------------------------

struct RowCase {
  const char* name;
  std::unique_ptr<BalanceForm> (*form)();
  Values values;     // others 0
  int row;
  double expected;
};

void PrintTo(const RowCase& c, std::ostream* os) { *os << c.name; }

tuning::ValueOf valuesOf(const Values& given) {
  return [given](const std::string& name) {
    for (const auto& [n, v] : given)
      if (n == name) return v;
    return 0.0;
  };
}

std::unique_ptr<BalanceForm> fcc2n() { return tuning::fccBalance(false, false); }
std::unique_ptr<BalanceForm> hcrN() { return tuning::hydrocrackerBalance(0); }
std::unique_ptr<BalanceForm> ref1r() { return tuning::reformerBalance(0); }

constexpr double kC = tuning::kH2SSulfurShare;
constexpr double kFloor0 = 3.678794411714423e-20;  // g(0) = 1e-19 / e

class BalanceRow : public ::testing::TestWithParam<RowCase> {};

TEST_P(BalanceRow, HasTheExpectedResidual) {
  const RowCase& c = GetParam();
  // Yields left at 0 enter at the floor, 3.7e-20 each: below the tolerance.
  EXPECT_NEAR(c.form()->residual(c.row, valuesOf(c.values)), c.expected, 1e-10);
}

INSTANTIATE_TEST_SUITE_P(
    Points, BalanceRow,
    ::testing::Values(
        RowCase{"FccYieldsCloseWithH2S", &fcc2n,
                {{"FEEDMASS", 1000}, {"MASSFACTOR", 1}, {"LCOFRAC", 0.5}, {"BOTFRAC", 0.47}, {"H2SFRAC", 0.03}}, 0,
                0.0},
        // Feed sulfur 20, product sulfur 10 (T = 0.5), H2S sulfur 10.
        RowCase{"FccSulfurCloses", &fcc2n,
                {{"FEEDMASS", 1000}, {"FEEDSUL", 2}, {"MASSFACTOR", 1}, {"BOTFRAC", 0.5}, {"BOTRELSUL", 1.0},
                 {"H2SFRAC", 10 / (1000 * kC)}},
                1, 0.0},
        RowCase{"CokerYieldsSumToOne", &tuning::cokerBalance,
                {{"FEEDMASS", 500}, {"MASSFACTOR", 1}, {"COKFRAC", 0.3}, {"LGOFRAC", 0.7}}, 0, 0.0},
        // All feed sulfur as H2S: the sulfur row keeps only the products' share.
        RowCase{"VisbreakerAllSulfurAsH2S", &tuning::visbreakerBalance,
                {{"FEEDMASS", 1000}, {"FEEDSUL", 3}, {"MASSFACTOR", 2}, {"TARFRAC", 0.5}, {"TARRELSUL", 0.4},
                 {"H2SMASS", 30 * 34.08088 / 32.065}},
                1, 0.2 * 30 * 2},
        RowCase{"HydrocrackerNoFeed", &hcrN, {{"MASSFACTOR", 1.3}, {"FGSFRAC", 0.2}, {"LCNFRAC", 0.4}}, 0, 0.0},
        RowCase{"HydrocrackerNoFeedHydrogen", &hcrN, {{"FEEDHYD", 12}, {"HYDBALBIAS", 3}, {"LCNHYD", 14}}, 1, 0.0},
        // A negative fuel-gas yield is not floored.
        RowCase{"HydrocrackerNegativeFuelGas", &hcrN,
                {{"FEEDMASS", 100}, {"MASSFACTOR", 1}, {"FGSFRAC", -0.1}, {"UCOFRAC", 0.5}}, 0, 50 - 10 - 100},
        // Hydrogen is consumed in the hydrocracker and made in the reformer.
        RowCase{"HydrocrackerHydrogenConsumed", &hcrN,
                {{"FEEDMASS", 100}, {"MASSFACTOR", 1}, {"FGSFRAC", 0.2}, {"UCOFRAC", 0.85}, {"H2FRAC", 0.05}}, 0, 0.0},
        RowCase{"ReformerHydrogenMade", &ref1r,
                {{"FEEDMASS", 100}, {"MASSFACTOR", 1}, {"FGSFRAC", 0.1}, {"RFTFRAC", 0.87}, {"H2FRAC", 0.03}}, 0, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

// Each unit adds its terms in its own order and groups, which is not always
// the pattern's: written out here term by term in that order, the rows, a
// few Jacobian entries and the reformer's start are the same to the last
// bit at random points (some yields under the floor's threshold).
TEST(TuningBalance, EachUnitSumsInItsOwnOrder) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> u(0.001, 0.3);
  auto g = [](double x) { return x > 1e-19 ? x : kFloor0 * std::exp(x / 1e-19); };
  int brackets = 0;
  for (int point = 0; point < 200; ++point) {
    std::map<std::string, double> x;
    for (const char* n : {"H2SFRAC", "H2FRAC", "C3FRAC", "NC4FRAC", "IC4FRAC", "FGSFRAC", "C32FRAC", "UC4FRAC",
                          "HYDBALBIAS", "HYDBALSLOPECONV", "HYDBALSLOPESG", "HYDBALSLOPETARGETRON",
                          "HYDBALSLOPENAPH", "HYDBALSLOPEAROM"})
      x[n] = u(rng);
    for (const char* p : {"LCN", "HCN", "KER", "DSL", "UCO", "RFT", "RF1", "RF2", "ARO", "RAF", "C5S", "MCN", "LCO",
                          "HCO", "BOT", "COK"}) {
      x[std::string(p) + "FRAC"] = point % 4 == 0 && p[0] == 'K' ? 0.0 : u(rng);  // KER under the threshold
      x[std::string(p) + "HYD"] = 10 + 20 * u(rng);
      x[std::string(p) + "RELSUL"] = (point % 2 == 0 ? 0.5 : 3) * u(rng);  // a bracket at every other point
    }
    x["FEEDMASS"] = 1e5 * u(rng);
    x["MASSFACTOR"] = 1 + u(rng) / 10;
    x["FEEDHYD"] = 12 + u(rng);
    x["FEEDSUL"] = 20 * u(rng);
    for (const char* n : {"CONVERSION", "FEEDSG", "TARGETRON", "FEEDNAPH", "FEEDAROM"}) x[n] = 100 * u(rng);
    const tuning::ValueOf v = [&](const std::string& n) { return x.at(n); };
    auto G = [&](const char* n) { return g(x.at(n)); };
    const double F = x["FEEDMASS"], M = x["MASSFACTOR"], A = M * F, fgs = x["FGSFRAC"], fh = x["FEEDHYD"];

    // The hydrocracker, kerosene and diesel (selectors 2 and 3).
    double P = G("H2SFRAC") - G("H2FRAC") + G("C3FRAC") + G("NC4FRAC") + G("IC4FRAC") + G("LCNFRAC") + G("HCNFRAC") +
               G("UCOFRAC") + (G("DSLFRAC") + G("KERFRAC"));
    double Q = 0.05914988110635641 * G("H2SFRAC") - G("H2FRAC") + 18.182 * G("C3FRAC") / 100 +
               17.24 * G("NC4FRAC") / 100 + 17.24 * G("IC4FRAC") / 100 + x["LCNHYD"] * G("LCNFRAC") / 100 +
               x["HCNHYD"] * G("HCNFRAC") / 100 + x["UCOHYD"] * G("UCOFRAC") / 100 +
               (x["KERHYD"] * G("KERFRAC") / 100 + G("DSLFRAC") * x["DSLHYD"] / 100);
    for (int sel : {2, 3}) {
      const auto hcr = tuning::hydrocrackerBalance(sel);
      EXPECT_EQ(hcr->residual(0, v), M * F * P + fgs * F - F);
      EXPECT_EQ(hcr->residual(1, v), M * F * Q + 22.6 * fgs * F / 100 + x["HYDBALBIAS"] * F +
                                         x["HYDBALSLOPECONV"] * F * x["CONVERSION"] +
                                         x["HYDBALSLOPESG"] * F * x["FEEDSG"] - fh * F / 100);
      const auto d = hcr->gradient(1, v);
      EXPECT_EQ(d.at("FEEDMASS"), M * Q + 22.6 * fgs / 100 - fh / 100 + x["HYDBALBIAS"] +
                                      x["CONVERSION"] * x["HYDBALSLOPECONV"] + x["FEEDSG"] * x["HYDBALSLOPESG"]);
      EXPECT_EQ(d.at("C3FRAC"), 18.182 * A * 1.0 / 100);
    }
    // The kerosene alone (selector 1) takes its yield first.
    P = G("H2SFRAC") - G("H2FRAC") + G("C3FRAC") + G("NC4FRAC") + G("IC4FRAC") + G("LCNFRAC") + G("HCNFRAC") +
        G("UCOFRAC") + G("KERFRAC");
    EXPECT_EQ(tuning::hydrocrackerBalance(1)->residual(0, v), M * F * P + fgs * F - F);

    // The reformer, each layout.
    const double light = G("C3FRAC") + G("H2FRAC") + G("NC4FRAC") + G("IC4FRAC");
    const double lightH = 18.182 * G("C3FRAC") / 100 + G("H2FRAC") + 17.24 * G("NC4FRAC") / 100 + 17.24 * G("IC4FRAC") / 100;
    const double refP[] = {light + G("RFTFRAC"), light + (G("RF2FRAC") + G("RF1FRAC")),
                           light + (G("AROFRAC") + G("RAFFRAC"))};
    const double refQ[] = {lightH + x["RFTHYD"] * G("RFTFRAC") / 100,
                           lightH + (G("RF1FRAC") * x["RF1HYD"] / 100 + x["RF2HYD"] * G("RF2FRAC") / 100),
                           lightH + (G("RAFFRAC") * x["RAFHYD"] / 100 + G("AROFRAC") * x["AROHYD"] / 100)};
    const double c3 = x["C3FRAC"], nc4 = x["NC4FRAC"], ic4 = x["IC4FRAC"];
    const double startS[] = {c3 + fgs + nc4 + ic4 + x["RFTFRAC"], c3 + fgs + nc4 + ic4 + (x["RF2FRAC"] + x["RF1FRAC"]),
                             c3 + fgs + nc4 + ic4 + (x["RAFFRAC"] + x["AROFRAC"])};
    const double startH0 = (18.182 * c3 / 100 + 22.6 * fgs / 100 + 17.24 * nc4 / 100 + 17.24 * ic4 / 100) * F;
    const double startH[] = {startH0 + x["RFTHYD"] * x["RFTFRAC"] / 100 * F,
                             startH0 + (x["RF1HYD"] * x["RF1FRAC"] / 100 + x["RF2HYD"] * x["RF2FRAC"] / 100) * F,
                             startH0 + (x["AROHYD"] * x["AROFRAC"] / 100 + x["RAFHYD"] * x["RAFFRAC"] / 100) * F};
    for (int sel = 0; sel < 3; ++sel) {
      const auto ref = tuning::reformerBalance(sel);
      EXPECT_EQ(ref->residual(0, v), M * F * refP[sel] + fgs * F - F) << sel;
      EXPECT_EQ(ref->residual(1, v), x["HYDBALSLOPETARGETRON"] * F * x["TARGETRON"] + x["HYDBALBIAS"] * F +
                                         x["HYDBALSLOPENAPH"] * F * x["FEEDNAPH"] +
                                         x["HYDBALSLOPEAROM"] * F * x["FEEDAROM"] +
                                         (M * F * refQ[sel] + 22.6 * fgs * F / 100) - fh * F / 100)
          << sel;
      EXPECT_EQ(ref->gradient(1, v).at("FEEDMASS"),
                22.6 * fgs / 100 - fh / 100 + M * refQ[sel] + x["HYDBALBIAS"] +
                    x["TARGETRON"] * x["HYDBALSLOPETARGETRON"] + x["FEEDNAPH"] * x["HYDBALSLOPENAPH"] +
                    x["FEEDAROM"] * x["HYDBALSLOPEAROM"])
          << sel;
      // The start's grid, bracketed as the form does it.
      const double hf = fh * F / 100, step = hf / 10;
      std::array<double, tuning::kGridPoints> m{}, h{};
      for (int i = 0; i < tuning::kGridPoints; ++i) {
        m[i] = (F - i * step) / (startS[sel] * F);
        h[i] = hf - i * step - startH[sel] * m[i];
      }
      const int i = tuning::lastSignChange(h);
      EXPECT_EQ(ref->startValues(v)[0].second, i > 0 ? (m[i - 1] + m[i]) * 0.5 : 1.0) << sel;
    }

    // The FCC with both optional cuts: MCN and HCO come last in each sum.
    double S = 0, Sf = 0, T = 0, Sr = 0;
    for (const char* y : {"C3", "FGS", "C32", "NC4", "IC4", "UC4", "C5S", "LCN", "HCN", "LCO", "BOT", "COK", "MCN", "HCO"}) {
      S += G((std::string(y) + "FRAC").c_str());
      Sf += x[std::string(y) + "FRAC"];
    }
    for (const char* p : {"C5S", "LCN", "HCN", "LCO", "BOT", "COK", "MCN", "HCO"})
      T += G((std::string(p) + "FRAC").c_str()) * G((std::string(p) + "RELSUL").c_str());
    for (const char* p : {"LCN", "C5S", "HCN", "LCO", "BOT", "COK", "MCN", "HCO"}) Sr += x[std::string(p) + "RELSUL"];
    const auto fcc = tuning::fccBalance(true, true);
    const double s = x["FEEDSUL"], w = s * F / 100, h2s = G("H2SFRAC");
    EXPECT_EQ(fcc->residual(0, v), M * F * S + h2s * F - F);
    EXPECT_EQ(fcc->residual(1, v), w * M * T + h2s * F * kC - w);
    const auto d = fcc->gradient(1, v);
    EXPECT_EQ(d.at("FEEDMASS"), T * M * s / 100 + h2s * kC - s / 100);
    EXPECT_EQ(d.at("FEEDSUL"), T * M * F / 100 - F / 100);
    const double hMax = w * 34.08088 / 32.065, step = (hMax - 0.0) / 10;
    std::array<double, tuning::kGridPoints> m{}, q{}, hs{};
    for (int i = 0; i < tuning::kGridPoints; ++i) {
      hs[i] = i * step + 0.0;
      m[i] = (F - hs[i]) / (Sf * F);
      q[i] = w - hs[i] * 32.065 / 34.08088 - F * m[i] * s / 100 * Sr;
    }
    const int i = tuning::lastSignChange(q);
    const double factor = i > 0 ? (m[i] + m[i - 1]) * 0.5 : 1.0;
    const double mass = i > 0 ? (hs[i] + hs[i - 1]) * 0.5 : (hMax + 0.0) * 0.5;
    EXPECT_EQ(fcc->startValues(v), (tuning::StartValues{{"MASSFACTOR", factor}, {"H2SFRAC", mass / F}}));
    brackets += i > 0;
  }
  EXPECT_GT(brackets, 50);  // the FCC's grid found its bracket often enough to be compared
}

TEST(TuningBalance, FloorSlopesEnterTheJacobian) {
  // A yield at 0 and H2SFRAC at 0 take the slope of the floor, 1/e.
  const auto f = fcc2n();
  const tuning::ValueOf v = valuesOf({{"FEEDMASS", 1000}, {"MASSFACTOR", 1.5}, {"LCOFRAC", 2e-19}});
  const auto d = f->gradient(0, v);
  EXPECT_DOUBLE_EQ(d.at("BOTFRAC"), 0.36787944117144233 * 1.5 * 1000);
  EXPECT_DOUBLE_EQ(d.at("LCOFRAC"), 1.5 * 1000);  // above the floor: slope 1
  EXPECT_DOUBLE_EQ(d.at("H2SFRAC"), 0.36787944117144233 * 1000);
  EXPECT_DOUBLE_EQ(f->gradient(1, v).at("H2SFRAC"), 0.36787944117144233 * 1000 * kC);
  EXPECT_DOUBLE_EQ(tuning::smoothFloor(0.0).value, kFloor0);
  // At the threshold itself the exponential branch is taken (strict test) and meets x and slope 1.
  EXPECT_NEAR(tuning::smoothFloor(1e-19).value, 1e-19, 1e-34);
  EXPECT_NEAR(tuning::smoothFloor(1e-19).slope, 1.0, 1e-15);
}

// A sulfur-carrying product without yield: in SULFUR_BAL its fraction enters
// through the floor's slope 1/e (not 1), its relative sulfur through the
// floor's value 1e-19 / e; the other products keep their plain terms.
struct ZeroYieldCase {
  const char* name;
  std::unique_ptr<BalanceForm> (*form)();
  const char* empty;  // the product without yield
  const char* other;  // a product with yield
};
void PrintTo(const ZeroYieldCase& c, std::ostream* os) { *os << c.name; }

class SulfurRowAtZeroYield : public ::testing::TestWithParam<ZeroYieldCase> {};

TEST_P(SulfurRowAtZeroYield, TakesTheFloorsSlopeAndValue) {
  const ZeroYieldCase& c = GetParam();
  const std::string empty = c.empty, other = c.other;
  const double F = 1000, M = 1.2, s = 2.5, r = 0.8, x = 0.4;
  const auto d = c.form()->gradient(1, valuesOf({{"FEEDMASS", F},
                                                 {"MASSFACTOR", M},
                                                 {"FEEDSUL", s},
                                                 {empty + "RELSUL", r},
                                                 {other + "FRAC", x},
                                                 {other + "RELSUL", r}}));
  const double scale = M * F * s / 100.0;
  EXPECT_DOUBLE_EQ(d.at(empty + "FRAC"), r * scale * 0.36787944117144233);
  EXPECT_DOUBLE_EQ(d.at(empty + "RELSUL"), kFloor0 * scale);
  EXPECT_DOUBLE_EQ(d.at(other + "FRAC"), r * scale);
  EXPECT_DOUBLE_EQ(d.at(other + "RELSUL"), x * scale);
}

INSTANTIATE_TEST_SUITE_P(Forms, SulfurRowAtZeroYield,
                         ::testing::Values(ZeroYieldCase{"Coker", &tuning::cokerBalance, "COK", "LGO"},
                                           ZeroYieldCase{"Visbreaker", &tuning::visbreakerBalance, "TAR", "NAP"},
                                           ZeroYieldCase{"Fcc", &fcc2n, "BOT", "LCO"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Starting values ---------------------------------------------------------------------

struct GridCase {
  std::array<double, tuning::kGridPoints> q;
  int expected;
};

TEST(TuningBalance, GridSignChanges) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<GridCase> cases{
      {{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, -1},
      {{3, 2, 1, 0.5, -1, -2, -3, -4, -5, -6, -7}, 4},
      {{1, 1, 1, -1, -1, -1, -1, -1, 1, 1, 1}, 8},      // the last change wins
      {{1, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1}, -1},  // a zero is neither sign
      {{1, nan, -1, -1, -1, -1, -1, -1, -1, -1, -1}, -1},
  };
  for (const GridCase& c : cases) EXPECT_EQ(tuning::lastSignChange(c.q), c.expected);
}

TEST(TuningBalance, StartingValuesWithoutABracket) {
  // No feed sulfur: every grid value 0, no sign change.
  const auto fcc = fcc2n()->startValues(valuesOf({{"FEEDMASS", 1000}, {"LCOFRAC", 0.9}}));
  EXPECT_EQ(fcc, (tuning::StartValues{{"MASSFACTOR", 1.0}, {"H2SFRAC", 0.0}}));
  // Every fraction 0: the grid is not finite; half the H2S that carries all feed sulfur.
  const auto cok = tuning::cokerBalance()->startValues(valuesOf({{"FEEDMASS", 1000}, {"FEEDSUL", 2}}));
  EXPECT_EQ(cok[0], (std::pair<std::string, double>{"MASSFACTOR", 1.0}));
  EXPECT_DOUBLE_EQ(cok[1].second, 20 * 34.08088 / 32.065 / 2);
  // The reformer without feed.
  EXPECT_EQ(ref1r()->startValues(valuesOf({{"RFTFRAC", 0.9}}))[0].second, 1.0);
  // The hydrocracker writes its defaults.
  EXPECT_EQ(hcrN()->startValues(valuesOf({})),
            (tuning::StartValues{{"MASSFACTOR", 1.0}, {"HYDBALBIAS", 0.0}, {"HYDBALSLOPECONV", 0.0},
                                 {"HYDBALSLOPESG", 0.0}, {"H2FRAC", 0.05}}));
}

TEST(TuningBalance, InitStoresOnlyFiniteStartingValues) {
  // No feed: the FCC's H2S yield would be 0 / 0 and keeps its value.
  romhost::SetUpPlan noFeed;
  noFeed.values = {{"FEEDMASS", 0.0}};
  Session fcc(create("ROTUNINGBALANCE", {"RX:FCC_GO_2N"}), noFeed);
  ASSERT_TRUE(fcc.setUp.ok()) << fcc.setUp.message;
  EXPECT_EQ(fcc.value("H2SFRAC"), 1.0);
}

// init writes the hydrogen forms' defaults into their fixed inputs: a block
// given no values starts from them, and the block's own init writes them over
// given values (the host writes the given values back afterwards).
TEST(TuningBalance, InitWritesTheHydrogenDefaults) {
  struct Defaults {
    const char* rx;
    Values written;
  };
  for (const Defaults& d :
       {Defaults{"HCR_K", {{"H2FRAC", 0.05}, {"HYDBALBIAS", 0.0}, {"HYDBALSLOPECONV", 0.0}, {"HYDBALSLOPESG", 0.0}}},
        Defaults{"REF_SEMI_1R",
                 {{"HYDBALBIAS", 0.0}, {"HYDBALSLOPETARGETRON", 0.0}, {"HYDBALSLOPENAPH", 0.0},
                  {"HYDBALSLOPEAROM", 0.0}}}}) {
    Session plain(create("ROTUNINGBALANCE", {std::string("RX:") + d.rx}));
    ASSERT_TRUE(plain.setUp.ok()) << plain.setUp.message;
    for (const auto& [name, v] : d.written) EXPECT_EQ(plain.value(name), v) << d.rx << " " << name;

    romhost::SetUpPlan given;
    given.values = {{"FEEDMASS", 100}};
    for (const auto& [name, v] : d.written) given.values.emplace_back(name, v + 0.25);
    Session s(create("ROTUNINGBALANCE", {std::string("RX:") + d.rx}), given);
    ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
    for (const auto& [name, v] : given.values) EXPECT_EQ(s.value(name), v) << d.rx << " " << name << " given";
    long long status = -1;
    s.block->init(status);
    EXPECT_EQ(status, 0);
    for (const auto& [name, v] : d.written) EXPECT_EQ(s.value(name), v) << d.rx << " " << name << " by init";
    EXPECT_EQ(s.value("FEEDMASS"), 100.0);
  }
}

// ---- Specifications and the framework's calls ---------------------------------------------

class SpecProbe : public rotuningbalanceCOK {
 public:
  SpecProbe() : rotuningbalanceCOK("TB1", "COKER") {}
  using rotuningbalance::setVarSpec;
};

TEST(TuningBalance, SpecificationsAreExactWords) {
  auto* probe = new SpecProbe();
  Session s(probe);
  ASSERT_TRUE(s.setUp.ok());
  long long st = 0;
  probe->setVarSpec("MASSFACTOR", "CONST", st);
  EXPECT_EQ(st, 0);
  probe->setVarSpec("MASSFACTOR", "calc", st);
  EXPECT_EQ(st, 1);
  EXPECT_TRUE(s.system().isFixed(s.number("MASSFACTOR")));
  EXPECT_THROW(probe->setVarSpec("NOT_A_VARIABLE", "CALC", st), std::out_of_range);
}

TEST(TuningBalance, ARefusedEquationRegistrationFailsTheSetUp) {
  for (const int offset : {-1, 0, 1}) {  // none taken, MASS_BAL, SULFUR_BAL
    const FrameworkLists lists;
    QivEOBlock* made = create("ROTUNINGBALANCE", {"RX:COKER"}, "TB1");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(lists.setUpWithEquationTaken(dynamic_cast<QivEOBlockImpl&>(*made), offset), offset < 0 ? 0 : 1) << offset;
    made->Destroy();
  }
}

TEST(TuningBalance, WithoutListsOrUnitEveryHookReportsFailure) {
  rotuningbalanceCOK detached("TB1", "COKER");
  rotuningbalance plain("TB1", "NOUNIT");
  for (rotuningbalance* b : {static_cast<rotuningbalance*>(&detached), &plain}) {
    long long st[6] = {};
    b->user_ini(st[0]);
    b->user_res(st[1]);
    b->user_jac(st[2]);
    b->init(st[3]);
    b->res(1, st[4]);
    b->user_pat(nullptr, st[5]);
    for (long long s : st) EXPECT_EQ(s, 1);
  }
  char buf[20];
  std::memset(buf, 'x', sizeof buf);
  plain.inq_model_type(buf);
  EXPECT_STREQ(buf, "rotuningbalance");
  EXPECT_EQ(buf[16], 'x');  // 16 bytes, no more
  // The block's own type query knows its type; the framework's keeps its own answer.
  EXPECT_TRUE(plain.isof_type("rotuningbalance"));
  EXPECT_EQ(plain.isof_type("ROTUNINGBALANCE"), plain.QivEOBlockImpl::isof_type("ROTUNINGBALANCE"));
  const QivEOBlock& framework = plain;
  EXPECT_FALSE(framework.isof_type("rotuningbalance"));
  EXPECT_EQ(framework.isof_type("QIVEOBLOCK"), plain.QivEOBlockImpl::isof_type("QIVEOBLOCK"));
}

}  // namespace
}  // namespace tuning_test
