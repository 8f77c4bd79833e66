// The runner's record of failed Opens and Runs, by which a host tells a
// block's failed network run from its other failures.
#include <gtest/gtest.h>

#include <string>

#include "platform/diveduded/DIVeduded.h"
#include "test_files.h"

namespace {

using divtest::TempDir;

TEST(FailureRecord, NamesTheFirstFailureAfterACountAndKeepsTheLastSixteen) {
  DIVeduded::ClearCache();
  TempDir dir;
  dir.write("KIND", "YIELD", divtest::kAffine);
  auto open = [&](const std::string& output) {
    DIVeduded r;
    divtest::configure(r, dir, "KIND", output);
    return r.Open();
  };
  const long long before = DIVeduded::failureCount();
  DIVeduded::Failure f;
  EXPECT_FALSE(DIVeduded::failureAfter(before, f));
  EXPECT_EQ(open("YIELD"), DIV_OK);  // a success is no failure
  EXPECT_EQ(DIVeduded::failureCount(), before);

  EXPECT_EQ(open("MISSING"), DIV_MISSING_FILE);
  DIVeduded idle;
  EXPECT_EQ(idle.Run(), DIV_NOT_OPEN);  // a Run counts as well
  ASSERT_EQ(DIVeduded::failureCount(), before + 2);
  ASSERT_TRUE(DIVeduded::failureAfter(before, f));
  EXPECT_EQ(f.number, before + 1);
  EXPECT_EQ(f.status, DIV_MISSING_FILE);
  EXPECT_EQ(f.file, "KIND_MISSING.zkr");
  EXPECT_EQ(f.folder, dir.str() + "\\KIND");
  ASSERT_TRUE(DIVeduded::failureAfter(before + 1, f));
  EXPECT_EQ(f.status, DIV_NOT_OPEN);
  EXPECT_EQ(f.file, "");

  // More failures than are kept: the oldest kept stands for the first.
  const long long many = DIVeduded::failureCount();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(open("MISSING" + std::to_string(i)), DIV_MISSING_FILE);
  ASSERT_TRUE(DIVeduded::failureAfter(many, f));
  EXPECT_EQ(f.number, many + 5);
  EXPECT_EQ(f.file, "KIND_MISSING4.zkr");
  EXPECT_FALSE(DIVeduded::failureAfter(-1, f));
}

// A host names a failed network by the path the runner read (the registry's
// backslash resolved) and by what the status alone does not say.
TEST(FailureRecord, KeepsThePathReadAndTheReason) {
  DIVeduded::ClearCache();
  TempDir dir;
  dir.write("KIND", "YIELD", divtest::kAffine);
  dir.write("KIND", "BAD", "ZKR 1\nOUTPUT BAD\nLAYERS 1\n");
  const std::string kind = dir.str() + "/KIND/";
  struct Case {
    const char* what;
    const char* root;  // null: the test folder
    const char* output;
    bool run;          // Run with no inputs after a good Open
    int status;
    std::string path, reason;
  };
  const Case cases[] = {
      {"missing file", nullptr, "MISSING", false, DIV_MISSING_FILE, kind + "KIND_MISSING.zkr", ""},
      {"parse failure", nullptr, "BAD", false, DIV_FORMAT, kind + "KIND_BAD.zkr",
       "line 3: expected \"INPUTS\", found \"LAYERS\""},
      {"empty registry root", "", "YIELD", false, DIV_NO_FOLDER, "",
       "no network folder configured (the folder \"\\KIND\" has no root)"},
      {"tag without input", nullptr, "YIELD", true, DIV_MISSING_INPUT, kind + "KIND_YIELD.zkr",
       "no input for tag \"Alpha\""},
  };
  for (const Case& c : cases) {
    DIVeduded r;
    r.SetDepVar(c.output);
    r.SetZKRFile((std::string("KIND_") + c.output + ".zkr").c_str());
    r.SetZKRFolder(((c.root ? std::string(c.root) : dir.str()) + "\\KIND").c_str());
    const long long before = DIVeduded::failureCount();
    const int status = c.run ? (r.Open() == DIV_OK ? r.Run() : -1) : r.Open();
    EXPECT_EQ(status, c.status) << c.what;
    DIVeduded::Failure f;
    ASSERT_TRUE(DIVeduded::failureAfter(before, f)) << c.what;
    EXPECT_EQ(f.status, c.status) << c.what;
    EXPECT_EQ(f.path, c.path) << c.what;
    EXPECT_EQ(f.reason, c.reason) << c.what;
  }
}

}  // namespace
