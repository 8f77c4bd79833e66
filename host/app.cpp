#include "host/app.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>

#include "host/block_session.h"
#include "host/bounds.h"
#include "host/case_file.h"
#include "host/command_line.h"
#include "host/jacobian_check.h"
#include "host/newton.h"
#include "host/plugin_loader.h"
#include "host/report.h"
#include "host/stored_block.h"
#include "platform/registry.h"
#include "platform/rtdev.h"
#include "platform/storage.h"
#include "platform/values.h"

namespace romhost {

namespace {

// The registry value the blocks read for the network root, and the size of the
// buffer they read it into (terminator included).
constexpr const char* kRegistryRoot = "HKEY_LOCAL_MACHINE";
constexpr const char* kRegistryKey = "SOFTWARE\\Calverin\\Tressa\\38.0";
constexpr const char* kRegistryValue = "ZKDir";
constexpr std::size_t kRegistryBuffer = 1024;

std::string shortNumber(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", v);
  return text;
}

// Prints the message of a failed step, each of its lines (a message may list
// problems one per line) with the control bytes of the texts in it escaped.
void printMessage(std::ostream& err, const std::string& message) {
  err << "romhost: ";
  for (std::size_t from = 0;;) {
    const std::size_t to = message.find('\n', from);
    err << printable(std::string_view(message).substr(from, to == std::string::npos ? to : to - from));
    if (to == std::string::npos) break;
    err << "\n";
    from = to + 1;
  }
  err << "\n";
}

int fail(std::ostream& err, const StepResult& r) {
  printMessage(err, r.message);
  return hostExitCode(r.status);
}

// The owner of an option list handed to a factory.
struct OptionList {
  value_t* value = value_make_list();
  explicit OptionList(const std::vector<std::string>& options) {
    for (const std::string& o : options) gl_append(value->list, value_make_string(o.c_str()));
  }
  ~OptionList() { value_destroy(value); }
  OptionList(const OptionList&) = delete;
  OptionList& operator=(const OptionList&) = delete;
};

// The longest framework name (variable or equation) a block of this factory
// and these options registers under blockName. Found on a stand-in block made
// under a one-letter name, taken through user_dim and user_ini with the
// history device muted, and destroyed. Empty when the stand-in cannot be made
// or set up: the real block then reports for itself.
std::string longestFrameworkName(QivBlkFactory& factory, const std::vector<std::string>& options,
                                 const std::string& blockName) {
  constexpr const char* kStandIn = "B";
  OptionList list(options);
  QivEOBlock* block = nullptr;
  std::string error;
  rtdev_set_echo(rtHisDev, false);
  callGuarded([&] { block = factory.create(kStandIn, list.value); }, error);
  std::string longest;
  if (block) {
    BlockSession probe(block);
    if (probe.dimension().ok() && probe.initialize().ok()) {
      BlockSystem& sys = probe.system();
      auto consider = [&](const char* full) {
        const std::string own = std::string(full).substr(std::char_traits<char>::length(kStandIn) + 1);
        if (own.size() > longest.size()) longest = own;
      };
      for (const int v : sys.variables()) consider(sys.variableName(v));
      for (const int e : sys.equations()) consider(sys.equationName(e));
    }
  }  // the stand-in is destroyed with its session
  rtdev_set_echo(rtHisDev, true);
  return longest.empty() ? std::string() : blockName + "." + longest;
}

// The SUBID the user asked for: the value of the last option whose key
// contains "SUBID", as the factory reads it (upper-cased).
std::optional<std::string> subidOf(const std::vector<std::string>& options) {
  std::optional<std::string> subid;
  for (std::string o : options) {
    for (char& ch : o) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    const std::size_t colon = o.find(':');
    const std::string key = o.substr(0, colon);
    if (key.find("SUBID") != std::string::npos) subid = colon == std::string::npos ? o : o.substr(colon + 1);
  }
  return subid;
}

int runInfo(const CommandLine& cl, std::ostream& out, std::ostream& err) {
  StepResult r;
  const std::string path = pluginPath(cl.plugin);
  auto plugin = PluginSession::start(path, !cl.quiet, r);
  if (!plugin) return fail(err, r);
  out << "Plug-in:   " << printable(path) << "\n";
  out << "Identity:  " << plugin->library().identity() << "\n";
  for (const char* kind : {"QIVBLKFACTORY", "QIVPIPE"}) {
    int major = 0, minor = 0;
    const int st = plugin->library().version(kind, major, minor);
    out << "Interface " << kind << ": " << major << "." << minor;
    if (st != 0) out << " (qivdll_version returned " << st << ")";
    out << "\n";
  }
  out << "Factories:\n";
  for (const std::string& name : plugin->factoryNames()) out << "  " << name << "\n";
  return 0;
}

// True when both paths name one file (the same device and inode), through
// any link; false when either names nothing.
bool sameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

int runSolve(const CommandLine& cl, std::ostream& out, std::ostream& err) {
  SolveReport report;
  report.checkRequested = cl.checkJacobian;
  // With --json, a run that stops before its solve still prints its one
  // object: not converged, the error, and with --save why nothing was saved.
  // finishReport adds the counts and values once the block has them.
  std::function<void()> finishReport = [] {};
  auto stop = [&](const StepResult& r, const char* where) {
    const int code = fail(err, r);
    if (cl.json) {
      report.newton.status = r.status;
      report.newton.message = r.message;
      report.newton.maxResidual = std::numeric_limits<double>::quiet_NaN();
      report.error = r.message;
      if (!cl.savePath.empty()) {
        report.saved = false;
        report.saveError = std::string("Nothing was saved: the run stopped ") + where + " (" +
                           hostStatusName(r.status) + ")";
      }
      finishReport();
      out << reportJsonText(report) << "\n";
    }
    return code;
  };
  constexpr const char* kBeforeBlock = "before the block was made";

  CaseSpec c;
  try {
    c = readCaseFile(cl.casePath);
  } catch (const CaseError& e) {
    return stop(StepResult::failure(HostStatus::kInputError, printable(e.what())), kBeforeBlock);
  }
  report.block = c.name;
  c.options.insert(c.options.end(), cl.options.begin(), cl.options.end());
  c.values.insert(c.values.end(), cl.sets.begin(), cl.sets.end());
  c.attributes.insert(c.attributes.end(), cl.attributes.begin(), cl.attributes.end());
  report.subid = subidOf(c.options);
  if (!cl.networks.empty()) {
    std::error_code ec;
    const auto abs = std::filesystem::absolute(cl.networks, ec);
    c.networks = ec ? cl.networks : abs.lexically_normal().string();
  }

  // The network root goes into the registry before the block is created: a
  // block reads its network files while it is made.
  if (!c.networks.empty()) {
    if (c.networks.size() + 1 > kRegistryBuffer || c.networks.find('\0') != std::string::npos)
      return stop(StepResult::failure(HostStatus::kInputError,
                                      "The network root is longer than the " + std::to_string(kRegistryBuffer - 1) +
                                          " bytes the blocks can read: " + printable(c.networks)),
                  kBeforeBlock);
    pelmo_registry_set(kRegistryRoot, kRegistryKey, kRegistryValue, c.networks.c_str());
  }

  StoredBlock loaded;
  if (!cl.loadPath.empty()) {
    std::vector<std::string> warnings;
    const StepResult read = readStoredBlock(cl.loadPath, loaded, warnings);
    for (const std::string& w : warnings) err << "romhost: warning: " << printable(w) << "\n";
    if (!read.ok()) return stop(read, kBeforeBlock);
  }

  StepResult r;
  auto plugin = PluginSession::start(pluginPath(cl.plugin), !cl.quiet, r);
  if (!plugin) return stop(r, kBeforeBlock);

  QivBlkFactory* factory = plugin->factories().Lookup(c.factory.c_str());
  if (!factory) {
    std::string known;
    for (const std::string& n : plugin->factoryNames()) known += (known.empty() ? "" : ", ") + n;
    return stop(StepResult::failure(HostStatus::kInputError, "The plug-in registers no factory " +
                                                                 printable(c.factory) + " (it has: " +
                                                                 printable(known) + ")"),
                kBeforeBlock);
  }

  // A framework name over 99 bytes would make the block's set-up fail without
  // saying why: refuse the name before the block is made.
  if (const std::string longest = longestFrameworkName(*factory, c.options, c.name);
      longest.size() > kMaxNameLength)
    return stop(StepResult::failure(HostStatus::kInputError,
                                    "The block name " + printable(c.name) + " is too long: the framework name " +
                                        printable(longest) + " would have " + std::to_string(longest.size()) +
                                        " bytes, at most " + std::to_string(kMaxNameLength) + " fit"),
                kBeforeBlock);

  QivEOBlock* block = nullptr;
  {
    OptionList options(c.options);
    std::string error;
    const bool returned = callGuarded([&] { block = factory->create(c.name.c_str(), options.value); }, error);
    if (!returned || !block) {
      const char* text = nullptr;
      std::string ignored;
      callGuarded([&] { text = factory->error_text(); }, ignored);
      std::string message = text ? text : "Block creation failed";
      if (!returned) message += " (" + error + ")";
      return stop(StepResult::failure(HostStatus::kCreationFailed, message), "in the block's creation");
    }
  }

  BlockSession session(block);
  if (!cl.loadPath.empty() && session.impl()) {
    const StepResult type = checkStoredBlock(cl.loadPath, loaded, ownerOf(*session.impl(), c.factory, c.options));
    if (!type.ok()) return stop(type, "before the block's set-up");
  }
  SetUpPlan plan;
  plan.load = cl.loadPath.empty() ? nullptr : &loaded.storage;
  plan.fix = c.fix;
  plan.free = c.free;
  plan.values = c.values;
  plan.attributes = c.attributes;
  r = session.setUp(plan);
  for (const std::string& w : session.warnings()) err << "romhost: warning: " << printable(w) << "\n";

  // Values outside their bounds are reported, never refused: each once, when found.
  auto warnOutsideBounds = [&](const std::vector<BoundWarning>& found) {
    for (const BoundWarning& w : mergeWarnings(report.warnings, found))
      err << "romhost: warning: " << printable(describe(w)) << "\n";
  };
  std::set<int> ownConstants;  // the block's constants the case leaves alone: not checked
  if (session.dimensioned() && (r.ok() || hostExitCode(r.status) == 1)) {
    std::vector<std::string> assigned, given;
    for (const auto& a : c.attributes) assigned.push_back(a.first);
    for (const auto& v : c.values) given.push_back(v.first);
    ownConstants = constantsNotGiven(*session.impl(), session.system(), c.name, given);
    warnOutsideBounds(fixedOutsideBounds(session.system(), c.name, ownConstants));
    warnOutsideBounds(attributesOutsideBounds(*block, assigned));
  }
  finishReport = [&] {
    if (!session.dimensioned()) return;
    BlockSystem& sys = session.system();
    report.variables = static_cast<int>(sys.variables().size());
    report.equations = static_cast<int>(sys.equations().size());
    report.nonzeros = static_cast<int>(sys.nonZeros().size());
    report.rows = variableRows(sys, c.name);
  };
  if (!r.ok()) return stop(r, "in the block's set-up");

  BlockSystem& sys = session.system();
  const bool human = !cl.json;
  if (cl.checkJacobian) {
    report.checks.push_back({"start", checkJacobian(sys)});
    if (human) printCheck(out, report.checks.back());
  }

  NewtonSettings settings;
  if (cl.maxIterations) settings.maxIterations = *cl.maxIterations;
  if (cl.tolerance) settings.tolerance = *cl.tolerance;
  if (!cl.quiet) {
    settings.onIterate = [&err](const NewtonIterate& it) {
      char line[160];
      std::snprintf(line, sizeof line, "  iteration %3d  max|r| %.3e  ||r|| %.3e  step %.3g\n", it.iteration,
                    it.maxResidual, it.norm2, it.stepLength);
      err << line;
    };
  }
  report.newton = solveNewton(sys, settings);
  const NewtonResult& nr = report.newton;
  warnOutsideBounds(fixedOutsideBounds(sys, c.name, ownConstants));
  if (!nr.converged()) {
    err << "romhost: " << printable(nr.message) << "\n";
    if (!nr.worst.empty()) {
      err << "  largest residuals:\n";
      for (const ResidualEntry& e : nr.worst)
        err << "    " << printable(e.equation) << "  " << shortNumber(e.residual) << "\n";
    }
    if (nr.status != HostStatus::kNotSquare) report.atBounds = freeAtBounds(sys, c.name);
    if (!report.atBounds.empty()) {
      err << "  free variables held at a bound:\n";
      for (const HeldAtBound& b : report.atBounds)
        err << "    " << b.name << "  " << shortNumber(b.value) << "  (" << (b.upper ? "upper" : "lower")
            << " bound)\n";
    }
  }

  if (cl.checkJacobian && nr.status != HostStatus::kNotSquare) {
    report.checks.push_back({nr.converged() ? "solution" : "final", checkJacobian(sys)});
    if (human) printCheck(out, report.checks.back());
  }

  HostStatus status = nr.status;
  if (!cl.savePath.empty()) {
    MemStorage storage;
    StepResult saved = session.save(storage);
    // Saving over the case would lose it: the next run could not read it.
    if (saved.ok() && sameFile(cl.savePath, cl.casePath))
      saved = StepResult::failure(HostStatus::kInputError, "Cannot write the stored block to " +
                                                                printable(cl.savePath) + ": it is the case file " +
                                                                printable(cl.casePath));
    if (saved.ok()) saved = writeStoredBlock(cl.savePath, storage, ownerOf(*session.impl(), c.factory, c.options));
    report.saved = saved.ok();
    if (!saved.ok()) {
      printMessage(err, saved.message);
      report.saveError = saved.message;
      status = HostStatus::kInputError;  // a failed save is never reported as success
    }
  }

  finishReport();
  if (cl.json) {
    out << reportJsonText(report) << "\n";
  } else {
    if (!cl.quiet) printTable(out, report);
    printSummary(out, report);
  }
  return hostExitCode(status);
}

}  // namespace

int runRomhost(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine cl;
  try {
    cl = parseCommandLine(args);
  } catch (const UsageError& e) {
    err << "romhost: " << printable(e.what()) << "\n" << usageText();
    return hostExitCode(HostStatus::kUsageError);
  }
  switch (cl.command) {
    case CommandLine::Command::kHelp:
      out << usageText();
      return 0;
    case CommandLine::Command::kInfo:
      return runInfo(cl, out, err);
    case CommandLine::Command::kSolve:
      return runSolve(cl, out, err);
  }
  return hostExitCode(HostStatus::kUsageError);
}

}  // namespace romhost
