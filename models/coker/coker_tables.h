// The coker's data: its variable catalogue and its model-row table.
//
// The catalogue row at position p (0-based) is the variable of index p + 1.
// The model-row table lists the 65 model equations in row order (indices 36
// to 100, after the 35 adjustment rows): each row's variables in pattern order
// and the form of its residual. Pattern, residual and Jacobian all walk it.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "core/catalogue.h"

namespace coker {

constexpr std::size_t kVariableCount = 121;
extern const std::array<CatalogueRow, kVariableCount> kCatalogue;

// The "OUTRES" port of both generations, in port order; the same for every basis.
extern const std::array<const char*, 47> kResultPort;

// Where an equation record is kept.
enum class Holder { MassBalance, VolumeConversion, MoleConversion, Own };

// Residual forms; v0, v1, ... are the row's variables in pattern order and
// floor() the smooth floor at 1e-19.
enum class Form {
  MassBalance,        // computeMassBalanceResidual; entries 1 for the feed, -1 for each product
  SulfurBalance,      // computeSulfurBalanceResidual; entries computeSulfurBalanceDerivative
  Linear,             // sum of coef_i v_i
  Product,            // v0 v1 coef_0 - v2
  FeedSulfurMass,     // v0 v1 / 100 - v2
  GasVolume,          // v3 v2 / v1 / 1000 - v0        (mole flow, molar mass, FOE factor)
  SolidVolume,        // v2 / v1 / 1000 - v0           (mass, FOE factor)
  H2SYield,           // v0 / v2 - floor(v1)
  ProductYield,       // v0 / v2 - floor(v1) v3        (v3: MASSFACTOR)
  RelativeSulfur,     // floor(v0) v1 - v2
  ProductSulfurMass,  // floor(v1) v0 v2 / 100 - v3
  Ratio,              // v0 / v1 - v2
  CetaneIndex,        // computeLGOCetIdx(v0, v1) - v2
  CloudIndex,         // computeLGOCloudIdx(v0) - v1
  LgoViscIndex,       // computeLGOViscIdx(v0) - v1
  HgoViscIndex,       // computeHGOViscIdx(v0) - v1
};

struct ModelRow {
  const char* name;
  Holder holder;
  Form form;
  std::vector<const char*> vars;  // pattern order
  std::vector<double> coef = {};  // Linear: one per variable; Product: the scale
};

// The 65 model rows, indices 36 to 100.
const std::vector<ModelRow>& modelRows();

// The sulfur share of hydrogen sulfide: 32.065 / 34.08088 ("H2SMW").
constexpr double kH2SSulfurShare = 0.9408501188936436;
// Floor value of the yield fractions and relative sulfur factors.
constexpr double kYieldFloor = 1e-19;

}  // namespace coker
