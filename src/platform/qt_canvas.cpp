#include "platform/qt_canvas.h"

#include <algorithm>

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygon>
#include <QTransform>

#include <cmath>
#include <cstdlib>

#include "platform/bitmap.h"
#include "platform/font_device.h"

namespace kiv {

namespace {

QColor ToQColor(TColor c) {
  TColor rgb = ColorToRGB(c);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

QPainter::CompositionMode ModeFor(RasterOp op) {
  switch (op) {
    case RasterOp::And:
      return QPainter::RasterOp_SourceAndDestination;
    case RasterOp::Or:
      return QPainter::RasterOp_SourceOrDestination;
    case RasterOp::Copy:
      break;
  }
  return QPainter::CompositionMode_SourceOver;
}

// Rop modes work only on raster surfaces; elsewhere the plain copy is used
// (printers get opaque pixels under the mask already resolved).
bool RasterOpsSupported(QPainter* p) {
  return p->paintEngine() && p->paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
}

}  // namespace

QtCanvas::QtCanvas() = default;

QtCanvas::QtCanvas(QPaintDevice* device) {
  if (device) {
    ownedPainter_ = std::make_unique<QPainter>(device);
    painter_ = ownedPainter_.get();
  }
}

QtCanvas::QtCanvas(QPainter* painter) : painter_(painter) {}

QtCanvas::~QtCanvas() {
  if (ownedPainter_) ownedPainter_->end();
}

TextMetrics QtCanvas::GetTextMetrics() const {
  return font_.Face().Metrics();
}

TSize QtCanvas::TextExtent(const char* text, int n) const {
  const FontFace& face = font_.Face();
  if (n <= 0 || !text) return {0, face.Metrics().tmHeight};
  return {face.Extent(text, n), face.Metrics().tmHeight};
}

int QtCanvas::TextFit(const char* text, int n, int maxExtent, int& extent) const {
  extent = 0;
  if (!text || n <= 0 || maxExtent < 0) return 0;
  const FontFace& face = font_.Face();
  int w = 0;
  for (int i = 0; i < n; ++i) {
    const int next = w + face.Advance(static_cast<unsigned char>(text[i]));
    if (next > maxExtent) {
      extent = w;
      return i;
    }
    w = next;
  }
  extent = w;
  return n;
}

int QtCanvas::MeasureWords(const char* text, int n, char separator, int& widestWord) const {
  widestWord = -1;
  if (!text || n <= 0) return 0;
  const FontFace& face = font_.Face();
  const auto divider = static_cast<unsigned char>(separator);
  int total = 0;
  int word = -1;  // width of the word being read; -1 between words
  for (int i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    const int advance = face.Advance(c);
    total += advance;
    if (c == ' ' || c == divider) {
      widestWord = std::max(widestWord, word);
      word = -1;
    } else {
      word = (word < 0 ? 0 : word) + advance;
    }
  }
  widestWord = std::max(widestWord, word);
  return total;
}

void QtCanvas::ExtTextOut(int x, int y, unsigned options, const TRect* rect, const char* text,
                          int n) {
  if (!painter_) return;
  const FontFace& face = font_.Face();
  const TextMetrics& tm = face.Metrics();
  int baseline = textAlign_ == TA_BASELINE ? y : y + tm.tmAscent;
  int top = baseline - tm.tmAscent;
  const bool saved = BeginTextOut(options, rect);
  if (n > 0 && text) {
    if (bkMode_ == BkMode::Opaque) {
      painter_->fillRect(QRect(x, top, face.Extent(text, n), tm.tmHeight), ToQColor(bkColor_));
    }
    DrawGlyphs(x, baseline, text, n);
  }
  if (saved) painter_->restore();
}

bool QtCanvas::BeginTextOut(unsigned options, const TRect* rect) {
  // Only a clipped text saves the painter's state: its clip is the one thing
  // that later drawing must not see (whatever draws next sets its own pen).
  const bool clipped = rect && (options & ETO_CLIPPED);
  if (clipped) {
    painter_->save();
    painter_->setClipRect(QRect(rect->Left, rect->Top, rect->Width(), rect->Height()),
                          Qt::IntersectClip);
  }
  if (rect && (options & ETO_OPAQUE)) {
    painter_->fillRect(QRect(rect->Left, rect->Top, rect->Width(), rect->Height()),
                       ToQColor(bkColor_));
  }
  return clipped;
}

void QtCanvas::DrawGlyphs(int x, int baseline, const char* text, int n) {
  const FontFace& face = font_.Face();
  const FontFace::Device& dev = face.GetDevice();
  const QColor color = ToQColor(textColor_);
  const QPen& current = painter_->pen();
  if (current.color() != color || current.style() != Qt::SolidLine) painter_->setPen(color);
  if (!dev.raw.isValid()) return;
  // The glyph and position arrays keep their room from one call to the next;
  // the run only points at them while it is drawn.
  glyphIndexes_.clear();
  glyphPositions_.clear();
  int pen = x;
  for (int i = 0; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b >= 32) {
      glyphIndexes_.push_back(dev.glyphs[b]);
      glyphPositions_.push_back(QPointF(pen, baseline));
    }
    pen += face.Advance(b);
  }
  if (!glyphIndexes_.empty()) {
    QGlyphRun run;
    run.setRawFont(dev.raw);
    run.setRawData(glyphIndexes_.data(), glyphPositions_.data(),
                   static_cast<int>(glyphIndexes_.size()));
    painter_->drawGlyphRun(QPointF(0, 0), run);
  }
  // Underline and strike-out span the measured extent exactly.
  int width = pen - x;
  if (width > 0 && (face.Style() & (fsUnderline | fsStrikeOut))) {
    int thickness = std::max(1, face.PixelSize() / 14);
    if (face.Style() & fsUnderline) {
      int uy = baseline + std::max(1, face.Metrics().tmDescent / 2);
      painter_->fillRect(QRect(x, uy, width, thickness), color);
    }
    if (face.Style() & fsStrikeOut) {
      int sy = baseline - face.Metrics().tmAscent / 3;
      painter_->fillRect(QRect(x, sy, width, thickness), color);
    }
  }
}

void QtCanvas::LineTo(int x, int y) {
  if (painter_ && penStyle_ != PenStyle::Clear) {
    int x0 = penPos_.X, y0 = penPos_.Y;
    if (x0 != x || y0 != y) {
      if ((x0 == x || y0 == y) && penStyle_ == PenStyle::Solid) {
        // Straight lines cover the pixels from the start up to, not
        // including, the end, in whichever direction they run; a wider pen
        // is centred on them. They are filled rectangles, so no pen is made.
        const int w = std::max(1, penWidth_);
        const int lo = -(w - 1) / 2;
        QRect r = x0 == x ? QRect(x + lo, std::min(y0, y + 1), w, std::abs(y - y0))
                          : QRect(std::min(x0, x + 1), y + lo, std::abs(x - x0), w);
        painter_->fillRect(r, ToQColor(penColor_));
      } else {
        QPen pen(ToQColor(penColor_));
        pen.setWidth(std::max(1, penWidth_));
        pen.setCapStyle(Qt::FlatCap);
        if (penStyle_ == PenStyle::Dash) pen.setStyle(Qt::DashLine);
        if (penStyle_ == PenStyle::Dot) pen.setStyle(Qt::DotLine);
        painter_->setPen(pen);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->drawLine(x0, y0, x, y);
      }
    }
  }
  penPos_ = {x, y};
}

void QtCanvas::Rectangle(int left, int top, int right, int bottom) {
  if (!painter_ || right <= left || bottom <= top) return;
  if (brushStyle_ == BrushStyle::Solid) {
    painter_->fillRect(QRect(left, top, right - left, bottom - top), ToQColor(brushColor_));
  }
  if (penStyle_ != PenStyle::Clear) {
    QColor c = ToQColor(penColor_);
    int w = std::max(1, penWidth_);
    painter_->fillRect(QRect(left, top, right - left, std::min(w, bottom - top)), c);
    painter_->fillRect(QRect(left, bottom - w, right - left, std::min(w, bottom - top)), c);
    painter_->fillRect(QRect(left, top, std::min(w, right - left), bottom - top), c);
    painter_->fillRect(QRect(right - w, top, std::min(w, right - left), bottom - top), c);
  }
}

void QtCanvas::ApplyPenAndBrush() {
  painter_->setRenderHint(QPainter::Antialiasing, false);
  if (penStyle_ == PenStyle::Clear) {
    painter_->setPen(Qt::NoPen);
  } else {
    painter_->setPen(QPen(ToQColor(penColor_), std::max(1, penWidth_)));
  }
  painter_->setBrush(brushStyle_ == BrushStyle::Solid ? QBrush(ToQColor(brushColor_))
                                                      : QBrush(Qt::NoBrush));
}

void QtCanvas::Ellipse(int left, int top, int right, int bottom) {
  if (!painter_ || right <= left || bottom <= top) return;
  painter_->save();
  ApplyPenAndBrush();
  painter_->drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
  painter_->restore();
}

void QtCanvas::Polygon(const std::vector<TPoint>& points) {
  if (!painter_ || points.size() < 2) return;
  QPolygon poly;
  for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
  painter_->save();
  ApplyPenAndBrush();
  painter_->drawPolygon(poly, Qt::WindingFill);
  painter_->restore();
}

void QtCanvas::FillRect(const TRect& r, TColor color) {
  if (!painter_ || r.IsEmpty()) return;
  painter_->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), ToQColor(color));
}

