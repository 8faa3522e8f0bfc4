// How the viewer lays out and paints its document, shared by the viewer
// control and the headless renderer so both show a page identically.
#pragma once

#include "platform/win_types.h"

namespace kiv {

class Canvas;
class TSectionList;

// Width of the vertical scroll bar; room for it is kept even when hidden.
constexpr int ViewerScrollBarWidth = 16;
// The document's left margin inside the painting panel.
constexpr int ViewerLeftMargin = 10;
// Preformatted text is clipped to this width.
constexpr int ViewerClipWidth = 1300;

// Layout width for a viewer control of the given width (scroll bar room kept).
int ViewerLayoutWidth(int controlWidth);

// Lays the document out for a viewer control of controlWidth; returns the
// document height, maxWidth receives the widest line.
int LayoutForViewer(TSectionList& document, Canvas& canvas, int controlWidth, int& maxWidth);

// Paints the visible band of the document onto a canvas the size of the
// painting panel (panel coordinates): the background in the document's colour
// (tiled with its background picture when it has one), then the document
// scrolled by scrollY and hScroll.
void PaintForViewer(TSectionList& document, Canvas& canvas, int panelWidth, int panelHeight,
                    int scrollY, int hScroll);

}  // namespace kiv
