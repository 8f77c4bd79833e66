// rovb: construction and destruction, the framework set-up chain, the two
// kinds, and the family's creator for the "MORVANE" factory (both generations).
#include "models/visbreaker/rovb.h"

#include <memory>

#include "models/visbreaker/rovb_1.h"

#include "plugin/creators.h"

rovb::rovb(const char* name) : robase(name) {
  makeBalanceLookups();
  rovb::commonConstructor();
  m_massBalEqn = nullptr;
}

rovb::~rovb() {
  robase::commonDestructor();
  rovb::commonDestructor();
}

void rovb::commonConstructor() {
  for (auto& eqn : m_ownEqns) eqn.reset();
  m_rows.clear();
  m_rowOfTag.fill(0);
  m_patternDone = false;
}

void rovb::commonDestructor() {
  // The rows refer to records about to go.
  m_rows.clear();
  m_patternDone = false;
  for (auto& eqn : m_ownEqns) eqn.reset();
}

void rovb::user_ini(long long& status) { runUserIniSteps(status); }

rovbnoskr::rovbnoskr(const char* name) : rovb(name) {
  m_modelKind = "VB_NOSKR";
  rovb::commonConstructor();
  m_massBalEqn = nullptr;
}

rovbnoskr::~rovbnoskr() = default;

rovbskr::rovbskr(const char* name) : rovb(name) {
  m_modelKind = "VB_SKR";
  rovb::commonConstructor();
  m_massBalEqn = nullptr;
}

rovbskr::~rovbskr() = default;

// ---- Creator of the visbreaker family ---------------------------------------------

std::unique_ptr<robase> createVbBlock(const BlockRequest& request) {
  const bool first = request.generation == BlockGeneration::First;
  if (request.modelKind == "VB_NOSKR") {
    if (first) return std::make_unique<rovbnoskr>(request.name);
    return std::make_unique<rovbnoskr_1<rovb_1>>(request.name, request.version);
  }
  if (request.modelKind == "VB_SKR") {
    if (first) return std::make_unique<rovbskr>(request.name);
    return std::make_unique<rovbskr_1<rovb_1>>(request.name, request.version);
  }
  return nullptr;
}
