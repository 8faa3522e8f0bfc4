// TSectionBase: the base of every block section of a document (text,
// preformatted lines, list items, spacers, rules, page breaks, tables). A
// document is a vertical stack of sections; each one answers the same small
// set of virtual operations, listed here in slot order.
#pragma once

#include <memory>
#include <string_view>

#include "platform/win_types.h"
#include "reader/object_pool.h"

namespace kiv {

class Canvas;
class IndentManager;
class TCell;
class TSectionList;
class TUrlTarget;

class TSectionBase : public TPooledObject {
 public:
  // Alignment codes of the Justify of text sections and tables.
  enum : std::uint8_t { JustifyLeft = 1, JustifyCenter = 2, JustifyRight = 3 };

  TSectionBase() = default;
  // Copy for a cloned document: the height only; everything else is left to
  // the class.
  TSectionBase(TSectionList* owner, const TSectionBase& source);
  TSectionBase(const TSectionBase&) = delete;
  TSectionBase& operator=(const TSectionBase&) = delete;
  virtual ~TSectionBase();

  // --- slots, in order ---------------------------------------------------
  // 0: a copy of this section (of the same class) for the document owner.
  // Every class that adds state overrides it.
  virtual std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const;
  // 1: writes the selected part of the section to the owner's ClipText.
  virtual void CopySelectedText();
  // 2: lays the section out at document Y; maxWidth receives the widest extent
  // it needs; charIndex is the running character index. Returns Height.
  virtual int Layout(Canvas& canvas, int y, IndentManager& indents, int& maxWidth, int& charIndex);
  // 3: paints the section at document Y (x is the window X of the cell's left
  // edge); returns the document Y where the next section starts.
  virtual int Paint(Canvas& canvas, const TRect& clipRect, IndentManager& indents, int x, int y);
  // 4: the link under (x, y); x is a window X, y relative to Top.
  virtual bool LinkAt(Canvas& canvas, int x, int y, TUrlTarget& target);
  // 5: the character under (x, y), -1 when none, with the caret position
  // (caretY relative to Top); a section holding cells sets cell.
  virtual int CharIndexAt(Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                          TCell*& cell);
  // 6: index of the first match of text at or after fromIndex, or -1.
  virtual int FindText(int fromIndex, std::string_view text, bool matchCase);
  // 7: x relative to the cell's left edge and document y of the line top.
  virtual bool CaretPointOf(Canvas& canvas, int charIndex, int& x, int& y);
  // 8: the document's default fonts or colours changed.
  virtual void FontsChanged();
  // 9: sections whose height depends only on the base font size set it here.
  virtual void ComputeFixedHeight();
  // 10: the narrowest and the widest width the section can use.
  virtual void MeasureWidths(Canvas& canvas, int& minWidth, int& maxWidth);

  // --- hooks for the cell and the document root --------------------------
  // Called by TCell::Add before the section joins the cell: a text section
  // terminates its text there, an empty preformatted line takes one space.
  virtual void PrepareForCell() {}
  // False when the section is a table, or holds one, with more columns than
  // a table may have, so that its layout will drop it; other sections fit.
  virtual bool ColumnsFit() { return true; }
  // Laid-out text lines, walked by TSectionList::LineTopAt; sections
  // without text lines have none.
  virtual int LineCount() const { return 0; }
  virtual int LineDrawHeight(int index) const {
    (void)index;
    return 0;
  }

  // Moves a laid-out section dy pixels down, its characters dIndex further
  // on. Layout does not depend on where a cell starts, so a table places a
  // cell's content measured at Y 0 this way instead of laying it out again.
  virtual void MoveBy(int dy, int dIndex) {
    Top += dy;
    StartIndex += dIndex;
  }

  // True when the section's band at document Y lies wholly outside clipRect
  // at the owner's scroll offset, so painting it can be skipped.
  bool BandHidden(const TRect& clipRect, int y) const;

  TSectionList* Owner = nullptr;  // not owned: the document root
  int Height = 0;
  int DrawHeight = 0;  // at least Height; more when floats hang below
  int Top = 0;         // document Y, set by layout and paint
  int StartIndex = 0;  // character index of the first character
  int Length = 0;      // characters; 0 for sections without text
};

}  // namespace kiv
