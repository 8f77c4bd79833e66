// The reformer's feed-property equations, made by name by the reformer family
// supplier: the feed carbon number, the mean average boiling point, the feed
// hydrogen content, the hydrogen content of the aromatics product, and the
// split of the feed's N+A number into aromatics and naphthenes. The first
// variable of each list is the one the equation defines; ordering key 4000.
#pragma once

#include "core/attr_map.h"
#include "equations/property_eqn.h"

namespace ROEqnSupplier {

// "FEEDCNO" from the gravity, naphthenes and aromatics of the feed.
class _eqFEEDCNO : public PropertyEqn {
 public:
  _eqFEEDCNO();

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;
};

// "MEABP" from the gravity, naphthenes and aromatics of the feed.
class _eqMEABP : public PropertyEqn {
 public:
  _eqMEABP();

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;
};

// "FEEDHYD": paraffins CnH2n+2, naphthenes CnH2n and aromatics CnH2n-6 at the
// feed carbon number, weighted by their percentages.
class _eqFEEDHYD : public PropertyEqn {
 public:
  _eqFEEDHYD();

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;
};

// "AROHYD": the hydrogen of benzene, toluene, xylenes and C9+ aromatics. Its
// residual is the correlation minus the variable.
class _eqAROHYD : public PropertyEqn {
 public:
  _eqAROHYD();

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;
};

// "FEEDAROM" = NA / (R + F) and "FEEDNAPH" = R NA / (R + F), with F the block
// attribute "FACTORNA" read at every call. Without the block's attribute map
// they report failure and write nothing.
class _eqFEEDAROM : public PropertyEqn {
 public:
  explicit _eqFEEDAROM(EqnContext context);

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;

 private:
  AttrRef m_factorNA{"FACTORNA"};
};

class _eqFEEDNAPH : public PropertyEqn {
 public:
  explicit _eqFEEDNAPH(EqnContext context);

 protected:
  bool correlate(const Values& x, double& value, Values* grad) const override;

 private:
  AttrRef m_factorNA{"FACTORNA"};
};

}  // namespace ROEqnSupplier
