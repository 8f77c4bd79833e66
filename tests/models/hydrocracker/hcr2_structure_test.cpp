// The second-generation hydrocracker's make-up over its four model kinds:
// class, numbering, specifications, bounds, constants, ports, hydrogen-balance
// attributes, equation order; the conversion basis; statuses kept on entry;
// a preparation that fails without its suppliers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "models/hydrocracker/hcr_models.h"
#include "plugin/creators.h"
#include "tests/models/hydrocracker/hcr2_fixture.h"

namespace {

using namespace hcr2_test;

class Hcr2Kind : public ::testing::TestWithParam<Kind> {};

bool anyContains(const std::vector<std::string>& names, std::initializer_list<const char*> parts) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) {
    return std::any_of(parts.begin(), parts.end(), [&](const char* p) { return n.find(p) != std::string::npos; });
  });
}

TEST_P(Hcr2Kind, MakeUpAfterSetUp) {
  const Kind& k = GetParam();
  Session s(k);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_TRUE(s.session->warnings().empty());
  const hcrbase_1& b = s.hcr();
  EXPECT_TRUE(typeid(b) == *k.type);
  EXPECT_EQ(std::tuple(b.modelKind(), std::vector<std::string>(b.products().begin(), b.products().end())),
            std::tuple(std::string(k.modelKind), k.products));
  const romhost::BlockRanges& r = s.session->ranges();
  EXPECT_EQ(std::tuple(r.nVars, r.nEqns, r.nNz, b.networkOutputs().size()),
            std::tuple(k.nVars, k.nEqns, k.nVars * k.nEqns, static_cast<std::size_t>(k.nNetworks)));

  // Inputs, network outputs, constants, computed variables, MASSFACTOR: the
  // KER and DSL rows take their places by name.
  int expected = 1;
  for (const std::set<varinfo2>* set : {&b.inputs(), &b.networkOutputs(), &b.constants(), &b.calculated()})
    for (const varinfo2& v : *set) EXPECT_EQ(s.number(v.name), r.firstVar + expected++ - 1) << v.name;
  EXPECT_EQ(s.number("MASSFACTOR"), r.firstVar + k.nVars - 1);

  // A recycle makes TOTCONV the specification and CONVERSION a result; the
  // block is square either way.
  EXPECT_EQ(b.varMan().contains("RCYRATE"), k.recycle);
  if (k.recycle) {
    EXPECT_EQ(b.varMan().var("RCYRATE").upper, std::string(k.subid) == "ROHCRK" ? 80.0 : 100.0);
  }
  EXPECT_EQ(std::tuple(s.fixed("CONVERSION"), s.fixed("TOTCONV")), std::tuple(!k.recycle, true));
  EXPECT_EQ(s.system().unknowns().size(), static_cast<std::size_t>(k.nEqns));
  const int conv = s.number("CONVERSION");
  EXPECT_EQ(std::tuple(s.system().lower(conv), s.system().upper(conv)), std::tuple(0.0, 100.0));
  EXPECT_EQ(s.system().upper(s.number("IC4VOL")), k.ic4VolUpper);
  for (const auto& [name, value] : Values{{"H2SG", 0.3485}, {"RHOH2O", 999.04}, {"UCOCUTOFF", 1e-19}})
    EXPECT_EQ(s.value(name), value) << name;
  for (const std::string& p : k.products) EXPECT_EQ(s.value(p + "CUTOFF"), 1e-19) << p;

  const std::vector<std::string> vol = s.port("OUTVOL"), res = s.port("OUTRES"),
                                 constants = s.port("CONSTANTS");
  EXPECT_EQ(vol.size(), 6 + k.products.size());  // every stream but the feed
  EXPECT_FALSE(anyContains(vol, {"FEEDVOL"}));
  EXPECT_FALSE(anyContains(res, {"TOTCONV", "FRAC", "RELSUL", "HYD", "MASS", "VOL"}));
  EXPECT_EQ(constants.size(), 16u);
  EXPECT_FALSE(anyContains(constants, {"CUTOFF"}));

  // The hydrogen-balance attributes follow the tuning attributes.
  const ROMAttrMap& attrs = b.attributes();
  int number = static_cast<int>(attrs.size()) - 3;
  for (const auto& [name, a] : attrs) {
    if (!name.starts_with("HYDBAL")) {
      EXPECT_LT(a->number, number) << name;
    }
  }
  for (const char* name : {"HYDBALBIAS", "HYDBALSLOPECONV", "HYDBALSLOPESG"}) {
    const ROMAttr& a = *attrs.at(name);
    EXPECT_EQ(std::tuple(a.code, a.value, a.number), std::tuple(3, 0.0, number++)) << name;
  }
}

