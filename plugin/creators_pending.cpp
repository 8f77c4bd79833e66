// Creators of the families that have not landed yet: no block, so the factory
// answers null and the framework reports "Block creation failed". Each family
// moves its definition into its own folder when it lands.
#include "core/robase.h"
#include "plugin/creators.h"
#include "platform/qivblock.h"

std::unique_ptr<robase> createFccBlock(const BlockRequest&) { return nullptr; }
std::unique_ptr<robase> createHcrBlock(const BlockRequest&) { return nullptr; }
std::unique_ptr<robase> createRefBlock(const BlockRequest&) { return nullptr; }
std::unique_ptr<robase> createVbBlock(const BlockRequest&) { return nullptr; }

std::unique_ptr<QivEOBlock> createTuningModelBlock(const char*, const std::string&, const std::string&, int) {
  return nullptr;
}

std::unique_ptr<QivEOBlock> createTuningBalanceBlock(TuningBalanceForm, const char*, const std::string&) {
  return nullptr;
}
