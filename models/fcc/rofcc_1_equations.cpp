// rofcc_1::createROMEquations: the FCC's equation objects, asked of the
// generic and the FCC suppliers and handed to the equation manager in a fixed
// order, which is the order of the equation numbers. For rofcc_1 (130):
//
//   1-52     "Y_" + network output, outputs in name order; C5SFRAC, LCNFRAC,
//            HCNFRAC (and MCNFRAC) of the overcracking form
//   53-79    balance layer of the FCC ReactionSpec: feed sulfur, light-end
//            yields, yield, sulfur and sulfur mass of each liquid and coke
//            product, "MASS_BAL", "SULFUR_BAL"
//   80-85    sulfur ppm of the products, in name order
//   86-103   mass-to-volume conversions of the stream set, in name order
//   104-105  mass-to-mole conversions of FGS and H2S
//   106      H2S yield fraction against the feed
//   107-110  C3 and C4 mixes on mass and volume
//   111-128  split ratios of the C3, C4 and C5+ mixes
//   129-130  "EQN_C5SRVI", "EQN_CONVERSION"
//
// The slate templates only add their cuts to the stream and product sets
// first; the model kind gives the balances their MCN and HCO streams, so one
// procedure serves all eight block types.
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "equations/nn_equations.h"
#include "models/fcc/rofcc_1.h"

using namespace ROEqnSupplier;

namespace {

// H2S carries its sulfur as a fixed share of its mass: 32.065 / 34.08088.
// The light gases carry none.
constexpr double kH2SSulfurShare = 0.9408501188936436;

// Streams of the balance layer, in the order their equations are made; the
// slate's MCN and HCO follow.
const char* const kBalanceStreams[] = {"FEED", "H2S", "FGS", "C3",  "C32", "NC4", "IC4",
                                       "UC4",  "C5S", "LCN", "HCN", "LCO", "BOT", "COK"};
const std::pair<const char*, double> kInlineSulfurFractions[] = {
    {"H2S", kH2SSulfurShare}, {"FGS", 0.0}, {"C3", 0.0}, {"C32", 0.0}, {"NC4", 0.0}, {"IC4", 0.0}, {"UC4", 0.0}};

// The input whose value the difference networks see times the overcrack factor.
constexpr const char* kOvercrackInput = "REACTORPLENUMTEMP";

// ppm x 0.0001 = percent.
constexpr double kPpmToPercent = 0.0001;

struct MixRow {
  std::vector<std::string> members;
  const char* mix;
  int basis;
};
const MixRow kMixes[] = {
    {{"C3", "C32"}, "C3MIX", kBasisMass},
    {{"C3", "C32"}, "C3MIX", kBasisVolume},
    {{"NC4", "IC4", "UC4"}, "C4MIX", kBasisMass},
    {{"NC4", "IC4", "UC4"}, "C4MIX", kBasisVolume},
};

// member = ratio x total ("EQN_" + ratio). The C5+ ratios by mass are fixed
// constants that split C5SMASS; the others are computed.
struct RatioRow {
  const char* ratio;
  const char* member;
  const char* total;
};
constexpr RatioRow kRatios[] = {
    {"UNSATINC3MIX", "C32MASS", "C3MIXMASS"},      {"UNSATINC3MIXVOL", "C32VOL", "C3MIXVOL"},
    {"SATINC3MIX", "C3MASS", "C3MIXMASS"},         {"SATINC3MIXVOL", "C3VOL", "C3MIXVOL"},
    {"UNSATINC4MIX", "UC4MASS", "C4MIXMASS"},      {"UNSATINC4MIXVOL", "UC4VOL", "C4MIXVOL"},
    {"NSATINC4MIX", "NC4MASS", "C4MIXMASS"},       {"NSATINC4MIXVOL", "NC4VOL", "C4MIXVOL"},
    {"ISATINC4MIX", "IC4MASS", "C4MIXMASS"},       {"ISATINC4MIXVOL", "IC4VOL", "C4MIXVOL"},
    {"ISATINC5MIX", "IC5SMASS", "C5SMASS"},        {"ISATINC5MIXVOL", "IC5SVOL", "C5SVOL"},
    {"USATINC5MIX", "UC5SMASS", "C5SMASS"},        {"USATINC5MIXVOL", "UC5SVOL", "C5SVOL"},
    {"NSATINC5MIX", "NC5SMASS", "C5SMASS"},        {"NSATINC5MIXVOL", "NC5SVOL", "C5SVOL"},
    {"NAPSATINC5MIX", "NAPC5SMASS", "C5SMASS"},    {"NAPSATINC5MIXVOL", "NAPC5SVOL", "C5SVOL"},
};
static_assert(std::size(kRatios) == 18);

// The FCC supplier's own equations, by name.
constexpr const char* kNamedEquations[] = {"C5SRVI", "CONVERSION"};

// A supplier that gives no object would leave a variable without its
// equation; the block is then not built at all.
[[noreturn]] void missing(const std::string& what) {
  throw std::runtime_error("FCC equations: the supplier gave no " + what);
}

}  // namespace

FccKindSlate parseFccModelKind(const std::string& modelKind) {
  // A missing "_" counts as position -1, so the text after it starts at 0.
  const std::size_t first = modelKind.find('_');
  const std::size_t from = first == std::string::npos ? 0 : first + 1;
  const std::size_t second = modelKind.find('_', from);
  const std::size_t word = second == std::string::npos ? 0 : second + 1;

  FccKindSlate slate;
  slate.naphthaCuts = modelKind.compare(word, 2, "3N") == 0 ? 3 : 2;
  slate.hco = second != std::string::npos && modelKind.find("1H", second) != std::string::npos ? 1 : 0;
  return slate;
}

