// The hydrocracker family's creator for the "MORVANE" factory.
#include <memory>

#include "models/hydrocracker/hcr_models.h"
#include "plugin/creators.h"

std::unique_ptr<robase> createHcrBlock(const BlockRequest& request) {
  // The second generation is not provided yet: no block.
  if (request.generation != BlockGeneration::First) return nullptr;
  if (request.subid == "ROHCRD") return std::make_unique<rohcrd>(request.name);
  if (request.subid == "ROHCRK") return std::make_unique<rohcrk>(request.name);
  if (request.subid == "ROHCRMILD") return std::make_unique<rohcrmild>(request.name);
  if (request.subid == "ROHCRN") return std::make_unique<rohcrn>(request.name);
  return nullptr;
}
