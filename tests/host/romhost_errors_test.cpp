// Clear errors and exit codes of the romhost program on bad input: a network
// that cannot be run at set-up, a block name too long for the framework's
// names, a save that fails, and case files at the edges of JSON.
#include <gtest/gtest.h>

#include <sys/stat.h>

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

// Both generations: exit 2 and one line, the only one naming the file: the
// path the runner read, the runner's status in words, and for a file that
// does not parse the parser's line and reason.
TEST_F(RomhostErrors, NetworkThatCannotRunAtSetUpIsAnInputError) {
  const fs::path nets = dir_ / "nets";
  fs::create_directories(nets / "COKER");
  for (const auto& entry : fs::directory_iterator(romtest::kSampleNetworks + "/COKER"))
    if (entry.path().filename() != "COKER_C3FRAC.zkr") fs::copy(entry.path(), nets / "COKER" / entry.path().filename());
  std::ofstream(nets / "COKER" / "COKER_LGOFRAC.zkr") << "# exported\nnot a network\n";
  const std::string c3 = (nets / "COKER" / "COKER_C3FRAC.zkr").string();
  const std::string lgo = (nets / "COKER" / "COKER_LGOFRAC.zkr").string();
  auto expectOneLine = [](const ProgramRun& r, const std::string& line, const std::string& file) {
    EXPECT_EQ(r.code, 2) << r.text();
    EXPECT_NE(r.err.find("romhost: init could not run a network: network file " + line + "\n"), std::string::npos)
        << r.text();
    const std::string text = r.text();
    const std::size_t first = text.find(file);
    EXPECT_EQ(text.find(file, first + 1), std::string::npos) << "named twice:\n" << text;
  };
  for (const char* example : {"coker.json", "coker-v37.json"}) {
    SCOPED_TRACE(example);
    expectOneLine(romtest::solveExample(example, "--networks " + nets.string()),
                  c3 + " failed with status 3 (missing file)", "COKER_C3FRAC.zkr");
    // A FIFO in the file's place: refused at once, not waited on.
    ASSERT_EQ(::mkfifo(c3.c_str(), 0600), 0);
    expectOneLine(romtest::solveExample(example, "--networks " + nets.string()),
                  c3 + " failed with status 12 (not a regular file)", "COKER_C3FRAC.zkr");
    fs::remove(c3);
  }
  fs::copy(romtest::kSampleNetworks + "/COKER/COKER_C3FRAC.zkr", nets / "COKER");
  for (const char* example : {"coker.json", "coker-v37.json"}) {
    SCOPED_TRACE(example);
    expectOneLine(romtest::solveExample(example, "--networks " + nets.string()),
                  lgo + " failed with status 4 (format error): line 2: expected \"ZKR\", found \"not\"",
                  "COKER_LGOFRAC.zkr");
  }
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
                             ".E1 would have 100 bytes, at most 99 fit\n");

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
  EXPECT_NE(longCoker.err.find("the framework name " + name + ".EQN_UNSATINC3MIXVOL would have 100 bytes"),
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

// With --save the JSON says whether the block was saved even when the run
// stopped before the save: a set-up that fails (init, on a tuning factor
// that overflows) saves nothing and says why.
TEST_F(RomhostErrors, SaveAfterAFailedSetUpIsReportedAsNotDone) {
  const fs::path target = dir_ / "x.pstg";
  const ProgramRun r = romtest::solveExample(
      "fcc-go-2n.json", "--attr BETA_FGSFRAC=-1.7976931348623157e308 --json --save " + target.string());
  EXPECT_EQ(r.code, 1) << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["converged"], false);
  EXPECT_EQ(j["saved"], false);
  EXPECT_EQ(j["save_error"], "Nothing was saved: the run stopped in the block's set-up (hook failed)");
  EXPECT_FALSE(fs::exists(target));
}

