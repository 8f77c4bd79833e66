#include "platform/registry.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr const char* kKey = "SOFTWARE\\Calverin\\Tressa\\38.0";

// The network-folder read of the blocks: open, query into 1024 bytes, close.
std::string read_zkdir(const char* key = kKey, const char* value = "ZKDir") {
  HKEY h = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &h) != ERROR_SUCCESS) return "<no key>";
  unsigned char buf[1024];
  unsigned size = sizeof buf;
  unsigned type = 0;
  const long rc = RegQueryValueExA(h, value, nullptr, &type, buf, &size);
  RegCloseKey(h);
  if (rc != ERROR_SUCCESS) return "<rc " + std::to_string(rc) + ">";
  EXPECT_EQ(type, REG_SZ);
  return std::string(reinterpret_cast<char*>(buf), strnlen(reinterpret_cast<char*>(buf), size));
}

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    pelmo_registry_clear();
    unsetenv("PELMO_REGISTRY");
    file = fs::temp_directory_path() / ("pelmo_registry_" + std::to_string(::getpid()) + ".txt");
  }
  void TearDown() override {
    pelmo_registry_clear();
    unsetenv("PELMO_REGISTRY");
    fs::remove(file);
  }
  void write_file(const std::string& text) {
    std::ofstream(file, std::ios::trunc) << text;
    setenv("PELMO_REGISTRY", file.c_str(), 1);
  }
  fs::path file;
};

TEST_F(Registry, MissingSettingFailsTheOpen) { EXPECT_EQ(read_zkdir(), "<no key>"); }

TEST_F(Registry, OverrideIsReadVerbatimWhateverTheCase) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", kKey, "ZKDir", "/data/networks\\");
  EXPECT_EQ(read_zkdir(), "/data/networks\\");  // no separator added or removed
  EXPECT_EQ(read_zkdir("software\\CALVERIN\\tressa\\38.0", "zkdir"), "/data/networks\\");
  EXPECT_EQ(read_zkdir(kKey, "Other"), "<rc 2>");
  EXPECT_EQ(read_zkdir("SOFTWARE\\Calverin\\Tressa\\37.0"), "<no key>");
}

TEST_F(Registry, FileIsParsedWithCommentsAndTrimming) {
  write_file(
      "# network root\n"
      "   HKEY_LOCAL_MACHINE\\SOFTWARE\\Calverin\\Tressa\\38.0\\ZKDir = /srv/nets#1  \r\n"
      "malformed line\n"
      "HKLM\\SOFTWARE\\Other\\Name=x\n");
  EXPECT_EQ(read_zkdir(), "/srv/nets#1");
  EXPECT_EQ(read_zkdir("SOFTWARE\\Other", "Name"), "x");
  // A parent key exists because a deeper one holds values.
  EXPECT_EQ(read_zkdir("SOFTWARE\\Calverin", "ZKDir"), "<rc 2>");
}

TEST_F(Registry, OverrideTakesPrecedenceOverTheFile) {
  write_file("HKEY_LOCAL_MACHINE\\SOFTWARE\\Calverin\\Tressa\\38.0\\ZKDir=/from/file\n");
  pelmo_registry_set(nullptr, kKey, "ZKDIR", "/from/host");
  EXPECT_EQ(read_zkdir(), "/from/host");
  pelmo_registry_clear();
  EXPECT_EQ(read_zkdir(), "/from/file");
}

TEST_F(Registry, FileIsReReadWhenItChanges) {
  write_file("HKEY_LOCAL_MACHINE\\SOFTWARE\\Calverin\\Tressa\\38.0\\ZKDir=/one\n");
  EXPECT_EQ(read_zkdir(), "/one");
  const auto t = fs::last_write_time(file);
  write_file("HKEY_LOCAL_MACHINE\\SOFTWARE\\Calverin\\Tressa\\38.0\\ZKDir=/two\n");
  fs::last_write_time(file, t + std::chrono::seconds(5));
  EXPECT_EQ(read_zkdir(), "/two");
  fs::remove(file);
  EXPECT_EQ(read_zkdir(), "<no key>");
}

// A settings file that is no regular file, or one over the 64 MiB limit, is
// not read: no key, and no wait on a FIFO with no writer. A file mended
// afterwards is read at the next look-up.
TEST_F(Registry, FifoOrOversizedFileIsNotRead) {
  const fs::path fifo = file.string() + ".fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  setenv("PELMO_REGISTRY", fifo.c_str(), 1);
  EXPECT_EQ(read_zkdir(), "<no key>");
  fs::remove(fifo);

  write_file("HKEY_LOCAL_MACHINE\\SOFTWARE\\Calverin\\Tressa\\38.0\\ZKDir=/big\n");
  fs::resize_file(file, (64u << 20) + 1);  // sparse: the valid line, then zero bytes
  EXPECT_EQ(read_zkdir(), "<no key>");
  fs::resize_file(file, 64u << 20);
  EXPECT_EQ(read_zkdir(), "/big");
}

struct SizeCase {
  std::size_t length;  // characters of the stored text
  long expect;
};

class RegistrySize : public Registry, public ::testing::WithParamInterface<SizeCase> {};

// The stored size counts the terminator: 1023 characters fit 1024 bytes, 1024 do not.
TEST_P(RegistrySize, LimitIsTheStoredSizeWithTerminator) {
  const std::string text(GetParam().length, 'd');
  pelmo_registry_set("HKEY_LOCAL_MACHINE", kKey, "ZKDir", text.c_str());
  HKEY h = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &h), ERROR_SUCCESS);
  unsigned char buf[1024];
  std::memset(buf, 'x', sizeof buf);
  unsigned size = sizeof buf;
  EXPECT_EQ(RegQueryValueExA(h, "ZKDir", nullptr, nullptr, buf, &size), GetParam().expect);
  EXPECT_EQ(size, text.size() + 1);
  if (GetParam().expect == ERROR_MORE_DATA) {
    EXPECT_EQ(buf[0], 'x');  // untouched
  }
  unsigned needed = 0;
  EXPECT_EQ(RegQueryValueExA(h, "ZKDir", nullptr, nullptr, nullptr, &needed), ERROR_SUCCESS);
  EXPECT_EQ(needed, text.size() + 1);
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(Limit, RegistrySize,
                         ::testing::Values(SizeCase{0, ERROR_SUCCESS}, SizeCase{1023, ERROR_SUCCESS},
                                           SizeCase{1024, ERROR_MORE_DATA}, SizeCase{5000, ERROR_MORE_DATA}));

TEST_F(Registry, BadHandlesAndArgumentsAreRefused) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", kKey, "ZKDir", "/x");
  HKEY h = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegOpenKeyExA(nullptr, kKey, 0, KEY_QUERY_VALUE, &h), ERROR_INVALID_HANDLE);
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_QUERY_VALUE, &h), ERROR_SUCCESS);
  unsigned char buf[8];
  EXPECT_EQ(RegQueryValueExA(h, "ZKDir", nullptr, nullptr, buf, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);  // closed twice: refused, not freed again
  unsigned size = sizeof buf;
  EXPECT_EQ(RegQueryValueExA(h, "ZKDir", nullptr, nullptr, buf, &size), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

}  // namespace
