#include "tests/support/hosted_block.h"

#include <algorithm>
#include <stdexcept>

namespace romtest {

namespace {

// Number n of a framework vector; a name the block does not have (n 0) throws.
double& numbered(double* vector, int n, const char* what, const std::string& own) {
  if (n == 0) throw std::out_of_range(std::string("no ") + what + " " + own);
  return vector[n - 1];
}

}  // namespace

romhost::SetUpPlan setUpPlan(const Values& values, const Values& attributes) {
  romhost::SetUpPlan plan;
  plan.values = values;
  for (const auto& [name, v] : attributes) {
    romhost::AttributeValue real;
    real.real = v;
    plan.attributes.push_back({name, real});
  }
  return plan;
}

Values joined(Values first, const Values& more) {
  first.insert(first.end(), more.begin(), more.end());
  return first;
}

HostedBlock::HostedBlock(QivEOBlock* made, const romhost::SetUpPlan& plan, romhost::Placement placement)
    : block(made), session(std::make_unique<romhost::BlockSession>(made, placement)), setUp(session->setUp(plan)) {}

HostedBlock::HostedBlock(QivEOBlock* made, const Values& values, const Values& attributes,
                         romhost::Placement placement)
    : HostedBlock(made, setUpPlan(values, attributes), placement) {}

std::string HostedBlock::ownName(const std::string& fullName) const {
  const std::string prefix = session->name() + ".";
  return fullName.starts_with(prefix) ? fullName.substr(prefix.size()) : fullName;
}

int HostedBlock::number(const std::string& own) const {
  return rtovarlst_find(system().varList(), (session->name() + "." + own).c_str());
}

double& HostedBlock::value(const std::string& own) const {
  return numbered(rtovarlst_vec_value(system().varList()), number(own), "variable", own);
}

bool HostedBlock::fixed(const std::string& own) const {
  value(own);  // throws for an unknown name
  return system().isFixed(number(own));
}

int HostedBlock::eqnNumber(const std::string& own) const {
  return rtoeqnlst_find(system().eqnList(), (session->name() + "." + own).c_str());
}

double& HostedBlock::residual(const std::string& own) const {
  return numbered(rtoeqnlst_vec_residual(system().eqnList()), eqnNumber(own), "equation", own);
}

std::map<std::string, double> HostedBlock::values() const {
  std::map<std::string, double> out;
  for (const int n : system().variables()) out[ownName(system().variableName(n))] = system().value(n);
  return out;
}

std::vector<std::string> HostedBlock::port(const std::string& name) const {
  return portVariables(impl().findPort(name.c_str()));
}

std::vector<std::string> HostedBlock::portVariables(const qiv_port* port) const {
  std::vector<std::string> names;
  for (int i = 0; port && i < qivport_nvars(port); ++i) names.push_back(ownName(system().variableName(qivport_var(port, i))));
  return names;
}

std::vector<std::pair<std::string, double>> HostedBlock::row(const std::string& eqn) const {
  const int e = eqnNumber(eqn);
  std::vector<romhost::BlockSystem::NonZero> nz;
  for (const auto& entry : system().nonZeros())
    if (entry.eqn == e) nz.push_back(entry);
  std::sort(nz.begin(), nz.end(), [](const auto& a, const auto& b) { return a.nz < b.nz; });
  std::vector<std::pair<std::string, double>> entries;
  for (const auto& entry : nz) entries.push_back({ownName(system().variableName(entry.var)), jacobian(entry.nz)});
  return entries;
}

std::map<std::string, double> HostedBlock::jacobianRow(const std::string& eqn) const {
  std::map<std::string, double> byName;
  for (const auto& [name, v] : row(eqn)) byName[name] = v;  // a repeated variable: its last entry
  return byName;
}

int HostedBlock::firstNz(const std::string& eqn) const {
  const int e = eqnNumber(eqn);
  int first = 0;
  for (const auto& entry : system().nonZeros())
    if (entry.eqn == e && (first == 0 || entry.nz < first)) first = entry.nz;
  return first;
}

long long HostedBlock::res() const {
  long long status = kUnwritten;
  impl().user_res(status);
  return status;
}

long long HostedBlock::jac() const {
  long long status = kUnwritten;
  impl().user_jac(status);
  return status;
}

}  // namespace romtest
