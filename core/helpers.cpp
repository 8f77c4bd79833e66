#include "core/helpers.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/jacobian.h"
#include "platform/registry.h"

std::string toUpper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string_view readZKModelDir(ZKDirBuffer& buf) {
  HKEY key = nullptr;
  if (const long rc =
          RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Calverin\\Tressa\\38.0", 0, KEY_QUERY_VALUE, &key);
      rc != ERROR_SUCCESS) {
    if (rc == ERROR_OUTOFMEMORY) throw std::bad_alloc();
    return {};
  }
  buf.fill(0);
  unsigned size = static_cast<unsigned>(buf.size());
  unsigned type = 0;
  const long rc = RegQueryValueExA(key, "ZKDir", nullptr, &type, reinterpret_cast<unsigned char*>(buf.data()), &size);
  RegCloseKey(key);
  if (rc == ERROR_OUTOFMEMORY) throw std::bad_alloc();
  if (rc != ERROR_SUCCESS) return {};
  // The bytes read up to the first zero byte, never more than were read.
  const std::size_t n = size < buf.size() ? size : buf.size();
  const void* nul = std::memchr(buf.data(), 0, n);
  const std::size_t len = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - buf.data()) : n;
  return std::string_view(buf.data(), len);
}

namespace {

thread_local ZKDirScope* t_zkDirScope = nullptr;

std::string readZKModelDirText() {
  ZKDirBuffer buf;
  return std::string(::readZKModelDir(buf));
}

}  // namespace

ZKDirScope::ZKDirScope() noexcept : m_outer(t_zkDirScope) {
  if (!m_outer) t_zkDirScope = this;
}

ZKDirScope::~ZKDirScope() {
  if (t_zkDirScope == this) t_zkDirScope = nullptr;
}

std::string getZKModelDir() {
  ZKDirScope* scope = t_zkDirScope;
  if (!scope) return readZKModelDirText();
  if (!scope->m_read) {
    scope->m_dir = readZKModelDirText();
    scope->m_read = true;
  }
  return scope->m_dir;
}

std::string networkFileName(const std::string& kind, const std::string& output) {
  std::string name;
  name.reserve(kind.size() + 1 + output.size() + 4);
  name.append(kind).append(1, '_').append(output).append(".zkr");
  return name;
}

std::string networkFolderName(const std::string& kind) {
  std::string folder = getZKModelDir();
  folder.reserve(folder.size() + 1 + kind.size());
  folder.append(1, '\\').append(kind);
  return folder;
}

int basisCode(std::string word) {
  if (word == "MOLAR") return BASIS_MOLAR;
  if (word == "VOLUME") return BASIS_VOLUME;
  return BASIS_MASS;
}

const char* basisWord(int code) {
  switch (code) {
    case BASIS_MASS: return "MASS";
    case BASIS_MOLAR: return "MOLAR";
    case BASIS_VOLUME: return "VOLUME";
    default: return "";
  }
}

std::string versionText(const VerInfo& v) {
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.build);
}

int stoi_checked(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(begin, &end, 10);
  if (end == begin) throw std::invalid_argument("invalid stoi argument");
  if (errno == ERANGE || value < INT_MIN || value > INT_MAX) throw std::out_of_range("stoi argument out of range");
  return static_cast<int>(value);
}

VerInfo parseVersion(const std::string& text) {
  VerInfo v;  // 35.0.0
  const std::size_t p1 = text.find('.');
  if (p1 == std::string::npos) return v;
  v.major = static_cast<uint32_t>(stoi_checked(text.substr(0, p1)));
  const std::size_t p2 = text.find('.', p1 + 1);
  if (p2 == std::string::npos) return v;
  v.minor = static_cast<uint32_t>(stoi_checked(text.substr(p1 + 1, p2 - p1 - 1)));
  // The whole rest: a third point ends the conversion there.
  v.build = static_cast<uint32_t>(stoi_checked(text.substr(p2 + 1)));
  return v;
}

bool copyBounded(char* dst, std::size_t cap, const std::string& text) {
  if (!dst || cap == 0) return false;
  if (text.size() >= cap || text.find('\0') != std::string::npos) {
    dst[0] = '\0';
    return false;
  }
  std::memcpy(dst, text.c_str(), text.size() + 1);
  return true;
}

bool frameworkName(char* field, std::size_t cap, const char* block, const std::string& own) {
  // block + "." + own, written straight into the field.
  const std::size_t blockLength = block ? std::strlen(block) : 0;
  const std::size_t size = blockLength + 1 + own.size();
  if (size > kMaxNameLength) {
    if (field && cap > 0) field[0] = '\0';
    return false;
  }
  if (!field || cap == 0) return false;
  if (size >= cap || own.find('\0') != std::string::npos) {
    field[0] = '\0';
    return false;
  }
  if (blockLength > 0) std::memcpy(field, block, blockLength);
  field[blockLength] = '.';
  std::memcpy(field + blockLength + 1, own.data(), own.size());
  field[size] = '\0';
  return true;
}

bool registerNonZero(rt_jac_t* jac, int nz, int row, int column) {
  const int rowRc = rtojac_set_nz_eqnnum(jac, nz, row);
  const int colRc = rtojac_set_nz_varnum(jac, nz, column);
  return rowRc == 0 && colRc == 0;
}
