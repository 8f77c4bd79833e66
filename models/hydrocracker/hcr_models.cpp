// hcrmodel: the catalogue, equation set, attributes, values, specifications,
// network run and starting values of a hydrocracker slate.
#include "models/hydrocracker/hcr_models.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "models/hydrocracker/eqnndep.h"

namespace {

// Attribute code of the hydrogen-balance terms (the framework's meaning).
constexpr int kHydBalAttrCode = 3;
constexpr const char* kHydBalAttrs[] = {"HYDBALBIAS", "HYDBALSLOPECONV", "HYDBALSLOPESG"};

// Streams with a hydrogen-mass conversion before the products, in creation order.
constexpr const char* kHydMassStreams[] = {"FEED", "H2S", "FGS", "C3", "NC4", "IC4"};
// Gases with a mole conversion, in creation order.
constexpr const char* kMoleStreams[] = {"H2S", "H2", "FGS"};
// Light ends whose yield and hydrogen content enter the fuel-gas start after
// H2S and H2 (H2 at 100 %), in the order of the sum.
constexpr const char* kFuelGasStartGases[] = {"C3", "NC4", "IC4"};

}  // namespace

hcrmodel::hcrmodel(const char* name, const hcr::Slate& slate) : hcrbase(name), m_slate(slate) {
  hcrmodel::commonConstructor();
}

void hcrmodel::commonConstructor() {
  hcrbase::commonConstructor();
  m_modelKind = m_slate.modelKind;
}

void hcrmodel::createROMVariables() {
  inputSet.clear();
  nnOutputSet.clear();
  const CategorySets sets(inputSet, nnOutputSet, factorSet, constSet, calcSet);
  for (CatalogueRow row : hcr::catalogue()) {
    if (!m_slate.has(row.group)) continue;
    for (const hcr::BoundRow& b : m_slate.bounds)
      if (row.name == std::string(b.name)) row.lower = b.lower, row.upper = b.upper;
    sets.of(row.map).insert(describe(row));
  }
  for (const hcr::ConstantRow& c : hcr::constants()) constSet.insert(varinfo(c.name, c.unit, c.value, c.value));

  m_varMan.setFirstVar(&m_firstVar);
  populateVarMan(inputSet);
  populateVarMan(nnOutputSet);
  populateVarMan(constSet);
  populateVarMan(calcSet);
  populateVarMan(factorSet);
}

void hcrmodel::createROMEquations() {
  m_eqnMan.setUp(&m_varMan, &m_firstNz, &m_firstEqn);
  // The manager takes each object; one it refuses is deleted here.
  auto add = [this](std::unique_ptr<hcreqn> eqn) { m_eqnMan.addEquation(std::move(eqn)); };
  const std::vector<std::string>& products = m_slate.products;

  std::set<std::string> inputs;
  for (const varinfo& v : inputSet) inputs.insert(v.name);
  for (const varinfo& y : nnOutputSet) add(std::make_unique<eqNNDep>(context(), y.name, m_modelKind, inputs));

  add(std::make_unique<eqMassBal>(products));
  auto hydBal = std::make_unique<eqHydBal>(products);
  hydBal->setContext(context());
  add(std::move(hydBal));

  std::set<std::string> streams(hcr::kLightEnds.begin(), hcr::kLightEnds.end());
  streams.insert(products.begin(), products.end());
  // FGSMASS comes from the hydrogen balance, not from a yield.
  for (const std::string& p : streams)
    if (p != "FGS") add(std::make_unique<eqMassConv>(p));
  for (const std::string& p : streams) add(std::make_unique<eqVolConv>(p));
  add(std::make_unique<eqVolConv>("FEED"));
  for (const char* p : kMoleStreams) add(std::make_unique<eqMolConv>(p));
  for (const char* p : kHydMassStreams) add(std::make_unique<eqHydMassConv>(p));
  for (const std::string& p : products) add(std::make_unique<eqHydMassConv>(p));
  for (const std::string& p : products) add(std::make_unique<eqSulConv>(p));
  for (const std::string& p : products) add(std::make_unique<eqSulPPM>(p));
  for (const char* p : {"LCN", "HCN"}) add(std::make_unique<eqNAVal>(p));
  for (const hcr::IndexRow& row : hcr::indexEquations())
    if (m_slate.has(row.needs)) add(std::make_unique<eqIdxVal>(row.prefix, row.kind));
  if (m_slate.recycle) add(std::make_unique<eqConvCalc>());
}

