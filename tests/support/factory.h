// Blocks made by the plug-in's factories from option texts, as the framework
// hands them over: a list value of text values.
#pragma once

#include <string>
#include <vector>

#include "platform/factory.h"
#include "platform/values.h"
#include "tests/support/networks.h"

namespace romtest {

// A framework list of text values, destroyed with the object.
class OptionList {
 public:
  explicit OptionList(const std::vector<std::string>& texts);
  ~OptionList();
  OptionList(const OptionList&) = delete;
  OptionList& operator=(const OptionList&) = delete;
  value_t* get() const { return list_; }

 private:
  value_t* list_;
};

// The block a factory makes from the options (null when refused).
QivEOBlock* createBlock(QivBlkFactory& factory, const char* blockName, const std::vector<std::string>& options);
// The block the "MORVANE" factory makes, reading networks under root.
QivEOBlock* createByMorvane(const char* blockName, const std::vector<std::string>& options,
                            const std::string& root = kSampleNetworks);

}  // namespace romtest
