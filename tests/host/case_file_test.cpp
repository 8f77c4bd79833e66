#include "host/case_file.h"

#include <gtest/gtest.h>

namespace romhost {
namespace {

TEST(CaseFile, ReadsEveryField) {
  const CaseSpec c = parseCase(R"({"factory": "MORVANE", "name": "C1",
      "options": ["SUBID:ROCOKER", "BASIS_HL:MASS"], "networks": "nets/../networks",
      "values": {"FEEDMASS": 120000, "FEEDSG": 1.02},
      "attributes": {"ALPHA_C3FRAC": 1.5, "NDATA": 3, "FLAG": true, "DESCRIPTION": "text"}})",
                               "/cases/run");
  EXPECT_EQ(c.factory, "MORVANE");
  EXPECT_EQ(c.name, "C1");
  EXPECT_EQ(c.options, (std::vector<std::string>{"SUBID:ROCOKER", "BASIS_HL:MASS"}));
  EXPECT_EQ(c.networks, "/cases/run/networks");  // relative to the case file's folder
  ASSERT_EQ(c.values.size(), 2u);
  EXPECT_EQ(c.values[0], (std::pair<std::string, double>{"FEEDMASS", 120000.0}));
  ASSERT_EQ(c.attributes.size(), 4u);
  EXPECT_EQ(c.attributes[0].second.kind, AttributeValue::kReal);
  EXPECT_EQ(c.attributes[1].second.kind, AttributeValue::kInteger);
  EXPECT_EQ(c.attributes[2].second.kind, AttributeValue::kLogical);
  EXPECT_EQ(c.attributes[3].second.kind, AttributeValue::kText);
}

TEST(CaseFile, ReadsTheVariablesToFixAndFree) {
  const CaseSpec c = parseCase(R"({"factory": "ROTUNING", "fix": ["Y_0", "Y_1"], "free": ["ALPHA"]})", "/cases");
  EXPECT_EQ(c.fix, (std::vector<std::string>{"Y_0", "Y_1"}));
  EXPECT_EQ(c.free, (std::vector<std::string>{"ALPHA"}));
}

TEST(CaseFile, DefaultsAndAbsoluteNetworks) {
  const CaseSpec c = parseCase(R"({"factory": "ROTUNING", "networks": "/data/nets"})", "/cases");
  EXPECT_EQ(c.name, "B1");
  EXPECT_EQ(c.networks, "/data/nets");
  EXPECT_TRUE(c.options.empty());
  EXPECT_TRUE(parseCase(R"({"factory": "X"})", "/cases").networks.empty());
}

struct BadCase {
  const char* json;
  const char* text;
};

void PrintTo(const BadCase& b, std::ostream* os) { *os << b.text; }

class CaseFileBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(CaseFileBad, IsRefusedWithAReason) {
  try {
    parseCase(GetParam().json, "/cases");
    FAIL() << "accepted: " << GetParam().json;
  } catch (const CaseError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().text), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CaseFileBad,
    ::testing::Values(BadCase{"{", "not valid JSON"}, BadCase{"[1]", "one JSON object"},
                      BadCase{R"({"name": "C1"})", "no \"factory\""},
                      BadCase{R"({"factory": 3})", "\"factory\" must be a string"},
                      BadCase{R"({"factory": ""})", "1 to 99 bytes"},
                      BadCase{R"({"factory": "F", "name": "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"})",
                              "\"name\" must have 1 to 99 bytes"},
                      BadCase{R"({"factory": "F", "options": "SUBID:X"})", "list of"},
                      BadCase{R"({"factory": "F", "options": [1]})", "\"options\" must be a string"},
                      BadCase{R"({"factory": "F", "values": {"A": "1"}})", "value of A must be a number"},
                      BadCase{R"({"factory": "F", "values": {"A": true}})", "value of A must be a number"},
                      BadCase{R"({"factory": "F", "values": [1]})", "must map variable names"},
                      BadCase{R"({"factory": "F", "attributes": {"A": [1]}})", "Attribute A must be"},
                      BadCase{R"({"factory": "F", "attributes": {"": 1}})", "1 to 99 bytes"},
                      BadCase{R"({"factory": "F", "fix": "A"})", "\"fix\" must be a list of variable names"},
                      BadCase{R"({"factory": "F", "free": [1]})", "\"free\" must be a string"},
                      BadCase{R"({"factory": "F", "fix": [""]})", "1 to 99 bytes"},
                      BadCase{R"({"factory": "F", "value": {}})", "Unknown key \"value\""},
                      BadCase{R"({"factory": "F\u0000X"})", "NUL character"},
                      BadCase{R"({"factory": "F", "options": ["SUBID:RO\u0000COKER"]})", "NUL character"},
                      BadCase{R"({"factory": "F", "values": {"A\u0000B": 1}})", "NUL character"},
                      BadCase{R"({"factory": "F", "values": {"A": 1e400}})", "not valid JSON"},
                      BadCase{R"({"factory": "F", "values": {"A": 1} x)", "not valid JSON"}));

