// Structured storage in memory, its file form, and the block-side wrappers.
#include "platform/storage.h"

#include <array>
#include <cstring>
#include <exception>
#include <limits>
#include <new>
#include <utility>

#include "platform/file_io.h"
#include "platform/src/text_util.h"

namespace {

// Element names: 1 to 31 characters, none of the separators COM reserves.
constexpr std::size_t kMaxNameChars = 31;
// A stream's length is stored as int32 in the file form.
constexpr std::size_t kMaxStreamBytes = static_cast<std::size_t>(std::numeric_limits<int32_t>::max());
constexpr char kMagic[5] = {'P', 'S', 'T', 'G', '2'};
// The form before the owner record and the checksum: still read.
constexpr char kOlderMagic[5] = {'P', 'S', 'T', 'G', '1'};
static_assert(sizeof kMagic == sizeof kOlderMagic);

bool reserved_char(uint32_t c) { return c == 0 || c == '\\' || c == '/' || c == ':' || c == '!'; }

void append_utf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool valid_code_point(uint32_t c) { return c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF); }

// A wide stream name in UTF-8, or false when it breaks the naming rules.
bool wide_name_to_utf8(const wchar_t* name, std::string& out) {
  if (!name) return false;
  out.clear();
  std::size_t chars = 0;
  for (const wchar_t* p = name; *p; ++p) {
    const auto c = static_cast<uint32_t>(*p);
    if (++chars > kMaxNameChars || reserved_char(c) || !valid_code_point(c)) return false;
    append_utf8(out, c);
  }
  return chars > 0;
}

// Checks a UTF-8 name against the same rules (well-formed, 1 to 31 characters).
bool valid_utf8_name(const std::string& s) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    uint32_t c;
    std::size_t len;
    if (b < 0x80) {
      c = b;
      len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F;
      len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F;
      len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07;
      len = 4;
    } else {
      return false;
    }
    if (i + len > s.size()) return false;
    for (std::size_t k = 1; k < len; ++k) {
      const auto cb = static_cast<unsigned char>(s[i + k]);
      if ((cb & 0xC0) != 0x80) return false;
      c = (c << 6) | (cb & 0x3F);
    }
    static constexpr uint32_t kMinForLen[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMinForLen[len] || !valid_code_point(c) || reserved_char(c)) return false;
    if (++chars > kMaxNameChars) return false;
    i += len;
  }
  return chars > 0;
}

// A stream opened on a storage's data. The data outlives the stream object.
class MemStream final : public IStream {
 public:
  MemStream(MemStorage::Data data, bool writable) : data_(std::move(data)), writable_(writable) {}

  long Read(void* buf, uint32_t n, uint32_t* got) override {
    if (got) *got = 0;
    if (n == 0) return 0;
    if (!buf) return STG_E_INVALIDPOINTER;
    const std::size_t take = std::min<std::size_t>(n, remaining());
    if (take) std::memcpy(buf, data_->data() + pos_, take);
    pos_ += take;
    if (got) *got = static_cast<uint32_t>(take);
    return take == n ? 0 : S_FALSE;
  }

  long Write(const void* buf, uint32_t n, uint32_t* put) override {
    if (put) *put = 0;
    if (!writable_) return STG_E_ACCESSDENIED;
    if (n == 0) return 0;
    if (!buf) return STG_E_INVALIDPOINTER;
    if (pos_ + n > kMaxStreamBytes) return STG_E_MEDIUMFULL;
    try {
      if (data_->size() < pos_ + n) data_->resize(pos_ + n);
    } catch (const std::exception&) {
      return STG_E_INSUFFICIENTMEMORY;
    }
    std::memcpy(data_->data() + pos_, buf, n);
    pos_ += n;
    if (put) *put = n;
    return 0;
  }

  uint32_t AddRef() override { return ++refs_; }

  uint32_t Release() override {
    const uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
  }

  std::size_t remaining() const override { return pos_ < data_->size() ? data_->size() - pos_ : 0; }

 private:
  ~MemStream() override = default;

  MemStorage::Data data_;
  bool writable_;
  std::size_t pos_ = 0;
  uint32_t refs_ = 1;
};

void put_u32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t get_u32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

void put_text(std::string& out, std::string_view text) {
  put_u32(out, static_cast<uint32_t>(text.size()));
  out.append(text);
}

// CRC-32 (the polynomial of zip and PNG, reflected): catches every single and
// double bit flip and every burst up to 32 bits.
constexpr std::array<uint32_t, 256> kCrcTable = [] {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}();

