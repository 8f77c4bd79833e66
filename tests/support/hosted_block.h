// A block set up the way romhost sets one up: placed by the host's session
// (at first positions 101 / 11 / 501 unless placed otherwise), dimensioned,
// initialised, given values of fixed variables and real attributes, patterned
// and started; and its variables, equations, ports and Jacobian rows by the
// block's own names.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/block_session.h"
#include "tests/support/networks.h"

namespace romtest {

// The set-up plan of values of fixed variables and real attributes.
romhost::SetUpPlan setUpPlan(const Values& values, const Values& attributes = {});
// first, then more (a later value of the same name wins in the set-up).
Values joined(Values first, const Values& more);

class HostedBlock {
 public:
  // Takes the block over (null gives a set-up that fails) and sets it up.
  HostedBlock(QivEOBlock* made, const romhost::SetUpPlan& plan, romhost::Placement placement = {});
  explicit HostedBlock(QivEOBlock* made, const Values& values = {}, const Values& attributes = {},
                       romhost::Placement placement = {});
  HostedBlock(HostedBlock&&) = default;  // the session, and with it the block, moves along
  HostedBlock& operator=(HostedBlock&&) = delete;

  romhost::BlockSystem& system() const { return session->system(); }
  QivEOBlockImpl& impl() const { return *session->impl(); }
  template <class T>
  T& as() const {
    return dynamic_cast<T&>(*block);
  }

  // Own names are the framework names without "<block>.".
  std::string ownName(const std::string& fullName) const;
  int number(const std::string& own) const;  // 0 when the block has no such variable
  bool has(const std::string& own) const { return number(own) != 0; }
  double& value(const std::string& own) const;  // throws for an unknown name
  bool fixed(const std::string& own) const;
  int eqnNumber(const std::string& own) const;  // 0 when the block has no such equation
  double& residual(const std::string& own) const;  // throws for an unknown name
  double jacobian(int nz) const { return system().jacobianValue(nz); }
  // Own name -> value of every variable the block registered.
  std::map<std::string, double> values() const;

  // Own names of a port's variables in port order; empty when there is no such port.
  std::vector<std::string> port(const std::string& name) const;
  std::vector<std::string> portVariables(const qiv_port* port) const;

  // An equation's registered non-zeros in pattern order: (own variable name,
  // value last written into the Jacobian); and the same by variable name.
  std::vector<std::pair<std::string, double>> row(const std::string& eqn) const;
  std::map<std::string, double> jacobianRow(const std::string& eqn) const;
  int firstNz(const std::string& eqn) const;  // 0 when the row has none

  // The block's own user_res and user_jac, straight: the status each writes
  // (kUnwritten when the hook leaves it alone).
  static constexpr long long kUnwritten = -999;
  long long res() const;
  long long jac() const;

  QivEOBlock* block;  // owned by the session
  std::unique_ptr<romhost::BlockSession> session;
  romhost::StepResult setUp;
};

}  // namespace romtest
