#include "platform/diveduded/DIVeduded.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <string_view>

#include "platform/diveduded/cache.h"
#include "platform/diveduded/hooks.h"
#include "platform/diveduded/network.h"
#include "platform/diveduded/parser.h"
#include "platform/diveduded/path.h"

namespace {

constexpr std::size_t kMaxFolderLength = 4095;

struct StatusName {
  int status;
  const char* name;
};

constexpr StatusName kStatusNames[] = {
    {DIV_OK, "ok"},
    {DIV_INTERNAL, "internal error"},
    {DIV_NO_FOLDER, "no network folder or unsafe name"},
    {DIV_MISSING_FILE, "missing file"},
    {DIV_FORMAT, "format error"},
    {DIV_WRONG_OUTPUT, "wrong output"},
    {DIV_MISSING_INPUT, "missing input"},
    {DIV_NOT_OPEN, "not open"},
    {DIV_NON_FINITE, "non-finite value"},
    {DIV_SELF_CHECK, "failed self-check"},
    {DIV_BAD_ARGUMENT, "bad argument"},
    {DIV_NO_ACCESS, "permission denied"},
    {DIV_NOT_REGULAR, "not a regular file"},
};

// Copies a caller's text, reading at most limit + 1 bytes. Returns false (and
// leaves out empty) when the text is longer than limit.
bool copyText(const char* text, std::size_t limit, std::string& out) {
  out.clear();
  if (text == nullptr) return true;
  const std::size_t len = strnlen(text, limit + 1);
  if (len > limit) return false;
  out.assign(text, len);
  return true;
}

// Writes at most 99 bytes and a NUL into a caller's 100-byte buffer.
void writeName(char* buffer, std::string_view name) {
  if (buffer == nullptr) return;
  const std::size_t len = name.size() < DIV_NAME_BUF - 1 ? name.size() : DIV_NAME_BUF - 1;
  if (len > 0) std::memcpy(buffer, name.data(), len);  // an empty view may have no data pointer
  buffer[len] = '\0';
}

// The process's record of the failed Opens and Runs: the count, and the last
// few failures in a ring by count.
struct FailureRecord {
  static constexpr std::size_t kKept = 16;
  std::mutex lock;
  long long count = 0;
  DIVeduded::Failure kept[kKept];
};
FailureRecord& failureRecord() {
  static FailureRecord record;
  return record;
}

bool cacheDisabled() {
  const char* v = std::getenv("DIVEDUDED_NOCACHE");
  return v != nullptr && v[0] != '\0' && std::strcmp(v, "0") != 0;
}

}  // namespace

const char* DIVedudedStatusName(int status) {
  for (const StatusName& s : kStatusNames)
    if (s.status == status) return s.name;
  return "unknown status";
}

struct DIVeduded::Impl {
  // Configuration, kept across Close.
  std::string dep_var, file, folder;
  bool dep_var_too_long = false, file_too_long = false, folder_too_long = false;
  // The resolved path, worked out at the first Open after the folder or file
  // changed.
  bool path_known = false;
  int path_status = 0;
  std::string path, path_why;

  // Inputs as last given; the vectors only grow, so repeated SetInputs with the
  // same names reuse their storage.
  std::vector<std::string> input_names;
  std::vector<double> input_values;
  std::size_t input_count = 0;
  bool inputs_bad = false;   // null arrays with a non-zero count
  bool inputs_lost = false;  // allocation failed while copying

  // The open network and what belongs to it.
  std::shared_ptr<const diveduded::Network> net;
  bool open = false;
  bool has_result = false;
  // tag_input maps each tag to its input; it holds while the names stay the
  // same and the runner reopens the same parsed network (mapped_id).
  bool map_dirty = true;
  std::uint64_t mapped_id = 0;
  std::vector<long> tag_input;   // per tag: index of its input, or -1
  diveduded::Scratch scratch;
  std::vector<double> work;      // x, grad and deriv, n each
  std::vector<char> tag_text;    // one 100-byte slot per tag for GetIndependentTagByIndex
  std::atomic<long long>* run_slot = nullptr;

  // The path of the file, worked out when the folder or file changed; null
  // when they make none (path_why says why). May throw std::bad_alloc.
  const std::string* resolvedPath() {
    if (!path_known) {
      path_status = diveduded::resolveNetworkPath(folder, file, path, path_why);
      path_known = true;
    }
    return path_status == 0 ? &path : nullptr;
  }

