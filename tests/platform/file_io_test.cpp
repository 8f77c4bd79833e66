// Whole-file reads that never block and stay within their limit, and writes
// that go through a temporary file of their own.
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "tests/platform/processes.h"

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
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
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
  // Names in the folder, the target's temporary files included.
  std::set<std::string> names() const {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.insert(e.path().filename().string());
    return out;
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

TEST_F(FileIo, PermissionDeniedIsNotAMissingFile) {
  const fs::path p = write("secret.txt", "x");
  fs::permissions(p, fs::perms::owner_write);
  fs::create_directories(dir / "closed");
  write("closed/inner.txt", "y");
  fs::permissions(dir / "closed", fs::perms::owner_all);
  const std::string said = filetest::runUnprivileged([&] {
    std::string out, text;
    for (const fs::path& file : {p, dir / "closed" / "inner.txt"}) {
      const pelmo_file::FileResult r = pelmo_file::readRegularFile(file, 100, text);
      if (r.status != FileStatus::kAccessDenied || r.reason != "permission denied")
        out += file.string() + ": " + r.reason + "\n";
    }
    return out;
  });
  EXPECT_EQ(said, "");
}

TEST_F(FileIo, ReplaceWritesANewFileAndReplacesAnOldOne) {
  const fs::path p = dir / "target";
  ASSERT_TRUE(pelmo_file::replaceFile(p.string(), "one").ok());
  EXPECT_EQ(contents(p), "one");
  const mode_t mask = ::umask(022);
  ::umask(mask);
  EXPECT_EQ(static_cast<unsigned>(fs::status(p).permissions()), 0666u & ~mask);  // as a plain create would make it
  fs::permissions(p, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(pelmo_file::replaceFile(p.string(), "two").ok());
  EXPECT_EQ(contents(p), "two");
  EXPECT_EQ(fs::status(p).permissions(), fs::perms::owner_read | fs::perms::owner_write);  // kept
  EXPECT_EQ(names(), std::set<std::string>{"target"});  // no temporary file left
}

TEST_F(FileIo, AFailedReplaceRemovesOnlyItsOwnTemporaryFile) {
  // Another writer's temporary file, and a target that cannot be replaced by a file.
  write(".target.abcdef", "another writer's");
  fs::create_directories(dir / "target" / "inside");
  const pelmo_file::FileResult r = pelmo_file::replaceFile((dir / "target").string(), "text");
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(names(), (std::set<std::string>{".target.abcdef", "target"}));
  EXPECT_EQ(contents(dir / ".target.abcdef"), "another writer's");
  EXPECT_EQ(pelmo_file::replaceFile((dir / "no" / "folder").string(), "x").status, FileStatus::kNotFound);
  EXPECT_EQ(pelmo_file::replaceFile(dir.string() + "/", "x").status, FileStatus::kNotRegularFile);
}

TEST_F(FileIo, ConcurrentReplacesOfOnePathAllSucceed) {
  const fs::path p = dir / "shared";
  const int failed = filetest::failuresAcrossProcesses(8, [&](int writer) {
    const std::string text(1000 + writer, static_cast<char>('a' + writer));
    for (int i = 0; i < 20; ++i)
      if (!pelmo_file::replaceFile(p.string(), text).ok()) return false;
    return true;
  });
  EXPECT_EQ(failed, 0);
  const std::string last = contents(p);  // one writer's whole text, never a mix
  ASSERT_GE(last.size(), 1000u);
  EXPECT_EQ(last, std::string(last.size(), last.front()));
  EXPECT_EQ(names(), std::set<std::string>{"shared"});
}

}  // namespace
