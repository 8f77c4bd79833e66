// Call counters and fault injection behind DIVeduded's test API. Counting is
// lock-free; per-file run counters are stable slots that a runner looks up once
// per Open. Fault look-ups take a lock only while some fault is injected.
#pragma once

#include <atomic>
#include <string>

#include "platform/diveduded/DIVeduded.h"

namespace diveduded::hooks {

struct GlobalCounters {
  std::atomic<long long> constructed{0}, destroyed{0}, opens{0}, runs{0}, closes{0};
};
GlobalCounters& counters();

// The run counter of a file name; the pointer stays valid for the process.
std::atomic<long long>* runSlot(const std::string& file_name);

enum class Op { Open, Run };

struct FaultHit {
  DIVeduded::Fault kind = DIVeduded::Fault::None;
  int status = 1;
};

// The fault injected for this file name and operation, if any.
FaultHit faultFor(const std::string& file_name, Op op);

// Carries out a hit: returns its status or throws (std::runtime_error, or
// _com_error with the status as its HRESULT).
int raise(const FaultHit& hit, const std::string& file_name, Op op);

}  // namespace diveduded::hooks
