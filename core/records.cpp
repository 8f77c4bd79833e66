#include "core/records.h"

#include <new>
#include <utility>

ROMVar::ROMVar(std::string name_, std::string baseUnit_, std::string dispUnit_, int index_, double lower_,
               double upper_)
    : name(std::move(name_)),
      dispUnit(std::move(dispUnit_)),
      baseUnit(std::move(baseUnit_)),
      index(index_),
      lower(lower_),
      upper(upper_) {}

ROMVar::ROMVar(std::string name_, std::string unit, int index_) : ROMVar(std::move(name_), unit, unit, index_, -1e30, 1e30) {}

ROMVar::ROMVar(std::string name_, std::string unit, int index_, double lower_, double upper_)
    : ROMVar(std::move(name_), unit, unit, index_, lower_, upper_) {}

ROMEqn::ROMEqn(std::string name_, int index_) : name(std::move(name_)), index(index_) {}

namespace {

// The deleted record blocks one thread keeps, as a list threaded through the
// blocks themselves. Plain data, so it outlives the thread's objects; the
// keeper below empties it when the thread ends and closes it to later deletes.
struct FreedAttrBlocks {
  void* head = nullptr;
  std::size_t count = 0;
  bool closed = false;
};
// A bound above the records of the widest block (a few thousand), so that a
// block made after one was deleted finds all its records here.
constexpr std::size_t kMaxFreedAttrBlocks = 8192;

thread_local FreedAttrBlocks t_freedAttrs;

struct FreedAttrKeeper {
  ~FreedAttrKeeper() {
    FreedAttrBlocks& f = t_freedAttrs;
    f.closed = true;
    while (f.head) {
      void* next = *static_cast<void**>(f.head);
      ::operator delete(f.head);
      f.head = next;
    }
    f.count = 0;
  }
};

}  // namespace

void* ROMAttr::operator new(std::size_t size) {
  FreedAttrBlocks& f = t_freedAttrs;
  if (size == sizeof(ROMAttr) && f.head) {
    void* block = f.head;
    f.head = *static_cast<void**>(block);
    --f.count;
    return block;
  }
  return ::operator new(size);
}

void ROMAttr::operator delete(void* p, std::size_t size) noexcept {
  if (!p) return;
  FreedAttrBlocks& f = t_freedAttrs;
  if (size == sizeof(ROMAttr) && !f.closed && f.count < kMaxFreedAttrBlocks) {
    // The keeper is made on the thread's first kept block, so it empties the list when the thread ends.
    static thread_local FreedAttrKeeper keeper;
    (void)keeper;
    *static_cast<void**>(p) = f.head;
    f.head = p;
    ++f.count;
    return;
  }
  ::operator delete(p);
}

ROMAttr::ROMAttr(std::string name_, int code_, std::string /*description*/, double value_, int number_)
    : name(std::move(name_)), code(code_), value(value_), number(number_) {}

ROMAttr::ROMAttr(std::string name_, double value_, int number_)
    : name(std::move(name_)), code(0), value(value_), number(number_) {}

varinfo2::varinfo2(std::string name_, std::string unit, double lower_, double upper_)
    : name(std::move(name_)), dispUnit(unit), baseUnit(unit), lower(lower_), upper(upper_) {}

varinfo2::varinfo2(std::string name_, std::string baseUnit_, std::string dispUnit_, double lower_, double upper_)
    : name(std::move(name_)),
      dispUnit(std::move(dispUnit_)),
      baseUnit(std::move(baseUnit_)),
      lower(lower_),
      upper(upper_) {}
