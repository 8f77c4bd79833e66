// Structured storage: a storage holds named byte streams. MemStorage keeps them
// in memory and can be written to and read from a file. The wrappers are
// non-owning views used by the blocks; the block releases the stream itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

constexpr long S_FALSE = 1;  // a read that returned fewer bytes than asked for
constexpr long STG_E_FILENOTFOUND = 0x80030002L;
constexpr long STG_E_ACCESSDENIED = 0x80030005L;
constexpr long STG_E_INSUFFICIENTMEMORY = 0x80030008L;
constexpr long STG_E_INVALIDPOINTER = 0x80030009L;
constexpr long STG_E_MEDIUMFULL = 0x80030070L;
constexpr long STG_E_INVALIDNAME = 0x800300FCL;
constexpr long STG_E_INVALIDFLAG = 0x800300FFL;
constexpr int STGM_READ = 0;         // open an existing stream read-only
constexpr int STGM_CREATE_RW = 6;    // create or truncate, read-write

class IStream {
 public:
  virtual long Read(void* buf, uint32_t n, uint32_t* got) = 0;
  virtual long Write(const void* buf, uint32_t n, uint32_t* put) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;  // deletes the stream object at count 0; data stays in the storage
  virtual std::size_t remaining() const = 0;  // bytes left to read from the current position

 protected:
  virtual ~IStream() = default;
};

class IStorage {
 public:
  virtual ~IStorage() = default;
  // mode 6: create or truncate; mode 0: open existing read-only. A new stream
  // has its reference count at 1. Returns 0 or an STG_E_* code (out left null).
  // Names are 1 to 31 characters without backslash, '/', ':' or '!' and compare
  // case-insensitively.
  virtual long OpenStreamRaw(const wchar_t* name, int mode, IStream** out) = 0;
};

class MemStorage : public IStorage {
 public:
  MemStorage() = default;
  // Copies hold their own bytes: writing through one never changes the other.
  MemStorage(const MemStorage& other);
  MemStorage& operator=(const MemStorage& other);
  MemStorage(MemStorage&&) noexcept = default;
  MemStorage& operator=(MemStorage&&) noexcept = default;

  long OpenStreamRaw(const wchar_t* name, int mode, IStream** out) override;

  bool has_stream(const std::string& utf8_name) const;
  std::vector<uint8_t> stream_bytes(const std::string& utf8_name) const;  // empty when absent
  // Ignored for a name that breaks the naming rules of OpenStreamRaw.
  void set_stream_bytes(const std::string& utf8_name, std::vector<uint8_t> bytes);
  std::vector<std::string> stream_names() const;

  using Data = std::shared_ptr<std::vector<uint8_t>>;

 private:
  std::map<std::string, Data> streams_;  // key: upper-cased UTF-8 name
  std::map<std::string, std::string> display_names_;
};

// File form of a MemStorage: "PSTG1", stream count, then per stream the name
// length, UTF-8 name, int32 data length and bytes, little-endian. Loading reads
// the file without blocking, as a regular file of at most kMaxStorageFileBytes,
// and checks every length against the file size; a damaged file is refused and
// leaves the target unchanged. Saving writes a sibling file and renames it
// over the target.
constexpr std::uint64_t kMaxStorageFileBytes = 64ULL << 20;

enum class StorageFileStatus {
  kOk,
  kNotFound,        // no such file
  kAccessDenied,    // the file or its folder may not be read or written
  kNotRegularFile,  // a folder, device, FIFO or socket
  kTooLarge,        // over kMaxStorageFileBytes
  kIoError,         // the system failed to read or write it
  kNotStorage,      // does not begin with the form's magic
  kDamaged,         // a count, length or name breaks the form
};

// "ok", "not found", "permission denied", ..., "damaged".
const char* storageFileStatusName(StorageFileStatus status);

struct StorageFileResult {
  StorageFileStatus status = StorageFileStatus::kOk;
  std::string reason;  // for the user, e.g. "permission denied"; empty when ok
  bool ok() const { return status == StorageFileStatus::kOk; }
};

// Never throws.
StorageFileResult storage_read_file(const std::string& path, MemStorage& out);

// Return true on success.
bool storage_save_file(const MemStorage& s, const std::string& path);
bool storage_load_file(const std::string& path, MemStorage& out);

class QivIStorageWrapper {
 public:
  explicit QivIStorageWrapper(IStorage* s) : s_(s) {}
  // The stream or null; result receives 0 or the failure code. Never throws.
  IStream* OpenStream(const wchar_t* name, int mode, long& result);

 private:
  IStorage* s_;
};

class QivIStreamWrapper {
 public:
  explicit QivIStreamWrapper(IStream* s) : s_(s) {}
  // Integers are stored as int32 little-endian; a value outside the int32 range
  // sets the error flag and writes nothing.
  QivIStreamWrapper& operator<<(long v);
  // Writes the bytes and one terminating NUL.
  QivIStreamWrapper& operator<<(const char* text);
  // Reads an int32 and sign-extends; a short read sets the error flag and leaves v unchanged.
  QivIStreamWrapper& operator>>(long& v);
  // Reads up to and including the NUL; stores at most cap-1 bytes and a NUL,
  // discarding any excess (error flag set). A text that ends without its NUL
  // also sets the error flag. Returns the bytes stored.
  std::size_t read_text(char* buf, std::size_t cap);
  std::size_t remaining() const;
  bool error() const { return error_; }

 private:
  IStream* s_;
  bool error_ = false;
};
