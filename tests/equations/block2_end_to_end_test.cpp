// A synthetic second-generation block whose equations all come from the real
// suppliers (network equations with scale pairs and an overcracking pair,
// coker, hydrocracker and reformer property equations), driven by the host's
// session in the framework's order (user_dim, user_ini, init, user_pat) and
// solved by the host's Newton, then checked by its derivative check.
#include <gtest/gtest.h>

#include "core/robase2.h"
#include "host/block_session.h"
#include "host/jacobian_check.h"
#include "host/newton.h"
#include "tests/equations/eqn_rig.h"

namespace {

using namespace ROEqnSupplier;

const std::map<std::string, double> kInputs = {{"FEEDSUL", 2.0},     {"RXTEMP", 900},  {"REACTORPLENUMTEMP", 830},
                                               {"FEEDMASS", 150000}, {"TOTCONV", 65},  {"RCYRATE", 0.3},
                                               {"FEEDRVP", 55},      {"FEEDSG", 0.75}, {"FEEDNA", 40},
                                               {"RATIONA", 1.4},     {"AROBENZ", 18},  {"AROTOL", 32},
                                               {"AROXYL", 28},       {"AROC9P", 22},   {"AROSG", 0.88}};
// Network outputs with the level of their network; LCNFRAC is the overcracking pair.
const std::map<std::string, double> kOutputs = {{"LGOSG", 0.88},    {"LGOD86_50", 290}, {"LGOCLOUDPT", 20},
                                                {"LGOVISC_122", 4}, {"LCNNAPH", 25},    {"LCNAROM", 12},
                                                {"LCNFRAC", 0}};
const char* const kCoker[] = {"LCNN2A", "LGOCETIDX", "LGOCLOUDIDX", "LGOVISCIDX"};
const char* const kHcr[] = {"EQN_FEEDRVI", "EQN_CALC_CONVERSION", "EQN_LCNNA"};
const char* const kRef[] = {"FEEDHYD", "FEEDCNO", "MEABP", "FEEDAROM", "FEEDNAPH", "AROHYD"};
const char* const kCalcs[] = {"LCNN2A",  "LGOCETIDX", "LGOCLOUDIDX", "LGOVISCIDX", "FEEDRVI",  "CONVERSION", "LCNNA",
                              "FEEDCNO", "MEABP",     "FEEDHYD",     "FEEDAROM",   "FEEDNAPH", "AROHYD"};
constexpr double kGuess = 25.0;  // starting guess of every calculated variable

class block2e2e : public robase2 {
 public:
  block2e2e() : robase2("R2", VerInfo{37, 0, 0}) { m_modelKind = "COKER"; }

