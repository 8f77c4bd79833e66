// The first-generation hydrocracker models: "HCR_D" (rohcrd), "HCR_K"
// (rohcrk), "HCR_MILD" (rohcrmild) and "HCR_N" (rohcrn).
//
// The four differ only in their slate (hcr_slates.h): the liquid products,
// whether a recycle rate makes CONVERSION a computed variable, the starting
// values of HCR_D and a few bounds. hcrmodel does everything from the slate
// a model names; the four classes fix the slate.
//
// Every model builds, in this order (its row order):
//   the network equations "Y_" y of every network output, by name;
//   EQN_MASS_BAL; EQN_HYD_BAL;
//   CONV_ P MASS for the light ends and products by name, FGS excepted;
//   CONV_ P VOL for the light ends and products by name, then CONV_FEEDVOL;
//   CONV_H2SMOL, CONV_H2MOL, CONV_FGSMOL;
//   EQN_ P HYDMASS_CONV for FEED, H2S, FGS, C3, NC4, IC4, then the products;
//   EQN_ P SUL and EQN_ P SULPPM of each product;
//   EQN_LCNNA, EQN_HCNNA; the blending indices; EQN_CALC_CONVERSION (recycle).
#pragma once

#include <string>

#include "models/hydrocracker/hcr_slates.h"
#include "models/hydrocracker/hcrbase.h"

class hcrmodel : public hcrbase {
 public:
  hcrmodel(const char* name, const hcr::Slate& slate);

  const hcr::Slate& slate() const { return m_slate; }

  // ---- Overrides, in robase's slot order --------------------------------------
  // The slate's rows of the catalogue, then the five sets loaded in the order
  // inputs, network outputs, constants, calculated, factor.
  void createROMVariables() override;
  void createROMEquations() override;
  // The tuning factors, then "HYDBALBIAS", "HYDBALSLOPECONV", "HYDBALSLOPESG"
  // (code 3, value 0.0), numbered on from the map's size.
  void setupAttributes() override;
  // The fifteen constants, then the framework bounds 0 and 100 of CONVERSION.
  void setPELMOVarValues(long long& status) override;
  // CONST for the constants, the inputs and TOTCONV (FEEDVOL in place of
  // FEEDMASS on a volume HL basis); CALC for CONVERSION in a recycle slate.
  void setPELMOVarSpecs(long long& status) override;
  // Sets the model kind of the slate.
  void commonConstructor() override;
  // hcrbase's run, then, after a successful run, the hydrogen content of a
  // product ("LCNHYD" ...) and its derivatives times 100. Not on the road of
  // the block's evaluation: the network equations run every network.
  int runNN(std::string output) const override;
  // Starting values: HCR_D starts CONVERSION at TOTCONV; the network
  // equations' steps; FGSMASS from the hydrogen contents (and UCOFRAC from
  // TOTCONV in HCR_D). Every other variable keeps its value, and Newton
  // takes the computed flows from there. Only the network steps and the
  // CONVERSION write decide the status.
  void init(long long& status) const override;

 private:
  // max(0, (sum of yield x hydrogen content - FEEDHYD) x FEEDMASS / 100 / FGSHYD).
  double fuelGasStart() const;

  const hcr::Slate& m_slate;
};

class rohcrd final : public hcrmodel {
 public:
  explicit rohcrd(const char* name) : hcrmodel(name, hcr::kSlateD) {}
};

class rohcrk final : public hcrmodel {
 public:
  explicit rohcrk(const char* name) : hcrmodel(name, hcr::kSlateK) {}
};

class rohcrmild final : public hcrmodel {
 public:
  explicit rohcrmild(const char* name) : hcrmodel(name, hcr::kSlateMild) {}
};

class rohcrn final : public hcrmodel {
 public:
  explicit rohcrn(const char* name) : hcrmodel(name, hcr::kSlateN) {}
};
