// A view of one of the framework's vectors by 1-based number: element n-1 of
// the 0-based array holds number n. The pointer is fetched again for every pass,
// because the framework may move its arrays between calls.
#pragma once

namespace romhost {

class ByNumber {
 public:
  explicit ByNumber(double* base) : base_(base) {}
  double& operator[](int number) const { return base_[number - 1]; }
  bool valid() const { return base_ != nullptr; }

 private:
  double* base_;
};

}  // namespace romhost
