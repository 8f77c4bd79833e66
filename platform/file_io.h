// Whole-file reads and writes shared by the framework stand-in, the network
// runner and the tools.
//
// A read opens the file without blocking and checks with fstat that what it
// opened is a regular file within the caller's limit, so a FIFO, a terminal or
// /dev/zero named by mistake gives a clear error instead of a hang or a
// process that grows until it is killed. A write goes to a temporary file of
// its own beside the target and is renamed over it, so concurrent writers
// never share a temporary and a failed write leaves the target as it was; it
// replaces only a regular file, never a FIFO or a device that has the name.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace pelmo_file {

enum class FileStatus {
  kOk,
  kNotFound,        // no such file, or a folder on the way is missing
  kAccessDenied,    // the file or a folder on the way may not be read or written
  kNotRegularFile,  // a folder, device, FIFO or socket
  kTooLarge,        // more bytes than the reader accepts
  kIoError,         // any other failure of the system
};

// "ok", "not found", "permission denied", "not a regular file", "too large",
// "input/output error".
const char* fileStatusName(FileStatus status);

// Which file, and which version of it: a file replaced by another (rename)
// has another inode; one rewritten in place has a new change time even when
// its size and modification time were put back.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t mtime_ns = 0;
  std::int64_t ctime_ns = 0;
  bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const struct stat& st);

struct FileResult {
  FileStatus status = FileStatus::kOk;
  std::string reason;  // for the user: "permission denied", "larger than 67108864 bytes", ...; empty when ok
  bool ok() const { return status == FileStatus::kOk; }
};

// Reads the whole regular file at path, at most limit bytes; on failure text is
// empty. stamp, when given, receives the identity of the file that was read.
// Never blocks on a FIFO or a device. Throws only std::bad_alloc.
FileResult readRegularFile(const std::string& path, std::uint64_t limit, std::string& text,
                           FileStamp* stamp = nullptr);

// Writes text to a new temporary file in the target's folder, flushes it to
// the disk and renames it over path.
// - A new file gets the permissions the process's umask allows. A replaced
//   file keeps its permissions (but for the set-user-ID and set-group-ID bits,
//   never carried over) and, where the caller may give them, its owner and
//   group.
// - A path that names anything but a regular file (a folder, FIFO, device or
//   socket) is refused with kNotRegularFile and left as it is. So is a regular
//   file the caller may not write (kAccessDenied), as a plain write would be.
// - A symbolic link stays a link: the regular file at the end of its chain is
//   replaced, the temporary file made in that file's folder; a dangling link,
//   or one naming anything else, is refused the same way. In a sticky folder
//   that everyone may write in, a link is followed only when it belongs to the
//   caller or to the folder's owner (kAccessDenied otherwise), so that another
//   user's link cannot turn the write onto a file of their choosing.
// - SIGHUP, SIGINT, SIGQUIT and SIGTERM are held back while the temporary file
//   exists: one that arrives then ends the program after the rename (or after
//   the temporary file is removed), never with a temporary file left or a
//   target part written.
// On failure only this call's temporary file is removed and path is untouched.
// Never throws.
FileResult replaceFile(const std::string& path, std::string_view text);

// What replaceFile(path, ...) would refuse before it writes anything, checked
// without writing: the target and the link chain to it as above, and a folder
// the caller may not create a file in. Lets a writer of several files refuse
// them all before it replaces the first. Never throws.
FileResult checkReplaceable(const std::string& path);

}  // namespace pelmo_file
