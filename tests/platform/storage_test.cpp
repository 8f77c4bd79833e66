#include "platform/storage.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/processes.h"
#include "tests/platform/storage_files.h"
#include "tests/support/devices.h"

namespace {

namespace fs = std::filesystem;

const char* kXml = "<blockSpecificData><basisLE>MASS</basisLE><basisHL>MASS</basisHL></blockSpecificData>";

// What the reactor blocks write: the text's length, then the text.
void write_block_stream(IStorage* stg, const char* text) {
  long result = -1;
  IStream* s = QivIStorageWrapper(stg).OpenStream(L"BLOCK_SPECIFIC_XML", STGM_CREATE_RW, result);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(result, 0);
  QivIStreamWrapper w(s);
  w << static_cast<long>(std::strlen(text)) << text;
  EXPECT_FALSE(w.error());
  s->Release();
}

TEST(Storage, BlockStreamBytesAndRoundTrip) {
  MemStorage stg;
  write_block_stream(&stg, kXml);
  const auto bytes = stg.stream_bytes("block_specific_xml");  // names compare case-insensitively
  ASSERT_EQ(bytes.size(), 90u);  // 4 length bytes, 85 text bytes, the terminator
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<uint8_t>{0x55, 0, 0, 0}));
  EXPECT_EQ(bytes.back(), 0);

  long result = -1;
  IStream* s = QivIStorageWrapper(&stg).OpenStream(L"Block_Specific_Xml", STGM_READ, result);
  ASSERT_NE(s, nullptr);
  QivIStreamWrapper r(s);
  long n = 0;
  r >> n;
  ASSERT_EQ(n, 85);
  std::vector<char> buf(static_cast<std::size_t>(n) + 1);
  EXPECT_EQ(r.read_text(buf.data(), buf.size()), 85u);
  EXPECT_STREQ(buf.data(), kXml);
  EXPECT_FALSE(r.error());
  EXPECT_EQ(r.remaining(), 0u);
  uint32_t put = 7;
  EXPECT_EQ(s->Write("x", 1, &put), STG_E_ACCESSDENIED);  // mode 0 is read-only
  EXPECT_EQ(put, 0u);
  s->Release();
  EXPECT_EQ(stg.stream_names(), std::vector<std::string>{"BLOCK_SPECIFIC_XML"});
  write_block_stream(&stg, "b");  // mode 6 truncates
  EXPECT_EQ(stg.stream_bytes("BLOCK_SPECIFIC_XML").size(), 4u + 2u);
}

struct NameCase {
  const wchar_t* name;
  int mode;
  long expect;
};

class StreamNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(StreamNames, FollowTheElementNameRules) {
  MemStorage stg;
  stg.set_stream_bytes("PRESENT", {1});
  long result = 0;
  IStream* s = QivIStorageWrapper(&stg).OpenStream(GetParam().name, GetParam().mode, result);
  EXPECT_EQ(result, GetParam().expect);
  EXPECT_EQ(s != nullptr, GetParam().expect == 0);
  if (s) s->Release();
  EXPECT_EQ(QivIStorageWrapper(nullptr).OpenStream(L"X", STGM_CREATE_RW, result), nullptr);
  EXPECT_EQ(result, STG_E_INVALIDPOINTER);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, StreamNames,
    ::testing::Values(NameCase{L"PRESENT", STGM_READ, 0}, NameCase{L"present", STGM_READ, 0},
                      NameCase{L"ABSENT", STGM_READ, STG_E_FILENOTFOUND},
                      NameCase{L"NEW", STGM_CREATE_RW, 0},
                      NameCase{L"PRESENT", 3, STG_E_INVALIDFLAG},
                      NameCase{L"", STGM_CREATE_RW, STG_E_INVALIDNAME},
                      NameCase{nullptr, STGM_CREATE_RW, STG_E_INVALIDNAME},
                      NameCase{L"A234567890123456789012345678901", STGM_CREATE_RW, 0},          // 31
                      NameCase{L"A2345678901234567890123456789012", STGM_CREATE_RW, STG_E_INVALIDNAME},  // 32
                      NameCase{L"A/B", STGM_CREATE_RW, STG_E_INVALIDNAME},
                      NameCase{L"A\\B", STGM_CREATE_RW, STG_E_INVALIDNAME},
                      NameCase{L"A:B", STGM_CREATE_RW, STG_E_INVALIDNAME},
                      NameCase{L"A!B", STGM_CREATE_RW, STG_E_INVALIDNAME},
                      NameCase{L"D\u00c9BIT", STGM_CREATE_RW, 0}));

