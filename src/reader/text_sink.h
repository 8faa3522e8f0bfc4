// The collector that sections write selected text into while the document
// root measures the selection or copies it to the clipboard. The counting
// and clipboard collectors implement it; NewCountingSink and
// NewClipboardSink create them.
#pragma once

#include <functional>
#include <memory>

#include "platform/code_page.h"

namespace kiv {

class TTextSink {
 public:
  TTextSink() = default;
  TTextSink(const TTextSink&) = delete;
  TTextSink& operator=(const TTextSink&) = delete;
  virtual ~TTextSink() = default;

  // Takes count characters of text (image and control placeholders are
  // filtered by the sink).
  virtual void AddChars(const char* text, int count) = 0;
  // The same for count characters of a section's text whose first character
  // has the document's character index charIndex; sinks that map their
  // output back to the page (the reading text of assistive technology)
  // override it.
  virtual void AddTextAt(const char* text, int count, int charIndex) {
    (void)charIndex;
    AddChars(text, count);
  }
  // Ends the collection and returns the sink's result (the count, or the
  // characters written with their terminator).
  virtual int Terminate() = 0;
};

using TextSinkFactory = std::function<std::unique_ptr<TTextSink>()>;

// The sink that only counts (SelTextCount), and the one that puts the text
// on the clipboard (ClipBuffer).
std::unique_ptr<TTextSink> NewCountingSink();
// The clipboard one converts from the code page the text is in.
std::unique_ptr<TTextSink> NewClipboardSink(CodePage page = CodePage::Windows1252);

}  // namespace kiv
