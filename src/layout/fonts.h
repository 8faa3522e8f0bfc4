// Fonts of text runs. Sizes are kept in twelfths of the document's base font
// size so that changing the base size rescales every run without reading the
// page again. A run (TFontObj) caches its font's metrics, refreshed whenever
// the font changes, so layout never measures a font itself.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/font.h"
#include "reader/free_list.h"
#include "reader/object_pool.h"
#include "reader/url_target.h"

namespace kiv {

class TSectionList;

// Vertical shift of a run.
enum TextShift : std::uint8_t { ShiftNone = 0, ShiftSubscript = 1, ShiftSuperscript = 2 };

// Styles the builder's StyleFlags may add to a run's font.
constexpr std::uint8_t StyleFlagsMask = fsBold | fsItalic | fsUnderline;

class TMyFont : public Font {
 public:
  TMyFont() = default;
  TMyFont(const TMyFont& other)
      : Font(other), SizeTwelfths(other.SizeTwelfths), Fixed(other.Fixed) {}
  TMyFont& operator=(const TMyFont& other) {
    if (this != &other) Assign(other);
    return *this;
  }

  // Copies SizeTwelfths and Fixed when source is a TMyFont, then the
  // ordinary properties (one change notification).
  void Assign(const Font& source) override;
  // SizeTwelfths := twelfths; size := MulDiv(BaseFontSize, twelfths, 12).
  void SetScaled(const TSectionList& document, int twelfths);
  // The document's face (preformatted or proportional), character set and
  // scaled size, and color as palette-relative (one change notification).
  void ApplyDefaults(const TSectionList& document, TColor color);

  int SizeTwelfths = 12;
  bool Fixed = false;  // uses the document's PreFontName
};

// Point size of twelfths of the base size.
int ScaledPointSize(int baseFontSize, int twelfths);

// A run's font, held inside the run so that a run is one allocation. It reads
// like the owning pointer it stands for: run->Font->Size(), *run->Font.
class TRunFont {
 public:
  explicit TRunFont(const TMyFont& font) : font_(font) {}

  TMyFont* get() { return &font_; }
  const TMyFont* get() const { return &font_; }
  TMyFont* operator->() { return &font_; }
  const TMyFont* operator->() const { return &font_; }
  TMyFont& operator*() { return font_; }
  const TMyFont& operator*() const { return font_; }

 private:
  TMyFont font_;
};

class TFontObj : public TPooledObject {
 public:
  // A copy of font (a default font when null), hooked for its change
  // notification and measured.
  TFontObj(std::unique_ptr<TMyFont> font, int pos);
  TFontObj(const TMyFont& font, int pos) : TFontObj(font, pos, [](TMyFont&) {}) {}
  // As above, with complete(copy) run on the copy before it is measured, so
  // that a font made from another one is measured once.
  template <class Complete>
  TFontObj(const TMyFont& font, int pos, Complete complete) : Pos(pos), Font(font) {
    complete(*Font);
    Hook();
  }
  // Clone: position, shift, a copy of the font and of the link.
  explicit TFontObj(const TFontObj& source);
  TFontObj& operator=(const TFontObj&) = delete;
  std::unique_ptr<TFontObj> CreateClone() const { return std::make_unique<TFontObj>(*this); }

  // Reads the font's metrics on the screen canvas.
  void UpdateMetrics();
  bool IsLink() const { return !Link.Url.empty(); }

  int Pos;
  std::uint8_t Shift = ShiftNone;  // beside Pos, where it costs no padding
  TRunFont Font;
  int LineHeight = 0;  // tmHeight + tmExternalLeading
  int TextHeight = 0;  // tmHeight
  int Overhang = 0;
  int Descent = 0;
  TUrlTarget Link;

 private:
  // Measures the font and again after every change.
  void Hook();
};

// The runs of one text section: never empty once the section exists, in
// ascending Pos, the first at 0.
class TFontList : public TFreeList<TFontObj, PoolAllocator> {
 public:
  TFontList() = default;
  // Clones of source's runs, in order.
  explicit TFontList(const TFontList& source);
  std::unique_ptr<TFontList> CreateClone() const { return std::make_unique<TFontList>(*this); }

  // Re-applies the document's faces, size and colours (link colour for link
  // runs); styles and twelfths are kept.
  void FontsChanged(const TSectionList& document);
  // The font of the last run starting at or before offset, with its overhang.
  TMyFont* FontAt(int offset, int& overhang) const;
  TFontObj* RunAt(int offset, int& index) const;
  // Characters from offset to the next run's start, or length - offset.
  int CountAt(int offset, int length) const;
  // Line height and descent of the run holding offset.
  void LineMetrics(int offset, int& lineHeight, int& descent) const;

  // --- run creation for text sections ------------------------------------
  // The first run of a new section: a copy of font with styleFlags added, and
  // link copied when given.
  void StartRuns(const TMyFont& font, std::uint8_t styleFlags, const TUrlTarget* link);
  // A new font from the end of the text (length characters so far): an empty
  // last run is reused; a new run inherits the previous run's link. A
  // subscript or superscript shift scales the font to three quarters.
  void ChangeFont(const TSectionList& document, const TMyFont& font, int length,
                  std::uint8_t styleFlags, std::uint8_t verticalShift);
  // As ChangeFont, then the last run's link is cleared, and set from link at
  // the start of a link.
  void ChangeFontAndLink(bool isLinkStart, const TSectionList& document, const TUrlTarget* link,
                         const TMyFont& font, int length, std::uint8_t styleFlags,
                         std::uint8_t verticalShift);

 private:
  // The run that takes the new font at length, with its shift: the last run
  // when it is still empty, else a new one with no link.
  TFontObj* RunForFont(const TSectionList& document, const TMyFont& font, int length,
                       std::uint8_t styleFlags, std::uint8_t verticalShift);
};

}  // namespace kiv
