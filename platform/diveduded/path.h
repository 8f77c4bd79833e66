// Turns the runner's folder and file texts into one file-system path.
//
// The folder comes as "<root>\<KIND>" (the root from the registry, one
// backslash, the model kind). Backslashes become '/', repeated separators
// collapse, and the file name is joined with one '/'. Refused (status 2):
//   - an empty folder or one that begins with a backslash: the registry root
//     was empty, and "\KIND" would otherwise probe a folder at the file-system
//     root;
//   - any ".." segment in the folder;
//   - an empty file name, ".", "..", or one containing '/' or '\';
//   - texts with control characters.
// A folder beginning with '/' is an absolute root of this platform and stays
// absolute.
#pragma once

#include <string>
#include <string_view>

namespace diveduded {

// Returns 0 and sets path, or 2 (DIV_NO_FOLDER) and sets why.
int resolveNetworkPath(std::string_view folder, std::string_view file, std::string& path, std::string& why);

}  // namespace diveduded
