// Whole-file reads that never block and stay within their limit, and writes
// that go through a temporary file of their own.
#include "platform/file_io.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/platform/processes.h"
#include "tests/support/devices.h"

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
  std::string path;   // under the folder
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
      {"endless device", "zero", 10, FileStatus::kNotRegularFile, "not a regular file"},
      {"null device", "null", 10, FileStatus::kNotRegularFile, "not a regular file"},
  };
  const bool devices = romtest::makeDevice(dir / "zero", romtest::MemoryDevice::kZero) &&
                       romtest::makeDevice(dir / "null", romtest::MemoryDevice::kNull);
  for (const ReadCase& c : cases) {
    if (!devices && std::string(c.label).find("device") != std::string::npos) continue;  // not permitted here
    const std::string path = (dir / c.path).string();
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

// Renaming over a FIFO, a device or a folder would put a regular file in its
// place (as root, over a device of the system). The device is a null device
// made in the test's own folder, never one of the machine's, and the FIFOs come
// first, so that a fault here reaches the device only when they are refused.
TEST_F(FileIo, ATargetThatIsNotARegularFileIsRefusedAndLeftAsItWas) {
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  fs::create_directories(dir / "folder");
  fs::create_symlink("fifo", dir / "to_fifo");
  fs::create_symlink("folder", dir / "to_folder");
  fs::create_symlink("none", dir / "dangling");
  fs::create_symlink("fifo/none", dir / "below_fifo");  // dangling through something not a folder
  fs::create_symlink("loop", dir / "loop");
  std::vector<std::string> targets = {"fifo", "to_fifo", "folder", "to_folder", "dangling", "below_fifo", "loop"};
  if (romtest::makeDevice(dir / "null", romtest::MemoryDevice::kNull)) {
    fs::create_symlink("null", dir / "to_null");
    targets.insert(targets.end(), {"to_null", "null"});
  }  // else not permitted here (no CAP_MKNOD): no device is tried
  const std::set<std::string> before = names();
  for (const std::string& t : targets) {
    const std::string path = (dir / t).string();
    struct stat was {}, now {};
    ASSERT_EQ(::lstat(path.c_str(), &was), 0) << t;
    const pelmo_file::FileResult r = pelmo_file::replaceFile(path, "text");
    ASSERT_EQ(r.status, FileStatus::kNotRegularFile) << t;
    EXPECT_EQ(r.reason, "not a regular file") << t;
    ASSERT_EQ(::lstat(path.c_str(), &now), 0) << t;
    EXPECT_EQ(now.st_ino, was.st_ino) << t;
    EXPECT_EQ(now.st_mode, was.st_mode) << t;
    EXPECT_EQ(now.st_rdev, was.st_rdev) << t;
    EXPECT_EQ(pelmo_file::checkReplaceable(path).status, FileStatus::kNotRegularFile) << t;
  }
  EXPECT_EQ(names(), before);  // no temporary file, and the dangling link still names nothing
}

// A link stays a link: the regular file at the end of its chain is replaced,
// its temporary file made in that file's own folder.
TEST_F(FileIo, AReplaceThroughALinkReplacesTheFileItNames) {
  fs::create_directories(dir / "real");
  const fs::path file = write("real/file", "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real/file", dir / "near");  // relative to the link's folder
  fs::create_symlink(dir / "near", dir / "far");   // far -> near -> real/file
  ASSERT_TRUE(pelmo_file::replaceFile((dir / "far").string(), "new").ok());
  EXPECT_EQ(contents(file), "new");
  EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);  // the file's own
  EXPECT_EQ(fs::read_symlink(dir / "far"), dir / "near");
  EXPECT_EQ(fs::read_symlink(dir / "near"), "real/file");
  EXPECT_EQ(names(), (std::set<std::string>{"far", "near", "real"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "real"), fs::directory_iterator()), 1);
}

