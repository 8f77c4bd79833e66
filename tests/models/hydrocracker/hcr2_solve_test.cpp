// Whole solves of the second-generation hydrocracker on the sample networks:
// every model kind (and a volume feed) from init through the host's Newton
// with its derivative check at both ends, the fuel-gas start, and the
// romhost program on the v37 example cases.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/jacobian_check.h"
#include "host/newton.h"
#include "tests/models/hydrocracker/hcr2_fixture.h"

namespace {

using namespace hcr2_test;
namespace fs = std::filesystem;

struct SolveCase {
  Kind kind;
  std::vector<std::string> options;  // after the case's own
};

void PrintTo(const SolveCase& c, std::ostream* os) { *os << c.kind.modelKind; }

const SolveCase kCases[] = {{kKinds[0], {}},
                            {kKinds[1], {}},
                            {kKinds[2], {}},
                            {kKinds[3], {}},
                            {kKinds[0], {"BASIS_LE:VOLUME", "BASIS_HL:VOLUME"}}};

class Hcr2Solve : public ::testing::TestWithParam<SolveCase> {};

TEST_P(Hcr2Solve, ConvergesFromInitWithAnExactJacobian) {
  Session s(GetParam().kind, GetParam().options);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  for (const char* when : {"start", "solution"}) {
    const romhost::CheckResult check = romhost::checkJacobian(s.system());
    EXPECT_TRUE(check.passed()) << when << ": " << check.message;
    EXPECT_LT(check.maxRelError, 1e-6) << when;
    EXPECT_EQ(check.checked, static_cast<int>(s.system().nonZeros().size())) << when;
    if (std::string(when) == "solution") break;
    const romhost::NewtonResult solved = romhost::solveNewton(s.system());
    ASSERT_TRUE(solved.converged()) << solved.message;
    EXPECT_LE(solved.iterations, 5);
  }
  // The fuel gas closes both balances with a positive flow, at a mass factor near 1.
  EXPECT_GT(s.value("FGSMASS"), 0.0);
  EXPECT_NEAR(s.value("MASSFACTOR"), 1.0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Cases, Hcr2Solve, ::testing::ValuesIn(kCases), [](const auto& info) {
  return std::string(info.param.kind.modelKind).substr(4) + (info.param.options.empty() ? "" : "_Volume");
});

// What the hydrogen balance leaves for the fuel gas at the current point.
double hydrogenLeft(Session& s) {
  double h = s.value("FEEDHYDMASS") + s.value("H2MASS");
  for (const std::string& st : s.hcr().streams())
    if (st != "FEED" && st != "H2" && st != "FGS") h -= s.value(st + "HYDMASS");
  return h;
}

TEST(Hcr2Start, FuelGasTakesTheHydrogenTheOtherStreamsLeave) {
  Session s(kKinds[0]);
  ASSERT_TRUE(s.setUp.ok()) << s.setUp.message;
  const double left = hydrogenLeft(s);
  EXPECT_GT(left, 0.0);
  EXPECT_NEAR(s.value("FGSHYDMASS"), left, 1e-9 * left);
  EXPECT_NEAR(s.value("FGSMASS"), left * 100.0 / 22.6, 1e-9 * left);

  // Without a hydrogen content there is no start: the step fails, nothing
  // non-finite is stored, and the other steps' failures still count.
  s.value("FGSHYD") = 0.0;
  s.value("FGSMASS") = 123.0;
  long long status = 0;
  s.hcr().init(status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(s.value("FGSMASS"), 123.0);
  status = -4;  // a failure it is given stays
  s.hcr().init(status);
  EXPECT_EQ(status, -4);
}

// The romhost program, as scripts/demo runs it: exit code, stdout and stderr.
std::pair<int, std::string> romhost(const std::string& args) {
  const fs::path out = fs::path(::testing::TempDir()) / ("hcr2_out_" + std::to_string(getpid()));
  const std::string cmd = "env -u ROMHOST_PLUGIN -u PELMO_REGISTRY " + std::string(ROM_BINARY_DIR) + "/bin/romhost " +
                          args + " --quiet >" + out.string() + " 2>&1";
  const int status = std::system(cmd.c_str());
  std::ostringstream text;
  text << std::ifstream(out).rdbuf();
  fs::remove(out);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

TEST(Hcr2Program, SolvesTheV37ExampleCases) {
  for (const Kind& k : kKinds) {
    const auto [code, text] = romhost("solve " + kExamples + k.caseFile + " --check-jacobian");
    EXPECT_EQ(code, 0) << k.caseFile << text;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m, std::regex("solution point: ([0-9]+) entries, max relative error ([^ ]+)")))
        << text;
    EXPECT_LT(std::stod(m[2]), 1e-6) << k.caseFile;
  }
}

}  // namespace
