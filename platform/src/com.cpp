// The COM error type.
#include "platform/com.h"

#include <cstdio>

_com_error::_com_error(long hr) noexcept : hr_(hr) {
  // HRESULTs are 32-bit; show the low 32 bits whatever the width of long.
  std::snprintf(text_, sizeof text_, "COM error 0x%08lX", static_cast<unsigned long>(hr) & 0xFFFFFFFFul);
}

const char* _com_error::what() const noexcept { return text_; }
