// What romhost reads (the case file, a stored block) must be a regular file
// within its limit, read without blocking, and a file that may not be read or
// written says so rather than that it is missing.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/case_file.h"
#include "host/stored_block.h"
#include "tests/host/timed_run.h"
#include "tests/platform/processes.h"
#include "tests/support/devices.h"
#include "tests/support/networks.h"

namespace {

namespace fs = std::filesystem;
using romhost_test::runRomhostWithin;
using romtest::ProgramRun;

// A FIFO without a writer, and devices without an end: a blocking read would
// hang, an unbounded one grow until the process is killed.
TEST(InputFiles, FilesThatAreNotRegularAreRefusedWithoutBlocking) {
  const romtest::ScratchFolder dir("input_files");
  const fs::path fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::vector<std::string> files = romtest::endlessDevices(dir.path());
  files.insert(files.begin(), fifo.string());
  for (const std::string& file : files) {
    ProgramRun r = runRomhostWithin(60, "solve " + romtest::kExamples + "coker.json --quiet --load " + file);
    EXPECT_EQ(r.code, 2) << r.text();
    EXPECT_EQ(r.err, "romhost: Cannot read the stored block " + file + ": not a regular file\n");
    r = runRomhostWithin(60, "solve " + file + " --quiet");
    EXPECT_EQ(r.code, 2) << r.text();
    EXPECT_EQ(r.err, "romhost: Cannot read the case file " + file + ": not a regular file\n");
  }
}

// As root every file is readable; the checks run in a child without root's rights.
TEST(InputFiles, PermissionDeniedIsSaidAsSuch) {
  const romtest::ScratchFolder dir("input_files");
  const fs::path stored = dir / "block.pstg", caseFile = dir / "case.json", closed = dir / "closed";
  std::ofstream(stored) << "PSTG2";
  fs::copy_file(romtest::kExamples + "coker.json", caseFile);
  fs::permissions(stored, fs::perms::owner_write);
  fs::permissions(caseFile, fs::perms::owner_write);
  fs::create_directories(closed);
  fs::permissions(closed, fs::perms::owner_all);
  const std::string said = filetest::runUnprivileged([&] {
    std::string out;
    romhost::StoredBlock block;
    std::vector<std::string> warnings;
    out += romhost::readStoredBlock(stored.string(), block, warnings).message + "\n";
    MemStorage storage;
    out += romhost::writeStoredBlock((closed / "x.pstg").string(), storage, {}).message + "\n";
    try {
      romhost::readCaseFile(caseFile.string());
    } catch (const romhost::CaseError& e) {
      out += std::string(e.what()) + "\n";
    }
    return out;
  });
  EXPECT_EQ(said, "Cannot read the stored block " + stored.string() + ": permission denied\n" +
                      "Cannot write the stored block to " + (closed / "x.pstg").string() + ": permission denied\n" +
                      "Cannot read the case file " + caseFile.string() + ": permission denied\n");
}

}  // namespace
