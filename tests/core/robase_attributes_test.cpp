#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>

#include "tests/core/test_model.h"

namespace {

// The test model: outputs C3FRAC, COKEFRAC; inputs FEEDMASS, FEEDSUL, RXTEMP.
class Attributes : public ::testing::Test {
 protected:
  void SetUp() override { block.prepare(); }
  int framework() const { return block.QivEOBlockImpl::attr_num(); }
  double lookUp(const char* name) const {
    value_t v;
    EXPECT_TRUE(block.attr_lookup_value(name, &v));
    const double d = value_real(v);
    value_clear(&v);
    return d;
  }
  testmodel block{"C1"};
};

struct AttrCase {
  const char* name;
  int number;
  int code;
  double value;
};

// First generation, output C3FRAC (outputs and inputs in name order).
constexpr AttrCase kFirstGen[] = {
    {"ALPHA_C3FRAC", 0, 0, 1.0},
    {"ALPHA_C3FRAC_LB", 1, 4, 0.0001},
    {"ALPHA_C3FRAC_UB", 2, 5, 1000.0},
    {"BETA_C3FRAC", 3, 1, 0.0},
    {"BETA_C3FRAC_LB", 4, 6, -1e8},
    {"BETA_C3FRAC_UB", 5, 7, 1e8},
    {"GAMMA_C3FRAC_FEEDMASS", 6, 2, 0.0},
    {"GAMMA_C3FRAC_FEEDMASS_LB", 7, 8, -1e8},
    {"GAMMA_C3FRAC_FEEDMASS_UB", 8, 9, 1e8},
    {"GAMMA_C3FRAC_RXTEMP_UB", 14, 9, 1e8},
    {"ALPHA_COKEFRAC", 15, 0, 1.0},
    {"GAMMA_COKEFRAC_RXTEMP_UB", 29, 9, 1e8},
};

TEST_F(Attributes, FirstGenerationFamiliesWithCodesDefaultsAndNumbers) {
  ASSERT_EQ(block.attributes().size(), 30u);
  for (const AttrCase& c : kFirstGen) {
    const ROMAttr* a = block.attributes().at(c.name);
    EXPECT_EQ(a->number, c.number) << c.name;
    EXPECT_EQ(a->code, c.code) << c.name;
    EXPECT_EQ(a->value, c.value) << c.name;
    EXPECT_EQ(a->type, ROMATTR_REAL);
    EXPECT_EQ(block.getAttribute(c.number), a);
  }
  for (int n = 0; n < 30; ++n) EXPECT_NE(block.getAttribute(n), nullptr) << n;
  EXPECT_EQ(block.getAttribute(30), nullptr);
}

constexpr AttrCase kSecondGen[] = {
    {"ALPHA_Y1", 0, 0, 1.0},
    {"ALPHA_Y1_LB", 1, 4, 0.0001},
    {"ALPHA_Y1_UB", 2, 5, 1000.0},
    {"BETA_Y1", 3, 0, 0.0},
    {"BETA_Y1_LB", 4, 6, -1e8},
    {"BETA_Y1_UB", 5, 7, 1e8},
    {"HYPERPARAMETERS.Y1_SCALE_ERROR", 6, 10, 1.0},
    {"HYPERPARAMETERS.Y1_BETA_SCALE_ERROR", 7, 10, 1.0},
    {"HYPERPARAMETERS.Y1_ALPHA_SCALE_ERROR", 8, 10, 1.0},
    {"GAMMA_Y1_A", 9, 0, 0.0},
    {"GAMMA_Y1_A_LB", 10, 8, -1e8},
    {"GAMMA_Y1_A_UB", 11, 9, 1e8},
    {"HYPERPARAMETERS.Y1_A_GAMMA_SCALE_ERROR", 12, 10, 1.0},
    {"ALPHA_Y2", 21, 0, 1.0},
    {"HYPERPARAMETERS.Y2_C_GAMMA_SCALE_ERROR", 41, 10, 1.0},
};

TEST(NNAttributes, SecondGenerationFamiliesNumberOnFromTheMap) {
  ROMAttrMap attrs;
  EXPECT_EQ(robase::setupNNAttributes(attrs, "Y1", {"C", "A", "B"}), 0);
  EXPECT_EQ(robase::setupNNAttributes(attrs, "Y2", {"A", "B", "C"}), 0);
  ASSERT_EQ(attrs.size(), 42u);
  for (const AttrCase& c : kSecondGen) {
    const ROMAttr* a = attrs.at(c.name);
    EXPECT_EQ(a->number, c.number) << c.name;
    EXPECT_EQ(a->code, c.code) << c.name;
    EXPECT_EQ(a->value, c.value) << c.name;
  }
  // A repeated family replaces its entries without leaking (sanitizer build).
  EXPECT_EQ(robase::setupNNAttributes(attrs, "Y2", {"A", "B", "C"}), 0);
  EXPECT_EQ(attrs.size(), 42u);
  EXPECT_EQ(attrs.at("ALPHA_Y2")->number, 42);
  for (auto& entry : attrs) delete entry.second;
}

TEST_F(Attributes, PositionsFollowTheFrameworkAndTemplateIsLast) {
  const int fc = framework();
  ASSERT_GT(fc, 0);
  EXPECT_EQ(block.attr_num(), fc + 30 + 1);
  EXPECT_STREQ(block.attr_name(0), block.QivEOBlockImpl::attr_name(0));
  EXPECT_STREQ(block.attr_name(fc), "ALPHA_C3FRAC");
  EXPECT_STREQ(block.attr_name(fc + 29), "GAMMA_COKEFRAC_RXTEMP_UB");
  EXPECT_STREQ(block.attr_name(fc + 30), "TEMPLATE");
  EXPECT_STREQ(block.attr_name(fc + 31), "TEMPLATE");
  // A position whose number no record holds.
  delete block.m_attributes.at("BETA_C3FRAC");
  block.m_attributes.erase("BETA_C3FRAC");
  block.putRecord(block.m_attributes, new ROMAttr("EXTRA", 0.0, 77));
  EXPECT_EQ(block.attr_name(fc + 3), nullptr);
}

TEST(AttributesEmpty, BlockWithoutOutputsHasOnlyTheTemplate) {
  TestShape shape;
  shape.withOutputs = false;
  testmodel block("C1", "COKER", shape);
  block.prepare();
  EXPECT_TRUE(block.attributes().empty());
  EXPECT_EQ(block.attr_num(), block.QivEOBlockImpl::attr_num() + 1);
  EXPECT_STREQ(block.attr_name(block.attr_num() - 1), "TEMPLATE");
}

TEST_F(Attributes, TemplateReadsAsTheModelKindAndRefusesAssignment) {
  value_t v;
  ASSERT_TRUE(block.attr_lookup_value("TEMPLATE", &v));
  EXPECT_EQ(v.type, VT_STRING);
  EXPECT_STREQ(v.sval, "COKER");
  value_clear(&v);  // the value owns the copy
  EXPECT_TRUE(block.attr_lookup_value("TEMPLATE", nullptr));
  value_t text;
  value_assign_string(&text, _strdup("FCC_GO_2N"));
  EXPECT_FALSE(block.attr_assign_value("TEMPLATE", text));
  value_clear(&text);
  EXPECT_EQ(block.modelKind(), "COKER");
  EXPECT_FALSE(block.attr_lookup_ismodified("TEMPLATE"));
  const qivblock_attr_desc* d = block.attr_describe("TEMPLATE");
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->name, "TEMPLATE");
  EXPECT_EQ(d->kind, 1);
  EXPECT_EQ(d->access, 2);
}

