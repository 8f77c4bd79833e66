#include "plugin/factories.h"

#include <iterator>
#include <memory>

#include "core/helpers.h"
#include "core/hook_guard.h"
#include "core/robase.h"
#include "platform/rtdev.h"
#include "platform/values.h"
#include "plugin/creators.h"

namespace {

constexpr const char* kCreationFailed = "Block creation failed";

bool isOptionList(const value_t* options) { return options && options->type == VT_LIST && options->list; }

// Walks the option list; calls read(key, value) for every text item, upper-cased
// and split at its first ":". Null items and items of other types are skipped.
template <class Read>
void forEachOption(value_t* options, Read&& read) {
  gl_list* list = options->list;
  for (gl_top(list); !gl_end(list); gl_next(list)) {
    const auto* item = static_cast<const value_t*>(gl_get(list));
    if (!item || item->type != VT_STRING || !item->sval) continue;
    const std::string text = toUpper(item->sval);
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos) {
      read(text, text);
    } else {
      read(text.substr(0, colon), text.substr(colon + 1));
    }
  }
}

// Index of the first option name the key contains, or -1.
template <std::size_t N>
int matchOption(const std::string& key, const char* const (&names)[N]) {
  for (std::size_t i = 0; i < N; ++i)
    if (key.find(names[i]) != std::string::npos) return static_cast<int>(i);
  return -1;
}

void reportUnrecognized(const std::string& key) {
  // The key is an argument, never the format.
  rtoprintf(rtHisDev, "Unrecognized option: %s \n", key.c_str());
}

enum class Family { Coker, Fcc, Hcr, Ref, Vb };

struct SubidRow {
  const char* subid;
  Family family;
  const char* modelKind;
};

constexpr SubidRow kSubidRows[] = {
    {"ROCOKER", Family::Coker, "COKER"},
    {"ROFCCGO2N", Family::Fcc, "FCC_GO_2N"},
    {"ROFCCGO2N1H", Family::Fcc, "FCC_GO_2N1H"},
    {"ROFCCGO3N", Family::Fcc, "FCC_GO_3N"},
    {"ROFCCGO3N1H", Family::Fcc, "FCC_GO_3N1H"},
    {"ROFCCGOR2N", Family::Fcc, "FCC_GOR_2N"},
    {"ROFCCGOR2N1H", Family::Fcc, "FCC_GOR_2N1H"},
    {"ROFCCGOR3N", Family::Fcc, "FCC_GOR_3N"},
    {"ROFCCGOR3N1H", Family::Fcc, "FCC_GOR_3N1H"},
    {"ROHCRD", Family::Hcr, "HCR_D"},
    {"ROHCRMILD", Family::Hcr, "HCR_MILD"},
    {"ROHCRK", Family::Hcr, "HCR_K"},
    {"ROHCRN", Family::Hcr, "HCR_N"},
    {"ROREFSEMI1R", Family::Ref, "REF_SEMI_1R"},
    {"ROREFSEMI2R", Family::Ref, "REF_SEMI_2R"},
    {"ROREFSEMIA", Family::Ref, "REF_SEMI_A"},
    {"ROREFCONT1R", Family::Ref, "REF_CONT_1R"},
    {"ROREFCONT2R", Family::Ref, "REF_CONT_2R"},
    {"ROREFCONTA", Family::Ref, "REF_CONT_A"},
    {"ROVBSKR", Family::Vb, "VB_SKR"},
    {"ROVBNOSKR", Family::Vb, "VB_NOSKR"},
};

bool beginsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The family by the SUBID's prefix, tested in this order; false for none.
bool familyOf(const std::string& subid, Family& family) {
  if (beginsWith(subid, "ROFCC")) family = Family::Fcc;
  else if (beginsWith(subid, "ROREF")) family = Family::Ref;
  else if (beginsWith(subid, "ROVB")) family = Family::Vb;
  else if (subid == "ROCOKER") family = Family::Coker;
  else if (beginsWith(subid, "ROHCR")) family = Family::Hcr;
  else return false;
  return true;
}

ReactorCreator creatorOf(Family family) {
  const CreatorTable& table = creatorTable();
  switch (family) {
    case Family::Coker: return table.coker;
    case Family::Fcc: return table.fcc;
    case Family::Hcr: return table.hcr;
    case Family::Ref: return table.ref;
    case Family::Vb: return table.vb;
  }
  return nullptr;
}

// The generation by the version's major number, read as unsigned.
BlockGeneration generationOf(const VerInfo& version) {
  return version.major <= 36u ? BlockGeneration::First : BlockGeneration::Second;
}

}  // namespace

CreatorTable& creatorTable() {
  static CreatorTable table;
  return table;
}

// ---- "MORVANE" ------------------------------------------------------------

