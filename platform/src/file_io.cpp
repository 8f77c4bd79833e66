#include "platform/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

namespace pelmo_file {

namespace {

// NAME_MAX of the common file systems; a temporary name must fit in it.
constexpr std::size_t kMaxFileNameBytes = 255;

FileResult failure(FileStatus status, std::string reason) { return {status, std::move(reason)}; }

FileResult fromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return failure(FileStatus::kNotFound, "not found");
    case EACCES:
    case EPERM:
      return failure(FileStatus::kAccessDenied, "permission denied");
    case EISDIR:
      return failure(FileStatus::kNotRegularFile, "not a regular file");
    case EFBIG:
    case EOVERFLOW:
      return failure(FileStatus::kTooLarge, std::strerror(error));
    default:
      return failure(FileStatus::kIoError, std::strerror(error));
  }
}

FileResult notRegular() { return failure(FileStatus::kNotRegularFile, "not a regular file"); }

FileResult tooLarge(std::uint64_t limit) {
  return failure(FileStatus::kTooLarge, "larger than " + std::to_string(limit) + " bytes");
}

std::int64_t nanoseconds(const struct timespec& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes the descriptor held, if any, and holds fd instead.
  void reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }
  // Closes now; a write-back error shows here on some file systems.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// The process's file-creation mask, read without changing it (umask() can only
// be read by setting it, which races with other threads creating files).
mode_t currentUmask() {
  if (std::FILE* f = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, f) != nullptr)
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(f);
    if (found) return static_cast<mode_t>(mask & 0777);
  }
  return 022;
}

bool writeAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t put = ::write(fd, text.data(), text.size());
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

// Links followed at most on the way from a path to its file, as the kernel's
// own limit (SYMLOOP_MAX).
constexpr int kMaxLinks = 40;

// Signals that end a program by default while a user waits on it: held back
// while a temporary file exists, so that the program never ends with one left
// beside the target.
sigset_t endingSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int sig : {SIGHUP, SIGINT, SIGQUIT, SIGTERM}) sigaddset(&set, sig);
  return set;
}

// Holds the ending signals back for its lifetime; one that arrives meanwhile
// is delivered when it ends, and ends the program then as it would have (130
// for SIGINT, 143 for SIGTERM, as shells report them).
class SignalsHeld {
 public:
  SignalsHeld() {
    const sigset_t held = endingSignals();
    active_ = ::pthread_sigmask(SIG_BLOCK, &held, &previous_) == 0;
  }
  ~SignalsHeld() {
    if (active_) ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_{};
  bool active_ = false;
};

// Where a write to a path goes: the folder the file is in (held open, so the
// temporary file and the rename are made in that same folder whatever its
// path comes to name meanwhile), the file's name in it and, when a regular
// file has that name already, its status.
struct Target {
  Descriptor folder{-1};
  std::string name;
  bool replacing = false;
  struct stat st {};
};

// Opens folder (relative to the folder at) for the calls that follow; 0 or
// the errno of the failure.
int openFolder(int at, const std::string& folder, Descriptor& out) {
  const int fd = ::openat(at, folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  out.reset(fd);
  return 0;
}

// Splits a path (or a link's text) into its folder ("." when it has none) and
// its last name.
void splitPath(const std::string& path, std::string& folder, std::string& name) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    folder = ".";
    name = path;
  } else {
    folder = slash == 0 ? "/" : path.substr(0, slash);
    name = path.substr(slash + 1);
  }
}

// A link in a sticky folder that anyone may write in (as the system's shared
// temporary folder) may have been planted by another user to turn a write
// onto a file of the caller's choosing: such a link is followed only when it
// belongs to the caller or to the folder's owner, as the kernel follows one
// in a plain open.
bool mayFollowLink(int folder, const struct stat& link) {
  struct stat dir {};
  if (::fstat(folder, &dir) != 0) return false;
  const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
  return !shared || link.st_uid == ::geteuid() || link.st_uid == dir.st_uid;
}

