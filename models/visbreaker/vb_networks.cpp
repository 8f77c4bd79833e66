// The visbreaker's network runs. The "VB_NOSKR" networks take the model
// inputs as they are (robase's run). The networks of every other kind, that is
// "VB_SKR", were trained on the feed mass in lb/h: FEEDMASS (kg/h) enters
// multiplied by 2.20462, and the derivative the network reports for it, taken
// with respect to the pounds, is multiplied by the same factor to give the
// derivative with respect to FEEDMASS itself.
#include <cmath>

#include "core/helpers.h"
#include "core/network_runner.h"
#include "models/visbreaker/rovb.h"

namespace {

constexpr const char* kScaledInput = "FEEDMASS";

}  // namespace

int rovb::runNN(std::string output) const {
  if (m_modelKind == "VB_NOSKR") return robase::runNN(output);
  return runScaledFeedNN(output);
}

int rovb::runScaledFeedNN(const std::string& output) const {
  ROMVar* out = at_or_throw(m_nnOutputVars, output);
  if (!out) return 1;

  // Every model input by name (key order) with its current value.
  NetworkInputs in;
  if (gatherModelInputs(in) != 0) return 1;
  std::size_t i = 0;
  for (const auto& input : m_inputVars) {
    if (input.first == kScaledInput) in.values[i] *= vb::kPoundsPerKilogram;
    ++i;
  }

  try {
    RunnerPtr runner = configuredRunner(m_modelKind, output);
    in.give(*runner);
    if (const int status = openAndRun(*runner); status != 0) return status;
    const double prediction = runner->m_dResult;
    if (!std::isfinite(prediction)) return 1;

    TagDerivatives derivatives;
    if (!readTagDerivatives(*runner, derivatives)) return 1;
    for (std::size_t k = 0; k < derivatives.values.size(); ++k)
      if (derivatives.tags.text(k) == kScaledInput) derivatives.values[k] *= vb::kPoundsPerKilogram;
    // A refused run leaves prediction and derivatives as they were.
    if (!storeDerivatives(*out, derivatives)) return 1;
    out->value = prediction;
    return 0;
  } catch (...) {
    return 1;  // a runner call that throws (Open included) is a failed run
  }
}
