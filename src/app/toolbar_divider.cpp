#include "app/toolbar_divider.h"

#include <QPainter>

namespace kiv {

TToolbarDivider::TToolbarDivider(QWidget* parent, int left) : QWidget(parent) {
  setGeometry(left, 2, 3, 22);
}

void TToolbarDivider::paintEvent(QPaintEvent*) {
  // The lowered line: shadow, then highlight beside it.
  QPainter p(this);
  p.setPen(palette().color(QPalette::Dark));
  p.drawLine(0, 0, 0, height() - 1);
  p.setPen(palette().color(QPalette::Light));
  p.drawLine(1, 0, 1, height() - 1);
}

}  // namespace kiv
