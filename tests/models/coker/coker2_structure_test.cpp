// The second-generation coker's make-up: factory row and description, sizes,
// variable numbering and catalogue, equation order, constants, fixed
// variables and ports on both HL bases, the starting-value steps, and a
// preparation that fails without its suppliers.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "models/coker/rocoker_1.h"
#include "plugin/creators.h"
#include "tests/models/coker/coker_fixture.h"

namespace {

using namespace coker_test;

const std::vector<std::string> kV37 = {"SUBID:ROCOKER", "VERSION:37.0.0"};

std::vector<std::string> v37Options(bool volume) {
  std::vector<std::string> o = kV37;
  o.push_back(volume ? "BASIS_HL:VOLUME" : "BASIS_HL:MASS");
  return o;
}

rocoker_1& coker2(Session& s) { return dynamic_cast<rocoker_1&>(*s.block); }

TEST(Coker2Catalogue, SetsNumberingUnitsAndBounds) {
  Session s(createByFactory(kV37));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const rocoker_1& b = coker2(s);
  EXPECT_EQ(std::vector<std::size_t>({b.inputs().size(), b.networkOutputs().size(), b.volumes().size(),
                                      b.molars().size(), b.varMan().size()}),
            std::vector<std::size_t>({11, 35, 13, 2, 134}));
  struct Row {
    const char* name;
    int index;
    const char *disp, *base;
    double lower, upper;
  };
  for (const Row& r : {Row{"COMBINEDFEEDRATIO", 1, "UNITLESS", "UNITLESS", 1, 1.3},
                       Row{"FEEDMASS", 5, "TONNE/DAY", "KG/HR", 100, 1e6},
                       Row{"FEEDNIT", 6, "PPM", "PPM", 300, 1e4},
                       Row{"C32FRAC", 12, "FRACTION", "FRACTION", 0, 1},
                       Row{"LGONIT", 41, "PERCENT", "PERCENT", 0, 5000},
                       Row{"UC4FRAC", 46, "FRACTION", "FRACTION", 0, 1},
                       Row{"MASSFACTOR", 47, "UNITLESS", "UNITLESS", -1e30, 1e30},
                       Row{"C32MASS", 48, "TONNE/DAY", "KG/HR", 0, 1e6},
                       Row{"UNSATINC4MIXVOL", 96, "FRACTION", "FRACTION", 0, 1e5},
                       Row{"C32CUTOFF", 97, "UNITLESS", "UNITLESS", 1e-19, 1e-19},
                       Row{"RHOH2O", 117, "KG/CUM", "KG/CUM", 500, 1500},
                       Row{"UC4SG", 119, "UNITLESS", "UNITLESS", 0.6008, 0.6008},
                       Row{"C32VOL", 120, "KBBL/DAY", "CUM/HR", 0, 1e4},
                       Row{"FEEDVOL", 123, "KBBL/DAY", "CUM/HR", 100, 1e4},
                       Row{"FGSMOL", 133, "MMSCFD", "KMOL/HR", 0, 2e4},
                       Row{"H2SMOL", 134, "MMSCFD", "KMOL/HR", 0, 2e4}}) {
    const ROMVar& v = b.varMan().var(r.name);
    EXPECT_EQ(std::tuple(v.index, v.dispUnit, v.baseUnit, v.lower, v.upper),
              std::tuple(r.index, std::string(r.disp), std::string(r.base), r.lower, r.upper))
        << r.name;
    EXPECT_EQ(s.number(r.name), s.session->ranges().firstVar + r.index - 1) << r.name;
  }
}

TEST(Coker2Equations, NumberedInTheOrderTheSuppliersMadeThem) {
  Session s(createByFactory(kV37));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const std::vector<std::string> expected = {
      "Y_C32FRAC", "Y_C3FRAC", "Y_COKFRAC", "Y_COKRELSUL", "Y_FGSFRAC", "Y_HCNAROM", "Y_HCNFRAC", "Y_HCNNAPH",
      "Y_HCNOLEF", "Y_HCNRELSUL", "Y_HCNSG", "Y_HGOANI", "Y_HGOD86_50", "Y_HGOFRAC", "Y_HGONIT", "Y_HGORELSUL",
      "Y_HGOSG", "Y_HGOVISC_122", "Y_IC4FRAC", "Y_LCNAROM", "Y_LCNFRAC", "Y_LCNNAPH", "Y_LCNOLEF", "Y_LCNRELSUL",
      "Y_LCNSG", "Y_LGOCETNO", "Y_LGOCLOUDPT", "Y_LGOD86_50", "Y_LGOFRAC", "Y_LGONIT", "Y_LGORELSUL", "Y_LGOSG",
      "Y_LGOVISC_122", "Y_NC4FRAC", "Y_UC4FRAC",
      // balance layer
      "EQN_FEEDSULMASS", "EQN_FGSMASS", "EQN_C3MASS", "EQN_C32MASS", "EQN_IC4MASS", "EQN_NC4MASS", "EQN_UC4MASS",
      "EQN_LCNMASS", "EQN_LCNSUL", "EQN_LCNSULMASS", "EQN_HCNMASS", "EQN_HCNSUL", "EQN_HCNSULMASS", "EQN_LGOMASS",
      "EQN_LGOSUL", "EQN_LGOSULMASS", "EQN_HGOMASS", "EQN_HGOSUL", "EQN_HGOSULMASS", "EQN_COKMASS", "EQN_COKSUL",
      "EQN_COKSULMASS", "MASS_BAL", "SULFUR_BAL",
      // conversions, H2S fraction, ppm
      "CONV_C3VOL", "CONV_C32VOL", "CONV_COKVOL", "CONV_FEEDVOL", "CONV_FGSVOL", "CONV_H2SVOL", "CONV_HCNVOL",
      "CONV_HGOVOL", "CONV_IC4VOL", "CONV_LCNVOL", "CONV_LGOVOL", "CONV_NC4VOL", "CONV_UC4VOL", "CONV_FGSMOL",
      "CONV_H2SMOL", "CONV_H2SMASS", "EQN_COKSULPPM", "EQN_HCNSULPPM", "EQN_HGOSULPPM", "EQN_LCNSULPPM",
      "EQN_LGOSULPPM",
      // mixes, compositions, properties
      "EQN_C3MIXMASS", "EQN_C3MIXVOL", "EQN_C4MIXMASS", "EQN_C4MIXVOL", "EQN_UNSATINC3MIX", "EQN_UNSATINC3MIXVOL",
      "EQN_SATINC3MIX", "EQN_SATINC3MIXVOL", "EQN_UNSATINC4MIX", "EQN_UNSATINC4MIXVOL", "EQN_NSATINC4MIX",
      "EQN_NSATINC4MIXVOL", "EQN_ISATINC4MIX", "EQN_ISATINC4MIXVOL", "EQN_LCNN2A", "EQN_HCNN2A", "EQN_LGOCETIDX",
      "EQN_LGOCLOUDIDX", "EQN_LGOVISCIDX", "EQN_HGOVISCIDX"};
  ASSERT_EQ(expected.size(), 100u);
  std::vector<std::string> byIndex(100);
  for (const auto& [name, eqn] : coker2(s).eqnMan().objects()) {
    ASSERT_GE(eqn->index, 1);
    ASSERT_LE(eqn->index, 100);
    byIndex[eqn->index - 1] = name;
    EXPECT_EQ(s.eqnNumber(name), s.session->ranges().firstEqn + eqn->index - 1) << name;
  }
  EXPECT_EQ(byIndex, expected);
}

class Coker2SetUp : public ::testing::TestWithParam<bool> {};  // volume HL basis

// Own names of a port's variables, in port order.
std::vector<std::string> portNames(Session& s, const char* port) {
  const qiv_port* p = coker2(s).findPort(port);
  std::vector<std::string> names;
  for (int i = 0; p && i < qivport_nvars(p); ++i)
    names.push_back(std::string(rtovarlst_name(s.system().varList(), qivport_var(p, i))).substr(3));
  return names;
}

TEST_P(Coker2SetUp, SizesDescriptionConstantsFixedVariablesAndPorts) {
  const bool volume = GetParam();
  Session s(createByFactory(v37Options(volume)), nominalInputs(volume));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_TRUE(s.session->warnings().empty());
  const romhost::BlockRanges& r = s.session->ranges();
  EXPECT_EQ(std::tuple(r.nVars, r.nEqns, r.nNz), std::tuple(134, 100, 13400));
  qiv_blk_t desc;
  coker2(s).inq_attr(desc);
  EXPECT_TRUE(std::string(desc.options).ends_with(", VERSION:37.0.0")) << desc.options;

  // Every constant holds its value: its coinciding bounds, or the two densities.
  for (const auto& [name, var] : coker2(s).varMan().records()) {
    if (var->index < 97 || var->index > 119) continue;
    const double want = name == "RHOH2O" ? 999.04 : name == "RHOAIR" ? 1.217 : var->lower;
    EXPECT_EQ(s.value(name), want) << name;
  }
  const auto& vars = s.system().variables();
  EXPECT_EQ(std::count_if(vars.begin(), vars.end(), [&](int n) { return s.system().isFixed(n); }), 34);
  EXPECT_EQ(s.system().isFixed(s.number("FEEDVOL")), volume);
  EXPECT_EQ(s.system().isFixed(s.number("FEEDMASS")), !volume);

  const std::vector<std::string> input = portNames(s, "INPUT");
  EXPECT_EQ(input.size(), 11u);
  EXPECT_EQ(input[4], volume ? "FEEDVOL" : "FEEDMASS");
  EXPECT_EQ(portNames(s, "OUTVOL"), (std::vector<std::string>{"C32VOL", "C3VOL", "COKVOL", "FGSVOL", "H2SVOL",
                                                              "HCNVOL", "HGOVOL", "IC4VOL", "LCNVOL", "LGOVOL",
                                                              "NC4VOL", "UC4VOL", "C3MIXVOL", "C4MIXVOL"}));
  const std::vector<std::string> mass = portNames(s, "OUTMASS"), res = portNames(s, "OUTRES"),
                                 constants = portNames(s, "CONSTANTS");
  EXPECT_EQ(std::vector<std::size_t>({mass.size(), res.size(), constants.size()}),
            std::vector<std::size_t>({14, 47, 12}));
  EXPECT_TRUE(std::none_of(mass.begin(), mass.end(), [](const std::string& n) { return n.ends_with("SULMASS"); }));
  EXPECT_EQ(std::tuple(res.front(), res[11], res.back()), std::tuple("UNSATINC3MIXVOL", "H2SMOL", "COKSULPPM"));
  EXPECT_TRUE(std::none_of(constants.begin(), constants.end(),
                           [](const std::string& n) { return n.find("CUTOFF") != std::string::npos; }));

  // The ppm steps run last (key 3500) and overwrite the sulfur percentages
  // from the ppm start values, by design: Newton puts them right.
  for (const char* s0 : {"COK", "HCN", "HGO", "LCN", "LGO"})
    EXPECT_DOUBLE_EQ(s.value(std::string(s0) + "SUL"), 0.0001 * s.value(std::string(s0) + "SULPPM")) << s0;
  // The feed's volume conversion runs first on a volume basis and computes the mass.
  EXPECT_EQ(coker2(s).eqnMan().find("CONV_FEEDVOL")->getOrderKey(), volume ? 3u : 1503u);
  EXPECT_NEAR(s.value("FEEDMASS"), s.value("FEEDVOL") * 999.04 * 1.02, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Basis, Coker2SetUp, ::testing::Bool());

// A coker whose generic supplier cannot be made (versions up to 35 have none).
std::unique_ptr<robase> oldVersionCoker(const BlockRequest& request) {
  return std::make_unique<rocoker_1>(request.name, VerInfo{35, 0, 0});
}

TEST(Coker2Preparation, FailsWithoutItsSuppliersAndTheFactoryGivesNoBlock) {
  rocoker_1 direct("C1", VerInfo{35, 0, 0});
  EXPECT_THROW(direct.prepare(), std::runtime_error);

  const ReactorCreator saved = creatorTable().coker;
  creatorTable().coker = &oldVersionCoker;
  QivEOBlock* made = createByFactory(kV37);
  creatorTable().coker = saved;
  EXPECT_EQ(made, nullptr);
  // The real creator gives the second generation from 37 on, the first below.
  for (const char* version : {"VERSION:37.0.0", "VERSION:36.9.9"}) {
    QivEOBlock* b = createByFactory({"SUBID:ROCOKER", version});
    ASSERT_NE(b, nullptr) << version;
    EXPECT_EQ(dynamic_cast<rocoker_1*>(b) != nullptr, std::string(version) == "VERSION:37.0.0") << version;
    b->Destroy();
  }
}

}  // namespace
