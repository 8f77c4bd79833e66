// Stored blocks know the block that saved them: --load refuses a file of
// another block type and a damaged file, and reads a file of the older form
// with a warning. Concurrent saves to one path all succeed.
#include "host/stored_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/host/test_block.h"
#include "tests/host/timed_run.h"
#include "tests/platform/processes.h"
#include "tests/platform/storage_files.h"
#include "tests/support/networks.h"

namespace {

namespace fs = std::filesystem;
using romhost::sameBlockType;
using romhost_test::runRomhostWithin;
using romtest::ProgramRun;

const StorageOwner kCoker{"MORVANE", "MORVANE", "SUBID:ROCOKER, BASIS_HL:MASS, BASIS_LE:MASS"};
const StorageOwner kTuning{"ROTUNING", "rotuning", "RX:COKER, DEPVAR:C3FRAC, NDATA:3"};

StorageOwner withOptions(StorageOwner o, const char* options) {
  o.options = options;
  return o;
}

struct TypeCase {
  const char* label;
  StorageOwner saved, loading;
  bool same;
};

TEST(StoredBlockType, EveryPartButTheBasesMustAgree) {
  const TypeCase cases[] = {
      {"the same block", kCoker, kCoker, true},
      {"other bases, which the stored block brings along", kCoker,
       withOptions(kCoker, "SUBID:ROCOKER, BASIS_HL:VOLUME, BASIS_LE:VOLUME"), true},
      {"another SUBID", kCoker, withOptions(kCoker, "SUBID:ROFCCGO2N, BASIS_HL:MASS, BASIS_LE:MASS"), false},
      {"the other generation", kCoker,
       withOptions(kCoker, "SUBID:ROCOKER, BASIS_HL:MASS, BASIS_LE:MASS, VERSION:37.0.0"), false},
      {"another model type", kCoker, {"MORVANE", "rotuning", kCoker.options}, false},
      {"another factory", kTuning, {"ROTUNINGBALANCE", "rotuning", kTuning.options}, false},
      {"factory options in another order and case", kTuning,
       withOptions(kTuning, "ndata:3, RX:COKER, DEPVAR:C3FRAC"), true},
      {"another data count", kTuning, withOptions(kTuning, "RX:COKER, DEPVAR:C3FRAC, NDATA:4"), false},
      {"an option fewer", kTuning, withOptions(kTuning, "RX:COKER, DEPVAR:C3FRAC"), false},
  };
  for (const TypeCase& c : cases) {
    EXPECT_EQ(sameBlockType(c.saved, c.loading), c.same) << c.label;
    EXPECT_EQ(sameBlockType(c.loading, c.saved), c.same) << c.label;
  }
}

TEST(StoredBlockOwner, IsTheBlocksOwnDescriptionElseTheFactoryOptions) {
  romhost_test::TestBlock block("B1", romhost_test::standardSpec());
  const StorageOwner owner = romhost::ownerOf(block, "TESTBLOCK", {"fault:jac", "X"});
  EXPECT_EQ(owner, (StorageOwner{"TESTBLOCK", "QIVEOBLOCK", "FAULT:JAC, X"}));
  EXPECT_EQ(romhost::describeOwner(owner),
            "a TESTBLOCK block of model type QIVEOBLOCK with options \"FAULT:JAC, X\"");
}

class StoredBlockProgram : public ::testing::Test {
 protected:
  // Solves an example case and saves its block; the stored file's path.
  fs::path saved(const std::string& example) const {
    const fs::path file = dir_ / (example + ".pstg");
    const ProgramRun r = romtest::solveExample(example, "--save " + file.string());
    EXPECT_EQ(r.code, 0) << r.text();
    return file;
  }
  static ProgramRun loadInto(const std::string& example, const std::string& stored) {
    return runRomhostWithin(60, "solve " + romtest::kExamples + example + " --quiet --load " + stored);
  }
  static std::vector<char> bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void write(const fs::path& p, const std::vector<char>& b) {
    std::ofstream(p, std::ios::binary | std::ios::trunc).write(b.data(), static_cast<std::streamsize>(b.size()));
  }
  static int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

