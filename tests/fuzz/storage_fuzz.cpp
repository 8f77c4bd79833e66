// Fuzz target: any bytes as a stored block, through load and then save.
// The first byte chooses what the rest is:
//   bit 0 clear: a whole storage file. It is read as it is (the checksum
//                refuses almost every change), then once more with its
//                checksum put right, so that the fuzzer reaches the form behind it;
//   bit 0 set:   the bytes of one stream, "BLOCK_SPECIFIC_XML" (bit 1 clear)
//                or the framework's "PELMO_BASE" (bit 1 set), in a storage of
//                its own;
//   bit 2:       the block that loads it: a reactor block (clear) or a tuning
//                model, whose load is the framework's own.
// A storage that reads must load without a crash; whatever the block then
// saves must read back, and loading and saving that again gives the same file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/qivblock.h"
#include "platform/rtdev.h"
#include "platform/storage.h"
#include "plugin/factories.h"
#include "tests/fuzz/library_fuzz.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

QivEOBlockImpl* makeBlock(QivBlkFactory& factory, const std::vector<std::string>& options) {
  const romfuzz::OptionList list(options);
  QivEOBlock* block = factory.create("S1", list.value);
  auto* impl = dynamic_cast<QivEOBlockImpl*>(block);
  require(impl != nullptr);
  return impl;
}

// Made once: a first-generation coker and a tuning model, loaded again and
// again (a load changes only their bases and description).
QivEOBlockImpl& block(bool tuning) {
  static QivEOBlockImpl* const coker = [] {
    rofactory f;
    return makeBlock(f, {"SUBID:ROCOKER"});
  }();
  static QivEOBlockImpl* const model = [] {
    rotuningmodelfactory f;
    return makeBlock(f, {"RX:COKER", "DEPVAR:C3FRAC", "NDATA:2"});
  }();
  return tuning ? *model : *coker;
}

uint32_t crc32(std::string_view bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (const char b : bytes) {
    c ^= static_cast<unsigned char>(b);
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
  }
  return ~c;
}

// The file with the checksum of everything before its last four bytes.
std::string resealed(std::string file) {
  if (file.size() < 4) return file;
  const uint32_t c = crc32(std::string_view(file).substr(0, file.size() - 4));
  for (int i = 0; i < 4; ++i) file[file.size() - 4 + static_cast<std::size_t>(i)] = static_cast<char>(c >> (8 * i));
  return file;
}

// Loads into the block, saves, and checks that the saved file reads back and
// is a fixed point of load-then-save.
void loadAndSave(QivEOBlockImpl& b, MemStorage& stored) {
  b.load(&stored);
  MemStorage saved;
  require(b.save(&saved) == 0);
  saved.set_owner({"F", "M", "O"});
  std::string first;
  require(storage_to_bytes(saved, first).ok());
  MemStorage back;
  require(storage_from_bytes(first, back).ok());
  require(back.owner() == saved.owner() && back.stream_names() == saved.stream_names());
  require(b.load(&back) == 0);
  MemStorage again;
  require(b.save(&again) == 0);
  again.set_owner(saved.owner());
  std::string second;
  require(storage_to_bytes(again, second).ok());
  require(second == first);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  romfuzz::useSampleNetworks();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned mode = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  QivEOBlockImpl& b = block((mode & 4) != 0);

  if (mode & 1) {
    MemStorage stored;
    stored.set_stream_bytes((mode & 2) ? "PELMO_BASE" : "BLOCK_SPECIFIC_XML",
                            std::vector<uint8_t>(rest.begin(), rest.end()));
    loadAndSave(b, stored);
  } else {
    for (const std::string& file : {std::string(rest), resealed(std::string(rest))}) {
      MemStorage stored;
      stored.set_stream_bytes("KEEP", {1});
      const StorageFileResult r = storage_from_bytes(file, stored);
      require(r.ok() == r.reason.empty());
      if (!r.ok()) {
        require(stored.stream_names() == std::vector<std::string>{"KEEP"});  // a refused file changes nothing
        continue;
      }
      // What was read writes (in the current form, streams by name) to a file
      // that reads back to the same storage.
      std::string written, again;
      require(storage_to_bytes(stored, written).ok());
      MemStorage reread;
      require(storage_from_bytes(written, reread).ok() && reread.owner() == stored.owner());
      require(reread.stream_names() == stored.stream_names());
      require(storage_to_bytes(reread, again).ok() && again == written);
      loadAndSave(b, stored);
    }
  }
  rtdev_clear(rtHisDev);
  return 0;
}
