// The first-generation visbreaker's equation records: the model-row table,
// createROMEquations and createPELMOEquations.
#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/helpers.h"
#include "models/visbreaker/rovb.h"
#include "models/visbreaker/vb_tables.h"

namespace vb {

namespace {
constexpr Holder MassBal = Holder::MassBalance;
constexpr Holder VolConv = Holder::VolumeConversion;
constexpr Holder MolConv = Holder::MoleConversion;
constexpr Holder Own = Holder::Own;
constexpr int tag(Eq eq) { return static_cast<int>(eq); }
}  // namespace

const std::array<const char*, kOwnRecordCount> kOwnRecordNames = {
    "SULFUR_BAL",
    "EQN_FGSMASS", "EQN_C3MASS", "EQN_C32MASS", "EQN_NC4MASS", "EQN_IC4MASS", "EQN_UC4MASS",
    "EQN_NAPMASS", "EQN_LGOMASS", "EQN_HGOMASS", "EQN_TARMASS",
    "EQN_FGSFOE", "EQN_H2SFOE",
    "EQN_C3MIXMASS", "EQN_C3MIXVOL", "EQN_C4MIXMASS", "EQN_C4MIXVOL",
    "EQN_UNSATINC3MIX", "EQN_SATINC3MIX", "EQN_UNSATINC4MIX", "EQN_NSATINC4MIX", "EQN_ISATINC4MIX",
    "EQN_UNSATINC3MIXVOL", "EQN_SATINC3MIXVOL", "EQN_UNSATINC4MIXVOL", "EQN_NSATINC4MIXVOL", "EQN_ISATINC4MIXVOL",
    "EQN_NAPSULPPM", "EQN_LGOSULPPM", "EQN_HGOSULPPM", "EQN_TARSULPPM",
    "EQN_FEEDSULMASS",
    "EQN_NAPSULMASS", "EQN_LGOSULMASS", "EQN_HGOSULMASS", "EQN_TARSULMASS",
    "EQN_NAPSUL", "EQN_LGOSUL", "EQN_HGOSUL", "EQN_TARSUL",
    "EQN_LGOVBI", "EQN_HGOVBI", "EQN_TARVBI", "EQN_FEEDVBI",
    "EQN_FURNACETEMP",
};

const std::vector<ModelRow>& modelRows() {
  // Creation order, which is also the order of the pattern and of the
  // framework registration: the volume conversions stand in the byte order of
  // their names ("CONV_C32VOL" before "CONV_C3VOL" before "CONV_FEEDVOL").
  static const std::vector<ModelRow> rows = {
      // Balances (kg/h): the feed against H2S and the ten products; the feed's
      // sulfur against the sulfur of H2S and of the four liquids.
      {"MASS_BAL", tag(Eq::MassBal), MassBal, Form::MassBalance,
       {"FEEDMASS", "H2SMASS", "FGSMASS", "C3MASS", "C32MASS", "NC4MASS", "IC4MASS", "UC4MASS", "NAPMASS", "LGOMASS",
        "HGOMASS", "TARMASS"}},
      {"SULFUR_BAL", tag(Eq::SulfurBal), Own, Form::SulfurBalance,
       {"FEEDSULMASS", "H2SMASS", "NAPSULMASS", "LGOSULMASS", "HGOSULMASS", "TARSULMASS"}},
      // Product masses: the floored yield on the feed, scaled by MASSFACTOR.
      {"EQN_FGSMASS", tag(Eq::FGSMass), Own, Form::ProductMass, {"FEEDMASS", "FGSFRAC", "MASSFACTOR", "FGSMASS"}},
      {"EQN_C3MASS", tag(Eq::C3Mass), Own, Form::ProductMass, {"FEEDMASS", "C3FRAC", "MASSFACTOR", "C3MASS"}},
      {"EQN_C32MASS", tag(Eq::C32Mass), Own, Form::ProductMass, {"FEEDMASS", "C32FRAC", "MASSFACTOR", "C32MASS"}},
      {"EQN_NC4MASS", tag(Eq::NC4Mass), Own, Form::ProductMass, {"FEEDMASS", "NC4FRAC", "MASSFACTOR", "NC4MASS"}},
      {"EQN_IC4MASS", tag(Eq::IC4Mass), Own, Form::ProductMass, {"FEEDMASS", "IC4FRAC", "MASSFACTOR", "IC4MASS"}},
      {"EQN_UC4MASS", tag(Eq::UC4Mass), Own, Form::ProductMass, {"FEEDMASS", "UC4FRAC", "MASSFACTOR", "UC4MASS"}},
      {"EQN_NAPMASS", tag(Eq::NAPMass), Own, Form::ProductMass, {"FEEDMASS", "NAPFRAC", "MASSFACTOR", "NAPMASS"}},
      {"EQN_LGOMASS", tag(Eq::LGOMass), Own, Form::ProductMass, {"FEEDMASS", "LGOFRAC", "MASSFACTOR", "LGOMASS"}},
      {"EQN_HGOMASS", tag(Eq::HGOMass), Own, Form::ProductMass, {"FEEDMASS", "HGOFRAC", "MASSFACTOR", "HGOMASS"}},
      {"EQN_TARMASS", tag(Eq::TARMass), Own, Form::ProductMass, {"FEEDMASS", "TARFRAC", "MASSFACTOR", "TARMASS"}},
      // Sulfur masses (kg/h) from contents in percent.
      {"EQN_FEEDSULMASS", tag(Eq::FeedSulMass), Own, Form::FeedSulMass, {"FEEDMASS", "FEEDSUL", "FEEDSULMASS"}},
      {"EQN_NAPSULMASS", tag(Eq::NAPSulMass), Own, Form::SulMass, {"NAPMASS", "FEEDSUL", "NAPRELSUL", "NAPSULMASS"}},
      {"EQN_LGOSULMASS", tag(Eq::LGOSulMass), Own, Form::SulMass, {"LGOMASS", "FEEDSUL", "LGORELSUL", "LGOSULMASS"}},
      {"EQN_HGOSULMASS", tag(Eq::HGOSulMass), Own, Form::SulMass, {"HGOMASS", "FEEDSUL", "HGORELSUL", "HGOSULMASS"}},
      {"EQN_TARSULMASS", tag(Eq::TARSulMass), Own, Form::SulMass, {"TARMASS", "FEEDSUL", "TARRELSUL", "TARSULMASS"}},
      {"EQN_NAPSUL", tag(Eq::NAPSul), Own, Form::SulContent, {"NAPMASS", "NAPSUL", "NAPSULMASS"}},
      {"EQN_LGOSUL", tag(Eq::LGOSul), Own, Form::SulContent, {"LGOMASS", "LGOSUL", "LGOSULMASS"}},
      {"EQN_HGOSUL", tag(Eq::HGOSul), Own, Form::SulContent, {"HGOMASS", "HGOSUL", "HGOSULMASS"}},
      {"EQN_TARSUL", tag(Eq::TARSul), Own, Form::SulContent, {"TARMASS", "TARSUL", "TARSULMASS"}},
      // 1 ppm is 0.0001 percent: the block core's rows.
      {"EQN_NAPSULPPM", kNoTag, Own, Form::SulPpm, {"NAPSUL", "NAPSULPPM"}},
      {"EQN_LGOSULPPM", kNoTag, Own, Form::SulPpm, {"LGOSUL", "LGOSULPPM"}},
      {"EQN_HGOSULPPM", kNoTag, Own, Form::SulPpm, {"HGOSUL", "HGOSULPPM"}},
      {"EQN_TARSULPPM", kNoTag, Own, Form::SulPpm, {"TARSUL", "TARSULPPM"}},
      // Volume flows in CUM/HR: mass = gravity x volume x 1000 kg/m3.
      {"CONV_C32VOL", tag(Eq::C32Vol), VolConv, Form::Volume, {"C32VOL", "C32SG", "C32MASS"}},
      {"CONV_C3VOL", tag(Eq::C3Vol), VolConv, Form::Volume, {"C3VOL", "C3SG", "C3MASS"}},
      {"CONV_FEEDVOL", tag(Eq::FeedVol), VolConv, Form::Volume, {"FEEDVOL", "FEEDSG", "FEEDMASS"}},
      {"CONV_HGOVOL", tag(Eq::HGOVol), VolConv, Form::Volume, {"HGOVOL", "HGOSG", "HGOMASS"}},
      {"CONV_IC4VOL", tag(Eq::IC4Vol), VolConv, Form::Volume, {"IC4VOL", "IC4SG", "IC4MASS"}},
      {"CONV_LGOVOL", tag(Eq::LGOVol), VolConv, Form::Volume, {"LGOVOL", "LGOSG", "LGOMASS"}},
      {"CONV_NAPVOL", tag(Eq::NAPVol), VolConv, Form::Volume, {"NAPVOL", "NAPSG", "NAPMASS"}},
      {"CONV_NC4VOL", tag(Eq::NC4Vol), VolConv, Form::Volume, {"NC4VOL", "NC4SG", "NC4MASS"}},
      {"CONV_TARVOL", tag(Eq::TARVol), VolConv, Form::Volume, {"TARVOL", "TARSG", "TARMASS"}},
      {"CONV_UC4VOL", tag(Eq::UC4Vol), VolConv, Form::Volume, {"UC4VOL", "UC4SG", "UC4MASS"}},
      // Gas mole flows in KMOL/HR: mass = moles x molar mass.
      {"CONV_FGSMOL", tag(Eq::FGSMol), MolConv, Form::GasMol, {"FGSMOL", "FGSMW", "FGSMASS"}},
      {"CONV_H2SMOL", tag(Eq::H2SMol), MolConv, Form::H2SMol, {"H2SMOL", "H2SMASS"}},
      // Fuel-oil-equivalent volumes of the gases.
      {"EQN_FGSFOE", tag(Eq::FGSFOE), Own, Form::GasFoe, {"FGSMOL", "FGSMW", "FGSFOEFACTOR", "FGSVOL"}},
      {"EQN_H2SFOE", tag(Eq::H2SFOE), Own, Form::GasFoe, {"H2SMOL", "H2SMW", "H2SFOEFACTOR", "H2SVOL"}},
      // The C3 mix is C3 (saturated) and C32 (unsaturated); the C4 mix NC4 and
      // IC4 (saturated) and UC4 (unsaturated).
      {"EQN_C3MIXMASS", tag(Eq::C3MixMass), Own, Form::Sum, {"C3MASS", "C32MASS", "C3MIXMASS"}},
      {"EQN_C3MIXVOL", tag(Eq::C3MixVol), Own, Form::Sum, {"C3VOL", "C32VOL", "C3MIXVOL"}},
      {"EQN_C4MIXMASS", tag(Eq::C4MixMass), Own, Form::Sum, {"NC4MASS", "IC4MASS", "UC4MASS", "C4MIXMASS"}},
      {"EQN_C4MIXVOL", tag(Eq::C4MixVol), Own, Form::Sum, {"NC4VOL", "IC4VOL", "UC4VOL", "C4MIXVOL"}},
      // Shares of the mixes: component - mix x share, no division.
      {"EQN_UNSATINC3MIX", tag(Eq::UnSatInC3Mix), Own, Form::Share, {"C32MASS", "C3MIXMASS", "UNSATINC3MIX"}},
      {"EQN_SATINC3MIX", tag(Eq::SatInC3Mix), Own, Form::Share, {"C3MASS", "C3MIXMASS", "SATINC3MIX"}},
      {"EQN_UNSATINC4MIX", tag(Eq::UnSatInC4Mix), Own, Form::Share, {"UC4MASS", "C4MIXMASS", "UNSATINC4MIX"}},
      {"EQN_NSATINC4MIX", tag(Eq::NSatInC4Mix), Own, Form::Share, {"NC4MASS", "C4MIXMASS", "NSATINC4MIX"}},
      {"EQN_ISATINC4MIX", tag(Eq::ISatInC4Mix), Own, Form::Share, {"IC4MASS", "C4MIXMASS", "ISATINC4MIX"}},
      {"EQN_UNSATINC3MIXVOL", tag(Eq::UnSatInC3MixVol), Own, Form::Share, {"C32VOL", "C3MIXVOL", "UNSATINC3MIXVOL"}},
      {"EQN_SATINC3MIXVOL", tag(Eq::SatInC3MixVol), Own, Form::Share, {"C3VOL", "C3MIXVOL", "SATINC3MIXVOL"}},
      {"EQN_UNSATINC4MIXVOL", tag(Eq::UnSatInC4MixVol), Own, Form::Share, {"UC4VOL", "C4MIXVOL", "UNSATINC4MIXVOL"}},
      {"EQN_NSATINC4MIXVOL", tag(Eq::NSatInC4MixVol), Own, Form::Share, {"NC4VOL", "C4MIXVOL", "NSATINC4MIXVOL"}},
      {"EQN_ISATINC4MIXVOL", tag(Eq::ISatInC4MixVol), Own, Form::Share, {"IC4VOL", "C4MIXVOL", "ISATINC4MIXVOL"}},
      // Viscosities at 122 F (cSt) from the blending indices.
      {"EQN_LGOVBI", tag(Eq::LGOVBI), Own, Form::ViscIndex, {"LGOVISC_122", "LGOVBI"}},
      {"EQN_HGOVBI", tag(Eq::HGOVBI), Own, Form::ViscIndex, {"HGOVISC_122", "HGOVBI"}},
      {"EQN_TARVBI", tag(Eq::TARVBI), Own, Form::ViscIndex, {"TARVISC_122", "TARVBI"}},
      {"EQN_FEEDVBI", tag(Eq::FEEDVBI), Own, Form::ViscIndex, {"FEEDVISC", "FEEDVBI"}},
      // The furnace temperature (F) of the specified conversion.
      {"EQN_FURNACETEMP", tag(Eq::FurnaceTemp), Own, Form::FurnaceTemp,
       {"FEEDMASS", "CONVERSION", "FEEDCCR", "FEEDSG", "FEEDSUL", "FURNACETEMP"}},
  };
  return rows;
}

}  // namespace vb

