// roref_1: the type name, the NA basis, the variable sets of the base and of
// the three layouts, attributes, values, specifications, ports and the block
// description.
#include "models/reformer/roref_1.h"

#include <stdexcept>

#include "core/helpers.h"

namespace {

using namespace category;

constexpr const char* kg = "KG/HR";
constexpr const char* tpd = "TONNE/DAY";
constexpr const char* cum = "CUM/HR";
constexpr const char* kbd = "KBBL/DAY";
constexpr const char* kmol = "KMOL/HR";
constexpr const char* mmscfd = "MMSCFD";

// The shared rows; CATAGE is added in the "SEMI" mode only.
constexpr CatalogueRow kBaseRows[] = {
    {"FEEDMASS",    tpd,        kg,      100,  1000000, In},
    {"FEEDAROM",    "PERCENT",  nullptr, 0,    100,     In},
    {"FEEDNAPH",    "PERCENT",  nullptr, 0,    100,     In},
    {"TARGETRON",   "UNITLESS", nullptr, 70,   120,     In},
    {"MEABP",       "F",        nullptr, 200,  400,     In},
    {"H2FRAC",      "FRACTION", nullptr, 0,    1,       Out},
    {"C3FRAC",      "FRACTION", nullptr, 0,    1,       Out},
    {"NC4FRAC",     "FRACTION", nullptr, 0,    1,       Out},
    {"IC4FRAC",     "FRACTION", nullptr, 0,    1,       Out},
    {"MASSFACTOR",  "UNITLESS", nullptr, 0.5,  1.5,     Fac},
    {"FEEDVOL",     kbd,        cum,     10,   10000,   Vol},
    {"FGSVOL",      kbd,        cum,     0,    10000,   Vol},
    {"H2VOL",       kbd,        cum,     0,    10000,   Vol},
    {"C3VOL",       kbd,        cum,     0,    10000,   Vol},
    {"IC4VOL",      kbd,        cum,     0,    10000,   Vol},
    {"NC4VOL",      kbd,        cum,     0,    10000,   Vol},
    {"FGSMOL",      mmscfd,     kmol,    0,    20000,   Mol},
    {"H2MOL",       mmscfd,     kmol,    0,    20000,   Mol},
    {"FEEDSG",      "UNITLESS", nullptr, 0.67, 0.8,     Calc},
    {"FEEDHYD",     "PERCENT",  nullptr, 0,    20,      Calc},
    {"FEEDCNO",     "UNITLESS", nullptr, 4,    15,      Calc},
    {"H2MASS",      tpd,        kg,      0,    1000000, Calc},
    {"FGSMASS",     tpd,        kg,      0,    1000000, Calc},
    {"C3MASS",      tpd,        kg,      0,    1000000, Calc},
    {"NC4MASS",     tpd,        kg,      0,    1000000, Calc},
    {"IC4MASS",     tpd,        kg,      0,    1000000, Calc},
    {"FEEDHYDMASS", tpd,        kg,      0,    100000,  Calc},
    {"FGSHYDMASS",  tpd,        kg,      0,    100000,  Calc},
    {"FEEDNA",      "PERCENT",  nullptr, 0,    100,     Calc},
};
constexpr CatalogueRow kSemiRows[] = {{"CATAGE", "PERCENT", nullptr, 0, 100, In}};

// The constants with their values, in the order they are written.
struct Constant {
  const char* name;
  const char* unit;
  double lower;
  double upper;
  double value;
};
constexpr double kCutoff = 1e-19;
constexpr Constant kConstants[] = {
    {"FGSMW", "UNITLESS", 20.65, 20.65, 20.65},
    {"FGSHYD", "PERCENT", 22.6, 22.6, 22.6},
    {"FGSSG", "UNITLESS", 0.858155, 0.858155, 0.858155},
    {"H2SG", "UNITLESS", 0.3485, 0.3485, 0.3485},
    {"RATIONA", "UNITLESS", 7.0, 7.0, 7.0},
    {"H2MW", "UNITLESS", 2.01588, 2.01588, 2.01588},
    {"C3SG", "UNITLESS", 0.5085, 0.5085, 0.5085},
    {"NC4SG", "UNITLESS", 0.5948, 0.5948, 0.5948},
    {"IC4SG", "UNITLESS", 0.5646, 0.5646, 0.5646},
    {"RHOH2O", "KG/CUM", 500, 1500, 999.04},
    {"RHOAIR", "KG/CUM", 0, 100, 1.217},
    {"H2CUTOFF", "UNITLESS", kCutoff, kCutoff, kCutoff},
    {"FGSCUTOFF", "UNITLESS", kCutoff, kCutoff, kCutoff},
    {"C3CUTOFF", "UNITLESS", kCutoff, kCutoff, kCutoff},
    {"NC4CUTOFF", "UNITLESS", kCutoff, kCutoff, kCutoff},
    {"IC4CUTOFF", "UNITLESS", kCutoff, kCutoff, kCutoff},
};

// The rows of each layout: network outputs, one volume, mass, hydrogen mass
// and cut-off per product.
const std::vector<CatalogueRow>& layoutRows(Ref1Layout layout) {
  static const std::vector<CatalogueRow> oneReformate = {
      {"RFTFRAC",    "FRACTION", nullptr, 0,       1,       Out},
      {"RFTSG",      "UNITLESS", nullptr, 0.7,     0.9,     Out},
      {"RFTRON",     "UNITLESS", nullptr, 20,      120,     Out},
      {"RFTMON",     "UNITLESS", nullptr, 20,      120,     Out},
      {"RFTOLEF",    "PERCENT",  nullptr, 0,       100,     Out},
      {"RFTAROM",    "PERCENT",  nullptr, 0,       100,     Out},
      {"RFTBENZ",    "PERCENT",  nullptr, 0,       100,     Out},
      {"RFTRVP",     "KPA",      nullptr, 0,       200,     Out},
      {"RFTHYD",     "PERCENT",  nullptr, 0,       20,      Out},
      {"RFTVOL",     kbd,        cum,     0,       10000,   Vol},
      {"RFTMASS",    tpd,        kg,      0,       1000000, Calc},
      {"RFTHYDMASS", tpd,        kg,      0,       100000,  Calc},
      {"RFTCUTOFF",  "UNITLESS", nullptr, kCutoff, kCutoff, Const},
  };
  static const std::vector<CatalogueRow> twoReformates = {
      {"RF1FRAC",    "FRACTION", nullptr, 0,       1,       Out},
      {"RF2FRAC",    "FRACTION", nullptr, 0,       1,       Out},
      {"RF1SG",      "UNITLESS", nullptr, 0.7,     0.9,     Out},
      {"RF2SG",      "UNITLESS", nullptr, 0.75,    0.95,    Out},
      {"RF1RON",     "UNITLESS", nullptr, 20,      120,     Out},
      {"RF1MON",     "UNITLESS", nullptr, 20,      120,     Out},
      {"RF2RON",     "UNITLESS", nullptr, 20,      120,     Out},
      {"RF2MON",     "UNITLESS", nullptr, 20,      120,     Out},
      {"RF1OLEF",    "PERCENT",  nullptr, 0,       100,     Out},
      {"RF1AROM",    "PERCENT",  nullptr, 0,       100,     Out},
      {"RF1BENZ",    "PERCENT",  nullptr, 0,       100,     Out},
      {"RF2OLEF",    "PERCENT",  nullptr, 0,       100,     Out},
      {"RF2AROM",    "PERCENT",  nullptr, 0,       100,     Out},
      {"RF2BENZ",    "PERCENT",  nullptr, 0,       100,     Out},
      {"RF1RVP",     "KPA",      nullptr, 0,       100,     Out},  // not 200
      {"RF2RVP",     "KPA",      nullptr, 0,       200,     Out},
      {"RF1HYD",     "PERCENT",  nullptr, 0,       20,      Out},
      {"RF2HYD",     "PERCENT",  nullptr, 0,       20,      Out},
      {"RF1VOL",     kbd,        cum,     0,       10000,   Vol},
      {"RF2VOL",     kbd,        cum,     0,       10000,   Vol},
      {"RF1MASS",    tpd,        kg,      0,       1000000, Calc},
      {"RF2MASS",    tpd,        kg,      0,       1000000, Calc},
      {"RF1HYDMASS", tpd,        kg,      0,       100000,  Calc},
      {"RF2HYDMASS", tpd,        kg,      0,       100000,  Calc},
      {"RF1CUTOFF",  "UNITLESS", nullptr, kCutoff, kCutoff, Const},
      {"RF2CUTOFF",  "UNITLESS", nullptr, kCutoff, kCutoff, Const},
  };
  static const std::vector<CatalogueRow> aromatics = {
      {"AROFRAC",    "FRACTION", nullptr, 0,       1,       Out},
      {"RAFFRAC",    "FRACTION", nullptr, 0,       1,       Out},
      {"AROBENZ",    "PERCENT",  nullptr, 0,       100,     Out},
      {"AROTOL",     "PERCENT",  nullptr, 0,       100,     Out},
      {"AROXYL",     "PERCENT",  nullptr, 0,       100,     Out},
      {"AROC9P",     "PERCENT",  nullptr, 0,       100,     Out},
      {"AROSG",      "UNITLESS", nullptr, 0.8,     0.95,    Out},
      {"RAFSG",      "UNITLESS", nullptr, 0.6,     0.8,     Out},
      {"RAFHYD",     "PERCENT",  nullptr, 0,       20,      Out},
      {"AROVOL",     kbd,        cum,     0,       10000,   Vol},
      {"RAFVOL",     kbd,        cum,     0,       10000,   Vol},
      // Computed from the composition by "EQN_AROHYD": no network.
      {"AROHYD",     "PERCENT",  nullptr, 0,       20,      Calc},
      {"AROMASS",    tpd,        kg,      0,       1000000, Calc},
      {"RAFMASS",    tpd,        kg,      0,       1000000, Calc},
      {"AROHYDMASS", tpd,        kg,      0,       100000,  Calc},
      {"RAFHYDMASS", tpd,        kg,      0,       100000,  Calc},
      {"AROCUTOFF",  "UNITLESS", nullptr, kCutoff, kCutoff, Const},
      {"RAFCUTOFF",  "UNITLESS", nullptr, kCutoff, kCutoff, Const},
  };
  switch (layout) {
    case Ref1Layout::OneReformate: return oneReformate;
    case Ref1Layout::TwoReformates: return twoReformates;
    case Ref1Layout::Aromatics: return aromatics;
  }
  throw std::invalid_argument("unknown reformer layout");
}

// The "OUTRES" entries of each layout, before FGSMOL and H2MOL.
const std::vector<std::string>& layoutResults(Ref1Layout layout) {
  static const std::vector<std::string> oneReformate = {"RFTSG",   "RFTRON",  "RFTMON", "RFTOLEF",
                                                        "RFTAROM", "RFTBENZ", "RFTRVP", "RFTHYD"};
  static const std::vector<std::string> twoReformates = {
      "RF1SG", "RF1RON", "RF1MON", "RF1OLEF", "RF1AROM", "RF1BENZ", "RF1RVP", "RF1HYD",
      "RF2SG", "RF2RON", "RF2MON", "RF2OLEF", "RF2AROM", "RF2BENZ", "RF2RVP", "RF2HYD"};
  static const std::vector<std::string> aromatics = {"AROBENZ", "AROTOL", "AROXYL", "AROC9P",
                                                     "AROSG",   "AROHYD", "RAFSG",  "RAFHYD"};
  switch (layout) {
    case Ref1Layout::OneReformate: return oneReformate;
    case Ref1Layout::TwoReformates: return twoReformates;
    case Ref1Layout::Aromatics: return aromatics;
  }
  throw std::invalid_argument("unknown reformer layout");
}

struct NaBasisRow {
  const char* text;
  double factor;
};
constexpr NaBasisRow kNaBases[] = {{"N+A", 1.0}, {"N+1.5A", 1.5}, {"N+2A", 2.0}, {"N+3A", 3.0}};

constexpr const char* kModelAttrs[] = {"HYDBALBIAS", "HYDBALSLOPETARGETRON", "HYDBALSLOPENAPH", "HYDBALSLOPEAROM"};
constexpr int kModelAttrCode = 3;

bool endsWith(const std::string& name, const char* suffix) {
  const std::string s = suffix;
  return name.size() >= s.size() && name.compare(name.size() - s.size(), s.size(), s) == 0;
}

}  // namespace

