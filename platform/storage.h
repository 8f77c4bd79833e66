// Structured storage: a storage holds named byte streams. MemStorage keeps them
// in memory and can be written to and read from a file. The wrappers are
// non-owning views used by the blocks; the block releases the stream itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
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

// The block that wrote a storage, recorded by the file form beside the streams
// (as a structured storage records the class of the object that wrote it): the
// factory that made the block, the block's model type and its options text.
// The storage only carries it; the host fills and compares it.
struct StorageOwner {
  std::string factory;
  std::string model_type;
  std::string options;
  bool operator==(const StorageOwner&) const = default;
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

  const StorageOwner& owner() const { return owner_; }
  void set_owner(StorageOwner owner) { owner_ = std::move(owner); }

  using Data = std::shared_ptr<std::vector<uint8_t>>;

 private:
  std::map<std::string, Data> streams_;  // key: upper-cased UTF-8 name
  std::map<std::string, std::string> display_names_;
  StorageOwner owner_;
};

// File form of a MemStorage, little-endian: "PSTG2"; the owner's factory,
// model type and options, each as an int32 length and its bytes; the stream
// count; per stream the name length, UTF-8 name, int32 data length and bytes;
// then the CRC-32 of every byte before it. Files of the older form "PSTG1"
// (the streams alone, no owner and no checksum) are still read, with an empty
// owner. Loading checks the checksum and every length against the file size;
// a damaged file is refused and leaves the target unchanged.
constexpr std::uint64_t kMaxStorageFileBytes = 64ULL << 20;

enum class StorageFileStatus {
  kOk,
  kNotFound,          // no such file
  kAccessDenied,      // the file or its folder may not be read or written
  kNotRegularFile,    // a folder, device, FIFO or socket
  kTooLarge,          // over kMaxStorageFileBytes
  kIoError,           // the system failed to read or write it
  kNotStorage,        // begins with neither form's magic
  kDamaged,           // a count, length or name breaks the form
  kChecksumMismatch,  // the checksum does not match the contents
};

// "ok", "not found", "permission denied", ..., "checksum mismatch".
const char* storageFileStatusName(StorageFileStatus status);

struct StorageFileResult {
  StorageFileStatus status = StorageFileStatus::kOk;
  std::string reason;  // for the user, e.g. "permission denied"; empty when ok
  int form = 0;        // the form read: 1 (older, no owner or checksum) or 2
  bool ok() const { return status == StorageFileStatus::kOk; }
};

// The file's bytes, and a storage from them. Never throw.
StorageFileResult storage_to_bytes(const MemStorage& s, std::string& bytes);
StorageFileResult storage_from_bytes(std::string_view bytes, MemStorage& out);

// The file is read without blocking, as a regular file of at most
// kMaxStorageFileBytes. Saving writes a temporary file of its own beside the
// target, flushes it and renames it over the target, so concurrent saves to
// one path all succeed and a failed save leaves the target as it was.
StorageFileResult storage_read_file(const std::string& path, MemStorage& out);
StorageFileResult storage_write_file(const MemStorage& s, const std::string& path);

// The same, true on success.
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
