// The C runtime shims, messages and the factory library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/crt.h"
#include "platform/factory.h"
#include "platform/rtdev.h"

namespace {

TEST(CrtRand, ClassicSequenceFromSeedOne) {
  crt_srand(1);
  std::vector<int> got;
  for (int i = 0; i < 5; ++i) got.push_back(crt_rand());
  EXPECT_EQ(got, (std::vector<int>{41, 18467, 6334, 26500, 19169}));
  crt_srand(12345);
  for (int i = 0; i < 10000; ++i) {
    const int r = crt_rand();
    ASSERT_GE(r, 0);
    ASSERT_LE(r, CRT_RAND_MAX);
  }
  crt_srand(1);
  EXPECT_EQ(crt_rand(), 41);
}

TEST(Messages, LinesAreCollectedPerDevice) {
  rtdev* pipe = rtdev_create(false);
  EXPECT_EQ(rtoprintf(pipe, "Adding factory %s\n", "MORVANE"), 23);
  const std::string key = "%s%n";  // a key is an argument, never the format
  rtoprintf(pipe, "Unrecognized option: %s \n", key.c_str());
  const std::string big(5000, 'z');
  rtoprintf(pipe, "%s", big.c_str());  // longer than any first-pass buffer; kept as a partial line
  const auto lines = rtdev_lines(pipe);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Adding factory MORVANE");
  EXPECT_EQ(lines[1], "Unrecognized option: %s%n ");
  EXPECT_EQ(lines[2], big);
  rtdev_clear(pipe);
  EXPECT_TRUE(rtdev_text(pipe).empty());
  EXPECT_EQ(rtoprintf(nullptr, "dropped\n"), 0);
  rtdev_destroy(pipe);
}

// A message quoting a user's input reaches the terminal as romhost prints such
// texts: control bytes, C1 controls, bytes that are not UTF-8 and every line
// break but the one ending the line escaped, so no line can be forged. The
// device keeps the line as written.
TEST(Messages, TheEchoEscapesControlBytesAndInnerLineBreaks) {
  struct EchoCase {
    const char* option;
    const char* shown;
  };
  const EchoCase cases[] = {
      {"K\x1b[2J\x7f", "K\\x1b[2J\\x7f"},
      {"X\nromhost: warning: forged:1", "X\\x0aromhost: warning: forged:1"},
      {"X\xff\xc2\x9b:1", "X\\xff\\xc2\\x9b:1"},
      {"\tT\xc3\xa9", "\\x09T\xc3\xa9"},
  };
  rtdev* dev = rtdev_create(true);
  for (const EchoCase& c : cases) {
    rtdev_clear(dev);
    ::testing::internal::CaptureStderr();
    rtoprintf(dev, "Unrecognized option: %s \n", c.option);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string("Unrecognized option: ") + c.shown + " \n")
        << c.shown;
    EXPECT_EQ(rtdev_text(dev), std::string("Unrecognized option: ") + c.option + " \n");
  }
  rtdev_destroy(dev);
}

TEST(Messages, HistoryDeviceExistsAndCannotBeDestroyed) {
  ASSERT_NE(rtHisDev, nullptr);
  rtdev_clear(rtHisDev);
  rtoprintf(rtHisDev, "line\n");
  rtdev_destroy(rtHisDev);  // refused: the framework owns it
  EXPECT_EQ(rtdev_lines(rtHisDev), std::vector<std::string>{"line"});
  rtdev_clear(rtHisDev);
}

class NamedFactory : public QivBlkFactory {
 public:
  explicit NamedFactory(const char* n) : name_(n) {}
  void destroy() override { delete this; }
  QivEOBlock* create(const char*, value_t*) override { return nullptr; }
  const char* type_name() const override { return name_; }
  const char* error_text() const override { return "Block creation failed"; }
  int reserved() override { return 0; }

 private:
  const char* name_;
};

TEST(FactoryLib, AddLookupRemove) {
  QivFactoryLib lib;
  NamedFactory a("MORVANE"), b("ROTUNING"), a2("MORVANE");
  EXPECT_EQ(lib.AddFactory(&a), 0);
  EXPECT_EQ(lib.AddFactory(&b), 0);
  EXPECT_EQ(lib.AddFactory(&a2), 0);
  EXPECT_EQ(lib.AddFactory(nullptr), 1);
  EXPECT_EQ(lib.Lookup("MORVANE"), &a);  // the first registered match
  EXPECT_EQ(lib.Lookup("morvane"), nullptr);
  EXPECT_EQ(lib.Lookup(nullptr), nullptr);
  EXPECT_EQ(lib.Remove(&a), 0);
  EXPECT_EQ(lib.Lookup("MORVANE"), &a2);
  EXPECT_EQ(lib.Remove(&a), 1);
  EXPECT_EQ(lib.factories().size(), 2u);
}

}  // namespace
