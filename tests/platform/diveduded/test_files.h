// Scratch folders and network texts for the runner's tests.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/diveduded/DIVeduded.h"

namespace divtest {

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("diveduded_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }

  // Writes dir/KIND/KIND_OUTPUT.zkr (the runner's layout) and returns its path.
  std::filesystem::path write(const std::string& kind, const std::string& output, const std::string& text) const {
    std::filesystem::create_directories(path_ / kind);
    const auto file = path_ / kind / (kind + "_" + output + ".zkr");
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    return file;
  }

 private:
  std::filesystem::path path_;
};

// y = 10 + 4 * (3 * (a - 1) * 2 - 2 * (b + 3) * 0.5 + 0.5)
// so dy/da = 24 and dy/db = -4; at a = 2, b = 1: y = 20.
inline const char* kAffine =
    "# hand-written affine network\r\n"
    "ZKR 1\r\n"
    "OUTPUT YIELD\r\n"
    "INPUTS 2\r\n"
    "INPUT Alpha 1 2     # z = (x - 1) * 2\r\n"
    "INPUT BETA -3 0.5\r\n"
    "OUTPUTSCALE 10 4\r\n"
    "LAYERS 1\r\n"
    "LAYER 1 LINEAR\r\n"
    "W 3 -2\r\n"
    "B 0.5\r\n"
    "CHECK 2 1 20\r\n"
    "END\r\n";

// Configures a runner the way a block does: folder "<root>\<KIND>".
inline void configure(DIVeduded& r, const TempDir& dir, const std::string& kind, const std::string& output) {
  r.SetDepVar(output.c_str());
  r.SetZKRFile((kind + "_" + output + ".zkr").c_str());
  r.SetZKRFolder((dir.str() + "\\" + kind).c_str());
}

// Name buffers as the blocks make them: 100 bytes each.
struct NameBuffers {
  explicit NameBuffers(const std::vector<std::string>& names) : store(names.size(), std::vector<char>(DIV_NAME_BUF)) {
    for (std::size_t i = 0; i < names.size(); ++i) {
      names[i].copy(store[i].data(), DIV_NAME_BUF - 1);
      ptrs.push_back(store[i].data());
    }
  }
  explicit NameBuffers(std::size_t n) : store(n, std::vector<char>(DIV_NAME_BUF, 'x')) {
    for (auto& s : store) ptrs.push_back(s.data());
  }
  char** data() { return ptrs.data(); }
  std::string at(std::size_t i) const { return store[i].data(); }

  std::vector<std::vector<char>> store;
  std::vector<char*> ptrs;
};

}  // namespace divtest
