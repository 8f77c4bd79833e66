// The second-generation hydrocracker's make-up over its four model kinds:
// factory classes, catalogue and numbering, equation order, specifications,
// bounds, constants, ports, the hydrogen-balance attributes, statuses kept
// on entry, and a preparation that fails without its suppliers.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "models/hydrocracker/hcr_models.h"
#include "plugin/creators.h"
#include "tests/models/hydrocracker/hcr2_fixture.h"

namespace {

using namespace hcr2_test;

class Hcr2Kind : public ::testing::TestWithParam<Kind> {};

bool isTemplateOfKind(QivEOBlock* b, const std::string& subid) {
  if (subid == "ROHCRD") return dynamic_cast<rohcrd_1<hcrbase_1>*>(b) != nullptr;
  if (subid == "ROHCRK") return dynamic_cast<rohcrk_1<hcrbase_1>*>(b) != nullptr;
  if (subid == "ROHCRMILD") return dynamic_cast<rohcrmild_1<hcrbase_1>*>(b) != nullptr;
  return dynamic_cast<rohcrn_1<hcrbase_1>*>(b) != nullptr;
}

TEST_P(Hcr2Kind, CatalogueIsNumberedSetBySetInNameOrder) {
  const Kind& k = GetParam();
  Session s(k);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  ASSERT_TRUE(isTemplateOfKind(s.block, k.subid));
  const hcrbase_1& b = s.hcr();
  EXPECT_EQ(b.modelKind(), k.modelKind);
  EXPECT_EQ(std::vector<std::string>(b.products().begin(), b.products().end()), k.products);
  EXPECT_EQ(b.streams().size(), 7 + k.products.size());
  EXPECT_EQ(b.varMan().size(), static_cast<std::size_t>(k.nVars));
  EXPECT_EQ(b.networkOutputs().size(), static_cast<std::size_t>(k.nNetworks));

  // Inputs, network outputs, constants, computed variables, MASSFACTOR.
  int expected = 1;
  for (const std::set<varinfo2>* set : {&b.inputs(), &b.networkOutputs(), &b.constants(), &b.calculated()})
    for (const varinfo2& v : *set) {
      EXPECT_EQ(b.varMan().var(v.name).index, expected) << v.name;
      EXPECT_EQ(s.number(v.name), s.session->ranges().firstVar + expected - 1) << v.name;
      ++expected;
    }
  EXPECT_EQ(b.varMan().var("MASSFACTOR").index, k.nVars);

  // The recycle rate's range is the kind's; the mild unit has none.
  const ROMVar* rcy = b.varMan().contains("RCYRATE") ? &b.varMan().var("RCYRATE") : nullptr;
  ASSERT_EQ(rcy != nullptr, k.recycle);
  if (rcy) {
    EXPECT_EQ(rcy->upper, std::string(k.subid) == "ROHCRK" ? 80.0 : 100.0);
  }
  const ROMVar& feed = b.varMan().var("FEEDMASS");
  EXPECT_EQ(std::tuple(feed.dispUnit, feed.baseUnit, feed.lower, feed.upper),
            std::tuple(std::string("TONNE/DAY"), std::string("KG/HR"), 100.0, 1e6));
}

// Names of the block's equations by running index.
std::vector<std::string> equationsByIndex(const hcrbase_1& b) {
  std::vector<std::string> names(b.eqnMan().size());
  for (const auto& [name, eqn] : b.eqnMan().objects()) names.at(static_cast<std::size_t>(eqn->index - 1)) = name;
  return names;
}

TEST_P(Hcr2Kind, EquationsAreNumberedInTheOrderOfTheSetUp) {
  const Kind& k = GetParam();
  Session s(k);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const hcrbase_1& b = s.hcr();
  const std::vector<std::string> names = equationsByIndex(b);
  ASSERT_EQ(names.size(), static_cast<std::size_t>(k.nEqns));

  std::vector<std::string> head;
  if (k.recycle) head.push_back("EQN_CALC_CONVERSION");
  for (const varinfo2& y : b.networkOutputs()) head.push_back("Y_" + y.name);
  head.push_back("EQN_FEEDHYDMASS");
  ASSERT_TRUE(std::equal(head.begin(), head.end(), names.begin()));

  // The balance layer: yields in stream order, FGS closing both balances.
  const auto balEnd = std::find(names.begin(), names.end(), "HYDROGEN_BAL");
  ASSERT_NE(balEnd, names.end());
  EXPECT_EQ(*(balEnd - 1), "MASS_BAL");
  std::vector<std::string> yields;
  for (auto it = names.begin() + static_cast<long>(head.size()); it != balEnd; ++it)
    if (it->ends_with("MASS") && !it->ends_with("HYDMASS")) yields.push_back(it->substr(4, it->size() - 8));
  std::vector<std::string> streams = {"H2S", "H2", "C3", "NC4", "IC4", "LCN", "HCN", "UCO"};
  for (const char* p : {"KER", "DSL"})
    if (b.products().count(p)) streams.push_back(p);
  EXPECT_EQ(yields, streams);

  // Then conversions, product sulfur and ppm (byte order: DSL, HCN, KER ...),
  // N+A and the blending indices.
  std::vector<std::string> tail;
  for (const std::string& st : b.streams()) tail.push_back("CONV_" + st + "VOL");
  for (const char* g : {"H2S", "H2", "FGS"}) tail.push_back(std::string("CONV_") + g + "MOL");
  for (const std::string& p : k.products) tail.push_back("EQN_" + p + "SUL");
  for (const std::string& p : k.products) tail.push_back("EQN_" + p + "SULPPM");
  tail.insert(tail.end(), {"EQN_LCNNA", "EQN_HCNNA"});
  if (b.products().count("KER"))
    tail.insert(tail.end(),
                {"EQN_KERCETIDX", "EQN_KERFREEZEIDX", "EQN_KERCLOUDIDX", "EQN_KERSMOKEIDX", "EQN_KERVISCIDX"});
  if (b.products().count("DSL")) tail.insert(tail.end(), {"EQN_DSLCETIDX", "EQN_DSLCLOUDIDX", "EQN_DSLVISCIDX"});
  tail.insert(tail.end(), {"EQN_LCNRVI", "EQN_HCNRVI", "EQN_UCOVISCIDX"});
  EXPECT_EQ(std::vector<std::string>(balEnd + 1, names.end()), tail);

  // TOTCONV enters the conversion correlation and nothing else.
  std::vector<std::string> users;
  for (const auto& [name, eqn] : b.eqnMan().objects()) {
    const auto& vars = eqn->varNames();
    if (std::find(vars.begin(), vars.end(), "TOTCONV") != vars.end()) users.push_back(name);
  }
  EXPECT_EQ(users, k.recycle ? std::vector<std::string>{"EQN_CALC_CONVERSION"} : std::vector<std::string>{});
}

// Own names of a port's variables, in port order.
std::vector<std::string> portNames(Session& s, const char* port) {
  const qiv_port* p = s.hcr().findPort(port);
  std::vector<std::string> names;
  for (int i = 0; p && i < qivport_nvars(p); ++i)
    names.push_back(std::string(rtovarlst_name(s.system().varList(), qivport_var(p, i))).substr(3));
  return names;
}

bool anyContains(const std::vector<std::string>& names, std::initializer_list<const char*> parts) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) {
    return std::any_of(parts.begin(), parts.end(), [&](const char* p) { return n.find(p) != std::string::npos; });
  });
}

