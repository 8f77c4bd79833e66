#include "tests/support/factory.h"

#include "plugin/factories.h"

namespace romtest {

OptionList::OptionList(const std::vector<std::string>& texts) : list_(value_make_list()) {
  for (const std::string& t : texts) gl_append(list_->list, value_make_string(t.c_str()));
}

OptionList::~OptionList() { value_destroy(list_); }

QivEOBlock* createBlock(QivBlkFactory& factory, const char* blockName, const std::vector<std::string>& options) {
  const OptionList list(options);
  return factory.create(blockName, list.get());
}

QivEOBlock* createByMorvane(const char* blockName, const std::vector<std::string>& options, const std::string& root) {
  useNetworkRoot(root);
  rofactory factory;
  return createBlock(factory, blockName, options);
}

}  // namespace romtest
