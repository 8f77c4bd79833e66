// romnet on the SAMPLE kind: generation is reproducible and honours the
// table's sensitivities; eval and check work on the files; failures exit with
// the runner's status and name the file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/diveduded/parser.h"
#include "platform/text.h"
#include "test_files.h"
#include "tests/support/devices.h"

namespace {

namespace fs = std::filesystem;

const std::string kRomnet = std::string(ROM_BINARY_DIR) + "/bin/romnet";
const fs::path kSample = fs::path(ROM_SOURCE_DIR) / "examples/networks/SAMPLE";

struct Result {
  int status;
  std::string out;  // standard output and standard error together
};

// Under timeout(1): a romnet that blocks on its input ends with status 124
// instead of hanging the test.
Result romnet(const std::string& args) {
  const std::string cmd = "timeout -k 5 60 " + kRomnet + " " + args + " 2>&1";
  std::FILE* p = ::popen(cmd.c_str(), "r");
  Result r{-1, {}};
  if (p == nullptr) return r;
  char buf[4096];
  while (std::size_t n = std::fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
  const int raw = ::pclose(p);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return r;
}

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// y = 2 a, its tag "A" followed by two bytes that are no part of UTF-8 (the
// format allows them).
const char* kOddTag =
    "ZKR 1\nOUTPUT Y\nINPUTS 1\nINPUT A\xff\x9b 0 1\nOUTPUTSCALE 0 1\nLAYERS 1\nLAYER 1 LINEAR\nW 2\nB 0\n"
    "CHECK 1 2\nEND\n";

// A path or argument without a single quote as one word of the shell,
// whatever other bytes it holds.
std::string word(const std::string& text) { return "'" + text + "'"; }

// True when every line is shown as it is: no control byte, nothing that is
// not UTF-8.
bool allPrintable(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line))
    if (pelmo_text::printable(line) != line) return false;
  return true;
}

std::size_t countOf(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
  return n;
}

// Token by token; numbers may differ in their last digits (the weights come
// through the C library's log, cos and tanh, which may round differently
// elsewhere), everything else must be identical.
bool sameFile(const std::string& a, const std::string& b) {
  std::istringstream sa(a), sb(b);
  std::string ta, tb;
  while (true) {
    const bool more_a = static_cast<bool>(sa >> ta), more_b = static_cast<bool>(sb >> tb);
    if (more_a != more_b) return false;
    if (!more_a) return true;
    double va = 0, vb = 0;
    if (diveduded::parseNumber(ta, va) && diveduded::parseNumber(tb, vb)) {
      if (std::fabs(va - vb) > 1e-12 * std::max(std::fabs(va), 1.0)) return false;
    } else if (ta != tb) {
      return false;
    }
  }
}

TEST(Romnet, GenerateReproducesTheShippedSamples) {
  divtest::TempDir out;
  const Result r = romnet("generate " + (kSample / "SAMPLE.table").string() + " " + out.str());
  ASSERT_EQ(r.status, 0) << r.out;
  int files = 0;
  for (const auto& e : fs::directory_iterator(kSample)) {
    if (e.path().extension() != ".zkr") continue;
    ++files;
    EXPECT_TRUE(sameFile(slurp(out.path() / e.path().filename()), slurp(e.path()))) << e.path();
  }
  EXPECT_EQ(files, 3);
}

TEST(Romnet, EvalJsonAtTheNominalPointGivesTheTableValues) {
  // LIQSULFRAC: nominal 0.8; FEEDSUL sensitivity 0.1 per span 0.008, so
  // dy/dFEEDSUL = 0.1 * 0.8 / 0.008 = 10; REACTORTEMP -0.02 * 0.8 / 10.
  const Result r = romnet("eval " + (kSample / "SAMPLE_LIQSULFRAC.zkr").string() +
                          " FEEDSUL=0.025 reactortemp=495 FEEDMASS=1 --json");
  ASSERT_EQ(r.status, 0) << r.out;
  double y = 0, d1 = 0, d2 = 0;
  ASSERT_EQ(std::sscanf(r.out.c_str(),
                        "{\"prediction\": %lf, \"derivatives\": {\"FEEDSUL\": %lf, \"REACTORTEMP\": %lf}}", &y, &d1,
                        &d2),
            3)
      << r.out;
  EXPECT_NEAR(y, 0.8, 1e-14);
  EXPECT_NEAR(d1, 10.0, 1e-12);
  EXPECT_NEAR(d2, -0.0016, 1e-15);
}

TEST(Romnet, CheckPassesOnEverySample) {
  for (const char* f : {"SAMPLE_GASFRAC.zkr", "SAMPLE_LIQFRAC.zkr", "SAMPLE_LIQSULFRAC.zkr"}) {
    const Result r = romnet("check " + (kSample / f).string());
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("3 CHECK points hold"), std::string::npos) << r.out;
  }
}

