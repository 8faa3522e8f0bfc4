// What the document root needs of a form: its controls are sized before each
// layout, and after a scroll every control the next paint does not place is
// hidden. The forms themselves derive from this.
#pragma once

namespace kiv {

class Canvas;

class ThtmlFormBase {
 public:
  ThtmlFormBase() = default;
  ThtmlFormBase(const ThtmlFormBase&) = delete;
  ThtmlFormBase& operator=(const ThtmlFormBase&) = delete;
  virtual ~ThtmlFormBase() = default;

  // Each control sizes its window for the coming layout.
  virtual void PrepareControls(Canvas& canvas) = 0;
  // Clears the Placed mark of every control (the scroll position changed).
  virtual void ClearPlacedMarks() = 0;
  // Hides every control with a window whose Placed mark is not set.
  virtual void HideUnplacedControls() = 0;
};

}  // namespace kiv
