// Devices for the tests of files that are not regular: made with mknod in the
// test's own folder, never one of the machine's, so that a fault in the code
// under test (which runs as root on CI) can replace only the test's own node.
#pragma once

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <string>
#include <vector>

namespace romtest {

// The memory devices' minor numbers (major 1): null, zero (endless) and
// urandom (endless, never the same).
enum class MemoryDevice : unsigned { kNull = 3, kZero = 5, kRandom = 9 };

// Makes folder/name as the device; false where the test may not make devices
// (no CAP_MKNOD), and the caller then leaves devices out.
inline bool makeDevice(const std::filesystem::path& path, MemoryDevice device) {
  return ::mknod(path.c_str(), S_IFCHR | 0666, ::makedev(1, static_cast<unsigned>(device))) == 0;
}

// The endless devices, "zero" and "urandom" in folder: both, or none where
// devices may not be made.
inline std::vector<std::string> endlessDevices(const std::filesystem::path& folder) {
  const std::filesystem::path zero = folder / "zero", random = folder / "urandom";
  if (!makeDevice(zero, MemoryDevice::kZero) || !makeDevice(random, MemoryDevice::kRandom)) return {};
  return {zero.string(), random.string()};
}

}  // namespace romtest
