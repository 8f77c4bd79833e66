#include <gtest/gtest.h>

#include <string>

#include "platform/diveduded/path.h"

namespace {

struct PathCase {
  const char* folder;
  const char* file;
  int status;
  const char* path;  // when status is 0
};

class NetworkPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(NetworkPath, Resolves) {
  const PathCase& c = GetParam();
  std::string path, why;
  EXPECT_EQ(diveduded::resolveNetworkPath(c.folder, c.file, path, why), c.status) << why;
  if (c.status == 0)
    EXPECT_EQ(path, c.path);
  else
    EXPECT_FALSE(why.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, NetworkPath,
    ::testing::Values(PathCase{"root\\COKER", "COKER_C3.zkr", 0, "root/COKER/COKER_C3.zkr"},
                      PathCase{"/data/networks\\COKER", "f.zkr", 0, "/data/networks/COKER/f.zkr"},
                      PathCase{"/data/networks/\\COKER\\", "f.zkr", 0, "/data/networks/COKER/f.zkr"},
                      PathCase{"//data\\\\nets//COKER", "f.zkr", 0, "/data/nets/COKER/f.zkr"},
                      PathCase{"a/.../b", "f.zkr", 0, "a/.../b/f.zkr"},
                      PathCase{"/", "f.zkr", 0, "/f.zkr"},
                      PathCase{"\\COKER", "f.zkr", 2, ""},    // empty registry root
                      PathCase{"\\\\server\\share", "f.zkr", 2, ""},
                      PathCase{"", "f.zkr", 2, ""},
                      PathCase{"root\\..\\etc", "f.zkr", 2, ""},
                      PathCase{"root/../etc", "f.zkr", 2, ""},
                      PathCase{"..", "f.zkr", 2, ""},
                      PathCase{"root\\KIND", "", 2, ""},
                      PathCase{"root\\KIND", "..", 2, ""},
                      PathCase{"root\\KIND", "sub/f.zkr", 2, ""},
                      PathCase{"root\\KIND", "sub\\f.zkr", 2, ""},
                      PathCase{"root\\KI\nND", "f.zkr", 2, ""}));

}  // namespace
