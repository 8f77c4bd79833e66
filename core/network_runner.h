// The pieces every network run is made of: a runner configured for one
// network and closed and deleted on every path, the 100-byte name buffers the
// runner exchanges names in, and the derivatives of a run by tag.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/diveduded/DIVeduded.h"

// Networks have at most a few hundred inputs; a larger count is a broken runner.
inline constexpr long kMaxNetworkTags = 100000;

// Close, then delete: on every path, also after a failed Open or a runner call
// that threw (Close on a runner that never opened is harmless).
struct RunnerCloser {
  void operator()(DIVeduded* runner) const noexcept;
};
using RunnerPtr = std::unique_ptr<DIVeduded, RunnerCloser>;

// Sets the runner up for one network of a model kind: output, file
// "<kind>_<output>.zkr", folder "<ZKDir>\<kind>".
void configureRunner(DIVeduded& runner, const std::string& kind, const std::string& output);
// The same with the file and folder names already made (networkFileName,
// networkFolderName), so the registry is read once.
void configureRunnerWith(DIVeduded& runner, const std::string& output, const std::string& file,
                         const std::string& folder);
// A new runner so configured.
RunnerPtr configuredRunner(const std::string& kind, const std::string& output);

// Zeroed 100-byte name buffers and the pointer array the runner takes.
struct NameBuffers {
  explicit NameBuffers(std::size_t n = 0);
  // A copy would point into the buffers of the original; a move keeps them.
  NameBuffers(const NameBuffers&) = delete;
  NameBuffers& operator=(const NameBuffers&) = delete;
  NameBuffers(NameBuffers&&) = default;
  NameBuffers& operator=(NameBuffers&&) = default;

  std::size_t size() const { return buffers.size(); }
  // The text of buffer i, never read past the buffer.
  std::string text(std::size_t i) const;

  std::vector<std::array<char, DIV_NAME_BUF>> buffers;
  std::vector<char*> pointers;
};

// What a run gives the runner: names (in their buffers) and values.
struct NetworkInputs {
  explicit NetworkInputs(std::size_t n = 0) : names(n), values(n) {}
  void give(DIVeduded& runner) {
    runner.SetInputs(names.pointers.data(), values.data(), static_cast<int>(values.size()));
  }

  NameBuffers names;
  std::vector<double> values;
};

// Open, then run: 0, or the status of the first step that failed.
int openAndRun(DIVeduded& runner);

// The derivatives of the runner's last run, one per tag in the runner's order.
struct TagDerivatives {
  NameBuffers tags;
  std::vector<double> values;
};
// False when the runner reports a tag count out of range or cannot give the
// derivatives. The values are not checked. The buffers of out are reused
// (emptied) when they have the count already.
bool readTagDerivatives(DIVeduded& runner, TagDerivatives& out);
