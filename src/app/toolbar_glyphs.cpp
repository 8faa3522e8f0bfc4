#include "app/toolbar_glyphs.h"

#include <QApplication>
#include <QIcon>
#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <cmath>
#include <map>
#include <tuple>

#include "platform/color_contrast.h"

namespace kiv {

namespace {

const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 128, 0);
const QColor kYellow(255, 255, 0);

TColor ToTColor(const QColor& c) {
  return RGB(c.red(), c.green(), c.blue());
}
QColor ToQColor(TColor c) {
  return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Shapes on the 16-unit grid drawn at scale device pixels a unit. A unit
// cell (x, y) is the square from (x, y) to (x + 1, y + 1); rectangles of
// cells are snapped to whole device pixels, so they are sharp at every scale,
// and only slanted edges are smoothed.
class GlyphPainter {
 public:
  GlyphPainter(QPainter& p, double scale, const QColor& background)
      : p_(p),
        scale_(scale),
        ink_(ToQColor(ContrastingInk(ToTColor(background)))),
        background_(background) {}

  // c, or c brought past the toolbar contrast when it is a mark of its own
  // (with room to spare, as smoothing shades its edges).
  QColor Visible(const QColor& c) const {
    return ToQColor(WithContrast(ToTColor(c), ToTColor(background_), ToolbarGlyphContrast + 1));
  }

  // Cells x..x+w by y..y+h filled with fill inside a one-cell outline (the
  // classic aliased rectangle of that size).
  void Box(int x, int y, int w, int h, const QColor& fill) {
    Cells(x, y, w + 1, h + 1, ink_);
    Cells(x + 1, y + 1, w - 1, h - 1, fill);
  }
  void Cells(int x, int y, int w, int h, const QColor& c) {
    if (w <= 0 || h <= 0) return;
    const int left = Snap(x), top = Snap(y);
    p_.fillRect(QRect(left, top, Snap(x + w) - left, Snap(y + h) - top), c);
  }
  // A closed shape through the cells' centres, filled, with a one-cell outline.
  void Shape(const QPolygonF& points, const QColor& fill) {
    QPainterPath path;
    path.addPolygon(points.translated(0.5, 0.5));
    path.closeSubpath();
    Scaled([&] {
      p_.setPen(QPen(ink_, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
      p_.setBrush(fill);
      p_.drawPath(path);
    });
  }
  void Stroke(const QPolygonF& points, const QColor& c, double width) {
    Scaled(
        [&] {
          p_.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
          p_.setBrush(Qt::NoBrush);
          p_.drawPolyline(points.translated(0.5, 0.5));
        },
        true);
  }

 private:
  int Snap(int units) const { return static_cast<int>(std::lround(units * scale_)); }
  // Whole scales put outlines on whole pixels; others, and strokes that are
  // smooth by nature, are antialiased.
  template <class Draw>
  void Scaled(Draw draw, bool smooth = false) {
    p_.save();
    p_.scale(scale_, scale_);
    p_.setRenderHint(QPainter::Antialiasing, smooth || scale_ != std::floor(scale_));
    draw();
    p_.restore();
  }

  QPainter& p_;
  double scale_;
  QColor ink_;
  QColor background_;
};

void DrawBook(GlyphPainter& g) {
  g.Box(3, 1, 10, 13, kNavy);
  g.Cells(4, 12, 9, 2, kWhite);  // the page edges
  g.Cells(4, 2, 2, 10, kTeal);   // the spine
  g.Cells(8, 4, 4, 2, kYellow);  // the title label
}

void DrawArrow(GlyphPainter& g, bool left) {
  QPolygonF arrow({QPointF(2, 8), QPointF(8, 2), QPointF(8, 5), QPointF(14, 5), QPointF(14, 11),
                   QPointF(8, 11), QPointF(8, 14)});
  if (!left) {
    for (QPointF& pt : arrow) pt.setX(16 - pt.x());
  }
  g.Shape(arrow, kGreen);
}

void DrawPrinter(GlyphPainter& g) {
  g.Box(4, 1, 8, 6, kWhite);     // the sheet going in
  g.Box(1, 6, 14, 6, kSilver);   // the body
  g.Box(4, 10, 8, 5, kWhite);    // the sheet coming out
  g.Cells(12, 8, 2, 1, kGreen);  // the lamp
  g.Cells(5, 12, 6, 1, kGrey);   // lines on the sheet
  g.Cells(5, 14, 5, 1, kGrey);
}

void DrawSheets(GlyphPainter& g) {
  for (int offset : {0, 5}) {
    g.Box(1 + offset, 1 + offset, 8, 9, kWhite);
    for (int y = 3; y <= 8; y += 2) g.Cells(3 + offset, y + offset, 5, 1, kNavy);
  }
}

void DrawTick(GlyphPainter& g) {
  // A slanted stroke: smoothed at every size, and kept visible on its own.
  g.Stroke(QPolygonF({QPointF(2.5, 7.5), QPointF(5.5, 11.5), QPointF(12.5, 2.5)}),
           g.Visible(kGreen), 2.0);
}

// Draws the glyph at any size and keeps what it drew for each size, mode and
// background, so a button repaints from its cache.
class GlyphEngine : public QIconEngine {
 public:
  GlyphEngine(TToolbarGlyph glyph, QPalette::ColorRole role) : glyph_(glyph), role_(role) {}

  QIconEngine* clone() const override { return new GlyphEngine(glyph_, role_); }
  QString key() const override { return QStringLiteral("KivToolbarGlyph"); }

  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int side = std::min(size.width(), size.height());
    return {side, side};
  }

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap pm = pixmap(actualSize(rect.size() * ratio, mode, state), mode, state);
    pm.setDevicePixelRatio(ratio);
    const QSize logical = actualSize(rect.size(), mode, state);
    painter->drawPixmap(QRect(rect.topLeft(), logical), pm);
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    const int side = actualSize(size, mode, state).width();
    if (side <= 0) return {};
    const QColor background = QApplication::palette().color(role_);
    const auto key = std::make_tuple(side, static_cast<int>(mode), background.rgb());
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;
    QPixmap pm = QPixmap::fromImage(DrawToolbarGlyph(glyph_, side, background));
    if (mode != QIcon::Normal && mode != QIcon::Active && QApplication::style()) {
      QStyleOption option;
      option.palette = QApplication::palette();
      pm = QApplication::style()->generatedIconPixmap(mode, pm, &option);
    }
    if (cache_.size() > 32) cache_.clear();
    cache_.emplace(key, pm);
    return pm;
  }

 private:
  TToolbarGlyph glyph_;
  QPalette::ColorRole role_;
  std::map<std::tuple<int, int, QRgb>, QPixmap> cache_;
};

}  // namespace

QImage DrawToolbarGlyph(TToolbarGlyph glyph, int pixels, const QColor& background) {
  QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  GlyphPainter g(p, static_cast<double>(pixels) / ToolbarGlyphSize, background);
  switch (glyph) {
    case TToolbarGlyph::Contents:
      DrawBook(g);
      break;
    case TToolbarGlyph::Back:
      DrawArrow(g, true);
      break;
    case TToolbarGlyph::Forward:
      DrawArrow(g, false);
      break;
    case TToolbarGlyph::Print:
      DrawPrinter(g);
      break;
    case TToolbarGlyph::Copy:
      DrawSheets(g);
      break;
    case TToolbarGlyph::OK:
      DrawTick(g);
      break;
  }
  p.end();
  return image;
}

QIcon ToolbarGlyph(TToolbarGlyph glyph, QPalette::ColorRole background) {
  return QIcon(new GlyphEngine(glyph, background));
}

}  // namespace kiv
