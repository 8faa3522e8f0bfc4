// What painting needs of a form control anchored at a control placeholder:
// its window's size, whether it stands on the text baseline, moving and
// showing its window, and the Placed mark that tells the document root which
// controls the last paint positioned. The form control objects derive from it.
#pragma once

namespace kiv {

class TFormControlBase {
 public:
  TFormControlBase() = default;
  TFormControlBase(const TFormControlBase&) = delete;
  TFormControlBase& operator=(const TFormControlBase&) = delete;
  virtual ~TFormControlBase() = default;

  // Size of the control's window.
  virtual int ControlWidth() const = 0;
  virtual int ControlHeight() const = 0;
  // A radio button: printed as an ellipse rather than a rectangle.
  virtual bool IsRadio() const { return false; }
  // Moves the window's top-left corner to a window position.
  virtual void MoveControl(int left, int top) = 0;
  // Shows the window in front of the painting surface (a radio button's
  // window is repainted as well).
  virtual void ShowControl() = 0;

  bool OnBaseline = false;  // check boxes and radio buttons sit on the baseline
  bool Placed = false;      // positioned by the last paint; cleared on scrolling
};

}  // namespace kiv
