#include "platform/fixed_metrics_canvas.h"

#include <QPainter>

#include "platform/win_types.h"

namespace kiv {

namespace {

QColor ToQColor(TColor c) {
  TColor rgb = ColorToRGB(c);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

}  // namespace

TextMetrics FixedMetricsCanvas::MetricsFor(int points) {
  int px = MulDiv(points, ScreenPixelsPerInch, 72);
  if (px < 1) px = 1;
  TextMetrics tm;
  tm.tmAscent = px;
  tm.tmDescent = px / 4;
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmExternalLeading = 0;
  tm.tmOverhang = 0;
  tm.tmAveCharWidth = px / 2;
  return tm;
}

TextMetrics FixedMetricsCanvas::GetTextMetrics() const { return MetricsFor(font_.Size()); }

TSize FixedMetricsCanvas::TextExtent(const char* text, int n) const {
  TextMetrics tm = GetTextMetrics();
  if (!text || n <= 0) return {0, tm.tmHeight};
  return {n * tm.tmAveCharWidth, tm.tmHeight};
}

int FixedMetricsCanvas::TextFit(const char* text, int n, int maxExtent, int& extent) const {
  extent = 0;
  if (!text || n <= 0 || maxExtent < 0) return 0;
  const int advance = GetTextMetrics().tmAveCharWidth;
  const int m = advance <= 0 || maxExtent / advance >= n ? n : maxExtent / advance;
  extent = m * advance;
  return m;
}

void FixedMetricsCanvas::ExtTextOut(int x, int y, unsigned options, const TRect* rect,
                                    const char* text, int n) {
  if (!painter_) return;
  TextMetrics tm = GetTextMetrics();
  int baseline = textAlign_ == TA_BASELINE ? y : y + tm.tmAscent;
  int top = baseline - tm.tmAscent;
  int adv = tm.tmAveCharWidth;
  const bool saved = BeginTextOut(options, rect);
  if (text && n > 0) {
    if (bkMode_ == BkMode::Opaque) {
      painter_->fillRect(QRect(x, top, n * adv, tm.tmHeight), ToQColor(bkColor_));
    }
    // Each visible byte: a block from a quarter below the cell top to the
    // baseline, one pixel narrower than its advance.
    QColor c = ToQColor(textColor_);
    int blockTop = top + tm.tmAscent / 4;
    for (int i = 0; i < n; ++i) {
      unsigned char b = static_cast<unsigned char>(text[i]);
      if (b > 32 && b != 0xA0 && adv > 1) {
        painter_->fillRect(QRect(x + i * adv, blockTop, adv - 1, baseline - blockTop), c);
      }
    }
    if (font_.Underline()) painter_->fillRect(QRect(x, baseline + 1, n * adv, 1), c);
    if (font_.StrikeOut()) painter_->fillRect(QRect(x, baseline - tm.tmAscent / 3, n * adv, 1), c);
  }
  if (saved) painter_->restore();
}

}  // namespace kiv
