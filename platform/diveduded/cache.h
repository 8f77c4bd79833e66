// The process-wide store of parsed network files.
//
// Keyed by the resolved path; an entry is valid while the file's device, inode,
// size, modification time and change time are those seen when it was read, so
// each Open costs one stat when the file is unchanged, and a file rewritten in
// place (its modification time put back) or replaced by another (rename) is
// read again. An entry read within a moment of the file's last change is also
// checked against the file's contents, since a file system's clock may not
// tick between two changes. Files that fail to parse or fail their CHECK
// points are stored too (with their status and message), so a bad file is not
// parsed again at every call. Runners hold a shared_ptr to the network, so
// replacing or clearing an entry never pulls a network from under an open
// runner.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/diveduded/network.h"

namespace diveduded {

struct LoadResult {
  int status = 0;                        // 0, 3 (missing or unreadable), 4 (format), 9 (self-check),
                                         // 11 (permission denied), 12 (not a regular file)
  std::shared_ptr<const Network> net;    // set when status is 0
  std::string message;                   // names the file when status is not 0
  std::string reason;                    // the message without the file: "line 7: ...", the failed CHECK
                                         // point; empty when the status says it all
};

// Files above this size are refused as a format error without being read.
constexpr long long kMaxFileBytes = 1LL << 30;

// Loads the network at path, through the cache unless use_cache is false.
LoadResult loadNetwork(const std::string& path, bool use_cache);

// Parses and self-checks a text that is already in memory (no cache). name
// only labels messages.
LoadResult loadNetworkText(const std::string& text, const std::string& name);

// Drops every cached entry.
void clearNetworkCache();

// Number of cached entries, and of texts parsed since the start (tests).
std::size_t cachedNetworkCount();
std::uint64_t networkParseCount();

}  // namespace diveduded
