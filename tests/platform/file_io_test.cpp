// Whole-file reads that never block and stay within their limit.
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using pelmo_file::FileStatus;

class FileIo : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("pelmo_file_" + std::to_string(::getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path write(const std::string& name, const std::string& text) const {
    std::ofstream(dir / name, std::ios::binary) << text;
    return dir / name;
  }
  static std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  fs::path dir;
};

struct ReadCase {
  const char* label;
  std::string path;   // under the folder unless absolute
  std::uint64_t limit;
  FileStatus status;
  const char* reason;
};

TEST_F(FileIo, ReadsOnlyRegularFilesWithinTheLimitWithoutBlocking) {
  write("ten.txt", "0123456789");
  write("empty.txt", "");
  fs::create_directories(dir / "folder");
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);  // no writer: a blocking open or read would hang
  const ReadCase cases[] = {
      {"whole file", "ten.txt", 10, FileStatus::kOk, ""},
      {"empty file", "empty.txt", 0, FileStatus::kOk, ""},
      {"one byte over", "ten.txt", 9, FileStatus::kTooLarge, "larger than 9 bytes"},
      {"missing", "none.txt", 10, FileStatus::kNotFound, "not found"},
      {"below a file", "ten.txt/x", 10, FileStatus::kNotFound, "not found"},
      {"folder", "folder", 10, FileStatus::kNotRegularFile, "not a regular file"},
      {"FIFO", "fifo", 10, FileStatus::kNotRegularFile, "not a regular file"},
      {"endless device", "/dev/zero", 10, FileStatus::kNotRegularFile, "not a regular file"},
      {"terminal or null device", "/dev/null", 10, FileStatus::kNotRegularFile, "not a regular file"},
  };
  for (const ReadCase& c : cases) {
    const std::string path = c.path.front() == '/' ? c.path : (dir / c.path).string();
    std::string text = "left over";
    const pelmo_file::FileResult r = pelmo_file::readRegularFile(path, c.limit, text);
    EXPECT_EQ(r.status, c.status) << c.label;
    EXPECT_EQ(r.reason, c.reason) << c.label;
    if (r.ok()) EXPECT_EQ(text, contents(path)) << c.label;
    else EXPECT_TRUE(text.empty()) << c.label;
  }
}

TEST_F(FileIo, TheStampNamesTheFileThatWasRead) {
  const fs::path p = write("a.txt", "first");
  std::string text;
  pelmo_file::FileStamp first, again;
  ASSERT_TRUE(pelmo_file::readRegularFile(p, 100, text, &first).ok());
  ASSERT_TRUE(pelmo_file::readRegularFile(p, 100, text, &again).ok());
  EXPECT_EQ(first, again);
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(pelmo_file::stampOf(st), first);
  EXPECT_EQ(first.size, 5);
  EXPECT_EQ(first.inode, st.st_ino);
  write("b.txt", "other");
  fs::rename(dir / "b.txt", p);
  ASSERT_TRUE(pelmo_file::readRegularFile(p, 100, text, &again).ok());
  EXPECT_NE(again.inode, first.inode);
}

}  // namespace
