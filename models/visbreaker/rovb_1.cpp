// rovb_1: construction, the 113-variable catalogue, the constants' values,
// the specifications and the ports the block fills itself.
#include "models/visbreaker/rovb_1.h"

#include <array>
#include <cstddef>
#include <iterator>
#include <string>

#include "core/helpers.h"
#include "models/visbreaker/vb_tables.h"

namespace {

using namespace category;

// Values are in the base unit ("KG/HR", "CUM/HR", "KMOL/HR"); the display unit
// is only shown. Rows are in variable-index order (the comment), which is name
// order inside each set with the sets in populateVarMan's order. Constants sit
// at coinciding bounds except the two densities; FGSMW's bounds are 23.0565
// while set-up writes 20.65; MASSFACTOR is unbounded.
constexpr CatalogueRow kCatalogue[] = {
    // name,             display unit, base unit, lower, upper, set
    {"FEEDCCR",          "PERCENT",   nullptr,   10,        50,        In},  // 1
    {"FEEDMASS",         "TONNE/DAY", "KG/HR",   100,       1000000,   In},  // 2
    {"FEEDNIT",          "PPM",       nullptr,   0,         10000,     In},  // 3
    {"FEEDSG",           "UNITLESS",  nullptr,   0.9,       1.2,       In},  // 4
    {"FEEDSUL",          "PERCENT",   nullptr,   0,         5,         In},  // 5
    {"FEEDVANADIUM",     "PPM",       nullptr,   0,         500,       In},  // 6
    {"FEEDVBI",          "UNITLESS",  nullptr,   -75,       75,        In},  // 7
    {"FURNACETEMP",      "F",         nullptr,   600,       900,       In},  // 8
    {"HGOECP",           "F",         nullptr,   650,       1200,      In},  // 9
    {"LGOECP",           "F",         nullptr,   450,       900,       In},  // 10
    {"NAPECP",           "F",         nullptr,   100,       540,       In},  // 11
    {"C32FRAC",          "FRACTION",  nullptr,   0,         1,         Out},  // 12
    {"C3FRAC",           "FRACTION",  nullptr,   0,         1,         Out},  // 13
    {"FGSFRAC",          "FRACTION",  nullptr,   0,         1,         Out},  // 14
    {"HGOBNT",           "PPM",       nullptr,   0,         5000,      Out},  // 15
    {"HGOFRAC",          "FRACTION",  nullptr,   0,         1,         Out},  // 16
    {"HGORELSUL",        "FRACTION",  nullptr,   0.001,     5,         Out},  // 17
    {"HGOSG",            "UNITLESS",  nullptr,   0.8,       0.95,      Out},  // 18
    {"HGOVBI",           "UNITLESS",  nullptr,   -50,       50,        Out},  // 19
    {"IC4FRAC",          "FRACTION",  nullptr,   0,         1,         Out},  // 20
    {"LGOFRAC",          "FRACTION",  nullptr,   0,         1,         Out},  // 21
    {"LGORELSUL",        "FRACTION",  nullptr,   0.001,     5,         Out},  // 22
    {"LGOSG",            "UNITLESS",  nullptr,   0.75,      0.9,       Out},  // 23
    {"LGOVBI",           "UNITLESS",  nullptr,   -50,       50,        Out},  // 24
    {"NAPFRAC",          "FRACTION",  nullptr,   0,         1,         Out},  // 25
    {"NAPRELSUL",        "FRACTION",  nullptr,   0.001,     2,         Out},  // 26
    {"NAPSG",            "UNITLESS",  nullptr,   0.6,       0.85,      Out},  // 27
    {"NC4FRAC",          "FRACTION",  nullptr,   0,         1,         Out},  // 28
    {"TARFRAC",          "FRACTION",  nullptr,   0,         1,         Out},  // 29
    {"TARRELSUL",        "FRACTION",  nullptr,   0.001,     5,         Out},  // 30
    {"TARSG",            "UNITLESS",  nullptr,   0.85,      1.1,       Out},  // 31
    {"TARVAN",           "PPM",       nullptr,   0,         1000,      Out},  // 32
    {"TARVBI",           "UNITLESS",  nullptr,   -50,       50,        Out},  // 33
    {"UC4FRAC",          "FRACTION",  nullptr,   0,         1,         Out},  // 34
    {"C32CUTOFF",        "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 35
    {"C32SG",            "UNITLESS",  nullptr,   0.5194,    0.5194,    Const},  // 36
    {"C3CUTOFF",         "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 37
    {"C3SG",             "UNITLESS",  nullptr,   0.5085,    0.5085,    Const},  // 38
    {"FGSCUTOFF",        "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 39
    {"FGSMW",            "UNITLESS",  nullptr,   23.0565,   23.0565,   Const},  // 40
    {"FGSSG",            "UNITLESS",  nullptr,   0.858155,  0.858155,  Const},  // 41
    {"H2SMW",            "UNITLESS",  nullptr,   34.08088,  34.08088,  Const},  // 42
    {"H2SSG",            "UNITLESS",  nullptr,   2.7504,    2.7504,    Const},  // 43
    {"HGOCUTOFF",        "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 44
    {"IC4CUTOFF",        "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 45
    {"IC4SG",            "UNITLESS",  nullptr,   0.5646,    0.5646,    Const},  // 46
    {"LGOCUTOFF",        "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 47
    {"NAPCUTOFF",        "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 48
    {"NC4CUTOFF",        "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 49
    {"NC4SG",            "UNITLESS",  nullptr,   0.5948,    0.5948,    Const},  // 50
    {"RHOAIR",           "KG/CUM",    nullptr,   0,         100,       Const},  // 51
    {"RHOH2O",           "KG/CUM",    nullptr,   500,       1500,      Const},  // 52
    {"TARCUTOFF",        "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 53
    {"UC4CUTOFF",        "UNITLESS",  nullptr,   1e-19,     1e-19,     Const},  // 54
    {"UC4SG",            "UNITLESS",  nullptr,   0.6008,    0.6008,    Const},  // 55
    {"C32MASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 56
    {"C3MASS",           "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 57
    {"C3MIXMASS",        "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 58
    {"C3MIXVOL",         "KBBL/DAY",  "CUM/HR",  0,         10000,     Calc},  // 59
    {"C4MIXMASS",        "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 60
    {"C4MIXVOL",         "KBBL/DAY",  "CUM/HR",  0,         10000,     Calc},  // 61
    {"CONVERSION",       "PERCENT",   nullptr,   0,         150,       Calc},  // 62
    {"FEEDSULMASS",      "TONNE/DAY", "KG/HR",   0,         50000,     Calc},  // 63
    {"FEEDVISC",         "CS",        nullptr,   0,         1e10,      Calc},  // 64
    {"FGSMASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 65
    {"FGSVOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Calc},  // 66
    {"H2SMASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 67
    {"H2SVOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Calc},  // 68
    {"HGOMASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 69
    {"HGOSUL",           "PERCENT",   nullptr,   0,         4,         Calc},  // 70
    {"HGOSULMASS",       "TONNE/DAY", "KG/HR",   0,         50000,     Calc},  // 71
    {"HGOSULPPM",        "PPM",       nullptr,   0,         40000,     Calc},  // 72
    {"HGOVISC_122",      "CS",        nullptr,   0,         1e7,       Calc},  // 73
    {"IC4MASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 74
    {"ISATINC4MIX",      "FRACTION",  nullptr,   0,         100000,    Calc},  // 75
    {"ISATINC4MIXVOL",   "FRACTION",  nullptr,   0,         1000,      Calc},  // 76
    {"LGOMASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 77
    {"LGOSUL",           "PERCENT",   nullptr,   0,         4,         Calc},  // 78
    {"LGOSULMASS",       "TONNE/DAY", "KG/HR",   0,         50000,     Calc},  // 79
    {"LGOSULPPM",        "PPM",       nullptr,   0,         40000,     Calc},  // 80
    {"LGOVISC_122",      "CS",        nullptr,   0,         1000,      Calc},  // 81
    {"NAPMASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 82
    {"NAPSUL",           "PERCENT",   nullptr,   0,         2,         Calc},  // 83
    {"NAPSULMASS",       "TONNE/DAY", "KG/HR",   0,         50000,     Calc},  // 84
    {"NAPSULPPM",        "PPM",       nullptr,   0,         20000,     Calc},  // 85
    {"NC4MASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 86
    {"NSATINC4MIX",      "FRACTION",  nullptr,   0,         100000,    Calc},  // 87
    {"NSATINC4MIXVOL",   "FRACTION",  nullptr,   0,         1000,      Calc},  // 88
    {"SATINC3MIX",       "FRACTION",  nullptr,   0,         100000,    Calc},  // 89
    {"SATINC3MIXVOL",    "FRACTION",  nullptr,   0,         1000,      Calc},  // 90
    {"TARMASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 91
    {"TARSUL",           "PERCENT",   nullptr,   0,         6,         Calc},  // 92
    {"TARSULMASS",       "TONNE/DAY", "KG/HR",   0,         50000,     Calc},  // 93
    {"TARSULPPM",        "PPM",       nullptr,   0,         60000,     Calc},  // 94
    {"TARVISC_122",      "CS",        nullptr,   0,         1e7,       Calc},  // 95
    {"UC4MASS",          "TONNE/DAY", "KG/HR",   0,         1000000,   Calc},  // 96
    {"UNSATINC3MIX",     "FRACTION",  nullptr,   0,         100000,    Calc},  // 97
    {"UNSATINC3MIXVOL",  "FRACTION",  nullptr,   0,         1000,      Calc},  // 98
    {"UNSATINC4MIX",     "FRACTION",  nullptr,   0,         100000,    Calc},  // 99
    {"UNSATINC4MIXVOL",  "FRACTION",  nullptr,   0,         1000,      Calc},  // 100
    {"MASSFACTOR",       "UNITLESS",  nullptr,   -1e30,     1e30,      Fac},  // 101
    {"C32VOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 102
    {"C3VOL",            "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 103
    {"FEEDVOL",          "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 104
    {"HGOVOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 105
    {"IC4VOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 106
    {"LGOVOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 107
    {"NAPVOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 108
    {"NC4VOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 109
    {"TARVOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 110
    {"UC4VOL",           "KBBL/DAY",  "CUM/HR",  0,         10000,     Vol},  // 111
    {"FGSMOL",           "MMSCFD",    "KMOL/HR", 0,         20000,     Mol},  // 112
    {"H2SMOL",           "MMSCFD",    "KMOL/HR", 0,         20000,     Mol},  // 113
};
static_assert(std::size(kCatalogue) == 113);

// Written in this order by setPELMOVarValues. The ten cut-offs are the floors
// of the yield fractions; they are fixed but stay off the CONSTANTS port.
constexpr ConstantValue kConstantValues[] = {
    {"FGSSG", 0.858155},  {"H2SSG", 2.7504},     {"C3SG", 0.5085},      {"C32SG", 0.5194},     {"IC4SG", 0.5646},
    {"NC4SG", 0.5948},    {"UC4SG", 0.6008},     {"FGSMW", 20.65},      {"H2SMW", 34.08088},   {"RHOH2O", 999.04},
    {"RHOAIR", 1.217},    {"FGSCUTOFF", 1e-19},  {"C3CUTOFF", 1e-19},   {"C32CUTOFF", 1e-19},  {"NC4CUTOFF", 1e-19},
    {"IC4CUTOFF", 1e-19}, {"UC4CUTOFF", 1e-19},  {"NAPCUTOFF", 1e-19},  {"LGOCUTOFF", 1e-19},  {"HGOCUTOFF", 1e-19},
    {"TARCUTOFF", 1e-19},
};
static_assert(std::size(kConstantValues) == 21);

}  // namespace

rovb_1::rovb_1(const char* name, VerInfo version) : robase2(name, version) {}

rovb_1::~rovb_1() = default;

void rovb_1::createROMVariables() {
  categorySets(&volumeSet, &molarSet).insert(kCatalogue);
  // The order of the sets decides the variable indices.
  for (std::set<varinfo2>* set : {&inputSet, &nnOutputSet, &constSet, &calcSet, &factorSet, &volumeSet, &molarSet})
    populateVarMan(*set);
}

void rovb_1::setPELMOVarValues(long long& status) {
  status = 0;
  if (writeConstants(kConstantValues) != 0) status = 1;
}

void rovb_1::setPELMOVarSpecs(long long& status) {
  bool failed = status != 0;
  if (!failed) {
    robase2::setPELMOVarSpecs(status);
    failed = status != 0;
  }
  // The conversion specifies the unit; the furnace temperature, a network
  // input, is computed by its correlation.
  if (m_varMan.setVarSpec("FURNACETEMP", "CALC") != 0) failed = true;
  if (m_varMan.setVarSpec("CONVERSION", "CONST") != 0) failed = true;
  status = failed ? 1 : 0;
}

void rovb_1::addVarsToInputPort(qiv_port* port) {
  for (const varinfo2& v : inputSet)
    if (v.name != "FEEDMASS" && v.name != "FURNACETEMP") addPELMOVarToPort(port, varRecord(v.name));
  addPELMOVarToPort(port, varRecord(m_hlBasis == BASIS_VOLUME ? "FEEDVOL" : "FEEDMASS"));
  addPELMOVarToPort(port, varRecord("CONVERSION"));
}

void rovb_1::addVarsToVolPort(qiv_port* port) {
  // The feed's volume is an input (or follows from it), not a product.
  addVarsToPortBySuffix(port, std::string("VOL"), volumeSet, std::set<std::string>{"FEEDVOL"});
  addNamesToPort(port, vb::kVolumePortOutputs);
}

void rovb_1::addVarsToResultPort(qiv_port* port) { addNamesToPort(port, vb::kResultPort); }
