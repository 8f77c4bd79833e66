// The coker's equation records: the model-row table, createROMEquations and
// createPELMOEquations.
#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

#include "core/helpers.h"
#include "models/coker/coker_tables.h"
#include "models/coker/rocoker.h"

namespace coker {

namespace {
constexpr Holder Mass = Holder::MassBalance;
constexpr Holder VolConv = Holder::VolumeConversion;
constexpr Holder MolConv = Holder::MoleConversion;
constexpr Holder Own = Holder::Own;
}  // namespace

const std::vector<ModelRow>& modelRows() {
  // Row order is creation order: "CONV_IC4MASS" stands before "CONV_NC4MASS",
  // while "CONV_NC4VOL" stands before "CONV_IC4VOL".
  static const std::vector<ModelRow> rows = {
      {"MASS_BAL", Mass, Form::MassBalance,
       {"FEEDMASS", "H2SMASS", "FGSMASS", "C3MASS", "C32MASS", "IC4MASS", "NC4MASS", "UC4MASS", "LCNMASS", "HCNMASS",
        "LGOMASS", "HGOMASS", "COKMASS"}},
      {"SULFUR_BAL", Own, Form::SulfurBalance,
       {"FEEDSULMASS", "H2SMASS", "LCNSULMASS", "HCNSULMASS", "LGOSULMASS", "HGOSULMASS", "COKSULMASS"}},
      // Volume flows in CUM/HR: mass = volume x specific gravity x 1000 kg/m3.
      {"CONV_FEEDVOL", VolConv, Form::Product, {"FEEDVOL", "FEEDSG", "FEEDMASS"}, {1000}},
      {"CONV_H2SVOL", VolConv, Form::GasVolume, {"H2SVOL", "H2SFOEFACTOR", "H2SMW", "H2SMOL"}},
      {"CONV_FGSVOL", VolConv, Form::GasVolume, {"FGSVOL", "FGSFOEFACTOR", "FGSMW", "FGSMOL"}},
      {"CONV_C3VOL", VolConv, Form::Product, {"C3VOL", "C3SG", "C3MASS"}, {1000}},
      {"CONV_C32VOL", VolConv, Form::Product, {"C32VOL", "C32SG", "C32MASS"}, {1000}},
      {"CONV_NC4VOL", VolConv, Form::Product, {"NC4VOL", "NC4SG", "NC4MASS"}, {1000}},
      {"CONV_IC4VOL", VolConv, Form::Product, {"IC4VOL", "IC4SG", "IC4MASS"}, {1000}},
      {"CONV_UC4VOL", VolConv, Form::Product, {"UC4VOL", "UC4SG", "UC4MASS"}, {1000}},
      {"CONV_LCNVOL", VolConv, Form::Product, {"LCNVOL", "LCNSG", "LCNMASS"}, {1000}},
      {"CONV_HCNVOL", VolConv, Form::Product, {"HCNVOL", "HCNSG", "HCNMASS"}, {1000}},
      {"CONV_LGOVOL", VolConv, Form::Product, {"LGOVOL", "LGOSG", "LGOMASS"}, {1000}},
      {"CONV_HGOVOL", VolConv, Form::Product, {"HGOVOL", "HGOSG", "HGOMASS"}, {1000}},
      {"CONV_COKVOL", VolConv, Form::SolidVolume, {"COKVOL", "COKFOEFACTOR", "COKMASS"}},
      // Gas mole flows in KMOL/HR: mass = moles x molar mass.
      {"CONV_H2SMOL", MolConv, Form::Product, {"H2SMOL", "H2SMW", "H2SMASS"}, {1}},
      {"CONV_FGSMOL", MolConv, Form::Product, {"FGSMOL", "FGSMW", "FGSMASS"}, {1}},
      // Product masses: the floored yield on feed, scaled by MASSFACTOR except for H2S.
      {"CONV_H2SMASS", Own, Form::H2SYield, {"H2SMASS", "H2SFRAC", "FEEDMASS"}},
      {"CONV_FGSMASS", Own, Form::ProductYield, {"FGSMASS", "FGSFRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_C3MASS", Own, Form::ProductYield, {"C3MASS", "C3FRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_C32MASS", Own, Form::ProductYield, {"C32MASS", "C32FRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_IC4MASS", Own, Form::ProductYield, {"IC4MASS", "IC4FRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_NC4MASS", Own, Form::ProductYield, {"NC4MASS", "NC4FRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_UC4MASS", Own, Form::ProductYield, {"UC4MASS", "UC4FRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_LCNMASS", Own, Form::ProductYield, {"LCNMASS", "LCNFRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_HCNMASS", Own, Form::ProductYield, {"HCNMASS", "HCNFRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_LGOMASS", Own, Form::ProductYield, {"LGOMASS", "LGOFRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_HGOMASS", Own, Form::ProductYield, {"HGOMASS", "HGOFRAC", "FEEDMASS", "MASSFACTOR"}},
      {"CONV_COKMASS", Own, Form::ProductYield, {"COKMASS", "COKFRAC", "FEEDMASS", "MASSFACTOR"}},
      // Product sulfur in percent: the floored relative factor times the feed's.
      {"EQN_LCNSUL", Own, Form::RelativeSulfur, {"LCNRELSUL", "FEEDSUL", "LCNSUL"}},
      {"EQN_HCNSUL", Own, Form::RelativeSulfur, {"HCNRELSUL", "FEEDSUL", "HCNSUL"}},
      {"EQN_LGOSUL", Own, Form::RelativeSulfur, {"LGORELSUL", "FEEDSUL", "LGOSUL"}},
      {"EQN_HGOSUL", Own, Form::RelativeSulfur, {"HGORELSUL", "FEEDSUL", "HGOSUL"}},
      {"EQN_COKSUL", Own, Form::RelativeSulfur, {"COKRELSUL", "FEEDSUL", "COKSUL"}},
      // 1 percent is 10000 ppm.
      {"EQN_LCNSULPPM", Own, Form::Linear, {"LCNSUL", "LCNSULPPM"}, {10000, -1}},
      {"EQN_HCNSULPPM", Own, Form::Linear, {"HCNSUL", "HCNSULPPM"}, {10000, -1}},
      {"EQN_LGOSULPPM", Own, Form::Linear, {"LGOSUL", "LGOSULPPM"}, {10000, -1}},
      {"EQN_HGOSULPPM", Own, Form::Linear, {"HGOSUL", "HGOSULPPM"}, {10000, -1}},
      {"EQN_COKSULPPM", Own, Form::Linear, {"COKSUL", "COKSULPPM"}, {10000, -1}},
      // Sulfur masses: mass x sulfur percent / 100.
      {"EQN_FEEDSULMASS", Own, Form::FeedSulfurMass, {"FEEDMASS", "FEEDSUL", "FEEDSULMASS"}},
      {"EQN_LCNSULMASS", Own, Form::ProductSulfurMass, {"LCNMASS", "LCNRELSUL", "FEEDSUL", "LCNSULMASS"}},
      {"EQN_HCNSULMASS", Own, Form::ProductSulfurMass, {"HCNMASS", "HCNRELSUL", "FEEDSUL", "HCNSULMASS"}},
      {"EQN_LGOSULMASS", Own, Form::ProductSulfurMass, {"LGOMASS", "LGORELSUL", "FEEDSUL", "LGOSULMASS"}},
      {"EQN_HGOSULMASS", Own, Form::ProductSulfurMass, {"HGOMASS", "HGORELSUL", "FEEDSUL", "HGOSULMASS"}},
      {"EQN_COKSULMASS", Own, Form::ProductSulfurMass, {"COKMASS", "COKRELSUL", "FEEDSUL", "COKSULMASS"}},
      // The C3 mix is C3 (saturated) and C32 (unsaturated); the C4 mix NC4 and
      // IC4 (saturated) and UC4 (unsaturated).
      {"EQN_C3MIXMASS", Own, Form::Linear, {"C3MASS", "C32MASS", "C3MIXMASS"}, {1, 1, -1}},
      {"EQN_C3MIXVOL", Own, Form::Linear, {"C3VOL", "C32VOL", "C3MIXVOL"}, {1, 1, -1}},
      {"EQN_C4MIXMASS", Own, Form::Linear, {"NC4MASS", "IC4MASS", "UC4MASS", "C4MIXMASS"}, {1, 1, 1, -1}},
      {"EQN_C4MIXVOL", Own, Form::Linear, {"NC4VOL", "IC4VOL", "UC4VOL", "C4MIXVOL"}, {1, 1, 1, -1}},
      {"EQN_UNSATINC3MIX", Own, Form::Ratio, {"C32MASS", "C3MIXMASS", "UNSATINC3MIX"}},
      {"EQN_SATINC3MIX", Own, Form::Ratio, {"C3MASS", "C3MIXMASS", "SATINC3MIX"}},
      {"EQN_UNSATINC4MIX", Own, Form::Ratio, {"UC4MASS", "C4MIXMASS", "UNSATINC4MIX"}},
      {"EQN_NSATINC4MIX", Own, Form::Ratio, {"NC4MASS", "C4MIXMASS", "NSATINC4MIX"}},
      {"EQN_ISATINC4MIX", Own, Form::Ratio, {"IC4MASS", "C4MIXMASS", "ISATINC4MIX"}},
      {"EQN_UNSATINC3MIXVOL", Own, Form::Ratio, {"C32VOL", "C3MIXVOL", "UNSATINC3MIXVOL"}},
      {"EQN_SATINC3MIXVOL", Own, Form::Ratio, {"C3VOL", "C3MIXVOL", "SATINC3MIXVOL"}},
      {"EQN_UNSATINC4MIXVOL", Own, Form::Ratio, {"UC4VOL", "C4MIXVOL", "UNSATINC4MIXVOL"}},
      {"EQN_NSATINC4MIXVOL", Own, Form::Ratio, {"NC4VOL", "C4MIXVOL", "NSATINC4MIXVOL"}},
      {"EQN_ISATINC4MIXVOL", Own, Form::Ratio, {"IC4VOL", "C4MIXVOL", "ISATINC4MIXVOL"}},
      // Naphtha N+2A: naphthenes plus twice the aromatics, in percent.
      {"EQN_LCNN2A", Own, Form::Linear, {"LCNNAPH", "LCNAROM", "LCNN2A"}, {1, 2, -1}},
      {"EQN_HCNN2A", Own, Form::Linear, {"HCNNAPH", "HCNAROM", "HCNN2A"}, {1, 2, -1}},
      // Gas-oil property indices.
      {"EQN_LGOCETIDX", Own, Form::CetaneIndex, {"LGOSG", "LGOD86_50", "LGOCETIDX"}},
      {"EQN_LGOCLOUDIDX", Own, Form::CloudIndex, {"LGOCLOUDPT", "LGOCLOUDIDX"}},
      {"EQN_LGOVISCIDX", Own, Form::LgoViscIndex, {"LGOVISC_122", "LGOVISCIDX"}},
      {"EQN_HGOVISCIDX", Own, Form::HgoViscIndex, {"HGOVISC_122", "HGOVISCIDX"}},
  };
  return rows;
}

}  // namespace coker

// Declaration order of the records the block keeps itself.
const std::array<const char*, rocoker::kOwnEquationCount> rocoker::kOwnEquationNames = {
    "SULFUR_BAL",
    "CONV_H2SMASS", "CONV_FGSMASS", "CONV_C3MASS", "CONV_C32MASS", "CONV_NC4MASS", "CONV_IC4MASS",
    "CONV_UC4MASS", "CONV_LCNMASS", "CONV_HCNMASS", "CONV_LGOMASS", "CONV_HGOMASS", "CONV_COKMASS",
    "EQN_LCNSUL", "EQN_HCNSUL", "EQN_LGOSUL", "EQN_HGOSUL", "EQN_COKSUL",
    "EQN_LCNSULPPM", "EQN_HCNSULPPM", "EQN_LGOSULPPM", "EQN_HGOSULPPM", "EQN_COKSULPPM",
    "EQN_FEEDSULMASS", "EQN_LCNSULMASS", "EQN_HCNSULMASS", "EQN_LGOSULMASS", "EQN_HGOSULMASS", "EQN_COKSULMASS",
    "EQN_C3MIXMASS", "EQN_C3MIXVOL", "EQN_C4MIXMASS", "EQN_C4MIXVOL",
    "EQN_UNSATINC3MIX", "EQN_SATINC3MIX", "EQN_UNSATINC4MIX", "EQN_NSATINC4MIX", "EQN_ISATINC4MIX",
    "EQN_UNSATINC3MIXVOL", "EQN_SATINC3MIXVOL", "EQN_UNSATINC4MIXVOL", "EQN_NSATINC4MIXVOL", "EQN_ISATINC4MIXVOL",
    "EQN_LCNN2A", "EQN_HCNN2A", "EQN_LGOVISCIDX", "EQN_LGOCETIDX", "EQN_LGOCLOUDIDX", "EQN_HGOVISCIDX",
};

namespace {

std::size_t ownSlot(const char* name) {
  const auto& names = rocoker::kOwnEquationNames;
  const auto it = std::find_if(names.begin(), names.end(), [&](const char* n) { return std::strcmp(n, name) == 0; });
  if (it == names.end()) throw std::out_of_range(kInvalidMapKey);
  return static_cast<std::size_t>(it - names.begin());
}

// The four index rows are registered with the framework in this order, after
// every other record of the block.
constexpr const char* kIndexRowsLast[] = {"EQN_LGOCETIDX", "EQN_LGOCLOUDIDX", "EQN_LGOVISCIDX", "EQN_HGOVISCIDX"};

bool isIndexRow(const char* name) {
  for (const char* n : kIndexRowsLast)
    if (std::strcmp(n, name) == 0) return true;
  return false;
}

}  // namespace

ROMEqn* rocoker::ownEquation(const std::string& name) const {
  for (std::size_t i = 0; i < kOwnEquationCount; ++i)
    if (name == kOwnEquationNames[i]) return m_ownEqns[i].get();
  return nullptr;
}

void rocoker::createROMEquations() {
  using coker::Holder;
  m_rows.clear();
  m_rowRegistered.clear();
  m_patternDone = false;

  // Adjustment rows first, one per network output in name order.
  m_eqnCounter = 1;
  for (const auto& output : m_nnOutputVars) addEqn(m_adjEqns, "Y_" + output.first);

  // Then the model rows in row order, each into its holder.
  for (const coker::ModelRow& def : coker::modelRows()) {
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
    if (def.vars.size() > kMaxRowVariables) throw std::logic_error("model row wider than its value buffer");
    Row row{&def, eqn, {}};
    row.vars.reserve(def.vars.size());
    for (const char* name : def.vars) row.vars.push_back(findVar(name));
    m_rows.push_back(std::move(row));
  }
  m_rowRegistered.assign(m_rows.size(), 0);
}

void rocoker::createPELMOEquations(long long& status) {
  status = 0;
  // Stops at the first record the framework refuses; the rest stay unregistered.
  const auto add = [&](ROMEqn* eqn) {
    createPELMOEquation(eqn, status);
    return status == 0;
  };
  for (const auto& entry : m_adjEqns)
    if (!add(entry.second)) return;
  if (!add(m_massBalEqn) || !add(ownEquation("SULFUR_BAL"))) return;
  for (const auto& entry : m_volConvEqns)
    if (!add(entry.second)) return;
  for (const auto& entry : m_molConvEqns)
    if (!add(entry.second)) return;
  for (std::size_t i = 1; i < kOwnEquationCount; ++i) {
    if (isIndexRow(kOwnEquationNames[i])) continue;
    if (!add(m_ownEqns[i].get())) return;
  }
  for (const char* name : kIndexRowsLast) {
    ROMEqn* eqn = ownEquation(name);
    // The two viscosity-index rows are optional records.
    const bool optional = std::strcmp(name, "EQN_LGOVISCIDX") == 0 || std::strcmp(name, "EQN_HGOVISCIDX") == 0;
    if (!eqn && optional) continue;
    if (!add(eqn)) return;
  }
}

std::size_t rocoker::rowPosition(const char* name) const {
  for (std::size_t i = 0; i < m_rows.size(); ++i)
    if (std::strcmp(m_rows[i].def->name, name) == 0) return i;
  throw std::out_of_range(kInvalidMapKey);
}
