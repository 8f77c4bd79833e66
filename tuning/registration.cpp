#include "tuning/registration.h"

#include "core/helpers.h"
#include "platform/eqnlist.h"

namespace tuning {

namespace {

// Equation record fields (the framework's meaning; the block only fills them).
constexpr int kEqnKind = 255;
constexpr double kEqnR1 = 1e35;
constexpr double kEqnR2 = 1.0;

}  // namespace

bool registerEquation(QivEOBlockImpl& block, const std::string& name, int index) {
  rtvarlst_t* vars = nullptr;
  rtattrdict_t* eqns = nullptr;
  rt_jac_t* jac = nullptr;
  block.inq_matrix(vars, eqns, jac);
  if (!eqns) return false;
  rteqn_rec_t rec;
  rec.flags = kEqnKind;
  if (!frameworkName(rec.name, sizeof rec.name, block.name(), name)) return false;
  rec.r1 = kEqnR1;
  rec.r2 = kEqnR2;
  u3rpmt_c(&rec.pmt, 0);
  rec.offset = block.estart() - 1;
  rec.owner = &block;
  return rtoeqnlst_initialize_eqn(eqns, block.estart() - 1 + index, &rec) == 0;
}

}  // namespace tuning
