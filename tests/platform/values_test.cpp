#include "platform/values.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/crt.h"

namespace {

// Walks an option list the way the factories do: strings only, nulls and other
// kinds skipped.
std::vector<std::string> string_items(gl_list* l) {
  std::vector<std::string> out;
  for (gl_top(l); !gl_end(l); gl_next(l)) {
    auto* v = static_cast<value_t*>(gl_get(l));
    if (v && v->type == VT_STRING && v->sval) out.emplace_back(v->sval);
  }
  return out;
}

// The leak sanitizer checks that every replaced payload was freed.
TEST(Values, EveryAssignmentReleasesThePreviousPayload) {
  value_t v;
  value_assign_string(&v, _strdup("first"));
  value_assign_string(&v, _strdup("second"));
  EXPECT_STREQ(v.sval, "second");
  value_assign_string(&v, v.sval);  // the held buffer again: kept alive
  EXPECT_STREQ(v.sval, "second");
  value_assign_double(&v, 2.5, 0, 1);
  EXPECT_EQ(v.type, VT_REAL);
  EXPECT_EQ(v.sval, nullptr);
  EXPECT_EQ(v.assign_b, 1);
  v.type = VT_LIST;
  v.list = gl_create();
  gl_append(v.list, value_make_string("nested"));
  value_assign_logical(&v, 1);  // the nested list goes
  EXPECT_EQ(v.list, nullptr);
  EXPECT_EQ(v.lval, 1);
  value_clear(&v);
  EXPECT_EQ(v.type, VT_NULL);
  // Null targets are ignored; a string handed to no value is freed.
  value_assign_double(nullptr, 1.0, 0, 1);
  value_assign_string(nullptr, _strdup("orphan"));
  gl_append(nullptr, value_make_string("orphan"));
}

TEST(Values, RealValueHonoursTheIntegerFlag) {
  value_t v;
  value_assign_integer(&v, 2);
  v.dval = 99.0;  // ignored while the integer flag is set
  EXPECT_DOUBLE_EQ(value_real(v), 2.0);
  value_assign_double(&v, 1.25, 0, 1);
  EXPECT_DOUBLE_EQ(value_real(v), 1.25);
  value_assign_logical(&v, 1);
  EXPECT_DOUBLE_EQ(value_real(v), 0.0);
}

TEST(OptionList, WalkerSkipsNullAndNonStringItems) {
  value_t* opts = value_make_list();
  gl_append(opts->list, value_make_string("SUBID:ROCOKER"));
  gl_append(opts->list, nullptr);
  auto* real = new value_t;
  value_assign_double(real, 3.0, 0, 1);
  gl_append(opts->list, real);
  auto* nostr = new value_t;
  nostr->type = VT_STRING;  // a string item without text
  gl_append(opts->list, nostr);
  gl_append(opts->list, value_make_string("BASIS_LE:MASS"));
  EXPECT_EQ(gl_size(opts->list), 5);
  EXPECT_EQ(string_items(opts->list), (std::vector<std::string>{"SUBID:ROCOKER", "BASIS_LE:MASS"}));
  // The cursor lives in the list: after a walk it stays at the end until gl_top.
  EXPECT_TRUE(gl_end(opts->list));
  EXPECT_EQ(gl_get(opts->list), nullptr);
  gl_next(opts->list);  // harmless past the end
  gl_top(opts->list);
  EXPECT_STREQ(static_cast<value_t*>(gl_get(opts->list))->sval, "SUBID:ROCOKER");
  gl_next(opts->list);
  EXPECT_EQ(gl_get(opts->list), nullptr);  // the null item, not the end
  EXPECT_FALSE(gl_end(opts->list));
  value_destroy(opts);
  EXPECT_TRUE(gl_end(nullptr));
  EXPECT_EQ(gl_get(nullptr), nullptr);
  EXPECT_EQ(gl_size(nullptr), 0);
}

}  // namespace
