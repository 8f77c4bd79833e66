// The make-up of the reformer blocks of both generations: NA basis, modes,
// variable numbering and bounds, equation records and their order,
// specifications, constants, attributes, ports and the options text.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/models/reformer/ref_fixture.h"

namespace {

using namespace ref_test;
using Names = std::vector<std::string>;

// ---- NA basis ------------------------------------------------------------------

struct NaCase {
  const char* text;  // null: no text
  const char* basis;
  double factor;
};

void PrintTo(const NaCase& c, std::ostream* os) { *os << (c.text ? c.text : "(null)"); }

class RefNaBasis : public ::testing::TestWithParam<NaCase> {};

TEST_P(RefNaBasis, RecognisesTheFourBasesInAnyCaseAndNothingElse) {
  const NaCase& c = GetParam();
  rorefcont1r first("R1");
  rorefcont1r_1<roref1r_1<roref_1>> second("R2", VerInfo{37, 0, 0});
  first.setNABasis(c.text);
  second.setNABasis(c.text);
  EXPECT_EQ(std::pair(first.naBasis(), first.naFactor()), std::pair(std::string(c.basis), c.factor));
  EXPECT_EQ(std::pair(second.naBasis(), second.naFactor()), std::pair(std::string(c.basis), c.factor));
  // An accepted basis stays when a later text is not one.
  first.setNABasis("N+3A");
  first.setNABasis(c.text);
  EXPECT_EQ(first.naFactor(), c.factor == 0.0 ? 3.0 : c.factor);
}

INSTANTIATE_TEST_SUITE_P(Texts, RefNaBasis,
                         ::testing::Values(NaCase{"N+A", "N+A", 1.0}, NaCase{"n+1.5a", "N+1.5A", 1.5},
                                           NaCase{"N+2a", "N+2A", 2.0}, NaCase{"N+3A", "N+3A", 3.0},
                                           NaCase{"NA", "NA", 0.0}, NaCase{"N + 2A", "NA", 0.0},
                                           NaCase{"N+2.0A", "NA", 0.0}, NaCase{"", "NA", 0.0},
                                           NaCase{nullptr, "NA", 0.0}));

// ---- Set-up of each block type -----------------------------------------------------

struct LayoutCase {
  const char* subid;
  bool second;
  Names firstVariables;  // first generation: the slate's own, indices 1, 2, ...
  Names lastEquations;   // first generation: the block's last; second: its first
  Names results;         // "OUTRES"
  Names masses;          // "OUTMASS"
  Names volumes;         // "OUTVOL"
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.subid << (c.second ? " 37" : " 35"); }

class RefLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(RefLayout, NumbersRecordsPortsAndSpecifications) {
  const LayoutCase& c = GetParam();
  const bool semi = std::string(c.subid).find("SEMI") != std::string::npos;
  std::vector<std::string> options = {std::string("SUBID:") + c.subid};
  if (c.second) options.push_back("VERSION:37.0.0");
  Session s(createByFactory(options), nominalInputs({semi, false, false, c.second}));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;

  for (std::size_t i = 0; i < c.firstVariables.size(); ++i)
    EXPECT_EQ(s.number(c.firstVariables[i]), s.impl().vstart() + static_cast<int>(i)) << c.firstVariables[i];
  const int eqns = static_cast<int>(s.system().equations().size());
  for (std::size_t i = 0; i < c.lastEquations.size(); ++i) {
    const int expected = c.second ? s.impl().estart() + static_cast<int>(i)
                                  : s.impl().estart() + eqns - static_cast<int>(c.lastEquations.size() - i);
    EXPECT_EQ(s.eqnNumber(c.lastEquations[i]), expected) << c.lastEquations[i];
  }

  EXPECT_EQ(s.has("CATAGE"), semi);
  const Names inputs = semi ? Names{"CATAGE", "TARGETRON", "FEEDSG", "FEEDMASS", "FEEDAROM", "FEEDNAPH"}
                            : Names{"TARGETRON", "FEEDSG", "FEEDMASS", "FEEDAROM", "FEEDNAPH"};
  EXPECT_EQ(s.port("INPUT"), inputs);
  EXPECT_EQ(s.port("OUTRES"), c.results);
  EXPECT_EQ(s.port("OUTMASS"), c.masses);
  EXPECT_EQ(s.port("OUTVOL"), c.volumes);
  for (const std::string& name : s.port("CONSTANTS")) EXPECT_EQ(name.find("CUTOFF"), std::string::npos) << name;