// In a sticky folder that everyone may write in, another user's link could
// turn root's save onto any file: such a link is followed only when it belongs
// to the caller or to the folder's owner, at every step of a chain. Needs root
// to give a link to another user.
TEST_F(FileIo, ALinkInASharedFolderIsFollowedOnlyWhenItsOwnerIsTrusted) {
  using filetest::kUnprivilegedId;
  struct LinkCase {
    const char* label;
    const char* link;   // under the folder; the file it ends at is victim/<label>
    mode_t folderMode;  // of the link's folder
    uid_t folderOwner;
    uid_t linkOwner;
    bool followed;
  };
  const uid_t me = ::geteuid();
  const LinkCase cases[] = {
      {"planted", "shared/a", 01777, me, kUnprivilegedId, false},
      {"own", "shared/b", 01777, me, me, true},
      {"folder owner's", "theirs/c", 01777, kUnprivilegedId, kUnprivilegedId, true},
      {"not sticky", "open/d", 0777, me, kUnprivilegedId, true},
      {"planted behind an own link", "chain", 0755, me, me, false},
  };
  fs::create_directories(dir / "victim");
  for (const char* folder : {"shared", "theirs", "open"}) fs::create_directories(dir / folder);
  for (const LinkCase& c : cases) {
    const fs::path file = write(std::string("victim/") + c.label, "precious");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path link = dir / c.link;
    fs::create_symlink(file, link);
    if (::lchown(link.c_str(), c.linkOwner, static_cast<gid_t>(-1)) != 0 ||
        ::chown(link.parent_path().c_str(), c.folderOwner, static_cast<gid_t>(-1)) != 0)
      GTEST_SKIP() << "links and folders cannot be given to another user here";
    fs::permissions(link.parent_path(), static_cast<fs::perms>(c.folderMode));
  }
  fs::remove(dir / "chain");
  fs::create_symlink("shared/a", dir / "chain");  // own link -> planted link -> victim/planted

  for (const LinkCase& c : cases) {
    const fs::path link = dir / c.link;
    const pelmo_file::FileResult r = pelmo_file::replaceFile(link.string(), "overwritten");
    const std::string now = contents(dir / "victim" / c.label);
    EXPECT_TRUE(fs::is_symlink(link)) << c.label;
    if (c.followed) {
      EXPECT_TRUE(r.ok()) << c.label << ": " << r.reason;
      EXPECT_EQ(now, "overwritten") << c.label;
    } else {
      EXPECT_EQ(r.status, FileStatus::kAccessDenied) << c.label;
      EXPECT_EQ(r.reason, "permission denied: the symbolic link a belongs to another user in a folder that everyone "
                          "may write in")
          << c.label;
      EXPECT_EQ(now, "precious") << c.label;
      EXPECT_EQ(pelmo_file::checkReplaceable(link.string()).status, FileStatus::kAccessDenied) << c.label;
    }
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "victim"), fs::directory_iterator()), 5);
}

// A file its owner made read-only is refused as a plain write would refuse it,
// and left as it was; root may still write it.
TEST_F(FileIo, AFileTheCallerMayNotWriteIsRefused) {
  fs::create_directories(dir / "open");
  fs::permissions(dir, fs::perms::all);
  fs::permissions(dir / "open", fs::perms::all);
  const fs::path p = dir / "open" / "locked";
  const std::string said = filetest::runUnprivileged([&] {
    std::string out;
    if (!pelmo_file::replaceFile(p.string(), "mine").ok()) return std::string("the first save failed");
    if (::chmod(p.c_str(), 0444) != 0) return std::string("no chmod");
    for (const pelmo_file::FileResult& r : {pelmo_file::replaceFile(p.string(), "again"),
                                            pelmo_file::checkReplaceable(p.string())})
      if (r.status != FileStatus::kAccessDenied || r.reason != "permission denied") out += r.reason + "\n";
    return out;
  });
  EXPECT_EQ(said, "");
  EXPECT_EQ(contents(p), "mine");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir / "open"), fs::directory_iterator()), 1);
  if (::geteuid() == 0) {
    EXPECT_TRUE(pelmo_file::replaceFile(p.string(), "root's").ok());
    EXPECT_EQ(contents(p), "root's");
  }
}

// Root saving over another user's file leaves it that user's, so its owner can
// still read it; the set-user-ID and set-group-ID bits are not carried over.
TEST_F(FileIo, AReplacedFileKeepsItsOwnerAndGroupButNoSetIdBits) {
  const fs::path p = write("theirs", "old");
  if (::chown(p.c_str(), filetest::kUnprivilegedId, filetest::kUnprivilegedId) != 0)
    GTEST_SKIP() << "a file cannot be given to another user here";
  ASSERT_EQ(::chmod(p.c_str(), 06640), 0);
  ASSERT_TRUE(pelmo_file::replaceFile(p.string(), "new").ok());
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, filetest::kUnprivilegedId);
  EXPECT_EQ(st.st_gid, filetest::kUnprivilegedId);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(contents(p), "new");
}

// SIGTERM while the temporary file exists ends the program only once the
// temporary file is gone: the target is old or whole, never in part, and no
// temporary file is left. The text is large so that the signal comes mid-write.
TEST_F(FileIo, AnEndingSignalDuringAReplaceLeavesNoTemporaryFile) {
  const fs::path p = write("target", "old");
  const std::string text(64u << 20, 'n');
  bool caught = false;
  for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) ::_exit(pelmo_file::replaceFile(p.string(), text).ok() ? 0 : 1);
    for (int status = 0; !caught && ::waitpid(pid, &status, WNOHANG) == 0;) {
      for (const std::string& name : names())
        if (name.rfind(".target.", 0) == 0) caught = true;
    }
    if (caught) ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (caught) {
      ASSERT_TRUE(WIFSIGNALED(status)) << status;
      EXPECT_EQ(WTERMSIG(status), SIGTERM);
    }
    EXPECT_EQ(names(), std::set<std::string>{"target"});
    const std::string now = contents(p);
    EXPECT_TRUE(now == "old" || now == text) << now.size() << " bytes";
  }
  EXPECT_TRUE(caught) << "no temporary file was seen";
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
