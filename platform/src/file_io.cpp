#include "platform/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace pelmo_file {

namespace {

// NAME_MAX of the common file systems; a temporary name must fit in it.
constexpr std::size_t kMaxFileNameBytes = 255;
constexpr const char* kTempSuffix = ".XXXXXX";

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

// The file a write to path replaces, and its status; replacing is false for a
// name not taken yet. A rename puts a regular file in place of whatever the
// name held, so only a regular file, or a name not taken yet, is replaced: a
// FIFO, a device (as root, the system's /dev/null) or a folder is refused. A
// symbolic link stays a link: the regular file at the end of its chain is the
// one replaced, in its own folder; a link that names nothing, or anything but
// a regular file, is refused like the thing it names.
FileResult fileToReplace(const std::string& path, std::string& target, struct stat& st, bool& replacing) {
  replacing = false;
  target = path;
  if (::lstat(path.c_str(), &st) != 0) {
    // Not there yet (or a folder on the way is missing, which mkstemp reports).
    if (errno == ENOENT) return {};
    return fromErrno(errno);
  }
  if (S_ISLNK(st.st_mode)) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    if (!resolved) {
      const int error = errno;
      // Names nothing (dangling, through a file as if a folder, or a loop).
      return error == ENOENT || error == ENOTDIR || error == ELOOP ? notRegular() : fromErrno(error);
    }
    target = resolved.get();
    if (::stat(target.c_str(), &st) != 0) return fromErrno(errno);
  }
  if (!S_ISREG(st.st_mode)) return notRegular();
  replacing = true;
  return {};
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

FileResult replaceFile(const std::string& path, std::string_view text) {
  try {
    if (path.empty() || path.back() == '/') return notRegular();  // names a folder, never a file
    std::string target;
    struct stat st {};
    bool replacing = false;
    if (const FileResult r = fileToReplace(path, target, st, replacing); !r.ok()) return r;
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    // ".<name>.XXXXXX": hidden, and after the target's name so that a left-over
    // file (a crash between the write and the rename) says where it belongs.
    const std::size_t keep = kMaxFileNameBytes - 1 - std::strlen(kTempSuffix);
    std::string pattern = folder + "." + name.substr(0, keep) + kTempSuffix;
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');

    const mode_t mode = replacing ? (st.st_mode & 07777) : (0666 & ~currentUmask());

    Descriptor fd(::mkstemp(temp.data()));
    if (fd.get() < 0) return fromErrno(errno);
    const auto discard = [&](int error) {
      ::unlink(temp.data());
      return fromErrno(error);
    };
    if (::fchmod(fd.get(), mode) != 0 || !writeAll(fd.get(), text) || ::fsync(fd.get()) != 0) return discard(errno);
    if (!fd.close()) return discard(errno);
    if (::rename(temp.data(), target.c_str()) != 0) return discard(errno);
    return {};
  } catch (const std::bad_alloc&) {
    return failure(FileStatus::kIoError, "out of memory");
  }
}

}  // namespace pelmo_file
