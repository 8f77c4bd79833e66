#include "equations/nn_equations.h"

#include <cmath>
#include <cstring>
#include <utility>

#include "core/helpers.h"

namespace ROEqnSupplier {

namespace {

// ASCII comparison regardless of case: how the runner matches tags to inputs
// (both names in their buffers).
bool sameNameNoCase(const char* a, const char* b) {
  const std::size_t n = strnlen(a, DIV_NAME_BUF);
  if (n != strnlen(b, DIV_NAME_BUF)) return false;
  for (std::size_t i = 0; i < n; ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// Closes the runner on every way out of a run, a throwing call included.
struct CloseOnExit {
  DIVeduded& runner;
  ~CloseOnExit() {
    try {
      runner.Close();
    } catch (...) {
    }
  }
};

}  // namespace

// ---- Attribute look-up ----------------------------------------------------------

AttrGroup tuningFactors(const std::string& output, std::span<const std::string> inputs) {
  constexpr std::string_view kAlpha = "ALPHA_", kGamma = "GAMMA_", kJoin = "_";
  std::size_t text = kAlpha.size() + output.size();
  for (const std::string& x : inputs) text += kGamma.size() + output.size() + kJoin.size() + x.size();
  AttrGroup factors;
  factors.reserve(inputs.size() + 1, text);
  factors.add({kAlpha, output});
  for (const std::string& x : inputs) factors.add({kGamma, output, kJoin, x});
  return factors;
}

ROMAttr* findAttrValue(EqnContext context, const std::string& name) {
  if (!context || !*context) return nullptr;
  ROMAttr* record = at_or_throw(**context, name);
  if (!record) throw std::out_of_range(kInvalidMapKey);
  return record;
}

ROMAttr* findAdjustAttrValue(EqnContext context, const std::string& output, const std::string& kind) {
  return findAttrValue(context, kind + "_" + output);
}

ROMAttr* findAdjustAttrValue(EqnContext context, const std::string& output, const std::string& input,
                             const std::string& kind) {
  if (kind == "GAMMA") return findAttrValue(context, "GAMMA_" + output + "_" + input);
  return findAttrValue(context, kind + "_" + output);
}

// ---- NetworkRunner ----------------------------------------------------------------

NetworkRunner::NetworkRunner(const std::string& modelKind, const std::string& output,
                             const std::vector<std::string>& inputs)
    : m_runner(std::make_unique<DIVeduded>()),
      m_output(output),
      m_file(networkFileName(modelKind, output)),
      m_folder(networkFolderName(modelKind)),
      m_names(inputs.size()),
      m_d(inputs.size(), 0.0) {
  for (std::size_t i = 0; i < inputs.size(); ++i)
    if (!copyBounded(m_names.buffers[i].data(), DIV_NAME_BUF, inputs[i])) m_usable = false;
  if (output.empty() || output.size() >= static_cast<std::size_t>(DIV_NAME_BUF)) m_usable = false;
}

NetworkRunner::~NetworkRunner() = default;

int NetworkRunner::run(const std::vector<double>& values, bool strictTags, double& prediction,
                       std::vector<double>& derivs) {
  if (!m_usable || values.size() != m_names.size()) return 1;
  try {
    DIVeduded& r = *m_runner;
    if (!m_runnerSet) configureRunnerWith(r, m_output, m_file, m_folder);
    m_runnerSet = false;  // until this run succeeds
    r.SetInputs(m_names.pointers.data(), const_cast<double*>(values.data()), static_cast<int>(values.size()));
    CloseOnExit closer{r};
    if (const int status = openAndRun(r); status != 0) return status;
    const double p = r.m_dResult;
    if (!std::isfinite(p)) return 1;

    TagDerivatives& derivatives = m_tags;
    if (!readTagDerivatives(r, derivatives)) return 1;

    // Inputs the network does not depend on have derivative 0.
    std::vector<double>& d = m_d;
    d.assign(m_names.size(), 0.0);
    const std::size_t tags = derivatives.values.size();
    // Both lists checked: a growth of the matches that ran out of memory
    // after the texts had grown is made again.
    if (m_tagTexts.size() != tags || m_tagInputs.size() != tags) {
      m_tagTexts.assign(tags, std::string());
      m_tagInputs.assign(tags, -1);
    }
    for (std::size_t t = 0; t < tags; ++t) {
      const char* tag = derivatives.tags.buffers[t].data();
      std::string& seen = m_tagTexts[t];
      if (seen.empty() || std::strncmp(tag, seen.c_str(), DIV_NAME_BUF) != 0) {
        int found = -1;
        for (std::size_t i = 0; i < m_names.size(); ++i)
          if (sameNameNoCase(tag, m_names.buffers[i].data())) found = static_cast<int>(i);
        seen.assign(tag, strnlen(tag, DIV_NAME_BUF));
        m_tagInputs[t] = found;
      }
      const int matched = m_tagInputs[t];
      if (matched < 0) {
        if (strictTags) return 1;
        continue;
      }
      if (!std::isfinite(derivatives.values[t])) return 1;
      d[static_cast<std::size_t>(matched)] = derivatives.values[t];
    }
    prediction = p;
    derivs = d;
    m_runnerSet = true;
    return 0;
  } catch (...) {
    return 1;  // a runner that throws (a COM error included) is a failed run
  }
}

// ---- NNDepEqn -------------------------------------------------------------------

NNDepEqn::NNDepEqn(EqnContext context, std::string output, std::vector<std::string> inputs)
    : roeqn2("Y_" + output, context),
      m_output(std::move(output)),
      m_factors(tuningFactors(m_output, inputs)),
      m_beta("BETA_" + m_output),
      m_scales(inputs.size() + 1),
      m_dPdx(inputs.size(), 0.0),
      m_raw(inputs.size(), 0.0),
      m_z(inputs.size(), 0.0),
      m_jacSums(inputs.size() + 1, 0.0) {
  // The inputs, then the output: the entries of the row.
  m_varNames.reserve(inputs.size() + 1);
  for (std::string& x : inputs) m_varNames.push_back(std::move(x));
  m_varNames.push_back(m_output);
  setOrderKey(kOrderKey);
}

void NNDepEqn::setScales(const ScaleMap& scales) {
  for (std::size_t i = 0; i < m_varNames.size(); ++i)
    if (const auto it = scales.find(m_varNames[i]); it != scales.end()) m_scales[i] = it->second;
  m_plainInputs = true;
  for (std::size_t i = 0; i < inputCount(); ++i)
    if (m_scales[i].scale != 1.0 || m_scales[i].offset != 0.0 || std::signbit(m_scales[i].offset))
      m_plainInputs = false;
  // The last run was made (and its derivatives scaled) with the old pairs,
  // which no change test compares: the next evaluation runs again.
  invalidate();
}

void NNDepEqn::readInputs(bool keepRaw) {
  valuesAt(0, inputCount(), m_z.data());
  if (keepRaw) m_raw = m_z;
  // x * 1 is x exactly, so the plain pair needs no table: x + 0 as x * 1 + 0.
  if (m_plainInputs) {
    for (double& z : m_z) z += 0.0;
  } else {
    for (std::size_t i = 0; i < inputCount(); ++i) m_z[i] = m_z[i] * m_scales[i].scale + m_scales[i].offset;
  }
}

bool NNDepEqn::readInputsSameAs(const std::vector<double>& last) {
  const std::size_t n = inputCount();
  valuesAt(0, n, m_z.data());
  bool same = last.size() == m_z.size();
  const double* before = same ? last.data() : nullptr;
  // The same arithmetic as readInputs, each value compared as it is made.
  if (m_plainInputs) {
    for (std::size_t i = 0; i < n; ++i) {
      m_z[i] += 0.0;
      same = same && m_z[i] == before[i];
    }
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      m_z[i] = m_z[i] * m_scales[i].scale + m_scales[i].offset;
      same = same && m_z[i] == before[i];
    }
  }
  return same;
}

double NNDepEqn::adjusted() const {
  const ROMAttrMap& attrs = attributes();
  m_factors.bind(attrs);
  double v = m_factors.value(0) * m_prediction + m_beta.value(attrs);
  for (std::size_t i = 0; i < inputCount(); ++i) v += m_factors.value(i + 1) * m_z[i];
  return v;
}

int NNDepEqn::res(OneBased<double> residuals) {
  if (!m_configured || !attributeMap()) return 1;
  try {
    const int status = refresh(false);
    if (status != 0 && !residualAfterFailure()) return status;
    const ScalePair& sy = m_scales.back();
    const double r = adjusted() - sy.scale * valueAt(outputEntry()) + sy.offset;
    writeResidual(residuals, r);
    if (status != 0) return status;
    return std::isfinite(r) ? 0 : 1;
  } catch (...) {
    return 1;
  }
}

int NNDepEqn::jac(OneBased<double> values) {
  if (!m_configured || !attributeMap()) return 1;
  try {
    const int status = refresh(false);
    m_factors.bind(attributes());
    const double alpha = m_factors.value(0);
    // A variable listed twice gets the sum of its terms (one non-zero per
    // name, that of its group: the later entry).
    const std::vector<std::size_t>& group = entryGroups();
    const std::size_t n = inputCount();
    const auto term = [&](std::size_t i) {
      return alpha * m_dPdx[i] + (m_plainInputs ? m_factors.value(i + 1) : m_factors.value(i + 1) * m_scales[i].scale);
    };
    double* sums = m_jacSums.data();
    if (distinctEntries()) {
      // Each entry its own group: the same sums (0 + term), without the
      // scatter through the groups.
      for (std::size_t i = 0; i < n; ++i) sums[i] = 0.0 + term(i);
      sums[n] = 0.0 + -m_scales.back().scale;
    } else {
      for (std::size_t i = 0; i <= n; ++i) sums[group[i]] = 0.0;
      for (std::size_t i = 0; i < n; ++i) sums[group[i]] += term(i);
      sums[group[n]] += -m_scales.back().scale;
    }
    int failed = status != 0 ? 1 : 0;
    double* row = jacobianRow(values);
    for (std::size_t i = 0; i <= n; ++i) {
      if (group[i] != i) continue;
      const double value = m_jacSums[i];
      if (row)
        row[i] = value;
      else if (setJacAt(values, i, value) != 0)
        failed = 1;
      if (!std::isfinite(value)) failed = 1;
    }
    return failed;
  } catch (...) {
    return 1;
  }
}

int NNDepEqn::init() {
  if (!m_configured || !attributeMap()) return 1;
  try {
    // A failed run prints nothing: the host names the file from the runner's record.
    if (const int status = refresh(true); status != 0) return status;
    const ScalePair& sy = m_scales.back();
    // The value at which V - scale_y y + offset_y is zero.
    // (V + 0) / 1 is V itself for the default pair.
    const double y = (adjusted() + sy.offset) / sy.scale;
    return setVarValueAt(outputEntry(), y);
  } catch (...) {
    return 1;
  }
}

// ---- _eqNNDep -------------------------------------------------------------------

_eqNNDep::_eqNNDep(EqnContext context, const std::string& output, const std::string& modelKind,
                   const std::vector<std::string>& inputs)
    : NNDepEqn(context, output, inputs),
      m_modelKind(modelKind),
      m_net(modelKind, output, inputs),
      m_lastSent(inputs.size(), 0.0),
      m_dz(inputs.size(), 0.0) {
  if (!m_net.usable()) refuse();
}

int _eqNNDep::refresh(bool force) {
  const bool same = readInputsSameAs(m_lastSent);
  const std::vector<double>& z = scaledNow();
  if (!force && cacheValid() && same) return 0;
  double p = 0.0;
  const int status = m_net.run(z, true, p, m_dz);
  if (status != 0) {
    invalidate();
    return status;
  }
  // The network's derivatives are by the scaled inputs: d/dx_i = d/dz_i x scale_i.
  for (std::size_t i = 0; i < m_dz.size(); ++i) m_dz[i] *= scaleOf(i).scale;
  m_lastSent = z;
  accept(p, m_dz);
  return 0;
}

// ---- _eqNNDep_OverCrack ------------------------------------------------------------

_eqNNDep_OverCrack::_eqNNDep_OverCrack(EqnContext context, const std::string& output, const std::string& modelKind,
                                       const std::vector<std::string>& inputs, const OverCrackSpec& spec)
    : NNDepEqn(context, output, inputs),
      m_spec(spec),
      m_factor(spec.factorAttr),
      m_rate(spec.rateAttr),
      m_total(modelKind, spec.totalOutput, inputs),
      m_diff(modelKind, spec.diffOutput, inputs) {
  // The runner reads the last of repeated names, so the factor goes there too.
  for (std::size_t i = 0; i < inputs.size(); ++i)
    if (inputs[i] == spec.input) m_k = static_cast<int>(i);
  if (m_k < 0 || !m_total.usable() || !m_diff.usable()) refuse();
}

int _eqNNDep_OverCrack::refresh(bool force) {
  readInputs(true);
  const std::vector<double>& x = rawNow();
  const double F = m_factor.value(attributes());
  const double R = m_rate.value(attributes());
  if (!force && cacheValid() && x == m_lastRaw && F == m_lastFactor && R == m_lastRate) return 0;

  std::vector<double>& z = m_sent;
  z = scaledNow();
  double T = 0.0, D = 0.0;
  if (const int status = m_total.run(z, false, T, m_dT); status != 0) {
    invalidate();
    return status;
  }
  const auto k = static_cast<std::size_t>(m_k);
  z[k] *= F;
  if (const int status = m_diff.run(z, false, D, m_dD); status != 0) {
    invalidate();
    return status;
  }
  // P = T(z) - R D(z'), z'_k = F z_k: the difference term of input k carries F.
  m_d.resize(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double s = scaleOf(i).scale;
    m_d[i] = s * m_dT[i] - R * s * m_dD[i] * (i == k ? F : 1.0);
  }
  const double P = T - R * D;
  if (!std::isfinite(P)) {
    invalidate();
    return 1;
  }
  m_lastRaw = x;
  m_lastFactor = F;
  m_lastRate = R;
  accept(P, m_d);
  return 0;
}

// ---- Builder --------------------------------------------------------------------

EqnPtr buildNNDepEquations(EqnContext context, const std::string& output, const std::string& modelKind,
                           const std::vector<std::string>& inputs, const NNEquationParams& params) {
  std::unique_ptr<NNDepEqn> eqn;
  if (const auto it = params.overcrack.find(output); it != params.overcrack.end())
    eqn = std::make_unique<_eqNNDep_OverCrack>(context, output, modelKind, inputs, it->second);
  else
    eqn = std::make_unique<_eqNNDep>(context, output, modelKind, inputs);
  eqn->setScales(params.scales);
  return eqn;
}

}  // namespace ROEqnSupplier
