// The command line of romhost:
//   romhost info [--plugin PATH]
//   romhost solve CASE.json [--networks DIR] [--option KEY:VALUE]... [--set NAME=VALUE]...
//                 [--attr NAME=VALUE]... [--max-iter N] [--tol X] [--check-jacobian] [--json]
//                 [--save FILE] [--load FILE] [--quiet] [--plugin PATH]
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"

namespace romhost {

struct CommandLine {
  enum class Command { kHelp, kInfo, kSolve } command = Command::kHelp;
  std::string casePath;
  std::string plugin;
  std::string networks;
  std::vector<std::string> options;
  std::vector<std::pair<std::string, double>> sets;
  std::vector<std::pair<std::string, AttributeValue>> attributes;
  std::optional<int> maxIterations;
  std::optional<double> tolerance;
  bool checkJacobian = false;
  bool json = false;
  bool quiet = false;
  std::string savePath;
  std::string loadPath;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// args without the program name. Throws UsageError.
CommandLine parseCommandLine(const std::vector<std::string>& args);
const char* usageText();

}  // namespace romhost