// Opens a read stream over the given bytes.
struct Reader {
  explicit Reader(std::vector<uint8_t> bytes) {
    stg.set_stream_bytes("S", std::move(bytes));
    long result = 0;
    s = QivIStorageWrapper(&stg).OpenStream(L"S", STGM_READ, result);
  }
  ~Reader() {
    if (s) s->Release();
  }
  MemStorage stg;
  IStream* s = nullptr;
};

TEST(StreamWrapper, IntegersAreInt32LittleEndianAndSignExtended) {
  MemStorage stg;
  long result = 0;
  IStream* s = QivIStorageWrapper(&stg).OpenStream(L"S", STGM_CREATE_RW, result);
  QivIStreamWrapper w(s);
  w << -2L << 0x01020304L;
  EXPECT_FALSE(w.error());
  w << (1L << 40);  // does not fit 32 bits: nothing written
  EXPECT_TRUE(w.error());
  s->Release();
  EXPECT_EQ(stg.stream_bytes("S"), (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1}));
  Reader r(stg.stream_bytes("S"));
  QivIStreamWrapper in(r.s);
  long a = 0, b = 0;
  in >> a >> b;
  EXPECT_EQ(a, -2);
  EXPECT_EQ(b, 0x01020304L);
}

TEST(StreamWrapper, ShortReadLeavesTheTargetUnchanged) {
  Reader r({1, 2, 3});
  QivIStreamWrapper in(r.s);
  long n = 42;
  in >> n;
  EXPECT_TRUE(in.error());
  EXPECT_EQ(n, 42);
}

struct TextCase {
  std::vector<uint8_t> bytes;
  std::size_t cap;
  std::string expect;
  bool error;
  std::size_t left;  // bytes left in the stream afterwards
};

class ReadText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReadText, IsBoundedAndConsumesTheWholeText) {
  const auto& c = GetParam();
  Reader r(c.bytes);
  QivIStreamWrapper in(r.s);
  std::vector<char> buf(c.cap + 1, '#');  // one guard byte past the capacity
  const std::size_t n = in.read_text(c.cap ? buf.data() : nullptr, c.cap);
  EXPECT_EQ(n, c.expect.size());
  if (c.cap) {
    EXPECT_EQ(std::string(buf.data()), c.expect);
  }
  EXPECT_EQ(buf[c.cap], '#');
  EXPECT_EQ(in.error(), c.error);
  EXPECT_EQ(in.remaining(), c.left);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadText,
    ::testing::Values(TextCase{{'a', 'b', 0, 9}, 3, "ab", false, 1},
                      TextCase{{'a', 'b', 'c', 0, 9}, 3, "ab", true, 1},  // excess discarded up to the NUL
                      TextCase{{'a', 'b'}, 8, "ab", true, 0},             // no terminator
                      TextCase{{0}, 1, "", false, 0},
                      TextCase{{'a', 0}, 0, "", true, 0},
                      TextCase{{}, 4, "", true, 0}));

