#include "viewer/scroll_bar_32.h"

#include <algorithm>

namespace kiv {

T32ScrollBar::T32ScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
  setTracking(true);
  connect(this, &QAbstractSlider::actionTriggered, this,
          [this](int action) { ActionTriggered(action); });
  Apply();
}

void T32ScrollBar::SetSmallChange(int n) {
  smallChange_ = std::max(1, n);
  setSingleStep(smallChange_);
}

void T32ScrollBar::SetLargeChange(int n) {
  largeChange_ = std::max(1, n);
  setPageStep(largeChange_);
}

void T32ScrollBar::SetParams(std::int32_t position, std::int32_t min, std::int32_t max,
                             std::int32_t page) {
  if (position == position_ && min == min_ && max == max_ && page == page_) return;
  position_ = position;
  min_ = min;
  max_ = max;
  page_ = page;
  Apply();
}

void T32ScrollBar::Apply() {
  // The toolkit's range ends where the page reaches the maximum.
  const std::int64_t last = std::max<std::int64_t>(min_, std::int64_t{max_} - page_ + 1);
  const bool blocked = blockSignals(true);
  updating_ = true;
  setRange(min_, static_cast<int>(last));
  setValue(std::clamp<std::int64_t>(position_, min_, last));
  updating_ = false;
  blockSignals(blocked);
}

void T32ScrollBar::ActionTriggered(int action) {
  if (updating_ || action == SliderNoAction) return;
  // The thumb's position is read back whole; the other actions start from
  // the position the bar keeps.
  const std::int32_t proposed = action == SliderMove ? sliderPosition() : position_;
  if (OnScroll) OnScroll(action, proposed);
  // The owner's decision (stored through SetParams) is what the toolkit keeps.
  setSliderPosition(std::clamp(position_, minimum(), maximum()));
}

}  // namespace kiv
