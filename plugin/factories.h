// The three block factories the library registers with the framework:
// "MORVANE" builds the reactor blocks of both generations, "ROTUNING" the
// tuning-model block, "ROTUNINGBALANCE" the tuning-balance block.
//
// Options are "KEY:VALUE" texts. Each is upper-cased whole and split at its
// first ":" (without one the whole text is key and value); the key matches the
// first option name it contains, in the factory's order. Each create resets
// the fields first, so nothing carries over from one block to the next.
//
// create never lets an exception out (a malformed VERSION or NDATA number, a
// failing constructor or prepare): it deletes the partly built block and
// answers null, and the framework reports "Block creation failed".
#pragma once

#include <string>

#include "core/records.h"
#include "platform/factory.h"

class rofactory : public QivBlkFactory {
 public:
  void destroy() override;
  QivEOBlock* create(const char* block_name, value_t* options) override;
  const char* type_name() const override;
  const char* error_text() const override;
  int reserved() override;

  // The options of the most recent create.
  const std::string& subid() const { return m_subid; }
  const std::string& basisLE() const { return m_basisLE; }
  const std::string& basisHL() const { return m_basisHL; }
  const std::string& basisNA() const { return m_basisNA; }
  const VerInfo& version() const { return m_version; }

 private:
  void readOptions(value_t* options);

  std::string m_subid;
  std::string m_basisLE = "MASS";
  std::string m_basisHL = "MASS";
  std::string m_basisNA = "NA";
  VerInfo m_version;  // 35.0.0
};

class rotuningmodelfactory : public QivBlkFactory {
 public:
  void destroy() override;
  QivEOBlock* create(const char* block_name, value_t* options) override;
  const char* type_name() const override;
  const char* error_text() const override;
  int reserved() override;

  const std::string& rx() const { return m_rx; }
  const std::string& depvar() const { return m_depvar; }
  int ndata() const { return m_ndata; }

 private:
  void readOptions(value_t* options);

  std::string m_rx;
  std::string m_depvar;
  int m_ndata = 0;
};

class rotuningbalancefactory : public QivBlkFactory {
 public:
  void destroy() override;
  QivEOBlock* create(const char* block_name, value_t* options) override;
  const char* type_name() const override;
  const char* error_text() const override;
  int reserved() override;

  const std::string& rx() const { return m_rx; }

 private:
  void readOptions(value_t* options);

  std::string m_rx;
};
