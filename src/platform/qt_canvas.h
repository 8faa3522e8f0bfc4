// A device context over the toolkit's painter: a window, an off-screen image or
// a printer. With no device it only measures (the screen canvas).
// The engine draws in 96-dpi logical pixels; a device pixel ratio makes the
// canvas rasterise everything at device resolution on a surface that many
// times larger, without changing any coordinate the engine sees.
#pragma once

#include <memory>
#include <vector>

#include <QPointF>

#include "platform/canvas.h"

class QPainter;
class QPaintDevice;

namespace kiv {

class QtCanvas : public Canvas {
 public:
  // Measures only; drawing does nothing.
  QtCanvas();
  // Paints on the device with a painter of its own for the canvas's life.
  explicit QtCanvas(QPaintDevice* device);
  // Paints through a painter that the caller owns and keeps alive.
  explicit QtCanvas(QPainter* painter);
  ~QtCanvas() override;

  TextMetrics GetTextMetrics() const override;
  TextMetrics MetricsOf(const Font& font) const override { return font.Face().Metrics(); }
  TSize TextExtent(const char* text, int n) const override;
  int TextFit(const char* text, int n, int maxExtent, int& extent) const override;
  int MeasureWords(const char* text, int n, char separator, int& widestWord) const override;
  void ExtTextOut(int x, int y, unsigned options, const TRect* rect, const char* text,
                  int n) override;

  void LineTo(int x, int y) override;
  void Rectangle(int left, int top, int right, int bottom) override;
  void Ellipse(int left, int top, int right, int bottom) override;
  void Polygon(const std::vector<TPoint>& points) override;
  void FillRect(const TRect& r, TColor color) override;

  void StretchBitmap(const TRect& dest, const Bitmap& bitmap, RasterOp op) override;
  void StretchMask(const TRect& dest, const Mask& mask, RasterOp op) override;

  void SetWindowOrg(int x, int y) override;
  TPoint WindowOrg() const override { return org_; }
  void SetScale(int numX, int denX, int numY, int denY) override;
  void IntersectClipRect(const TRect& r) override;
  TRect ClipBox() const override;
  void SaveState() override;
  void RestoreState() override;

  bool IsMonochrome() const override { return monochrome_; }
  void SetMonochrome(bool mono) { monochrome_ = mono; }
  bool IsPrinter() const override { return printer_; }
  void SetPrinter(bool printer) { printer_ = printer; }

  // Device pixels per logical pixel of the surface, and where the surface's
  // first device pixel lies in the logical plane's device grid (so that a
  // surface covering part of a window meets its neighbours pixel-exactly):
  // logical (x, y) maps to device (x * ratio - offset.x, y * ratio - offset.y)
  // before the window origin and scale apply. A ratio that is not positive
  // and finite is taken as 1.
  void SetDevicePixelRatio(double ratio, TPoint deviceOffset = {});
  double DevicePixelRatio() const { return ratio_; }

  QPainter* Painter() const { return painter_; }

 protected:
  // Draws n bytes with the selected face so that glyph i lies at
  // x + the sum of the advances before it; y is the baseline.
  void DrawGlyphs(int x, int baseline, const char* text, int n);
  void ApplyTransform();
  // The ratio is not a whole number (pictures are filtered when stretched).
  bool FractionalRatio() const;
  // Start of ExtTextOut: with ETO_CLIPPED saves the painter's state and clips
  // to rect (true: the caller restores the state at the end), with
  // ETO_OPAQUE fills rect.
  bool BeginTextOut(unsigned options, const TRect* rect);
  // The pen and brush of shapes, without antialiasing (the painter's state).
  void ApplyPenAndBrush();

  QPainter* painter_ = nullptr;  // owned when ownedPainter_ is set
  std::unique_ptr<QPainter> ownedPainter_;
  TPoint org_;
  int numX_ = 1, denX_ = 1, numY_ = 1, denY_ = 1;
  bool monochrome_ = false;
  bool printer_ = false;
  double ratio_ = 1.0;
  TPoint deviceOffset_;
  // DrawGlyphs' glyph indexes and positions, kept for their room.
  std::vector<quint32> glyphIndexes_;
  std::vector<QPointF> glyphPositions_;

 private:
  struct Saved {
    TPoint org;
    int numX, denX, numY, denY;
  };
  std::vector<Saved> saved_;
};

}  // namespace kiv
