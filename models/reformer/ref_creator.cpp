// The reformer family's creator for the "MORVANE" factory: the leaf of the
// SUBID, of the first generation up to VERSION 36 and of the second from 37,
// given its model kind and then its NA basis right after construction.
#include <memory>

#include "models/reformer/roref_1.h"
#include "models/reformer/roref_slates.h"
#include "plugin/creators.h"

namespace {

template <class Leaf>
std::unique_ptr<robase> firstGeneration(const BlockRequest& request) {
  auto block = std::make_unique<Leaf>(request.name);
  block->setNABasis(request.basisNA.c_str());
  return block;
}

template <class Leaf>
std::unique_ptr<robase> secondGeneration(const BlockRequest& request) {
  auto block = std::make_unique<Leaf>(request.name, request.version);
  block->setModelKind(request.modelKind);
  block->setNABasis(request.basisNA.c_str());
  return block;
}

struct LeafRow {
  const char* subid;
  std::unique_ptr<robase> (*first)(const BlockRequest&);
  std::unique_ptr<robase> (*second)(const BlockRequest&);
};

constexpr LeafRow kLeaves[] = {
    {"ROREFSEMI1R", &firstGeneration<rorefsemi1r>, &secondGeneration<rorefsemi1r_1<roref1r_1<roref_1>>>},
    {"ROREFCONT1R", &firstGeneration<rorefcont1r>, &secondGeneration<rorefcont1r_1<roref1r_1<roref_1>>>},
    {"ROREFSEMI2R", &firstGeneration<rorefsemi2r>, &secondGeneration<rorefsemi2r_1<roref2r_1<roref_1>>>},
    {"ROREFCONT2R", &firstGeneration<rorefcont2r>, &secondGeneration<rorefcont2r_1<roref2r_1<roref_1>>>},
    {"ROREFSEMIA", &firstGeneration<rorefsemia>, &secondGeneration<rorefsemia_1<rorefa_1<roref_1>>>},
    {"ROREFCONTA", &firstGeneration<rorefconta>, &secondGeneration<rorefconta_1<rorefa_1<roref_1>>>},
};

}  // namespace

std::unique_ptr<robase> createRefBlock(const BlockRequest& request) {
  if (!request.name) return nullptr;
  for (const LeafRow& row : kLeaves) {
    if (request.subid != row.subid) continue;
    return request.generation == BlockGeneration::First ? row.first(request) : row.second(request);
  }
  return nullptr;
}
