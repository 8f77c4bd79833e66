// Creators of the families that have not landed yet: no block, so the factory
// answers null and the framework reports "Block creation failed". Each family
// moves its definition into its own folder when it lands.
#include "core/robase.h"
#include "plugin/creators.h"
#include "platform/qivblock.h"

