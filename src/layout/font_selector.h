// Selects the fonts of text runs into a canvas, skipping the selection when
// the run's font is the one selected last. Used by layout and painting, which
// walk runs in order and change fonts only at run boundaries.
#pragma once

#include "layout/fonts.h"
#include "platform/canvas.h"

namespace kiv {

class FontSelector {
 public:
  explicit FontSelector(Canvas& canvas) : canvas_(canvas) {}
  void Select(const TFontObj* run) {
    if (run == selected_) return;
    // Resolving the run's face once lets every later selection share it.
    run->Font->Face();
    canvas_.SelectFont(*run->Font);
    selected_ = run;
  }
  // Something else changed the canvas's font.
  void Forget() { selected_ = nullptr; }

 private:
  Canvas& canvas_;
  const TFontObj* selected_ = nullptr;  // not owned
};

}  // namespace kiv
