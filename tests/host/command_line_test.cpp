#include "host/command_line.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace romhost {
namespace {

TEST(CommandLine, SolveTakesEveryFlag) {
  const CommandLine cl = parseCommandLine(
      {"solve", "--networks", "nets", "case.json", "--option", "FOO:1", "--option=VERSION:37.0.0", "--set",
       "FEEDMASS=1.2e5", "--attr", "ALPHA_C3FRAC=1.1", "--max-iter", "7", "--tol=1e-10", "--check-jacobian",
       "--json", "--save", "out.pstg", "--load", "in.pstg", "--quiet", "--plugin", "lib.so"});
  EXPECT_EQ(cl.command, CommandLine::Command::kSolve);
  EXPECT_EQ(cl.casePath, "case.json");
  EXPECT_EQ(cl.networks, "nets");
  EXPECT_EQ(cl.options, (std::vector<std::string>{"FOO:1", "VERSION:37.0.0"}));
  ASSERT_EQ(cl.sets.size(), 1u);
  EXPECT_EQ(cl.sets[0], (std::pair<std::string, double>{"FEEDMASS", 1.2e5}));
  ASSERT_EQ(cl.attributes.size(), 1u);
  EXPECT_EQ(cl.attributes[0].second.real, 1.1);
  EXPECT_EQ(cl.maxIterations, 7);
  EXPECT_EQ(cl.tolerance, 1e-10);
  EXPECT_TRUE(cl.checkJacobian && cl.json && cl.quiet);
  EXPECT_EQ(cl.savePath, "out.pstg");
  EXPECT_EQ(cl.loadPath, "in.pstg");
  EXPECT_EQ(cl.plugin, "lib.so");
}

TEST(CommandLine, InfoAndHelp) {
  EXPECT_EQ(parseCommandLine({"info"}).command, CommandLine::Command::kInfo);
  EXPECT_EQ(parseCommandLine({"info", "--plugin", "x.so"}).plugin, "x.so");
  EXPECT_EQ(parseCommandLine({"--help"}).command, CommandLine::Command::kHelp);
}

struct BadLine {
  std::vector<std::string> args;
  const char* text;
};

void PrintTo(const BadLine& b, std::ostream* os) {
  for (const std::string& a : b.args) *os << a << ' ';
}

class CommandLineBad : public ::testing::TestWithParam<BadLine> {};

TEST_P(CommandLineBad, IsAUsageError) {
  try {
    parseCommandLine(GetParam().args);
    FAIL();
  } catch (const UsageError& e) {
    EXPECT_NE(std::string(e.what()).find(GetParam().text), std::string::npos) << e.what();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineBad,
    ::testing::Values(BadLine{{}, "no command"}, BadLine{{"run"}, "unknown command"},
                      BadLine{{"solve"}, "needs a case file"}, BadLine{{"solve", "a.json", "b.json"}, "more than one"},
                      BadLine{{"solve", "a.json", "--max-iter"}, "needs a value"},
                      BadLine{{"solve", "a.json", "--max-iter", "-1"}, "whole number"},
                      BadLine{{"solve", "a.json", "--max-iter", "3x"}, "whole number"},
                      BadLine{{"solve", "a.json", "--tol", "0"}, "above 0"},
                      BadLine{{"solve", "a.json", "--tol", "inf"}, "finite number"},
                      BadLine{{"solve", "a.json", "--set", "A"}, "NAME=VALUE"},
                      BadLine{{"solve", "a.json", "--set", "=1"}, "NAME=VALUE"},
                      BadLine{{"solve", "a.json", "--set", "A=x"}, "finite number"},
                      BadLine{{"solve", "a.json", "--set", "A=nan"}, "finite number"},
                      BadLine{{"solve", "a.json", "--set", "A=1e309"}, "finite number"},
                      BadLine{{"solve", "a.json", "--set", "A=-1e999"}, "finite number"},
                      BadLine{{"solve", "a.json", "--json=1"}, "takes no value"},
                      BadLine{{"solve", "a.json", "--frobnicate"}, "unknown flag"},
                      BadLine{{"info", "--json"}, "info does not take --json"},
                      BadLine{{"info", "case.json"}, "takes no argument"}));

// Subnormal numbers (strtod flags them with ERANGE) are the finite numbers they are.
TEST(CommandLine, SubnormalNumbersAreAccepted) {
  for (const char* text : {"5e-324", "-4.9e-324", "2.2250738585072e-308", "1e-310"}) {
    const CommandLine cl = parseCommandLine({"solve", "a.json", std::string("--set=A=") + text, "--attr",
                                             std::string("ALPHA_X=") + text});
    ASSERT_EQ(cl.sets.size(), 1u);
    EXPECT_EQ(cl.sets[0].second, std::strtod(text, nullptr)) << text;
    EXPECT_NE(cl.sets[0].second, 0.0) << text;
    EXPECT_EQ(cl.attributes[0].second.kind, AttributeValue::kReal) << text;
    EXPECT_EQ(cl.attributes[0].second.real, cl.sets[0].second) << text;
  }
}

}  // namespace
}  // namespace romhost
