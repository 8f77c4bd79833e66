// Tuning blocks made by their factories and set up the way romhost sets a
// block up (host session, non-trivial first positions), on the shipped sample
// networks or on affine networks written by hand into a scratch folder.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "plugin/factories.h"
#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"

namespace tuning_test {

using namespace romtest;

// A block from the "ROTUNING" or "ROTUNINGBALANCE" factory (null when refused).
inline QivEOBlock* create(const std::string& factory, const std::vector<std::string>& options,
                          const char* name = "T1") {
  if (factory == "ROTUNING") {
    rotuningmodelfactory f;
    return createBlock(f, name, options);
  }
  rotuningbalancefactory f;
  return createBlock(f, name, options);
}

// A block in a host session, set up (dimensioned, registered, fixed and freed,
// given values and attributes, patterned and started).
struct Session : HostedBlock {
  explicit Session(QivEOBlock* made, romhost::SetUpPlan plan = {}, const Values& attributes = {})
      : HostedBlock(made, withAttributes(std::move(plan), attributes)) {}

 private:
  static romhost::SetUpPlan withAttributes(romhost::SetUpPlan plan, const Values& attributes) {
    const romhost::SetUpPlan more = setUpPlan({}, attributes);
    plan.attributes.insert(plan.attributes.end(), more.attributes.begin(), more.attributes.end());
    return plan;
  }
};

// A scratch network root of affine networks: y = bias + sum of weight * tag,
// the bias given as the output's offset.
class AffineNetworks : public NetworkRoot {
 public:
  AffineNetworks() : NetworkRoot("tuning_nets") {}
  void write(const std::string& kind, const std::string& output, const Values& weights, double bias = 0.0) const {
    std::ostringstream out;
    out << "ZKR 1\nOUTPUT " << output << "\nINPUTS " << weights.size() << "\n";
    for (const auto& [tag, w] : weights) out << "INPUT " << tag << " 0 1\n";
    out << "OUTPUTSCALE " << bias << " 1\nLAYERS 1\nLAYER 1 LINEAR\nW";
    for (const auto& [tag, w] : weights) out << " " << w;
    out << "\nB 0\nEND\n";
    NetworkRoot::write(kind, output, out.str());
  }
};

}  // namespace tuning_test
