// Reads the text of one network file ("ZKR 1" format) into a Network.
//
// The parser checks every count against its limit before it allocates, never
// reads past the text it is given, and accepts only finite numbers written in
// the C locale's spelling whatever the process locale is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/diveduded/network.h"

namespace diveduded {

constexpr std::size_t kMaxNameLength = 99;        // tags and output names
constexpr long long kMaxInputs = 1000;            // INPUTS n
constexpr long long kMaxWidth = 10000;            // LAYER m
constexpr long long kMaxLayers = 1000;            // LAYERS L
constexpr long long kMaxWeights = 10'000'000;     // all W numbers of a file
constexpr long long kMaxChecks = 1000;            // CHECK lines of a file

struct ParseError {
  int line = 0;          // 1-based line of the offending token; 0 for the end of the text
  std::string message;   // what is wrong, naming the keyword or token
};

// Parses text into net. On failure returns false, fills err and leaves net in
// an unspecified state.
bool parseNetwork(std::string_view text, Network& net, ParseError& err);

// Parses one number of the file format: an optional sign, digits, an optional
// fraction and exponent; finite and within the range of a double.
bool parseNumber(std::string_view token, double& out);

// True for a legal tag or output name: 1 to 99 bytes, no white space, no '#',
// no control character.
bool isValidName(std::string_view name);

// ASCII case-insensitive equality (tags, output names, input names).
bool equalsNoCase(std::string_view a, std::string_view b);

}  // namespace diveduded
