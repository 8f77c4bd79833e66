// The registry subset: an override table set by the host or the tests, then a
// text file named by PELMO_REGISTRY, then nothing.
#include "platform/registry.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "platform/file_io.h"
#include "platform/src/text_util.h"

using pelmo_detail::trim;
using pelmo_detail::upper_ascii;

// A key handle: the key's full path, upper-cased ("HKEY_LOCAL_MACHINE\SOFTWARE\...").
struct pelmo_hkey {
  std::string path;
};

namespace {

pelmo_hkey g_hklm{"HKEY_LOCAL_MACHINE"};

// Values by upper-cased key path, then upper-cased value name.
using ValueTable = std::map<std::string, std::map<std::string, std::string>>;

struct FileState {
  std::string path;
  bool present = false;
  struct timespec mtime {};
  off_t size = 0;
  ino_t inode = 0;
  ValueTable values;
};

std::mutex g_mutex;
ValueTable g_override;
FileState g_file;
std::set<pelmo_hkey*> g_open;  // handles returned by RegOpenKeyExA and not yet closed

// Upper-cases a key path and drops empty components, so "A\\B\" and "a\b"
// name the same key.
std::string normalise_path(std::string_view path) {
  std::string out;
  std::size_t start = 0;
  while (start <= path.size()) {
    auto end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    const auto part = trim(path.substr(start, end - start));
    if (!part.empty()) {
      if (!out.empty()) out += '\\';
      out += upper_ascii(part);
    }
    start = end + 1;
  }
  return out;
}

// Root names accepted at the start of a full path.
std::string normalise_root(std::string_view path) {
  std::string p = normalise_path(path);
  const std::string hklm_short = "HKLM";
  if (p == hklm_short || p.rfind(hklm_short + "\\", 0) == 0) p = "HKEY_LOCAL_MACHINE" + p.substr(hklm_short.size());
  return p;
}

// A settings file larger than this is not read (it holds a few lines).
constexpr std::uint64_t kMaxRegistryFileBytes = 64u << 20;

// Parses the file: "<root>\<key path>\<value name>=<text>". Lines are trimmed;
// a line whose first character is '#' is a comment (a '#' inside a path is
// kept, as folder names may hold one). Malformed lines are skipped. The file
// is read without blocking and only when the opened file is a regular one
// within the limit (the path may have been replaced since it was looked at);
// otherwise read is false and the table empty.
ValueTable parse_file(const std::string& path, bool& read) {
  ValueTable table;
  std::string contents;
  read = pelmo_file::readRegularFile(path, kMaxRegistryFileBytes, contents).ok();
  if (!read) return table;
  std::string_view rest = contents;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const auto t = trim(line);
    if (t.empty() || t.front() == '#') continue;
    const auto eq = t.find('=');
    if (eq == std::string_view::npos) continue;
    const auto left = trim(t.substr(0, eq));
    const auto text = trim(t.substr(eq + 1));
    const auto slash = left.rfind('\\');
    if (slash == std::string_view::npos) continue;
    const std::string key = normalise_root(left.substr(0, slash));
    const std::string name = upper_ascii(trim(left.substr(slash + 1)));
    if (key.rfind("HKEY_", 0) != 0) continue;
    table[key][name] = std::string(text);  // a later line replaces an earlier one
  }
  return table;
}

// Re-reads the file when its name, modification time, size or inode changed.
// Called with the mutex held.
void refresh_file() {
  const char* env = std::getenv("PELMO_REGISTRY");
  const std::string path = env ? env : "";
  struct stat st {};
  const bool present = !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (!present) {
    g_file = FileState{};
    g_file.path = path;
    return;
  }
  const bool same = g_file.present && g_file.path == path && g_file.size == st.st_size &&
                    g_file.inode == st.st_ino && g_file.mtime.tv_sec == st.st_mtim.tv_sec &&
                    g_file.mtime.tv_nsec == st.st_mtim.tv_nsec;
  if (same) return;
  bool read = false;
  g_file.values = parse_file(path, read);
  g_file.path = path;
  g_file.present = read;  // a file that could not be read is tried again next time
  g_file.mtime = st.st_mtim;
  g_file.size = st.st_size;
  g_file.inode = st.st_ino;
}

