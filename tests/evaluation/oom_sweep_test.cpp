// Out of memory anywhere in a second-generation block: for every family, the
// n-th allocation of one call fails on a fresh block (the pattern, the
// starting values, the residuals and the Jacobian, at the first calls and
// after an input moved), and from the next call on, with memory again, the
// block gives bit for bit what a block that never failed gives. A call that
// ran out of memory and still reported success must have given the same.
// The life cycle too: a factory create that runs out of memory gives null and
// leaks nothing, and a save or a load that runs out reports failure, leaks
// nothing, leaves the block as it was and works when tried again. A stored
// file's atomic save that runs out reports failure and leaves the old file.
// The replaced operator new (tests/support/replaced_new.h) fails the n-th
// allocation; every n up to kFull is tried, beyond it a sample up to the
// call's whole count.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/helpers.h"
#include "core/robase.h"
#include "host/block_session.h"
#include "host/case_file.h"
#include "platform/file_io.h"
#include "platform/storage.h"
#include "plugin/factories.h"
#include "tests/support/factory.h"
#include "tests/support/networks.h"
#include "tests/support/replaced_new.h"

namespace {

// Every n up to kFull, then kSampled more spread up to the count; fewer under
// the address sanitizer, which makes each fresh block many times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kFull = 200;
constexpr long kSampled = 20;
#else
constexpr long kFull = 300;
constexpr long kSampled = 60;
#endif
constexpr std::size_t kAfter = 3;  // calls checked after the one that ran out and its repeat
constexpr long kFullCreate = 1500;  // a create: past the registry read and the first equations

struct Family {
  const char* name;
  const char* caseFile;  // an example case, or (when empty) the options and values below
  std::vector<std::string> options;
  romtest::Values values;
  const char* moved;  // an input every network reads
};

const Family kFamilies[] = {
    {"Coker", "coker-v37.json", {}, {}, "FEEDSG"},
    {"Fcc", "fcc-go-3n1h-v37.json", {}, {}, "REACTORPLENUMTEMP"},
    {"Hydrocracker", "hcr-d-v37.json", {}, {}, "FEEDSG"},
    {"Reformer",
     "",
     {"SUBID:ROREFSEMI1R", "VERSION:37.0.0"},
     {{"FEEDMASS", 100000}, {"FEEDSG", 0.75}, {"FEEDNAPH", 30}, {"FEEDAROM", 10}, {"TARGETRON", 98}, {"CATAGE", 50}},
     "FEEDSG"},
    {"Visbreaker", "vb-skr-v37.json", {}, {}, "FEEDSG"},
};

void PrintTo(const Family& f, std::ostream* os) { *os << f.name; }

romhost::CaseSpec specOf(const Family& f) {
  if (f.caseFile[0] != '\0') return romhost::readCaseFile(romtest::kExamples + f.caseFile);
  romhost::CaseSpec spec;
  spec.factory = "MORVANE";
  spec.options = f.options;
  spec.networks = romtest::kSampleNetworks;
  spec.values = f.values;
  return spec;
}

// What the framework sees of the block after a call.
struct Snapshot {
  long long status = 0;
  std::vector<double> values, residuals, jacobian;
  std::vector<int> rows, cols;
};

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The first element where a differs from b ("" when none), named by name(i).
template <class Name>
std::string firstDifference(const char* what, const std::vector<double>& a, const std::vector<double>& b, Name&& name) {
  if (a.size() != b.size()) return std::string(" ") + what + " of another size";
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!sameBits(a[i], b[i]))
      return std::string(" ") + what + " " + name(i) + " " + std::to_string(a[i]) + " instead of " +
             std::to_string(b[i]);
  return "";
}

enum class Hook { Pattern, Init, Residual, Jacobian };

struct Call {
  Hook hook;
  double moved;  // the moved input at this call, relative to its given value
  const char* what;
};

