// Where the tests find the example cases and the shipped sample networks,
// the registry's network root, scratch folders that vanish with the test, and
// network roots of hand-written network files.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace romtest {

// Name -> value pairs, in the order given: inputs, attributes, network terms.
using Values = std::vector<std::pair<std::string, double>>;

inline const std::string kExamples = ROM_SOURCE_DIR "/examples/";
inline const std::string kSampleNetworks = ROM_SOURCE_DIR "/examples/networks";

// Makes root the registry's network folder ("ZKDir").
void useNetworkRoot(const std::string& root);
void useSampleNetworks();
// The registry's network folder; empty when none is set.
std::string networkRoot();

// A fresh folder under the test's temporary folder, named after label, the
// process and a count; removed with everything in it when the object goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& label = "scratch");
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::string string() const { return path_.string(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // A copy of one kind's sample networks, without the named file when one is given.
  void copySampleNetworks(const std::string& kind, const std::string& without = {}) const;

 private:
  std::filesystem::path path_;
};

// A scratch folder that is the registry's network root while it lives (the
// runner's cache cleared on the way in and out); the root before it comes
// back afterwards. Empty, every network file is missing.
class NetworkRoot : public ScratchFolder {
 public:
  explicit NetworkRoot(const std::string& label = "nets");
  ~NetworkRoot();

  // Writes <root>/<kind>/<kind>_<output>.zkr and clears the runner's cache, so
  // that a file rewritten within the same tick is read again.
  void write(const std::string& kind, const std::string& output, const std::string& text) const;

 private:
  std::string previous_;
};

// The text of a one-layer linear network: output = bias + sum of weight x tag.
std::string affineNetwork(const std::string& output, const Values& terms, double bias);

}  // namespace romtest
