// robase: running the block's networks through the runner. One runner per
// run: configure, give every model input, open, run, read the prediction and
// its derivatives, close. The runner is closed and deleted on every path.
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "core/helpers.h"
#include "core/robase.h"
#include "platform/diveduded/DIVeduded.h"

namespace {

// Close, then delete: also after a failed Open or a runner call that threw.
struct RunnerCloser {
  void operator()(DIVeduded* runner) const noexcept {
    try {
      runner->Close();
    } catch (...) {
    }
    delete runner;
  }
};
using RunnerPtr = std::unique_ptr<DIVeduded, RunnerCloser>;

using NameBuffer = std::array<char, DIV_NAME_BUF>;

// Networks have at most a few hundred inputs; a larger count is a broken runner.
constexpr long kMaxTags = 100000;

// Zeroed name buffers and the pointer array the runner takes.
struct NameBuffers {
  explicit NameBuffers(std::size_t n) : buffers(n, NameBuffer{}), pointers(n) {
    for (std::size_t i = 0; i < n; ++i) pointers[i] = buffers[i].data();
  }
  // The text of buffer i, never read past the buffer.
  std::string text(std::size_t i) const {
    const char* b = buffers[i].data();
    return std::string(b, strnlen(b, DIV_NAME_BUF));
  }
  std::vector<NameBuffer> buffers;
  std::vector<char*> pointers;
};

// Creates a runner configured for one output of the block's model kind: file
// "<kind>_<output>.zkr" in folder "<ZKDir>\<kind>".
RunnerPtr configuredRunner(const std::string& kind, const std::string& output) {
  RunnerPtr runner(new DIVeduded());
  runner->SetDepVar(output.c_str());
  runner->SetZKRFile(networkFileName(kind, output).c_str());
  runner->SetZKRFolder(networkFolderName(kind).c_str());
  return runner;
}

}  // namespace

int robase::runAllNN() const {
  for (const auto& entry : m_nnOutputVars) {
    const int status = runNN(entry.first);
    if (status != 0) return status;  // the later outputs keep their predictions
  }
  return 0;
}

int robase::runNN(std::string output) const {
  ROMVar* out = at_or_throw(m_nnOutputVars, output);
  if (!out) return 1;

  // Every model input, by name, with its current framework value.
  const OneBased<double> x = valueView();
  if (!x.valid()) return 1;
  const std::size_t n = m_inputVars.size();
  NameBuffers names(n);
  std::vector<double> values(n);
  std::size_t i = 0;
  for (const auto& entry : m_inputVars) {
    // Names travel in 100-byte buffers; a longer one is never sent.
    if (entry.first.size() >= DIV_NAME_BUF || !entry.second) return 1;
    const int num = varNumber(*entry.second);
    if (!x.contains(num)) return 1;
    std::memcpy(names.buffers[i].data(), entry.first.c_str(), entry.first.size() + 1);
    values[i] = x[num];
    ++i;
  }

  try {
    RunnerPtr runner = configuredRunner(m_modelKind, output);
    runner->SetInputs(names.pointers.data(), values.data(), static_cast<int>(n));
    if (const int status = runner->Open(); status != 0) return status;
    if (const int status = runner->Run(); status != 0) return status;
    const double prediction = runner->m_dResult;
    if (!std::isfinite(prediction)) return 1;
    out->value = prediction;

    long count = 0;
    runner->GetIndependentTagCount(count);
    if (count < 0 || count > kMaxTags) return 1;
    const auto tagCount = static_cast<std::size_t>(count);
    NameBuffers tags(tagCount);
    std::vector<double> derivs(tagCount, 0.0);
    if (tagCount > 0 && runner->GetDerivatives(tags.pointers.data(), derivs.data()) != 0) return 1;

    // Every tag must be a model input; check all before changing any entry,
    // so a refused run leaves the derivatives as they were.
    std::vector<double*> slots(tagCount);
    for (std::size_t k = 0; k < tagCount; ++k) {
      const auto it = out->derivs.find(tags.text(k));
      if (it == out->derivs.end() || !std::isfinite(derivs[k])) return 1;
      slots[k] = &it->second;
    }
    for (std::size_t k = 0; k < tagCount; ++k) *slots[k] = derivs[k];
    return 0;
  } catch (...) {
    return 1;  // a runner call that throws is a failed run
  }
}

std::set<std::string> robase::getNNIndepVars(std::string output) const {
  std::set<std::string> names;
  try {
    RunnerPtr runner = configuredRunner(m_modelKind, output);
    if (runner->Open() != 0) return names;
    long count = 0;
    runner->GetIndependentTagCount(count);
    if (count <= 0 || count > kMaxTags) return names;
    NameBuffers tags(static_cast<std::size_t>(count));
    runner->GetIndepVars(tags.pointers.data(), static_cast<int>(count));
    for (std::size_t k = 0; k < tags.buffers.size(); ++k) names.insert(tags.text(k));
  } catch (...) {
    names.clear();  // a file that cannot be read gives no independent variables
  }
  return names;
}

void robase::setupIndepMap() {
  for (const auto& entry : m_nnOutputVars) m_indepVars[entry.first] = getNNIndepVars(entry.first);
}
