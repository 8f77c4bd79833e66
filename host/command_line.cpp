#include "host/command_line.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace romhost {

namespace {

double parseNumber(const std::string& text, const std::string& what) {
  const char* s = text.c_str();
  char* end = nullptr;
  const double d = std::strtod(s, &end);
  // strtod flags an overflow (infinite) and an underflow with ERANGE; a
  // subnormal number such as 5e-324 is the finite number it is.
  if (text.empty() || *end != '\0' || !std::isfinite(d))
    throw UsageError(what + " needs a finite number, not \"" + text + "\"");
  return d;
}

int parseCount(const std::string& text, const std::string& what) {
  const char* s = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(s, &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || v < 0 || v > INT_MAX)
    throw UsageError(what + " needs a whole number of 0 or more, not \"" + text + "\"");
  return static_cast<int>(v);
}

// "NAME=VALUE" split at the first '='.
std::pair<std::string, std::string> splitAssignment(const std::string& text, const std::string& flag) {
  const std::size_t eq = text.find('=');
  if (eq == std::string::npos || eq == 0) throw UsageError(flag + " needs NAME=VALUE, not \"" + text + "\"");
  std::string name = text.substr(0, eq);
  if (name.size() > kMaxNameLength) throw UsageError(flag + ": names must have 1 to 99 bytes");
  return {std::move(name), text.substr(eq + 1)};
}

}  // namespace

const char* usageText() {
  return "usage:\n"
         "  romhost info [--plugin PATH]\n"
         "  romhost solve CASE.json [flags]\n"
         "flags of solve:\n"
         "  --networks DIR        network root folder (overrides the case's \"networks\")\n"
         "  --option KEY:VALUE    add a block option (repeatable)\n"
         "  --set NAME=VALUE      value of a fixed variable, base units (repeatable)\n"
         "  --attr NAME=VALUE     assign a block attribute (repeatable)\n"
         "  --max-iter N          Newton iteration limit (default 50)\n"
         "  --tol X               tolerance on the largest |residual| (default 1e-8)\n"
         "  --check-jacobian      compare user_jac with central differences of user_res\n"
         "  --json                print one JSON object on stdout (also when the run stops\n"
         "                        early: \"converged\": false and the \"error\")\n"
         "  --save FILE           save the block after solving (never onto the case file)\n"
         "  --load FILE           load a saved block before its set-up\n"
         "  --quiet               no table and no progress lines\n"
         "  --plugin PATH         the plug-in library (default: ROMHOST_PLUGIN, else ../lib/libromlib.so\n"
         "                        beside the romhost program)\n"
         "exit codes: 0 converged, 1 not converged, 2 usage, input, save or output error,\n"
         "  3 block creation failed, 4 internal error\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine cl;
  if (args.empty()) throw UsageError("no command given");
  const std::string& cmd = args[0];
  if (cmd == "help" || cmd == "--help" || cmd == "-h") {
    cl.command = CommandLine::Command::kHelp;
    return cl;
  }
  if (cmd == "info") {
    cl.command = CommandLine::Command::kInfo;
  } else if (cmd == "solve") {
    cl.command = CommandLine::Command::kSolve;
  } else {
    throw UsageError("unknown command \"" + cmd + "\"");
  }
  const bool solve = cl.command == CommandLine::Command::kSolve;

  for (std::size_t i = 1; i < args.size(); ++i) {
    std::string flag = args[i];
    std::optional<std::string> inlineValue;
    if (flag.rfind("--", 0) == 0) {
      if (const std::size_t eq = flag.find('='); eq != std::string::npos) {
        inlineValue = flag.substr(eq + 1);
        flag.resize(eq);
      }
    } else {
      if (!solve) throw UsageError("info takes no argument \"" + flag + "\"");
      if (!cl.casePath.empty()) throw UsageError("more than one case file given");
      cl.casePath = flag;
      continue;
    }
    auto value = [&]() -> std::string {
      if (inlineValue) return *inlineValue;
      if (i + 1 >= args.size()) throw UsageError(flag + " needs a value");
      return args[++i];
    };
    auto noValue = [&] {
      if (inlineValue) throw UsageError(flag + " takes no value");
    };

    if (flag == "--plugin") {
      cl.plugin = value();
      if (cl.plugin.empty()) throw UsageError("--plugin needs a path");
    } else if (flag == "--quiet") {
      noValue();
      cl.quiet = true;
    } else if (!solve) {
      throw UsageError("info does not take " + flag);
    } else if (flag == "--networks") {
      cl.networks = value();
      if (cl.networks.empty()) throw UsageError("--networks needs a folder");
    } else if (flag == "--option") {
      cl.options.push_back(value());
    } else if (flag == "--set") {
      auto [name, text] = splitAssignment(value(), flag);
      cl.sets.emplace_back(name, parseNumber(text, "--set " + name));
    } else if (flag == "--attr") {
      auto [name, text] = splitAssignment(value(), flag);
      cl.attributes.emplace_back(name, AttributeValue::parse(text));
    } else if (flag == "--max-iter") {
      cl.maxIterations = parseCount(value(), flag);
    } else if (flag == "--tol") {
      const double t = parseNumber(value(), flag);
      if (!(t > 0)) throw UsageError("--tol needs a number above 0");
      cl.tolerance = t;
    } else if (flag == "--check-jacobian") {
      noValue();
      cl.checkJacobian = true;
    } else if (flag == "--json") {
      noValue();
      cl.json = true;
    } else if (flag == "--save") {
      cl.savePath = value();
      if (cl.savePath.empty()) throw UsageError("--save needs a file");
    } else if (flag == "--load") {
      cl.loadPath = value();
      if (cl.loadPath.empty()) throw UsageError("--load needs a file");
    } else {
      throw UsageError("unknown flag " + flag);
    }
  }
  if (solve && cl.casePath.empty()) throw UsageError("solve needs a case file");
  return cl;
}

}  // namespace romhost
