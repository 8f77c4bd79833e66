// roref_1: the second-generation catalytic-reformer block base, its three
// product layouts and their six leaves, one per block subtype.
//
// The block is data: varinfo2 rows in the five sets of robase2 and two of its
// own (gas moles, liquid volumes), the constants' values, the port lists, the
// hydrogen-balance and NA-basis attributes, and equation objects made by the
// generic and the reformer suppliers. robase2 sizes, initialises and
// evaluates it; there is no residual or Jacobian code here.
//
//   layout                 products    network outputs   "CONT" block: variables, equations
//   roref1r_1<roref_1>     RFT         13                58, 35
//   roref2r_1<roref_1>     RF1, RF2    22                71, 47
//   rorefa_1<roref_1>      ARO, RAF    13                63, 39
//
// A "SEMI" block has the catalyst-age input CATAGE besides; an NA basis adds
// the two equations that split FEEDNA into FEEDAROM and FEEDNAPH. Every block
// has as many equations as variables that are not fixed.
//
// The mode and the layout are read from the type name the leaf stores
// ("REF_SEMI_1R" ... "REF_CONT_A"); a name that gives neither is refused:
// preparation throws and the factory hands out no block. Preparation also
// throws when a supplier or an equation it should make is missing.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/robase2.h"
#include "equations/suppliers.h"

struct BlockRequest;

// The product layouts, numbered as the type name's slate word gives them.
enum class Ref1Layout : std::int32_t { OneReformate = 0, TwoReformates = 1, Aromatics = 2 };

// (mode, layout) of a type name "REF_" mode "_" slate: mode 0 "SEMI", 1
// "CONT"; layout 0 "1R", 1 "2R", 2 "A"; -1 for a word it does not recognise.
std::pair<std::int32_t, std::int32_t> parseReformerModelType(const std::string& typeName);
// The product streams of a layout, in order: "RFT"; "RF1", "RF2"; "ARO", "RAF".
std::vector<std::string> reformerProducts(Ref1Layout layout);
// The streams and the hydrogen balance of a type name (its products by its
// layout) into a fresh ReactionSpec.
void fillReformerReactionSpec(ROEqnSupplier::ReactionSpec& spec, const std::string& typeName);

class roref_1 : public robase2 {
 public:
  roref_1(const char* name, VerInfo version);
  ~roref_1() override;

  // ---- Overrides of robase2 ----------------------------------------------------
  void addVarsToInputPort(qiv_port* port) override;
  void addVarsToOutputPort(qiv_port* port) override;  // not used by the port creation
  void addVarsToMassPort(qiv_port* port) override;
  void addVarsToVolPort(qiv_port* port) override;
  void addVarsToResultPort(qiv_port* port) override;
  // The shared rows into the sets (the layout's are in already), then every
  // set into the VarMan: input, network output, parameter, volume, mole,
  // computed, constant. Throws for a type name without mode or layout.
  void createROMVariables() override;
  // Network equations, balances, feed and light-end conversions, gas moles,
  // feed properties, in this order (after the layout's own).
  void createROMEquations() override;
  // robase2's tuning attributes, then HYDBALBIAS, HYDBALSLOPETARGETRON,
  // HYDBALSLOPENAPH, HYDBALSLOPEAROM (0.0) and FACTORNA (the NA factor).
  void setupAttributes() override;
  // The constants' values; status 1 when one could not be written.
  void setPELMOVarValues(long long& status) override;
  void setPELMOVarSpecs(long long& status) override;
  // "SUBID:..., BASIS_HL:..., BASIS_LE:..., BASIS_NA:..., VERSION:...".
  void inq_attr(qiv_blk_t& desc) const override;

  // ---- Own operations ----------------------------------------------------------
  // "N+A", "N+1.5A", "N+2A", "N+3A" in any case (factor 1, 1.5, 2, 3); any other
  // text (null included) leaves the basis as it is.
  virtual void setNABasis(const char* text);

  const std::string& naBasis() const { return m_naBasis; }
  double naFactor() const { return m_naFactor; }
  const std::set<varinfo2>& inputs() const { return inputSet; }
  const std::set<varinfo2>& networkOutputs() const { return nnOutputSet; }
  const std::set<varinfo2>& computed() const { return calcSet; }
  const std::set<varinfo2>& constants() const { return constSet; }
  const std::set<varinfo2>& volumes() const { return volumeSet; }
  const std::set<varinfo2>& moles() const { return moleSet; }

