// Message devices: the framework's history device and the output pipe handed to
// the plug-in at load time. rtoprintf formats one line and appends it to the
// device; there are no levels.
#pragma once

#include <string>
#include <vector>

struct rtdev;
using QivPipe = rtdev;

// The framework's history device; defined once in the framework library.
extern rtdev* rtHisDev;

// Formats with vsnprintf (any length) and appends to the device. A null device
// is ignored. Returns the number of characters written, or -1.
int rtoprintf(rtdev* dev, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// Host side.
rtdev* rtdev_create(bool echo_to_stderr);
void rtdev_destroy(rtdev* dev);
// Everything printed so far, split at new lines (a trailing partial line is kept
// as the last element).
std::vector<std::string> rtdev_lines(const rtdev* dev);
const std::string& rtdev_text(const rtdev* dev);
void rtdev_clear(rtdev* dev);
void rtdev_set_echo(rtdev* dev, bool echo_to_stderr);
