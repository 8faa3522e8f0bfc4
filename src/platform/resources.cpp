#include "platform/resources.h"

#include <QCursor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <memory>

#include "platform/bitmap.h"

namespace kiv {

namespace {

// The 16 colours of the pictures.
const QList<QRgb>& SixteenColors() {
  static const QList<QRgb> colors = {
      qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
      qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
      qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
      qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
  return colors;
}

// Turns a drawing made only of the 16 colours into a 16-colour bitmap.
std::unique_ptr<Bitmap> ToSixteenColors(const QImage& drawing) {
  QImage indexed = drawing.convertToFormat(QImage::Format_Indexed8, SixteenColors(),
                                           Qt::ThresholdDither | Qt::AvoidDither);
  return Bitmap::FromImage(indexed);
}

std::unique_ptr<Bitmap> DrawBrokenImage() {
  QImage image(BrokenImageWidth, BrokenImageHeight, QImage::Format_RGB32);
  image.fill(QColor(255, 255, 0));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  // A dark frame so the tile reads as a tile on a yellow page too.
  p.setPen(QColor(128, 128, 0));
  p.setBrush(Qt::NoBrush);
  p.drawRect(0, 0, BrokenImageWidth - 1, BrokenImageHeight - 1);
  // The exclamation mark: a bar narrowing downwards, then the dot.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0));
  p.drawPolygon(QPolygon({QPoint(10, 4), QPoint(17, 4), QPoint(15, 19), QPoint(12, 19)}));
  p.drawRect(11, 22, 5, 4);
  p.end();
  return ToSixteenColors(image);
}

std::unique_ptr<Bitmap> DrawImagesOff() {
  QImage image(ImagesOffSize, ImagesOffSize, QImage::Format_RGB32);
  image.fill(QColor(192, 192, 192));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  // The globe: blue sea, green land masses, meridian and parallels.
  p.setPen(QColor(0, 0, 128));
  p.setBrush(QColor(0, 0, 255));
  p.drawEllipse(3, 3, 25, 25);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 128, 0));
  p.drawPolygon(
      QPolygon({QPoint(8, 8), QPoint(14, 6), QPoint(15, 12), QPoint(11, 17), QPoint(7, 14)}));
  p.drawPolygon(
      QPolygon({QPoint(18, 14), QPoint(24, 12), QPoint(25, 19), QPoint(19, 24), QPoint(16, 20)}));
  p.setPen(QColor(0, 255, 255));
  p.setBrush(Qt::NoBrush);
  p.drawLine(4, 16, 27, 16);
  p.drawEllipse(10, 3, 11, 25);
  p.end();
  return ToSixteenColors(image);
}

}  // namespace

Bitmap* BrokenImagePicture() {
  static const std::unique_ptr<Bitmap> picture = DrawBrokenImage();
  return picture.get();
}

Bitmap* ImagesOffPicture() {
  static const std::unique_ptr<Bitmap> picture = DrawImagesOff();
  return picture.get();
}

QCursor LinkCursor() {
  // A white hand with a black outline, index finger raised, on transparency.
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(Qt::black);
  p.setBrush(Qt::white);
  const QPolygon hand({QPoint(5, 1), QPoint(7, 0), QPoint(9, 1), QPoint(9, 9), QPoint(11, 8),
                       QPoint(13, 9), QPoint(13, 10), QPoint(15, 9), QPoint(17, 10), QPoint(17, 11),
                       QPoint(19, 10), QPoint(21, 11), QPoint(21, 19), QPoint(18, 25),
                       QPoint(8, 25), QPoint(1, 16), QPoint(1, 13), QPoint(3, 12), QPoint(5, 14)});
  p.drawPolygon(hand);
  // Knuckle lines between the folded fingers.
  p.drawLine(13, 10, 13, 14);
  p.drawLine(17, 11, 17, 14);
  p.end();
  return QCursor(QPixmap::fromImage(image), LinkCursorHotX, LinkCursorHotY);
}

}  // namespace kiv
