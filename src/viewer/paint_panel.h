// TPaintPanel: the viewer's inner panel. It paints the document flicker-free
// through one off-screen image of the area to repaint, at the device pixel
// ratio of the surface it paints on, and passes its mouse events on to the
// viewer. Form controls are its child widgets.
#pragma once

#include <QImage>
#include <QWidget>

#include "platform/color.h"

namespace kiv {

class THTMLViewer;

class TPaintPanel : public QWidget {
 public:
  // viewer owns the panel (as its Qt parent) and receives its events.
  explicit TPaintPanel(THTMLViewer* viewer);

  THTMLViewer* Viewer() const { return viewer_; }
  // The panel's background colour (palette-relative flag allowed).
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // Makes the next paint fill the whole panel's background first (after a
  // width change).
  void PaintBackgroundOnce() { eraseBackground_ = true; }
  // Number of paints that reached the document (tests and benchmarks).
  long PaintCount() const { return paintCount_; }
  // Bytes the off-screen surface holds now (the one cost of painting at a
  // device ratio: it grows with the square of the ratio).
  long long SurfaceBytes() const { return offscreen_.sizeInBytes(); }
  // Paints rect (panel coordinates) through an off-screen image into target
  // at the same place, at target's device pixel ratio; what paintEvent does,
  // usable without a window.
  void PaintRect(QPaintDevice& target, const QRect& rect);

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;

 private:
  THTMLViewer* viewer_;  // not owned: the parent
  TColor color_ = clBtnFace;
  bool eraseBackground_ = false;
  long paintCount_ = 0;
  QImage offscreen_;  // device pixels, kept between paints of the same size
};

}  // namespace kiv
