// ListedEqn: the shared evaluation habits of the balance, conversion,
// fraction, mix, sum-ratio and unit-conversion objects. The pattern is the
// base's: one non-zero per entry of the variable list, in list order. The
// Jacobian is written from the same list: a class gives one partial derivative
// per list entry, and a name listed more than once gets the sum of its
// partials (the chain rule), written at the non-zero the pattern kept for it.
// So pattern and Jacobian come from one description and cannot drift apart.
// The classes read their variables by list position (value(i)), which the
// base resolves once, and write their partials from an initializer list or
// the object's own work vector, so an evaluation allocates nothing.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "equations/roeqn2.h"

namespace ROEqnSupplier {

class ListedEqn : public roeqn2 {
 public:
  using roeqn2::roeqn2;

 protected:
  // Current value of a named variable, and of list entry i.
  double value(const std::string& name) const { return getValue(name); }
  double value(std::size_t i) const { return valueAt(i); }

  // Writes the residual; 1 when it is not a finite number (the value is still
  // written, so the framework sees what went wrong), else 0.
  int putResidual(OneBased<double> residuals, double r) const;

  // partials[i] is the derivative of the residual with respect to the i-th
  // list entry taken as its own variable; they are summed by name. Returns
  // the number of entries not written or not finite.
  int putPartials(OneBased<double> values, std::span<const double> partials) const;
  int putPartials(OneBased<double> values, std::initializer_list<double> partials) const {
    return putPartials(values, std::span<const double>(partials.begin(), partials.size()));
  }

  // derivs[i] is already the full derivative with respect to the name of the
  // i-th list entry (rows whose residual sums over sets of names). Returns the
  // number of entries not written or not finite.
  int putDerivatives(OneBased<double> values, std::span<const double> derivs) const;

  // The object's work vector of n values (kept between calls) for partials
  // or derivatives that a row fills entry by entry.
  std::span<double> workVector(std::size_t n) const;

 private:
  mutable std::vector<double> m_work;  // workVector
  mutable std::vector<double> m_sums;  // putPartials' sums by name
};

// The smooth positive floor: x above the floor value c, c * exp(x / c - 1)
// at or below it; continuous with a continuous first derivative at x = c.
struct SmoothFloor {
  double value;  // floored value
  double dx;     // d value / d x
  double dc;     // d value / d c
};
SmoothFloor smoothFloor(double x, double c);

}  // namespace ROEqnSupplier
