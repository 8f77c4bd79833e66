// rocoker_1: the second-generation delayed-coker block.
//
// The same unit as rocoker (eleven feed and drum inputs, 35 trained networks),
// described as varinfo2 category sets and closed by equation objects that the
// generic and the coker suppliers build; robase2 sizes, initialises and
// evaluates them, so the block has no residual, pattern or Jacobian code.
//
// 134 variables: 11 inputs (1-11), 35 network outputs (12-46), MASSFACTOR
// (47), 49 calculated (48-96), 23 constants (97-119), 13 volume flows
// (120-132), 2 molar flows (133-134): name order inside a set, the sets in
// that order. 100 equations, numbered in the order createROMEquations adds
// them, from "Y_C32FRAC" to "EQN_HGOVISCIDX". Volumes come from densities
// (RHOH2O or RHOAIR times the stream's gravity), not from FOE factors as in
// the first generation.
#pragma once

#include <set>

#include "core/robase2.h"

class rocoker_1 : public robase2 {
 public:
  rocoker_1(const char* name, VerInfo version);
  rocoker_1(const rocoker_1&) = delete;
  rocoker_1& operator=(const rocoker_1&) = delete;
  ~rocoker_1() override;

  // "OUTVOL": the volume set except "FEEDVOL", in name order, then the two mixes.
  void addVarsToVolPort(qiv_port* port) override;
  // "OUTRES": 47 results in a fixed order, whatever the bases.
  void addVarsToResultPort(qiv_port* port) override;
  // The catalogue into the seven sets, handed to populateVarMan in the order
  // input, network output, factor, calculated, constants, volume, molar.
  void createROMVariables() override;
  // The 100 equation objects. Throws when a supplier or an equation it should
  // make is missing, so preparation fails instead of a later pass.
  void createROMEquations() override;
  // The 23 constants' values; status 1 when one could not be written.
  void setPELMOVarValues(long long& status) override;

  const std::set<varinfo2>& inputs() const { return inputSet; }
  const std::set<varinfo2>& networkOutputs() const { return nnOutputSet; }
  const std::set<varinfo2>& volumes() const { return volumeSet; }
  const std::set<varinfo2>& molars() const { return molarSet; }

 protected:
  std::set<varinfo2> volumeSet;  // liquid volume flows, "FEEDVOL" among them
  std::set<varinfo2> molarSet;   // gas molar flows
};
