// rofcc: the table of the sixty-six model equations, in the FCC equation
// order. Each row names the equation's record, the form of its residual and
// its variables in pattern order (the order of the equation's Jacobian row),
// each in the map where the catalogue puts it.
#include "models/fcc/rofcc.h"

namespace {

using E = FccEq;
using R = FccRecord;
using F = FccForm;

constexpr FccVarRef in(const char* name) { return {FccMap::Input, name}; }
constexpr FccVarRef out(const char* name) { return {FccMap::Output, name}; }
constexpr FccVarRef vol(const char* name) { return {FccMap::Volume, name}; }
constexpr FccVarRef mol(const char* name) { return {FccMap::Molar, name}; }
constexpr FccVarRef con(const char* name) { return {FccMap::Const, name}; }
constexpr FccVarRef calc(const char* name) { return {FccMap::Calc, name}; }

constexpr FccVarRef kFeedMass = in("FEEDMASS");
constexpr FccVarRef kFeedSul = in("FEEDSUL");
constexpr FccVarRef kMassFactor = {FccMap::Factor, "MASSFACTOR"};

// A row whose record is a member of rofcc.
constexpr FccEqnRow member(E eq, const char* shortName, R record, F form, std::array<FccVarRef, kFccMaxRowVars> vars) {
  return {eq, shortName, record, nullptr, form, vars};
}
// A row whose record is found by name in the volume-conversion map (form Vol)
// or the mole-conversion map (the gas forms).
constexpr FccEqnRow conv(E eq, const char* shortName, const char* record, F form, std::array<FccVarRef, kFccMaxRowVars> vars) {
  return {eq, shortName, R::SulfurBal, record, form, vars};
}

// Product mass from its yield: FEEDMASS, fraction, MASSFACTOR, mass [, cut-off].
constexpr FccEqnRow yield(E eq, const char* s, R r, const char* frac, const char* mass, const char* cutoff = nullptr) {
  return member(eq, s, r, F::YieldMass,
                {kFeedMass, out(frac), kMassFactor, calc(mass), cutoff ? con(cutoff) : FccVarRef{}});
}
// Component share of a mix: component, mix, share.
constexpr FccEqnRow share(E eq, const char* s, R r, FccVarRef part, const char* mix, const char* shareName) {
  return member(eq, s, r, F::Share, {part, calc(mix), calc(shareName)});
}
// Product sulfur mass: mass, FEEDSUL, relative sulfur, sulfur mass.
constexpr FccEqnRow sulMass(E eq, const char* s, R r, const char* mass, const char* rel, const char* sulmass) {
  return member(eq, s, r, F::SulMass, {calc(mass), kFeedSul, out(rel), calc(sulmass)});
}

constexpr std::array<FccEqnRow, kFccEqCount> kEquations = {{
    yield(E::FGSMass, "FGSMass", R::FGSMass, "FGSFRAC", "FGSMASS"),
    yield(E::C3Mass, "C3Mass", R::C3Mass, "C3FRAC", "C3MASS"),
    yield(E::C32Mass, "C32Mass", R::C32Mass, "C32FRAC", "C32MASS"),
    yield(E::NC4Mass, "NC4Mass", R::NC4Mass, "NC4FRAC", "NC4MASS"),
    yield(E::IC4Mass, "IC4Mass", R::IC4Mass, "IC4FRAC", "IC4MASS"),
    yield(E::UC4Mass, "UC4Mass", R::UC4Mass, "UC4FRAC", "UC4MASS"),
    // The naphtha cuts come from paired networks and may fall below zero:
    // their floor is the cut's own cut-off constant.
    yield(E::C5SMass, "C5SMass", R::C5SMass, "C5SFRAC", "C5SMASS", "C5SCUTOFF"),
    yield(E::LCNMass, "LCNMass", R::LCNMass, "LCNFRAC", "LCNMASS", "LCNCUTOFF"),
    yield(E::MCNMass, "MCNMass", R::MCNMass, "MCNFRAC", "MCNMASS", "MCNCUTOFF"),
    yield(E::HCNMass, "HCNMass", R::HCNMass, "HCNFRAC", "HCNMASS", "HCNCUTOFF"),
    yield(E::LCOMass, "LCOMass", R::LCOMass, "LCOFRAC", "LCOMASS"),
    yield(E::HCOMass, "HCOMass", R::HCOMass, "HCOFRAC", "HCOMASS"),
    yield(E::BOTMass, "BOTMass", R::BOTMass, "BOTFRAC", "BOTMASS"),
    yield(E::COKMass, "COKMass", R::COKMass, "COKFRAC", "COKMASS"),
    // Fuel-oil-equivalent volumes of coke, fuel gas and H2S.
    member(E::COKFOE, "COKFOE", R::COKFOE, F::CokFoe, {calc("COKMASS"), con("COKFOEFACTOR"), calc("COKVOL")}),
    member(E::FGSFOE, "FGSFOE", R::FGSFOE, F::GasFoe,
           {mol("FGSMOL"), con("FGSMW"), con("FGSFOEFACTOR"), calc("FGSVOL")}),
    member(E::H2SFOE, "H2SFOE", R::H2SFOE, F::GasFoe,
           {mol("H2SMOL"), con("H2SMW"), con("H2SFOEFACTOR"), calc("H2SVOL")}),
    // C3 mix (C3 saturated, C32 unsaturated) and C4 mix (NC4, IC4, UC4).
    member(E::C3MixMass, "C3MixMass", R::C3MixMass, F::MixSum, {calc("C3MASS"), calc("C32MASS"), calc("C3MIXMASS")}),
    member(E::C3MixVol, "C3MixVol", R::C3MixVol, F::MixSum, {vol("C3VOL"), vol("C32VOL"), calc("C3MIXVOL")}),
    member(E::C4MixMass, "C4MixMass", R::C4MixMass, F::MixSum,
           {calc("NC4MASS"), calc("IC4MASS"), calc("UC4MASS"), calc("C4MIXMASS")}),
    member(E::C4MixVol, "C4MixVol", R::C4MixVol, F::MixSum,
           {vol("NC4VOL"), vol("IC4VOL"), vol("UC4VOL"), calc("C4MIXVOL")}),
    share(E::UnSatInC3Mix, "UnSatInC3Mix", R::UnSatInC3Mix, calc("C32MASS"), "C3MIXMASS", "UNSATINC3MIX"),
    share(E::SatInC3Mix, "SatInC3Mix", R::SatInC3Mix, calc("C3MASS"), "C3MIXMASS", "SATINC3MIX"),
    share(E::UnSatInC4Mix, "UnSatInC4Mix", R::UnSatInC4Mix, calc("UC4MASS"), "C4MIXMASS", "UNSATINC4MIX"),
    share(E::NSatInC4Mix, "NSatInC4Mix", R::NSatInC4Mix, calc("NC4MASS"), "C4MIXMASS", "NSATINC4MIX"),
    share(E::ISatInC4Mix, "ISatInC4Mix", R::ISatInC4Mix, calc("IC4MASS"), "C4MIXMASS", "ISATINC4MIX"),
    share(E::UnSatInC3MixVol, "UnSatInC3MixVol", R::UnSatInC3MixVol, vol("C32VOL"), "C3MIXVOL", "UNSATINC3MIXVOL"),
    share(E::SatInC3MixVol, "SatInC3MixVol", R::SatInC3MixVol, vol("C3VOL"), "C3MIXVOL", "SATINC3MIXVOL"),
    share(E::UnSatInC4MixVol, "UnSatInC4MixVol", R::UnSatInC4MixVol, vol("UC4VOL"), "C4MIXVOL", "UNSATINC4MIXVOL"),
    share(E::NSatInC4MixVol, "NSatInC4MixVol", R::NSatInC4MixVol, vol("NC4VOL"), "C4MIXVOL", "NSATINC4MIXVOL"),
    share(E::ISatInC4MixVol, "ISatInC4MixVol", R::ISatInC4MixVol, vol("IC4VOL"), "C4MIXVOL", "ISATINC4MIXVOL"),
    // Sulfur: with the feed, with each product, and as each product's percentage.
    member(E::FeedSulMass, "FeedSulMass", R::FeedSulMass, F::FeedSulMass, {kFeedMass, kFeedSul, calc("FEEDSULMASS")}),
    sulMass(E::C5SSulMass, "C5SSulMass", R::C5SSulMass, "C5SMASS", "C5SRELSUL", "C5SSULMASS"),
    sulMass(E::LCNSulMass, "LCNSulMass", R::LCNSulMass, "LCNMASS", "LCNRELSUL", "LCNSULMASS"),
    sulMass(E::MCNSulMass, "MCNSulMass", R::MCNSulMass, "MCNMASS", "MCNRELSUL", "MCNSULMASS"),
    sulMass(E::HCNSulMass, "HCNSulMass", R::HCNSulMass, "HCNMASS", "HCNRELSUL", "HCNSULMASS"),
    sulMass(E::LCOSulMass, "LCOSulMass", R::LCOSulMass, "LCOMASS", "LCORELSUL", "LCOSULMASS"),
    sulMass(E::HCOSulMass, "HCOSulMass", R::HCOSulMass, "HCOMASS", "HCORELSUL", "HCOSULMASS"),
    sulMass(E::BOTSulMass, "BOTSulMass", R::BOTSulMass, "BOTMASS", "BOTRELSUL", "BOTSULMASS"),
    sulMass(E::COKSulMass, "COKSulMass", R::COKSulMass, "COKMASS", "COKRELSUL", "COKSULMASS"),
    member(E::C5SSul, "C5SSul", R::C5SSul, F::Sul, {calc("C5SMASS"), calc("C5SSUL"), calc("C5SSULMASS")}),
    member(E::LCNSul, "LCNSul", R::LCNSul, F::Sul, {calc("LCNMASS"), calc("LCNSUL"), calc("LCNSULMASS")}),
    member(E::MCNSul, "MCNSul", R::MCNSul, F::Sul, {calc("MCNMASS"), calc("MCNSUL"), calc("MCNSULMASS")}),
    member(E::HCNSul, "HCNSul", R::HCNSul, F::Sul, {calc("HCNMASS"), calc("HCNSUL"), calc("HCNSULMASS")}),
    member(E::LCOSul, "LCOSul", R::LCOSul, F::Sul, {calc("LCOMASS"), calc("LCOSUL"), calc("LCOSULMASS")}),
    member(E::HCOSul, "HCOSul", R::HCOSul, F::Sul, {calc("HCOMASS"), calc("HCOSUL"), calc("HCOSULMASS")}),
    member(E::BOTSul, "BOTSul", R::BOTSul, F::Sul, {calc("BOTMASS"), calc("BOTSUL"), calc("BOTSULMASS")}),
    member(E::COKSul, "COKSul", R::COKSul, F::Sul, {calc("COKMASS"), calc("COKSUL"), calc("COKSULMASS")}),
    // Volume flows from mass flows: light ends by constant, liquids by network SG.
    conv(E::FeedVol, "FeedVol", "CONV_FEEDVOL", F::Vol, {vol("FEEDVOL"), in("FEEDSG"), kFeedMass}),
    conv(E::C3Vol, "C3Vol", "CONV_C3VOL", F::Vol, {vol("C3VOL"), con("C3SG"), calc("C3MASS")}),
    conv(E::C32Vol, "C32Vol", "CONV_C32VOL", F::Vol, {vol("C32VOL"), con("C32SG"), calc("C32MASS")}),
    conv(E::NC4Vol, "NC4Vol", "CONV_NC4VOL", F::Vol, {vol("NC4VOL"), con("NC4SG"), calc("NC4MASS")}),
    conv(E::IC4Vol, "IC4Vol", "CONV_IC4VOL", F::Vol, {vol("IC4VOL"), con("IC4SG"), calc("IC4MASS")}),
    conv(E::UC4Vol, "UC4Vol", "CONV_UC4VOL", F::Vol, {vol("UC4VOL"), con("UC4SG"), calc("UC4MASS")}),
    conv(E::C5SVol, "C5SVol", "CONV_C5SVOL", F::Vol, {vol("C5SVOL"), out("C5SSG"), calc("C5SMASS")}),
    conv(E::LCNVol, "LCNVol", "CONV_LCNVOL", F::Vol, {vol("LCNVOL"), out("LCNSG"), calc("LCNMASS")}),
    conv(E::MCNVol, "MCNVol", "CONV_MCNVOL", F::Vol, {vol("MCNVOL"), out("MCNSG"), calc("MCNMASS")}),
    conv(E::HCNVol, "HCNVol", "CONV_HCNVOL", F::Vol, {vol("HCNVOL"), out("HCNSG"), calc("HCNMASS")}),
    conv(E::LCOVol, "LCOVol", "CONV_LCOVOL", F::Vol, {vol("LCOVOL"), out("LCOSG"), calc("LCOMASS")}),
    conv(E::HCOVol, "HCOVol", "CONV_HCOVOL", F::Vol, {vol("HCOVOL"), out("HCOSG"), calc("HCOMASS")}),
    conv(E::BOTVol, "BOTVol", "CONV_BOTVOL", F::Vol, {vol("BOTVOL"), out("BOTSG"), calc("BOTMASS")}),
    // Gas molar flows: fuel gas by its molar-mass constant, H2S by its fixed molar mass.
    conv(E::FGSMol, "FGSMol", "CONV_FGSMOL", F::GasMol, {mol("FGSMOL"), con("FGSMW"), calc("FGSMASS")}),
    conv(E::H2SMol, "H2SMol", "CONV_H2SMOL", F::H2SMol, {mol("H2SMOL"), calc("H2SMASS")}),
    member(E::C5SRVI, "C5SRVI", R::C5SRVI, F::Rvi, {out("C5SRVP"), calc("C5SRVI")}),
    // HCOVOL takes part only for the "1H" model kinds. The conversion counts
    // no coke: COKVOL keeps its place in the pattern with the entry 0.
    member(E::Conversion, "Conversion", R::Conversion, F::Conversion,
           {vol("FEEDVOL"), vol("LCOVOL"), vol("HCOVOL"), vol("BOTVOL"), {FccMap::Calc, "COKVOL", true},
            calc("CONVERSION")}),
    // H2S yield: no MASSFACTOR.
    member(E::H2SMass, "H2SMass", R::H2SMass, F::H2SMass, {calc("H2SFRAC"), kFeedMass, calc("H2SMASS")}),
}};

constexpr bool rowsInOrder() {
  for (int i = 0; i < kFccEqCount; ++i)
    if (static_cast<int>(kEquations[i].eq) != i) return false;
  return true;
}
static_assert(rowsInOrder(), "equation rows follow the FCC equation order");

}  // namespace

const std::array<FccEqnRow, kFccEqCount>& fccEquations() { return kEquations; }
