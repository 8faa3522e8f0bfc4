// TPageReadingText: a page's text in reading order as assistive technology
// reads it: exactly the text Copy puts on the clipboard for the whole page
// (a line break after every laid-out line, list indents as spaces, no
// picture or control placeholders), converted from the page's code page to
// Unicode, with the map between its offsets and the document's character
// indexes, so that the reader's caret and selection are the viewer's own.
// It also knows the text sections by their first character, to find where a
// character was drawn.
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace kiv {

class TSection;
class TSectionList;
class TTextSink;

// The page's text (in the document's code page) as Unicode: the one place
// where the accessible text leaves the engine's single bytes.
QString PageTextToUnicode(const TSectionList& document, std::string_view text);

// Walks the characters [start, end) of the document into sink, as copying
// them would, without touching the document's selection.
void CollectDocumentText(TSectionList& document, int start, int end, TTextSink& sink);

class TPageReadingText {
 public:
  // The text of the whole document as it is laid out now.
  void Build(TSectionList& document);

  const QString& Text() const { return text_; }
  int Length() const { return static_cast<int>(text_.size()); }
  // The text offset of a character index; an index the text leaves out
  // (a placeholder, the end of a line) gives the offset after the text
  // before it.
  int OffsetOfIndex(int charIndex) const;
  // The character index at a text offset; the characters the copy adds (line
  // breaks, indents) give the index of the character that follows them.
  int IndexOfOffset(int offset) const;
  // The text section holding character index, null when none; offset
  // receives the character's offset in the section's buffer.
  TSection* SectionOfIndex(int charIndex, int& offset) const;

 private:
  class Sink;
  // A piece of text taken from consecutive characters of the page.
  struct Piece {
    int TextStart;
    int CharIndex;
    int Length;
  };
  struct SectionStart {
    int CharIndex;
    TSection* Section;  // not owned
  };

  QString text_;
  std::vector<Piece> pieces_;           // in text order, and so in character order
  std::vector<SectionStart> sections_;  // by first character
  int endIndex_ = 0;
};

}  // namespace kiv