void QtCanvas::StretchBitmap(const TRect& dest, const Bitmap& bitmap, RasterOp op) {
  if (!painter_ || dest.IsEmpty()) return;
  painter_->save();
  if (op == RasterOp::Copy || RasterOpsSupported(painter_)) {
    painter_->setCompositionMode(ModeFor(op));
  }
  // A plain copy at a fractional ratio is filtered, so the picture's pixels do
  // not come out one and two device pixels wide by turns. Pictures combined
  // with a mask stay unfiltered, like the mask, so no fringe appears.
  if (op == RasterOp::Copy && FractionalRatio()) {
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
  }
  painter_->drawImage(QRect(dest.Left, dest.Top, dest.Width(), dest.Height()), bitmap.Image());
  painter_->restore();
}

void QtCanvas::StretchMask(const TRect& dest, const Mask& mask, RasterOp op) {
  if (!painter_ || dest.IsEmpty() || mask.Width() <= 0 || mask.Height() <= 0) return;
  // Only the part of the mask that reaches the clip box is converted for
  // drawing: a very wide picture on a high-density surface costs no more
  // than its visible part.
  const TRect clip = ClipBox();
  const TRect visible{std::max(dest.Left, clip.Left), std::max(dest.Top, clip.Top),
                      std::min(dest.Right, clip.Right), std::min(dest.Bottom, clip.Bottom)};
  if (visible.IsEmpty()) return;
  const double fx = static_cast<double>(mask.Width()) / dest.Width();
  const double fy = static_cast<double>(mask.Height()) / dest.Height();
  const int sx0 = std::clamp(static_cast<int>(std::floor((visible.Left - dest.Left) * fx)), 0,
                             mask.Width() - 1);
  const int sy0 =
      std::clamp(static_cast<int>(std::floor((visible.Top - dest.Top) * fy)), 0, mask.Height() - 1);
  const int sx1 = std::clamp(static_cast<int>(std::ceil((visible.Right - dest.Left) * fx)), sx0 + 1,
                             mask.Width());
  const int sy1 = std::clamp(static_cast<int>(std::ceil((visible.Bottom - dest.Top) * fy)), sy0 + 1,
                             mask.Height());
  const QRectF target(dest.Left + sx0 / fx, dest.Top + sy0 / fy, (sx1 - sx0) / fx,
                      (sy1 - sy0) / fy);
  const bool whole = sx0 == 0 && sy0 == 0 && sx1 == mask.Width() && sy1 == mask.Height();
  const QImage rgb = (whole ? mask.Image() : mask.Image().copy(sx0, sy0, sx1 - sx0, sy1 - sy0))
                         .convertToFormat(QImage::Format_RGB32);
  painter_->save();
  if (op == RasterOp::Copy || RasterOpsSupported(painter_)) {
    painter_->setCompositionMode(ModeFor(op));
  }
  painter_->drawImage(target, rgb);
  painter_->restore();
}

