#include <gtest/gtest.h>

#include <map>
#include <set>
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
                                           VersionCase{" 36.+9.9X", {36, 9, 9}}));

template <class E>
void expectError(const char* text, const char* what) {
  try {
    parseVersion(text);
    ADD_FAILURE() << text << ": no error";
  } catch (const E& e) {
    EXPECT_STREQ(e.what(), what) << text;
  }
}

TEST(ParseVersionErrors, MalformedNumbersRaiseTheStoiErrors) {
  for (const char* text : {".1.2", "37..2", "37.1.", "X.1.1"}) expectError<std::invalid_argument>(text, "invalid stoi argument");
  expectError<std::out_of_range>("99999999999.0.0", "stoi argument out of range");
  EXPECT_EQ(stoi_checked("12ABC"), 12);
  EXPECT_EQ(stoi_checked(" -2147483648"), -2147483647 - 1);
  EXPECT_THROW(stoi_checked("2147483648"), std::out_of_range);
  EXPECT_THROW(stoi_checked("-"), std::invalid_argument);
}

TEST(Helpers, TextsAndCodes) {
  EXPECT_EQ(versionText({37, 0, 10}), "37.0.10");
  EXPECT_EQ(versionText({}), "35.0.0");
  EXPECT_EQ(toUpper("subid:rocoker_1.x\xe9"), "SUBID:ROCOKER_1.X\xe9");
  const std::map<std::string, int> codes{{"VOLUME", 2}, {"volume", 0}, {"MOLAR", 1}, {"MASS", 0}, {"", 0}};
  for (const auto& [word, code] : codes) EXPECT_EQ(basisCode(word), code) << word;
  EXPECT_STREQ(basisWord(2), "VOLUME");
  EXPECT_STREQ(basisWord(3), "");
  char buf[6];
  EXPECT_TRUE(copyBounded(buf, sizeof buf, "ABCDE"));
  EXPECT_FALSE(copyBounded(buf, sizeof buf, "ABCDEF"));  // refused, not cut
  EXPECT_STREQ(buf, "");
}

TEST(Helpers, MapLookUpRaisesTheMapError) {
  std::map<std::string, int> m{{"A", 1}};
  at_or_throw(m, std::string("A")) = 4;
  EXPECT_EQ(m["A"], 4);
  try {
    at_or_throw(m, std::string("B"));
    FAIL();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid map<K, T> key");
  }
}

TEST(Helpers, NetworkFolderFromTheRegistryOrEmpty) {
  pelmo_registry_clear();
  EXPECT_EQ(getZKModelDir(), "");
  EXPECT_EQ(networkFolderName("COKER"), "\\COKER");
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", "/nets/");
  EXPECT_EQ(networkFolderName("COKER"), "/nets/\\COKER");  // no separator added or removed
  EXPECT_EQ(networkFileName("COKER", "C3FRAC"), "COKER_C3FRAC.zkr");
  pelmo_registry_clear();
}

// Within a scope (a block's set-up) the registry is read once: a later change
// is seen only after the outermost scope ends; an unreadable key is read once
// too.
TEST(Helpers, ZKDirScopeReadsTheRegistryOnce) {
  const char* key = "SOFTWARE\\Calverin\\Tressa\\38.0";
  pelmo_registry_clear();
  {
    const ZKDirScope scope;
    EXPECT_EQ(networkFolderName("COKER"), "\\COKER");
    pelmo_registry_set("HKEY_LOCAL_MACHINE", key, "ZKDir", "/first");
    EXPECT_EQ(getZKModelDir(), "");
  }
  {
    const ZKDirScope outer;
    EXPECT_EQ(getZKModelDir(), "/first");
    pelmo_registry_set("HKEY_LOCAL_MACHINE", key, "ZKDir", "/second");
    {
      const ZKDirScope inner;
      EXPECT_EQ(networkFolderName("FCC"), "/first\\FCC");
    }
    EXPECT_EQ(getZKModelDir(), "/first");
  }
  EXPECT_EQ(getZKModelDir(), "/second");
  pelmo_registry_clear();
}

TEST(Records, ConstructorsAndDefaults) {
  const ROMVar one("FEEDSUL", "FRACTION", 3);
  EXPECT_EQ(one.value, 1.0);
  EXPECT_EQ(one.lower, -1e30);
  EXPECT_EQ(one.upper, 1e30);
  const ROMVar two("FEEDMASS", "KG/HR", "TONNE/DAY", 1, 0.0, 5e6);  // base unit first
  EXPECT_EQ(two.baseUnit, "KG/HR");
  EXPECT_EQ(two.dispUnit, "TONNE/DAY");
  EXPECT_EQ(ROMEqn("Y_C3FRAC", 7).firstNz, 0);
  const ROMAttr a("FACTORNA", 0.5, 3);
  EXPECT_EQ(a.code, 0);
  EXPECT_EQ(a.type, ROMATTR_REAL);
  std::set<varinfo2> s{varinfo2("B", "KG/HR", "TONNE/DAY", 0, 1), varinfo2("A", "F", 0, 1), varinfo2("B", "X", 0, 1)};
  ASSERT_EQ(s.size(), 2u);  // first of a name kept, name order
  EXPECT_EQ(s.rbegin()->dispUnit, "TONNE/DAY");
  EXPECT_EQ(VerInfo{}, (VerInfo{35, 0, 0}));
}

}  // namespace