// The calls of a block's first solve as the host makes them, then after an
// input moved (the Jacobian first), then a fresh start after it moved again.
const std::vector<Call> kHostOrder = {{Hook::Pattern, 1.0, "first user_pat"},
                                      {Hook::Init, 1.0, "first init"},
                                      {Hook::Residual, 1.0, "first user_res"},
                                      {Hook::Jacobian, 1.0, "first user_jac"},
                                      {Hook::Jacobian, 1.001, "user_jac after an input moved"},
                                      {Hook::Residual, 1.001, "user_res after it"},
                                      {Hook::Init, 1.002, "init after an input moved"},
                                      {Hook::Residual, 1.002, "user_res after that init"},
                                      {Hook::Jacobian, 1.002, "user_jac after that init"}};
// The same block evaluated before any start: the networks first run in
// user_res (or, when it is the one that ran out, in user_jac after it).
const std::vector<Call> kResidualFirst = {{Hook::Pattern, 1.0, "first user_pat"},
                                          {Hook::Residual, 1.0, "user_res before init"},
                                          {Hook::Jacobian, 1.0, "user_jac before init"},
                                          {Hook::Init, 1.0, "init after the first evaluation"},
                                          {Hook::Jacobian, 1.001, "user_jac after an input moved"},
                                          {Hook::Residual, 1.001, "user_res after it"}};
const std::vector<Call>* const kSequences[] = {&kHostOrder, &kResidualFirst};
const std::vector<Call>& kCalls = kHostOrder;

// A block made by the factory and set up as the host sets one up, up to its
// pattern: dimensioned, optionally loaded, initialised, given its values and
// attributes.
class Rig {
 public:
  explicit Rig(const romhost::CaseSpec& spec, MemStorage* stored = nullptr) : spec_(spec) {
    session_ = std::make_unique<romhost::BlockSession>(
        romtest::createByMorvane(spec.name.c_str(), spec.options, spec.networks));
    if (!session_->block()) return;
    step_ = session_->dimension();
    if (step_.ok() && stored) step_ = session_->load(*stored);
    if (step_.ok()) setUp();
  }
  // Made and dimensioned only; setUp completes it.
  struct Dimensioned {};
  Rig(const romhost::CaseSpec& spec, Dimensioned) : spec_(spec) {
    session_ = std::make_unique<romhost::BlockSession>(
        romtest::createByMorvane(spec.name.c_str(), spec.options, spec.networks));
    if (session_->block()) session_->dimension();
  }
  void setUp() {
    romhost::StepResult r = session_->initialize();
    for (const std::string& n : spec_.fix)
      if (r.ok()) r = session_->setSpec(n, true);
    for (const std::string& n : spec_.free)
      if (r.ok()) r = session_->setSpec(n, false);
    for (const auto& [n, v] : spec_.values)
      if (r.ok()) r = session_->setValue(n, v);
    for (const auto& [n, v] : spec_.attributes)
      if (r.ok()) r = session_->assignAttribute(n, v);
    ok_ = r.ok();
    step_ = r;
  }

  bool ok() const { return ok_; }
  const std::string& message() const { return step_.message; }
  QivEOBlockImpl& impl() const { return *session_->impl(); }
  romhost::BlockSession& session() const { return *session_; }
  void setMoved(const char* own) {
    const std::string full = session_->name() + "." + own;
    moved_ = rtovarlst_find(session_->system().varList(), full.c_str());
    given_ = moved();
  }

  // The hook alone, with the moved input placed first.
  long long call(const Call& c) {
    moved() = given_ * c.moved;
    long long status = 0;
    switch (c.hook) {
      case Hook::Pattern:
        rtojac_reset_pattern(session_->system().jac());
        impl().user_pat(session_->system().jac(), status);
        break;
      case Hook::Init: impl().init(status); break;
      case Hook::Residual: impl().user_res(status); break;
      case Hook::Jacobian: impl().user_jac(status); break;
    }
    return status;
  }
  // After a call, as the host does after init: the given values back into
  // the variables still fixed.
  void after(const Call& c) {
    if (c.hook == Hook::Init) session_->keepGivenValues(spec_.values);
  }

