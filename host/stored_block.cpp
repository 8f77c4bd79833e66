#include "host/stored_block.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "host/hook_call.h"

namespace romhost {

namespace {

std::string upper(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return s;
}

// The entries of an options text that decide the block type: all but the
// bases, in a fixed order (the options of a factory list may come in any).
std::vector<std::string> typeEntries(const std::string& options) {
  std::vector<std::string> entries;
  std::size_t from = 0;
  while (from <= options.size()) {
    std::size_t to = options.find(", ", from);
    if (to == std::string::npos) to = options.size();
    const std::string entry = upper(options.substr(from, to - from));
    if (!entry.empty() && entry.substr(0, entry.find(':')).find("BASIS") == std::string::npos)
      entries.push_back(entry);
    from = to + 2;
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace

StorageOwner ownerOf(QivEOBlockImpl& block, const std::string& factory, const std::vector<std::string>& options) {
  StorageOwner owner;
  owner.factory = factory;
  std::string ignored;
  char type[QIV_BLK_MODEL_TYPE_LEN + 1] = {};  // one spare byte keeps a full buffer terminated
  if (callGuarded([&] { block.inq_model_type(type); }, ignored)) owner.model_type.assign(type, strnlen(type, sizeof type - 1));
  qiv_blk_t desc;
  if (callGuarded([&] { block.inq_attr(desc); }, ignored))
    owner.options.assign(desc.options, strnlen(desc.options, sizeof desc.options));
  if (owner.options.empty()) {
    for (const std::string& o : options) owner.options += (owner.options.empty() ? "" : ", ") + upper(o);
  }
  return owner;
}

std::string describeOwner(const StorageOwner& owner) {
  // The texts come from the file: shown printable, whatever bytes it holds.
  return "a " + (owner.factory.empty() ? std::string("unnamed") : printable(owner.factory)) + " block of model type " +
         (owner.model_type.empty() ? std::string("(none)") : printable(owner.model_type)) + " with options \"" +
         printable(owner.options) + "\"";
}

bool sameBlockType(const StorageOwner& saved, const StorageOwner& loading) {
  return saved.factory == loading.factory && saved.model_type == loading.model_type &&
         typeEntries(saved.options) == typeEntries(loading.options);
}

StepResult readStoredBlock(const std::string& path, StoredBlock& out, std::vector<std::string>& warnings) {
  const StorageFileResult r = storage_read_file(path, out.storage);
  if (!r.ok())
    return StepResult::failure(HostStatus::kInputError,
                               "Cannot read the stored block " + printable(path) + ": " + r.reason);
  out.recordsOwner = r.form >= 2;
  if (!out.recordsOwner)
    warnings.push_back("The stored block " + printable(path) +
                       " is of the older form, which records neither the block that saved it nor a checksum; it is "
                       "loaded unchecked");
  return StepResult::success();
}

StepResult checkStoredBlock(const std::string& path, const StoredBlock& stored, const StorageOwner& loading) {
  if (!stored.recordsOwner || sameBlockType(stored.storage.owner(), loading)) return StepResult::success();
  return StepResult::failure(HostStatus::kInputError, "The stored block " + printable(path) + " was saved by " +
                                                          describeOwner(stored.storage.owner()) +
                                                          " and cannot be loaded into " + describeOwner(loading));
}

StepResult writeStoredBlock(const std::string& path, MemStorage& storage, const StorageOwner& owner) {
  storage.set_owner(owner);
  const StorageFileResult r = storage_write_file(storage, path);
  if (!r.ok())
    return StepResult::failure(HostStatus::kInputError,
                               "Cannot write the stored block to " + printable(path) + ": " + r.reason);
  return StepResult::success();
}

}  // namespace romhost
