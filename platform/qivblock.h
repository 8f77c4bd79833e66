// The framework's block interface (QivEOBlock) and block base (QivEOBlockImpl).
//
// The framework places a block at a first variable, first equation and first
// non-zero position (1-based, global), attaches its variable list, equation
// list and Jacobian, and calls the hooks. Blocks read the lists back through
// inq_matrix during each hook call.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/eqnlist.h"
#include "platform/jacobian.h"
#include "platform/ports.h"
#include "platform/storage.h"
#include "platform/values.h"
#include "platform/varlist.h"

constexpr std::size_t QIV_BLK_NAME_LEN = 256;
constexpr std::size_t QIV_BLK_MODEL_TYPE_LEN = 64;
constexpr std::size_t QIV_BLK_OPTIONS_LEN = 512;

// Block description filled by inq_attr.
struct qiv_blk_t {
  char name[QIV_BLK_NAME_LEN] = {};
  char model_type[QIV_BLK_MODEL_TYPE_LEN] = {};
  char options[QIV_BLK_OPTIONS_LEN] = {};
};

// Attribute descriptor returned by attr_describe.
struct qivblock_attr_desc {
  char name[256] = {};
  int kind = 0;
  int access = 0;
};

class IUlmWrapper;

class IUlmWrapperHolder {
 public:
  virtual ~IUlmWrapperHolder();
  virtual void SetWrapper(IUlmWrapper* w) { m_wrapper = w; }
  IUlmWrapper* wrapper() const { return m_wrapper; }

 protected:
  IUlmWrapper* m_wrapper = nullptr;
};

// The framework-facing interface of every block.
class QivEOBlock {
 public:
  virtual ~QivEOBlock();
  virtual const char* name() const = 0;
  virtual void Destroy() = 0;
  virtual void init(long long& status) const = 0;
  virtual void inq_attr(qiv_blk_t& desc) const = 0;
  virtual bool isof_type(const char* type) const = 0;
  virtual int attr_num() const = 0;
  virtual const char* attr_name(int i) const = 0;
  virtual bool attr_lookup_value(const char* name, value_t* v) const = 0;
  virtual bool attr_assign_value(const char* name, const value_t& v) = 0;
  virtual bool attr_lookup_ismodified(const char* name) const = 0;
  virtual qivblock_attr_desc* attr_describe(const char* name) const = 0;
};

class QivEOBlockImpl : public virtual QivEOBlock, public IUlmWrapperHolder {
 public:
  explicit QivEOBlockImpl(const char* name);
  // Copies the name, the description and the six position fields; ports, list
  // handles and the wrapper are not copied (a copy starts detached, with no
  // ports; an assigned block keeps its own), so each port is owned once.
  QivEOBlockImpl(const QivEOBlockImpl& other);
  QivEOBlockImpl& operator=(const QivEOBlockImpl& other);
  ~QivEOBlockImpl() override;

  // QivEOBlock
  const char* name() const override;
  void Destroy() override;
  void init(long long& status) const override;  // status 0
  void inq_attr(qiv_blk_t& desc) const override;  // name and model type, empty options
  bool isof_type(const char* type) const override;  // true for "QIVEOBLOCK"
  // The framework's own attributes, "NAME" (the block name, a read-only string)
  // and "DESCRIPTION" (a read-write string); blocks add theirs after these.
  // Unknown names answer false (null for attr_name and attr_describe). The
  // descriptor belongs to the block and stays valid until the next call.
  int attr_num() const override;
  const char* attr_name(int i) const override;
  bool attr_lookup_value(const char* name, value_t* v) const override;
  bool attr_assign_value(const char* name, const value_t& v) override;
  bool attr_lookup_ismodified(const char* name) const override;
  qivblock_attr_desc* attr_describe(const char* name) const override;

  // Hooks. Defaults: user_dim 0/0/0 status 0; the others status 1 (not provided).
  virtual void user_dim(int& nvar, int& neqn, int& nnz, long long& status);
  virtual void user_ini(long long& status);
  virtual void user_pat(rt_jac_t* jac, long long& status);
  virtual void user_res(long long& status) const;
  virtual void user_jac(long long& status) const;
  virtual void user_jac(int eqn, long long& status) const;
  virtual void res(int eqn, long long& status) const;
  virtual void pre_solve(long long& status);
  virtual void post_solve(long long& status);

  // Persistence.
  virtual void inq_model_type(char* buf) const;  // writes "QIVEOBLOCK"
  // Writes the framework's own stream "PELMO_BASE" (int32 version 1, block
  // name, description). 0 on success.
  virtual long save(IStorage* stg);
  // Reads "PELMO_BASE" when present and restores the description (the block
  // keeps the name it was created with). 0 on success or without the stream,
  // 1 for a damaged stream (nothing changed).
  virtual long load(IStorage* stg);

  // The lists the host attached (any may be null). Callers zero the handles first.
  void inq_matrix(rtvarlst_t*& vars, rtattrdict_t*& eqns, rt_jac_t*& jac) const;

  int vstart() const { return m_firstVar; }
  int estart() const { return m_firstEqn; }
  int nzstart() const { return m_firstNz; }
  int nzlast() const { return m_lastNz; }
  int nvarsCreated() const { return m_nVarsCreated; }
  int neqnsCreated() const { return m_nEqnsCreated; }

  // Host side.
  void setPositions(int first_var, int first_eqn, int first_nz);
  void attachMatrix(rtvarlst_t* vars, rtattrdict_t* eqns, rt_jac_t* jac);
  const std::vector<qiv_port*>& ports() const { return m_ports; }
  qiv_port* findPort(const char* name) const;

  // Library side: the block takes ownership of the port (a null port, or one
  // the block already holds, is ignored).
  void addPort(qiv_port* p);

  // Test hooks (process-wide): the framework's own attribute names (names other
  // than "NAME" and "DESCRIPTION" read as a real 0 and refuse assignment), the
  // generic type isof_type accepts, and forced statuses of the base save and
  // load (the work is done, then the forced status is returned; a negative value
  // lifts the force).
  static void test_set_framework_attrs(const std::vector<std::string>& names);
  static void test_reset_framework_attrs();
  static void test_set_generic_type(const char* type);  // null restores "QIVEOBLOCK"
  static void test_force_save_status(long status);
  static void test_force_load_status(long status);

 protected:
  int m_firstVar = 1;
  int m_nVarsCreated = 0;
  int m_firstEqn = 1;
  int m_nEqnsCreated = 0;
  int m_firstNz = 1;
  int m_lastNz = 0;

 private:
  std::string m_name;
  std::string m_description;
  bool m_descriptionModified = false;
  rtvarlst_t* m_vars = nullptr;
  rtattrdict_t* m_eqns = nullptr;
  rt_jac_t* m_jac = nullptr;
  std::vector<qiv_port*> m_ports;  // owned
  mutable qivblock_attr_desc m_attrDesc;  // answer of attr_describe
};
