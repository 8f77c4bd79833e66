// rocoker_1: construction, the 134-variable catalogue, the constants' values
// and the two ports the block fills itself.
#include "models/coker/rocoker_1.h"

#include <cstddef>
#include <iterator>
#include <string>

#include "models/coker/coker_tables.h"

namespace {

using namespace category;

// Values are in the base unit ("KG/HR", "CUM/HR", "KMOL/HR"); the display unit
// is only shown. Rows are in variable-index order (the comment), which is name
// order inside each set with the sets in populateVarMan's order. Constants sit
// at coinciding bounds except the two densities; MASSFACTOR is unbounded.
constexpr CatalogueRow kCatalogue[] = {
    // name, display unit, base unit, lower, upper, set
    {"COMBINEDFEEDRATIO", "UNITLESS",  nullptr,   1,        1.3,      In},  // 1
    {"DRUMINLETPRES",     "KPA",       nullptr,   150,      500,      In},  // 2
    {"DRUMINLETTEMP",     "F",         nullptr,   850,      950,      In},  // 3
    {"FEEDCCR",           "PERCENT",   nullptr,   0.01,     30,       In},  // 4
    {"FEEDMASS",          "TONNE/DAY", "KG/HR",   100,      1000000,  In},  // 5
    {"FEEDNIT",           "PPM",       nullptr,   300,      10000,    In},  // 6
    {"FEEDSG",            "UNITLESS",  nullptr,   0.9,      1.2,      In},  // 7
    {"FEEDSUL",           "PERCENT",   nullptr,   0,        5,        In},  // 8
    {"HCNECP",            "F",         nullptr,   200,      540,      In},  // 9
    {"LCNECP",            "F",         nullptr,   100,      430,      In},  // 10
    {"LGOECP",            "F",         nullptr,   450,      900,      In},  // 11
    {"C32FRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 12
    {"C3FRAC",            "FRACTION",  nullptr,   0,        1,        Out},  // 13
    {"COKFRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 14
    {"COKRELSUL",         "FRACTION",  nullptr,   0.001,    5,        Out},  // 15
    {"FGSFRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 16
    {"HCNAROM",           "PERCENT",   nullptr,   0,        100,      Out},  // 17
    {"HCNFRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 18
    {"HCNNAPH",           "PERCENT",   nullptr,   0,        100,      Out},  // 19
    {"HCNOLEF",           "PERCENT",   nullptr,   0,        100,      Out},  // 20
    {"HCNRELSUL",         "FRACTION",  nullptr,   0.001,    2,        Out},  // 21
    {"HCNSG",             "UNITLESS",  nullptr,   0.7,      0.85,     Out},  // 22
    {"HGOANI",            "F",         nullptr,   60,       90,       Out},  // 23
    {"HGOD86_50",         "F",         nullptr,   200,      400,      Out},  // 24
    {"HGOFRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 25
    {"HGONIT",            "PERCENT",   nullptr,   0,        5000,     Out},  // 26
    {"HGORELSUL",         "FRACTION",  nullptr,   0.001,    5,        Out},  // 27
    {"HGOSG",             "UNITLESS",  nullptr,   0.8,      0.95,     Out},  // 28
    {"HGOVISC_122",       "CS",        nullptr,   0,        1e7,      Out},  // 29
    {"IC4FRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 30
    {"LCNAROM",           "PERCENT",   nullptr,   0,        100,      Out},  // 31
    {"LCNFRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 32
    {"LCNNAPH",           "PERCENT",   nullptr,   0,        100,      Out},  // 33
    {"LCNOLEF",           "PERCENT",   nullptr,   0,        100,      Out},  // 34
    {"LCNRELSUL",         "FRACTION",  nullptr,   0.001,    1,        Out},  // 35
    {"LCNSG",             "UNITLESS",  nullptr,   0.6,      0.85,     Out},  // 36
    {"LGOCETNO",          "UNITLESS",  nullptr,   10,       100,      Out},  // 37
    {"LGOCLOUDPT",        "F",         nullptr,   -100,     200,      Out},  // 38
    {"LGOD86_50",         "F",         nullptr,   200,      300,      Out},  // 39
    {"LGOFRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 40
    {"LGONIT",            "PERCENT",   nullptr,   0,        5000,     Out},  // 41
    {"LGORELSUL",         "FRACTION",  nullptr,   0.001,    5,        Out},  // 42
    {"LGOSG",             "UNITLESS",  nullptr,   0.75,     0.9,      Out},  // 43
    {"LGOVISC_122",       "CS",        nullptr,   0,        1000,     Out},  // 44
    {"NC4FRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 45
    {"UC4FRAC",           "FRACTION",  nullptr,   0,        1,        Out},  // 46
    {"MASSFACTOR",        "UNITLESS",  nullptr,   -1e30,    1e30,     Fac},  // 47
    {"C32MASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 48
    {"C3MASS",            "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 49
    {"C3MIXMASS",         "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 50
    {"C3MIXVOL",          "KBBL/DAY",  "CUM/HR",  0,        100000,   Calc},  // 51
    {"C4MIXMASS",         "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 52
    {"C4MIXVOL",          "KBBL/DAY",  "CUM/HR",  0,        100000,   Calc},  // 53
    {"COKMASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 54
    {"COKSUL",            "PERCENT",   nullptr,   0,        8,        Calc},  // 55
    {"COKSULMASS",        "TONNE/DAY", "KG/HR",   0,        50000,    Calc},  // 56
    {"COKSULPPM",         "PPM",       nullptr,   0,        80000,    Calc},  // 57
    {"FEEDSULMASS",       "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 58
    {"FGSMASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 59
    {"H2SFRAC",           "FRACTION",  nullptr,   0,        1,        Calc},  // 60
    {"H2SMASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 61
    {"HCNMASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 62
    {"HCNN2A",            "PERCENT",   nullptr,   0,        150,      Calc},  // 63
    {"HCNSUL",            "PERCENT",   nullptr,   0,        2,        Calc},  // 64
    {"HCNSULMASS",        "TONNE/DAY", "KG/HR",   0,        50000,    Calc},  // 65
    {"HCNSULPPM",         "PPM",       nullptr,   0,        20000,    Calc},  // 66
    {"HGOMASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 67
    {"HGOSUL",            "PERCENT",   nullptr,   0,        6,        Calc},  // 68
    {"HGOSULMASS",        "TONNE/DAY", "KG/HR",   0,        50000,    Calc},  // 69
    {"HGOSULPPM",         "PPM",       nullptr,   0,        60000,    Calc},  // 70
    {"HGOVISCIDX",        "UNITLESS",  nullptr,   -50,      50,       Calc},  // 71
    {"IC4MASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 72
    {"ISATINC4MIX",       "FRACTION",  nullptr,   0,        100000,   Calc},  // 73
    {"ISATINC4MIXVOL",    "FRACTION",  nullptr,   0,        100000,   Calc},  // 74
    {"LCNMASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 75
    {"LCNN2A",            "PERCENT",   nullptr,   0,        150,      Calc},  // 76
    {"LCNSUL",            "PERCENT",   nullptr,   0,        2,        Calc},  // 77
    {"LCNSULMASS",        "TONNE/DAY", "KG/HR",   0,        50000,    Calc},  // 78
    {"LCNSULPPM",         "PPM",       nullptr,   0,        20000,    Calc},  // 79
    {"LGOCETIDX",         "UNITLESS",  nullptr,   0,        1000,     Calc},  // 80
    {"LGOCLOUDIDX",       "UNITLESS",  nullptr,   0,        1e10,     Calc},  // 81
    {"LGOMASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 82
    {"LGOSUL",            "PERCENT",   nullptr,   0,        6,        Calc},  // 83
    {"LGOSULMASS",        "TONNE/DAY", "KG/HR",   0,        50000,    Calc},  // 84
    {"LGOSULPPM",         "PPM",       nullptr,   0,        60000,    Calc},  // 85
    {"LGOVISCIDX",        "UNITLESS",  nullptr,   -50,      50,       Calc},  // 86
    {"NC4MASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 87
    {"NSATINC4MIX",       "FRACTION",  nullptr,   0,        100000,   Calc},  // 88
    {"NSATINC4MIXVOL",    "FRACTION",  nullptr,   0,        100000,   Calc},  // 89
    {"SATINC3MIX",        "FRACTION",  nullptr,   0,        100000,   Calc},  // 90
    {"SATINC3MIXVOL",     "FRACTION",  nullptr,   0,        100000,   Calc},  // 91
    {"UC4MASS",           "TONNE/DAY", "KG/HR",   0,        1000000,  Calc},  // 92
    {"UNSATINC3MIX",      "FRACTION",  nullptr,   0,        100000,   Calc},  // 93
    {"UNSATINC3MIXVOL",   "FRACTION",  nullptr,   0,        100000,   Calc},  // 94
    {"UNSATINC4MIX",      "FRACTION",  nullptr,   0,        100000,   Calc},  // 95
    {"UNSATINC4MIXVOL",   "FRACTION",  nullptr,   0,        100000,   Calc},  // 96
    {"C32CUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 97
    {"C32SG",             "UNITLESS",  nullptr,   0.5194,   0.5194,   Const},  // 98
    {"C3CUTOFF",          "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 99
    {"C3SG",              "UNITLESS",  nullptr,   0.5085,   0.5085,   Const},  // 100
    {"COKCUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 101
    {"COKSG",             "UNITLESS",  nullptr,   2.285,    2.285,    Const},  // 102
    {"FGSCUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 103
    {"FGSMW",             "UNITLESS",  nullptr,   23.0565,  23.0565,  Const},  // 104
    {"FGSSG",             "UNITLESS",  nullptr,   0.858155, 0.858155, Const},  // 105
    {"H2SMW",             "UNITLESS",  nullptr,   34.08088, 34.08088, Const},  // 106
    {"H2SSG",             "UNITLESS",  nullptr,   2.7504,   2.7504,   Const},  // 107
    {"HCNCUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 108
    {"HGOCUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 109
    {"IC4CUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 110
    {"IC4SG",             "UNITLESS",  nullptr,   0.5646,   0.5646,   Const},  // 111
    {"LCNCUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 112
    {"LGOCUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 113
    {"NC4CUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 114
    {"NC4SG",             "UNITLESS",  nullptr,   0.5948,   0.5948,   Const},  // 115
    {"RHOAIR",            "KG/CUM",    nullptr,   0,        100,      Const},  // 116
    {"RHOH2O",            "KG/CUM",    nullptr,   500,      1500,     Const},  // 117
    {"UC4CUTOFF",         "UNITLESS",  nullptr,   1e-19,    1e-19,    Const},  // 118
    {"UC4SG",             "UNITLESS",  nullptr,   0.6008,   0.6008,   Const},  // 119
    {"C32VOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 120
    {"C3VOL",             "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 121
    {"COKVOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 122
    {"FEEDVOL",           "KBBL/DAY",  "CUM/HR",  100,      10000,    Vol},  // 123
    {"FGSVOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 124
    {"H2SVOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 125
    {"HCNVOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 126
    {"HGOVOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 127
    {"IC4VOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 128
    {"LCNVOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 129
    {"LGOVOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 130
    {"NC4VOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 131
    {"UC4VOL",            "KBBL/DAY",  "CUM/HR",  0,        10000,    Vol},  // 132
    {"FGSMOL",            "MMSCFD",    "KMOL/HR", 0,        20000,    Mol},  // 133
    {"H2SMOL",            "MMSCFD",    "KMOL/HR", 0,        20000,    Mol},  // 134
};
static_assert(std::size(kCatalogue) == 134);

// Written in this order by setPELMOVarValues. The eleven cut-offs are the
// floors of the yield fractions; they are fixed but stay off the CONSTANTS port.
constexpr ConstantValue kConstantValues[] = {
    {"COKSG", 2.285},      {"H2SSG", 2.7504},     {"FGSSG", 0.858155},   {"FGSMW", 23.0565},
    {"H2SMW", 34.08088},   {"C3SG", 0.5085},      {"C32SG", 0.5194},     {"IC4SG", 0.5646},
    {"NC4SG", 0.5948},     {"UC4SG", 0.6008},     {"RHOH2O", 999.04},    {"RHOAIR", 1.217},
    {"FGSCUTOFF", 1e-19},  {"C3CUTOFF", 1e-19},   {"C32CUTOFF", 1e-19},  {"NC4CUTOFF", 1e-19},
    {"IC4CUTOFF", 1e-19},  {"UC4CUTOFF", 1e-19},  {"LCNCUTOFF", 1e-19},  {"HCNCUTOFF", 1e-19},
    {"LGOCUTOFF", 1e-19},  {"HGOCUTOFF", 1e-19},  {"COKCUTOFF", 1e-19},
};
static_assert(std::size(kConstantValues) == 23);

}  // namespace

rocoker_1::rocoker_1(const char* name, VerInfo version) : robase2(name, version) { m_modelKind = "COKER"; }

rocoker_1::~rocoker_1() = default;

void rocoker_1::createROMVariables() {
  categorySets(&volumeSet, &molarSet).insert(kCatalogue);
  // The order of the sets decides the variable indices.
  for (std::set<varinfo2>* set : {&inputSet, &nnOutputSet, &factorSet, &calcSet, &constSet, &volumeSet, &molarSet})
    populateVarMan(*set);
}

void rocoker_1::setPELMOVarValues(long long& status) {
  status = 0;
  if (writeConstants(kConstantValues) != 0) status = 1;
}

void rocoker_1::addVarsToVolPort(qiv_port* port) {
  // The feed's volume is an input (or follows from it), not a product.
  addVarsToPortBySuffix(port, std::string("VOL"), volumeSet, std::set<std::string>{"FEEDVOL"});
  addPELMOVarToPort(port, varRecord("C3MIXVOL"));
  addPELMOVarToPort(port, varRecord("C4MIXVOL"));
}

void rocoker_1::addVarsToResultPort(qiv_port* port) {
  addNamesToPort(port, coker::kResultPort);
}
