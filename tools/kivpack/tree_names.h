// The files of a folder tree as the help window reaches them. A tree's pages
// name the files beside them as a browser reads the names: relative to the
// page's own folder ("up.png" in html/index.html is html/up.png,
// "../index.html" the page at the top), with "%20" for a space, and with
// case mattering (FAQ.html and faq.html are two pages). The window looks a
// name up in the package as it is written and ignoring case. So before
// anything else is done to the pages:
//   - of files whose names are equal ignoring case, the first (in the
//     package's order) keeps its name and each other one gets a new one
//     ("faq.html" -> "faq_2.html");
//   - every HREF, SRC and BACKGROUND of every page that names a file of the
//     tree relative to its folder, or spelt otherwise than the package names
//     it, is rewritten to the package name (with its anchor as written).
// A reference that names no file of the tree read either way is left as it
// is (it is broken in the tree itself, or names a package entry already).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "kivpack/package_writer.h"

namespace kiv {

// The package name that a reference (as the reader reads it, without its
// anchor) of the page pageFolder ("" or "html/") names, given the names of
// the tree's files (their names in the folder, "/" separators) and how each
// is packed; empty when it names no file of the tree. Names compare exactly
// first, then ignoring case.
class TreeNames {
 public:
  // The first package name given for a name (or its upper case) stays.
  void Add(const std::string& treeName, const std::string& packageName);
  std::string Resolve(std::string_view pageFolder, std::string_view reference) const;
  // Rewrites the references of a page of the folder pageFolder that name a
  // file of the tree otherwise than the window would find it (see above);
  // returns how many changed.
  int RewritePage(std::string& page, std::string_view pageFolder) const;

 private:
  std::map<std::string, std::string> exact_;     // tree name -> package name
  std::map<std::string, std::string> upper_;     // upper-case tree name -> package name
  std::map<std::string, std::string> packaged_;  // upper-case package name -> package name
};

struct TreeNamesOutcome {
  int renamed = 0;           // files renamed for a name equal ignoring case
  int referencesRewritten = 0;
};

// Renames the files of names equal ignoring case and rewrites the references
// of every page to package names (see above); notes tell what was renamed.
TreeNamesOutcome ResolveTreeNames(std::vector<PackageFile>& files, std::vector<std::string>& notes);

}  // namespace kiv
