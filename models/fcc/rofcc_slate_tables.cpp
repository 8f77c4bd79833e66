// The data of the four FCC product slates: the variables and records of their
// own cuts, the balance lists and the order of the pattern, residual and
// Jacobian passes. Each list names every cut once; a slate keeps the entries of
// the cuts it has.
#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "models/fcc/rofcc_slates.h"

namespace {

using E = FccEq;
using R = FccRecord;
using S = FccSlate;

constexpr int bit(S s) { return 1 << static_cast<int>(s); }
constexpr int kMcnSlates = bit(S::ThreeN) | bit(S::ThreeN1H);
constexpr int kHcoSlates = bit(S::TwoN1H) | bit(S::ThreeN1H);
constexpr int kOnly2N1H = bit(S::TwoN1H);
constexpr int kOnly3N1H = bit(S::ThreeN1H);

struct SlateVar {
  FccSlateVarRow row;
  int slates;  // the slates that have the variable
};

constexpr const char* kMassBase = "KG/HR";
constexpr const char* kMassDisp = "TONNE/DAY";
constexpr const char* kVolBase = "CUM/HR";
constexpr const char* kVolDisp = "KBBL/DAY";
constexpr FccMap In = FccMap::Input;
constexpr FccMap Out = FccMap::Output;
constexpr FccMap Vol = FccMap::Volume;
constexpr FccMap Calc = FccMap::Calc;
constexpr FccMap Con = FccMap::Const;

// Creation order of the "3N1H" slate; the others keep their rows in the same
// order. Only the HCO sulfur bounds differ between slates (8 % and 80000 ppm
// with two naphtha cuts, 6 % and 60000 ppm with three).
constexpr std::array<SlateVar, 33> kSlateVars = {{
    {{"MCNECP", In, "F", "F", 100, 430}, kMcnSlates},
    {{"HCOECP", In, "F", "F", 650, 1000}, kHcoSlates},
    {{"MCNFRAC", Out, "FRACTION", "FRACTION", 0, 1}, kMcnSlates},
    {{"MCNRELSUL", Out, "FRACTION", "FRACTION", 0.001, 2}, kMcnSlates},
    {{"MCNSG", Out, "UNITLESS", "UNITLESS", 0.7, 0.85}, kMcnSlates},
    {{"MCNRON", Out, "UNITLESS", "UNITLESS", 20, 120}, kMcnSlates},
    {{"MCNMON", Out, "UNITLESS", "UNITLESS", 20, 120}, kMcnSlates},
    {{"MCNRVP", Out, "KPA", "KPA", 0, 200}, kMcnSlates},
    {{"MCNAROM", Out, "PERCENT", "PERCENT", 0, 100}, kMcnSlates},
    {{"MCNOLEF", Out, "PERCENT", "PERCENT", 0, 100}, kMcnSlates},
    {{"MCNCLOUDPT", Out, "F", "F", -200, 300}, kOnly3N1H},
    {{"MCNCETNO", Out, "UNITLESS", "UNITLESS", 10, 100}, kOnly3N1H},
    {{"MCNVOL", Vol, kVolBase, kVolDisp, 0, 10000}, kMcnSlates},
    {{"MCNMASS", Calc, kMassBase, kMassDisp, 0, 1000000}, kMcnSlates},
    {{"MCNSULMASS", Calc, kMassBase, kMassDisp, 0, 5000}, kMcnSlates},
    {{"MCNSUL", Calc, "PERCENT", "PERCENT", 0, 6}, kMcnSlates},
    {{"MCNSULPPM", Calc, "PPM", "PPM", 0, 60000}, kMcnSlates},
    {{"HCOFRAC", Out, "FRACTION", "FRACTION", 0, 1}, kHcoSlates},
    {{"HCORELSUL", Out, "FRACTION", "FRACTION", 0.01, 5}, kHcoSlates},
    {{"HCOSG", Out, "UNITLESS", "UNITLESS", 0.75, 1.2}, kHcoSlates},
    {{"HCONIT", Out, "PERCENT", "PERCENT", 0, 5000}, kHcoSlates},
    {{"HCOCCR", Out, "PERCENT", "PERCENT", 0, 10}, kHcoSlates},
    {{"HCOAROM", Out, "PERCENT", "PERCENT", 0, 100}, kHcoSlates},
    {{"HCOVISC_122", Out, "CS", "CS", 1, 100000}, kHcoSlates},
    {{"HCOCLOUDPT", Out, "F", "F", -200, 300}, kHcoSlates},
    {{"HCOCETNO", Out, "UNITLESS", "UNITLESS", 5, 100}, kOnly3N1H},
    {{"HCOVOL", Vol, kVolBase, kVolDisp, 0, 10000}, kHcoSlates},
    {{"HCOMASS", Calc, kMassBase, kMassDisp, 0, 1000000}, kHcoSlates},
    {{"HCOSULMASS", Calc, kMassBase, kMassDisp, 0, 5000}, kHcoSlates},
    {{"HCOSUL", Calc, "PERCENT", "PERCENT", 0, 8}, kOnly2N1H},
    {{"HCOSUL", Calc, "PERCENT", "PERCENT", 0, 6}, kOnly3N1H},
    {{"HCOSULPPM", Calc, "PPM", "PPM", 0, 80000}, kOnly2N1H},
    {{"HCOSULPPM", Calc, "PPM", "PPM", 0, 60000}, kOnly3N1H},
}};
// MCNCUTOFF comes last: the floor argument of EQN_MCNMASS, fixed at 1e-19.
constexpr SlateVar kMcnCutoff = {{"MCNCUTOFF", Con, "UNITLESS", "UNITLESS", 1e-19, 1e-19}, kMcnSlates};

constexpr std::array<R, 8> kSlateRecords = {R::MCNMass, R::MCNSulMass, R::MCNSul, R::MCNSulPPM,
                                            R::HCOMass, R::HCOSulMass, R::HCOSul, R::HCOSulPPM};

bool isMcn(const char* name) { return std::strstr(name, "MCN") != nullptr; }
bool isHco(const char* name) { return std::strstr(name, "HCO") != nullptr; }

// The cut an equation, record or variable belongs to, by its name.
bool slateHas(S s, const char* name) {
  if (isMcn(name)) return fccSlateHasMcn(s);
  if (isHco(name)) return fccSlateHasHco(s);
  return true;
}

// ---- Pass order ------------------------------------------------------------------

constexpr E kMasses[] = {E::FGSMass, E::C3Mass,  E::C32Mass, E::NC4Mass, E::IC4Mass, E::UC4Mass, E::C5SMass,
                         E::LCNMass, E::MCNMass, E::HCNMass, E::LCOMass, E::HCOMass, E::BOTMass, E::COKMass};
constexpr E kSulMasses[] = {E::FeedSulMass, E::C5SSulMass, E::LCNSulMass, E::MCNSulMass, E::HCNSulMass,
                            E::LCOSulMass,  E::HCOSulMass, E::BOTSulMass, E::COKSulMass};
constexpr E kSuls[] = {E::C5SSul, E::LCNSul, E::MCNSul, E::HCNSul, E::LCOSul, E::HCOSul, E::BOTSul, E::COKSul};
constexpr R kSulPpms[] = {R::C5SSulPPM, R::LCNSulPPM, R::MCNSulPPM, R::HCNSulPPM,
                          R::LCOSulPPM, R::HCOSulPPM, R::BOTSulPPM, R::COKSulPPM};
constexpr E kVolumes[] = {E::FeedVol, E::C3Vol,  E::C32Vol, E::NC4Vol, E::IC4Vol, E::UC4Vol, E::C5SVol,
                          E::LCNVol,  E::MCNVol, E::HCNVol, E::LCOVol, E::HCOVol, E::BOTVol};
// The pattern registers the volume conversions in an order of its own.
constexpr E kVolumesPattern[] = {E::BOTVol, E::C32Vol, E::C3Vol,  E::C5SVol, E::FeedVol, E::HCNVol, E::IC4Vol,
                                 E::LCNVol, E::MCNVol, E::LCOVol, E::HCOVol, E::NC4Vol,  E::UC4Vol};
constexpr E kMoles[] = {E::H2SMol, E::FGSMol};
constexpr E kMolesPattern[] = {E::FGSMol, E::H2SMol};
constexpr E kTail[] = {E::COKFOE,          E::FGSFOE,        E::H2SFOE,          E::C3MixMass,
                       E::C3MixVol,        E::C4MixMass,     E::C4MixVol,        E::UnSatInC3Mix,
                       E::SatInC3Mix,      E::UnSatInC4Mix,  E::NSatInC4Mix,     E::ISatInC4Mix,
                       E::UnSatInC3MixVol, E::SatInC3MixVol, E::UnSatInC4MixVol, E::NSatInC4MixVol,
                       E::ISatInC4MixVol,  E::C5SRVI,        E::Conversion};

std::vector<FccStep> buildSteps(S s, FccPass pass) {
  const bool pattern = pass == FccPass::Pattern;
  std::vector<FccStep> steps;
  auto equation = [&](E eq) {
    if (slateHas(s, fccEquations()[static_cast<std::size_t>(eq)].shortName))
      steps.push_back({FccStep::Kind::Equation, eq});
  };
  auto equations = [&](const auto& list) {
    for (E eq : list) {
      equation(eq);
      if (pattern && eq == E::COKMass) equation(E::H2SMass);
    }
  };
  auto sulPpms = [&] {
    for (R r : kSulPpms)
      if (slateHas(s, fccRecordName(r))) steps.push_back({FccStep::Kind::SulPPM, E::FGSMass, r});
  };

  steps.push_back({FccStep::Kind::Adjustment});
  steps.push_back({FccStep::Kind::MassBal});
  steps.push_back({FccStep::Kind::SulfurBal});
  equations(kMasses);
  equations(kSulMasses);
  // The 3N residual pass writes the sulfur ppm rows before the sulfur contents;
  // the values are the same in either order.
  if (pass == FccPass::Residual && s == S::ThreeN) {
    sulPpms();
    equations(kSuls);
  } else {
    equations(kSuls);
    sulPpms();
  }
  equations(pattern ? std::span<const E>(kVolumesPattern) : std::span<const E>(kVolumes));
  equations(pattern ? std::span<const E>(kMolesPattern) : std::span<const E>(kMoles));
  equations(kTail);
  if (!pattern) equation(E::H2SMass);
  return steps;
}

template <class T>
using PerSlate = std::array<T, 4>;

template <class T, class Make>
const T& perSlate(S s, Make make) {
  static const PerSlate<T> tables = {make(S::TwoN), make(S::TwoN1H), make(S::ThreeN), make(S::ThreeN1H)};
  return tables[static_cast<std::size_t>(s)];
}

std::vector<std::string> names(const std::vector<std::string>& cuts, const char* suffix) {
  std::vector<std::string> out;
  for (const std::string& c : cuts) out.push_back(c + suffix);
  return out;
}

}  // namespace

