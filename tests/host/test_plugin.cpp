// A plug-in with one factory, "TESTBLOCK", that makes the host's test block,
// so the whole romhost program can be run on a block with a known solution.
// Option "FAULT:JAC" makes the derivative of E2 by Y off by 1e-4 (relative).
#include <cstring>
#include <string>

#include "platform/factory.h"
#include "platform/rtdev.h"
#include "platform/values.h"
#include "tests/host/test_block.h"

namespace {

class TestBlockFactory : public QivBlkFactory {
 public:
  void destroy() override { delete this; }
  QivEOBlock* create(const char* name, value_t* options) override {
    if (!name || !options || options->type != VT_LIST) return nullptr;
    romhost_test::TestBlockSpec spec = romhost_test::standardSpec();
    for (gl_top(options->list); !gl_end(options->list); gl_next(options->list)) {
      const auto* v = static_cast<const value_t*>(gl_get(options->list));
      if (v && v->type == VT_STRING && v->sval && std::string(v->sval) == "FAULT:JAC") {
        spec.jacErrorEqn = 2;
        spec.jacErrorVar = 4;
        spec.jacErrorRelative = 1e-4;
      }
    }
    try {
      return new romhost_test::TestBlock(name, std::move(spec));
    } catch (...) {
      return nullptr;  // nothing crosses the factory's boundary
    }
  }
  const char* type_name() const override { return "TESTBLOCK"; }
  const char* error_text() const override { return "Block creation failed"; }
  int reserved() override { return 0; }
};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int qivdll_version(const char* kind, int* major, int* minor) {
  *major = kind && std::strcmp(kind, "QIVPIPE") == 0 ? 3 : 11;
  *minor = kind && std::strcmp(kind, "QIVBLKFACTORY") == 0 ? 1 : 0;
  return 0;
}

__attribute__((visibility("default"))) const char* qivdll_identity() { return "romhost test plug-in"; }

__attribute__((visibility("default"))) int qivdll_init(QivPipe* pipe, QivFactoryLib* lib) {
  if (!lib) return 1;
  try {
    rtoprintf(pipe, "Adding factory %s\n", "TESTBLOCK");
    lib->AddFactory(new TestBlockFactory);
    return 0;
  } catch (...) {
    return 1;
  }
}

__attribute__((visibility("default"))) int qivdll_unload(QivPipe*, QivFactoryLib* lib) {
  if (!lib) return -2;
  if (QivBlkFactory* f = lib->Lookup("TESTBLOCK")) {
    lib->Remove(f);
    f->destroy();
  }
  return 0;
}

}  // extern "C"
