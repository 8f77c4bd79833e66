// robase: running the block's networks through the runner. One runner per
// run: configure, give every model input, open, run, read the prediction and
// its derivatives, close. The runner is closed and deleted on every path.
// What does not change from run to run (folder, file names, input names,
// derivative entries) is kept in the block's NetworkCache.
#include "core/robase_networks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Marks a pass of runAllNN: its runs use the folder read at its start.
class PassScope {
 public:
  explicit PassScope(NetworkCache& cache) : m_cache(cache) {
    m_cache.inPass = true;
    m_cache.gatheredInPass = false;
  }
  ~PassScope() {
    m_cache.inPass = false;
    m_cache.gatheredInPass = false;
    m_cache.cursor = static_cast<std::size_t>(-1);
  }
  PassScope(const PassScope&) = delete;
  PassScope& operator=(const PassScope&) = delete;

 private:
  NetworkCache& m_cache;
};

}  // namespace

// ---- The cached pieces -------------------------------------------------------------

void NetworkFile::set(const std::string& kind, const std::string& name) {
  output = name;
  file = networkFileName(kind, name);
}

void NetworkFile::configure(DIVeduded& runner, const std::string& folder) const {
  runner.SetDepVar(output.c_str());
  runner.SetZKRFile(file.c_str());
  runner.SetZKRFolder(folder.c_str());
}

RunnerPtr NetworkFile::newRunner(const std::string& folder) const {
  RunnerPtr runner(new DIVeduded());
  configure(*runner, folder);
  return runner;
}

bool TagList::same(const TagDerivatives& d) const {
  const std::size_t n = d.values.size();
  if (m_tags.size() != n || d.tags.size() != n) return false;
  for (std::size_t k = 0; k < n; ++k) {
    const char* text = d.tags.buffers[k].data();
    const std::string& kept = m_tags[k];
    // The same text up to its end: the kept characters, then the buffer's
    // terminator (a kept text fills a buffer at most).
    if (std::memcmp(text, kept.data(), kept.size()) != 0) return false;
    if (kept.size() < DIV_NAME_BUF && text[kept.size()] != '\0') return false;
  }
  return true;
}

void TagList::remember(const TagDerivatives& d) {
  const std::size_t n = std::min(d.values.size(), d.tags.size());
  m_tags.resize(n);
  for (std::size_t k = 0; k < n; ++k) {
    const char* text = d.tags.buffers[k].data();
    m_tags[k].assign(text, strnlen(text, DIV_NAME_BUF));
  }
}

bool DerivativeSlots::store(ROMVar& output, const TagDerivatives& d) {
  if (m_stamp != output.derivs.stamp() || !m_tags.same(d)) {
    // No map has stamp 0: a match that runs out of memory half way is made
    // again at the next run instead of passing for the new tags' match.
    m_stamp = 0;
    m_tags.remember(d);
    m_slots.assign(m_tags.size(), nullptr);
    for (std::size_t k = 0; k < m_tags.size(); ++k) {
      const auto it = output.derivs.find(m_tags.tag(k));
      if (it != output.derivs.end()) m_slots[k] = &it->second;
    }
    m_stamp = output.derivs.stamp();
  }
  // Every tag checked before any entry changes: a refused run leaves the map as it was.
  const std::size_t n = m_slots.size();
  if (n != d.values.size()) return false;
  for (std::size_t k = 0; k < n; ++k)
    if (!m_slots[k] || !std::isfinite(d.values[k])) return false;
  for (std::size_t k = 0; k < n; ++k) *m_slots[k] = d.values[k];
  return true;
}

const std::string& NetworkFolder::refresh(const std::string& kind) {
  const std::string_view root = readZKModelDir(m_buffer);
  if (!m_known || root != m_root || kind != m_kind) {
    m_root.assign(root);
    m_kind = kind;
    m_folder.assign(m_root);
    m_folder += '\\';
    m_folder += m_kind;
    m_known = true;
  }
  return m_folder;
}

// ---- robase ------------------------------------------------------------------------------

NetworkCache& robase::makeNetworkCache() const {
  m_networks = std::make_unique<NetworkCache>();
  return *m_networks;
}

