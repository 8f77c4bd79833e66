#include "host/romnet/runner_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/diveduded/parser.h"

namespace romnet {

int openFile(const std::string& file, OpenedFile& out) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path path = fs::absolute(fs::path(file), ec);
  if (ec) path = fs::path(file);
  path = path.lexically_normal();
  out.path = path.string();

  // The output name comes from the file itself; when the file cannot be read
  // or parsed, Open reports why with its own status.
  std::ifstream in(path, std::ios::binary);
  if (in) {
    std::stringstream text;
    text << in.rdbuf();
    diveduded::ParseError err;
    if (!diveduded::parseNetwork(text.str(), out.net, err)) out.net = diveduded::Network{};
  }

  out.runner = std::make_unique<DIVeduded>();
  out.runner->SetDepVar(out.net.output.c_str());
  out.runner->SetZKRFile(path.filename().string().c_str());
  out.runner->SetZKRFolder(path.parent_path().string().c_str());
  const int status = out.runner->Open();
  if (status != 0) {
    const std::string& msg = out.runner->lastMessage();
    std::fprintf(stderr, "romnet: %s: %s (status %d, %s)\n", out.path.c_str(),
                 msg.empty() ? "does not open" : msg.c_str(), status, DIVedudedStatusName(status));
  }
  return status;
}

}  // namespace romnet
