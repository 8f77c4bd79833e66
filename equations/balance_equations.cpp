#include "equations/balance_equations.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "core/helpers.h"

namespace ROEqnSupplier {

namespace {

// Below this size an inline fraction counts as zero: the stream carries none
// of the component and is left out of the component balance.
constexpr double kZeroFraction = 1e-20;
// The floor value of the relative contents in the smooth mode.
constexpr double kRelFloor = 1e-19;

}  // namespace

// ---- _eqCompMass_FromFrac ------------------------------------------------------

_eqCompMass_FromFrac::_eqCompMass_FromFrac(const std::string& stream, const std::string& suffix)
    : ListedEqn("EQN_" + stream + suffix + "MASS"),
      m_compMass(stream + suffix + "MASS"),
      m_comp(stream + suffix),
      m_streamMass(stream + "MASS") {
  m_varNames = {m_compMass, m_comp, m_streamMass};
  setOrderKey(1000);
}

int _eqCompMass_FromFrac::res(OneBased<double> residuals) {
  return putResidual(residuals, value(m_comp) * value(m_streamMass) / 100.0 - value(m_compMass));
}

int _eqCompMass_FromFrac::jac(OneBased<double> values) {
  return putPartials(values, {-1.0, value(m_streamMass) / 100.0, value(m_comp) / 100.0});
}

int _eqCompMass_FromFrac::init() { return putStart(m_compMass, value(m_comp) * value(m_streamMass) / 100.0); }

// ---- _eqRelCompConsumer ----------------------------------------------------------

_eqRelCompConsumer::_eqRelCompConsumer(const std::string& stream, const std::string& suffix, std::uint32_t mode,
                                       const std::string& eqnName)
    : ListedEqn(eqnName), m_mode(mode), m_relName(stream + "REL" + suffix) {
  m_varNames = {m_relName};
}

double _eqRelCompConsumer::g(double x) const {
  if (m_mode == 0) return x < 0.0 ? 0.0 : x;
  return smoothFloor(x, kRelFloor).value;
}

double _eqRelCompConsumer::gPrime(double x) const {
  if (m_mode == 0) return x <= 0.0 ? 0.0 : 1.0;
  return smoothFloor(x, kRelFloor).dx;
}

// ---- _eqCompConv ---------------------------------------------------------------

_eqCompConv::_eqCompConv(const std::string& stream, const std::string& suffix, const std::string& feedStream,
                         std::uint32_t mode)
    : _eqRelCompConsumer(stream, suffix, mode, "EQN_" + stream + suffix),
      m_feedComp(feedStream + suffix),
      m_comp(stream + suffix) {
  m_varNames.push_back(m_feedComp);
  m_varNames.push_back(m_comp);
  setOrderKey(1000);
}

int _eqCompConv::res(OneBased<double> residuals) {
  return putResidual(residuals, value(m_feedComp) * g(value(m_relName)) - value(m_comp));
}

int _eqCompConv::jac(OneBased<double> values) {
  const double rel = value(m_relName);
  return putPartials(values, {value(m_feedComp) * gPrime(rel), g(rel), -1.0});
}

int _eqCompConv::init() { return putStart(m_comp, value(m_feedComp) * g(value(m_relName))); }

// ---- _eqCompMass_InlineCompFrac ----------------------------------------------------

_eqCompMass_InlineCompFrac::_eqCompMass_InlineCompFrac(const std::string& stream, const std::string& suffix,
                                                       std::uint32_t mode)
    : _eqRelCompConsumer(stream, suffix, mode, "EQN_" + stream + suffix + "MASS"),
      m_compMass(stream + suffix + "MASS"),
      m_streamMass(stream + "MASS"),
      m_feedComp("FEED" + suffix) {
  m_varNames.push_back(m_compMass);
  m_varNames.push_back(m_streamMass);
  m_varNames.push_back(m_feedComp);
  setOrderKey(1000);
}

int _eqCompMass_InlineCompFrac::res(OneBased<double> residuals) {
  const double r = g(value(m_relName)) * value(m_streamMass) * value(m_feedComp) / 100.0 - value(m_compMass);
  return putResidual(residuals, r);
}

int _eqCompMass_InlineCompFrac::jac(OneBased<double> values) {
  const double rel = value(m_relName), mass = value(m_streamMass), feed = value(m_feedComp);
  const double gr = g(rel);
  return putPartials(values, {gPrime(rel) * mass * feed / 100.0, -1.0, gr * feed / 100.0, gr * mass / 100.0});
}

int _eqCompMass_InlineCompFrac::init() {
  return putStart(m_compMass, g(value(m_relName)) * value(m_streamMass) * value(m_feedComp) / 100.0);
}

// ---- _eqMassBalance ----------------------------------------------------------------

_eqMassBalance::_eqMassBalance(const std::vector<std::string>& streams,
                               const std::unordered_set<std::string>& inlets)
    : ListedEqn("MASS_BAL") {
  for (const std::string& s : streams) {
    m_varNames.push_back(s + "MASS");
    (inlets.count(s) ? m_inlets : m_outlets).insert(s + "MASS");
  }
  setOrderKey(2550);
}

int _eqMassBalance::res(OneBased<double> residuals) {
  double in = 0.0, out = 0.0;
  for (const std::string& v : m_inlets) in += value(v);
  for (const std::string& v : m_outlets) out += value(v);
  return putResidual(residuals, in - out);
}

int _eqMassBalance::jac(OneBased<double> values) {
  std::vector<double> d;
  d.reserve(m_varNames.size());
  for (const std::string& v : m_varNames) d.push_back(m_inlets.count(v) ? 1.0 : -1.0);
  return putDerivatives(values, d);
}

int _eqMassBalance::init() {
  // The mass factor that scales the yields so that the outlets other than the
  // closing stream take up what enters less what the closing stream carries.
  double in = 0.0, out = 0.0, closing = 0.0;
  for (const std::string& v : m_inlets) in += value(v);
  for (const std::string& v : m_outlets) {
    if (v == m_closing + "MASS")
      closing = value(v);
    else
      out += value(v);
  }
  return putStart("MASSFACTOR", (in - closing) / (out - closing));
}

// ---- _eqCompBalance --------------------------------------------------------------------

std::string componentBalanceName(const std::string& suffix) {
  if (suffix == "SUL") return "SULFUR_BAL";
  if (suffix == "HYD") return "HYDROGEN_BAL";
  return "_BAL";
}

_eqCompBalance::_eqCompBalance(EqnContext context, const ReactionSpec& spec,
                               const std::unordered_set<std::string>& inlets, const std::string& closingStream,
                               const std::string& suffix,
                               const std::unordered_map<std::string, double>& inlineFracs,
                               const std::vector<ConsumerTerm>& consumerTerms, const std::string& massWord)
    : ListedEqn(componentBalanceName(suffix), context),
      m_massWord(massWord),
      m_closing(closingStream),
      m_suffix(suffix) {
  for (const std::string& s : spec.streams) {
    bool appended = false;
    const bool inlet = inlets.count(s) != 0;
    const auto frac = inlineFracs.find(s);
    if (frac != inlineFracs.end()) {
      // The component mass is the share q of the stream mass.
      if (std::abs(frac->second) >= kZeroFraction) {
        const std::string v = s + m_massWord;
        m_varNames.push_back(v);
        m_coefs[v] = inlet ? frac->second : -frac->second;
        appended = true;
      }
    } else {
      const std::string v = s + suffix + "MASS";
      m_varNames.push_back(v);
      (inlet ? m_inlets : m_outlets).insert(v);
      appended = true;
    }
    if (s == m_closing && appended) m_target = static_cast<int>(m_varNames.size()) - 1;
  }
  std::set<std::string> added;
  for (const ConsumerTerm& t : consumerTerms) {
    Term term{AttrRef(t.attrName), std::vector<std::string>(t.varNames.begin(), t.varNames.end())};
    std::sort(term.vars.begin(), term.vars.end());
    for (const std::string& v : term.vars) {
      if (m_inlets.count(v) || m_outlets.count(v) || m_coefs.count(v) || added.count(v)) continue;
      m_varNames.push_back(v);
      added.insert(v);
    }
    m_terms.push_back(std::move(term));
  }
  setOrderKey(2525);
}

bool _eqCompBalance::attributesReachable() const { return m_terms.empty() || attributeMap() != nullptr; }

double _eqCompBalance::attribute(const AttrRef& attr) const { return attr.value(attributes()); }

double _eqCompBalance::termValue(const Term& term) const {
  double t = attribute(term.attr);
  for (const std::string& v : term.vars) t *= value(v);
  return t;
}

int _eqCompBalance::res(OneBased<double> residuals) {
  if (!attributesReachable()) return 1;
  double r = 0.0;
  for (const std::string& v : m_inlets) r += value(v);
  for (const std::string& v : m_outlets) r -= value(v);
  for (const auto& [v, q] : m_coefs) r += q * value(v);
  for (const Term& term : m_terms) r -= termValue(term);
  return putResidual(residuals, r);
}

int _eqCompBalance::jac(OneBased<double> values) {
  if (!attributesReachable()) return 1;
  std::vector<double> d;
  d.reserve(m_varNames.size());
  for (const std::string& x : m_varNames) {
    double dx = 0.0;
    if (m_inlets.count(x)) dx += 1.0;
    if (m_outlets.count(x)) dx -= 1.0;
    if (const auto q = m_coefs.find(x); q != m_coefs.end()) dx += q->second;
    // A consumer term's derivative is its attribute times the product of its
    // other variables: exact also where x itself is zero.
    for (const Term& term : m_terms) {
      if (std::find(term.vars.begin(), term.vars.end(), x) == term.vars.end()) continue;
      double others = attribute(term.attr);
      for (const std::string& v : term.vars)
        if (v != x) others *= value(v);
      dx -= others;
    }
    d.push_back(dx);
  }
  return putDerivatives(values, d);
}

int _eqCompBalance::init() {
  if (!attributesReachable()) return 1;
  // Without a variable for the closing stream there is nothing to solve for.
  if (m_target < 0) return 1;
  const std::string& t = m_varNames[static_cast<std::size_t>(m_target)];
  double s = 0.0;
  for (const std::string& v : m_inlets)
    if (v != t) s += value(v);
  for (const std::string& v : m_outlets)
    if (v != t) s -= value(v);
  for (const Term& term : m_terms) s -= termValue(term);
  for (const auto& [v, q] : m_coefs)
    if (v != t) s += q * value(v);
  double start = 0.0;
  if (const auto q = m_coefs.find(t); q != m_coefs.end())
    start = s / std::abs(q->second);
  else
    start = s / (value(m_closing + m_suffix) / 100.0);
  if (!std::isfinite(start)) return 0;  // a zero divisor: the variable keeps its value
  return putStart(t, std::max(start, 0.0));
}

// ---- Builder -------------------------------------------------------------------------

EqnList buildBalanceEquations(EqnContext context, const ReactionSpec& spec) {
  const std::string& f = spec.feedStream;
  const std::string& h = spec.secondStream;
  const std::string& c = spec.compSuffix;
  const auto mode = static_cast<std::uint32_t>(spec.consumerMode);
  EqnList list;
  for (const std::string& s : spec.streams) {
    const bool inlineFrac = spec.inlineCompFracs.count(s) != 0;
    if (s == f) {
      list.push_back(std::make_unique<_eqCompMass_FromFrac>(s, c));
    } else if (s == h) {
      if (!inlineFrac) list.push_back(std::make_unique<_eqCompMass_FromFrac>(s, c));
    } else {
      list.push_back(buildFractionEquations(s, kBasisMass, f, c, true));
      if (inlineFrac) continue;
      if (spec.compConvFlag) {
        list.push_back(std::make_unique<_eqCompConv>(s, c, f, mode));
        if (spec.inlineFracFlag)
          list.push_back(std::make_unique<_eqCompMass_InlineCompFrac>(s, c, mode));
        else
          list.push_back(std::make_unique<_eqCompMass_FromFrac>(s, c));
      } else {
        list.push_back(std::make_unique<_eqCompMass_FromFrac>(s, c));
      }
    }
  }
  auto massBalance = std::make_unique<_eqMassBalance>(spec.streams, spec.inletStreams);
  massBalance->setClosingStream(h);
  list.push_back(std::move(massBalance));
  list.push_back(std::make_unique<_eqCompBalance>(context, spec, spec.inletStreams, h, c, spec.inlineCompFracs,
                                                  spec.consumerTerms, "MASS"));
  return list;
}

}  // namespace ROEqnSupplier
