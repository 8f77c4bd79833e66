#include "plugin/entry.h"

#include <cstring>
#include <exception>
#include <memory>

#include "plugin/factories.h"

namespace {

// Raised by every successful init, lowered by every unload given a library.
// The framework pairs each init with one unload.
int g_loadCount = 0;

constexpr const char* kFactoryNames[] = {"MORVANE", "ROTUNING", "ROTUNINGBALANCE"};

void addFactory(QivPipe* pipe, QivFactoryLib* lib, std::unique_ptr<QivBlkFactory> f) {
  if (pipe) rtoprintf(pipe, "Adding factory %s\n", f->type_name());
  lib->AddFactory(f.release());  // the library holds it from now on
}

}  // namespace

extern "C" {

int qivdll_version(const char* kind, int* major, int* minor) {
  int maj = 11, min = 0;
  if (kind) {
    if (std::strcmp(kind, "QIVBLKFACTORY") == 0) {
      min = 1;
    } else if (std::strcmp(kind, "QIVPIPE") == 0) {
      // The seven letters and the terminating zero: only the exact text
      // matches, not a longer text that begins with it. strcmp never reads
      // past the caller's terminator.
      maj = 3;
    }
  }
  if (major) *major = maj;
  if (minor) *minor = min;
  return 0;
}

const char* qivdll_identity() { return "Reduced-Order Model Library"; }

int qivdll_init(QivPipe* pipe, QivFactoryLib* lib) {
  try {
    if (pipe) rtoprintf(pipe, "Entering ROM library initialization\n");
    if (!lib) {
      if (pipe) rtoprintf(pipe, "No factory library\n");
      return 1;
    }
    addFactory(pipe, lib, std::make_unique<rofactory>());
    addFactory(pipe, lib, std::make_unique<rotuningmodelfactory>());
    addFactory(pipe, lib, std::make_unique<rotuningbalancefactory>());
    if (pipe) rtoprintf(pipe, "ROM library initialized\n");
    ++g_loadCount;
    return 0;
  } catch (...) {
    return 1;
  }
}

int qivdll_unload(QivPipe* pipe, QivFactoryLib* lib) {
  try {
    if (!lib) {
      if (pipe) rtoprintf(pipe, "Unable to remove block factories from library.\n");
      return -2;
    }
    for (const char* name : kFactoryNames) {
      if (QivBlkFactory* f = lib->Lookup(name)) {
        lib->Remove(f);
        f->destroy();
      }
    }
    --g_loadCount;
    return g_loadCount > 0 ? 1 : 0;
  } catch (...) {
    return 1;
  }
}

}  // extern "C"