// ---- Type name ----------------------------------------------------------------------

std::pair<std::int32_t, std::int32_t> parseReformerModelType(const std::string& typeName) {
  const std::size_t first = typeName.find('_');
  const std::size_t p1 = first == std::string::npos ? 0 : first + 1;
  const std::size_t second = typeName.find('_', p1);
  const std::size_t p2 = second == std::string::npos ? 0 : second + 1;

  std::int32_t mode = -1, layout = -1;
  const std::string modeWord = typeName.substr(std::min(p1, typeName.size()), 4);
  if (modeWord == "CONT") mode = 1;
  if (modeWord == "SEMI") mode = 0;
  const std::string slateWord = typeName.substr(std::min(p2, typeName.size()), 2);
  if (slateWord == "1R") {
    layout = 0;
  } else if (slateWord == "2R") {
    layout = 1;
  } else if (p2 < typeName.size() && typeName[p2] == 'A') {
    layout = 2;
  }
  return {mode, layout};
}

std::vector<std::string> reformerProducts(Ref1Layout layout) {
  switch (layout) {
    case Ref1Layout::OneReformate: return {"RFT"};
    case Ref1Layout::TwoReformates: return {"RF1", "RF2"};
    case Ref1Layout::Aromatics: return {"ARO", "RAF"};
  }
  throw std::invalid_argument("unknown reformer layout");
}

