// Clear errors and exit codes of the romhost program on bad input: a network
// that cannot be run at set-up, a block name too long for the framework's
// names, a save that fails, and case files at the edges of JSON.
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

class RomhostErrors : public ::testing::Test {
 protected:
  fs::path writeCase(const std::string& name, const std::string& text) const {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }
  const romtest::ScratchFolder dir_{"romhost_errors"};
};

// Both generations: exit 2 and one line naming the file and the runner's
// status in words.
TEST_F(RomhostErrors, NetworkThatCannotRunAtSetUpIsAnInputError) {
  const fs::path nets = dir_ / "nets";
  fs::create_directories(nets / "COKER");
  for (const auto& entry : fs::directory_iterator(romtest::kSampleNetworks + "/COKER"))
    if (entry.path().filename() != "COKER_C3FRAC.zkr") fs::copy(entry.path(), nets / "COKER" / entry.path().filename());
  std::ofstream(nets / "COKER" / "COKER_LGOFRAC.zkr") << "not a network\n";
  for (const char* example : {"coker.json", "coker-v37.json"}) {
    const ProgramRun r = romtest::solveExample(example, "--networks " + nets.string());
    EXPECT_EQ(r.code, 2) << example << "\n" << r.err;
    EXPECT_NE(r.err.find("romhost: init could not run a network: network file COKER_C3FRAC.zkr in folder " +
                         nets.string() + "\\COKER failed with status 3 (missing file)\n"),
              std::string::npos)
        << example << "\n" << r.err;
  }
  fs::copy(romtest::kSampleNetworks + "/COKER/COKER_C3FRAC.zkr", nets / "COKER");
  const ProgramRun broken = romtest::solveExample("coker-v37.json", "--networks " + nets.string());
  EXPECT_EQ(broken.code, 2) << broken.err;
  EXPECT_NE(broken.err.find("network file COKER_LGOFRAC.zkr in folder " + nets.string() +
                            "\\COKER failed with status 4 (format error)\n"),
            std::string::npos)
      << broken.err;
}

// The longest framework name decides: the test block's longest own name is
// "E1", so a block name of 96 characters fits and one of 97 does not; the
// coker's longest is an equation name.
TEST_F(RomhostErrors, BlockNameLeavingAFrameworkNameOver99CharactersIsRefused) {
  const std::string plugin = " --plugin " ROM_BINARY_DIR "/lib/libromhost_testplugin.so --quiet";
  const std::string fits(96, 'N'), over(97, 'N');
  auto named = [&](const std::string& name) {
    const fs::path c = writeCase(name.substr(0, 8) + std::to_string(name.size()) + ".json",
                                 R"({"factory": "TESTBLOCK", "name": ")" + name + "\"}");
    return romtest::runRomhost("solve " + c.string() + plugin);
  };
  const ProgramRun ok = named(fits);
  EXPECT_EQ(ok.code, 0) << ok.err;
  const ProgramRun refused = named(over);
  EXPECT_EQ(refused.code, 2);
  EXPECT_EQ(refused.err, "romhost: The block name " + over + " is too long: the framework name " + over +
                             ".E1 would have 100 characters, at most 99 fit\n");

  const std::string name(80, 'C');
  std::string text;
  {
    std::ifstream in(romtest::kExamples + "coker.json");
    json c = json::parse(in);
    c["name"] = name;
    c["networks"] = romtest::kSampleNetworks;
    text = c.dump();
  }
  const ProgramRun longCoker = romtest::runRomhost("solve " + writeCase("coker.json", text).string() + " --quiet");
  EXPECT_EQ(longCoker.code, 2);
  EXPECT_NE(longCoker.err.find("the framework name " + name + ".EQN_UNSATINC3MIXVOL would have 100 characters"),
            std::string::npos)
      << longCoker.err;
  EXPECT_EQ(longCoker.err.find("user_ini"), std::string::npos) << longCoker.err;
}

// A save that fails is an error whatever the solve did: exit 2, and the JSON
// says so beside "converged".
TEST_F(RomhostErrors, FailedSaveExitsTwoAndTheResultSaysSo) {
  const std::string solve = "solve " + writeCase("t.json", R"({"factory": "TESTBLOCK"})").string() +
                            " --plugin " ROM_BINARY_DIR "/lib/libromhost_testplugin.so --quiet --json";
  const std::string nowhere = (dir_ / "no" / "such" / "folder" / "b.pstg").string();
  for (const char* limit : {"", " --max-iter 1"}) {
    const ProgramRun r = romtest::runRomhost(solve + limit + " --save " + nowhere);
    EXPECT_EQ(r.code, 2) << limit << r.err;
    const json j = json::parse(r.out);
    EXPECT_EQ(j["converged"], *limit == '\0');
    EXPECT_EQ(j["saved"], false);
    EXPECT_EQ(j["save_error"], "Cannot write the stored block to " + nowhere + ": not found");  // and why
    EXPECT_NE(r.err.find("romhost: Cannot write the stored block to " + nowhere), std::string::npos) << r.err;
  }
  const ProgramRun ok = romtest::runRomhost(solve + " --save " + (dir_ / "b.pstg").string());
  ASSERT_EQ(ok.code, 0) << ok.err;
  EXPECT_EQ(json::parse(ok.out)["saved"], true);
  EXPECT_FALSE(json::parse(romtest::runRomhost(solve).out).contains("saved"));
}

}  // namespace