TEST_P(Hcr2Kind, SetUpGivesSpecificationsBoundsConstantsPortsAndAttributes) {
  const Kind& k = GetParam();
  Session s(k);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_TRUE(s.session->warnings().empty());
  const romhost::BlockRanges& r = s.session->ranges();
  EXPECT_EQ(std::tuple(r.nVars, r.nEqns, r.nNz), std::tuple(k.nVars, k.nEqns, k.nVars * k.nEqns));

  // A recycle makes TOTCONV the specification and CONVERSION a result; the
  // block stays square either way.
  EXPECT_EQ(s.fixed("CONVERSION"), !k.recycle);
  EXPECT_TRUE(s.fixed("TOTCONV"));
  EXPECT_EQ(s.system().unknowns().size(), static_cast<std::size_t>(k.nEqns));
  const int conv = s.number("CONVERSION");
  EXPECT_EQ(std::tuple(s.system().lower(conv), s.system().upper(conv)), std::tuple(0.0, 100.0));
  EXPECT_EQ(s.system().upper(s.number("IC4VOL")), k.ic4VolUpper);
  for (const auto& [name, value] : Values{{"H2SMW", 34.08088}, {"H2SG", 0.3485}, {"FGSHYD", 22.6},
                                          {"RHOH2O", 999.04}, {"RHOAIR", 1.217}, {"UCOCUTOFF", 1e-19}})
    EXPECT_EQ(s.value(name), value) << name;
  for (const std::string& p : k.products) EXPECT_EQ(s.value(p + "CUTOFF"), 1e-19) << p;

  const std::vector<std::string> vol = portNames(s, "OUTVOL"), res = portNames(s, "OUTRES"),
                                 constants = portNames(s, "CONSTANTS");
  EXPECT_EQ(vol.size(), 6 + k.products.size());  // every stream but the feed
  EXPECT_TRUE(std::none_of(vol.begin(), vol.end(), [](const std::string& n) { return n == "FEEDVOL"; }));
  EXPECT_FALSE(anyContains(res, {"TOTCONV", "FRAC", "RELSUL", "HYD", "MASS", "VOL"}));
  EXPECT_TRUE(std::find(res.begin(), res.end(), "H2SMOL") != res.end());
  EXPECT_EQ(constants.size(), 16u);
  EXPECT_FALSE(anyContains(constants, {"CUTOFF"}));

  // The hydrogen-balance attributes follow the tuning attributes.
  const ROMAttrMap& attrs = s.hcr().attributes();
  const int n = static_cast<int>(attrs.size()) - 3;
  int number = n;
  for (const char* name : {"HYDBALBIAS", "HYDBALSLOPECONV", "HYDBALSLOPESG"}) {
    const ROMAttr& a = *attrs.at(name);
    EXPECT_EQ(std::tuple(a.code, a.value, a.number), std::tuple(3, 0.0, number++)) << name;
  }
  for (const auto& [name, a] : attrs)
    if (!name.starts_with("HYDBAL")) {
      EXPECT_LT(a->number, n) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, Hcr2Kind, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.modelKind).substr(4); });

