#include "platform/diveduded/cache.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/diveduded/parser.h"
#include "platform/file_io.h"

namespace diveduded {

namespace {

constexpr int kMissing = 3;
constexpr int kFormat = 4;
constexpr int kSelfCheck = 9;

struct Stamp {
  long long mtime_ns = 0;
  long long size = 0;
  bool operator==(const Stamp&) const = default;
};

struct Entry {
  Stamp stamp;
  LoadResult result;
};

struct Cache {
  std::mutex mutex;
  std::unordered_map<std::string, Entry> entries;
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

}  // namespace

LoadResult loadNetworkText(const std::string& text, const std::string& name) {
  LoadResult r;
  if (static_cast<long long>(text.size()) > kMaxFileBytes) {
    r.status = kFormat;
    r.message = "network file " + name + ": larger than " + std::to_string(kMaxFileBytes) + " bytes";
    return r;
  }
  auto net = std::make_shared<Network>();
  ParseError err;
  if (!parseNetwork(text, *net, err)) {
    r.status = kFormat;
    r.message = "network file " + name + ": " + (err.line > 0 ? "line " + std::to_string(err.line) + ": " : "") +
                err.message;
    return r;
  }
  double got = 0.0;
  const long bad = firstFailingCheck(*net, &got);
  if (bad >= 0) {
    r.status = kSelfCheck;
    r.message = "network file " + name + ": CHECK point " + std::to_string(bad + 1) + " gives " + numberText(got) +
                ", the file expects " + numberText(net->checks[static_cast<std::size_t>(bad)].expected);
    return r;
  }
  r.net = std::move(net);
  return r;
}

LoadResult loadNetwork(const std::string& path, bool use_cache) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    LoadResult r;
    r.status = kMissing;
    r.message = "network file " + path + " not found: " + std::strerror(errno);
    return r;
  }
  if (!S_ISREG(st.st_mode)) {
    LoadResult r;
    r.status = kMissing;
    r.message = "network file " + path + " is not a regular file";
    return r;
  }
  const Stamp stamp{static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000LL + st.st_mtim.tv_nsec,
                    static_cast<long long>(st.st_size)};

  Cache& c = cache();
  if (use_cache) {
    std::lock_guard<std::mutex> lock(c.mutex);
    auto it = c.entries.find(path);
    if (it != c.entries.end() && it->second.stamp == stamp) return it->second.result;
  }

  LoadResult r;
  if (stamp.size > kMaxFileBytes) {
    r.status = kFormat;
    r.message = "network file " + path + ": larger than " + std::to_string(kMaxFileBytes) + " bytes";
  } else {
    // Opened without blocking and read only while it is a regular file within
    // the limit: the path may have become a FIFO or a device since the stat.
    std::string text;
    const pelmo_file::FileResult read = pelmo_file::readRegularFile(path, kMaxFileBytes, text);
    if (!read.ok()) {
      // Not cached: a permission problem can be mended without touching the file.
      r.status = read.status == pelmo_file::FileStatus::kTooLarge ? kFormat : kMissing;
      r.message = "network file " + path + " cannot be read: " + read.reason;
      return r;
    }
    r = loadNetworkText(text, path);
  }
  if (use_cache) {
    std::lock_guard<std::mutex> lock(c.mutex);
    c.entries[path] = Entry{stamp, r};
  }
  return r;
}

void clearNetworkCache() {
  Cache& c = cache();
  std::lock_guard<std::mutex> lock(c.mutex);
  c.entries.clear();
}

std::size_t cachedNetworkCount() {
  Cache& c = cache();
  std::lock_guard<std::mutex> lock(c.mutex);
  return c.entries.size();
}

}  // namespace diveduded
