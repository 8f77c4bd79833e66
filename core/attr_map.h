// ROMAttrMap: a block's attribute records (tuning factors, bounds, error
// scales, model attributes) by name, and AttrRef, the cached way to read one
// of them at every evaluation without a look-up by name.
//
// The map has the interface of std::map<std::string, ROMAttr*> that the
// blocks and tests use, plus a change stamp: every structural change
// (insertion, erase, clear, assignment, swap) gives the map a new stamp,
// drawn from one counter for all maps, so a stamp names one map in one state
// and no two maps ever share one. Reading, and writing a record pointer into
// an existing entry (map[name] = record, it->second = record), keep the stamp:
// the entry itself stays where it is.
//
// An AttrRef remembers where the map keeps the record pointer of its name
// (the entry's slot) together with the stamp at which it looked. On every use
// it compares the stamp (one load), looks the name up again only when the
// stamp moved, and reads the record pointer through the slot, so a record
// replaced in its entry (putRecord, a test, attr_assign_value's target) is
// the one read, and an erased entry is never touched.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/records.h"

class ROMAttrMap {
 public:
  using Map = std::map<std::string, ROMAttr*>;
  using key_type = Map::key_type;
  using mapped_type = Map::mapped_type;
  using value_type = Map::value_type;
  using size_type = Map::size_type;
  using iterator = Map::iterator;
  using const_iterator = Map::const_iterator;

  ROMAttrMap() noexcept : m_stamp(nextStamp()) {}
  ROMAttrMap(std::initializer_list<value_type> entries) : m_map(entries), m_stamp(nextStamp()) {}
  ROMAttrMap(const ROMAttrMap& other) : m_map(other.m_map), m_stamp(nextStamp()) {}
  ROMAttrMap(ROMAttrMap&& other) noexcept : m_map(std::move(other.m_map)), m_stamp(nextStamp()) { other.restamp(); }
  ROMAttrMap& operator=(const ROMAttrMap& other) {
    m_map = other.m_map;
    restamp();
    return *this;
  }
  ROMAttrMap& operator=(ROMAttrMap&& other) noexcept {
    m_map = std::move(other.m_map);
    restamp();
    other.restamp();
    return *this;
  }
  ~ROMAttrMap() = default;

  // ---- Reading (the stamp stays) ----------------------------------------------
  iterator begin() noexcept { return m_map.begin(); }
  iterator end() noexcept { return m_map.end(); }
  const_iterator begin() const noexcept { return m_map.begin(); }
  const_iterator end() const noexcept { return m_map.end(); }
  const_iterator cbegin() const noexcept { return m_map.cbegin(); }
  const_iterator cend() const noexcept { return m_map.cend(); }
  iterator find(const key_type& key) { return m_map.find(key); }
  const_iterator find(const key_type& key) const { return m_map.find(key); }
  size_type count(const key_type& key) const { return m_map.count(key); }
  bool contains(const key_type& key) const { return m_map.count(key) != 0; }
  mapped_type& at(const key_type& key) { return m_map.at(key); }
  const mapped_type& at(const key_type& key) const { return m_map.at(key); }
  size_type size() const noexcept { return m_map.size(); }
  bool empty() const noexcept { return m_map.empty(); }
  bool operator==(const ROMAttrMap& other) const { return m_map == other.m_map; }

  // ---- Structural changes (a new stamp) ----------------------------------------
  // A new stamp only when the key was not there yet.
  mapped_type& operator[](const key_type& key);
  template <class... Args>
  std::pair<iterator, bool> emplace(Args&&... args) {
    auto result = m_map.emplace(std::forward<Args>(args)...);
    restamp();
    return result;
  }
  std::pair<iterator, bool> insert(const value_type& entry) {
    auto result = m_map.insert(entry);
    restamp();
    return result;
  }
  std::pair<iterator, bool> insert_or_assign(const key_type& key, mapped_type record) {
    auto result = m_map.insert_or_assign(key, record);
    restamp();
    return result;
  }
  size_type erase(const key_type& key) {
    const size_type n = m_map.erase(key);
    restamp();
    return n;
  }
  iterator erase(const_iterator position) {
    auto next = m_map.erase(position);
    restamp();
    return next;
  }
  iterator erase(iterator position) {
    auto next = m_map.erase(position);
    restamp();
    return next;
  }
  void clear() noexcept {
    m_map.clear();
    restamp();
  }
  void swap(ROMAttrMap& other) noexcept {
    m_map.swap(other.m_map);
    restamp();
    other.restamp();
  }

  // The stamp of the map's present structure; never 0.
  std::uint64_t stamp() const noexcept { return m_stamp; }

 private:
  static std::uint64_t nextStamp() noexcept;
  void restamp() noexcept { m_stamp = nextStamp(); }

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
