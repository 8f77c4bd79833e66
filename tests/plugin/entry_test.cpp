// The plug-in's four entry points, reached as the framework reaches them: the
// library is loaded with dlopen and the functions are looked up by name.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/factory.h"
#include "platform/rtdev.h"

namespace {

using VersionFn = int (*)(const char*, int*, int*);
using IdentityFn = const char* (*)();
using LoadFn = int (*)(QivPipe*, QivFactoryLib*);

class EntryPoints : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string path = ROM_BINARY_DIR "/lib/libromlib.so";
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle_, nullptr) << dlerror();
    version_ = reinterpret_cast<VersionFn>(dlsym(handle_, "qivdll_version"));
    identity_ = reinterpret_cast<IdentityFn>(dlsym(handle_, "qivdll_identity"));
    init_ = reinterpret_cast<LoadFn>(dlsym(handle_, "qivdll_init"));
    unload_ = reinterpret_cast<LoadFn>(dlsym(handle_, "qivdll_unload"));
  }

  void SetUp() override {
    ASSERT_TRUE(version_ && identity_ && init_ && unload_);
    pipe_ = rtdev_create(false);
  }
  void TearDown() override { rtdev_destroy(pipe_); }

  std::vector<std::string> typeNames(const QivFactoryLib& lib) {
    std::vector<std::string> names;
    for (QivBlkFactory* f : lib.factories()) names.emplace_back(f->type_name());
    return names;
  }

  static inline void* handle_ = nullptr;
  static inline VersionFn version_ = nullptr;
  static inline IdentityFn identity_ = nullptr;
  static inline LoadFn init_ = nullptr;
  static inline LoadFn unload_ = nullptr;
  rtdev* pipe_ = nullptr;
};

struct VersionCase {
  const char* kind;
  int major, minor;
};

TEST_F(EntryPoints, VersionAnswersByExactKind) {
  const VersionCase cases[] = {
      {"QIVBLKFACTORY", 11, 1}, {"QIVPIPE", 3, 0},  {"QIVPIPEX", 11, 0}, {"qivpipe", 11, 0},
      {"QIVPIP", 11, 0},        {"", 11, 0},        {"ANYTHING", 11, 0}, {"qivblkfactory", 11, 0},
  };
  for (const VersionCase& c : cases) {
    int major = -1, minor = -1;
    EXPECT_EQ(version_(c.kind, &major, &minor), 0) << c.kind;
    EXPECT_EQ(major, c.major) << c.kind;
    EXPECT_EQ(minor, c.minor) << c.kind;
  }
}

TEST_F(EntryPoints, Identity) { EXPECT_STREQ(identity_(), "Reduced-Order Model Library"); }

TEST_F(EntryPoints, InitRegistersThreeFactoriesInOrderAndLogs) {
  QivFactoryLib lib;
  ASSERT_EQ(init_(pipe_, &lib), 0);
  EXPECT_EQ(typeNames(lib), (std::vector<std::string>{"MORVANE", "ROTUNING", "ROTUNINGBALANCE"}));
  for (QivBlkFactory* f : lib.factories()) {
    EXPECT_STREQ(f->error_text(), "Block creation failed");
    EXPECT_EQ(f->reserved(), 0);
  }
  EXPECT_EQ(rtdev_text(pipe_),
            "Entering ROM library initialization\n"
            "Adding factory MORVANE\n"
            "Adding factory ROTUNING\n"
            "Adding factory ROTUNINGBALANCE\n"
            "ROM library initialized\n");
  rtdev_clear(pipe_);
  EXPECT_EQ(unload_(pipe_, &lib), 0);
  EXPECT_TRUE(lib.factories().empty());
  EXPECT_EQ(rtdev_text(pipe_), "") << "nothing is logged on a successful unload";
}

TEST_F(EntryPoints, InitWithoutPipeIsSilent) {
  QivFactoryLib lib;
  const std::size_t before = rtdev_lines(rtHisDev).size();
  EXPECT_EQ(init_(nullptr, &lib), 0);
  EXPECT_EQ(lib.factories().size(), 3u);
  EXPECT_EQ(rtdev_lines(rtHisDev).size(), before);
  EXPECT_EQ(unload_(nullptr, &lib), 0);
}

TEST_F(EntryPoints, NoFactoryLibrary) {
  EXPECT_EQ(init_(pipe_, nullptr), 1);
  EXPECT_EQ(rtdev_text(pipe_), "Entering ROM library initialization\nNo factory library\n");
  rtdev_clear(pipe_);
  EXPECT_EQ(unload_(pipe_, nullptr), -2);
  EXPECT_EQ(rtdev_text(pipe_), "Unable to remove block factories from library.\n");
  EXPECT_EQ(unload_(nullptr, nullptr), -2);
  EXPECT_EQ(init_(nullptr, nullptr), 1);
  // None of these changed the load counter: a paired init and unload still ends at 0.
  QivFactoryLib lib;
  ASSERT_EQ(init_(nullptr, &lib), 0);
  EXPECT_EQ(unload_(nullptr, &lib), 0);
}

TEST_F(EntryPoints, LoadCounterDecidesTheUnloadResult) {
  QivFactoryLib first, second;
  ASSERT_EQ(init_(nullptr, &first), 0);
  ASSERT_EQ(init_(nullptr, &second), 0);
  EXPECT_EQ(unload_(nullptr, &first), 1) << "another load remains";
  EXPECT_EQ(unload_(nullptr, &second), 0);
  EXPECT_TRUE(first.factories().empty());
  EXPECT_TRUE(second.factories().empty());
}

TEST_F(EntryPoints, UnloadWithoutInitLowersTheCounter) {
  QivFactoryLib empty;
  EXPECT_EQ(unload_(nullptr, &empty), 0) << "counter -1 is not above 0";
  // Had the counter stayed at 0, two inits would leave one load after the
  // first unload (result 1); from -1 they leave none.
  QivFactoryLib lib, lib2;
  ASSERT_EQ(init_(nullptr, &lib), 0);
  ASSERT_EQ(init_(nullptr, &lib2), 0);
  EXPECT_EQ(unload_(nullptr, &lib2), 0);
  EXPECT_EQ(unload_(nullptr, &lib), 0);
  // The counter is -1 again: one more init (its factories removed by hand)
  // brings it back to 0 for the other tests.
  QivFactoryLib restore;
  ASSERT_EQ(init_(nullptr, &restore), 0);
  for (QivBlkFactory* f : std::vector<QivBlkFactory*>(restore.factories())) {
    restore.Remove(f);
    f->destroy();
  }
}

TEST_F(EntryPoints, UnloadSkipsNamesNotFound) {
  QivFactoryLib lib;
  ASSERT_EQ(init_(nullptr, &lib), 0);
  QivBlkFactory* tuning = lib.Lookup("ROTUNING");
  ASSERT_NE(tuning, nullptr);
  lib.Remove(tuning);
  tuning->destroy();
  EXPECT_EQ(unload_(pipe_, &lib), 0);
  EXPECT_TRUE(lib.factories().empty());
  EXPECT_EQ(rtdev_text(pipe_), "");
}

}  // namespace
