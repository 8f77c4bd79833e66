// rovb_1::createROMEquations: the visbreaker's 81 equation objects, asked of
// the generic supplier and of the visbreaker supplier and handed to the
// equation manager in a fixed order, which is the order of the equation
// numbers:
//
//   1-23    "Y_" + network output, outputs in name order
//   24-44   balance layer of the visbreaker ReactionSpec (feed sulfur, yields,
//           liquid sulfur contents and masses, "MASS_BAL", "SULFUR_BAL")
//   45-48   sulfur ppm of the four liquids, in name order
//   49-60   volume conversions
//   61-62   molar conversions of H2S and FGS
//   63-76   C3 and C4 mixes on mass and volume, then their shares
//   77-80   viscosity blending indices, in name order
//   81      furnace temperature
//
// The block writes no formula itself; the tables below say what to ask for.
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "models/visbreaker/rovb_1.h"

namespace {

using namespace ROEqnSupplier;

// H2S carries its sulfur as a fixed share of its mass: 32.065 / 34.08088.
// The fuel gas and the light ends carry none.
constexpr double kH2SSulfurShare = 0.9408501188936436;
// kg/h to lb/h: the "VB_SKR" networks take the feed mass in pounds.
constexpr double kPoundsPerKilogram = 2.20462;

// Streams of the balance layer, in the order their equations are made.
const char* const kBalanceStreams[] = {"FEED", "H2S", "FGS", "C3",  "C32", "NC4",
                                       "IC4",  "UC4", "NAP", "LGO", "HGO", "TAR"};
const std::pair<const char*, double> kInlineSulfurFractions[] = {
    {"H2S", kH2SSulfurShare}, {"FGS", 0.0}, {"C3", 0.0}, {"C32", 0.0}, {"IC4", 0.0}, {"NC4", 0.0}, {"UC4", 0.0}};

// Liquids whose sulfur is also given in ppm (name order); ppm x 0.0001 = percent.
const char* const kSulfurPpmStreams[] = {"HGO", "LGO", "NAP", "TAR"};
constexpr double kPpmToPercent = 0.0001;

// Streams converted from mass to volume, in this order; the gases (H2S, FGS)
// through the air density.
const char* const kVolumeStreams[] = {"FEED", "C3", "C32", "NC4", "IC4", "UC4",
                                      "NAP",  "LGO", "HGO", "TAR", "H2S", "FGS"};
// Gases converted from mass to moles, in this order.
const char* const kMolarStreams[] = {"H2S", "FGS"};

struct MixRow {
  std::vector<std::string> members;
  const char* mix;
  int basis;
};
const MixRow kMixes[] = {
    {{"C3", "C32"}, "C3MIX", kBasisMass},
    {{"NC4", "IC4", "UC4"}, "C4MIX", kBasisMass},
    {{"C3", "C32"}, "C3MIX", kBasisVolume},
    {{"NC4", "IC4", "UC4"}, "C4MIX", kBasisVolume},
};

// group 1 = ratio x group 2: each ratio is one component's share of its mix.
struct RatioRow {
  const char* part;
  const char* whole;
  const char* ratio;
  const char* equation;
};
const RatioRow kRatios[] = {
    {"C32MASS", "C3MIXMASS", "UNSATINC3MIX", "EQN_UNSATINC3MIX"},
    {"C3MASS", "C3MIXMASS", "SATINC3MIX", "EQN_SATINC3MIX"},
    {"UC4MASS", "C4MIXMASS", "UNSATINC4MIX", "EQN_UNSATINC4MIX"},
    {"NC4MASS", "C4MIXMASS", "NSATINC4MIX", "EQN_NSATINC4MIX"},
    {"IC4MASS", "C4MIXMASS", "ISATINC4MIX", "EQN_ISATINC4MIX"},
    {"C32VOL", "C3MIXVOL", "UNSATINC3MIXVOL", "EQN_UNSATINC3MIXVOL"},
    {"C3VOL", "C3MIXVOL", "SATINC3MIXVOL", "EQN_SATINC3MIXVOL"},
    {"UC4VOL", "C4MIXVOL", "UNSATINC4MIXVOL", "EQN_UNSATINC4MIXVOL"},
    {"NC4VOL", "C4MIXVOL", "NSATINC4MIXVOL", "EQN_NSATINC4MIXVOL"},
    {"IC4VOL", "C4MIXVOL", "ISATINC4MIXVOL", "EQN_ISATINC4MIXVOL"},
};

// Streams with a viscosity blending index (name order).
const char* const kViscosityStreams[] = {"FEED", "HGO", "LGO", "TAR"};

// A supplier that gives no object would leave a variable without its
// equation; the block is then not built at all.
[[noreturn]] void missing(const std::string& what) {
  throw std::runtime_error("Visbreaker equations: the supplier gave no " + what);
}

std::unique_ptr<IROGenEqn> genericSupplier(EqnContext context, const VerInfo& version) {
  std::unique_ptr<IROGenEqn> gen = createGenEqn(context, version);
  if (!gen) missing("generic supplier for version " + std::to_string(version.major));
  return gen;
}

std::unique_ptr<IROReacEqn> visbreakerSupplier(const std::string& kind, EqnContext context, const VerInfo& version) {
  std::unique_ptr<IROReacEqn> reac = createReacEqn(kind, context, version);
  if (!reac) missing("visbreaker supplier for " + kind);
  return reac;
}

}  // namespace

