// `romnet generate`: smooth tanh networks from a kind table (see table.h).
#pragma once

#include <string>

#include "host/romnet/table.h"
#include "platform/diveduded/network.h"

namespace romnet {

// One hidden tanh layer of the output's width and a linear output unit. The
// hidden weights are pseudo-random (seeded by the kind and output name, so the
// same table always gives the same files); the output weights are the
// minimum-norm solution that gives exactly the table's sensitivities at the
// nominal point, where the prediction is the nominal value. Three CHECK points:
// the nominal point and two points half a span away.
diveduded::Network buildNetwork(const KindTable& table, const TableOutput& output);

// Reads the table and writes <OUTDIR>/<KIND>_<OUTPUT>.zkr for every output,
// all or nothing: every network is built and read back as the runner reads
// it, and every target checked, before the first file is replaced.
// Exit status: 0, 65 (bad table, or a network the runner would refuse),
// 73 (cannot write).
int runGenerate(const std::string& table_path, const std::string& outdir);

}  // namespace romnet
