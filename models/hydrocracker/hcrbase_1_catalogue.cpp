// hcrbase_1: construction, the variable catalogue, the constants' values and
// the two ports the block fills itself.
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>

#include "models/hydrocracker/hcrbase_1.h"

namespace {

using namespace category;

// The rows a block takes: its base rows, and those of the products it makes.
enum Group : unsigned { B, K, D };  // base, kerosene, diesel

// Flows are held in their base unit ("KG/HR", "CUM/HR", "KMOL/HR"); the
// display unit is only shown. Constants sit at coinciding bounds, except the
// two densities. Positions follow from the sets, not from this order.
constexpr CatalogueRow kCatalogue[] = {
    // name, display unit, base unit, lower, upper, set, group
    {"FEEDMASS",     "TONNE/DAY", "KG/HR",   100,      1000000,  In,    B},
    {"CONVERSION",   "PERCENT",   nullptr,   0,        120,      In,    B},
    {"CATAGE",       "PERCENT",   nullptr,   0,        100,      In,    B},
    {"FEEDSG",       "UNITLESS",  nullptr,   0.7,      1,        In,    B},
    {"FEEDT50",      "F",         nullptr,   600,      1000,     In,    B},
    {"FEEDSUL",      "PERCENT",   nullptr,   0,        5,        In,    B},
    {"FEEDNIT",      "PPM",       nullptr,   0,        6000,     In,    B},
    {"FEEDBRNO",     "UNITLESS",  nullptr,   0,        20,       In,    B},
    {"HCNECP",       "F",         nullptr,   200,      540,      In,    B},
    {"LCNECP",       "F",         nullptr,   100,      430,      In,    B},
    {"KERECP",       "F",         nullptr,   300,      650,      In,    K},
    {"DSLECP",       "F",         nullptr,   500,      800,      In,    D},
    // Network outputs: yields, gravities, sulfur relative to the feed's,
    // naphtha qualities, heavy-end properties and hydrogen contents.
    {"H2SFRAC",      "FRACTION",  nullptr,   0,        1,        Out,   B},
    {"H2FRAC",       "FRACTION",  nullptr,   0,        1,        Out,   B},
    {"C3FRAC",       "FRACTION",  nullptr,   0,        1,        Out,   B},
    {"NC4FRAC",      "FRACTION",  nullptr,   0,        1,        Out,   B},
    {"IC4FRAC",      "FRACTION",  nullptr,   0,        1,        Out,   B},
    {"LCNFRAC",      "FRACTION",  nullptr,   0,        1,        Out,   B},
    {"HCNFRAC",      "FRACTION",  nullptr,   0,        1,        Out,   B},
    {"UCOFRAC",      "FRACTION",  nullptr,   0,        1,        Out,   B},
    {"LCNSG",        "UNITLESS",  nullptr,   0.6,      0.85,     Out,   B},
    {"HCNSG",        "UNITLESS",  nullptr,   0.7,      0.9,      Out,   B},
    {"UCOSG",        "UNITLESS",  nullptr,   0.8,      1,        Out,   B},
    {"LCNRELSUL",    "PERCENT",   nullptr,   0,        1,        Out,   B},
    {"HCNRELSUL",    "PERCENT",   nullptr,   0,        1,        Out,   B},
    {"UCORELSUL",    "PERCENT",   nullptr,   0,        1,        Out,   B},
    {"LCNRON",       "UNITLESS",  nullptr,   20,       120,      Out,   B},
    {"LCNMON",       "UNITLESS",  nullptr,   20,       120,      Out,   B},
    {"HCNRON",       "UNITLESS",  nullptr,   20,       120,      Out,   B},
    {"HCNMON",       "UNITLESS",  nullptr,   20,       120,      Out,   B},
    {"LCNRVP",       "KPA",       nullptr,   0,        200,      Out,   B},
    {"HCNRVP",       "KPA",       nullptr,   0,        200,      Out,   B},
    {"LCNAROM",      "PERCENT",   nullptr,   0,        100,      Out,   B},
    {"LCNNAPH",      "PERCENT",   nullptr,   0,        100,      Out,   B},
    {"HCNAROM",      "PERCENT",   nullptr,   0,        100,      Out,   B},
    {"HCNNAPH",      "PERCENT",   nullptr,   0,        100,      Out,   B},
    {"UCOVISC_122",  "CS",        nullptr,   0,        2000,     Out,   B},
    {"UCOD86_50",    "F",         nullptr,   600,      1000,     Out,   B},
    {"LCNHYD",       "PERCENT",   nullptr,   0,        20,       Out,   B},
    {"HCNHYD",       "PERCENT",   nullptr,   0,        20,       Out,   B},
    {"UCOHYD",       "PERCENT",   nullptr,   0,        20,       Out,   B},
    {"FEEDHYD",      "PERCENT",   nullptr,   0,        20,       Out,   B},
    {"KERFRAC",      "FRACTION",  nullptr,   0,        1,        Out,   K},
    {"KERSG",        "UNITLESS",  nullptr,   0.75,     0.95,     Out,   K},
    {"KERRELSUL",    "PERCENT",   nullptr,   0,        1,        Out,   K},
    {"KERAROM",      "PERCENT",   nullptr,   0,        100,      Out,   K},
    {"KERCETNO",     "UNITLESS",  nullptr,   0,        500,      Out,   K},
    {"KERFREEZEPT",  "F",         nullptr,   -270,     500,      Out,   K},
    {"KERCLOUDPT",   "F",         nullptr,   -200,     500,      Out,   K},
    {"KERSMOKEPT",   "MM",        nullptr,   1,        50,       Out,   K},
    {"KERD86_50",    "F",         nullptr,   300,      600,      Out,   K},
    {"KERVISC_122",  "CS",        nullptr,   0,        100,      Out,   K},
    {"KERHYD",       "PERCENT",   nullptr,   0,        20,       Out,   K},
    {"DSLFRAC",      "FRACTION",  nullptr,   0,        1,        Out,   D},
    {"DSLSG",        "UNITLESS",  nullptr,   0.8,      1,        Out,   D},
    {"DSLRELSUL",    "PERCENT",   nullptr,   0,        1,        Out,   D},
    {"DSLCETNO",     "UNITLESS",  nullptr,   0,        500,      Out,   D},
    {"DSLCLOUDPT",   "F",         nullptr,   -200,     500,      Out,   D},
    {"DSLD86_50",    "F",         nullptr,   550,      850,      Out,   D},
    {"DSLVISC_122",  "CS",        nullptr,   0,        100,      Out,   D},
    {"DSLHYD",       "PERCENT",   nullptr,   0,        20,       Out,   D},
    // Computed variables.
    {"FEEDVOL",      "KBBL/DAY",  "CUM/HR",  100,      10000,    Calc,  B},
    {"H2SVOL",       "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  B},
    {"FGSVOL",       "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  B},
    {"H2VOL",        "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  B},
    {"C3VOL",        "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  B},
    {"NC4VOL",       "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  B},
    {"IC4VOL",       "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  B},
    {"LCNVOL",       "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  B},
    {"HCNVOL",       "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  B},
    {"UCOVOL",       "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  B},
    {"H2SMOL",       "MMSCFD",    "KMOL/HR", 0,        20000,    Calc,  B},
    {"FGSMOL",       "MMSCFD",    "KMOL/HR", 0,        20000,    Calc,  B},
    {"H2MOL",        "MMSCFD",    "KMOL/HR", 0,        20000,    Calc,  B},
    {"H2SMASS",      "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  B},
    {"FGSMASS",      "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  B},
    {"H2MASS",       "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  B},
    {"C3MASS",       "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  B},
    {"NC4MASS",      "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  B},
    {"IC4MASS",      "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  B},
    {"LCNMASS",      "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  B},
    {"HCNMASS",      "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  B},
    {"UCOMASS",      "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  B},
    {"LCNSUL",       "PERCENT",   nullptr,   0,        2,        Calc,  B},
    {"HCNSUL",       "PERCENT",   nullptr,   0,        2,        Calc,  B},
    {"UCOSUL",       "PERCENT",   nullptr,   0,        2,        Calc,  B},
    {"LCNSULPPM",    "PPM",       nullptr,   0,        20000,    Calc,  B},
    {"HCNSULPPM",    "PPM",       nullptr,   0,        20000,    Calc,  B},
    {"UCOSULPPM",    "PPM",       nullptr,   0,        20000,    Calc,  B},
    {"FEEDHYDMASS",  "KG/HR",     nullptr,   0,        100000,   Calc,  B},
    {"H2SHYDMASS",   "KG/HR",     nullptr,   0,        100000,   Calc,  B},
    {"FGSHYDMASS",   "KG/HR",     nullptr,   0,        100000,   Calc,  B},
    {"C3HYDMASS",    "KG/HR",     nullptr,   0,        100000,   Calc,  B},
    {"NC4HYDMASS",   "KG/HR",     nullptr,   0,        100000,   Calc,  B},
    {"IC4HYDMASS",   "KG/HR",     nullptr,   0,        100000,   Calc,  B},
    {"LCNHYDMASS",   "KG/HR",     nullptr,   0,        100000,   Calc,  B},
    {"HCNHYDMASS",   "KG/HR",     nullptr,   0,        100000,   Calc,  B},
    {"UCOHYDMASS",   "KG/HR",     nullptr,   0,        100000,   Calc,  B},
    {"LCNRVI",       "UNITLESS",  nullptr,   0,        500,      Calc,  B},
    {"HCNRVI",       "UNITLESS",  nullptr,   0,        500,      Calc,  B},
    {"LCNNA",        "PERCENT",   nullptr,   0,        200,      Calc,  B},
    {"HCNNA",        "PERCENT",   nullptr,   0,        200,      Calc,  B},
    {"UCOVISCIDX",   "UNITLESS",  nullptr,   -50,      50,       Calc,  B},
    {"TOTCONV",      "PERCENT",   nullptr,   0,        100,      Calc,  B},
    {"KERVOL",       "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  K},
    {"KERCETIDX",    "UNITLESS",  nullptr,   -50,      1000,     Calc,  K},
    {"KERFREEZEIDX", "UNITLESS",  nullptr,   -50,      1000000,  Calc,  K},
    {"KERCLOUDIDX",  "UNITLESS",  nullptr,   0,        1e10,     Calc,  K},
    {"KERSMOKEIDX",  "UNITLESS",  nullptr,   0,        10,       Calc,  K},
    {"KERVISCIDX",   "UNITLESS",  nullptr,   -50,      50,       Calc,  K},
    {"KERMASS",      "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  K},
    {"KERSUL",       "PERCENT",   nullptr,   0,        2,        Calc,  K},
    {"KERSULPPM",    "PPM",       nullptr,   0,        20000,    Calc,  K},
    {"KERHYDMASS",   "KG/HR",     nullptr,   0,        100000,   Calc,  K},
    {"DSLVOL",       "KBBL/DAY",  "CUM/HR",  0,        10000,    Calc,  D},
    {"DSLCETIDX",    "UNITLESS",  nullptr,   -50,      1000,     Calc,  D},
    {"DSLCLOUDIDX",  "UNITLESS",  nullptr,   0,        1e10,     Calc,  D},
    {"DSLVISCIDX",   "UNITLESS",  nullptr,   -50,      50,       Calc,  D},
    {"DSLMASS",      "TONNE/DAY", "KG/HR",   0,        1000000,  Calc,  D},
    {"DSLSUL",       "PERCENT",   nullptr,   0,        2,        Calc,  D},
    {"DSLSULPPM",    "PPM",       nullptr,   0,        20000,    Calc,  D},
    {"DSLHYDMASS",   "KG/HR",     nullptr,   0,        100000,   Calc,  D},
    {"MASSFACTOR",   "UNITLESS",  nullptr,   0.5,      1.5,      Fac,   B},
    // Constants: molar masses, gravities, hydrogen contents (percent), the
    // water and air densities, and the floors of the yield fractions.
    {"H2SMW",        "UNITLESS",  nullptr,   34.08088, 34.08088, Const, B},
    {"FGSMW",        "UNITLESS",  nullptr,   23.0565,  23.0565,  Const, B},
    {"H2MW",         "UNITLESS",  nullptr,   2.01588,  2.01588,  Const, B},
    {"H2SSG",        "UNITLESS",  nullptr,   2.7504,   2.7504,   Const, B},
    {"FGSSG",        "UNITLESS",  nullptr,   0.858155, 0.858155, Const, B},
    {"H2SG",         "UNITLESS",  nullptr,   0.3485,   0.3485,   Const, B},
    {"C3SG",         "UNITLESS",  nullptr,   0.5085,   0.5085,   Const, B},
    {"NC4SG",        "UNITLESS",  nullptr,   0.5948,   0.5948,   Const, B},
    {"IC4SG",        "UNITLESS",  nullptr,   0.5646,   0.5646,   Const, B},
    {"H2SHYD",       "PERCENT",   nullptr,   5.882,    5.882,    Const, B},
    {"FGSHYD",       "PERCENT",   nullptr,   22.6,     22.6,     Const, B},
    {"C3HYD",        "PERCENT",   nullptr,   18.182,   18.182,   Const, B},
    {"NC4HYD",       "PERCENT",   nullptr,   17.24,    17.24,    Const, B},
    {"IC4HYD",       "PERCENT",   nullptr,   17.24,    17.24,    Const, B},
    {"RHOH2O",       "KG/CUM",    nullptr,   500,      1500,     Const, B},
    {"RHOAIR",       "KG/CUM",    nullptr,   0,        100,      Const, B},
    {"H2SCUTOFF",    "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, B},
    {"H2CUTOFF",     "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, B},
    {"C3CUTOFF",     "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, B},
    {"NC4CUTOFF",    "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, B},
    {"IC4CUTOFF",    "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, B},
    {"LCNCUTOFF",    "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, B},
    {"HCNCUTOFF",    "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, B},
    {"UCOCUTOFF",    "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, B},
    {"KERCUTOFF",    "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, K},
    {"DSLCUTOFF",    "UNITLESS",  nullptr,   1e-19,    1e-19,    Const, D},
};
static_assert(std::size(kCatalogue) == 108 + 23 + 18);

// The base constants in the order setPELMOVarValues writes them. The
// cut-offs floor the yield fractions; they are fixed but stay off the
// CONSTANTS port. The models with KER or DSL write those cut-offs themselves.
constexpr ConstantValue kConstantValues[] = {
    {"H2SMW", 34.08088},  {"H2MW", 2.01588},     {"FGSMW", 23.0565},    {"H2SSG", 2.7504},
    {"FGSSG", 0.858155},  {"H2SG", 0.3485},      {"C3SG", 0.5085},      {"NC4SG", 0.5948},
    {"IC4SG", 0.5646},    {"H2SHYD", 5.882},     {"FGSHYD", 22.6},      {"C3HYD", 18.182},
    {"NC4HYD", 17.24},    {"IC4HYD", 17.24},     {"RHOH2O", 999.04},    {"RHOAIR", 1.217},
    {"H2SCUTOFF", 1e-19}, {"H2CUTOFF", 1e-19},   {"C3CUTOFF", 1e-19},   {"NC4CUTOFF", 1e-19},
    {"IC4CUTOFF", 1e-19}, {"LCNCUTOFF", 1e-19},  {"HCNCUTOFF", 1e-19},  {"UCOCUTOFF", 1e-19},
};
static_assert(std::size(kConstantValues) == 24);

bool contains(const std::string& name, const char* part) { return name.find(part) != std::string::npos; }

bool containsAny(const std::string& name, std::initializer_list<const char*> parts) {
  for (const char* p : parts)
    if (contains(name, p)) return true;
  return false;
}

}  // namespace

hcrbase_1::hcrbase_1(const char* name, VerInfo version)
    : robase2(name, version),
      streamSet{"C3", "FEED", "FGS", "H2", "H2S", "HCN", "IC4", "LCN", "NC4", "UCO"},
      productSet{"HCN", "LCN", "UCO"} {}

hcrbase_1::~hcrbase_1() = default;

namespace {

// The rows of one group.
RowFilter groupRows(Group group) {
  return [group](const CatalogueRow& row) { return row.group == group; };
}

}  // namespace

void hcrbase_1::createROMVariables() {
  categorySets().insert(kCatalogue, groupRows(B));
  // The order of the sets decides the variable numbers.
  populateVarMan(inputSet);
  populateVarMan(nnOutputSet);
  populateVarMan(constSet);
  populateVarMan(calcSet);
  populateVarMan(factorSet);
}

void hcrbase_1::createKERVariables() { categorySets().insert(kCatalogue, groupRows(K)); }

void hcrbase_1::createDSLVariables() { categorySets().insert(kCatalogue, groupRows(D)); }

void hcrbase_1::addRecycleRate(double upper) { inputSet.insert(varinfo2("RCYRATE", "PERCENT", 0.0, upper)); }

void hcrbase_1::addProduct(const std::string& product) {
  streamSet.insert(product);
  productSet.insert(product);
}

bool hcrbase_1::writeValue(const char* name, double value) {
  return setPELMOVarValue(varRecord(name), value) == 0;
}

void hcrbase_1::setPELMOVarValues(long long& status) {
  status = 0;
  bool failed = writeConstants(kConstantValues) != 0;
  // The catalogue allows 120 % for the networks' sake; the unit's conversion
  // is a percentage of its feed.
  if (m_varMan.setLower("CONVERSION", 0.0) != 0) failed = true;
  if (m_varMan.setUpper("CONVERSION", 100.0) != 0) failed = true;
  status = failed ? 1 : 0;
}

void hcrbase_1::specifyTotalConversion(long long& status) {
  if (status == 0) robase2::setPELMOVarSpecs(status);
  // With a recycle the total conversion is what the user specifies; the
  // networks' CONVERSION follows from it.
  const bool freed = m_varMan.setVarSpec("CONVERSION", "CALC") == 0;
  const bool fixed = m_varMan.setVarSpec("TOTCONV", "CONST") == 0;
  if ((!freed || !fixed) && status == 0) status = 1;
}

void hcrbase_1::addVarsToVolPort(qiv_port* port) {
  // The feed's volume is an input (or follows from it), not a product.
  addVarsToPortBySuffix(port, std::string("VOL"), calcSet, std::set<std::string>{"FEEDVOL"});
}

void hcrbase_1::addVarsToResultPort(qiv_port* port) {
  // Substring tests: the MOL, SUL, SULPPM, RVI, NA and IDX variables are
  // results; flows and the specified total conversion are not.
  for (const varinfo2& v : calcSet)
    if (!containsAny(v.name, {"TOTCONV", "MASS", "VOL"})) addPELMOVarToPort(port, varRecord(v.name));
  // Product qualities are results; yields, relative sulfur and hydrogen
  // contents only feed the balances.
  for (const varinfo2& v : nnOutputSet)
    if (!containsAny(v.name, {"FRAC", "RELSUL", "HYD"})) addPELMOVarToPort(port, varRecord(v.name));
}
