// The reformer slates and leaves. The three slates differ only in their
// tables (reformer::SlateDef); each one's operations hand its table's rows to
// roref's walks and balances.
#include "models/reformer/roref_slates.h"

#include "core/hook_guard.h"

roref1r::roref1r(const char* name) : roref(name) { setSlate(&reformer::oneReformateSlate()); }
roref1r::~roref1r() = default;
roref2r::roref2r(const char* name) : roref(name) { setSlate(&reformer::twoReformateSlate()); }
roref2r::~roref2r() = default;
rorefa::rorefa(const char* name) : roref(name) { setSlate(&reformer::aromaticsSlate()); }
rorefa::~rorefa() = default;

#define ROREF_SLATE_DEFINITIONS(Slate)                                                                           \
  void Slate::user_ini(long long& status) { runUserIniSteps(status); }                                          \
  void Slate::user_pat(rt_jac_t* jac, long long& status) {                                                      \
    runPattern(jac, status, [&](reformer::Step::Kind kind, long long& st) {                                     \
      kind == reformer::Step::MassBal ? pat_MassBal(jac, st) : pat_HydrogenBal(jac, st);                        \
    });                                                                                                          \
  }                                                                                                              \
  void Slate::user_res(long long& status) const {                                                               \
    runEvaluation(false, status, [this](reformer::Step::Kind kind, long long& st) {                             \
      kind == reformer::Step::MassBal ? res_MassBal(st) : res_HydrogenBal(st);                                  \
    });                                                                                                          \
  }                                                                                                              \
  void Slate::user_jac(long long& status) const {                                                               \
    runEvaluation(true, status, [this](reformer::Step::Kind kind, long long& st) {                              \
      kind == reformer::Step::MassBal ? jac_MassBal(st) : jac_HydrogenBal(st);                                  \
    });                                                                                                          \
  }                                                                                                              \
  void Slate::init(long long& status) const { initFromFeed(status); }                                           \
  void Slate::addVarsToOutputPort(qiv_port* port) { addSlateOutputPort(port); }                                 \
  void Slate::addVarsToResultPort(qiv_port* port) { addSlateResultPort(port); }                                 \
  void Slate::createROMVariables() { createSlateVariables(); }                                                  \
  void Slate::createROMEquations() { createSlateRecords(); }                                                    \
  void Slate::res_MassBal(long long& status) const {                                                            \
    long long st = 0;                                                                                            \
    const double value = computeMassBalanceResidual(st);                                                         \
    if (st != 0) status = 1;                                                                                     \
    writeRowResidual(m_massBalEqn, value, status);                                                               \
  }                                                                                                              \
  void Slate::pat_MassBal(rt_jac_t* jac, long long& status) {                                                   \
    patternOfEntries(m_massBalEqn, slate().massBalance, jac, status);                                            \
  }                                                                                                              \
  void Slate::jac_MassBal(long long& status) const {                                                            \
    jacobianOfEntries(m_massBalEqn, slate().massBalance,                                                         \
                      [this](const std::string& n, long long& st) { return computeMassBalanceDerivative(n, st); }, \
                      status);                                                                                   \
  }                                                                                                              \
  void Slate::res_HydrogenBal(long long& status) const {                                                        \
    long long st = 0;                                                                                            \
    const double value = computeHydrogenBalanceResidual(st);                                                     \
    if (st != 0) status = 1;                                                                                     \
    writeRowResidual(record(reformer::Record::HydrogenBal), value, status);                                      \
  }                                                                                                              \
  void Slate::pat_HydrogenBal(rt_jac_t* jac, long long& status) {                                               \
    patternOfEntries(record(reformer::Record::HydrogenBal), slate().hydrogenBalance, jac, status);               \
  }                                                                                                              \
  void Slate::jac_HydrogenBal(long long& status) const {                                                        \
    jacobianOfEntries(                                                                                           \
        record(reformer::Record::HydrogenBal), slate().hydrogenBalance,                                          \
        [this](const std::string& n, long long& st) { return computeHydrogenBalanceDerivative(n, st); }, status); \
  }                                                                                                              \
  double Slate::computeMassBalanceResidual(long long& status) const { return massBalanceOf(status); }          \
  double Slate::computeMassBalanceDerivative(std::string name, long long& status) const {                       \
    return massBalanceSlopeOf(name, status);                                                                     \
  }                                                                                                              \
  double Slate::computeHydrogenBalanceResidual(long long& status) const { return hydrogenBalanceOf(status); }  \
  double Slate::computeHydrogenBalanceDerivative(std::string name, long long& status) const {                   \
    return hydrogenBalanceSlopeOf(name, status);                                                                 \
  }

ROREF_SLATE_DEFINITIONS(roref1r)
ROREF_SLATE_DEFINITIONS(roref2r)
ROREF_SLATE_DEFINITIONS(rorefa)
#undef ROREF_SLATE_DEFINITIONS

// ---- Leaves ------------------------------------------------------------------------

#define ROREF_LEAF_DEFINITION(Leaf, Slate, kind, mode) \
  Leaf::Leaf(const char* name) : Slate(name) {         \
    setModelKind(kind);                                \
    setMode(mode);                                     \
  }                                                    \
  Leaf::~Leaf() = default;

ROREF_LEAF_DEFINITION(rorefsemi1r, roref1r, "REF_SEMI_1R", "SEMI")
ROREF_LEAF_DEFINITION(rorefcont1r, roref1r, "REF_CONT_1R", "CONT")
ROREF_LEAF_DEFINITION(rorefsemi2r, roref2r, "REF_SEMI_2R", "SEMI")
ROREF_LEAF_DEFINITION(rorefcont2r, roref2r, "REF_CONT_2R", "CONT")
ROREF_LEAF_DEFINITION(rorefsemia, rorefa, "REF_SEMI_A", "SEMI")
ROREF_LEAF_DEFINITION(rorefconta, rorefa, "REF_CONT_A", "CONT")
#undef ROREF_LEAF_DEFINITION