TEST(Romnet, FailuresExitWithTheRunnerStatusAndNameTheFile) {
  divtest::TempDir dir;
  const fs::path bad = dir.write("K", "Y", "ZKR 1\nOUTPUT Y\nINPUTS 0\n");
  Result r = romnet("eval " + bad.string());
  EXPECT_EQ(r.status, 4);
  EXPECT_NE(r.out.find(bad.string()), std::string::npos) << r.out;
  r = romnet("eval " + (dir.path() / "none.zkr").string());
  EXPECT_EQ(r.status, 3);
  EXPECT_NE(r.out.find("none.zkr"), std::string::npos) << r.out;
  r = romnet("eval " + (kSample / "SAMPLE_LIQSULFRAC.zkr").string() + " FEEDSUL=1");
  EXPECT_EQ(r.status, 6) << r.out;
  r = romnet("eval " + (kSample / "SAMPLE_LIQSULFRAC.zkr").string() + " FEEDSUL=nan REACTORTEMP=1");
  EXPECT_EQ(r.status, 8) << r.out;
  r = romnet("eval");
  EXPECT_EQ(r.status, 64);
}

// eval and check read the file to learn its output: a FIFO or an endless
// device must be refused at once, not read until memory runs out or a writer
// comes.
TEST(Romnet, FilesThatAreNotRegularAreRefusedWithoutBlocking) {
  divtest::TempDir dir;
  const fs::path fifo = dir.path() / "K_Y.zkr";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::vector<std::string> files = romtest::endlessDevices(dir.path());
  files.insert(files.begin(), fifo.string());
  for (const std::string& file : files) {
    for (const std::string& command : {"eval " + file + " A=1", "check " + file}) {
      const Result r = romnet(command);
      EXPECT_EQ(r.status, DIV_NOT_REGULAR) << command << ": " << r.out;
      EXPECT_NE(r.out.find(file + " is not a regular file"), std::string::npos) << r.out;
    }
  }
  const fs::path folder = dir.path() / "K";
  fs::create_directories(folder);
  const Result r = romnet("generate " + fifo.string() + " " + folder.string());
  EXPECT_EQ(r.status, 65);
  EXPECT_NE(r.out.find("cannot read table " + fifo.string() + ": not a regular file"), std::string::npos) << r.out;
}

TEST(Romnet, BadTablesAreRefusedWithTheLine) {
  struct Case {
    const char* table;
    const char* says;
  };
  const Case cases[] = {
      {"INPUT A 1 1\n", "line 1: the table must begin with a KIND row"},
      {"KIND K\nINPUT A 1 0\n", "line 2: span"},
      {"KIND K\nINPUT A 1 1\nOUTPUT Y 1 4 B=1\n", "line 3: tag \"B\" has no INPUT row"},
      {"KIND K\nINPUT A 1 1\nINPUT B 1 1\nOUTPUT Y 1 1 A=1 B=1\n", "line 4: hidden width 1 is below"},
      {"KIND K\nINPUT A 1 1\nOUTPUT Y 1 4 A=1 a=2\n", "appears twice"},
      {"KIND ../K\n", "line 1: KIND"},
      {"KIND K\n", "no OUTPUT row"},
  };
  divtest::TempDir dir;
  for (const Case& c : cases) {
    const fs::path table = dir.path() / "t.table";
    std::ofstream(table, std::ios::trunc) << c.table;
    const Result r = romnet("generate " + table.string() + " " + (dir.path() / "out").string());
    EXPECT_EQ(r.status, 65) << c.table;
    EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
  }
}

// A table whose values overflow a double would give weights or CHECK values
// that are not finite: refused with its line, and the old file kept.
TEST(Romnet, GenerateRefusesNetworksTheRunnerWouldRefuse) {
  const char* tables[] = {
      "KIND K\nINPUT A 1 1\nOUTPUT Y 1e200 1 A=1e200\n",
      "KIND K\nINPUT A 1 1\nOUTPUT Y 0.5 2 A=1e308\n",
  };
  divtest::TempDir dir;
  const fs::path table = dir.path() / "t.table", out = dir.path() / "out";
  fs::create_directories(out);
  std::ofstream(out / "K_Y.zkr") << "old";
  for (const char* t : tables) {
    std::ofstream(table, std::ios::trunc) << t;
    const Result r = romnet("generate " + table.string() + " " + out.string());
    EXPECT_EQ(r.status, 65) << t << r.out;
    EXPECT_NE(r.out.find("table " + table.string() + ": line 3: "), std::string::npos) << r.out;
    EXPECT_EQ(slurp(out / "K_Y.zkr"), "old") << t;
  }
}