// With --json, a run that stops before its solve still prints its one object:
// not converged, the error that stderr shows too, and with --save why nothing
// was saved.
TEST_F(RomhostErrors, ARunThatStopsEarlyStillPrintsItsJson) {
  const fs::path target = dir_ / "b.pstg", empty = dir_ / "empty";
  fs::create_directories(empty);
  const std::string test = writeCase("t.json", R"({"factory": "TESTBLOCK"})").string() +
                           " --plugin " ROM_BINARY_DIR "/lib/libromhost_testplugin.so";
  struct Stop {
    const char* label;
    std::string arguments;
    int code;
    const char* where;
  };
  const Stop stops[] = {
      {"case file missing", (dir_ / "none.json").string(), 2, "before the block was made (input error)"},
      {"creation failed", test + " --option LOWER:A=zz", 3, "in the block's creation (block creation failed)"},
      {"unknown --set name", test + " --set NOPE=1", 2, "in the block's set-up (input error)"},
      {"missing network", romtest::kExamples + "coker.json --networks " + empty.string(), 2,
       "in the block's set-up (input error)"},
  };
  for (const Stop& s : stops) {
    SCOPED_TRACE(s.label);
    const ProgramRun r = romtest::runRomhost("solve " + s.arguments + " --quiet --json --save " + target.string());
    EXPECT_EQ(r.code, s.code) << r.text();
    ASSERT_TRUE(json::accept(r.out)) << r.text();
    const json j = json::parse(r.out);
    EXPECT_EQ(j["converged"], false);
    ASSERT_TRUE(j["error"].is_string()) << r.out;
    EXPECT_NE(r.err.find("romhost: " + j["error"].get<std::string>() + "\n"), std::string::npos) << r.text();
    EXPECT_EQ(j["saved"], false);
    EXPECT_EQ(j["save_error"], std::string("Nothing was saved: the run stopped ") + s.where);
    EXPECT_FALSE(fs::exists(target));
  }
}

// The case tree is freed recursively: a file nested deeper than the limit is
// refused while it is read, long before the tree could run the stack out.
TEST_F(RomhostErrors, CaseNestedTooDeeplyIsRefusedInOneLine) {
  const ProgramRun r = romtest::runRomhost("solve " + writeCase("deep.json", std::string(100000, '[')).string());
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err, "romhost: The case file nests arrays and objects deeper than 256 levels\n");
}

// A text that is not UTF-8 (a path or an option in another encoding) still
// gives the JSON: its invalid bytes become U+FFFD there, \xNN in messages.
TEST_F(RomhostErrors, TextsThatAreNotUtf8StillGiveTheJson) {
  const std::string solve = "solve " + writeCase("t.json", R"({"factory": "TESTBLOCK"})").string() +
                            " --plugin " ROM_BINARY_DIR "/lib/libromhost_testplugin.so --quiet --json";
  const ProgramRun r = romtest::runRomhost(solve + " --option 'SUBID:\xfe' --save '" +
                                           (dir_ / "no\xff" / "b.pstg").string() + "'");
  EXPECT_EQ(r.code, 2) << r.err;
  ASSERT_TRUE(json::accept(r.out)) << r.out << r.err;
  const json j = json::parse(r.out);
  EXPECT_EQ(j["subid"], "\xef\xbf\xbd");
  EXPECT_EQ(j["saved"], false);
  EXPECT_EQ(j["save_error"], "Cannot write the stored block to " + (dir_ / "no\\xff" / "b.pstg").string() +
                                 ": not found");
}

// Texts of the input reach the terminal with their control bytes escaped and
// their UTF-8 characters whole: a flag, a --set name, the block name in the
// table, and the options text a stored block records.
TEST_F(RomhostErrors, InputTextsArePrintedWithTheirControlBytesEscaped) {
  const std::string solve = "solve " + writeCase("t.json", R"({"factory": "TESTBLOCK", "name": "B\u0007"})").string() +
                            " --plugin " ROM_BINARY_DIR "/lib/libromhost_testplugin.so";
  EXPECT_EQ(romtest::runRomhost(solve + " '--x\x1b[2J'").err.rfind("romhost: unknown flag --x\\x1b[2J\nusage", 0), 0u);
  const ProgramRun set = romtest::runRomhost(solve + " --quiet --set 'F\xc3\x89\x01\xff=1'");
  EXPECT_EQ(set.code, 2);
  EXPECT_EQ(set.err, "romhost: Unknown variable F\xc3\x89\\x01\\xff (B\\x07.F\xc3\x89\\x01\\xff)\n");
  const ProgramRun table = romtest::runRomhost(solve);
  EXPECT_EQ(table.code, 0) << table.err;
  EXPECT_EQ(table.out.rfind("Block B\\x07\n", 0), 0u) << table.out;

  const fs::path stored = dir_ / "b.pstg";
  ASSERT_EQ(romtest::runRomhost(solve + " --quiet --option 'NOTE:\x1b[2J' --save " + stored.string()).code, 0);
  const ProgramRun load = romtest::runRomhost(solve + " --quiet --load " + stored.string());
  EXPECT_EQ(load.code, 2);
  EXPECT_NE(load.err.find(" was saved by a TESTBLOCK block of model type QIVEOBLOCK with options \"NOTE:\\x1b[2J\""),
            std::string::npos)
      << load.err;
  EXPECT_EQ(load.err.find('\x1b'), std::string::npos) << load.err;
}

}  // namespace
