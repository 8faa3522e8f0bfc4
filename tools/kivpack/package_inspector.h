// Reading a help package from outside the viewer: its entry names, an
// entry's bytes, and a check of every entry.
#pragma once

#include <string>
#include <vector>

namespace kiv {

// Field 1 of every index line before the "******" line, except START lines
// and blank names, in index order.
std::vector<std::string> PackageEntryNames(const std::string& packagePath);

// The bytes of one entry as the lookup finds it; false with a message when the
// name is absent or its range does not lie inside the file.
bool ExtractEntry(const std::string& packagePath, const std::string& name, std::string& bytes,
                  std::string& error);

struct VerifyReport {
  int entries = 0;
  int problems = 0;
  // One per problem found, then one per external reference of a page (an
  // in-page anchor or a link with a scheme), which is listed but no problem.
  std::vector<std::string> lines;
  int external = 0;
};

// Every entry reachable (its range inside the file, in order), every page
// within the page buffer, no name shadowed by an earlier one, no page whose
// bytes look like UTF-8, and every HREF and SRC of every page naming an entry
// of the package.
VerifyReport VerifyPackage(const std::string& packagePath);

}  // namespace kiv
