// The eleven equation classes of the first-generation hydrocracker models
// beside the network equations: balances, mass, volume, mole and hydrogen
// conversions, product sulfur, N+A values, blending indices and the
// calculated conversion. The four slates share them; the balances take the
// slate's liquid products.
//
// Every class is a ListedEqn: one function gives the residual and its partial
// derivative by every listed variable, at the listed variables' current
// values, so the residual, the pattern (the list) and the Jacobian entries
// come from one description. Each residual is the computed value minus the
// variable the equation defines, except the two balances, which are written
// as sums.
//
// Stream prefixes: "FEED", "H2S", "FGS", "H2", "C3", "NC4", "IC4", "LCN",
// "HCN", "KER", "DSL", "UCO"; a prefix plus a suffix names a variable
// ("LCN" + "FRAC" is LCNFRAC).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/attr_map.h"
#include "models/hydrocracker/hcreqn.h"

namespace hcr {

// Smooth positive floor of the yield fractions and relative sulfur factors:
// x above 1e-19, else 1e-19 exp(x / 1e-19 - 1) (so x = 1e-19 is floored).
constexpr double kFractionFloor = 1e-19;
double floored(double x, double* dx = nullptr);

class ListedEqn : public hcreqn {
 public:
  // Writes the residual; 0, or 1 when it is not finite.
  int res(OneBased<double> residuals) override;
  // Writes one entry per listed name (the sum of its terms for a name listed
  // twice). Status: 1 when any entry was refused (all are before the pattern
  // pass) or is not finite, 0 otherwise; the mass balance reports the number
  // of refused entries instead.
  int jac(OneBased<double> values) override;

  // The residual at the current point (reads the listed variables).
  double residualNow() const;

  // The variable the equation defines; empty for the balances.
  std::string definedName() const;
  // Stores, as a starting value, the value of a listed variable that zeroes
  // the residual with the other variables held. Every residual is linear in
  // the variables it is solved for here (a flow, a property, an index), so
  // one Newton step is exact. 0 when stored; 1 when the name is not listed,
  // the slope is zero or the value is not finite (nothing stored).
  int solveFor(const std::string& name);

 protected:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  // defined: the position of the defined variable in vars (kNone for none).
  ListedEqn(std::string name, std::vector<std::string> vars, std::size_t defined, bool countRefused = false);

  // The residual at x (the listed variables' values, in list order); fills
  // grad (same size) with its partial derivatives when given.
  virtual double evaluate(const std::vector<double>& x, std::vector<double>* grad) const = 0;

 private:
  // The listed variables' current values (kept in the object's work vector).
  const std::vector<double>& currentValues() const;
  bool m_countRefused;
  std::size_t m_defined;
  mutable std::vector<double> m_x, m_grad, m_sums;  // work vectors of the evaluations
};

// "EQN_MASS_BAL": FEEDMASS + H2MASS minus the masses of H2S, FGS, C3, NC4,
// IC4 and of every liquid product.
class eqMassBal : public ListedEqn {
 public:
  explicit eqMassBal(const std::vector<std::string>& liquidProducts);

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;

 private:
  std::vector<char> m_inlet;  // per entry: FEEDMASS or H2MASS, which enter
};

// "EQN_HYD_BAL": the product hydrogen masses minus FEEDHYDMASS and H2MASS,
// plus the tuning correction (CONVERSION x HYDBALSLOPECONV + HYDBALBIAS +
// FEEDSG x HYDBALSLOPESG) x FEEDMASS, the three attributes read from the
// block's attribute map at every evaluation. The correction's variables
// CONVERSION, FEEDSG and FEEDMASS close the list, so its row holds their
// derivatives too.
class eqHydBal : public ListedEqn {
 public:
  explicit eqHydBal(const std::vector<std::string>& liquidProducts);
  // Entries of the balance proper; the three correction variables follow.
  std::size_t balanceEntries() const { return m_balanceEntries; }

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;

