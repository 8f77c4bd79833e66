// Tuning blocks made by their factories and set up the way romhost sets a
// block up (host session, non-trivial first positions), on the shipped sample
// networks or on affine networks written by hand into a scratch folder.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "host/block_session.h"
#include "platform/diveduded/DIVeduded.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace tuning_test {

using Values = std::vector<std::pair<std::string, double>>;

inline const std::string kSampleNetworks = std::string(ROM_SOURCE_DIR) + "/examples/networks";

inline void useNetworkRoot(const std::string& root) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
}

// A block from the "ROTUNING" or "ROTUNINGBALANCE" factory (null when refused).
inline QivEOBlock* create(const std::string& factory, const std::vector<std::string>& options,
                          const char* name = "T1") {
  value_t* list = value_make_list();
  for (const std::string& o : options) gl_append(list->list, value_make_string(o.c_str()));
  QivEOBlock* block = nullptr;
  if (factory == "ROTUNING") {
    rotuningmodelfactory f;
    block = f.create(name, list);
  } else {
    rotuningbalancefactory f;
    block = f.create(name, list);
  }
  value_destroy(list);
  return block;
}

// A block in a host session, set up (dimensioned, registered, fixed and freed,
// given values and attributes, patterned and started).
struct Session {
  explicit Session(QivEOBlock* made, romhost::SetUpPlan plan = {}, const Values& attributes = {})
      : block(made), session(std::make_unique<romhost::BlockSession>(made)) {
    for (const auto& [name, v] : attributes) {
      romhost::AttributeValue real;
      real.real = v;
      plan.attributes.push_back({name, real});
    }
    setUp = session->setUp(plan);
  }

  romhost::BlockSystem& system() { return session->system(); }
  QivEOBlockImpl& impl() { return *session->impl(); }
  std::string full(const std::string& own) const { return session->name() + "." + own; }
  int number(const std::string& own) { return rtovarlst_find(system().varList(), full(own).c_str()); }
  double& value(const std::string& own) { return rtovarlst_vec_value(system().varList())[number(own) - 1]; }
  double residual(const std::string& own) {
    return rtoeqnlst_vec_residual(system().eqnList())[rtoeqnlst_find(system().eqnList(), full(own).c_str()) - 1];
  }
  long long res() {
    long long st = 0;
    impl().user_res(st);
    return st;
  }
  long long jac() {
    long long st = 0;
    impl().user_jac(st);
    return st;
  }
  double jacobian(int nz) { return rtojac_vec_bj(system().jac())[nz - 1]; }

  QivEOBlock* block;  // owned by the session
  std::unique_ptr<romhost::BlockSession> session;
  romhost::StepResult setUp;
};

// A scratch network root of affine networks: y = bias + sum of weight * tag.
class AffineNetworks {
 public:
  AffineNetworks()
      : root_(std::filesystem::path(::testing::TempDir()) / ("tuning_nets_" + std::to_string(getpid()))) {
    std::filesystem::create_directories(root_);
    useNetworkRoot(root_.string());
    DIVeduded::ClearCache();
  }
  ~AffineNetworks() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  AffineNetworks(const AffineNetworks&) = delete;
  AffineNetworks& operator=(const AffineNetworks&) = delete;

  void write(const std::string& kind, const std::string& output, const Values& weights, double bias = 0.0) const {
    DIVeduded::ClearCache();  // a file rewritten within the same tick is read again
    std::filesystem::create_directories(root_ / kind);
    std::ofstream out(root_ / kind / (kind + "_" + output + ".zkr"));
    out << "ZKR 1\nOUTPUT " << output << "\nINPUTS " << weights.size() << "\n";
    for (const auto& [tag, w] : weights) out << "INPUT " << tag << " 0 1\n";
    out << "OUTPUTSCALE " << bias << " 1\nLAYERS 1\nLAYER 1 LINEAR\nW";
    for (const auto& [tag, w] : weights) out << " " << w;
    out << "\nB 0\nEND\n";
  }

 private:
  std::filesystem::path root_;
};

}  // namespace tuning_test
