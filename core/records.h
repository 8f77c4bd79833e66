// The plain records a block keeps in its name tables: model variables,
// model equations, block attributes, second-generation variable descriptions
// and the model version.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

// One model variable. Values are in the base unit (the unit the solver's value
// vector holds, e.g. "KG/HR"); the display unit is only shown to the user.
struct ROMVar {
  // Note the order: base unit before display unit, while the fields keep the
  // display unit first.
  ROMVar(std::string name, std::string baseUnit, std::string dispUnit, int index, double lower,
         double upper);
  // One unit serves as display and base unit; bounds -1e30 and 1e30.
  ROMVar(std::string name, std::string unit, int index);
  // One unit serves as display and base unit.
  ROMVar(std::string name, std::string unit, int index, double lower, double upper);

  std::string name;      // upper case, e.g. "FEEDMASS"
  std::string dispUnit;  // e.g. "TONNE/DAY"
  std::string baseUnit;  // e.g. "KG/HR"
  int index;             // 1-based; framework variable = block's first variable + index - 1
  double value = 1.0;    // a network output holds its last raw prediction here
  double lower;
  double upper;
  std::set<std::string> nameSet;
  std::map<std::string, double> derivs;  // network output: d prediction / d input, by input name
};

// One model equation; also the leading part of the equation objects of the
// second generation and of the hydrocracker, hence the virtual destructor.
struct ROMEqn {
  ROMEqn(std::string name, int index);
  virtual ~ROMEqn() = default;
  ROMEqn(const ROMEqn&) = default;
  ROMEqn& operator=(const ROMEqn&) = default;

  std::string name;  // "EQN_...", "CONV_...", "Y_...", "MASS_BAL" ...
  int index;         // 1-based; framework equation = block's first equation + index - 1
  int firstNz = 0;   // 1-based position of the row's first non-zero within the block; set by the pattern pass
};

// Value types of an attribute (the framework's value tags).
constexpr int ROMATTR_REAL = 1;
constexpr int ROMATTR_LOGICAL = 6;

// One block attribute (tuning factor, bound or error scale).
struct ROMAttr {
  // A real attribute; the description text is accepted and not kept.
  ROMAttr(std::string name, int code, std::string description, double value, int number);
  // A real attribute with code 0.
  ROMAttr(std::string name, double value, int number);

  std::string name;
  int code;
  int type = ROMATTR_REAL;
  double value;
  unsigned char lvalue = 0;  // logical value, 0 or 1
  int number;                // position among the block's own attributes
};

// Second-generation variable description; sets of them are ordered by name.
struct varinfo2 {
  // One unit serves as display and base unit.
  varinfo2(std::string name, std::string unit, double lower, double upper);
  // Base unit before display unit, as for ROMVar.
  varinfo2(std::string name, std::string baseUnit, std::string dispUnit, double lower, double upper);

  bool operator<(const varinfo2& other) const { return name < other.name; }

  std::string name;
  std::string dispUnit;
  std::string baseUnit;
  double lower;
  double upper;
};

// Model version from the "VERSION" option; 35.0.0 unless given.
struct VerInfo {
  uint32_t major = 35;
  uint32_t minor = 0;
  uint32_t build = 0;

  bool operator==(const VerInfo&) const = default;
};