namespace {

std::size_t ownSlot(const char* name) {
  const auto& names = vb::kOwnRecordNames;
  const auto it = std::find_if(names.begin(), names.end(), [&](const char* n) { return std::strcmp(n, name) == 0; });
  if (it == names.end()) throw std::out_of_range(kInvalidMapKey);
  return static_cast<std::size_t>(it - names.begin());
}

}  // namespace

ROMEqn* rovb::ownRecord(const std::string& name) const {
  for (std::size_t i = 0; i < vb::kOwnRecordCount; ++i)
    if (name == vb::kOwnRecordNames[i]) return m_ownEqns[i].get();
  return nullptr;
}

void rovb::createROMEquations() {
  using vb::Holder;
  m_rows.clear();
  m_patternDone = false;

  // Adjustment rows first, one per network output in name order.
  m_eqnCounter = 1;
  for (const auto& output : m_nnOutputVars) addEqn(m_adjEqns, "Y_" + output.first);

  // Then the model rows in table order, each into its holder.
  const std::vector<vb::ModelRow>& defs = vb::modelRows();
  m_rows.reserve(defs.size());
  for (const vb::ModelRow& def : defs) {
    ROMEqn* eqn = nullptr;
    switch (def.holder) {
      case Holder::MassBalance: {
        auto record = std::make_unique<ROMEqn>(def.name, m_eqnCounter++);
        delete m_massBalEqn;
        m_massBalEqn = eqn = record.release();
        break;
      }
      case Holder::VolumeConversion: eqn = addEqn(m_volConvEqns, def.name); break;
      case Holder::MoleConversion: eqn = addEqn(m_molConvEqns, def.name); break;
      case Holder::Own: {
        auto& slot = m_ownEqns[ownSlot(def.name)];
        slot = std::make_unique<ROMEqn>(def.name, m_eqnCounter++);
        eqn = slot.get();
        break;
      }
    }
    if (def.vars.size() > vb::kMaxRowVariables) throw std::logic_error("model row wider than its value buffer");
    Row row{&def, eqn, {}};
    row.vars.reserve(def.vars.size());
    for (const char* name : def.vars) row.vars.push_back(findVar(name));
    if (def.tag != vb::kNoTag) m_rowOfTag.at(static_cast<std::size_t>(def.tag)) = m_rows.size();
    m_rows.push_back(std::move(row));
  }
}

void rovb::createPELMOEquations(long long& status) {
  status = 0;
  // Stops at the first record the framework refuses; the rest stay
  // unregistered. The model rows register in table order; a record the block
  // does not hold is skipped.
  for (const auto& entry : m_adjEqns) {
    createPELMOEquation(entry.second, status);
    if (status != 0) return;
  }
  for (const Row& row : m_rows) {
    if (!row.eqn) continue;
    createPELMOEquation(row.eqn, status);
    if (status != 0) return;
  }
}

const rovb::Row& rovb::rowOf(vb::Eq eq) const {
  const std::size_t pos = m_rowOfTag.at(static_cast<std::size_t>(eq));
  if (pos >= m_rows.size()) throw std::logic_error("visbreaker equations used before createROMEquations");
  return m_rows[pos];
}
