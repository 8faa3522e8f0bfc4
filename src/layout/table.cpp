// The table model: reading the "TABLE" and cell attributes, normalising the
// grid, painting with etched frames, backgrounds and the border colour, hit
// tests, the traversals in document order and the copy made for printing.
#include "layout/table.h"

#include <algorithm>
#include <cstdint>

#include "layout/indent_manager.h"
#include "layout/process_error.h"
#include "layout/section_list.h"
#include "platform/canvas.h"
#include "reader/color_from_string.h"

namespace kiv {

namespace {

// Coordinates from outside are held within this bound before any arithmetic.
constexpr std::int64_t FarAway = 1 << 30;

int Bounded(std::int64_t value) {
  return static_cast<int>(std::clamp(value, -FarAway, FarAway));
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// "WIDTH" of a table or a cell: a percentage of 1 to 100 when the text holds
// "%" (other percentages leave the width 0), else pixels of any sign.
void ReadWidth(const TAttribute& a, int& width, bool& isPercent) {
  if (a.Text.find('%') != std::string::npos) {
    isPercent = true;
    if (a.Value >= 1 && a.Value <= 100) width = a.Value;
  } else {
    width = std::clamp(a.Value, -MaxTableWidth, MaxTableWidth);
  }
}

}  // namespace

// --- cells ------------------------------------------------------------------

TCellObj::TCellObj(TSectionList* owner, const TAttributeList* attributes,
                   std::uint8_t verticalAlign)
    : VerticalAlign(verticalAlign) {
  Content.Emplace(owner);
  if (!attributes) return;
  for (const auto& a : *attributes) {
    switch (a->Id) {
      case BGColorSy:
        HasBackground = ColorFromString(a->Text, BackgroundColor);
        break;
      case ColSpanSy:
        if (a->Value > 1) ColSpan = a->Value;
        break;
      case RowSpanSy:
        if (a->Value > 1) RowSpan = a->Value;
        break;
      case WidthSy:
        ReadWidth(*a, RequestedWidth, RequestedIsPercent);
        break;
      default:
        break;
    }
  }
}

TCellObj::TCellObj(TSectionList* owner, const TCellObj& source)
    : ColSpan(source.ColSpan),
      RowSpan(source.RowSpan),
      BoxWidth(source.BoxWidth),
      BoxHeight(source.BoxHeight),
      ContentHeight(source.ContentHeight),
      ContentOffsetY(source.ContentOffsetY),
      VerticalAlign(source.VerticalAlign),
      RequestedWidth(source.RequestedWidth),
      RequestedIsPercent(source.RequestedIsPercent),
      // Printed copies show no background colours.
      HasBackground(false),
      BackgroundColor(source.BackgroundColor) {
  if (source.Content) Content.Emplace(owner, *source.Content);
}

TCellObj::~TCellObj() = default;

std::unique_ptr<TCellObj> TCellObj::Placeholder(int rowSpan) {
  std::unique_ptr<TCellObj> cell(new TCellObj());
  cell->ColSpan = 0;
  cell->RowSpan = rowSpan;
  return cell;
}

// --- the table ----------------------------------------------------------------

ThtmlTable::ThtmlTable(TSectionList* owner, const TAttributeList& attributes, int justify)
    : Caption(std::make_unique<TCellObj>(owner, nullptr, VAlignTop)),
      Justify(static_cast<std::uint8_t>(justify)) {
  for (const auto& a : attributes) {
    switch (a->Id) {
      case AlignSy:
        if (SameTextIgnoringCase(a->Text, "CENTER")) Justify = JustifyCenter;
        if (SameTextIgnoringCase(a->Text, "RIGHT")) Justify = JustifyRight;
        break;
      case BGColorSy:
        HasBackground = ColorFromString(a->Text, BackgroundColor);
        break;
      case BorderSy:
        Border = a->Value > 0;
        break;
      case CellPaddingSy:
        if (a->Value >= 0) CellPadding = std::min(a->Value, MaxCellPadding - 1) + 1;
        break;
      case CellSpacingSy:
        if (a->Value >= 0) CellSpacing = std::min(a->Value, MaxCellSpacing - 1) + 1;
        break;
      case WidthSy:
        ReadWidth(*a, RequestedWidth, RequestedIsPercent);
        break;
      case BorderColorSy:
        HasBorderColor = ColorFromString(a->Text, BorderColor);
        break;
      default:
        break;
    }
  }
  // Without a border the padding is one pixel less.
  if (!Border) --CellPadding;
}

ThtmlTable::ThtmlTable(TSectionList* owner, const ThtmlTable& source)
    : TSectionBase(owner, source),
      Caption(std::make_unique<TCellObj>(owner, *source.Caption)),
      Normalized(source.Normalized),
      Border(source.Border),
      CaptionOnTop(source.CaptionOnTop),
      BodyOffset(source.BodyOffset),
      AlignOffset(source.AlignOffset),
      Justify(source.Justify),
      ColumnCount(source.ColumnCount),
      BodyWidth(source.BodyWidth),
      TotalWidth(source.TotalWidth),
      RequestedWidth(source.RequestedWidth),
      RequestedIsPercent(source.RequestedIsPercent),
      FixedWidths(source.FixedWidths),
      CaptionHeight(source.CaptionHeight),
      BodyHeight(source.BodyHeight),
      CellPadding(source.CellPadding),
      CellSpacing(source.CellSpacing),
      CaptionMinWidth(source.CaptionMinWidth),
      ColumnWidths(source.ColumnWidths),
      ColumnPercents(source.ColumnPercents),
      // Printed copies show neither the background nor the border colour.
      HasBackground(false),
      HasBorderColor(false),
      BackgroundColor(source.BackgroundColor),
      BorderColor(source.BorderColor),
      tooManyColumns_(source.tooManyColumns_) {
  for (const auto& row : source.Rows) {
    auto copy = std::make_unique<TCellList>();
    for (const auto& cell : *row) {
      if (cell->IsPlaceholder())
        copy->Add(TCellObj::Placeholder(cell->RowSpan));
      else
        copy->Add(std::make_unique<TCellObj>(owner, *cell));
    }
    Rows.Add(std::move(copy));
  }
}

ThtmlTable::~ThtmlTable() = default;

std::unique_ptr<TSectionBase> ThtmlTable::CreateClone(TSectionList* owner) const {
  return std::make_unique<ThtmlTable>(owner, *this);
}

// --- normalisation --------------------------------------------------------------

void ThtmlTable::Normalize() {
  if (Normalized) return;
  auto tooMany = [this] {
    tooManyColumns_ = true;
    throw EProcessError(std::string(TooManyColumnsMessage));
  };
  if (tooManyColumns_) tooMany();

  ColumnCount = 0;
  bool anyPercent = false;
  bool noWidth = true;
  for (const auto& rowPtr : Rows) {
    TCellList& row = *rowPtr;
    for (int i = row.Count() - 1; i >= 0; --i) {
      TCellObj& cell = *row[i];
      if (cell.RequestedIsPercent) anyPercent = true;
      if (cell.RequestedWidth > 0) noWidth = false;
      if (HasBackground && !cell.HasBackground) {
        cell.HasBackground = true;
        cell.BackgroundColor = BackgroundColor;
      }
      // Placeholders stop once the row is past the limit: a huge span
      // cannot exhaust memory before the limit is checked.
      for (int k = 1; k < cell.ColSpan; ++k) {
        if (row.Count() > MaxTableColumns) tooMany();
        row.Insert(i + 1, TCellObj::Placeholder(cell.RowSpan));
      }
    }
    ColumnCount = std::max(ColumnCount, row.Count());
    // Row spans only lengthen rows: a row already too long decides.
    if (ColumnCount > MaxTableColumns) tooMany();
  }
  FixedWidths = !anyPercent && !noWidth;

  const int rows = Rows.Count();
  for (int c = 0; c < ColumnCount; ++c) {
    for (int r = 0; r < rows; ++r) {
      TCellList& row = *Rows[r];
      if (c >= row.Count()) continue;
      TCellObj& cell = *row[c];
      cell.RowSpan = std::min(cell.RowSpan, rows - r);
      for (int k = r + 1; k < r + cell.RowSpan; ++k) {
        TCellList& below = *Rows[k];
        while (below.Count() < c) below.Add(TCellObj::Placeholder(0));
        below.Insert(c, TCellObj::Placeholder(0));
        if (below.Count() > MaxTableColumns) tooMany();
      }
    }
  }
  // Entries moved right of the first count by the insertions were not visited
  // above; their spans still must not reach past the last row.
  ColumnCount = 0;
  for (int r = 0; r < rows; ++r) {
    TCellList& row = *Rows[r];
    ColumnCount = std::max(ColumnCount, row.Count());
    for (const auto& cell : row) cell->RowSpan = std::clamp(cell->RowSpan, 0, rows - r);
  }
  if (ColumnCount > MaxTableColumns) tooMany();
  Normalized = true;
}

bool ThtmlTable::ColumnsFit() {
  try {
    Normalize();
  } catch (const EProcessError&) {
    return false;
  }
  bool fit = true;
  ForEachContainer([&fit](TCell& cell) {
    for (const auto& section : cell)
      if (!section->ColumnsFit()) fit = false;
  });
  return fit;
}

// --- traversals -------------------------------------------------------------------

void ThtmlTable::CopySelectedText() {
  ForEachContainer([](TCell& cell) { cell.CopySelectedText(); });
}

int ThtmlTable::FindText(int fromIndex, std::string_view text, bool matchCase) {
  int found = -1;
  ForEachContainer([&](TCell& cell) {
    if (found < 0) found = cell.FindText(fromIndex, text, matchCase);
  });
  return found;
}

bool ThtmlTable::CaretPointOf(Canvas& canvas, int charIndex, int& x, int& y) {
  if (Length == 0 || std::int64_t{StartIndex} + Length < charIndex) return false;
  bool found = false;
  ForEachContainer([&](TCell& cell) {
    if (!found) found = cell.CaretPointOf(canvas, charIndex, x, y);
  });
  return found;
}

void ThtmlTable::FontsChanged() {
  for (const auto& row : Rows)
    for (const auto& cell : *row)
      if (cell->Content) cell->Content->FontsChanged();
  Caption->Content->FontsChanged();
}

void ThtmlTable::MoveBy(int dy, int dIndex) {
  TSectionBase::MoveBy(dy, dIndex);
  ForEachContainer([&](TCell& cell) { cell.MoveBy(dy, dIndex); });
}

// --- painting -----------------------------------------------------------------------

// The part of the body that shows the border colour: a rectangle from which
// every painted cell is cut, kept as a list of disjoint rectangles.
class ThtmlTable::BorderRegion {
 public:
  explicit BorderRegion(const TRect& r) {
    if (!r.IsEmpty()) rects_.push_back(r);
  }