  const romtest::ScratchFolder dir_{"stored_block"};
};

TEST_F(StoredBlockProgram, AFileOfTheSameBlockTypeLoads) {
  const fs::path stored = saved("coker.json");
  const ProgramRun r = loadInto("coker.json", stored.string());
  EXPECT_TRUE(romtest::converged(r));
  EXPECT_EQ(r.err, "");
}

TEST_F(StoredBlockProgram, AFileOfAnotherBlockTypeIsRefusedInOneLine) {
  struct Case {
    const char* example;
    const char* says;
  };
  const Case cases[] = {
      {"fcc-go-2n.json", "a MORVANE block of model type MORVANE with options \"SUBID:ROFCCGO2N, "},
      {"coker-v37.json", "a MORVANE block of model type MORVANE with options \"SUBID:ROCOKER, "},
      {"tuning-model-coker.json", "a ROTUNING block of model type rotuning with options \"RX:COKER, "},
      {"tuning-balance-coker.json", "a ROTUNINGBALANCE block of model type rotuningbalance with options \"RX:COKER"},
  };
  for (const Case& c : cases) {
    const fs::path stored = saved(c.example);
    const ProgramRun r = loadInto("coker.json", stored.string());
    EXPECT_EQ(r.code, 2) << c.example << "\n" << r.text();
    EXPECT_EQ(lines(r.err), 1) << r.err;
    EXPECT_NE(r.err.find("romhost: The stored block " + stored.string() + " was saved by " + c.says), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(" and cannot be loaded into a MORVANE block of model type MORVANE with options "
                         "\"SUBID:ROCOKER, BASIS_HL:MASS, BASIS_LE:MASS\"\n"),
              std::string::npos)
        << r.err;
  }
}

TEST_F(StoredBlockProgram, ADamagedFileIsRefused) {
  const fs::path stored = saved("coker.json");
  std::vector<char> b = bytes(stored);
  // "MASS" of the LE basis turned into "MAS" plus a control byte: one bit.
  const auto at = std::search(b.begin(), b.end(), std::begin("MASS</basisLE>"), std::end("MASS</basisLE>") - 1);
  ASSERT_NE(at, b.end());
  at[3] = static_cast<char>(at[3] ^ 0x40);
  write(stored, b);
  const ProgramRun r = loadInto("coker.json", stored.string());
  EXPECT_EQ(r.code, 2) << r.text();
  EXPECT_EQ(r.err, "romhost: Cannot read the stored block " + stored.string() +
                       ": its checksum does not match its contents\n");
}

TEST_F(StoredBlockProgram, AFileOfTheOlderFormIsStillLoadedWithAWarning) {
  const fs::path stored = saved("coker.json");
  MemStorage s;
  ASSERT_TRUE(storage_load_file(stored, s));
  std::vector<std::pair<std::string, std::vector<char>>> streams;
  for (const std::string& name : s.stream_names()) {
    const auto data = s.stream_bytes(name);
    streams.emplace_back(name, std::vector<char>(data.begin(), data.end()));
  }
  write(stored, filetest::olderStorageForm(streams));
  // Read unchecked, even into a block of another type.
  for (const char* example : {"coker.json", "fcc-go-2n.json"}) {
    const ProgramRun r = loadInto(example, stored.string());
    EXPECT_TRUE(romtest::converged(r)) << example;
    EXPECT_EQ(r.err, "romhost: warning: The stored block " + stored.string() +
                         " is of the older form, which records neither the block that saved it nor a checksum; it "
                         "is loaded unchecked\n");
  }
}

TEST_F(StoredBlockProgram, SeveralProcessesSavingToOnePathAllSucceed) {
  const fs::path stored = dir_ / "shared.pstg";
  const std::string solve = "solve " + romtest::kExamples + "coker.json --quiet --save " + stored.string();
  const int failed = filetest::failuresAcrossProcesses(12, [&](int) {
    for (int i = 0; i < 3; ++i)
      if (runRomhostWithin(60, solve).code != 0) return false;
    return true;
  });
  EXPECT_EQ(failed, 0);
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(dir_.path())) left.push_back(e.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"shared.pstg"});  // no temporary file stays behind
  EXPECT_TRUE(romtest::converged(loadInto("coker.json", stored.string())));
}

}  // namespace
