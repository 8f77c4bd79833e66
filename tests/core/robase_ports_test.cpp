#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/test_model.h"

namespace {

class Ports : public ::testing::Test {
 protected:
  void SetUp() override { block.prepare(); }

  // Variable names of a port, in port order.
  std::vector<std::string> names(const char* port) const {
    std::vector<std::string> out;
    const qiv_port* p = block.findPort(port);
    if (!p) return out;
    for (int i = 0; i < qivport_nvars(p); ++i) {
      const std::string full = rtovarlst_name(fw.vars, qivport_var(p, i));
      out.push_back(full.substr(full.find('.') + 1));
    }
    return out;
  }

  using Names = std::vector<std::string>;
  Framework fw;
  testmodel block{"C1"};
};

TEST_F(Ports, FiveInTheirOrderWithDirections) {
  ASSERT_EQ(fw.setUp(block), 0);
  const auto& ports = block.ports();
  ASSERT_EQ(ports.size(), 5u);
  const char* order[] = {"INPUT", "OUTMASS", "OUTVOL", "OUTRES", "CONSTANTS"};
  const int direction[] = {1, 2, 2, 2, 1};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(ports[i]->name, order[i]);
    EXPECT_EQ(ports[i]->type, 0);
    EXPECT_EQ(ports[i]->direction, direction[i]);
    EXPECT_EQ(ports[i]->basis, 0);
  }
}

TEST_F(Ports, ContentOnMassBasis) {
  ASSERT_EQ(fw.setUp(block), 0);
  EXPECT_EQ(names("INPUT"), (Names{"FEEDMASS", "FEEDSUL", "RXTEMP"}));
  // Ends with MASS, not with SULMASS; LCNMASSRATIO only contains MASS.
  EXPECT_EQ(names("OUTMASS"), (Names{"C3MASS", "LCNMASS"}));
  EXPECT_EQ(names("OUTVOL"), (Names{"LCNVOL"}));
  EXPECT_TRUE(names("OUTRES").empty());
  EXPECT_EQ(names("CONSTANTS"), (Names{"SULFACTOR"}));
}

TEST_F(Ports, VolumeBasisPutsFeedVolumeInFeedMassPlace) {
  block.setHLBasis("VOLUME");
  ASSERT_EQ(fw.setUp(block), 0);
  EXPECT_EQ(names("INPUT"), (Names{"FEEDVOL", "FEEDSUL", "RXTEMP"}));
  EXPECT_EQ(names("OUTVOL"), (Names{"LCNVOL"}));  // FEEDVOL never in OUTVOL
}

TEST_F(Ports, VolumePortEmptyWhenOnlyTheFeedHasAVolume) {
  delete block.m_volumeVars.at("LCNVOL");
  block.m_volumeVars.erase("LCNVOL");
  ASSERT_EQ(fw.setUp(block), 0);
  EXPECT_TRUE(names("OUTVOL").empty());
}

TEST_F(Ports, FillersMatchEndsAndBeginningsAndListRepeats) {
  fw.attach(block);
  qiv_port* port = qivport_create("TEST", 0, 2, 0);
  block.addPort(port);
  block.addVarsToPortBySuffix(port, "MASS", block.m_calcVars, {"LCNMASS"});
  block.addVarsToPortByPrefix(port, "LCN", block.m_calcVars, {"LCNSUL"});
  block.addPELMOVarToPort(port, block.var("C3MASS"));
  long long status = 0;
  block.createPELMOVariables(status);
  ASSERT_EQ(status, 0);
  EXPECT_EQ(names("TEST"), (Names{"C3MASS", "LCNSULMASS", "LCNMASS", "LCNMASSRATIO", "LCNSULMASS", "LCNSULPPM",
                                  "C3MASS"}));
  qiv_port* all = qivport_create("ALL", 0, 2, 0);
  block.addPort(all);
  block.addVarsToPortBySuffix(all, "", block.m_volumeVars, {});
  block.addVarsToPortByPrefix(all, "", block.m_volumeVars, {"FEEDVOL"});
  EXPECT_EQ(names("ALL"), (Names{"FEEDVOL", "LCNVOL", "LCNVOL"}));
}

TEST_F(Ports, MissingFeedVolumeOnVolumeBasisRaises) {
  TestShape shape;
  shape.withFeedVol = false;
  testmodel b("C2", "COKER", shape);
  b.prepare();
  b.setHLBasis("VOLUME");
  qiv_port* port = qivport_create("INPUT", 0, 1, 0);
  b.addPort(port);
  EXPECT_THROW(b.addVarsToInputPort(port), std::out_of_range);
}

}  // namespace
