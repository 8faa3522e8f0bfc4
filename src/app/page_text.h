// The text a reader sees on a page, read through the viewer's own tokenizer:
// tags, scripts, comments and the contents of text areas never appear, and
// entities are decoded. Used to search the help without laying pages out.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kiv {

// A heading (H1 to H6) of the page: where its text stands in the page's
// text and the anchor a link to it takes.
struct PageHeading {
  std::size_t begin = 0;  // offsets of its text in PageText::text
  std::size_t end = 0;
  int level = 1;
  // The anchor (an A NAME or an element's ID) of the heading itself or
  // inside it, else the nearest one before it; empty when the page has none
  // before it.
  std::string anchor;
};

// An anchor of the page (an A NAME or an element's ID) and where in the
// page's text it stands.
struct PageAnchor {
  std::string name;
  std::size_t offset = 0;
};

struct PageText {
  std::string title;  // the TITLE's text, blanks folded and trimmed
  // The page's text in reading order: white space folded to one space, a
  // space where a block tag (paragraph, line break, cell, list item...)
  // separates words, none at either end. Windows-1252.
  std::string text;
  // False when the page ends inside a comment: the viewer refuses to show
  // such a page, and the text holds only part of what came before.
  bool complete = true;
  std::vector<PageHeading> headings;  // in page order
  std::vector<PageAnchor> anchors;    // in page order
};

// Reads at most the first 128000 bytes of the page, as the viewer would.
PageText ExtractPageText(const char* data, std::size_t length);

}  // namespace kiv