  // Empty when the snapshots are equal, else what differs first.
  std::string difference(const Snapshot& got, const Snapshot& want) const {
    const romhost::BlockRanges& r = session_->ranges();
    romhost::BlockSystem& s = session_->system();
    std::string d;
    if (got.status != want.status) d += " status " + std::to_string(got.status);
    d += firstDifference("value", got.values, want.values,
                         [&](std::size_t i) { return std::string(s.variableName(r.firstVar + static_cast<int>(i))); });
    d += firstDifference("residual", got.residuals, want.residuals,
                         [&](std::size_t i) { return std::string(s.equationName(r.firstEqn + static_cast<int>(i))); });
    d += firstDifference("Jacobian", got.jacobian, want.jacobian, [&](std::size_t i) {
      return std::string(s.equationName(want.rows[i])) + " by " + s.variableName(want.cols[i]);
    });
    if (got.rows != want.rows || got.cols != want.cols) d += " pattern";
    return d;
  }

  // The block's variables at the values of a snapshot (the framework owns them).
  void placeAt(const Snapshot& shot) {
    double* v = rtovarlst_vec_value(session_->system().varList());
    std::copy(shot.values.begin(), shot.values.end(), v + session_->ranges().firstVar - 1);
  }

  Snapshot snapshot(long long status) const {
    romhost::BlockSystem& s = session_->system();
    const romhost::BlockRanges& r = session_->ranges();
    Snapshot shot;
    shot.status = status;
    const double* v = rtovarlst_vec_value(s.varList());
    shot.values.assign(v + r.firstVar - 1, v + r.lastVar());
    const double* res = rtoeqnlst_vec_residual(s.eqnList());
    shot.residuals.assign(res + r.firstEqn - 1, res + r.lastEqn());
    const double* jac = rtojac_vec_bj(s.jac());
    shot.jacobian.assign(jac + r.firstNz - 1, jac + r.lastNz());
    for (int nz = r.firstNz; nz <= r.lastNz(); ++nz) {
      shot.rows.push_back(rtojac_row(s.jac(), nz));
      shot.cols.push_back(rtojac_col(s.jac(), nz));
    }
    return shot;
  }

 private:
  // The moved input's value (found by number: nothing is allocated within a call).
  double& moved() const { return rtovarlst_vec_value(session_->system().varList())[moved_ - 1]; }

  romhost::CaseSpec spec_;
  std::unique_ptr<romhost::BlockSession> session_;
  bool ok_ = false;
  romhost::StepResult step_;
  int moved_ = 0;
  double given_ = 0.0;
};

// The n to try for a call of count allocations: all up to full, then kSampled more.
std::vector<long> tried(long long count, long full = kFull) {
  std::vector<long> ns;
  for (long n = 1; n <= count && n <= full; ++n) ns.push_back(n);
  if (count > full) {
    const long long stride = std::max<long long>(1, (count - full) / kSampled);
    for (long long n = full + stride; n < count; n += stride) ns.push_back(static_cast<long>(n));
    ns.push_back(static_cast<long>(count));
  }
  return ns;
}

template <class Call>
long long allocationsOf(Call&& call) {
  const long long before = romtest::allocationCount();
  call();
  return romtest::allocationCount() - before;
}

class OutOfMemory : public ::testing::TestWithParam<Family> {
 protected:
  void SetUp() override { spec = specOf(GetParam()); }
  romhost::CaseSpec spec;
};

