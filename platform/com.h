// The COM error type that the network runner may throw through its callers.
#pragma once

#include <exception>

class _com_error : public std::exception {
 public:
  explicit _com_error(long hr) noexcept;
  long Error() const noexcept { return hr_; }
  const char* what() const noexcept override;

 private:
  long hr_;
  char text_[48];
};