 protected:
  virtual void createNNEquations();
  virtual void createFeedConversionEquations();
  virtual void createFeedPropertyEquations();

  // What the layout templates add ahead of roref_1's own steps.
  void addLayoutVariables(Ref1Layout layout);
  void addProductConversions(Ref1Layout layout);
  void addAROHYDEquation();
  // 1e-19 into each product's cut-off; the number of values not written.
  int writeLayoutCutoffs(Ref1Layout layout);
  void addLayoutResults(qiv_port* port, Ref1Layout layout);
  void addLayoutOutputs(qiv_port* port, Ref1Layout layout);

  std::set<varinfo2> moleSet;    // FGSMOL, H2MOL
  std::set<varinfo2> volumeSet;  // the liquid volume flows, FEEDVOL among them

 private:
  // Takes an object the supplier made; a missing one fails the preparation.
  void add(ROEqnSupplier::EqnPtr eqn, const std::string& what);
  std::unique_ptr<ROEqnSupplier::IROGenEqn> genSupplier();
  std::unique_ptr<ROEqnSupplier::IROReacEqn> reformerSupplier();
  void addNamed(qiv_port* port, const std::string& name) { addPELMOVarToPort(port, varRecord(name)); }

  std::string m_naBasis = "NA";
  double m_naFactor = 0.0;
};

// ---- Layout templates ------------------------------------------------------------
// One body for the three: the layout's rows, product conversions, cut-offs and
// port entries go ahead of those of the base.
template <class Base, Ref1Layout L>
class roreflayout_1 : public Base {
 public:
  roreflayout_1(const char* name, VerInfo version) : Base(name, version) {}

  void createROMVariables() override {
    this->addLayoutVariables(L);
    Base::createROMVariables();
  }
  void createROMEquations() override {
    createProductConversionEquations();
    Base::createROMEquations();
  }
  void setPELMOVarValues(long long& status) override {
    status = 0;
    const int refused = this->writeLayoutCutoffs(L);
    Base::setPELMOVarValues(status);
    if (refused != 0) status = 1;  // the base step starts its status afresh; a failure here stays
  }
  void addVarsToResultPort(qiv_port* port) override {
    this->addLayoutResults(port, L);
    Base::addVarsToResultPort(port);
  }
  void addVarsToOutputPort(qiv_port* port) override {
    this->addLayoutOutputs(port, L);
    Base::addVarsToOutputPort(port);
  }

 protected:
  // Each product's volume from its mass.
  virtual void createProductConversionEquations() { this->addProductConversions(L); }
};

template <class Base>
class roref1r_1 : public roreflayout_1<Base, Ref1Layout::OneReformate> {
 public:
  using roreflayout_1<Base, Ref1Layout::OneReformate>::roreflayout_1;
};

template <class Base>
class roref2r_1 : public roreflayout_1<Base, Ref1Layout::TwoReformates> {
 public:
  using roreflayout_1<Base, Ref1Layout::TwoReformates>::roreflayout_1;
};

template <class Base>
class rorefa_1 : public roreflayout_1<Base, Ref1Layout::Aromatics> {
 public:
  using roreflayout_1<Base, Ref1Layout::Aromatics>::roreflayout_1;

  // The product conversions, then "EQN_AROHYD", then the base's equations.
  void createROMEquations() override {
    this->createProductConversionEquations();
    createAROHYDEquation();
    Base::createROMEquations();
  }

 protected:
  virtual void createAROHYDEquation() { this->addAROHYDEquation(); }
};

// ---- Leaves: one per block subtype, fixing the type name --------------------------
#define ROREF1_LEAF(Leaf, kind)                                                          \
  template <class Layout>                                                                \
  class Leaf : public Layout {                                                           \
   public:                                                                               \
    Leaf(const char* name, VerInfo version) : Layout(name, version) { this->setModelKind(kind); } \
  };
ROREF1_LEAF(rorefsemi1r_1, "REF_SEMI_1R")
ROREF1_LEAF(rorefcont1r_1, "REF_CONT_1R")
ROREF1_LEAF(rorefsemi2r_1, "REF_SEMI_2R")
ROREF1_LEAF(rorefcont2r_1, "REF_CONT_2R")
ROREF1_LEAF(rorefsemia_1, "REF_SEMI_A")
ROREF1_LEAF(rorefconta_1, "REF_CONT_A")
#undef ROREF1_LEAF
