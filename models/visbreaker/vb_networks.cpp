// The visbreaker's network runs. The "VB_NOSKR" networks take the model
// inputs as they are (robase's run). The networks of every other kind, that is
// "VB_SKR", were trained on the feed mass in lb/h: FEEDMASS (kg/h) enters
// multiplied by 2.20462, and the derivative the network reports for it, taken
// with respect to the pounds, is multiplied by the same factor to give the
// derivative with respect to FEEDMASS itself.
#include <array>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "core/helpers.h"
#include "models/visbreaker/rovb.h"
#include "platform/diveduded/DIVeduded.h"

namespace {

constexpr const char* kScaledInput = "FEEDMASS";

// Networks have at most a few hundred inputs; a larger count is a broken runner.
constexpr long kMaxTags = 100000;

// Close, then delete: on every path, also after a failed Open or a runner
// call that threw.
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

// Zeroed 100-byte name buffers and the pointer array the runner takes.
struct NameBuffers {
  explicit NameBuffers(std::size_t n) : buffers(n, NameBuffer{}), pointers(n) {
    for (std::size_t i = 0; i < n; ++i) pointers[i] = buffers[i].data();
  }
  std::string text(std::size_t i) const {
    const char* b = buffers[i].data();
    return std::string(b, strnlen(b, DIV_NAME_BUF));
  }
  std::vector<NameBuffer> buffers;
  std::vector<char*> pointers;
};

}  // namespace

int rovb::runNN(std::string output) const {
  if (m_modelKind == "VB_NOSKR") return robase::runNN(output);
  return runScaledFeedNN(output);
}

int rovb::runScaledFeedNN(const std::string& output) const {
  ROMVar* out = at_or_throw(m_nnOutputVars, output);
  if (!out) return 1;

  // Every model input by name (key order) with its current value.
  const OneBased<double> x = valueView();
  if (!x.valid()) return 1;
  const std::size_t n = m_inputVars.size();
  NameBuffers names(n);
  std::vector<double> values(n);
  std::size_t i = 0;
  for (const auto& input : m_inputVars) {
    // Names travel in 100-byte buffers; a longer one is never sent.
    if (!input.second || !copyBounded(names.buffers[i].data(), DIV_NAME_BUF, input.first)) return 1;
    const int num = varNumber(*input.second);
    if (!x.contains(num)) return 1;
    values[i] = input.first == kScaledInput ? x[num] * vb::kPoundsPerKilogram : x[num];
    ++i;
  }

  try {
    RunnerPtr runner(new DIVeduded());
    runner->SetDepVar(output.c_str());
    runner->SetZKRFile(networkFileName(m_modelKind, output).c_str());
    runner->SetZKRFolder(networkFolderName(m_modelKind).c_str());
    runner->SetInputs(names.pointers.data(), values.data(), static_cast<int>(n));
    if (const int status = runner->Open(); status != 0) return status;
    if (const int status = runner->Run(); status != 0) return status;
    const double prediction = runner->m_dResult;
    if (!std::isfinite(prediction)) return 1;

    long count = 0;
    runner->GetIndependentTagCount(count);
    if (count < 0 || count > kMaxTags) return 1;
    const auto tagCount = static_cast<std::size_t>(count);
    NameBuffers tags(tagCount);
    std::vector<double> derivs(tagCount, 0.0);
    if (tagCount > 0 && runner->GetDerivatives(tags.pointers.data(), derivs.data()) != 0) return 1;

    // Every tag must be a model input: all are checked before anything
    // changes, so a refused run leaves prediction and derivatives as they were.
    std::vector<double*> slots(tagCount);
    for (std::size_t k = 0; k < tagCount; ++k) {
      const std::string tag = tags.text(k);
      const auto it = out->derivs.find(tag);
      if (it == out->derivs.end()) return 1;
      if (tag == kScaledInput) derivs[k] *= vb::kPoundsPerKilogram;
      if (!std::isfinite(derivs[k])) return 1;
      slots[k] = &it->second;
    }
    out->value = prediction;
    for (std::size_t k = 0; k < tagCount; ++k) *slots[k] = derivs[k];
    return 0;
  } catch (...) {
    return 1;  // a runner call that throws (Open included) is a failed run
  }
}
