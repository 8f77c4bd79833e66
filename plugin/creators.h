// The block creators: one function per reactor family and per tuning block,
// defined in each family's folder. The factories choose the family, the
// generation and the model kind; the creator constructs the class and hands
// back the block constructed but not yet prepared. A creator gives null when
// it has no class for the request.
//
// The factories call the creators through creatorTable(), so tests can put
// spies in its slots (and restore them) without a second definition of any
// creator.
#pragma once

#include <memory>
#include <string>

#include "core/records.h"

class QivEOBlock;
class robase;

enum class BlockGeneration { First, Second };

// What the "MORVANE" factory asks of a reactor family.
struct BlockRequest {
  std::string subid;           // the whole SUBID text, one row of the family's table
  std::string modelKind;       // that row's model kind, e.g. "FCC_GO_2N"
  BlockGeneration generation;  // First: major 36 or less; Second: 37 or more
  const char* name;            // the block's framework name
  VerInfo version;             // the second-generation classes keep it
  std::string basisNA;         // the BASIS_NA text (upper case, default "NA")
};

// Reactor families. The first-generation coker, FCC, reformer and visbreaker
// constructors set their model kind themselves; for the first-generation
// hydrocracker and every second-generation class the factory assigns the
// request's model kind right after the creator returns.
//
// Reformers: the reformer creator gives the block its BASIS_NA text (its
// setNABasis operation) right after construction, having first set the model
// kind of a second-generation block; the factory cannot, since the operation
// belongs to the reformer classes of each generation and not to robase.
//
// After the creator the factory calls setLEBasis, setHLBasis and prepare.
std::unique_ptr<robase> createCokerBlock(const BlockRequest& request);
std::unique_ptr<robase> createFccBlock(const BlockRequest& request);
std::unique_ptr<robase> createHcrBlock(const BlockRequest& request);
std::unique_ptr<robase> createRefBlock(const BlockRequest& request);
std::unique_ptr<robase> createVbBlock(const BlockRequest& request);

// Tuning blocks: constructed complete; the factory calls nothing further.
// "ROTUNING": asked only with a non-empty RX and NDATA of 1 or more.
std::unique_ptr<QivEOBlock> createTuningModelBlock(const char* name, const std::string& rx,
                                                   const std::string& depvar, int ndata);

// "ROTUNINGBALANCE": the unit form chosen by what RX contains.
enum class TuningBalanceForm { Base, FCC, REF, VB, COK, HCR };
std::unique_ptr<QivEOBlock> createTuningBalanceBlock(TuningBalanceForm form, const char* name,
                                                     const std::string& rx);

using ReactorCreator = std::unique_ptr<robase> (*)(const BlockRequest&);
using TuningModelCreator = std::unique_ptr<QivEOBlock> (*)(const char*, const std::string&, const std::string&, int);
using TuningBalanceCreator = std::unique_ptr<QivEOBlock> (*)(TuningBalanceForm, const char*, const std::string&);

struct CreatorTable {
  ReactorCreator coker = &createCokerBlock;
  ReactorCreator fcc = &createFccBlock;
  ReactorCreator hcr = &createHcrBlock;
  ReactorCreator ref = &createRefBlock;
  ReactorCreator vb = &createVbBlock;
  TuningModelCreator tuningModel = &createTuningModelBlock;
  TuningBalanceCreator tuningBalance = &createTuningBalanceBlock;
};

// The creators the factories call (process-wide; the framework's thread only).
CreatorTable& creatorTable();
