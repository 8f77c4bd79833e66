// The network-dependent equations of the second generation. Every network
// output y is one equation object "Y_" y that owns its runner(s) for its whole
// life, sends the network its (scaled) inputs, and ties the output variable to
// the adjusted prediction
//
//   V = ALPHA_y x P + BETA_y + sum_i GAMMA_y_x_i x z_i,   z_i = x_i x scale_i + offset_i
//   residual = V - scale_y x y + offset_y
//
// with the tuning attributes of the block read at every evaluation (through
// references that look their names up again only when the attribute map
// changed).
// _eqNNDep runs one network; _eqNNDep_OverCrack combines the total and the
// difference networks of an FCC naphtha cut, P = T - RATE x D, the difference
// network seeing its overcrack input multiplied by PARAM.
//
// A network runs only when what it depends on has changed since its last
// successful run (exact comparison): the first residual or Jacobian always
// runs it, a Jacobian right after a residual at the same point runs nothing,
// and after a failed run the cache is invalid, so the failure is reported
// again at the same point instead of a stale prediction passing for success.
// No exception leaves these objects: a runner that throws, a missing tuning
// attribute or variable gives status 1.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/attr_map.h"
#include "core/network_runner.h"
#include "equations/roeqn2.h"
#include "equations/suppliers.h"

namespace ROEqnSupplier {

// The attribute record of a name in the block's attribute map: null when the
// context holds no map; a missing name raises "invalid map<K, T> key".
ROMAttr* findAttrValue(EqnContext context, const std::string& name);
// findAttrValue of kind "_" output ("ALPHA_y", "BETA_y").
ROMAttr* findAdjustAttrValue(EqnContext context, const std::string& output, const std::string& kind);
// findAttrValue of "GAMMA_" output "_" input when kind is exactly "GAMMA",
// else of kind "_" output.
ROMAttr* findAdjustAttrValue(EqnContext context, const std::string& output, const std::string& input,
                             const std::string& kind);
// "ALPHA_" output, then "GAMMA_" output "_" x for each input: the factors a
// network equation reads in its residual and its Jacobian.
AttrGroup tuningFactors(const std::string& output, std::span<const std::string> inputs);

// One network run through its own runner: configured (output, file
// "<kind>_<output>.zkr", folder "<ZKDir>\<kind>") at its first run and again
// after a failed one, since the runner drops a name it could not copy without
// telling; the input names held in 100-byte buffers, opened and closed around
// every run.
class NetworkRunner {
 public:
  NetworkRunner(const std::string& modelKind, const std::string& output, const std::vector<std::string>& inputs);
  NetworkRunner(const NetworkRunner&) = delete;
  NetworkRunner& operator=(const NetworkRunner&) = delete;
  ~NetworkRunner();

  // False when a name does not fit its 100-byte buffer (names are refused,
  // never cut); such a runner never runs.
  bool usable() const { return m_usable; }

  // The runner keeps its name buffers, its derivative buffers and its work
  // vector between runs: a run at the same input count allocates nothing.

  // Sends the whole input vector (one value per input), opens, runs, reads
  // the prediction and the derivative by each input, closes. Each tag the
  // network reports is the input the runner matched to it (same name
  // regardless of case, the last one when a name repeats). A tag that matches
  // no input fails the run when strictTags is set and is ignored otherwise.
  // 0 on success; else the runner's status, or 1 for a runner that threw or a
  // result that is not finite; prediction and derivs are then unchanged.
  int run(const std::vector<double>& values, bool strictTags, double& prediction, std::vector<double>& derivs);

 private:
  std::unique_ptr<DIVeduded> m_runner;
  std::string m_output, m_file, m_folder;
  bool m_runnerSet = false;  // the runner was configured and has not failed since
  NameBuffers m_names;  // the input names (a usable runner holds each whole)
  TagDerivatives m_tags;    // the derivatives of the last run by tag
  std::vector<double> m_d;  // the same by input
  // The tags of the last run as text, and the input each matched (-1 for
  // none): a run reporting the same tags matches them without comparing.
  std::vector<std::string> m_tagTexts;
  std::vector<int> m_tagInputs;
  bool m_usable = true;
};

// What both forms share: the variable list (inputs, then the output), the
// scale pairs, the prediction and its derivatives by the raw inputs, the
// adjusted value, and the residual, Jacobian and starting-value steps.
class NNDepEqn : public roeqn2 {
 public:
  static constexpr std::uint32_t kOrderKey = 500;

  // The residual V - scale_y y + offset_y. 1 without the block's attribute
  // map (nothing written) or when the network failed.
  int res(OneBased<double> residuals) override;
  // Inputs (ALPHA dP/dx_i + GAMMA_i scale_i), output -scale_y. 1 when the
  // network failed, an entry was not written, or a value is not finite.
  int jac(OneBased<double> values) override;
  // Runs the network and stores the output value that makes the residual
  // zero, (V + offset_y) / scale_y (V itself for the default pair). Returns
  // the run's status; nothing is stored or printed after a failed run.
  int init() override;

  // Stores the pair of every listed variable that the map holds; the next
  // evaluation runs the network(s) again.
  void setScales(const ScaleMap& scales);
  ScalePair scaleOf(std::size_t position) const { return m_scales.at(position); }