bool table_has_key(const ValueTable& t, const std::string& key) {
  // A key exists when it holds a value or when a deeper key does.
  auto it = t.lower_bound(key);
  if (it == t.end()) return false;
  return it->first == key || it->first.rfind(key + "\\", 0) == 0;
}

const std::string* table_find(const ValueTable& t, const std::string& key, const std::string& name) {
  const auto k = t.find(key);
  if (k == t.end()) return nullptr;
  const auto v = k->second.find(name);
  return v == k->second.end() ? nullptr : &v->second;
}

bool valid_handle(HKEY h) { return h == &g_hklm || (h && g_open.count(h) != 0); }

}  // namespace

HKEY const HKEY_LOCAL_MACHINE = &g_hklm;

long RegOpenKeyExA(HKEY root, const char* subkey, unsigned /*options*/, unsigned /*access*/, HKEY* out) {
  if (!out) return ERROR_INVALID_PARAMETER;
  *out = nullptr;
  try {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!valid_handle(root)) return ERROR_INVALID_HANDLE;
    const std::string sub = normalise_path(subkey ? subkey : "");
    const std::string key = sub.empty() ? root->path : root->path + "\\" + sub;
    refresh_file();
    if (key != g_hklm.path && !table_has_key(g_override, key) && !table_has_key(g_file.values, key))
      return ERROR_FILE_NOT_FOUND;
    // Handed out only once it is recorded: a record that cannot be made
    // takes the handle with it.
    auto h = std::make_unique<pelmo_hkey>(pelmo_hkey{key});
    g_open.insert(h.get());
    *out = h.release();
    return ERROR_SUCCESS;
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

long RegQueryValueExA(HKEY key, const char* value_name, unsigned* /*reserved*/, unsigned* type,
                      unsigned char* data, unsigned* size) {
  if (data && !size) return ERROR_INVALID_PARAMETER;
  try {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!valid_handle(key)) return ERROR_INVALID_HANDLE;
    refresh_file();
    const std::string name = upper_ascii(value_name ? value_name : "");
    const std::string* text = table_find(g_override, key->path, name);
    if (!text) text = table_find(g_file.values, key->path, name);
    if (!text) return ERROR_FILE_NOT_FOUND;
    // Stored as REG_SZ: the bytes and one terminating zero.
    const std::size_t stored = text->size() + 1;
    if (stored > 0xFFFFFFFFu) return ERROR_MORE_DATA;
    if (type) *type = REG_SZ;
    if (!data) {  // size query
      if (size) *size = static_cast<unsigned>(stored);
      return ERROR_SUCCESS;
    }
    if (stored > *size) {
      *size = static_cast<unsigned>(stored);
      return ERROR_MORE_DATA;  // the caller's buffer is left untouched
    }
    std::memcpy(data, text->c_str(), stored);
    *size = static_cast<unsigned>(stored);
    return ERROR_SUCCESS;
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

long RegCloseKey(HKEY key) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (key == &g_hklm) return ERROR_SUCCESS;  // predefined handles need no closing
  const auto it = g_open.find(key);
  if (it == g_open.end()) return ERROR_INVALID_HANDLE;  // never opened, or closed twice
  g_open.erase(it);
  delete key;
  return ERROR_SUCCESS;
}

void pelmo_registry_set(const char* root, const char* subkey, const char* value_name, const char* text) {
  try {
    std::string full = root ? root : "HKEY_LOCAL_MACHINE";
    if (subkey && *subkey) full += std::string("\\") + subkey;
    const std::string key = normalise_root(full);
    std::lock_guard<std::mutex> lock(g_mutex);
    g_override[key][upper_ascii(value_name ? value_name : "")] = text ? text : "";
  } catch (const std::bad_alloc&) {
    // The table stays as it was.
  }
}

void pelmo_registry_clear() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_override.clear();
}
