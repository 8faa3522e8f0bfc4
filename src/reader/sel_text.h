// The selected-text collectors. Sections write the selected part of their
// text into one of these while the document root measures or copies the
// selection: SelTextCount only counts, SelTextBuf copies into a buffer it is
// given, ClipBuffer copies into its own buffer and puts the text on the
// clipboard. Image and control placeholders never reach the output.
#pragma once

#include <memory>

#include "reader/text_sink.h"

namespace kiv {

// Capacity of the clipboard collector's buffer: the text and its terminating
// 0, so at most ClipBufferSize - 1 characters reach the clipboard.
constexpr int ClipBufferSize = 32500;

class SelTextCount : public TTextSink {
 public:
  SelTextCount() = default;

  // Counts the characters other than placeholders.
  void AddChars(const char* text, int count) override;
  // The number counted.
  int Terminate() override;

  char* Buffer = nullptr;  // not owned here; empty for the counting collector
  int BufferSize = 0;      // capacity of Buffer, terminator included
  int Length = 0;          // characters collected or counted so far
};

class SelTextBuf : public SelTextCount {
 public:
  // Collects into buffer (not owned) of size characters, terminator included.
  SelTextBuf(char* buffer, int size);

  // Appends the characters other than placeholders while room is left for
  // the terminator; the rest is dropped without notice.
  void AddChars(const char* text, int count) override;
  // Writes the terminating 0 and returns the characters written with it.
  int Terminate() override;
};

class ClipBuffer : public SelTextBuf {
 public:
  // The text is in page's code page; the clipboard gets it in Unicode.
  explicit ClipBuffer(CodePage page = CodePage::Windows1252);
  ~ClipBuffer() override;

  // Terminates the text and puts it on the clipboard as plain text.
  int Terminate() override;

 private:
  CodePage page_;
  std::unique_ptr<char[]> storage_;
};

// text's characters followed by a line break (carriage return, line feed).
void AddTextLine(TTextSink& collector, const char* text, int count);
// A line break alone.
void AddLineBreak(TTextSink& collector);

}  // namespace kiv
