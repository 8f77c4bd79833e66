// A plug-in with one factory, "TESTBLOCK", that makes the host's test block,
// so the whole romhost program can be run on a block with a known solution.
// Option "FAULT:JAC" makes the derivative of E2 by Y off by 1e-4 (relative);
// "LOWER:<var>=<x>" and "UPPER:<var>=<x>" set a variable's bound, and
// "RESTART:<var>=<x>" makes the first user_res move the variable to x.
#include <cstring>
#include <string>

#include "platform/factory.h"
#include "platform/rtdev.h"
#include "platform/values.h"
#include "tests/host/test_block.h"

namespace {

// "KEY:<var>=<x>" options; others are ignored.
void apply(const std::string& option, romhost_test::TestBlockSpec& spec) {
  if (option == "FAULT:JAC") {
    spec.jacErrorEqn = 2;
    spec.jacErrorVar = 4;
    spec.jacErrorRelative = 1e-4;
    return;
  }
  const std::size_t colon = option.find(':'), eq = option.find('=');
  if (colon == std::string::npos || eq == std::string::npos || eq < colon) return;
  const std::string key = option.substr(0, colon), var = option.substr(colon + 1, eq - colon - 1);
  const double x = std::stod(option.substr(eq + 1));
  for (romhost_test::TestVariable& v : spec.variables) {
    if (v.name != var) continue;
    if (key == "LOWER") v.lower = x;
    if (key == "UPPER") v.upper = x;
    if (key == "RESTART") {
      spec.restartVar = v.index;
      spec.restartValue = x;
    }
  }
}

class TestBlockFactory : public QivBlkFactory {
 public:
  void destroy() override { delete this; }
  QivEOBlock* create(const char* name, value_t* options) override {
    if (!name || !options || options->type != VT_LIST) return nullptr;
    romhost_test::TestBlockSpec spec = romhost_test::standardSpec();
    try {
      for (gl_top(options->list); !gl_end(options->list); gl_next(options->list)) {
        const auto* v = static_cast<const value_t*>(gl_get(options->list));
        if (v && v->type == VT_STRING && v->sval) apply(v->sval, spec);
      }
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
