// Malformed network files: each gives its status and a message, never a crash.
#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

#include "platform/diveduded/cache.h"
#include "platform/diveduded/parser.h"

namespace {

using diveduded::loadNetworkText;

// A valid two-input file; the cases below edit one piece of it.
std::string base(const std::string& tag_a = "A", const std::string& act = "TANH", const std::string& w1 = "1 2 3 4",
                 const std::string& tail = "END\n") {
  return "ZKR 1\nOUTPUT Y\nINPUTS 2\nINPUT " + tag_a + " 0 1\nINPUT B 0 1\nOUTPUTSCALE 0 1\nLAYERS 2\nLAYER 2 " + act +
         "\nW " + w1 + "\nB 0 0\nLAYER 1 LINEAR\nW 1 1\nB 0\n" + tail;
}

struct BadFile {
  const char* name;
  std::string text;
  int status;
  const char* says;  // part of the message
};

class MalformedFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(MalformedFile, GivesItsStatus) {
  const BadFile& c = GetParam();
  const diveduded::LoadResult r = loadNetworkText(c.text, "bad.zkr");
  EXPECT_EQ(r.status, c.status);
  EXPECT_EQ(r.net, nullptr);
  EXPECT_NE(r.message.find("bad.zkr"), std::string::npos) << r.message;
  EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
}

const std::string kTag99(99, 'T');
const std::string kTag100(100, 'T');

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedFile,
    ::testing::Values(
        BadFile{"Empty", "", 4, "truncated"},
        BadFile{"TruncatedInWeights", base().substr(0, base().find("3 4")), 4, "truncated"},
        BadFile{"NoEnd", base("A", "TANH", "1 2 3 4", ""), 4, "truncated"},
        BadFile{"TooFewWeights", base("A", "TANH", "1 2 3"), 4, "wrong count"},
        BadFile{"TooManyWeights", base("A", "TANH", "1 2 3 4 5"), 4, "expected \"B\""},
        BadFile{"NanWeight", base("A", "TANH", "1 nan 3 4"), 4, "finite number"},
        BadFile{"InfWeight", base("A", "TANH", "1 inf 3 4"), 4, "finite number"},
        BadFile{"OverflowingWeight", base("A", "TANH", "1 1e400 3 4"), 4, "finite number"},
        BadFile{"HexWeight", base("A", "TANH", "1 0x10 3 4"), 4, "finite number"},
        BadFile{"CommaDecimal", base("A", "TANH", "1 2,5 3 4"), 4, "finite number"},
        BadFile{"DoubleSign", base("A", "TANH", "1 +-2 3 4"), 4, "finite number"},
        BadFile{"DuplicateTagOtherCase", base("b"), 4, "duplicate input tag"},
        BadFile{"Tag100Bytes", base(kTag100), 4, "100 bytes"},
        BadFile{"UnknownActivation", base("A", "RELU"), 4, "unknown activation"},
        BadFile{"LowerCaseActivation", base("A", "tanh"), 4, "unknown activation"},
        BadFile{"TooManyInputs", "ZKR 1\nOUTPUT Y\nINPUTS 1001\n", 4, "outside 0..1000"},
        BadFile{"HugeInputCount", "ZKR 1\nOUTPUT Y\nINPUTS 99999999999999999999999\n", 4, "out of range"},
        BadFile{"NegativeCount", "ZKR 1\nOUTPUT Y\nINPUTS -1\n", 4, "whole number"},
        BadFile{"TooWide", "ZKR 1\nOUTPUT Y\nINPUTS 0\nOUTPUTSCALE 0 1\nLAYERS 1\nLAYER 10001 TANH\n", 4,
                "outside 1..10000"},
        BadFile{"BiasBeyondText", "ZKR 1\nOUTPUT Y\nINPUTS 0\nOUTPUTSCALE 0 1\nLAYERS 3\nLAYER 10000 TANH\nW\nB",
                4, "too short"},
        BadFile{"CountBeyondText", "ZKR 1\nOUTPUT Y\nINPUTS 1000\nINPUT A 0 1\n", 4, "too short"},
        BadFile{"LastLayerWide", "ZKR 1\nOUTPUT Y\nINPUTS 0\nOUTPUTSCALE 0 1\nLAYERS 1\nLAYER 2 LINEAR\n", 4,
                "width 1"},
        BadFile{"NoLayers", "ZKR 1\nOUTPUT Y\nINPUTS 0\nOUTPUTSCALE 0 1\nLAYERS 0\n", 4, "outside 1..1000"},
        BadFile{"Version2", "ZKR 2\n", 4, "unsupported format version"},
        BadFile{"LowerCaseKeyword", "zkr 1\n", 4, "expected \"ZKR\""},
        BadFile{"TextAfterEnd", base("A", "TANH", "1 2 3 4", "END\nEND\n"), 4, "after \"END\""},
        BadFile{"NulByte", std::string("ZKR 1\nOUTPUT Y\0Z\n", 17), 4, "control character"},
        BadFile{"NulInComment", std::string("# exported\0\nZKR 1\n", 19), 4, "control character (byte 0)"},
        BadFile{"EscapeInComment", "ZKR 1 # \x1b[31m red\n", 4, "control character (byte 27)"},
        BadFile{"DeleteInComment", base("A", "TANH", "1 2 3 4", "# \x7f\nEND\n"), 4, "control character (byte 127)"},
        BadFile{"ShortCheck", base("A", "TANH", "1 2 3 4", "CHECK 1 2\nEND\n"), 4, "CHECK"},
        BadFile{"FailedSelfCheck", base("A", "TANH", "1 2 3 4", "CHECK 0 0 1\nEND\n"), 9, "CHECK point 1"}),
    [](const ::testing::TestParamInfo<BadFile>& i) { return std::string(i.param.name); });

