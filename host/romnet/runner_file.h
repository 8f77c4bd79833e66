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

// Prints the runner's last failure, of an Open or a Run, as
// "romnet: MESSAGE (status N, NAME)", the file named once: the runner's
// message names the path, or the path comes first. Texts from the input are
// shown with their control bytes escaped.
void reportFailure(const OpenedFile& f, int status);

}  // namespace romnet