// Finds the file a write to path replaces. A rename puts a regular file in
// place of whatever the name held, so only a regular file, or a name not taken
// yet, is replaced: a FIFO, a device (as root, the system's /dev/null) or a
// folder is refused. A symbolic link stays a link: the regular file at the end
// of its chain is the one replaced, in its own folder; a link that names
// nothing, or anything but a regular file, is refused like the thing it names.
// Each link of the chain is read and followed here, one at a time, so that
// the rule for links in shared folders holds at every step. A file that is
// there and that the caller may not write is refused as a plain write would
// refuse it.
FileResult findTarget(const std::string& path, Target& t) {
  if (path.empty() || path.back() == '/') return notRegular();  // names a folder, never a file
  std::string folder;
  splitPath(path, folder, t.name);
  if (const int error = openFolder(AT_FDCWD, folder, t.folder); error != 0) return fromErrno(error);
  for (int links = 0;; ++links) {
    if (t.name.empty() || t.name == "." || t.name == "..") return notRegular();
    struct stat& st = t.st;
    if (::fstatat(t.folder.get(), t.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
      const int error = errno;
      if (error != ENOENT) return fromErrno(error);
      // Not there yet; at the end of a link, the link names nothing.
      return links == 0 ? FileResult{} : notRegular();
    }
    if (!S_ISLNK(st.st_mode)) break;
    if (links == kMaxLinks) return notRegular();  // a loop, or a chain too long to follow
    if (!mayFollowLink(t.folder.get(), st))
      return failure(FileStatus::kAccessDenied,
                     "permission denied: the symbolic link " + t.name +
                         " belongs to another user in a folder that everyone may write in");
    std::vector<char> text(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0) + 256);
    const ssize_t got = ::readlinkat(t.folder.get(), t.name.c_str(), text.data(), text.size());
    if (got < 0) return fromErrno(errno);
    if (static_cast<std::size_t>(got) >= text.size())
      return failure(FileStatus::kIoError, "the link changed while it was read");
    splitPath(std::string(text.data(), static_cast<std::size_t>(got)), folder, t.name);
    // Relative to the link's own folder; an absolute one ignores it.
    if (const int error = openFolder(t.folder.get(), folder, t.folder); error != 0)
      // Names nothing (dangling, through a file as if a folder, or a loop).
      return error == ENOENT || error == ENOTDIR || error == ELOOP ? notRegular() : fromErrno(error);
  }
  if (!S_ISREG(t.st.st_mode)) return notRegular();
  // As the caller's write would be judged (effective ids): root may write a
  // read-only file, its owner may not.
  if (::faccessat(t.folder.get(), t.name.c_str(), W_OK, AT_EACCESS) != 0) return fromErrno(errno);
  t.replacing = true;
  return {};
}

// A name for a temporary file of this call's own: ".<name>.XXXXXX", hidden,
// and after the target's name so that a left-over file (a crash between the
// write and the rename) says where it belongs.
std::string temporaryName(const std::string& name) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  constexpr std::size_t kRandom = 6;
  unsigned char bytes[kRandom] = {};
  if (::getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
    // No random bytes yet (early boot): the clock and process id, mixed.
    std::uint64_t z = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                      (static_cast<std::uint64_t>(::getpid()) << 32);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    for (unsigned char& b : bytes) {
      b = static_cast<unsigned char>(z);
      z >>= 8;
    }
  }
  const std::size_t keep = kMaxFileNameBytes - 2 - kRandom;
  std::string temp = "." + name.substr(0, keep) + ".";
  for (const unsigned char b : bytes) temp += kLetters[b % (sizeof kLetters - 1)];
  return temp;
}

}  // namespace

