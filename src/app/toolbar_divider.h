// TToolbarDivider: a bevel that is a single etched line on its left edge,
// separating groups of toolbar buttons. A new one is 3 x 22 pixels, 2 from
// the top.
#pragma once

#include <QWidget>

namespace kiv {

class TToolbarDivider : public QWidget {
 public:
  explicit TToolbarDivider(QWidget* parent, int left);

 protected:
  void paintEvent(QPaintEvent* e) override;
};

}  // namespace kiv
