// The block interface and the block base.
#include "platform/qivblock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <vector>

namespace {

constexpr const char* kDefaultGenericType = "QIVEOBLOCK";
constexpr const wchar_t* kBaseStream = L"PELMO_BASE";
constexpr long kBaseStreamVersion = 1;
// Texts read back from a stream are bounded: a longer stored length is damage.
constexpr std::size_t kMaxStoredText = 1u << 20;

std::vector<std::string>& framework_attrs() {
  static std::vector<std::string> names{"NAME", "DESCRIPTION"};
  return names;
}

std::string& generic_type() {
  static std::string type = kDefaultGenericType;
  return type;
}

long g_forcedSave = -1;
long g_forcedLoad = -1;

bool is_framework_attr(const char* name) {
  if (!name) return false;
  const auto& names = framework_attrs();
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Hands a malloc'd copy of the text to the value, which then owns it.
bool assign_text(value_t* v, const std::string& text) {
  char* copy = ::strdup(text.c_str());
  if (!copy) return false;
  value_assign_string(v, copy);
  return true;
}

// Reads one text written by the stream wrapper, bounded by what the stream
// still holds. False when the text is missing, unterminated or too long.
bool read_stored_text(QivIStreamWrapper& w, std::string& out) {
  const std::size_t cap = std::min(w.remaining(), kMaxStoredText) + 1;
  std::vector<char> buf(cap);
  const std::size_t n = w.read_text(buf.data(), buf.size());
  if (w.error()) return false;
  out.assign(buf.data(), n);
  return true;
}

}  // namespace

IUlmWrapperHolder::~IUlmWrapperHolder() = default;
QivEOBlock::~QivEOBlock() = default;

QivEOBlockImpl::QivEOBlockImpl(const char* name) : m_name(name ? name : "") {}

QivEOBlockImpl::QivEOBlockImpl(const QivEOBlockImpl& other)
    : QivEOBlock(),
      IUlmWrapperHolder(),
      m_firstVar(other.m_firstVar),
      m_nVarsCreated(other.m_nVarsCreated),
      m_firstEqn(other.m_firstEqn),
      m_nEqnsCreated(other.m_nEqnsCreated),
      m_firstNz(other.m_firstNz),
      m_lastNz(other.m_lastNz),
      m_name(other.m_name),
      m_description(other.m_description),
      m_descriptionModified(other.m_descriptionModified) {}

QivEOBlockImpl& QivEOBlockImpl::operator=(const QivEOBlockImpl& other) {
  if (this == &other) return *this;
  m_name = other.m_name;
  m_description = other.m_description;
  m_descriptionModified = other.m_descriptionModified;
  m_firstVar = other.m_firstVar;
  m_nVarsCreated = other.m_nVarsCreated;
  m_firstEqn = other.m_firstEqn;
  m_nEqnsCreated = other.m_nEqnsCreated;
  m_firstNz = other.m_firstNz;
  m_lastNz = other.m_lastNz;
  return *this;
}

QivEOBlockImpl::~QivEOBlockImpl() {
  for (qiv_port* p : m_ports) qivport_destroy(p);
}

const char* QivEOBlockImpl::name() const { return m_name.c_str(); }

void QivEOBlockImpl::Destroy() { delete this; }

void QivEOBlockImpl::init(long long& status) const { status = 0; }

void QivEOBlockImpl::inq_attr(qiv_blk_t& desc) const {
  std::snprintf(desc.name, sizeof desc.name, "%s", m_name.c_str());
  char type[QIV_BLK_MODEL_TYPE_LEN] = {};
  inq_model_type(type);
  type[sizeof type - 1] = '\0';
  std::memcpy(desc.model_type, type, sizeof desc.model_type);
  desc.options[0] = '\0';
}

bool QivEOBlockImpl::isof_type(const char* type) const { return type && generic_type() == type; }

int QivEOBlockImpl::attr_num() const { return static_cast<int>(framework_attrs().size()); }

const char* QivEOBlockImpl::attr_name(int i) const {
  const auto& names = framework_attrs();
  if (i < 0 || i >= static_cast<int>(names.size())) return nullptr;
  return names[static_cast<std::size_t>(i)].c_str();
}

bool QivEOBlockImpl::attr_lookup_value(const char* name, value_t* v) const {
  try {
    if (!is_framework_attr(name)) return false;
    if (!v) return true;
    if (std::strcmp(name, "NAME") == 0) return assign_text(v, m_name);
    if (std::strcmp(name, "DESCRIPTION") == 0) return assign_text(v, m_description);
    value_assign_double(v, 0.0, 0, 1);
    return true;
  } catch (...) {
    return false;
  }
}

bool QivEOBlockImpl::attr_assign_value(const char* name, const value_t& v) {
  try {
    if (!is_framework_attr(name) || std::strcmp(name, "DESCRIPTION") != 0) return false;
    if (v.type != VT_STRING) return false;
    m_description = v.sval ? v.sval : "";
    m_descriptionModified = true;
    return true;
  } catch (...) {
    return false;
  }
}

bool QivEOBlockImpl::attr_lookup_ismodified(const char* name) const {
  return is_framework_attr(name) && std::strcmp(name, "DESCRIPTION") == 0 && m_descriptionModified;
}

qivblock_attr_desc* QivEOBlockImpl::attr_describe(const char* name) const {
  if (!is_framework_attr(name)) return nullptr;
  m_attrDesc = qivblock_attr_desc{};
  std::snprintf(m_attrDesc.name, sizeof m_attrDesc.name, "%s", name);
  // kind: the value tag the attribute answers with; access: 1 read-only, 0 read-write.
  const bool is_name = std::strcmp(name, "NAME") == 0;
  const bool is_desc = std::strcmp(name, "DESCRIPTION") == 0;
  m_attrDesc.kind = (is_name || is_desc) ? VT_STRING : VT_REAL;
  m_attrDesc.access = is_desc ? 0 : 1;
  return &m_attrDesc;
}

void QivEOBlockImpl::user_dim(int& nvar, int& neqn, int& nnz, long long& status) {
  nvar = 0;
  neqn = 0;
  nnz = 0;
  status = 0;
}

// The remaining hooks are the block's to provide; the base reports "not provided".
void QivEOBlockImpl::user_ini(long long& status) { status = 1; }
void QivEOBlockImpl::user_pat(rt_jac_t*, long long& status) { status = 1; }
void QivEOBlockImpl::user_res(long long& status) const { status = 1; }
void QivEOBlockImpl::user_jac(long long& status) const { status = 1; }
void QivEOBlockImpl::user_jac(int, long long& status) const { status = 1; }
void QivEOBlockImpl::res(int, long long& status) const { status = 1; }
void QivEOBlockImpl::pre_solve(long long& status) { status = 1; }
void QivEOBlockImpl::post_solve(long long& status) { status = 1; }

void QivEOBlockImpl::inq_model_type(char* buf) const {
  if (buf) std::memcpy(buf, kDefaultGenericType, std::strlen(kDefaultGenericType) + 1);
}

long QivEOBlockImpl::save(IStorage* stg) {
  long status = 1;
  try {
    long result = 0;
    IStream* stream = QivIStorageWrapper(stg).OpenStream(kBaseStream, STGM_CREATE_RW, result);
    if (stream) {
      QivIStreamWrapper w(stream);
      w << kBaseStreamVersion << m_name.c_str() << m_description.c_str();
      stream->Release();
      status = w.error() ? 1 : 0;
    }
  } catch (...) {
    status = 1;
  }
  return g_forcedSave >= 0 ? g_forcedSave : status;
}

long QivEOBlockImpl::load(IStorage* stg) {
  long status = 1;
  try {
    if (stg) {
      long result = 0;
      IStream* stream = QivIStorageWrapper(stg).OpenStream(kBaseStream, STGM_READ, result);
      if (!stream) {
        // A storage without the framework's stream, or one that refuses it:
        // nothing to restore. A stream that could not be opened for want of
        // memory fails the load.
        status = result == STG_E_INSUFFICIENTMEMORY ? 1 : 0;
      } else {
        QivIStreamWrapper w(stream);
        long version = 0;
        w >> version;
        std::string stored_name, description;
        bool ok = false;
        try {
          ok = !w.error() && version == kBaseStreamVersion && read_stored_text(w, stored_name) &&
               read_stored_text(w, description);
        } catch (...) {
          stream->Release();  // a text that could not be read (out of memory) leaves no stream open
          throw;
        }
        stream->Release();
        if (ok) {
          m_description = std::move(description);
          m_descriptionModified = !m_description.empty();
          status = 0;
        }
      }
    }
  } catch (...) {
    status = 1;
  }
  return g_forcedLoad >= 0 ? g_forcedLoad : status;
}

void QivEOBlockImpl::inq_matrix(rtvarlst_t*& vars, rtattrdict_t*& eqns, rt_jac_t*& jac) const {
  vars = m_vars;
  eqns = m_eqns;
  jac = m_jac;
}

void QivEOBlockImpl::setPositions(int first_var, int first_eqn, int first_nz) {
  m_firstVar = first_var;
  m_firstEqn = first_eqn;
  m_firstNz = first_nz;
}

void QivEOBlockImpl::attachMatrix(rtvarlst_t* vars, rtattrdict_t* eqns, rt_jac_t* jac) {
  m_vars = vars;
  m_eqns = eqns;
  m_jac = jac;
}

qiv_port* QivEOBlockImpl::findPort(const char* name) const {
  if (!name) return nullptr;
  for (qiv_port* p : m_ports) {
    if (p->name == name) return p;
  }
  return nullptr;
}

void QivEOBlockImpl::addPort(qiv_port* p) {
  if (!p || std::find(m_ports.begin(), m_ports.end(), p) != m_ports.end()) return;
  try {
    m_ports.push_back(p);
  } catch (...) {
    qivport_destroy(p);  // ownership was handed over; do not leak it
    throw;
  }
}

void QivEOBlockImpl::test_set_framework_attrs(const std::vector<std::string>& names) { framework_attrs() = names; }

void QivEOBlockImpl::test_reset_framework_attrs() { framework_attrs() = {"NAME", "DESCRIPTION"}; }

void QivEOBlockImpl::test_set_generic_type(const char* type) { generic_type() = type ? type : kDefaultGenericType; }

void QivEOBlockImpl::test_force_save_status(long status) { g_forcedSave = status < 0 ? -1 : status; }

void QivEOBlockImpl::test_force_load_status(long status) { g_forcedLoad = status < 0 ? -1 : status; }
