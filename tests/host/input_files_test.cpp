// What romhost reads (the case file, a stored block) must be a regular file
// within its limit, read without blocking.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "tests/host/timed_run.h"
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
  for (const std::string& file : {fifo.string(), std::string("/dev/zero"), std::string("/dev/urandom")}) {
    ProgramRun r = runRomhostWithin(60, "solve " + romtest::kExamples + "coker.json --quiet --load " + file);
    EXPECT_EQ(r.code, 2) << r.text();
    EXPECT_EQ(r.err, "romhost: Cannot read the stored block " + file + ": not a regular file\n");
    r = runRomhostWithin(60, "solve " + file + " --quiet");
    EXPECT_EQ(r.code, 2) << r.text();
    EXPECT_EQ(r.err, "romhost: Cannot read the case file " + file + ": not a regular file\n");
  }
}

}  // namespace
