#include "core/attr_map.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/helpers.h"

namespace {

// One counter for every map: a stamp is never given twice, so a cache can
// tell two maps apart (and one map before and after a change) by it alone.
std::atomic<std::uint64_t> g_stamps{0};

// Text blocks start at this size and double, up to the largest.
constexpr std::size_t kFirstTextBlock = 2048;
constexpr std::size_t kLargestTextBlock = 64 * 1024;
constexpr std::size_t kLargestNodeBlock = 1024;  // nodes
// Dead text below this is never worth a rebuild.
constexpr std::size_t kCompactFloor = 16 * 1024;

}  // namespace

namespace attrmap_detail {

AttrStore::~AttrStore() {
  for (const Block& b : m_nodeBlocks) ::operator delete(b.data);
  for (const Block& b : m_textBlocks) ::operator delete(b.data);
}

void* AttrStore::allocateNode() {
  if (!m_freeNodes) {
    // Each node aligned as the heap would align it, and large enough to hold
    // the free list's link.
    const std::size_t size = std::max(m_nodeSize, sizeof(void*));
    const std::size_t stride =
        (size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);
    char* data = static_cast<char*>(::operator new(stride * m_nodesPerBlock));
    m_nodeBlocks.push_back({data, stride * m_nodesPerBlock});
    // Threaded back to front, so nodes are handed out in address order.
    for (std::size_t i = m_nodesPerBlock; i-- > 0;) freeNode(data + i * stride);
    m_nodesPerBlock = std::min(m_nodesPerBlock * 2, kLargestNodeBlock);
  }
  void* node = m_freeNodes;
  m_freeNodes = *static_cast<void**>(node);
  return node;
}

std::string_view AttrStore::keep(std::string_view text) {
  if (text.empty()) return {};
  if (m_textBlocks.empty() || m_textBlocks.back().size - m_textUsed < text.size()) {
    const std::size_t next =
        m_textBlocks.empty() ? kFirstTextBlock : std::min(m_textBlocks.back().size * 2, kLargestTextBlock);
    const std::size_t size = std::max(next, text.size());
    m_textBlocks.reserve(m_textBlocks.size() + 1);
    m_textBlocks.push_back({static_cast<char*>(::operator new(size)), size});
    m_textUsed = 0;
  }
  char* at = m_textBlocks.back().data + m_textUsed;
  std::memcpy(at, text.data(), text.size());
  m_textUsed += text.size();
  m_keptText += text.size();
  return {at, text.size()};
}

void AttrStore::resetText() noexcept {
  // The first block is kept for the next names.
  for (std::size_t i = 1; i < m_textBlocks.size(); ++i) ::operator delete(m_textBlocks[i].data);
  if (!m_textBlocks.empty()) m_textBlocks.resize(1);
  m_textUsed = 0;
  m_keptText = 0;
  m_deadText = 0;
}

}  // namespace attrmap_detail

using attrmap_detail::AttrStore;
using attrmap_detail::StoreAllocator;

std::uint64_t ROMAttrMap::nextStamp() noexcept { return g_stamps.fetch_add(1, std::memory_order_relaxed) + 1; }

ROMAttrMap::ROMAttrMap()
    : m_store(std::make_unique<AttrStore>()), m_map(StoreAllocator<value_type>(m_store.get())), m_stamp(nextStamp()) {}

ROMAttrMap::ROMAttrMap(std::initializer_list<value_type> entries) : ROMAttrMap() {
  for (const value_type& entry : entries) emplace(entry.first, entry.second);
  restamp();
}

ROMAttrMap::ROMAttrMap(const ROMAttrMap& other) : ROMAttrMap() { copyEntries(other); }

ROMAttrMap::ROMAttrMap(ROMAttrMap&& other) : ROMAttrMap() { swap(other); }

ROMAttrMap& ROMAttrMap::operator=(const ROMAttrMap& other) {
  if (this != &other) {
    ROMAttrMap copy(other);
    swap(copy);
  }
  restamp();
  return *this;
}

ROMAttrMap& ROMAttrMap::operator=(ROMAttrMap&& other) {
  if (this != &other) {
    ROMAttrMap taken(std::move(other));
    swap(taken);
  }
  restamp();
  return *this;
}

ROMAttrMap::~ROMAttrMap() = default;

