// The hash of a name for the open-addressing indexes of the block's tables
// (attribute map, variable manager): eight characters at a step, mixed so
// that the low bits, which pick the slot, depend on every character.
#pragma once

#include <cstddef>
#include <string_view>

std::size_t hashName(std::string_view name) noexcept;
