#include "tests/support/generations.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>

#include "platform/varlist.h"
#include "tests/support/solve_checks.h"

namespace romtest {

namespace {

constexpr double kFirstWaterDensity = 1000.0;   // KG/CUM
constexpr double kSecondWaterDensity = 999.04;  // KG/CUM, RHOH2O
const std::set<std::string> kComputedOtherwise = {"FGSVOL", "H2SVOL", "H2VOL", "COKVOL"};

}  // namespace

::testing::AssertionResult solvedValues(SolvedValues& out, const HostedBlock& block) {
  if (!block.setUp.ok()) return ::testing::AssertionFailure() << "set-up: " << block.setUp.message;
  if (::testing::AssertionResult solved = solves(block.system()); !solved) return solved;
  out.clear();
  for (const auto& [name, value] : block.values())
    out[name] = {value, rtouom_name(rtovarlst_baseuom(block.system().varList(), block.number(name)))};
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult agreeWhereComputedAlike(const SolvedValues& first, const SolvedValues& second,
                                                   std::size_t compared) {
  std::size_t count = 0;
  std::ostringstream differ;
  differ.precision(12);
  for (const auto& [name, a] : first) {
    const auto b = second.find(name);
    if (b == second.end() || kComputedOtherwise.count(name) != 0) continue;
    ++count;
    double x = a.value, y = b->second.value;
    if (a.unit == "CUM/HR") {
      x *= kFirstWaterDensity;
      y *= kSecondWaterDensity;
    }
    if (!(std::fabs(x - y) <= 1e-9 * std::max(std::fabs(x), std::fabs(y)) + 1e-15))
      differ << " " << name << " (" << a.value << " and " << b->second.value << ")";
  }
  if (differ.str().empty() && count == compared) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << count << " variables compared, " << compared << " expected;"
                                       << (differ.str().empty() ? " none differs" : " differ:" + differ.str());
}

}  // namespace romtest
