// The process-wide parse cache: one stat per Open decides whether the parsed
// network still holds, and a replaced file is always read again.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/diveduded/DIVeduded.h"
#include "platform/diveduded/cache.h"
#include "test_files.h"

namespace {

using divtest::configure;
using divtest::kAffine;
using divtest::NameBuffers;
using divtest::TempDir;
namespace fs = std::filesystem;

const std::uintmax_t kAffineSize = std::string(kAffine).size();

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

TEST_F(Cache, ServesTheParsedNetworkWhileTheFileIsUnchanged) {
  EXPECT_EQ(predict(), 20.0);
  const std::uint64_t parses = diveduded::networkParseCount();
  EXPECT_EQ(predict(), 20.0);
  EXPECT_EQ(diveduded::networkParseCount(), parses);
  fs::last_write_time(file_, stamp_ + std::chrono::seconds(2));  // a new stamp: parsed again
  EXPECT_EQ(predict(), 20.0);
  EXPECT_EQ(diveduded::networkParseCount(), parses + 1);
}

// A long-lived process must never be served the parse of a file that was
// replaced: rewritten in place with its old size and modification time put
// back (touch -r), or another file moved over it (mv).
TEST_F(Cache, AFileRewrittenInPlaceWithItsStampPutBackIsReadAgain) {
  EXPECT_EQ(predict(), 20.0);
  rewriteKeepingStamp(changedAffine());
  ASSERT_EQ(fs::file_size(file_), kAffineSize);
  EXPECT_EQ(predict(), 28.0);
  rewriteKeepingStamp(kAffine);
  EXPECT_EQ(predict(), 20.0);
}

TEST_F(Cache, AFileMovedOverTheNetworkIsReadAgain) {
  EXPECT_EQ(predict(), 20.0);
  const fs::path other = dir_.path() / "other.zkr";
  std::ofstream(other, std::ios::binary) << changedAffine();
  fs::last_write_time(other, stamp_);  // the same size and modification time
  fs::rename(other, file_);
  EXPECT_EQ(predict(), 28.0);
}

TEST_F(Cache, AReplacementThatFailsItsChecksIsNotHiddenByTheCache) {
  EXPECT_EQ(predict(), 20.0);
  std::string failing = kAffine;
  failing.replace(failing.find("CHECK 2 1 20"), 12, "CHECK 2 1 21");
  rewriteKeepingStamp(failing);
  EXPECT_EQ(predict(), -DIV_SELF_CHECK);
}

TEST_F(Cache, KeepsFailedParsesUntilTheFileChanges) {
  std::string bad = kAffine;
  bad.replace(bad.find("LINEAR"), 6, "LINEAL");
  rewriteKeepingStamp(bad);
  EXPECT_EQ(predict(), -DIV_FORMAT);
  const std::uint64_t parses = diveduded::networkParseCount();
  EXPECT_EQ(predict(), -DIV_FORMAT);  // the failure is cached as well
  EXPECT_EQ(diveduded::networkParseCount(), parses);
  rewriteKeepingStamp(kAffine);
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
  const std::uint64_t parses = diveduded::networkParseCount();
  ::setenv("DIVEDUDED_NOCACHE", "1", 1);
  EXPECT_EQ(predict(), 20.0);  // read and parsed from the file
  EXPECT_EQ(diveduded::networkParseCount(), parses + 1);
  ::unsetenv("DIVEDUDED_NOCACHE");
  EXPECT_EQ(predict(), 20.0);  // the cache still holds the first parse
  EXPECT_EQ(diveduded::networkParseCount(), parses + 1);
  DIVeduded::ClearCache();
  EXPECT_EQ(diveduded::cachedNetworkCount(), 0u);
  EXPECT_EQ(predict(), 20.0);
  EXPECT_EQ(diveduded::networkParseCount(), parses + 2);
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
