// The packer's step for pages over the viewer's page buffer (kivpack build
// --split): every such page is cut into parts (kivpack/page_splitter.h),
// every link of the package to an anchor that moved is sent to the part
// holding it, and the moved anchors are kept in the package's anchor map
// (app/anchor_map.h) for the host applications that ask for them by the old
// name.
#pragma once

#include <string>
#include <vector>

#include "app/anchor_map.h"
#include "kivpack/package_writer.h"
#include "kivpack/page_splitter.h"

namespace kiv {

struct SplitOutcome {
  TAnchorMap moved;                // the anchors no longer in the page they were written in
  std::vector<std::string> lines;  // "guide.html#setup -> guide-2.html", one per moved anchor
  int pagesSplit = 0;
  int linksRewritten = 0;
};

// Cuts the pages of files over the page buffer (their converted bytes when
// they have them) and rewrites the links of every page; the parts join files
// in name order. A page that cannot be cut, or a part name the folder already
// holds, is reported in errors; anchors named twice and links to an anchor
// that no part holds are reported in notes.
SplitOutcome SplitOversizedPages(std::vector<PackageFile>& files, std::vector<std::string>& errors,
                                 std::vector<std::string>& notes);

// The parts a page over the page buffer is cut into, as
// SplitOversizedPages cuts it (with room for the links it rewrites).
PageSplit CutPageForPackage(const std::string& bytes, const std::string& name);

// Adds the anchor map entry to files when any anchor moved.
void AddAnchorMap(std::vector<PackageFile>& files, const TAnchorMap& moved);

}  // namespace kiv