void rofactory::readOptions(value_t* options) {
  static constexpr const char* kNames[] = {"SUBID", "BASIS_LE", "BASIS_HL", "BASIS_NA", "VERSION"};
  m_subid.clear();
  m_basisLE = "MASS";
  m_basisHL = "MASS";
  m_basisNA = "NA";
  m_version = VerInfo{};
  forEachOption(options, [&](const std::string& key, const std::string& value) {
    switch (matchOption(key, kNames)) {
      case 0: m_subid = value; break;
      case 1: m_basisLE = value; break;
      case 2: m_basisHL = value; break;
      case 3: m_basisNA = value; break;
      case 4: m_version = parseVersion(value); break;
      default: reportUnrecognized(key); break;
    }
  });
}

QivEOBlock* rofactory::create(const char* block_name, value_t* options) {
  return guardCall<QivEOBlock*>(nullptr, [&]() -> QivEOBlock* {
    if (!block_name || !isOptionList(options)) return nullptr;
    readOptions(options);

    Family family;
    if (!familyOf(m_subid, family)) return nullptr;
    // The family compares the whole SUBID with its own rows.
    const SubidRow* row = nullptr;
    for (const SubidRow& r : kSubidRows)
      if (r.family == family && m_subid == r.subid) row = &r;
    if (!row) return nullptr;

    const BlockRequest request{m_subid, row->modelKind, generationOf(m_version), block_name, m_version, m_basisNA};
    const ReactorCreator creator = creatorOf(family);
    if (!creator) return nullptr;
    // Held until handed out: a failure below deletes the partly built block.
    std::unique_ptr<robase> block = creator(request);
    if (!block) return nullptr;
    if (request.generation == BlockGeneration::Second || family == Family::Hcr) block->setModelKind(row->modelKind);
    block->setLEBasis(m_basisLE.c_str());
    block->setHLBasis(m_basisHL.c_str());
    block->prepare();
    return block.release();
  });
}

void rofactory::destroy() { delete this; }
const char* rofactory::type_name() const { return "MORVANE"; }
const char* rofactory::error_text() const { return kCreationFailed; }
int rofactory::reserved() { return 0; }

// ---- "ROTUNING" -----------------------------------------------------------

void rotuningmodelfactory::readOptions(value_t* options) {
  static constexpr const char* kNames[] = {"RX", "DEPVAR", "NDATA"};
  m_rx.clear();
  m_depvar.clear();
  m_ndata = 0;
  forEachOption(options, [&](const std::string& key, const std::string& value) {
    switch (matchOption(key, kNames)) {
      case 0: m_rx = value; break;
      case 1: m_depvar = value; break;
      case 2: m_ndata = stoi_checked(value); break;
      default: break;  // other keys are skipped silently
    }
  });
}

QivEOBlock* rotuningmodelfactory::create(const char* block_name, value_t* options) {
  return guardCall<QivEOBlock*>(nullptr, [&]() -> QivEOBlock* {
    if (!block_name || !isOptionList(options)) return nullptr;
    readOptions(options);
    if (m_rx.empty() || m_ndata < 1) return nullptr;
    const TuningModelCreator creator = creatorTable().tuningModel;
    if (!creator) return nullptr;
    return creator(block_name, m_rx, m_depvar, m_ndata).release();
  });
}

void rotuningmodelfactory::destroy() { delete this; }
const char* rotuningmodelfactory::type_name() const { return "ROTUNING"; }
const char* rotuningmodelfactory::error_text() const { return kCreationFailed; }
int rotuningmodelfactory::reserved() { return 0; }

// ---- "ROTUNINGBALANCE" ----------------------------------------------------

void rotuningbalancefactory::readOptions(value_t* options) {
  static constexpr const char* kNames[] = {"RX"};
  m_rx.clear();
  forEachOption(options, [&](const std::string& key, const std::string& value) {
    if (matchOption(key, kNames) == 0) {
      m_rx = value;
    } else {
      reportUnrecognized(key);
    }
  });
}

QivEOBlock* rotuningbalancefactory::create(const char* block_name, value_t* options) {
  return guardCall<QivEOBlock*>(nullptr, [&]() -> QivEOBlock* {
    if (!block_name || !isOptionList(options)) return nullptr;
    readOptions(options);
    if (m_rx.empty()) return nullptr;
    // The unit form by what RX contains, tested in this order.
    struct FormRow {
      const char* text;
      TuningBalanceForm form;
    };
    static constexpr FormRow kForms[] = {{"FCC", TuningBalanceForm::FCC},
                                         {"REF", TuningBalanceForm::REF},
                                         {"VB", TuningBalanceForm::VB},
                                         {"COK", TuningBalanceForm::COK},
                                         {"HCR", TuningBalanceForm::HCR}};
    TuningBalanceForm form = TuningBalanceForm::Base;
    for (const FormRow& row : kForms) {
      if (m_rx.find(row.text) != std::string::npos) {
        form = row.form;
        break;
      }
    }
    const TuningBalanceCreator creator = creatorTable().tuningBalance;
    if (!creator) return nullptr;
    return creator(form, block_name, m_rx).release();
  });
}

void rotuningbalancefactory::destroy() { delete this; }
const char* rotuningbalancefactory::type_name() const { return "ROTUNINGBALANCE"; }
const char* rotuningbalancefactory::error_text() const { return kCreationFailed; }
int rotuningbalancefactory::reserved() { return 0; }
