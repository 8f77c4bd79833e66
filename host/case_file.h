// The case file: which factory makes the block, its name and options, the
// network root, variables to fix or free, values of fixed variables and
// attribute assignments.
//
//   {"factory": "MORVANE", "name": "C1", "options": ["SUBID:ROCOKER"],
//    "networks": "networks", "values": {"FEEDMASS": 120000},
//    "attributes": {"ALPHA_C3FRAC": 1.0}}
//
// "fix" and "free" list variables by their own names whose specification the
// user changes after the block has set its own: a block that fixes nothing
// itself (the tuning model) is made square this way.
//
// A relative "networks" path is relative to the folder of the case file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"

namespace romhost {

struct CaseSpec {
  std::string factory;
  std::string name = "B1";
  std::vector<std::string> options;
  std::string networks;  // resolved against the case folder; empty when not given
  std::vector<std::string> fix;   // own names of variables the user fixes
  std::vector<std::string> free;  // own names of variables the user frees
  std::vector<std::pair<std::string, double>> values;
  std::vector<std::pair<std::string, AttributeValue>> attributes;
};

class CaseError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Largest case file read; the file must be a regular file (never a FIFO or a
// device, which could block or never end).
constexpr std::uint64_t kMaxCaseFileBytes = 64ULL << 20;

// Deepest nesting of arrays and objects read (a case needs three levels). The
// case tree is freed recursively: a file nested deeper would run the stack
// out while it is freed.
constexpr std::size_t kMaxCaseNesting = 256;

// Both throw CaseError with a message naming what is wrong.
CaseSpec parseCase(const std::string& jsonText, const std::filesystem::path& caseFolder);
CaseSpec readCaseFile(const std::string& path);

}  // namespace romhost