uint32_t crc32(std::string_view bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (const char b : bytes) c = kCrcTable[(c ^ static_cast<unsigned char>(b)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// Reads the file form front to back; every read checks what is left.
struct ByteReader {
  std::string_view data;
  std::size_t pos = 0;

  bool u32(uint32_t& v) {
    if (data.size() - pos < 4) return false;
    v = get_u32(reinterpret_cast<const unsigned char*>(data.data() + pos));
    pos += 4;
    return true;
  }
  // An int32 length and that many bytes.
  bool text(std::string& out) {
    uint32_t n = 0;
    if (!u32(n) || n > kMaxStreamBytes || n > data.size() - pos) return false;
    out.assign(data.substr(pos, n));
    pos += n;
    return true;
  }
};

StorageFileResult storage_failure(StorageFileStatus status, std::string reason) {
  return {status, std::move(reason), 0};
}

StorageFileResult damaged(const std::string& why) { return storage_failure(StorageFileStatus::kDamaged, "damaged: " + why); }

std::string too_large_reason() { return "larger than " + std::to_string(kMaxStorageFileBytes) + " bytes"; }

StorageFileStatus from_file_status(pelmo_file::FileStatus s) {
  switch (s) {
    case pelmo_file::FileStatus::kOk: return StorageFileStatus::kOk;
    case pelmo_file::FileStatus::kNotFound: return StorageFileStatus::kNotFound;
    case pelmo_file::FileStatus::kAccessDenied: return StorageFileStatus::kAccessDenied;
    case pelmo_file::FileStatus::kNotRegularFile: return StorageFileStatus::kNotRegularFile;
    case pelmo_file::FileStatus::kTooLarge: return StorageFileStatus::kTooLarge;
    case pelmo_file::FileStatus::kIoError: return StorageFileStatus::kIoError;
  }
  return StorageFileStatus::kIoError;
}

}  // namespace

MemStorage::MemStorage(const MemStorage& other)
    : IStorage(other), display_names_(other.display_names_), owner_(other.owner_) {
  for (const auto& [key, data] : other.streams_) streams_.emplace(key, std::make_shared<std::vector<uint8_t>>(*data));
}

MemStorage& MemStorage::operator=(const MemStorage& other) {
  if (this != &other) {
    MemStorage copy(other);
    *this = std::move(copy);
  }
  return *this;
}

long MemStorage::OpenStreamRaw(const wchar_t* name, int mode, IStream** out) {
  if (!out) return STG_E_INVALIDPOINTER;
  *out = nullptr;
  try {
    std::string utf8;
    if (!wide_name_to_utf8(name, utf8)) return STG_E_INVALIDNAME;
    const std::string key = pelmo_detail::upper_ascii(utf8);
    if (mode == STGM_READ) {
      const auto it = streams_.find(key);
      if (it == streams_.end()) return STG_E_FILENOTFOUND;
      *out = new MemStream(it->second, false);
      return 0;
    }
    if (mode == STGM_CREATE_RW) {
      const auto it = streams_.find(key);
      if (it != streams_.end()) {
        it->second->clear();  // truncate in place, keeping the first spelling of the name
        *out = new MemStream(it->second, true);
        return 0;
      }
      auto data = std::make_shared<std::vector<uint8_t>>();
      auto* stream = new MemStream(data, true);
      try {
        display_names_[key] = utf8;
        streams_.emplace(key, std::move(data));
      } catch (...) {
        display_names_.erase(key);
        stream->Release();
        throw;
      }
      *out = stream;
      return 0;
    }
    return STG_E_INVALIDFLAG;
  } catch (const std::exception&) {
    *out = nullptr;
    return STG_E_INSUFFICIENTMEMORY;
  }
}

bool MemStorage::has_stream(const std::string& utf8_name) const {
  return streams_.count(pelmo_detail::upper_ascii(utf8_name)) != 0;
}

std::vector<uint8_t> MemStorage::stream_bytes(const std::string& utf8_name) const {
  const auto it = streams_.find(pelmo_detail::upper_ascii(utf8_name));
  return it == streams_.end() ? std::vector<uint8_t>{} : *it->second;
}

void MemStorage::set_stream_bytes(const std::string& utf8_name, std::vector<uint8_t> bytes) {
  if (!valid_utf8_name(utf8_name) || bytes.size() > kMaxStreamBytes) return;
  const std::string key = pelmo_detail::upper_ascii(utf8_name);
  auto& data = streams_[key];
  if (data) {
    *data = std::move(bytes);
  } else {
    data = std::make_shared<std::vector<uint8_t>>(std::move(bytes));
    display_names_[key] = utf8_name;
  }
}

std::vector<std::string> MemStorage::stream_names() const {
  std::vector<std::string> names;
  names.reserve(display_names_.size());
  for (const auto& [key, name] : display_names_) names.push_back(name);
  return names;
}

const char* storageFileStatusName(StorageFileStatus status) {
  switch (status) {
    case StorageFileStatus::kOk: return "ok";
    case StorageFileStatus::kNotFound: return "not found";
    case StorageFileStatus::kAccessDenied: return "permission denied";
    case StorageFileStatus::kNotRegularFile: return "not a regular file";
    case StorageFileStatus::kTooLarge: return "too large";
    case StorageFileStatus::kIoError: return "input/output error";
    case StorageFileStatus::kNotStorage: return "not a stored block file";
    case StorageFileStatus::kDamaged: return "damaged";
    case StorageFileStatus::kChecksumMismatch: return "checksum mismatch";
  }
  return "unknown status";
}

StorageFileResult storage_to_bytes(const MemStorage& s, std::string& bytes) {
  try {
    const StorageOwner& owner = s.owner();
    std::string out(kMagic, sizeof kMagic);
    for (const std::string* text : {&owner.factory, &owner.model_type, &owner.options}) {
      if (text->size() > kMaxStorageFileBytes) return storage_failure(StorageFileStatus::kTooLarge, too_large_reason());
      put_text(out, *text);
    }
    const auto names = s.stream_names();
    put_u32(out, static_cast<uint32_t>(names.size()));
    for (const auto& name : names) {
      put_text(out, name);
      const auto data = s.stream_bytes(name);
      put_u32(out, static_cast<uint32_t>(data.size()));
      out.append(reinterpret_cast<const char*>(data.data()), data.size());
      // A storage the reader would refuse is not written.
      if (out.size() + 4 > kMaxStorageFileBytes)
        return storage_failure(StorageFileStatus::kTooLarge, too_large_reason());
    }
    put_u32(out, crc32(out));
    bytes = std::move(out);
    return {StorageFileStatus::kOk, {}, 2};
  } catch (const std::exception&) {
    return storage_failure(StorageFileStatus::kIoError, "out of memory");
  }
}

StorageFileResult storage_from_bytes(std::string_view bytes, MemStorage& out) {
  try {
    ByteReader in{bytes};
    int form = 0;
    if (bytes.size() >= sizeof kMagic && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0) {
      form = 2;
      if (bytes.size() < sizeof kMagic + 4) return damaged("it is cut short");
      const std::string_view body = bytes.substr(0, bytes.size() - 4);
      if (get_u32(reinterpret_cast<const unsigned char*>(bytes.data() + body.size())) != crc32(body))
        return storage_failure(StorageFileStatus::kChecksumMismatch, "its checksum does not match its contents");
      in.data = body;
    } else if (bytes.size() >= sizeof kOlderMagic && std::memcmp(bytes.data(), kOlderMagic, sizeof kOlderMagic) == 0) {
      form = 1;
    } else {
      return storage_failure(StorageFileStatus::kNotStorage, "not a stored block file");
    }
    in.pos = sizeof kMagic;

    MemStorage loaded;
    if (form == 2) {
      StorageOwner owner;
      if (!in.text(owner.factory) || !in.text(owner.model_type) || !in.text(owner.options))
        return damaged("its owner record is cut short");
      loaded.set_owner(std::move(owner));
    }
    uint32_t count = 0;
    if (!in.u32(count)) return damaged("it is cut short");
    for (uint32_t i = 0; i < count; ++i) {
      std::string name, data;
      if (!in.text(name) || !in.text(data)) return damaged("stream " + std::to_string(i + 1) + " is cut short");
      if (!valid_utf8_name(name)) return damaged("stream " + std::to_string(i + 1) + " has no valid name");
      if (loaded.has_stream(name)) return damaged("two streams are named " + name);
      loaded.set_stream_bytes(name, std::vector<uint8_t>(data.begin(), data.end()));
    }
    if (in.pos != in.data.size()) return damaged("it has bytes after its last stream");
    out = std::move(loaded);
    return {StorageFileStatus::kOk, {}, form};
  } catch (const std::exception&) {
    return storage_failure(StorageFileStatus::kIoError, "out of memory");
  }
}

StorageFileResult storage_read_file(const std::string& path, MemStorage& out) {
  try {
    std::string bytes;
    const pelmo_file::FileResult read = pelmo_file::readRegularFile(path, kMaxStorageFileBytes, bytes);
    if (!read.ok()) return storage_failure(from_file_status(read.status), read.reason);
    return storage_from_bytes(bytes, out);
  } catch (const std::exception&) {
    return storage_failure(StorageFileStatus::kIoError, "out of memory");
  }
}

StorageFileResult storage_write_file(const MemStorage& s, const std::string& path) {
  try {
    std::string bytes;
    StorageFileResult r = storage_to_bytes(s, bytes);
    if (!r.ok()) return r;
    const pelmo_file::FileResult written = pelmo_file::replaceFile(path, bytes);
    // Copying the reason allocates: out of memory here, the write still failed.
    if (!written.ok()) return storage_failure(from_file_status(written.status), written.reason);
    return r;
  } catch (const std::exception&) {
    return storage_failure(StorageFileStatus::kIoError, "out of memory");
  }
}

bool storage_save_file(const MemStorage& s, const std::string& path) { return storage_write_file(s, path).ok(); }

bool storage_load_file(const std::string& path, MemStorage& out) { return storage_read_file(path, out).ok(); }

IStream* QivIStorageWrapper::OpenStream(const wchar_t* name, int mode, long& result) {
  if (!s_) {
    result = STG_E_INVALIDPOINTER;
    return nullptr;
  }
  try {
    IStream* stream = nullptr;
    result = s_->OpenStreamRaw(name, mode, &stream);
    if (result != 0 && stream) {  // a storage that fails must not hand out a stream
      stream->Release();
      stream = nullptr;
    }
    if (result == 0 && !stream) result = STG_E_FILENOTFOUND;
    return stream;
  } catch (...) {
    result = STG_E_INSUFFICIENTMEMORY;
    return nullptr;
  }
}

QivIStreamWrapper& QivIStreamWrapper::operator<<(long v) {
  if (!s_ || v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) {
    error_ = true;
    return *this;
  }
  const auto u = static_cast<uint32_t>(static_cast<int32_t>(v));
  const unsigned char bytes[4] = {static_cast<unsigned char>(u & 0xFF), static_cast<unsigned char>((u >> 8) & 0xFF),
                                  static_cast<unsigned char>((u >> 16) & 0xFF),
                                  static_cast<unsigned char>((u >> 24) & 0xFF)};
  uint32_t put = 0;
  if (s_->Write(bytes, 4, &put) != 0 || put != 4) error_ = true;
  return *this;
}

QivIStreamWrapper& QivIStreamWrapper::operator<<(const char* text) {
  if (!s_ || !text) {
    error_ = true;
    return *this;
  }
  const std::size_t n = std::strlen(text) + 1;  // the terminator goes too
  if (n > kMaxStreamBytes) {
    error_ = true;
    return *this;
  }
  uint32_t put = 0;
  if (s_->Write(text, static_cast<uint32_t>(n), &put) != 0 || put != n) error_ = true;
  return *this;
}

QivIStreamWrapper& QivIStreamWrapper::operator>>(long& v) {
  unsigned char bytes[4] = {};
  uint32_t got = 0;
  if (!s_ || s_->Read(bytes, 4, &got) != 0 || got != 4) {
    error_ = true;
    return *this;
  }
  const uint32_t u = get_u32(bytes);
  v = static_cast<long>(static_cast<int32_t>(u));
  return *this;
}

std::size_t QivIStreamWrapper::read_text(char* buf, std::size_t cap) {
  if (!s_) {
    error_ = true;
    if (buf && cap) buf[0] = '\0';
    return 0;
  }
  const bool can_store = buf && cap > 0;
  std::size_t stored = 0;
  bool terminated = false;
  for (;;) {
    char c = 0;
    uint32_t got = 0;
    if (s_->Read(&c, 1, &got) != 0 || got != 1) break;  // end of stream before the terminator
    if (c == '\0') {
      terminated = true;
      break;
    }
    if (can_store && stored + 1 < cap) {
      buf[stored++] = c;
    } else {
      error_ = true;  // excess text: consumed and discarded
    }
  }
  if (!terminated) error_ = true;
  if (can_store) buf[stored] = '\0';
  return stored;
}

std::size_t QivIStreamWrapper::remaining() const { return s_ ? s_->remaining() : 0; }
