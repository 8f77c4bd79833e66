#include "tests/support/networks.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/diveduded/DIVeduded.h"
#include "platform/registry.h"

namespace romtest {

namespace {

constexpr const char* kRootKey = "SOFTWARE\\Calverin\\Tressa\\38.0";
constexpr const char* kRootValue = "ZKDir";

}  // namespace

void useNetworkRoot(const std::string& root) {
  pelmo_registry_set("HKEY_LOCAL_MACHINE", kRootKey, kRootValue, root.c_str());
}

void useSampleNetworks() { useNetworkRoot(kSampleNetworks); }

std::string networkRoot() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRootKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return {};
  std::string text;
  unsigned type = 0, size = 0;
  if (RegQueryValueExA(key, kRootValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && size > 0) {
    std::vector<unsigned char> data(size);
    if (RegQueryValueExA(key, kRootValue, nullptr, &type, data.data(), &size) == ERROR_SUCCESS)
      text = reinterpret_cast<const char*>(data.data());  // stored with its terminating zero
  }
  RegCloseKey(key);
  return text;
}

ScratchFolder::ScratchFolder(const std::string& label) {
  static std::atomic<int> count{0};
  path_ = std::filesystem::path(::testing::TempDir()) /
          (label + "_" + std::to_string(getpid()) + "_" + std::to_string(++count));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void ScratchFolder::copySampleNetworks(const std::string& kind, const std::string& without) const {
  std::filesystem::copy(kSampleNetworks + "/" + kind, path_ / kind);
  if (!without.empty()) std::filesystem::remove(path_ / kind / without);
}

NetworkRoot::NetworkRoot(const std::string& label) : ScratchFolder(label), previous_(networkRoot()) {
  useNetworkRoot(string());
  DIVeduded::ClearCache();
}

NetworkRoot::~NetworkRoot() {
  if (previous_.empty()) pelmo_registry_clear();
  else useNetworkRoot(previous_);
  DIVeduded::ClearCache();
}

void NetworkRoot::write(const std::string& kind, const std::string& output, const std::string& text) const {
  std::filesystem::create_directories(path() / kind);
  std::ofstream(path() / kind / (kind + "_" + output + ".zkr")) << text;
  DIVeduded::ClearCache();
}

std::string affineNetwork(const std::string& output, const Values& terms, double bias) {
  std::ostringstream out, weights;
  out.precision(17);
  weights.precision(17);
  out << "ZKR 1\nOUTPUT " << output << "\nINPUTS " << terms.size() << "\n";
  for (const auto& [tag, w] : terms) {
    out << "INPUT " << tag << " 0 1\n";
    weights << " " << w;
  }
  out << "OUTPUTSCALE 0 1\nLAYERS 1\nLAYER 1 LINEAR\nW" << weights.str() << "\nB " << bias << "\nEND\n";
  return out.str();
}

}  // namespace romtest
