// The first-generation visbreaker's data: its variable catalogue, the names
// of the equation records it keeps itself, and its model-row table.
//
// The catalogue row at position p (0-based) is the variable of index p + 1.
// The model-row table lists the 58 model equations in creation order (indices
// 24 to 81, after the 23 adjustment rows). That is also the order of the
// pattern pass, so the table fixes equation numbers and non-zero numbers
// alike. Each row names its variables in pattern order and the form of its
// residual; residual, pattern and Jacobian all walk the same list.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "core/catalogue.h"
#include "models/visbreaker/vb_equation_list.h"

namespace vb {

constexpr std::size_t kVariableCount = 101;
extern const std::array<CatalogueRow, kVariableCount> kCatalogue;

// The constants and the values set-up writes into them, in writing order.
extern const std::array<ConstantValue, 9> kConstantValues;

// The mixes and gas volumes the "OUTVOL" port lists after the volume flows, and
// the "OUTRES" port; both the same in both generations and for every basis.
extern const std::array<const char*, 4> kVolumePortOutputs;
extern const std::array<const char*, 29> kResultPort;

// The 54 equation tags of the residual, pattern and Jacobian members, in slot order.
enum class Eq : int {
#define ROVB_ENUM(tag) tag,
  ROVB_EQUATIONS(ROVB_ENUM)
#undef ROVB_ENUM
};
constexpr int kEqCount = 54;

// The 45 records the block keeps itself, in member order.
constexpr std::size_t kOwnRecordCount = 45;
extern const std::array<const char*, kOwnRecordCount> kOwnRecordNames;

// Where a model row's record is kept.
enum class Holder { MassBalance, VolumeConversion, MoleConversion, Own };

// Residual forms; v0, v1, ... are the row's variables in pattern order and
// floor() the smooth floor at 1e-19.
enum class Form {
  MassBalance,    // computeMassBalanceResidual; entries computeMassBalanceDerivative
  SulfurBalance,  // computeSulfurBalanceResidual; entries computeSulfurBalanceDerivative
  ProductMass,    // floor(v1) v0 v2 - v3              (FEEDMASS, FRAC, MASSFACTOR, MASS)
  GasFoe,         // v1 v0 / v2 / 1000 - v3            (MOL, MW, FOEFACTOR, VOL)
  Sum,            // v0 + ... + v(n-2) - v(n-1)        (members, mix)
  Share,          // v0 - v1 v2                        (component, mix, share)
  FeedSulMass,    // v1 v0 / 100 - v2                  (FEEDMASS, FEEDSUL, FEEDSULMASS)
  SulMass,        // v1 v0 floor(v2) / 100 - v3        (MASS, FEEDSUL, RELSUL, SULMASS)
  SulContent,     // v1 v0 / 100 - v2                  (MASS, SUL, SULMASS)
  SulPpm,         // the block core's sulfur-ppm row    (SUL, SULPPM)
  Volume,         // v1 v0 1000 - v2                   (VOL, SG, MASS)
  GasMol,         // v1 v0 - v2                        (FGSMOL, FGSMW, FGSMASS)
  H2SMol,         // v0 34.08088 - v1                  (H2SMOL, H2SMASS)
  ViscIndex,      // computeVBI(v0 after the restart) - v1
  FurnaceTemp,    // computeFurnaceTemp(v0 .. v4) - v5
};

constexpr int kNoTag = -1;

struct ModelRow {
  const char* name;  // the record's name
  int tag;           // Eq of its members; kNoTag for the sulfur-ppm rows (the block core's members)
  Holder holder;
  Form form;
  std::vector<const char*> vars;  // pattern order
};

// The 58 model rows, indices 24 to 81.
const std::vector<ModelRow>& modelRows();

// The widest row ("MASS_BAL") has 12 variables.
constexpr std::size_t kMaxRowVariables = 12;

// Sulfur share of hydrogen sulfide: 32.065 / 34.08088.
constexpr double kH2SSulfurShare = 0.9408501188936436;
// Molar mass of H2S (kg/kmol) as CONV_H2SMOL uses it.
constexpr double kH2SMolarMass = 34.08088;
// Floor value of the yield fractions and relative sulfur factors.
constexpr double kYieldFloor = 1e-19;
// kg/h to lb/h: what the "VB_SKR" networks take as their feed mass.
constexpr double kPoundsPerKilogram = 2.20462;

}  // namespace vb
