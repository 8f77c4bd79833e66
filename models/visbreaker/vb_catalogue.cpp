// The first-generation visbreaker's variable catalogue (101 rows), its
// constant values, and createROMVariables.
#include <stdexcept>
#include <string>

#include "core/helpers.h"
#include "models/visbreaker/rovb.h"
#include "models/visbreaker/vb_tables.h"

namespace vb {

using namespace category;

// Values are in the base unit ("KG/HR", "CUM/HR", "KMOL/HR"); the display unit
// is what the user sees. Both kinds have the same catalogue; the SKR networks
// merely see the feed mass in lb/h. The constants' bounds coincide; FGSMW's
// bounds are 23.0565 while set-up writes 20.65, the value the fuel-gas
// equations work with.
const std::array<CatalogueRow, kVariableCount> kCatalogue = {{
    // name,             display unit, base unit (null: the display unit), lower, upper, map
    {"FEEDMASS",         "TONNE/DAY", "KG/HR",   100,         1000000,     In},  // 1
    {"FEEDSG",           "UNITLESS",  nullptr,   0.9,         1.2,         In},  // 2
    {"FEEDVBI",          "UNITLESS",  nullptr,   -75,         75,          In},  // 3
    {"FEEDSUL",          "PERCENT",   nullptr,   0,           5,           In},  // 4
    {"FEEDVANADIUM",     "PPM",       nullptr,   0,           500,         In},  // 5
    {"FEEDNIT",          "PPM",       nullptr,   0,           10000,       In},  // 6
    {"FURNACETEMP",      "F",         nullptr,   600,         900,         In},  // 7
    {"FEEDCCR",          "PERCENT",   nullptr,   10,          50,          In},  // 8
    {"NAPECP",           "F",         nullptr,   100,         540,         In},  // 9
    {"LGOECP",           "F",         nullptr,   450,         900,         In},  // 10
    {"HGOECP",           "F",         nullptr,   650,         1200,        In},  // 11
    {"FGSFRAC",          "FRACTION",  nullptr,   0,           1,           Out},  // 12
    {"C3FRAC",           "FRACTION",  nullptr,   0,           1,           Out},  // 13
    {"C32FRAC",          "FRACTION",  nullptr,   0,           1,           Out},  // 14
    {"NC4FRAC",          "FRACTION",  nullptr,   0,           1,           Out},  // 15
    {"IC4FRAC",          "FRACTION",  nullptr,   0,           1,           Out},  // 16
    {"UC4FRAC",          "FRACTION",  nullptr,   0,           1,           Out},  // 17
    {"NAPFRAC",          "FRACTION",  nullptr,   0,           1,           Out},  // 18
    {"LGOFRAC",          "FRACTION",  nullptr,   0,           1,           Out},  // 19
    {"HGOFRAC",          "FRACTION",  nullptr,   0,           1,           Out},  // 20
    {"TARFRAC",          "FRACTION",  nullptr,   0,           1,           Out},  // 21
    {"NAPRELSUL",        "FRACTION",  nullptr,   0.001,       2,           Out},  // 22
    {"LGORELSUL",        "FRACTION",  nullptr,   0.001,       5,           Out},  // 23
    {"HGORELSUL",        "FRACTION",  nullptr,   0.001,       5,           Out},  // 24
    {"TARRELSUL",        "FRACTION",  nullptr,   0.001,       5,           Out},  // 25
    {"NAPSG",            "UNITLESS",  nullptr,   0.6,         0.85,        Out},  // 26
    {"LGOSG",            "UNITLESS",  nullptr,   0.75,        0.9,         Out},  // 27
    {"HGOSG",            "UNITLESS",  nullptr,   0.8,         0.95,        Out},  // 28
    {"TARSG",            "UNITLESS",  nullptr,   0.85,        1.1,         Out},  // 29
    {"LGOVBI",           "UNITLESS",  nullptr,   -50,         50,          Out},  // 30
    {"HGOVBI",           "UNITLESS",  nullptr,   -50,         50,          Out},  // 31
    {"TARVBI",           "UNITLESS",  nullptr,   -50,         50,          Out},  // 32
    {"HGOBNT",           "PPM",       nullptr,   0,           5000,        Out},  // 33
    {"TARVAN",           "PPM",       nullptr,   0,           1000,        Out},  // 34
    {"MASSFACTOR",       "UNITLESS",  nullptr,   -1e30,       1e30,        Fac},  // 35
    {"FEEDVOL",          "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 36
    {"C3VOL",            "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 37
    {"C32VOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 38
    {"NC4VOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 39
    {"IC4VOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 40
    {"UC4VOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 41
    {"NAPVOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 42
    {"LGOVOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 43
    {"HGOVOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 44
    {"TARVOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Vol},  // 45
    {"H2SMOL",           "MMSCFD",    "KMOL/HR", 0,           20000,       Mol},  // 46
    {"FGSMOL",           "MMSCFD",    "KMOL/HR", 0,           20000,       Mol},  // 47
    {"CONVERSION",       "PERCENT",   nullptr,   0,           150,         Calc},  // 48
    {"H2SMASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 49
    {"FGSMASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 50
    {"C3MASS",           "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 51
    {"C32MASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 52
    {"NC4MASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 53
    {"IC4MASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 54
    {"UC4MASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 55
    {"NAPMASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 56
    {"LGOMASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 57
    {"HGOMASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 58
    {"TARMASS",          "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 59
    {"FGSVOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Calc},  // 60
    {"H2SVOL",           "KBBL/DAY",  "CUM/HR",  0,           10000,       Calc},  // 61
    {"C3MIXMASS",        "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 62
    {"UNSATINC3MIX",     "FRACTION",  nullptr,   0,           100000,      Calc},  // 63
    {"SATINC3MIX",       "FRACTION",  nullptr,   0,           100000,      Calc},  // 64
    {"C4MIXMASS",        "TONNE/DAY", "KG/HR",   0,           1000000,     Calc},  // 65
    {"UNSATINC4MIX",     "FRACTION",  nullptr,   0,           100000,      Calc},  // 66
    {"NSATINC4MIX",      "FRACTION",  nullptr,   0,           100000,      Calc},  // 67
    {"ISATINC4MIX",      "FRACTION",  nullptr,   0,           100000,      Calc},  // 68
    {"C3MIXVOL",         "KBBL/DAY",  "CUM/HR",  0,           10000,       Calc},  // 69
    {"C4MIXVOL",         "KBBL/DAY",  "CUM/HR",  0,           10000,       Calc},  // 70
    {"UNSATINC3MIXVOL",  "FRACTION",  nullptr,   0,           1000,        Calc},  // 71
    {"SATINC3MIXVOL",    "FRACTION",  nullptr,   0,           1000,        Calc},  // 72
    {"UNSATINC4MIXVOL",  "FRACTION",  nullptr,   0,           1000,        Calc},  // 73
    {"NSATINC4MIXVOL",   "FRACTION",  nullptr,   0,           1000,        Calc},  // 74
    {"ISATINC4MIXVOL",   "FRACTION",  nullptr,   0,           1000,        Calc},  // 75
    {"NAPSULPPM",        "PPM",       nullptr,   0,           20000,       Calc},  // 76
    {"LGOSULPPM",        "PPM",       nullptr,   0,           40000,       Calc},  // 77
    {"HGOSULPPM",        "PPM",       nullptr,   0,           40000,       Calc},  // 78
    {"TARSULPPM",        "PPM",       nullptr,   0,           60000,       Calc},  // 79
    {"FEEDSULMASS",      "TONNE/DAY", "KG/HR",   0,           50000,       Calc},  // 80
    {"NAPSULMASS",       "TONNE/DAY", "KG/HR",   0,           50000,       Calc},  // 81
    {"LGOSULMASS",       "TONNE/DAY", "KG/HR",   0,           50000,       Calc},  // 82
    {"HGOSULMASS",       "TONNE/DAY", "KG/HR",   0,           50000,       Calc},  // 83
    {"TARSULMASS",       "TONNE/DAY", "KG/HR",   0,           50000,       Calc},  // 84
    {"NAPSUL",           "PERCENT",   nullptr,   0,           2,           Calc},  // 85
    {"LGOSUL",           "PERCENT",   nullptr,   0,           4,           Calc},  // 86
    {"HGOSUL",           "PERCENT",   nullptr,   0,           4,           Calc},  // 87
    {"TARSUL",           "PERCENT",   nullptr,   0,           6,           Calc},  // 88
    {"LGOVISC_122",      "CS",        nullptr,   0,           1000,        Calc},  // 89
    {"HGOVISC_122",      "CS",        nullptr,   0,           1e7,         Calc},  // 90
    {"TARVISC_122",      "CS",        nullptr,   0,           1e7,         Calc},  // 91
    {"FEEDVISC",         "CS",        nullptr,   0,           1e10,        Calc},  // 92
    {"FGSFOEFACTOR",     "UNITLESS",  nullptr,   0.811249393, 0.811249393, Const},  // 93
    {"H2SFOEFACTOR",     "UNITLESS",  nullptr,   2.6145,      2.6145,      Const},  // 94
    {"C3SG",             "UNITLESS",  nullptr,   0.5085,      0.5085,      Const},  // 95
    {"C32SG",            "UNITLESS",  nullptr,   0.5194,      0.5194,      Const},  // 96
    {"IC4SG",            "UNITLESS",  nullptr,   0.5646,      0.5646,      Const},  // 97
    {"NC4SG",            "UNITLESS",  nullptr,   0.5948,      0.5948,      Const},  // 98
    {"UC4SG",            "UNITLESS",  nullptr,   0.6008,      0.6008,      Const},  // 99
    {"FGSMW",            "UNITLESS",  nullptr,   23.0565,     23.0565,     Const},  // 100
    {"H2SMW",            "UNITLESS",  nullptr,   34.08088,    34.08088,    Const},  // 101
}};

const std::array<ConstantValue, 9> kConstantValues = {{
    {"FGSFOEFACTOR", 0.811249393},
    {"H2SFOEFACTOR", 2.6145},
    {"C3SG", 0.5085},
    {"C32SG", 0.5194},
    {"IC4SG", 0.5646},
    {"NC4SG", 0.5948},
    {"UC4SG", 0.6008},
    {"FGSMW", 20.65},
    {"H2SMW", 34.08088},
}};

}  // namespace vb

void rovb::createROMVariables() {
  // Indices follow the table: the running counter starts at 1.
  m_varCounter = 1;
  addCatalogue(vb::kCatalogue);
  zeroNetworkDerivatives();
}
