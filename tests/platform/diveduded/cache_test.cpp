// The process-wide parse cache: one stat per Open decides whether the parsed
// network still holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/diveduded/DIVeduded.h"
#include "test_files.h"

namespace {

using divtest::configure;
using divtest::kAffine;
using divtest::NameBuffers;
using divtest::TempDir;
namespace fs = std::filesystem;

// The affine network with its first weight changed: same size, other result
// (y = 32 at the test point).
std::string changedAffine() {
  std::string s = kAffine;
  s.replace(s.find("W 3 -2"), 6, "W 4 -2");
  s.replace(s.find("CHECK 2 1 20"), 12, "CHECK 2 1 28");
  return s;
}

class Cache : public ::testing::Test {
 protected:
  void SetUp() override {
    DIVeduded::ClearCache();
    ::unsetenv("DIVEDUDED_NOCACHE");
    file_ = dir_.write("KIND", "YIELD", kAffine);
    stamp_ = fs::last_write_time(file_);
  }
  void TearDown() override { ::unsetenv("DIVEDUDED_NOCACHE"); }

  // Opens a fresh runner and runs it at (2, 1); the prediction, or -status.
  double predict() {
    DIVeduded r;
    configure(r, dir_, "KIND", "YIELD");
    NameBuffers names({"ALPHA", "BETA"});
    double v[2] = {2.0, 1.0};
    r.SetInputs(names.data(), v, 2);
    if (const int s = r.Open()) return -s;
    if (const int s = r.Run()) return -s;
    return r.m_dResult;
  }
  // Rewrites the file and puts its old modification time back.
  void rewriteKeepingStamp(const std::string& text) {
    dir_.write("KIND", "YIELD", text);
    fs::last_write_time(file_, stamp_);
  }

  TempDir dir_;
  fs::path file_;
  fs::file_time_type stamp_;
};

TEST_F(Cache, ServesTheParsedNetworkWhileTimeAndSizeHold) {
  EXPECT_EQ(predict(), 20.0);
  rewriteKeepingStamp(changedAffine());
  EXPECT_EQ(predict(), 20.0);  // same stamp: the cached parse
  fs::last_write_time(file_, stamp_ + std::chrono::seconds(2));
  EXPECT_EQ(predict(), 28.0);  // new time: parsed again
}

TEST_F(Cache, NoticesASizeChange) {
  EXPECT_EQ(predict(), 20.0);
  rewriteKeepingStamp(changedAffine() + "# one more line\n");
  EXPECT_EQ(predict(), 28.0);
}

TEST_F(Cache, KeepsFailedParsesUntilTheFileChanges) {
  std::string bad = kAffine;
  bad.replace(bad.find("LINEAR"), 6, "LINEAL");
  rewriteKeepingStamp(bad);
  EXPECT_EQ(predict(), -DIV_FORMAT);
  rewriteKeepingStamp(kAffine);
  EXPECT_EQ(predict(), -DIV_FORMAT);  // the failure is cached as well
  fs::last_write_time(file_, stamp_ + std::chrono::seconds(2));
  EXPECT_EQ(predict(), 20.0);
}

TEST_F(Cache, MissingFileIsNotRemembered) {
  fs::remove(file_);
  EXPECT_EQ(predict(), -DIV_MISSING_FILE);
  dir_.write("KIND", "YIELD", kAffine);
  EXPECT_EQ(predict(), 20.0);
}

TEST_F(Cache, ClearCacheAndTheEnvironmentSwitch) {
  EXPECT_EQ(predict(), 20.0);
  rewriteKeepingStamp(changedAffine());
  ::setenv("DIVEDUDED_NOCACHE", "1", 1);
  EXPECT_EQ(predict(), 28.0);  // read from the file
  ::unsetenv("DIVEDUDED_NOCACHE");
  EXPECT_EQ(predict(), 20.0);  // the cache still holds the first parse
  DIVeduded::ClearCache();
  EXPECT_EQ(predict(), 28.0);
}

TEST_F(Cache, AnOpenRunnerKeepsItsNetworkThroughAClear) {
  DIVeduded r;
  configure(r, dir_, "KIND", "YIELD");
  NameBuffers names({"ALPHA", "BETA"});
  double v[2] = {2.0, 1.0};
  r.SetInputs(names.data(), v, 2);
  ASSERT_EQ(r.Open(), 0);
  dir_.write("KIND", "YIELD", changedAffine());
  DIVeduded::ClearCache();
  EXPECT_EQ(predict(), 28.0);
  ASSERT_EQ(r.Run(), 0);
  EXPECT_EQ(r.m_dResult, 20.0);
}

}  // namespace
