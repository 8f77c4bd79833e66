// roeqn2: the base of every second-generation equation object. On the row
// bookkeeping of EqnRowBase it adds the three evaluation steps the block runs
// (residual, Jacobian, starting value) and the ordering key that decides when
// the starting-value step runs: robase2::init runs the objects by ascending
// key, ties by equation name; an object whose key is kNeverInit never runs.
//
// Derived classes fill m_varNames in their constructor (pattern order), write
// their residual with writeResidual, their Jacobian entries with setJacValue
// (jac returns the number of entries not written), and their starting values
// with setVarValue.
#pragma once

#include <cstdint>
#include <string>

#include "equations/eqn_row.h"

class roeqn2 : public EqnRowBase {
 public:
  // The key of an object that never runs its starting-value step.
  static constexpr std::uint32_t kNeverInit = 0xFFFFFFFFu;

  explicit roeqn2(std::string name);
  roeqn2(std::string name, EqnContext context);

  // Residual at the object's equation number of the 1-based residual view; 0
  // on success.
  virtual int res(OneBased<double> residuals) = 0;
  // Jacobian values at the object's non-zeros through setJacValue; the number
  // of entries not written (non-zero before the pattern is set).
  virtual int jac(OneBased<double> values) = 0;
  // Starting values; the base sets none and returns 0.
  virtual int init();

  virtual std::uint32_t getOrderKey() const { return m_orderKey; }
  virtual void setOrderKey(std::uint32_t key) { m_orderKey = key; }
  // Moves the key by delta only while the result stays within 0 .. 4294967294:
  // a positive delta is added when key < 4294967295 - delta, a negative one
  // when key >= -delta; 0 changes nothing.
  virtual void addOrderKey(std::int32_t delta);

  // The Jacobian step of the block's pass: before the pattern it writes
  // nothing and reports 1; otherwise it zeroes the object's own non-zeros and
  // runs jac.
  int evalJac(OneBased<double> values);

 private:
  std::uint32_t m_orderKey = 0;
};
