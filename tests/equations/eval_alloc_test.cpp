// The evaluation hooks of the blocks made of equation objects allocate
// nothing once they have run: user_res and user_jac of every second-generation
// family and of the first-generation hydrocracker, at an unchanged point and
// after an input moved (every network runs again through the runner its
// equation keeps). The replaced global operator new
// (tests/support/replaced_new.h) counts every allocation.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "core/robase.h"
#include "host/case_file.h"
#include "tests/support/factory.h"
#include "tests/support/hosted_block.h"
#include "tests/support/replaced_new.h"

namespace {

struct AllocCase {
  const char* name;
  // An example case file, or (when empty) the options and values below.
  const char* caseFile;
  std::vector<std::string> options;
  romtest::Values values;
  const char* moved;  // an input every network reads
};

// A second-generation reformer has no example case: its nominal feed.
const romtest::Values kReformerFeed = {{"FEEDMASS", 100000}, {"FEEDSG", 0.75},  {"FEEDNAPH", 30},
                                       {"FEEDAROM", 10},     {"TARGETRON", 98}, {"CATAGE", 50}};

const AllocCase kCases[] = {
    {"Coker2", "coker-v37.json", {}, {}, "FEEDSG"},
    {"Coker2Volume", "coker-v37-volume.json", {}, {}, "FEEDSG"},
    {"Fcc2Widest", "fcc-go-3n1h-v37.json", {}, {}, "REACTORPLENUMTEMP"},
    {"Fcc2Residue", "fcc-gor-3n1h-v37.json", {}, {}, "REACTORPLENUMTEMP"},
    {"Hcr2D", "hcr-d-v37.json", {}, {}, "FEEDSG"},
    {"Hcr2Mild", "hcr-mild-v37.json", {}, {}, "FEEDSG"},
    {"HcrFirstGenerationD", "hcr-d.json", {}, {}, "FEEDSG"},
    {"Vb2Skr", "vb-skr-v37.json", {}, {}, "FEEDSG"},
    {"Vb2NoSkr", "vb-noskr-v37.json", {}, {}, "FEEDSG"},
    {"Ref2Semi1R", "", {"SUBID:ROREFSEMI1R", "VERSION:37.0.0"}, kReformerFeed, "FEEDSG"},
    {"Ref2SemiA", "", {"SUBID:ROREFSEMIA", "VERSION:37.0.0"}, kReformerFeed, "FEEDSG"},
};

romtest::HostedBlock makeBlock(const AllocCase& c) {
  const std::string samples = romtest::kSampleNetworks;
  if (c.caseFile[0] == '\0') return romtest::HostedBlock(romtest::createByMorvane("B1", c.options, samples), c.values);
  std::string path = ROM_SOURCE_DIR;
  path.append("/examples/").append(c.caseFile);
  const romhost::CaseSpec spec = romhost::readCaseFile(path);
  romhost::SetUpPlan plan;
  plan.fix = spec.fix;
  plan.free = spec.free;
  plan.values = spec.values;
  plan.attributes = spec.attributes;
  return romtest::HostedBlock(romtest::createByMorvane(spec.name.c_str(), spec.options, spec.networks), plan);
}

TEST(CountingNew, SeesEveryAllocation) {
  const long long before = romtest::allocationCount();
  std::vector<double> v(100);
  std::string s(100, 'x');
  EXPECT_EQ(romtest::allocationCount() - before, 2);
}

// Room made for the attribute families of every output beforehand: filing
// them allocates only the records and the names too long to be kept inside
// their strings, nothing in the map.
TEST(NNAttributes, ReservedMapTakesTheFamiliesWithoutAllocating) {
  const std::set<std::string> inputs = {"FEEDMASS", "FEEDSG", "DRUMINLETTEMP", "X"};
  const std::vector<std::string> outputs = {"LCNFRAC", "Y", "HEAVY_COKER_GAS_OIL_FRACTION"};
  ROMAttrMap attrs;
  std::size_t nameLength = 0;
  for (const std::string& y : outputs) nameLength += y.size();
  robase::reserveNNAttributes(attrs, outputs.size(), nameLength, inputs);
  const long long before = romtest::allocationCount();
  for (const std::string& y : outputs) robase::setupNNAttributes(attrs, y, inputs);
  const long long made = romtest::allocationCount() - before;
  ASSERT_EQ(attrs.size(), outputs.size() * (9 + 4 * inputs.size()));
  long long expected = 0;
  for (const auto& [name, record] : attrs) expected += 1 + (name.size() > std::string().capacity() ? 1 : 0);
  EXPECT_EQ(made, expected);
  for (auto& entry : attrs) delete entry.second;
}

class EvaluationAllocations : public ::testing::TestWithParam<AllocCase> {};

TEST_P(EvaluationAllocations, NoneAfterTheFirstCall) {
  romtest::HostedBlock b = makeBlock(GetParam());
  ASSERT_TRUE(b.setUp.ok()) << b.setUp.message;
  long long st = 0;
  b.impl().user_res(st);
  ASSERT_EQ(st, 0);
  b.impl().user_jac(st);
  ASSERT_EQ(st, 0);

  double& moved = b.value(GetParam().moved);
  const double start = moved;
  struct Step {
    const char* what;
    double factor;  // the moved input's value, relative to its start
    bool jacobian;
  };
  const Step steps[] = {{"residual at the same point", 1.0, false},
                        {"Jacobian at the same point", 1.0, true},
                        {"residual after an input moved", 1.001, false},
                        {"Jacobian after an input moved", 1.002, true},
                        {"residual back at the start", 1.0, false}};
  for (const Step& s : steps) {
    moved = start * s.factor;
    const long long before = romtest::allocationCount();
    st = 0;
    if (s.jacobian)
      b.impl().user_jac(st);
    else
      b.impl().user_res(st);
    const long long news = romtest::allocationCount() - before;
    EXPECT_EQ(st, 0) << s.what;
    EXPECT_EQ(news, 0) << s.what;
  }
}

INSTANTIATE_TEST_SUITE_P(Blocks, EvaluationAllocations, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<AllocCase>& info) { return info.param.name; });

}  // namespace
