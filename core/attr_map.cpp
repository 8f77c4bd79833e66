#include "core/attr_map.h"

#include <atomic>
#include <stdexcept>

#include "core/helpers.h"

namespace {

// One counter for every map: a stamp is never given twice, so a cache can
// tell two maps apart (and one map before and after a change) by it alone.
std::atomic<std::uint64_t> g_stamps{0};

}  // namespace

std::uint64_t ROMAttrMap::nextStamp() noexcept { return g_stamps.fetch_add(1, std::memory_order_relaxed) + 1; }

ROMAttrMap::mapped_type& ROMAttrMap::operator[](const key_type& key) {
  auto it = m_map.lower_bound(key);
  if (it == m_map.end() || m_map.key_comp()(key, it->first)) {
    it = m_map.emplace_hint(it, key, nullptr);
    restamp();
  }
  return it->second;
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
