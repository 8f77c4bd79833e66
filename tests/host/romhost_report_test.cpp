// What the romhost program reports beside the solution: fixed variables and
// assigned attributes outside their bounds (a warning line on stderr and an
// entry of "warnings" in the JSON, the exit code still that of the solve), and
// the free variables held at a bound when Newton stops without converging.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/networks.h"
#include "tests/support/romhost_run.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using romtest::ProgramRun;

const std::string kTestPlugin = ROM_BINARY_DIR "/lib/libromhost_testplugin.so";

class RomhostReport : public ::testing::Test {
 protected:
  // The test block with the options, solved by romhost with the flags.
  ProgramRun solveTestBlock(const std::string& options, const std::string& flags) const {
    const fs::path p = dir_ / "t.json";
    std::ofstream(p) << R"({"factory": "TESTBLOCK", "options": [)" << options << "]}";
    return romtest::runRomhost("solve " + p.string() + " --plugin " + kTestPlugin + " " + flags);
  }
  const romtest::ScratchFolder dir_{"romhost_report"};
};

json warning(const std::string& name, double value, double lower, double upper) {
  return {{"name", name}, {"value", value}, {"lower", lower}, {"upper", upper}};
}

TEST_F(RomhostReport, GivenValueOutsideItsBoundsIsWarnedAboutInTableJsonAndStderr) {
  const ProgramRun j = solveTestBlock(R"("UPPER:A=2.5")", "--set A=3 --json --quiet");
  ASSERT_EQ(j.code, 0) << j.err;  // converged: the warning does not change the exit code
  EXPECT_EQ(json::parse(j.out)["warnings"], json::array({warning("A", 3, -1e30, 2.5)}));
  EXPECT_NE(j.err.find("romhost: warning: A = 3 lies outside its bounds [-1e+30, 2.5]\n"), std::string::npos) << j.err;

  const ProgramRun table = solveTestBlock(R"("UPPER:A=2.5")", "--set A=3");
  ASSERT_EQ(table.code, 0) << table.err;
  EXPECT_NE(table.out.find("CONST  outside its bounds [-1e+30, 2.5]\n"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("1 value lies outside its bounds"), std::string::npos) << table.out;

  const ProgramRun inside = solveTestBlock(R"("UPPER:A=2.5")", "--json --quiet");
  ASSERT_EQ(inside.code, 0) << inside.err;
  EXPECT_EQ(json::parse(inside.out)["warnings"], json::array());
  EXPECT_EQ(inside.err.find("warning"), std::string::npos) << inside.err;
}

TEST_F(RomhostReport, FixedValueMovedOutsideItsBoundsIsWarnedAboutAtTheSolution) {
  // B is 3, below its upper bound 5, after set-up; the block's first residual pass moves it to 7, and the
  // check at the solution sees what the block left.
  const ProgramRun r = solveTestBlock(R"("UPPER:B=5", "RESTART:B=7")", "--json --quiet");
  const json j = json::parse(r.out);
  EXPECT_EQ(r.code, j["converged"] == true ? 0 : 1);
  EXPECT_EQ(j["warnings"], json::array({warning("B", 7, -1e30, 5)}));
  EXPECT_NE(r.err.find("romhost: warning: B = 7 lies outside"), std::string::npos) << r.err;
}

TEST_F(RomhostReport, FreeVariableHeldAtABoundIsNamedWhenNewtonStops) {
  // The solution has Z = 3; an upper bound of 2.75 keeps Newton from it.
  const ProgramRun r = solveTestBlock(R"("UPPER:Z=2.75")", "--json --quiet");
  EXPECT_EQ(r.code, 1) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["converged"], false);
  EXPECT_EQ(j["at_bounds"], json::array({{{"name", "Z"}, {"value", 2.75}, {"bound", "upper"}}}));
  EXPECT_NE(r.err.find("  free variables held at a bound:\n    Z  2.75  (upper bound)\n"), std::string::npos) << r.err;

  const ProgramRun table = solveTestBlock(R"("UPPER:Z=2.75")", "");
  EXPECT_NE(table.out.find("CALC  held at its upper bound\n"), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("Free variables held at a bound: Z = 2.75 (upper)\n"), std::string::npos) << table.out;

  const ProgramRun solved = solveTestBlock("", "--json --quiet");
  ASSERT_EQ(solved.code, 0) << solved.err;
  EXPECT_FALSE(json::parse(solved.out).contains("at_bounds"));
}

// The library's blocks: a yield far above its bound, a tuning factor below
// its "_LB" attribute, and the hydrocracker whose hydrogen volume sits at its
// upper bound.
TEST(RomhostReportOnBlocks, OutOfRangeInputsAndABoundThatStopsNewton) {
  const ProgramRun yield = romtest::solveExample("tuning-balance-coker.json", "--set C3FRAC=1e300 --json");
  ASSERT_EQ(yield.code, 0) << yield.err;
  EXPECT_EQ(json::parse(yield.out)["warnings"], json::array({warning("C3FRAC", 1e300, 0, 1e30)}));

  const ProgramRun factor = romtest::solveExample("coker-v37.json", "--attr ALPHA_C3FRAC=0 --json");
  const json j = json::parse(factor.out);
  EXPECT_EQ(factor.code, j["converged"] == true ? 0 : 1) << factor.err;
  EXPECT_EQ(j["warnings"], json::array({warning("ALPHA_C3FRAC", 0, 0.0001, 1000)}));
  EXPECT_NE(factor.err.find("romhost: warning: ALPHA_C3FRAC = 0 lies outside its bounds [0.0001, 1000]"),
            std::string::npos)
      << factor.err;

  // The FCC's fuel-gas molar mass is the model's own constant, written apart
  // from its catalogue bounds by design: no warning unless the case sets it.
  const ProgramRun own = romtest::solveExample("fcc-go-2n.json", "--json");
  ASSERT_EQ(own.code, 0) << own.err;
  EXPECT_EQ(json::parse(own.out)["warnings"], json::array());
  const ProgramRun given = romtest::solveExample("fcc-go-2n-v37.json", "--set FGSMW=21 --json");
  EXPECT_EQ(json::parse(given.out)["warnings"], json::array({warning("FGSMW", 21, 23.0565, 23.0565)}));

  // A residual pass that fails at the start point still shows the row that
  // failed: a viscosity below the index's domain leaves its row not finite.
  const ProgramRun visc = romtest::solveExample("coker-v37.json", "--attr BETA_LGOVISC_122=-10");
  EXPECT_EQ(visc.code, 1);
  EXPECT_NE(visc.err.find("largest residuals:\n    C1.EQN_LGOVISCIDX  nan"), std::string::npos) << visc.err;

  const ProgramRun hcr = romtest::solveExample("hcr-n-v37.json", "--set FEEDMASS=200000 --json");
  EXPECT_EQ(hcr.code, 1);
  EXPECT_EQ(json::parse(hcr.out)["at_bounds"],
            json::array({{{"name", "H2VOL"}, {"value", 10000.0}, {"bound", "upper"}}}));
}

}  // namespace
