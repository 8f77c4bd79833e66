// ROMAttrMap: a block's attribute records (tuning factors, bounds, error
// scales, model attributes) by name, and AttrRef, the cached way to read one
// of them at every evaluation without a look-up by name.
//
// The map has the interface of std::map<name, ROMAttr*> that the blocks and
// tests use, plus a change stamp: every structural change (insertion, erase,
// clear, assignment, swap) gives the map a new stamp, drawn from one counter
// for all maps, so a stamp names one map in one state and no two maps ever
// share one. Reading, and writing a record pointer into an existing entry
// (map[name] = record, it->second = record), keep the stamp: the entry itself
// stays where it is.
//
// A block files a few thousand attributes when it is made, reads a few by
// name, and drops them all when it goes; only the framework's attribute
// listing walks them in name order. So the map finds a name through a hash
// index, keeps its entries and the text of their names in storage of its own
// (a name is kept once, with no heap allocation per entry), and puts the
// entries in name order only when someone walks them. Entries never move
// while they are in the map: iterators and slots stay valid until their
// entry is erased, as std::map's do (an iterator walks the map it came from,
// so after a swap or a move it belongs to neither). The records themselves
// stay separate heap objects, owned by whoever files them.
//
// An AttrRef remembers where the map keeps the record pointer of its name
// (the entry's slot) together with the stamp at which it looked. On every use
// it compares the stamp (one load), looks the name up again only when the
// stamp moved, and reads the record pointer through the slot, so a record
// replaced in its entry (putRecord, a test, attr_assign_value's target) is
// the one read, and an erased entry is never touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/name_hash.h"
#include "core/records.h"

namespace attrmap_detail {

// The entries (blocks of one size) and name text of one map. Entries come
// from blocks of growing size and return to a free list; text is appended to
// blocks of growing size and given back only as a whole (the map keeps the
// live names again in fresh text when erased names have left more dead text
// than live).
class AttrStore {
 public:
  explicit AttrStore(std::size_t entrySize) noexcept : m_entrySize(entrySize) {}
  AttrStore(const AttrStore&) = delete;
  AttrStore& operator=(const AttrStore&) = delete;
  ~AttrStore();

  void* allocateEntry();
  void freeEntry(void* entry) noexcept {
    *static_cast<void**>(entry) = m_free;
    m_free = entry;
    ++m_freeCount;
  }
  // Room for n more entries and bytes more text without a further allocation.
  void reserve(std::size_t entries, std::size_t textBytes);
  // A copy of the text that lives as long as the store (or its next reset).
  std::string_view keep(std::string_view text);
  // Text that no entry names any more.
  void drop(std::size_t bytes) noexcept { m_deadText += bytes; }
  std::size_t deadText() const noexcept { return m_deadText; }
  std::size_t liveText() const noexcept { return m_keptText - m_deadText; }
  // Forgets all text; only for a map with no entries left.
  void resetText() noexcept;

  struct Block {
    char* data;
    std::size_t size;
  };
  // Sets the text kept so far aside and starts afresh with one block of
  // bytes (at least one), so that the live names can be kept again without a
  // further allocation. Changes nothing when the block cannot be had. The
  // blocks set aside are the caller's, to free with freeBlocks once no name
  // points into them.
  std::vector<Block> restartText(std::size_t bytes);
  static void freeBlocks(const std::vector<Block>& blocks) noexcept;

 private:
  // A new block of n entries, threaded onto the free list.
  void addEntryBlock(std::size_t n);
  // A new text block of at least size bytes.
  void addTextBlock(std::size_t size);

  std::size_t m_entrySize;
  std::vector<Block> m_entryBlocks;
  void* m_free = nullptr;
  std::size_t m_freeCount = 0;
  std::size_t m_entriesPerBlock = 32;
  std::vector<Block> m_textBlocks;
  std::size_t m_textUsed = 0;  // in the last text block
  std::size_t m_keptText = 0;
  std::size_t m_deadText = 0;
};

}  // namespace attrmap_detail

class ROMAttrMap {
 public:
  using key_type = std::string_view;
  using mapped_type = ROMAttr*;
  using value_type = std::pair<const key_type, mapped_type>;
  using size_type = std::size_t;

 private:
  struct Entry {
    value_type kv;
    std::size_t hash;
    std::size_t rank;  // position in name order, while the map knows it
  };

  // A bidirectional iterator in name order; end() holds no entry.
  template <bool Const>
  class Iter {
   public:
    using iterator_category = std::bidirectional_iterator_tag;
    using value_type = ROMAttrMap::value_type;
    using difference_type = std::ptrdiff_t;
    using reference = std::conditional_t<Const, const value_type&, value_type&>;
    using pointer = std::conditional_t<Const, const value_type*, value_type*>;

