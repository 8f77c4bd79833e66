#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <stdexcept>

#include "core/helpers.h"
#include "platform/registry.h"

namespace {

struct VersionCase {
  const char* text;
  VerInfo expected;
};

class ParseVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ParseVersion, Reads) { EXPECT_EQ(parseVersion(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Texts, ParseVersion,
                         ::testing::Values(VersionCase{"37.1.2", {37, 1, 2}}, VersionCase{"37", {35, 0, 0}},
                                           VersionCase{"37.5", {37, 0, 0}}, VersionCase{"37.1.2.9", {37, 1, 2}},
                                           VersionCase{"-1.0.0", {4294967295u, 0, 0}},
                                           VersionCase{" 36.+9.9X", {36, 9, 9}}, VersionCase{"", {35, 0, 0}}));

class ParseVersionRefuses : public ::testing::TestWithParam<const char*> {};

TEST_P(ParseVersionRefuses, WithInvalidArgument) {
  try {
    parseVersion(GetParam());
    FAIL() << "no error";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "invalid stoi argument");
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseVersionRefuses, ::testing::Values(".1.2", "37..2", "37.1.", "X.1.1"));

TEST(ParseVersionRange, OutOfRangePartRaises) {
  try {
    parseVersion("99999999999.0.0");
    FAIL() << "no error";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "stoi argument out of range");
  }
}

TEST(VersionText, JoinsThreeNumbers) {
  EXPECT_EQ(versionText({37, 0, 10}), "37.0.10");
  EXPECT_EQ(versionText({}), "35.0.0");
  EXPECT_EQ(versionText({4294967295u, 0, 0}), "4294967295.0.0");
}

TEST(StoiChecked, FollowsTheStandardConversion) {
  EXPECT_EQ(stoi_checked("12ABC"), 12);
  EXPECT_EQ(stoi_checked("  -7"), -7);
  EXPECT_EQ(stoi_checked("+2147483647"), INT_MAX);
  EXPECT_EQ(stoi_checked("-2147483648"), INT_MIN);
  EXPECT_THROW(stoi_checked("abc"), std::invalid_argument);
  EXPECT_THROW(stoi_checked(""), std::invalid_argument);
  EXPECT_THROW(stoi_checked("-"), std::invalid_argument);
  EXPECT_THROW(stoi_checked("2147483648"), std::out_of_range);
  EXPECT_THROW(stoi_checked("-99999999999999999999999"), std::out_of_range);
}

struct BasisCase {
  const char* word;
  int code;
};

class BasisCodes : public ::testing::TestWithParam<BasisCase> {};

TEST_P(BasisCodes, Map) { EXPECT_EQ(basisCode(GetParam().word), GetParam().code); }

INSTANTIATE_TEST_SUITE_P(Words, BasisCodes,
                         ::testing::Values(BasisCase{"VOLUME", 2}, BasisCase{"volume", 0}, BasisCase{"MOLAR", 1},
                                           BasisCase{"MASS", 0}, BasisCase{"", 0}, BasisCase{"GAS", 0}));

TEST(BasisWords, NameTheCodesAndNothingElse) {
  EXPECT_STREQ(basisWord(0), "MASS");
  EXPECT_STREQ(basisWord(1), "MOLAR");
  EXPECT_STREQ(basisWord(2), "VOLUME");
  EXPECT_STREQ(basisWord(3), "");
  EXPECT_STREQ(basisWord(-1), "");
}

TEST(ToUpper, ChangesLettersOnly) {
  EXPECT_EQ(toUpper("subid:rocoker"), "SUBID:ROCOKER");
  EXPECT_EQ(toUpper("a_1.b-\xe9z"), "A_1.B-\xe9Z");
}

TEST(MapLookUp, MissingKeyRaisesTheMapError) {
  std::map<std::string, int> m{{"A", 1}};
  EXPECT_EQ(at_or_throw(m, std::string("A")), 1);
  at_or_throw(m, std::string("A")) = 4;
  EXPECT_EQ(m["A"], 4);
  try {
    at_or_throw(m, std::string("B"));
    FAIL() << "no error";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid map<K, T> key");
  }
}

TEST(NetworkFolder, FromTheRegistryOrEmpty) {
  pelmo_registry_clear();
  EXPECT_EQ(getZKModelDir(), "");
  EXPECT_EQ(networkFolderName("COKER"), "\\COKER");
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", "/data/nets/");
  EXPECT_EQ(getZKModelDir(), "/data/nets/");  // no separator added or removed
  EXPECT_EQ(networkFolderName("COKER"), "/data/nets/\\COKER");
  EXPECT_EQ(networkFileName("COKER", "C3FRAC"), "COKER_C3FRAC.zkr");
  pelmo_registry_clear();
}

TEST(BoundedCopy, RefusesWhatDoesNotFit) {
  char buf[6] = "xxxxx";
  EXPECT_TRUE(copyBounded(buf, sizeof buf, "ABCDE"));
  EXPECT_STREQ(buf, "ABCDE");
  EXPECT_FALSE(copyBounded(buf, sizeof buf, "ABCDEF"));
  EXPECT_STREQ(buf, "");
}

}  // namespace
