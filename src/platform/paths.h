// Paths. Names from pages, packages and the command line use "\" or "/" and
// any letter case; NativePath maps them to this file system in one place.
#pragma once

#include <string>

namespace kiv {

// Directory of the running executable, without a trailing separator.
std::string ExecutableDir();
// Makes ExecutableDir answer dir (tests); an empty string restores the real one.
void SetExecutableDirForTesting(const std::string& dir);

// "\" becomes "/"; when the path does not exist as written, each component
// that does not exist is matched case-insensitively against its directory, as
// on a case-insensitive file system. Components not found stay as written, so
// the result also names files still to be created.
std::string NativePath(const std::string& path);

bool FileExists(const std::string& nativePath);

}  // namespace kiv
