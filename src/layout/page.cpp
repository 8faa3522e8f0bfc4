#include "layout/page.h"

#include "layout/section_list.h"

namespace kiv {

std::unique_ptr<TSectionBase> TPage::CreateClone(TSectionList* owner) const {
  return std::make_unique<TPage>(owner, *this);
}

int TPage::Paint(Canvas& canvas, const TRect& clipRect, IndentManager& indents, int x, int y) {
  const int next = TSectionBase::Paint(canvas, clipRect, indents, x, y);
  if (Owner && Owner->Printing) {
    // The page ends at the break, unless the break is at the very top of the
    // page (the previous page already ended there) or off the page.
    const int windowY = y - Owner->ScrollY;
    if (clipRect.Top + PageBreakTopMargin < windowY && windowY < clipRect.Bottom &&
        y < Owner->PageBottom)
      Owner->PageBottom = y;
  }
  return next;
}

}  // namespace kiv