const std::vector<std::string>& fccOvercrackCuts() {
  static const std::vector<std::string> cuts{"C5S", "LCN", "MCN", "HCN"};
  return cuts;
}

ReactionSpec makeFccReactionSpec(const std::string& modelKind) {
  const FccKindSlate slate = parseFccModelKind(modelKind);
  ReactionSpec spec;
  spec.streams.assign(std::begin(kBalanceStreams), std::end(kBalanceStreams));
  if (slate.naphthaCuts == 3) spec.streams.push_back("MCN");
  if (slate.hco == 1) spec.streams.push_back("HCO");
  spec.inletStreams = {"FEED"};
  spec.compSuffix = "SUL";
  spec.inlineCompFracs.insert(std::begin(kInlineSulfurFractions), std::end(kInlineSulfurFractions));
  spec.feedStream = "FEED";
  spec.secondStream = "H2S";
  spec.consumerMode = 1;
  spec.inlineFracFlag = true;
  spec.compConvFlag = true;
  spec.thirdFlag = true;
  return spec;
}

NNEquationParams makeFccOvercrackSpecs() {
  NNEquationParams params;
  for (const std::string& cut : fccOvercrackCuts()) {
    OverCrackSpec spec;
    spec.flag = 1;
    spec.input = kOvercrackInput;
    spec.totalOutput = cut + "FRACTOTAL";
    spec.diffOutput = cut + "FRACDIFF";
    spec.factorAttr = cut + "_OVERCRACK_PARAM";
    spec.rateAttr = cut + "_OVERCRACK_RATE";
    params.overcrack.emplace(cut + "FRAC", std::move(spec));
  }
  return params;
}

void rofcc_1::createROMEquations() {
  // The suppliers live only while the equations are made; a failure half-way
  // drops them too.
  struct DropSuppliers {
    rofcc_1& block;
    ~DropSuppliers() {
      block.m_fccSupplier.reset();
      block.m_genSupplier.reset();
    }
  } drop{*this};
  buildEquations();
  checkEquations();
}

void rofcc_1::buildEquations() {
  if (!m_genSupplier) m_genSupplier = createGenEqn(context(), m_version);
  if (!m_genSupplier) missing("generic supplier for version " + std::to_string(m_version.major));
  if (!m_fccSupplier) m_fccSupplier = createReacEqn(m_modelKind, context(), m_version);
  if (!m_fccSupplier) missing("FCC supplier for the model kind \"" + m_modelKind + "\"");
  const IROGenEqn& gen = *m_genSupplier;
  const IROReacEqn& fcc = *m_fccSupplier;

  // What a missing object is is put into words only when one is missing.
  auto add = [this](EqnPtr eqn, std::string_view what, std::string_view name = {}) {
    if (!eqn) missing(std::string(what).append(name));
    m_eqnMan.addEquation(std::move(eqn));
  };

  // Network equations: every output sees every input, unscaled.
  std::vector<std::string> inputs;
  for (const varinfo2& v : inputSet) inputs.push_back(v.name);
  const NNEquationParams params = makeFccOvercrackSpecs();
  for (const varinfo2& y : nnOutputSet) add(fcc.createNNEquation(y.name, inputs, params), "network equation of ", y.name);

  EqnList balances = gen.createBalanceEquations(makeFccReactionSpec(m_modelKind));
  if (balances.empty()) missing("balance equations");
  for (EqnPtr& eqn : balances) add(std::move(eqn), "balance equation");

  for (const std::string& p : m_productSet)
    add(gen.createUnitConversionEquation(p + "SULPPM", p + "SUL", "EQN_" + p + "SULPPM", kPpmToPercent, 0.0),
        "sulfur ppm of ", p);

  const ConversionBasisSpec basis(static_cast<std::uint32_t>(m_hlBasis), static_cast<std::uint32_t>(m_leBasis));
  for (const std::string& s : m_streamSet)
    add(gen.createConversionEquation(s, kBasisMass, kBasisVolume, &basis), "volume conversion of ", s);
  for (const std::string& g : m_gasSet)
    add(gen.createConversionEquation(g, kBasisMass, kBasisMoles, &basis), "molar conversion of ", g);

  add(gen.createFractionEquation("H2S", kBasisMass, "FEED", "SUL"), "H2S yield fraction");

  const std::string massWord = massSuffix();
  for (const MixRow& m : kMixes)
    add(gen.createMixFlowEquation(m.members, m.mix, m.basis, massWord), "mix ", m.mix);

  for (const RatioRow& r : kRatios) {
    EqnPtr ratio = gen.createSumRatioEquation({r.member}, {r.total}, r.ratio, std::string("EQN_") + r.ratio, false);
    // The starting-value step of a ratio computes the ratio from its member
    // and total; a ratio that is a fixed constant (the C5+ splits by mass)
    // would lose the user's value, so its step never runs.
    if (ratio && constSet.count(varinfo2(r.ratio, "", 0.0, 0.0)) != 0) ratio->setOrderKey(roeqn2::kNeverInit);
    add(std::move(ratio), "split ratio ", r.ratio);
  }

  for (const char* name : kNamedEquations) add(fcc.createEquation(name), "FCC equation ", name);
}

void rofcc_1::checkEquations() const {
  // Each name is looked up in the variable manager's hash index.
  for (const auto& [name, eqn] : m_eqnMan.objects()) {
    for (const std::string& v : eqn->varNames()) {
      if (!m_varMan.contains(v))
        throw std::runtime_error("FCC equations: " + name + " names the variable " + v + ", which the block lacks");
    }
    const auto* network = dynamic_cast<const NNDepEqn*>(eqn.get());
    if (network && !network->configured())
      throw std::runtime_error("FCC equations: the network equation " + name + " cannot run");
  }
}
