// The runner through its public operations, in the call orders the blocks use.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/com.h"
#include "platform/diveduded/DIVeduded.h"
#include "test_files.h"
#include "tests/platform/processes.h"

namespace {

using divtest::configure;
using divtest::kAffine;
using divtest::NameBuffers;
using divtest::TempDir;

class Runner : public ::testing::Test {
 protected:
  void SetUp() override {
    DIVeduded::ClearCache();
    DIVeduded::clearFaults();
    dir_.write("KIND", "YIELD", kAffine);
  }
  void TearDown() override { DIVeduded::clearFaults(); }

  // A runner configured for the affine network.
  std::unique_ptr<DIVeduded> affine() {
    auto r = std::make_unique<DIVeduded>();
    configure(*r, dir_, "KIND", "YIELD");
    return r;
  }
  void setInputs(DIVeduded& r, std::vector<std::string> names, std::vector<double> values) {
    names_ = std::make_unique<NameBuffers>(names);
    values_ = values;
    r.SetInputs(names_->data(), values_.data(), static_cast<int>(values_.size()));
  }

  TempDir dir_;
  std::unique_ptr<NameBuffers> names_;
  std::vector<double> values_;
};

TEST_F(Runner, AffineFileGivesHandComputedPredictionAndDerivatives) {
  auto r = affine();
  setInputs(*r, {"ALPHA", "BETA"}, {2.0, 1.0});
  ASSERT_EQ(r->Open(), 0) << r->lastMessage();
  ASSERT_EQ(r->Run(), 0) << r->lastMessage();
  EXPECT_DOUBLE_EQ(r->m_dResult, 20.0);
  long count = -1;
  r->GetIndependentTagCount(count);
  ASSERT_EQ(count, 2);
  NameBuffers tags(2);
  double d[2] = {0, 0};
  EXPECT_EQ(r->GetDerivatives(tags.data(), d), 0);
  EXPECT_EQ(tags.at(0), "Alpha");  // as written in the file
  EXPECT_EQ(tags.at(1), "BETA");
  EXPECT_DOUBLE_EQ(d[0], 24.0);
  EXPECT_DOUBLE_EQ(d[1], -4.0);
  EXPECT_EQ(r->Close(), 0);
}

TEST_F(Runner, InputsMatchRegardlessOfCaseLastRepeatWinsOthersIgnored) {
  auto r = affine();
  setInputs(*r, {"FEEDMASS", "alpha", "beta", "ALPHA", "Beta", "UNUSED"}, {1e9, 7.0, 7.0, 2.0, 1.0, NAN});
  ASSERT_EQ(r->Open(), 0);
  ASSERT_EQ(r->Run(), 0) << r->lastMessage();
  EXPECT_DOUBLE_EQ(r->m_dResult, 20.0);
}

TEST_F(Runner, SetInputsCopiesAtCallTime) {
  auto r = affine();
  setInputs(*r, {"ALPHA", "BETA"}, {2.0, 1.0});
  std::memset(names_->store[0].data(), 'Z', 5);  // the caller reuses its buffers
  values_[0] = 100.0;
  ASSERT_EQ(r->Open(), 0);
  ASSERT_EQ(r->Run(), 0);
  EXPECT_DOUBLE_EQ(r->m_dResult, 20.0);
}

struct RunFailure {
  const char* name;
  std::vector<std::string> names;
  std::vector<double> values;
  int status;
};

class RunFailures : public Runner, public ::testing::WithParamInterface<RunFailure> {};

TEST_P(RunFailures, LeaveResultAndDerivativesAsTheyWere) {
  const RunFailure& c = GetParam();
  auto r = affine();
  setInputs(*r, {"ALPHA", "BETA"}, {2.0, 1.0});
  ASSERT_EQ(r->Open(), 0);
  ASSERT_EQ(r->Run(), 0);
  setInputs(*r, c.names, c.values);
  EXPECT_EQ(r->Run(), c.status);
  EXPECT_FALSE(r->lastMessage().empty());
  EXPECT_DOUBLE_EQ(r->m_dResult, 20.0);
  NameBuffers tags(2);
  double d[2] = {0, 0};
  EXPECT_EQ(r->GetDerivatives(tags.data(), d), 0);
  EXPECT_DOUBLE_EQ(d[0], 24.0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunFailures,
    ::testing::Values(RunFailure{"MissingTag", {"ALPHA"}, {2.0}, DIV_MISSING_INPUT},
                      RunFailure{"NoInputs", {}, {}, DIV_MISSING_INPUT},
                      RunFailure{"NanInput", {"ALPHA", "BETA"}, {NAN, 1.0}, DIV_NON_FINITE},
                      RunFailure{"InfInput", {"ALPHA", "BETA"}, {2.0, -INFINITY}, DIV_NON_FINITE},
                      RunFailure{"OverflowingResult", {"ALPHA", "BETA"}, {1e308, 1.0}, DIV_NON_FINITE}),
    [](const ::testing::TestParamInfo<RunFailure>& i) { return std::string(i.param.name); });

TEST_F(Runner, OpenStatuses) {
  struct Case {
    const char* what;
    const char* folder;
    const char* file;
    const char* output;
    int status;
  };
  const std::string kind = dir_.str() + "\\KIND";
  const std::string up = kind + "\\..\\KIND";
  const std::string root = dir_.str();
  const std::string name100(100, 'N');
  dir_.write("KIND", "BAD", "ZKR 1\nOUTPUT BAD\nINPUTS 0\nOUTPUTSCALE 0 1\nLAYERS 1\nLAYER 1 RELU\nW\nB 0\nEND\n");
  ASSERT_EQ(::mkfifo((dir_.path() / "KIND" / "KIND_FIFO.zkr").c_str(), 0600), 0);  // no writer
  dir_.write("KIND", "SELF", "ZKR 1\nOUTPUT SELF\nINPUTS 0\nOUTPUTSCALE 0 1\nLAYERS 1\nLAYER 1 LINEAR\nW\nB 0\n"
                             "CHECK 1\nEND\n");
  const Case cases[] = {
      {"ok, output matched regardless of case", kind.c_str(), "KIND_YIELD.zkr", "yield", DIV_OK},
      {"empty registry root", "\\KIND", "KIND_YIELD.zkr", "YIELD", DIV_NO_FOLDER},
      {"no folder", "", "KIND_YIELD.zkr", "YIELD", DIV_NO_FOLDER},
      {"dot-dot folder", up.c_str(), "KIND_YIELD.zkr", "YIELD", DIV_NO_FOLDER},
      {"file with a separator", root.c_str(), "KIND/KIND_YIELD.zkr", "YIELD", DIV_NO_FOLDER},
      {"100-character file name", kind.c_str(), name100.c_str(), "YIELD", DIV_NO_FOLDER},
      {"missing file", kind.c_str(), "KIND_NONE.zkr", "NONE", DIV_MISSING_FILE},
      {"a folder, not a file", root.c_str(), "KIND", "YIELD", DIV_NOT_REGULAR},
      {"a FIFO, which must not block", kind.c_str(), "KIND_FIFO.zkr", "FIFO", DIV_NOT_REGULAR},
      {"a device", "/dev", "null", "YIELD", DIV_NOT_REGULAR},
      {"format error", kind.c_str(), "KIND_BAD.zkr", "BAD", DIV_FORMAT},
      {"wrong output", kind.c_str(), "KIND_YIELD.zkr", "C3FRAC", DIV_WRONG_OUTPUT},
      {"100-character output", kind.c_str(), "KIND_YIELD.zkr", name100.c_str(), DIV_WRONG_OUTPUT},
      {"failed self-check", kind.c_str(), "KIND_SELF.zkr", "SELF", DIV_SELF_CHECK},
  };
  for (const Case& c : cases) {
    DIVeduded r;
    r.SetDepVar(c.output);
    r.SetZKRFile(c.file);
    r.SetZKRFolder(c.folder);
    EXPECT_EQ(r.Open(), c.status) << c.what << ": " << r.lastMessage();
    if (c.status != DIV_OK) {
      EXPECT_FALSE(r.lastMessage().empty()) << c.what;
      long count = -1;
      EXPECT_NE(r.GetIndependentTagCount(count), 0) << c.what;
      EXPECT_EQ(count, 0) << c.what;
      EXPECT_EQ(r.Run(), DIV_NOT_OPEN) << c.what;
    }
    EXPECT_EQ(r.Close(), 0);
  }
}

TEST_F(Runner, UnopenedRunnerAnswersWithoutCrashing) {
  DIVeduded r;
  r.m_dResult = 42.0;
  long count = -1;
  EXPECT_NE(r.GetIndependentTagCount(count), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(r.Run(), DIV_NOT_OPEN);
  EXPECT_EQ(r.m_dResult, 42.0);
  char* name = nullptr;
  EXPECT_NE(r.GetIndependentTagByIndex(1, name), 0);
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, "");
  EXPECT_NE(r.GetDerivatives(nullptr, nullptr), 0);
  r.GetIndepVars(nullptr, 3);
  EXPECT_EQ(r.Close(), 0);
  EXPECT_EQ(r.Close(), 0);  // Close on a closed runner is harmless
}

TEST_F(Runner, GetDerivativesBeforeRunWritesTagsAndZeros) {
  auto r = affine();
  ASSERT_EQ(r->Open(), 0);
  NameBuffers tags(2);
  double d[2] = {5.0, 5.0};
  EXPECT_NE(r->GetDerivatives(tags.data(), d), 0);
  EXPECT_EQ(tags.at(0), "Alpha");
  EXPECT_EQ(d[0], 0.0);
  EXPECT_EQ(d[1], 0.0);
}

TEST_F(Runner, ReopenedManyTimesKeepsItsConfiguration) {
  auto r = affine();
  for (int i = 0; i < 500; ++i) {
    setInputs(*r, {"ALPHA", "BETA"}, {2.0 + i, 1.0});
    ASSERT_EQ(r->Open(), 0) << "reopen " << i;
    ASSERT_EQ(r->Run(), 0);
    EXPECT_DOUBLE_EQ(r->m_dResult, 20.0 + 24.0 * i);
    r->Close();
  }
}

TEST_F(Runner, OpenOnAnOpenRunnerClosesFirst) {
  auto r = affine();
  setInputs(*r, {"ALPHA", "BETA"}, {2.0, 1.0});
  ASSERT_EQ(r->Open(), 0);
  ASSERT_EQ(r->Run(), 0);
  ASSERT_EQ(r->Open(), 0);
  double d[2] = {1, 1};
  NameBuffers tags(2);
  EXPECT_NE(r->GetDerivatives(tags.data(), d), 0);  // the earlier run belongs to the earlier Open
  ASSERT_EQ(r->Run(), 0);
  EXPECT_DOUBLE_EQ(r->m_dResult, 20.0);
}

TEST_F(Runner, TwoRunnersOpenAtOnceOnOneFile) {
  auto t = affine(), d = affine();
  NameBuffers names({"ALPHA", "BETA"});
  double vt[2] = {2.0, 1.0}, vd[2] = {3.0, 1.0};
  t->SetInputs(names.data(), vt, 2);
  d->SetInputs(names.data(), vd, 2);
  ASSERT_EQ(t->Open(), 0);
  ASSERT_EQ(d->Open(), 0);
  ASSERT_EQ(t->Run(), 0);
  ASSERT_EQ(d->Run(), 0);
  EXPECT_DOUBLE_EQ(t->m_dResult, 20.0);
  EXPECT_DOUBLE_EQ(d->m_dResult, 44.0);
}

TEST_F(Runner, TuningOrderManyRunsPerOpenByTagIndex) {
  auto r = affine();
  ASSERT_EQ(r->Open(), 0);
  for (int point = 0; point < 20; ++point) {
    long n = 0;
    r->GetIndependentTagCount(n);
    ASSERT_EQ(n, 2);
    std::vector<std::string> names;
    for (int k = 1; k <= n; ++k) {
      char* name = nullptr;
      ASSERT_EQ(r->GetIndependentTagByIndex(k, name), 0);
      std::string upper(name);
      for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      names.push_back(upper);
    }
    setInputs(*r, names, {1.0 + point, -3.0});
    ASSERT_EQ(r->Run(), 0);
    EXPECT_DOUBLE_EQ(r->m_dResult, 10.0 + 4.0 * (6.0 * point + 0.5));
  }
  char* name = nullptr;
  EXPECT_NE(r->GetIndependentTagByIndex(0, name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_NE(r->GetIndependentTagByIndex(3, name), 0);
  EXPECT_STREQ(name, "");
}

TEST_F(Runner, NamesNeverOverrunCallerBuffers) {
  const std::string tag99(99, 'Q');
  dir_.write("KIND", "LONG",
             "ZKR 1\nOUTPUT LONG\nINPUTS 1\nINPUT " + tag99 + " 0 1\nOUTPUTSCALE 0 1\nLAYERS 1\nLAYER 1 LINEAR\n"
             "W 2\nB 0\nEND\n");
  DIVeduded r;
  configure(r, dir_, "KIND", "LONG");
  // A 100-byte input name with no NUL in it is read no further than its end
  // (the sanitizer build would catch more) and cannot match a tag.
  auto exact = std::make_unique<char[]>(DIV_NAME_BUF);
  std::memset(exact.get(), 'Q', DIV_NAME_BUF);
  char* names[1] = {exact.get()};
  double v[1] = {3.0};
  r.SetInputs(names, v, 1);
  ASSERT_EQ(r.Open(), 0);
  EXPECT_EQ(r.Run(), DIV_MISSING_INPUT);
  exact[99] = '\0';  // now exactly the 99-character tag
  r.SetInputs(names, v, 1);
  ASSERT_EQ(r.Run(), 0);
  EXPECT_EQ(r.m_dResult, 6.0);

  // The caller's buffers are 100 bytes; a canary right after them must stay.
  std::vector<char> block(2 * DIV_NAME_BUF + 2, '#');
  char* bufs[2] = {block.data(), block.data() + DIV_NAME_BUF + 1};
  r.GetIndepVars(bufs, 2);  // one tag: the second buffer gets ""
  EXPECT_EQ(std::string(bufs[0]), tag99);
  EXPECT_EQ(block[DIV_NAME_BUF], '#');
  EXPECT_STREQ(bufs[1], "");
  double d = 0.0;
  EXPECT_EQ(r.GetDerivatives(bufs, &d), 0);
  EXPECT_EQ(block[DIV_NAME_BUF], '#');
  EXPECT_EQ(d, 2.0);
}

TEST_F(Runner, CountersAndRunsPerFile) {
  DIVeduded::resetCounters();
  {
    auto r = affine();
    setInputs(*r, {"ALPHA", "BETA"}, {2.0, 1.0});
    r->Open();
    r->Run();
    r->Run();
    r->Close();
    r->Close();
  }
  const DIVeduded::Counters c = DIVeduded::counters();
  EXPECT_EQ(c.constructed, 1);
  EXPECT_EQ(c.destroyed, 1);
  EXPECT_EQ(c.opens, 1);
  EXPECT_EQ(c.runs, 2);
  EXPECT_EQ(c.closes, 2);
  EXPECT_EQ(DIVeduded::runsOf("KIND_YIELD.zkr"), 2);
  EXPECT_EQ(DIVeduded::runsOf("KIND_OTHER.zkr"), 0);
  DIVeduded::resetCounters();
  EXPECT_EQ(DIVeduded::runsOf("KIND_YIELD.zkr"), 0);
}

TEST_F(Runner, InjectedFaults) {
  auto r = affine();
  setInputs(*r, {"ALPHA", "BETA"}, {2.0, 1.0});

  DIVeduded::injectFault("KIND_YIELD.zkr", "Open", DIVeduded::Fault::Status, 3);
  EXPECT_EQ(r->Open(), 3);
  EXPECT_EQ(r->Run(), DIV_NOT_OPEN);

  DIVeduded::injectFault("KIND_YIELD.zkr", "Open", DIVeduded::Fault::ThrowStd);
  EXPECT_THROW(r->Open(), std::runtime_error);

  DIVeduded::injectFault("KIND_YIELD.zkr", "Open", DIVeduded::Fault::ThrowCom, static_cast<int>(0x80004005));
  try {
    r->Open();
    ADD_FAILURE() << "no _com_error";
  } catch (const _com_error& e) {
    EXPECT_EQ(e.Error(), static_cast<long>(static_cast<int>(0x80004005)));
  }

  DIVeduded::injectFault("KIND_OTHER.zkr", "Open", DIVeduded::Fault::Status, 4);  // another file: no effect
  DIVeduded::injectFault("KIND_YIELD.zkr", "Open", DIVeduded::Fault::None);
  ASSERT_EQ(r->Open(), 0);
  DIVeduded::injectFault("KIND_YIELD.zkr", "Run", DIVeduded::Fault::Status, 8);
  r->m_dResult = -1.0;
  EXPECT_EQ(r->Run(), 8);
  EXPECT_EQ(r->m_dResult, -1.0);

  DIVeduded::clearFaults();
  EXPECT_EQ(r->Run(), 0);
  EXPECT_DOUBLE_EQ(r->m_dResult, 20.0);
}

TEST_F(Runner, ConcurrentRunnersShareTheCache) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      NameBuffers names({"ALPHA", "BETA"});
      double v[2] = {2.0, 1.0};
      for (int i = 0; i < 200; ++i) {
        DIVeduded r;
        configure(r, dir_, "KIND", "YIELD");
        r.SetInputs(names.data(), v, 2);
        if (r.Open() != 0 || r.Run() != 0 || r.m_dResult != 20.0) ++failures[static_cast<std::size_t>(t)];
        if (i % 50 == 0) DIVeduded::ClearCache();
        r.Close();
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}

TEST(RunnerStatusNames, EveryStatusHasAName) {
  for (int s = DIV_OK; s <= DIV_NOT_REGULAR; ++s) EXPECT_STRNE(DIVedudedStatusName(s), "unknown status") << s;
  EXPECT_STREQ(DIVedudedStatusName(DIV_MISSING_FILE), "missing file");
  EXPECT_STREQ(DIVedudedStatusName(DIV_NO_ACCESS), "permission denied");
  EXPECT_STREQ(DIVedudedStatusName(DIV_NOT_REGULAR), "not a regular file");
  EXPECT_STREQ(DIVedudedStatusName(DIV_NOT_REGULAR + 1), "unknown status");
  EXPECT_STREQ(DIVedudedStatusName(-3), "unknown status");
}

// A file, or a folder on its way, that may not be read is reported as such:
// the fix is a permission, not a missing file. The check runs in a child
// process without root's rights, which read everything.
TEST_F(Runner, PermissionDeniedIsItsOwnStatus) {
  const auto file = dir_.write("KIND", "YIELD", divtest::kAffine);
  std::filesystem::permissions(file, std::filesystem::perms::owner_write);
  dir_.write("CLOSED", "YIELD", divtest::kAffine);
  std::filesystem::permissions(dir_.path() / "CLOSED", std::filesystem::perms::owner_all);
  const std::string said = filetest::runUnprivileged([&] {
    std::string out;
    for (const char* kind : {"KIND", "CLOSED"}) {
      DIVeduded r;
      divtest::configure(r, dir_, kind, "YIELD");
      const int status = r.Open();
      if (status != DIV_NO_ACCESS || r.lastMessage().find("permission denied") == std::string::npos)
        out += std::string(kind) + ": status " + std::to_string(status) + ", " + r.lastMessage() + "\n";
    }
    return out;
  });
  std::filesystem::permissions(dir_.path() / "CLOSED", std::filesystem::perms::all);
  EXPECT_EQ(said, "");
}

}  // namespace