TEST_P(Hcr2Kind, EquationsAreNumberedInTheOrderOfTheSetUp) {
  const Kind& k = GetParam();
  Session s(k);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const hcrbase_1& b = s.hcr();
  std::vector<std::string> names(b.eqnMan().size()), totconvUsers;
  for (const auto& [name, eqn] : b.eqnMan().objects()) {
    names.at(static_cast<std::size_t>(eqn->index - 1)) = name;
    if (std::count(eqn->varNames().begin(), eqn->varNames().end(), "TOTCONV")) totconvUsers.push_back(name);
  }
  // TOTCONV enters the conversion correlation and nothing else.
  EXPECT_EQ(totconvUsers, k.recycle ? std::vector<std::string>{"EQN_CALC_CONVERSION"} : std::vector<std::string>{});

  std::vector<std::string> want;
  if (k.recycle) want.push_back("EQN_CALC_CONVERSION");
  for (const varinfo2& y : b.networkOutputs()) want.push_back("Y_" + y.name);
  // The balance layer, streams in creation order, FGS closing both balances.
  want.push_back("EQN_FEEDHYDMASS");
  std::vector<std::string> streams = {"H2S", "H2", "FGS", "C3", "NC4", "IC4", "LCN", "HCN", "UCO"};
  for (const char* p : {"KER", "DSL"})
    if (b.products().count(p)) streams.push_back(p);
  for (const std::string& st : streams) {
    if (st != "FGS") want.push_back("EQN_" + st + "MASS");
    if (st != "H2") want.push_back("EQN_" + st + "HYDMASS");
  }
  want.insert(want.end(), {"MASS_BAL", "HYDROGEN_BAL"});
  for (const std::string& st : b.streams()) want.push_back("CONV_" + st + "VOL");
  want.insert(want.end(), {"CONV_H2SMOL", "CONV_H2MOL", "CONV_FGSMOL"});
  // Products in byte order: DSL, HCN, KER, LCN, UCO.
  for (const char* suffix : {"SUL", "SULPPM"})
    for (const std::string& p : k.products) want.push_back("EQN_" + p + suffix);
  want.insert(want.end(), {"EQN_LCNNA", "EQN_HCNNA"});
  if (b.products().count("KER"))
    want.insert(want.end(),
                {"EQN_KERCETIDX", "EQN_KERFREEZEIDX", "EQN_KERCLOUDIDX", "EQN_KERSMOKEIDX", "EQN_KERVISCIDX"});
  if (b.products().count("DSL")) want.insert(want.end(), {"EQN_DSLCETIDX", "EQN_DSLCLOUDIDX", "EQN_DSLVISCIDX"});
  want.insert(want.end(), {"EQN_LCNRVI", "EQN_HCNRVI", "EQN_UCOVISCIDX"});
  EXPECT_EQ(names, want);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Hcr2Kind, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.modelKind).substr(4); });

TEST(Hcr2Basis, HLCodeFirstAndTheLightGasesAtAirDensity) {
  const ROEqnSupplier::ConversionBasisSpec spec = makeHcrConversionBasisSpec(1, 2);
  EXPECT_EQ(std::tuple(spec.hlBasis, spec.leBasis, spec.volumeName), std::tuple(1u, 2u, std::string("FOE")));
  EXPECT_EQ(spec.gasStreams, (std::unordered_map<std::string, std::int32_t>{{"FGS", 1}, {"H2", 1}, {"H2S", 1}}));
  // Only the exact kind names add products to the balances.
  EXPECT_EQ(makeHcrReactionSpec("HCR_k").streams.back(), "UCO");
}

TEST(Hcr2Status, AFailureOnEntrySkipsTheBaseStepAndIsKept) {
  Session s(kKinds[1]);  // HCR_K
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  auto& k = dynamic_cast<rohcrk_1<hcrbase_1>&>(s.hcr());
  s.value("KERCUTOFF") = s.value("H2SMW") = 5.0;
  s.session->setSpec("CONVERSION", true);
  s.session->setSpec("TOTCONV", false);
  long long status = 7;
  k.setPELMOVarValues(status);
  k.setPELMOVarSpecs(status);
  EXPECT_EQ(status, 7);
  // The model's own steps run, the base's do not.
  EXPECT_EQ(std::tuple(s.value("KERCUTOFF"), s.value("H2SMW")), std::tuple(1e-19, 5.0));
  EXPECT_EQ(std::tuple(s.fixed("CONVERSION"), s.fixed("TOTCONV")), std::tuple(false, true));
}

// A hydrocracker whose generic supplier cannot be made (versions up to 35 have none).
std::unique_ptr<robase> oldVersionHcr(const BlockRequest& request) {
  return std::make_unique<rohcrn_1<hcrbase_1>>(request.name, VerInfo{35, 0, 0});
}

TEST(Hcr2Preparation, FailsWithoutItsSuppliersAndTheFactoryGivesNoBlock) {
  EXPECT_THROW((rohcrd_1<hcrbase_1>("H1", VerInfo{35, 0, 0}).prepare()), std::runtime_error);
  EXPECT_THROW(hcrbase_1("H1", VerInfo{37, 0, 0}).prepare(), std::runtime_error);  // no model kind, no supplier

  const ReactorCreator saved = creatorTable().hcr;
  creatorTable().hcr = &oldVersionHcr;
  QivEOBlock* made = createByFactory({"SUBID:ROHCRN", "VERSION:37.0.0"});
  creatorTable().hcr = saved;
  EXPECT_EQ(made, nullptr);
  // Below 37 the creator gives the first generation.
  QivEOBlock* old = createByFactory({"SUBID:ROHCRMILD", "VERSION:36.9.9"});
  EXPECT_NE(dynamic_cast<rohcrmild*>(old), nullptr);
  if (old) old->Destroy();
}

}  // namespace
