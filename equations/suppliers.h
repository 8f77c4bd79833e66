// The equation suppliers of the second generation. A block's
// createROMEquations makes a generic supplier (createGenEqn) and a supplier of
// its reactor family (createReacEqn), describes its streams and component
// balance in a ReactionSpec and its conversion basis in a ConversionBasisSpec,
// asks the suppliers for equation objects and hands each one at once to
// EqnMan::addEquation. Objects travel in std::unique_ptr until the manager
// takes them, so an object nobody takes is deleted.
//
// The builder procedures that make the objects (balances, conversions,
// fractions, mixes, sum ratios, unit conversions, network equations, the
// families' own equations) are declared here with the suppliers that call
// them; each equation family defines its builders beside its classes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "core/records.h"
#include "equations/roeqn2.h"

namespace ROEqnSupplier {

// Basis codes of the supplier operations.
constexpr int kBasisMass = 0;
constexpr int kBasisMoles = 1;
constexpr int kBasisVolume = 2;
constexpr int kBasisFOE = 3;
// Fraction operation only: the component conversion of a stream.
constexpr int kBasisComponent = 101;

// One term subtracted from a component balance: the value of the named block
// attribute times the product of the named variables.
struct ConsumerTerm {
  std::string attrName;
  std::unordered_set<std::string> varNames;
};

// A reactor's streams and one component balance, filled by the family's
// createROMEquations and read by the balance builder.
struct ReactionSpec {
  ReactionSpec() = default;

  std::vector<std::string> streams;              // every stream, in the order its equations are made
  std::unordered_set<std::string> inletStreams;  // streams entering the unit; the others leave it
  std::string compSuffix;                        // "SUL" (sulfur), "HYD" (hydrogen) ...
  std::unordered_map<std::string, double> inlineCompFracs;  // component mass = fraction x stream mass
  std::string feedStream;    // the total of the yield fractions, e.g. "FEED"
  std::string secondStream;  // the closing stream of the component balance, e.g. "H2S"
  std::int32_t consumerMode = 1;  // floor of the relative contents: 0 clip at zero, 1 smooth floor
  bool inlineFracFlag = true;     // component masses of converted streams from the relative content
  bool compConvFlag = true;       // component-content equations of the product streams
  bool thirdFlag = true;          // not read by the balance builder
  std::vector<ConsumerTerm> consumerTerms;
};

// The conversion basis of a block.
struct ConversionBasisSpec {
  // The block passes its HL code first, then its LE code (0 mass, 1 moles, 2 volume).
  ConversionBasisSpec(std::uint32_t hlBasisCode, std::uint32_t leBasisCode);

