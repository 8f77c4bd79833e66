// Reformer blocks set up the way romhost sets one up: made by the "MORVANE"
// factory (or directly, as a probe that shows the protected operations),
// placed by the host's session, given the nominal feed of the sample
// networks, patterned and initialised.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "models/reformer/roref_1.h"
#include "models/reformer/roref_slates.h"
#include "platform/registry.h"
#include "platform/values.h"
#include "plugin/factories.h"

namespace ref_test {

using Values = std::vector<std::pair<std::string, double>>;

inline const std::string kNetworkRoot = std::string(ROM_SOURCE_DIR) + "/examples/networks";

inline void useNetworkRoot(const std::string& root) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", "SOFTWARE\\Calverin\\Tressa\\38.0", "ZKDir", root.c_str());
}

// The nominal feed of the sample networks (examples/ref-*.json): FEEDSG 0.75,
// 30 % naphthenes and 10 % aromatics (FEEDNA 50 under an NA basis), 100 t/h.
struct Feed {
  bool semi = true;
  bool volume = false;
  bool naBasis = false;
  bool secondGeneration = false;
};
inline Values nominalInputs(const Feed& f) {
  Values v;
  // Volume in CUM/HR: 1000 kg/m3 per unit of gravity, RHOH2O 999.04 in the second generation.
  if (f.volume)
    v.push_back({"FEEDVOL", 100000.0 / (0.75 * (f.secondGeneration ? 999.04 : 1000.0))});
  else
    v.push_back({"FEEDMASS", 100000.0});
  v.push_back({"FEEDSG", 0.75});
  if (f.naBasis) {
    v.push_back({"FEEDNA", 50.0});
  } else {
    v.push_back({"FEEDNAPH", 30.0});
    v.push_back({"FEEDAROM", 10.0});
  }
  v.push_back({"TARGETRON", 98.0});
  if (f.semi) v.push_back({"CATAGE", 50.0});
  return v;
}

// The block the factory makes from options, reading networks under root.
inline QivEOBlock* createByFactory(const std::vector<std::string>& options, const std::string& root = kNetworkRoot) {
  useNetworkRoot(root);
  value_t* list = value_make_list();
  for (const std::string& o : options) gl_append(list->list, value_make_string(o.c_str()));
  rofactory factory;
  QivEOBlock* block = factory.create("R1", list);
  value_destroy(list);
  return block;
}

// A first-generation leaf prepared as the factory prepares it, with the
// operations the hooks walk in view.
template <class Leaf>
class Probe : public Leaf {
 public:
  explicit Probe(const char* na = "NA", const char* hl = "MASS") : Leaf("R1") {
    useNetworkRoot(kNetworkRoot);
    this->setNABasis(na);
    this->setLEBasis("MASS");
    this->setHLBasis(hl);
    this->prepare();
  }
  using roref::evalJacobian;
  using roref::evalResidual;
  using Leaf::computeHydrogenBalanceDerivative;
  using Leaf::computeHydrogenBalanceResidual;
  using Leaf::computeMassBalanceDerivative;
  using Leaf::computeMassBalanceResidual;

  // A network output's record: its last prediction and derivatives.
  const ROMVar& output(const std::string& name) const { return *this->m_nnOutputVars.at(name); }
};

// A block "R1" in a host session, set up with the given inputs and attributes.
struct Session {
  explicit Session(QivEOBlock* made, const Values& values, const Values& attributes = {})
      : block(made), session(std::make_unique<romhost::BlockSession>(made)) {
    romhost::SetUpPlan plan;
    plan.values = values;
    for (const auto& [name, v] : attributes) {
      romhost::AttributeValue real;
      real.real = v;
      plan.attributes.push_back({name, real});
    }
    setUp = session->setUp(plan);
  }

  romhost::BlockSystem& system() { return session->system(); }
  QivEOBlockImpl& impl() { return *session->impl(); }
  int number(const std::string& own) { return rtovarlst_find(system().varList(), ("R1." + own).c_str()); }
  bool has(const std::string& own) { return number(own) != 0; }
  double& value(const std::string& own) { return rtovarlst_vec_value(system().varList())[number(own) - 1]; }
  bool fixed(const std::string& own) { return rtovarlst_is_fixed(system().varList(), number(own)); }
  int eqnNumber(const std::string& own) { return rtoeqnlst_find(system().eqnList(), ("R1." + own).c_str()); }
  double& residual(const std::string& own) {
    return rtoeqnlst_vec_residual(system().eqnList())[eqnNumber(own) - 1];
  }
  // The own names of a port's variables, in port order.
  std::vector<std::string> port(const char* name) {
    std::vector<std::string> names;
    const qiv_port* p = impl().findPort(name);
    for (int i = 0; p && i < qivport_nvars(p); ++i)
      names.push_back(std::string(system().variableName(qivport_var(p, i))).substr(3));
    return names;
  }
  // A row's registered non-zeros in pattern order: (own variable name, value
  // last written into the Jacobian).
  std::vector<std::pair<std::string, double>> row(const std::string& eqn) {
    std::vector<romhost::BlockSystem::NonZero> nz;
    for (const auto& e : system().nonZeros())
      if (e.eqn == eqnNumber(eqn)) nz.push_back(e);
    std::sort(nz.begin(), nz.end(), [](const auto& a, const auto& b) { return a.nz < b.nz; });
    std::vector<std::pair<std::string, double>> entries;
    for (const auto& e : nz)
      entries.push_back({std::string(system().variableName(e.var)).substr(3), system().jacobianValue(e.nz)});
    return entries;
  }
  // The number of a row's first non-zero; 0 when it has none.
  int firstNz(const std::string& eqn) {
    int first = 0;
    for (const auto& e : system().nonZeros())
      if (e.eqn == eqnNumber(eqn) && (first == 0 || e.nz < first)) first = e.nz;
    return first;
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

  QivEOBlock* block;  // owned by the session
  std::unique_ptr<romhost::BlockSession> session;
  romhost::StepResult setUp;
};

}  // namespace ref_test
