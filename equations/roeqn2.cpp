#include "equations/roeqn2.h"

#include <utility>

roeqn2::roeqn2(std::string name) : EqnRowBase(std::move(name)) {}

roeqn2::roeqn2(std::string name, EqnContext context) : EqnRowBase(std::move(name), context) {}

int roeqn2::init() { return 0; }

void roeqn2::addOrderKey(std::int32_t delta) {
  // In 64 bits, so that neither the bound nor -delta can overflow.
  const long long key = m_orderKey;
  const long long d = delta;
  if (d > 0) {
    if (key < static_cast<long long>(kNeverInit) - d) m_orderKey = static_cast<std::uint32_t>(key + d);
  } else if (d < 0) {
    if (key >= -d) m_orderKey = static_cast<std::uint32_t>(key + d);
  }
}

int roeqn2::evalJac(OneBased<double> values) {
  if (!patterned()) return 1;
  zeroOwnRange(values);
  return jac(values);
}
