// A 0-based vector of doubles allocated with one hidden leading pad element,
// so that a block's 1-based view (the address of element 0 minus one) still
// points into the allocation. Internal to the framework.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>

namespace pelmo_detail {

class PaddedVector {
 public:
  explicit PaddedVector(std::size_t n) : n_(n), buf_(new double[n + 1]()) {}
  PaddedVector(const PaddedVector&) = delete;
  PaddedVector& operator=(const PaddedVector&) = delete;

  double* data() { return buf_.get() + 1; }
  const double* data() const { return buf_.get() + 1; }
  std::size_t size() const { return n_; }

  // Moves the contents to a fresh allocation; the old one is freed, so a
  // caller that kept the old address is caught by the sanitizers.
  void relocate() {
    std::unique_ptr<double[]> fresh(new double[n_ + 1]());
    std::copy(buf_.get(), buf_.get() + n_ + 1, fresh.get());
    buf_ = std::move(fresh);
  }

 private:
  std::size_t n_;
  std::unique_ptr<double[]> buf_;
};

}  // namespace pelmo_detail
