#include "viewer/accessible_link.h"

#include <QMetaObject>
#include <QWidget>
#include <QWindow>

#include <exception>

#include "platform/message_box.h"
#include "viewer/accessible_document.h"
#include "viewer/html_viewer.h"
#include "viewer/page_reading_text.h"

namespace kiv {

TAccessibleLink::TAccessibleLink(THTMLViewer* viewer, int child, unsigned documentGeneration)
    : viewer_(viewer), child_(child), generation_(documentGeneration) {}

TAccessibleDocument* TAccessibleLink::Document() const {
  auto* viewer = static_cast<THTMLViewer*>(viewer_.data());
  if (!viewer || viewer->DocumentGeneration() != generation_) return nullptr;
  return viewer->AccessibleDocument();
}

int TAccessibleLink::Stop() const {
  const TAccessibleDocument* document = Document();
  return document ? document->StopOfChild(child_) : -1;
}

bool TAccessibleLink::isValid() const {
  return Stop() >= 0;
}

QWindow* TAccessibleLink::window() const {
  const QWidget* viewer = viewer_.data();
  return viewer ? viewer->window()->windowHandle() : nullptr;
}

QAccessibleInterface* TAccessibleLink::parent() const {
  return viewer_ ? QAccessible::queryAccessibleInterface(viewer_.data()) : nullptr;
}

QString TAccessibleLink::text(QAccessible::Text t) const {
  const int stop = Stop();
  if (stop < 0) return {};
  THTMLViewer& viewer = *static_cast<THTMLViewer*>(viewer_.data());
  const TPageStops& stops = viewer.Stops();
  switch (t) {
    case QAccessible::Name:
      return PageTextToUnicode(viewer.Document(), stops.NameOf(stop));
    case QAccessible::Description:
      return PageTextToUnicode(viewer.Document(), stops[stop].Url);
    default:
      return {};
  }
}

QRect TAccessibleLink::rect() const {
  const int stop = Stop();
  return stop >= 0 ? Document()->ScreenRectOf(stop) : QRect();
}

QAccessible::State TAccessibleLink::state() const {
  QAccessible::State s;
  const int stop = Stop();
  if (stop < 0) {
    s.invalid = true;
    return s;
  }
  const auto* viewer = static_cast<const THTMLViewer*>(viewer_.data());
  s.focusable = true;
  s.linked = true;
  s.focused = viewer->hasFocus() && viewer->FocusedStop() == stop;
  // Out of the view: scrolled away, or the page not shown at all.
  const QRect shown(viewer->mapToGlobal(QPoint(0, 0)), viewer->size());
  if (!viewer->isVisible() || !rect().intersects(shown)) s.offscreen = true;
  return s;
}

void* TAccessibleLink::interface_cast(QAccessible::InterfaceType type) {
  if (type == QAccessible::ActionInterface) return static_cast<QAccessibleActionInterface*>(this);
  return nullptr;
}

QStringList TAccessibleLink::actionNames() const {
  return {pressAction(), setFocusAction()};
}

void TAccessibleLink::doAction(const QString& actionName) {
  if (Stop() < 0) return;
  auto* viewer = static_cast<THTMLViewer*>(viewer_.data());
  if (actionName == setFocusAction()) {
    viewer->FocusStop(Stop());
    return;
  }
  if (actionName != pressAction()) return;
  // Following the link replaces the page and with it this link: the work
  // is done once the assistive technology's request is answered.
  QPointer<QWidget> target = viewer_;
  const unsigned generation = generation_;
  const int child = child_;
  QMetaObject::invokeMethod(
      viewer,
      [target, generation, child] {
        auto* v = static_cast<THTMLViewer*>(target.data());
        if (!v || v->DocumentGeneration() != generation || !v->AccessibleDocument()) return;
        try {
          v->FollowStop(v->AccessibleDocument()->StopOfChild(child));
        } catch (const std::exception& error) {
          ShowErrorBox(error.what());
        }
      },
      Qt::QueuedConnection);
}

QStringList TAccessibleLink::keyBindingsForAction(const QString& actionName) const {
  if (actionName == pressAction()) return {QStringLiteral("Return")};
  return {};
}

}  // namespace kiv