TEST_P(OutOfMemory, AnyCallGivesTheResultsOfABlockThatNeverFailedFromTheNextCallOn) {
  for (const std::vector<Call>* sequence : kSequences) {
    const std::vector<Call>& calls = *sequence;
    // The reference: every call's result and allocation count, and the
    // point each call starts from.
    Rig ref(spec);
    ASSERT_TRUE(ref.ok()) << ref.message();
    ref.setMoved(GetParam().moved);
    std::vector<Snapshot> want, before;
    std::vector<long long> counts;
    for (const Call& c : calls) {
      long long status = 0;
      before.push_back(ref.snapshot(0));
      counts.push_back(allocationsOf([&] { status = ref.call(c); }));
      ref.after(c);
      want.push_back(ref.snapshot(status));
      ASSERT_EQ(status, 0) << c.what;
    }

    for (std::size_t k = 0; k < calls.size(); ++k) {
      // A call the host order made from the same calls before it was swept there.
      const bool swept = &calls != &kHostOrder && k < kHostOrder.size() &&
                         std::equal(calls.begin(), calls.begin() + static_cast<long>(k) + 1, kHostOrder.begin(),
                                    [](const Call& a, const Call& b) { return a.hook == b.hook && a.moved == b.moved; });
      if (swept) continue;
      for (const long n : tried(counts[k])) {
        Rig b(spec);
        ASSERT_TRUE(b.ok()) << b.message();
        b.setMoved(GetParam().moved);
        for (std::size_t i = 0; i < k; ++i) {
          b.call(calls[i]);
          b.after(calls[i]);
        }
        bool failed = false;
        const long long status = romtest::withFailingAllocation(n, failed, [&] { return b.call(calls[k]); });
        b.after(calls[k]);
        if (!failed) continue;  // a call of fewer allocations than the reference's
        if (status == 0) {
          EXPECT_EQ(b.difference(b.snapshot(status), want[k]), "")
              << calls[k].what << " reported success with allocation " << n << " failed";
        }
        // With memory again, from the reference's point (starting values are
        // guesses made from the values at hand, so a second init moves them):
        // the same call, then the next kAfter.
        for (std::size_t i = k; i < calls.size() && i <= k + kAfter; ++i) {
          b.placeAt(before[i]);
          const long long st = b.call(calls[i]);
          b.after(calls[i]);
          const std::string d = b.difference(b.snapshot(st), want[i]);
          EXPECT_EQ(d, "") << calls[i].what << " after " << calls[k].what << " ran out at allocation " << n;
          if (!d.empty()) return;  // one report per family
        }
      }
    }
  }
}

TEST_P(OutOfMemory, CreateGivesNullAndLeaksNothing) {
  romtest::useNetworkRoot(spec.networks);
  rofactory factory;
  const romtest::OptionList options(spec.options);
  auto create = [&] { return factory.create(spec.name.c_str(), options.get()); };
  // A first block made and destroyed, so that what the program keeps once
  // made is made; then the count of one create.
  create()->Destroy();
  QivEOBlock* made = nullptr;
  const long long count = allocationsOf([&] { made = create(); });
  ASSERT_NE(made, nullptr);
  made->Destroy();
  for (const long n : tried(count, kFullCreate)) {
    const long long live = romtest::liveAllocations();
    bool failed = false;
    made = romtest::withFailingAllocation(n, failed, create);
    if (made) made->Destroy();
    const long long left = romtest::liveAllocations() - live;  // before a failure report allocates
    if (failed) {
      EXPECT_EQ(made, nullptr) << "allocation " << n;
    }
    EXPECT_EQ(left, 0) << "allocation " << n;
  }
  // A later create works, and its block gives the reference's residuals.
  Rig later(spec), ref(spec);
  ASSERT_TRUE(later.ok());
  ASSERT_TRUE(ref.ok()) << ref.message();
  later.setMoved(GetParam().moved);
  ref.setMoved(GetParam().moved);
  for (const Call& c : {kCalls[0], kCalls[1], kCalls[2], kCalls[3]}) {
    const long long a = later.call(c), b = ref.call(c);
    later.after(c);
    ref.after(c);
    EXPECT_EQ(later.difference(later.snapshot(a), ref.snapshot(b)), "") << c.what;
  }
}

// The stored block: an LE basis other than its options' and a description.
void giveStoredState(Rig& b) {
  auto& block = dynamic_cast<robase&>(b.impl());
  block.setLEBasis("MOLAR");
  romhost::AttributeValue description;
  description.kind = romhost::AttributeValue::kText;
  description.text = "stored before";
  EXPECT_TRUE(b.session().assignAttribute("DESCRIPTION", description).ok());
}
bool hasStoredBases(const QivEOBlockImpl& b) {
  const auto& block = dynamic_cast<const robase&>(b);
  return block.leBasis() == BASIS_MOLAR && block.hlBasis() == BASIS_MASS;
}

