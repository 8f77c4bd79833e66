// rofcc: the equation records of the FCC base, their creation and their
// registration with the framework.
//
// Index order (the "2N" slates add no records, so these are their indices):
// "Y_" + every network output in key order (1-52), MASS_BAL (53), SULFUR_BAL,
// the product masses with EQN_H2SMASS last (55-67), sulfur masses, sulfur
// percentages, sulfur ppm (68-86), "CONV_" + every volume flow (87-97) and
// molar flow (98-99) in key order, then the FOE, mix, share, C5SRVI and
// conversion records (100-118).
#include <stdexcept>

#include "core/helpers.h"
#include "models/fcc/rofcc.h"

namespace {

using R = FccRecord;

constexpr std::array<const char*, kFccRecordCount> kRecordNames = {
    "SULFUR_BAL",
    "EQN_FGSMASS", "EQN_C3MASS", "EQN_C32MASS", "EQN_NC4MASS", "EQN_IC4MASS", "EQN_UC4MASS", "EQN_C5SMASS",
    "EQN_LCNMASS", "EQN_MCNMASS", "EQN_HCNMASS", "EQN_LCOMASS", "EQN_HCOMASS", "EQN_BOTMASS", "EQN_COKMASS",
    "EQN_COKFOE", "EQN_FGSFOE", "EQN_H2SFOE",
    "EQN_C3MIXMASS", "EQN_C3MIXVOL", "EQN_C4MIXMASS", "EQN_C4MIXVOL",
    "EQN_UNSATINC3MIX", "EQN_SATINC3MIX", "EQN_UNSATINC4MIX", "EQN_NSATINC4MIX", "EQN_ISATINC4MIX",
    "EQN_UNSATINC3MIXVOL", "EQN_SATINC3MIXVOL", "EQN_UNSATINC4MIXVOL", "EQN_NSATINC4MIXVOL", "EQN_ISATINC4MIXVOL",
    "EQN_FEEDSULMASS", "EQN_C5SSULMASS", "EQN_LCNSULMASS", "EQN_MCNSULMASS", "EQN_HCNSULMASS", "EQN_LCOSULMASS",
    "EQN_HCOSULMASS", "EQN_BOTSULMASS", "EQN_COKSULMASS",
    "EQN_C5SSUL", "EQN_LCNSUL", "EQN_MCNSUL", "EQN_HCNSUL", "EQN_LCOSUL", "EQN_HCOSUL", "EQN_BOTSUL", "EQN_COKSUL",
    "EQN_C5SSULPPM", "EQN_LCNSULPPM", "EQN_MCNSULPPM", "EQN_HCNSULPPM", "EQN_LCOSULPPM", "EQN_HCOSULPPM",
    "EQN_BOTSULPPM", "EQN_COKSULPPM",
    "EQN_C5SRVI", "EQN_CONVERSION", "EQN_H2SMASS",
};

// Records the base creates before the "CONV_" records (after MASS_BAL); the
// MCN and HCO records belong to the slates that have those cuts.
constexpr R kCreatedBeforeConversions[] = {
    R::SulfurBal,
    R::FGSMass, R::C3Mass, R::C32Mass, R::NC4Mass, R::IC4Mass, R::UC4Mass, R::C5SMass, R::LCNMass, R::HCNMass,
    R::LCOMass, R::BOTMass, R::COKMass, R::H2SMass,
    R::FeedSulMass, R::C5SSulMass, R::LCNSulMass, R::HCNSulMass, R::LCOSulMass, R::BOTSulMass, R::COKSulMass,
    R::C5SSul, R::LCNSul, R::HCNSul, R::LCOSul, R::BOTSul, R::COKSul,
    R::C5SSulPPM, R::LCNSulPPM, R::HCNSulPPM, R::LCOSulPPM, R::BOTSulPPM, R::COKSulPPM,
};
constexpr R kCreatedAfterConversions[] = {
    R::COKFOE, R::FGSFOE, R::H2SFOE, R::C3MixMass, R::C3MixVol, R::C4MixMass, R::C4MixVol,
    R::UnSatInC3Mix, R::SatInC3Mix, R::UnSatInC4Mix, R::NSatInC4Mix, R::ISatInC4Mix,
    R::UnSatInC3MixVol, R::SatInC3MixVol, R::UnSatInC4MixVol, R::NSatInC4MixVol, R::ISatInC4MixVol,
    R::C5SRVI, R::Conversion,
};

// Registration order of the members around the "CONV_" maps (after the "Y_"
// records and MASS_BAL). Members not created are skipped.
constexpr R kRegisteredBeforeConversions[] = {
    R::SulfurBal, R::FGSMass, R::H2SMass,
    R::C3Mass, R::C32Mass, R::NC4Mass, R::IC4Mass, R::UC4Mass, R::C5SMass, R::LCNMass, R::MCNMass, R::HCNMass,
    R::LCOMass, R::HCOMass, R::BOTMass, R::COKMass,
    R::FeedSulMass, R::C5SSulMass, R::LCNSulMass, R::MCNSulMass, R::HCNSulMass, R::LCOSulMass, R::HCOSulMass,
    R::BOTSulMass, R::COKSulMass,
    R::C5SSul, R::LCNSul, R::MCNSul, R::HCNSul, R::LCOSul, R::HCOSul, R::BOTSul, R::COKSul,
    R::C5SSulPPM, R::LCNSulPPM, R::MCNSulPPM, R::HCNSulPPM, R::LCOSulPPM, R::HCOSulPPM, R::BOTSulPPM, R::COKSulPPM,
};
constexpr R kRegisteredAfterConversions[] = {
    R::COKFOE, R::FGSFOE, R::H2SFOE, R::C3MixMass, R::C3MixVol, R::C4MixMass, R::C4MixVol,
    R::UnSatInC3Mix, R::SatInC3Mix, R::UnSatInC4Mix, R::NSatInC4Mix, R::ISatInC4Mix,
    R::UnSatInC3MixVol, R::SatInC3MixVol, R::UnSatInC4MixVol, R::NSatInC4MixVol, R::ISatInC4MixVol,
    R::C5SRVI, R::Conversion,
};

}  // namespace