void fillReformerReactionSpec(ROEqnSupplier::ReactionSpec& spec, const std::string& typeName) {
  const std::int32_t layout = parseReformerModelType(typeName).second;
  if (layout < 0) throw std::invalid_argument("reformer type name without a layout: " + typeName);
  spec.streams = {"FEED", "H2", "FGS", "C3", "NC4", "IC4"};
  for (const std::string& p : reformerProducts(static_cast<Ref1Layout>(layout))) spec.streams.push_back(p);
  spec.inletStreams = {"FEED"};
  spec.compSuffix = "HYD";
  // Hydrogen shares of the light ends: H2, C3H8 and the butanes.
  spec.inlineCompFracs = {{"H2", 1.0}, {"C3", 0.18182}, {"NC4", 0.1724}, {"IC4", 0.1724}};
  spec.feedStream = "FEED";
  spec.secondStream = "FGS";
  spec.consumerMode = 1;
  spec.inlineFracFlag = true;
  spec.compConvFlag = false;
  spec.thirdFlag = true;
  // The hydrogen the modelled products do not carry: a bias and three slopes,
  // each scaled by the feed mass.
  spec.consumerTerms = {{"HYDBALBIAS", {"FEEDMASS"}},
                        {"HYDBALSLOPETARGETRON", {"TARGETRON", "FEEDMASS"}},
                        {"HYDBALSLOPENAPH", {"FEEDNAPH", "FEEDMASS"}},
                        {"HYDBALSLOPEAROM", {"FEEDAROM", "FEEDMASS"}}};
}

