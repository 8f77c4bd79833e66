// What rotuningmodel's network runs keep between runs (rotuningmodel_networks.cpp).
#pragma once

#include <string>
#include <vector>

#include "core/robase_networks.h"
#include "tuning/rotuningmodel.h"

// One network of a run: its file, the tags the runner named at the last match
// (as given and upper-cased, in the runner's order) with their name buffers,
// each point's attribute per tag ([point * tags + tag]; null where the block
// has none) and which tag the run scales, and the values of a point.
struct rotuningmodel::NetworkRun {
  NetworkFile file;
  std::vector<std::string> given, upper;
  NameBuffers names;
  std::vector<const double*> inputs;
  std::vector<char> scaled;
  std::vector<double> values;
  unsigned matches = 0;  // how many times the tags were matched
};

struct rotuningmodel::NetworkRuns {
  NetworkFolder folder;
  NetworkRun single, total, diff;
  // The difference network's derivatives of a point, and where each is kept
  // ([point * tags + tag] into diffDerivatives; made at the first write).
  NameBuffers tags;
  std::vector<double> slopes;
  std::vector<double*> slots;
  unsigned slotsMatch = 0;  // the difference network's match the slots belong to
};
