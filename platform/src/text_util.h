// Small text helpers shared by the framework's sources (not installed).
#pragma once

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>

namespace pelmo_detail {

// Upper-cases ASCII letters only; other bytes (UTF-8 sequences included) are
// kept. Bytes go through unsigned char because toupper of a negative char is
// undefined.
inline std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

inline bool iequals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

inline std::string_view trim(std::string_view s) {
  const char* ws = " \t\r\n\f\v";
  const auto b = s.find_first_not_of(ws);
  if (b == std::string_view::npos) return {};
  const auto e = s.find_last_not_of(ws);
  return s.substr(b, e - b + 1);
}

}  // namespace pelmo_detail