void ROMAttrMap::copyEntries(const ROMAttrMap& other) {
  // The other map's order is this map's: every entry goes at the end.
  for (const value_type& entry : other.m_map) add(m_map.cend(), entry.first, entry.second);
}

ROMAttrMap::iterator ROMAttrMap::add(const_iterator hint, key_type key, mapped_type record) {
  const key_type kept = m_store->keep(key);
  return m_map.emplace_hint(hint, kept, record);
}

ROMAttrMap::mapped_type& ROMAttrMap::operator[](key_type key) {
  auto it = m_map.lower_bound(key);
  if (it == m_map.end() || key < it->first) {
    it = add(it, key, nullptr);
    restamp();
  }
  return it->second;
}

ROMAttrMap::mapped_type& ROMAttrMap::slotAfter(iterator& finger, key_type key) {
  // How far past the finger the key is looked for before a search from the root.
  constexpr int kSteps = 4;
  iterator it = m_map.end();
  bool found = false;
  if (finger != m_map.end() && finger->first < key) {
    it = std::next(finger);
    for (int step = 0; step < kSteps && it != m_map.end(); ++step, ++it) {
      if (!(it->first < key)) break;
    }
    found = it == m_map.end() || !(it->first < key);
  }
  if (!found) it = m_map.lower_bound(key);
  if (it == m_map.end() || key < it->first) {
    it = add(it, key, nullptr);
    restamp();
  }
  finger = it;
  return it->second;
}

std::pair<ROMAttrMap::iterator, bool> ROMAttrMap::emplace(key_type key, mapped_type record) {
  auto it = m_map.lower_bound(key);
  const bool absent = it == m_map.end() || key < it->first;
  if (absent) it = add(it, key, record);
  restamp();
  return {it, absent};
}

std::pair<ROMAttrMap::iterator, bool> ROMAttrMap::insert_or_assign(key_type key, mapped_type record) {
  auto it = m_map.lower_bound(key);
  const bool absent = it == m_map.end() || key < it->first;
  if (absent) {
    it = add(it, key, record);
  } else {
    it->second = record;
  }
  restamp();
  return {it, absent};
}

ROMAttrMap::size_type ROMAttrMap::erase(key_type key) {
  const auto it = m_map.find(key);
  size_type n = 0;
  if (it != m_map.end()) {
    erase(const_iterator(it));
    n = 1;
  }
  restamp();
  return n;
}

ROMAttrMap::iterator ROMAttrMap::erase(const_iterator position) {
  m_store->drop(position->first.size());
  auto next = m_map.erase(position);
  if (m_store->deadText() > kCompactFloor && m_store->deadText() > m_store->liveText()) {
    // The rebuilt map has new entries: find the next one again by name.
    const std::string nextKey = next == m_map.end() ? std::string() : std::string(next->first);
    const bool atEnd = next == m_map.end();
    compactIfWasteful();
    next = atEnd ? m_map.end() : m_map.find(nextKey);
  }
  restamp();
  return next;
}

void ROMAttrMap::compactIfWasteful() {
  ROMAttrMap fresh;
  fresh.copyEntries(*this);
  std::swap(m_store, fresh.m_store);
  m_map.swap(fresh.m_map);
}

void ROMAttrMap::clear() noexcept {
  m_map.clear();
  m_store->resetText();
  restamp();
}

void ROMAttrMap::swap(ROMAttrMap& other) noexcept {
  std::swap(m_store, other.m_store);
  m_map.swap(other.m_map);
  restamp();
  other.restamp();
}

void AttrRef::resolve(const ROMAttrMap& map) const {
  const auto it = map.find(m_name);
  if (it == map.end()) missing();
  m_slot = &it->second;
  m_stamp = map.stamp();
}

void AttrRef::missing() { throw std::out_of_range(kInvalidMapKey); }

void AttrGroup::resolve(const ROMAttrMap& map) const {
  m_stamp = 0;
  m_slots.resize(m_names.size());
  for (std::size_t i = 0; i < m_names.size(); ++i) {
    const auto it = map.find(m_names[i]);
    if (it == map.end()) missingRecord();
    m_slots[i] = &it->second;
  }
  m_stamp = map.stamp();
}

void AttrGroup::missingRecord() { throw std::out_of_range(kInvalidMapKey); }
