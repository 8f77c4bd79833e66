// Stored blocks (--load, --save): the storage file records which block saved
// it (factory, model type, options text), and a file is loaded only into a
// block of the same type. Every failure is a message naming the file.
#pragma once

#include <string>
#include <vector>

#include "host/host_status.h"
#include "platform/qivblock.h"
#include "platform/storage.h"

namespace romhost {

// The record of a block made by factory from options: the block's model type
// (inq_model_type) and its options text, which is the block's own description
// (inq_attr) when it gives one, else the options handed to the factory,
// upper-cased and joined by ", ". Never throws.
StorageOwner ownerOf(QivEOBlockImpl& block, const std::string& factory, const std::vector<std::string>& options);

// "a MORVANE block of model type MORVANE with options \"SUBID:ROCOKER, ...\"".
std::string describeOwner(const StorageOwner& owner);

// The same factory, model type and options, the bases apart: a stored block
// brings its bases along, so loading it sets them whatever they were.
bool sameBlockType(const StorageOwner& saved, const StorageOwner& loading);

struct StoredBlock {
  MemStorage storage;
  bool recordsOwner = false;  // false for a file of the older form
};

// Reads the file for --load; a file of the older form, which records neither
// its block nor a checksum, is read with a warning.
StepResult readStoredBlock(const std::string& path, StoredBlock& out, std::vector<std::string>& warnings);

// Refuses a stored block saved by a block of another type than loading. A file
// of the older form records no owner and passes.
StepResult checkStoredBlock(const std::string& path, const StoredBlock& stored, const StorageOwner& loading);

// Records owner in storage and writes the file.
StepResult writeStoredBlock(const std::string& path, MemStorage& storage, const StorageOwner& owner);

}  // namespace romhost
