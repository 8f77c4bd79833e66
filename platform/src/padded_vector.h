// A 0-based vector of doubles allocated with one hidden leading pad element,
// so that a block's 1-based view (the address of element 0 minus one) still
// points into the allocation. Internal to the framework.
//
// The elements start at zero. They come from calloc, which hands out memory
// the system has already cleared without clearing it again, so a large vector
// of which a block uses only the first part costs no pass over the rest.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

namespace pelmo_detail {

class PaddedVector {
 public:
  explicit PaddedVector(std::size_t n) : n_(n), buf_(allocate(n + 1)) {}
  PaddedVector(const PaddedVector&) = delete;
  PaddedVector& operator=(const PaddedVector&) = delete;

  double* data() { return buf_.get() + 1; }
  const double* data() const { return buf_.get() + 1; }
  std::size_t size() const { return n_; }

  // Moves the contents to a fresh allocation; the old one is freed, so a
  // caller that kept the old address is caught by the sanitizers.
  void relocate() {
    Buffer fresh = allocate(n_ + 1);
    std::copy(buf_.get(), buf_.get() + n_ + 1, fresh.get());
    buf_ = std::move(fresh);
  }

 private:
  struct Free {
    void operator()(double* p) const noexcept { std::free(p); }
  };
  using Buffer = std::unique_ptr<double[], Free>;

  // n zeroed doubles; throws std::bad_alloc as new would.
  static Buffer allocate(std::size_t n) {
    void* p = std::calloc(n, sizeof(double));
    if (!p) throw std::bad_alloc();
    return Buffer(static_cast<double*>(p));
  }

  std::size_t n_;
  Buffer buf_;
};

}  // namespace pelmo_detail
