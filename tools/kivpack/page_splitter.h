// Cutting a page over the viewer's 128000-byte page buffer into parts that
// fit: NAME, NAME-2, NAME-3 ... (the number before the extension), each with
// the page's head (its title followed by " (2/3)" and so on, BASE, META and the
// BODY tag), a "Continued from" link at the top and a "Continued" link at the
// end. Cuts fall where the viewer starts a block: before a heading if one is
// near enough, else before a paragraph, list, table, rule, block quote or
// preformatted text; between the items of a list or the rows of a table that
// is too large by itself (the next part opens it again with the same tag);
// between the lines of preformatted text as a last resort. Never inside a
// tag, an entity, a table cell or a list item. Tags the viewer ignores (DIV,
// SECTION, SPAN ...) are neither boundaries nor obstacles; anchors in them
// just before a cut go with the block that follows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kiv {

struct PagePart {
  std::string name;
  std::string bytes;
};

struct PartAnchor {
  std::string name;  // as written
  int line = 0;
  std::size_t part = 0;  // index into PageSplit::parts
};

struct PageSplit {
  std::vector<PagePart> parts;      // the parts, the first keeping the page's name
  std::vector<PartAnchor> anchors;  // each anchor of the page once (the first of a name)
  std::vector<std::string> notes;   // anchors named twice
  std::string error;                // why the page cannot be cut; no parts then
};

// The name of part number (from 1) of a page: the page's own for 1, else
// "-number" before the extension ("guide.html", 2 -> "guide-2.html").
std::string PartName(const std::string& pageName, int number);

// Cuts page into parts of at most limit bytes. Anchors are the NAME of an A
// tag and the ID of any tag.
PageSplit SplitPage(std::string_view page, const std::string& pageName, std::size_t limit);

}  // namespace kiv
