#include "viewer/page_reading_text.h"

#include <algorithm>

#include "layout/section_list.h"
#include "layout/table.h"
#include "layout/text_section.h"
#include "platform/code_page.h"
#include "reader/text_sink.h"

namespace kiv {

namespace {

bool IsPlaceholder(char c) {
  return c == ImagePlaceholder || c == ControlPlaceholder;
}

// Sets the document's selection and text collector for a walk, and puts
// both back afterwards, also when the walk raises.
class TextWalkScope {
 public:
  TextWalkScope(TSectionList& document, int start, int end, TTextSink& sink)
      : document_(document), selStart_(document.SelStart), selEnd_(document.SelEnd) {
    document_.SelStart = start;
    document_.SelEnd = end;
    document_.ClipText = &sink;
  }
  ~TextWalkScope() {
    document_.ClipText = nullptr;
    document_.SelStart = selStart_;
    document_.SelEnd = selEnd_;
  }
  TextWalkScope(const TextWalkScope&) = delete;
  TextWalkScope& operator=(const TextWalkScope&) = delete;

 private:
  TSectionList& document_;
  int selStart_, selEnd_;
};

template <class F>
void ForEachTextSection(const TCell& cell, F& f) {
  for (const auto& item : cell) {
    if (auto* section = dynamic_cast<TSection*>(item.get())) {
      f(*section);
    } else if (const auto* table = dynamic_cast<const ThtmlTable*>(item.get())) {
      table->ForEachContainer([&](const TCell& inner) { ForEachTextSection(inner, f); });
    }
  }
}

}  // namespace

QString PageTextToUnicode(const TSectionList& document, std::string_view text) {
  // The page's text is in the document's code page (its declared charset).
  return QString::fromStdU16String(CodePageToUtf16(document.TextCodePage(), text));
}

void CollectDocumentText(TSectionList& document, int start, int end, TTextSink& sink) {
  if (start >= end) return;
  TextWalkScope scope(document, start, end, sink);
  document.CopySelectedText();
}

// Keeps the copied bytes and where each run of them came from.
class TPageReadingText::Sink : public TTextSink {
 public:
  explicit Sink(std::vector<Piece>& pieces) : pieces_(pieces) {}

  void AddChars(const char* text, int count) override {
    if (!text) return;
    for (int i = 0; i < count; ++i)
      if (!IsPlaceholder(text[i])) bytes_ += text[i];
  }
  void AddTextAt(const char* text, int count, int charIndex) override {
    if (!text) return;
    for (int i = 0; i < count; ++i) {
      if (IsPlaceholder(text[i])) continue;
      const int at = static_cast<int>(bytes_.size());
      const int index = charIndex + i;
      if (!pieces_.empty() && pieces_.back().TextStart + pieces_.back().Length == at &&
          pieces_.back().CharIndex + pieces_.back().Length == index) {
        ++pieces_.back().Length;
      } else {
        pieces_.push_back({at, index, 1});
      }
      bytes_ += text[i];
    }
  }
  int Terminate() override { return static_cast<int>(bytes_.size()); }

  const std::string& Bytes() const { return bytes_; }

 private:
  std::vector<Piece>& pieces_;
  std::string bytes_;
};

void TPageReadingText::Build(TSectionList& document) {
  text_.clear();
  pieces_.clear();
  sections_.clear();
  endIndex_ = 0;
  if (document.Count() == 0) return;
  const TSectionBase* last = document.Last();
  endIndex_ = std::max(0, last->StartIndex + last->Length);
  Sink sink(pieces_);
  CollectDocumentText(document, 0, endIndex_, sink);
  text_ = PageTextToUnicode(document, sink.Bytes());
  auto collect = [this](TSection& s) {
    if (s.Length > 0) sections_.push_back({s.StartIndex, &s});
  };
  ForEachTextSection(document, collect);
  std::stable_sort(
      sections_.begin(), sections_.end(),
      [](const SectionStart& a, const SectionStart& b) { return a.CharIndex < b.CharIndex; });
}

int TPageReadingText::OffsetOfIndex(int charIndex) const {
  // The last piece starting at or before the index.
  auto it = std::upper_bound(pieces_.begin(), pieces_.end(), charIndex,
                             [](int index, const Piece& p) { return index < p.CharIndex; });
  if (it == pieces_.begin()) return 0;
  const Piece& p = *--it;
  if (charIndex < p.CharIndex + p.Length) return p.TextStart + (charIndex - p.CharIndex);
  return p.TextStart + p.Length;
}

int TPageReadingText::IndexOfOffset(int offset) const {
  auto it = std::upper_bound(pieces_.begin(), pieces_.end(), offset,
                             [](int o, const Piece& p) { return o < p.TextStart; });
  if (it == pieces_.begin()) return pieces_.empty() ? 0 : pieces_.front().CharIndex;
  const Piece& p = *std::prev(it);
  if (offset < p.TextStart + p.Length) return p.CharIndex + (offset - p.TextStart);
  return it != pieces_.end() ? it->CharIndex : endIndex_;
}

TSection* TPageReadingText::SectionOfIndex(int charIndex, int& offset) const {
  auto it = std::upper_bound(sections_.begin(), sections_.end(), charIndex,
                             [](int index, const SectionStart& s) { return index < s.CharIndex; });
  if (it == sections_.begin()) return nullptr;
  --it;
  TSection* s = it->Section;
  if (charIndex >= s->StartIndex + s->Length) return nullptr;
  offset = charIndex - s->StartIndex;
  return s;
}

}  // namespace kiv