TEST(Hcr2Basis, VolumeFeedAndTheConversionSpec) {
  // HL code first, then LE code; the light gases take the air density.
  const ROEqnSupplier::ConversionBasisSpec spec = makeHcrConversionBasisSpec(1, 2);
  EXPECT_EQ(std::tuple(spec.hlBasis, spec.leBasis, spec.volumeName), std::tuple(1u, 2u, std::string("FOE")));
  EXPECT_EQ(spec.gasStreams.size(), 3u);
  for (const char* gas : {"FGS", "H2", "H2S"}) EXPECT_EQ(spec.gasStreams.at(gas), 1) << gas;

  Session s(kKinds[0], {"BASIS_LE:MOLAR", "BASIS_HL:VOLUME"});
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(std::tuple(s.hcr().hlBasis(), s.hcr().leBasis()), std::tuple(2, 1));
  EXPECT_TRUE(s.fixed("FEEDVOL"));
  EXPECT_FALSE(s.fixed("FEEDMASS"));
  // The feed's volume step runs first and gives the feed mass.
  EXPECT_EQ(s.hcr().eqnMan().find("CONV_FEEDVOL")->getOrderKey(), 3u);
  EXPECT_NEAR(s.value("FEEDMASS"), 150000.0, 1e-6);
}

TEST(Hcr2Balances, StreamListsEndWithTheKindsProducts) {
  const std::vector<std::string> base = {"FEED", "H2S", "H2", "FGS", "C3", "NC4", "IC4", "LCN", "HCN", "UCO"};
  for (const auto& [kind, extra] : std::vector<std::pair<std::string, std::vector<std::string>>>{
           {"HCR_N", {}}, {"HCR_K", {"KER"}}, {"HCR_D", {"KER", "DSL"}}, {"HCR_MILD", {"KER", "DSL"}},
           {"HCR_k", {}}}) {
    const ROEqnSupplier::ReactionSpec spec = makeHcrReactionSpec(kind);
    std::vector<std::string> want = base;
    want.insert(want.end(), extra.begin(), extra.end());
    EXPECT_EQ(spec.streams, want) << kind;
    EXPECT_EQ(std::tuple(spec.compSuffix, spec.feedStream, spec.secondStream, spec.compConvFlag, spec.inlineFracFlag),
              std::tuple(std::string("HYD"), std::string("FEED"), std::string("FGS"), false, true));
    EXPECT_EQ(spec.inletStreams, (std::unordered_set<std::string>{"FEED", "H2"}));
    EXPECT_EQ(spec.inlineCompFracs, (std::unordered_map<std::string, double>{{"H2", 1.0}}));
    EXPECT_TRUE(spec.consumerTerms.empty());
  }
}

