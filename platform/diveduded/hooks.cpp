#include "platform/diveduded/hooks.h"

#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "platform/com.h"

namespace diveduded::hooks {

namespace {

struct FaultKey {
  std::string file;
  Op op;
  bool operator<(const FaultKey& o) const { return file != o.file ? file < o.file : op < o.op; }
};

struct State {
  std::mutex mutex;
  std::map<std::string, std::unique_ptr<std::atomic<long long>>> run_slots;
  std::map<FaultKey, FaultHit> faults;
  std::atomic<int> fault_count{0};
};

State& state() {
  static State* s = new State;  // outlives static runners
  return *s;
}

}  // namespace

GlobalCounters& counters() {
  static GlobalCounters* c = new GlobalCounters;
  return *c;
}

std::atomic<long long>* runSlot(const std::string& file_name) {
  State& s = state();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto& slot = s.run_slots[file_name];
  if (!slot) slot = std::make_unique<std::atomic<long long>>(0);
  return slot.get();
}

FaultHit faultFor(const std::string& file_name, Op op) {
  State& s = state();
  if (s.fault_count.load(std::memory_order_acquire) == 0) return {};
  std::lock_guard<std::mutex> lock(s.mutex);
  auto it = s.faults.find(FaultKey{file_name, op});
  return it == s.faults.end() ? FaultHit{} : it->second;
}

int raise(const FaultHit& hit, const std::string& file_name, Op op) {
  const char* what = op == Op::Open ? "Open" : "Run";
  switch (hit.kind) {
    case DIVeduded::Fault::ThrowStd:
      throw std::runtime_error("injected fault: " + std::string(what) + " of " + file_name);
    case DIVeduded::Fault::ThrowCom:
      throw _com_error(static_cast<long>(hit.status));
    case DIVeduded::Fault::Status:
      return hit.status;
    case DIVeduded::Fault::None:
      break;
  }
  return 0;
}

}  // namespace diveduded::hooks

// The static test API of the runner.

DIVeduded::Counters DIVeduded::counters() {
  auto& c = diveduded::hooks::counters();
  Counters out;
  out.constructed = c.constructed.load();
  out.destroyed = c.destroyed.load();
  out.opens = c.opens.load();
  out.runs = c.runs.load();
  out.closes = c.closes.load();
  return out;
}

void DIVeduded::resetCounters() {
  auto& c = diveduded::hooks::counters();
  c.constructed = 0;
  c.destroyed = 0;
  c.opens = 0;
  c.runs = 0;
  c.closes = 0;
  auto& s = diveduded::hooks::state();
  std::lock_guard<std::mutex> lock(s.mutex);
  for (auto& [name, slot] : s.run_slots) *slot = 0;
}

long long DIVeduded::runsOf(const std::string& file_name) {
  auto& s = diveduded::hooks::state();
  std::lock_guard<std::mutex> lock(s.mutex);
  auto it = s.run_slots.find(file_name);
  return it == s.run_slots.end() ? 0 : it->second->load();
}

void DIVeduded::injectFault(const std::string& file_name, const std::string& op, Fault kind, int status) {
  using diveduded::hooks::Op;
  auto& s = diveduded::hooks::state();
  if (op != "Open" && op != "Run") return;
  const Op which = op == "Run" ? Op::Run : Op::Open;
  std::lock_guard<std::mutex> lock(s.mutex);
  if (kind == Fault::None)
    s.faults.erase({file_name, which});
  else
    s.faults[{file_name, which}] = {kind, status};
  s.fault_count.store(static_cast<int>(s.faults.size()), std::memory_order_release);
}

void DIVeduded::clearFaults() {
  auto& s = diveduded::hooks::state();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.faults.clear();
  s.fault_count.store(0, std::memory_order_release);
}
