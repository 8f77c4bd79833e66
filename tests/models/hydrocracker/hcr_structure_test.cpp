// The make-up of the four first-generation hydrocracker blocks: catalogue and
// positions, equation order, pattern, specifications and bounds, ports,
// attributes and the block description.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "tests/models/hydrocracker/hcr_fixture.h"

namespace {

using namespace hcr_test;

struct SlateCase {
  const char* subid;
  std::vector<std::size_t> setSizes;  // inputs, network outputs, constants, calculated, factor
  int equations;
  int nonZeros;
  int massBalIndex;
  int massBalFirstNz;
  int convCalcIndex;  // 0: none
  std::vector<std::pair<const char*, int>> positions;
  std::vector<std::tuple<const char*, double, double>> bounds;  // framework bounds after user_ini
};

void PrintTo(const SlateCase& c, std::ostream* os) { *os << c.subid; }

const SlateCase kSlates[] = {
    {"ROHCRD",
     {13, 49, 15, 61, 1},
     111,
     894,
     50,
     687,
     111,
     {{"CATAGE", 1}, {"FEEDMASS", 5}, {"RCYRATE", 13}, {"C3FRAC", 14}, {"UCOVISC_122", 62}, {"C3HYD", 63},
      {"NC4SG", 77}, {"C3HYDMASS", 78}, {"UCOVOL", 138}, {"MASSFACTOR", 139}},
     {{"CONVERSION", 0, 100}, {"RCYRATE", 0, 100}, {"IC4VOL", 0, 1000}, {"H2SMOL", 0, 20000}, {"C3MASS", 0, 1e6}}},
    {"ROHCRK",
     {12, 41, 15, 53, 1},
     95,
     717,
     42,
     534,
     95,
     {{"CATAGE", 1}, {"FEEDMASS", 4}, {"RCYRATE", 12}, {"C3FRAC", 13}, {"UCOVISC_122", 53}, {"C3HYD", 54},
      {"NC4SG", 68}, {"C3HYDMASS", 69}, {"UCOVOL", 121}, {"MASSFACTOR", 122}},
     {{"RCYRATE", 0, 80}, {"IC4VOL", 0, 10000}, {"H2MOL", 1, 20000}, {"KERMASS", 10, 1e6}, {"FGSMASS", 0, 1e6}}},
    {"ROHCRMILD",
     {12, 49, 15, 61, 1},
     110,
     840,
     50,
     638,
     0,
     {{"CATAGE", 1}, {"CONVERSION", 2}, {"FEEDMASS", 5}, {"LCNECP", 12}, {"C3FRAC", 13}, {"MASSFACTOR", 138}},
     {{"CONVERSION", 0, 100}, {"IC4VOL", 0, 10000}, {"H2SMOL", 0, 20000}}},
    {"ROHCRN",
     {11, 30, 15, 43, 1},
     74,
     516,
     31,
     361,
     74,
     {{"CATAGE", 1}, {"FEEDMASS", 4}, {"RCYRATE", 11}, {"C3FRAC", 12}, {"MASSFACTOR", 100}},
     {{"RCYRATE", 0, 100}, {"UCOMASS", 0, 1e6}}},
};

class HcrSlate : public ::testing::TestWithParam<SlateCase> {};

TEST_P(HcrSlate, CatalogueEquationsAndPattern) {
  const SlateCase& c = GetParam();
  Session s(c.subid);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const hcrmodel& m = s.model();
  EXPECT_EQ(std::vector<std::size_t>({m.inputs().size(), m.networkOutputs().size(), m.constants().size(),
                                      m.calculated().size(), m.factors().size()}),
            c.setSizes);
  for (const auto& [name, position] : c.positions) EXPECT_EQ(m.varMan().var(name).index, position) << name;
  EXPECT_EQ(s.number("CATAGE"), s.session->ranges().firstVar);

  const romhost::BlockRanges& r = s.session->ranges();  // as user_dim announced them
  EXPECT_EQ(std::tuple(r.nVars, r.nEqns, r.nNz),
            std::tuple(static_cast<int>(m.varMan().size()), c.equations, static_cast<int>(m.varMan().size()) * c.equations));
  EXPECT_EQ(static_cast<int>(s.system().nonZeros().size()), c.nonZeros);
  EXPECT_EQ(m.nzlast(), m.nzstart() + c.nonZeros - 1);

  const HcrEqnMan& eqns = m.eqnMan();
  ASSERT_EQ(static_cast<int>(eqns.size()), c.equations);
  EXPECT_EQ(eqns.find("EQN_MASS_BAL")->index, c.massBalIndex);
  EXPECT_EQ(eqns.find("EQN_MASS_BAL")->firstNz, c.massBalFirstNz);
  EXPECT_EQ(eqns.find("EQN_HYD_BAL")->index, c.massBalIndex + 1);
  EXPECT_EQ(eqns.find("EQN_CALC_CONVERSION") ? eqns.find("EQN_CALC_CONVERSION")->index : 0, c.convCalcIndex);
  // Network rows first, by output name; the light-end prefixes in byte order.
  EXPECT_EQ(eqns.find("Y_C3FRAC")->index, 1);
  EXPECT_LT(eqns.find("Y_FEEDHYD")->index, eqns.find("Y_H2FRAC")->index);
  EXPECT_LT(eqns.find("Y_H2FRAC")->index, eqns.find("Y_H2SFRAC")->index);
  EXPECT_LT(eqns.find("CONV_H2MASS")->index, eqns.find("CONV_H2SMASS")->index);
  EXPECT_LT(eqns.find("CONV_H2SMASS")->index, eqns.find("CONV_HCNMASS")->index);
  EXPECT_EQ(eqns.find("CONV_FGSMASS"), nullptr);
  ASSERT_NE(eqns.find("CONV_FGSVOL"), nullptr);
  const auto* feedVol = dynamic_cast<const hcr::eqVolConv*>(eqns.find("CONV_FEEDVOL"));
  ASSERT_NE(feedVol, nullptr);
  EXPECT_FALSE(feedVol->gas());
  EXPECT_EQ(feedVol->varNames(), (std::vector<std::string>{"FEEDVOL", "FEEDMASS", "FEEDSG"}));
  EXPECT_EQ(feedVol->index, eqns.find("CONV_H2SMOL")->index - 1);
  const bool diesel = m.slate().has(hcr::kDiesel), kerosene = m.slate().has(hcr::kKerosene);
  for (const auto& [name, eqn] : eqns.objects()) {
    EXPECT_TRUE(diesel || name.find("DSL") == std::string::npos) << name;
    EXPECT_TRUE(kerosene || name.find("KER") == std::string::npos) << name;
  }
  // Every network row lists the inputs by name, then its output.
  const hcreqn& y = *eqns.find("Y_UCOFRAC");
  EXPECT_EQ(y.varNames().size(), c.setSizes[0] + 1);
  EXPECT_EQ(y.varNames().front(), "CATAGE");
  EXPECT_EQ(y.varNames().back(), "UCOFRAC");
}

TEST_P(HcrSlate, SpecificationsBoundsAndConstants) {
  const SlateCase& c = GetParam();
  const bool recycle = std::string(c.subid) != "ROHCRMILD";
  for (const bool volume : {false, true}) {
    Session s(c.subid, volume);
    ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
    EXPECT_EQ(s.fixed("FEEDMASS"), !volume);
    EXPECT_EQ(s.fixed("FEEDVOL"), volume);
    EXPECT_EQ(s.fixed("CONVERSION"), !recycle);  // computed from TOTCONV in a recycle slate
    EXPECT_TRUE(s.fixed("TOTCONV"));
    EXPECT_TRUE(s.fixed("H2SSULFUR"));
    EXPECT_FALSE(s.fixed("MASSFACTOR"));
    const auto& vars = s.system().variables();
    const long fixedCount = std::count_if(vars.begin(), vars.end(), [&](int n) { return s.system().isFixed(n); });
    // The constants, the inputs but CONVERSION in a recycle slate, and TOTCONV.
    EXPECT_EQ(fixedCount, static_cast<long>(15 + c.setSizes[0] + (recycle ? 0 : 1)));
    EXPECT_EQ(static_cast<long>(s.system().unknowns().size()), c.equations);
  }
  Session s(c.subid);
  for (const auto& [name, lower, upper] : c.bounds) {
    EXPECT_EQ(s.system().lower(s.number(name)), lower) << name;
    EXPECT_EQ(s.system().upper(s.number(name)), upper) << name;
  }
  EXPECT_EQ(s.model().varMan().var("CONVERSION").upper, 120.0);  // the description keeps 120
  EXPECT_EQ(std::vector<double>({s.value("H2SSULFUR"), s.value("FGSHYD"), s.value("H2FOEFACTOR")}),
            std::vector<double>({32.065 / 34.08088, 22.6, 0.3045}));
}

INSTANTIATE_TEST_SUITE_P(Slates, HcrSlate, ::testing::ValuesIn(kSlates),
                         [](const auto& info) { return std::string(info.param.subid); });

bool has(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(HcrPorts, FiltersByNameAndBasis) {
  for (const bool volume : {false, true}) {
    Session s("ROHCRN", volume);
    ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
    const std::vector<std::string> in = s.port("INPUT");
    EXPECT_EQ(in, (std::vector<std::string>{"CATAGE", "FEEDBRNO", volume ? "FEEDVOL" : "FEEDMASS", "FEEDNIT", "FEEDSG",
                                            "FEEDSUL", "FEEDT50", "HCNECP", "LCNECP", "RCYRATE", "TOTCONV"}));
    const std::vector<std::string> mass = s.port("OUTMASS");
    EXPECT_EQ(mass.size(), 9u);
    EXPECT_FALSE(has(mass, "H2SHYDMASS"));
    const std::vector<std::string> vol = s.port("OUTVOL");
    EXPECT_EQ(vol.size(), 9u);  // the product volumes
    EXPECT_FALSE(has(vol, "FEEDVOL"));
    const std::vector<std::string> res = s.port("OUTRES");
    EXPECT_TRUE(has(res, "LCNSULPPM") && has(res, "LCNRON") && !has(res, "LCNFRAC") && !has(res, "LCNHYD"));
    EXPECT_EQ(s.port("CONSTANTS").size(), 15u);
    qiv_port* out = qivport_create("OUT", 0, 2, 0);
    s.model().addVarsToOutputPort(out);
    const std::vector<std::string> outNames = s.portVariables(out);
    qivport_destroy(out);
    EXPECT_EQ(has(outNames, "LCNMASS"), !volume);
    EXPECT_EQ(has(outNames, "LCNVOL"), volume);
    EXPECT_FALSE(has(outNames, "TOTCONV") || has(outNames, "FEEDVOL") || has(outNames, "UCOFRAC"));
  }
}

TEST(HcrAttributes, TuningFactorsThenHydrogenBalanceTerms) {
  Session s("ROHCRK");
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const ROMAttrMap& a = s.model().attributes();
  const int n = 41 * (2 + 12);  // ALPHA, BETA and twelve GAMMA per network output
  ASSERT_EQ(static_cast<int>(a.size()), n + 3);
  EXPECT_EQ(std::tuple(a.at("ALPHA_C3FRAC")->number, a.at("ALPHA_C3FRAC")->value, a.at("ALPHA_C3FRAC")->code),
            std::tuple(0, 1.0, 0));
  EXPECT_EQ(a.at("GAMMA_UCOVISC_122_RCYRATE")->number, n - 1);
  EXPECT_EQ(a.at("BETA_C3FRAC")->value, 0.0);
  int number = n;
  for (const char* name : {"HYDBALBIAS", "HYDBALSLOPECONV", "HYDBALSLOPESG"})
    EXPECT_EQ(std::tuple(a.at(name)->number, a.at(name)->code, a.at(name)->value), std::tuple(number++, 3, 0.0)) << name;
  qiv_blk_t desc;
  s.model().inq_attr(desc);
  EXPECT_STREQ(desc.options, "SUBID:ROHCRK, BASIS_HL:MASS, BASIS_LE:MASS");
}

}  // namespace