NetworkOutput& robase::networkOutput(const std::string& output) const {
  NetworkCache& c = networkCache();
  if (c.outputStamp != m_nnOutputVars.stamp() || c.outputKind != m_modelKind) {
    c.outputs.clear();
    c.outputs.reserve(m_nnOutputVars.size());
    for (const auto& entry : m_nnOutputVars) {
      NetworkOutput& o = c.outputs.emplace_back();
      o.entry = &entry;
      o.file.set(m_modelKind, entry.first);
    }
    c.outputStamp = m_nnOutputVars.stamp();
    c.outputKind = m_modelKind;
  }
  // runAllNN names the output it is running; any other call looks it up.
  if (c.cursor < c.outputs.size() && c.outputs[c.cursor].entry->first == output) return c.outputs[c.cursor];
  const auto it = std::lower_bound(c.outputs.begin(), c.outputs.end(), output,
                                   [](const NetworkOutput& o, const std::string& name) { return o.entry->first < name; });
  if (it == c.outputs.end() || it->entry->first != output) throwMissingKey();
  return *it;
}

const std::string& robase::networkFolder() const {
  NetworkCache& c = networkCache();
  if (!c.inPass) c.folder.refresh(m_modelKind);
  return c.folder.folder();
}

std::size_t NetworkCache::placeOf(const char* name) {
  if (placeName != name || placeStamp != inputStamp) {
    place = inputs.size();
    for (std::size_t i = 0; i < inputs.size(); ++i)
      if (inputs[i]->first == name) place = i;
    placeName = name;
    placeStamp = inputStamp;
  }
  return place;
}

NetworkInputs* robase::modelInputs() const {
  NetworkCache& c = networkCache();
  if (c.inPass && c.gatheredInPass && c.inputStamp == m_inputVars.stamp()) return &c.in;
  const OneBased<double> x = valueView();
  if (!x.valid()) return nullptr;
  if (c.inputStamp != m_inputVars.stamp()) {
    c.inputs.clear();
    c.inputs.reserve(m_inputVars.size());
    c.in = NetworkInputs(m_inputVars.size());
    c.namesFit = true;
    for (const auto& entry : m_inputVars) {
      // Names travel in 100-byte buffers; a longer one is never sent.
      if (!copyBounded(c.in.names.buffers[c.inputs.size()].data(), DIV_NAME_BUF, entry.first)) c.namesFit = false;
      c.inputs.push_back(&entry);
    }
    c.inputStamp = m_inputVars.stamp();
  }
  if (!c.namesFit) return nullptr;
  for (std::size_t i = 0; i < c.inputs.size(); ++i) {
    const ROMVar* var = c.inputs[i]->second;
    if (!var) return nullptr;
    const int num = varNumber(*var);
    if (!x.contains(num)) return nullptr;
    c.in.values[i] = x[num];
  }
  c.gatheredInPass = c.inPass;
  return &c.in;
}

int robase::runAllNN() const {
  NetworkCache& c = networkCache();
  // One registry read for the whole pass.
  c.folder.refresh(m_modelKind);
  const PassScope pass(c);
  std::size_t position = 0;
  for (const auto& entry : m_nnOutputVars) {
    c.cursor = position++;
    const int status = runNN(entry.first);
    if (status != 0) return status;  // the later outputs keep their predictions
  }
  return 0;
}

int robase::runNN(std::string output) const {
  NetworkOutput& net = networkOutput(output);
  ROMVar* out = net.entry->second;
  if (!out) return 1;
  NetworkInputs* in = modelInputs();
  if (!in) return 1;

  try {
    RunnerPtr runner = net.file.newRunner(networkFolder());
    in->give(*runner);
    if (const int status = openAndRun(*runner); status != 0) return status;
    const double prediction = runner->m_dResult;
    if (!std::isfinite(prediction)) return 1;
    out->value = prediction;

    TagDerivatives& derivatives = net.derivatives;
    if (!readTagDerivatives(*runner, derivatives)) return 1;
    return net.slots.store(*out, derivatives) ? 0 : 1;
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