  std::string volumeName = "FOE";  // appended to the fuel-oil-equivalent conversion names
  std::uint32_t hlBasis;
  std::uint32_t leBasis;
  // Density selector per stream: 1 reads "RHOAIR"; streams not listed read "RHOH2O".
  std::unordered_map<std::string, std::int32_t> gasStreams{{"H2S", 1}, {"FGS", 1}};
};

// The mass word that the coker, FCC and visbreaker blocks give the mix-flow operation.
std::string massSuffix();

// ---- Network equations ------------------------------------------------------

// A variable of a network equation enters as value x scale + offset.
struct ScalePair {
  double scale = 1.0;
  double offset = 0.0;
};
using ScaleMap = std::map<std::string, ScalePair>;

// The paired total/difference networks of one FCC naphtha cut.
struct OverCrackSpec {
  std::int32_t flag = 1;
  std::string input;        // the input the overcrack factor scales, "REACTORPLENUMTEMP"
  std::string totalOutput;  // cut + "FRACTOTAL"
  std::string diffOutput;   // cut + "FRACDIFF"
  std::string factorAttr;   // cut + "_OVERCRACK_PARAM"
  std::string rateAttr;     // cut + "_OVERCRACK_RATE"
};
using OverCrackMap = std::map<std::string, OverCrackSpec>;  // keyed by the output, cut + "FRAC"

// Parameters of the network equations: scale pairs by variable name, and the
// outputs that take the overcracking form.
struct NNEquationParams {
  ScaleMap scales;
  OverCrackMap overcrack;
};

using EqnPtr = std::unique_ptr<roeqn2>;
using EqnList = std::vector<EqnPtr>;

// ---- The generic supplier ---------------------------------------------------

class IROGenEqn {
 public:
  virtual ~IROGenEqn() = default;
  // The equation tying two bases of one stream (codes 0 mass, 1 moles, 2
  // volume, 3 FOE); null for an unsupported pair or without a spec.
  virtual EqnPtr createConversionEquation(const std::string& stream, int fromBasis, int toBasis,
                                          const ConversionBasisSpec* spec) const = 0;
  // Basis 0: "CONV_" + stream + "MASS" from the yield fraction against the
  // total stream; basis 101: the component conversion; otherwise null.
  virtual EqnPtr createFractionEquation(const std::string& stream, int basis, const std::string& totalStream,
                                        const std::string& compSuffix) const = 0;
  // The balance layer of a reactor: yield and component equations per
  // stream, "MASS_BAL" and the component balance, in the order made.
  virtual EqnList createBalanceEquations(const ReactionSpec& spec) const = 0;
  // from x scale + offset = to; ordering key 3500. Never null.
  virtual EqnPtr createUnitConversionEquation(const std::string& from, const std::string& to,
                                              const std::string& name, double scale, double offset) const = 0;
  // mix = sum of the members on one basis ("EQN_" + mix + word).
  virtual EqnPtr createMixFlowEquation(const std::vector<std::string>& members, const std::string& mix, int basis,
                                       const std::string& massWord) const = 0;
  // sum(group 1) = ratio x sum(group 2); ordering key 3000; the flag is not read. Never null.
  virtual EqnPtr createSumRatioEquation(const std::vector<std::string>& group1, const std::vector<std::string>& group2,
                                        const std::string& ratio, const std::string& name, bool flag) const = 0;
};

class ROGenEqnImpl1 : public IROGenEqn {
 public:
  ROGenEqnImpl1(EqnContext context, VerInfo version) : m_context(context), m_version(version) {}

  EqnPtr createConversionEquation(const std::string& stream, int fromBasis, int toBasis,
                                  const ConversionBasisSpec* spec) const override;
  EqnPtr createFractionEquation(const std::string& stream, int basis, const std::string& totalStream,
                                const std::string& compSuffix) const override;
  EqnList createBalanceEquations(const ReactionSpec& spec) const override;
  EqnPtr createUnitConversionEquation(const std::string& from, const std::string& to, const std::string& name,
                                      double scale, double offset) const override;
  EqnPtr createMixFlowEquation(const std::vector<std::string>& members, const std::string& mix, int basis,
                               const std::string& massWord) const override;
  EqnPtr createSumRatioEquation(const std::vector<std::string>& group1, const std::vector<std::string>& group2,
                                const std::string& ratio, const std::string& name, bool flag) const override;

  EqnContext context() const { return m_context; }
  const VerInfo& version() const { return m_version; }

 private:
  EqnContext m_context;
  VerInfo m_version;
};

// ---- The reactor-family suppliers -------------------------------------------

// Base of the family suppliers: the block context, the version and the model
// type they were made for. The network equation has one body for every
// family; each family has its own equations by name.
class IROReacEqn {
 public:
  IROReacEqn(EqnContext context, VerInfo version, std::string modelType);
  IROReacEqn(const IROReacEqn&) = delete;
  IROReacEqn& operator=(const IROReacEqn&) = delete;
  virtual ~IROReacEqn();

  // The network equation "Y_" + output over the given inputs (in the given
  // order), of the overcracking form when params.overcrack holds the output;
  // variables named in params.scales enter scaled.
  EqnPtr createNNEquation(const std::string& output, const std::vector<std::string>& inputs,
                          const NNEquationParams& params) const;
  // The same with the two maps given apart.
  EqnPtr createNNEquation(const std::string& output, const std::vector<std::string>& inputs, const ScaleMap& scales,
                          const OverCrackMap& overcrack) const;
  // The same from the output's description.
  EqnPtr createNNEquation(const varinfo2& output, const std::vector<std::string>& inputs,
                          const NNEquationParams& params) const;
  // The same from the descriptions of the output and its inputs.
  EqnPtr createNNEquation(const varinfo2& output, const std::vector<varinfo2>& inputs,
                          const NNEquationParams& params) const;

