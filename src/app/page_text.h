// The text a reader sees on a page, read through the viewer's own tokenizer:
// tags, scripts, comments and the contents of text areas never appear, and
// entities are decoded. Used to search the help without laying pages out.
#pragma once

#include <cstddef>
#include <string>

namespace kiv {

struct PageText {
  std::string title;  // the TITLE's text, blanks folded and trimmed
  // The page's text in reading order: white space folded to one space, a
  // space where a block tag (paragraph, line break, cell, list item...)
  // separates words, none at either end. Windows-1252.
  std::string text;
  // False when the page ends inside a comment: the viewer refuses to show
  // such a page, and the text holds only part of what came before.
  bool complete = true;
};

// Reads at most the first 128000 bytes of the page, as the viewer would.
PageText ExtractPageText(const char* data, std::size_t length);

}  // namespace kiv
