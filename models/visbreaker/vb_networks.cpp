// The visbreaker's network runs. The "VB_NOSKR" networks take the model
// inputs as they are (robase's run). The networks of every other kind, that is
// "VB_SKR", were trained on the feed mass in lb/h: FEEDMASS (kg/h) enters
// multiplied by 2.20462, and the derivative the network reports for it, taken
// with respect to the pounds, is multiplied by the same factor to give the
// derivative with respect to FEEDMASS itself.
#include <cmath>
#include <cstring>
#include <vector>

#include "core/robase_networks.h"
#include "models/visbreaker/rovb.h"

namespace {

constexpr const char* kScaledInput = "FEEDMASS";

}  // namespace

int rovb::runNN(std::string output) const {
  if (m_modelKind == "VB_NOSKR") return robase::runNN(output);
  return runScaledFeedNN(output);
}

int rovb::runScaledFeedNN(const std::string& output) const {
  NetworkOutput& net = networkOutput(output);
  ROMVar* out = net.entry->second;
  if (!out) return 1;

  // Every model input by name (key order) with its current value.
  NetworkInputs* in = modelInputs();
  if (!in) return 1;
  NetworkCache& cache = networkCache();
  std::vector<double>& values = cache.changedValues;
  values.assign(in->values.begin(), in->values.end());
  if (const std::size_t at = cache.placeOf(kScaledInput); at < values.size()) values[at] *= vb::kPoundsPerKilogram;

  try {
    RunnerPtr runner = net.file.newRunner(networkFolder());
    runner->SetInputs(in->names.pointers.data(), values.data(), static_cast<int>(values.size()));
    if (const int status = openAndRun(*runner); status != 0) return status;
    const double prediction = runner->m_dResult;
    if (!std::isfinite(prediction)) return 1;

    TagDerivatives& derivatives = net.derivatives;
    if (!readTagDerivatives(*runner, derivatives)) return 1;
    for (std::size_t k = 0; k < derivatives.values.size(); ++k)
      if (std::strncmp(derivatives.tags.buffers[k].data(), kScaledInput, DIV_NAME_BUF) == 0)
        derivatives.values[k] *= vb::kPoundsPerKilogram;
    // A refused run leaves prediction and derivatives as they were.
    if (!net.slots.store(*out, derivatives)) return 1;
    out->value = prediction;
    return 0;
  } catch (...) {
    return 1;  // a runner call that throws (Open included) is a failed run
  }
}
