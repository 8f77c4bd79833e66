// roref: construction, the NA basis, variables and equation records,
// framework equations, ports, values, specifications, attributes, the network
// run and the block description.
#include "models/reformer/roref.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "core/helpers.h"
#include "core/robase_networks.h"

using reformer::Record;
using reformer::VarMap;
using reformer::VarRef;

namespace {

// The recognised NA bases and their factors f (FEEDNA = FEEDNAPH + f FEEDAROM).
struct NaBasisRow {
  const char* text;
  double factor;
};
constexpr NaBasisRow kNaBases[] = {{"N+A", 1.0}, {"N+1.5A", 1.5}, {"N+2A", 2.0}, {"N+3A", 3.0}};

// The network outputs predicted as hydrogen fractions and shown in percent.
constexpr const char* kPercentOutputs[] = {"RFTHYD", "RF1HYD", "RF2HYD", "RAFHYD"};
constexpr double kFractionToPercent = 100.0;

// Every constant is written with the value of its (coinciding) bounds: the
// fuel-gas molar mass, FOE factor and hydrogen content, the NA ratio, and also
// the light ends' gravities and hydrogen's molar mass and FOE factor, which
// the conversions read (a fixed variable keeps whatever value it holds).
constexpr ConstantValue kConstantValues[] = {
    {"FGSMW", 20.65},   {"FGSFOE", 0.811249393}, {"FGSHYD", 22.6},  {"RATIONA", 7.0},  {"H2FOE", 0.3045},
    {"H2MW", 2.01588},  {"C3SG", 0.5085},        {"NC4SG", 0.5948}, {"IC4SG", 0.5646},
};

// The hydrogen-balance attributes, numbered on from robase's.
constexpr const char* kHydrogenBalanceAttrs[] = {"HYDBALBIAS", "HYDBALSLOPETARGETRON", "HYDBALSLOPENAPH",
                                                 "HYDBALSLOPEAROM"};
constexpr int kModelAttrCode = 3;

bool endsWith(const std::string& name, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  return name.size() >= n && name.compare(name.size() - n, n, suffix) == 0;
}

}  // namespace

roref::roref(const char* name) : robase(name) {
  roref::commonConstructor();
  m_massBalEqn = nullptr;
}

roref::~roref() {
  robase::commonDestructor();
  roref::commonDestructor();
}

void roref::commonConstructor() {
  for (auto& r : m_records) r.reset();
  m_patternDone = false;
}

void roref::commonDestructor() {
  for (auto& r : m_records) r.reset();
  m_patternDone = false;
}

// ---- NA basis ---------------------------------------------------------------------

