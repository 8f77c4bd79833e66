// StampedMap: an ordered map by name with a change stamp, and EntryRef, the
// cached way to reach one of its entries at every evaluation without a
// look-up by name. The first-generation blocks keep their variable and
// equation records, their network derivatives and their independent-variable
// sets in such maps, so that what an evaluation resolved once (a record, a
// derivative slot, a list of inputs) is looked up again only after the map
// changed.
//
// The map has the interface of std::map that the blocks and tests use, plus
// a stamp: every structural change (insertion of a new key, erase, clear,
// assignment, swap, move) gives the map a new stamp, drawn from one counter
// for all maps, so a stamp names one map in one state and no two maps ever
// share one; no map has stamp 0. Reading, and writing a value into an existing
// entry (map[name] = value, it->second = value), keep the stamp: the entry
// itself stays where it is. touch() gives a new stamp on purpose, for a change
// of a value that a cache derived something from.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>

// The next stamp of the counter every StampedMap draws from; never 0.
std::uint64_t nextMapStamp() noexcept;

// Throws std::out_of_range("invalid map<K, T> key"), the checked look-up's error.
[[noreturn]] void throwMissingKey();

template <class Key, class T>
class StampedMap {
 public:
  using Map = std::map<Key, T>;
  using key_type = typename Map::key_type;
  using mapped_type = typename Map::mapped_type;
  using value_type = typename Map::value_type;
  using size_type = typename Map::size_type;
  using iterator = typename Map::iterator;
  using const_iterator = typename Map::const_iterator;
  using reverse_iterator = typename Map::reverse_iterator;
  using const_reverse_iterator = typename Map::const_reverse_iterator;

  StampedMap() noexcept : m_stamp(nextMapStamp()) {}
  StampedMap(std::initializer_list<value_type> entries) : m_map(entries), m_stamp(nextMapStamp()) {}
  StampedMap(const StampedMap& other) : m_map(other.m_map), m_stamp(nextMapStamp()) {}
  StampedMap(StampedMap&& other) noexcept : m_map(std::move(other.m_map)), m_stamp(nextMapStamp()) {
    other.touch();
  }
  // Copied aside first: a copy that throws leaves this map and its stamp as
  // they were, so no slot kept under the stamp points at a freed entry.
  StampedMap& operator=(const StampedMap& other) {
    Map copy(other.m_map);
    m_map.swap(copy);
    touch();
    return *this;
  }
  StampedMap& operator=(StampedMap&& other) noexcept {
    m_map = std::move(other.m_map);
    touch();
    other.touch();
    return *this;
  }
  ~StampedMap() = default;

  // ---- Reading (the stamp stays) ----------------------------------------------
  iterator begin() noexcept { return m_map.begin(); }
  iterator end() noexcept { return m_map.end(); }
  const_iterator begin() const noexcept { return m_map.begin(); }
  const_iterator end() const noexcept { return m_map.end(); }
  const_iterator cbegin() const noexcept { return m_map.cbegin(); }
  const_iterator cend() const noexcept { return m_map.cend(); }
  reverse_iterator rbegin() noexcept { return m_map.rbegin(); }
  reverse_iterator rend() noexcept { return m_map.rend(); }
  const_reverse_iterator rbegin() const noexcept { return m_map.rbegin(); }
  const_reverse_iterator rend() const noexcept { return m_map.rend(); }
  iterator find(const key_type& key) { return m_map.find(key); }
  const_iterator find(const key_type& key) const { return m_map.find(key); }
  size_type count(const key_type& key) const { return m_map.count(key); }
  bool contains(const key_type& key) const { return m_map.count(key) != 0; }
  mapped_type& at(const key_type& key) { return m_map.at(key); }
  const mapped_type& at(const key_type& key) const { return m_map.at(key); }
  size_type size() const noexcept { return m_map.size(); }
  bool empty() const noexcept { return m_map.empty(); }
  bool operator==(const StampedMap& other) const { return m_map == other.m_map; }

  // ---- Structural changes (a new stamp) ----------------------------------------
  // A new stamp only when the key was not there yet.
  mapped_type& operator[](const key_type& key) {
    auto it = m_map.lower_bound(key);
    if (it == m_map.end() || m_map.key_comp()(key, it->first)) {
      it = m_map.emplace_hint(it, key, mapped_type{});
      touch();
    }
    return it->second;
  }
  template <class... Args>
  std::pair<iterator, bool> emplace(Args&&... args) {
    auto result = m_map.emplace(std::forward<Args>(args)...);
    touch();
    return result;
  }
  std::pair<iterator, bool> insert(const value_type& entry) {
    auto result = m_map.insert(entry);
    touch();
    return result;
  }
  std::pair<iterator, bool> insert_or_assign(const key_type& key, mapped_type value) {
    auto result = m_map.insert_or_assign(key, std::move(value));
    touch();
    return result;
  }
  size_type erase(const key_type& key) {
    const size_type n = m_map.erase(key);
    touch();
    return n;
  }
  iterator erase(const_iterator position) {
    auto next = m_map.erase(position);
    touch();
    return next;
  }
  iterator erase(iterator position) {
    auto next = m_map.erase(position);
    touch();
    return next;
  }
  void clear() noexcept {
    m_map.clear();
    touch();
  }
  void swap(StampedMap& other) noexcept {
    m_map.swap(other.m_map);
    touch();
    other.touch();
  }
  // A new stamp without a structural change.
  void touch() noexcept { m_stamp = nextMapStamp(); }

  // The stamp of the map's present structure; never 0.
  std::uint64_t stamp() const noexcept { return m_stamp; }

 private:
  Map m_map;
  std::uint64_t m_stamp;
};

// One named entry of a stamped map, read or written at every evaluation. The
// look-up by name happens on first use and after the map's stamp moved; the
// value is then read through the entry's slot, so a value replaced in its
// entry is read at once and an erased entry is never touched. A missing name
// raises "invalid map<K, T> key" at the use that needs it, as the look-up by
// name did; nothing is remembered then, so the next use looks again.
template <class Map>
class EntryRef {
 public:
  using mapped_type = typename Map::mapped_type;

  EntryRef() = default;
  explicit EntryRef(std::string name) : m_name(std::move(name)) {}

  const std::string& name() const { return m_name; }

  const mapped_type& get(const Map& map) const {
    if (map.stamp() != m_stamp) resolve(map);
    return *m_slot;
  }
  mapped_type& get(Map& map) const {
    if (map.stamp() != m_stamp) resolve(map);
    return *m_slot;
  }
  // True when the map holds the name (looking it up only after a change).
  bool present(const Map& map) const {
    if (map.stamp() == m_stamp) return true;
    const auto it = map.find(m_name);
    if (it == map.end()) return false;
    remember(map, it);
    return true;
  }

 private:
  void resolve(const Map& map) const {
    const auto it = map.find(m_name);
    if (it == map.end()) throwMissingKey();
    remember(map, it);
  }
  void remember(const Map& map, typename Map::const_iterator it) const {
    // The cache belongs to a block's own (non-const) map; only its evaluation
    // hooks are const.
    m_slot = const_cast<mapped_type*>(&it->second);
    m_stamp = map.stamp();
  }

  std::string m_name;
  mutable std::uint64_t m_stamp = 0;  // 0: no slot (no map has stamp 0)
  mutable mapped_type* m_slot = nullptr;
};
