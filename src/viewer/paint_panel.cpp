#include "viewer/paint_panel.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/device_ratio.h"
#include "platform/message_box.h"
#include "platform/qt_canvas.h"
#include "viewer/html_viewer.h"

namespace kiv {

namespace {

// A pointer coordinate as a whole number, far-away values held within a
// range where adding the scroll offset cannot overflow.
int PointerCoordinate(double v) {
  constexpr double limit = 1 << 30;
  if (!(v > -limit)) return -(1 << 30);  // also NaN
  if (v > limit) return 1 << 30;
  return static_cast<int>(std::lround(v));
}

// Runs a pointer handler. A failure it raises (a link to a file that cannot
// be loaded, an owner's handler failing) is shown to the user instead of
// leaving through the toolkit's event loop.
template <class Handler>
void Guarded(Handler handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowErrorBox(error.what());
  }
}

}  // namespace

TPaintPanel::TPaintPanel(THTMLViewer* viewer) : QWidget(viewer), viewer_(viewer) {
  // Every paint covers its whole area from the off-screen image: the
  // toolkit need not erase first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void TPaintPanel::SetColor(TColor color) {
  if (color == color_) return;
  color_ = color;
  update();
}

void TPaintPanel::PaintRect(QPaintDevice& target, const QRect& rect) {
  if (viewer_->LayingOut() || rect.isEmpty()) return;
  QPainter painter(&target);
  // The painter's own scale is the surface's device pixel ratio, also when the
  // widget is painted into another device (a grab at another ratio).
  const double ratio = ClampDeviceRatio(painter.deviceTransform().m11());
  // The device pixels that cover rect, on the window's own pixel grid, so
  // that areas painted apart meet without a seam at any ratio.
  const int left = static_cast<int>(std::floor(rect.left() * ratio));
  const int top = static_cast<int>(std::floor(rect.top() * ratio));
  const int right = static_cast<int>(std::ceil((rect.right() + 1) * ratio));
  const int bottom = static_cast<int>(std::ceil((rect.bottom() + 1) * ratio));
  const QSize size(right - left, bottom - top);
  if (offscreen_.size() != size) {
    offscreen_ = QImage();  // the old surface goes before the new one comes
    offscreen_ = QImage(size, QImage::Format_RGB32);
    if (offscreen_.isNull()) throw std::runtime_error("Out of Resources");
  }
  offscreen_.setDevicePixelRatio(1.0);
  {
    QtCanvas canvas(&offscreen_);
    canvas.SetDevicePixelRatio(ratio, {left, top});
    const TRect clip{
        static_cast<int>(std::floor(left / ratio)), static_cast<int>(std::floor(top / ratio)),
        static_cast<int>(std::ceil(right / ratio)), static_cast<int>(std::ceil(bottom / ratio))};
    viewer_->PaintBackground(canvas, clip);
    viewer_->PaintDocument(canvas, clip);
  }
  ++paintCount_;
  offscreen_.setDevicePixelRatio(ratio);
  painter.drawImage(QPointF(left / ratio, top / ratio), offscreen_);
}

bool TPaintPanel::event(QEvent* e) {
  // On another screen (or when the screen's ratio changes) the page is
  // painted again at the new ratio; its layout stays as it is.
  if (e->type() == QEvent::ScreenChangeInternal) update();
  return QWidget::event(e);
}

void TPaintPanel::paintEvent(QPaintEvent* e) {
  if (viewer_->LayingOut()) return;
  QRect rect = e->rect();
  if (eraseBackground_) {
    eraseBackground_ = false;
    rect = this->rect();
  }
  try {
    PaintRect(*this, rect);
  } catch (const std::exception& error) {
    // Nothing may escape into the toolkit's event loop: the area keeps the
    // panel's colour and the failure is reported on the error output.
    QPainter painter(this);
    const TColor c = ColorToRGB(color_);
    painter.fillRect(rect, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    qWarning("%s", error.what());
  }
  QCoreApplication::postEvent(viewer_,
                              new QEvent(static_cast<QEvent::Type>(QEvent::User + WmDrawBorder)));
}

void TPaintPanel::mousePressEvent(QMouseEvent* e) {
  const int x = PointerCoordinate(e->position().x()), y = PointerCoordinate(e->position().y());
  Guarded([&] { viewer_->HTMLMouseDown(e->button(), e->modifiers(), x, y); });
}

void TPaintPanel::mouseDoubleClickEvent(QMouseEvent* e) {
  mousePressEvent(e);
}

void TPaintPanel::mouseMoveEvent(QMouseEvent* e) {
  const int x = PointerCoordinate(e->position().x()), y = PointerCoordinate(e->position().y());
  Guarded([&] { viewer_->HTMLMouseMove(e->buttons(), e->modifiers(), x, y); });
}

void TPaintPanel::mouseReleaseEvent(QMouseEvent* e) {
  const int x = PointerCoordinate(e->position().x()), y = PointerCoordinate(e->position().y());
  Guarded([&] { viewer_->HTMLMouseUp(e->button(), e->modifiers(), x, y); });
}

}  // namespace kiv
