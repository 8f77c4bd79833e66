// rocoker_1::createROMEquations: the coker's 100 equation objects, asked of
// the generic supplier and of the coker supplier and handed to the equation
// manager in a fixed order, which is the order of the equation numbers:
//
//   1-35    "Y_" + network output, outputs in name order
//   36-59   balance layer of the coker ReactionSpec (feed sulfur, yields,
//           product sulfur, "MASS_BAL", "SULFUR_BAL")
//   60-72   volume conversions, streams in name order
//   73-74   molar conversions of FGS and H2S
//   75      H2S yield fraction
//   76-80   sulfur ppm of the five sulfur-carrying products
//   81-84   C3 and C4 mixes on mass and volume
//   85-94   mix compositions
//   95-100  product-property indices
//
// The block writes no formula itself; the tables below say what to ask for.
#include <cstdint>
#include <iterator>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "equations/suppliers.h"
#include "models/coker/rocoker_1.h"

namespace {

using namespace ROEqnSupplier;

// H2S carries its sulfur as a fixed share of its mass: 32.065 / 34.08088
// ("H2SMW"). The light gases carry none.
constexpr double kH2SSulfurShare = 0.9408501188936436;

// Streams of the balance layer, in the order their equations are made.
const char* const kBalanceStreams[] = {"FEED", "H2S", "FGS", "C3",  "C32", "IC4", "NC4",
                                       "UC4",  "LCN", "HCN", "LGO", "HGO", "COK"};

const std::pair<const char*, double> kInlineSulfurFractions[] = {
    {"H2S", kH2SSulfurShare}, {"FGS", 0.0}, {"C3", 0.0}, {"C32", 0.0}, {"IC4", 0.0}, {"NC4", 0.0}, {"UC4", 0.0}};

// Streams converted from mass to volume; the conversions are made in name order.
const char* const kVolumeStreams[] = {"FEED", "C3",  "C32", "NC4", "IC4", "UC4", "LCN",
                                      "HCN",  "LGO", "HGO", "H2S", "FGS", "COK"};
// Gases converted from mass to moles, in this order.
const char* const kMolarStreams[] = {"FGS", "H2S"};
// Products whose sulfur is also given in ppm (name order).
const char* const kSulfurPpmStreams[] = {"COK", "HCN", "HGO", "LCN", "LGO"};
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

// group 1 = ratio x group 2: each ratio is one component's share of its mix.
struct RatioRow {
  const char* part;
  const char* whole;
  const char* ratio;
  const char* equation;
};
const RatioRow kRatios[] = {
    {"C32MASS", "C3MIXMASS", "UNSATINC3MIX", "EQN_UNSATINC3MIX"},
    {"C32VOL", "C3MIXVOL", "UNSATINC3MIXVOL", "EQN_UNSATINC3MIXVOL"},
    {"C3MASS", "C3MIXMASS", "SATINC3MIX", "EQN_SATINC3MIX"},
    {"C3VOL", "C3MIXVOL", "SATINC3MIXVOL", "EQN_SATINC3MIXVOL"},
    {"UC4MASS", "C4MIXMASS", "UNSATINC4MIX", "EQN_UNSATINC4MIX"},
    {"UC4VOL", "C4MIXVOL", "UNSATINC4MIXVOL", "EQN_UNSATINC4MIXVOL"},
    {"NC4MASS", "C4MIXMASS", "NSATINC4MIX", "EQN_NSATINC4MIX"},
    {"NC4VOL", "C4MIXVOL", "NSATINC4MIXVOL", "EQN_NSATINC4MIXVOL"},
    {"IC4MASS", "C4MIXMASS", "ISATINC4MIX", "EQN_ISATINC4MIX"},
    {"IC4VOL", "C4MIXVOL", "ISATINC4MIXVOL", "EQN_ISATINC4MIXVOL"},
};

// The coker supplier's own equations, "EQN_" + name.
const char* const kPropertyIndices[] = {"LCNN2A", "HCNN2A", "LGOCETIDX", "LGOCLOUDIDX", "LGOVISCIDX", "HGOVISCIDX"};

ReactionSpec cokerReactionSpec() {
  ReactionSpec spec;
  spec.streams.assign(std::begin(kBalanceStreams), std::end(kBalanceStreams));
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

// A supplier that gives no object would leave a variable without its
// equation; the block is then not built at all.
[[noreturn]] void missing(const std::string& what) {
  throw std::runtime_error("Coker equations: the supplier gave no " + what);
}

}  // namespace

void rocoker_1::createROMEquations() {
  const std::unique_ptr<IROGenEqn> gen = createGenEqn(context(), m_version);
  if (!gen) missing("generic supplier for version " + std::to_string(m_version.major));
  const std::unique_ptr<IROReacEqn> reac = createReacEqn(std::string("COKER"), context(), m_version);
  if (!reac) missing("coker supplier");

  // What a missing object is is put into words only when one is missing.
  auto add = [this](EqnPtr eqn, std::string_view what, std::string_view name = {}) {
    if (!eqn) missing(std::string(what).append(name));
    m_eqnMan.addEquation(std::move(eqn));
  };

  // Network equations: every output sees all eleven inputs, unscaled.
  std::vector<std::string> inputs;
  for (const varinfo2& v : inputSet) inputs.push_back(v.name);
  const ScaleMap scales;
  const OverCrackMap overcrack;
  for (const varinfo2& y : nnOutputSet)
    add(reac->createNNEquation(y.name, inputs, scales, overcrack), "network equation of ", y.name);

  EqnList balances = gen->createBalanceEquations(cokerReactionSpec());
  if (balances.empty()) missing("balance equations");
  for (EqnPtr& eqn : balances) add(std::move(eqn), "balance equation");

  const ConversionBasisSpec basis(static_cast<std::uint32_t>(m_hlBasis), static_cast<std::uint32_t>(m_leBasis));
  for (const std::string& s : std::set<std::string>(std::begin(kVolumeStreams), std::end(kVolumeStreams)))
    add(gen->createConversionEquation(s, kBasisMass, kBasisVolume, &basis), "volume conversion of ", s);
  for (const char* s : kMolarStreams)
    add(gen->createConversionEquation(s, kBasisMass, kBasisMoles, &basis), "molar conversion of ", s);

  add(gen->createFractionEquation("H2S", kBasisMass, "FEED", "SUL"), "H2S yield fraction");

  for (const std::string s : kSulfurPpmStreams)
    add(gen->createUnitConversionEquation(s + "SULPPM", s + "SUL", "EQN_" + s + "SULPPM", kPpmToPercent, 0.0),
        "sulfur ppm of ", s);

  const std::string massWord = massSuffix();
  for (const MixRow& m : kMixes)
    add(gen->createMixFlowEquation(m.members, m.mix, m.basis, massWord), "mix ", m.mix);

  for (const RatioRow& r : kRatios)
    add(gen->createSumRatioEquation({r.part}, {r.whole}, r.ratio, r.equation, false), r.equation);

  for (const char* name : kPropertyIndices) add(reac->createEquation(name), "property equation ", name);
}
