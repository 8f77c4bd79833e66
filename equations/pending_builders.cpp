// Builders whose equation families are not in the library yet. Each stub
// builds nothing; the family's own file replaces its stub with the builder.
#include "equations/suppliers.h"

namespace ROEqnSupplier {

}  // namespace ROEqnSupplier