std::vector<std::string> fccSlateCuts(FccSlate slate, const std::vector<std::string>& allCuts) {
  std::vector<std::string> out;
  for (const std::string& cut : allCuts)
    if (slateHas(slate, cut.c_str())) out.push_back(cut);
  return out;
}

const std::vector<FccStep>& fccPassSteps(FccSlate slate, FccPass pass) {
  using Steps = std::array<std::vector<FccStep>, 3>;
  return perSlate<Steps>(slate, [](S s) {
    return Steps{buildSteps(s, FccPass::Residual), buildSteps(s, FccPass::Jacobian), buildSteps(s, FccPass::Pattern)};
  })[static_cast<std::size_t>(pass)];
}

const std::vector<FccSlateVarRow>& fccSlateVariables(FccSlate slate) {
  return perSlate<std::vector<FccSlateVarRow>>(slate, [](S s) {
    std::vector<FccSlateVarRow> rows;
    for (const SlateVar& v : kSlateVars)
      if (v.slates & bit(s)) rows.push_back(v.row);
    if (kMcnCutoff.slates & bit(s)) rows.push_back(kMcnCutoff.row);
    return rows;
  });
}

const std::vector<FccRecord>& fccSlateRecords(FccSlate slate) {
  return perSlate<std::vector<FccRecord>>(slate, [](S s) {
    std::vector<FccRecord> records;
    for (R r : kSlateRecords)
      if (slateHas(s, fccRecordName(r))) records.push_back(r);
    return records;
  });
}

const std::vector<std::string>& fccMassBalanceProducts(FccSlate slate) {
  return perSlate<std::vector<std::string>>(slate, [](S s) {
    return names(fccSlateCuts(s, {"H2S", "FGS", "C3", "C32", "NC4", "IC4", "UC4", "C5S", "LCN", "MCN", "HCN", "LCO",
                                  "HCO", "BOT", "COK"}),
                 "MASS");
  });
}

const std::vector<std::string>& fccSulfurBalanceProducts(FccSlate slate) {
  return perSlate<std::vector<std::string>>(slate, [](S s) {
    return names(fccSlateCuts(s, {"C5S", "LCN", "MCN", "HCN", "LCO", "HCO", "BOT", "COK"}), "SULMASS");
  });
}
