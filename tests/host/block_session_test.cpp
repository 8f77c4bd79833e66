#include "host/block_session.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/host/harness.h"

namespace romhost_test {
namespace {

using romhost::AttributeValue;
using romhost::HostStatus;
using romhost::SetUpPlan;

TEST(BlockSession, PlacesTheBlockAtNonTrivialFirstPositions) {
  Harness h(standardSpec());
  ASSERT_TRUE(h.setUp.ok()) << h.setUp.message;
  const auto& sys = h.system();
  EXPECT_EQ(sys.variables().front(), 101);
  EXPECT_EQ(sys.variables().back(), 106);  // own index 6
  EXPECT_EQ(sys.equations(), (std::vector<int>{11, 12, 13}));
  ASSERT_EQ(sys.nonZeros().size(), 10u);
  EXPECT_EQ(sys.nonZeros().front().nz, 501);
  EXPECT_EQ(sys.nonZeros().back().nz, 510);
  EXPECT_STREQ(sys.variableName(101), "B1.A");
  EXPECT_STREQ(sys.equationName(11), "B1.E1");
  EXPECT_TRUE(h.session->warnings().empty());
  // init wrote the starting values; fixed inputs keep theirs.
  EXPECT_EQ(h.value(kX), 1.5);
  EXPECT_EQ(h.value(kA), 2.0);
}

TEST(BlockSession, ValuesGoIntoFixedVariablesByName) {
  SetUpPlan plan;
  plan.values = {{"A", 2.5}, {"B", 4.0}};
  Harness h(standardSpec(), plan);
  ASSERT_TRUE(h.setUp.ok()) << h.setUp.message;
  EXPECT_EQ(h.value(kA), 2.5);
  EXPECT_EQ(h.value(kB), 4.0);
}

TEST(BlockSession, FixesAndFreesByNameBeforeTheValues) {
  SetUpPlan plan;
  plan.fix = {"X"};     // a block's computed variable becomes an input and takes a value
  plan.free = {"A"};
  plan.values = {{"X", 1.25}};
  Harness h(standardSpec(), plan);
  ASSERT_TRUE(h.setUp.ok()) << h.setUp.message;
  const auto& sys = h.system();
  EXPECT_TRUE(sys.isFixed(h.testBlock->varNumber(kX)));
  EXPECT_FALSE(sys.isFixed(h.testBlock->varNumber(kA)));
  EXPECT_EQ(sys.unknownIndex(h.testBlock->varNumber(kX)), -1);
  EXPECT_GE(sys.unknownIndex(h.testBlock->varNumber(kA)), 0);
  EXPECT_EQ(sys.unknowns().size(), 3u);

  for (const char* unknown : {"FEEDMASS", ""}) {
    SetUpPlan bad;
    bad.free = {unknown};
    EXPECT_EQ(Harness(standardSpec(), bad).setUp.status, HostStatus::kInputError) << unknown;
  }
}

struct BadValue {
  const char* name;
  double value;
  HostStatus status;
  const char* text;
};

void PrintTo(const BadValue& b, std::ostream* os) { *os << (std::string(b.name).size() > 20 ? "long name" : b.name); }

class BlockSessionBadValue : public ::testing::TestWithParam<BadValue> {};

TEST_P(BlockSessionBadValue, IsRefusedAsAnInputError) {
  const BadValue& b = GetParam();
  Harness h(standardSpec());
  ASSERT_TRUE(h.setUp.ok());
  const romhost::StepResult r = h.session->setValue(b.name, b.value);
  EXPECT_EQ(r.status, b.status);
  EXPECT_NE(r.message.find(b.text), std::string::npos) << r.message;
  EXPECT_EQ(h.value(kA), 2.0);
}

const std::string kLongName(100, 'N');

INSTANTIATE_TEST_SUITE_P(
    Values, BlockSessionBadValue,
    ::testing::Values(BadValue{"FEEDMASS", 1.0, HostStatus::kInputError, "Unknown variable FEEDMASS (B1.FEEDMASS)"},
                      BadValue{"X", 1.0, HostStatus::kInputError, "computed (CALC)"},
                      BadValue{"A", NAN, HostStatus::kInputError, "not a finite number"},
                      BadValue{"A", INFINITY, HostStatus::kInputError, "not a finite number"},
                      BadValue{kLongName.c_str(), 1.0, HostStatus::kInputError, "1 to 99 bytes"},
                      BadValue{"", 1.0, HostStatus::kInputError, "1 to 99 bytes"}));

class BlockSessionShift : public ::testing::TestWithParam<int> {};

TEST_P(BlockSessionShift, RegistrationsOutsideTheRangeStopTheSetUp) {
  TestBlockSpec spec = standardSpec();
  spec.varNumberShift = GetParam();
  Harness h(std::move(spec));
  EXPECT_EQ(h.setUp.status, HostStatus::kSetupFailed);
  EXPECT_NE(h.setUp.message.find("outside the block's range 101..106"), std::string::npos) << h.setUp.message;
}

INSTANTIATE_TEST_SUITE_P(Shifts, BlockSessionShift, ::testing::Values(-1, 1, -100));

struct SetUpFault {
  Hook hook;
  HostStatus status;
  const char* text;
};

void PrintTo(const SetUpFault& f, std::ostream* os) { *os << f.text; }

class BlockSessionFault : public ::testing::TestWithParam<SetUpFault> {};

TEST_P(BlockSessionFault, HookExceptionStopsTheSetUp) {
  TestBlockSpec spec = standardSpec();
  spec.throwIn = GetParam().hook;
  Harness h(std::move(spec));
  EXPECT_EQ(h.setUp.status, GetParam().status);
  EXPECT_NE(h.setUp.message.find(GetParam().text), std::string::npos) << h.setUp.message;
}

INSTANTIATE_TEST_SUITE_P(Hooks, BlockSessionFault,
                         ::testing::Values(SetUpFault{Hook::kUserIni, HostStatus::kSetupFailed, "user_ini threw: planted fault"},
                                           SetUpFault{Hook::kUserPat, HostStatus::kSetupFailed, "user_pat threw: planted fault"},
                                           SetUpFault{Hook::kInit, HostStatus::kHookFailed, "init threw: planted fault"}));

TEST(BlockSession, AttributesAreAssignedThroughTheBlock) {
  Harness h(standardSpec());
  ASSERT_TRUE(h.setUp.ok());
  EXPECT_TRUE(h.session->assignAttribute("DESCRIPTION", AttributeValue::parse("a test block")).ok());
  const romhost::StepResult unknown = h.session->assignAttribute("ALPHA_NOTHING", AttributeValue::parse("1.5"));
  EXPECT_EQ(unknown.status, HostStatus::kInputError);
  EXPECT_NE(unknown.message.find("did not accept attribute ALPHA_NOTHING = 1.5"), std::string::npos);
  EXPECT_EQ(h.session->assignAttribute(std::string(100, 'Q'), AttributeValue::parse("1")).status,
            HostStatus::kInputError);
}

TEST(AttributeValue, ParsesTheKindFromTheText) {
  EXPECT_EQ(AttributeValue::parse("true").kind, AttributeValue::kLogical);
  EXPECT_EQ(AttributeValue::parse("12").kind, AttributeValue::kInteger);
  EXPECT_EQ(AttributeValue::parse("12").integer, 12);
  EXPECT_EQ(AttributeValue::parse("-1.5e3").kind, AttributeValue::kReal);
  EXPECT_EQ(AttributeValue::parse("-1.5e3").real, -1500.0);
  EXPECT_EQ(AttributeValue::parse("1e999").kind, AttributeValue::kText);  // not a finite number
  EXPECT_EQ(AttributeValue::parse("nan").kind, AttributeValue::kText);
  EXPECT_EQ(AttributeValue::parse("").kind, AttributeValue::kText);
  value_t v;
  AttributeValue::parse("0.25").toValue(v);
  EXPECT_EQ(v.type, VT_REAL);
  EXPECT_EQ(value_real(v), 0.25);
  value_clear(&v);
}

TEST(BlockSession, SavedBlockLoadsIntoAFreshOne) {
  MemStorage storage;
  {
    Harness h(standardSpec());
    ASSERT_TRUE(h.setUp.ok());
    ASSERT_TRUE(h.session->assignAttribute("DESCRIPTION", AttributeValue::parse("kept")).ok());
    ASSERT_TRUE(h.session->save(storage).ok());
  }
  EXPECT_TRUE(storage.has_stream("PELMO_BASE"));
  SetUpPlan plan;
  plan.load = &storage;
  Harness h(standardSpec(), plan);
  ASSERT_TRUE(h.setUp.ok()) << h.setUp.message;
  value_t v;
  EXPECT_TRUE(h.testBlock->attr_lookup_value("DESCRIPTION", &v));
  ASSERT_EQ(v.type, VT_STRING);
  EXPECT_STREQ(v.sval, "kept");
  value_clear(&v);
}

TEST(BlockSession, FailedSaveOrLoadIsNeverSuccess) {
  MemStorage storage;
  QivEOBlockImpl::test_force_save_status(1);
  {
    Harness h(standardSpec());
    EXPECT_EQ(h.session->save(storage).status, HostStatus::kHookFailed);
  }
  QivEOBlockImpl::test_force_save_status(-1);
  QivEOBlockImpl::test_force_load_status(1);
  SetUpPlan plan;
  plan.load = &storage;
  Harness h(standardSpec(), plan);
  QivEOBlockImpl::test_force_load_status(-1);
  EXPECT_EQ(h.setUp.status, HostStatus::kInputError);
  EXPECT_EQ(h.testBlock->resCalls(), 0);
}

}  // namespace
}  // namespace romhost_test
