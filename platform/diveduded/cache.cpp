#include "platform/diveduded/cache.h"

#include <sys/stat.h>
#include <time.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <unordered_map>

#include "platform/file_io.h"

#include "platform/diveduded/parser.h"

namespace diveduded {

namespace {

constexpr int kMissing = 3;
constexpr int kFormat = 4;
constexpr int kSelfCheck = 9;
constexpr int kNoAccess = 11;
constexpr int kNotRegular = 12;

// File systems stamp changes with a coarse clock (a scheduler tick, or whole
// seconds on some), so a file rewritten within the tick in which it was read
// can keep its stamp. An entry read this close to the file's last change is
// checked against the file's contents at each Open until the change is older.
constexpr std::int64_t kRacyWindowNs = 2'000'000'000;

struct Entry {
  pelmo_file::FileStamp stamp;
  bool racy = false;
  std::size_t text_hash = 0;
  LoadResult result;
};

struct Cache {
  std::mutex mutex;
  std::unordered_map<std::string, Entry> entries;
  std::uint64_t parses = 0;
};

Cache& cache() {
  // Never destroyed: runners owned by static objects may still close after
  // the end of main.
  static Cache* c = new Cache;
  return *c;
}

std::string numberText(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::int64_t nowNs() {
  struct timespec t {};
  ::clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

LoadResult failed(int status, std::string message, std::string reason = {}) {
  LoadResult r;
  r.status = status;
  r.message = std::move(message);
  r.reason = std::move(reason);
  return r;
}

// "network file NAME: reason", with the reason kept apart as well.
LoadResult failedWith(int status, const std::string& name, std::string reason) {
  std::string message = "network file " + name + ": " + reason;
  return failed(status, std::move(message), std::move(reason));
}

// A file that cannot be opened or read: permission problems apart from the
// rest, since they are mended differently.
LoadResult unreadable(const std::string& path, const pelmo_file::FileResult& why) {
  switch (why.status) {
    case pelmo_file::FileStatus::kAccessDenied:
      return failed(kNoAccess, "network file " + path + " cannot be read: permission denied");
    case pelmo_file::FileStatus::kNotFound:
      return failed(kMissing, "network file " + path + " not found");
    case pelmo_file::FileStatus::kNotRegularFile:
      return failed(kNotRegular, "network file " + path + " is not a regular file");
    case pelmo_file::FileStatus::kTooLarge:
      return failedWith(kFormat, path, "larger than " + std::to_string(kMaxFileBytes) + " bytes");
    default:
      return failed(kMissing, "network file " + path + " cannot be read: " + why.reason, why.reason);
  }
}

pelmo_file::FileResult fromErrno(int error) {
  if (error == EACCES || error == EPERM) return {pelmo_file::FileStatus::kAccessDenied, "permission denied"};
  if (error == ENOENT || error == ENOTDIR) return {pelmo_file::FileStatus::kNotFound, "not found"};
  return {pelmo_file::FileStatus::kIoError, std::strerror(error)};
}

}  // namespace

LoadResult loadNetworkText(const std::string& text, const std::string& name) {
  if (static_cast<long long>(text.size()) > kMaxFileBytes)
    return failedWith(kFormat, name, "larger than " + std::to_string(kMaxFileBytes) + " bytes");
  auto net = std::make_shared<Network>();
  ParseError err;
  if (!parseNetwork(text, *net, err))
    return failedWith(kFormat, name, (err.line > 0 ? "line " + std::to_string(err.line) + ": " : "") + err.message);
  double got = 0.0;
  const long bad = firstFailingCheck(*net, &got);
  if (bad >= 0)
    return failedWith(kSelfCheck, name,
                      "CHECK point " + std::to_string(bad + 1) + " gives " + numberText(got) + ", the file expects " +
                          numberText(net->checks[static_cast<std::size_t>(bad)].expected));
  LoadResult r;
  r.net = std::move(net);
  return r;
}

LoadResult loadNetwork(const std::string& path, bool use_cache) {
  // The one stat of an Open whose file is unchanged.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return unreadable(path, fromErrno(errno));
  if (!S_ISREG(st.st_mode)) return unreadable(path, {pelmo_file::FileStatus::kNotRegularFile, {}});
  Cache& c = cache();
  if (use_cache) {
    std::lock_guard<std::mutex> lock(c.mutex);
    auto it = c.entries.find(path);
    if (it != c.entries.end() && !it->second.racy && it->second.stamp == pelmo_file::stampOf(st))
      return it->second.result;
  }

  std::string text;
  pelmo_file::FileStamp stamp;
  const pelmo_file::FileResult read = pelmo_file::readRegularFile(path, kMaxFileBytes, text, &stamp);
  if (!read.ok()) {
    LoadResult r = unreadable(path, read);
    // Only an oversized file is remembered: the others may be mended without
    // touching the file (a permission, a folder created).
    if (use_cache && read.status == pelmo_file::FileStatus::kTooLarge) {
      std::lock_guard<std::mutex> lock(c.mutex);
      c.entries[path] = Entry{pelmo_file::stampOf(st), false, 0, r};
    }
    return r;
  }
  const std::size_t hash = std::hash<std::string>{}(text);
  const bool racy = stamp.ctime_ns > nowNs() - kRacyWindowNs;
  if (use_cache) {
    std::lock_guard<std::mutex> lock(c.mutex);
    auto it = c.entries.find(path);
    if (it != c.entries.end() && it->second.stamp == stamp && it->second.text_hash == hash) {
      it->second.racy = racy;  // the same contents: the parse still holds
      return it->second.result;
    }
  }

  LoadResult r = loadNetworkText(text, path);
  std::lock_guard<std::mutex> lock(c.mutex);
  ++c.parses;
  if (use_cache) c.entries[path] = Entry{stamp, racy, hash, r};
  return r;
}

void clearNetworkCache() {
  Cache& c = cache();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.entries.clear();
}

std::uint64_t networkParseCount() {
  Cache& c = cache();
  std::lock_guard<std::mutex> lock(c.mutex);
  return c.parses;
}

std::size_t cachedNetworkCount() {
  Cache& c = cache();
  std::lock_guard<std::mutex> lock(c.mutex);
  return c.entries.size();
}

}  // namespace diveduded
