// The boundary guard of every framework-facing call: no exception may reach
// the framework. A hook reports a caught exception as status 1; an operation
// with a result gives its failure value (false, null, a failure status).
#pragma once

#include <utility>

template <class Body>
void guardHook(long long& status, Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
  } catch (...) {
    status = 1;
  }
}

template <class Result, class Body>
Result guardCall(Result failure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    return failure;
  }
}
