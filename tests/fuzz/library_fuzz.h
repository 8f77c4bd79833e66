// What the fuzz targets that drive the whole library share: the shipped
// sample networks as the registry's network root (the reactor blocks read
// theirs while they are made), and option lists as the framework hands them
// to a factory.
#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/values.h"

namespace romfuzz {

inline void useSampleNetworks() {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir",
                     ROM_SOURCE_DIR "/examples/networks");
}

// A framework list of text values, destroyed with the object.
struct OptionList {
  value_t* value = value_make_list();
  explicit OptionList(const std::vector<std::string>& options) {
    for (const std::string& o : options) gl_append(value->list, value_make_string(o.c_str()));
  }
  ~OptionList() { value_destroy(value); }
  OptionList(const OptionList&) = delete;
  OptionList& operator=(const OptionList&) = delete;
};

}  // namespace romfuzz
