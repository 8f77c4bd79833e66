// StampedMap's stamp for every kind of change, and EntryRef reaching an entry
// through its slot: a value replaced in its entry, an erased entry, a name
// missing at first and added later, another map.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "core/stamped_map.h"

namespace {

using Map = StampedMap<std::string, double>;

struct StampCase {
  const char* change;
  std::function<void(Map&)> apply;
  bool newStamp;
};

class StampedMapStamp : public ::testing::TestWithParam<StampCase> {};

TEST_P(StampedMapStamp, MovesOnStructuralChangesOnly) {
  Map map{{"A", 1.0}, {"B", 2.0}};
  const std::uint64_t before = map.stamp();
  GetParam().apply(map);
  EXPECT_EQ(map.stamp() != before, GetParam().newStamp) << GetParam().change;
  EXPECT_NE(map.stamp(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, StampedMapStamp,
    ::testing::Values(StampCase{"write an existing entry", [](Map& m) { m["A"] = 3.0; }, false},
                      StampCase{"write through an iterator", [](Map& m) { m.begin()->second = 3.0; }, false},
                      StampCase{"read", [](Map& m) { (void)m.at("B"), (void)m.count("C"), (void)m.find("A"); }, false},
                      StampCase{"index a new key", [](Map& m) { m["C"]; }, true},
                      StampCase{"insert", [](Map& m) { m.insert({"C", 1.0}); }, true},
                      StampCase{"emplace", [](Map& m) { m.emplace("C", 1.0); }, true},
                      StampCase{"erase by key", [](Map& m) { m.erase("A"); }, true},
                      StampCase{"erase by iterator", [](Map& m) { m.erase(m.begin()); }, true},
                      StampCase{"clear", [](Map& m) { m.clear(); }, true},
                      StampCase{"assign", [](Map& m) { m = Map{{"A", 1.0}, {"B", 2.0}}; }, true},
                      StampCase{"swap", [](Map& m) { Map other; m.swap(other); }, true},
                      StampCase{"touch", [](Map& m) { m.touch(); }, true}),
    [](const auto& info) {
      std::string name = info.param.change;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

TEST(StampedMap, CopiesAndMovesGetStampsOfTheirOwn) {
  Map a{{"A", 1.0}};
  const Map copy = a;
  EXPECT_NE(copy.stamp(), a.stamp());
  const std::uint64_t before = a.stamp();
  const Map moved = std::move(a);
  EXPECT_NE(moved.stamp(), before);
  EXPECT_NE(a.stamp(), before);  // the moved-from map changed too
  EXPECT_EQ(moved.rbegin()->first, "A");
}

// A value whose copy can be made to fail, as a copy that runs out of memory.
struct Fragile {
  static inline bool failCopies = false;
  double value = 0.0;
  Fragile() = default;
  explicit Fragile(double v) : value(v) {}
  Fragile(const Fragile& other) : value(other.value) {
    if (failCopies) throw std::bad_alloc();
  }
  Fragile& operator=(const Fragile&) = default;
};

TEST(StampedMap, AnAssignmentThatFailsToCopyLeavesTheMapAndItsSlotsAsTheyWere) {
  using FragileMap = StampedMap<std::string, Fragile>;
  FragileMap map;
  map.emplace("A", Fragile(1.0));
  const EntryRef<FragileMap> a("A");
  EXPECT_EQ(a.get(map).value, 1.0);  // slot kept under the present stamp
  FragileMap other;
  other.emplace("A", Fragile(2.0));
  other.emplace("B", Fragile(3.0));
  const std::uint64_t before = map.stamp();
  Fragile::failCopies = true;
  EXPECT_THROW(map = other, std::bad_alloc);
  Fragile::failCopies = false;
  EXPECT_EQ(map.stamp(), before);
  ASSERT_EQ(map.size(), 1u);
  EXPECT_EQ(a.get(map).value, 1.0);  // the kept slot still names a live entry
  map = other;
  EXPECT_NE(map.stamp(), before);
  EXPECT_EQ(a.get(map).value, 2.0);
}

TEST(EntryRef, ReadsThroughTheSlotAndLooksAgainAfterAChange) {
  Map map{{"A", 1.0}, {"B", 2.0}};
  const EntryRef<Map> a("A");
  EXPECT_EQ(a.get(map), 1.0);
  map["A"] = 5.0;  // replaced in its entry: read at once
  EXPECT_EQ(a.get(map), 5.0);
  a.get(map) = 6.0;  // written through the slot
  EXPECT_EQ(map.at("A"), 6.0);
  map.erase("A");
  try {
    (void)a.get(map);
    ADD_FAILURE() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid map<K, T> key");
  }
  EXPECT_FALSE(a.present(map));
  map["A"] = 7.0;  // back under the name: found again
  EXPECT_TRUE(a.present(map));
  EXPECT_EQ(a.get(map), 7.0);
  Map other{{"A", 8.0}};
  EXPECT_EQ(a.get(other), 8.0);  // another map: looked up there
  EXPECT_EQ(a.get(map), 7.0);
}

TEST(EntryRef, AMissingNameFailsAtEveryUseUntilItIsAdded) {
  Map map;
  const EntryRef<Map> c("C");
  EXPECT_THROW((void)c.get(map), std::out_of_range);
  EXPECT_THROW((void)c.get(map), std::out_of_range);
  map.emplace("C", 3.0);
  EXPECT_EQ(c.get(map), 3.0);
}

}  // namespace
