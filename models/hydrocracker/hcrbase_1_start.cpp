// hcrbase_1: the start of the fuel gas after the equation objects' steps.
//
// Fuel gas (FGS) has no yield network: it closes the mass and the hydrogen
// balances. The objects' steps give every other stream its mass and hydrogen
// mass, but none gives FGSMASS a value, so without this step the fuel gas
// would start from whatever the framework held (1 kg/h on a first start),
// and with it its volume, its moles and the mass factor.
#include <algorithm>
#include <limits>
#include <string>

#include "models/hydrocracker/hcrbase_1.h"

int hcrbase_1::startFuelGas() const {
  // Hydrogen in: the feed's and the make-up hydrogen (all hydrogen).
  double hydrogen = m_varMan.getValue("FEEDHYDMASS") + m_varMan.getValue("H2MASS");
  for (const std::string& s : streamSet) {
    if (s == "FEED" || s == "H2" || s == "FGS") continue;
    hydrogen -= m_varMan.getValue(s + "HYDMASS");
  }
  const double content = m_varMan.getValue("FGSHYD");  // percent
  if (!(content > 0.0)) return 1;
  // A fuel gas cannot be negative; a start at 0 lets Newton find it.
  const double fgsHydrogen = std::max(hydrogen, 0.0);
  int failed = m_varMan.setValue("FGSHYDMASS", fgsHydrogen);
  failed |= m_varMan.setValue("FGSMASS", fgsHydrogen * 100.0 / content);
  return failed != 0 ? 1 : 0;
}

void hcrbase_1::init(long long& status) const {
  robase2::init(status);
  long long failed = 0;
  try {
    failed = startFuelGas();
  } catch (...) {
    failed = 1;  // a missing variable: the start stays as the objects left it
  }
  // Added as robase2 adds a failed object's step; a negative status is kept.
  if (failed != 0 && status >= 0 && status < std::numeric_limits<long long>::max()) ++status;
}
