// The balance layer of a second-generation reactor block, built from its
// ReactionSpec by buildBalanceEquations: per stream its yield equation and its
// component equations, then the overall mass balance "MASS_BAL" and one
// component balance ("SULFUR_BAL", "HYDROGEN_BAL").
//
// Names for a stream s, component suffix c ("SUL", "HYD") and feed stream f:
//   s + "MASS"        stream mass flow
//   s + c             component content, percent
//   s + c + "MASS"    component mass flow
//   s + "REL" + c     content relative to the feed's (a network output)
//   f + c             feed component content
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/attr_map.h"
#include "equations/listed_eqn.h"
#include "equations/suppliers.h"

namespace ROEqnSupplier {

// s + c + "MASS" = s + c x s + "MASS" / 100.
class _eqCompMass_FromFrac : public ListedEqn {
 public:
  _eqCompMass_FromFrac(const std::string& stream, const std::string& suffix);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

 private:
  enum Entry : std::size_t { kCompMass, kComp, kStreamMass };  // list order
};

// Base of the objects that read a relative content through its floor g:
// mode 0 clips at zero, any other mode takes the smooth floor at 1e-19 (which
// stays positive, so a consumed component never vanishes from the model).
class _eqRelCompConsumer : public ListedEqn {
 public:
  _eqRelCompConsumer(const std::string& stream, const std::string& suffix, std::uint32_t mode,
                     const std::string& eqnName);

  double g(double x) const;
  double gPrime(double x) const;
  std::uint32_t mode() const { return m_mode; }

 protected:
  // s + "REL" + c, first in the list.
  static constexpr std::size_t kRel = 0;
  std::uint32_t m_mode;
};

// s + c = f + c x g(s + "REL" + c).
class _eqCompConv : public _eqRelCompConsumer {
 public:
  _eqCompConv(const std::string& stream, const std::string& suffix, const std::string& feedStream,
              std::uint32_t mode);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

 private:
  enum Entry : std::size_t { kFeedComp = 1, kComp };  // after the relative content
};

// s + c + "MASS" = g(s + "REL" + c) x s + "MASS" x "FEED" + c / 100; the feed
// content is always "FEED" + c, whatever the feed stream is called.
class _eqCompMass_InlineCompFrac : public _eqRelCompConsumer {
 public:
  _eqCompMass_InlineCompFrac(const std::string& stream, const std::string& suffix, std::uint32_t mode);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

 private:
  enum Entry : std::size_t { kCompMass = 1, kStreamMass, kFeedComp };  // after the relative content
};

// "MASS_BAL": inlet masses - outlet masses; its starting-value step sets the
// block's "MASSFACTOR".
class _eqMassBalance : public ListedEqn {
 public:
  _eqMassBalance(const std::vector<std::string>& streams, const std::unordered_set<std::string>& inlets);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

  void setClosingStream(const std::string& stream);
  const std::string& closingStream() const { return m_closing; }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::string m_closing;
  // Entries of the inlet and outlet masses, each name once, in name order
  // (the order they are summed in); the closing outlet's entry or kNone.
  std::vector<std::size_t> m_inlets, m_outlets;
  std::vector<double> m_signs;  // per entry: +1 inlet, -1 outlet
  std::size_t m_closingEntry = kNone;
  VarRef m_massFactor{"MASSFACTOR"};
};

// The component balance: component masses in minus out, plus the inline
// fractions of streams whose component mass is a fixed share of their mass,
// minus the consumer terms (a block attribute times a product of variables).
// Its starting-value step sets the closing stream's variable.
class _eqCompBalance : public ListedEqn {
 public:
  _eqCompBalance(EqnContext context, const ReactionSpec& spec, const std::unordered_set<std::string>& inlets,
                 const std::string& closingStream, const std::string& suffix,
                 const std::unordered_map<std::string, double>& inlineFracs,
                 const std::vector<ConsumerTerm>& consumerTerms, const std::string& massWord);
  // 1 and nothing written when consumer terms are listed but the context
  // reaches no attribute map.
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

  const std::map<std::string, double>& coefficients() const { return m_coefs; }
  int targetPosition() const { return m_target; }  // -1 when the closing stream has no variable

 private:
  struct Term {
    AttrRef attr;
    std::vector<std::string> vars;  // by name, so evaluation order never depends on hashing
    std::vector<std::size_t> entries;  // the first list entry of each of vars
  };
  bool attributesReachable() const;
  double attribute(const AttrRef& attr) const;
  double termValue(const Term& term) const;
  // The first list entry of a listed name.
  std::size_t entryOf(const std::string& name) const;

  std::set<std::string> m_inlets, m_outlets;
  std::map<std::string, double> m_coefs;
  int m_target = -1;
  std::vector<Term> m_terms;
  std::string m_massWord, m_closing, m_suffix;
  // The same by first list entry, in name order: what the passes walk.
  std::vector<std::size_t> m_inletEntries, m_outletEntries;
  std::vector<std::pair<std::size_t, double>> m_coefEntries;
  std::vector<std::size_t> m_firstEntries;            // per entry: the first entry of its name
  std::vector<double> m_fixedDerivs;                  // per entry: inlet, outlet and share terms
  std::vector<std::vector<std::size_t>> m_termsOf;    // per entry: the consumer terms holding its name
  VarRef m_closingContent;                            // closing stream + suffix
};

// The name of the component balance: "SULFUR_BAL" for "SUL", "HYDROGEN_BAL"
// for "HYD", "_BAL" otherwise.
std::string componentBalanceName(const std::string& suffix);

}  // namespace ROEqnSupplier