    Iter() = default;
    template <bool C = Const, class = std::enable_if_t<C>>
    Iter(const Iter<false>& other) noexcept : m_map(other.m_map), m_entry(other.m_entry) {}

    reference operator*() const noexcept { return m_entry->kv; }
    pointer operator->() const noexcept { return &m_entry->kv; }
    Iter& operator++() {
      m_entry = m_map->after(m_entry);
      return *this;
    }
    Iter operator++(int) {
      Iter old = *this;
      ++*this;
      return old;
    }
    Iter& operator--() {
      m_entry = m_map->before(m_entry);
      return *this;
    }
    Iter operator--(int) {
      Iter old = *this;
      --*this;
      return old;
    }
    friend bool operator==(const Iter& a, const Iter& b) noexcept { return a.m_entry == b.m_entry; }

   private:
    friend class ROMAttrMap;
    friend class Iter<!Const>;
    Iter(const ROMAttrMap* map, Entry* entry) noexcept : m_map(map), m_entry(entry) {}

    const ROMAttrMap* m_map = nullptr;
    Entry* m_entry = nullptr;
  };

 public:
  using iterator = Iter<false>;
  using const_iterator = Iter<true>;

  ROMAttrMap();
  ROMAttrMap(std::initializer_list<value_type> entries);
  ROMAttrMap(const ROMAttrMap& other);
  // The moved-from map is left empty, with a store of its own.
  ROMAttrMap(ROMAttrMap&& other);
  ROMAttrMap& operator=(const ROMAttrMap& other);
  ROMAttrMap& operator=(ROMAttrMap&& other);
  ~ROMAttrMap();

  // ---- Reading (the stamp stays) ----------------------------------------------
  // The first walk after a change puts the entries in name order.
  iterator begin() { return {this, first()}; }
  iterator end() noexcept { return {this, nullptr}; }
  const_iterator begin() const { return {this, first()}; }
  const_iterator end() const noexcept { return {this, nullptr}; }
  const_iterator cbegin() const { return begin(); }
  const_iterator cend() const noexcept { return end(); }
  iterator find(key_type key) noexcept { return {this, lookup(key)}; }
  const_iterator find(key_type key) const noexcept { return {this, lookup(key)}; }
  size_type count(key_type key) const noexcept { return lookup(key) ? 1 : 0; }
  bool contains(key_type key) const noexcept { return lookup(key) != nullptr; }
  // std::out_of_range("map::at") when absent, as std::map's.
  mapped_type& at(key_type key);
  const mapped_type& at(key_type key) const;
  size_type size() const noexcept { return m_order.size(); }
  bool empty() const noexcept { return m_order.empty(); }
  // The same names with the same record pointers.
  bool operator==(const ROMAttrMap& other) const noexcept;

  // Calls f(record pointer) for every entry, in no particular order (for
  // walks that do not care, such as deleting the records).
  template <class F>
  void forEachRecord(F&& f) const {
    for (const Entry* e : m_order) f(e->kv.second);
  }

  // Room for entries more names, of textBytes characters in all, filed
  // without a further allocation (the stamp stays).
  void reserve(size_type entries, size_type textBytes = 0);

  // ---- Structural changes (a new stamp) ----------------------------------------
  // A new stamp only when the key was not there yet.
  mapped_type& operator[](key_type key);
  // As std::map's: nothing changes when the key is there.
  std::pair<iterator, bool> emplace(key_type key, mapped_type record);
  std::pair<iterator, bool> insert(const value_type& entry) { return emplace(entry.first, entry.second); }
  std::pair<iterator, bool> insert_or_assign(key_type key, mapped_type record);
  size_type erase(key_type key);
  iterator erase(const_iterator position);
  iterator erase(iterator position) { return erase(const_iterator(position)); }
  void clear() noexcept;
  void swap(ROMAttrMap& other) noexcept;

  // The stamp of the map's present structure; never 0. A change only marks
  // the stamp as spent; the new one is drawn when someone asks for it, so a
  // block filing thousands of names draws one stamp, not one per name.
  std::uint64_t stamp() const noexcept {
    if (m_stamp == 0) m_stamp = nextStamp();
    return m_stamp;
  }

 private:
  static std::uint64_t nextStamp() noexcept;
  void restamp() noexcept { m_stamp = 0; }