  const std::string& output() const { return m_output; }
  // The inputs: the variable list without the output.
  std::span<const std::string> inputs() const { return {m_varNames.data(), inputCount()}; }
  double prediction() const { return m_prediction; }
  // d prediction / d raw input i (scale included).
  const std::vector<double>& derivatives() const { return m_dPdx; }
  // False until the first successful run and after a failed one.
  bool cacheValid() const { return m_cacheValid; }
  // False for an object that was built with a configuration it cannot
  // evaluate (a name over 99 characters, an overcrack input that is not one
  // of its inputs); every evaluation of it reports 1.
  bool configured() const { return m_configured; }

 protected:
  NNDepEqn(EqnContext context, std::string output, std::vector<std::string> inputs);

  // Brings the prediction and its derivatives up to date: runs the
  // network(s) when forced or when what they depend on changed. The status
  // of the run, 0 when nothing had to run. May throw (a missing attribute or
  // variable); the callers turn that into 1.
  virtual int refresh(bool force) = 0;
  // Whether res writes its residual from the previous prediction after a
  // failed run (the single network does, the pair does not).
  virtual bool residualAfterFailure() const = 0;

  // Reads the current values of the inputs (list entries 0 .. n-1) and
  // scales them, keeping the raw values too when asked: the first step of
  // every refresh, so the adjusted value of the same evaluation uses them.
  void readInputs(bool keepRaw);
  // readInputs(false) that also tells whether the scaled inputs equal last
  // (same size, every element ==), in one pass over them.
  bool readInputsSameAs(const std::vector<double>& last);
  const std::vector<double>& rawNow() const { return m_raw; }
  const std::vector<double>& scaledNow() const { return m_z; }

  // A successful run's results; a failed run only invalidates.
  void accept(double prediction, const std::vector<double>& dPdx) {
    m_prediction = prediction;
    m_dPdx = dPdx;
    m_cacheValid = true;
  }
  void invalidate() { m_cacheValid = false; }
  void refuse() { m_configured = false; }

 private:
  // The adjusted value V at the inputs read by the refresh of the same
  // evaluation (throws for a missing attribute).
  double adjusted() const;
  // The output's list entry (after the inputs).
  std::size_t outputEntry() const { return inputCount(); }
  std::size_t inputCount() const { return m_varNames.size() - 1; }

  std::string m_output;
  // "ALPHA_" y, then "GAMMA_" y "_" x_i per input: what both the residual
  // and the Jacobian read; "BETA_" y, which only the residual reads.
  AttrGroup m_factors;
  AttrRef m_beta;
  std::vector<ScalePair> m_scales;  // one per listed variable, the output's last
  bool m_plainInputs = true;        // every input's pair is (1, 0): z = x + 0 exactly
  double m_prediction = 0.0;
  std::vector<double> m_dPdx;
  std::vector<double> m_raw, m_z;  // inputs as read by the last refresh, raw and scaled
  std::vector<double> m_jacSums;   // the Jacobian pass's sums by list entry
  bool m_cacheValid = false;
  bool m_configured = true;
};

// One network per output: "<kind>_<y>.zkr". The change test compares the
// scaled inputs with those last sent.
class _eqNNDep : public NNDepEqn {
 public:
  _eqNNDep(EqnContext context, const std::string& output, const std::string& modelKind,
           const std::vector<std::string>& inputs);

  const std::string& modelKind() const { return m_modelKind; }
  // The scaled inputs of the last successful run (all 0.0 before it).
  const std::vector<double>& lastSent() const { return m_lastSent; }

 protected:
  int refresh(bool force) override;
  bool residualAfterFailure() const override { return true; }

 private:
  std::string m_modelKind;
  NetworkRunner m_net;
  std::vector<double> m_lastSent;
  std::vector<double> m_dz;  // the run's derivatives, by the scaled inputs and then by the raw ones
};

// The total and difference networks of one FCC naphtha cut. The change test
// compares the raw inputs and the values of the PARAM and RATE attributes
// with those of the last successful run.
class _eqNNDep_OverCrack : public NNDepEqn {
 public:
  _eqNNDep_OverCrack(EqnContext context, const std::string& output, const std::string& modelKind,
                     const std::vector<std::string>& inputs, const OverCrackSpec& spec);

  const OverCrackSpec& spec() const { return m_spec; }
  // Position of the overcrack input among the inputs; -1 when it is none of them.
  int overcrackPosition() const { return m_k; }

 protected:
  int refresh(bool force) override;
  bool residualAfterFailure() const override { return false; }

 private:
  OverCrackSpec m_spec;
  int m_k = -1;
  AttrRef m_factor;  // the overcrack PARAM attribute
  AttrRef m_rate;    // the overcrack RATE attribute
  NetworkRunner m_total;
  NetworkRunner m_diff;
  std::vector<double> m_lastRaw;  // empty until the first successful run
  double m_lastFactor = 0.0;
  double m_lastRate = 0.0;
  // Work vectors of a refresh: the inputs sent, each network's derivatives, the pair's.
  std::vector<double> m_sent, m_dT, m_dD, m_d;
};

}  // namespace ROEqnSupplier