// The outer object is the first level: 256 levels pass the nesting check (and
// meet the next rule), 257 are refused.
TEST(CaseFile, NestingIsRefusedJustPastTheLimit) {
  const auto nested = [](std::size_t levels) {
    const std::size_t arrays = levels - 1;
    return R"({"factory": "F", "values": )" + std::string(arrays, '[') + std::string(arrays, ']') + "}";
  };
  for (const std::size_t levels : {kMaxCaseNesting, kMaxCaseNesting + 1}) {
    try {
      parseCase(nested(levels), "/cases");
      FAIL() << levels << " levels accepted";
    } catch (const CaseError& e) {
      const bool tooDeep = std::string(e.what()).find("deeper than 256 levels") != std::string::npos;
      EXPECT_EQ(tooDeep, levels > kMaxCaseNesting) << levels << ": " << e.what();
    }
  }
}

TEST(CaseFile, SubnormalNumbersAreTheFiniteNumbersTheyAre) {
  const CaseSpec c = parseCase(R"({"factory": "F", "values": {"A": 5e-324, "B": -1e-310},
      "attributes": {"ALPHA_X": 4.9e-324}})", "/cases");
  EXPECT_EQ(c.values, (std::vector<std::pair<std::string, double>>{{"A", 5e-324}, {"B", -1e-310}}));
  EXPECT_EQ(c.attributes[0].second.kind, AttributeValue::kReal);
  EXPECT_EQ(c.attributes[0].second.real, 4.9e-324);
}

// Many keys are all read, in the file's order; a name given twice counts
// twice in "values" (the later wins when set) and with its last value at the
// top.
TEST(CaseFile, ManyKeysAreReadInTheFilesOrder) {
  constexpr int kKeys = 200000;
  std::string text = R"({"factory": "A", "name": "B1", "values": {)";
  for (int i = 0; i < kKeys; ++i)
    text += (i ? ", \"V" : "\"V") + std::to_string(kKeys - i) + "\": " + std::to_string(i);
  text += R"(, "V1": -1}, "factory": "F",
      "attributes": {"NDATA": 9223372036854775807, "BIG": 18446744073709551615}})";
  const CaseSpec c = parseCase(text, "/cases");
  EXPECT_EQ(c.factory, "F");
  ASSERT_EQ(c.values.size(), static_cast<std::size_t>(kKeys) + 1);
  for (int i = 0; i < kKeys; i += 9973)
    EXPECT_EQ(c.values[static_cast<std::size_t>(i)],
              (std::pair<std::string, double>{"V" + std::to_string(kKeys - i), i}));
  EXPECT_EQ(c.values.back(), (std::pair<std::string, double>{"V1", -1.0}));
  EXPECT_EQ(c.attributes[0].second.kind, AttributeValue::kInteger);
  EXPECT_EQ(c.attributes[0].second.integer, 9223372036854775807LL);
  EXPECT_EQ(c.attributes[1].second.kind, AttributeValue::kReal);  // no whole number of the framework holds it
}

TEST(CaseFile, MissingFileIsAnInputError) {
  EXPECT_THROW(readCaseFile("/nonexistent/case.json"), CaseError);
}

}  // namespace
}  // namespace romhost