TEST_F(Attributes, AssignmentTakesRealsAndIntegers) {
  value_t v;
  value_assign_integer(&v, 2);
  EXPECT_TRUE(block.attr_assign_value("ALPHA_C3FRAC", v));
  EXPECT_EQ(block.attributes().at("ALPHA_C3FRAC")->value, 2.0);
  EXPECT_EQ(lookUp("ALPHA_C3FRAC"), 2.0);
  value_assign_double(&v, -0.25, 0, 1);
  EXPECT_TRUE(block.attr_assign_value("BETA_COKEFRAC", v));
  EXPECT_EQ(lookUp("BETA_COKEFRAC"), -0.25);
  // Other kinds and non-finite numbers leave the factor as it was.
  value_assign_logical(&v, 1);
  EXPECT_FALSE(block.attr_assign_value("BETA_COKEFRAC", v));
  value_assign_double(&v, std::numeric_limits<double>::quiet_NaN(), 0, 1);
  EXPECT_FALSE(block.attr_assign_value("BETA_COKEFRAC", v));
  EXPECT_EQ(lookUp("BETA_COKEFRAC"), -0.25);
  value_clear(&v);
  EXPECT_TRUE(block.attr_lookup_value("BETA_COKEFRAC", nullptr));
  EXPECT_TRUE(block.attr_lookup_ismodified("BETA_COKEFRAC"));
  const qivblock_attr_desc* d = block.attr_describe("GAMMA_C3FRAC_RXTEMP");
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->name, "GAMMA_C3FRAC_RXTEMP");
  EXPECT_EQ(d->kind, 0);
  EXPECT_EQ(d->access, 0);
}

TEST_F(Attributes, LogicalAttributesTakeLogicalsAndIntegers) {
  auto* flag = new ROMAttr("FLAG", 0.0, 30);
  flag->type = ROMATTR_LOGICAL;
  block.putRecord(block.m_attributes, flag);
  value_t v;
  value_assign_logical(&v, 1);
  EXPECT_TRUE(block.attr_assign_value("FLAG", v));
  EXPECT_EQ(flag->lvalue, 1);
  value_assign_integer(&v, 0);
  EXPECT_TRUE(block.attr_assign_value("FLAG", v));
  EXPECT_EQ(flag->lvalue, 0);
  value_assign_double(&v, 1.0, 0, 1);
  EXPECT_FALSE(block.attr_assign_value("FLAG", v));
  flag->lvalue = 1;
  ASSERT_TRUE(block.attr_lookup_value("FLAG", &v));
  EXPECT_EQ(v.type, VT_LOGICAL);
  EXPECT_EQ(v.lval, 1);
  value_clear(&v);
}

TEST_F(Attributes, OtherNamesGoToTheFramework) {
  const char* fwName = block.QivEOBlockImpl::attr_name(0);
  ASSERT_NE(fwName, nullptr);
  value_t v;
  EXPECT_EQ(block.attr_lookup_value(fwName, &v), block.QivEOBlockImpl::attr_lookup_value(fwName, &v));
  value_clear(&v);
  EXPECT_FALSE(block.attr_lookup_value("NO_SUCH", &v));
  value_assign_double(&v, 1.0, 0, 1);
  EXPECT_FALSE(block.attr_assign_value("NO_SUCH", v));
  EXPECT_EQ(block.attr_describe("NO_SUCH"), nullptr);
  EXPECT_FALSE(block.attr_lookup_ismodified("NO_SUCH"));
  EXPECT_FALSE(block.attr_lookup_value(nullptr, &v));
  EXPECT_FALSE(block.attr_assign_value(nullptr, v));
  value_clear(&v);
}

}  // namespace
