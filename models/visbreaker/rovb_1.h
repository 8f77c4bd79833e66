// rovb_1: the second-generation visbreaker block, with its kinds
// rovbnoskr_1<rovb_1> ("VB_NOSKR") and rovbskr_1<rovb_1> ("VB_SKR").
//
// The same unit as rovb (eleven feed and operating inputs, 23 trained
// networks), described as varinfo2 category sets and closed by equation
// objects that the generic supplier and the visbreaker supplier build;
// robase2 sizes, initialises and evaluates them, so the block has no
// residual, pattern or Jacobian code of its own.
//
// 113 variables: 11 inputs (1-11), 23 network outputs (12-34), 21 constants
// (35-55), 45 calculated (56-100), MASSFACTOR (101), 10 volume flows
// (102-111), 2 molar flows (112-113): name order inside a set, the sets in
// that order. 81 equations, numbered in the order createROMEquations adds
// them. Volumes come from densities (RHOH2O, or RHOAIR for the gases, times
// the stream's gravity), not from FOE factors as in the first generation.
//
// The conversion is fixed (a specification) and the furnace temperature,
// although a network input, is computed by "EQN_FURNACETEMP". The "VB_SKR"
// networks see the feed mass in lb/h (FEEDMASS x 2.20462).
#pragma once

#include <set>

#include "core/robase2.h"
#include "equations/suppliers.h"

class rovb_1 : public robase2 {
 public:
  rovb_1(const char* name, VerInfo version);
  rovb_1(const rovb_1&) = delete;
  rovb_1& operator=(const rovb_1&) = delete;
  ~rovb_1() override;

  // "INPUT": the inputs except FEEDMASS and FURNACETEMP, then the feed by the
  // HL basis (FEEDVOL or FEEDMASS), then CONVERSION.
  void addVarsToInputPort(qiv_port* port) override;
  // "OUTVOL": the volume set except "FEEDVOL", then the mixes and gas volumes.
  void addVarsToVolPort(qiv_port* port) override;
  // "OUTRES": 29 results in a fixed order, whatever the bases.
  void addVarsToResultPort(qiv_port* port) override;
  // The catalogue into the seven sets, handed to populateVarMan in the order
  // input, prediction, constants, calculated, factor, volume, molar.
  void createROMVariables() override;
  // The 81 equation objects. Throws when a supplier or an equation it should
  // make is missing, so preparation fails instead of a later pass.
  void createROMEquations() override;
  // The 21 constants' values; status 1 when one could not be written.
  void setPELMOVarValues(long long& status) override;
  // robase2's (constants and inputs fixed), then FURNACETEMP freed and
  // CONVERSION fixed; status 1 when any of them failed.
  void setPELMOVarSpecs(long long& status) override;

  // The balance-system description of the unit.
  ROEqnSupplier::ReactionSpec makeVBReactionSpec() const;

  const std::set<varinfo2>& inputs() const { return inputSet; }
  const std::set<varinfo2>& networkOutputs() const { return nnOutputSet; }
  const std::set<varinfo2>& volumes() const { return volumeSet; }
  const std::set<varinfo2>& molars() const { return molarSet; }

 protected:
  // The equation builders createROMEquations calls, in this order. Each adds
  // its objects to the equation manager in the order made.
  void createNNEquations();
  void createBalanceSystemEquations();
  void createSulfurPPMEquations();
  void createMassToVolumeConversionEquations();
  void createMassToMolConversionEquations();
  void createMixAndRatioEquations();
  void createViscosityEquations();
  void createFurnaceTemperatureEquation();

  std::set<varinfo2> volumeSet;  // liquid volume flows, "FEEDVOL" among them
  std::set<varinfo2> molarSet;   // gas molar flows

 private:
  // Adds an object; a missing one (the supplier made none) throws.
  void add(ROEqnSupplier::EqnPtr eqn, const std::string& what);
};

// The two kinds: each only names its model kind.
template <class Base>
class rovbnoskr_1 : public Base {
 public:
  rovbnoskr_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("VB_NOSKR"); }
  ~rovbnoskr_1() override = default;
};

template <class Base>
class rovbskr_1 : public Base {
 public:
  rovbskr_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("VB_SKR"); }
  ~rovbskr_1() override = default;
};
