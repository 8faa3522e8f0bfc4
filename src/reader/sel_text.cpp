#include "reader/sel_text.h"

#include <string>

#include "platform/clipboard.h"

namespace kiv {

namespace {

// Inline images and form controls stand in the text as these codes.
bool IsPlaceholder(char c) {
  return c == 4 || c == 2;
}

const char LineBreak[] = "\r\n";

}  // namespace

void SelTextCount::AddChars(const char* text, int count) {
  if (!text) return;
  for (int i = 0; i < count; ++i)
    if (!IsPlaceholder(text[i])) ++Length;
}

int SelTextCount::Terminate() {
  return Length;
}

SelTextBuf::SelTextBuf(char* buffer, int size) {
  Buffer = buffer;
  BufferSize = buffer ? size : 0;
}

void SelTextBuf::AddChars(const char* text, int count) {
  if (!text) return;
  for (int i = 0; i < count && Length < BufferSize - 1; ++i)
    if (!IsPlaceholder(text[i])) Buffer[Length++] = text[i];
}

int SelTextBuf::Terminate() {
  if (BufferSize > 0) Buffer[Length] = 0;
  return Length + 1;
}

ClipBuffer::ClipBuffer(CodePage page)
    : SelTextBuf(nullptr, 0), page_(page), storage_(std::make_unique<char[]>(ClipBufferSize)) {
  Buffer = storage_.get();
  BufferSize = ClipBufferSize;
}

ClipBuffer::~ClipBuffer() = default;

int ClipBuffer::Terminate() {
  const int result = SelTextBuf::Terminate();
  SetClipboardText(std::string(Buffer, Length), page_);
  return result;
}

void AddTextLine(TTextSink& collector, const char* text, int count) {
  collector.AddChars(text, count);
  AddLineBreak(collector);
}

void AddLineBreak(TTextSink& collector) {
  collector.AddChars(LineBreak, 2);
}

}  // namespace kiv
