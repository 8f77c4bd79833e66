// The three commands of romnet. Exit statuses: 0 success; the runner's status
// (1 to 12, see DIVeduded.h) when a file does not open or a run fails; 64 usage
// error; 65 bad data (unknown option, bad number, a derivative check that
// fails, a bad table); 73 an output file, or the standard output, that cannot be
// written.
#pragma once

#include <string>
#include <vector>

namespace romnet {

constexpr int kExitUsage = 64;
constexpr int kExitData = 65;
constexpr int kExitCannotWrite = 73;

// romnet eval FILE NAME=VALUE... [--json]
int runEval(const std::vector<std::string>& args);
// romnet check FILE [--tol X]
int runCheck(const std::vector<std::string>& args);

}  // namespace romnet
