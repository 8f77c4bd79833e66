// The coker block's make-up: factory row, description, catalogue, equation
// records, framework objects, ports and sparsity pattern.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "tests/models/coker/coker_fixture.h"

namespace {

using namespace coker_test;

TEST(CokerCatalogue, MapsIndicesUnitsBoundsAndDerivativeEntries) {
  ProbeCoker c("C1");
  std::set<int> indices;
  std::vector<std::size_t> sizes;
  for (const ROMVarMap* m : c.varMaps()) {
    sizes.push_back(m->size());
    for (const auto& e : *m) indices.insert(e.second->index);
  }
  EXPECT_EQ(sizes, (std::vector<std::size_t>{11, 35, 1, 49, 13, 2, 10}));
  EXPECT_EQ(indices.size(), 121u);
  EXPECT_EQ(*indices.rbegin(), 121);
  for (const auto& out : c.m_nnOutputVars) {  // exactly the eleven inputs, each 0
    EXPECT_EQ(out.second->derivs.size(), 11u);
    for (const auto& in : c.m_inputVars) EXPECT_EQ(out.second->derivs.at(in.first), 0.0);
  }
  struct Row {
    const char* name;
    int index;
    const char *disp, *base;
    double lower, upper;
  };
  for (const Row& r :
       {Row{"FEEDMASS", 1, "TONNE/DAY", "KG/HR", 100, 1e6}, Row{"FEEDNIT", 4, "PPM", "PPM", 300, 1e4},
        Row{"LGONIT", 38, "PERCENT", "PERCENT", 0, 5000}, Row{"MASSFACTOR", 47, "UNITLESS", "UNITLESS", -1e30, 1e30},
        Row{"FEEDVOL", 48, "KBBL/DAY", "CUM/HR", 100, 1e4}, Row{"H2SMOL", 62, "MMSCFD", "KMOL/HR", 0, 2e4},
        Row{"H2SMW", 112, "UNITLESS", "UNITLESS", 34.08088, 34.08088},
        Row{"COKFOEFACTOR", 121, "UNITLESS", "UNITLESS", 1.24, 1.24}}) {
    const ROMVar* v = c.variable(r.name);
    ASSERT_NE(v, nullptr) << r.name;
    EXPECT_EQ(std::tuple(v->index, v->dispUnit, v->baseUnit, v->lower, v->upper, v->value),
              std::tuple(r.index, std::string(r.disp), std::string(r.base), r.lower, r.upper, 1.0))
        << r.name;
  }
}

TEST(CokerRecords, IndicesFollowTheCreationOrder) {
  const rocoker bare("C0");  // the own records exist only after preparation
  for (const char* name : rocoker::kOwnEquationNames) EXPECT_EQ(bare.ownEquation(name), nullptr) << name;
  ProbeCoker c("C1");
  const std::pair<const char*, int> expected[] = {
      {"Y_C32FRAC", 1},       {"Y_FGSFRAC", 5},       {"Y_UC4FRAC", 35},          {"MASS_BAL", 36},
      {"SULFUR_BAL", 37},     {"CONV_FEEDVOL", 38},   {"CONV_NC4VOL", 43},        {"CONV_IC4VOL", 44},
      {"CONV_FGSMOL", 52},    {"CONV_H2SMASS", 53},   {"CONV_IC4MASS", 57},       {"CONV_NC4MASS", 58},
      {"EQN_LCNSUL", 65},     {"EQN_COKSULMASS", 80}, {"EQN_ISATINC4MIXVOL", 94}, {"EQN_LGOCETIDX", 97},
      {"EQN_LGOVISCIDX", 99}, {"EQN_HGOVISCIDX", 100}};
  for (const auto& [name, index] : expected) {
    ASSERT_NE(c.equation(name), nullptr) << name;
    EXPECT_EQ(c.equation(name)->index, index) << name;
  }
  std::set<int> indices;
  for (const char* name : rocoker::kOwnEquationNames) indices.insert(c.equation(name)->index);
  EXPECT_EQ(indices.size(), rocoker::kOwnEquationCount);
}

class CokerSetUp : public ::testing::TestWithParam<bool> {};  // volume HL basis

TEST_P(CokerSetUp, FactoryBlockCreatesItsFrameworkObjects) {
  const bool volume = GetParam();
  Session s(createByFactory(options(volume)), nominalInputs(volume));
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  qiv_blk_t desc;
  s.coker().inq_attr(desc);
  EXPECT_STREQ(desc.options, volume ? "SUBID:ROCOKER, BASIS_HL:VOLUME, BASIS_LE:MASS"
                                    : "SUBID:ROCOKER, BASIS_HL:MASS, BASIS_LE:MASS");
  value_t v;
  ASSERT_TRUE(s.coker().attr_lookup_value("TEMPLATE", &v));
  EXPECT_STREQ(v.sval, "COKER");
  value_clear(&v);
  const romhost::BlockRanges& r = s.session->ranges();  // as user_dim announced them
  EXPECT_EQ(std::tuple(r.nVars, r.nEqns, r.nNz), std::tuple(200, 200, 40000));

  EXPECT_TRUE(s.session->warnings().empty());
  EXPECT_EQ(s.system().variables().size(), 121u);
  EXPECT_EQ(s.system().equations().size(), 100u);
  EXPECT_EQ(s.eqnNumber("MASS_BAL"), r.firstEqn + 35);
  EXPECT_EQ(s.number("COKFOEFACTOR"), r.firstVar + 120);
  const auto& vars = s.system().variables();
  EXPECT_EQ(std::count_if(vars.begin(), vars.end(), [&](int n) { return s.system().isFixed(n); }), 21);
  EXPECT_EQ(s.system().isFixed(s.number("FEEDVOL")), volume);
  EXPECT_EQ(std::vector<double>({s.value("COKFOEFACTOR"), s.value("FGSMW"), s.value("H2SMW")}),
            std::vector<double>({1.24, 23.0565, 34.08088}));

  EXPECT_EQ(s.port("INPUT"),
            (std::vector<std::string>{"COMBINEDFEEDRATIO", "DRUMINLETPRES", "DRUMINLETTEMP", "FEEDCCR",
                                      volume ? "FEEDVOL" : "FEEDMASS", "FEEDNIT", "FEEDSG", "FEEDSUL", "HCNECP",
                                      "LCNECP", "LGOECP"}));
  const std::vector<std::string> vol = s.port("OUTVOL");
  EXPECT_EQ(std::vector<std::size_t>(
                {s.port("OUTMASS").size(), vol.size(), s.port("OUTRES").size(), s.port("CONSTANTS").size()}),
            std::vector<std::size_t>({14, 14, 47, 10}));
  EXPECT_EQ(vol.back(), "C4MIXVOL");
  EXPECT_EQ(std::count(vol.begin(), vol.end(), "FEEDVOL"), 0);
  qiv_port* out = qivport_create("OUT", 0, 2, 0);
  s.coker().addVarsToOutputPort(out);
  const std::vector<std::string> outNames = s.portVariables(out);
  qivport_destroy(out);
  EXPECT_EQ(outNames.size(), 70u);
  EXPECT_TRUE(std::none_of(outNames.begin(), outNames.end(), [](const std::string& n) { return n.ends_with("PPM"); }));
}

INSTANTIATE_TEST_SUITE_P(Basis, CokerSetUp, ::testing::Bool());

TEST(CokerPattern, AdjustmentRowsFirstThenModelRowsWithTheirFirstNonZero) {
  auto* probe = new ProbeCoker("C1");
  Session s(probe, nominalInputs(), {}, romhost::Placement{1, 1, 1, 16});
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_EQ(s.system().nonZeros().size(), 641u);
  EXPECT_EQ(probe->nzlast(), 641);
  EXPECT_EQ(probe->equation("MASS_BAL")->firstNz, 420);
  EXPECT_EQ(probe->equation("EQN_HGOVISCIDX")->firstNz, 639);
  rt_jac_t* jac = s.system().jac();
  for (int nz = 1; nz <= 12; ++nz) EXPECT_EQ(rtojac_row(jac, nz), s.eqnNumber("Y_C32FRAC"));
  EXPECT_EQ(std::vector<int>({rtojac_col(jac, 1), rtojac_col(jac, 11), rtojac_col(jac, 12), rtojac_col(jac, 421),
                              rtojac_col(jac, 433)}),
            std::vector<int>({s.number("COMBINEDFEEDRATIO"), s.number("LGOECP"), s.number("C32FRAC"),
                              s.number("FEEDMASS"), s.number("COKMASS")}));
}

TEST(CokerPattern, RowCutShortByTheRangeRuleWritesNoValues) {
  auto* probe = new ProbeCoker("C1");
  Session s(probe);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  probe->ownEquation("EQN_LCNN2A")->index = -5;  // below the block's first equation - 1
  long long st = 0;
  probe->user_pat(s.system().jac(), st);
  EXPECT_EQ(st, 1);
  EXPECT_EQ(probe->nzlast(), probe->nzstart() - 1 + 638);
  EXPECT_EQ(s.system().jacobian().status, 1);
  // The next row keeps its own entries: HCNNAPH 1, HCNAROM 2, HCNN2A -1.
  const int first = probe->nzstart() + probe->ownEquation("EQN_HCNN2A")->firstNz;
  EXPECT_EQ(std::vector<double>({s.system().jacobianValue(first), s.system().jacobianValue(first + 1),
                                 s.system().jacobianValue(first + 2)}),
            std::vector<double>({1, 2, -1}));
}

}  // namespace
