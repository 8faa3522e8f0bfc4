#include "app/toolbar_glyphs.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace kiv {

namespace {

const QColor kInk(0, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kGrey(128, 128, 128);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 128, 0);

void DrawBook(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kNavy);
  p.drawRect(3, 1, 10, 13);
  p.setPen(Qt::NoPen);
  p.setBrush(kWhite);
  p.drawRect(4, 12, 9, 2);  // the page edges
  p.setBrush(kTeal);
  p.drawRect(4, 2, 2, 10);  // the spine
  p.setBrush(QColor(255, 255, 0));
  p.drawRect(8, 4, 4, 2);  // the title label
}

void DrawArrow(QPainter& p, bool left) {
  QPolygon arrow({QPoint(2, 8), QPoint(8, 2), QPoint(8, 5), QPoint(14, 5), QPoint(14, 11),
                  QPoint(8, 11), QPoint(8, 14)});
  if (!left) {
    for (QPoint& pt : arrow) pt.setX(16 - pt.x());
  }
  p.setPen(kInk);
  p.setBrush(kGreen);
  p.drawPolygon(arrow);
}

void DrawPrinter(QPainter& p) {
  p.setPen(kInk);
  p.setBrush(kWhite);
  p.drawRect(4, 1, 8, 6);  // the sheet going in
  p.setBrush(kSilver);
  p.drawRect(1, 6, 14, 6);  // the body
  p.setBrush(kWhite);
  p.drawRect(4, 10, 8, 5);  // the sheet coming out
  p.setPen(Qt::NoPen);
  p.setBrush(kGreen);
  p.drawRect(12, 8, 2, 1);  // the lamp
  p.setPen(kGrey);
  p.drawLine(5, 12, 10, 12);
  p.drawLine(5, 14, 9, 14);
}

void DrawSheets(QPainter& p) {
  for (int offset : {0, 5}) {
    p.setPen(kInk);
    p.setBrush(kWhite);
    p.drawRect(1 + offset, 1 + offset, 8, 9);
    p.setPen(kNavy);
    for (int y = 3; y <= 8; y += 2) p.drawLine(3 + offset, y + offset, 7 + offset, y + offset);
  }
}

void DrawTick(QPainter& p) {
  p.setPen(QPen(kGreen, 2));
  p.setRenderHint(QPainter::Antialiasing, true);
  p.drawPolyline(QPolygon({QPoint(3, 8), QPoint(6, 12), QPoint(13, 3)}));
}

QIcon Draw(TToolbarGlyph glyph) {
  QImage image(ToolbarGlyphSize, ToolbarGlyphSize, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  switch (glyph) {
    case TToolbarGlyph::Contents:
      DrawBook(p);
      break;
    case TToolbarGlyph::Back:
      DrawArrow(p, true);
      break;
    case TToolbarGlyph::Forward:
      DrawArrow(p, false);
      break;
    case TToolbarGlyph::Print:
      DrawPrinter(p);
      break;
    case TToolbarGlyph::Copy:
      DrawSheets(p);
      break;
    case TToolbarGlyph::OK:
      DrawTick(p);
      break;
  }
  p.end();
  return QIcon(QPixmap::fromImage(image));
}

}  // namespace

QIcon ToolbarGlyph(TToolbarGlyph glyph) {
  return Draw(glyph);
}

}  // namespace kiv
