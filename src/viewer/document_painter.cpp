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

void PaintForViewer(TSectionList& document, Canvas& canvas, int panelWidth, int panelHeight,
                    int scrollY, int hScroll) {
  const TRect clip{0, 0, panelWidth, panelHeight};
  Bitmap* tile = document.ShowImages && !document.Printing ? document.BackgroundImageFetched()
                                                            : nullptr;
  if (tile && tile->Width() > 0 && tile->Height() > 0) {
    const int w = tile->Width(), h = tile->Height();
    for (int y = (scrollY / h) * h - scrollY; y < clip.Bottom; y += h) {
      for (int x = (hScroll / w) * w - hScroll; x < clip.Right; x += w) {
        canvas.StretchBitmap({x, y, x + w, y + h}, *tile, RasterOp::Copy);
      }
    }
  } else {
    canvas.FillRect(clip, PaletteRelative(document.Background));
  }
  document.SetScrollY(scrollY);
  document.Paint(canvas, {ViewerLeftMargin, 1, panelWidth, panelHeight}, ViewerClipWidth,
                 ViewerLeftMargin - hScroll, 0);
}

}  // namespace kiv
