// The romhost program: "info" and "solve". Separate from main so that the
// whole program runs in one function that catches everything.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace romhost {

// args without the program name; returns the exit code.
int runRomhost(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace romhost
