// Message devices and the history device.
#include "platform/rtdev.h"

#include <cstdarg>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "platform/text.h"

struct rtdev {
  std::string text;
  bool echo = false;
};

namespace {

// Writes a line to the terminal as messages show a text of the input: a
// message may quote what a user typed, and neither an escape sequence nor a
// line break in it may act on the terminal or forge a line of its own. Only
// the break that ends the line is kept. The device keeps the text as it was
// written.
void echoLine(std::string_view line) {
  const bool ends = !line.empty() && line.back() == '\n';
  if (ends) line.remove_suffix(1);
  std::string shown;
  try {
    shown = pelmo_text::printable(line);
    if (ends) shown += '\n';
  } catch (const std::exception&) {
    return;  // out of memory: the echo is lost, the device has the line
  }
  std::fwrite(shown.data(), 1, shown.size(), stderr);
  std::fflush(stderr);
}

}  // namespace

// Created when the framework library is loaded and kept for the life of the
// process, so plug-ins may still log while they are being unloaded.
rtdev* rtHisDev = new rtdev{};

int rtoprintf(rtdev* dev, const char* fmt, ...) {
  if (!dev) return 0;  // no device: the line is dropped
  if (!fmt) return -1;
  va_list args;
  va_start(args, fmt);
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(nullptr, 0, fmt, args);
  va_end(args);
  std::string line;
  if (n >= 0) {
    try {
      line.resize(static_cast<std::size_t>(n) + 1);
    } catch (const std::exception&) {
      line.clear();  // out of memory: the line is lost, the caller carries on
    }
    if (!line.empty()) std::vsnprintf(line.data(), line.size(), fmt, again);
  }
  va_end(again);
  if (line.empty()) return -1;
  line.resize(static_cast<std::size_t>(n));
  try {
    dev->text += line;
  } catch (const std::exception&) {
    return -1;
  }
  if (dev->echo) echoLine(line);
  return n;
}

rtdev* rtdev_create(bool echo_to_stderr) {
  auto* d = new (std::nothrow) rtdev;
  if (d) d->echo = echo_to_stderr;
  return d;
}

void rtdev_destroy(rtdev* dev) {
  // The history device belongs to the framework and outlives every host.
  if (dev && dev != rtHisDev) delete dev;
}

std::vector<std::string> rtdev_lines(const rtdev* dev) {
  std::vector<std::string> lines;
  if (!dev) return lines;
  std::size_t start = 0;
  while (start < dev->text.size()) {
    const auto nl = dev->text.find('\n', start);
    if (nl == std::string::npos) {
      lines.push_back(dev->text.substr(start));
      break;
    }
    lines.push_back(dev->text.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

const std::string& rtdev_text(const rtdev* dev) {
  static const std::string empty;
  return dev ? dev->text : empty;
}

void rtdev_clear(rtdev* dev) {
  if (dev) dev->text.clear();
}

void rtdev_set_echo(rtdev* dev, bool echo_to_stderr) {
  if (dev) dev->echo = echo_to_stderr;
}