// ---- Construction, NA basis ---------------------------------------------------------

roref_1::roref_1(const char* name, VerInfo version) : robase2(name, version) {}

roref_1::~roref_1() = default;

void roref_1::setNABasis(const char* text) {
  if (!text) return;
  const std::string basis = toUpper(text);
  for (const NaBasisRow& row : kNaBases) {
    if (basis == row.text) {
      m_naBasis = basis;
      m_naFactor = row.factor;
      return;
    }
  }
}

// ---- Variables -------------------------------------------------------------------------

void roref_1::addLayoutVariables(Ref1Layout layout) { categorySets(&volumeSet, &moleSet).insert(layoutRows(layout)); }

void roref_1::createROMVariables() {
  const auto [mode, layout] = parseReformerModelType(m_modelKind);
  if (mode < 0 || layout < 0) throw std::invalid_argument("not a reformer type name: " + m_modelKind);
  const CategorySets sets = categorySets(&volumeSet, &moleSet);
  sets.insert(kBaseRows);
  if (mode == 0) sets.insert(kSemiRows);
  for (const Constant& c : kConstants) constSet.insert(varinfo2(c.name, c.unit, c.lower, c.upper));

  for (const std::set<varinfo2>* set : {&inputSet, &nnOutputSet, &factorSet, &volumeSet, &moleSet, &calcSet, &constSet})
    populateVarMan(*set);
}

// ---- Attributes, values, specifications ---------------------------------------------

void roref_1::setupAttributes() {
  robase2::setupAttributes();
  int number = static_cast<int>(m_attributes.size());
  for (const char* name : kModelAttrs) putRecord(m_attributes, new ROMAttr(name, kModelAttrCode, "", 0.0, number++));
  putRecord(m_attributes, new ROMAttr("FACTORNA", kModelAttrCode, "", m_naFactor, number++));
}

