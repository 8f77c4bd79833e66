// The two balance rows of one unit form of the tuning-balance block.
//
// A form lists the block's variables in registration order, the variables of
// each row in pattern order, and evaluates each row's residual, its gradient
// (the exact partial derivative by every variable of the row) and the
// starting values of its init. The block registers the pattern from the row
// lists and writes the Jacobian by walking the same lists through the
// gradient, so pattern and values cannot drift apart.
//
// Two kinds of form serve the five units:
//   sulfur forms (coker, visbreaker, FCC): MASS_BAL and SULFUR_BAL, solved for
//     MASSFACTOR and the H2S closure (a mass, H2SMASS, or a yield, H2SFRAC);
//   hydrogen forms (hydrocracker, reformer): MASS_BAL and HYDROGEN_BAL, solved
//     for MASSFACTOR and the fuel-gas yield FGSFRAC.
// Yields and relative sulfur factors enter through the smooth floor g.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/onebased.h"

namespace tuning {

// The current value of a variable of the block, by its own name.
using ValueOf = std::function<double(const std::string&)>;

// The values a form reads, by a variable's place in the form's variables():
// from the framework's value vector (the block, which has resolved each
// place's local index once), or through a caller's ValueOf by the place's
// name. A place below 0 stands for a name the list lacks and throws
// std::out_of_range("invalid map<K, T> key"), as the block's look-up by name.
class Values {
 public:
  // x: the framework's value vector; first: the number of the block's first
  // variable; localIndex: the block's local index of each place.
  Values(OneBased<double> x, int first, const std::vector<int>& localIndex)
      : m_x(x), m_first(first), m_localIndex(&localIndex) {}
  Values(const ValueOf& byName, const std::vector<std::string>& names) : m_byName(&byName), m_names(&names) {}
  double operator()(int place) const;

 private:
  OneBased<double> m_x;
  int m_first = 0;
  const std::vector<int>* m_localIndex = nullptr;
  const ValueOf* m_byName = nullptr;
  const std::vector<std::string>* m_names = nullptr;
};
// Starting values in the order they are written.
using StartValues = std::vector<std::pair<std::string, double>>;
// The same by the variables' places.
using PlacedStartValues = std::vector<std::pair<int, double>>;

// A row's derivatives by the variables' places; set[i] tells which were given.
struct Gradient {
  void reset(std::size_t n) {
    value.assign(n, 0.0);
    set.assign(n, 0);
  }
  void put(int place, double v) {
    value.at(static_cast<std::size_t>(place)) = v;
    set.at(static_cast<std::size_t>(place)) = 1;
  }
  std::vector<double> value;
  std::vector<char> set;
};

// The place of a name in a variable list: its last entry (the block numbers
// its variables in list order, a later entry of a name taking its number); -1
// when the list lacks it.
int placeIn(const std::vector<std::string>& variables, const std::string& name);

class BalanceForm {
 public:
  virtual ~BalanceForm() = default;

  // Every variable of the block, in registration order (local index 1, 2, ...).
  virtual const std::vector<std::string>& variables() const = 0;
  // The variables user_ini frees, in that order: MASSFACTOR, then the closure.
  virtual std::array<std::string, 2> freed() const = 0;
  // "SULFUR_BAL" or "HYDROGEN_BAL"; the first row is always "MASS_BAL".
  virtual const char* secondBalance() const = 0;
  // Row 0 (MASS_BAL) or 1 (the second balance): its variables in pattern order.
  virtual const std::vector<std::string>& row(int k) const = 0;
  virtual double residual(int k, const Values& v) const = 0;
  // d residual(k) / d each variable of row(k), by place (d is reset here).
  virtual void gradient(int k, const Values& v, Gradient& d) const = 0;
  // Into out (cleared first; its storage is reused).
  virtual void startValues(const Values& v, PlacedStartValues& out) const = 0;

  // The same by name, values given by a caller's function.
  double residual(int k, const ValueOf& v) const { return residual(k, Values(v, variables())); }
  std::map<std::string, double> gradient(int k, const ValueOf& v) const;
  StartValues startValues(const ValueOf& v) const;
};

// The sulfur forms.
std::unique_ptr<BalanceForm> cokerBalance();
std::unique_ptr<BalanceForm> visbreakerBalance();
std::unique_ptr<BalanceForm> fccBalance(bool hasMCN, bool hasHCO);
// The hydrogen forms by their product selectors: hydrocracker 0 (none), 1
// (kerosene), 2 and 3 (kerosene and diesel); reformer 0 (reformate), 1 (two
// reformate cuts), 2 (aromatics and raffinate). Any other selector gives the
// form without the optional products (hydrocracker: as 0; reformer: no
// liquid product at all).
std::unique_ptr<BalanceForm> hydrocrackerBalance(int selector);
std::unique_ptr<BalanceForm> reformerBalance(int selector);

// ---- Shared helpers --------------------------------------------------------------

// The smooth positive floor at c = 1e-19: x above c, c * exp(x / c - 1) at or
// below it (the comparison is strict), with its slope.
struct Floored {
  double value;
  double slope;
};
Floored smoothFloor(double x);

// Grid searches of the starting values use eleven points, 0 to 10.
constexpr int kGridPoints = 11;
// The largest i in 1..10 where q changes sign strictly between i - 1 and i
// (a zero is neither sign); -1 when there is none (non-finite values never
// count).
int lastSignChange(const std::array<double, kGridPoints>& q);

// Sulfur mass fraction of hydrogen sulfide, 32.065 / 34.08088.
constexpr double kH2SSulfurShare = 0.9408501188936436;
// Hydrogen mass fraction of hydrogen sulfide, 2.01588 / 34.08088.
constexpr double kH2SHydrogenShare = 0.05914988110635641;
// Molar masses of sulfur and hydrogen sulfide, for the starting-value grid.
constexpr double kSulfurMolarMass = 32.065;
constexpr double kH2SMolarMass = 34.08088;

}  // namespace tuning
