// Calls into the plug-in. Every hook is handed a status of 0 (several hooks add
// to the status they are given instead of setting it) and is wrapped so that an
// exception from the library becomes a reported failure, never a crash.
#pragma once

#include <exception>
#include <string>
#include <utility>

namespace romhost {

struct HookOutcome {
  long long status = 0;
  bool threw = false;
  bool nonFinite = false;  // the hook reported 0 but wrote a non-finite value
  std::string detail;      // exception text, or what was non-finite

  bool ok() const { return !threw && !nonFinite && status == 0; }
  // "user_res returned status 3", "user_jac threw: invalid map<K, T> key", ...
  std::string describe(const char* hook) const {
    if (threw) return std::string(hook) + " threw: " + detail;
    if (nonFinite) return std::string(hook) + " wrote a non-finite value (" + detail + ")";
    return std::string(hook) + " returned status " + std::to_string(status);
  }
};

// fn(long long& status) is called with status 0.
template <class Fn>
HookOutcome callHook(Fn&& fn) noexcept {
  HookOutcome out;
  long long st = 0;
  try {
    std::forward<Fn>(fn)(st);
    out.status = st;
  } catch (const std::exception& e) {
    out.threw = true;
    out.status = 1;
    out.detail = e.what();
  } catch (...) {
    out.threw = true;
    out.status = 1;
    out.detail = "unknown exception";
  }
  return out;
}

// Runs fn() for a framework call without a status (create, attributes, save,
// load). Returns false and fills error when it threw.
template <class Fn>
bool callGuarded(Fn&& fn, std::string& error) noexcept {
  try {
    std::forward<Fn>(fn)();
    return true;
  } catch (const std::exception& e) {
    error = e.what();
  } catch (...) {
    error = "unknown exception";
  }
  return false;
}

}  // namespace romhost