void roref_1::setPELMOVarValues(long long& status) {
  status = 0;
  for (const Constant& c : kConstants)
    if (setPELMOVarValue(varRecord(c.name), c.value) != 0) status = 1;  // every constant is tried
}

int roref_1::writeLayoutCutoffs(Ref1Layout layout) {
  int refused = 0;
  for (const std::string& p : reformerProducts(layout))
    if (setPELMOVarValue(varRecord(p + "CUTOFF"), kCutoff) != 0) ++refused;
  return refused;
}

void roref_1::setPELMOVarSpecs(long long& status) {
  status = 0;
  long long st = 0;
  robase2::setPELMOVarSpecs(st);
  if (st != 0) status = 1;
  const auto spec = [&](const char* name, const char* what) {
    if (m_varMan.setVarSpec(name, what) != 0) status = 1;
  };
  // MEABP is a network input but computed by its correlation.
  spec("MEABP", "CALC");
  spec("FEEDSG", "CONST");
  spec("FEEDNA", "CONST");
  spec("RATIONA", "CONST");
  if (m_naFactor > 0.0) {
    spec("FEEDAROM", "CALC");
    spec("FEEDNAPH", "CALC");
  }
}

// ---- Ports -----------------------------------------------------------------------------

void roref_1::addVarsToInputPort(qiv_port* port) {
  for (const varinfo2& v : inputSet) {
    if (v.name == "FEEDMASS" || v.name == "FEEDAROM" || v.name == "FEEDNAPH" || v.name == "MEABP") continue;
    addNamed(port, v.name);
  }
  addNamed(port, "FEEDSG");
  addNamed(port, m_hlBasis == BASIS_VOLUME ? "FEEDVOL" : "FEEDMASS");
  if (m_naFactor > 0.0) {
    addNamed(port, "FEEDNA");
  } else {
    addNamed(port, "FEEDAROM");
    addNamed(port, "FEEDNAPH");
  }
}

void roref_1::addVarsToMassPort(qiv_port* port) {
  // Hydrogen masses are balance terms, not product streams.
  std::set<std::string> excluded;
  for (const varinfo2& v : calcSet)
    if (endsWith(v.name, "HYDMASS")) excluded.insert(v.name);
  addVarsToPortBySuffix(port, "MASS", calcSet, excluded);
}

void roref_1::addVarsToVolPort(qiv_port* port) { addVarsToPortBySuffix(port, "VOL", volumeSet, {"FEEDVOL"}); }

void roref_1::addVarsToResultPort(qiv_port* port) {
  addNamed(port, "FGSMOL");
  addNamed(port, "H2MOL");
}

void roref_1::addVarsToOutputPort(qiv_port* port) {
  const char* liquid = m_hlBasis == BASIS_VOLUME ? "VOL" : "MASS";
  for (const char* s : {"C3", "NC4", "IC4"}) addNamed(port, std::string(s) + liquid);
  const char* gas = m_leBasis == BASIS_MOLAR ? "MOL" : m_leBasis == BASIS_VOLUME ? "VOL" : "MASS";
  for (const char* s : {"FGS", "H2"}) addNamed(port, std::string(s) + gas);
}

void roref_1::addLayoutResults(qiv_port* port, Ref1Layout layout) {
  for (const std::string& name : layoutResults(layout)) addNamed(port, name);
}

void roref_1::addLayoutOutputs(qiv_port* port, Ref1Layout layout) {
  const char* liquid = m_hlBasis == BASIS_VOLUME ? "VOL" : "MASS";
  for (const std::string& p : reformerProducts(layout)) addNamed(port, p + liquid);
  for (const std::string& name : layoutResults(layout)) addNamed(port, name);
}

// ---- Block description -----------------------------------------------------------------

void roref_1::inq_attr(qiv_blk_t& desc) const {
  QivEOBlockImpl::inq_attr(desc);
  try {
    const std::string text = "SUBID:" + modelfromtpl(m_modelKind) + ", BASIS_HL:" + basisWord(m_hlBasis) +
                             ", BASIS_LE:" + basisWord(m_leBasis) + ", BASIS_NA:" + m_naBasis +
                             ", VERSION:" + versionText(m_version);
    copyBounded(desc.options, sizeof desc.options, text);
  } catch (...) {
    desc.options[0] = '\0';
  }
}
