#include "platform/qivblock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/crt.h"

namespace {

// A block with nothing of its own: every answer is the framework base's.
class PlainBlock : public QivEOBlockImpl {
 public:
  explicit PlainBlock(const char* n) : QivEOBlockImpl(n) {}
};

class Block : public ::testing::Test {
 protected:
  void TearDown() override {
    QivEOBlockImpl::test_reset_framework_attrs();
    QivEOBlockImpl::test_set_generic_type(nullptr);
    QivEOBlockImpl::test_force_save_status(-1);
    QivEOBlockImpl::test_force_load_status(-1);
  }
  PlainBlock b{"B1"};
};

// The base overwrites the status it is given: 0 for init and user_dim, 1
// ("not provided") for the hooks a block must supply.
TEST_F(Block, DefaultHooks) {
  long long st = 77;
  int nv = 5, ne = 5, nnz = 5;
  b.user_dim(nv, ne, nnz, st);
  EXPECT_EQ(st + nv + ne + nnz, 0);
  st = 77;
  b.init(st);
  EXPECT_EQ(st, 0);
  long long sum = 0;
  for (auto hook : {+[](QivEOBlockImpl& x, long long& s) { x.user_ini(s); },
                    +[](QivEOBlockImpl& x, long long& s) { x.user_pat(nullptr, s); },
                    +[](QivEOBlockImpl& x, long long& s) { x.user_res(s); },
                    +[](QivEOBlockImpl& x, long long& s) { x.user_jac(s); },
                    +[](QivEOBlockImpl& x, long long& s) { x.res(1, s); }}) {
    st = 77;
    hook(b, st);
    sum += st;
  }
  EXPECT_EQ(sum, 5);
}

TEST_F(Block, DescriptionAndType) {
  qiv_blk_t d;
  std::strcpy(d.options, "stale");
  b.inq_attr(d);
  EXPECT_STREQ(d.name, "B1");
  EXPECT_STREQ(d.model_type, "QIVEOBLOCK");
  EXPECT_STREQ(d.options, "");
  EXPECT_TRUE(b.isof_type("QIVEOBLOCK"));
  EXPECT_FALSE(b.isof_type("qiveoblock"));
  EXPECT_FALSE(b.isof_type(nullptr));
  QivEOBlockImpl::test_set_generic_type("GENERIC");
  EXPECT_TRUE(b.isof_type("GENERIC"));
}

TEST_F(Block, FrameworkAttributes) {
  EXPECT_EQ(b.attr_num(), 2);
  EXPECT_STREQ(b.attr_name(0), "NAME");
  EXPECT_STREQ(b.attr_name(1), "DESCRIPTION");
  EXPECT_EQ(b.attr_name(2), nullptr);
  EXPECT_EQ(b.attr_name(-1), nullptr);

  value_t v;
  ASSERT_TRUE(b.attr_lookup_value("NAME", &v));
  EXPECT_EQ(v.type, VT_STRING);
  EXPECT_STREQ(v.sval, "B1");
  EXPECT_TRUE(b.attr_lookup_value("NAME", nullptr));
  EXPECT_FALSE(b.attr_assign_value("NAME", v));  // read-only
  EXPECT_FALSE(b.attr_lookup_ismodified("DESCRIPTION"));

  value_assign_string(&v, _strdup("coker train A"));
  EXPECT_TRUE(b.attr_assign_value("DESCRIPTION", v));
  EXPECT_TRUE(b.attr_lookup_ismodified("DESCRIPTION"));
  value_assign_double(&v, 1.0, 0, 1);
  EXPECT_FALSE(b.attr_assign_value("DESCRIPTION", v));  // wrong kind: unchanged
  ASSERT_TRUE(b.attr_lookup_value("DESCRIPTION", &v));
  EXPECT_STREQ(v.sval, "coker train A");

  EXPECT_FALSE(b.attr_lookup_value("ALPHA_X", &v));
  EXPECT_FALSE(b.attr_assign_value("ALPHA_X", v));
  EXPECT_FALSE(b.attr_lookup_value(nullptr, &v));
  EXPECT_EQ(b.attr_describe("ALPHA_X"), nullptr);
  EXPECT_EQ(b.attr_describe(nullptr), nullptr);
  const qivblock_attr_desc* d = b.attr_describe("NAME");
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->name, "NAME");
  EXPECT_EQ(d->access, 1);
  EXPECT_EQ(b.attr_describe("DESCRIPTION"), d);  // one descriptor per block, refilled
  EXPECT_STREQ(d->name, "DESCRIPTION");
  EXPECT_EQ(d->access, 0);
  value_clear(&v);
}

TEST_F(Block, FrameworkAttributeNamesCanBeChangedForTests) {
  QivEOBlockImpl::test_set_framework_attrs({"A", "B", "NAME"});
  EXPECT_EQ(b.attr_num(), 3);
  EXPECT_STREQ(b.attr_name(2), "NAME");
  value_t v;
  EXPECT_FALSE(b.attr_lookup_value("DESCRIPTION", &v));
  ASSERT_TRUE(b.attr_lookup_value("A", &v));
  EXPECT_EQ(v.type, VT_REAL);
  EXPECT_FALSE(b.attr_assign_value("A", v));
  QivEOBlockImpl::test_set_framework_attrs({});
  EXPECT_EQ(b.attr_num(), 0);
  EXPECT_EQ(b.attr_describe("NAME"), nullptr);
}

