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
#include <vector>

#include "models/fcc/rofcc_pair_run.h"

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
  PairRun* run = nullptr;
  for (const auto& p : m_pairRuns)
    if (p->is(m_modelKind, output, totalOutput, diffOutput)) run = p.get();
  if (!run) run = m_pairRuns.emplace_back(std::make_unique<PairRun>(m_modelKind, output, totalOutput, diffOutput)).get();

  // Names first: a missing output record, attribute or derivative entry throws
  // "invalid map<K, T> key" before any runner exists or anything changes.
  ROMVar* out = at_or_throw(m_nnOutputVars, output);
  if (!out) throw std::out_of_range(kInvalidMapKey);
  const double param = run->param.value(m_attributes);
  const double rate = run->rate.value(m_attributes);
  if (run->derivStamp != out->derivs.stamp() || run->slotInputStamp != m_inputVars.stamp()) {
    run->slots.clear();
    for (const auto& input : m_inputVars) {
      const auto it = out->derivs.find(input.first);
      run->slots.push_back(it == out->derivs.end() ? nullptr : &it->second);
    }
    run->derivStamp = out->derivs.stamp();
    run->slotInputStamp = m_inputVars.stamp();
  }
  for (double* slot : run->slots)
    if (!slot) throwMissingKey();

  // Every model input by name with its current value; the difference network
  // sees the plenum temperature scaled by PARAM.
  NetworkInputs* in = modelInputs();
  if (!in) return 1;
  NetworkCache& cache = networkCache();
  const std::size_t n = in->values.size();
  run->scaledAt = cache.placeOf(kScaledInput);
  run->diffValues.assign(in->values.begin(), in->values.end());
  if (run->scaledAt < n) run->diffValues[run->scaledAt] *= param;

  double prediction = 0.0;
  try {
    const std::string& folder = networkFolder();
    RunnerPtr total = run->total.newRunner(folder);
    RunnerPtr diff = run->diff.newRunner(folder);
    in->give(*total);
    diff->SetInputs(in->names.pointers.data(), run->diffValues.data(), static_cast<int>(n));
    // The first failing step wins; both runners are closed and deleted on return.
    if (const int status = total->Open(); status != 0) return status;
    if (const int status = diff->Open(); status != 0) return status;
    if (const int status = total->Run(); status != 0) return status;
    if (const int status = diff->Run(); status != 0) return status;
    prediction = total->m_dResult - rate * diff->m_dResult;
    if (!std::isfinite(prediction)) return 1;
    if (!readTagDerivatives(*total, run->totalTags) ||
        !run->totalMatch.collect(run->totalTags, cache, run->dTotal) ||
        !readTagDerivatives(*diff, run->diffTags) || !run->diffMatch.collect(run->diffTags, cache, run->dDiff))
      return 1;
  } catch (...) {
    return 1;  // a runner call that throws is a failed run
  }
  // Tags match the model inputs exactly, as in a single network's run: a tag
  // that is no model input (a lower-case or misspelt name the runner still
  // fed) fails the run instead of dropping its derivative.
  if (run->totalMatch.strangers() > 0 || run->diffMatch.strangers() > 0) return 1;

  // Derivatives for every model input; an input a network does not take adds 0.
  run->d.assign(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    double value = run->dTotal[i];
    const double dd = run->dDiff[i];
    if (run->diffMatch.names(i)) value -= i == run->scaledAt ? rate * dd * param : rate * dd;
    if (!std::isfinite(value)) return 1;
    run->d[i] = value;
  }
  out->value = prediction;
  for (std::size_t k = 0; k < n; ++k) *run->slots[k] = run->d[k];
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
