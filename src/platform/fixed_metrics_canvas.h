// A canvas with exact, font-independent metrics, so layout can be worked out
// by hand: for a font of P points, px = MulDiv(P, 96, 72); ascent px; descent
// px div 4; height ascent + descent; no leading or overhang; every byte
// advances px div 2. Text is drawn as one solid block per visible byte, so
// pictures made with it do not depend on installed fonts either.
#pragma once

#include "platform/qt_canvas.h"

namespace kiv {

class FixedMetricsCanvas : public QtCanvas {
 public:
  FixedMetricsCanvas() = default;
  explicit FixedMetricsCanvas(QPaintDevice* device) : QtCanvas(device) {}
  explicit FixedMetricsCanvas(QPainter* painter) : QtCanvas(painter) {}

  static TextMetrics MetricsFor(int points);

  TextMetrics GetTextMetrics() const override;
  TextMetrics MetricsOf(const Font& font) const override { return MetricsFor(font.Size()); }
  TSize TextExtent(const char* text, int n) const override;
  int TextFit(const char* text, int n, int maxExtent, int& extent) const override;
  // Measured through TextExtent, not the face advances of the base class.
  int MeasureWords(const char* text, int n, char separator, int& widestWord) const override {
    return Canvas::MeasureWords(text, n, separator, widestWord);
  }
  void ExtTextOut(int x, int y, unsigned options, const TRect* rect, const char* text,
                  int n) override;
};

}  // namespace kiv
