// The second-generation FCC's make-up: the slate parser and the descriptions
// handed to the suppliers, every block type's class, sizes, equation order
// and attributes, the catalogue's numbering and bounds, constants, fixed
// variables and ports, and preparations that must fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "equations/nn_equations.h"
#include "plugin/creators.h"
#include "tests/models/fcc/fcc2_fixture.h"

namespace {

using namespace fcc2_test;

struct ParseCase {
  const char* kind;
  int cuts;
  int hco;
};

class Fcc2Parse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(Fcc2Parse, SlateWordAfterTheSecondUnderscore) {
  const FccKindSlate s = parseFccModelKind(GetParam().kind);
  EXPECT_EQ(std::tuple(s.naphthaCuts, s.hco), std::tuple(GetParam().cuts, GetParam().hco)) << GetParam().kind;
}

// With one "_" only the slate word is read from the start of the text.
INSTANTIATE_TEST_SUITE_P(Kinds, Fcc2Parse,
                         ::testing::Values(ParseCase{"FCC_GO_2N", 2, 0}, ParseCase{"FCC_GOR_2N1H", 2, 1},
                                           ParseCase{"FCC_GO_3N", 3, 0}, ParseCase{"FCC_GOR_3N1H", 3, 1},
                                           ParseCase{"FCC_3N1H", 2, 0}, ParseCase{"3N1H", 3, 0},
                                           ParseCase{"", 2, 0}, ParseCase{"FCC_GO_", 2, 0},
                                           ParseCase{"FCC_GO_3", 2, 0}));

TEST(Fcc2Descriptions, ReactionSpecAndOvercrackMaps) {
  const ROEqnSupplier::ReactionSpec wide = makeFccReactionSpec("FCC_GO_3N1H");
  ASSERT_EQ(wide.streams.size(), 16u);
  EXPECT_EQ(std::tuple(wide.streams[14], wide.streams[15]), std::tuple("MCN", "HCO"));
  const ROEqnSupplier::ReactionSpec narrow = makeFccReactionSpec("FCC_GO_2N");
  ASSERT_EQ(narrow.streams.size(), 14u);
  EXPECT_EQ(std::tuple(narrow.streams.front(), narrow.streams.back(), narrow.feedStream, narrow.secondStream,
                       narrow.compSuffix, narrow.inlineCompFracs.size(), narrow.inlineCompFracs.at("H2S")),
            std::tuple("FEED", "COK", "FEED", "H2S", "SUL", 7u, 0.9408501188936436));

  const ROEqnSupplier::NNEquationParams params = makeFccOvercrackSpecs();
  EXPECT_TRUE(params.scales.empty());
  std::vector<std::string> keys;
  for (const auto& [key, spec] : params.overcrack) keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::string>{"C5SFRAC", "HCNFRAC", "LCNFRAC", "MCNFRAC"}));
  const ROEqnSupplier::OverCrackSpec& mcn = params.overcrack.at("MCNFRAC");
  EXPECT_EQ(std::tuple(mcn.flag, mcn.input, mcn.totalOutput, mcn.diffOutput, mcn.factorAttr, mcn.rateAttr),
            std::tuple(1, "REACTORPLENUMTEMP", "MCNFRACTOTAL", "MCNFRACDIFF", "MCN_OVERCRACK_PARAM",
                       "MCN_OVERCRACK_RATE"));
}

class Fcc2Type : public ::testing::TestWithParam<BlockType> {};

