// T32ScrollBar: the viewer's vertical scroll bar. It keeps its position,
// page, minimum and maximum as 32-bit values and hands the toolkit all four
// at once, only when one changed; positions are always read back as 32-bit
// values, so documents far taller than 65535 pixels scroll to their end.
#pragma once

#include <QScrollBar>

#include <cstdint>
#include <functional>

namespace kiv {

class T32ScrollBar : public QScrollBar {
 public:
  explicit T32ScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  std::int32_t Position() const { return position_; }
  std::int32_t Min() const { return min_; }
  std::int32_t Max() const { return max_; }
  // The page: with Max it bounds the position at Max - Page + 1.
  std::int32_t PageSize() const { return page_; }
  int SmallChange() const { return smallChange_; }
  void SetSmallChange(int n);
  int LargeChange() const { return largeChange_; }
  void SetLargeChange(int n);

  // Writes the four values to the toolkit in one step, skipping it when
  // nothing changed. Raises no scroll notification.
  void SetParams(std::int32_t position, std::int32_t min, std::int32_t max, std::int32_t page);
  void SetPosition(std::int32_t position) { SetParams(position, min_, max_, page_); }
  void SetMax(std::int32_t max) { SetParams(position_, min_, max, page_); }

  // The user moved the bar (line, page, thumb, top, bottom): the action and
  // the bar's new 32-bit position before the owner clamps it.
  std::function<void(int action, std::int32_t position)> OnScroll;

 private:
  void ActionTriggered(int action);
  void Apply();

  std::int32_t position_ = 0, min_ = 0, max_ = 0, page_ = 1;
  int smallChange_ = 1, largeChange_ = 1;
  bool updating_ = false;
};

}  // namespace kiv
