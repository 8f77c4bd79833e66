#include "equations/balance_equations.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <span>
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
    : ListedEqn("EQN_" + stream + suffix + "MASS") {
  m_varNames = {stream + suffix + "MASS", stream + suffix, stream + "MASS"};
  setOrderKey(1000);
}

int _eqCompMass_FromFrac::res(OneBased<double> residuals) {
  return putResidual(residuals, value(kComp) * value(kStreamMass) / 100.0 - value(kCompMass));
}

int _eqCompMass_FromFrac::jac(OneBased<double> values) {
  return putPartials(values, {-1.0, value(kStreamMass) / 100.0, value(kComp) / 100.0});
}

int _eqCompMass_FromFrac::init() { return putStartAt(kCompMass, value(kComp) * value(kStreamMass) / 100.0); }

// ---- _eqRelCompConsumer ----------------------------------------------------------

_eqRelCompConsumer::_eqRelCompConsumer(const std::string& stream, const std::string& suffix, std::uint32_t mode,
                                       const std::string& eqnName)
    : ListedEqn(eqnName), m_mode(mode) {
  m_varNames = {stream + "REL" + suffix};
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
    : _eqRelCompConsumer(stream, suffix, mode, "EQN_" + stream + suffix) {
  m_varNames.push_back(feedStream + suffix);
  m_varNames.push_back(stream + suffix);
  setOrderKey(1000);
}

int _eqCompConv::res(OneBased<double> residuals) {
  return putResidual(residuals, value(kFeedComp) * g(value(kRel)) - value(kComp));
}

int _eqCompConv::jac(OneBased<double> values) {
  const double rel = value(kRel);
  return putPartials(values, {value(kFeedComp) * gPrime(rel), g(rel), -1.0});
}

int _eqCompConv::init() { return putStartAt(kComp, value(kFeedComp) * g(value(kRel))); }

// ---- _eqCompMass_InlineCompFrac ----------------------------------------------------

_eqCompMass_InlineCompFrac::_eqCompMass_InlineCompFrac(const std::string& stream, const std::string& suffix,
                                                       std::uint32_t mode)
    : _eqRelCompConsumer(stream, suffix, mode, "EQN_" + stream + suffix + "MASS") {
  m_varNames.push_back(stream + suffix + "MASS");
  m_varNames.push_back(stream + "MASS");
  m_varNames.push_back("FEED" + suffix);
  setOrderKey(1000);
}

int _eqCompMass_InlineCompFrac::res(OneBased<double> residuals) {
  const double r = g(value(kRel)) * value(kStreamMass) * value(kFeedComp) / 100.0 - value(kCompMass);
  return putResidual(residuals, r);
}

int _eqCompMass_InlineCompFrac::jac(OneBased<double> values) {
  const double rel = value(kRel), mass = value(kStreamMass), feed = value(kFeedComp);
  const double gr = g(rel);
  return putPartials(values, {gPrime(rel) * mass * feed / 100.0, -1.0, gr * feed / 100.0, gr * mass / 100.0});
}

int _eqCompMass_InlineCompFrac::init() {
  return putStartAt(kCompMass, g(value(kRel)) * value(kStreamMass) * value(kFeedComp) / 100.0);
}

// ---- _eqMassBalance ----------------------------------------------------------------

_eqMassBalance::_eqMassBalance(const std::vector<std::string>& streams,
                               const std::unordered_set<std::string>& inlets)
    : ListedEqn("MASS_BAL") {
  // Each mass once, in name order: the order the sums were always taken in.
  std::map<std::string, std::size_t> inlet, outlet;
  for (const std::string& s : streams) {
    const std::string v = s + "MASS";
    (inlets.count(s) ? inlet : outlet).emplace(v, m_varNames.size());
    m_varNames.push_back(v);
  }
  for (const auto& entry : inlet) m_inlets.push_back(entry.second);
  for (const auto& entry : outlet) m_outlets.push_back(entry.second);
  for (const std::string& v : m_varNames) m_signs.push_back(inlet.count(v) ? 1.0 : -1.0);
  setClosingStream(m_closing);
  setOrderKey(2550);
}

void _eqMassBalance::setClosingStream(const std::string& stream) {
  m_closing = stream;
  m_closingEntry = kNone;
  for (std::size_t e : m_outlets)
    if (m_varNames[e] == stream + "MASS") m_closingEntry = e;
}

int _eqMassBalance::res(OneBased<double> residuals) {
  double in = 0.0, out = 0.0;
  for (std::size_t e : m_inlets) in += value(e);
  for (std::size_t e : m_outlets) out += value(e);
  return putResidual(residuals, in - out);
}

int _eqMassBalance::jac(OneBased<double> values) { return putDerivatives(values, m_signs); }

int _eqMassBalance::init() {
  // The mass factor that scales the yields so that the outlets other than the
  // closing stream take up what enters less what the closing stream carries.
  double in = 0.0, out = 0.0, closing = 0.0;
  for (std::size_t e : m_inlets) in += value(e);
  for (std::size_t e : m_outlets) {
    if (e == m_closingEntry)
      closing = value(e);
    else
      out += value(e);
  }
  return putStart(m_massFactor, (in - closing) / (out - closing));
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
      m_suffix(suffix),
      m_closingContent(closingStream + suffix) {
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
    Term term{AttrRef(t.attrName), std::vector<std::string>(t.varNames.begin(), t.varNames.end()), {}};
    std::sort(term.vars.begin(), term.vars.end());
    for (const std::string& v : term.vars) {
      if (m_inlets.count(v) || m_outlets.count(v) || m_coefs.count(v) || added.count(v)) continue;
      m_varNames.push_back(v);
      added.insert(v);
    }
    m_terms.push_back(std::move(term));
  }

  // The same by list entry, for the passes.
  for (const std::string& v : m_inlets) m_inletEntries.push_back(entryOf(v));
  for (const std::string& v : m_outlets) m_outletEntries.push_back(entryOf(v));
  for (const auto& [v, q] : m_coefs) m_coefEntries.emplace_back(entryOf(v), q);
  m_termsOf.resize(m_varNames.size());
  for (std::size_t k = 0; k < m_terms.size(); ++k) {
    Term& term = m_terms[k];
    for (const std::string& v : term.vars) term.entries.push_back(entryOf(v));
    for (std::size_t i = 0; i < m_varNames.size(); ++i)
      if (std::find(term.vars.begin(), term.vars.end(), m_varNames[i]) != term.vars.end()) m_termsOf[i].push_back(k);
  }
  for (const std::string& x : m_varNames) {
    m_firstEntries.push_back(entryOf(x));
    double dx = 0.0;
    if (m_inlets.count(x)) dx += 1.0;
    if (m_outlets.count(x)) dx -= 1.0;
    if (const auto q = m_coefs.find(x); q != m_coefs.end()) dx += q->second;
    m_fixedDerivs.push_back(dx);
  }
  setOrderKey(2525);
}

std::size_t _eqCompBalance::entryOf(const std::string& name) const {
  return static_cast<std::size_t>(std::find(m_varNames.begin(), m_varNames.end(), name) - m_varNames.begin());
}

bool _eqCompBalance::attributesReachable() const { return m_terms.empty() || attributeMap() != nullptr; }

double _eqCompBalance::attribute(const AttrRef& attr) const { return attr.value(attributes()); }

double _eqCompBalance::termValue(const Term& term) const {
  double t = attribute(term.attr);
  for (std::size_t e : term.entries) t *= value(e);
  return t;
}

int _eqCompBalance::res(OneBased<double> residuals) {
  if (!attributesReachable()) return 1;
  double r = 0.0;
  for (std::size_t e : m_inletEntries) r += value(e);
  for (std::size_t e : m_outletEntries) r -= value(e);
  for (const auto& [e, q] : m_coefEntries) r += q * value(e);
  for (const Term& term : m_terms) r -= termValue(term);
  return putResidual(residuals, r);
}

int _eqCompBalance::jac(OneBased<double> values) {
  if (!attributesReachable()) return 1;
  const std::span<double> d = workVector(m_varNames.size());
  for (std::size_t i = 0; i < m_varNames.size(); ++i) {
    double dx = m_fixedDerivs[i];
    // A consumer term's derivative is its attribute times the product of its
    // other variables: exact also where x itself is zero.
    const std::size_t x = m_firstEntries[i];
    for (std::size_t k : m_termsOf[i]) {
      const Term& term = m_terms[k];
      double others = attribute(term.attr);
      for (std::size_t e : term.entries)
        if (e != x) others *= value(e);
      dx -= others;
    }
    d[i] = dx;
  }
  return putDerivatives(values, d);
}

int _eqCompBalance::init() {
  if (!attributesReachable()) return 1;
  // Without a variable for the closing stream there is nothing to solve for.
  if (m_target < 0) return 1;
  const std::size_t t = m_firstEntries[static_cast<std::size_t>(m_target)];
  double s = 0.0;
  for (std::size_t e : m_inletEntries)
    if (e != t) s += value(e);
  for (std::size_t e : m_outletEntries)
    if (e != t) s -= value(e);
  for (const Term& term : m_terms) s -= termValue(term);
  for (const auto& [e, q] : m_coefEntries)
    if (e != t) s += q * value(e);
  double start = 0.0;
  if (const auto q = m_coefs.find(m_varNames[t]); q != m_coefs.end())
    start = s / std::abs(q->second);
  else
    start = s / (getValue(m_closingContent) / 100.0);
  if (!std::isfinite(start)) return 0;  // a zero divisor: the variable keeps its value
  return putStartAt(static_cast<std::size_t>(m_target), std::max(start, 0.0));
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
