// Opens a network file named by a plain path through the runner, as a block
// would: folder and file name apart, the output name taken from the file.
#pragma once

#include <memory>
#include <string>

#include "platform/diveduded/DIVeduded.h"
#include "platform/diveduded/network.h"

namespace romnet {

struct OpenedFile {
  std::unique_ptr<DIVeduded> runner;
  diveduded::Network net;  // the parsed file (valid once open)
  std::string path;        // absolute, normalised
};

// Returns the runner's status; on failure prints a message naming the file.
int openFile(const std::string& file, OpenedFile& out);

}  // namespace romnet