  // The family's own equations, by exact (case-sensitive) name; null for any
  // name the family does not know.
  virtual EqnPtr createEquation(const std::string& name) const = 0;

  EqnContext context() const { return m_context; }
  const VerInfo& version() const { return m_version; }
  const std::string& modelType() const { return m_modelType; }

 private:
  EqnContext m_context;
  VerInfo m_version;
  std::string m_modelType;
};

// Model types beginning "FCC": the C5+ vapour-pressure index and the conversion.
class ROFCCReacImpl1 : public IROReacEqn {
 public:
  using IROReacEqn::IROReacEqn;
  EqnPtr createEquation(const std::string& name) const override;
};

// Model types beginning "REF": the feed-property equations.
class ROREFReacImpl1 : public IROReacEqn {
 public:
  using IROReacEqn::IROReacEqn;
  EqnPtr createEquation(const std::string& name) const override;
};

// Model types beginning "VB": the viscosity-index and furnace-temperature equations.
class ROVBFactImpl : public IROReacEqn {
 public:
  using IROReacEqn::IROReacEqn;
  EqnPtr createEquation(const std::string& name) const override;
};

// Model type "COKER": the product-property equations.
class ROCOKERReacImpl1 : public IROReacEqn {
 public:
  using IROReacEqn::IROReacEqn;
  EqnPtr createEquation(const std::string& name) const override;
};

// Model types beginning "HCR": the property and conversion equations.
class ROHCRReacImpl1 : public IROReacEqn {
 public:
  using IROReacEqn::IROReacEqn;
  EqnPtr createEquation(const std::string& name) const override;
};

// ---- Factories ----------------------------------------------------------------

// The generic supplier; null when the version's major number (unsigned) is 35
// or less.
std::unique_ptr<IROGenEqn> createGenEqn(EqnContext context, VerInfo version);

// The family supplier of a model type, tested in this order: first three
// characters "FCC", "REF", first two "VB", the whole text "COKER", first three
// "HCR"; null when none matches.
std::unique_ptr<IROReacEqn> createReacEqn(std::string modelType, EqnContext context, VerInfo version);

// ---- Builders -----------------------------------------------------------------
// Each returns new objects with no owner but the returned pointer, or null
// (empty) for what it does not build.

// Conversions between the bases of one stream, by (to, from) pair.
EqnPtr buildConversionEquations(const std::string& stream, int fromBasis, int toBasis,
                                const ConversionBasisSpec* spec);
// The FCC equations by name: "C5SRVI", "CONVERSION".
EqnPtr buildFccConversionEquations(const std::string& name, const std::string& modelType);
// Yield fraction (basis 0, flag: factor and cut-off) or component conversion (basis 101).
EqnPtr buildFractionEquations(const std::string& stream, int basis, const std::string& totalStream,
                              const std::string& compSuffix, bool flag);
// The balance layer of a ReactionSpec; the context reaches the consumer-term attributes.
EqnList buildBalanceEquations(EqnContext context, const ReactionSpec& spec);
// A mix flow on one basis.
EqnPtr buildMixFlowEquations(const std::vector<std::string>& members, const std::string& mix, int basis,
                             const std::string& massWord);
// The unit conversion and the sum ratio of the generic supplier.
EqnPtr buildUnitConversionEquation(const std::string& from, const std::string& to, const std::string& name,
                                   double scale, double offset);
EqnPtr buildSumRatioEquation(const std::vector<std::string>& group1, const std::vector<std::string>& group2,
                             const std::string& ratio, const std::string& name);
// The network equation of one output, run with the networks of the model kind.
EqnPtr buildNNDepEquations(EqnContext context, const std::string& output, const std::string& modelKind,
                           const std::vector<std::string>& inputs, const NNEquationParams& params);
// The families' equations by name.
EqnPtr buildHcrPropertyEquations(const std::string& name);
EqnPtr buildCokerPropertyEquations(const std::string& name);
EqnPtr buildReformerFeedEquations(const std::string& name, const std::string& modelType, EqnContext context);

}  // namespace ROEqnSupplier
