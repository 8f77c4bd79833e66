#include "platform/file_io.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pelmo_file {

namespace {

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

 private:
  int fd_;
};

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

}  // namespace pelmo_file
