// FCC ports, constant values, the vapour-pressure index and the conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "tests/models/fcc/fcc_test_slate.h"

namespace {

using Names = std::vector<std::string>;

Names cat(std::initializer_list<Names> parts) {
  Names all;
  for (const Names& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

const Names kProperties = {
    "LCNSG", "HCNSG", "LCOSG", "BOTSG", "BURNAIRMOLFLOW", "REGENBEDTEMP", "CATTOOILRATIO", "LCNRON", "LCNMON",
    "LCNRVP", "LCNAROM", "LCNOLEF", "LCNBEN", "HCNRON", "HCNMON", "HCNRVP", "HCNAROM", "HCNOLEF", "HCNCLOUDPT",
    "HCNVISC_122", "LCOD86_50", "LCONIT", "LCOCCR", "LCOAROM", "LCOVISC_122", "LCOCLOUDPT", "BOTVISC_122", "BOTCCR"};
const Names kVolShares = {"SATINC3MIXVOL", "UNSATINC3MIXVOL", "NSATINC4MIXVOL", "ISATINC4MIXVOL", "UNSATINC4MIXVOL"};
const Names kMassShares = {"SATINC3MIX", "UNSATINC3MIX", "NSATINC4MIX", "ISATINC4MIX", "UNSATINC4MIX"};
const Names kC5S = {"C5SSG", "C5SRON", "C5SMON", "C5SAROM", "C5SOLEF", "C5SRVP", "C5SRVI", "CONVERSION"};
const Names kSul = {"C5SSUL", "LCNSUL", "HCNSUL", "LCOSUL", "BOTSUL", "COKSUL"};
const Names kMcn = {"MCNSUL", "MCNSULPPM", "MCNSG", "MCNRON", "MCNMON", "MCNRVP", "MCNAROM", "MCNOLEF"};
const Names kHco = {"HCOSUL", "HCOSULPPM", "HCOSG", "HCONIT", "HCOCCR", "HCOAROM", "HCOVISC_122", "HCOCLOUDPT"};

struct ResultCase {
  const char* kind;
  SlateShape shape;
  Names tail;  // the slate's entries after the base 60
};
class FccResultPort : public ::testing::TestWithParam<ResultCase> {};

TEST_P(FccResultPort, BaseEntriesThenTheSlateTailOfTheModelKind) {
  const PreparedSlate p(GetParam().kind, GetParam().shape);
  ASSERT_EQ(p.iniStatus, 0);
  const Names sulPpm = {"C5SSULPPM", "LCNSULPPM", "HCNSULPPM", "LCOSULPPM", "BOTSULPPM", "COKSULPPM"};
  EXPECT_EQ(p.port("OUTRES"),
            cat({kVolShares, kMassShares, {"FGSMOL", "H2SMOL"}, kC5S, kSul, sulPpm, kProperties, GetParam().tail}));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, FccResultPort,
    ::testing::Values(ResultCase{"FCC_GO_2N", kSlate2N, {}}, ResultCase{"FCC_GO_3N", kSlate3N1H, kMcn},
                      ResultCase{"FCC_GOR_2N1H", kSlate3N1H, kHco}, ResultCase{"FCC_GO_3N1H", kSlate3N1H, cat({kMcn, kHco})},
                      // No "N", or the "N" first: an empty tail instead of a read before the text.
                      ResultCase{"FCC_GO", kSlate2N, {}}, ResultCase{"N3H", kSlate2N, {}}));

TEST(FccPorts, ConstantsAndVolumePorts) {
  const PreparedSlate p;
  EXPECT_EQ(p.port("CONSTANTS"), (Names{"C32SG", "C3SG", "COKFOEFACTOR", "FGSFOEFACTOR", "FGSMW", "H2SFOEFACTOR",
                                        "H2SMW", "H2SSULFUR", "IC4SG", "NC4SG", "UC4SG"}));
  EXPECT_EQ(p.port("OUTVOL"), (Names{"BOTVOL", "C32VOL", "C3VOL", "C5SVOL", "HCNVOL", "IC4VOL", "LCNVOL", "LCOVOL",
                                     "NC4VOL", "UC4VOL", "C3MIXVOL", "C4MIXVOL", "COKVOL", "FGSVOL", "H2SVOL"}));
  // A kind calling for cuts the catalogue lacks fails the set-up with a status.
  EXPECT_EQ(PreparedSlate("FCC_GO_3N", kSlate2N).iniStatus, 1);
}

const Names kMasses = {"C3MASS", "C32MASS", "C3MIXMASS", "NC4MASS", "IC4MASS", "UC4MASS", "C4MIXMASS",
                       "C5SMASS", "LCNMASS", "HCNMASS", "LCOMASS", "BOTMASS", "COKMASS"};
const Names kVolumes = {"C3VOL", "C32VOL", "C3MIXVOL", "NC4VOL", "IC4VOL", "UC4VOL", "C4MIXVOL",
                        "C5SVOL", "LCNVOL", "HCNVOL", "LCOVOL", "BOTVOL", "COKVOL"};

struct OutputCase {
  int hl, le;
  Names head;  // products, gases and shares before the fixed tail
};
class FccOutputPort : public ::testing::TestWithParam<OutputCase> {};

TEST_P(FccOutputPort, ProductListByBasis) {
  const PreparedSlate p;
  p.block->m_hlBasis = GetParam().hl;
  p.block->m_leBasis = GetParam().le;
  qiv_port* port = qivport_create("OUT", 0, 2, 0);
  p.block->addPort(port);
  p.block->addVarsToOutputPort(port);
  EXPECT_EQ(p.port("OUT"), cat({GetParam().head, kC5S, kSul, kProperties}));
}

INSTANTIATE_TEST_SUITE_P(Bases, FccOutputPort,
                         ::testing::Values(OutputCase{2, 1, cat({kVolumes, {"FGSMOL", "H2SMOL"}, kVolShares})},
                                           OutputCase{0, 0, cat({kMasses, {"FGSMASS", "H2SMASS"}, kMassShares})},
                                           OutputCase{0, 2, cat({kMasses, {"FGSVOL", "H2SVOL"}, kMassShares})},
                                           // A code other than 1 or 2 counts as mass.
                                           OutputCase{7, 9, cat({kMasses, {"FGSMASS", "H2SMASS"}, kMassShares})}));

TEST(FccConstants, ValuesAsStatedAndFixed) {
  const PreparedSlate p;
  const std::pair<const char*, double> values[] = {
      {"COKFOEFACTOR", 1.24}, {"FGSFOEFACTOR", 0.811249393}, {"H2SFOEFACTOR", 2.6145}, {"C3SG", 0.5085},
      {"C32SG", 0.5194},      {"IC4SG", 0.5646},             {"NC4SG", 0.5948},       {"UC4SG", 0.6008},
      {"FGSMW", 20.65},  // its bounds are 23.0565: the framework does not clip a fixed value
      {"H2SMW", 34.08088},    {"H2SSULFUR", 0.9408501188936436},
      {"C5SCUTOFF", 1.0000000000000001e-20}, {"LCNCUTOFF", 1e-19}, {"HCNCUTOFF", 1e-19}};
  for (const auto& [name, v] : values) {
    EXPECT_EQ(p.value(name), v) << name;
    EXPECT_TRUE(rtovarlst_is_fixed(p.vars, p.block->varNumber(*p.block->find(name)))) << name;
  }
  EXPECT_EQ(p.value("C5SCUTOFF"), std::nextafter(1e-20, 1.0));
  EXPECT_FALSE(rtovarlst_is_fixed(p.vars, p.block->varNumber(*p.block->find("MASSFACTOR"))));
  fcctestslate detached("FCC_GO_2N");  // no variable list: every write fails, and so does the step
  detached.prepare();
  long long status = 0;
  detached.setPELMOVarValues(status);
  EXPECT_EQ(status, 1);
}

TEST(FccCorrelations, VapourPressureIndexAndConversion) {
  const fcctestslate block("FCC_GO_2N");
  EXPECT_EQ(block.computeC5SRVI(0.0), 0.0);
  EXPECT_DOUBLE_EQ(block.computeC5SRVI(1.0 / 0.145037738), 1.0);
  EXPECT_DOUBLE_EQ(block.computeC5SRVI(16.0 / 0.145037738), 32.0);  // 16 psi ^ 1.25
  EXPECT_DOUBLE_EQ(block.computeConversion(100.0, 20.0, 10.0), 70.0);
  EXPECT_DOUBLE_EQ(block.computeConversion(100.0, 20.0, 10.0, 5.0), 65.0);
  EXPECT_FALSE(std::isfinite(block.computeConversion(0.0, 20.0, 10.0)));
}

}  // namespace
