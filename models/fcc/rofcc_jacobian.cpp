// rofcc: the pattern and Jacobian operations of the model equations. Their
// rows are built with the product-slate classes; until then every operation
// reports status 1 and registers or writes nothing, so a block that calls one
// learns that its Jacobian is not available.
#include "models/fcc/rofcc.h"
#include "models/fcc/rofcc_equation_list.h"

#define ROFCC_PENDING_ROW(name)                                        \
  void rofcc::pat_##name(rt_jac_t*, long long& status) { status = 1; } \
  void rofcc::jac_##name(long long& status) const { status = 1; }
ROFCC_EQUATIONS(ROFCC_PENDING_ROW)
#undef ROFCC_PENDING_ROW
