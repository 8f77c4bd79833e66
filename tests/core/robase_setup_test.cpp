// robase life cycle, framework variables and equations, ports and persistence.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "core/helpers.h"
#include "tests/core/test_model.h"

namespace {

static_assert(!std::is_copy_constructible_v<robase> && !std::is_copy_assignable_v<robase>);

using Names = std::vector<std::string>;

class Setup : public ::testing::Test {
 protected:
  void SetUp() override { block.prepare(); }
  bool fixed(const char* name) const { return rtovarlst_is_fixed(fw.vars, fw.num(block, name)); }
  Names port(const char* name) const {  // variable names of a port, in port order
    Names out;
    const qiv_port* p = block.findPort(name);
    for (int i = 0; p && i < qivport_nvars(p); ++i) out.push_back(rtovarlst_name(fw.vars, qivport_var(p, i)) + 3);
    return out;
  }
  Framework fw;
  testmodel block{"C1"};
};

TEST_F(Setup, DefaultsSizesAndIdentity) {
  robase plain("P");
  EXPECT_EQ(plain.leBasis() + plain.hlBasis(), 0);
  EXPECT_EQ(plain.modelKind(), "");
  int nvar = 0, neqn = 0, nnz = 0;
  long long status = 7;
  plain.user_dim(nvar, neqn, nnz, status);
  EXPECT_EQ(std::vector<long long>({nvar, neqn, nnz, status}), std::vector<long long>({200, 200, 40000, 0}));
  long long s[] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  plain.user_ini(s[0]), plain.user_pat(fw.jac, s[1]), plain.user_res(s[2]), plain.user_jac(s[3]), plain.init(s[4]);
  plain.pre_solve(s[5]), plain.post_solve(s[6]), plain.createPELMOEquations(s[7]), plain.setPELMOVarValues(s[8]);
  for (long long v : s) EXPECT_EQ(v, 1);
  EXPECT_TRUE(block.isof_type("MORVANE"));
  EXPECT_FALSE(block.isof_type("morvane"));  // the framework's answer
  char buf[8];
  block.inq_model_type(buf);
  EXPECT_STREQ(buf, "MORVANE");
}

TEST_F(Setup, BasisSettersAcceptOnlyTheirWords) {
  block.setLEBasis("molar");
  EXPECT_EQ(block.leBasis(), 1);
  block.setLEBasis("GAS");
  EXPECT_EQ(block.leBasis(), 1);
  block.setHLBasis("Volume");
  EXPECT_EQ(block.hlBasis(), 2);
  block.setHLBasis("MOLAR");
  EXPECT_EQ(block.hlBasis(), 2);
  block.setHLBasis(nullptr);
  EXPECT_EQ(block.hlBasis(), 2);
}

TEST_F(Setup, RecordsBecomeFrameworkVariablesAndEquations) {
  ASSERT_EQ(fw.setUp(block), 0);
  EXPECT_EQ(fw.num(block, "FEEDMASS"), 101);  // index 1 at first position 101
  EXPECT_STREQ(rtovarlst_name(fw.vars, 101), "C1.FEEDMASS");
  EXPECT_EQ(rtovarlst_flags(fw.vars, 101), 524558);
  EXPECT_STREQ(rtouom_name(rtovarlst_baseuom(fw.vars, 101)), "KG/HR");
  EXPECT_STREQ(rtouom_name(rtovarlst_uom(fw.vars, 101)), "TONNE/DAY");
  EXPECT_EQ(fw.value(101), 100000.0);
  EXPECT_EQ(block.nvarsCreated(), 16);
  EXPECT_EQ(block.neqnsCreated(), 3);
  EXPECT_STREQ(rtoeqnlst_name(fw.eqns, 51), "C1.Y_C3FRAC");
  EXPECT_EQ(rtoeqnlst_owner(fw.eqns, 53), static_cast<const QivEOBlock*>(&block));
  for (const char* name : {"FEEDMASS", "FEEDSUL", "RXTEMP", "SULFACTOR"}) EXPECT_TRUE(fixed(name)) << name;
  for (const char* name : {"FEEDVOL", "C3FRAC", "C3MASS"}) EXPECT_FALSE(fixed(name)) << name;
  qiv_blk_t desc;
  block.inq_attr(desc);
  EXPECT_STREQ(desc.options, "SUBID:ROCOKER, BASIS_HL:MASS, BASIS_LE:MASS");
  block.m_leBasis = 7;
  block.inq_attr(desc);
  EXPECT_STREQ(desc.options, "SUBID:ROCOKER, BASIS_HL:MASS, BASIS_LE:");
  EXPECT_EQ(block.modelfromtpl("REF_SEMI_1R"), "ROREFSEMI1R");
}

TEST_F(Setup, ValuesAndSpecificationsRefuseWhatTheyCannotDo) {
  ASSERT_EQ(fw.setUp(block), 0);
  ROMVar* v = block.var("C3MASS");
  long long status = 0;
  block.setPELMOVarSpec(v, "const", status);
  EXPECT_EQ(status, 1);
  block.setPELMOVarValue(v, 42.0, status);
  block.setPELMOVarValue(v, std::nan(""), status);  // never stored
  EXPECT_EQ(status, 1);
  EXPECT_EQ(fw.value(fw.num(block, "C3MASS")), 42.0);
  testmodel detached("D");
  detached.prepare();
  detached.createPELMOVariable(detached.var("FEEDMASS"), status);
  EXPECT_EQ(status, 1);
  detached.user_ini(status);
  EXPECT_EQ(status, 1);
}

TEST(SetupNames, FrameworkNameOverNinetyNineCharactersIsRefusedNotCut) {
  // "<block>.COMBINEDFEEDRATIO"-like names: a block name that leaves a full
  // name of 100 or more characters is refused at the first variable.
  for (std::size_t blockLength : {std::size_t{98}, std::size_t{250}}) {
    Framework fw;
    testmodel block(std::string(blockLength, 'B').c_str());
    block.prepare();
    EXPECT_EQ(fw.setUp(block), 1) << blockLength;
    EXPECT_FALSE(rtovarlst_is_registered(fw.vars, 101));
    EXPECT_EQ(block.nvarsCreated(), 0);
    EXPECT_TRUE(block.ports().empty());  // the chain stopped at the first step
  }
  char field[256];
  EXPECT_TRUE(frameworkName(field, sizeof field, std::string(89, 'B').c_str(), "FEEDMASS1"));  // 99 characters
  EXPECT_EQ(std::string(field).size(), 99u);
  EXPECT_FALSE(frameworkName(field, sizeof field, std::string(90, 'B').c_str(), "FEEDMASS1"));
  EXPECT_STREQ(field, "");
}

// The name in the framework's field: "block.own" when it fits the field and
// the length limit, else an empty field and false.
TEST(FrameworkName, FitsTheFieldOrLeavesItEmpty) {
  struct Case {
    const char* block;
    std::string own;
    std::size_t cap;
    bool fits;
    const char* field;
  };
  const Case cases[] = {
      {"C1", "FEEDMASS", 32, true, "C1.FEEDMASS"},
      {nullptr, "FEEDMASS", 32, true, ".FEEDMASS"},
      {"", "", 32, true, "."},
      {"C1", "FEEDMASS", 12, true, "C1.FEEDMASS"},  // 11 characters and the terminator
      {"C1", "FEEDMASS", 11, false, ""},
      {"C1", std::string("FEED\0MASS", 9), 32, false, ""},
  };
  for (const Case& c : cases) {
    char field[32] = "stale";
    EXPECT_EQ(frameworkName(field, c.cap, c.block, c.own), c.fits) << c.field;
    EXPECT_STREQ(field, c.field);
  }
  EXPECT_FALSE(frameworkName(nullptr, 32, "C1", "FEEDMASS"));
  char untouched[4] = "abc";
  EXPECT_FALSE(frameworkName(untouched, 0, "C1", "FEEDMASS"));
  EXPECT_STREQ(untouched, "abc");
}

TEST(SetupFeed, VolumeBasisFixesFeedVolumeAndAMissingOneIsAFailure) {
  for (bool withFeedVol : {true, false}) {
    Framework fw;
    testmodel block("C1", "COKER", TestShape{withFeedVol, true, {}});
    block.prepare();
    block.setHLBasis("VOLUME");
    EXPECT_EQ(fw.setUp(block), withFeedVol ? 0 : 1);
    if (withFeedVol) {
      EXPECT_TRUE(rtovarlst_is_fixed(fw.vars, fw.num(block, "FEEDVOL")));
      EXPECT_FALSE(rtovarlst_is_fixed(fw.vars, fw.num(block, "FEEDMASS")));
    } else {
      long long status = 0;
      EXPECT_THROW(block.setPELMOVarSpecs(status), std::out_of_range);
    }
  }
}

TEST_F(Setup, FivePortsWithTheirContent) {
  block.setHLBasis("VOLUME");
  ASSERT_EQ(fw.setUp(block), 0);
  const Names order{"INPUT", "OUTMASS", "OUTVOL", "OUTRES", "CONSTANTS"};
  ASSERT_EQ(block.ports().size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(block.ports()[i]->name, order[i]);
    EXPECT_EQ(block.ports()[i]->direction, i == 0 || i == 4 ? 1 : 2);
  }
  EXPECT_EQ(port("INPUT"), (Names{"FEEDVOL", "FEEDSUL", "RXTEMP"}));  // in FEEDMASS's place
  EXPECT_EQ(port("OUTMASS"), (Names{"C3MASS", "LCNMASS"}));         // not LCNSULMASS, LCNMASSRATIO
  EXPECT_EQ(port("OUTVOL"), (Names{"LCNVOL"}));                      // never FEEDVOL
  EXPECT_EQ(port("OUTRES"), Names{});
  EXPECT_EQ(port("CONSTANTS"), (Names{"SULFACTOR"}));
  qiv_port* p = qivport_create("TEST", 0, 2, 0);
  block.addPort(p);
  block.addVarsToPortBySuffix(p, "MASS", block.m_calcVars, {"LCNMASS"});
  block.addVarsToPortByPrefix(p, "LCN", block.m_calcVars, {"LCNSUL", "LCNSULMASS", "LCNSULPPM"});
  block.addVarsToPortBySuffix(p, "", block.m_volumeVars, {"FEEDVOL"});
  block.addPELMOVarToPort(p, block.var("C3MASS"));
  EXPECT_EQ(port("TEST"), (Names{"C3MASS", "LCNSULMASS", "LCNMASS", "LCNMASSRATIO", "LCNVOL", "C3MASS"}));
}

// ---- Persistence -----------------------------------------------------------------

std::vector<uint8_t> stored(const std::string& text, int32_t length) {
  // The stream's int32 length, little-endian, then the text and its NUL
  // (sized at once: GCC 12 at -O3 warns falsely on growing an empty vector).
  std::vector<uint8_t> bytes(4 + text.size() + 1, 0);
  for (std::size_t i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(length) >> (8 * i));
  std::copy(text.begin(), text.end(), bytes.begin() + 4);
  return bytes;
}
std::vector<uint8_t> stored(const std::string& text) { return stored(text, static_cast<int32_t>(text.size())); }

TEST_F(Setup, SavedBasesRoundTrip) {
  MemStorage stg;
  EXPECT_EQ(block.save(&stg), 0);
  const std::string xml = "<blockSpecificData><basisLE>MASS</basisLE><basisHL>MASS</basisHL></blockSpecificData>";
  EXPECT_EQ(xml.size(), 85u);
  EXPECT_EQ(stg.stream_bytes("BLOCK_SPECIFIC_XML"), stored(xml));
  block.setLEBasis("VOLUME");
  block.setHLBasis("VOLUME");
  ASSERT_EQ(block.save(&stg), 0);
  testmodel fresh("C1");
  EXPECT_EQ(fresh.load(&stg), 0);
  EXPECT_EQ(fresh.leBasis() * 10 + fresh.hlBasis(), 22);
}

struct LoadCase {
  std::vector<uint8_t> bytes;
  int le, hl;  // codes after load, starting from LE 1 and HL 2
};

class Load : public ::testing::TestWithParam<LoadCase> {};

TEST_P(Load, ReadsTheStoredBasesOrRefusesTheStream) {
  MemStorage stg;
  stg.set_stream_bytes("BLOCK_SPECIFIC_XML", GetParam().bytes);
  testmodel block("C1");
  block.setLEBasis("MOLAR");
  block.setHLBasis("VOLUME");
  EXPECT_EQ(block.load(&stg), 0);
  EXPECT_EQ(block.leBasis(), GetParam().le);
  EXPECT_EQ(block.hlBasis(), GetParam().hl);
}

const std::string kMass = "<basisLE>MASS</basisLE><basisHL>MASS</basisHL>";
INSTANTIATE_TEST_SUITE_P(
    Streams, Load,
    ::testing::Values(LoadCase{stored("<basisLE>Volume</basisLE><basisHL>GAS</basisHL>"), 2, 0},
                      LoadCase{stored("<basisLE>VOLUME</basisLE>"), 2, 2}, LoadCase{stored("<basisHL>MOLAR</basisHL>"), 1, 1},
                      LoadCase{stored("</basisLE><basisLE>VOLUME"), 2, 2}, LoadCase{stored(""), 1, 2},
                      LoadCase{stored(kMass, -5), 1, 2}, LoadCase{stored(kMass, 1000), 1, 2},
                      LoadCase{stored(kMass + std::string(1 << 20, ' ')), 1, 2}, LoadCase{{0x10, 0}, 1, 2}));

TEST_F(Setup, LoadWithoutTheStreamKeepsTheBasesAndReturnsTheFrameworkStatus) {
  MemStorage stg;
  block.setLEBasis("MOLAR");
  QivEOBlockImpl::test_force_load_status(3);
  EXPECT_EQ(block.load(&stg), 3);
  QivEOBlockImpl::test_force_load_status(-1);
  EXPECT_EQ(block.leBasis(), 1);
}

// A storage whose every stream open gives one answer.
struct RefusingStorage : IStorage {
  explicit RefusingStorage(long a) : answer(a) {}
  long OpenStreamRaw(const wchar_t*, int, IStream** out) override {
    if (out) *out = nullptr;
    return answer;
  }
  long answer;
};

TEST_F(Setup, AStorageThatRefusesTheStreamLeavesTheFrameworkStatusButOneOutOfMemoryFails) {
  QivEOBlockImpl::test_force_save_status(0);
  QivEOBlockImpl::test_force_load_status(0);
  block.setLEBasis("MOLAR");
  RefusingStorage denied(STG_E_ACCESSDENIED), noMemory(STG_E_INSUFFICIENTMEMORY);
  EXPECT_EQ(block.save(&denied), 0);
  EXPECT_EQ(block.load(&denied), 0);
  EXPECT_EQ(block.save(&noMemory), 1);
  EXPECT_EQ(block.load(&noMemory), 1);
  QivEOBlockImpl::test_force_save_status(-1);
  QivEOBlockImpl::test_force_load_status(-1);
  EXPECT_EQ(block.leBasis(), 1);
}

// Destroying a block frees every record once, prepared or not (sanitizer build).
TEST(SetupDestruction, PreparedAndUnpreparedBlocks) {
  delete new testmodel("U");
  auto* prepared = new testmodel("P");
  prepared->prepare();
  testmodel::putRecord(prepared->m_inputVars, new ROMVar("FEEDSUL", "FRACTION", 2));  // replaces, no leak
  {
    Framework fw;
    ASSERT_EQ(fw.setUp(*prepared), 0);
  }
  static_cast<QivEOBlock*>(prepared)->Destroy();
}

}  // namespace
