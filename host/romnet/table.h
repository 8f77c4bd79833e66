// The readable table from which `romnet generate` writes a model kind's sample
// networks. Line based; '#' starts a comment; tokens are separated by white
// space:
//
//   KIND   <kind>                                   once, first
//   INPUT  <tag> <nominal> <span>                   one per input of the kind
//   OUTPUT <name> <nominal> <hidden> [<tag>=<sensitivity> ...]
//
// An input's span is its typical variation: the network sees
// z = (x - nominal) / span. An output's sensitivity to a tag is the relative
// change of the output for a change of one span of the input:
// dy/dx = sensitivity * nominal_y / span. The tags of an OUTPUT row, in their
// order, are the network's inputs; each must have an INPUT row.
#pragma once

#include <string>
#include <vector>

namespace romnet {

struct TableInput {
  std::string tag;
  double nominal = 0.0;
  double span = 1.0;
};

struct TableOutput {
  std::string name;
  double nominal = 0.0;
  int hidden = 0;
  std::vector<std::string> tags;        // network inputs, in order
  std::vector<double> sensitivities;    // one per tag
  int line = 0;
};

struct KindTable {
  std::string kind;
  std::vector<TableInput> inputs;
  std::vector<TableOutput> outputs;

  const TableInput* input(const std::string& tag) const;
};

// Reads a table text; on failure returns false with a message naming the line.
// An OUTPUT name must make a file name the runner opens: no '/', '\', "." or
// "..", and <KIND>_<OUTPUT>.zkr within the runner's file-name rules.
bool parseTable(const std::string& text, KindTable& table, std::string& error);

// The file that `romnet generate` writes for an output: <KIND>_<OUTPUT>.zkr.
std::string networkFileName(const std::string& kind, const std::string& output);

}  // namespace romnet
