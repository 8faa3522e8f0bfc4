// THTMLViewer's keyboard focus inside the page: Tab and Shift+Tab walk the
// links, image-map areas and form controls in document order before the
// focus leaves the page; the focused link is framed and scrolled into view;
// Enter follows it as a click does. Also the page's own keys: Ctrl+A,
// Ctrl+C and Ctrl+Insert.
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

#include <algorithm>
#include <cmath>

#include "layout/form_control.h"
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "platform/canvas.h"
#include "platform/qt_window_control.h"
#include "platform/screen_canvas.h"
#include "viewer/accessible_document.h"
#include "viewer/document_painter.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"

namespace kiv {

namespace {

// Room kept between a stop scrolled into view and the view's edge.
constexpr int StopScrollRoom = VScrollSmallChange;

// Relative luminance of a colour (0x00BBGGRR), as contrast ratios use it.
double Luminance(TColor c) {
  const auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) +
         0.0722 * channel(GetBValue(c));
}

double Contrast(TColor a, TColor b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void FrameRect(Canvas& canvas, const TRect& r, TColor color) {
  canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, color);
  canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, color);
  canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, color);
  canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, color);
}

}  // namespace

const TPageStops& THTMLViewer::Stops() {
  if (!stopsBuilt_ && !layingOut_) {
    stops_.Build(*document_);
    stopsBuilt_ = true;
  }
  return stops_;
}

void THTMLViewer::ForgetStops() {
  stops_.Clear();
  stopsBuilt_ = false;
  focusedStop_ = -1;
  focusedPlace_ = {};
  ++pageGeneration_;
  ++documentGeneration_;
}

void THTMLViewer::FocusStop(int index) {
  if (index < 0 || index >= Stops().Count()) index = -1;
  focusedStop_ = index;
  focusedPlace_ = index >= 0 ? stops_[index] : TPageStop{};
  if (index >= 0) {
    ScrollStopIntoView(index);
    const TPageStop& stop = stops_[index];
    QWidget* control = stop.StopKind == TPageStop::ControlStop && stop.Control->Control
                           ? InputWidgetOf(*stop.Control->Control)
                           : nullptr;
    if (control)
      control->setFocus(Qt::TabFocusReason);
    else if (!hasFocus())
      setFocus(Qt::OtherFocusReason);
  }
  InvalidatePanel();
  AccessibleStopFocused(*this, index);
}

bool THTMLViewer::FocusNextStop(bool forward) {
  const int count = Stops().Count();
  const int next = focusedStop_ < 0 ? (forward ? 0 : -1) : focusedStop_ + (forward ? 1 : -1);
  if (next < 0 || next >= count) {
    FocusStop(-1);
    return false;
  }
  FocusStop(next);
  return true;
}

bool THTMLViewer::FollowStop(int index) {
  if (processing_ || index < 0 || index >= Stops().Count() || !stops_[index].IsLink()) return false;
  // The link's place is copied out: following it replaces the page.
  hoverUrl_ = stops_[index].Url;
  hoverTarget_ = stops_[index].Target;
  FollowHotSpot();
  return true;
}

bool THTMLViewer::focusNextPrevChild(bool next) {
  // A form control of the page that took the focus by a click continues
  // the walk from its own place.
  if (QWidget* focus = QApplication::focusWidget();
      focus && focus != this && paintPanel_->isAncestorOf(focus)) {
    // A focused control that scrolled out of sight is being hidden: the
    // toolkit asks for the next child, but no key moved the focus, so the
    // page takes it back without walking to another stop (or scrolling).
    if (focus->isHidden()) {
      setFocus(Qt::OtherFocusReason);
      return true;
    }
    if (const int at = Stops().FindControl(focus); at >= 0) focusedStop_ = at;
  }
  if (FocusNextStop(next)) return true;
  // Past the last stop (or before the first) the focus leaves the page,
  // from the page itself so that its controls are not visited again.
  if (!hasFocus()) setFocus(Qt::OtherFocusReason);
  return QWidget::focusNextPrevChild(next);
}

void THTMLViewer::KeepControlsOutOfTabChain() {
  if (document_->Forms.Empty()) return;
  for (QWidget* w : paintPanel_->findChildren<QWidget*>()) {
    if (w->focusPolicy() & Qt::TabFocus) w->setFocusPolicy(Qt::ClickFocus);
  }
}

void THTMLViewer::ScrollStopIntoView(int index) {
  const TRect r = stops_.BoundsOf(ScreenCanvas(), index);
  int top = r.Top, bottom = r.Bottom;
  if (r.IsEmpty()) {
    // Nothing drawn (a link of blanks): its section's top stands for it.
    top = stops_[index].Section->Top;
    bottom = top + 2 * defFontSize_;
  }
  const int y = document_->ScrollY;
  const int h = PanelHeight();
  if (top < y || bottom - top > h) {
    ScrollToY(top - StopScrollRoom);
  } else if (bottom > y + h) {
    ScrollToY(bottom - h + StopScrollRoom);
  } else if (!r.IsEmpty()) {
    // In view from top to bottom: the last paint placed it, so its X is
    // that of the present horizontal position.
    const int w = paintPanel_->width();
    if (r.Left < 0)
      SetHScrollPosition(HScrollPosition() + r.Left - ViewerLeftMargin);
    else if (r.Right > w && r.Right - r.Left < w)
      SetHScrollPosition(HScrollPosition() + r.Right - w + StopScrollRoom);
  }
}

TColor THTMLViewer::FocusRingColor() const {
  const TColor page = ColorToRGB(document_->Background);
  return Contrast(page, clBlack) >= Contrast(page, clWhite) ? clBlack : clWhite;
}

void THTMLViewer::PaintFocusRing(Canvas& canvas) {
  if (focusedStop_ < 0 || !hasFocus() || !stopsBuilt_ || focusedStop_ >= stops_.Count()) return;
  if (!stops_[focusedStop_].IsLink()) return;
  std::vector<TRect> rects;
  stops_.RectsOf(ScreenCanvas(), focusedStop_, rects);
  const TColor outer = FocusRingColor();
  const TColor inner = outer == clBlack ? clWhite : clBlack;
  const int scrollY = document_->ScrollY;
  for (const TRect& r : rects) {
    const TRect panel{r.Left, r.Top - scrollY, r.Right, r.Bottom - scrollY};
    // Two lines, so that one stands out on any background: the outer one
    // in the colour of the most contrast with the page.
    FrameRect(canvas, {panel.Left - 2, panel.Top - 1, panel.Right + 2, panel.Bottom + 1}, outer);
    FrameRect(canvas, {panel.Left - 1, panel.Top, panel.Right + 1, panel.Bottom}, inner);
  }
}

bool THTMLViewer::PageKey(QKeyEvent* e) {
  const int key = e->key();
  const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
  if (e->matches(QKeySequence::SelectAll)) {
    SelectAllText();
    return true;
  }
  if (e->matches(QKeySequence::Copy) || (key == Qt::Key_Insert && mods == Qt::ControlModifier)) {
    CopySelection();
    return true;
  }
  if ((key == Qt::Key_Return || key == Qt::Key_Enter) && mods == Qt::NoModifier &&
      focusedStop_ >= 0) {
    FollowStop(focusedStop_);
    return true;
  }
  return false;
}

}  // namespace kiv
