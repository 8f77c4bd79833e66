#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/core/test_model.h"

namespace {

const char* const kStream = "BLOCK_SPECIFIC_XML";

std::vector<uint8_t> lengthThenText(int32_t length, const std::string& text) {
  std::vector<uint8_t> bytes(4);
  std::memcpy(bytes.data(), &length, 4);  // little-endian int32, as the stream wrapper writes
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

std::vector<uint8_t> stored(const std::string& text) {
  return lengthThenText(static_cast<int32_t>(text.size()), text);
}

class Persistence : public ::testing::Test {
 protected:
  void TearDown() override {
    QivEOBlockImpl::test_force_save_status(-1);
    QivEOBlockImpl::test_force_load_status(-1);
  }
  MemStorage stg;
  testmodel block{"C1"};
};

TEST_F(Persistence, MassMassStoresItsTextAfterItsLength) {
  EXPECT_EQ(block.save(&stg), 0);
  const std::string xml =
      "<blockSpecificData><basisLE>MASS</basisLE><basisHL>MASS</basisHL></blockSpecificData>";
  ASSERT_EQ(xml.size(), 85u);
  EXPECT_EQ(stg.stream_bytes(kStream), stored(xml));
  EXPECT_TRUE(stg.has_stream("PELMO_BASE"));  // the framework's own data beside it
}

TEST_F(Persistence, RoundTripRestoresTheBases) {
  block.setLEBasis("VOLUME");
  block.setHLBasis("VOLUME");
  ASSERT_EQ(block.save(&stg), 0);
  testmodel fresh("C1");
  EXPECT_EQ(fresh.load(&stg), 0);
  EXPECT_EQ(fresh.leBasis(), 2);
  EXPECT_EQ(fresh.hlBasis(), 2);
}

TEST_F(Persistence, SaveReturnsTheFrameworkStatus) {
  QivEOBlockImpl::test_force_save_status(5);
  EXPECT_EQ(block.save(&stg), 5);
  EXPECT_TRUE(stg.has_stream(kStream));  // the block's stream is still written
}

struct StoredCase {
  const char* name;
  std::string text;
  int le, hl;  // codes after load, from LE 1 / HL 2
};

class StoredTexts : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredTexts, LoadAsDocumented) {
  const StoredCase& c = GetParam();
  MemStorage stg;
  stg.set_stream_bytes(kStream, stored(c.text));
  testmodel block("C1");
  block.m_leBasis = 1;
  block.m_hlBasis = 2;
  EXPECT_EQ(block.load(&stg), 0);
  EXPECT_EQ(block.leBasis(), c.le);
  EXPECT_EQ(block.hlBasis(), c.hl);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StoredTexts,
    ::testing::Values(
        StoredCase{"MixedCaseWord", "<basisLE>Volume</basisLE><basisHL>mass</basisHL>", 2, 0},
        StoredCase{"OtherWordIsMass", "<basisLE>GAS</basisLE>", 0, 2},
        StoredCase{"OnlyLE", "<blockSpecificData><basisLE>VOLUME</basisLE></blockSpecificData>", 2, 2},
        StoredCase{"MolarHLAccepted", "<basisHL>MOLAR</basisHL>", 1, 1},
        StoredCase{"CloseBeforeOpenTakesTheRest", "</basisLE><basisLE>VOLUME", 2, 2},
        StoredCase{"NoTags", "garbage", 1, 2}, StoredCase{"Empty", "", 1, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Persistence, NoStreamLeavesTheCodesAndReturnsTheFrameworkStatus) {
  block.setLEBasis("MOLAR");
  QivEOBlockImpl::test_force_load_status(3);
  EXPECT_EQ(block.load(&stg), 3);
  EXPECT_EQ(block.leBasis(), 1);
  QivEOBlockImpl::test_force_load_status(-1);
  EXPECT_EQ(block.load(nullptr), block.QivEOBlockImpl::load(nullptr));
}

struct CorruptCase {
  const char* name;
  std::vector<uint8_t> bytes;
};

class CorruptLengths : public ::testing::TestWithParam<CorruptCase> {};

TEST_P(CorruptLengths, AreRefused) {
  MemStorage stg;
  stg.set_stream_bytes(kStream, GetParam().bytes);
  testmodel block("C1");
  block.setLEBasis("MOLAR");
  block.setHLBasis("VOLUME");
  EXPECT_EQ(block.load(&stg), 0);
  EXPECT_EQ(block.leBasis(), 1);
  EXPECT_EQ(block.hlBasis(), 2);
}

const std::string kMassText = "<basisLE>MASS</basisLE><basisHL>MASS</basisHL>";

INSTANTIATE_TEST_SUITE_P(
    Lengths, CorruptLengths,
    ::testing::Values(CorruptCase{"Negative", lengthThenText(-5, kMassText)},
                      CorruptCase{"BeyondTheStream", lengthThenText(1000, kMassText)},
                      CorruptCase{"OverTheLimit", lengthThenText(0x7fffffff, kMassText)},
                      CorruptCase{"ShortLength", {0x10, 0x00}}, CorruptCase{"EmptyStream", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PersistenceLimit, TextBeyondOneMebibyteIsRefused) {
  std::string big = kMassText;
  big.resize((1u << 20) + 10, ' ');
  MemStorage stg;
  stg.set_stream_bytes(kStream, stored(big));
  testmodel block("C1");
  block.setLEBasis("MOLAR");
  EXPECT_EQ(block.load(&stg), 0);
  EXPECT_EQ(block.leBasis(), 1);
}

}  // namespace
