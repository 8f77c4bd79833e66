// Writes a Network in the file format that parseNetwork reads. Numbers are
// written in their shortest form that reads back to the same double, so a
// written file parses to an identical network.
#pragma once

#include <string>
#include <string_view>

#include "platform/diveduded/network.h"

namespace diveduded {

// The shortest decimal text that reads back as v (C locale spelling).
std::string formatNumber(double v);

// comment: lines written first, each prefixed with "# " (may be empty).
std::string writeNetwork(const Network& net, std::string_view comment);

}  // namespace diveduded
