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

}  // namespace
