// The two FCC generations side by side: what each computes at the same
// inputs, and how each matches the tags of the paired naphtha networks to its
// model inputs.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/rtdev.h"
#include "tests/models/fcc/fcc2_fixture.h"
#include "tests/models/fcc/fcc_slate_fixture.h"
#include "tests/support/generations.h"
#include "tests/support/solve_checks.h"

namespace {

using romtest::NetworkRoot;
using romtest::Values;

// Every block type: the first-generation block (its slate's variables) and
// the second (with its C5+ split) at the nominal inputs of the kind's sample
// networks. They compute alike every variable of the first generation but
// the four constants the second has not (COKFOEFACTOR, FGSFOEFACTOR,
// H2SFOEFACTOR, H2SSULFUR) and the three volumes computed otherwise.
class FccGenerations : public ::testing::TestWithParam<fcc_test::BlockType> {};

TEST_P(FccGenerations, AgreeOnEverythingTheyComputeAlike) {
  const fcc_test::BlockType& t = GetParam();
  const Values inputs = fcc_test::nominalInputs(t.kind);
  const Values c5Split = {{"ISATINC5MIX", 0.3}, {"USATINC5MIX", 0.35}, {"NSATINC5MIX", 0.1}, {"NAPSATINC5MIX", 0.25}};
  const std::string subid = std::string("SUBID:") + t.subid;
  romtest::SolvedValues first, second;
  ASSERT_TRUE(romtest::solvedValues(first, romtest::HostedBlock(fcc_test::createByFactory({subid}), inputs)));
  ASSERT_TRUE(romtest::solvedValues(second, romtest::HostedBlock(fcc_test::createByFactory({subid, "VERSION:37.0.0"}),
                                                                 romtest::joined(inputs, c5Split))));
  EXPECT_TRUE(romtest::agreeWhereComputedAlike(first, second, static_cast<std::size_t>(t.variables - 7)));
}

INSTANTIATE_TEST_SUITE_P(Types, FccGenerations, ::testing::ValuesIn(fcc_test::kBlockTypes),
                         [](const auto& info) { return std::string(info.param.subid); });

// ---- Tags of the paired networks ----------------------------------------------------

const std::vector<std::string> kFirst = {"SUBID:ROFCCGO2N", "BASIS_LE:MASS", "BASIS_HL:MASS"};
const std::vector<std::string> kSecond = {"SUBID:ROFCCGO2N", "BASIS_LE:MASS", "BASIS_HL:MASS", "VERSION:37.0.0"};

// Both files of the LCN pair in a copy of the FCC_GO_2N sample networks name
// the plenum temperature tag.
void writePlenumTag(const NetworkRoot& root, const std::string& tag) {
  for (const char* output : {"LCNFRACTOTAL", "LCNFRACDIFF"}) {
    std::ifstream in(root / "FCC_GO_2N" / (std::string("FCC_GO_2N_") + output + ".zkr"));
    std::stringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    const std::string old = "INPUT REACTORPLENUMTEMP ";
    const std::size_t at = s.find(old);
    ASSERT_NE(at, std::string::npos) << output;
    s.replace(at, old.size(), "INPUT " + tag + " ");
    root.write("FCC_GO_2N", output, s);
  }
}

TEST(FccNetworkTags, ALowerCaseTagFailsTheFirstGenerationAndNamesTheFileAndTag) {
  const NetworkRoot root("fcc_tags");
  root.copySampleNetworks("FCC_GO_2N");
  writePlenumTag(root, "reactorplenumtemp");
  if (!rtHisDev) rtHisDev = rtdev_create(false);
  rtdev_clear(rtHisDev);
  fcc_test::Session s(romtest::createByMorvane("F1", kFirst, root.string()), fcc_test::nominalInputs("FCC_GO_2N"));
  EXPECT_EQ(s.setUp.message, "init returned status 1");
  EXPECT_EQ(s.value("LCNFRAC"), 1.0);  // init stopped before any starting value
  const std::vector<std::string> lines = rtdev_lines(rtHisDev);
  ASSERT_EQ(lines.size(), 1u) << rtdev_text(rtHisDev);
  EXPECT_NE(lines[0].find("network file FCC_GO_2N_LCNFRACTOTAL.zkr"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("tag reactorplenumtemp"), std::string::npos) << lines[0];
}

// A network the runner cannot open or run fails init with the runner's status
// in both generations and the block prints nothing: the host names the file
// from the runner's record. A missing file of the LCN pair, and a pair whose
// tag the runner is given no input for.
TEST(FccNetworkTags, ANetworkTheRunnerCannotRunPrintsNothing) {
  if (!rtHisDev) rtHisDev = rtdev_create(false);
  for (const bool unknownTag : {false, true}) {
    const NetworkRoot root("fcc_fail");
    root.copySampleNetworks("FCC_GO_2N", unknownTag ? "" : "FCC_GO_2N_LCNFRACDIFF.zkr");
    if (unknownTag) writePlenumTag(root, "PLENUMTEMP");
    const std::string message =
        "init could not run a network: network file " +
        (unknownTag ? (root / "FCC_GO_2N" / "FCC_GO_2N_LCNFRACTOTAL.zkr").string() +
                          " failed with status 6 (missing input): no input for tag \"PLENUMTEMP\""
                    : (root / "FCC_GO_2N" / "FCC_GO_2N_LCNFRACDIFF.zkr").string() +
                          " failed with status 3 (missing file)");
    rtdev_clear(rtHisDev);
    const fcc_test::Session first(romtest::createByMorvane("F1", kFirst, root.string()),
                                  fcc_test::nominalInputs("FCC_GO_2N"));
    EXPECT_EQ(first.setUp.message, message);
    EXPECT_EQ(rtdev_text(rtHisDev), "") << "first generation";
    const fcc2_test::Session second(romtest::createByMorvane("F1", kSecond, root.string()));
    EXPECT_EQ(second.setUp.message, message);
    EXPECT_EQ(rtdev_text(rtHisDev), "") << "second generation";
  }
}

TEST(FccNetworkTags, TheSecondGenerationMatchesTagsRegardlessOfCase) {
  Values upper, lower;
  for (const bool lowerCase : {false, true}) {
    const NetworkRoot root("fcc_tags");
    root.copySampleNetworks("FCC_GO_2N");
    if (lowerCase) writePlenumTag(root, "reactorplenumtemp");
    fcc2_test::Session s(romtest::createByMorvane("F1", kSecond, root.string()));
    ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
    EXPECT_TRUE(romtest::exactJacobian(s.system()));
    ASSERT_TRUE(romtest::solves(s.system(), 12));
    for (const auto& [name, v] : s.values()) (lowerCase ? lower : upper).emplace_back(name, v);
  }
  ASSERT_EQ(lower.size(), upper.size());
  for (std::size_t i = 0; i < upper.size(); ++i) {
    EXPECT_EQ(lower[i].first, upper[i].first);
    EXPECT_EQ(lower[i].second, upper[i].second) << upper[i].first;
  }
}

}  // namespace
