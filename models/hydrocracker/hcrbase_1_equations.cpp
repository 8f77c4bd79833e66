// hcrbase_1::createROMEquations: the hydrocracker's equation objects, asked
// of the generic supplier and of the hydrocracker supplier and handed to the
// equation manager at once, so this order is the order of the equation
// numbers:
//
//   (EQN_CALC_CONVERSION first in the models with a recycle)
//   "Y_" + network output, outputs in name order
//   balance layer: feed hydrogen, yields and hydrogen masses, "MASS_BAL",
//     "HYDROGEN_BAL"
//   mass-to-volume conversions of every stream, in name order
//   mass-to-mole conversions of H2S, H2 and FGS
//   product sulfur, then product sulfur ppm, products in name order
//   naphtha N+A of LCN and HCN
//   the blending indices of the model (createIndexEquations)
//
// Each step makes its own supplier and releases it at the end of the step.
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "models/hydrocracker/hcrbase_1.h"

using namespace ROEqnSupplier;

namespace {

// Streams of the balance layer, in the order their equations are made.
const char* const kBalanceStreams[] = {"FEED", "H2S", "H2", "FGS", "C3", "NC4", "IC4", "LCN", "HCN", "UCO"};
// Gases converted from mass to moles, in this order.
const char* const kMolarStreams[] = {"H2S", "H2", "FGS"};
// ppm x 0.0001 = percent.
constexpr double kPpmToPercent = 0.0001;

// The blending indices, asked of the hydrocracker supplier by name.
const char* const kKerIndices[] = {"EQN_KERCETIDX", "EQN_KERFREEZEIDX", "EQN_KERCLOUDIDX", "EQN_KERSMOKEIDX",
                                   "EQN_KERVISCIDX"};
const char* const kDslIndices[] = {"EQN_DSLCETIDX", "EQN_DSLCLOUDIDX", "EQN_DSLVISCIDX"};
const char* const kBaseIndices[] = {"EQN_LCNRVI", "EQN_HCNRVI", "EQN_UCOVISCIDX"};
const char* const kNaphthaNA[] = {"EQN_LCNNA", "EQN_HCNNA"};

// The hydrogen-balance attributes, in numbering order.
const char* const kHydBalAttributes[] = {"HYDBALBIAS", "HYDBALSLOPECONV", "HYDBALSLOPESG"};
constexpr int kHydBalAttrCode = 3;

// A supplier that gives no object would leave a variable without its
// equation; the block is then not built at all.
[[noreturn]] void missing(const std::string& what) {
  throw std::runtime_error("Hydrocracker equations: the supplier gave no " + what);
}

}  // namespace

ReactionSpec makeHcrReactionSpec(const std::string& modelKind) {
  ReactionSpec spec;
  spec.streams.assign(std::begin(kBalanceStreams), std::end(kBalanceStreams));
  if (modelKind == "HCR_K") {
    spec.streams.emplace_back("KER");
  } else if (modelKind == "HCR_D" || modelKind == "HCR_MILD") {
    spec.streams.emplace_back("KER");
    spec.streams.emplace_back("DSL");
  }
  // Hydrogen enters beside the feed and is all hydrogen; fuel gas closes the
  // hydrogen balance. The hydrogen contents of the products are network
  // outputs in percent, not relative to the feed's.
  spec.inletStreams = {"FEED", "H2"};
  spec.compSuffix = "HYD";
  spec.inlineCompFracs = {{"H2", 1.0}};
  spec.feedStream = "FEED";
  spec.secondStream = "FGS";
  spec.compConvFlag = false;
  return spec;
}

ConversionBasisSpec makeHcrConversionBasisSpec(int hlBasis, int leBasis) {
  ConversionBasisSpec spec(static_cast<std::uint32_t>(hlBasis), static_cast<std::uint32_t>(leBasis));
  spec.volumeName = "FOE";
  spec.gasStreams = {{"FGS", 1}, {"H2", 1}, {"H2S", 1}};
  return spec;
}

namespace {

std::unique_ptr<IROGenEqn> genSupplier(EqnContext context, const VerInfo& version) {
  std::unique_ptr<IROGenEqn> gen = createGenEqn(context, version);
  if (!gen) missing("generic supplier for version " + std::to_string(version.major));
  return gen;
}

std::unique_ptr<IROReacEqn> reacSupplier(const std::string& kind, EqnContext context, const VerInfo& version) {
  std::unique_ptr<IROReacEqn> reac = createReacEqn(kind, context, version);
  if (!reac) missing("hydrocracker supplier for the model kind \"" + kind + "\"");
  return reac;
}

}  // namespace

