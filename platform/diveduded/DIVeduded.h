// The inferential-model runner: opens one trained network file, takes named
// inputs, runs, and returns the prediction and its derivatives with respect to
// each of the network's independent tags.
//
// Call order: SetDepVar, SetZKRFile, SetZKRFolder, [SetInputs], Open, Run,
// read m_dResult, GetIndependentTagCount, GetDerivatives, Close. Close keeps the
// output name, file and folder, so a runner can be reopened many times. Open on
// an open runner closes first; Close on a closed runner is harmless. The runner
// never throws (test injection aside).
//
// Parsed files are kept in a process-wide cache keyed by the resolved path and
// validated by one stat (device, inode, size, modification and change time) per
// Open; DIVEDUDED_NOCACHE=1 in the environment turns the cache off. The network file format is described
// in docs/network-format.md.
//
// Names exchanged with callers have at most 99 bytes: the runner writes at
// most 99 bytes and a NUL into a caller's 100-byte buffer and reads a
// caller's text only up to its NUL or its 100th byte (4096th for the folder).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Status codes of Open, Run and the queries.
enum DIVedudedStatus : int {
  DIV_OK = 0,
  DIV_INTERNAL = 1,        // internal error (allocation failure)
  DIV_NO_FOLDER = 2,       // folder or file name missing or unsafe, or no network folder configured
  DIV_MISSING_FILE = 3,    // file not found, or unreadable for a reason other than permissions
  DIV_FORMAT = 4,          // format error
  DIV_WRONG_OUTPUT = 5,    // the file's output name differs from the requested output
  DIV_MISSING_INPUT = 6,   // no input given for a tag
  DIV_NOT_OPEN = 7,        // not open (or, for GetDerivatives, no successful Run since Open)
  DIV_NON_FINITE = 8,      // non-finite input or result
  DIV_SELF_CHECK = 9,      // the file failed its own CHECK points
  DIV_BAD_ARGUMENT = 10,   // tag index out of range, or null buffers for a non-zero count
  DIV_NO_ACCESS = 11,      // the file or a folder on its way may not be read
  DIV_NOT_REGULAR = 12,    // the file is a folder, a FIFO, a device or a socket
};

// "ok", "missing file", ...; "unknown status" for any other value.
const char* DIVedudedStatusName(int status);

constexpr int DIV_NAME_BUF = 100;  // names exchanged with callers: at most 99 bytes

namespace diveduded {
struct Network;  // parsed network (internal)
}

class DIVeduded {
 public:
  DIVeduded();
  ~DIVeduded();
  DIVeduded(const DIVeduded&) = delete;
  DIVeduded& operator=(const DIVeduded&) = delete;

  // The output the network must predict (compared regardless of case). A name
  // over 99 bytes makes Open fail with DIV_WRONG_OUTPUT.
  void SetDepVar(const char* name);
  // The file name, no folder. Over 99 bytes: Open fails with DIV_NO_FOLDER.
  void SetZKRFile(const char* file);
  // "<root>\<KIND>". Over 4095 bytes: Open fails with DIV_NO_FOLDER.
  void SetZKRFolder(const char* folder);
  // Copies names and values at call time. At Run each tag takes the value of
  // the name equal to it regardless of case, the last one when a name repeats;
  // names that match no tag (null, over 99 bytes, or simply not a tag of
  // this network) are ignored.
  void SetInputs(char** names, double* values, int count);

  int Open();
  int Run();
  // count = number of tags; 0 and DIV_NOT_OPEN when not open.
  int GetIndependentTagCount(long& count);
  // Writes the tags into count 100-byte buffers ("" past the last tag or when
  // not open).
  void GetIndepVars(char** buffers, int count);
  // 1-based. name points to the runner's copy of the tag (valid until the
  // runner is reopened or destroyed); out of range or not open: non-zero and
  // name points to a static "".
  int GetIndependentTagByIndex(int index, char*& name);
  // Writes every tag and dy/dx of the last successful Run, in tag order. Without
  // a successful Run since Open: the tags, 0.0 each, and DIV_NOT_OPEN.
  int GetDerivatives(char** buffers, double* values);
  int Close();

  double m_dResult = 0.0;  // the prediction after a successful Run

  // Failed Opens and Runs of every runner in the process, numbered from 1: a
  // host tells a block's failed network run from its other failures by the
  // count moving, and names the file. The last 16 are kept.
  struct Failure {
    long long number = 0;
    int status = DIV_OK;
    std::string file, folder;  // as the runner was given them
    // The file-system path the folder and file resolve to, the one the runner
    // reads; empty when they make no path (an unsafe or missing name).
    std::string path;
    // What the status alone does not say: the parser's "line N: ..." for a
    // format error, the failed CHECK point, the tag without an input, why
    // the folder or file name was refused; empty when the status says it all.
    std::string reason;
  };
  static long long failureCount();
  // The first failure after the count-th (the oldest kept when more have failed
  // since); false when none failed after it.
  static bool failureAfter(long long count, Failure& out);

  // Tool and test API.
  static void ClearCache();
  // Last status and a message naming the file (for tools).
  int lastStatus() const { return last_status_; }
  const std::string& lastMessage() const { return last_message_; }

  struct Counters {
    long long constructed = 0, destroyed = 0, opens = 0, runs = 0, closes = 0;
  };
  static Counters counters();
  static void resetCounters();
  static long long runsOf(const std::string& file_name);  // Runs of the file with this name (no folder)

  // Fault injection by file name (no folder). op is "Open" or "Run". A fault
  // stays until clearFaults (or injectFault with Fault::None). Status makes the
  // operation return status; ThrowStd throws std::runtime_error; ThrowCom throws
  // _com_error with status as its HRESULT.
  enum class Fault { None, Status, ThrowStd, ThrowCom };
  static void injectFault(const std::string& file_name, const std::string& op, Fault kind, int status = 1);
  static void clearFaults();

 private:
  struct Impl;
  int finish(int status);                 // records the status; clears the message on success
  // Records a failure: msg (for lastMessage) names the file, reason (for the
  // failure record) says only what went wrong.
  int fail(int status, std::string_view msg, std::string_view reason) noexcept;
  // A failure whose message is its reason: it names no file.
  int fail(int status, std::string_view reason) noexcept { return fail(status, reason, reason); }
  int openNetwork();
  int runNetwork();

  std::unique_ptr<Impl> impl_;
  int last_status_ = 0;
  std::string last_message_;
};
