// What a first-generation block keeps of its adjustment rows "Y_" + y between
// evaluations (core/robase_adjustment.cpp): for each row its output, the
// output's record and tuning factors reached through their slots, which model
// inputs are in the output's independent set with their GAMMA factors, and
// the output's derivative entries of the inputs. The rows are made again when
// the adjustment-equation, input or independent-variable map changed; the
// records and attributes are looked up again when their own maps changed. A
// name that is missing fails at the evaluation that needs it, with the same
// error as a look-up by name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/robase.h"

struct AdjustmentRow {
  const ROMEqnMap::value_type* eqn = nullptr;  // null for a row made for one call
  std::string output;                          // the row name without its "Y_"
  EntryRef<ROMVarMap> out;                     // in the network-output map
  AttrRef alpha, beta;
  bool indepKnown = false;     // the independent-variable map has the output
  std::vector<char> indep;     // per model input: in the output's independent set
  std::vector<AttrRef> gamma;  // per model input; named for the independent ones
  std::vector<std::size_t> indepAt;  // the places of the independent inputs, in input order
  // The output's derivative entry of each model input (null: none), for the
  // derivative map of that stamp.
  std::uint64_t derivStamp = 0;
  std::vector<const double*> derivs;
};

struct AdjustmentPlan {
  std::uint64_t eqnStamp = 0, inputStamp = 0, indepStamp = 0;
  std::vector<const ROMVarMap::value_type*> inputs;  // model inputs in key order
  std::vector<AdjustmentRow> rows;                   // adjustment rows in key order
};
