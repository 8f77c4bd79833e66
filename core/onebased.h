// A view of one of the framework's 0-based vectors (values, residuals,
// Jacobian values) indexed by 1-based number: number n is element n - 1. The
// view keeps the array start and its length, so it never forms a pointer
// before the array and never reads or writes outside it.
#pragma once

#include <cstddef>
#include <stdexcept>

template <class T>
class OneBased {
 public:
  OneBased() = default;
  OneBased(T* data, int count) : data_(data), count_(data ? (count > 0 ? count : 0) : 0) {}

  bool valid() const { return data_ != nullptr; }
  int count() const { return count_; }
  bool contains(int number) const { return number >= 1 && number <= count_; }

  // Checked access; throws std::out_of_range for a number outside 1..count.
  T& at(int number) const {
    if (!contains(number)) throw std::out_of_range("number outside the framework vector");
    return data_[number - 1];
  }
  T& operator[](int number) const { return at(number); }
  // The element of number 1 (null for an invalid view): for loops over a
  // range already checked with contains.
  T* data() const { return data_; }

 private:
  T* data_ = nullptr;
  int count_ = 0;
};