  static std::size_t hashOf(key_type key) noexcept { return ::hashName(key); }
  Entry* lookup(key_type key) const noexcept { return lookup(key, hashOf(key)); }
  Entry* lookup(key_type key, std::size_t hash) const noexcept;
  // A new entry for a key known to be absent.
  Entry* add(key_type key, std::size_t hash, mapped_type record);
  // Takes the entry out of the index and the order and frees it.
  void remove(Entry* entry) noexcept;
  // An index of at least the given size (a power of two) holding every entry.
  void growIndex(std::size_t atLeast = 0);
  // The entries in name order, with their ranks (sorted on first need).
  void sortIfNeeded() const;
  Entry* first() const;
  Entry* after(Entry* entry) const;
  Entry* before(Entry* entry) const;
  // Copies every entry of other (names kept in this map's store).
  void copyEntries(const ROMAttrMap& other);
  // Keeps the live names again in fresh text once erased names left more
  // dead text than live; the entries stay where they are.
  void compactText();

  std::unique_ptr<attrmap_detail::AttrStore> m_store;
  // An index slot keeps its entry's hash beside it, so a probe that passes
  // other names compares hashes without touching their entries.
  struct Slot {
    std::size_t hash;
    Entry* entry;
  };
  std::vector<Slot> m_index;            // open addressing, linear probing; size a power of two
  mutable std::vector<Entry*> m_order;  // every entry; in name order while m_sorted
  // A walk of a const map may put the entries in order: every call reaches a
  // block from the framework's one thread, and the library takes no lock.
  mutable bool m_sorted = true;
  mutable std::uint64_t m_stamp = 0;  // 0: changed since the last stamp was drawn
};

// One named attribute of a block's map, read at every evaluation. The look-up
// by name happens on first use and after a structural change of the map; a
// missing name (or a null record under it) raises "invalid map<K, T> key" at
// the use that reads it, as the look-up by name did.
class AttrRef {
 public:
  AttrRef() = default;
  explicit AttrRef(std::string name) : m_name(std::move(name)) {}

  const std::string& name() const { return m_name; }

  ROMAttr& record(const ROMAttrMap& map) const {
    if (map.stamp() != m_stamp) resolve(map);
    ROMAttr* record = *m_slot;
    if (!record) missing();
    return *record;
  }
  double value(const ROMAttrMap& map) const { return record(map).value; }

  // Forgets the slot; the next use looks the name up.
  void reset() const noexcept {
    m_stamp = 0;
    m_slot = nullptr;
  }

 private:
  // Finds the name's entry and remembers its slot and the map's stamp; throws
  // (remembering nothing) when the map has no such entry.
  void resolve(const ROMAttrMap& map) const;
  [[noreturn]] static void missing();

  std::string m_name;
  mutable std::uint64_t m_stamp = 0;  // 0: no slot (no map has stamp 0)
  mutable ROMAttr* const* m_slot = nullptr;
};

// Several attributes that one evaluation reads together (a network output's
// ALPHA and its GAMMA per input): one stamp check for the group, then each
// record read through its slot, as AttrRef does for one. The names are kept
// end to end in one text, so a group of many names takes two allocations.
class AttrGroup {
 public:
  AttrGroup() = default;
  explicit AttrGroup(const std::vector<std::string>& names) {
    reserve(names.size(), 0);
    for (const std::string& name : names) add({name});
  }

  // Room for count names of textBytes characters in all.
  void reserve(std::size_t count, std::size_t textBytes) {
    m_members.reserve(count);
    m_text.reserve(textBytes);
  }
  // Appends the name made of the pieces, end to end; the group must be bound again.
  void add(std::initializer_list<std::string_view> pieces) {
    for (std::string_view piece : pieces) m_text.append(piece);
    m_members.push_back({m_text.size(), nullptr});
    m_stamp = 0;
  }

  std::size_t size() const { return m_members.size(); }
  std::string_view name(std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : m_members[i - 1].end;
    return std::string_view(m_text).substr(begin, m_members[i].end - begin);
  }

  // Makes the slots current for the map (looking every name up, in order,
  // after a structural change); a missing name raises "invalid map<K, T>
  // key" and leaves the group unresolved. Call before value.
  void bind(const ROMAttrMap& map) const {
    if (map.stamp() != m_stamp) resolve(map);
  }
  // The value of attribute i of the bound map; a null record raises the same
  // text.
  double value(std::size_t i) const {
    ROMAttr* record = *m_members[i].slot;
    if (!record) missingRecord();
    return record->value;
  }

 private:
  void resolve(const ROMAttrMap& map) const;
  [[noreturn]] static void missingRecord();

  struct Member {
    std::size_t end;  // of the name in m_text
    ROMAttr* const* slot;
  };
  std::string m_text;
  mutable std::vector<Member> m_members;
  mutable std::uint64_t m_stamp = 0;
};