void hcrbase_1::createROMEquations() {
  auto add = [this](EqnPtr eqn, const std::string& what) {
    if (!eqn) missing(what);
    m_eqnMan.addEquation(std::move(eqn));
  };

  createNetworkEquations();

  {  // Balances.
    const std::unique_ptr<IROGenEqn> gen = genSupplier(context(), m_version);
    EqnList balances = gen->createBalanceEquations(makeHcrReactionSpec(m_modelKind));
    if (balances.empty()) missing("balance equations");
    for (EqnPtr& eqn : balances) add(std::move(eqn), "balance equation");
  }
  {  // Volumes of every stream, mass to volume.
    const std::unique_ptr<IROGenEqn> gen = genSupplier(context(), m_version);
    const ConversionBasisSpec basis = makeHcrConversionBasisSpec(m_hlBasis, m_leBasis);
    for (const std::string& s : streamSet)
      add(gen->createConversionEquation(s, kBasisMass, kBasisVolume, &basis), "volume conversion of " + s);
  }
  createGasConversionEquations();
  {  // Product sulfur from the relative sulfur and the feed's.
    const std::unique_ptr<IROGenEqn> gen = genSupplier(context(), m_version);
    for (const std::string& p : productSet)
      add(gen->createFractionEquation(p, kBasisComponent, "FEED", "SUL"), "sulfur equation of " + p);
  }
  createSulPPMEquations();
  {  // Naphtha N+A.
    const std::unique_ptr<IROReacEqn> reac = reacSupplier(m_modelKind, context(), m_version);
    for (const char* name : kNaphthaNA) add(reac->createEquation(name), name);
  }
  createIndexEquations();
}

void hcrbase_1::createNetworkEquations() {
  const std::unique_ptr<IROReacEqn> reac = reacSupplier(m_modelKind, context(), m_version);
  // Every network sees all model inputs, in name order, unscaled.
  std::vector<std::string> inputs;
  for (const varinfo2& v : inputSet) inputs.push_back(v.name);
  const ScaleMap scales;
  const OverCrackMap overcrack;
  for (const varinfo2& y : nnOutputSet) {
    EqnPtr eqn = reac->createNNEquation(y.name, inputs, scales, overcrack);
    if (!eqn) missing("network equation of " + y.name);
    m_eqnMan.addEquation(std::move(eqn));
  }
}

void hcrbase_1::createGasConversionEquations() {
  const std::unique_ptr<IROGenEqn> gen = genSupplier(context(), m_version);
  const ConversionBasisSpec basis = makeHcrConversionBasisSpec(m_hlBasis, m_leBasis);
  for (const char* s : kMolarStreams) {
    EqnPtr eqn = gen->createConversionEquation(s, kBasisMass, kBasisMoles, &basis);
    if (!eqn) missing(std::string("molar conversion of ") + s);
    m_eqnMan.addEquation(std::move(eqn));
  }
}

void hcrbase_1::createSulPPMEquations() {
  const std::unique_ptr<IROGenEqn> gen = genSupplier(context(), m_version);
  for (const std::string& p : productSet) {
    EqnPtr eqn = gen->createUnitConversionEquation(p + "SULPPM", p + "SUL", "EQN_" + p + "SULPPM", kPpmToPercent, 0.0);
    if (!eqn) missing("sulfur ppm of " + p);
    m_eqnMan.addEquation(std::move(eqn));
  }
}

namespace {

// Asks the hydrocracker supplier for each named equation, in order.
template <std::size_t N>
void addNamed(EqnMan& eqnMan, const IROReacEqn& reac, const char* const (&names)[N]) {
  for (const char* name : names) {
    EqnPtr eqn = reac.createEquation(name);
    if (!eqn) missing(name);
    eqnMan.addEquation(std::move(eqn));
  }
}

}  // namespace

void hcrbase_1::createConvCalcEquation() {
  const std::unique_ptr<IROReacEqn> reac = reacSupplier(m_modelKind, context(), m_version);
  const char* const names[] = {"EQN_CALC_CONVERSION"};
  addNamed(m_eqnMan, *reac, names);
}

void hcrbase_1::createKERIndexEquations() {
  const std::unique_ptr<IROReacEqn> reac = reacSupplier(m_modelKind, context(), m_version);
  addNamed(m_eqnMan, *reac, kKerIndices);
}

void hcrbase_1::createDSLIndexEquations() {
  const std::unique_ptr<IROReacEqn> reac = reacSupplier(m_modelKind, context(), m_version);
  addNamed(m_eqnMan, *reac, kDslIndices);
}

void hcrbase_1::createBaseIndexEquations() {
  const std::unique_ptr<IROReacEqn> reac = reacSupplier(m_modelKind, context(), m_version);
  addNamed(m_eqnMan, *reac, kBaseIndices);
}

void hcrbase_1::createIndexEquations() { createBaseIndexEquations(); }

void hcrbase_1::setupAttributes() {
  robase2::setupAttributes();
  // Numbered on from the tuning attributes. The hydrogen balance of this
  // generation reads none of them: its spec carries no attribute terms.
  int number = static_cast<int>(m_attributes.size());
  for (const char* name : kHydBalAttributes)
    putRecord(m_attributes, new ROMAttr(name, kHydBalAttrCode, "EQN_HYD_BAL", 0.0, number++));
}