  std::size_t tagCount() const { return open ? net->tags.size() : 0; }
  double* x() { return work.data(); }
  double* grad() { return work.data() + net->tags.size(); }
  double* deriv() { return work.data() + 2 * net->tags.size(); }

  // Last matching name wins: search from the end.
  void mapInputs() {
    const auto& tags = net->tags;
    for (std::size_t t = 0; t < tags.size(); ++t) {
      long found = -1;
      for (std::size_t i = input_count; i-- > 0;) {
        if (diveduded::equalsNoCase(input_names[i], tags[t])) {
          found = static_cast<long>(i);
          break;
        }
      }
      tag_input[t] = found;
    }
    map_dirty = false;
    mapped_id = net->id;
  }

  void close() {
    net.reset();
    open = false;
    has_result = false;
  }
};

DIVeduded::DIVeduded() : impl_(std::make_unique<Impl>()) { ++diveduded::hooks::counters().constructed; }

DIVeduded::~DIVeduded() { ++diveduded::hooks::counters().destroyed; }

int DIVeduded::finish(int status) {
  last_status_ = status;
  if (status == DIV_OK) last_message_.clear();
  return status;
}

int DIVeduded::fail(int status, std::string_view msg, std::string_view reason) noexcept {
  last_status_ = status;
  try {
    last_message_.assign(msg);
  } catch (...) {
    last_message_.clear();
  }
  // Made outside the lock, then moved into its slot: a slot holds one whole
  // failure. Out of memory, the failure still counts, named as far as it could
  // be. A runner that failed before it read anything (an injected fault) still
  // names the file it would have read.
  Failure made;
  made.status = status;
  try {
    made.file = impl_->file;
    made.folder = impl_->folder;
    if (const std::string* path = impl_->resolvedPath()) made.path = *path;
    made.reason.assign(reason);
  } catch (...) {
  }
  try {
    FailureRecord& record = failureRecord();
    const std::lock_guard<std::mutex> hold(record.lock);
    made.number = ++record.count;
    record.kept[static_cast<std::size_t>((made.number - 1) % FailureRecord::kKept)] = std::move(made);
  } catch (...) {
  }
  return status;
}

long long DIVeduded::failureCount() {
  FailureRecord& record = failureRecord();
  const std::lock_guard<std::mutex> hold(record.lock);
  return record.count;
}

bool DIVeduded::failureAfter(long long count, Failure& out) {
  FailureRecord& record = failureRecord();
  const std::lock_guard<std::mutex> hold(record.lock);
  if (count < 0 || count >= record.count) return false;
  // The oldest one kept when more failed since than the ring holds.
  const long long first = std::max(count, record.count - static_cast<long long>(FailureRecord::kKept)) + 1;
  out = record.kept[static_cast<std::size_t>((first - 1) % static_cast<long long>(FailureRecord::kKept))];
  return true;
}

void DIVeduded::SetDepVar(const char* name) {
  try {
    impl_->dep_var_too_long = !copyText(name, diveduded::kMaxNameLength, impl_->dep_var);
  } catch (...) {
    impl_->dep_var.clear();
    impl_->dep_var_too_long = true;
  }
}

void DIVeduded::SetZKRFile(const char* file) {
  try {
    impl_->file_too_long = !copyText(file, diveduded::kMaxNameLength, impl_->file);
  } catch (...) {
    impl_->file.clear();
    impl_->file_too_long = true;
  }
  impl_->run_slot = nullptr;
  impl_->path_known = false;
}

void DIVeduded::SetZKRFolder(const char* folder) {
  try {
    impl_->folder_too_long = !copyText(folder, kMaxFolderLength, impl_->folder);
  } catch (...) {
    impl_->folder.clear();
    impl_->folder_too_long = true;
  }
  impl_->path_known = false;
}

