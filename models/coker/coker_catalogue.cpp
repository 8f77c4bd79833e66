// The coker's variable catalogue (121 rows) and createROMVariables.
#include <string>

#include "models/coker/coker_tables.h"
#include "models/coker/rocoker.h"

namespace coker {

using namespace category;

// Values are in the base unit ("KG/HR", "CUM/HR", "KMOL/HR"); the display unit
// is what the user sees. Network inputs are fixed, network outputs carry the
// adjusted prediction, constants are fixed at their (coinciding) bounds.
const std::array<CatalogueRow, kVariableCount> kCatalogue = {{
    // name, display unit, base unit (null: the display unit serves as both), lower, upper, map
    {"FEEDMASS",           "TONNE/DAY",  "KG/HR",    100,          1000000,      In},  // 1
    {"FEEDSG",             "UNITLESS",   nullptr,    0.9,          1.2,          In},  // 2
    {"FEEDSUL",            "PERCENT",    nullptr,    0,            5,            In},  // 3
    {"FEEDNIT",            "PPM",        nullptr,    300,          10000,        In},  // 4
    {"FEEDCCR",            "PERCENT",    nullptr,    0.01,         30,           In},  // 5
    {"DRUMINLETTEMP",      "F",          nullptr,    850,          950,          In},  // 6
    {"DRUMINLETPRES",      "KPA",        nullptr,    150,          500,          In},  // 7
    {"COMBINEDFEEDRATIO",  "UNITLESS",   nullptr,    1,            1.3,          In},  // 8
    {"LCNECP",             "F",          nullptr,    100,          430,          In},  // 9
    {"HCNECP",             "F",          nullptr,    200,          540,          In},  // 10
    {"LGOECP",             "F",          nullptr,    450,          900,          In},  // 11
    {"FGSFRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 12
    {"C3FRAC",             "FRACTION",   nullptr,    0,            1,            Out},  // 13
    {"C32FRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 14
    {"NC4FRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 15
    {"IC4FRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 16
    {"UC4FRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 17
    {"LCNFRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 18
    {"HCNFRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 19
    {"LGOFRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 20
    {"HGOFRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 21
    {"COKFRAC",            "FRACTION",   nullptr,    0,            1,            Out},  // 22
    {"LCNRELSUL",          "FRACTION",   nullptr,    0.001,        1,            Out},  // 23
    {"HCNRELSUL",          "FRACTION",   nullptr,    0.001,        2,            Out},  // 24
    {"LGORELSUL",          "FRACTION",   nullptr,    0.001,        5,            Out},  // 25
    {"HGORELSUL",          "FRACTION",   nullptr,    0.001,        5,            Out},  // 26
    {"COKRELSUL",          "FRACTION",   nullptr,    0.001,        5,            Out},  // 27
    {"LCNSG",              "UNITLESS",   nullptr,    0.6,          0.85,         Out},  // 28
    {"LCNAROM",            "PERCENT",    nullptr,    0,            100,          Out},  // 29
    {"LCNOLEF",            "PERCENT",    nullptr,    0,            100,          Out},  // 30
    {"LCNNAPH",            "PERCENT",    nullptr,    0,            100,          Out},  // 31
    {"HCNSG",              "UNITLESS",   nullptr,    0.7,          0.85,         Out},  // 32
    {"HCNAROM",            "PERCENT",    nullptr,    0,            100,          Out},  // 33
    {"HCNOLEF",            "PERCENT",    nullptr,    0,            100,          Out},  // 34
    {"HCNNAPH",            "PERCENT",    nullptr,    0,            100,          Out},  // 35
    {"LGOSG",              "UNITLESS",   nullptr,    0.75,         0.9,          Out},  // 36
    {"LGOD86_50",          "F",          nullptr,    200,          300,          Out},  // 37
    {"LGONIT",             "PERCENT",    nullptr,    0,            5000,         Out},  // 38
    {"LGOVISC_122",        "CS",         nullptr,    0,            1000,         Out},  // 39
    {"LGOCLOUDPT",         "F",          nullptr,    -100,         200,          Out},  // 40
    {"LGOCETNO",           "UNITLESS",   nullptr,    10,           100,          Out},  // 41
    {"HGOSG",              "UNITLESS",   nullptr,    0.8,          0.95,         Out},  // 42
    {"HGOD86_50",          "F",          nullptr,    200,          400,          Out},  // 43
    {"HGOANI",             "F",          nullptr,    60,           90,           Out},  // 44
    {"HGOVISC_122",        "CS",         nullptr,    0,            1e7,          Out},  // 45
    {"HGONIT",             "PERCENT",    nullptr,    0,            5000,         Out},  // 46
    {"MASSFACTOR",         "UNITLESS",   nullptr,    -1e30,        1e30,         Fac},  // 47
    {"FEEDVOL",            "KBBL/DAY",   "CUM/HR",   100,          10000,        Vol},  // 48
    {"H2SVOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 49
    {"FGSVOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 50
    {"C3VOL",              "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 51
    {"C32VOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 52
    {"NC4VOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 53
    {"IC4VOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 54
    {"UC4VOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 55
    {"LCNVOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 56
    {"HCNVOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 57
    {"LGOVOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 58
    {"HGOVOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 59
    {"COKVOL",             "KBBL/DAY",   "CUM/HR",   0,            10000,        Vol},  // 60
    {"FGSMOL",             "MMSCFD",     "KMOL/HR",  0,            20000,        Mol},  // 61
    {"H2SMOL",             "MMSCFD",     "KMOL/HR",  0,            20000,        Mol},  // 62
    {"H2SFRAC",            "FRACTION",   nullptr,    0,            1,            Calc},  // 63
    {"FEEDSULMASS",        "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 64
    {"FGSMASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 65
    {"C3MASS",             "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 66
    {"C32MASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 67
    {"C3MIXMASS",          "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 68
    {"UNSATINC3MIX",       "FRACTION",   nullptr,    0,            100000,       Calc},  // 69
    {"SATINC3MIX",         "FRACTION",   nullptr,    0,            100000,       Calc},  // 70
    {"UNSATINC3MIXVOL",    "FRACTION",   nullptr,    0,            100000,       Calc},  // 71
    {"SATINC3MIXVOL",      "FRACTION",   nullptr,    0,            100000,       Calc},  // 72
    {"NC4MASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 73
    {"IC4MASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 74
    {"UC4MASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 75
    {"C4MIXMASS",          "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 76
    {"UNSATINC4MIX",       "FRACTION",   nullptr,    0,            100000,       Calc},  // 77
    {"NSATINC4MIX",        "FRACTION",   nullptr,    0,            100000,       Calc},  // 78
    {"ISATINC4MIX",        "FRACTION",   nullptr,    0,            100000,       Calc},  // 79
    {"UNSATINC4MIXVOL",    "FRACTION",   nullptr,    0,            100000,       Calc},  // 80
    {"NSATINC4MIXVOL",     "FRACTION",   nullptr,    0,            100000,       Calc},  // 81
    {"ISATINC4MIXVOL",     "FRACTION",   nullptr,    0,            100000,       Calc},  // 82
    {"C3MIXVOL",           "KBBL/DAY",   "CUM/HR",   0,            100000,       Calc},  // 83
    {"C4MIXVOL",           "KBBL/DAY",   "CUM/HR",   0,            100000,       Calc},  // 84
    {"LCNN2A",             "PERCENT",    nullptr,    0,            150,          Calc},  // 85
    {"HCNN2A",             "PERCENT",    nullptr,    0,            150,          Calc},  // 86
    {"LGOCETIDX",          "UNITLESS",   nullptr,    0,            1000,         Calc},  // 87
    {"LGOVISCIDX",         "UNITLESS",   nullptr,    -50,          50,           Calc},  // 88
    {"LGOCLOUDIDX",        "UNITLESS",   nullptr,    0,            1e10,         Calc},  // 89
    {"HGOVISCIDX",         "UNITLESS",   nullptr,    -50,          50,           Calc},  // 90
    {"H2SMASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 91
    {"LCNMASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 92
    {"LCNSUL",             "PERCENT",    nullptr,    0,            2,            Calc},  // 93
    {"LCNSULPPM",          "PPM",        nullptr,    0,            20000,        Calc},  // 94
    {"LCNSULMASS",         "TONNE/DAY",  "KG/HR",    0,            50000,        Calc},  // 95
    {"HCNMASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 96
    {"HCNSUL",             "PERCENT",    nullptr,    0,            2,            Calc},  // 97
    {"HCNSULPPM",          "PPM",        nullptr,    0,            20000,        Calc},  // 98
    {"HCNSULMASS",         "TONNE/DAY",  "KG/HR",    0,            50000,        Calc},  // 99
    {"LGOMASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 100
    {"LGOSUL",             "PERCENT",    nullptr,    0,            6,            Calc},  // 101
    {"LGOSULPPM",          "PPM",        nullptr,    0,            60000,        Calc},  // 102
    {"LGOSULMASS",         "TONNE/DAY",  "KG/HR",    0,            50000,        Calc},  // 103
    {"HGOMASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 104
    {"HGOSUL",             "PERCENT",    nullptr,    0,            6,            Calc},  // 105
    {"HGOSULPPM",          "PPM",        nullptr,    0,            60000,        Calc},  // 106
    {"HGOSULMASS",         "TONNE/DAY",  "KG/HR",    0,            50000,        Calc},  // 107
    {"COKMASS",            "TONNE/DAY",  "KG/HR",    0,            1000000,      Calc},  // 108
    {"COKSUL",             "PERCENT",    nullptr,    0,            8,            Calc},  // 109
    {"COKSULPPM",          "PPM",        nullptr,    0,            80000,        Calc},  // 110
    {"COKSULMASS",         "TONNE/DAY",  "KG/HR",    0,            50000,        Calc},  // 111
    {"H2SMW",              "UNITLESS",   nullptr,    34.08088,     34.08088,     Const},  // 112
    {"FGSMW",              "UNITLESS",   nullptr,    23.0565,      23.0565,      Const},  // 113
    {"FGSFOEFACTOR",       "UNITLESS",   nullptr,    0.811249393,  0.811249393,  Const},  // 114
    {"H2SFOEFACTOR",       "UNITLESS",   nullptr,    2.6145,       2.6145,       Const},  // 115
    {"C3SG",               "UNITLESS",   nullptr,    0.5085,       0.5085,       Const},  // 116
    {"C32SG",              "UNITLESS",   nullptr,    0.5194,       0.5194,       Const},  // 117
    {"NC4SG",              "UNITLESS",   nullptr,    0.5948,       0.5948,       Const},  // 118
    {"IC4SG",              "UNITLESS",   nullptr,    0.5646,       0.5646,       Const},  // 119
    {"UC4SG",              "UNITLESS",   nullptr,    0.6008,       0.6008,       Const},  // 120
    {"COKFOEFACTOR",       "UNITLESS",   nullptr,    1.24,         1.24,         Const},  // 121
}};

}  // namespace coker

void rocoker::createROMVariables() {
  // Indices follow the table: the running counter starts at 1.
  m_varCounter = 1;
  addCatalogue(coker::kCatalogue);
  zeroNetworkDerivatives();
}
