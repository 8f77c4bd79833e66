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
// A block files a few thousand attributes when it is made and drops them all
// when it goes, so the map keeps its entries and the text of their names in
// storage of its own (AttrStore) rather than in one heap allocation per entry
// and per name: a name is kept once, as a view into that storage. The records
// themselves stay separate heap objects, owned by whoever files them.
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
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/records.h"

namespace attrmap_detail {

// The entries (tree nodes of one size) and name text of one map. Nodes come
// from blocks of growing size and return to a free list; text is appended to
// blocks of growing size and given back only as a whole (the map rebuilds its
// store when erased names have left more dead text than live).
class AttrStore {
 public:
  AttrStore() = default;
  AttrStore(const AttrStore&) = delete;
  AttrStore& operator=(const AttrStore&) = delete;
  ~AttrStore();

  // Whether nodes of this size come from the store: the first size asked
  // for is the store's node size (a tree asks for one size only).
  bool pools(std::size_t bytes) noexcept {
    if (m_nodeSize == 0) m_nodeSize = bytes;
    return bytes == m_nodeSize;
  }
  bool pooled(std::size_t bytes) const noexcept { return bytes == m_nodeSize; }
  // One node of the store's node size.
  void* allocateNode();
  void freeNode(void* node) noexcept {
    *static_cast<void**>(node) = m_freeNodes;
    m_freeNodes = node;
  }
  // A copy of the text that lives as long as the store (or its next reset).
  std::string_view keep(std::string_view text);
  // Text that no entry names any more.
  void drop(std::size_t bytes) noexcept { m_deadText += bytes; }
  std::size_t deadText() const noexcept { return m_deadText; }
  std::size_t liveText() const noexcept { return m_keptText - m_deadText; }
  // Forgets all text; only for a map with no entries left.
  void resetText() noexcept;

 private:
  struct Block {
    char* data;
    std::size_t size;
  };
  std::vector<Block> m_nodeBlocks;
  void* m_freeNodes = nullptr;
  std::size_t m_nodeSize = 0;
  std::size_t m_nodesPerBlock = 32;
  std::vector<Block> m_textBlocks;
  std::size_t m_textUsed = 0;  // in the last text block
  std::size_t m_keptText = 0;
  std::size_t m_deadText = 0;
};

// The tree's allocator: one-node requests of the store's node size come from
// the store, anything else from the heap.
template <class T>
class StoreAllocator {
 public:
  using value_type = T;
  using propagate_on_container_copy_assignment = std::false_type;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;
  using is_always_equal = std::false_type;

  explicit StoreAllocator(AttrStore* store) noexcept : m_store(store) {}
  template <class U>
  StoreAllocator(const StoreAllocator<U>& other) noexcept : m_store(other.store()) {}

  T* allocate(std::size_t n) {
    if (n == 1 && m_store->pools(sizeof(T))) return static_cast<T*>(m_store->allocateNode());
    return std::allocator<T>().allocate(n);
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (n == 1 && m_store->pooled(sizeof(T))) {
      m_store->freeNode(p);
    } else {
      std::allocator<T>().deallocate(p, n);
    }
  }
  AttrStore* store() const noexcept { return m_store; }
  template <class U>
  bool operator==(const StoreAllocator<U>& other) const noexcept {
    return m_store == other.store();
  }

 private:
  AttrStore* m_store;
};

}  // namespace attrmap_detail

class ROMAttrMap {
 public:
  using key_type = std::string_view;
  using mapped_type = ROMAttr*;
  using value_type = std::pair<const key_type, mapped_type>;
  using Map = std::map<key_type, mapped_type, std::less<>, attrmap_detail::StoreAllocator<value_type>>;
  using size_type = Map::size_type;
  using iterator = Map::iterator;
  using const_iterator = Map::const_iterator;

  ROMAttrMap();
  ROMAttrMap(std::initializer_list<value_type> entries);
  ROMAttrMap(const ROMAttrMap& other);
  // The moved-from map is left empty, with a store of its own.
  ROMAttrMap(ROMAttrMap&& other);
  ROMAttrMap& operator=(const ROMAttrMap& other);
  ROMAttrMap& operator=(ROMAttrMap&& other);
  ~ROMAttrMap();

