// The product-property equations of the delayed coker: the naphthene plus
// twice aromatics number of the light and heavy coker naphtha, the cetane,
// cloud-point and viscosity blending indices of the light gas oil and the
// viscosity blending index of the heavy gas oil. Each ties its index (the last
// variable of its list) to the property variables before it; ordering key 2500.
// The coker's family supplier makes them by target name.
#pragma once

#include "equations/property_eqn.h"

namespace ROEqnSupplier {

// N + 2 A over (naphthenes, aromatics, index).
class CokerN2AEqn : public PropertyEqn {
 protected:
  explicit CokerN2AEqn(const std::string& cut);
  bool correlate(const Values& x, double& value, Values* grad) const override;
};

class _eqLCNN2A : public CokerN2AEqn {
 public:
  _eqLCNN2A() : CokerN2AEqn("LCN") {}
};

class _eqHCNN2A : public CokerN2AEqn {
 public:
  _eqHCNN2A() : CokerN2AEqn("HCN") {}
};

// Cetane index over ("LGOSG", "LGOD86_50", "LGOCETIDX").
class _eqLGOCETIDX : public PropertyEqn {
 public:
  _eqLGOCETIDX();

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;
};

// Cloud-point blending index over ("LGOCLOUDPT", "LGOCLOUDIDX").
class _eqLGOCLOUDIDX : public PropertyEqn {
 public:
  _eqLGOCLOUDIDX();

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;
};

// Viscosity blending index over (viscosity at 122 F in cSt, index):
// 33.5 log10(log10(V + 0.85)) + 19.2. Defined for V above 0.15 cSt only; below
// it the value is not finite and the equation reports failure.
class CokerViscIdxEqn : public PropertyEqn {
 protected:
  explicit CokerViscIdxEqn(const std::string& cut);
  bool correlate(const Values& x, double& value, Values* grad) const override;
};

class _eqLGOVISCIDX : public CokerViscIdxEqn {
 public:
  _eqLGOVISCIDX() : CokerViscIdxEqn("LGO") {}
};

class _eqHGOVISCIDX : public CokerViscIdxEqn {
 public:
  _eqHGOVISCIDX() : CokerViscIdxEqn("HGO") {}
};

}  // namespace ROEqnSupplier
