#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "host/romnet/commands.h"
#include "host/romnet/runner_file.h"
#include "platform/diveduded/writer.h"
#include "platform/text.h"

namespace romnet {

namespace {

// Any number the C locale reads, "nan" and "inf" included: the runner, not
// the tool, refuses non-finite inputs.
bool readValue(const std::string& text, double& v) {
  const char* b = text.data();
  const char* e = b + text.size();
  if (b != e && *b == '+') ++b;
  const auto r = std::from_chars(b, e, v);
  return b != e && r.ec == std::errc() && r.ptr == e;
}

// A JSON string of a text from the input: bytes that are no part of valid
// UTF-8 become U+FFFD, so the JSON printed is always valid UTF-8.
std::string jsonString(const std::string& text) {
  const std::string s = pelmo_text::validUtf8(text);
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

}  // namespace

int runEval(const std::vector<std::string>& args) {
  std::string file;
  bool json = false;
  std::vector<std::string> names;
  std::vector<double> values;
  for (const std::string& a : args) {
    if (a == "--json") {
      json = true;
    } else if (file.empty()) {
      file = a;
    } else {
      const std::size_t eq = a.rfind('=');
      double v = 0.0;
      if (eq == std::string::npos || eq == 0 || !readValue(a.substr(eq + 1), v)) {
        std::fprintf(stderr, "romnet eval: expected NAME=VALUE, found \"%s\"\n", pelmo_text::printable(a).c_str());
        return kExitUsage;
      }
      names.push_back(a.substr(0, eq));
      values.push_back(v);
    }
  }
  if (file.empty()) {
    std::fprintf(stderr, "usage: romnet eval FILE NAME=VALUE... [--json]\n");
    return kExitUsage;
  }

  OpenedFile f;
  int status = openFile(file, f);
  if (status != 0) return status;
  DIVeduded& r = *f.runner;
  std::vector<char*> name_ptrs;
  for (std::string& n : names) name_ptrs.push_back(n.data());
  r.SetInputs(name_ptrs.data(), values.data(), static_cast<int>(values.size()));
  status = r.Run();
  if (status != 0) {
    reportFailure(f, status);
    r.Close();
    return status;
  }
  long count = 0;
  r.GetIndependentTagCount(count);
  std::vector<std::vector<char>> buffers(static_cast<std::size_t>(count), std::vector<char>(DIV_NAME_BUF));
  std::vector<char*> tag_ptrs;
  for (auto& b : buffers) tag_ptrs.push_back(b.data());
  std::vector<double> deriv(static_cast<std::size_t>(count));
  r.GetDerivatives(tag_ptrs.data(), deriv.data());
  const double y = r.m_dResult;
  r.Close();

  if (json) {
    std::string out = "{\"prediction\": " + diveduded::formatNumber(y) + ", \"derivatives\": {";
    for (std::size_t i = 0; i < deriv.size(); ++i) {
      if (i > 0) out += ", ";
      out += jsonString(tag_ptrs[i]) + ": " + diveduded::formatNumber(deriv[i]);
    }
    out += "}}\n";
    std::fputs(out.c_str(), stdout);
  } else {
    std::printf("prediction %s\n", diveduded::formatNumber(y).c_str());
    for (std::size_t i = 0; i < deriv.size(); ++i)
      std::printf("d/d%s %s\n", pelmo_text::printable(tag_ptrs[i]).c_str(), diveduded::formatNumber(deriv[i]).c_str());
  }
  return 0;
}

}  // namespace romnet
