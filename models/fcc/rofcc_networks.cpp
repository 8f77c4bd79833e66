// rofcc: the paired networks of the naphtha cuts and the overcrack attributes.
//
// The yields of C5S, LCN, MCN and HCN come from two networks: a total network
// T and a difference network D that reacts to overcracking. D sees the reactor
// plenum temperature times the cut's PARAM attribute, and the prediction is
//   y = T(x) - RATE * D(x with REACTORPLENUMTEMP * PARAM)
// with the derivatives dy/dx = dT/dx - RATE * dD/dx, and for the plenum
// temperature dT/dx - RATE * PARAM * dD/dx. Every other output runs through
// the single-network runner of robase.
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "core/helpers.h"
#include "core/network_runner.h"
#include "models/fcc/rofcc.h"

namespace {

constexpr std::array<FccPairedOutput, 4> kPaired = {{
    {"C5SFRAC", "C5SFRACTOTAL", "C5SFRACDIFF", "C5S_OVERCRACK_PARAM", "C5S_OVERCRACK_RATE"},
    {"LCNFRAC", "LCNFRACTOTAL", "LCNFRACDIFF", "LCN_OVERCRACK_PARAM", "LCN_OVERCRACK_RATE"},
    {"MCNFRAC", "MCNFRACTOTAL", "MCNFRACDIFF", "MCN_OVERCRACK_PARAM", "MCN_OVERCRACK_RATE"},
    {"HCNFRAC", "HCNFRACTOTAL", "HCNFRACDIFF", "HCN_OVERCRACK_PARAM", "HCN_OVERCRACK_RATE"},
}};

// The input the PARAM attribute scales for the difference network.
constexpr const char* kScaledInput = "REACTORPLENUMTEMP";

// Attribute code of the overcrack attributes (the framework's meaning).
constexpr int kOvercrackCode = 3;
constexpr double kOvercrackDefault = 1.0;

// The derivatives of the last run by tag; false when the runner fails or
// reports a broken tag count or a value that is not finite.
bool readDerivatives(DIVeduded& runner, std::map<std::string, double>& byTag) {
  TagDerivatives derivatives;
  if (!readTagDerivatives(runner, derivatives)) return false;
  for (std::size_t k = 0; k < derivatives.values.size(); ++k) {
    if (!std::isfinite(derivatives.values[k])) return false;
    byTag[derivatives.tags.text(k)] = derivatives.values[k];
  }
  return true;
}

}  // namespace

const std::array<FccPairedOutput, 4>& fccPairedOutputs() { return kPaired; }

const FccPairedOutput* fccPairedOutput(const std::string& output) {
  for (const FccPairedOutput& p : kPaired)
    if (output == p.output) return &p;
  return nullptr;
}

int rofcc::runNN(std::string output) const {
  if (const FccPairedOutput* pair = fccPairedOutput(output)) return runNNDiff(output, pair->total, pair->diff);
  return robase::runNN(output);
}

int rofcc::runNNDiff(std::string output, std::string totalOutput, std::string diffOutput) const {
  // Names first: a missing output record, attribute or derivative entry throws
  // "invalid map<K, T> key" before any runner exists or anything changes.
  ROMVar* out = at_or_throw(m_nnOutputVars, output);
  if (!out) throw std::out_of_range(kInvalidMapKey);
  const std::string cut = output.substr(0, 3);
  const double param = at_or_throw(m_attributes, cut + "_OVERCRACK_PARAM")->value;
  const double rate = at_or_throw(m_attributes, cut + "_OVERCRACK_RATE")->value;
  std::vector<double*> slots;
  slots.reserve(m_inputVars.size());
  for (const auto& input : m_inputVars) slots.push_back(&at_or_throw(out->derivs, input.first));

  // Every model input by name with its current value; the difference network
  // sees the plenum temperature scaled by PARAM.
  NetworkInputs in;
  if (gatherModelInputs(in) != 0) return 1;
  const std::size_t n = in.values.size();
  std::vector<double> diffValues = in.values;
  std::size_t i = 0;
  for (const auto& input : m_inputVars) {
    if (input.first == kScaledInput) diffValues[i] *= param;
    ++i;
  }

  double prediction = 0.0;
  std::map<std::string, double> dTotal;
  std::map<std::string, double> dDiff;
  try {
    RunnerPtr total = configuredRunner(m_modelKind, totalOutput);
    RunnerPtr diff = configuredRunner(m_modelKind, diffOutput);
    in.give(*total);
    diff->SetInputs(in.names.pointers.data(), diffValues.data(), static_cast<int>(n));
    // The first failing step wins; both runners are closed and deleted on return.
    if (const int status = total->Open(); status != 0) return status;
    if (const int status = diff->Open(); status != 0) return status;
    if (const int status = total->Run(); status != 0) return status;
    if (const int status = diff->Run(); status != 0) return status;
    prediction = total->m_dResult - rate * diff->m_dResult;
    if (!std::isfinite(prediction)) return 1;
    if (!readDerivatives(*total, dTotal) || !readDerivatives(*diff, dDiff)) return 1;
  } catch (...) {
    return 1;  // a runner call that throws is a failed run
  }
  // Tags match the model inputs exactly, as in a single network's run: a tag
  // that is no model input (a lower-case or misspelt name the runner still
  // fed) fails the run instead of dropping its derivative.
  for (const std::map<std::string, double>* byTag : {&dTotal, &dDiff})
    for (const auto& entry : *byTag)
      if (m_inputVars.count(entry.first) == 0) return 1;

  // Derivatives for every model input; an input a network does not take adds 0.
  std::vector<double> d(n, 0.0);
  i = 0;
  for (const auto& input : m_inputVars) {
    const auto t = dTotal.find(input.first);
    double value = t != dTotal.end() ? t->second : 0.0;
    if (const auto dd = dDiff.find(input.first); dd != dDiff.end()) {
      value -= input.first == kScaledInput ? rate * dd->second * param : rate * dd->second;
    }
    if (!std::isfinite(value)) return 1;
    d[i++] = value;
  }
  out->value = prediction;
  for (std::size_t k = 0; k < n; ++k) *slots[k] = d[k];
  return 0;
}

std::string rofcc::tagOutsideInputs(const std::string& network) const {
  for (const std::string& tag : robase::getNNIndepVars(network))
    if (m_inputVars.count(tag) == 0) return tag;
  return {};
}

std::set<std::string> rofcc::getNNIndepVars(std::string output) const {
  // A paired output depends on what its total network takes.
  if (const FccPairedOutput* pair = fccPairedOutput(output)) return robase::getNNIndepVars(pair->total);
  return robase::getNNIndepVars(output);
}

void rofcc::setupAttributes() {
  robase::setupAttributes();
  // PARAM of each cut, then RATE of each cut; MCN only where the kind has the cut.
  const bool mcn = fccHasMcnCut(m_modelKind);
  int number = static_cast<int>(m_attributes.size());
  for (const bool rateFamily : {false, true}) {
    for (const FccPairedOutput& p : kPaired) {
      if (!mcn && std::strncmp(p.output, "MCN", 3) == 0) continue;
      const char* name = rateFamily ? p.rate : p.param;
      putRecord(m_attributes, new ROMAttr(name, kOvercrackCode, "", kOvercrackDefault, number++));
    }
  }
}

void rofcc::inq_attr(qiv_blk_t& desc) const { robase::inq_attr(desc); }