  // Without an NA basis the feed aromatics and naphthenes are inputs; MEABP is computed.
  for (const char* name : {"FEEDAROM", "FEEDNAPH", "FEEDNA", "FEEDSG", "RATIONA", "TARGETRON", "FEEDMASS"})
    EXPECT_TRUE(s.fixed(name)) << name;
  for (const char* name : {"MEABP", "FEEDCNO", "FEEDHYD", "MASSFACTOR", "FGSMASS", "FEEDVOL"})
    EXPECT_FALSE(s.fixed(name)) << name;
  EXPECT_EQ(s.eqnNumber("EQN_FEEDAROM"), 0);
  EXPECT_EQ(s.eqnNumber("EQN_FEEDNAPH"), 0);
  // The aromatics hydrogen content is computed: no network, no tuning factors.
  EXPECT_EQ(s.eqnNumber("Y_AROHYD"), 0);
  EXPECT_FALSE(s.impl().attr_lookup_value("ALPHA_AROHYD", nullptr));

  // Every constant holds the value of its bounds.
  const romhost::BlockSystem& sys = s.system();
  for (const int v : sys.variables())
    if (sys.lower(v) == sys.upper(v)) {
      EXPECT_EQ(sys.value(v), sys.lower(v)) << sys.variableName(v);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, RefLayout,
    ::testing::Values(
        LayoutCase{"ROREFSEMI1R",
                   false,
                   {"RFTFRAC", "RFTSG", "RFTRON", "RFTMON", "RFTOLEF", "RFTAROM", "RFTBENZ", "RFTRVP", "RFTVOL",
                    "RFTHYD", "RFTMASS", "RFTHYDMASS", "FEEDMASS"},
                   {"EQN_RFTMASS", "EQN_RFTHYDMASS"},
                   {"RFTSG", "RFTRON", "RFTMON", "RFTOLEF", "RFTAROM", "RFTBENZ", "RFTRVP", "RFTHYD", "FGSMOL",
                    "H2MOL"},
                   {"C3MASS", "FGSMASS", "H2MASS", "IC4MASS", "NC4MASS", "RFTMASS"},
                   {"C3VOL", "FGSVOL", "H2VOL", "IC4VOL", "NC4VOL", "RFTVOL"}},
        LayoutCase{"ROREFCONT2R",
                   false,
                   {"RF1FRAC", "RF2FRAC", "RF1SG"},
                   {"EQN_RF1MASS", "EQN_RF2MASS", "EQN_RF1HYDMASS", "EQN_RF2HYDMASS"},
                   {"RF1SG", "RF1RON", "RF1MON", "RF1OLEF", "RF1AROM", "RF1BENZ", "RF1RVP", "RF1HYD", "RF2SG",
                    "RF2RON", "RF2MON", "RF2OLEF", "RF2AROM", "RF2BENZ", "RF2RVP", "RF2HYD", "FGSMOL", "H2MOL"},
                   {"C3MASS", "FGSMASS", "H2MASS", "IC4MASS", "NC4MASS", "RF1MASS", "RF2MASS"},
                   {"C3VOL", "FGSVOL", "H2VOL", "IC4VOL", "NC4VOL", "RF1VOL", "RF2VOL"}},
        // AROHYD reaches the result port from the computed variables, not the mass port.
        LayoutCase{"ROREFSEMIA",
                   false,
                   {"AROFRAC", "RAFFRAC", "AROBENZ", "AROTOL", "AROXYL", "AROC9P", "AROSG", "RAFSG", "AROVOL",
                    "RAFVOL", "AROHYD", "RAFHYD", "AROMASS", "RAFMASS", "AROHYDMASS", "RAFHYDMASS", "FEEDMASS"},
                   {"EQN_AROHYD", "EQN_AROMASS", "EQN_RAFMASS", "EQN_AROHYDMASS", "EQN_RAFHYDMASS"},
                   {"AROBENZ", "AROTOL", "AROXYL", "AROC9P", "AROSG", "AROHYD", "RAFSG", "RAFHYD", "FGSMOL", "H2MOL"},
                   {"AROMASS", "C3MASS", "FGSMASS", "H2MASS", "IC4MASS", "NC4MASS", "RAFMASS"},
                   {"AROVOL", "C3VOL", "FGSVOL", "H2VOL", "IC4VOL", "NC4VOL", "RAFVOL"}},
        // Second generation: the layout's conversions lead the equations.
        LayoutCase{"ROREFCONT1R",
                   true,
                   {"FEEDAROM", "FEEDMASS", "FEEDNAPH", "MEABP", "TARGETRON", "C3FRAC"},
                   {"CONV_RFTVOL", "Y_C3FRAC", "Y_H2FRAC"},
                   {"RFTSG", "RFTRON", "RFTMON", "RFTOLEF", "RFTAROM", "RFTBENZ", "RFTRVP", "RFTHYD", "FGSMOL",
                    "H2MOL"},
                   {"C3MASS", "FGSMASS", "H2MASS", "IC4MASS", "NC4MASS", "RFTMASS"},
                   {"C3VOL", "FGSVOL", "H2VOL", "IC4VOL", "NC4VOL", "RFTVOL"}},
        LayoutCase{"ROREFSEMIA",
                   true,
                   {"CATAGE", "FEEDAROM"},
                   {"CONV_AROVOL", "CONV_RAFVOL", "EQN_AROHYD", "Y_AROBENZ"},
                   {"AROBENZ", "AROTOL", "AROXYL", "AROC9P", "AROSG", "AROHYD", "RAFSG", "RAFHYD", "FGSMOL", "H2MOL"},
                   {"AROMASS", "C3MASS", "FGSMASS", "H2MASS", "IC4MASS", "NC4MASS", "RAFMASS"},
                   {"AROVOL", "C3VOL", "FGSVOL", "H2VOL", "IC4VOL", "NC4VOL", "RAFVOL"}}),
    [](const auto& info) { return std::string(info.param.subid) + (info.param.second ? "_37" : "_35"); });

// ---- NA basis, volume basis and the options text ----------------------------------------

class RefOptions : public ::testing::TestWithParam<bool> {};  // second generation

TEST_P(RefOptions, AnNABasisComputesTheFeedSplitAndAVolumeBasisFixesTheFeedVolume) {
  const bool second = GetParam();
  std::vector<std::string> options = {"SUBID:ROREFCONT2R", "BASIS_NA:n+1.5a", "BASIS_HL:VOLUME", "BASIS_LE:MOLAR"};
  if (second) options.push_back("VERSION:37.0.0");
  Session s(createByFactory(options), nominalInputs({false, true, true, second}));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_FALSE(s.fixed("FEEDAROM"));
  EXPECT_FALSE(s.fixed("FEEDNAPH"));
  EXPECT_TRUE(s.fixed("FEEDNA"));
  EXPECT_TRUE(s.fixed("FEEDVOL"));
  EXPECT_FALSE(s.fixed("FEEDMASS"));
  EXPECT_NE(s.eqnNumber("EQN_FEEDAROM"), 0);
  EXPECT_EQ(s.port("INPUT"), (Names{"TARGETRON", "FEEDSG", "FEEDVOL", "FEEDNA"}));

  // The output list (no port is filled from it) leads with the product volumes.
  qiv_port* out = qivport_create("OUT", 0, 2, 0);
  auto& block = dynamic_cast<robase&>(s.impl());
  block.addVarsToOutputPort(out);
  Names outputs;
  for (int i = 0; i < qivport_nvars(out); ++i)
    outputs.push_back(std::string(s.system().variableName(qivport_var(out, i))).substr(3));
  qivport_destroy(out);
  ASSERT_EQ(outputs.size(), 23u);
  EXPECT_EQ(Names(outputs.begin(), outputs.begin() + 3), (Names{"RF1VOL", "RF2VOL", "RF1SG"}));
  EXPECT_EQ(Names(outputs.end() - 5, outputs.end()), (Names{"C3VOL", "NC4VOL", "IC4VOL", "FGSMOL", "H2MOL"}));

  qiv_blk_t desc;
  s.impl().inq_attr(desc);
  const std::string text = "SUBID:ROREFCONT2R, BASIS_HL:VOLUME, BASIS_LE:MOLAR, BASIS_NA:N+1.5A";
  EXPECT_EQ(std::string(desc.options), second ? text + ", VERSION:37.0.0" : text);

  // The hydrogen-balance attributes follow the tuning factors (FACTORNA in the second generation).
  value_t v;
  ASSERT_TRUE(s.impl().attr_lookup_value("HYDBALSLOPEAROM", &v));
  EXPECT_EQ(v.dval, 0.0);
  EXPECT_EQ(s.impl().attr_lookup_value("FACTORNA", &v), second);
  if (second) {
    EXPECT_EQ(v.dval, 1.5);
  }
  const int n = s.impl().attr_num();
  EXPECT_STREQ(s.impl().attr_name(n - (second ? 3 : 2)), "HYDBALSLOPEAROM");
}

INSTANTIATE_TEST_SUITE_P(Generations, RefOptions, ::testing::Bool());

// ---- Bounds of the two reformates ---------------------------------------------------------

TEST(RefBounds, TheTwoReformatesDifferInVapourPressureAndGravity) {
  for (const bool second : {false, true}) {
    std::vector<std::string> options = {"SUBID:ROREFSEMI2R"};
    if (second) options.push_back("VERSION:37.0.0");
    Session s(createByFactory(options), nominalInputs({true, false, false, second}));
    ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
    const romhost::BlockSystem& sys = s.system();
    const auto bounds = [&](const char* name) { return std::pair(sys.lower(s.number(name)), sys.upper(s.number(name))); };
    EXPECT_EQ(bounds("RF1RVP"), std::pair(0.0, 100.0));
    EXPECT_EQ(bounds("RF2RVP"), std::pair(0.0, 200.0));
    EXPECT_EQ(bounds("RF1SG"), std::pair(0.7, 0.9));
    EXPECT_EQ(bounds("RF2SG"), std::pair(0.75, 0.95));
  }
}

// ---- Second-generation type names ---------------------------------------------------------

TEST(RefTypeName, ModeAndLayoutAndARefusedName) {
  using R = std::pair<std::int32_t, std::int32_t>;
  for (const auto& [name, expected] : std::vector<std::pair<std::string, R>>{{"REF_SEMI_1R", {0, 0}},
                                                                             {"REF_CONT_2R", {1, 1}},
                                                                             {"REF_SEMI_A", {0, 2}},
                                                                             {"REF_CONT_A", {1, 2}},
                                                                             {"REF_HALF_2R", {-1, 1}},
                                                                             {"REF_CONT_3R", {1, -1}},
                                                                             {"REFCONT1R", {-1, -1}},
                                                                             {"", {-1, -1}}})
    EXPECT_EQ(parseReformerModelType(name), expected) << name;

  // A leaf whose type name gives no layout is never prepared.
  rorefsemi1r_1<roref1r_1<roref_1>> block("R2", VerInfo{37, 0, 0});
  block.setModelKind("REF_SEMI_3R");
  EXPECT_THROW(block.prepare(), std::invalid_argument);
}

TEST(RefTypeName, TwoReformatesHaveANetworkEquationPerOutputInNameOrder) {
  rorefsemi2r_1<roref2r_1<roref_1>> block("R2", VerInfo{37, 0, 0});
  useSampleNetworks();
  block.prepare();
  EXPECT_EQ(block.networkOutputs().size(), 22u);
  std::uint32_t previous = 0;
  for (const varinfo2& y : block.networkOutputs()) {
    const roeqn2* eqn = block.eqnMan().find("Y_" + y.name);
    ASSERT_NE(eqn, nullptr) << y.name;
    EXPECT_GT(static_cast<std::uint32_t>(eqn->index), previous) << y.name;
    previous = static_cast<std::uint32_t>(eqn->index);
  }
}

}  // namespace