TEST(Hcr2Status, AFailureOnEntrySkipsTheBaseStepAndIsKept) {
  Session s(kKinds[1]);  // HCR_K
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  auto& k = dynamic_cast<rohcrk_1<hcrbase_1>&>(s.hcr());
  s.value("KERCUTOFF") = 5.0;
  s.value("H2SMW") = 5.0;
  s.session->setSpec("CONVERSION", true);
  s.session->setSpec("TOTCONV", false);
  long long status = 7;
  k.setPELMOVarValues(status);
  EXPECT_EQ(status, 7);
  EXPECT_EQ(s.value("KERCUTOFF"), 1e-19);  // its own value is written anyway
  EXPECT_EQ(s.value("H2SMW"), 5.0);        // the base step did not run
  k.setPELMOVarSpecs(status);
  EXPECT_EQ(status, 7);
  EXPECT_FALSE(s.fixed("CONVERSION"));
  EXPECT_TRUE(s.fixed("TOTCONV"));
}

// A hydrocracker whose generic supplier cannot be made (versions up to 35 have none).
std::unique_ptr<robase> oldVersionHcr(const BlockRequest& request) {
  return std::make_unique<rohcrn_1<hcrbase_1>>(request.name, VerInfo{35, 0, 0});
}

TEST(Hcr2Preparation, FailsWithoutItsSuppliersAndTheFactoryGivesNoBlock) {
  rohcrd_1<hcrbase_1> old("H1", VerInfo{35, 0, 0});
  EXPECT_THROW(old.prepare(), std::runtime_error);
  hcrbase_1 noKind("H1", VerInfo{37, 0, 0});  // no model kind: no hydrocracker supplier
  EXPECT_THROW(noKind.prepare(), std::runtime_error);

  const ReactorCreator saved = creatorTable().hcr;
  creatorTable().hcr = &oldVersionHcr;
  QivEOBlock* made = createByFactory({"SUBID:ROHCRN", "VERSION:37.0.0"});
  creatorTable().hcr = saved;
  EXPECT_EQ(made, nullptr);
  // The real creator gives the second generation from 37 on, the first below.
  for (const char* version : {"VERSION:37.0.0", "VERSION:36.9.9"}) {
    QivEOBlock* b = createByFactory({"SUBID:ROHCRMILD", version});
    ASSERT_NE(b, nullptr) << version;
    EXPECT_EQ(dynamic_cast<hcrbase_1*>(b) != nullptr, std::string(version) == "VERSION:37.0.0") << version;
    EXPECT_EQ(dynamic_cast<rohcrmild*>(b) != nullptr, std::string(version) != "VERSION:37.0.0") << version;
    b->Destroy();
  }
}

}  // namespace
