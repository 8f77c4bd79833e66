// The three block factories the library registers with the framework.
#pragma once

#include "platform/factory.h"

class rofactory : public QivBlkFactory {
 public:
  void destroy() override;
  QivEOBlock* create(const char* block_name, value_t* options) override;
  const char* type_name() const override;
  const char* error_text() const override;
  int reserved() override;
};

class rotuningmodelfactory : public QivBlkFactory {
 public:
  void destroy() override;
  QivEOBlock* create(const char* block_name, value_t* options) override;
  const char* type_name() const override;
  const char* error_text() const override;
  int reserved() override;
};

class rotuningbalancefactory : public QivBlkFactory {
 public:
  void destroy() override;
  QivEOBlock* create(const char* block_name, value_t* options) override;
  const char* type_name() const override;
  const char* error_text() const override;
  int reserved() override;
};
