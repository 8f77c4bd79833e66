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
constexpr std::size_t kLargestEntryBlock = 1024;  // entries
// Dead text below this is never worth a rebuild.
constexpr std::size_t kCompactFloor = 16 * 1024;
constexpr std::size_t kFirstIndexSize = 64;

}  // namespace

namespace attrmap_detail {

AttrStore::~AttrStore() {
  for (const Block& b : m_entryBlocks) ::operator delete(b.data);
  for (const Block& b : m_textBlocks) ::operator delete(b.data);
}

void AttrStore::addEntryBlock(std::size_t n) {
  // Each entry aligned as the heap would align it, and large enough to hold
  // the free list's link.
  const std::size_t size = std::max(m_entrySize, sizeof(void*));
  const std::size_t stride =
      (size + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);
  m_entryBlocks.reserve(m_entryBlocks.size() + 1);
  char* data = static_cast<char*>(::operator new(stride * n));
  m_entryBlocks.push_back({data, stride * n});
  // Threaded back to front, so entries are handed out in address order.
  for (std::size_t i = n; i-- > 0;) freeEntry(data + i * stride);
}

void* AttrStore::allocateEntry() {
  if (!m_free) {
    addEntryBlock(m_entriesPerBlock);
    m_entriesPerBlock = std::min(m_entriesPerBlock * 2, kLargestEntryBlock);
  }
  void* entry = m_free;
  m_free = *static_cast<void**>(entry);
  --m_freeCount;
  return entry;
}

void AttrStore::addTextBlock(std::size_t size) {
  m_textBlocks.reserve(m_textBlocks.size() + 1);
  m_textBlocks.push_back({static_cast<char*>(::operator new(size)), size});
  m_textUsed = 0;
}

std::string_view AttrStore::keep(std::string_view text) {
  if (text.empty()) return {};
  if (m_textBlocks.empty() || m_textBlocks.back().size - m_textUsed < text.size()) {
    const std::size_t next =
        m_textBlocks.empty() ? kFirstTextBlock : std::min(m_textBlocks.back().size * 2, kLargestTextBlock);
    addTextBlock(std::max(next, text.size()));
  }
  char* at = m_textBlocks.back().data + m_textUsed;
  std::memcpy(at, text.data(), text.size());
  m_textUsed += text.size();
  m_keptText += text.size();
  return {at, text.size()};
}

void AttrStore::reserve(std::size_t entries, std::size_t textBytes) {
  if (entries > m_freeCount) addEntryBlock(entries - m_freeCount);
  if (textBytes > 0 && (m_textBlocks.empty() || m_textBlocks.back().size - m_textUsed < textBytes))
    addTextBlock(textBytes);
}

std::vector<AttrStore::Block> AttrStore::restartText(std::size_t bytes) {
  const std::size_t size = std::max<std::size_t>(bytes, 1);
  std::vector<Block> fresh;
  fresh.reserve(1);
  fresh.push_back({static_cast<char*>(::operator new(size)), size});  // nothing changed if either throws
  fresh.swap(m_textBlocks);
  m_textUsed = 0;
  m_keptText = 0;
  m_deadText = 0;
  return fresh;
}

void AttrStore::freeBlocks(const std::vector<Block>& blocks) noexcept {
  for (const Block& b : blocks) ::operator delete(b.data);
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

std::uint64_t ROMAttrMap::nextStamp() noexcept { return g_stamps.fetch_add(1, std::memory_order_relaxed) + 1; }

ROMAttrMap::ROMAttrMap() : m_store(std::make_unique<AttrStore>(sizeof(Entry))) {}

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

// The entries are plain data in the store's blocks: the store frees them all.
ROMAttrMap::~ROMAttrMap() = default;

// ---- Finding ----------------------------------------------------------------

ROMAttrMap::Entry* ROMAttrMap::lookup(key_type key, std::size_t hash) const noexcept {
  if (m_index.empty()) return nullptr;
  const std::size_t mask = m_index.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& s = m_index[i];
    if (!s.entry) return nullptr;
    if (s.hash == hash && s.entry->kv.first == key) return s.entry;
  }
}

ROMAttrMap::mapped_type& ROMAttrMap::at(key_type key) {
  Entry* e = lookup(key);
  if (!e) throw std::out_of_range("map::at");
  return e->kv.second;
}

const ROMAttrMap::mapped_type& ROMAttrMap::at(key_type key) const {
  const Entry* e = lookup(key);
  if (!e) throw std::out_of_range("map::at");
  return e->kv.second;
}

bool ROMAttrMap::operator==(const ROMAttrMap& other) const noexcept {
  if (size() != other.size()) return false;
  for (const Entry* e : m_order) {
    const Entry* o = other.lookup(e->kv.first);
    if (!o || o->kv.second != e->kv.second) return false;
  }
  return true;
}

// ---- Name order -------------------------------------------------------------

void ROMAttrMap::sortIfNeeded() const {
  if (m_sorted) return;
  std::sort(m_order.begin(), m_order.end(), [](const Entry* a, const Entry* b) { return a->kv.first < b->kv.first; });
  for (std::size_t i = 0; i < m_order.size(); ++i) m_order[i]->rank = i;
  m_sorted = true;
}

ROMAttrMap::Entry* ROMAttrMap::first() const {
  sortIfNeeded();
  return m_order.empty() ? nullptr : m_order.front();
}

ROMAttrMap::Entry* ROMAttrMap::after(Entry* entry) const {
  sortIfNeeded();
  const std::size_t next = entry->rank + 1;
  return next < m_order.size() ? m_order[next] : nullptr;
}

ROMAttrMap::Entry* ROMAttrMap::before(Entry* entry) const {
  sortIfNeeded();
  if (!entry) return m_order.empty() ? nullptr : m_order.back();
  return entry->rank > 0 ? m_order[entry->rank - 1] : nullptr;
}

// ---- Changes ----------------------------------------------------------------

void ROMAttrMap::growIndex(std::size_t atLeast) {
  std::size_t size = m_index.empty() ? kFirstIndexSize : m_index.size() * 2;
  while (size < atLeast) size *= 2;
  std::vector<Slot> index(size, Slot{0, nullptr});
  const std::size_t mask = size - 1;
  for (Entry* e : m_order) {
    std::size_t i = e->hash & mask;
    while (index[i].entry) i = (i + 1) & mask;
    index[i] = {e->hash, e};
  }
  m_index.swap(index);
}

void ROMAttrMap::reserve(size_type entries, size_type textBytes) {
  const size_type total = m_order.size() + entries;
  // At most half full once they are all in, as add keeps it.
  if (total * 2 > m_index.size()) growIndex(total * 2);
  m_order.reserve(total);
  m_store->reserve(entries, textBytes);
}

ROMAttrMap::Entry* ROMAttrMap::add(key_type key, std::size_t hash, mapped_type record) {
  // At most half full, so probes stay short.
  if ((m_order.size() + 1) * 2 > m_index.size()) growIndex();
  // Room for the new entry in the order before anything changes (doubling, as push_back would).
  if (m_order.size() == m_order.capacity()) m_order.reserve(std::max<std::size_t>(16, m_order.size() * 2));
  const key_type kept = m_store->keep(key);
  auto* e = new (m_store->allocateEntry()) Entry{value_type(kept, record), hash, m_order.size()};
  const std::size_t mask = m_index.size() - 1;
  std::size_t i = hash & mask;
  while (m_index[i].entry) i = (i + 1) & mask;
  m_index[i] = {hash, e};
  // Names filed in order keep the order; any other makes the next walk sort.
  if (m_sorted && !m_order.empty() && !(m_order.back()->kv.first < kept))
    m_sorted = false;
  m_order.push_back(e);
  return e;
}

void ROMAttrMap::remove(Entry* entry) noexcept {
  // Out of the index, moving later entries of its probe run back into the gap.
  const std::size_t mask = m_index.size() - 1;
  std::size_t gap = entry->hash & mask;
  while (m_index[gap].entry != entry) gap = (gap + 1) & mask;
  m_index[gap] = {0, nullptr};
  for (std::size_t j = (gap + 1) & mask; m_index[j].entry; j = (j + 1) & mask) {
    const std::size_t home = m_index[j].hash & mask;
    // The entry at j may fill the gap when its home does not lie in (gap, j].
    const bool between = gap <= j ? (home > gap && home <= j) : (home > gap || home <= j);
    if (!between) {
      m_index[gap] = m_index[j];
      m_index[j] = {0, nullptr};
      gap = j;
    }
  }
  // Out of the order: in name order the later entries move up one rank.
  if (m_sorted) {
    m_order.erase(m_order.begin() + static_cast<std::ptrdiff_t>(entry->rank));
    for (std::size_t i = entry->rank; i < m_order.size(); ++i) m_order[i]->rank = i;
  } else {
    *std::find(m_order.begin(), m_order.end(), entry) = m_order.back();
    m_order.pop_back();
  }
  m_store->drop(entry->kv.first.size());
  entry->~Entry();
  m_store->freeEntry(entry);
}

ROMAttrMap::mapped_type& ROMAttrMap::operator[](key_type key) {
  const std::size_t hash = hashOf(key);
  Entry* e = lookup(key, hash);
  if (!e) {
    e = add(key, hash, nullptr);
    restamp();
  }
  return e->kv.second;
}

std::pair<ROMAttrMap::iterator, bool> ROMAttrMap::emplace(key_type key, mapped_type record) {
  Entry* e = lookup(key);
  const bool absent = e == nullptr;
  if (absent) e = add(key, hashOf(key), record);
  restamp();
  return {iterator(this, e), absent};
}

std::pair<ROMAttrMap::iterator, bool> ROMAttrMap::insert_or_assign(key_type key, mapped_type record) {
  Entry* e = lookup(key);
  const bool absent = e == nullptr;
  if (absent) {
    e = add(key, hashOf(key), record);
  } else {
    e->kv.second = record;
  }
  restamp();
  return {iterator(this, e), absent};
}

ROMAttrMap::size_type ROMAttrMap::erase(key_type key) {
  Entry* e = lookup(key);
  if (e) erase(const_iterator(this, e));
  restamp();
  return e ? 1 : 0;
}

ROMAttrMap::iterator ROMAttrMap::erase(const_iterator position) {
  Entry* next = after(position.m_entry);
  remove(position.m_entry);
  if (m_store->deadText() > kCompactFloor && m_store->deadText() > m_store->liveText()) compactText();
  restamp();
  return {this, next};
}

void ROMAttrMap::copyEntries(const ROMAttrMap& other) {
  // In the other map's name order, so this map starts in order.
  for (const value_type& entry : other) add(entry.first, hashOf(entry.first), entry.second);
}

void ROMAttrMap::compactText() {
  std::vector<AttrStore::Block> old;
  try {
    old = m_store->restartText(m_store->liveText());
  } catch (const std::bad_alloc&) {
    return;  // the dead text stays until a later erase
  }
  // Each entry takes its name from the fresh block (which holds every live
  // name, so keep allocates nothing); its hash, rank and record stay.
  for (Entry* e : m_order) {
    const Entry moved{value_type(m_store->keep(e->kv.first), e->kv.second), e->hash, e->rank};
    e->~Entry();
    new (e) Entry(moved);
  }
  AttrStore::freeBlocks(old);
}

void ROMAttrMap::clear() noexcept {
  for (Entry* e : m_order) {
    e->~Entry();
    m_store->freeEntry(e);
  }
  m_order.clear();
  // The index goes with the entries (a map is mostly cleared on its way out);
  // the next name filed starts a small one.
  std::vector<Slot>().swap(m_index);
  m_sorted = true;
  m_store->resetText();
  restamp();
}

void ROMAttrMap::swap(ROMAttrMap& other) noexcept {
  std::swap(m_store, other.m_store);
  m_index.swap(other.m_index);
  m_order.swap(other.m_order);
  std::swap(m_sorted, other.m_sorted);
  restamp();
  other.restamp();
}

// ---- Cached reads -----------------------------------------------------------

void AttrRef::resolve(const ROMAttrMap& map) const {
  const auto it = map.find(m_name);
  if (it == map.end()) missing();
  m_slot = &it->second;
  m_stamp = map.stamp();
}

void AttrRef::missing() { throw std::out_of_range(kInvalidMapKey); }

void AttrGroup::resolve(const ROMAttrMap& map) const {
  m_stamp = 0;
  for (std::size_t i = 0; i < m_members.size(); ++i) {
    const auto it = map.find(name(i));
    if (it == map.end()) missingRecord();
    m_members[i].slot = &it->second;
  }
  m_stamp = map.stamp();
}

void AttrGroup::missingRecord() { throw std::out_of_range(kInvalidMapKey); }
