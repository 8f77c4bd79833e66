// The second-generation coker's make-up on both HL bases: factory row,
// description, sizes, numbering, equation order, constants, fixed variables,
// ports and starting values; and a preparation without its suppliers.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "models/coker/rocoker_1.h"
#include "plugin/creators.h"
#include "tests/models/coker/coker_fixture.h"

namespace {

using namespace coker_test;

// Equations in index order: networks, balance layer, conversions, H2S
// fraction, ppm, mixes, compositions, property indices.
constexpr const char* kEquationOrder =
    "Y_C32FRAC Y_C3FRAC Y_COKFRAC Y_COKRELSUL Y_FGSFRAC Y_HCNAROM Y_HCNFRAC Y_HCNNAPH Y_HCNOLEF Y_HCNRELSUL Y_HCNSG "
    "Y_HGOANI Y_HGOD86_50 Y_HGOFRAC Y_HGONIT Y_HGORELSUL Y_HGOSG Y_HGOVISC_122 Y_IC4FRAC Y_LCNAROM Y_LCNFRAC "
    "Y_LCNNAPH Y_LCNOLEF Y_LCNRELSUL Y_LCNSG Y_LGOCETNO Y_LGOCLOUDPT Y_LGOD86_50 Y_LGOFRAC Y_LGONIT Y_LGORELSUL "
    "Y_LGOSG Y_LGOVISC_122 Y_NC4FRAC Y_UC4FRAC EQN_FEEDSULMASS EQN_FGSMASS EQN_C3MASS EQN_C32MASS EQN_IC4MASS "
    "EQN_NC4MASS EQN_UC4MASS EQN_LCNMASS EQN_LCNSUL EQN_LCNSULMASS EQN_HCNMASS EQN_HCNSUL EQN_HCNSULMASS EQN_LGOMASS "
    "EQN_LGOSUL EQN_LGOSULMASS EQN_HGOMASS EQN_HGOSUL EQN_HGOSULMASS EQN_COKMASS EQN_COKSUL EQN_COKSULMASS MASS_BAL "
    "SULFUR_BAL CONV_C3VOL CONV_C32VOL CONV_COKVOL CONV_FEEDVOL CONV_FGSVOL CONV_H2SVOL CONV_HCNVOL CONV_HGOVOL "
    "CONV_IC4VOL CONV_LCNVOL CONV_LGOVOL CONV_NC4VOL CONV_UC4VOL CONV_FGSMOL CONV_H2SMOL CONV_H2SMASS EQN_COKSULPPM "
    "EQN_HCNSULPPM EQN_HGOSULPPM EQN_LCNSULPPM EQN_LGOSULPPM EQN_C3MIXMASS EQN_C3MIXVOL EQN_C4MIXMASS EQN_C4MIXVOL "
    "EQN_UNSATINC3MIX EQN_UNSATINC3MIXVOL EQN_SATINC3MIX EQN_SATINC3MIXVOL EQN_UNSATINC4MIX EQN_UNSATINC4MIXVOL "
    "EQN_NSATINC4MIX EQN_NSATINC4MIXVOL EQN_ISATINC4MIX EQN_ISATINC4MIXVOL EQN_LCNN2A EQN_HCNN2A EQN_LGOCETIDX "
    "EQN_LGOCLOUDIDX EQN_LGOVISCIDX EQN_HGOVISCIDX";

std::vector<std::string> words(const std::string& text) {
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

class Coker2SetUp : public ::testing::TestWithParam<bool> {};  // volume HL basis

TEST_P(Coker2SetUp, MakeUpOfTheFactoryBlock) {
  const bool volume = GetParam();
  Session s(createByFactory(options(volume, {"VERSION:37.0.0"})), nominalInputs(volume));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const rocoker_1& b = s.as<rocoker_1>();
  const romhost::BlockRanges& r = s.session->ranges();
  EXPECT_EQ(std::tuple(r.nVars, r.nEqns, r.nNz), std::tuple(134, 100, 13400));
  qiv_blk_t desc;
  b.inq_attr(desc);
  EXPECT_TRUE(std::string(desc.options).ends_with(", VERSION:37.0.0")) << desc.options;

  struct Var {
    const char* name;
    int index;
    const char* base;
    double lower, upper;
  };
  for (const Var& v : {Var{"COMBINEDFEEDRATIO", 1, "UNITLESS", 1, 1.3}, Var{"LGONIT", 41, "PERCENT", 0, 5000},
                       Var{"MASSFACTOR", 47, "UNITLESS", -1e30, 1e30}, Var{"RHOH2O", 117, "KG/CUM", 500, 1500},
                       Var{"H2SMOL", 134, "KMOL/HR", 0, 2e4}}) {
    const ROMVar& rec = b.varMan().var(v.name);
    EXPECT_EQ(std::tuple(rec.index, rec.baseUnit, rec.lower, rec.upper),
              std::tuple(v.index, std::string(v.base), v.lower, v.upper));
    EXPECT_EQ(s.number(v.name), r.firstVar + v.index - 1) << v.name;
  }
  std::vector<std::string> order(100);
  for (const auto& [name, eqn] : b.eqnMan().objects()) order.at(eqn->index - 1) = name;
  EXPECT_EQ(order, words(kEquationOrder));

  // Constants (indices 97-119) hold their coinciding bounds, the densities their values.
  for (const auto& [name, var] : b.varMan().records()) {
    if (var->index < 97 || var->index > 119) continue;
    EXPECT_EQ(s.value(name), name == "RHOH2O" ? 999.04 : name == "RHOAIR" ? 1.217 : var->lower) << name;
  }
  const auto& vars = s.system().variables();
  EXPECT_EQ(std::count_if(vars.begin(), vars.end(), [&](int n) { return s.system().isFixed(n); }), 34);
  EXPECT_EQ(std::tuple(s.system().isFixed(s.number("FEEDVOL")), s.system().isFixed(s.number("FEEDMASS"))),
            std::tuple(volume, !volume));

  EXPECT_EQ(s.port("INPUT").at(4), volume ? "FEEDVOL" : "FEEDMASS");
  EXPECT_EQ(s.port("OUTVOL"), words("C32VOL C3VOL COKVOL FGSVOL H2SVOL HCNVOL HGOVOL IC4VOL LCNVOL LGOVOL "
                                          "NC4VOL UC4VOL C3MIXVOL C4MIXVOL"));
  std::vector<std::size_t> sizes;
  for (const char* port : {"INPUT", "OUTMASS", "OUTRES", "CONSTANTS"}) sizes.push_back(s.port(port).size());
  EXPECT_EQ(sizes, (std::vector<std::size_t>{11, 14, 47, 12}));

  // The ppm steps run last (key 3500) and overwrite the sulfur percentages
  // from the ppm start values, by design; Newton puts them right.
  for (const std::string p : {"COK", "HCN", "HGO", "LCN", "LGO"})
    EXPECT_DOUBLE_EQ(s.value(p + "SUL"), 0.0001 * s.value(p + "SULPPM")) << p;
  // On a volume basis the feed's conversion runs first and gives the mass.
  EXPECT_EQ(b.eqnMan().find("CONV_FEEDVOL")->getOrderKey(), volume ? 3u : 1503u);
  EXPECT_NEAR(s.value("FEEDMASS"), s.value("FEEDVOL") * 999.04 * 1.02, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Basis, Coker2SetUp, ::testing::Bool());

// Versions up to 35 have no generic supplier.
std::unique_ptr<robase> oldVersionCoker(const BlockRequest& request) {
  return std::make_unique<rocoker_1>(request.name, VerInfo{35, 0, 0});
}

TEST(Coker2Preparation, FailuresAreReported) {
  rocoker_1 direct("C1", VerInfo{35, 0, 0});
  EXPECT_THROW(direct.prepare(), std::runtime_error);
  rocoker_1 unplaced("C1", VerInfo{37, 0, 0});
  unplaced.prepare();
  long long status = 0;
  unplaced.setPELMOVarValues(status);  // no framework variables to write the constants into
  EXPECT_EQ(status, 1);
  const ReactorCreator saved = creatorTable().coker;
  creatorTable().coker = &oldVersionCoker;
  EXPECT_EQ(createByFactory({"SUBID:ROCOKER", "VERSION:37.0.0"}), nullptr);
  creatorTable().coker = saved;
  for (const char* version : {"VERSION:37.0.0", "VERSION:36.9.9"}) {  // the generation boundary
    QivEOBlock* b = createByFactory({"SUBID:ROCOKER", version});
    ASSERT_NE(b, nullptr) << version;
    EXPECT_EQ(dynamic_cast<rocoker_1*>(b) != nullptr, std::string(version) == "VERSION:37.0.0") << version;
    b->Destroy();
  }
}

}  // namespace
