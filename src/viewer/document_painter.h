// How the viewer lays out and paints its document, shared by the viewer
// control, its benchmarks and the fuzz target, so all show a page identically.
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

// Fills rect of the painting panel (panel coordinates) with the document's
// background: its colour, or its background picture tiled from the document's
// top left as scrolled by scrollY and hScroll. A picture that cannot be
// drawn leaves the plain colour.
void PaintViewerBackground(TSectionList& document, Canvas& canvas, const TRect& rect, int scrollY,
                           int hScroll);

// Paints the document, scrolled by scrollY and hScroll, onto a canvas in
// panel coordinates for a panel of panelWidth x panelHeight. With clip, only
// the sections reaching into it are painted, unless form controls must be
// placed again (after a scroll on a page with forms), which takes the whole
// panel.
void PaintViewerDocument(TSectionList& document, Canvas& canvas, int panelWidth, int panelHeight,
                         int scrollY, int hScroll, const TRect* clip = nullptr);

// Both of the above for the whole panel.
void PaintForViewer(TSectionList& document, Canvas& canvas, int panelWidth, int panelHeight,
                    int scrollY, int hScroll);

}  // namespace kiv
