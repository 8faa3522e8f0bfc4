// Helpers for the painting, hit-testing and copying tests: documents built
// from sections, laid out and painted on small images with fixed metrics.
#pragma once

#include <QImage>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/bitmap.h"
#include "platform/color.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/screen_canvas.h"
#include "reader/attributes.h"

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

// A document of text sections measured with fixed metrics (12 points:
// advance 8, line height 20, descent 4) on a white page. Pictures named
// "WxH" come at that size.
class TextDocTest : public ::testing::Test {
 protected:
  TextDocTest() {
    doc.SetDefaults("Times New Roman", "Courier New", 12, clBlack, clBlue, clWhite);
    doc.ImageRequest = [](THTMLViewer*, const std::string& name, std::unique_ptr<Bitmap>& bitmap,
                          TColor&) {
      int w = 0, h = 0;
      if (std::sscanf(name.c_str(), "%dx%d", &w, &h) == 2) bitmap = Bitmap::CreateRgb(w, h);
    };
  }

  // A section of class T (a TSection or TPreFormated) holding text.
  template <class T = TSection>
  T* Add(const std::string& text, int listLevel = 0) {
    auto s = std::make_unique<T>(listLevel, TSection::JustifyLeft, nullptr, font);
    s->AddText(text);
    return AddTo(doc, std::move(s));
  }
  // Continues s with text in a link to url (empty: no link).
  void AddLink(TSection& s, const std::string& text, const std::string& url) {
    TUrlTarget link(url, "");
    s.ChangeFontAndLink(!url.empty(), doc, &link, font);
    s.AddText(text);
  }
  // Continues s with text of font f and the given vertical shift.
  void AddShifted(TSection& s, const std::string& text, std::uint8_t shift) {
    s.ChangeFont(doc, font, 0, shift);
    s.AddText(text);
  }
  static TImageObj* AddImage(TSection& s, const std::string& src,
                             std::initializer_list<std::pair<Symbol, std::string>> more = {}) {
    TAttributeList attrs;
    attrs.AddReused(SrcSy, src, 0);
    for (const auto& [id, text] : more) attrs.AddReused(id, text, std::atoi(text.c_str()));
    return s.AddImage(attrs);
  }
  int Layout(int width = 600) {
    int charIndex = 0, maxWidth = 0;
    return doc.Layout(canvas, 0, width, maxWidth, charIndex);
  }
  QImage Paint(int width, int height, int x = 0, int clipWidth = 1300) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    {
      FixedMetricsCanvas painter(&image);
      doc.Paint(painter, Rect(0, 0, width, height), clipWidth, x, 0);
    }
    return image;
  }

  FixedMetricsCanvas canvas;
  ScopedScreenCanvas screen{&canvas};
  TSectionList doc;
  TMyFont font;
};

}  // namespace kiv::testing
