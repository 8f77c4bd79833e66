// rofcc_1: the second-generation fluid catalytic cracker (FCC) block, its
// three slate templates and the eight leaves, one per block subtype.
//
// The block is data: a catalogue of varinfo2 rows in the five sets of robase2,
// four name sets (products, streams, gases, names kept off the volume port),
// the constants' values, two port lists, eight overcracking attributes, and
// equation objects made by the generic and the FCC suppliers. robase2 sizes,
// initialises and evaluates it; there is no residual or Jacobian code here.
//
//   class                          added cuts   variables  equations
//   rofcc_1                        -            178        130
//   rofcc2n1h_1<rofcc_1>           HCO          193        143
//   rofcc3n_1<rofcc_1>             MCN          193        143
//   rofcc3n1h_1<rofcc_1>           MCN, HCO     211        159
//
// Every block has as many equations as variables that are not fixed (the
// inputs and the constants). The slate (which cuts exist) comes from the
// class; the model kind, set by each leaf and again by the factory, names the
// network files and decides the streams of the balances, so a leaf's kind
// always agrees with its class. A GO leaf and its GOR sister differ only in
// the networks they run.
//
// Preparation fails (it throws, and the factory gives no block) when a
// supplier or an equation it should make is missing, or when an equation
// names a variable the catalogue lacks: such a block is never handed out.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/robase2.h"
#include "equations/suppliers.h"

struct BlockRequest;

// The cuts a slate adds to those of rofcc_1.
enum class Fcc1Slate : unsigned { Base = 0, Mcn = 1, Hco = 2, McnHco = 3 };
constexpr bool fcc1HasMcn(Fcc1Slate s) { return (static_cast<unsigned>(s) & 1u) != 0; }
constexpr bool fcc1HasHco(Fcc1Slate s) { return (static_cast<unsigned>(s) & 2u) != 0; }

// What a model kind "FCC_" + feed + "_" + slate says of the cuts.
struct FccKindSlate {
  std::int32_t naphthaCuts = 2;  // 2 or 3
  std::int32_t hco = 0;          // 1 with a heavy cycle oil cut
};

// The slate word is read after the second "_" (from the start of the text
// when there is none): 3 naphtha cuts when it begins "3N", HCO when "1H"
// follows. The feed word plays no part.
FccKindSlate parseFccModelKind(const std::string& modelKind);
// The naphtha cuts predicted by a total and a difference network, in
// attribute order: "C5S", "LCN", "MCN", "HCN".
const std::vector<std::string>& fccOvercrackCuts();
// The streams and the sulfur balance of a model kind (MCN, HCO by its slate).
ROEqnSupplier::ReactionSpec makeFccReactionSpec(const std::string& modelKind);
// No input scales; the overcracking description of every cut of
// fccOvercrackCuts, keyed by cut + "FRAC" (MCNFRAC too, whatever the slate).
ROEqnSupplier::NNEquationParams makeFccOvercrackSpecs();

class rofcc_1 : public robase2 {
 public:
  rofcc_1(const char* name, VerInfo version);
  ~rofcc_1() override;

  // "OUTVOL": every computed "...VOL" in name order except the exclusion set.
  void addVarsToVolPort(qiv_port* port) override;
  // "OUTRES": the slate's own results first, then the 64 of rofcc_1.
  void addVarsToResultPort(qiv_port* port) override;
  // The rows of rofcc_1 into the five sets, then the sets into the VarMan in
  // the order input, network output, factor, computed, constant.
  void createROMVariables() override;
  // Every equation object, in the order of the equation numbers. Throws when
  // a supplier, an equation or a variable an equation names is missing.
  void createROMEquations() override;
  // robase2's tuning attributes, then C5S, LCN, MCN, HCN _OVERCRACK_PARAM and
  // _OVERCRACK_RATE (code 3, value 1.0), numbered on from the map's count.
  void setupAttributes() override;
  // The constants' values; status 1 when one could not be written.
  void setPELMOVarValues(long long& status) override;

  // The cuts of the block's class.
  virtual Fcc1Slate slate() const { return Fcc1Slate::Base; }

  const std::set<std::string>& productSet() const { return m_productSet; }
  const std::set<std::string>& streamSet() const { return m_streamSet; }
  const std::set<std::string>& gasSet() const { return m_gasSet; }
  const std::set<std::string>& volumeExclusionSet() const { return m_volumeExclusion; }
  bool hasSuppliers() const { return m_genSupplier || m_fccSupplier; }
  const std::set<varinfo2>& inputs() const { return inputSet; }
  const std::set<varinfo2>& networkOutputs() const { return nnOutputSet; }
  const std::set<varinfo2>& computed() const { return calcSet; }
  const std::set<varinfo2>& factors() const { return factorSet; }
  const std::set<varinfo2>& constants() const { return constSet; }