const char* fileStatusName(FileStatus status) {
  switch (status) {
    case FileStatus::kOk: return "ok";
    case FileStatus::kNotFound: return "not found";
    case FileStatus::kAccessDenied: return "permission denied";
    case FileStatus::kNotRegularFile: return "not a regular file";
    case FileStatus::kTooLarge: return "too large";
    case FileStatus::kIoError: return "input/output error";
  }
  return "unknown status";
}

FileStamp stampOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::int64_t>(st.st_size), nanoseconds(st.st_mtim), nanoseconds(st.st_ctim)};
}

FileResult readRegularFile(const std::string& path, std::uint64_t limit, std::string& text, FileStamp* stamp) {
  text.clear();
  // The stat keeps devices and FIFOs from being opened at all; the fstat of
  // the opened file decides, since the path may have been replaced between.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return fromErrno(errno);
  if (!S_ISREG(st.st_mode)) return notRegular();
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return fromErrno(errno);
  if (::fstat(fd.get(), &st) != 0) return fromErrno(errno);
  if (!S_ISREG(st.st_mode)) return notRegular();
  if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > limit) return tooLarge(limit);

  text.reserve(static_cast<std::size_t>(st.st_size));
  char buf[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buf, sizeof buf);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      text.clear();
      return fromErrno(error);
    }
    if (got == 0) break;
    if (text.size() + static_cast<std::size_t>(got) > limit) {  // the file grew while it was read
      text.clear();
      return tooLarge(limit);
    }
    text.append(buf, static_cast<std::size_t>(got));
  }
  if (stamp != nullptr) *stamp = stampOf(st);
  return {};
}

FileResult checkReplaceable(const std::string& path) {
  try {
    Target target;
    if (const FileResult r = findTarget(path, target); !r.ok()) return r;
    // A new file, or the temporary one, is made in the folder.
    if (::faccessat(target.folder.get(), ".", W_OK | X_OK, AT_EACCESS) != 0) return fromErrno(errno);
    return {};
  } catch (const std::bad_alloc&) {
    return failure(FileStatus::kIoError, "out of memory");
  }
}

FileResult replaceFile(const std::string& path, std::string_view text) {
  try {
    Target target;
    if (const FileResult r = findTarget(path, target); !r.ok()) return r;
    const int folder = target.folder.get();
    // The replaced file's permissions, without the set-user-ID and
    // set-group-ID bits: a file written anew never carries them over.
    const mode_t mode =
        target.replacing ? (target.st.st_mode & 07777 & ~(S_ISUID | S_ISGID)) : (0666 & ~currentUmask());

    const SignalsHeld held;
    std::string temp;
    Descriptor fd(-1);
    for (int attempt = 0; attempt < 100 && fd.get() < 0; ++attempt) {
      temp = temporaryName(target.name);
      fd.reset(::openat(folder, temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
      if (fd.get() < 0 && errno != EEXIST) return fromErrno(errno);
    }
    if (fd.get() < 0) return fromErrno(EEXIST);
    const auto discard = [&](int error) {
      ::unlinkat(folder, temp.c_str(), 0);
      return fromErrno(error);
    };
    // The replaced file keeps its owner and group where the caller may give
    // them (root may; another user may give a group of their own): a file
    // root saves over stays its owner's.
    if (target.replacing && ::fchown(fd.get(), target.st.st_uid, target.st.st_gid) != 0) {
      if (errno != EPERM) return discard(errno);
      if (::fchown(fd.get(), static_cast<uid_t>(-1), target.st.st_gid) != 0 && errno != EPERM) return discard(errno);
    }
    if (::fchmod(fd.get(), mode) != 0 || !writeAll(fd.get(), text) || ::fsync(fd.get()) != 0) return discard(errno);
    if (!fd.close()) return discard(errno);
    if (::renameat(folder, temp.c_str(), folder, target.name.c_str()) != 0) return discard(errno);
    return {};
  } catch (const std::bad_alloc&) {
    return failure(FileStatus::kIoError, "out of memory");
  }
}

}  // namespace pelmo_file
