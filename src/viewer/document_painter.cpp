#include "viewer/document_painter.h"

#include <algorithm>

#include "layout/section_list.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace kiv {

int ViewerLayoutWidth(int controlWidth) {
  return std::max(0, controlWidth - ViewerScrollBarWidth - 2 * ViewerLeftMargin);
}

int LayoutForViewer(TSectionList& document, Canvas& canvas, int controlWidth, int& maxWidth) {
  int charIndex = 0;
  maxWidth = 0;
  return document.Layout(canvas, 0, ViewerLayoutWidth(controlWidth), maxWidth, charIndex);
}

void PaintViewerBackground(TSectionList& document, Canvas& canvas, const TRect& rect, int scrollY,
                           int hScroll) {
  Bitmap* tile = nullptr;
  if (document.ShowImages && !document.Printing) {
    try {
      tile = document.BackgroundImageFetched();
    } catch (const std::exception&) {
      tile = nullptr;
    }
  }
  if (!tile || tile->Width() <= 0 || tile->Height() <= 0) {
    canvas.FillRect(rect, PaletteRelative(document.Background));
    return;
  }
  // Tiles start on the picture's grid as the document is scrolled, so the
  // picture moves with the text.
  const int w = tile->Width(), h = tile->Height();
  const int firstY = (scrollY / h) * h - scrollY;
  const int firstX = (hScroll / w) * w - hScroll;
  const int startY = firstY + std::max(0, (rect.Top - firstY) / h) * h;
  const int startX = firstX + std::max(0, (rect.Left - firstX) / w) * w;
  for (int y = startY; y < rect.Bottom; y += h) {
    for (int x = startX; x < rect.Right; x += w) {
      canvas.StretchBitmap({x, y, x + w, y + h}, *tile, RasterOp::Copy);
    }
  }
}

void PaintViewerDocument(TSectionList& document, Canvas& canvas, int panelWidth, int panelHeight,
                         int scrollY, int hScroll, const TRect* clip) {
  document.SetScrollY(scrollY);
  TRect area{ViewerLeftMargin, 1, panelWidth, panelHeight};
  if (clip && !(document.ControlsNeedPlacing && !document.Forms.Empty())) {
    area.Top = std::max(area.Top, clip->Top);
    area.Bottom = std::min(area.Bottom, clip->Bottom);
    if (area.Bottom <= area.Top) return;
  }
  document.Paint(canvas, area, ViewerClipWidth, ViewerLeftMargin - hScroll, 0);
}

void PaintForViewer(TSectionList& document, Canvas& canvas, int panelWidth, int panelHeight,
                    int scrollY, int hScroll) {
  PaintViewerBackground(document, canvas, {0, 0, panelWidth, panelHeight}, scrollY, hScroll);
  PaintViewerDocument(document, canvas, panelWidth, panelHeight, scrollY, hScroll);
}

}  // namespace kiv
