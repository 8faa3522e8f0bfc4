// Table layout: the minimum and maximum width of every grid column, fitting
// the columns to a target width in pixel or percentage mode, row heights with
// row spans, the caption and the table's horizontal placement.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "layout/indent_manager.h"
#include "layout/table.h"
#include "platform/win_types.h"

namespace kiv {

namespace {

// Heights are summed in 64 bits and held within this bound.
constexpr std::int64_t MaxTableHeight = 1 << 30;
// The percentage shrink loop lowers the percentages on every round; it gives
// up after this many rounds and fits the columns by their widths instead.
constexpr int MaxShrinkRounds = 64;
// Width that the columns without a percentage ask for when the percentages
// leave them no room.
constexpr int NoRoomWidth = 30000;

int BoundWidth(std::int64_t w) {
  return static_cast<int>(std::clamp<std::int64_t>(w, -MaxTableWidth, MaxTableWidth));
}

// Sums over the columns of one table.
int BoundTotal(std::int64_t w) {
  constexpr std::int64_t limit = std::int64_t{MaxTableWidth} * TableColumnSlots;
  return static_cast<int>(std::clamp<std::int64_t>(w, -limit, limit));
}

int BoundHeight(std::int64_t h) {
  return static_cast<int>(std::clamp<std::int64_t>(h, -MaxTableHeight, MaxTableHeight));
}

}  // namespace

struct ThtmlTable::ColumnMeasure {
  std::array<int, TableColumnSlots> min{};
  std::array<int, TableColumnSlots> max{};
  int totalMin = 0;
  int totalMax = 0;

