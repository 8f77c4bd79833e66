// Whole solves of every visbreaker block type on the sample networks: the
// factory's class by SUBID and VERSION, the host's Newton from init, its
// derivative check at the start point and at the solution (fixed columns
// included), and the romhost program on the example cases.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <typeinfo>

#include "models/visbreaker/rovb.h"
#include "models/visbreaker/rovb_1.h"
#include "tests/models/visbreaker/vb_fixture.h"
#include "tests/support/romhost_run.h"
#include "tests/support/solve_checks.h"

namespace {

using namespace vb_test;

struct SolveCase {
  const char* subid;
  bool second;
  bool volume;
  const std::type_info* type;
  Values attributes = {};
};

void PrintTo(const SolveCase& c, std::ostream* os) {
  *os << c.subid << (c.second ? "_v37" : "_v35") << (c.volume ? "_volume" : "_mass")
      << (c.attributes.empty() ? "" : "_tuned");
}

class VbSolve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(VbSolve, ConvergesFromInitWithAnExactJacobian) {
  const SolveCase& p = GetParam();
  Session s(createByFactory(options(p.subid, p.second, p.volume)), nominalInputs(p.volume), p.attributes);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const QivEOBlockImpl& block = *s.session->impl();
  EXPECT_EQ(typeid(block), *p.type);

  EXPECT_TRUE(exactJacobian(s.system(), p.second ? 495 : 474)) << "start";
  ASSERT_TRUE(solves(s.system(), 12));
  EXPECT_TRUE(exactJacobian(s.system())) << "solution";

  // The specifications hold, the unit closes and H2S takes the sulfur left.
  EXPECT_EQ(s.value("CONVERSION"), 7.0);
  EXPECT_EQ(s.value(p.volume ? "FEEDVOL" : "FEEDMASS"), p.volume ? 100000.0 / 1020.0 : 100000.0);
  double out = 0.0;
  for (const char* m : {"H2SMASS", "FGSMASS", "C3MASS", "C32MASS", "NC4MASS", "IC4MASS", "UC4MASS", "NAPMASS",
                        "LGOMASS", "HGOMASS", "TARMASS"})
    out += s.value(m);
  EXPECT_NEAR(out, s.value("FEEDMASS"), 1e-6);
  EXPECT_GT(s.value("H2SMASS"), 100.0);
  EXPECT_NEAR(s.value("FURNACETEMP"), 837, 5);  // the networks' nominal point
  EXPECT_NEAR(s.value("TARVISC_122"), 4.4e3, 300);
}

const SolveCase kCases[] = {
    {"ROVBNOSKR", false, false, &typeid(rovbnoskr)},
    {"ROVBNOSKR", false, true, &typeid(rovbnoskr)},
    {"ROVBSKR", false, false, &typeid(rovbskr)},
    {"ROVBSKR", false, true, &typeid(rovbskr)},
    {"ROVBNOSKR", true, false, &typeid(rovbnoskr_1<rovb_1>)},
    {"ROVBNOSKR", true, true, &typeid(rovbnoskr_1<rovb_1>)},
    {"ROVBSKR", true, false, &typeid(rovbskr_1<rovb_1>)},
    {"ROVBSKR", true, true, &typeid(rovbskr_1<rovb_1>)},
    // GAMMA of an input in TARFRAC's network and of one outside it.
    {"ROVBSKR", false, false, &typeid(rovbskr),
     {{"ALPHA_TARFRAC", 1.02}, {"BETA_LGOFRAC", 0.005}, {"GAMMA_TARFRAC_FEEDCCR", 1e-4},
      {"GAMMA_NAPFRAC_HGOECP", 1e-6}}},
    {"ROVBNOSKR", true, false, &typeid(rovbnoskr_1<rovb_1>),
     {{"ALPHA_TARFRAC", 1.02}, {"BETA_LGOFRAC", 0.005}, {"GAMMA_TARFRAC_FEEDCCR", 1e-4}}},
};

INSTANTIATE_TEST_SUITE_P(Types, VbSolve, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::ostringstream os;
  PrintTo(info.param, &os);
  return os.str();
});

TEST(VbFactory, NoBlockForAnUnknownVisbreakerType) {
  EXPECT_EQ(createByFactory({"SUBID:ROVBX"}), nullptr);
  EXPECT_EQ(createByFactory({"SUBID:ROVBSKR2", "VERSION:37"}), nullptr);
}

TEST(VbProgram, SolvesEveryExampleCase) {
  int cases = 0;
  for (const auto& entry : std::filesystem::directory_iterator(kExamples)) {
    const std::string file = entry.path().filename().string();
    if (file.rfind("vb-", 0) != 0 || entry.path().extension() != ".json") continue;
    ++cases;
    // The derivative check of each type is VbSolve's; here the program's own run.
    const ProgramRun run = solveExample(file);
    EXPECT_TRUE(converged(run, 12)) << file;
    const bool second = file.find("v37") != std::string::npos;
    EXPECT_NE(run.text().find(second ? "non-zeros 495" : "non-zeros 474"), std::string::npos) << file << run.text();
  }
  EXPECT_GE(cases, 4);
}

}  // namespace