MemStorage storedBlock(const romhost::CaseSpec& spec, std::vector<uint8_t>& base, std::vector<uint8_t>& own) {
  Rig saver(spec);
  EXPECT_TRUE(saver.ok());
  giveStoredState(saver);
  MemStorage stored;
  EXPECT_EQ(saver.impl().save(&stored), 0);
  base = stored.stream_bytes("PELMO_BASE");
  own = stored.stream_bytes("BLOCK_SPECIFIC_XML");
  EXPECT_FALSE(base.empty());
  EXPECT_FALSE(own.empty());
  return stored;
}

std::string descriptionOf(const QivEOBlockImpl& block) {
  value_t v;
  std::string text;
  if (block.attr_lookup_value("DESCRIPTION", &v) && v.type == VT_STRING && v.sval) text = v.sval;
  value_clear(&v);
  return text;
}

TEST_P(OutOfMemory, SaveReportsFailureAndLeavesTheBlockAsItWas) {
  std::vector<uint8_t> base, own;
  storedBlock(spec, base, own);  // the reference bytes
  Rig b(spec);
  ASSERT_TRUE(b.ok()) << b.message();
  giveStoredState(b);
  b.setMoved(GetParam().moved);
  for (std::size_t i = 0; i < 4; ++i) b.call(kCalls[i]);
  const Snapshot before = b.snapshot(0);

  long long count = 0;
  {
    MemStorage s;
    count = allocationsOf([&] { b.impl().save(&s); });
  }
  for (const long n : tried(count)) {
    const long long live = romtest::liveAllocations();
    long status = 0;
    bool failed = false, sameData = false;
    {
      MemStorage s;
      status = romtest::withFailingAllocation(n, failed, [&] { return b.impl().save(&s); });
      sameData = s.stream_bytes("PELMO_BASE") == base && s.stream_bytes("BLOCK_SPECIFIC_XML") == own;
    }
    EXPECT_EQ(romtest::liveAllocations(), live) << "allocation " << n;
    if (failed && status == 0) {
      EXPECT_TRUE(sameData) << "save reported success with allocation " << n << " failed, but stored other data";
    }
    EXPECT_TRUE(hasStoredBases(b.impl())) << "allocation " << n;
    EXPECT_EQ(descriptionOf(b.impl()), "stored before") << "allocation " << n;
    // The block still evaluates, and saves when tried again.
    const long long res = b.call(kCalls[2]);
    const long long jac = b.call(kCalls[3]);
    EXPECT_EQ(b.difference(b.snapshot(res | jac), before), "") << "allocation " << n;
    MemStorage again;
    EXPECT_EQ(b.impl().save(&again), 0) << "allocation " << n;
    EXPECT_TRUE(again.stream_bytes("PELMO_BASE") == base && again.stream_bytes("BLOCK_SPECIFIC_XML") == own)
        << "allocation " << n;
  }
}

