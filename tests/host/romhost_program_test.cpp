// Runs the built romhost program: on the library's plug-in for "info" and
// block-creation failures, and on the test plug-in for a whole solve.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/support/networks.h"
#include "tests/support/romhost_run.h"

namespace {

namespace fs = std::filesystem;
using romtest::ProgramRun;

const std::string kTestPlugin = ROM_BINARY_DIR "/lib/libromhost_testplugin.so";

class RomhostProgram : public ::testing::Test {
 protected:
  fs::path writeCase(const std::string& name, const std::string& json) const {
    const fs::path p = dir_ / name;
    std::ofstream(p) << json;
    return p;
  }
  // args are passed through the shell; the tests only use plain words.
  static ProgramRun run(const std::string& args) { return romtest::runRomhost(args); }

  const romtest::ScratchFolder dir_{"romhost"};
};

TEST_F(RomhostProgram, InfoShowsIdentityVersionsAndFactoriesInOrder) {
  const ProgramRun r = run("info");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("Reduced-Order Model Library"), std::string::npos);
  EXPECT_NE(r.out.find("QIVBLKFACTORY: 11.1"), std::string::npos);
  EXPECT_NE(r.out.find("QIVPIPE: 3.0"), std::string::npos);
  EXPECT_NE(r.out.find("Factories:\n  MORVANE\n  ROTUNING\n  ROTUNINGBALANCE\n"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("ROM library initialized"), std::string::npos);  // the plug-in's pipe
}

TEST_F(RomhostProgram, UnknownSubidExitsThreeWithTheFactoryText) {
  const fs::path c = writeCase("c.json", R"({"factory": "MORVANE", "name": "C1", "options": ["SUBID:ROUNKNOWN"]})");
  const ProgramRun r = run("solve " + c.string() + " --option FOO:1");
  EXPECT_EQ(r.code, 3);
  EXPECT_NE(r.err.find("Block creation failed"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Unrecognized option: FOO \n"), std::string::npos) << r.err;  // the history device
}

TEST_F(RomhostProgram, InputErrorsExitTwo) {
  const fs::path bad = writeCase("bad.json", "{\"factory\": ");
  EXPECT_EQ(run("solve " + bad.string()).code, 2);
  EXPECT_EQ(run("solve").code, 2);
  const fs::path none = writeCase("none.json", R"({"factory": "NOSUCHFACTORY"})");
  const ProgramRun r = run("solve " + none.string());
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("no factory NOSUCHFACTORY"), std::string::npos) << r.err;
  EXPECT_EQ(run("info --plugin " + (dir_ / "missing.so").string()).code, 2);
}

TEST_F(RomhostProgram, SolvesTheTestBlockWithJsonAndDerivativeCheck) {
  const fs::path c = writeCase("t.json", R"({"factory": "TESTBLOCK", "name": "T1", "values": {"A": 2}})");
  const ProgramRun r = run("solve " + c.string() + " --plugin " + kTestPlugin + " --json --check-jacobian");
  ASSERT_EQ(r.code, 0) << r.err;
  const nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["block"], "T1");
  EXPECT_TRUE(j["subid"].is_null());
  EXPECT_EQ(j["converged"], true);
  EXPECT_GT(j["iterations"].get<int>(), 0);
  EXPECT_LE(j["max_residual"].get<double>(), 1e-8);
  EXPECT_EQ(j["counts"], nlohmann::json({{"variables", 5}, {"equations", 3}, {"nonzeros", 10}}));
  EXPECT_NEAR(j["variables"]["X"]["value"].get<double>(), 1.0, 1e-9);
  EXPECT_EQ(j["variables"]["X"]["fixed"], false);
  EXPECT_EQ(j["variables"]["A"]["fixed"], true);
  EXPECT_EQ(j["variables"]["A"]["unit"], "UNITLESS");
  const auto& check = j["jacobian_check"];
  EXPECT_LT(check["max_rel_error"].get<double>(), 1e-6);
  EXPECT_EQ(check["checked"], 10);
  EXPECT_EQ(check["passed"], true);
}

TEST_F(RomhostProgram, WrongDerivativeIsNamedAndUnknownVariableRefused) {
  const fs::path c = writeCase("t.json", R"({"factory": "TESTBLOCK", "options": ["FAULT:JAC"]})");
  const ProgramRun r = run("solve " + c.string() + " --plugin " + kTestPlugin + " --json --check-jacobian --quiet");
  ASSERT_EQ(r.code, 0) << r.err;  // the solve still converges
  const nlohmann::json j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["jacobian_check"]["passed"], false);
  EXPECT_EQ(j["jacobian_check"]["worst"][0]["equation"], "B1.E2");
  EXPECT_EQ(j["jacobian_check"]["worst"][0]["variable"], "B1.Y");

  const ProgramRun unknown = run("solve " + c.string() + " --plugin " + kTestPlugin + " --set NOPE=1");
  EXPECT_EQ(unknown.code, 2);
  EXPECT_NE(unknown.err.find("Unknown variable NOPE"), std::string::npos) << unknown.err;
}

TEST_F(RomhostProgram, NotConvergedExitsOneAndNamesTheResiduals) {
  const fs::path c = writeCase("t.json", R"({"factory": "TESTBLOCK"})");
  const ProgramRun r = run("solve " + c.string() + " --plugin " + kTestPlugin + " --max-iter 1");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("largest residuals"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("B1.E"), std::string::npos);
  EXPECT_NE(r.out.find("CONST"), std::string::npos);  // the table is still printed
}

TEST_F(RomhostProgram, SavedBlockLoadsAgain) {
  const fs::path c = writeCase("t.json", R"({"factory": "TESTBLOCK", "attributes": {"DESCRIPTION": "saved"}})");
  const fs::path stored = dir_ / "block.pstg";
  ASSERT_EQ(run("solve " + c.string() + " --plugin " + kTestPlugin + " --quiet --save " + stored.string()).code, 0);
  ASSERT_TRUE(fs::exists(stored));
  EXPECT_EQ(run("solve " + c.string() + " --plugin " + kTestPlugin + " --quiet --load " + stored.string()).code, 0);
  EXPECT_EQ(run("solve " + c.string() + " --plugin " + kTestPlugin + " --load " + (dir_ / "no.pstg").string()).code,
            2);
  EXPECT_EQ(run("solve " + c.string() + " --plugin " + kTestPlugin + " --save " + (dir_ / "no/such/dir/x").string())
                .code,
            2);
}

}  // namespace