// An output name becomes part of a file name: one that leaves the folder, or
// makes a name the runner cannot open, is a bad table and nothing is written.
TEST(Romnet, GenerateRefusesOutputNamesThatMakeNoNetworkFileName) {
  const std::string names[] = {"X/../../../evil", "X/Y", "X\\Y", "..", std::string(95, 'Y')};
  divtest::TempDir dir;
  const fs::path table = dir.path() / "t.table", out = dir.path() / "a" / "b" / "c";
  for (const std::string& name : names) {
    std::ofstream(table, std::ios::trunc) << "KIND K\nINPUT A 1 1\nOUTPUT " << name << " 1 1 A=0.1\n";
    const Result r = romnet("generate " + table.string() + " " + out.string());
    EXPECT_EQ(r.status, 65) << name << ": " << r.out;
    EXPECT_NE(r.out.find(": line 3: "), std::string::npos) << r.out;
  }
  for (const auto& e : fs::recursive_directory_iterator(dir.path()))
    EXPECT_EQ(e.path().extension(), ".table") << e.path();
}

// Every target is checked before the first is replaced: a FIFO at the third
// output's name leaves the first two old files as they were.
TEST(Romnet, GenerateWritesAllOrNothing) {
  divtest::TempDir dir;
  const fs::path out = dir.path() / "out";
  fs::create_directories(out);
  std::ofstream(out / "SAMPLE_GASFRAC.zkr") << "old gas";
  std::ofstream(out / "SAMPLE_LIQFRAC.zkr") << "old liquid";
  const fs::path fifo = out / "SAMPLE_LIQSULFRAC.zkr";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const Result r = romnet("generate " + (kSample / "SAMPLE.table").string() + " " + out.string());
  EXPECT_EQ(r.status, 73) << r.out;
  EXPECT_NE(r.out.find("romnet: cannot write " + fifo.string() + ": not a regular file"), std::string::npos) << r.out;
  EXPECT_EQ(slurp(out / "SAMPLE_GASFRAC.zkr"), "old gas");
  EXPECT_EQ(slurp(out / "SAMPLE_LIQFRAC.zkr"), "old liquid");
  EXPECT_TRUE(fs::is_fifo(fifo));
}

// A tag may hold bytes that are not UTF-8; the JSON shows them as U+FFFD.
TEST(Romnet, EvalJsonIsValidUtf8) {
  divtest::TempDir dir;
  const fs::path file = dir.write("K", "Y", kOddTag);
  const Result r = romnet("eval " + file.string() + " " + word("A\xff\x9b=1") + " --json");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "{\"prediction\": 2, \"derivatives\": {\"A\xef\xbf\xbd\xef\xbf\xbd\": 2}}\n");
  EXPECT_EQ(pelmo_text::validUtf8(r.out), r.out);
}

// Texts from the input reach the terminal with their control bytes escaped,
// and the path is named once, whether or not the runner's message names it.
TEST(Romnet, MessagesEscapeInputTextsAndNameThePathOnce) {
  divtest::TempDir dir;
  const fs::path fifo = dir.path() / "K_Y.zkr";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const fs::path tagged = dir.write("K", "Y", kOddTag);
  const std::string control = (dir.path() / "no\x1b[2Jpe.zkr").string();
  struct Case {
    std::string command;
    std::string named_once;  // appears once, as printable shows it
    int status;
  };
  const Case cases[] = {
      {"check " + word(control), control, DIV_NO_FOLDER},
      {"eval " + word(control) + " A=1", control, DIV_NO_FOLDER},
      {"check " + fifo.string(), fifo.string(), DIV_NOT_REGULAR},
      {"eval " + fifo.string() + " A=1", fifo.string(), DIV_NOT_REGULAR},
      {"eval " + tagged.string() + " " + word("A\xff\x9b=1"), "d/dA\xff\x9b", 0},
      {"check " + tagged.string(), "  A\xff\x9b ", 0},
  };
  for (const Case& c : cases) {
    const Result r = romnet(c.command);
    EXPECT_EQ(r.status, c.status) << c.command << ": " << r.out;
    EXPECT_TRUE(allPrintable(r.out)) << r.out;
    EXPECT_EQ(countOf(r.out, pelmo_text::printable(c.named_once)), 1u) << r.out;
  }
}

// The runner's limit on a folder counts bytes: 2100 two-byte characters are
// over it.
TEST(Romnet, TheFolderLimitIsInBytes) {
  divtest::TempDir dir;
  fs::path folder = dir.path();
  std::string segment;
  for (int i = 0; i < 100; ++i) segment += "\xc3\xa9";
  for (int i = 0; i < 21; ++i) folder /= segment;
  const Result r = romnet("eval " + word((folder / "K_Y.zkr").string()) + " A=1");
  EXPECT_EQ(r.status, DIV_NO_FOLDER) << r.out;
  EXPECT_NE(r.out.find("network folder longer than 4095 bytes"), std::string::npos) << r.out;
}

}  // namespace
