// The device context the engine paints and measures through. Implementations:
// QtCanvas (window, off-screen image, printer) and FixedMetricsCanvas (exact,
// font-independent metrics for tests and dumps).
#pragma once

#include <vector>

#include "platform/color.h"
#include "platform/font.h"
#include "platform/font_face.h"
#include "platform/win_types.h"

namespace kiv {

class Bitmap;
class Mask;

enum class BkMode { Transparent, Opaque };
enum class PenStyle { Solid, Dash, Dot, Clear };
enum class BrushStyle { Solid, Clear };

// Where the y of TextOut lies: the top of the character cell or the baseline.
enum TextAlign : unsigned { TA_TOP = 0, TA_BASELINE = 24 };

// ExtTextOut options.
enum ExtTextOptions : unsigned { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };

// How source pixels combine with the destination when blitting.
enum class RasterOp { Copy, And, Or };

class Canvas {
 public:
  Canvas() = default;
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  virtual ~Canvas();

  // --- text -----------------------------------------------------------------
  void SelectFont(const Font& font);
  const Font& CurrentFont() const { return font_; }
  virtual TextMetrics GetTextMetrics() const = 0;
  // The metrics GetTextMetrics would give with font selected, leaving the
  // selected font as it is.
  virtual TextMetrics MetricsOf(const Font& font) const = 0;
  // Width of n bytes in the selected font (height is the cell height).
  virtual TSize TextExtent(const char* text, int n) const = 0;
  // How many of the first n bytes fit in maxExtent: the largest m with
  // TextExtent(text, m).cx <= maxExtent (the fit count of the window system's
  // extended text extent); extent receives the width of those m bytes. The
  // default searches with TextExtent; canvases whose extents are sums of
  // per-byte advances answer in one pass.
  virtual int TextFit(const char* text, int n, int maxExtent, int& extent) const;
  // The width of n bytes in the selected font, and in widestWord that of the
  // widest of their words, which spaces and the separator byte divide (-1
  // when there is no word): what measuring the whole and each word with
  // TextExtent gives, in one pass where the canvas can.
  virtual int MeasureWords(const char* text, int n, char separator, int& widestWord) const;
  void TextOut(int x, int y, const char* text, int n) { ExtTextOut(x, y, 0, nullptr, text, n); }
  virtual void ExtTextOut(int x, int y, unsigned options, const TRect* rect, const char* text,
                          int n) = 0;

  void SetTextColor(TColor c) { textColor_ = c; }
  TColor TextColor() const { return textColor_; }
  void SetBkColor(TColor c) { bkColor_ = c; }
  TColor BkColor() const { return bkColor_; }
  void SetBkMode(BkMode m) { bkMode_ = m; }
  BkMode GetBkMode() const { return bkMode_; }
  void SetTextAlign(TextAlign a) { textAlign_ = a; }
  TextAlign GetTextAlign() const { return textAlign_; }

  // --- pens, brushes and shapes ---------------------------------------------
  void SetPen(TColor color, int width = 1, PenStyle style = PenStyle::Solid) {
    penColor_ = color;
    penWidth_ = width;
    penStyle_ = style;
  }
  TColor PenColor() const { return penColor_; }
  void SetBrush(TColor color, BrushStyle style = BrushStyle::Solid) {
    brushColor_ = color;
    brushStyle_ = style;
  }
  TColor BrushColor() const { return brushColor_; }
  BrushStyle GetBrushStyle() const { return brushStyle_; }

  void MoveTo(int x, int y) { penPos_ = {x, y}; }
  TPoint PenPos() const { return penPos_; }
  // Line from the pen position to (x, y), the end point excluded.
  virtual void LineTo(int x, int y) = 0;
  // Outline with the pen, inside filled with the brush; right/bottom exclusive.
  virtual void Rectangle(int left, int top, int right, int bottom) = 0;
  virtual void Ellipse(int left, int top, int right, int bottom) = 0;
  virtual void Polygon(const std::vector<TPoint>& points) = 0;
  virtual void FillRect(const TRect& r, TColor color) = 0;
  // Fills every rectangle of a region (a union of rectangles).
  virtual void FillRegion(const std::vector<TRect>& rects, TColor color);

  // --- bitmaps ----------------------------------------------------------------
  // Stretches the whole bitmap onto dest with the raster operation.
  virtual void StretchBitmap(const TRect& dest, const Bitmap& bitmap, RasterOp op) = 0;
  // Stretches a mask (white = 1, black = 0) onto dest with the raster operation.
  virtual void StretchMask(const TRect& dest, const Mask& mask, RasterOp op) = 0;

  // --- mapping and clipping -----------------------------------------------------
  // Logical (x, y) maps to device ((x - orgX) * scaleNum / scaleDen).
  virtual void SetWindowOrg(int x, int y) = 0;
  virtual TPoint WindowOrg() const = 0;
  virtual void SetScale(int numX, int denX, int numY, int denY) = 0;
  // Intersects the clip region with r (logical coordinates).
  virtual void IntersectClipRect(const TRect& r) = 0;
  // The clip box in logical coordinates (the whole surface when unclipped).
  virtual TRect ClipBox() const = 0;
  virtual void SaveState() = 0;
  virtual void RestoreState() = 0;

  virtual bool IsMonochrome() const { return false; }
  // True for canvases that print (the engine paints black text, no selection).
  virtual bool IsPrinter() const { return false; }

 protected:
  Font font_;
  TColor textColor_ = clBlack;
  TColor bkColor_ = clWhite;
  BkMode bkMode_ = BkMode::Opaque;
  TextAlign textAlign_ = TA_TOP;
  TColor penColor_ = clBlack;
  int penWidth_ = 1;
  PenStyle penStyle_ = PenStyle::Solid;
  TColor brushColor_ = clWhite;
  BrushStyle brushStyle_ = BrushStyle::Solid;
  TPoint penPos_;
};

}  // namespace kiv