  void Sum(int count) {
    std::int64_t a = 0, b = 0;
    for (int c = 0; c < count; ++c) {
      a += min[static_cast<std::size_t>(c)];
      b += max[static_cast<std::size_t>(c)];
    }
    totalMin = BoundTotal(a);
    totalMax = BoundTotal(b);
  }
};

template <class F>
void ThtmlTable::ForEachSpanPass(F&& f) {
  // Passes by column span, narrowest first; spans that no cell has make no
  // pass, which changes nothing since such a pass measures nothing.
  std::uint64_t spans = 0;
  for (const auto& row : Rows)
    for (int c = 0; c < row->Count(); ++c) {
      const int s = (*row)[c]->ColSpan;
      if (s > 0 && c + s <= ColumnCount) spans |= std::uint64_t{1} << s;
    }
  for (int s = 1; s <= MaxTableColumns; ++s) {
    if (!(spans & (std::uint64_t{1} << s))) continue;
    for (const auto& row : Rows)
      for (int c = 0; c < row->Count(); ++c) {
        TCellObj& cell = *(*row)[c];
        if (cell.ColSpan == s && c + s <= ColumnCount) f(cell, s, c);
      }
  }
}

void ThtmlTable::MeasureColumnsFixed(Canvas& canvas, ColumnMeasure& m) {
  m = ColumnMeasure{};
  const int extra = CellExtra();
  ForEachSpanPass([&](TCellObj& cell, int s, int c) {
    int cmin = 0, cmax = 0;
    cell.Content->MeasureWidths(canvas, cmin, cmax);
    cmin = BoundWidth(std::int64_t{cmin} + extra);
    cmax = BoundWidth(std::int64_t{cmax} + extra);
    auto at = [](auto& a, int k) -> int& { return a[static_cast<std::size_t>(k)]; };
    if (s == 1) {
      cmin = std::max(cmin, cell.RequestedWidth);
      cmax = std::max(cmax, cell.RequestedWidth);
      at(m.min, c) = std::max(at(m.min, c), cmin);
      at(m.max, c) = std::max(at(m.max, c), cmax);
      return;
    }
    // A spanning cell widens its columns in proportion to what they hold;
    // columns that hold nothing yet share its width evenly.
    auto widen = [&](std::array<int, TableColumnSlots>& a, int need) {
      std::int64_t sum = 0;
      for (int k = c; k < c + s; ++k) sum += at(a, k);
      if (sum >= need) return;
      const int missing = BoundWidth(need - sum);
      if (sum > 0) {
        const int base = BoundWidth(sum);
        for (int k = c; k < c + s; ++k) at(a, k) += MulDiv(at(a, k), missing, base);
      } else {
        for (int k = c; k < c + s; ++k) at(a, k) = need / s + (k - c < need % s ? 1 : 0);
      }
    };
    widen(m.min, cmin);
    widen(m.max, cmax);
  });
  m.Sum(ColumnCount);
}

void ThtmlTable::MeasureColumnsPercent(Canvas& canvas, ColumnMeasure& m) {
  m = ColumnMeasure{};
  ColumnPercents.fill(0);
  const int extra = CellExtra();
  ForEachSpanPass([&](TCellObj& cell, int s, int c) {
    int cmin = 0, cmax = 0;
    cell.Content->MeasureWidths(canvas, cmin, cmax);
    cmin = BoundWidth(std::int64_t{cmin} + extra);
    cmax = BoundWidth(std::int64_t{cmax} + extra);
    auto at = [](auto& a, int k) -> int& { return a[static_cast<std::size_t>(k)]; };
    if (s == 1) {
      at(m.max, c) = std::max(at(m.max, c), cmax);
      at(m.min, c) = std::max(at(m.min, c), cmin);
      // A pixel width counts as a percentage here too.
      at(ColumnPercents, c) = std::max(at(ColumnPercents, c), cell.RequestedWidth);
      return;
    }
    std::int64_t sumMin = 0, sumMax = 0, pctSum = 0;
    int free = 0;
    for (int k = c; k < c + s; ++k) {
      sumMin += at(m.min, k);
      sumMax += at(m.max, k);
      if (at(ColumnPercents, k) <= 0)
        ++free;
      else
        pctSum += at(ColumnPercents, k);
    }
    const int p = cell.RequestedWidth;
    if (p > 0 || pctSum > 0) {
      const int pct = BoundWidth(pctSum);
      const int share = free > 0 ? std::max(0, (p - pct) / free) : 0;
      const int whole = std::max(p, pct);
      if (free == 0 && pct < p)
        for (int k = c; k < c + s; ++k)
          at(ColumnPercents, k) = MulDiv(at(ColumnPercents, k), p, pct);
      for (int k = c; k < c + s; ++k) {
        if (at(ColumnPercents, k) == 0) at(ColumnPercents, k) = share;
        at(m.max, k) = std::max(at(m.max, k), MulDiv(cmax, at(ColumnPercents, k), whole));
        at(m.min, k) = std::max(at(m.min, k), MulDiv(cmin, at(ColumnPercents, k), whole));
      }
    } else {
      for (int k = c; k < c + s; ++k) {
        if (sumMax != 0 && sumMin != 0) {
          at(m.max, k) = std::max(at(m.max, k), MulDiv(cmax, at(m.max, k), BoundWidth(sumMax)));
          at(m.min, k) = std::max(at(m.min, k), MulDiv(cmin, at(m.min, k), BoundWidth(sumMin)));
        } else {
          at(m.max, k) = cmax / s;
          at(m.min, k) = cmin / s;
        }
      }
    }
  });
  m.Sum(ColumnCount);
}

void ThtmlTable::FitColumnsFixed(const ColumnMeasure& m, int target) {
  for (int c = 0; c < ColumnCount; ++c) {
    const auto k = static_cast<std::size_t>(c);
    if (m.totalMin >= target)
      ColumnWidths[k] = m.min[k];
    else if (m.totalMax <= target)
      ColumnWidths[k] = m.max[k];  // the table stays narrower than the target
    else
      ColumnWidths[k] =
          m.min[k] + MulDiv(m.max[k] - m.min[k], target - m.totalMin, m.totalMax - m.totalMin);
  }
}

void ThtmlTable::FitColumnsPercent(ColumnMeasure& m, int target) {
  const int n = ColumnCount;
  auto pct = [this](int c) -> int& { return ColumnPercents[static_cast<std::size_t>(c)]; };
  auto mn = [&m](int c) -> int& { return m.min[static_cast<std::size_t>(c)]; };
  auto mx = [&m](int c) -> int& { return m.max[static_cast<std::size_t>(c)]; };
  auto width = [this](int c) -> int& { return ColumnWidths[static_cast<std::size_t>(c)]; };

  if (target <= m.totalMin) {
    for (int c = 0; c < n; ++c) width(c) = mn(c);
    return;
  }
  std::int64_t pctSum = 0;
  for (int c = 0; c < n; ++c) pctSum += pct(c);
  const int pctTotal = BoundWidth(pctSum);
  if ((pctTotal >= 1 && pctTotal <= 100) || RequestedWidth > 0) {
    int needed = 0;
    std::int64_t freeSum = 0;
    for (int c = 0; c < n; ++c) {
      if (pct(c) >= 1)
        needed = std::max(needed, MulDiv(mx(c), 100, pct(c)));
      else
        freeSum += mx(c);
    }
    const int freeMax = BoundWidth(freeSum);
    const int freeNeeded = pctTotal < 100 ? MulDiv(freeMax, 100, 100 - pctTotal)
                           : freeMax > 0  ? NoRoomWidth
                                          : 0;
    int desired = std::max(needed, freeNeeded);
    if (target >= desired) {
      if (RequestedWidth > 0) desired = target;
      // Percentages over 100 leave the other columns nothing, not less.
      const int freeWidth = std::max(0, MulDiv(desired, 100 - pctTotal, 100));
      for (int c = 0; c < n; ++c) {
        if (pct(c) > 0)
          width(c) = MulDiv(desired, pct(c), 100);
        else
          width(c) = freeMax > 0 ? MulDiv(mx(c), freeWidth, freeMax) : 0;
      }
      return;
    }
    // Not enough room: shrink the percentages until the columns fit.
    for (int round = 0; round < MaxShrinkRounds; ++round) {
      std::int64_t fixedSum = 0, pctWidth = 0;
      bool any = false;
      for (int c = 0; c < n; ++c) {
        if (pct(c) < 1) {
          fixedSum += mn(c);
          continue;
        }
        const int pw = MulDiv(target, pct(c), 100) - 1;
        if (pw < mn(c)) {
          pct(c) = 0;  // too narrow for its content: a plain column now
          fixedSum += mn(c);
        } else {
          any = true;
          pctWidth += pw;
        }
      }
      if (!any) break;
      if (target < fixedSum + pctWidth) {
        // Shares of nothing cannot be scaled; fit by widths instead.
        if (pctWidth <= 0) break;
        for (int c = 0; c < n; ++c)
          if (pct(c) > 0) pct(c) = static_cast<int>(pct(c) * (target - fixedSum) / pctWidth);
        continue;
      }
      for (int c = 0; c < n; ++c)
        if (pct(c) > 0) mn(c) = mx(c) = MulDiv(target, pct(c), 100);
      m.Sum(n);
      break;
    }
  }
  for (int c = 0; c < n; ++c) {
    if (target < m.totalMax && m.totalMax != m.totalMin)
      width(c) =
          std::max(0, mn(c) + MulDiv(mx(c) - mn(c), target - m.totalMin, m.totalMax - m.totalMin));
    else
      width(c) = mx(c);
  }
}

void ThtmlTable::MeasureWidths(Canvas& canvas, int& minWidth, int& maxWidth) {
  Normalize();
  ColumnMeasure m;
  if (FixedWidths)
    MeasureColumnsFixed(canvas, m);
  else
    MeasureColumnsPercent(canvas, m);
  int totalMin = BoundTotal(std::int64_t{m.totalMin} + CellSpacing);
  int totalMax = BoundTotal(std::int64_t{m.totalMax} + CellSpacing);
  if (!RequestedIsPercent) {
    totalMin = std::max(totalMin, RequestedWidth);
    totalMax = std::max(totalMax, RequestedWidth);
  }
  int captionMax = 0;
  Caption->Content->MeasureWidths(canvas, CaptionMinWidth, captionMax);
  CaptionMinWidth = BoundWidth(CaptionMinWidth);
  minWidth = std::max(CaptionMinWidth, totalMin);
  maxWidth = std::max(CaptionMinWidth, totalMax);
}

int ThtmlTable::MeasureRowSpanHeights(Canvas& canvas, TCellList& row, int s) {
  const int extra = CellExtra();
  int tallest = 0;
  for (int i = 0; i < row.Count(); ++i) {
    TCellObj& cell = *row[i];
    if (cell.ColSpan <= 0) continue;
    std::int64_t w = 0;
    for (int k = i; k < std::min(i + cell.ColSpan, TableColumnSlots); ++k)
      w += ColumnWidths[static_cast<std::size_t>(k)];
    cell.BoxWidth = BoundTotal(w);
    if (cell.RowSpan != s) continue;
    const int contentWidth = std::max(0, cell.BoxWidth - extra);
    int scratchIndex = 0;
    int discarded = 0;
    cell.ContentHeight = cell.Content->Layout(canvas, 0, contentWidth, discarded, scratchIndex);
    cell.MeasuredWidth = contentWidth;
    tallest = std::max(tallest, cell.ContentHeight);
  }
  return tallest;
}

void ThtmlTable::LayoutRowCells(Canvas& canvas, TCellList& row, int rowY, int& charIndex) {
  const int extra = CellExtra();
  for (const auto& cellPtr : row) {
    TCellObj& cell = *cellPtr;
    if (!cell.HasSections()) {
      cell.MeasuredWidth = -1;
      continue;
    }
    const int room = cell.BoxHeight - cell.ContentHeight - extra;
    cell.ContentOffsetY = cell.VerticalAlign == VAlignMiddle   ? room / 2
                          : cell.VerticalAlign == VAlignBottom ? room
                                                               : 0;
    const int contentY =
        BoundHeight(std::int64_t{rowY} + CellSpacing + CellPadding + cell.ContentOffsetY);
    const int contentWidth = std::max(0, cell.BoxWidth - extra);
    TCell& content = *cell.Content;
    if (cell.MeasuredWidth == contentWidth) {
      // The measuring pass laid the content out at this width: where a cell
      // starts changes nothing in its layout, so it is moved into place.
      content.MoveBy(contentY - content.StartY, charIndex - content.StartIndex);
      charIndex += content.TextLength;
    } else {
      int discarded = 0;
      content.Layout(canvas, contentY, contentWidth, discarded, charIndex);
    }
    cell.MeasuredWidth = -1;
  }
}

int ThtmlTable::Layout(Canvas& canvas, int y, IndentManager& indents, int& maxWidth,
                       int& charIndex) {
  Top = y;
  StartIndex = charIndex;
  const int available = BoundWidth(std::int64_t{indents.RightAt(y)} - indents.LeftAt(y));
  int w = available;
  if (RequestedWidth >= 1)
    w = RequestedIsPercent ? MulDiv(available, RequestedWidth, 100) : RequestedWidth;
  const int target = std::max(BoundWidth(std::int64_t{w} - CellSpacing), MinTableTarget);
  Normalize();

  // Column widths.
  ColumnWidths.fill(0);
  ColumnMeasure m;
  if (FixedWidths) {
    MeasureColumnsFixed(canvas, m);
    FitColumnsFixed(m, target);
  } else {
    MeasureColumnsPercent(canvas, m);
    FitColumnsPercent(m, target);
  }
  std::int64_t body = CellSpacing;
  for (int c = 0; c < ColumnCount; ++c) body += ColumnWidths[static_cast<std::size_t>(c)];
  BodyWidth = BoundTotal(body);
  int captionMax = 0;
  Caption->Content->MeasureWidths(canvas, CaptionMinWidth, captionMax);
  CaptionMinWidth = BoundWidth(CaptionMinWidth);
  TotalWidth = std::max(BodyWidth, CaptionMinWidth);

  // Row heights: every row from the cells spanning it alone, then the rows
  // under each row-spanning cell grow until the cell fits, narrowest span
  // first.
  const int rows = Rows.Count();
  const int extra = CellExtra();
  std::vector<int> heights(static_cast<std::size_t>(rows), 0);
  std::vector<std::pair<int, int>> spans;  // (span, row) of the cells spanning rows
  for (int r = 0; r < rows; ++r) {
    TCellList& row = *Rows[r];
    heights[static_cast<std::size_t>(r)] =
        BoundHeight(std::int64_t{MeasureRowSpanHeights(canvas, row, 1)} + extra);
    for (const auto& cell : row)
      if (cell->ColSpan > 0 && cell->RowSpan > 1) spans.emplace_back(cell->RowSpan, r);
  }
  std::sort(spans.begin(), spans.end());
  spans.erase(std::unique(spans.begin(), spans.end()), spans.end());
  for (const auto& [s, r] : spans) {
    if (r + s > rows) continue;
    const int h = BoundHeight(std::int64_t{MeasureRowSpanHeights(canvas, *Rows[r], s)} + extra);
    std::int64_t sum = 0;
    for (int k = r; k < r + s; ++k) sum += heights[static_cast<std::size_t>(k)];
    if (sum < h) {
      const int grow = static_cast<int>((h - sum) / s + 1);
      for (int k = r; k < r + s; ++k)
        heights[static_cast<std::size_t>(k)] =
            BoundHeight(std::int64_t{heights[static_cast<std::size_t>(k)]} + grow);
    }
  }

  // Caption on top.
  int discarded = 0;
  std::int64_t height = 0;
  if (CaptionOnTop) {
    CaptionHeight = Caption->Content->Layout(canvas, y, TotalWidth, discarded, charIndex);
    height = CaptionHeight;
  }

  // The rows at their final place.
  const std::int64_t bodyStart = height;
  std::vector<std::int64_t> below(static_cast<std::size_t>(rows) + 1, 0);  // heights of rows before
  for (int r = 0; r < rows; ++r)
    below[static_cast<std::size_t>(r) + 1] =
        below[static_cast<std::size_t>(r)] + heights[static_cast<std::size_t>(r)];
  for (int r = 0; r < rows; ++r) {
    TCellList& row = *Rows[r];
    const int rowY = BoundHeight(y + height);
    row.RowHeight = heights[static_cast<std::size_t>(r)];
    row.SpannedHeight = 0;
    height += row.RowHeight;
    for (const auto& cell : row) {
      const int last = std::clamp(r + cell->RowSpan, r, rows);
      cell->BoxHeight =
          BoundHeight(below[static_cast<std::size_t>(last)] - below[static_cast<std::size_t>(r)]);
      row.SpannedHeight = std::max(row.SpannedHeight, cell->BoxHeight);
    }
    LayoutRowCells(canvas, row, rowY, charIndex);
  }
  height += CellSpacing;
  BodyHeight = BoundHeight(height - bodyStart);
  if (!CaptionOnTop) {
    CaptionHeight = Caption->Content->Layout(canvas, BoundHeight(std::int64_t{Top} + BodyHeight),
                                             TotalWidth, discarded, charIndex);
    height += CaptionHeight;
  }
  Height = BoundHeight(height);

  // Placement.
  AlignOffset = 0;
  if (TotalWidth < available) {
    if (Justify == JustifyCenter) AlignOffset = (available - TotalWidth) / 2;
    if (Justify == JustifyRight) AlignOffset = available - TotalWidth;
  }
  BodyOffset = (TotalWidth - BodyWidth) / 2 + AlignOffset;

  Length = charIndex - StartIndex;
  maxWidth = TotalWidth;
  DrawHeight = Height;
  return Height;
}

}  // namespace kiv
