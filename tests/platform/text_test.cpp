// Texts of the input on their way to a terminal: what printable escapes byte
// by byte and what it keeps whole.
#include "platform/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TextCase {
  const char* label;
  std::string text;
  std::string shown;
};

TEST(Printable, EscapesWhatIsNoCharacterOrAControlAndKeepsTheRest) {
  const TextCase cases[] = {
      {"surrogate", "a\xed\xa0\x80z", "a\\xed\\xa0\\x80z"},
      {"above U+10FFFF", "\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
      {"C1 control U+009F", "\xc2\x9f", "\\xc2\\x9f"},
      {"no-break space U+00A0", "\xc2\xa0", "\xc2\xa0"},
      {"U+10FFFF", "\xf4\x8f\xbf\xbf", "\xf4\x8f\xbf\xbf"},
      {"ESC, DEL and a line break", "\x1b[2J\x7f\n", "\\x1b[2J\\x7f\\x0a"},
      {"sequence cut short", "\xe2\x82", "\\xe2\\x82"},
  };
  for (const TextCase& c : cases) {
    EXPECT_EQ(pelmo_text::printable(c.text), c.shown) << c.label;
    EXPECT_EQ(pelmo_text::printable(c.shown), c.shown) << c.label << ": applied twice";
  }
  EXPECT_EQ(pelmo_text::validUtf8("A\xff\x9b\xc2\xa0"), "A\xef\xbf\xbd\xef\xbf\xbd\xc2\xa0");
}

}  // namespace
