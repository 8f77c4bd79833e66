// The equation registration both tuning blocks share: an entry of a block's
// equation table (own name -> local index k) becomes the framework equation
// "<block>.<name>" at the block's first equation - 1 + k, owned by the block.
#pragma once

#include <string>

#include "platform/qivblock.h"

namespace tuning {

// False (nothing registered) when the framework gives no equation list, the
// framework name would be over 99 characters, or the framework refuses it.
bool registerEquation(QivEOBlockImpl& block, const std::string& name, int index);

}  // namespace tuning
