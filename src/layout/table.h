// ThtmlTable: a table section. It owns its rows (TCellList), each row owns its
// cells (TCellObj) in column order, and each cell owns a section container
// (TCell) holding the cell's own sections, so tables nest to any depth. The
// caption is one more cell. Normalisation turns the cells as read into a
// rectangular grid of at most 30 columns by inserting placeholders for column
// and row spans; table_layout.cpp measures and lays the grid out.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "layout/cell.h"
#include "layout/inline_object.h"
#include "layout/section_base.h"
#include "platform/color.h"
#include "reader/attributes.h"
#include "reader/free_list.h"
#include "reader/object_pool.h"

namespace kiv {

// Grid columns a table may have; one more slot is kept in the column arrays.
constexpr int MaxTableColumns = 30;
constexpr int TableColumnSlots = MaxTableColumns + 1;
// Effective padding and spacing never exceed these.
constexpr int MaxCellPadding = 50;
constexpr int MaxCellSpacing = 40;
// Narrowest width a table's columns are fitted to.
constexpr int MinTableTarget = 20;
// Widths a table works with (requested widths, column and table widths) are
// held within this bound, so that sums over columns and nesting cannot overflow.
constexpr int MaxTableWidth = 1 << 20;
// Message of the processing error raised for a grid wider than MaxTableColumns.
inline constexpr std::string_view TooManyColumnsMessage = "Table has too many Columns";

// Vertical alignment of a cell's content.
constexpr std::uint8_t VAlignTop = 0;
constexpr std::uint8_t VAlignMiddle = 1;
constexpr std::uint8_t VAlignBottom = 2;

// One grid slot: a cell read from a "TD"/"TH" tag, the caption, or a
// placeholder (ColSpan 0) covering a slot of a spanning cell.
class TCellObj : public TPooledObject {
 public:
  // A cell for the document owner: reads "BGCOLOR", "COLSPAN", "ROWSPAN" and
  // "WIDTH" from attributes (which may be null).
  TCellObj(TSectionList* owner, const TAttributeList* attributes, std::uint8_t verticalAlign);
  // The copy made for printing: content and spans, no background colour.
  TCellObj(TSectionList* owner, const TCellObj& source);
  TCellObj(const TCellObj&) = delete;
  TCellObj& operator=(const TCellObj&) = delete;
  ~TCellObj();

  // A placeholder: no content, ColSpan 0.
  static std::unique_ptr<TCellObj> Placeholder(int rowSpan);

  bool IsPlaceholder() const { return ColSpan == 0; }
  // The cell holds at least one section (placeholders never do).
  bool HasSections() const { return Content && Content->Count() > 0; }

  int ColSpan = 1;
  int RowSpan = 1;
  int BoxWidth = 0;        // sum of the widths of the covered columns
  int BoxHeight = 0;       // sum of the heights of the covered rows
  int ContentHeight = 0;   // content height from the measuring pass
  int ContentOffsetY = 0;  // downward shift from vertical alignment
  std::uint8_t VerticalAlign = VAlignMiddle;
  int RequestedWidth = 0;  // pixels, or percent when RequestedIsPercent
  bool RequestedIsPercent = false;
  TInlineObject<TCell> Content;  // empty for a placeholder
  bool HasBackground = false;
  TColor BackgroundColor = 0;

  // Width at which Content was last laid out at Y 0 by the measuring pass,
  // -1 when that layout is no longer in place. The final pass then moves the
  // content to its place instead of laying it out a second time.
  int MeasuredWidth = -1;

 private:
  TCellObj() = default;
};

// One row: its cells in column order.
class TCellList : public TFreeList<TCellObj, PoolAllocator>, public TPooledObject {
 public:
  int RowHeight = 0;
  int SpannedHeight = 0;  // largest BoxHeight of the row's cells
};

class ThtmlTable : public TSectionBase {
 public:
  // A table read from a "TABLE" tag for the document owner, inheriting the
  // paragraph alignment justify.
  ThtmlTable(TSectionList* owner, const TAttributeList& attributes, int justify);
  // The copy made for printing (see CreateClone).
  ThtmlTable(TSectionList* owner, const ThtmlTable& source);
  ~ThtmlTable() override;

