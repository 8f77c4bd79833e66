// Builders whose equation families are not in the library yet. Each stub
// builds nothing; the family's own file replaces its stub with the builder.
#include "equations/suppliers.h"

namespace ROEqnSupplier {

EqnPtr buildNNDepEquations(EqnContext, const std::string&, const std::string&, const std::vector<std::string>&,
                           NNEquationParams) {
  return nullptr;
}

EqnPtr buildHcrPropertyEquations(const std::string&) { return nullptr; }

EqnPtr buildCokerPropertyEquations(const std::string&) { return nullptr; }

EqnPtr buildReformerFeedEquations(const std::string&, const std::string&, EqnContext) { return nullptr; }

EqnPtr ROVBFactImpl::createEquation(const std::string&) const { return nullptr; }

}  // namespace ROEqnSupplier
