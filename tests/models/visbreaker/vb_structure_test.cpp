// The visbreaker blocks' make-up in both generations: variable and equation
// numbers, bounds, constants, specifications, ports and the sparsity pattern.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "models/visbreaker/rovb.h"
#include "models/visbreaker/rovb_1.h"
#include "tests/models/visbreaker/vb_fixture.h"

namespace {

using namespace vb_test;
using Names = std::vector<std::string>;

// The first generation as the factory prepares it, with its tables in view.
class ProbeVb : public rovbnoskr {
 public:
  ProbeVb() : rovbnoskr("P1") {
    useSampleNetworks();
    prepare();
  }
  using robase::m_inputVars;
  using robase::m_nnOutputVars;
};

struct Numbered {
  const char* name;
  int index;  // 1-based within the block
  double lower, upper;
};

TEST(VbCatalogue, FirstGenerationNumbersBoundsAndConstants) {
  Session s(createByFactory(options("ROVBNOSKR")));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const int first = s.session->ranges().firstVar;
  for (const Numbered& r : {Numbered{"FEEDMASS", 1, 100, 1e6}, Numbered{"FURNACETEMP", 7, 600, 900},
                            Numbered{"FGSFRAC", 12, 0, 1}, Numbered{"MASSFACTOR", 35, -1e30, 1e30},
                            Numbered{"C3VOL", 37, 0, 1e4}, Numbered{"C32VOL", 38, 0, 1e4},
                            Numbered{"CONVERSION", 48, 0, 150}, Numbered{"FGSMW", 100, 23.0565, 23.0565},
                            Numbered{"H2SMW", 101, 34.08088, 34.08088}}) {
    const int n = s.number(r.name);
    EXPECT_EQ(std::tuple(n - first + 1, s.system().lower(n), s.system().upper(n)),
              std::tuple(r.index, r.lower, r.upper))
        << r.name;
  }
  EXPECT_EQ(s.value("FGSMW"), 20.65);  // not its bounds: the fuel-gas equations work with 20.65
  EXPECT_EQ(s.system().variables().size(), 101u);

  // Outputs in key order: C32 before C3 ("2" sorts before "F").
  const int e = s.session->ranges().firstEqn - 1;
  for (const auto& [eqn, index] : {std::pair("Y_C32FRAC", 1), std::pair("Y_C3FRAC", 2), std::pair("MASS_BAL", 24),
                                   std::pair("EQN_NAPMASS", 32), std::pair("CONV_C32VOL", 49),
                                   std::pair("CONV_C3VOL", 50), std::pair("CONV_FEEDVOL", 51),
                                   std::pair("EQN_FURNACETEMP", 81)})
    EXPECT_EQ(s.eqnNumber(eqn) - e, index) << eqn;
  EXPECT_EQ(s.system().equations().size(), 81u);
}

TEST(VbCatalogue, NetworkOutputsHoldAZeroDerivativePerInputUntilTheirNetworkRuns) {
  ProbeVb p;
  EXPECT_EQ(p.m_nnOutputVars.size(), 23u);
  for (const auto& out : p.m_nnOutputVars) {
    ASSERT_EQ(out.second->derivs.size(), 11u) << out.first;
    for (const auto& in : p.m_inputVars) EXPECT_EQ(out.second->derivs.at(in.first), 0.0);
  }
  EXPECT_EQ(p.m_inputVars.begin()->first, "FEEDCCR");  // the order the networks receive them
  EXPECT_EQ(p.m_inputVars.rbegin()->first, "NAPECP");
  const rovbskr bare("B0");  // records exist only after preparation
  EXPECT_EQ(bare.ownRecord("EQN_FURNACETEMP"), nullptr);
  EXPECT_NE(p.ownRecord("EQN_FURNACETEMP"), nullptr);
}

TEST(VbCatalogue, SecondGenerationNumbersInSetOrder) {
  Session s(createByFactory(options("ROVBSKR", true)));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const int first = s.session->ranges().firstVar;
  for (const Numbered& r : {Numbered{"FEEDCCR", 1, 10, 50}, Numbered{"C32FRAC", 12, 0, 1},
                            Numbered{"C32CUTOFF", 35, 1e-19, 1e-19}, Numbered{"FGSMW", 40, 23.0565, 23.0565},
                            Numbered{"C32MASS", 56, 0, 1e6}, Numbered{"MASSFACTOR", 101, -1e30, 1e30},
                            Numbered{"C32VOL", 102, 0, 1e4}, Numbered{"H2SMOL", 113, 0, 2e4}}) {
    const int n = s.number(r.name);
    EXPECT_EQ(std::tuple(n - first + 1, s.system().lower(n), s.system().upper(n)),
              std::tuple(r.index, r.lower, r.upper))
        << r.name;
  }
  EXPECT_EQ(s.value("FGSMW"), 20.65);
  EXPECT_EQ(s.value("RHOH2O"), 999.04);
  EXPECT_EQ(s.system().variables().size(), 113u);
  EXPECT_EQ(s.system().equations().size(), 81u);
  // The ppm and viscosity builders walk name-ordered lists.
  EXPECT_LT(s.eqnNumber("EQN_HGOSULPPM"), s.eqnNumber("EQN_LGOSULPPM"));
  EXPECT_LT(s.eqnNumber("EQN_LGOSULPPM"), s.eqnNumber("EQN_NAPSULPPM"));
  EXPECT_LT(s.eqnNumber("EQN_FEEDVBI"), s.eqnNumber("EQN_HGOVBI"));
  EXPECT_LT(s.eqnNumber("EQN_TARVBI"), s.eqnNumber("EQN_FURNACETEMP"));
}

struct PortCase {
  const char* subid;
  bool second;
  bool volume;
};

void PrintTo(const PortCase& c, std::ostream* os) {
  *os << c.subid << (c.second ? "_v37" : "_v35") << (c.volume ? "_volume" : "_mass");
}

class VbPortsAndSpecs : public ::testing::TestWithParam<PortCase> {};

TEST_P(VbPortsAndSpecs, FeedByBasisConversionFixedFurnaceTemperatureFree) {
  const PortCase& p = GetParam();
  Values inputs = nominalInputs(p.volume);
  Session s(createByFactory(options(p.subid, p.second, p.volume)), inputs);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const std::string feed = p.volume ? "FEEDVOL" : "FEEDMASS";
  EXPECT_EQ(s.port("INPUT"), (Names{"FEEDCCR", "FEEDNIT", "FEEDSG", "FEEDSUL", "FEEDVANADIUM", "FEEDVBI", "HGOECP",
                                    "LGOECP", "NAPECP", feed, "CONVERSION"}));
  EXPECT_EQ(s.port("OUTMASS"), (Names{"C32MASS", "C3MASS", "C3MIXMASS", "C4MIXMASS", "FGSMASS", "H2SMASS", "HGOMASS",
                                      "IC4MASS", "LGOMASS", "NAPMASS", "NC4MASS", "TARMASS", "UC4MASS"}));
  EXPECT_EQ(s.port("OUTVOL"), (Names{"C32VOL", "C3VOL", "HGOVOL", "IC4VOL", "LGOVOL", "NAPVOL", "NC4VOL", "TARVOL",
                                     "UC4VOL", "C3MIXVOL", "C4MIXVOL", "FGSVOL", "H2SVOL"}));
  const Names res = s.port("OUTRES");
  ASSERT_EQ(res.size(), 29u);
  EXPECT_EQ(std::tuple(res.front(), res[10], res[24], res.back()),
            std::tuple("UNSATINC3MIXVOL", "FGSMOL", "LGOVISC_122", "TARVAN"));
  const Names constants = p.second ? Names{"C32SG", "C3SG",   "FGSMW",  "FGSSG", "H2SMW", "H2SSG",
                                           "IC4SG", "NC4SG",  "RHOAIR", "RHOH2O", "UC4SG"}
                                   : Names{"C32SG", "C3SG", "FGSFOEFACTOR", "FGSMW", "H2SFOEFACTOR",
                                           "H2SMW", "IC4SG", "NC4SG",       "UC4SG"};
  EXPECT_EQ(s.port("CONSTANTS"), constants);

  // The conversion specifies the unit; the furnace temperature is computed.
  EXPECT_TRUE(s.fixed("CONVERSION"));
  EXPECT_FALSE(s.fixed("FURNACETEMP"));
  EXPECT_TRUE(s.fixed(feed));
  EXPECT_NE(s.fixed("FEEDMASS"), p.volume);
  EXPECT_TRUE(s.fixed("HGOECP") && s.fixed("H2SMW") && !s.fixed("MASSFACTOR"));
  EXPECT_EQ(s.system().unknowns().size(), s.system().equations().size());
}

INSTANTIATE_TEST_SUITE_P(Types, VbPortsAndSpecs,
                         ::testing::Values(PortCase{"ROVBNOSKR", false, false}, PortCase{"ROVBSKR", false, true},
                                           PortCase{"ROVBNOSKR", true, true}, PortCase{"ROVBSKR", true, false}),
                         [](const auto& info) {
                           std::ostringstream os;
                           PrintTo(info.param, &os);
                           return os.str();
                         });

TEST(VbPattern, RowsNumberedInTableOrder) {
  Session s(createByFactory(options("ROVBNOSKR")));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(s.system().nonZeros().size(), 474u);
  // 23 adjustment rows of 12, the balances (12, 6), six product rows of 4 before it.
  const rovb& block = s.as<rovb>();
  EXPECT_EQ(block.ownRecord("EQN_NAPMASS")->firstNz, 23 * 12 + 12 + 6 + 6 * 4 + 1);
  EXPECT_EQ(block.ownRecord("SULFUR_BAL")->firstNz, 23 * 12 + 12 + 1);
  EXPECT_EQ(block.nzlast(), block.nzstart() + 473);
  // A row's non-zeros are consecutive, in its variable order.
  const struct {
    const char* eqn;
    Names vars;
  } rows[] = {{"EQN_NAPMASS", {"FEEDMASS", "NAPFRAC", "MASSFACTOR", "NAPMASS"}},
              {"MASS_BAL",
               {"FEEDMASS", "H2SMASS", "FGSMASS", "C3MASS", "C32MASS", "NC4MASS", "IC4MASS", "UC4MASS", "NAPMASS",
                "LGOMASS", "HGOMASS", "TARMASS"}},
              {"SULFUR_BAL", {"FEEDSULMASS", "H2SMASS", "NAPSULMASS", "LGOSULMASS", "HGOSULMASS", "TARSULMASS"}},
              {"EQN_FURNACETEMP", {"FEEDMASS", "CONVERSION", "FEEDCCR", "FEEDSG", "FEEDSUL", "FURNACETEMP"}}};
  for (const auto& r : rows) {
    Names got;
    int last = 0;
    for (const auto& nz : s.system().nonZeros()) {
      if (nz.eqn != s.eqnNumber(r.eqn)) continue;
      if (last) {
        EXPECT_EQ(nz.nz, last + 1) << r.eqn;
      }
      last = nz.nz;
      got.push_back(std::string(s.system().variableName(nz.var)).substr(3));
    }
    EXPECT_EQ(got, r.vars);
  }
}

}  // namespace
