// The toolkit side of form control windows: the painting panel as the
// document root carries it, and the widget behind a control (for the viewer
// and for tests that type and click into real windows).
#pragma once

#include <QWidget>

#include "platform/window_control.h"

namespace kiv {

// The handle under which the document root keeps its painting panel.
inline void* ControlParentHandle(QWidget* panel) {
  return static_cast<void*>(panel);
}
inline QWidget* ControlParentWidget(void* handle) {
  return static_cast<QWidget*>(handle);
}

// The window of a control: the panel of a radio button, the widget itself for
// the others; null for a windowless control.
QWidget* WidgetOf(const WindowControl& control);
// The widget that takes keys and clicks: the radio button inside its panel,
// otherwise the same as WidgetOf.
QWidget* InputWidgetOf(const WindowControl& control);

}  // namespace kiv
