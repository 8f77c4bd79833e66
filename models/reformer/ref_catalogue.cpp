// The reformer's variable catalogues and its three product slates.
#include <initializer_list>

#include "models/reformer/ref_tables.h"

namespace reformer {

namespace {

using namespace category;

// Unit pairs: values in the base unit, the display unit shown to the user.
constexpr const char* kg = "KG/HR";
constexpr const char* tpd = "TONNE/DAY";
constexpr const char* cum = "CUM/HR";
constexpr const char* kbd = "KBBL/DAY";
constexpr const char* kmol = "KMOL/HR";
constexpr const char* mmscfd = "MMSCFD";

// Every hook order begins with the adjustment rows and the two balances.
std::vector<Step> afterBalances(std::initializer_list<Eq> eqs) {
  std::vector<Step> steps = {{Step::Adjustment, Eq::MEABP}, {Step::MassBal, Eq::MEABP}, {Step::HydrogenBal, Eq::MEABP}};
  for (Eq eq : eqs) steps.push_back({Step::Equation, eq});
  return steps;
}

// The four terms of the hydrogen-balance correction follow the hydrogen masses.
std::vector<VarRef> hydrogenBalance(std::initializer_list<const char*> productHydrogen) {
  std::vector<VarRef> entries = {{Calc, "FEEDHYDMASS"}, {Calc, "H2MASS"},     {Calc, "FGSHYDMASS"},
                                 {Calc, "C3HYDMASS"},   {Calc, "NC4HYDMASS"}, {Calc, "IC4HYDMASS"}};
  for (const char* name : productHydrogen) entries.push_back({Calc, name});
  for (const char* name : {"FEEDMASS", "TARGETRON", "FEEDNAPH", "FEEDAROM"}) entries.push_back({In, name});
  return entries;
}

std::vector<VarRef> massBalance(std::initializer_list<const char*> productMasses) {
  std::vector<VarRef> entries = {{In, "FEEDMASS"},  {Calc, "H2MASS"},  {Calc, "FGSMASS"},
                                 {Calc, "C3MASS"},  {Calc, "NC4MASS"}, {Calc, "IC4MASS"}};
  for (const char* name : productMasses) entries.push_back({Calc, name});
  return entries;
}

}  // namespace

const std::vector<CatalogueRow>& baseCatalogue() {
  static const std::vector<CatalogueRow> rows = {
      // name,        display,    base,    lower,       upper,       map
      {"FEEDMASS",    tpd,        kg,      100,         1000000,     In},
      {"FEEDAROM",    "PERCENT",  nullptr, 0,           100,         In},
      {"FEEDNAPH",    "PERCENT",  nullptr, 0,           100,         In},
      {"TARGETRON",   "UNITLESS", nullptr, 70,          120,         In},
      {"CATAGE",      "PERCENT",  nullptr, 0,           100,         In, kSemiOnly},
      {"MEABP",       "F",        nullptr, 200,         400,         In},
      {"H2FRAC",      "FRACTION", nullptr, 0,           1,           Out},
      {"C3FRAC",      "FRACTION", nullptr, 0,           1,           Out},
      {"NC4FRAC",     "FRACTION", nullptr, 0,           1,           Out},
      {"IC4FRAC",     "FRACTION", nullptr, 0,           1,           Out},
      {"MASSFACTOR",  "UNITLESS", nullptr, 0.5,         1.5,         Fac},
      {"FEEDVOL",     kbd,        cum,     10,          10000,       Vol},
      {"FGSVOL",      kbd,        cum,     0,           10000,       Vol},
      {"H2VOL",       kbd,        cum,     0,           10000,       Vol},
      {"C3VOL",       kbd,        cum,     0,           10000,       Vol},
      {"IC4VOL",      kbd,        cum,     0,           10000,       Vol},
      {"NC4VOL",      kbd,        cum,     0,           10000,       Vol},
      {"FGSMOL",      mmscfd,     kmol,    0,           20000,       Mol},
      {"H2MOL",       mmscfd,     kmol,    0,           20000,       Mol},
      {"FGSMW",       "UNITLESS", nullptr, 20.65,       20.65,       Const},
      {"FGSHYD",      "PERCENT",  nullptr, 22.6,        22.6,        Const},
      {"FGSFOE",      "UNITLESS", nullptr, 0.811249393, 0.811249393, Const},
      {"H2FOE",       "UNITLESS", nullptr, 0.3045,      0.3045,      Const},
      {"RATIONA",     "UNITLESS", nullptr, 7,           7,           Const},
      {"H2MW",        "UNITLESS", nullptr, 2.01588,     2.01588,     Const},
      {"C3SG",        "UNITLESS", nullptr, 0.5085,      0.5085,      Const},
      {"NC4SG",       "UNITLESS", nullptr, 0.5948,      0.5948,      Const},
      {"IC4SG",       "UNITLESS", nullptr, 0.5646,      0.5646,      Const},
      {"FEEDSG",      "UNITLESS", nullptr, 0.67,        0.8,         Calc},
      {"FEEDHYD",     "PERCENT",  nullptr, 0,           20,          Calc},
      {"FEEDCNO",     "UNITLESS", nullptr, 4,           15,          Calc},
      {"H2MASS",      tpd,        kg,      0,           1000000,     Calc},
      {"FGSMASS",     tpd,        kg,      0,           1000000,     Calc},
      {"C3MASS",      tpd,        kg,      0,           1000000,     Calc},
      {"NC4MASS",     tpd,        kg,      0,           1000000,     Calc},
      {"IC4MASS",     tpd,        kg,      0,           1000000,     Calc},
      {"FEEDHYDMASS", tpd,        kg,      0,           100000,      Calc},
      {"FGSHYDMASS",  tpd,        kg,      0,           100000,      Calc},
      {"C3HYDMASS",   tpd,        kg,      0,           100000,      Calc},
      {"NC4HYDMASS",  tpd,        kg,      0,           100000,      Calc},
      {"IC4HYDMASS",  tpd,        kg,      0,           100000,      Calc},
      {"FEEDNA",      "PERCENT",  nullptr, 0,           100,         Calc},
  };
  return rows;
}

const SlateDef& oneReformateSlate() {
  using enum Eq;
  static const SlateDef slate = {
      "1R",
      {
          {"RFTFRAC",    "FRACTION", nullptr, 0,   1,       Out},
          {"RFTSG",      "UNITLESS", nullptr, 0.7, 0.9,     Out},
          {"RFTRON",     "UNITLESS", nullptr, 20,  120,     Out},
          {"RFTMON",     "UNITLESS", nullptr, 20,  120,     Out},
          {"RFTOLEF",    "PERCENT",  nullptr, 0,   100,     Out},
          {"RFTAROM",    "PERCENT",  nullptr, 0,   100,     Out},
          {"RFTBENZ",    "PERCENT",  nullptr, 0,   100,     Out},
          {"RFTRVP",     "KPA",      nullptr, 0,   200,     Out},
          {"RFTVOL",     kbd,        cum,     0,   10000,   Vol},
          {"RFTHYD",     "PERCENT",  nullptr, 0,   20,      Out},
          {"RFTMASS",    tpd,        kg,      0,   1000000, Calc},
          {"RFTHYDMASS", tpd,        kg,      0,   100000,  Calc},
      },
      {Record::RFTMass, Record::RFTHydMass},
      massBalance({"RFTMASS"}),
      hydrogenBalance({"RFTHYDMASS"}),
      afterBalances({MEABP, FeedCNO, FeedHyd, FeedArom, FeedNaph, H2Mass, C3Mass, NC4Mass, IC4Mass, RFTMass,
                     FeedHydMass, FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass, RFTHydMass, FeedVol, FGSVol, H2Vol,
                     C3Vol, NC4Vol, IC4Vol, RFTVol, H2Mol, FGSMol}),
      afterBalances({MEABP, FeedCNO, FeedHyd, FeedArom, FeedNaph, H2Mass, C3Mass, NC4Mass, IC4Mass, FeedHydMass,
                     FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass, FeedVol, FGSVol, H2Vol, C3Vol, NC4Vol, IC4Vol,
                     RFTVol, FGSMol, H2Mol, RFTMass, RFTHydMass}),
      afterBalances({H2Mass, C3Mass, NC4Mass, IC4Mass, FeedHydMass, FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass,
                     C3Vol, FeedVol, FGSVol, H2Vol, IC4Vol, NC4Vol, RFTVol, FGSMol, H2Mol, MEABP, FeedCNO, FeedHyd,
                     FeedArom, FeedNaph, RFTMass, RFTHydMass}),
      {{Out, "RFTSG"}, {Out, "RFTRON"}, {Out, "RFTMON"}, {Out, "RFTOLEF"}, {Out, "RFTAROM"}, {Out, "RFTBENZ"},
       {Out, "RFTRVP"}, {Out, "RFTHYD"}},
      {{"RFT", ProductDef::ScanHydrogen::Adjusted, {Out, "RFTHYD"}}},
      false,
  };
  return slate;
}

const SlateDef& twoReformateSlate() {
  using enum Eq;
  static const SlateDef slate = {
      "2R",
      {
          {"RF1FRAC",    "FRACTION", nullptr, 0,    1,       Out},
          {"RF2FRAC",    "FRACTION", nullptr, 0,    1,       Out},
          {"RF1SG",      "UNITLESS", nullptr, 0.7,  0.9,     Out},
          {"RF1RON",     "UNITLESS", nullptr, 20,   120,     Out},
          {"RF1MON",     "UNITLESS", nullptr, 20,   120,     Out},
          {"RF1OLEF",    "PERCENT",  nullptr, 0,    100,     Out},
          {"RF1AROM",    "PERCENT",  nullptr, 0,    100,     Out},
          {"RF1BENZ",    "PERCENT",  nullptr, 0,    100,     Out},
          {"RF1RVP",     "KPA",      nullptr, 0,    100,     Out},
          {"RF2SG",      "UNITLESS", nullptr, 0.75, 0.95,    Out},
          {"RF2RON",     "UNITLESS", nullptr, 20,   120,     Out},
          {"RF2MON",     "UNITLESS", nullptr, 20,   120,     Out},
          {"RF2OLEF",    "PERCENT",  nullptr, 0,    100,     Out},
          {"RF2AROM",    "PERCENT",  nullptr, 0,    100,     Out},
          {"RF2BENZ",    "PERCENT",  nullptr, 0,    100,     Out},
          {"RF2RVP",     "KPA",      nullptr, 0,    200,     Out},
          {"RF1VOL",     kbd,        cum,     0,    10000,   Vol},
          {"RF2VOL",     kbd,        cum,     0,    10000,   Vol},
          {"RF1HYD",     "PERCENT",  nullptr, 0,    20,      Out},
          {"RF2HYD",     "PERCENT",  nullptr, 0,    20,      Out},
          {"RF1MASS",    tpd,        kg,      0,    1000000, Calc},
          {"RF2MASS",    tpd,        kg,      0,    1000000, Calc},
          {"RF1HYDMASS", tpd,        kg,      0,    100000,  Calc},
          {"RF2HYDMASS", tpd,        kg,      0,    100000,  Calc},
      },
      {Record::RF1Mass, Record::RF2Mass, Record::RF1HydMass, Record::RF2HydMass},
      massBalance({"RF1MASS", "RF2MASS"}),
      hydrogenBalance({"RF1HYDMASS", "RF2HYDMASS"}),
      afterBalances({MEABP, FeedCNO, FeedHyd, FeedArom, FeedNaph, H2Mass, C3Mass, NC4Mass, IC4Mass, RF1Mass, RF2Mass,
                     FeedHydMass, FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass, RF1HydMass, RF2HydMass, FeedVol,
                     FGSVol, H2Vol, C3Vol, NC4Vol, IC4Vol, RF1Vol, RF2Vol, H2Mol, FGSMol}),
      afterBalances({MEABP, FeedCNO, FeedHyd, FeedArom, FeedNaph, H2Mass, C3Mass, NC4Mass, IC4Mass, FeedHydMass,
                     FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass, FeedVol, FGSVol, H2Vol, C3Vol, NC4Vol, IC4Vol,
                     RF1Vol, RF2Vol, FGSMol, H2Mol, RF1Mass, RF2Mass, RF1HydMass, RF2HydMass}),
      afterBalances({H2Mass, C3Mass, NC4Mass, IC4Mass, FeedHydMass, FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass,
                     C3Vol, FeedVol, FGSVol, H2Vol, IC4Vol, NC4Vol, RF1Vol, RF2Vol, FGSMol, H2Mol, MEABP, FeedCNO,
                     FeedHyd, FeedArom, FeedNaph, RF1Mass, RF2Mass, RF1HydMass, RF2HydMass}),
      {{Out, "RF1SG"},   {Out, "RF1RON"}, {Out, "RF1MON"},  {Out, "RF1OLEF"}, {Out, "RF1AROM"}, {Out, "RF1BENZ"},
       {Out, "RF1RVP"},  {Out, "RF1HYD"}, {Out, "RF2SG"},   {Out, "RF2RON"},  {Out, "RF2MON"},  {Out, "RF2OLEF"},
       {Out, "RF2AROM"}, {Out, "RF2BENZ"}, {Out, "RF2RVP"}, {Out, "RF2HYD"}},
      {{"RF1", ProductDef::ScanHydrogen::Adjusted, {Out, "RF1HYD"}},
       {"RF2", ProductDef::ScanHydrogen::Adjusted, {Out, "RF2HYD"}}},
      false,
  };
  return slate;
}

const SlateDef& aromaticsSlate() {
  using enum Eq;
  static const SlateDef slate = {
      "A",
      {
          // AROHYD is computed from the composition: no network, no tuning factors.
          {"AROFRAC",    "FRACTION", nullptr, 0,   1,       Out},
          {"RAFFRAC",    "FRACTION", nullptr, 0,   1,       Out},
          {"AROBENZ",    "PERCENT",  nullptr, 0,   100,     Out},
          {"AROTOL",     "PERCENT",  nullptr, 0,   100,     Out},
          {"AROXYL",     "PERCENT",  nullptr, 0,   100,     Out},
          {"AROC9P",     "PERCENT",  nullptr, 0,   100,     Out},
          {"AROSG",      "UNITLESS", nullptr, 0.8, 0.95,    Out},
          {"RAFSG",      "UNITLESS", nullptr, 0.6, 0.8,     Out},
          {"AROVOL",     kbd,        cum,     0,   10000,   Vol},
          {"RAFVOL",     kbd,        cum,     0,   10000,   Vol},
          {"AROHYD",     "PERCENT",  nullptr, 0,   20,      Calc},
          {"RAFHYD",     "PERCENT",  nullptr, 0,   20,      Out},
          {"AROMASS",    tpd,        kg,      0,   1000000, Calc},
          {"RAFMASS",    tpd,        kg,      0,   1000000, Calc},
          {"AROHYDMASS", tpd,        kg,      0,   100000,  Calc},
          {"RAFHYDMASS", tpd,        kg,      0,   100000,  Calc},
      },
      {Record::AROHyd, Record::AROMass, Record::RAFMass, Record::AROHydMass, Record::RAFHydMass},
      massBalance({"AROMASS", "RAFMASS"}),
      hydrogenBalance({"AROHYDMASS", "RAFHYDMASS"}),
      afterBalances({MEABP, FeedCNO, FeedHyd, FeedArom, FeedNaph, AROHyd, H2Mass, C3Mass, NC4Mass, IC4Mass, AROMass,
                     RAFMass, FeedHydMass, FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass, AROHydMass, RAFHydMass,
                     FeedVol, FGSVol, H2Vol, C3Vol, NC4Vol, IC4Vol, AROVol, RAFVol, H2Mol, FGSMol}),
      afterBalances({MEABP, FeedCNO, FeedHyd, FeedArom, FeedNaph, AROHyd, H2Mass, C3Mass, NC4Mass, IC4Mass,
                     FeedHydMass, FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass, FeedVol, FGSVol, H2Vol, C3Vol, NC4Vol,
                     IC4Vol, AROVol, RAFVol, FGSMol, H2Mol, AROMass, RAFMass, AROHydMass, RAFHydMass}),
      afterBalances({H2Mass, C3Mass, NC4Mass, IC4Mass, FeedHydMass, FGSHydMass, C3HydMass, NC4HydMass, IC4HydMass,
                     AROVol, C3Vol, FeedVol, FGSVol, H2Vol, IC4Vol, NC4Vol, RAFVol, FGSMol, H2Mol, MEABP, FeedCNO,
                     FeedHyd, FeedArom, FeedNaph, AROHyd, AROMass, RAFMass, AROHydMass, RAFHydMass}),
      {{Out, "AROBENZ"}, {Out, "AROTOL"}, {Out, "AROXYL"}, {Out, "AROC9P"}, {Out, "AROSG"}, {Calc, "AROHYD"},
       {Out, "RAFSG"}, {Out, "RAFHYD"}},
      {{"ARO", ProductDef::ScanHydrogen::AroCorrelation, {Calc, "AROHYD"}},
       {"RAF", ProductDef::ScanHydrogen::Value, {Out, "RAFHYD"}}},
      true,
  };
  return slate;
}

}  // namespace reformer