TEST_F(Block, SaveLoadRestoresTheDescription) {
  value_t v;
  value_assign_string(&v, _strdup("kept"));
  b.attr_assign_value("DESCRIPTION", v);
  MemStorage stg;
  EXPECT_EQ(b.save(&stg), 0);
  const auto bytes = stg.stream_bytes("PELMO_BASE");
  ASSERT_EQ(bytes.size(), 4u + 3u + 5u);
  EXPECT_EQ(bytes[0], 1);  // version 1

  PlainBlock fresh("B2");
  EXPECT_EQ(fresh.load(&stg), 0);
  ASSERT_TRUE(fresh.attr_lookup_value("DESCRIPTION", &v));
  EXPECT_STREQ(v.sval, "kept");
  EXPECT_STREQ(fresh.name(), "B2");  // the block keeps its framework name
  value_clear(&v);
}

TEST_F(Block, LoadWithoutTheStreamSucceedsAndDamageIsRefused) {
  MemStorage none;
  EXPECT_EQ(b.load(&none), 0);
  EXPECT_EQ(b.load(nullptr), 1);
  EXPECT_EQ(b.save(nullptr), 1);

  const std::vector<std::vector<uint8_t>> damaged = {
      {},                                // no version
      {2, 0, 0, 0, 'B', 0, 0},           // unknown version
      {1, 0, 0, 0, 'B', '1'},            // unterminated name
      {1, 0, 0, 0, 'B', '1', 0},         // description missing
  };
  for (const auto& bytes : damaged) {
    MemStorage stg;
    stg.set_stream_bytes("PELMO_BASE", bytes);
    EXPECT_EQ(b.load(&stg), 1);
  }
  EXPECT_FALSE(b.attr_lookup_ismodified("DESCRIPTION"));
}

TEST_F(Block, ForcedStatusesComeBackUnchanged) {
  MemStorage stg;
  QivEOBlockImpl::test_force_save_status(5);
  EXPECT_EQ(b.save(&stg), 5);
  EXPECT_TRUE(stg.has_stream("PELMO_BASE"));
  QivEOBlockImpl::test_force_load_status(3);
  EXPECT_EQ(b.load(&stg), 3);
  QivEOBlockImpl::test_force_save_status(-1);
  QivEOBlockImpl::test_force_load_status(-1);
  EXPECT_EQ(b.save(&stg), 0);
  EXPECT_EQ(b.load(&stg), 0);
}

TEST_F(Block, PortsAreOwnedOnceAndCopiesStartWithout) {
  qiv_port* in = qivport_create("INPUT", 0, 1, 0);
  b.addPort(in);
  b.addPort(in);  // the same port again: ignored, so it is deleted once
  b.addPort(nullptr);
  b.addPort(qivport_create("OUTMASS", 0, 2, 0));
  ASSERT_EQ(b.ports().size(), 2u);
  EXPECT_EQ(b.findPort("INPUT"), in);
  EXPECT_EQ(b.findPort("OUTRES"), nullptr);
  EXPECT_EQ(b.findPort(nullptr), nullptr);

  rtvarlst_t* v = rtovarlst_create(1);
  b.attachMatrix(v, nullptr, nullptr);
  b.setPositions(101, 11, 501);
  rtvarlst_t* gv = nullptr;
  rtattrdict_t* ge = nullptr;
  rt_jac_t* gj = nullptr;
  b.inq_matrix(gv, ge, gj);
  EXPECT_EQ(gv, v);
  PlainBlock copy(b);
  EXPECT_STREQ(copy.name(), "B1");
  EXPECT_EQ(copy.vstart() + copy.estart() + copy.nzstart(), 613);
  EXPECT_TRUE(copy.ports().empty());
  copy.inq_matrix(gv, ge, gj);
  EXPECT_EQ(gv, nullptr);  // detached

  PlainBlock other("B9");
  other.addPort(qivport_create("CONSTANTS", 0, 1, 0));
  other = b;
  EXPECT_STREQ(other.name(), "B1");
  ASSERT_EQ(other.ports().size(), 1u);  // keeps its own
  EXPECT_EQ(other.ports()[0]->name, "CONSTANTS");
  rtovarlst_destroy(v);
}

TEST(BlockDestroy, DeletesTheBlockAndItsPorts) {
  auto* b = new PlainBlock("B1");
  b->addPort(qivport_create("INPUT", 0, 1, 0));
  static_cast<QivEOBlock*>(b)->Destroy();  // the leak sanitizer checks the port went too
}

TEST(Ports, SlotsAreBoundsChecked) {
  qiv_port* p = qivport_create(nullptr, 0, 2, 0);
  EXPECT_EQ(p->name, "");
  EXPECT_EQ(qivport_set_nvars(p, 0), 0);
  // Growing the port one slot at a time, as the blocks add variables.
  for (int var : {101, 102, 101}) {
    const int n = qivport_nvars(p);
    EXPECT_EQ(qivport_set_nvars(p, n + 1), 0);
    EXPECT_EQ(qivport_set_var(p, n, var), 0);
  }
  EXPECT_EQ(p->vars, (std::vector<int>{101, 102, 101}));  // no duplicate check
  for (int place : {-1, 3, 100}) EXPECT_NE(qivport_set_var(p, place, 7), 0);
  EXPECT_NE(qivport_set_nvars(p, -1), 0);
  EXPECT_NE(qivport_set_nvars(p, 1 << 30), 0);
  EXPECT_EQ(p->errors, 5);
  EXPECT_EQ(qivport_nvars(p), 3);
  EXPECT_EQ(qivport_var(p, 3), 0);
  EXPECT_EQ(qivport_set_nvars(p, 1), 0);
  EXPECT_EQ(qivport_var(p, 0), 101);
  EXPECT_NE(qivport_set_var(nullptr, 0, 1), 0);
  EXPECT_EQ(qivport_nvars(nullptr), 0);
  qivport_destroy(p);
}

}  // namespace
