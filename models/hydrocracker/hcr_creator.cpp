// The hydrocracker family's creator for the "MORVANE" factory.
#include <memory>

#include "models/hydrocracker/hcr_models.h"
#include "models/hydrocracker/hcrbase_1.h"
#include "plugin/creators.h"

std::unique_ptr<robase> createHcrBlock(const BlockRequest& request) {
  if (request.generation == BlockGeneration::Second) {
    const char* name = request.name;
    const VerInfo& v = request.version;
    if (request.subid == "ROHCRD") return std::make_unique<rohcrd_1<hcrbase_1>>(name, v);
    if (request.subid == "ROHCRK") return std::make_unique<rohcrk_1<hcrbase_1>>(name, v);
    if (request.subid == "ROHCRMILD") return std::make_unique<rohcrmild_1<hcrbase_1>>(name, v);
    if (request.subid == "ROHCRN") return std::make_unique<rohcrn_1<hcrbase_1>>(name, v);
    return nullptr;
  }
  if (request.subid == "ROHCRD") return std::make_unique<rohcrd>(request.name);
  if (request.subid == "ROHCRK") return std::make_unique<rohcrk>(request.name);
  if (request.subid == "ROHCRMILD") return std::make_unique<rohcrmild>(request.name);
  if (request.subid == "ROHCRN") return std::make_unique<rohcrn>(request.name);
  return nullptr;
}