void DIVeduded::SetInputs(char** names, double* values, int count) {
  Impl& d = *impl_;
  d.inputs_bad = false;
  d.inputs_lost = false;
  if (count <= 0 || names == nullptr || values == nullptr) {
    d.inputs_bad = count > 0;
    d.input_count = 0;
    d.map_dirty = true;
    return;
  }
  try {
    const std::size_t n = static_cast<std::size_t>(count);
    // Each grown on its own: a failed growth of the values may follow a
    // good one of the names.
    if (d.input_names.size() < n) d.input_names.resize(n);
    if (d.input_values.size() < n) d.input_values.resize(n);
    // The blocks pass the same names before every run: only a changed name
    // (or count) needs the tags matched again.
    bool changed = n != d.input_count;
    for (std::size_t i = 0; i < n; ++i) {
      const char* name = names[i];
      std::string& kept = d.input_names[i];
      // Same as before when the texts agree up to and including the NUL;
      // strncmp stops at the first NUL, so it reads no further than that.
      if (!changed && name != nullptr && !kept.empty() && std::strncmp(name, kept.c_str(), kept.size() + 1) == 0) {
        d.input_values[i] = values[i];
        continue;
      }
      std::string_view text;
      if (name != nullptr) {
        const std::size_t len = strnlen(name, diveduded::kMaxNameLength + 1);
        // A name over 99 bytes can equal no tag: it is kept empty and so ignored.
        if (len <= diveduded::kMaxNameLength) text = std::string_view(name, len);
      }
      if (changed || text != kept) {
        changed = true;
        kept.assign(text);
      }
      d.input_values[i] = values[i];
    }
    d.input_count = n;
    if (changed) d.map_dirty = true;
  } catch (...) {
    d.inputs_lost = true;
    d.input_count = 0;
    d.map_dirty = true;
  }
}

int DIVeduded::Open() {
  Impl& d = *impl_;
  if (d.open) d.close();
  ++diveduded::hooks::counters().opens;
  // An injected fault may throw on purpose: that is what the test asks for.
  const auto hit = diveduded::hooks::faultFor(d.file, diveduded::hooks::Op::Open);
  if (hit.kind != Fault::None)
    return fail(diveduded::hooks::raise(hit, d.file, diveduded::hooks::Op::Open), "injected fault at Open");
  try {
    return openNetwork();
  } catch (const std::bad_alloc&) {
    d.close();
    return fail(DIV_INTERNAL, "out of memory in Open");
  } catch (...) {
    d.close();
    return fail(DIV_INTERNAL, "internal error in Open");
  }
}

int DIVeduded::openNetwork() {
  Impl& d = *impl_;
  if (d.run_slot == nullptr) d.run_slot = diveduded::hooks::runSlot(d.file);
  if (d.folder_too_long) return fail(DIV_NO_FOLDER, "network folder longer than 4095 bytes");
  if (d.file_too_long) return fail(DIV_NO_FOLDER, "network file name longer than 99 bytes");
  if (d.dep_var_too_long) return fail(DIV_WRONG_OUTPUT, "requested output name longer than 99 bytes");

  const std::string* resolved = d.resolvedPath();
  if (!resolved) return fail(DIV_NO_FOLDER, "network file " + d.file + ": " + d.path_why, d.path_why);
  const std::string& path = *resolved;

  diveduded::LoadResult loaded = diveduded::loadNetwork(path, !cacheDisabled());
  if (loaded.status != 0) return fail(loaded.status, loaded.message, loaded.reason);

  const diveduded::Network& net = *loaded.net;
  if (!diveduded::equalsNoCase(net.output, d.dep_var)) {
    const std::string why = "predicts \"" + net.output + "\", not the requested \"" + d.dep_var + "\"";
    return fail(DIV_WRONG_OUTPUT, "network file " + path + " " + why, why);
  }

  // Size the per-runner work space once; reopening the same network reuses it.
  const std::size_t n = net.tags.size();
  if (!d.scratch.fits(net)) d.scratch.sizeFor(net);
  if (d.work.size() < 3 * n) d.work.resize(3 * n);
  if (d.tag_input.size() < n) d.tag_input.resize(n);
  if (d.mapped_id != net.id) d.map_dirty = true;

  d.net = std::move(loaded.net);
  d.open = true;
  d.has_result = false;
  return finish(DIV_OK);
}

int DIVeduded::Run() {
  Impl& d = *impl_;
  ++diveduded::hooks::counters().runs;
  diveduded::hooks::FaultHit hit;
  try {
    if (d.run_slot == nullptr) d.run_slot = diveduded::hooks::runSlot(d.file);
    ++*d.run_slot;
    hit = diveduded::hooks::faultFor(d.file, diveduded::hooks::Op::Run);
  } catch (...) {
    return fail(DIV_INTERNAL, "internal error in Run");
  }
  // An injected fault may throw on purpose: that is what the test asks for.
  if (hit.kind != Fault::None)
    return fail(diveduded::hooks::raise(hit, d.file, diveduded::hooks::Op::Run), "injected fault at Run");
  try {
    return runNetwork();
  } catch (...) {
    return fail(DIV_INTERNAL, "internal error in Run");
  }
}

