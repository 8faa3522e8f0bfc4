// Helpers for the painting, hit-testing and copying tests: documents built
// from sections, laid out and painted on small images with fixed metrics.
#pragma once

#include <QImage>

#include <memory>

#include "layout/section_list.h"
#include "platform/color.h"
#include "platform/fixed_metrics_canvas.h"

namespace kiv::testing {

inline QRgb Rgb(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

template <class T>
T* AddTo(TCell& cell, std::unique_ptr<T> section) {
  T* raw = section.get();
  cell.Add(std::move(section));
  return raw;
}

// Lays the document out at width with fixed metrics; returns its height.
inline int LayOut(TSectionList& doc, int width = 600) {
  FixedMetricsCanvas canvas;
  int maxWidth = 0;
  int charIndex = 0;
  return doc.Layout(canvas, 0, width, maxWidth, charIndex);
}

// Paints the document on a width x height image filled with fill, the cell's
// left edge at window X x.
inline QImage PaintDocument(TSectionList& doc, int width, int height, int x = 0,
                            QRgb fill = qRgb(255, 255, 255)) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(fill);
  {
    FixedMetricsCanvas canvas(&image);
    doc.Paint(canvas, Rect(0, 0, width, height), 1300, x, 0);
  }
  return image;
}

}  // namespace kiv::testing
