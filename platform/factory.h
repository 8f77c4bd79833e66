// Block factories and the framework's factory library.
#pragma once

#include <vector>

class QivEOBlock;
struct value_t;

class QivBlkFactory {
 public:
  virtual ~QivBlkFactory();
  virtual void destroy() = 0;  // deletes the factory itself
  // The new block, or null when no block was made.
  virtual QivEOBlock* create(const char* block_name, value_t* options) = 0;
  virtual const char* type_name() const = 0;
  virtual const char* error_text() const = 0;
  virtual int reserved() = 0;
};

// Keeps the registered factories (not owned) between load and unload.
class QivFactoryLib {
 public:
  int AddFactory(QivBlkFactory* f);            // 0, or 1 for null
  QivBlkFactory* Lookup(const char* type_name) const;  // first exact match or null
  int Remove(QivBlkFactory* f);                // 0, or 1 when absent
  const std::vector<QivBlkFactory*>& factories() const { return factories_; }

 private:
  std::vector<QivBlkFactory*> factories_;
};
