#include "platform/diveduded/path.h"

namespace diveduded {

namespace {

constexpr int kOk = 0;
constexpr int kRefused = 2;

bool hasControl(std::string_view s) {
  for (char ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7f) return true;
  }
  return false;
}

}  // namespace

int resolveNetworkPath(std::string_view folder, std::string_view file, std::string& path, std::string& why) {
  path.clear();
  if (folder.empty()) {
    why = "no network folder configured";
    return kRefused;
  }
  if (folder.front() == '\\') {
    why = "no network folder configured (the folder \"" + std::string(folder) + "\" has no root)";
    return kRefused;
  }
  if (hasControl(folder)) {
    why = "control character in the network folder";
    return kRefused;
  }
  if (file.empty()) {
    why = "no network file name";
    return kRefused;
  }
  if (file == "." || file == ".." || file.find_first_of("/\\") != std::string_view::npos || hasControl(file)) {
    why = "unsafe network file name \"" + std::string(file) + "\"";
    return kRefused;
  }

  // Rebuild the folder segment by segment: '\' and '/' both separate, empty
  // segments vanish, ".." is refused.
  path.reserve(folder.size() + file.size() + 1);
  if (folder.front() == '/') path += '/';
  std::size_t i = 0;
  while (i < folder.size()) {
    while (i < folder.size() && (folder[i] == '/' || folder[i] == '\\')) ++i;
    const std::size_t start = i;
    while (i < folder.size() && folder[i] != '/' && folder[i] != '\\') ++i;
    const std::string_view seg = folder.substr(start, i - start);
    if (seg.empty()) continue;
    if (seg == "..") {
      path.clear();
      why = "the network folder \"" + std::string(folder) + "\" contains a \"..\" segment";
      return kRefused;
    }
    if (!path.empty() && path.back() != '/') path += '/';
    path += seg;
  }
  if (!path.empty() && path.back() != '/') path += '/';
  path += file;
  return kOk;
}

}  // namespace diveduded
