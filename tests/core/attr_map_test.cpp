// The attribute map's change stamp and AttrRef, the cached reading of one
// attribute: a record replaced in its entry, an erased entry, a re-inserted
// one and another map are all seen at the next read; a missing name fails at
// the read with the look-up's text.
#include "core/attr_map.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records owned by the test; the map only points at them.
struct Records {
  ROMAttr* make(const std::string& name, double value) {
    owned.push_back(std::make_unique<ROMAttr>(name, value, static_cast<int>(owned.size())));
    return owned.back().get();
  }
  std::vector<std::unique_ptr<ROMAttr>> owned;
};

void expectMissing(const AttrRef& ref, const ROMAttrMap& map) {
  try {
    ref.value(map);
    ADD_FAILURE() << ref.name() << " was found";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid map<K, T> key");
  }
}

struct StampCase {
  const char* what;
  std::function<void(ROMAttrMap&, Records&)> change;
  bool moves;
};

class AttrMapStamp : public ::testing::TestWithParam<StampCase> {};

TEST_P(AttrMapStamp, MovesOnEveryStructuralChangeOnly) {
  Records r;
  ROMAttrMap map{{"ALPHA_Y", r.make("ALPHA_Y", 1.0)}, {"BETA_Y", r.make("BETA_Y", 0.0)}};
  const std::uint64_t before = map.stamp();
  GetParam().change(map, r);
  EXPECT_EQ(map.stamp() != before, GetParam().moves) << GetParam().what;
  EXPECT_NE(map.stamp(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, AttrMapStamp,
    ::testing::Values(
        StampCase{"find and at", [](ROMAttrMap& m, Records&) { (void)m.find("ALPHA_Y"), (void)m.at("BETA_Y"); }, false},
        StampCase{"record replaced through operator[]",
                  [](ROMAttrMap& m, Records& r) { m["ALPHA_Y"] = r.make("ALPHA_Y", 2.0); }, false},
        StampCase{"record replaced through an iterator",
                  [](ROMAttrMap& m, Records& r) { m.find("BETA_Y")->second = r.make("BETA_Y", 2.0); }, false},
        StampCase{"new key through operator[]", [](ROMAttrMap& m, Records& r) { m["NEW"] = r.make("NEW", 1.0); },
                  true},
        StampCase{"emplace", [](ROMAttrMap& m, Records& r) { m.emplace("NEW", r.make("NEW", 1.0)); }, true},
        StampCase{"insert", [](ROMAttrMap& m, Records& r) { m.insert({"NEW", r.make("NEW", 1.0)}); }, true},
        StampCase{"erase by key", [](ROMAttrMap& m, Records&) { m.erase("ALPHA_Y"); }, true},
        StampCase{"erase by iterator", [](ROMAttrMap& m, Records&) { m.erase(m.begin()); }, true},
        StampCase{"clear", [](ROMAttrMap& m, Records&) { m.clear(); }, true},
        StampCase{"assignment", [](ROMAttrMap& m, Records&) { m = ROMAttrMap(m); }, true},
        StampCase{"swap", [](ROMAttrMap& m, Records&) {
                    ROMAttrMap other;
                    m.swap(other);
                  }, true}),
    [](const ::testing::TestParamInfo<StampCase>& info) {
      std::string n = info.param.what;
      for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return n;
    });

TEST(AttrMap, NoTwoMapsShareAStamp) {
  ROMAttrMap a, b;
  const ROMAttrMap copy(a);
  EXPECT_NE(a.stamp(), b.stamp());
  EXPECT_NE(copy.stamp(), a.stamp());
  EXPECT_EQ(copy, a);
}

TEST(AttrRef, ReadsTheRecordNowInTheEntry) {
  Records r;
  ROMAttrMap map;
  map["ALPHA_Y"] = r.make("ALPHA_Y", 1.5);
  const AttrRef alpha("ALPHA_Y");
  EXPECT_EQ(alpha.value(map), 1.5);
  map.at("ALPHA_Y")->value = 2.5;  // a value changed in place (attr_assign_value)
  EXPECT_EQ(alpha.value(map), 2.5);
  map["ALPHA_Y"] = r.make("ALPHA_Y", 3.5);  // the record replaced, as putRecord does
  EXPECT_EQ(alpha.value(map), 3.5);
  map.find("ALPHA_Y")->second = r.make("ALPHA_Y", 4.5);
  EXPECT_EQ(&alpha.record(map), r.owned.back().get());
}

TEST(AttrRef, AnErasedOrNullEntryFailsAtTheReadAndAReturnedOneIsFound) {
  Records r;
  ROMAttrMap map;
  map["BETA_Y"] = r.make("BETA_Y", 0.25);
  const AttrRef beta("BETA_Y"), never("GAMMA_Y_X");
  expectMissing(never, map);  // a missing name fails when read, not when named
  EXPECT_EQ(beta.value(map), 0.25);
  map.erase("BETA_Y");
  expectMissing(beta, map);
  map["BETA_Y"] = nullptr;
  expectMissing(beta, map);
  map["BETA_Y"] = r.make("BETA_Y", 0.75);
  EXPECT_EQ(beta.value(map), 0.75);
  map.clear();
  expectMissing(beta, map);
}

TEST(AttrRef, FollowsTheMapItIsGiven) {
  Records r;
  ROMAttrMap first, second;
  first["RATE"] = r.make("RATE", 1.0);
  second["RATE"] = r.make("RATE", 2.0);
  const AttrRef rate("RATE");
  EXPECT_EQ(rate.value(first), 1.0);
  EXPECT_EQ(rate.value(second), 2.0);
  EXPECT_EQ(rate.value(first), 1.0);
  ROMAttrMap moved(std::move(second));
  EXPECT_EQ(rate.value(moved), 2.0);
}

// The map keeps its own copy of every name: names given as temporaries, and a
// copy or move of a map whose source is gone, still read correctly.
TEST(AttrMap, KeepsItsNamesAfterTheirSourcesAreGone) {
  Records r;
  auto made = std::make_unique<ROMAttrMap>();
  for (int i = 0; i < 300; ++i) {
    std::string name = "GAMMA_OUTPUT_INPUT_" + std::to_string(i);
    (*made)[name] = r.make(name, i);
  }
  const ROMAttrMap copy(*made);
  ROMAttrMap moved(std::move(*made));
  made.reset();
  for (const ROMAttrMap* m : {&copy, static_cast<const ROMAttrMap*>(&moved)}) {
    ASSERT_EQ(m->size(), 300u);
    EXPECT_EQ(m->at("GAMMA_OUTPUT_INPUT_17")->value, 17.0);
    std::string last;
    for (const auto& [name, record] : *m) {
      EXPECT_LT(last, name);
      EXPECT_EQ(name, record->name);
      last = std::string(name);
    }
  }
}

// Names erased and filed again many times do not pile up: the map keeps its
// live names again in fresh text, and cached reads, iteration and the entry
// of a name never erased (its iterator and its record slot) stay right
// through it.
TEST(AttrMap, ManyErasedNamesLeaveAWorkingMap) {
  Records r;
  ROMAttrMap map;
  map["KEPT_ATTRIBUTE_WITH_A_LONG_NAME"] = r.make("KEPT_ATTRIBUTE_WITH_A_LONG_NAME", 5.0);
  const AttrRef kept("KEPT_ATTRIBUTE_WITH_A_LONG_NAME");
  const auto keptIt = map.find("KEPT_ATTRIBUTE_WITH_A_LONG_NAME");
  ROMAttr* const* keptSlot = &keptIt->second;
  for (int i = 0; i < 5000; ++i) {
    const std::string name = "HYPERPARAMETERS.SOME_OUTPUT_SOME_INPUT_GAMMA_SCALE_ERROR_" + std::to_string(i % 7);
    map[name] = r.make(name, i);
    EXPECT_EQ(kept.value(map), 5.0);
    if (i % 2 == 0) {
      map.erase(name);
    } else {
      auto it = map.erase(map.find(name));
      if (it != map.end()) {
        EXPECT_LT(name, it->first);
      }
    }
  }
  EXPECT_EQ(map.size(), 1u);
  EXPECT_EQ(map.begin()->first, "KEPT_ATTRIBUTE_WITH_A_LONG_NAME");
  EXPECT_TRUE(map.begin() == keptIt);
  EXPECT_EQ(&map.begin()->second, keptSlot);
  EXPECT_EQ(keptIt->first, "KEPT_ATTRIBUTE_WITH_A_LONG_NAME");
  EXPECT_EQ(keptIt->second->value, 5.0);
}

// The map against std::map over a long run of mixed changes and walks:
// same entries, same name order forwards and backwards, same answers from
// every change, iterators and slots valid across insertions.
TEST(AttrMap, BehavesAsAnOrderedMapThroughMixedChanges) {
  Records r;
  ROMAttrMap map;
  std::map<std::string, ROMAttr*> reference;
  std::mt19937 rng(12345);
  auto name = [&] { return "ATTR_" + std::to_string(rng() % 97) + (rng() % 2 ? "_WITH_A_LONGER_TAIL" : ""); };
  auto sameWalks = [&] {
    ASSERT_EQ(map.size(), reference.size());
    auto ref = reference.begin();
    for (auto it = map.begin(); it != map.end(); ++it, ++ref) {
      ASSERT_EQ(it->first, ref->first);
      EXPECT_EQ(it->second, ref->second);
    }
    auto back = reference.rbegin();
    for (auto it = map.end(); it != map.begin(); ++back) {
      --it;
      ASSERT_EQ(it->first, back->first);
    }
  };
  for (int step = 0; step < 3000; ++step) {
    const std::string key = name();
    switch (rng() % 6) {
      case 0:
      case 1: {
        ROMAttr* rec = r.make(key, step);
        map[key] = rec;
        reference[key] = rec;
        break;
      }
      case 2: {
        ROMAttr* rec = r.make(key, step);
        const auto [it, added] = map.emplace(key, rec);
        const auto [refIt, refAdded] = reference.emplace(key, rec);
        EXPECT_EQ(added, refAdded);
        EXPECT_EQ(it->second, refIt->second);
        break;
      }
      case 3: EXPECT_EQ(map.erase(key), reference.erase(key)); break;
      case 4: {
        const auto it = map.find(key);
        const auto refIt = reference.find(key);
        ASSERT_EQ(it == map.end(), refIt == reference.end());
        if (it == map.end()) break;
        const auto next = map.erase(it);
        const auto refNext = reference.erase(refIt);
        ASSERT_EQ(next == map.end(), refNext == reference.end());
        if (next != map.end()) {
          EXPECT_EQ(next->first, refNext->first);
        }
        break;
      }
      default: sameWalks(); break;
    }
  }
  sameWalks();
  // An iterator and a slot taken before more names are filed still hold.
  map["MIDDLE"] = r.make("MIDDLE", 1.0);
  const auto middle = map.find("MIDDLE");
  ROMAttr** slot = &map.at("MIDDLE");
  for (int i = 0; i < 500; ++i) map["Z_" + std::to_string(i)] = nullptr;
  map["MIDDLE_AND_MORE"] = nullptr;
  EXPECT_EQ(std::next(middle)->first, "MIDDLE_AND_MORE");
  EXPECT_EQ(&middle->second, slot);
  EXPECT_EQ(map.at("MIDDLE"), *slot);
  std::size_t records = 0;
  map.forEachRecord([&](ROMAttr*) { ++records; });
  EXPECT_EQ(records, map.size());
}

}  // namespace