  // --- section slots -------------------------------------------------------
  std::unique_ptr<TSectionBase> CreateClone(TSectionList* owner) const override;
  void CopySelectedText() override;
  int Layout(Canvas& canvas, int y, IndentManager& indents, int& maxWidth, int& charIndex) override;
  int Paint(Canvas& canvas, const TRect& clipRect, IndentManager& indents, int x, int y) override;
  bool LinkAt(Canvas& canvas, int x, int y, TUrlTarget& target) override;
  int CharIndexAt(Canvas& canvas, int x, int y, int& caretX, int& caretY, int& caretHeight,
                  TCell*& cell) override;
  int FindText(int fromIndex, std::string_view text, bool matchCase) override;
  bool CaretPointOf(Canvas& canvas, int charIndex, int& x, int& y) override;
  void FontsChanged() override;
  void MeasureWidths(Canvas& canvas, int& minWidth, int& maxWidth) override;
  void MoveBy(int dy, int dIndex) override;

  // What a column needs beyond its content.
  int CellExtra() const { return 2 * CellPadding + CellSpacing - 1; }

  // Makes the grid rectangular (once): placeholders for column and row
  // spans, the table's background handed to cells without their own. Raises
  // EProcessError "Table has too many Columns" for more than 30 columns, then
  // and on every later call.
  void Normalize();
  // False when this table, or one nested in its cells or caption, has more
  // columns than a table may have, so that its layout will drop it.
  bool ColumnsFit() override;

  // The containers in document order: the caption when on top, every entry
  // of every row (placeholders have none), the caption when at the bottom.
  template <class F>
  void ForEachContainer(F&& f) const;

  TFreeList<TCellList, PoolAllocator> Rows;
  std::unique_ptr<TCellObj> Caption;  // always present; empty without a caption
  bool Normalized = false;
  bool Border = false;
  bool CaptionOnTop = true;
  int BodyOffset = 0;   // X of the body relative to the left indent
  int AlignOffset = 0;  // X shift from the table's justification
  std::uint8_t Justify = JustifyLeft;
  int ColumnCount = 0;
  int BodyWidth = 0;   // CellSpacing plus the sum of the column widths
  int TotalWidth = 0;  // the larger of BodyWidth and CaptionMinWidth
  int RequestedWidth = 0;
  bool RequestedIsPercent = false;
  bool FixedWidths = false;  // pixel mode of column fitting
  int CaptionHeight = 0;
  int BodyHeight = 0;
  int CellPadding = 2;
  int CellSpacing = 3;
  int CaptionMinWidth = 0;
  std::array<int, TableColumnSlots> ColumnWidths{};
  std::array<int, TableColumnSlots> ColumnPercents{};
  int PaintX = 0;  // X of the body at the last paint
  bool HasBackground = false;
  bool HasBorderColor = false;
  TColor BackgroundColor = 0;
  TColor BorderColor = 0;

 private:
  struct ColumnMeasure;
  class BorderRegion;

  void MeasureColumnsFixed(Canvas& canvas, ColumnMeasure& m);
  void MeasureColumnsPercent(Canvas& canvas, ColumnMeasure& m);
  void FitColumnsFixed(const ColumnMeasure& m, int target);
  void FitColumnsPercent(ColumnMeasure& m, int target);
  // Calls f(cell, s, column) for every cell of every column-span pass.
  template <class F>
  void ForEachSpanPass(F&& f);
  void LayOutRows(Canvas& canvas, int rowsY, int& charIndex);
  // Largest content height of the row's cells spanning s rows (laid out at Y 0).
  int MeasureRowSpanHeights(Canvas& canvas, TCellList& row, int s);
  void LayoutRowCells(Canvas& canvas, TCellList& row, int rowY, int& charIndex);
  int PaintRow(Canvas& canvas, const TRect& clipRect, TCellList& row, int y, BorderRegion* region);
  // The cell under (x, y) of the body (y relative to the body's top): the
  // cell and the top of its row, or null.
  TCellObj* CellAt(int x, int y, int& rowTop) const;

  bool tooManyColumns_ = false;
};

template <class F>
void ThtmlTable::ForEachContainer(F&& f) const {
  if (CaptionOnTop) f(*Caption->Content);
  for (const auto& row : Rows)
    for (const auto& cell : *row)
      if (cell->Content) f(*cell->Content);
  if (!CaptionOnTop) f(*Caption->Content);
}

}  // namespace kiv
