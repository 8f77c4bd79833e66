// What rofcc's pair runs keep between runs (rofcc_networks.cpp).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "core/robase_networks.h"
#include "models/fcc/rofcc.h"

// The derivatives of one network of a pair as the inputs' list has them: the
// value of the last tag naming an input (exact name), 0 for an input no tag
// names. The match of tags to inputs is kept until the network reports other
// tags or the inputs change.
struct TagsToInputs {
  // False when a derivative is not finite.
  bool collect(const TagDerivatives& d, const NetworkCache& cache, std::vector<double>& byInput) {
    if (inputStamp != cache.inputStamp || !tags.same(d)) {
      // No map has stamp 0: a match that runs out of memory half way is made
      // again at the next run instead of passing for the new tags' match.
      inputStamp = 0;
      tags.remember(d);
      position.assign(tags.size(), -1);
      named.assign(cache.inputs.size(), 0);
      for (std::size_t k = 0; k < tags.size(); ++k)
        for (std::size_t i = 0; i < cache.inputs.size(); ++i)
          if (cache.inputs[i]->first == tags.tag(k)) {
            position[k] = static_cast<int>(i);
            named[i] = 1;
          }
      inputStamp = cache.inputStamp;
      unnamed = static_cast<std::size_t>(std::count(position.begin(), position.end(), -1));
    }
    byInput.assign(cache.inputs.size(), 0.0);
    for (std::size_t k = 0; k < position.size(); ++k) {
      if (!std::isfinite(d.values[k])) return false;
      if (position[k] >= 0) byInput[static_cast<std::size_t>(position[k])] = d.values[k];
    }
    return true;
  }

  // True when a tag names input i.
  bool names(std::size_t i) const { return named[i] != 0; }
  // The number of tags that name no input.
  std::size_t strangers() const { return unnamed; }

  TagList tags;
  std::uint64_t inputStamp = 0;
  std::vector<int> position;  // per tag: the input it names, -1 for none
  std::vector<char> named;    // per input
  std::size_t unnamed = 0;    // tags naming no input
};

// One pair as runNNDiff was asked for it: its networks, attributes, the
// output's derivative entries of the model inputs, the difference network's
// inputs and the derivative buffers of both networks.
struct rofcc::PairRun {
  PairRun(const std::string& kind, const std::string& output, const std::string& totalOutput,
          const std::string& diffOutput)
      : output(output),
        kind(kind),
        param(output.substr(0, 3) + "_OVERCRACK_PARAM"),
        rate(output.substr(0, 3) + "_OVERCRACK_RATE") {
    total.set(kind, totalOutput);
    diff.set(kind, diffOutput);
  }
  bool is(const std::string& kindNow, const std::string& out, const std::string& t, const std::string& d) const {
    return out == output && t == total.output && d == diff.output && kindNow == kind;
  }

  std::string output, kind;
  NetworkFile total, diff;
  AttrRef param, rate;
  // The output's derivative entries of the inputs (null: no entry), for the
  // inputs and the derivative map as they were when matched.
  std::uint64_t derivStamp = 0, slotInputStamp = 0;
  std::vector<double*> slots;
  // The place of the scaled input among the inputs (none: the count).
  std::size_t scaledAt = 0;
  std::vector<double> diffValues, dTotal, dDiff, d;
  TagDerivatives totalTags, diffTags;
  TagsToInputs totalMatch, diffMatch;
};
