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
                      BadCase{R"({"factory": ""})", "1 to 99 characters"},
                      BadCase{R"({"factory": "F", "name": "NNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNNN"})",
                              "\"name\" must have 1 to 99 characters"},
                      BadCase{R"({"factory": "F", "options": "SUBID:X"})", "list of"},
                      BadCase{R"({"factory": "F", "options": [1]})", "\"options\" must be a string"},
                      BadCase{R"({"factory": "F", "values": {"A": "1"}})", "value of A must be a number"},
                      BadCase{R"({"factory": "F", "values": {"A": true}})", "value of A must be a number"},
                      BadCase{R"({"factory": "F", "values": [1]})", "must map variable names"},
                      BadCase{R"({"factory": "F", "attributes": {"A": [1]}})", "Attribute A must be"},
                      BadCase{R"({"factory": "F", "attributes": {"": 1}})", "1 to 99 characters"},
                      BadCase{R"({"factory": "F", "fix": "A"})", "\"fix\" must be a list of variable names"},
                      BadCase{R"({"factory": "F", "free": [1]})", "\"free\" must be a string"},
                      BadCase{R"({"factory": "F", "fix": [""]})", "1 to 99 characters"},
                      BadCase{R"({"factory": "F", "value": {}})", "Unknown key \"value\""}));

TEST(CaseFile, MissingFileIsAnInputError) {
  EXPECT_THROW(readCaseFile("/nonexistent/case.json"), CaseError);
}

}  // namespace
}  // namespace romhost