void rovb_1::add(EqnPtr eqn, const std::string& what) {
  if (!eqn) missing(what);
  m_eqnMan.addEquation(std::move(eqn));
}

ReactionSpec rovb_1::makeVBReactionSpec() const {
  ReactionSpec spec;
  spec.streams.assign(std::begin(kBalanceStreams), std::end(kBalanceStreams));
  spec.inletStreams = {"FEED"};
  spec.compSuffix = "SUL";
  spec.inlineCompFracs.insert(std::begin(kInlineSulfurFractions), std::end(kInlineSulfurFractions));
  spec.feedStream = "FEED";
  spec.secondStream = "H2S";
  return spec;  // count field and flags keep the record's defaults
}

void rovb_1::createROMEquations() {
  createNNEquations();
  createBalanceSystemEquations();
  createSulfurPPMEquations();
  createMassToVolumeConversionEquations();
  createMassToMolConversionEquations();
  createMixAndRatioEquations();
  createViscosityEquations();
  createFurnaceTemperatureEquation();
}

void rovb_1::createNNEquations() {
  const auto reac = visbreakerSupplier(m_modelKind, context(), m_version);
  // Every output sees all eleven inputs (FURNACETEMP among them); the
  // "VB_SKR" networks take the feed mass in pounds.
  const std::vector<varinfo2> inputs(inputSet.begin(), inputSet.end());
  for (const varinfo2& y : nnOutputSet) {
    NNEquationParams params;
    if (m_modelKind == "VB_SKR") params.scales["FEEDMASS"] = ScalePair{kPoundsPerKilogram, 0.0};
    add(reac->createNNEquation(y, inputs, params), "network equation of " + y.name);
  }
}

void rovb_1::createBalanceSystemEquations() {
  const auto gen = genericSupplier(context(), m_version);
  EqnList balances = gen->createBalanceEquations(makeVBReactionSpec());
  if (balances.empty()) missing("balance equations");
  for (EqnPtr& eqn : balances) add(std::move(eqn), "balance equation");
}

void rovb_1::createSulfurPPMEquations() {
  const auto gen = genericSupplier(context(), m_version);
  for (const std::string p : kSulfurPpmStreams)
    add(gen->createUnitConversionEquation(p + "SULPPM", p + "SUL", "EQN_" + p + "SULPPM", kPpmToPercent, 0.0),
        "sulfur ppm of " + p);
}

void rovb_1::createMassToVolumeConversionEquations() {
  const auto gen = genericSupplier(context(), m_version);
  const ConversionBasisSpec basis(static_cast<std::uint32_t>(m_hlBasis), static_cast<std::uint32_t>(m_leBasis));
  for (const char* s : kVolumeStreams)
    add(gen->createConversionEquation(s, kBasisMass, kBasisVolume, &basis), std::string("volume conversion of ") + s);
}

void rovb_1::createMassToMolConversionEquations() {
  const auto gen = genericSupplier(context(), m_version);
  const ConversionBasisSpec basis(static_cast<std::uint32_t>(m_hlBasis), static_cast<std::uint32_t>(m_leBasis));
  for (const char* s : kMolarStreams)
    add(gen->createConversionEquation(s, kBasisMass, kBasisMoles, &basis), std::string("molar conversion of ") + s);
}

void rovb_1::createMixAndRatioEquations() {
  const auto gen = genericSupplier(context(), m_version);
  const std::string massWord = massSuffix();
  for (const MixRow& m : kMixes)
    add(gen->createMixFlowEquation(m.members, m.mix, m.basis, massWord), std::string("mix ") + m.mix);
  for (const RatioRow& r : kRatios)
    add(gen->createSumRatioEquation({r.part}, {r.whole}, r.ratio, r.equation, false), r.equation);
}

void rovb_1::createViscosityEquations() {
  const auto reac = visbreakerSupplier(m_modelKind, context(), m_version);
  for (const std::string p : kViscosityStreams) add(reac->createEquation("EQN_" + p + "VBI"), "EQN_" + p + "VBI");
}

void rovb_1::createFurnaceTemperatureEquation() {
  const auto reac = visbreakerSupplier(m_modelKind, context(), m_version);
  add(reac->createEquation("EQN_FURNACETEMP"), "EQN_FURNACETEMP");
}
