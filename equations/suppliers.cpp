// The supplier factories, the spec records and the supplier operations; each
// operation forwards to the builder of its equation family.
#include "equations/suppliers.h"

#include <utility>

namespace ROEqnSupplier {

namespace {

bool beginsWith(const std::string& text, const char* prefix, std::size_t length) {
  return text.size() >= length && text.compare(0, length, prefix) == 0;
}

}  // namespace

ConversionBasisSpec::ConversionBasisSpec(std::uint32_t hlBasisCode, std::uint32_t leBasisCode)
    : hlBasis(hlBasisCode), leBasis(leBasisCode) {}

std::string massSuffix() { return "MASS"; }

// ---- Generic supplier -------------------------------------------------------

EqnPtr ROGenEqnImpl1::createConversionEquation(const std::string& stream, int fromBasis, int toBasis,
                                               const ConversionBasisSpec* spec) const {
  return buildConversionEquations(stream, fromBasis, toBasis, spec);
}

EqnPtr ROGenEqnImpl1::createFractionEquation(const std::string& stream, int basis, const std::string& totalStream,
                                             const std::string& compSuffix) const {
  // Asked directly, a yield equation has neither mass factor nor cut-off.
  return buildFractionEquations(stream, basis, totalStream, compSuffix, false);
}

EqnList ROGenEqnImpl1::createBalanceEquations(const ReactionSpec& spec) const {
  return buildBalanceEquations(m_context, spec);
}

EqnPtr ROGenEqnImpl1::createUnitConversionEquation(const std::string& from, const std::string& to,
                                                   const std::string& name, double scale, double offset) const {
  return buildUnitConversionEquation(from, to, name, scale, offset);
}

EqnPtr ROGenEqnImpl1::createMixFlowEquation(const std::vector<std::string>& members, const std::string& mix,
                                            int basis, const std::string& massWord) const {
  return buildMixFlowEquations(members, mix, basis, massWord);
}

EqnPtr ROGenEqnImpl1::createSumRatioEquation(const std::vector<std::string>& group1,
                                             const std::vector<std::string>& group2, const std::string& ratio,
                                             const std::string& name, bool /*flag*/) const {
  return buildSumRatioEquation(group1, group2, ratio, name);
}

// ---- Family suppliers -------------------------------------------------------

IROReacEqn::IROReacEqn(EqnContext context, VerInfo version, std::string modelType)
    : m_context(context), m_version(version), m_modelType(std::move(modelType)) {}

IROReacEqn::~IROReacEqn() = default;

EqnPtr IROReacEqn::createNNEquation(const std::string& output, const std::vector<std::string>& inputs,
                                    const NNEquationParams& params) const {
  return buildNNDepEquations(m_context, output, m_modelType, inputs, params);
}

EqnPtr IROReacEqn::createNNEquation(const std::string& output, const std::vector<std::string>& inputs,
                                    const ScaleMap& scales, const OverCrackMap& overcrack) const {
  return createNNEquation(output, inputs, NNEquationParams{scales, overcrack});
}

EqnPtr IROReacEqn::createNNEquation(const varinfo2& output, const std::vector<std::string>& inputs,
                                    const NNEquationParams& params) const {
  return createNNEquation(output.name, inputs, params);
}

EqnPtr IROReacEqn::createNNEquation(const varinfo2& output, const std::vector<varinfo2>& inputs,
                                    const NNEquationParams& params) const {
  std::vector<std::string> names;
  names.reserve(inputs.size());
  for (const varinfo2& input : inputs) names.push_back(input.name);
  return createNNEquation(output.name, names, params);
}

EqnPtr ROFCCReacImpl1::createEquation(const std::string& name) const {
  return buildFccConversionEquations(name, modelType());
}

EqnPtr ROREFReacImpl1::createEquation(const std::string& name) const {
  return buildReformerFeedEquations(name, modelType(), context());
}

EqnPtr ROCOKERReacImpl1::createEquation(const std::string& name) const { return buildCokerPropertyEquations(name); }

EqnPtr ROHCRReacImpl1::createEquation(const std::string& name) const { return buildHcrPropertyEquations(name); }

// ---- Factories ----------------------------------------------------------------

std::unique_ptr<IROGenEqn> createGenEqn(EqnContext context, VerInfo version) {
  // Read as unsigned, like the factory's generation test: "-1" is 4294967295.
  if (version.major <= 35u) return nullptr;
  return std::make_unique<ROGenEqnImpl1>(context, version);
}

std::unique_ptr<IROReacEqn> createReacEqn(std::string modelType, EqnContext context, VerInfo version) {
  if (beginsWith(modelType, "FCC", 3)) return std::make_unique<ROFCCReacImpl1>(context, version, modelType);
  if (beginsWith(modelType, "REF", 3)) return std::make_unique<ROREFReacImpl1>(context, version, modelType);
  if (beginsWith(modelType, "VB", 2)) return std::make_unique<ROVBFactImpl>(context, version, modelType);
  if (modelType == "COKER") return std::make_unique<ROCOKERReacImpl1>(context, version, modelType);
  if (beginsWith(modelType, "HCR", 3)) return std::make_unique<ROHCRReacImpl1>(context, version, modelType);
  return nullptr;
}

}  // namespace ROEqnSupplier