TEST_P(OutOfMemory, LoadReportsFailureAndWorksWhenTriedAgain) {
  std::vector<uint8_t> base, own;
  MemStorage stored = storedBlock(spec, base, own);
  // The reference: loaded into a fresh block, then the first calls.
  Rig ref(spec, &stored);
  ASSERT_TRUE(ref.ok()) << ref.message();
  ref.setMoved(GetParam().moved);
  ASSERT_TRUE(hasStoredBases(ref.impl()));
  std::vector<Snapshot> want;
  for (std::size_t i = 0; i < 4; ++i) {
    const long long st = ref.call(kCalls[i]);
    ref.after(kCalls[i]);
    want.push_back(ref.snapshot(st));
  }
  long long count = 0;
  {
    Rig b(spec, Rig::Dimensioned{});
    count = allocationsOf([&] { b.impl().load(&stored); });
  }
  for (const long n : tried(count)) {
    const long long live = romtest::liveAllocations();
    {
      Rig b(spec, Rig::Dimensioned{});
      bool failed = false;
      const long status = romtest::withFailingAllocation(n, failed, [&] { return b.impl().load(&stored); });
      if (failed && status == 0) {
        EXPECT_TRUE(hasStoredBases(b.impl()))
            << "load reported success with allocation " << n << " failed, but kept other bases";
        EXPECT_EQ(descriptionOf(b.impl()), "stored before")
            << "load reported success with allocation " << n << " failed, but kept another description";
      }
      // Loaded again with memory, the block is the reference's.
      ASSERT_TRUE(b.session().load(stored).ok()) << "allocation " << n;
      b.setUp();
      ASSERT_TRUE(b.ok()) << b.message();
      b.setMoved(GetParam().moved);
      EXPECT_EQ(descriptionOf(b.impl()), "stored before");
      for (std::size_t i = 0; i < 4; ++i) {
        const long long st = b.call(kCalls[i]);
        b.after(kCalls[i]);
        EXPECT_EQ(b.difference(b.snapshot(st), want[i]), "") << kCalls[i].what << ", allocation " << n;
      }
    }
    EXPECT_EQ(romtest::liveAllocations(), live) << "allocation " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Families, OutOfMemory, ::testing::ValuesIn(kFamilies),
                         [](const ::testing::TestParamInfo<Family>& info) { return info.param.name; });

std::string fileText(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The atomic save, alone and as a storage's save (which serialises first):
// out of memory at any of its allocations it reports failure and leaves the
// old file and no temporary file; without a failure it writes the new bytes.
// Onto a FIFO it is refused at every allocation too, never thrown out of.
TEST(OutOfMemoryWhileSaving, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
  const romtest::ScratchFolder folder("oom_save");
  const std::string target = (folder / "stored.pstg").string(), fifo = (folder / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  MemStorage older, newer;
  older.set_stream_bytes("OLD", {1, 2, 3});
  newer.set_stream_bytes("NEW", std::vector<uint8_t>(1000, 7));
  newer.set_stream_bytes("SECOND", {4});
  newer.set_owner({"MORVANE", "MORVANE", "SUBID:ROCOKER"});
  std::string oldBytes, newBytes;
  ASSERT_TRUE(storage_to_bytes(older, oldBytes).ok());
  ASSERT_TRUE(storage_to_bytes(newer, newBytes).ok());
  struct Saver {
    const char* what;
    std::function<bool(const std::string&)> save;
  };
  const Saver savers[] = {
      {"replaceFile", [&](const std::string& path) { return pelmo_file::replaceFile(path, newBytes).ok(); }},
      {"storage_write_file", [&](const std::string& path) { return storage_write_file(newer, path).ok(); }},
  };
  const auto names = [&] {
    std::set<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(folder.path())) out.insert(e.path().filename().string());
    return out;
  };
  const std::set<std::string> both = {"fifo", "stored.pstg"};
  for (const Saver& s : savers) {
    ASSERT_TRUE(pelmo_file::replaceFile(target, oldBytes).ok());
    const long long count = allocationsOf([&] { s.save(target); });
    ASSERT_GT(count, 0) << s.what;
    for (long n = 1; n <= count + 1; ++n) {
      ASSERT_TRUE(pelmo_file::replaceFile(target, oldBytes).ok());
      bool failed = false;
      const bool saved = romtest::withFailingAllocation(n, failed, [&] { return s.save(target); });
      if (failed) {
        EXPECT_FALSE(saved) << s.what << " reported success with allocation " << n << " failed";
        EXPECT_EQ(fileText(target), oldBytes) << s.what << ", allocation " << n;
      } else {
        EXPECT_TRUE(saved) << s.what << ", allocation " << n;
        EXPECT_EQ(fileText(target), newBytes) << s.what << ", allocation " << n;
      }
      EXPECT_EQ(names(), both) << s.what << ", allocation " << n;
    }
    const long long refusal = allocationsOf([&] { s.save(fifo); });
    for (long n = 1; n <= refusal + 1; ++n) {
      bool failed = false;
      EXPECT_FALSE(romtest::withFailingAllocation(n, failed, [&] { return s.save(fifo); })) << s.what << ", " << n;
      EXPECT_TRUE(std::filesystem::is_fifo(fifo)) << s.what << ", allocation " << n;
      EXPECT_EQ(names(), both) << s.what << ", allocation " << n;
    }
  }
}

}  // namespace