  void Subtract(const TRect& cut) {
    if (cut.IsEmpty()) return;
    std::vector<TRect> kept;
    kept.reserve(rects_.size() + 4);
    for (const TRect& r : rects_) {
      const TRect overlap{std::max(r.Left, cut.Left), std::max(r.Top, cut.Top),
                          std::min(r.Right, cut.Right), std::min(r.Bottom, cut.Bottom)};
      if (overlap.IsEmpty()) {
        kept.push_back(r);
        continue;
      }
      // What lies above, below, left and right of the cut.
      if (r.Top < overlap.Top) kept.push_back({r.Left, r.Top, r.Right, overlap.Top});
      if (overlap.Bottom < r.Bottom) kept.push_back({r.Left, overlap.Bottom, r.Right, r.Bottom});
      if (r.Left < overlap.Left)
        kept.push_back({r.Left, overlap.Top, overlap.Left, overlap.Bottom});
      if (overlap.Right < r.Right)
        kept.push_back({overlap.Right, overlap.Top, r.Right, overlap.Bottom});
    }
    rects_.swap(kept);
  }

  void Fill(Canvas& canvas, TColor color) const {
    if (!rects_.empty()) canvas.FillRegion(rects_, color);
  }

 private:
  std::vector<TRect> rects_;
};

int ThtmlTable::Paint(Canvas& canvas, const TRect& clipRect, IndentManager& indents, int x, int y) {
  (void)x;
  const int result = y + Height;
  if (!Owner) return result;
  TSectionList& doc = *Owner;
  const int scrollY = doc.ScrollY;
  const int sy = y - scrollY;
  // While printing, a table that fits on a page but would cross this one's
  // end starts the next page.
  if (doc.Printing && sy > (clipRect.Top + clipRect.Bottom) / 2 && doc.PageBottom < result &&
      Height < clipRect.Bottom - clipRect.Top) {
    doc.PageBottom = std::min(doc.PageBottom, sy);
    return result;
  }
  if (sy + Height < clipRect.Top || sy >= clipRect.Bottom || (doc.Printing && y >= doc.PageBottom))
    return result;

  const int leftX = indents.LeftAt(y);
  PaintX = leftX + BodyOffset;
  int rowsY = y;
  if (CaptionOnTop)
    rowsY = Caption->Content->Paint(canvas, clipRect, TotalWidth, leftX + AlignOffset, y);

  std::unique_ptr<BorderRegion> region;
  if (HasBorderColor) {
    region = std::make_unique<BorderRegion>(
        TRect{PaintX, std::max(clipRect.Top, rowsY - scrollY), PaintX + BodyWidth,
              std::min(clipRect.Bottom, rowsY + BodyHeight - scrollY)});
  }
  int rowY = rowsY;
  for (const auto& row : Rows) rowY = PaintRow(canvas, clipRect, *row, rowY, region.get());
  if (region) region->Fill(canvas, PaletteRelative(BorderColor & 0xFFFFFF));
  if (Border) {
    doc.DrawEtchedRect(canvas, PaintX, rowsY - scrollY, PaintX + BodyWidth,
                       rowY + CellSpacing - scrollY, true);
  }
  if (!CaptionOnTop)
    Caption->Content->Paint(canvas, clipRect, TotalWidth, leftX + AlignOffset, rowsY + BodyHeight);
  return result;
}

int ThtmlTable::PaintRow(Canvas& canvas, const TRect& clipRect, TCellList& row, int y,
                         BorderRegion* region) {
  TSectionList& doc = *Owner;
  const int sy = y - doc.ScrollY;
  const int next = y + row.RowHeight;
  if (row.SpannedHeight + sy < clipRect.Top || sy >= clipRect.Bottom ||
      (doc.Printing && y >= doc.PageBottom))
    return next;
  int x = PaintX;
  for (int i = 0; i < row.Count(); ++i) {
    TCellObj& cell = *row[i];
    if (cell.HasSections()) {
      if (cell.HasBackground) {
        canvas.FillRect(
            {x + CellSpacing, sy + CellSpacing, x + cell.BoxWidth + 1, sy + cell.BoxHeight + 1},
            PaletteRelative(cell.BackgroundColor & 0xFFFFFF));
      }
      cell.Content->Paint(canvas, clipRect, cell.BoxWidth - CellSpacing - 2 * CellPadding,
                          x + CellSpacing + CellPadding,
                          y + CellSpacing + CellPadding + cell.ContentOffsetY);
      int extentWidth = cell.BoxWidth;
      int extentHeight = cell.BoxHeight;
      if (Border) {
        doc.DrawEtchedRect(canvas, x + CellSpacing, sy + CellSpacing, x + cell.BoxWidth,
                           sy + cell.BoxHeight, false);
        ++extentWidth;
        ++extentHeight;
      }
      if (region)
        region->Subtract({x + CellSpacing, sy + CellSpacing, x + extentWidth, sy + extentHeight});
    }
    if (i < TableColumnSlots) x += ColumnWidths[static_cast<std::size_t>(i)];
  }
  return next;
}

// --- hit testing ----------------------------------------------------------------------

TCellObj* ThtmlTable::CellAt(int x, int y, int& rowTop) const {
  int top = 0;
  for (const auto& row : Rows) {
    std::int64_t x0 = PaintX;
    for (int j = 0; j < row->Count(); ++j) {
      TCellObj* cell = (*row)[j];
      if (x0 <= x && x < x0 + cell->BoxWidth && top <= y &&
          y < std::int64_t{top} + cell->BoxHeight) {
        rowTop = top;
        return cell;
      }
      if (j < TableColumnSlots) x0 += ColumnWidths[static_cast<std::size_t>(j)];
    }
    top += row->RowHeight;
  }
  return nullptr;
}

bool ThtmlTable::LinkAt(Canvas& canvas, int x, int y, TUrlTarget& target) {
  if (y > Height) return false;
  x = Bounded(x);
  y = Bounded(y);
  const bool inBody = PaintX <= x && std::int64_t{x} <= std::int64_t{PaintX} + BodyWidth;
  const std::int64_t captionX = std::int64_t{PaintX} - BodyOffset + AlignOffset;
  const bool inCaption = captionX <= x && x <= captionX + TotalWidth;
  auto cellSearch = [&](int by) {
    int rowTop = 0;
    TCellObj* cell = CellAt(x, by, rowTop);
    if (!cell || !cell->Content) return false;
    return cell->Content->LinkAt(
        canvas, x, by - rowTop - CellSpacing - CellPadding - cell->ContentOffsetY, target);
  };
  if (CaptionOnTop) {
    if (y < CaptionHeight) return inCaption && Caption->Content->LinkAt(canvas, x, y, target);
    return inBody && cellSearch(y - CaptionHeight);
  }
  if (y < BodyHeight) return inBody && cellSearch(y);
  return inCaption && Caption->Content->LinkAt(canvas, x, y - BodyHeight, target);
}

int ThtmlTable::CharIndexAt(Canvas& canvas, int x, int y, int& caretX, int& caretY,
                            int& caretHeight, TCell*& cell) {
  if (y > Height) return -1;
  x = Bounded(x);
  y = Bounded(y);
  const bool inBody = PaintX <= x && std::int64_t{x} <= std::int64_t{PaintX} + BodyWidth;
  const std::int64_t captionX = std::int64_t{PaintX} - BodyOffset + AlignOffset;
  const bool inCaption = captionX <= x && x <= captionX + TotalWidth;
  auto cellSearch = [&](int by, int bodyTop) {
    int rowTop = 0;
    TCellObj* hit = CellAt(x, by, rowTop);
    if (!hit || !hit->Content) return -1;
    const int shift = rowTop + CellSpacing + CellPadding + hit->ContentOffsetY;
    const int index =
        hit->Content->CharIndexAt(canvas, x, by - shift, caretX, caretY, caretHeight, cell);
    caretY += shift + bodyTop;
    return index;
  };
  if (CaptionOnTop) {
    if (y < CaptionHeight)
      return inCaption
                 ? Caption->Content->CharIndexAt(canvas, x, y, caretX, caretY, caretHeight, cell)
                 : -1;
    return inBody ? cellSearch(y - CaptionHeight, CaptionHeight) : -1;
  }
  if (y < BodyHeight) return inBody ? cellSearch(y, 0) : -1;
  if (!inCaption) return -1;
  const int index =
      Caption->Content->CharIndexAt(canvas, x, y - BodyHeight, caretX, caretY, caretHeight, cell);
  caretY += BodyHeight;
  return index;
}

}  // namespace kiv