class StorageFile : public ::testing::Test {
 protected:
  void SetUp() override {
    path = fs::temp_directory_path() / ("pelmo_stg_" + std::to_string(::getpid()) + ".pstg");
  }
  void TearDown() override { fs::remove(path); }
  std::vector<char> file_bytes() {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  }
  void write_bytes(const std::vector<char>& b) { std::ofstream(path, std::ios::binary | std::ios::trunc).write(b.data(), static_cast<std::streamsize>(b.size())); }
  fs::path path;
};

const StorageOwner kOwner{"MORVANE", "MORVANE", "SUBID:ROCOKER, BASIS_HL:MASS, BASIS_LE:MASS"};

TEST(StorageChecksum, IsTheCrc32OfZipAndPng) { EXPECT_EQ(filetest::referenceCrc32("123456789", 9), 0xCBF43926u); }

TEST_F(StorageFile, RoundTripKeepsNamesBytesAndOwner) {
  MemStorage a;
  a.set_stream_bytes("Block_Specific_XML", {1, 2, 3});
  a.set_stream_bytes("PELMO_BASE", {});
  a.set_stream_bytes("bad/name", {9});  // refused by the naming rules
  a.set_owner(kOwner);
  ASSERT_TRUE(storage_save_file(a, path));
  MemStorage b;
  const StorageFileResult r = storage_read_file(path, b);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(r.form, 2);
  EXPECT_EQ(b.owner(), kOwner);
  EXPECT_EQ(b.stream_names(), a.stream_names());
  EXPECT_EQ(b.stream_bytes("BLOCK_SPECIFIC_XML"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_TRUE(b.has_stream("pelmo_base"));
  EXPECT_FALSE(b.has_stream("bad/name"));
  EXPECT_FALSE(fs::exists(path.string() + ".tmp"));
  MemStorage c = b;  // a copy owns its bytes
  write_block_stream(&c, "changed");
  EXPECT_EQ(b.stream_bytes("BLOCK_SPECIFIC_XML"), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(c.owner(), kOwner);
}

TEST_F(StorageFile, EverySingleBitFlipIsRefused) {
  MemStorage a;
  write_block_stream(&a, kXml);
  a.set_stream_bytes("PELMO_BASE", {1, 0, 0, 0, 'B', '1', 0, 0});
  a.set_owner(kOwner);
  ASSERT_TRUE(storage_save_file(a, path));
  const auto good = file_bytes();
  MemStorage target;
  target.set_stream_bytes("KEEP", {7});
  int refused = 0, flips = 0;
  for (std::size_t at = 0; at < good.size(); ++at) {
    for (int bit = 0; bit < 8; ++bit, ++flips) {
      auto bad = good;
      bad[at] = static_cast<char>(bad[at] ^ (1 << bit));
      write_bytes(bad);
      if (!storage_read_file(path, target).ok()) ++refused;
    }
  }
  EXPECT_EQ(refused, flips);
  EXPECT_EQ(target.stream_names(), std::vector<std::string>{"KEEP"});
  write_bytes(good);
  const StorageFileResult r = storage_read_file(path, target);
  EXPECT_TRUE(r.ok());
}

struct DamageCase {
  const char* label;
  std::size_t at;  // offset of the patch in the file of one stream "ONE" and the owner "F", "M", ""
  std::vector<char> bytes;
  StorageFileStatus status;
};

TEST_F(StorageFile, EveryDamagedFileIsRefusedAndTheTargetKept) {
  MemStorage a;
  a.set_stream_bytes("ONE", {1, 2, 3, 4});
  a.set_owner({"F", "M", ""});
  ASSERT_TRUE(storage_save_file(a, path));
  const auto good = file_bytes();
  MemStorage target;
  target.set_stream_bytes("KEEP", {7});
  // Every truncation of the file must be refused.
  for (std::size_t len = 0; len < good.size(); ++len) {
    write_bytes(std::vector<char>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)));
    EXPECT_FALSE(storage_read_file(path, target).ok()) << len;
  }
  // Faults behind a correct checksum. Offsets: magic 0, the owner's three texts
  // from 5 (4 + 1, 4 + 1 and 4 bytes), stream count 19, name length 23, name
  // 27, data length 30.
  const DamageCase cases[] = {
      {"unknown magic", 0, {'X'}, StorageFileStatus::kNotStorage},
      {"owner text past the end", 5, {'\xff', 0, 0, 0}, StorageFileStatus::kDamaged},
      {"huge stream count", 19, {'\xff', '\xff', '\xff', '\x7f'}, StorageFileStatus::kDamaged},
      {"name length past the end", 23, {'\xff', '\xff', 0, 0}, StorageFileStatus::kDamaged},
      {"negative data length", 30, {'\xff', '\xff', '\xff', '\xff'}, StorageFileStatus::kDamaged},
      {"data length past the end", 30, {100, 0, 0, 0}, StorageFileStatus::kDamaged},
      {"name breaking the rules", 27, {'/', 'N', 'E'}, StorageFileStatus::kDamaged},
      {"one stream fewer than counted", 19, {0, 0, 0, 0}, StorageFileStatus::kDamaged},
  };
  for (const DamageCase& c : cases) {
    auto bad = good;
    std::copy(c.bytes.begin(), c.bytes.end(), bad.begin() + static_cast<std::ptrdiff_t>(c.at));
    if (c.status != StorageFileStatus::kNotStorage) filetest::resealStorageFile(bad);
    write_bytes(bad);
    EXPECT_EQ(storage_read_file(path, target).status, c.status) << c.label;
  }
  auto unsealed = good;
  unsealed[27] = 'T';
  write_bytes(unsealed);
  EXPECT_EQ(storage_read_file(path, target).status, StorageFileStatus::kChecksumMismatch);
  auto trailing = good;
  trailing.insert(trailing.end() - 4, 0);
  filetest::resealStorageFile(trailing);
  write_bytes(trailing);
  EXPECT_EQ(storage_read_file(path, target).status, StorageFileStatus::kDamaged);
  EXPECT_EQ(target.stream_names(), std::vector<std::string>{"KEEP"});
  EXPECT_EQ(storage_read_file(path.string() + ".missing", target).status, StorageFileStatus::kNotFound);
  for (const std::string& device : romtest::endlessDevices(path.parent_path()))
    EXPECT_EQ(storage_read_file(device, target).status, StorageFileStatus::kNotRegularFile) << device;
}

TEST_F(StorageFile, TheOlderFormIsStillReadWithoutAnOwner) {
  write_bytes(filetest::olderStorageForm({{"Block_Specific_XML", {1, 2, 3}}, {"PELMO_BASE", {}}}));
  MemStorage b;
  b.set_owner(kOwner);
  const StorageFileResult r = storage_read_file(path, b);
  ASSERT_TRUE(r.ok()) << r.reason;
  EXPECT_EQ(r.form, 1);
  EXPECT_EQ(b.owner(), StorageOwner{});
  EXPECT_EQ(b.stream_names(), (std::vector<std::string>{"Block_Specific_XML", "PELMO_BASE"}));
  EXPECT_EQ(b.stream_bytes("BLOCK_SPECIFIC_XML"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST_F(StorageFile, EveryDamagedFileOfTheOlderFormIsRefused) {
  const auto good = filetest::olderStorageForm({{"ONE", {1, 2, 3, 4}}, {"TWO", {5}}});
  MemStorage target;
  target.set_stream_bytes("KEEP", {7});
  for (std::size_t len = 0; len < good.size(); ++len) {
    write_bytes(std::vector<char>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(len)));
    EXPECT_FALSE(storage_load_file(path, target)) << len;
  }
  // Lengths that point past the end, a huge count, trailing bytes, a bad magic.
  const auto patched = [&](std::size_t at, std::vector<char> repl) {
    auto b = good;
    std::copy(repl.begin(), repl.end(), b.begin() + static_cast<std::ptrdiff_t>(at));
    return b;
  };
  const std::vector<std::vector<char>> bad = {
      patched(0, {'X'}),
      patched(5, {'\xff', '\xff', '\xff', '\x7f'}),
      patched(9, {'\xff', '\xff', 0, 0}),                      // first name length
      patched(9 + 4 + 3, {'\xff', '\xff', '\xff', '\xff'}),    // first data length (negative as int32)
      patched(9 + 4 + 3, {100, 0, 0, 0}),
      patched(9 + 4, {'t', 'w', 'o'}),                         // two streams under one name
      patched(9 + 4, {'/', 'N', 'E'}),
  };
  for (std::size_t i = 0; i < bad.size(); ++i) {
    write_bytes(bad[i]);
    EXPECT_FALSE(storage_load_file(path, target)) << i;
  }
  auto trailing = good;
  trailing.push_back(0);
  write_bytes(trailing);
  EXPECT_FALSE(storage_load_file(path, target));
  EXPECT_EQ(target.stream_names(), std::vector<std::string>{"KEEP"});
}

// No UTF-8 sequence begins with 0xF8 to 0xFF. Each lead is tried alone and
// with one to five continuation bytes, tails that a looser lead test would
// decode to a valid character (0xF8 0x90 0x80 0x80 as U+10000, 0xFC 0x80 0x80
// 0x80 as U+100000, 0xF8 0x80 as U+0600 if taken for a two-byte lead). A valid
// four-byte name passes every path, so that the refusals are the lead byte's.
TEST_F(StorageFile, ANameWithAnInvalidLeadByteIsRefusedOnEveryPath) {
  // Whether each path takes a stream of that name: set_stream_bytes, a file of
  // the older form, one of the current form (an empty owner and the checksum
  // added) read from bytes and read from the disk.
  const auto taken = [&](const std::string& name) {
    const std::vector<char> older = filetest::olderStorageForm({{name, {1}}});
    std::vector<char> current = older;
    current[4] = '2';
    current.insert(current.begin() + 5, 12, '\0');  // three empty owner texts
    current.resize(current.size() + 4);
    filetest::resealStorageFile(current);
    write_bytes(current);
    MemStorage set, a, b, c;
    set.set_stream_bytes(name, {1});
    return std::vector<bool>{set.has_stream(name), storage_from_bytes({older.data(), older.size()}, a).ok(),
                             storage_from_bytes({current.data(), current.size()}, b).ok(),
                             storage_read_file(path, c).ok()};
  };
  const std::vector<bool> all(4, true), none(4, false);
  ASSERT_EQ(taken("A\xF0\x90\x80\x80Z"), all);  // U+10000
  const std::string tails[] = {"", "\x80", "\x80\x80", "\x80\x80\x80", "\x90\x80\x80",
                               "\x80\x80\x80\x80", "\x80\x80\x80\x80\x80"};
  for (int lead = 0xF8; lead <= 0xFF; ++lead)
    for (const std::string& tail : tails)
      EXPECT_EQ(taken("A" + std::string(1, static_cast<char>(lead)) + tail), none)
          << "lead " << std::hex << lead << " and " << std::dec << tail.size() << " more bytes";
}

TEST_F(StorageFile, ConcurrentSavesToOnePathAllSucceed) {
  const int failed = filetest::failuresAcrossProcesses(8, [&](int writer) {
    MemStorage s;
    s.set_stream_bytes("WRITER", std::vector<uint8_t>(100, static_cast<uint8_t>(writer)));
    for (int i = 0; i < 20; ++i)
      if (!storage_write_file(s, path).ok()) return false;
    return true;
  });
  EXPECT_EQ(failed, 0);
  MemStorage b;
  EXPECT_TRUE(storage_read_file(path, b).ok());
  EXPECT_EQ(b.stream_bytes("WRITER").size(), 100u);
}

}  // namespace