 protected:
  // What the slate templates add ahead of rofcc_1's own steps.
  void addSlateVariables(Fcc1Slate slate);
  void addSlateStreams(Fcc1Slate slate);
  // 1e-19 into MCNCUTOFF, then HCOCUTOFF, as the slate has them; the number
  // of values that could not be written.
  int writeSlateCutoffs(Fcc1Slate slate);
  void addSlateResults(qiv_port* port, Fcc1Slate slate);

  // Made at the start of createROMEquations, dropped at its end.
  std::unique_ptr<ROEqnSupplier::IROGenEqn> m_genSupplier;
  std::unique_ptr<ROEqnSupplier::IROReacEqn> m_fccSupplier;

 private:
  // Builds every object; createROMEquations drops the suppliers however it ends.
  void buildEquations();
  // Fails when an equation names a variable the catalogue lacks or a network
  // equation cannot run (its overcrack input is not one of its inputs).
  void checkEquations() const;

  std::set<std::string> m_productSet;       // products with a sulfur-ppm equation
  std::set<std::string> m_streamSet;        // streams with a mass-to-volume conversion
  std::set<std::string> m_gasSet;           // gases with a mass-to-mole conversion
  std::set<std::string> m_volumeExclusion;  // computed "...VOL" names off the volume port
};

// ---- Slate templates ----------------------------------------------------------
// One body for the three: the slate's rows, streams, cut-offs and results go
// ahead of those of the base.
template <class Base, Fcc1Slate S>
class rofccslate_1 : public Base {
 public:
  rofccslate_1(const char* name, VerInfo version) : Base(name, version) {}

  Fcc1Slate slate() const override { return S; }
  void createROMVariables() override {
    this->addSlateVariables(S);
    Base::createROMVariables();
  }
  void createROMEquations() override {
    this->addSlateStreams(S);
    Base::createROMEquations();
  }
  void setPELMOVarValues(long long& status) override {
    status = 0;
    const int refused = this->writeSlateCutoffs(S);
    Base::setPELMOVarValues(status);
    if (refused != 0) status = 1;  // the base step starts its status afresh; a failure here stays
  }
  void addVarsToResultPort(qiv_port* port) override {
    this->addSlateResults(port, S);
    Base::addVarsToResultPort(port);
  }
};

template <class Base>
class rofcc2n1h_1 : public rofccslate_1<Base, Fcc1Slate::Hco> {
 public:
  using rofccslate_1<Base, Fcc1Slate::Hco>::rofccslate_1;
};

template <class Base>
class rofcc3n_1 : public rofccslate_1<Base, Fcc1Slate::Mcn> {
 public:
  using rofccslate_1<Base, Fcc1Slate::Mcn>::rofccslate_1;
};

template <class Base>
class rofcc3n1h_1 : public rofccslate_1<Base, Fcc1Slate::McnHco> {
 public:
  using rofccslate_1<Base, Fcc1Slate::McnHco>::rofccslate_1;
};

// ---- Leaves: one per block subtype, fixing the model kind ----------------------
template <class Base>
class rofccgo2n_1 : public Base {
 public:
  rofccgo2n_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("FCC_GO_2N"); }
};
template <class Base>
class rofccgor2n_1 : public Base {
 public:
  rofccgor2n_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("FCC_GOR_2N"); }
};
template <class Base>
class rofccgo2n1h_1 : public Base {
 public:
  rofccgo2n1h_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("FCC_GO_2N1H"); }
};
template <class Base>
class rofccgor2n1h_1 : public Base {
 public:
  rofccgor2n1h_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("FCC_GOR_2N1H"); }
};
template <class Base>
class rofccgo3n_1 : public Base {
 public:
  rofccgo3n_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("FCC_GO_3N"); }
};
template <class Base>
class rofccgor3n_1 : public Base {
 public:
  rofccgor3n_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("FCC_GOR_3N"); }
};
template <class Base>
class rofccgo3n1h_1 : public Base {
 public:
  rofccgo3n1h_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("FCC_GO_3N1H"); }
};
template <class Base>
class rofccgor3n1h_1 : public Base {
 public:
  rofccgor3n1h_1(const char* name, VerInfo version) : Base(name, version) { this->setModelKind("FCC_GOR_3N1H"); }
};

// The second-generation branch of the FCC family's creator: the leaf of the
// request's SUBID, constructed but not prepared; null for another SUBID.
std::unique_ptr<robase> createFccBlock_1(const BlockRequest& request);