TEST_P(Fcc2Type, ClassSizesEquationsAttributesAndPorts) {
  const BlockType& t = GetParam();
  Session s(createByFactory(factoryOptions(t.subid)));
  ASSERT_TRUE(s.fcc()) << t.subid;
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const rofcc_1& b = *s.fcc();
  const Fcc1Slate slate = b.slate();
  const std::string kind = t.kind;
  EXPECT_EQ(b.modelKind(), kind);
  EXPECT_EQ(fcc1HasMcn(slate), kind.find("3N") != std::string::npos);
  EXPECT_EQ(fcc1HasHco(slate), kind.ends_with("1H"));
  EXPECT_FALSE(b.hasSuppliers());

  // As many equations as variables that are not fixed.
  const romhost::BlockRanges& r = s.session->ranges();
  EXPECT_EQ(std::tuple(r.nVars, r.nEqns), std::tuple(t.variables, t.equations));
  EXPECT_EQ(static_cast<int>(b.inputs().size() + b.constants().size()), t.fixed);
  const auto& vars = s.system().variables();
  EXPECT_EQ(std::count_if(vars.begin(), vars.end(), [&](int n) { return s.system().isFixed(n); }), t.fixed);

  // First and last equations; the naphtha cuts of the slate run paired networks.
  std::vector<std::string> byIndex(t.equations);
  for (const auto& [name, eqn] : b.eqnMan().objects()) byIndex.at(eqn->index - 1) = name;
  EXPECT_EQ(std::tuple(byIndex.front(), byIndex.back()), std::tuple("Y_BOTCCR", "EQN_CONVERSION"));
  for (const char* y : {"Y_C5SFRAC", "Y_LCNFRAC", "Y_MCNFRAC", "Y_HCNFRAC", "Y_COKFRAC"}) {
    const roeqn2* e = b.eqnMan().find(y);
    const bool paired = std::string(y) != "Y_COKFRAC";
    EXPECT_EQ(e != nullptr, std::string(y) != "Y_MCNFRAC" || fcc1HasMcn(slate)) << y;
    if (e) {
      EXPECT_EQ(dynamic_cast<const ROEqnSupplier::_eqNNDep_OverCrack*>(e) != nullptr, paired) << y;
    }
  }
  for (const char* v : {"CONV_FEEDVOL", "CONV_COKVOL", "CONV_FGSVOL", "CONV_H2SVOL", "CONV_H2SMASS"})
    EXPECT_NE(b.eqnMan().find(v), nullptr) << v;
  const std::vector<std::string>& conversion = b.eqnMan().find("EQN_CONVERSION")->varNames();
  EXPECT_EQ(std::count(conversion.begin(), conversion.end(), "HCOVOL"), fcc1HasHco(slate) ? 1 : 0);

  // Eight overcracking attributes after the tuning attributes, 2N blocks included.
  const int tuning = static_cast<int>(b.attributes().size()) - 8;
  int number = tuning;
  for (const char* cut : {"C5S", "LCN", "MCN", "HCN"})
    for (const char* what : {"_OVERCRACK_PARAM", "_OVERCRACK_RATE"}) {
      const ROMAttr* a = b.attributes().at(cut + std::string(what));
      EXPECT_EQ(std::tuple(a->code, a->type, a->value, a->number), std::tuple(3, ROMATTR_REAL, 1.0, number++))
          << cut << what;
    }

  // Ports: the slate's cuts on OUTVOL and OUTMASS, its results first on OUTRES.
  std::vector<std::string> vol = s.port("OUTVOL"), mass = s.port("OUTMASS");
  const int extra = (fcc1HasMcn(slate) ? 1 : 0) + (fcc1HasHco(slate) ? 1 : 0);
  EXPECT_EQ(std::tuple(vol.size(), mass.size()), std::tuple(19u + extra, 19u + extra));
  EXPECT_EQ(std::count(vol.begin(), vol.end(), "HCOVOL"), fcc1HasHco(slate) ? 1 : 0);
  for (const char* name : {"C3MIXVOL", "C4MIXVOL", "FEEDVOL", "UNSATINC3MIXVOL", "ISATINC5MIXVOL"})
    EXPECT_EQ(std::count(vol.begin(), vol.end(), name), std::string(name).starts_with("C") ? 1 : 0) << name;
  const std::vector<std::string> res = s.port("OUTRES");
  EXPECT_EQ(res.size(), 64u + 8u * extra);
  EXPECT_EQ(res.front(), fcc1HasMcn(slate) ? "MCNSUL" : fcc1HasHco(slate) ? "HCOSUL" : "SATINC3MIXVOL");
  EXPECT_EQ(std::set<std::string>(res.begin(), res.end()).size(), res.size());
  const std::vector<std::string> constants = s.port("CONSTANTS");
  EXPECT_EQ(constants.size(), 20u);
  EXPECT_TRUE(std::none_of(constants.begin(), constants.end(),
                           [](const std::string& n) { return n.find("CUTOFF") != std::string::npos; }));
  EXPECT_EQ(s.value("FGSMW"), 20.65);
  EXPECT_EQ(s.value("C5SCUTOFF"), 1.0000000000000001e-20);
  EXPECT_EQ(s.value("HCNCUTOFF"), 1e-19);
  for (const char* cutoff : {"MCNCUTOFF", "HCOCUTOFF"})
    if (s.fcc()->varMan().contains(cutoff)) {
      EXPECT_EQ(s.value(cutoff), 1e-19) << cutoff;
    }
}

