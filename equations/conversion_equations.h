// The equations that tie two bases of one stream s: mass s + "MASS", liquid
// volume s + "VOL" (for the FOE conversions the FOE volume), moles s + "MOL",
// with the gravity s + "SG", the molecular weight s + "MW", the FOE factor
// s + "FOEFACTOR" and the reference density "RHOH2O" (liquids) or "RHOAIR"
// (the gas streams of the ConversionBasisSpec). Each holds a direction flag
// that chooses which variable its starting-value step computes.
//
// Also the two FCC equations made by name: the C5+ naphtha vapour-pressure
// index and the volumetric conversion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "equations/listed_eqn.h"
#include "equations/suppliers.h"

namespace ROEqnSupplier {

// Density modes: the stream's entry in the gas-stream map.
constexpr std::int32_t kDensityWater = 0;  // "RHOH2O"
constexpr std::int32_t kDensityAir = 1;    // "RHOAIR"

// Ordering key before the builder's raise (1501 to mass, 1502 to moles, 1503
// to volume, 1504 to FOE).
constexpr std::uint32_t kConversionKey = 1500;

// Shared part of the volume conversions: "CONV_" + s + w over s + "VOL",
// s + "SG" and the density.
class _eqVolConvBase : public ListedEqn {
 public:
  _eqVolConvBase(const std::string& stream, std::int32_t densityMode, const std::string& word);

  std::uint32_t direction() const { return m_direction; }
  void setDirection(std::uint32_t flag) { m_direction = flag; }
  const std::string& densityName() const { return m_density; }

 protected:
  enum Entry : std::size_t { kVol, kSg, kDensity };  // list order
  std::uint32_t m_direction = 2;
  std::string m_density;
};

// s + "MASS" = s + "VOL" x density x s + "SG". Starting value: the volume,
// or the mass when the flag is 0 (a feed given by volume).
class _eqVolConv_Mass : public _eqVolConvBase {
 public:
  _eqVolConv_Mass(const std::string& stream, std::int32_t densityMode, const std::string& word);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

 private:
  static constexpr std::size_t kMass = 3;  // after the volume, gravity and density
};

// s + "MOL" = s + "VOL" x density x s + "SG" / s + "MW". Starting value: the
// moles when the flag is 1, else the volume.
class _eqVolConv_Mole : public _eqVolConvBase {
 public:
  _eqVolConv_Mole(const std::string& stream, std::int32_t densityMode, const std::string& word);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

 private:
  enum Entry : std::size_t { kMol = 3, kMw };  // after the volume, gravity and density
};

// s + "MOL" x s + "MW" = s + "VOL" x 1000 x s + "FOEFACTOR"; "CONV_" + s + "FOE".
// Starting value: the moles when the flag is 1, else the FOE volume.
class _eqFOEConv_Mole : public ListedEqn {
 public:
  _eqFOEConv_Mole(const std::string& stream, const ConversionBasisSpec& spec);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

  std::uint32_t direction() const { return m_direction; }
  void setDirection(std::uint32_t flag) { m_direction = flag; }

 private:
  enum Entry : std::size_t { kVol, kMol, kFactor, kMw };  // list order
  std::uint32_t m_direction = 3;
};

// s + "MASS" = s + "VOL" x 1000 x s + "FOEFACTOR"; "CONV_" + s + "FOE".
// Starting value: the mass when the flag is 0, else the FOE volume.
class _eqFOEConv_Mass : public ListedEqn {
 public:
  _eqFOEConv_Mass(const std::string& stream, const ConversionBasisSpec& spec);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

  std::uint32_t direction() const { return m_direction; }
  void setDirection(std::uint32_t flag) { m_direction = flag; }

 private:
  enum Entry : std::size_t { kVol, kMass, kFactor };  // list order
  std::uint32_t m_direction = 2;
};

// s + "MOL" x s + "MW" = s + "MASS"; "CONV_" + s + w. Starting value: the
// moles, or the mass when the flag is 0.
class _eqMoleConv_Mass : public ListedEqn {
 public:
  _eqMoleConv_Mass(const std::string& stream, const std::string& word);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;
  int init() override;

  std::uint32_t direction() const { return m_direction; }
  void setDirection(std::uint32_t flag) { m_direction = flag; }

 private:
  enum Entry : std::size_t { kMol, kMass, kMw };  // list order
  std::uint32_t m_direction = 1;
};

// "EQN_C5SRVI": "C5SRVI" = ("C5SRVP" in psi)^1.25, the vapour pressure given
// in kPa. No starting value.
class _eqC5SRVI : public ListedEqn {
 public:
  _eqC5SRVI();
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;

 private:
  enum Entry : std::size_t { kIndex, kPressure };  // "C5SRVI", "C5SRVP"
};

// "EQN_CONVERSION": "CONVERSION" = (1 - sum of p + "VOL" / "FEEDVOL") x 100
// over the heavy products p. No starting value.
class _eqConversion : public ListedEqn {
 public:
  explicit _eqConversion(const std::vector<std::string>& products);
  int res(OneBased<double> residuals) override;
  int jac(OneBased<double> values) override;

 private:
  // "CONVERSION", "FEEDVOL", then the product volumes.
  enum Entry : std::size_t { kConversion, kFeedVol, kFirstProduct };
  double productSum() const;
};

}  // namespace ROEqnSupplier
