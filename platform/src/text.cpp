#include "platform/text.h"

namespace pelmo_text {

namespace {

// The length of the well-formed UTF-8 sequence that starts at text[at] with a
// byte of 0x80 or more (2 to 4), or 0 when it is none: a stray continuation
// byte, an overlong form, a surrogate, a code point above U+10FFFF or a
// sequence cut short.
std::size_t utf8Length(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong form
    if (lead == 0xED) high = 0x9F;  // no surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // no overlong form
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - at < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k)
    if ((byte(k) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

std::string printable(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  const auto escape = [&out](unsigned char c) {
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 0xF];
  };
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      if (c < 0x20 || c == 0x7F) {
        escape(c);
      } else {
        out += static_cast<char>(c);
      }
      ++i;
      continue;
    }
    const std::size_t length = utf8Length(text, i);
    if (length == 0) {
      escape(c);
      ++i;
      continue;
    }
    // U+0080 to U+009F (0xC2 0x80 to 0xC2 0x9F) are the C1 controls, which
    // some terminals act on like ESC sequences.
    const auto second = static_cast<unsigned char>(text[i + 1]);
    if (c == 0xC2 && second <= 0x9F) {
      escape(c);
      escape(second);
    } else {
      out.append(text, i, length);
    }
    i += length;
  }
  return out;
}

std::string validUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c < 0x80 ? 1 : utf8Length(text, i);
    if (length == 0) {
      out += "\xef\xbf\xbd";
      ++i;
    } else {
      out.append(text, i, length);
      i += length;
    }
  }
  return out;
}

}  // namespace pelmo_text
