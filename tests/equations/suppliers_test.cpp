#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

#include "equations/suppliers.h"

namespace {

using namespace ROEqnSupplier;

struct FamilyCase {
  const char* modelType;
  const std::type_info* family;  // null: no supplier
};

class ReactorSupplier : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(ReactorSupplier, ChosenByPrefixOrWholeName) {
  ROMAttrMap attrs;
  ROMAttrMap* holder = &attrs;
  const auto supplier = createReacEqn(GetParam().modelType, &holder, VerInfo{37, 1, 2});
  if (!GetParam().family) {
    EXPECT_EQ(supplier, nullptr);
    return;
  }
  ASSERT_NE(supplier, nullptr);
  const IROReacEqn& s = *supplier;
  EXPECT_EQ(typeid(s), *GetParam().family);
  EXPECT_EQ(s.modelType(), GetParam().modelType);
  EXPECT_EQ(s.context(), &holder);
  EXPECT_EQ(s.version(), (VerInfo{37, 1, 2}));
  EXPECT_EQ(s.createEquation("NO_SUCH_EQUATION"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    ModelTypes, ReactorSupplier,
    ::testing::Values(FamilyCase{"FCC_GO_3N1H", &typeid(ROFCCReacImpl1)}, FamilyCase{"REF_SEMI_1R", &typeid(ROREFReacImpl1)},
                      FamilyCase{"VB_SKR", &typeid(ROVBFactImpl)}, FamilyCase{"HCR_MILD", &typeid(ROHCRReacImpl1)},
                      FamilyCase{"COKER", &typeid(ROCOKERReacImpl1)}, FamilyCase{"VB", &typeid(ROVBFactImpl)},
                      FamilyCase{"COKERX", nullptr}, FamilyCase{"CO", nullptr}, FamilyCase{"", nullptr},
                      FamilyCase{"FC", nullptr}, FamilyCase{"coker", nullptr}, FamilyCase{"XFCC", nullptr}));

class GenericSupplier : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(GenericSupplier, FromMajor36ReadAsUnsigned) {
  ROMAttrMap* holder = nullptr;
  const auto supplier = createGenEqn(&holder, VerInfo{GetParam(), 0, 0});
  ASSERT_EQ(supplier != nullptr, GetParam() >= 36u);
  if (const auto* impl = dynamic_cast<const ROGenEqnImpl1*>(supplier.get())) {
    EXPECT_EQ(impl->context(), &holder);
    EXPECT_EQ(impl->version().major, GetParam());
  }
}

INSTANTIATE_TEST_SUITE_P(Majors, GenericSupplier, ::testing::Values(0u, 35u, 36u, 38u, 4294967295u));

TEST(SpecRecords, Defaults) {
  const ReactionSpec spec;
  EXPECT_EQ(spec.consumerMode, 1);
  EXPECT_TRUE(spec.inlineFracFlag && spec.compConvFlag && spec.thirdFlag);
  EXPECT_TRUE(spec.streams.empty() && spec.inletStreams.empty() && spec.consumerTerms.empty());
  const ConversionBasisSpec basis(2, 0);  // HL code first, then LE
  EXPECT_EQ(basis.volumeName, "FOE");
  EXPECT_EQ(basis.hlBasis, 2u);
  EXPECT_EQ(basis.leBasis, 0u);
  EXPECT_EQ(basis.gasStreams, (decltype(basis.gasStreams){{"H2S", 1}, {"FGS", 1}}));
  EXPECT_EQ(massSuffix(), "MASS");
}

}  // namespace