  // ---- Reading (the stamp stays) ----------------------------------------------
  iterator begin() noexcept { return m_map.begin(); }
  iterator end() noexcept { return m_map.end(); }
  const_iterator begin() const noexcept { return m_map.begin(); }
  const_iterator end() const noexcept { return m_map.end(); }
  const_iterator cbegin() const noexcept { return m_map.cbegin(); }
  const_iterator cend() const noexcept { return m_map.cend(); }
  iterator find(key_type key) { return m_map.find(key); }
  const_iterator find(key_type key) const { return m_map.find(key); }
  size_type count(key_type key) const { return m_map.count(key); }
  bool contains(key_type key) const { return m_map.count(key) != 0; }
  mapped_type& at(key_type key) { return m_map.at(key); }
  const mapped_type& at(key_type key) const { return m_map.at(key); }
  size_type size() const noexcept { return m_map.size(); }
  bool empty() const noexcept { return m_map.empty(); }
  bool operator==(const ROMAttrMap& other) const { return m_map == other.m_map; }

  // ---- Structural changes (a new stamp) ----------------------------------------
  // A new stamp only when the key was not there yet.
  mapped_type& operator[](key_type key);
  // The slot of a key as operator[] gives it, looked for first in the few
  // entries after the finger (the entry this call gave last time), then from
  // the root; the finger moves to the key's entry. Names filed one per input
  // in input order find their place in a step or two this way. A finger must
  // not outlive an erase of its entry; end() is a finger that points nowhere.
  mapped_type& slotAfter(iterator& finger, key_type key);
  // As std::map's: nothing changes when the key is there.
  std::pair<iterator, bool> emplace(key_type key, mapped_type record);
  std::pair<iterator, bool> insert(const value_type& entry) { return emplace(entry.first, entry.second); }
  std::pair<iterator, bool> insert_or_assign(key_type key, mapped_type record);
  size_type erase(key_type key);
  iterator erase(const_iterator position);
  iterator erase(iterator position) { return erase(const_iterator(position)); }
  void clear() noexcept;
  void swap(ROMAttrMap& other) noexcept;

  // The stamp of the map's present structure; never 0.
  std::uint64_t stamp() const noexcept { return m_stamp; }

 private:
  static std::uint64_t nextStamp() noexcept;
  void restamp() noexcept { m_stamp = nextStamp(); }
  // A new entry for a key known to be absent, placed before the hint.
  iterator add(const_iterator hint, key_type key, mapped_type record);
  // Copies every entry of other (names kept in this map's store).
  void copyEntries(const ROMAttrMap& other);
  // Rebuilds the store when erased names left more dead text than live.
  void compactIfWasteful();

  std::unique_ptr<attrmap_detail::AttrStore> m_store;  // before m_map: the entries go first
  Map m_map;
  std::uint64_t m_stamp;
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
// record read through its slot, as AttrRef does for one.
class AttrGroup {
 public:
  AttrGroup() = default;
  explicit AttrGroup(std::vector<std::string> names) : m_names(std::move(names)) {}

  std::size_t size() const { return m_names.size(); }
  const std::string& name(std::size_t i) const { return m_names[i]; }

  // Makes the slots current for the map (looking every name up, in order,
  // after a structural change); a missing name raises "invalid map<K, T>
  // key" and leaves the group unresolved. Call before value.
  void bind(const ROMAttrMap& map) const {
    if (map.stamp() != m_stamp) resolve(map);
  }
  // The value of attribute i of the bound map; a null record raises the same
  // text.
  double value(std::size_t i) const {
    ROMAttr* record = *m_slots[i];
    if (!record) missingRecord();
    return record->value;
  }

 private:
  void resolve(const ROMAttrMap& map) const;
  [[noreturn]] static void missingRecord();

  std::vector<std::string> m_names;
  mutable std::vector<ROMAttr* const*> m_slots;
  mutable std::uint64_t m_stamp = 0;
};