INSTANTIATE_TEST_SUITE_P(Subids, Fcc2Type, ::testing::ValuesIn(kBlockTypes),
                         [](const auto& info) { return std::string(info.param.subid); });

TEST(Fcc2Catalogue, NumbersUnitsAndBounds) {
  struct Row {
    const char* subid;
    const char* name;
    int index;
    const char *disp, *base;
    double lower, upper;
  };
  QivEOBlock* made = nullptr;
  std::string subid;
  for (const Row& r : {Row{"ROFCCGO2N", "CATCOOLERDUTY", 1, "MMBTU/HR", "MMBTU/HR", 0, 200},
                       Row{"ROFCCGO2N", "ZSMPCT", 16, "FRACTION", "FRACTION", 0, 10},
                       Row{"ROFCCGO2N", "BOTCCR", 17, "PERCENT", "PERCENT", 0, 20},
                       Row{"ROFCCGO2N", "C5SFRAC", 26, "FRACTION", "FRACTION", -1, 1},
                       Row{"ROFCCGO2N", "LCONIT", 62, "PERCENT", "PERCENT", 0, 5000},
                       Row{"ROFCCGO2N", "MASSFACTOR", 69, "UNITLESS", "UNITLESS", 0.5, 1.5},
                       Row{"ROFCCGO2N", "BOTMASS", 70, "TONNE/DAY", "KG/HR", 0, 1e6},
                       Row{"ROFCCGO2N", "FEEDVOL", 96, "KBBL/DAY", "CUM/HR", 100, 1e4},
                       Row{"ROFCCGO2N", "BOTCUTOFF", 147, "UNITLESS", "UNITLESS", 1e-19, 1e-19},
                       Row{"ROFCCGO2N", "COKSG", 154, "UNITLESS", "UNITLESS", 2.285, 2.285},
                       Row{"ROFCCGO2N", "FGSMW", 156, "UNITLESS", "UNITLESS", 23.0565, 23.0565},
                       Row{"ROFCCGO2N", "USATINC5MIX", 178, "FRACTION", "FRACTION", 0, 1},
                       Row{"ROFCCGO2N", "BOTVISC_122", 21, "CS", "CS", 0, 1e7},
                       Row{"ROFCCGO2N1H", "HCOECP", 13, "F", "F", 650, 1000},
                       Row{"ROFCCGO2N1H", "HCOVISC_122", 55, "CS", "CS", 1, 1e5},
                       Row{"ROFCCGO2N1H", "HCOSUL", 119, "PERCENT", "PERCENT", 0, 8},
                       Row{"ROFCCGO3N1H", "HCOSULPPM", 133, "PPM", "PPM", 0, 60000},
                       Row{"ROFCCGO3N", "MCNFRAC", 68, "FRACTION", "FRACTION", 0, 1}}) {
    if (!made || subid != r.subid) {  // one block per run of rows of a SUBID
      if (made) made->Destroy();
      subid = r.subid;
      made = createByFactory(factoryOptions(r.subid));
    }
    const rofcc_1* b = dynamic_cast<const rofcc_1*>(made);
    ASSERT_NE(b, nullptr) << r.subid;
    const ROMVar& v = b->varMan().var(r.name);
    EXPECT_EQ(std::tuple(v.index, v.dispUnit, v.baseUnit, v.lower, v.upper),
              std::tuple(r.index, std::string(r.disp), std::string(r.base), r.lower, r.upper))
        << r.subid << " " << r.name;
  }
  if (made) made->Destroy();
}

