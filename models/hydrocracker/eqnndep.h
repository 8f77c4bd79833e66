// eqNNDep: the first-generation hydrocracker's network equation. One object
// per network output y, named "Y_" y, ties y to the tuned prediction of its
// trained network:
//
//   y = ALPHA_y x p(x) + BETA_y + sum_i GAMMA_y_x_i x x_i
//
// p is the prediction of the network "<kind>_<y>.zkr" in the folder
// "<ZKDir>\<kind>" at the current values of the block's inputs x_i; the
// ALPHA, BETA and GAMMA attributes are read from the block's attribute map at
// every evaluation (their names looked up again only after the map changed),
// so a changed tuning factor takes effect at the next call without a new run.
//
// The object owns its runner. The network runs only when an input differs
// (exactly) from the values of the last run, and after a failed run the
// next evaluation runs again, so a failure is reported at every call at that
// point instead of a stale prediction passing for a good one.
//
// Variable list: the inputs in the order given, then y.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "equations/nn_equations.h"
#include "models/hydrocracker/hcreqn.h"

class eqNNDep : public hcreqn {
 public:
  // attributes: the block's attribute-map holder (through which every
  // evaluation reads the tuning factors); without one every evaluation
  // reports 1. A name over 99 characters cannot be given to the runner: such
  // an object reports 1 at every evaluation.
  eqNNDep(EqnContext attributes, const std::string& output, const std::string& modelKind,
          const std::set<std::string>& inputs);

  // ALPHA p + BETA + GAMMA terms - y at the residual's number. The run's
  // status when the network had to run and failed (the residual is then
  // written from the last good prediction), 1 without the attribute map or
  // for a residual that is not finite, else 0.
  int res(OneBased<double> residuals) override;
  // ALPHA dp/dx_i + GAMMA_i for each input, -1 for y. 1 when the network
  // failed, an entry was refused (all before the pattern) or is not finite.
  int jac(OneBased<double> values) override;
  // Runs the network at the current inputs and stores the tuned prediction as
  // y's starting value. Returns the run's status (y still gets BETA and the
  // GAMMA terms after a failed first run, the prediction being 0), or 1 when
  // the value could not be stored.
  int init() override;

  // Copies the current input values into the cache and runs the network; 0
  // on success, else the runner's status (or 1 for a runner that cannot run).
  int evaluate();
  // The tuned prediction at the current inputs from the stored prediction;
  // status 1 and 0.0 without the attribute map.
  double adjustedPrediction(long long& status) const;

  const std::string& output() const { return m_output; }
  const std::string& modelKind() const { return m_modelKind; }
  const std::vector<std::string>& inputs() const { return m_inputs; }
  // The input values sent with the last run (0.0 before the first).
  const std::vector<double>& cachedInputs() const { return m_cache; }
  double prediction() const { return m_prediction; }
  // dp/dx of the last successful run by input name (0.0 before it).
  const std::map<std::string, double>& derivatives() const { return m_derivs; }
  // Network runs so far, failed ones included.
  unsigned long runs() const { return m_runs; }

 private:
  // Runs the network when the cache is not current; the run's status, 0 when
  // nothing had to run.
  int refresh();

  std::string m_modelKind;
  std::string m_output;
  std::vector<std::string> m_inputs;
  // "ALPHA_" y then "GAMMA_" y "_" x_i per input (read by the residual and
  // the Jacobian), and "BETA_" y (the residual only).
  AttrGroup m_factors;
  AttrRef m_beta;
  std::vector<double> m_cache;
  double m_prediction = 0.0;
  // dp/dx by input name; the inputs come from a set, so the map's order is
  // the list's and the run's derivatives go in by position.
  std::map<std::string, double> m_derivs;
  std::vector<double> m_dpdx;  // the same by list entry
  std::vector<double> m_run;   // a run's derivatives before they are accepted
  ROEqnSupplier::NetworkRunner m_runner;
  bool m_cacheValid = false;  // false before the first run and after a failed one
  unsigned long m_runs = 0;
};