 private:
  std::size_t m_balanceEntries;
  AttrRef m_bias{"HYDBALBIAS"};
  AttrRef m_slopeConv{"HYDBALSLOPECONV"};
  AttrRef m_slopeSg{"HYDBALSLOPESG"};
};

// "CONV_" P "MASS": MASSFACTOR x floor(P FRAC) x FEEDMASS - P MASS.
class eqMassConv : public ListedEqn {
 public:
  explicit eqMassConv(const std::string& prefix);

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;
};

// "CONV_" P "VOL". Gas (P exactly "H2S", "FGS" or "H2"), over P VOL, P MW,
// P MOL, P FOEFACTOR: P MOL - K x P VOL x P FOEFACTOR / P MW. Liquid (every
// other prefix, "FEED" included), over P VOL, P MASS, P SG:
// P MASS - K x P SG x P VOL. K = 1000: a specific gravity times 1000 is a
// density in KG/CUM.
class eqVolConv : public ListedEqn {
 public:
  explicit eqVolConv(const std::string& prefix);

  bool gas() const { return m_gas; }
  const std::string& volumeName() const { return m_vol; }
  const std::string& quantityName() const { return m_qty; }  // P MOL or P MASS
  const std::string& factorName() const { return m_factor; }  // P FOEFACTOR or P SG
  const std::string& molarMassName() const { return m_mw; }   // P MW, empty for a liquid
  double conversionFactor() const { return m_k; }

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;

 private:
  std::string m_vol, m_qty, m_factor, m_mw;
  double m_k = 1000.0;
  bool m_gas;
};

// "CONV_" P "MOL": P MOL x P MW - P MASS.
class eqMolConv : public ListedEqn {
 public:
  explicit eqMolConv(const std::string& prefix);

  const std::string& moleName() const { return m_mol; }
  const std::string& massName() const { return m_mass; }
  const std::string& molarMassName() const { return m_mw; }

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;

 private:
  std::string m_mol, m_mass, m_mw;
};

// "EQN_" P "SUL": FEEDSUL x floor(P RELSUL) - P SUL.
class eqSulConv : public ListedEqn {
 public:
  explicit eqSulConv(const std::string& prefix);

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;
};

// "EQN_" P "SULPPM": 10000 x P SUL - P SULPPM (percent to ppm).
class eqSulPPM : public ListedEqn {
 public:
  explicit eqSulPPM(const std::string& prefix);

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;
};

// "EQN_" P "HYDMASS_CONV": P HYD x P MASS / 100 - P HYDMASS (HYD in percent).
class eqHydMassConv : public ListedEqn {
 public:
  explicit eqHydMassConv(const std::string& prefix);

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;
};

// "EQN_" P "NA": a x P NAPH + b x P AROM - P NA, a = b = 1.
class eqNAVal : public ListedEqn {
 public:
  explicit eqNAVal(const std::string& prefix);

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;

 private:
  double m_a = 1.0;  // naphthenes
  double m_b = 1.0;  // aromatics
};

// Index kinds of eqIdxVal.
enum IndexKind : std::uint32_t {
  kRVI = 0,        // P RVP -> P RVI
  kCETIDX = 1,     // P SG, P D86_50 -> P CETIDX
  kFREEZEIDX = 2,  // P FREEZEPT -> P FREEZEIDX
  kCLOUDIDX = 3,   // P CLOUDPT -> P CLOUDIDX
  kSMOKEIDX = 4,   // P SMOKEPT -> P SMOKEIDX
  kVISCIDX = 5,    // P VISC_122 -> P VISCIDX
};

// "EQN_" P + the kind's index name: the blending index of a product property
// minus the index variable. A kind above 5 has no name and no variables; its
// residual reports 1 and writes nothing, its Jacobian writes nothing.
class eqIdxVal : public ListedEqn {
 public:
  eqIdxVal(const std::string& prefix, std::uint32_t kind);

  std::uint32_t kind() const { return m_kind; }
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;

 private:
  std::uint32_t m_kind;
};

// "EQN_CALC_CONVERSION": the conversion the networks take, from the feed
// rate, the total conversion, the recycle rate and the feed sulfur.
class eqConvCalc : public ListedEqn {
 public:
  static constexpr double kFeedMass = 1.22853188368e-5;
  static constexpr double kTotConv = 0.948054946124;
  static constexpr double kRcyRate = -0.797164005838;
  static constexpr double kFeedSul = 0.584632668456;
  static constexpr double kConstant = 4.38748336599;

  eqConvCalc();

 protected:
  double evaluate(const std::vector<double>& x, std::vector<double>* grad) const override;
};

}  // namespace hcr