  void createROMVariables() override {
    for (const auto& v : kInputs) inputSet.insert(varinfo2(v.first, "UNITLESS", -1e30, 1e30));
    for (const auto& v : kOutputs) nnOutputSet.insert(varinfo2(v.first, "UNITLESS", -1e30, 1e30));
    for (const char* name : kCalcs) calcSet.insert(varinfo2(name, "UNITLESS", -1e30, 1e30));
    for (const auto* set : {&inputSet, &nnOutputSet, &calcSet}) populateVarMan(*set);
  }
  void createROMEquations() override {
    std::vector<std::string> inputs;
    for (const auto& v : inputSet) inputs.push_back(v.name);
    // RXTEMP goes to the networks in degrees Celsius; LCNAROM's network predicts percent.
    const NNEquationParams params{
        {{"RXTEMP", {5.0 / 9.0, -160.0 / 9.0}}, {"LCNAROM", {100.0, 0.0}}},
        {{"LCNFRAC",
          {1, "REACTORPLENUMTEMP", "LCNFRACTOTAL", "LCNFRACDIFF", "LCN_OVERCRACK_PARAM", "LCN_OVERCRACK_RATE"}}}};
    const auto coker = createReacEqn("COKER", context(), version());
    for (const auto& v : nnOutputSet) m_eqnMan.addEquation(coker->createNNEquation(v.name, inputs, params));
    for (const char* n : kCoker) m_eqnMan.addEquation(coker->createEquation(n));
    for (const char* n : kHcr) m_eqnMan.addEquation(createReacEqn("HCR_K", context(), version())->createEquation(n));
    for (const char* n : kRef)
      m_eqnMan.addEquation(createReacEqn("REF_SEMI_1R", context(), version())->createEquation(n));
  }
  void setupAttributes() override {
    robase2::setupAttributes();
    for (const char* name : {"LCN_OVERCRACK_PARAM", "LCN_OVERCRACK_RATE", "FACTORNA"})
      m_attributes[name] = new ROMAttr(name, 3, "", 1.0, static_cast<int>(m_attributes.size()));
  }
  void setPELMOVarValues(long long& status) override {
    status = 0;
    for (const auto& [name, value] : kInputs) status |= setPELMOVarValue(varRecord(name), value);
    for (const char* name : kCalcs) status |= setPELMOVarValue(varRecord(name), kGuess);
  }
};

class SecondGenerationBlock : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const auto& [y, level] : kOutputs)
      if (y != "LCNFRAC") nets.write("COKER", y, {{"FEEDSUL", 2.0, 1.0}, {"RXTEMP", 480.0, 30.0}}, level);
    nets.write("COKER", "LCNFRACTOTAL", {{"FEEDSUL", 2.0, 1.0}, {"REACTORPLENUMTEMP", 830.0, 40.0}}, 0.15);
    nets.write("COKER", "LCNFRACDIFF", {{"FEEDSUL", 2.0, 1.0}, {"REACTORPLENUMTEMP", 830.0, 40.0}}, 0.05);
    auto* block = new block2e2e;
    block->prepare();
    session = std::make_unique<romhost::BlockSession>(block);
    ASSERT_TRUE(session->dimension().ok());
    ASSERT_TRUE(session->initialize().ok());
    for (const auto& [name, value] : std::map<std::string, double>{{"ALPHA_LGOSG", 1.05},
                                                                   {"BETA_LGOD86_50", 3.0},
                                                                   {"GAMMA_LGOCLOUDPT_FEEDSUL", 0.5},
                                                                   {"LCN_OVERCRACK_PARAM", 1.02},
                                                                   {"LCN_OVERCRACK_RATE", 0.6},
                                                                   {"FACTORNA", 1.8}}) {
      romhost::AttributeValue v;
      v.real = value;
      ASSERT_TRUE(session->assignAttribute(name, v).ok()) << name;
    }
    ASSERT_TRUE(session->start().ok());
    ASSERT_TRUE(session->pattern().ok());
  }
  double value(const std::string& name) {
    return session->system().value(rtovarlst_find(session->system().varList(), ("R2." + name).c_str()));
  }

  eqtest::NetRoot nets;
  std::unique_ptr<romhost::BlockSession> session;
};

TEST_F(SecondGenerationBlock, ConvergesToZeroResidualsWithAnExactJacobian) {
  romhost::BlockSystem& sys = session->system();
  EXPECT_EQ(sys.unknowns().size(), kOutputs.size() + std::size(kCalcs));
  EXPECT_EQ(sys.equations().size(), sys.unknowns().size());
  for (const int v : sys.unknowns()) sys.setValue(v, sys.value(v) * 1.05 + 0.01);  // work for Newton
  const romhost::NewtonResult solved = romhost::solveNewton(sys);
  ASSERT_TRUE(solved.converged()) << solved.message;
  EXPECT_GT(solved.iterations, 0);
  EXPECT_NEAR(value("LCNN2A"), value("LCNNAPH") + 2 * value("LCNAROM"), 1e-9);
  romhost::CheckSettings settings;
  settings.threshold = 1e-7;
  const romhost::CheckResult check = romhost::checkJacobian(sys, settings);
  EXPECT_TRUE(check.passed()) << check.message << " max " << check.maxRelError;
}

TEST_F(SecondGenerationBlock, FeedCorrelationsInitialiseInNameOrder) {
  // Key 4000, by name: FEEDAROM, FEEDCNO, FEEDHYD, FEEDNAPH, MEABP. The carbon
  // number sees the new aromatics and the guessed naphthenes, MEABP both new.
  const double arom = 40 / (1.4 + 1.8), naph = 1.4 * 40 / (1.4 + 1.8);
  EXPECT_DOUBLE_EQ(value("FEEDAROM"), arom);
  EXPECT_DOUBLE_EQ(value("FEEDNAPH"), naph);
  EXPECT_DOUBLE_EQ(value("FEEDCNO"), 80.6049 * 0.75 - 0.0408532 * kGuess - 0.131756 * arom - 49.5094);
  EXPECT_DOUBLE_EQ(value("MEABP"),
                   2838.4367747834 * 0.75 - 2.01694453409429 * naph - 4.61132832958926 * arom - 1773.91461365548);
}

}  // namespace
