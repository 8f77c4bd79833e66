// robase: running the block's networks through the runner. One runner per
// run: configure, give every model input, open, run, read the prediction and
// its derivatives, close. The runner is closed and deleted on every path.
#include <cmath>
#include <vector>

#include "core/helpers.h"
#include "core/network_runner.h"
#include "core/robase.h"

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
  NetworkInputs in;
  if (gatherModelInputs(in) != 0) return 1;

  try {
    RunnerPtr runner = configuredRunner(m_modelKind, output);
    in.give(*runner);
    if (const int status = openAndRun(*runner); status != 0) return status;
    const double prediction = runner->m_dResult;
    if (!std::isfinite(prediction)) return 1;
    out->value = prediction;

    TagDerivatives derivatives;
    if (!readTagDerivatives(*runner, derivatives)) return 1;
    return storeDerivatives(*out, derivatives) ? 0 : 1;
  } catch (...) {
    return 1;  // a runner call that throws is a failed run
  }
}

int robase::gatherModelInputs(NetworkInputs& in) const {
  const OneBased<double> x = valueView();
  if (!x.valid()) return 1;
  in = NetworkInputs(m_inputVars.size());
  std::size_t i = 0;
  for (const auto& [name, var] : m_inputVars) {
    // Names travel in 100-byte buffers; a longer one is never sent.
    if (!var || !copyBounded(in.names.buffers[i].data(), DIV_NAME_BUF, name)) return 1;
    const int num = varNumber(*var);
    if (!x.contains(num)) return 1;
    in.values[i] = x[num];
    ++i;
  }
  return 0;
}

bool robase::storeDerivatives(ROMVar& output, const TagDerivatives& derivatives) {
  const std::size_t n = derivatives.values.size();
  std::vector<double*> slots(n);
  for (std::size_t k = 0; k < n; ++k) {
    const auto it = output.derivs.find(derivatives.tags.text(k));
    if (it == output.derivs.end() || !std::isfinite(derivatives.values[k])) return false;
    slots[k] = &it->second;
  }
  for (std::size_t k = 0; k < n; ++k) *slots[k] = derivatives.values[k];
  return true;
}

std::set<std::string> robase::getNNIndepVars(std::string output) const {
  std::set<std::string> names;
  try {
    RunnerPtr runner = configuredRunner(m_modelKind, output);
    if (runner->Open() != 0) return names;
    long count = 0;
    runner->GetIndependentTagCount(count);
    if (count <= 0 || count > kMaxNetworkTags) return names;
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
  // The sets of existing entries were replaced in place: what the adjustment
  // rows derived from them is stale.
  m_indepVars.touch();
}