void roref::setNABasis(const char* text) {
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

// ---- Maps and records ----------------------------------------------------------------

ROMVar* roref::lookup(const VarRef& ref) const {
  ROMVar* var = at_or_throw(varMap(ref.map), std::string(ref.name));
  if (!var) throw std::out_of_range(kInvalidMapKey);
  return var;
}

ROMVar* roref::tableLookup(const VarRef& ref) const {
  TableRef& cached = m_tableRefs[ref.name];
  if (cached.map != ref.map || cached.name != ref.name)
    cached = TableRef{ref.map, ref.name, EntryRef<ROMVarMap>(ref.name)};
  ROMVar* var = cached.entry.get(varMap(ref.map));
  if (!var) throw std::out_of_range(kInvalidMapKey);
  return var;
}

double roref::attributeValue(const char* name) const {
  AttrRef& ref = m_attrRefs[name];
  if (ref.name() != name) ref = AttrRef(name);
  return ref.value(m_attributes);
}

ROMEqn* roref::record(Record record) const {
  const int i = static_cast<int>(record);
  if (i < 0 || i >= reformer::kRecordCount) return nullptr;
  return m_records[static_cast<std::size_t>(i)].get();
}

ROMEqn* roref::equationRecord(reformer::Eq eq) const {
  const reformer::EqnRow& row = reformer::equationRow(eq);
  if (row.record != Record::None) return record(row.record);
  const bool molar = row.form == reformer::Form::GasMol || row.form == reformer::Form::H2Mol;
  const ROMEqnMap& map = molar ? m_molConvEqns : m_volConvEqns;
  if (m_convRefs.empty()) m_convRefs.resize(reformer::kEqCount);
  EntryRef<ROMEqnMap>& ref = m_convRefs.at(static_cast<std::size_t>(eq));
  if (ref.name() != row.convName) ref = EntryRef<ROMEqnMap>(row.convName);
  return ref.present(map) ? ref.get(map) : nullptr;
}

ROMEqn* roref::createRecord(Record record) {
  auto& slot = m_records.at(static_cast<std::size_t>(record));
  slot = std::make_unique<ROMEqn>(reformer::recordName(record), m_eqnCounter++);
  return slot.get();
}

const reformer::SlateDef& roref::slate() const {
  if (!m_slate) throw std::logic_error("reformer block without a product slate");
  return *m_slate;
}

// ---- Variables and equation records -------------------------------------------------

void roref::createROMVariables() {
  const bool semi = m_mode == "SEMI";
  addCatalogue(reformer::baseCatalogue(), [semi](const CatalogueRow& row) { return semi || row.group != reformer::kSemiOnly; });
  // Every network output starts with a zero derivative by every model input:
  // the network run fills the entries of the inputs its network takes.
  zeroNetworkDerivatives();
}

void roref::createSlateVariables() {
  m_varCounter = 1;
  addCatalogue(slate().variables);
  roref::createROMVariables();
}

void roref::createROMEquations() {
  m_patternDone = false;
  for (const auto& output : m_nnOutputVars) addEqn(m_adjEqns, "Y_" + output.first);

  auto massBalance = std::make_unique<ROMEqn>("MASS_BAL", m_eqnCounter++);
  delete m_massBalEqn;
  m_massBalEqn = massBalance.release();
  createRecord(Record::HydrogenBal);

  for (Record r : {Record::H2Mass, Record::C3Mass, Record::NC4Mass, Record::IC4Mass, Record::FeedHydMass,
                   Record::FGSHydMass, Record::C3HydMass, Record::NC4HydMass, Record::IC4HydMass})
    createRecord(r);

  for (const auto& vol : m_volumeVars) addEqn(m_volConvEqns, "CONV_" + vol.first);
  for (const auto& mol : m_molarVars) addEqn(m_molConvEqns, "CONV_" + mol.first);

  for (Record r : {Record::MEABP, Record::FeedCNO, Record::FeedHyd}) createRecord(r);
  if (m_naFactor > 0.0) {
    createRecord(Record::FeedArom);
    createRecord(Record::FeedNaph);
  }
}

void roref::createSlateRecords() {
  m_eqnCounter = 1;
  roref::createROMEquations();
  for (Record r : slate().ownRecords) createRecord(r);
}

void roref::createPELMOEquations(long long& status) {
  status = 0;
  // Stops at the first record the framework refuses.
  const auto add = [&](ROMEqn* eqn) {
    if (!eqn) return true;  // a record this block does not have
    createPELMOEquation(eqn, status);
    return status == 0;
  };
  for (const auto& entry : m_adjEqns)
    if (!add(entry.second)) return;
  if (!m_massBalEqn) {
    status = 1;
    return;
  }
  if (!add(m_massBalEqn)) return;
  for (Record r : {Record::HydrogenBal, Record::H2Mass, Record::C3Mass, Record::NC4Mass, Record::IC4Mass,
                   Record::RFTMass, Record::RF1Mass, Record::RF2Mass, Record::AROMass, Record::RAFMass,
                   Record::FeedHydMass, Record::FGSHydMass, Record::C3HydMass, Record::NC4HydMass,
                   Record::IC4HydMass, Record::RFTHydMass, Record::RF1HydMass, Record::RF2HydMass,
                   Record::AROHydMass, Record::RAFHydMass})
    if (!add(record(r))) return;
  for (const auto& entry : m_volConvEqns)
    if (!add(entry.second)) return;
  for (const auto& entry : m_molConvEqns)
    if (!add(entry.second)) return;
  for (Record r : {Record::MEABP, Record::FeedCNO, Record::FeedHyd, Record::FeedArom, Record::FeedNaph, Record::AROHyd})
    if (!add(record(r))) return;
}

// ---- Ports ---------------------------------------------------------------------------

void roref::addVarsToInputPort(qiv_port* port) {
  for (const auto& entry : m_inputVars) {
    const std::string& n = entry.first;
    if (n == "FEEDMASS" || n == "FEEDAROM" || n == "FEEDNAPH" || n == "MEABP") continue;
    addPELMOVarToPort(port, entry.second);
  }
  addPELMOVarToPort(port, lookup({VarMap::Calc, "FEEDSG"}));
  addPELMOVarToPort(port, m_hlBasis == BASIS_VOLUME ? lookup({VarMap::Volume, "FEEDVOL"})
                                                    : lookup({VarMap::Input, "FEEDMASS"}));
  if (m_naFactor > 0.0) {
    addPELMOVarToPort(port, lookup({VarMap::Calc, "FEEDNA"}));
  } else {
    addPELMOVarToPort(port, lookup({VarMap::Input, "FEEDAROM"}));
    addPELMOVarToPort(port, lookup({VarMap::Input, "FEEDNAPH"}));
  }
}

void roref::addVarsToMassPort(qiv_port* port) {
  // Hydrogen masses are balance terms, not product streams.
  std::set<std::string> excluded;
  for (const auto& entry : m_calcVars)
    if (endsWith(entry.first, "HYDMASS")) excluded.insert(entry.first);
  addVarsToPortBySuffix(port, "MASS", m_calcVars, excluded);
}

void roref::addVarsToResultPort(qiv_port* port) {
  addPELMOVarToPort(port, lookup({VarMap::Molar, "FGSMOL"}));
  addPELMOVarToPort(port, lookup({VarMap::Molar, "H2MOL"}));
}

void roref::addVarsToOutputPort(qiv_port* port) {
  const bool volume = m_hlBasis == BASIS_VOLUME;
  for (const char* s : {"C3", "NC4", "IC4"})
    addPELMOVarToPort(port, volume ? lookup({VarMap::Volume, (std::string(s) + "VOL").c_str()})
                                   : lookup({VarMap::Calc, (std::string(s) + "MASS").c_str()}));
  for (const char* s : {"FGS", "H2"}) {
    const std::string stream = s;
    if (m_leBasis == BASIS_MOLAR) {
      addPELMOVarToPort(port, lookup({VarMap::Molar, (stream + "MOL").c_str()}));
    } else if (m_leBasis == BASIS_VOLUME) {
      addPELMOVarToPort(port, lookup({VarMap::Volume, (stream + "VOL").c_str()}));
    } else {
      addPELMOVarToPort(port, lookup({VarMap::Calc, (stream + "MASS").c_str()}));
    }
  }
}

void roref::addSlateResultPort(qiv_port* port) {
  for (const VarRef& q : slate().qualities) addPELMOVarToPort(port, lookup(q));
  roref::addVarsToResultPort(port);
}

void roref::addSlateOutputPort(qiv_port* port) {
  const bool volume = m_hlBasis == BASIS_VOLUME;
  for (const reformer::ProductDef& p : slate().products) {
    const std::string stream = p.stream;
    addPELMOVarToPort(port, volume ? lookup({VarMap::Volume, (stream + "VOL").c_str()})
                                   : lookup({VarMap::Calc, (stream + "MASS").c_str()}));
  }
  for (const VarRef& q : slate().qualities) addPELMOVarToPort(port, lookup(q));
  roref::addVarsToOutputPort(port);
}

// ---- Values, specifications, attributes ----------------------------------------------

void roref::setPELMOVarValues(long long& status) {
  status = 0;
  // Every constant is written; one failure stays a failure.
  if (writeConstants(kConstantValues) != 0) status = 1;
}

void roref::setPELMOVarSpecs(long long& status) {
  status = 0;
  long long st = 0;
  robase::setPELMOVarSpecs(st);
  if (st != 0) status = 1;
  const auto spec = [&](VarMap map, const char* name, const char* what) {
    long long s = 0;
    setPELMOVarSpec(lookup({map, name}), what, s);
    if (s != 0) status = 1;
  };
  // MEABP sits among the model inputs (the networks take it) but is computed.
  spec(VarMap::Input, "MEABP", "CALC");
  spec(VarMap::Calc, "FEEDSG", "CONST");
  spec(VarMap::Calc, "FEEDNA", "CONST");
  spec(VarMap::Const, "RATIONA", "CONST");
  if (m_naFactor > 0.0) {
    spec(VarMap::Input, "FEEDAROM", "CALC");
    spec(VarMap::Input, "FEEDNAPH", "CALC");
  }
}

void roref::setupAttributes() {
  robase::setupAttributes();
  int number = static_cast<int>(m_attributes.size());
  for (const char* name : kHydrogenBalanceAttrs)
    putRecord(m_attributes, new ROMAttr(name, kModelAttrCode, "EQN_HYD_BAL", 0.0, number++));
}

// ---- Network run ---------------------------------------------------------------------

int roref::runNN(std::string output) const {
  bool percent = false;
  for (const char* name : kPercentOutputs) percent = percent || output == name;
  if (!percent) return robase::runNN(output);

  // A failed run must not scale what the record held before it once more. A
  // failed robase run leaves the derivatives as they were (it changes them
  // all or none), but it may have stored the prediction already.
  ROMVar* out = at_or_throw(m_nnOutputVars, output);
  const double previous = out->value;
  const int status = robase::runNN(output);
  if (status != 0) {
    out->value = previous;
    return status;
  }
  // Only the derivatives this run gave: an entry the network did not name
  // keeps its value, as it does for every other output, instead of being
  // scaled once more at every run.
  out->value *= kFractionToPercent;
  networkOutput(output).slots.scaleStored(kFractionToPercent);
  return status;
}

// ---- Block description ---------------------------------------------------------------

void roref::inq_attr(qiv_blk_t& desc) const {
  QivEOBlockImpl::inq_attr(desc);
  try {
    const std::string text = "SUBID:" + modelfromtpl(m_modelKind) + ", BASIS_HL:" + basisWord(m_hlBasis) +
                             ", BASIS_LE:" + basisWord(m_leBasis) + ", BASIS_NA:" + m_naBasis;
    copyBounded(desc.options, sizeof desc.options, text);
  } catch (...) {
    desc.options[0] = '\0';
  }
}
