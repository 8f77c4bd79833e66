// The data of the four first-generation hydrocracker slates: one variable
// catalogue (the HCR_D catalogue, every other slate a selection of its rows),
// the constants with their values, the index equations, and per slate its
// model kind, liquid products, recycle form and bound changes. The models
// walk these tables; a slate is a row, not code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/catalogue.h"

namespace hcr {

// What a row needs of the slate to belong to it.
enum Needs : unsigned {
  kAlways = 0,
  kKerosene = 1u << 0,  // the slate makes kerosene ("KER")
  kDiesel = 1u << 1,    // the slate makes diesel ("DSL")
  kRecycle = 1u << 2,   // the slate has a recycle rate and computes CONVERSION from TOTCONV
};

// The HCR_D catalogue without its constants, in creation order; a row's
// group is what it Needs of the slate.
const std::vector<CatalogueRow>& catalogue();

// The slate constants in the order setPELMOVarValues writes them; each is a
// constant description with lower = upper = value.
struct ConstantRow {
  const char* name;
  const char* unit;
  double value;
};
const std::vector<ConstantRow>& constants();

// The blending-index equations in creation order (prefix, index kind).
struct IndexRow {
  const char* prefix;
  std::uint32_t kind;
  unsigned needs;
};
const std::vector<IndexRow>& indexEquations();

// A bound that differs from the catalogue's in one slate.
struct BoundRow {
  const char* name;
  double lower;
  double upper;
};

struct Slate {
  const char* modelKind;
  std::vector<std::string> products;  // liquid products in slate order
  bool recycle;                       // RCYRATE input, EQN_CALC_CONVERSION, CONVERSION free and TOTCONV fixed
  bool conversionFromTotal;           // init starts CONVERSION at TOTCONV
  bool ucoFractionStart;              // init starts UCOFRAC from TOTCONV
  std::vector<BoundRow> bounds;

  // The Needs bits the slate satisfies.
  unsigned features() const;
  bool has(unsigned needs) const { return (needs & ~features()) == 0; }
};

extern const Slate kSlateD;     // "HCR_D": LCN, HCN, KER, DSL, UCO; recycle
extern const Slate kSlateK;     // "HCR_K": LCN, HCN, KER, UCO; recycle
extern const Slate kSlateMild;  // "HCR_MILD": LCN, HCN, KER, DSL, UCO; no recycle
extern const Slate kSlateN;     // "HCR_N": LCN, HCN, UCO; recycle

// The light ends: H2S, H2, FGS, C3, NC4, IC4. With the liquid products they
// make the streams of the mass and volume conversions.
extern const std::vector<std::string> kLightEnds;

}  // namespace hcr
