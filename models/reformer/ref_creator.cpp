// The reformer family's creator for the "MORVANE" factory: the leaf of the
// SUBID, first or second generation by the version, given its NA basis
// right after construction.
#include <cstring>
#include <memory>

#include "models/reformer/roref_slates.h"
#include "plugin/creators.h"

namespace {

template <class Leaf>
std::unique_ptr<robase> firstGeneration(const BlockRequest& request) {
  auto block = std::make_unique<Leaf>(request.name);
  block->setNABasis(request.basisNA.c_str());
  return block;
}

struct LeafRow {
  const char* subid;
  std::unique_ptr<robase> (*first)(const BlockRequest&);
};

constexpr LeafRow kLeaves[] = {
    {"ROREFSEMI1R", &firstGeneration<rorefsemi1r>}, {"ROREFCONT1R", &firstGeneration<rorefcont1r>},
    {"ROREFSEMI2R", &firstGeneration<rorefsemi2r>}, {"ROREFCONT2R", &firstGeneration<rorefcont2r>},
    {"ROREFSEMIA", &firstGeneration<rorefsemia>},   {"ROREFCONTA", &firstGeneration<rorefconta>},
};

}  // namespace

std::unique_ptr<robase> createRefBlock(const BlockRequest& request) {
  if (!request.name) return nullptr;
  for (const LeafRow& row : kLeaves) {
    if (request.subid != row.subid) continue;
    if (request.generation == BlockGeneration::First) return row.first(request);
    return nullptr;
  }
  return nullptr;
}
