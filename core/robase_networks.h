// What a first-generation block keeps between its network runs, so that a run
// costs little more than the runner's own work: the network folder (read from
// the registry once per pass over the networks, rebuilt only when the root or
// the model kind changed), each network's output and file name, the input
// names in their 100-byte buffers with the records their values come from
// (rebuilt when the input map changed), and the derivative entries each
// network's tags are written into (matched again when a network reports other
// tags, or the output's derivative map changed). Every run still creates,
// configures, opens, runs, closes and deletes its own runner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/helpers.h"
#include "core/network_runner.h"
#include "core/robase.h"

// One network file of a block, as a runner is configured for it.
struct NetworkFile {
  // Output and file "<kind>_<output>.zkr".
  void set(const std::string& kind, const std::string& output);
  // SetDepVar, SetZKRFile, SetZKRFolder, in this order.
  void configure(DIVeduded& runner, const std::string& folder) const;
  // A new runner so configured (closed and deleted by its pointer).
  RunnerPtr newRunner(const std::string& folder) const;

  std::string output;
  std::string file;
};

// The tags of a network's last matched run, to tell whether a run reports the
// same ones (same count, same texts in the same order).
class TagList {
 public:
  bool same(const TagDerivatives& d) const;
  void remember(const TagDerivatives& d);
  std::size_t size() const { return m_tags.size(); }
  const std::string& tag(std::size_t k) const { return m_tags[k]; }

 private:
  std::vector<std::string> m_tags;
};

// The derivative entries of one output that a network's tags are written
// into: the entry of each tag by exact name (none when the output's map has no
// such entry), matched again when the tags or the map changed.
class DerivativeSlots {
 public:
  // Writes every derivative into the entry of its tag, or nothing: false when
  // a tag has no entry or a value is not finite.
  bool store(ROMVar& output, const TagDerivatives& d);
  // Multiplies the entries that the last successful store wrote (those of
  // the run's tags) by factor; entries of tags the run did not name keep
  // their values.
  void scaleStored(double factor) const noexcept {
    for (double* slot : m_slots)
      if (slot) *slot *= factor;
  }

 private:
  TagList m_tags;
  std::uint64_t m_stamp = 0;
  std::vector<double*> m_slots;
};

// The network folder "<ZKDir>\<kind>" of a model kind: refresh reads the
// registry again and rebuilds the folder only when the root or the kind
// changed.
class NetworkFolder {
 public:
  const std::string& refresh(const std::string& kind);
  const std::string& folder() const { return m_folder; }

 private:
  ZKDirBuffer m_buffer{};
  bool m_known = false;
  std::string m_root, m_kind, m_folder;
};

// One network output of a block: its map entry (valid while the map's stamp
// stays), its network file and the derivative entries of its tags.
struct NetworkOutput {
  const ROMVarMap::value_type* entry = nullptr;
  NetworkFile file;
  DerivativeSlots slots;
  TagDerivatives derivatives;  // of the latest run; the buffers keep the network's tag count
};

// The state a block keeps between runs (one per block, made at the first run).
struct NetworkCache {
  NetworkFolder folder;
  bool inPass = false;  // a pass of runAllNN has read the folder for all its runs

  // Model inputs in key order: their entries, names in the runner's buffers,
  // values as last gathered (once per pass: nothing writes the values while
  // the networks run); refused when a name does not fit its buffer.
  std::uint64_t inputStamp = 0;
  std::vector<const ROMVarMap::value_type*> inputs;
  bool namesFit = false;
  bool gatheredInPass = false;
  NetworkInputs in;
  // The place of one named input among them (the count when none has the
  // name), and values a model gives some networks instead of the gathered ones.
  std::size_t placeOf(const char* name);
  const char* placeName = nullptr;
  std::uint64_t placeStamp = 0;
  std::size_t place = 0;
  std::vector<double> changedValues;

  // Network outputs in key order (for the model kind they were made for),
  // and the position of the one runAllNN is running.
  std::uint64_t outputStamp = 0;
  std::string outputKind;
  std::vector<NetworkOutput> outputs;
  std::size_t cursor = static_cast<std::size_t>(-1);

};
