// Small helpers shared by every block: upper-casing, the network folder from
// the registry, basis words and codes, the model version text, and the checked
// map look-up and text-to-integer conversion whose error texts the blocks and
// factories report.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/records.h"

// Basis codes of the LE and HL settings.
constexpr int BASIS_MASS = 0;
constexpr int BASIS_MOLAR = 1;
constexpr int BASIS_VOLUME = 2;

// A copy with every byte passed through the C library's toupper.
std::string toUpper(std::string text);

// The network root folder: the registry value "ZKDir" under
// HKEY_LOCAL_MACHINE "SOFTWARE\Calverin\Tressa\38.0"; empty when the key or the
// value cannot be read (std::bad_alloc, as below, when the registry runs out
// of memory). No separator is added or removed.
std::string getZKModelDir();
// The same into a caller's buffer, without a text of its own: the view points
// into buf (empty when the key or the value cannot be read). A registry that
// runs out of memory raises std::bad_alloc: an empty folder would pass for
// "no value" and every network would be looked for in the wrong place.
using ZKDirBuffer = std::array<char, 1024>;
std::string_view readZKModelDir(ZKDirBuffer& buf);

// While one lives on a thread, getZKModelDir reads the registry once and
// answers every later call from that read: a block's set-up makes dozens of
// network runners, all in the same folder. Scopes nest; only the outermost
// reads.
class ZKDirScope {
 public:
  ZKDirScope() noexcept;
  ~ZKDirScope();
  ZKDirScope(const ZKDirScope&) = delete;
  ZKDirScope& operator=(const ZKDirScope&) = delete;

 private:
  friend std::string getZKModelDir();
  ZKDirScope* m_outer;
  bool m_read = false;
  std::string m_dir;
};

// The network file of one output: "<kind>_<output>.zkr".
std::string networkFileName(const std::string& kind, const std::string& output);
// The network folder of a model kind: the root from getZKModelDir, one
// backslash, the kind ("\COKER" when no root is configured).
std::string networkFolderName(const std::string& kind);

// "MOLAR" 1, "VOLUME" 2, any other text 0. Case-sensitive: callers upper-case first.
int basisCode(std::string word);

// "MASS", "MOLAR", "VOLUME" for 0, 1, 2; the empty text for any other code.
const char* basisWord(int code);

// "37.0.10": the three numbers in unsigned decimal joined by points.
std::string versionText(const VerInfo& v);

// Parses "MAJOR.MINOR.BUILD" (already upper-cased). A text without a point
// keeps 35.0.0; a single point sets only the major number. Each part is read
// like stoi_checked; negative numbers keep their unsigned 32-bit form.
VerInfo parseVersion(const std::string& text);

// Base-10 conversion as the standard string-to-int: leading white space and a
// sign are accepted, trailing characters ignored. Throws
// std::invalid_argument("invalid stoi argument") without a leading number and
// std::out_of_range("stoi argument out of range") outside the 32-bit range.
int stoi_checked(const std::string& text);

// The text of the map look-up error.
inline constexpr const char* kInvalidMapKey = "invalid map<K, T> key";

// Checked look-up in an ordered map: throws
// std::out_of_range("invalid map<K, T> key") for a missing key.
template <class Map, class Key>
auto& at_or_throw(Map& m, const Key& key) {
  auto it = m.find(key);
  if (it == m.end()) throw std::out_of_range(kInvalidMapKey);
  return it->second;
}

// Copies text with its terminator into a fixed buffer of cap bytes when it
// fits; otherwise writes an empty text and returns false (never truncates).
bool copyBounded(char* dst, std::size_t cap, const std::string& text);

// Longest name the library hands to the framework or the runner.
constexpr std::size_t kMaxNameLength = 99;

// The framework name "<block>.<own name>" of a variable or equation, copied into
// a record field of cap bytes. A name over kMaxNameLength characters (or one
// that does not fit the field) is refused: the field is left empty and the
// result is false; a name is never cut.
bool frameworkName(char* field, std::size_t cap, const char* block, const std::string& own);

struct rt_jac_t;
// Registers one non-zero of the framework's Jacobian: row and column are always
// given as a pair (both calls are made even when the first is refused); false
// when the framework refused either.
bool registerNonZero(rt_jac_t* jac, int nz, int row, int column);
