// TSection: a block of flowing text (paragraph, heading text, cell text, list
// item) stored as one character buffer with font runs, images and form
// controls anchored at placeholder characters; its layout breaks the text into
// lines between the floating indents at each line's Y. TPreFormated: one line
// of preformatted text, neither folded nor wrapped.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "layout/control_list.h"
#include "layout/fonts.h"
#include "layout/image_obj.h"
#include "layout/line_list.h"
#include "layout/section_base.h"
#include "reader/attributes.h"

namespace kiv {

class TFormControlObj;
class ThtmlForm;

// Placeholder characters in a section's buffer.
constexpr char ImagePlaceholder = 4;
constexpr char ControlPlaceholder = 2;

class TSection : public TSectionBase {
 public:
  // List item kinds.
  enum : std::uint8_t { PlainText = 0, NumberedItem = 1, BulletedItem = 2, DefinitionItem = 3 };

  // An empty section whose first run is font with styleFlags added and link
  // copied when given.
  TSection(int listLevel, int justify, const TUrlTarget* link, const TMyFont& font,
           std::uint8_t styleFlags = 0);
  ~TSection() override;

  // --- building ------------------------------------------------------------
  // Appends text, folding a space that would follow a space (or only floats).
  virtual void AddText(std::string_view s);
  // A new run from the end of the text.
  void ChangeFont(const TSectionList& document, const TMyFont& font, std::uint8_t styleFlags = 0,
                  std::uint8_t verticalShift = ShiftNone);
  void ChangeFontAndLink(bool isLinkStart, const TSectionList& document, const TUrlTarget* link,
                         const TMyFont& font, std::uint8_t styleFlags = 0,
                         std::uint8_t verticalShift = ShiftNone);
  // An image from an "IMG" tag at the end of the text; null when the section
  // is full.
  TImageObj* AddImage(const TAttributeList& attributes);
  // The form control of an "INPUT", "SELECT" or "TEXTAREA" tag at the end of
  // the text, joining currentForm (made when there is none). Every control but
  // a hidden input takes a placeholder; null when the section is full.
  TFormControlObj* AddControl(Symbol tag, TSectionList& document, const TAttributeList& attributes,
                              ThtmlForm*& currentForm);
  // Reads "CLEAR" of a "BR".
  void SetClear(const TAttributeList& attributes);
  // Gives an empty section one space, so that it makes a line; returns Justify.
  int EnsureText();

  // --- section slots -------------------------------------------------------
  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;
  int Layout(Canvas& canvas, int y, IndentManager& indents, int& maxWidth, int& charIndex) override;
  void FontsChanged() override;
  void MeasureWidths(Canvas& canvas, int& minWidth, int& maxWidth) override;
  // Painting, hit testing, search and copying of the laid-out lines.
  void CopySelectedText() override;
  int Paint(Canvas& canvas, const TRect& clipRect, IndentManager& indents, int x, int y) override;
  bool LinkAt(Canvas& canvas, int x, int y, TUrlTarget& target) override;
  int CharIndexAt(Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                  TCell*& cell) override;
  int FindText(int fromIndex, std::string_view text, bool matchCase) override;
  bool CaretPointOf(Canvas& canvas, int charIndex, int& x, int& y) override;
  int LineCount() const override { return static_cast<int>(Lines.size()); }
  int LineDrawHeight(int index) const override;

  // Width of n characters from offset p: inline images and controls count
  // their width, floats nothing; trailing spaces are dropped when asked
  // (keeping at least one character).
  int TextWidth(Canvas& canvas, int p, int n, bool dropTrailingSpaces) const;
  // No images and no controls, as most sections: measuring and fitting need
  // not look for objects.
  bool HoldsTextOnly() const { return Images.Empty() && Controls->Count() == 0; }

  std::string Buffer;  // Length characters, followed by a 0
  TFontList Fonts;     // never empty; the first run at 0
  TImageList Images;
  TSectionControls Controls;  // the controls belong to their forms
  int Capacity = 0;  // characters Buffer has room for, its terminating 0 included
  int ListLevel = 0;
  int Indent = 0;  // ListLevel list indents, used when measuring widths
  int ListNumber = 0;
  TLineList Lines;  // rebuilt by each layout
  std::uint8_t ListType = PlainText;
  std::uint8_t Justify = JustifyLeft;
  std::uint8_t ClearAttr = 0;  // 0 none, 1 left, 2 right, 3 both
  int MarkerX = 0;             // left text boundary at the section's top

 protected:
  TSection(TSectionList* owner, const TSection& source);
  // Appends s without folding, within the section's capacity.
  void AppendText(std::string_view s);
  // True for the preformatted variant: no wrapping.
  virtual bool Unwrapped() const { return false; }

 private:
  class LayoutPass;
  bool IsFloatPlaceholder(int offset) const;
};

class TPreFormated : public TSection {
 public:
  using TSection::TSection;

  void AddText(std::string_view s) override;
  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;
  int Layout(Canvas& canvas, int y, IndentManager& indents, int& maxWidth, int& charIndex) override;
  void MeasureWidths(Canvas& canvas, int& minWidth, int& maxWidth) override;
  void PrepareForCell() override;

 protected:
  TPreFormated(TSectionList* owner, const TPreFormated& source) : TSection(owner, source) {}
  bool Unwrapped() const override { return true; }
};

}  // namespace kiv