void hcrmodel::setupAttributes() {
  hcrbase::setupAttributes();
  int number = static_cast<int>(m_attributes.size());
  for (const char* name : kHydBalAttrs)
    putRecord(m_attributes, new ROMAttr(name, kHydBalAttrCode, "EQN_HYD_BAL", 0.0, number++));
}

void hcrmodel::setPELMOVarValues(long long& status) {
  status = 0;
  bool failed = false;
  for (const hcr::ConstantRow& c : hcr::constants())
    if (m_varMan.setValue(c.name, c.value) != 0) failed = true;
  // The framework holds CONVERSION within 0 to 100 whatever its description says.
  m_varMan.setLower("CONVERSION", 0.0);
  m_varMan.setUpper("CONVERSION", 100.0);
  status = failed ? 1 : 0;
}

void hcrmodel::setPELMOVarSpecs(long long& status) {
  status = 0;
  bool failed = false;
  auto spec = [&](const std::string& name, const char* text) {
    if (m_varMan.setVarSpec(name, text) != 0) failed = true;
  };
  try {
    for (const varinfo& c : constSet) spec(c.name, "CONST");
    for (const varinfo& x : inputSet) {
      if (x.name == "FEEDMASS" && m_hlBasis == BASIS_VOLUME) {
        spec("FEEDVOL", "CONST");  // the feed is given by its volume flow
      } else if (x.name == "CONVERSION" && m_slate.recycle) {
        spec(x.name, "CALC");  // EQN_CALC_CONVERSION computes it from TOTCONV
      } else {
        spec(x.name, "CONST");
      }
    }
    // The user gives the total conversion. Without a recycle no equation
    // reads it, and a free variable in no equation would leave the block one
    // equation short; fixed, it is the value the INPUT port carries.
    spec("TOTCONV", "CONST");
  } catch (const std::out_of_range&) {
    status = 1;  // a name the VarMan does not hold; the specifications made so far stay
    return;
  }
  status = failed ? 1 : 0;
}

int hcrmodel::runNN(std::string output) const {
  const int status = hcrbase::runNN(output);
  // A stale value is never scaled twice: only a fresh prediction is scaled.
  if (status != 0) return status;
  for (const std::string& p : m_slate.products) {
    if (output != p + "HYD") continue;
    ROMVar& record = m_varMan.var(output);
    record.value *= 100.0;
    for (auto& entry : record.derivs) entry.second *= 100.0;
  }
  return status;
}

double hcrmodel::fuelGasStart() const {
  auto v = [this](const std::string& name) { return m_varMan.valueOf(name); };
  double s = v("H2SFRAC") * v("H2SHYD") + 100.0 * v("H2FRAC");
  for (const char* g : kFuelGasStartGases) s += v(std::string(g) + "FRAC") * v(std::string(g) + "HYD");
  for (const std::string& p : m_slate.products) s += v(p + "FRAC") * v(p + "HYD");
  const double g = (s - v("FEEDHYD")) * (v("FEEDMASS") / 100.0) / v("FGSHYD");
  return std::isnan(g) ? g : std::max(0.0, g);
}

void hcrmodel::init(long long& status) const {
  status = 0;
  guardHook(status, [&] {
    initVarManVec();
    if (m_slate.conversionFromTotal && m_varMan.setValue("CONVERSION", m_varMan.valueOf("TOTCONV")) != 0)
      status = 1;
    hcrbase::init(status);
    // The starting values below leave the status alone; a value that is not
    // finite (a zero FGSHYD or FEEDMASS) is never stored.
    m_varMan.setValue("FGSMASS", fuelGasStart());
    if (m_slate.ucoFractionStart) {
      const double feed = m_varMan.valueOf("FEEDMASS");
      const double uco = (1.0 - m_varMan.valueOf("TOTCONV") / 100.0) * (feed + m_varMan.valueOf("FGSMASS")) / feed;
      m_varMan.setValue("UCOFRAC", uco);
    }
  });
}
