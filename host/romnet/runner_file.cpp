#include "host/romnet/runner_file.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "platform/diveduded/cache.h"
#include "platform/diveduded/parser.h"
#include "platform/file_io.h"
#include "platform/text.h"

namespace romnet {

int openFile(const std::string& file, OpenedFile& out) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path path = fs::absolute(fs::path(file), ec);
  if (ec) path = fs::path(file);
  path = path.lexically_normal();
  out.path = path.string();

  // The output name comes from the file itself; when the file cannot be read
  // or parsed, Open reports why with its own status. The file is read as the
  // runner reads it: a regular file within the runner's limit, opened without
  // blocking, so a FIFO or a device never stalls the tool.
  std::string text;
  if (pelmo_file::readRegularFile(out.path, static_cast<std::uint64_t>(diveduded::kMaxFileBytes), text).ok()) {
    diveduded::ParseError err;
    if (!diveduded::parseNetwork(text, out.net, err)) out.net = diveduded::Network{};
  }

  out.runner = std::make_unique<DIVeduded>();
  out.runner->SetDepVar(out.net.output.c_str());
  out.runner->SetZKRFile(path.filename().string().c_str());
  out.runner->SetZKRFolder(path.parent_path().string().c_str());
  const int status = out.runner->Open();
  if (status != 0) reportFailure(out, status);
  return status;
}

void reportFailure(const OpenedFile& f, int status) {
  const std::string& msg = f.runner->lastMessage();
  std::string text;
  if (msg.empty())
    text = f.path + ": failed";
  else if (msg.find(f.path) != std::string::npos)
    text = msg;
  else
    text = f.path + ": " + msg;
  std::fprintf(stderr, "romnet: %s (status %d, %s)\n", pelmo_text::printable(text).c_str(), status,
               DIVedudedStatusName(status));
}

}  // namespace romnet
