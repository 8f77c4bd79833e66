#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "equations/suppliers.h"

namespace {

using namespace ROEqnSupplier;

enum class Family { None, FCC, REF, VB, COKER, HCR };

Family familyOf(const IROReacEqn* s) {
  if (!s) return Family::None;
  if (dynamic_cast<const ROFCCReacImpl1*>(s)) return Family::FCC;
  if (dynamic_cast<const ROREFReacImpl1*>(s)) return Family::REF;
  if (dynamic_cast<const ROVBFactImpl*>(s)) return Family::VB;
  if (dynamic_cast<const ROCOKERReacImpl1*>(s)) return Family::COKER;
  if (dynamic_cast<const ROHCRReacImpl1*>(s)) return Family::HCR;
  return Family::None;
}

struct FamilyCase {
  const char* modelType;
  Family family;
};

class ReactorSupplier : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(ReactorSupplier, ChosenByPrefixOrWholeName) {
  ROMAttrMap attrs;
  ROMAttrMap* holder = &attrs;
  const VerInfo version{37, 1, 2};
  const auto supplier = createReacEqn(GetParam().modelType, &holder, version);
  ASSERT_EQ(familyOf(supplier.get()), GetParam().family);
  if (!supplier) return;
  EXPECT_EQ(supplier->modelType(), GetParam().modelType);
  EXPECT_EQ(supplier->context(), &holder);
  EXPECT_EQ(supplier->version(), version);
  // Names are matched exactly; a name no family knows builds nothing.
  EXPECT_EQ(supplier->createEquation("NO_SUCH_EQUATION"), nullptr);
  EXPECT_EQ(supplier->createEquation(""), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    ModelTypes, ReactorSupplier,
    ::testing::Values(FamilyCase{"FCC_GO_3N1H", Family::FCC}, FamilyCase{"FCC", Family::FCC},
                      FamilyCase{"REF_SEMI_1R", Family::REF}, FamilyCase{"VB_SKR", Family::VB},
                      FamilyCase{"VB", Family::VB}, FamilyCase{"HCR_MILD", Family::HCR},
                      FamilyCase{"COKER", Family::COKER}, FamilyCase{"COKERX", Family::None},
                      FamilyCase{"CO", Family::None}, FamilyCase{"", Family::None}, FamilyCase{"FC", Family::None},
                      FamilyCase{"V", Family::None}, FamilyCase{"fcc_go_2n", Family::None},
                      FamilyCase{"coker", Family::None}, FamilyCase{"XFCC", Family::None}));

struct VersionCase {
  std::uint32_t major;
  bool supplier;
};

class GenericSupplier : public ::testing::TestWithParam<VersionCase> {};

TEST_P(GenericSupplier, OnlyFromMajor36ReadAsUnsigned) {
  ROMAttrMap attrs;
  ROMAttrMap* holder = &attrs;
  const VerInfo version{GetParam().major, 0, 0};
  const auto supplier = createGenEqn(&holder, version);
  ASSERT_EQ(supplier != nullptr, GetParam().supplier);
  if (!supplier) return;
  const auto* impl = dynamic_cast<const ROGenEqnImpl1*>(supplier.get());
  ASSERT_NE(impl, nullptr);
  EXPECT_EQ(impl->context(), &holder);
  EXPECT_EQ(impl->version(), version);
}

INSTANTIATE_TEST_SUITE_P(Majors, GenericSupplier,
                         ::testing::Values(VersionCase{0, false}, VersionCase{35, false}, VersionCase{36, true},
                                           VersionCase{37, true}, VersionCase{38, true},
                                           VersionCase{4294967295u, true}));

TEST(SpecRecords, FreshReactionSpecHasModeOneAndItsFlagsSet) {
  const ReactionSpec spec;
  EXPECT_EQ(spec.consumerMode, 1);
  EXPECT_TRUE(spec.inlineFracFlag);
  EXPECT_TRUE(spec.compConvFlag);
  EXPECT_TRUE(spec.thirdFlag);
  EXPECT_TRUE(spec.streams.empty());
  EXPECT_TRUE(spec.inletStreams.empty());
  EXPECT_TRUE(spec.inlineCompFracs.empty());
  EXPECT_TRUE(spec.consumerTerms.empty());
  EXPECT_EQ(spec.compSuffix, "");
  EXPECT_EQ(spec.feedStream, "");
  EXPECT_EQ(spec.secondStream, "");
}

TEST(SpecRecords, ConversionBasisKeepsItsCodesInOrder) {
  const ConversionBasisSpec spec(2, 0);  // HL code first, then LE
  EXPECT_EQ(spec.volumeName, "FOE");
  EXPECT_EQ(spec.hlBasis, 2u);
  EXPECT_EQ(spec.leBasis, 0u);
  EXPECT_EQ(spec.gasStreams, (std::unordered_map<std::string, std::int32_t>{{"H2S", 1}, {"FGS", 1}}));
}

TEST(SpecRecords, MassSuffixIsMass) { EXPECT_EQ(massSuffix(), "MASS"); }

TEST(SpecRecords, NetworkParametersDefaultToIdentityScales) {
  const ScalePair pair;
  EXPECT_EQ(pair.scale, 1.0);
  EXPECT_EQ(pair.offset, 0.0);
  const OverCrackSpec spec;
  EXPECT_EQ(spec.flag, 1);
}

}  // namespace
