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
// validated by one stat (modification time, size) per Open; DIVEDUDED_NOCACHE=1
// in the environment turns the cache off.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Status codes of Open and Run.
enum DIVedudedStatus : int {
  DIV_OK = 0,
  DIV_INTERNAL = 1,        // internal error (allocation failure)
  DIV_NO_FOLDER = 2,       // folder or file name missing or unsafe, or no network folder configured
  DIV_MISSING_FILE = 3,    // file not found or unreadable
  DIV_FORMAT = 4,          // format error
  DIV_WRONG_OUTPUT = 5,    // the file's output name differs from the requested output
  DIV_MISSING_INPUT = 6,   // no input given for a tag
  DIV_NOT_OPEN = 7,        // not open
  DIV_NON_FINITE = 8,      // non-finite input or result
  DIV_SELF_CHECK = 9,      // the file failed its own CHECK points
};

// "ok", "missing file", ...
const char* DIVedudedStatusName(int status);

constexpr int DIV_NAME_BUF = 100;  // names exchanged with callers: at most 99 characters

namespace diveduded {
struct Network;  // parsed network (internal)
}

class DIVeduded {
 public:
  DIVeduded();
  ~DIVeduded();
  DIVeduded(const DIVeduded&) = delete;
  DIVeduded& operator=(const DIVeduded&) = delete;

  void SetDepVar(const char* name);
  void SetZKRFile(const char* file);
  void SetZKRFolder(const char* folder);
  // Copies names and values at call time.
  void SetInputs(char** names, double* values, int count);

  int Open();
  int Run();
  int GetIndependentTagCount(long& count);
  void GetIndepVars(char** buffers, int count);
  int GetIndependentTagByIndex(int index, char*& name);  // 1-based
  int GetDerivatives(char** buffers, double* values);
  int Close();

  double m_dResult = 0.0;  // the prediction after a successful Run

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

  // Fault injection by file name (no folder). op is "Open" or "Run".
  enum class Fault { None, Status, ThrowStd, ThrowCom };
  static void injectFault(const std::string& file_name, const std::string& op, Fault kind, int status = 1);
  static void clearFaults();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  int last_status_ = 0;
  std::string last_message_;
};
