// The eight second-generation FCC leaves and the creator branch that makes
// them from a SUBID.
#include <memory>

#include "models/fcc/rofcc_1.h"
#include "plugin/creators.h"

template class rofccslate_1<rofcc_1, Fcc1Slate::Hco>;
template class rofccslate_1<rofcc_1, Fcc1Slate::Mcn>;
template class rofccslate_1<rofcc_1, Fcc1Slate::McnHco>;

namespace {

template <class Leaf>
std::unique_ptr<robase> makeLeaf(const BlockRequest& request) {
  return std::make_unique<Leaf>(request.name, request.version);
}

struct LeafRow {
  const char* subid;
  std::unique_ptr<robase> (*make)(const BlockRequest&);
};

constexpr LeafRow kLeaves[] = {
    {"ROFCCGO2N", &makeLeaf<rofccgo2n_1<rofcc_1>>},
    {"ROFCCGOR2N", &makeLeaf<rofccgor2n_1<rofcc_1>>},
    {"ROFCCGO2N1H", &makeLeaf<rofccgo2n1h_1<rofcc2n1h_1<rofcc_1>>>},
    {"ROFCCGOR2N1H", &makeLeaf<rofccgor2n1h_1<rofcc2n1h_1<rofcc_1>>>},
    {"ROFCCGO3N", &makeLeaf<rofccgo3n_1<rofcc3n_1<rofcc_1>>>},
    {"ROFCCGOR3N", &makeLeaf<rofccgor3n_1<rofcc3n_1<rofcc_1>>>},
    {"ROFCCGO3N1H", &makeLeaf<rofccgo3n1h_1<rofcc3n1h_1<rofcc_1>>>},
    {"ROFCCGOR3N1H", &makeLeaf<rofccgor3n1h_1<rofcc3n1h_1<rofcc_1>>>},
};

}  // namespace

std::unique_ptr<robase> createFccBlock_1(const BlockRequest& request) {
  for (const LeafRow& leaf : kLeaves)
    if (request.subid == leaf.subid) return leaf.make(request);
  return nullptr;
}