int DIVeduded::runNetwork() {
  Impl& d = *impl_;
  if (!d.open) return fail(DIV_NOT_OPEN, "network file " + d.file + " is not open", {});
  if (d.inputs_lost) return fail(DIV_INTERNAL, "out of memory copying the inputs");
  if (d.inputs_bad) return fail(DIV_BAD_ARGUMENT, "SetInputs was given null names or values");
  if (d.map_dirty) d.mapInputs();

  // A failure of the file's run: the message names the file, the reason not.
  const auto failRun = [&](int status, const std::string& why) {
    return fail(status, "network file " + d.file + ": " + why, why);
  };
  const diveduded::Network& net = *d.net;
  const std::size_t n = net.tags.size();
  double* x = d.x();
  double* grad = d.grad();
  for (std::size_t t = 0; t < n; ++t) {
    const long i = d.tag_input[t];
    if (i < 0) return failRun(DIV_MISSING_INPUT, "no input for tag \"" + net.tags[t] + "\"");
    const double v = d.input_values[static_cast<std::size_t>(i)];
    if (!std::isfinite(v)) return failRun(DIV_NON_FINITE, "non-finite input for tag \"" + net.tags[t] + "\"");
    x[t] = v;
  }
  const double y = diveduded::evaluate(net, x, d.scratch, grad);
  bool finite = std::isfinite(y);
  for (std::size_t t = 0; finite && t < n; ++t) finite = std::isfinite(grad[t]);
  if (!finite) return failRun(DIV_NON_FINITE, "non-finite prediction or derivative");

  // Commit only a wholly finite result.
  m_dResult = y;
  std::copy(grad, grad + n, d.deriv());
  d.has_result = true;
  return finish(DIV_OK);
}

int DIVeduded::GetIndependentTagCount(long& count) {
  const Impl& d = *impl_;
  count = static_cast<long>(d.tagCount());
  return d.open ? DIV_OK : DIV_NOT_OPEN;
}

void DIVeduded::GetIndepVars(char** buffers, int count) {
  const Impl& d = *impl_;
  if (buffers == nullptr || count <= 0) return;
  const std::size_t n = d.tagCount();
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
    writeName(buffers[i], i < n ? std::string_view(d.net->tags[i]) : std::string_view());
}

int DIVeduded::GetIndependentTagByIndex(int index, char*& name) {
  Impl& d = *impl_;
  // A static "" that outlives the runner; written afresh in case a caller
  // wrote into it.
  static thread_local char empty[DIV_NAME_BUF] = {};
  empty[0] = '\0';
  name = empty;
  if (!d.open) return DIV_NOT_OPEN;
  if (index < 1 || static_cast<std::size_t>(index) > d.net->tags.size()) return DIV_BAD_ARGUMENT;
  // A per-runner copy: a caller that edits the text in place cannot touch the
  // shared network. Sized for every tag at once, so that the names handed out
  // for one point all stay valid.
  const std::size_t need = d.net->tags.size() * DIV_NAME_BUF;
  if (d.tag_text.size() < need) {
    try {
      d.tag_text.resize(need);
    } catch (...) {
      return DIV_INTERNAL;
    }
  }
  char* slot = d.tag_text.data() + static_cast<std::size_t>(index - 1) * DIV_NAME_BUF;
  writeName(slot, d.net->tags[static_cast<std::size_t>(index - 1)]);
  name = slot;
  return DIV_OK;
}

int DIVeduded::GetDerivatives(char** buffers, double* values) {
  Impl& d = *impl_;
  const std::size_t n = d.tagCount();
  if (!d.open) return DIV_NOT_OPEN;
  if (n > 0 && (buffers == nullptr || values == nullptr)) {
    if (buffers != nullptr)
      for (std::size_t i = 0; i < n; ++i) writeName(buffers[i], d.net->tags[i]);
    if (values != nullptr)
      for (std::size_t i = 0; i < n; ++i) values[i] = 0.0;
    return DIV_BAD_ARGUMENT;
  }
  const double* deriv = d.deriv();
  for (std::size_t i = 0; i < n; ++i) {
    writeName(buffers[i], d.net->tags[i]);
    values[i] = d.has_result ? deriv[i] : 0.0;
  }
  return d.has_result ? DIV_OK : DIV_NOT_OPEN;
}

int DIVeduded::Close() {
  ++diveduded::hooks::counters().closes;
  impl_->close();
  return DIV_OK;
}

void DIVeduded::ClearCache() {
  try {
    diveduded::clearNetworkCache();
  } catch (...) {
  }
}
