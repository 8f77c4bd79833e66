// Texts that come from the input (names, options, paths, network tags) on
// their way to a terminal or into JSON. Shared by the framework stand-in's
// echo of history lines, romhost and romnet, so that all three show a text
// the same way.
#pragma once

#include <string>
#include <string_view>

namespace pelmo_text {

// The text as a message shows it: control bytes (line breaks included), DEL,
// the C1 controls and bytes that are no part of valid UTF-8 appear as \xNN, so
// a terminal neither acts on them nor hides them. Every other character, a
// multi-byte UTF-8 one included, is kept whole. Applying it twice changes
// nothing more.
std::string printable(std::string_view text);

// The text with every byte that is no part of valid UTF-8 replaced by U+FFFD,
// as a JSON writer needs it; valid characters are kept as they are.
std::string validUtf8(std::string_view text);

}  // namespace pelmo_text
