// hcrbase_1: the second-generation hydrocracker block, and its four model
// kinds as class templates over it.
//
// The unit is described by data alone: a catalogue of varinfo2 rows in the
// five category sets of robase2, the names of its streams and liquid
// products, its constants, its ports, three hydrogen-balance attributes, and
// equation objects that the generic and the hydrocracker suppliers build.
// robase2 sizes, initialises and evaluates them; the block writes no residual.
//
// Variables are numbered inputs, network outputs, constants, computed
// variables, MASSFACTOR, each group in name order. The base rows are 108
// variables; kerosene (KER) adds 23, diesel (DSL) 18 and the recycle rate 1:
//
//   class                      kind        products                variables
//   rohcrd_1<hcrbase_1>        "HCR_D"     LCN HCN KER DSL UCO     150
//   rohcrk_1<hcrbase_1>        "HCR_K"     LCN HCN KER UCO         132
//   rohcrmild_1<hcrbase_1>     "HCR_MILD"  LCN HCN KER DSL UCO     149
//   rohcrn_1<hcrbase_1>        "HCR_N"     LCN HCN UCO             109
//
// With a recycle (D, K, N) the total conversion TOTCONV is specified and
// CONVERSION, a network input, follows from it by EQN_CALC_CONVERSION. The
// mild hydrocracker has no recycle: CONVERSION stays an input.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "core/robase2.h"
#include "equations/suppliers.h"

class hcrbase_1 : public robase2 {
 public:
  hcrbase_1(const char* name, VerInfo version);
  hcrbase_1(const hcrbase_1&) = delete;
  hcrbase_1& operator=(const hcrbase_1&) = delete;
  ~hcrbase_1() override;

  // "OUTVOL": every computed volume flow but FEEDVOL, in name order.
  void addVarsToVolPort(qiv_port* port) override;
  // "OUTRES": the computed variables naming none of TOTCONV, MASS and VOL,
  // then the network outputs naming none of FRAC, RELSUL and HYD.
  void addVarsToResultPort(qiv_port* port) override;
  // The base rows into their sets, then the sets into the VarMan in the
  // order input, network output, constant, computed, factor.
  void createROMVariables() override;
  // The equation objects, each added to the EqnMan as soon as it is made.
  // Throws when a supplier or an object it should give is missing, so that
  // preparation fails rather than a later pass.
  void createROMEquations() override;
  // The tuning attributes of robase2, then HYDBALBIAS, HYDBALSLOPECONV and
  // HYDBALSLOPESG (code 3, value 0), numbered on from the map's size.
  void setupAttributes() override;
  // The 24 base constants, then the framework bounds 0 and 100 of
  // CONVERSION. Status 1 when a value or a bound could not be written.
  void setPELMOVarValues(long long& status) override;
  // The blending-index equations of the block's products, added last.
  virtual void createIndexEquations();

  const std::set<std::string>& streams() const { return streamSet; }
  const std::set<std::string>& products() const { return productSet; }
  const std::set<varinfo2>& inputs() const { return inputSet; }
  const std::set<varinfo2>& networkOutputs() const { return nnOutputSet; }
  const std::set<varinfo2>& calculated() const { return calcSet; }
  const std::set<varinfo2>& constants() const { return constSet; }

 protected:
  // Steps of createROMEquations; each makes and releases its own supplier.
  void createNetworkEquations();
  void createSulPPMEquations();
  void createGasConversionEquations();
  void createConvCalcEquation();
  void createKERIndexEquations();
  void createDSLIndexEquations();
  // "EQN_LCNRVI", "EQN_HCNRVI", "EQN_UCOVISCIDX".
  void createBaseIndexEquations();

  // Catalogue rows of the kerosene and diesel products, and the recycle rate
  // (an input, "PERCENT", from 0 to the given upper bound).
  void createKERVariables();
  void createDSLVariables();
  void addRecycleRate(double upper);
  // Adds a product to streamSet and productSet.
  void addProduct(const std::string& product);
  // The specifications of a model with a recycle: robase2's when entered
  // with status 0, then, whatever the status, CONVERSION freed and TOTCONV
  // fixed. A refused specification makes the status 1.
  void specifyTotalConversion(long long& status);

  // Writes a constant's value: true when written.
  bool writeValue(const char* name, double value);

  std::set<std::string> streamSet;   // every stream of the unit
  std::set<std::string> productSet;  // its liquid products
};

// The records handed to the generic supplier, as the hydrocracker fills them.
// The balance streams end with "KER" for "HCR_K", with "KER", "DSL" for
// "HCR_D" and "HCR_MILD" (exact comparison of the model kind).
ROEqnSupplier::ReactionSpec makeHcrReactionSpec(const std::string& modelKind);
// Light gases (FGS, H2, H2S) are converted with the air density.
ROEqnSupplier::ConversionBasisSpec makeHcrConversionBasisSpec(int hlBasis, int leBasis);

// ---- The model kinds --------------------------------------------------------

// "HCR_D": kerosene and diesel, recycle rate up to 100 %.
template <class Base>
class rohcrd_1 : public Base {
 public:
  rohcrd_1(const char* name, VerInfo version);
  void createROMVariables() override;
  // EQN_CALC_CONVERSION first, then the base's list.
  void createROMEquations() override;
  // IC4VOL's framework upper bound 1000, the KER and DSL cut-offs, then
  // (when entered with status 0) the base's values.
  void setPELMOVarValues(long long& status) override;
  // The base's specifications (when entered with status 0), then CONVERSION
  // freed and TOTCONV fixed whatever the status.
  void setPELMOVarSpecs(long long& status) override;
  // KER, DSL, then the base's index equations.
  void createIndexEquations() override;
};

// "HCR_K": kerosene, recycle rate up to 80 %.
template <class Base>
class rohcrk_1 : public Base {
 public:
  rohcrk_1(const char* name, VerInfo version);
  void createROMVariables() override;
  void createROMEquations() override;  // as rohcrd_1
  // The base's values (when entered with status 0), then the KER cut-off.
  void setPELMOVarValues(long long& status) override;
  void setPELMOVarSpecs(long long& status) override;  // as rohcrd_1
  void createIndexEquations() override;               // KER, then the base's
};

// "HCR_MILD": kerosene and diesel, no recycle; CONVERSION is an input.
template <class Base>
class rohcrmild_1 : public Base {
 public:
  rohcrmild_1(const char* name, VerInfo version);
  void createROMVariables() override;
  // The KER and DSL cut-offs, then (when entered with status 0) the base's values.
  void setPELMOVarValues(long long& status) override;
  // robase2's specifications, then TOTCONV fixed: no equation of this model
  // refers to it, and left free it would make the block's system singular.
  void setPELMOVarSpecs(long long& status) override;
  void createIndexEquations() override;  // as rohcrd_1
};

// "HCR_N": no kerosene or diesel, recycle rate up to 100 %.
template <class Base>
class rohcrn_1 : public Base {
 public:
  rohcrn_1(const char* name, VerInfo version);
  void createROMVariables() override;
  void createROMEquations() override;                 // as rohcrd_1
  void setPELMOVarSpecs(long long& status) override;  // as rohcrd_1
};

extern template class rohcrd_1<hcrbase_1>;
extern template class rohcrk_1<hcrbase_1>;
extern template class rohcrmild_1<hcrbase_1>;
extern template class rohcrn_1<hcrbase_1>;