bool QtCanvas::FractionalRatio() const {
  return ratio_ != std::floor(ratio_);
}

void QtCanvas::SetDevicePixelRatio(double ratio, TPoint deviceOffset) {
  ratio_ = std::isfinite(ratio) && ratio > 0 ? ratio : 1.0;
  deviceOffset_ = deviceOffset;
  ApplyTransform();
}

void QtCanvas::ApplyTransform() {
  if (!painter_) return;
  // Built as one matrix so that device positions are exact products of the
  // ratio (1.5 * 3 - 4 is 0.5 exactly), the same on every surface.
  const double sx = ratio_ * numX_ / denX_;
  const double sy = ratio_ * numY_ / denY_;
  painter_->setTransform(
      QTransform(sx, 0, 0, sy, -org_.X * sx - deviceOffset_.X, -org_.Y * sy - deviceOffset_.Y));
}

void QtCanvas::SetWindowOrg(int x, int y) {
  org_ = {x, y};
  ApplyTransform();
}

void QtCanvas::SetScale(int numX, int denX, int numY, int denY) {
  if (numX <= 0 || denX <= 0 || numY <= 0 || denY <= 0) return;
  numX_ = numX;
  denX_ = denX;
  numY_ = numY;
  denY_ = denY;
  ApplyTransform();
}

void QtCanvas::IntersectClipRect(const TRect& r) {
  if (!painter_) return;
  QRect q(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
  painter_->setClipRect(q, painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
}

TRect QtCanvas::ClipBox() const {
  if (!painter_) return {};
  QRect r;
  if (painter_->hasClipping()) {
    r = painter_->clipBoundingRect().toAlignedRect();
  } else if (painter_->device()) {
    // Every logical pixel the surface touches, also one a device ratio
    // covers only in part.
    const QRectF dev(0, 0, painter_->device()->width(), painter_->device()->height());
    r = painter_->transform().inverted().mapRect(dev).toAlignedRect();
  }
  return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void QtCanvas::SaveState() {
  saved_.push_back({org_, numX_, denX_, numY_, denY_});
  if (painter_) painter_->save();
}

void QtCanvas::RestoreState() {
  if (saved_.empty()) return;
  Saved s = saved_.back();
  saved_.pop_back();
  org_ = s.org;
  numX_ = s.numX;
  denX_ = s.denX;
  numY_ = s.numY;
  denY_ = s.denY;
  if (painter_) painter_->restore();
}

}  // namespace kiv
