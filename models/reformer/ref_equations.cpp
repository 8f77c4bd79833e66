// The reformer's equation records and its equation table: one row per model
// equation with its record, its residual form and its variables in pattern
// order.
#include <stdexcept>

#include "core/helpers.h"
#include "models/reformer/ref_tables.h"

namespace reformer {

namespace {

constexpr VarMap In = VarMap::Input;
constexpr VarMap Out = VarMap::Output;
constexpr VarMap Fac = VarMap::Factor;
constexpr VarMap Vol = VarMap::Volume;
constexpr VarMap Mol = VarMap::Molar;
constexpr VarMap Con = VarMap::Const;
constexpr VarMap Calc = VarMap::Calc;

constexpr const char* kRecordNames[kRecordCount] = {
    "HYDROGEN_BAL",   "EQN_MEABP",      "EQN_FEEDCNO",    "EQN_FEEDHYD",    "EQN_FEEDAROM",   "EQN_FEEDNAPH",
    "EQN_FGSMASS",    "EQN_C3MASS",     "EQN_NC4MASS",    "EQN_IC4MASS",    "EQN_RFTMASS",    "EQN_RF1MASS",
    "EQN_RF2MASS",    "EQN_AROMASS",    "EQN_RAFMASS",    "EQN_FEEDHYDMASS", "EQN_FGSHYDMASS", "EQN_C3HYDMASS",
    "EQN_NC4HYDMASS", "EQN_IC4HYDMASS", "EQN_RFTHYDMASS", "EQN_RF1HYDMASS", "EQN_RF2HYDMASS", "EQN_AROHYDMASS",
    "EQN_RAFHYDMASS", "EQN_AROHYD",
};

// Hydrogen contents of the light ends, percent by mass (C3H8 and C4H10).
constexpr double kPropaneHydrogen = 18.182;
constexpr double kButaneHydrogen = 17.24;

using R = Record;
using F = Form;

}  // namespace

const char* recordName(Record record) {
  const int i = static_cast<int>(record);
  if (i < 0 || i >= kRecordCount) throw std::out_of_range(kInvalidMapKey);
  return kRecordNames[i];
}

const std::array<EqnRow, kEqCount>& equationTable() {
  using enum Eq;
  static const std::array<EqnRow, kEqCount> rows = {{
      // Feed correlations.
      {MEABP, "MEABP", R::MEABP, nullptr, F::FeedMEABP,
       {{{In, "MEABP"}, {Calc, "FEEDSG"}, {In, "FEEDNAPH"}, {In, "FEEDAROM"}}}},
      {FeedCNO, "FeedCNO", R::FeedCNO, nullptr, F::FeedCNO,
       {{{Calc, "FEEDCNO"}, {Calc, "FEEDSG"}, {In, "FEEDNAPH"}, {In, "FEEDAROM"}}}},
      {FeedHyd, "FeedHyd", R::FeedHyd, nullptr, F::FeedHyd,
       {{{Calc, "FEEDHYD"}, {Calc, "FEEDCNO"}, {In, "FEEDNAPH"}, {In, "FEEDAROM"}}}},
      {FeedArom, "FeedArom", R::FeedArom, nullptr, F::FeedArom, {{{In, "FEEDAROM"}, {Calc, "FEEDNA"}, {Con, "RATIONA"}}}},
      {FeedNaph, "FeedNaph", R::FeedNaph, nullptr, F::FeedNaph, {{{In, "FEEDNAPH"}, {Calc, "FEEDNA"}, {Con, "RATIONA"}}}},
      // Product masses: the floored yield times the feed and the mass factor.
      {H2Mass, "H2Mass", R::H2Mass, nullptr, F::YieldMass,
       {{{In, "FEEDMASS"}, {Out, "H2FRAC"}, {Fac, "MASSFACTOR"}, {Calc, "H2MASS"}}}},
      {C3Mass, "C3Mass", R::C3Mass, nullptr, F::YieldMass,
       {{{In, "FEEDMASS"}, {Out, "C3FRAC"}, {Fac, "MASSFACTOR"}, {Calc, "C3MASS"}}}},
      {NC4Mass, "NC4Mass", R::NC4Mass, nullptr, F::YieldMass,
       {{{In, "FEEDMASS"}, {Out, "NC4FRAC"}, {Fac, "MASSFACTOR"}, {Calc, "NC4MASS"}}}},
      {IC4Mass, "IC4Mass", R::IC4Mass, nullptr, F::YieldMass,
       {{{In, "FEEDMASS"}, {Out, "IC4FRAC"}, {Fac, "MASSFACTOR"}, {Calc, "IC4MASS"}}}},
      {RFTMass, "RFTMass", R::RFTMass, nullptr, F::YieldMass,
       {{{In, "FEEDMASS"}, {Out, "RFTFRAC"}, {Fac, "MASSFACTOR"}, {Calc, "RFTMASS"}}}},
      {RF1Mass, "RF1Mass", R::RF1Mass, nullptr, F::YieldMass,
       {{{In, "FEEDMASS"}, {Out, "RF1FRAC"}, {Fac, "MASSFACTOR"}, {Calc, "RF1MASS"}}}},
      {RF2Mass, "RF2Mass", R::RF2Mass, nullptr, F::YieldMass,
       {{{In, "FEEDMASS"}, {Out, "RF2FRAC"}, {Fac, "MASSFACTOR"}, {Calc, "RF2MASS"}}}},
      {AROMass, "AROMass", R::AROMass, nullptr, F::YieldMass,
       {{{In, "FEEDMASS"}, {Out, "AROFRAC"}, {Fac, "MASSFACTOR"}, {Calc, "AROMASS"}}}},
      {RAFMass, "RAFMass", R::RAFMass, nullptr, F::YieldMass,
       {{{In, "FEEDMASS"}, {Out, "RAFFRAC"}, {Fac, "MASSFACTOR"}, {Calc, "RAFMASS"}}}},
      // Hydrogen masses: mass times content in percent.
      {FeedHydMass, "FeedHydMass", R::FeedHydMass, nullptr, F::HydMass,
       {{{In, "FEEDMASS"}, {Calc, "FEEDHYD"}, {Calc, "FEEDHYDMASS"}}}},
      {FGSHydMass, "FGSHydMass", R::FGSHydMass, nullptr, F::HydMass,
       {{{Calc, "FGSMASS"}, {Con, "FGSHYD"}, {Calc, "FGSHYDMASS"}}}},
      {C3HydMass, "C3HydMass", R::C3HydMass, nullptr, F::FixedHydMass, {{{Calc, "C3MASS"}, {Calc, "C3HYDMASS"}}},
       kPropaneHydrogen},
      {NC4HydMass, "NC4HydMass", R::NC4HydMass, nullptr, F::FixedHydMass, {{{Calc, "NC4MASS"}, {Calc, "NC4HYDMASS"}}},
       kButaneHydrogen},
      {IC4HydMass, "IC4HydMass", R::IC4HydMass, nullptr, F::FixedHydMass, {{{Calc, "IC4MASS"}, {Calc, "IC4HYDMASS"}}},
       kButaneHydrogen},
      {RFTHydMass, "RFTHydMass", R::RFTHydMass, nullptr, F::HydMass,
       {{{Calc, "RFTMASS"}, {Out, "RFTHYD"}, {Calc, "RFTHYDMASS"}}}},
      {RF1HydMass, "RF1HydMass", R::RF1HydMass, nullptr, F::HydMass,
       {{{Calc, "RF1MASS"}, {Out, "RF1HYD"}, {Calc, "RF1HYDMASS"}}}},
      {RF2HydMass, "RF2HydMass", R::RF2HydMass, nullptr, F::HydMass,
       {{{Calc, "RF2MASS"}, {Out, "RF2HYD"}, {Calc, "RF2HYDMASS"}}}},
      {AROHydMass, "AROHydMass", R::AROHydMass, nullptr, F::HydMass,
       {{{Calc, "AROMASS"}, {Calc, "AROHYD"}, {Calc, "AROHYDMASS"}}}},
      {RAFHydMass, "RAFHydMass", R::RAFHydMass, nullptr, F::HydMass,
       {{{Calc, "RAFMASS"}, {Out, "RAFHYD"}, {Calc, "RAFHYDMASS"}}}},
      // Volume flows: liquids by their gravity, the gases by their FOE factor.
      {FeedVol, "FeedVol", R::None, "CONV_FEEDVOL", F::LiquidVol,
       {{{Vol, "FEEDVOL"}, {Calc, "FEEDSG"}, {In, "FEEDMASS"}}}},
      {FGSVol, "FGSVol", R::None, "CONV_FGSVOL", F::GasVol,
       {{{Vol, "FGSVOL"}, {Con, "FGSMW"}, {Con, "FGSFOE"}, {Mol, "FGSMOL"}}}},
      {H2Vol, "H2Vol", R::None, "CONV_H2VOL", F::GasVol,
       {{{Vol, "H2VOL"}, {Con, "H2MW"}, {Con, "H2FOE"}, {Mol, "H2MOL"}}}},
      {C3Vol, "C3Vol", R::None, "CONV_C3VOL", F::LiquidVol, {{{Vol, "C3VOL"}, {Con, "C3SG"}, {Calc, "C3MASS"}}}},
      {NC4Vol, "NC4Vol", R::None, "CONV_NC4VOL", F::LiquidVol, {{{Vol, "NC4VOL"}, {Con, "NC4SG"}, {Calc, "NC4MASS"}}}},
      {IC4Vol, "IC4Vol", R::None, "CONV_IC4VOL", F::LiquidVol, {{{Vol, "IC4VOL"}, {Con, "IC4SG"}, {Calc, "IC4MASS"}}}},
      {RFTVol, "RFTVol", R::None, "CONV_RFTVOL", F::LiquidVol, {{{Vol, "RFTVOL"}, {Out, "RFTSG"}, {Calc, "RFTMASS"}}}},
      {RF1Vol, "RF1Vol", R::None, "CONV_RF1VOL", F::LiquidVol, {{{Vol, "RF1VOL"}, {Out, "RF1SG"}, {Calc, "RF1MASS"}}}},
      {RF2Vol, "RF2Vol", R::None, "CONV_RF2VOL", F::LiquidVol, {{{Vol, "RF2VOL"}, {Out, "RF2SG"}, {Calc, "RF2MASS"}}}},
      {AROVol, "AROVol", R::None, "CONV_AROVOL", F::LiquidVol, {{{Vol, "AROVOL"}, {Out, "AROSG"}, {Calc, "AROMASS"}}}},
      {RAFVol, "RAFVol", R::None, "CONV_RAFVOL", F::LiquidVol, {{{Vol, "RAFVOL"}, {Out, "RAFSG"}, {Calc, "RAFMASS"}}}},
      // Gas moles.
      {FGSMol, "FGSMol", R::None, "CONV_FGSMOL", F::GasMol, {{{Mol, "FGSMOL"}, {Con, "FGSMW"}, {Calc, "FGSMASS"}}}},
      {H2Mol, "H2Mol", R::None, "CONV_H2MOL", F::H2Mol, {{{Mol, "H2MOL"}, {Calc, "H2MASS"}}}},
      // Aromatics hydrogen from the composition of the aromatics cut.
      {AROHyd, "AROHyd", R::AROHyd, nullptr, F::AroHyd,
       {{{Out, "AROBENZ"}, {Out, "AROTOL"}, {Out, "AROXYL"}, {Out, "AROC9P"}, {Out, "AROSG"}, {Calc, "AROHYD"}}}},
  }};
  return rows;
}

const EqnRow& equationRow(Eq eq) {
  const auto i = static_cast<std::size_t>(eq);
  const auto& rows = equationTable();
  if (i >= rows.size() || rows[i].eq != eq) throw std::logic_error("reformer equation table out of order");
  return rows[i];
}

}  // namespace reformer
