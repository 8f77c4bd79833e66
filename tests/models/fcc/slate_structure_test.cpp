// The FCC product slates as the framework sees them: the leaf and slate each
// SUBID makes, their sizes, the positions and indices of the slate's own
// records, the bounds that differ, the output list and the MCN cut-off value.
#include <gtest/gtest.h>

#include <typeinfo>

#include "tests/models/fcc/fcc_slate_fixture.h"

namespace {

using namespace fcc_test;

const std::type_info& leafType(const std::string& subid) {
  const std::pair<const char*, const std::type_info*> leaves[] = {
      {"ROFCCGO2N", &typeid(rofccgo2n)},     {"ROFCCGOR2N", &typeid(rofccgor2n)},
      {"ROFCCGO2N1H", &typeid(rofccgo2n1h)}, {"ROFCCGOR2N1H", &typeid(rofccgor2n1h)},
      {"ROFCCGO3N", &typeid(rofccgo3n)},     {"ROFCCGOR3N", &typeid(rofccgor3n)},
      {"ROFCCGO3N1H", &typeid(rofccgo3n1h)}, {"ROFCCGOR3N1H", &typeid(rofccgor3n1h)},
  };
  for (const auto& [s, type] : leaves)
    if (subid == s) return *type;
  return typeid(void);
}

class FccSlateStructure : public ::testing::TestWithParam<BlockType> {};

TEST_P(FccSlateStructure, TheFactoryMakesTheLeafOfItsRowWithItsSizes) {
  const BlockType& t = GetParam();
  Session s(t);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  EXPECT_TRUE(typeid(*s.block) == leafType(t.subid));
  EXPECT_EQ(s.fcc().slate(), t.slate);
  EXPECT_EQ(s.fcc().modelKind(), t.kind);
  EXPECT_EQ(s.system().variables().size(), static_cast<std::size_t>(t.variables));
  EXPECT_EQ(s.system().equations().size(), static_cast<std::size_t>(t.equations));
  int adjustments = 0;
  for (int e : s.system().equations()) adjustments += std::string(s.system().equationName(e)).rfind("F1.Y_", 0) == 0;
  EXPECT_EQ(adjustments, t.outputs);
  EXPECT_EQ(s.eqnNumber("MASS_BAL") - 10, t.massBal);
  EXPECT_EQ(s.eqnNumber("SULFUR_BAL") - 10, t.massBal + 1);
  // Operations per pass after the networks: every record of the block once,
  // the adjustment rows together as one (EQN_H2SMASS in every slate).
  const std::size_t steps = static_cast<std::size_t>(t.equations - t.outputs + 1);
  for (FccPass pass : {FccPass::Residual, FccPass::Jacobian, FccPass::Pattern})
    EXPECT_EQ(fccPassSteps(t.slate, pass).size(), steps);
  // The first-generation version selects the same class; no second generation yet.
  QivEOBlock* v36 = createByFactory({std::string("SUBID:") + t.subid, "VERSION:36.0.0"});
  ASSERT_NE(v36, nullptr);
  EXPECT_TRUE(typeid(*v36) == leafType(t.subid));
  v36->Destroy();
}

INSTANTIATE_TEST_SUITE_P(BlockTypes, FccSlateStructure, ::testing::ValuesIn(kBlockTypes),
                         [](const auto& info) { return std::string(info.param.subid); });

// Position (variables) or index (equations) of a slate's own records, and
// the bounds that differ between slates.
struct Placed {
  const char* subid;
  const char* name;
  int at;              // 1-based position or index
  double upper = 0.0;  // checked when not 0
};
void PrintTo(const Placed& p, std::ostream* os) { *os << p.subid << " " << p.name; }

class FccSlatePlacement : public ::testing::TestWithParam<Placed> {};

TEST_P(FccSlatePlacement, OwnRecordsComeFirst) {
  const Placed& p = GetParam();
  const BlockType* type = nullptr;
  for (const BlockType& t : kBlockTypes)
    if (std::string(t.subid) == p.subid) type = &t;
  Session s(*type);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const std::string name = p.name;
  if (name.rfind("EQN_", 0) == 0) {
    EXPECT_EQ(s.eqnNumber(name) - 10, p.at);
    return;
  }
  EXPECT_EQ(s.number(name) - 100, p.at);
  if (p.upper != 0.0) {
    EXPECT_EQ(s.system().upper(s.number(name)), p.upper);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, FccSlatePlacement,
    ::testing::Values(Placed{"ROFCCGO2N", "FEEDMASS", 1}, Placed{"ROFCCGO3N1H", "MCNECP", 1},
                      Placed{"ROFCCGO3N1H", "HCOECP", 2}, Placed{"ROFCCGO3N1H", "MCNCUTOFF", 32},
                      Placed{"ROFCCGO3N1H", "FEEDMASS", 33}, Placed{"ROFCCGOR3N", "MCNCUTOFF", 15},
                      Placed{"ROFCCGO2N1H", "HCOSUL", 13, 8}, Placed{"ROFCCGO2N1H", "HCOSULPPM", 14, 80000},
                      Placed{"ROFCCGOR3N1H", "HCOSUL", 30, 6}, Placed{"ROFCCGOR3N1H", "HCOSULPPM", 31, 60000},
                      Placed{"ROFCCGO3N", "EQN_MCNMASS", 1}, Placed{"ROFCCGO3N1H", "EQN_MCNMASS", 1},
                      Placed{"ROFCCGO2N1H", "EQN_HCOMASS", 1}, Placed{"ROFCCGO3N1H", "EQN_HCOMASS", 5},
                      Placed{"ROFCCGO3N1H", "EQN_HCOSULPPM", 8}, Placed{"ROFCCGO2N", "EQN_H2SMASS", 67}),
    [](const auto& info) { return std::string(info.param.subid) + "_" + info.param.name; });

TEST(FccSlateStructure, CutOutputsAndConversionsOnlyWhereTheSlateHasTheCut) {
  Session three(kBlockTypes[4]);  // FCC_GO_3N
  EXPECT_EQ(three.eqnNumber("Y_MCNCETNO"), 0);
  EXPECT_EQ(three.eqnNumber("Y_HCOCETNO"), 0);
  Session full(kBlockTypes[6]);  // FCC_GO_3N1H
  EXPECT_GT(full.eqnNumber("Y_MCNCETNO"), 0);
  EXPECT_GT(full.eqnNumber("Y_HCOCETNO"), 0);
  // The "CONV_" records of the volume flows follow the byte order of the names.
  const char* order[] = {"BOTVOL", "C32VOL", "C3VOL", "C5SVOL", "FEEDVOL", "HCNVOL", "HCOVOL",
                         "IC4VOL", "LCNVOL", "LCOVOL", "MCNVOL", "NC4VOL", "UC4VOL"};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(full.eqnNumber(std::string("CONV_") + order[i]) - 10, 114 + i) << order[i];
  // The MCN cut-off is fixed at 1e-19 with the other constants.
  EXPECT_EQ(full.value("MCNCUTOFF"), 1e-19);
  EXPECT_TRUE(full.system().isFixed(full.number("MCNCUTOFF")));
}

TEST(FccSlateStructure, OutputListPutsTheSlatesCutsFirst) {
  for (const char* hl : {"MASS", "VOLUME"}) {
    auto* probe = new Probe<rofcc3n1h>("FCC_GO_3N1H", hl);
    const bool volume = std::string(hl) == "VOLUME";
    Session s(probe, nominalInputs("FCC_GO_3N1H", volume));
    ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
    qiv_port port;
    probe->addVarsToOutputPort(&port);
    std::vector<std::string> names;
    for (int n : port.vars) names.push_back(s.system().variableName(n) + 3);
    const std::vector<std::string> head = {volume ? "MCNVOL" : "MCNMASS", volume ? "HCOVOL" : "HCOMASS", "MCNSUL",
                                           "MCNSG", "MCNRON", "MCNMON", "MCNRVP", "MCNAROM", "MCNOLEF", "HCOSUL",
                                           "HCOSG", "HCONIT", "HCOCCR", "HCOAROM", "HCOVISC_122", "HCOCLOUDPT"};
    ASSERT_GT(names.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 16), head) << hl;
    EXPECT_EQ(names[16], volume ? "C3VOL" : "C3MASS");  // then the base list
  }
}

}  // namespace
