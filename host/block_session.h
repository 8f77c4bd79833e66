// Drives one block through the framework's set-up sequence: size it
// (user_dim), allocate the lists and place the block at non-trivial first
// positions, optionally load stored data, create its framework objects
// (user_ini), write values of fixed variables by name, assign attributes,
// register the pattern (user_pat) and set starting values (init). Every call
// into the block is guarded; each step reports a named status.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/block_system.h"
#include "host/host_status.h"
#include "platform/qivblock.h"

namespace romhost {

// Where the block is placed in the lists. Positions other than 1 catch blocks
// that forget their first positions; the margin after the block's ranges lets
// a registration one past the end be seen instead of being refused silently.
struct Placement {
  int firstVar = 101;
  int firstEqn = 11;
  int firstNz = 501;
  int margin = 16;
};

// Longest name the host hands on; longer names are refused, never cut.
constexpr std::size_t kMaxNameLength = 99;
// Largest size a block may ask for through user_dim.
constexpr int kMaxBlockSize = 10'000'000;

// An attribute value as the user gives it.
struct AttributeValue {
  enum Kind { kReal, kInteger, kLogical, kText } kind = kReal;
  double real = 0.0;
  long long integer = 0;
  bool logical = false;
  std::string text;

  // Fills a framework value (which must be empty or hold a payload it owns).
  void toValue(value_t& v) const;
  std::string display() const;
  // "true"/"false" give a logical, a whole number an integer, any other number
  // a real, anything else a text.
  static AttributeValue parse(const std::string& text);
};

struct SetUpPlan {
  IStorage* load = nullptr;  // stored data loaded before user_ini, when given
  // Own names of variables fixed, then freed, right after user_ini (before
  // the values, which go into fixed variables only).
  std::vector<std::string> fix;
  std::vector<std::string> free;
  std::vector<std::pair<std::string, double>> values;  // own names of fixed variables
  std::vector<std::pair<std::string, AttributeValue>> attributes;
};

class BlockSession {
 public:
  // Takes the block over; it is destroyed through Destroy() when the session ends.
  explicit BlockSession(QivEOBlock* block, Placement placement = {});
  ~BlockSession();
  BlockSession(const BlockSession&) = delete;
  BlockSession& operator=(const BlockSession&) = delete;

  // The whole sequence, stopping at the first failure. After init the plan's
  // values are written once more into the variables fixed at that moment.
  StepResult setUp(const SetUpPlan& plan);

  StepResult dimension();   // user_dim, lists, positions
  StepResult load(IStorage& storage);
  StepResult initialize();  // user_ini and the checks of what it registered
  StepResult setValue(const std::string& ownName, double value);
  // Fixes or frees one of the block's variables, as the user does in the framework.
  StepResult setSpec(const std::string& ownName, bool fixed);
  StepResult assignAttribute(const std::string& name, const AttributeValue& value);
  StepResult pattern();     // user_pat and the checks of the pattern
  StepResult start();       // init
  StepResult save(IStorage& storage);
  // Writes the values again into those of the named variables that are fixed.
  void keepGivenValues(const std::vector<std::pair<std::string, double>>& values);

  QivEOBlock* block() const { return block_; }
  QivEOBlockImpl* impl() const { return impl_; }
  const std::string& name() const { return name_; }
  BlockSystem& system() { return *system_; }  // after dimension()
  bool dimensioned() const { return system_ != nullptr; }
  const BlockRanges& ranges() const { return ranges_; }
  // Things that look wrong without stopping the set-up.
  const std::vector<std::string>& warnings() const { return warnings_; }

 private:
  struct ListDeleter {
    void operator()(rtvarlst_t* l) const { rtovarlst_destroy(l); }
    void operator()(rtattrdict_t* l) const { rtoeqnlst_destroy(l); }
    void operator()(rt_jac_t* j) const { rtojac_destroy(j); }
  };

  QivEOBlock* block_;
  QivEOBlockImpl* impl_;
  std::string name_;
  Placement placement_;
  BlockRanges ranges_;
  std::unique_ptr<rtvarlst_t, ListDeleter> vars_;
  std::unique_ptr<rtattrdict_t, ListDeleter> eqns_;
  std::unique_ptr<rt_jac_t, ListDeleter> jac_;
  std::unique_ptr<BlockSystem> system_;
  std::vector<std::string> warnings_;
};

}  // namespace romhost