TEST(Fcc2Ports, VolumeBasisFixesAndShowsTheFeedVolume) {
  Session s(createByFactory(factoryOptions("ROFCCGO2N", "37.0.0", true)), nominalInputs(true));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_TRUE(s.system().isFixed(s.number("FEEDVOL")));
  EXPECT_FALSE(s.system().isFixed(s.number("FEEDMASS")));
  const std::vector<std::string> input = s.port("INPUT");
  EXPECT_EQ(std::count(input.begin(), input.end(), "FEEDVOL"), 1);
  EXPECT_EQ(std::count(input.begin(), input.end(), "FEEDMASS"), 0);
  // The feed's volume conversion runs first and computes the mass.
  EXPECT_NEAR(s.value("FEEDMASS"), 250000.0, 1e-6);
}

// Blocks whose preparation cannot succeed: no generic supplier below version
// 36, and a class whose catalogue lacks the streams its model kind asks for.
std::unique_ptr<robase> oldVersionFcc(const BlockRequest& request) {
  return std::make_unique<rofccgo2n_1<rofcc_1>>(request.name, VerInfo{35, 0, 0});
}
std::unique_ptr<robase> narrowFcc(const BlockRequest& request) {
  return std::make_unique<rofcc_1>(request.name, request.version);
}

TEST(Fcc2Preparation, FailsWithoutSuppliersOrVariablesAndTheFactoryGivesNoBlock) {
  for (const ReactorCreator creator : {&oldVersionFcc, &narrowFcc}) {
    const ReactorCreator saved = creatorTable().fcc;
    creatorTable().fcc = creator;
    QivEOBlock* made = createByFactory(factoryOptions("ROFCCGO3N1H"));
    creatorTable().fcc = saved;
    EXPECT_EQ(made, nullptr);
  }
  rofccgo3n1h_1<rofcc3n1h_1<rofcc_1>> direct("F2", VerInfo{37, 0, 0});
  direct.setModelKind("COKER");  // another family's supplier has no FCC equations
  EXPECT_THROW(direct.prepare(), std::runtime_error);
  EXPECT_FALSE(direct.hasSuppliers());
}

TEST(Fcc2Life, UnpreparedBlockAndConstantsWithoutFrameworkVariables) {
  { rofccgo2n_1<rofcc_1> idle("F3", VerInfo{37, 0, 0}); }  // destroyed with no supplier made
  rofccgor3n_1<rofcc3n_1<rofcc_1>> b("F4", VerInfo{37, 0, 0});
  b.prepare();
  long long status = 0;
  b.setPELMOVarValues(status);  // no variable list yet: nothing can be written
  EXPECT_EQ(status, 1);
}

TEST(Fcc2Factory, VersionChoosesTheGeneration) {
  for (const char* version : {"37.0.0", "36.9.9"}) {
    QivEOBlock* b = createByFactory(factoryOptions("ROFCCGO2N", version));
    ASSERT_NE(b, nullptr) << version;
    EXPECT_EQ(dynamic_cast<rofccgo2n_1<rofcc_1>*>(b) != nullptr, std::string(version) == "37.0.0") << version;
    b->Destroy();
  }
}

}  // namespace