// A long token is shown cut, but never inside a character.
TEST(NetworkParser, AShortenedTokenKeepsItsCharactersWhole) {
  const std::string name = std::string(39, 'R') + "\xc3\xa9LU";  // the 40th byte starts a two-byte character
  const diveduded::LoadResult r = loadNetworkText(base("A", name), "bad.zkr");
  EXPECT_NE(r.message.find("\"" + std::string(39, 'R') + "...\""), std::string::npos) << r.message;
}

TEST(NetworkParser, CountsBeyondTheTextAreRefusedBeforeAllocating) {
  // 1000 x 10000 weights are within the limits, but the text cannot hold them.
  std::string text = "ZKR 1\nOUTPUT Y\nINPUTS 1000\n";
  for (int i = 0; i < 1000; ++i) text += "INPUT T" + std::to_string(i) + " 0 1\n";
  text += "OUTPUTSCALE 0 1\nLAYERS 3\nLAYER 10000 TANH\nW 1\n";
  diveduded::Network net;
  diveduded::ParseError err;
  EXPECT_FALSE(diveduded::parseNetwork(text, net, err));
  EXPECT_NE(err.message.find("too short"), std::string::npos) << err.message;
}

TEST(NetworkParser, WeightLimitCountsEveryLayer) {
  // The first layer holds exactly 10^7 weights; the next one passes the limit.
  std::string text = "ZKR 1\nOUTPUT Y\nINPUTS 1000\n";
  for (int i = 0; i < 1000; ++i) text += "INPUT T" + std::to_string(i) + " 0 1\n";
  text += "OUTPUTSCALE 0 1\nLAYERS 2\nLAYER 10000 TANH\nW";
  auto zeros = [](std::size_t n) {
    std::string z(2 * n, ' ');
    for (std::size_t i = 1; i < z.size(); i += 2) z[i] = '0';
    return z;
  };
  text += zeros(10'000'000) + "\nB" + zeros(10'000);
  text += "\nLAYER 1 LINEAR\n";
  diveduded::Network net;
  diveduded::ParseError err;
  EXPECT_FALSE(diveduded::parseNetwork(text, net, err));
  EXPECT_NE(err.message.find("more than 10000000 weights"), std::string::npos) << err.message;
}

TEST(NetworkParser, AcceptsCommentsCrlfSignsAndTheLongestTag) {
  const std::string text = "# header\twith a tab\f\r\nZKR 1 # version\r\nOUTPUT y\r\nINPUTS 1\r\nINPUT " + kTag99 +
                           " +1.5 -2e-1\r\nOUTPUTSCALE .5 1E0\r\nLAYERS 1\r\nLAYER 1 SOFTPLUS\r\nW 1\r\nB -0\r\nEND";
  diveduded::Network net;
  diveduded::ParseError err;
  ASSERT_TRUE(diveduded::parseNetwork(text, net, err)) << err.message;
  EXPECT_EQ(net.tags.at(0), kTag99);
  EXPECT_DOUBLE_EQ(net.offsets[0], 1.5);
  EXPECT_DOUBLE_EQ(net.scales[0], -0.2);
  EXPECT_DOUBLE_EQ(net.out_offset, 0.5);
}

// A C++ locale with a decimal comma, as a host application might install.
struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

TEST(NetworkParser, NumbersIgnoreTheProcessLocale) {
  const std::locale saved_global;
  std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  // The C library's locale too, where the machine has one with a decimal comma.
  const std::string saved_c = std::setlocale(LC_NUMERIC, nullptr);
  const bool c_comma =
      std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr || std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
  double v = 0.0;
  EXPECT_TRUE(diveduded::parseNumber("1.25", v));
  EXPECT_EQ(v, 1.25);
  EXPECT_FALSE(diveduded::parseNumber("1,25", v));
  diveduded::Network net;
  diveduded::ParseError err;
  EXPECT_TRUE(diveduded::parseNetwork(base("A", "TANH", "0.5 1.5 -2.25 1e-3"), net, err)) << err.message;
  EXPECT_EQ(net.layers.at(0).weights.at(2), -2.25);
  std::setlocale(LC_NUMERIC, saved_c.c_str());
  std::locale::global(saved_global);
  RecordProperty("c_locale_with_decimal_comma", c_comma ? "yes" : "no");
}

TEST(NetworkParser, ErrorNamesTheLine) {
  diveduded::Network net;
  diveduded::ParseError err;
  ASSERT_FALSE(diveduded::parseNetwork(base("A", "GELU"), net, err));
  EXPECT_EQ(err.line, 8);
}

}  // namespace