const char* fccRecordName(FccRecord record) { return kRecordNames.at(static_cast<std::size_t>(record)); }

ROMEqn* rofcc::createRecord(FccRecord member) {
  auto& slot = m_records.at(static_cast<std::size_t>(member));
  slot = std::make_unique<ROMEqn>(fccRecordName(member), m_eqnCounter++);
  return slot.get();
}

ROMEqn* rofcc::rowRecord(const FccEqnRow& row) const {
  if (!row.convName) return record(row.member);
  const ROMEqnMap& map = row.form == FccForm::Vol ? m_volConvEqns : m_molConvEqns;
  ROMEqn* eqn = rowRefs(row).conv.get(map);
  if (!eqn) throw std::out_of_range(kInvalidMapKey);
  return eqn;
}

void rofcc::createROMEquations() {
  for (const auto& output : m_nnOutputVars) addEqn(m_adjEqns, "Y_" + output.first);

  auto massBal = std::make_unique<ROMEqn>("MASS_BAL", m_eqnCounter++);
  delete m_massBalEqn;
  m_massBalEqn = massBal.release();

  for (R member : kCreatedBeforeConversions) createRecord(member);
  for (const auto& var : m_volumeVars) addEqn(m_volConvEqns, "CONV_" + var.first);
  for (const auto& var : m_molarVars) addEqn(m_molConvEqns, "CONV_" + var.first);
  for (R member : kCreatedAfterConversions) createRecord(member);
}

void rofcc::createPELMOEquations(long long& status) {
  status = 0;
  auto registerRecord = [&](ROMEqn* eqn) {
    if (!eqn) return true;  // a record the slate does not have
    createPELMOEquation(eqn, status);
    return status == 0;
  };
  auto registerMap = [&](const ROMEqnMap& map) {
    for (const auto& entry : map)
      if (!registerRecord(entry.second)) return false;
    return true;
  };
  auto registerMembers = [&](auto& members) {
    for (R member : members)
      if (!registerRecord(record(member))) return false;
    return true;
  };
  if (!registerMap(m_adjEqns)) return;
  if (!registerRecord(m_massBalEqn)) return;
  if (!registerMembers(kRegisteredBeforeConversions)) return;
  if (!registerMap(m_volConvEqns)) return;
  if (!registerMap(m_molConvEqns)) return;
  registerMembers(kRegisteredAfterConversions);
}
