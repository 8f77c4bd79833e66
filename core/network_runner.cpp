#include "core/network_runner.h"

#include <cstring>

#include "core/helpers.h"

void RunnerCloser::operator()(DIVeduded* runner) const noexcept {
  try {
    runner->Close();
  } catch (...) {
  }
  delete runner;
}

void configureRunner(DIVeduded& runner, const std::string& kind, const std::string& output) {
  runner.SetDepVar(output.c_str());
  runner.SetZKRFile(networkFileName(kind, output).c_str());
  runner.SetZKRFolder(networkFolderName(kind).c_str());
}

void configureRunnerWith(DIVeduded& runner, const std::string& output, const std::string& file,
                         const std::string& folder) {
  runner.SetDepVar(output.c_str());
  runner.SetZKRFile(file.c_str());
  runner.SetZKRFolder(folder.c_str());
}

RunnerPtr configuredRunner(const std::string& kind, const std::string& output) {
  RunnerPtr runner(new DIVeduded());
  configureRunner(*runner, kind, output);
  return runner;
}

NameBuffers::NameBuffers(std::size_t n) : buffers(n, std::array<char, DIV_NAME_BUF>{}), pointers(n) {
  for (std::size_t i = 0; i < n; ++i) pointers[i] = buffers[i].data();
}

std::string NameBuffers::text(std::size_t i) const {
  const char* b = buffers[i].data();
  return std::string(b, strnlen(b, DIV_NAME_BUF));
}

int openAndRun(DIVeduded& runner) {
  if (const int status = runner.Open(); status != 0) return status;
  return runner.Run();
}

bool readTagDerivatives(DIVeduded& runner, TagDerivatives& out) {
  long count = 0;
  runner.GetIndependentTagCount(count);
  if (count < 0 || count > kMaxNetworkTags) return false;
  const auto n = static_cast<std::size_t>(count);
  // The buffers of an earlier read are reused when the count is the same.
  // Each is emptied first (its first byte), so a buffer the runner leaves
  // unwritten reads as no name rather than the tag of the last run; every
  // read of a buffer stops at its end, so what lies after the runner's
  // terminator is never read.
  if (out.tags.size() == n) {
    for (auto& buffer : out.tags.buffers) buffer[0] = '\0';
  } else {
    out.tags = NameBuffers(n);
  }
  out.values.assign(n, 0.0);
  return n == 0 || runner.GetDerivatives(out.tags.pointers.data(), out.values.data()) == 0;
}
